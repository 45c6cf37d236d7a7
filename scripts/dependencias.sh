#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing (chromium renders
# the alert preview's pages in its test; bench/load_bench.sh times the load against the sqlite3
# shell; the PostgreSQL engine's tests start a throwaway server of their own; scripts/fuzz.sh builds
# with clang and its libFuzzer).
set -euo pipefail
pacotes=(build-essential cmake ninja-build pkg-config python3 libc-bin
         libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
         nlohmann-json3-dev libcli11-dev dpkg-dev mingw-w64-common librust-winapi-dev
         libcurl4-openssl-dev python3-aiosmtpd chromium sqlite3
         postgresql libpq-dev clang libclang-rt-14-dev)
faltam=()
for p in "${pacotes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || faltam+=("$p")
done
if [ ${#faltam[@]} -gt 0 ]; then
  echo "Installing: ${faltam[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${faltam[@]}"
fi
