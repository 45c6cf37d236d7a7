#!/usr/bin/env bash
# The sample company end to end, from this folder's files: creates the company EXEMPLO on SQLite in
# a new folder with this folder's relatorios/ as its report folder, loads exemplo.json, previews
# the plan-alert mails, runs the routine once with its mail going into the outbox, checks one new
# maintenance order and one accepted and one refused record of each register, asks whether two
# plans may be deleted and what user 6 may do, and tells where everything is.
#
# Usage: exemplo.sh [FOLDER]
#   FOLDER must not exist or be empty; by default ./exemplo-zqmm. The registry file is
#   FOLDER/registro.ini. The host is $ZQMM, else the zqmm installed beside this folder
#   (<prefix>/bin/zqmm for <prefix>/share/zqmm/exemplo), else zqmm on the PATH.
#
# The sample's dates lie around 7 December 2026, so the host's clock is set to that morning
# (--agora); without it, what is due depends on the day the example runs.
set -euo pipefail
aqui="$(cd "$(dirname "$0")" && pwd)"
rotulo="${ZQMM_EXEMPLO_ROTULO:-$aqui}"

pasta="${1:-exemplo-zqmm}"
if [ -e "$pasta" ] && [ -n "$(ls -A "$pasta")" ]; then
  echo "exemplo.sh: $pasta is not empty; give a new folder" >&2
  exit 2
fi
zqmm="${ZQMM:-}"
[ -n "$zqmm" ] || { [ -x "$aqui/../../../bin/zqmm" ] && zqmm="$(cd "$aqui/../../../bin" && pwd)/zqmm"; } ||
  zqmm="$(command -v zqmm)" || { echo "exemplo.sh: zqmm not found; set ZQMM" >&2; exit 2; }
mkdir -p "$pasta"
pasta="$(cd "$pasta" && pwd)"
export ZQ_REGISTRO="$pasta/registro.ini"
agora="2026-12-07T08:00:00-03:00"

echo
echo "== zqmm empresa criar / empresa email / carregar"
"$zqmm" empresa criar EXEMPLO --dados "$pasta/EXEMPLO" --relatorios "$aqui/relatorios"
"$zqmm" empresa email EXEMPLO --remetente manutencao@exemplo.com.br
"$zqmm" carregar EXEMPLO "$aqui/exemplo.json"

echo
echo "== zqmm --agora $agora alertas previa EXEMPLO --saida $pasta/previa"
"$zqmm" --agora "$agora" alertas previa EXEMPLO --saida "$pasta/previa"

echo
echo "== zqmm --agora $agora alertas executar EXEMPLO"
"$zqmm" --agora "$agora" alertas executar EXEMPLO

echo
echo "== zqmm --agora $agora verificar EXEMPLO manutencao $rotulo/ordem-nova.json"
"$zqmm" --agora "$agora" verificar EXEMPLO manutencao "$aqui/ordem-nova.json"

# A register record through its handler; the refused ones answer exit 1, which is expected here.
verifica() {
  echo
  echo "== zqmm verificar EXEMPLO $1 $rotulo/$2.json"
  local saida=0
  "$zqmm" verificar EXEMPLO "$1" "$aqui/$2.json" || saida=$?
  [ "$saida" -le 1 ] || exit "$saida"
}
for registro in disciplina:disciplina-nova disciplina:disciplina-recusada tipo_gasto:tipo-gasto-novo \
  tipo_gasto:tipo-gasto-recusado tecnico:tecnico-novo tecnico:tecnico-recusado situacao:situacao-nova \
  situacao:situacao-recusada situacao:situacao-tarefa-nova situacao:situacao-tarefa-recusada \
  campos_personalizados:campo-personalizado-novo campos_personalizados:campo-personalizado-recusado \
  mestre:mestre-alterado mestre:mestre-recusado; do
  verifica "${registro%%:*}" "${registro#*:}"
done

# Whether a register entry may be deleted: exit 1 names the record that depends on it.
for entrada in "plano PREV-EMP" "plano PREV-CALD"; do
  echo
  echo "== zqmm integridade EXEMPLO $entrada"
  saida=0
  "$zqmm" integridade EXEMPLO $entrada || saida=$?
  [ "$saida" -le 1 ] || exit "$saida"
done

echo
echo "== zqmm permissoes EXEMPLO --usuario 6"
"$zqmm" permissoes EXEMPLO --usuario 6

echo
echo "== zqmm onde EXEMPLO"
"$zqmm" onde EXEMPLO

echo
echo "The outbox holds the alert e-mails as .eml files; open one with a mail reader."
echo "The preview of the same mails, before they were sent: $pasta/previa/index.html"
echo "To go on with this company:  export ZQ_REGISTRO=$ZQ_REGISTRO  and run $zqmm --help"
