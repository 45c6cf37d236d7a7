#!/usr/bin/env bash
# The sample company end to end from the source tree: installs what is missing, builds, and runs
# data/exemplo/exemplo.sh with the build's zqmm (what it does is told there).
#
# Usage: scripts/exemplo.sh [FOLDER]
#   FOLDER must not exist or be empty; by default build/exemplo, recreated on every run.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"

pasta="${1:-$raiz/build/exemplo}"
[ $# -eq 0 ] && rm -rf "$pasta"

"$raiz/scripts/build.sh"
ZQMM="$raiz/build/release/tools/zqmm" ZQMM_EXEMPLO_ROTULO=data/exemplo "$raiz/data/exemplo/exemplo.sh" "$pasta"
