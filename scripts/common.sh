# Shared set-up of scripts/run, scripts/test and scripts/bench: install what is
# missing (as root) and configure and build the project in $BUILD_DIR.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-qpa-plugins qt6-image-formats-plugins qt6-translations-l10n libgl-dev clang-format poppler-utils)
# scripts/fuzz also needs clang and its runtimes (libFuzzer, the sanitizers).
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

ensure_packages() {
    local missing=()
    if [ "${WITH_FUZZ_PACKAGES:-0}" = 1 ]; then
        PACKAGES+=("${FUZZ_PACKAGES[@]}")
    fi
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q || true
        apt-get install -y -q --no-install-recommends "${missing[@]}"
    else
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
}

# Extra cmake options (-D...) are passed on to the first configure and to any later one
# that changes them.
configure_and_build() {
    if [ ! -f "$BUILD_DIR/build.ninja" ] || [ $# -gt 0 ]; then
        # A compiler cache, when the machine has one, makes rebuilds of other
        # checkouts cheap; CI machines without it build as before.
        local launcher=()
        command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
    fi
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# Fails when a source file is not as .clang-format would write it.
check_format() {
    command -v clang-format >/dev/null || { echo "clang-format not found: format not checked" >&2; return 0; }
    local files
    mapfile -t files < <(cd "$ROOT" && git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
        'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h' 2>/dev/null || true)
    [ ${#files[@]} -eq 0 ] && return 0
    (cd "$ROOT" && clang-format --dry-run --Werror "${files[@]}") || {
        echo "Some files are not formatted: run clang-format -i on them." >&2
        return 1
    }
}
