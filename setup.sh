#!/usr/bin/env bash
# Sets up, builds and starts Velmora, or builds it and runs every test.
#
#   ./setup.sh run     install what is missing, build, start the program
#   ./setup.sh test    install what is missing, build, run the tests, then
#                      run them again in a debug build with AddressSanitizer
#                      and UndefinedBehaviorSanitizer
#   ./setup.sh test --quick    the first test run only
#   ./setup.sh bench   build, run every benchmark, print one table with targets
#   ./setup.sh package build the Debian package build-package/velmora_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc 2>/dev/null || echo 2)

packages_from() {
    cat "$@" | grep -v '^\s*#' | grep -v '^\s*$'
}

install_missing() {
    local missing=()
    for pkg in $(packages_from "$@"); do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
}

case "${1:-}" in
run)
    install_missing tools/debian-packages.txt
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "Velmora needs a graphical display and none was found (DISPLAY is not set); run it under a virtual display with: xvfb-run -a ./setup.sh run" >&2
        exit 1
    fi
    exec build/bin/velmora
    ;;
test)
    install_missing tools/debian-packages.txt tools/debian-test-packages.txt
    export QT_QPA_PLATFORM=offscreen
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    (cd build && ctest --output-on-failure -j"$jobs")
    if [ "${2:-}" != "--quick" ]; then
        build build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCH=OFF
        (cd build-asan && ctest --output-on-failure -j"$jobs")
    fi
    ;;
bench)
    install_missing tools/debian-packages.txt tools/debian-test-packages.txt
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_BENCH=ON
    exec /usr/bin/python3 bench/run_all.py --bin build/bin "${@:2}"
    ;;
package)
    install_missing tools/debian-packages.txt
    build build-package -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
    rm -f build-package/velmora_*.deb
    (cd build-package && cpack -G DEB >/dev/null)
    ls build-package/velmora_*.deb
    ;;
*)
    echo "usage: $0 run | test [--quick] | bench [--quick] | package" >&2
    exit 2
    ;;
esac
