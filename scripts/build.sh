#!/usr/bin/env bash
# Installs what is missing and builds the release configuration into build/release.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
"$raiz/scripts/dependencias.sh"
cmake -S "$raiz" -B "$raiz/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$raiz/build/release" -j "$(nproc)"
