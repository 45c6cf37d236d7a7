// CComandosPermissoes: the zqmm commands that show what the library answers the suite's screens
// about a company's users and files. Both only read.
//
//   permissoes <NOME> --usuario N [--json]
//       CMMControlePermissoes::GetPermissoes for every screen of the module, as user N: a table
//       with one row per screen (value, name, group) and one column per flag ('x' granted,
//       '.' not), the legend of the abbreviations below it. --json writes an array instead, one
//       object a line: {"tela": 5, "nome": "MM_TELA_CADASTRO_4", "grupo": "cadastro",
//       "flags": {"temPermissaoConfigurar": 0, ...}}. A user the company does not have is
//       unusable input (exit 2); a failed read is exit 3.
//
//   arquivos <NOME> [--periodo AAAA-MM]
//       CArqManutencao for the company: its data directory, each data file (value, name, path
//       with ".dat", whether it exists there), the version files (their names carry no
//       extension, so the path is the name's), and with --periodo the five movement files of
//       that month. The movement files exist once a month, so without a period their rows say
//       so instead of a path. Month texts use form 0 (month and two-digit year: MMMN1226.dat),
//       the form the suite's own example names. A period that is not AAAA-MM between 1848-01 and
//       4717-12 is exit 2.
#pragma once

#include <string>

namespace zqhost {

class CComandosPermissoes {
 public:
  static int Permissoes(const std::string& empresa, unsigned short usuario, bool json);
  static int Arquivos(const std::string& empresa, const std::string& periodo);
};

}  // namespace zqhost
