// What every command of the zqmm host shares: its exit statuses, the exception a command throws
// to end with one of them, and the conversion of the library's texts for the terminal.
//
// Exit statuses (documented in README and `zqmm --help`):
//   0  done; for `verificar` and `gravar`, the record was accepted
//   1  `verificar` and `gravar` only: the handler refused the record (its warning is printed)
//   2  unusable input: malformed JSON, unknown kind or field, a name given twice, wrong type,
//      bad arguments
//   3  the work could not be done: company unknown, database missing, empty or another
//      program's, busy past the lock wait, file unreadable, failed write, an aborted alert run
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/types/Cp1252.h"

namespace zqhost {

enum Saida : int {
  kSaidaOk = 0,
  kSaidaRecusado = 1,
  kSaidaEntradaInvalida = 2,
  kSaidaFalha = 3,
};

// Thrown by a command; main prints "zqmm: <what()>" on standard error and exits with Saida().
// The text is UTF-8.
class CErroHost : public std::runtime_error {
 public:
  CErroHost(Saida saida, const std::string& texto) : std::runtime_error(texto), m_saida(saida) {}
  Saida GetSaida() const { return m_saida; }

 private:
  Saida m_saida;
};

// The library speaks Windows-1252; terminals and JSON speak UTF-8.
inline std::string Utf8(std::string_view cp1252) { return zq::Cp1252ToUtf8(cp1252); }

}  // namespace zqhost
