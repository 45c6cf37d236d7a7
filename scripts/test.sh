#!/usr/bin/env bash
# Builds three configurations and runs every test in each: release (GCC), AddressSanitizer+UBSan
# (GCC) and release with clang (warnings are errors there). Then, unless ZQ_SEM_EXTRAS=1: the Debian package (installed,
# run and removed again when running as root under CI=true) and a smoke run of every fuzz target
# (ZQ_FUZZ_SEGUNDOS each, 60 by default).
# Usage: scripts/test.sh [ctest arguments...]
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
"$raiz/scripts/dependencias.sh"
jobs="$(nproc)"
for config in release asan clang; do
  dir="$raiz/build/$config"
  opcoes=(-DCMAKE_BUILD_TYPE=Release)
  ambiente=()
  case "$config" in
    asan) opcoes=(-DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=ON -DZQ_BUILD_BENCH=OFF) ;;
    clang) opcoes+=(-DZQ_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-Werror); ambiente=(CC=clang CXX=clang++) ;;
  esac
  echo "== $config: build"
  env "${ambiente[@]}" cmake -S "$raiz" -B "$dir" -G Ninja "${opcoes[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $config: tests"
  (cd "$dir" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     ctest --output-on-failure -j "$jobs" "$@")
done
[ "${ZQ_SEM_EXTRAS:-0}" = 1 ] && exit 0
echo "== Debian package"
"$raiz/scripts/pacote.sh" "$raiz/build/release"
if [ -x "$raiz/scripts/fuzz.sh" ]; then
  echo "== fuzz targets, ${ZQ_FUZZ_SEGUNDOS:-60} s each"
  "$raiz/scripts/fuzz.sh" "${ZQ_FUZZ_SEGUNDOS:-60}"
fi
