// CComandosAlerta: the zqmm commands that run the plan-alert routine of the library
// (CMMEmailAlertaPlano, created through its exported MMEmailAlertaPlano as the suite's
// scheduler creates it) for one company.
//
//   alertas executar <NOME>             one run
//   alertas agendar <NOME> [--intervalo MS]
//                                       a run at once, then one each interval after the previous
//                                       run ended, until SIGINT or SIGTERM; a signal never cuts
//                                       a run short: it ends the wait, or the loop after the run
//                                       in progress. Exits 0 when stopped by a signal.
//
//   alertas previa <NOME> [--saida DIR]
//                                       the mails one run would send now (plan, alert, recipient,
//                                       subject, rows), without sending them, writing the outbox,
//                                       recording a send time or writing the log: the real
//                                       routine runs on the company opened read-only (see
//                                       PreviaAlerta.h). With DIR, each mail's HTML and an
//                                       index.html. Exits 3 when the run would abort.
//
// Each run prints what it did: the plans the routine looks at (active, with active resources),
// the alerts whose send time the run recorded, the mails written to the outbox or taken by the
// SMTP server (only those really delivered, each with its recipient and subject), and the
// routine's log lines of the run. A run that aborts (no e-mail account,
// report folder unknown, template unreadable, a failed read or send) prints its log line and
// exception and makes `executar` exit 3; `agendar` reports it and goes on at the next interval.
#pragma once

#include <string>

namespace zqhost {

class CComandosAlerta {
 public:
  static int Executa(const std::string& empresa);
  // intervaloMs 0: the routine's own interval.
  static int Agenda(const std::string& empresa, long intervaloMs);
  // saida "": no files.
  static int Previa(const std::string& empresa, const std::string& saida);
};

}  // namespace zqhost
