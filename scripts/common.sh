# Shared by the README's commands: Debian packages and the build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${VELDOR_BUILD_DIR:-$ROOT/build}"

# What building and playing need (the run command), then what the tests, the analysis and the package add.
RUN_PACKAGES=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-webengine-dev qt6-multimedia-dev qt6-translations-l10n libqt6sql6-sqlite
    libcpp-httplib-dev librsvg2-bin
    xvfb xauth imagemagick fonts-dejavu-core
)
PACKAGES=(
    "${RUN_PACKAGES[@]}"
    libbenchmark-dev
    clang-14 libclang-rt-14-dev clang-tidy clang-format cppcheck
    x11-apps x11-utils xdotool
    lintian desktop-file-utils appstream
    syncthing
)

# Installs the packages named (default: every one the test command needs) that are not there yet.
install_packages() {
    local wanted=("$@")
    [ ${#wanted[@]} -gt 0 ] || wanted=("${PACKAGES[@]}")
    local missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The configurations are the presets of CMakePresets.json: default (program and tests), asan, fuzz. With target
# names, only those are built (and what they need).
build() {
    (cd "$ROOT" && cmake --preset default -B "$BUILD_DIR" >/dev/null)
    local targets=()
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build "$BUILD_DIR" -j"$(nproc)" "${targets[@]}"
}
