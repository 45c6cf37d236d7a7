#!/usr/bin/env bash
# Times `zqmm carregar` of a generated dataset against the sqlite3 shell importing the same rows
# into the same schema: the loaded company's file is dumped (`sqlite3 .dump`, one transaction)
# and read into a fresh file. Each run loads into a fresh company and imports into a fresh file,
# in alternating order; the ratio of each run is zqmm's time over sqlite3's, both elapsed and CPU
# (user + system: steadier than elapsed on a busy machine). Also reports the load's peak memory
# (max RSS) against the dataset's size.
#
# Usage: bench/load_bench.sh [RECORDS] [RUNS]     (50000 and 7 by default)
#   ZQMM=path/to/zqmm picks the program (default build/tools/zqmm); needs sqlite3 and python3.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
registros="${1:-50000}"
rodadas="${2:-7}"
zqmm="${ZQMM:-$raiz/build/tools/zqmm}"
[ -x "$zqmm" ] || { echo "load_bench.sh: $zqmm not found; build zqmm_host first" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "load_bench.sh: sqlite3 missing (scripts/dependencias.sh)" >&2; exit 2; }

pasta="$(mktemp -d)"
trap 'rm -rf "$pasta"' EXIT
export ZQ_REGISTRO="$pasta/registro.ini"
conjunto="$pasta/conjunto.json"
python3 "$raiz/bench/gera_conjunto.py" "$registros" "$conjunto" >/dev/null
bytes=$(stat -c %s "$conjunto")

agora() { local t=$EPOCHREALTIME; echo "${t/[.,]/}"; }  # microseconds

# CPU seconds (user + system) of the last command timed into $pasta/tempo.
cpu() { awk '{ printf "%.2f", $2 + $3 }' "$pasta/tempo"; }

# zqmm's load into company N; sets z (microseconds), zc (CPU seconds) and m (max RSS, KiB).
carrega() {
  "$zqmm" empresa criar "B$1" --dados "$pasta/B$1" >/dev/null
  local t0 t1
  t0=$(agora)
  /usr/bin/time -f '%M %U %S' -o "$pasta/tempo" "$zqmm" carregar "B$1" "$conjunto" >/dev/null 2>"$pasta/erros" || { cat "$pasta/erros" >&2; exit 1; }
  t1=$(agora)
  z=$((t1 - t0)) zc=$(cpu) m=$(awk '{ print $1 }' "$pasta/tempo")
}
# sqlite3's import into file N; sets s (microseconds) and sc (CPU seconds).
importa() {
  local t0 t1
  t0=$(agora)
  /usr/bin/time -f '%M %U %S' -o "$pasta/tempo" sqlite3 "$pasta/S$1.db" <"$pasta/dump.sql"
  t1=$(agora)
  s=$((t1 - t0)) sc=$(cpu)
}

carrega 0
sqlite3 "$pasta/B0/B0.db" .dump >"$pasta/dump.sql"
linhas=$(grep -c '^INSERT INTO' "$pasta/dump.sql")
[ "$linhas" -ge "$registros" ] || { echo "load_bench.sh: the dump holds $linhas rows" >&2; exit 1; }

zs=() ss=() rs=() cs=() rss=()
for ((i = 1; i <= rodadas; i++)); do
  if ((i % 2)); then
    carrega "$i"; importa "$i"
  else
    importa "$i"; carrega "$i"
  fi
  zs+=("$z") ss+=("$s") rss+=("$m")
  rs+=("$(awk -v z="$z" -v s="$s" 'BEGIN { printf "%.3f", z / s }')")
  cs+=("$(awk -v z="$zc" -v s="$sc" 'BEGIN { printf "%.3f", z / (s > 0 ? s : 0.01) }')")
  printf 'run %d: zqmm %.3f s (CPU %s), sqlite3 %.3f s (CPU %s), ratio %s (CPU %s), max RSS %d KiB\n' "$i" \
    "$(awk -v v="$z" 'BEGIN { print v / 1e6 }')" "$zc" "$(awk -v v="$s" 'BEGIN { print v / 1e6 }')" "$sc" \
    "${rs[-1]}" "${cs[-1]}" "$m"
  rm -rf "$pasta/B$i" "$pasta/S$i.db"
done

# min median max of the arguments
resumo() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%s %s %s", v[1], v[int((NR + 1) / 2)], v[NR] }'; }
segundos() { read -r a b c; awk -v a="$a" -v b="$b" -v c="$c" 'BEGIN { printf "%.3f %.3f %.3f", a / 1e6, b / 1e6, c / 1e6 }'; }
echo
echo "$registros records, dataset $bytes bytes, $linhas rows in the dump, $rodadas runs (min median max)"
echo "zqmm carregar (s)       $(resumo "${zs[@]}" | segundos)"
echo "sqlite3 import (s)      $(resumo "${ss[@]}" | segundos)"
echo "ratio zqmm/sqlite3      $(resumo "${rs[@]}")"
echo "CPU ratio zqmm/sqlite3  $(resumo "${cs[@]}")"
read -r a b c <<<"$(resumo "${rss[@]}")"
echo "max RSS (KiB)           $a $b $c"
awk -v m="$b" -v d="$bytes" 'BEGIN { printf "max RSS / dataset       %.2f (median)\n", m * 1024 / d }'
