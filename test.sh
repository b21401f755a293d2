#!/usr/bin/env bash
# Builds Tarrowind Assistant with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test, so that each test run is also a memory-safety check.
#   ./test.sh         build and run the tests
#   ./test.sh fuzz    build the fuzz targets with clang and run each for a few seconds
#   ./test.sh bench   build Release and run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

common=(cmake ninja-build g++ qt6-base-dev libqt6svg6 fonts-dejavu-core libgtest-dev libbenchmark-dev)
# The install test checks the desktop entry and the AppStream metadata with their tools.
desktop=(appstream desktop-file-utils)
# The game sharing: libcurl and the keyring, and the real servers its tests run on 127.0.0.1.
net=(libcurl4-openssl-dev qtkeychain-qt6-dev)
net_servers=(python3-pyftpdlib python3-aiosmtpd python3-openssl openssl)

case "${1:-}" in
  "")
    scripts/ensure-packages.sh "${common[@]}" "${net[@]}" "${net_servers[@]}" "${desktop[@]}" xvfb xauth python3
    build=build-test
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKR_SANITIZE=ON -DKR_WERROR=ON >/dev/null
    cmake --build "$build" --parallel 2
    export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
    ctest --test-dir "$build" --output-on-failure --parallel 2
    ;;
  fuzz)
    scripts/ensure-packages.sh "${common[@]}" clang libclang-rt-14-dev
    build=build-fuzz
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKR_FUZZ=ON >/dev/null
    cmake --build "$build" --parallel 2
    fuzz/run.sh "$build" "${2:-5}"
    ;;
  bench)
    scripts/ensure-packages.sh "${common[@]}"
    build=build-bench
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKR_BUILD_GUI=OFF -DKR_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --parallel 2 -- krbench
    "$build/bin/krbench"
    ;;
  *)
    echo "Usage: ./test.sh [fuzz [SECONDS] | bench]" >&2
    exit 2
    ;;
esac
