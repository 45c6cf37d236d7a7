#!/usr/bin/env bash
# Builds the release and the AddressSanitizer+UBSan configurations and runs every test in both.
# Usage: scripts/test.sh [ctest arguments...]
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
"$raiz/scripts/dependencias.sh"
jobs="$(nproc)"
for config in release asan; do
  dir="$raiz/build/$config"
  opcoes=(-DCMAKE_BUILD_TYPE=Release)
  [ "$config" = asan ] && opcoes=(-DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=ON -DZQ_BUILD_BENCH=OFF)
  echo "== $config: build"
  cmake -S "$raiz" -B "$dir" -G Ninja "${opcoes[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $config: tests"
  (cd "$dir" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     ctest --output-on-failure -j "$jobs" "$@")
done
