# Sourced by run.sh and test.sh: installs the Debian packages the build needs.

# Everything configure, build, tests and the program need on a fresh Debian 12
# (each package brings what it depends on; nothing here is only a dependency
# of another entry):
# - cmake, g++, make: the build.
# - qt6-charts-dev: Qt6ChartsConfig.cmake, and through its dependency
#   qt6-base-dev the configs of Qt6Core, Gui, Widgets and Test, moc and uic,
#   the xcb and offscreen platform plugins (qt6-qpa-plugins) and libgl-dev.
# - libqt6opengl6-dev: Qt6OpenGLConfig.cmake, which Qt6ChartsConfig.cmake asks
#   for; qt6-base-dev only recommends it, so a fresh system lacks it.
# - qt6-svg-dev: Qt6SvgConfig.cmake (the chart saved as SVG), and through
#   libqt6svg6 the SVG icon engine that draws the program's icons.
# - qt6-translations-l10n: Qt's own dialogs and buttons in Russian.
# - libgtest-dev: GTestConfig.cmake; libbenchmark-dev: benchmarkConfig.cmake.
# - libboost-dev: Boost.Math's headers (no CMake config is used).
# - fonts-liberation2 (the layout is drawn for Liberation Sans) and
#   fonts-dejavu-core, both with Cyrillic glyphs.
COBB_PACKAGES=(
    cmake g++ make
    qt6-charts-dev libqt6opengl6-dev qt6-svg-dev qt6-translations-l10n
    libgtest-dev libbenchmark-dev libboost-dev
    fonts-liberation2 fonts-dejavu-core
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
