#!/usr/bin/env bash
# Quendrel developer entry point.
#   ./dev.sh run [args]       install what is missing, build the program, start it
#   ./dev.sh test             install what is missing, build, run every test
#   ./dev.sh test --sanitize  the same with AddressSanitizer + UndefinedBehaviorSanitizer
#   ./dev.sh test --tsan      the threaded tests under ThreadSanitizer
#   ./dev.sh bench            build and run the benchmarks against peer tools
set -euo pipefail
cd "$(dirname "$0")"

# Debian 12 packages the build, the tests and the program need.
PACKAGES=(build-essential cmake ninja-build pkg-config python3
          libgtest-dev libgmock-dev libbenchmark-dev
          p7zip-full poppler-utils ccache
          qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
          libxcb1-dev libx11-dev libx11-xcb-dev libxkbcommon-dev libglib2.0-dev xvfb xauth)
BENCH_PACKAGES=(fd-find ripgrep plocate jdupes fdupes findutils grep hyperfine)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

CCACHE_LAUNCHER=()
if command -v ccache >/dev/null; then
    CCACHE_LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

jobs() { nproc 2>/dev/null || echo 2; }

# ccache keys on paths relative to the checkout, so clones in other folders share it.
export CCACHE_BASEDIR=$PWD

build() {   # build DIR [cmake options...] [-- targets...]
    local dir=$1; shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ "${1:-}" = "--" ] && shift && targets=("$@")
    cmake -S . -B "$dir" -G Ninja ${CCACHE_LAUNCHER[@]+"${CCACHE_LAUNCHER[@]}"} ${options[@]+"${options[@]}"} >/dev/null
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build "$dir" -j "$(jobs)" --target "${targets[@]}"
    else
        cmake --build "$dir" -j "$(jobs)"
    fi
}

cmd=${1:-}
shift || true
case "$cmd" in
run)
    install_missing "${PACKAGES[@]}"
    # Only what the program needs: no test suites, no benchmarks.
    build build -DCMAKE_BUILD_TYPE=Release -DQUENDREL_TESTS=OFF -DQUENDREL_BENCH=OFF -- quendrel
    exec build/bin/quendrel "$@"
    ;;
test)
    install_missing "${PACKAGES[@]}"
    dir=build-test
    opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENDREL_BENCH=OFF)
    targets=()
    filter=()
    case "${1:-}" in
    --sanitize)
        dir=build-sanitize
        opts+=(-DQUENDREL_SANITIZE=ON)
        export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
        export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
        export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/support/lsan-system.supp:print_suppressions=0}
        ;;
    --tsan)
        # The tests whose code runs on several threads. The archive library cannot be
        # loaded under ThreadSanitizer (the handler library needs RTLD_DEEPBIND).
        dir=build-tsan
        opts+=(-DQUENDREL_TSAN=ON -DQUENDREL_GUI=OFF)
        targets=(--target language_files test_engine_index test_engine_duplicate test_engine_tools
                 test_engine_search test_engine_content)
        filter=(-R "StatHelper|Duplicate|LoadString\.Concurrent|Concurrent|Race|ScannerThreads|PdfTextCache|PdfCacheSearch|FolderReadAhead")
        export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
        ;;
    *)
        # CI holds our code to a warning-free plain build. (The sanitizers make the
        # compiler warn about code it cannot see through; those builds only report.)
        [ -n "${CI:-}" ] && opts+=(-DQUENDREL_WERROR=ON)
        ;;
    esac
    cmake -S . -B "$dir" -G Ninja ${CCACHE_LAUNCHER[@]+"${CCACHE_LAUNCHER[@]}"} "${opts[@]}" >/dev/null
    cmake --build "$dir" -j "$(jobs)" ${targets[@]+"${targets[@]}"}
    ctest --test-dir "$dir" --output-on-failure -j "$(jobs)" --timeout 600 ${filter[@]+"${filter[@]}"}
    ;;
bench)
    install_missing "${PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
    build build-bench -DCMAKE_BUILD_TYPE=Release -DQUENDREL_TESTS=OFF
    for script in bench/*.sh; do
        [ -x "$script" ] && "$script" build-bench
    done
    ;;
*)
    sed -n '2,6p' "$0"
    exit 2
    ;;
esac
