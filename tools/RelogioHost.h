// CRelogioHost: the host's --agora option. It moves the process's local clock (CZQRelogio) so
// that "now" starts at a chosen local moment and then runs on with the system clock, so that a
// scheduled run an hour later still sees an hour pass:
//
//   zqmm --agora 2025-06-02T08:00:00 alertas executar EXEMPLO
//
// The moment is local time, written as the records write date-times (RecordJson.h), optionally
// with its UTC offset ("2025-06-02T08:00:00-03:00"); without one, the system's current offset is
// kept. Call once, before any rule reads the clock; not thread-safe against that first read.
#pragma once

#include <string>

namespace zqhost {

class CRelogioHost {
 public:
  // Throws CErroHost(kSaidaEntradaInvalida) for a text that is not such a moment.
  static void DefineAgora(const std::string& iso);
};

}  // namespace zqhost
