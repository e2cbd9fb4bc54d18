# Shared by the tools/ scripts: package installation and the build folders.
# shellcheck shell=bash

LUMO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
LUMO_JOBS="${LUMO_JOBS:-2}"

# Debian packages the project needs to build, test and run.
LUMO_PACKAGES=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev bison
    qt6-base-dev qt6-svg-dev libqt6svg6 fonts-dejavu-core shared-mime-info desktop-file-utils
)

lumo_log() { printf '== %s\n' "$*" >&2; }

# Installs whichever of the given Debian packages are missing: apt-get as
# root, through sudo otherwise. Installs nothing when all are present.
lumo_install_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    lumo_log "installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "error: need root or sudo to install: ${missing[*]}" >&2
            return 1
        fi
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q || return 1
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures (once) and builds a build folder: lumo_build DIR [cmake args...]
lumo_build() {
    local dir="$1"
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$LUMO_ROOT" -B "$dir" -G Ninja "$@" || return 1
    else
        cmake "$dir" "$@" >/dev/null || return 1
    fi
    cmake --build "$dir" -j "$LUMO_JOBS"
}
