# Sourced by run.sh and test.sh: installs the Debian packages the build needs.

# Build tools, Qt with its charts and SVG (icons, and saving the chart as
# SVG), test and benchmark libraries, Boost.Math, Qt's Russian translations
# and fonts with Cyrillic glyphs.
COBB_PACKAGES=(
    cmake g++ make
    qt6-base-dev qt6-charts-dev libqt6svg6 qt6-svg-dev qt6-translations-l10n libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev libboost-dev
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
