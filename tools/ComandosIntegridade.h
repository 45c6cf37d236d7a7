// CComandosIntegridade: `zqmm integridade NOME REGISTRO CODIGO`, whether an entry of the
// discipline, technician, plan, maintenance-status or expense-type register may be deleted
// (CMMControleIntegridade), and the same check for `zqmm verificar --exclusao`.
//
//   $ zqmm integridade ACME disciplina MEC
//   Técnico T-MEC01 João Pereira é dependente da disciplina MEC Mecânica      (exit 1)
#pragma once

#include <string>

#include "platform/records/ZQDadosDF_Erro.h"
#include "platform/routines/ZQBaseParaDados.h"

namespace zqhost {

class CComandosIntegridade {
 public:
  // integridade: `registro` is a kind name (disciplina, tecnico, plano, situacao, tipo_gasto)
  // or its number 1..5; `codigo` the entry's code (a status: a maintenance status). Prints one
  // line: that nothing depends on the entry (exit 0) or the dependent (exit 1). An unknown
  // register or code is bad input (2); a failed read, a failure (3).
  static int Verifica(const std::string& empresa, const std::string& registro, const std::string& codigo,
                      unsigned short usuario);
  // For a delete of `registro` (a record of any kind, as verificar read it): false, with the
  // answer in *erro, when a record depends on it or the check could not read; true when nothing
  // does or its kind has no integrity check (task statuses neither).
  static bool PermiteExclusao(const std::string& empresa, unsigned short usuario, const TZQBaseParaDados& registro,
                              CZQDadosDF_Erro* erro);
};

}  // namespace zqhost
