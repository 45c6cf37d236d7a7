#!/usr/bin/env bash
# Builds the Debian package of BUILD_DIR (cpack -G DEB) and prints its path. As root with CI=true,
# or with --instalar, also installs it with apt-get, runs the installed zqmm --help and the
# installed sample company from a fresh folder, and removes the package again.
# Usage: scripts/pacote.sh BUILD_DIR [--instalar]
set -euo pipefail
[ $# -ge 1 ] && [ $# -le 2 ] && { [ $# -eq 1 ] || [ "$2" = --instalar ]; } ||
  { echo "usage: $0 BUILD_DIR [--instalar]" >&2; exit 2; }
build="$(cd "$1" && pwd)"
instalar=false
{ [ "${2:-}" = --instalar ] || { [ "$(id -u)" -eq 0 ] && [ "${CI:-}" = true ]; }; } && instalar=true

cmake --build "$build"
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls -t "$build"/zqmm_*.deb | head -1)"
echo "$deb"
dpkg-deb --field "$deb" Package Version Depends
$instalar || exit 0

sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
if dpkg-query -W -f='${Status}' zqmm 2>/dev/null | grep -q 'install ok installed'; then
  echo "pacote.sh: zqmm is already installed; not touching it" >&2
  exit 2
fi
tmp="$(mktemp -d)"
remove() {
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get remove --purge -y -qq zqmm >/dev/null || true
  rm -rf "$tmp"
}
trap remove EXIT
echo "== apt-get install $deb"
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1 ||
  { cat "$tmp/apt.log" >&2; exit 1; }
# From a folder of its own, with a clean environment: only the installed files are used.
cd "$tmp"
env -i PATH=/usr/bin:/bin HOME="$tmp" zqmm --help >"$tmp/ajuda.txt"
head -3 "$tmp/ajuda.txt"
env -i PATH=/usr/bin:/bin HOME="$tmp" /usr/share/zqmm/exemplo/exemplo.sh "$tmp/exemplo" >"$tmp/exemplo.log" 2>&1 ||
  { cat "$tmp/exemplo.log" >&2; exit 1; }
sed -n '/^== zqmm onde/,$p' "$tmp/exemplo.log"
grep -qxF "mensagens   /usr/share/zqmm/mensagens/" "$tmp/exemplo.log"
if grep -qF "$build" "$tmp/exemplo.log"; then
  echo "pacote.sh: the installed sample used the build folder $build" >&2
  exit 1
fi
echo "pacote.sh: installed, ran and removed $deb"
