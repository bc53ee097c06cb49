# Sourced by run.sh and test.sh: installs the Debian packages the build needs.

# Everything configure, build, tests, the program and its Debian package need
# on a fresh Debian 12, one package a line under what it is for. Each package
# brings what it depends on; nothing here is only a dependency of another
# entry (scripts/clean-room.sh proves the list in a fresh root).
COBB_PACKAGES=(
    # The build.
    cmake
    g++
    make
    # Qt6ChartsConfig.cmake, and through its dependency qt6-base-dev the
    # configs of Qt6Core, Gui, Widgets, PrintSupport and Test, moc and uic,
    # the xcb and offscreen platform plugins (qt6-qpa-plugins) and libgl-dev.
    qt6-charts-dev
    # Qt6OpenGLConfig.cmake, which Qt6ChartsConfig.cmake asks for;
    # qt6-base-dev only recommends it, so a fresh system lacks it.
    libqt6opengl6-dev
    # Qt6SvgConfig.cmake (the chart saved as SVG), and through libqt6svg6 the
    # SVG icon engine that draws the program's icons.
    qt6-svg-dev
    # Qt's own dialogs and buttons in Russian.
    qt6-translations-l10n
    # Tests and benchmarks: GTestConfig.cmake and benchmarkConfig.cmake.
    libgtest-dev
    libbenchmark-dev
    # Mathematics: Boost.Math's headers (no CMake config is used).
    libboost-dev
    # The least-squares fit in levels: GSL's Levenberg–Marquardt solver
    # (gsl_multifit_nlinear), found by CMake's FindGSL.
    libgsl-dev
    # Fonts with Cyrillic glyphs: the layout is drawn for Liberation Sans.
    fonts-liberation2
    fonts-dejavu-core
    # Release builds and the package: dpkg-buildflags (Debian's hardening
    # flags) and dpkg-shlibdeps (the package's library dependencies);
    # cpack -G DEB runs file to find the programs to give dpkg-shlibdeps.
    dpkg-dev
    file
)

# The checkers' tools, not needed to build: scripts/lint.sh and
# scripts/format.sh install them as the build's are when they are missing.
COBB_LINT_PACKAGES=(
    # clang-tidy and run-clang-tidy (scripts/lint.sh).
    clang-tidy
    cppcheck
    # scripts/format.sh, by .clang-format.
    clang-format
)

cobb_missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || printf '%s\n' "$package"
    done
}

# Installs what is missing of the given packages (the build's by default).
cobb_ensure_packages() {
    local wanted=("$@")
    [ ${#wanted[@]} -gt 0 ] || wanted=("${COBB_PACKAGES[@]}")
    local missing
    mapfile -t missing < <(cobb_missing_packages "${wanted[@]}")
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them with:" >&2
        echo "    sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]} ..." >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

cobb_jobs() {
    nproc 2>/dev/null || echo 2
}
