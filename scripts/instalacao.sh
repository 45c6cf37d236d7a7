#!/usr/bin/env bash
# Installs BUILD_DIR into a throwaway prefix and uses only that: builds tests/instalacao's consumer
# with find_package and with pkg-config, runs both, and runs the installed zqmm. ctest runs it on
# the release build.
# Usage: scripts/instalacao.sh BUILD_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
prefixo="$tmp/prefixo"

echo "== cmake --install $build --prefix $prefixo"
cmake --install "$build" --prefix "$prefixo" >/dev/null
libdir="$(dirname "$(find "$prefixo" -name 'libzqmm.so' | head -1)")"

echo "== consumer with find_package"
cmake -S "$raiz/tests/instalacao" -B "$tmp/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefixo" >/dev/null
cmake --build "$tmp/cmake" >/dev/null
LD_LIBRARY_PATH="$libdir" "$tmp/cmake/consumidor"

echo "== consumer with pkg-config"
# The headers are C++20; pkg-config leaves the standard to the consumer.
PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --exists --print-errors zqmm
c++ -std=c++20 "$raiz/tests/instalacao/main.cpp" -o "$tmp/consumidor-pc" \
  $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs zqmm)
LD_LIBRARY_PATH="$libdir" "$tmp/consumidor-pc"

echo "== installed zqmm --help and the installed sample"
# The host's own RPATH finds the libraries, and the message and report folders must be the
# installed ones: nothing here names the build folder.
cd "$tmp"
env -u LD_LIBRARY_PATH ZQ_REGISTRO="$tmp/registro.ini" "$prefixo/bin/zqmm" --help >/dev/null
env -u LD_LIBRARY_PATH ZQMM= "$prefixo/share/zqmm/exemplo/exemplo.sh" "$tmp/exemplo" >"$tmp/exemplo.log" 2>&1 ||
  { cat "$tmp/exemplo.log" >&2; exit 1; }
for pasta in "mensagens   $prefixo/share/zqmm/mensagens/" "relatorios  $prefixo/share/zqmm/exemplo/relatorios/"; do
  grep -qxF "$pasta" "$tmp/exemplo.log" || { echo "instalacao: expected \"$pasta\" in:" >&2; cat "$tmp/exemplo.log" >&2; exit 1; }
done
ls "$tmp/exemplo/EXEMPLO/saida/"*.eml >/dev/null
echo "instalacao: ok"
