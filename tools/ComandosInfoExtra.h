// CComandosInfoExtra: `zqmm info-extra`, the extra information of one record through the
// module's link to the extra-information server (CMMRoraRezo).
//
//   info-extra <NOME> <PROCESSO> <CHAVE> [--copiar-para <CHAVE>]
//
// PROCESSO is a process name (recurso, manutencao, plano, tarefa, tecnico, lancamento_gastos;
// see platform/records/IEHeader.h) or its number; CHAVE is the key (pointer) of a record of the
// process's kind, which must exist when the process is a named one. Prints the process's header
// and the record's extra fields; with --copiar-para, copies them onto that record (replacing its
// own) and says what was written. Only the copy writes: without it the database is opened
// read-only.
//
// Exit statuses (ErroHost.h): 2 for an unknown process name; 3 for a process without a header,
// a record that does not exist, a failed server call, and a copy refused because the header is
// inactive (nothing is written then).
#pragma once

#include <string>

namespace zqhost {

class CComandosInfoExtra {
 public:
  // destino 0: no copy.
  static int Executa(const std::string& empresa, const std::string& processo, unsigned long chave,
                     unsigned long destino);
  // The process names, comma-separated, for the help text.
  static std::string Processos();
};

}  // namespace zqhost
