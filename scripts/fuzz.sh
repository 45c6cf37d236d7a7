#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan in build/fuzz and runs each for SECONDS
# (default 60), one after the other, on a scratch copy of its seed corpus (fuzz/corpus/<target>)
# so the tree stays clean. Exits 1 when a target finds a fault, naming the reproducer: run it
# again with build/fuzz/fuzz/fuzz_<target> <file>.
set -euo pipefail

SEGUNDOS=${1:-60}
RAIZ=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$RAIZ/build/fuzz
ALVOS=()  # one per fuzz/<target>_fuzz.cpp, as fuzz/CMakeLists.txt makes them
for fonte in "$RAIZ"/fuzz/*_fuzz.cpp; do
  fonte=${fonte##*/}
  ALVOS+=("${fonte%_fuzz.cpp}")
done

LANCADOR=()
if command -v ccache >/dev/null; then LANCADOR=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
CC=clang CXX=clang++ cmake -S "$RAIZ" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZQ_BUILD_FUZZ=ON -DZQ_SANITIZE=ON "${LANCADOR[@]}" >/dev/null
cmake --build "$BUILD" -j"$(nproc)" -t "${ALVOS[@]/#/fuzz_}"

TRABALHO=$(mktemp -d)
trap 'rm -rf "$TRABALHO"' EXIT
ACHADOS=$RAIZ/build/fuzz/achados
mkdir -p "$ACHADOS"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

falhas=0
for alvo in "${ALVOS[@]}"; do
  corpus=$TRABALHO/$alvo
  mkdir -p "$corpus"
  cp "$RAIZ/fuzz/corpus/$alvo/"* "$corpus/" 2>/dev/null || true
  opcoes=(-max_total_time="$SEGUNDOS" -artifact_prefix="$ACHADOS/$alvo-" -print_final_stats=1 -rss_limit_mb=4096)
  case $alvo in
    template_*) opcoes+=(-dict="$RAIZ/fuzz/template.dict" -max_len=600) ;;
    record_json | dataset) opcoes+=(-dict="$RAIZ/fuzz/records.dict") ;;
  esac
  echo "== fuzz_$alvo (${SEGUNDOS}s)"
  if ! "$BUILD/fuzz/fuzz_$alvo" "${opcoes[@]}" "$corpus" >"$TRABALHO/$alvo.log" 2>&1; then
    falhas=1
    tail -n 40 "$TRABALHO/$alvo.log"
    for r in "$ACHADOS/$alvo-"*; do [ -e "$r" ] && echo "fuzz_$alvo: reproducer $r"; done
  else
    grep -E '^#[0-9]+[[:space:]]+DONE' "$TRABALHO/$alvo.log" || tail -n 1 "$TRABALHO/$alvo.log"
  fi
done
exit $falhas
