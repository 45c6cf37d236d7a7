// CAutoRun: the suite's scheduler base. A scheduled routine derives from it, overrides OnRun,
// OnGetIntervalo and OnDeleta, and writes what an operator should read with GravaLog. It is a
// routine base too, so the host initialises it for a company (Inicializa) before running it.
//
// The scheduler's contract, as the routines see it:
//   - OnGetIntervalo gives the time between runs in milliseconds (300000 is five minutes);
//   - OnRun does one run; its flag is the scheduler's "stop calling me" request: a routine sets
//     it to true to be run no more, and leaves it untouched otherwise. It returns 0 or a failure
//     result, or throws CZQExceptionEx to give up the run;
//   - OnDeleta ends the routine in place of delete (a routine from another library frees itself
//     with its own allocator). The object must not be used afterwards.
//
// Running a routine in a host:
//
//   CAutoRun* rotina = criar();                  // e.g. the library's MMEmailAlertaPlano()
//   rotina->Inicializa(empresa, usuario, sessao);
//   std::jthread t([&](std::stop_token parar) { rotina->ExecutaEmIntervalos(parar); });
//   ...
//   t.request_stop(); t.join();                  // returns between runs, never inside one
//   rotina->OnDeleta();
//
// GravaLog writes one line per call, "dd/mm/yyyy hh:mm:ss<TAB>routine<TAB>company<TAB>tipo
// <TAB>nivel<TAB>text", to the month's log file ArquivoLog(company, now) (line breaks in the text
// become spaces; the text is Windows-1252 bytes), and in UTF-8 to standard error as well when
// standard error is a terminal. The clock is CZQRelogio.
//
// One routine object serves one thread at a time; different routines may log concurrently (each
// line is one append).
#pragma once

#include <functional>
#include <optional>
#include <stop_token>
#include <string>

#include "platform/types/String.h"
#include "platform/routines/ZQBaseParaRotinas.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/routines/ZQExceptionEx.h"

class CAutoRun : public CZQBaseParaRotinas {
 public:
  // `nome` is the routine's name in its log lines.
  explicit CAutoRun(const char* nome = "AutoRun");
  ~CAutoRun() override;

  // Slot order of the scheduler's table: OnRun, OnGetIntervalo, OnDeleta.
  virtual long OnRun(bool& bPararExecucoes);
  virtual long OnGetIntervalo(long& intervaloMs);
  virtual void OnDeleta();

  // Writes one log line (see above); never fails loudly.
  void GravaLog(int tipo, int nivel, const char* texto);
  // With a receiver set, GravaLog hands it the text (Windows-1252, line breaks as spaces) and
  // writes neither the log file nor the terminal: a preview reports the routine's lines without
  // leaving them in the company's log as if a run had happened. None by default.
  using AoGravarLog = std::function<void(const std::string& texto)>;
  void SetAoGravarLog(AoGravarLog aoGravarLog) { m_aoGravarLog = std::move(aoGravarLog); }

  // ---- For hosts ------------------------------------------------------------------------

  // One run: OnRun, with a CZQExceptionEx or another std::exception that leaves it caught.
  // Answers OnRun's result, the exception's result code, or E_UNEXPECTED (0x8000FFFF) for an
  // exception that is not the suite's (logged here, since nobody else saw it). When
  // `excecao` is given it receives the CZQExceptionEx caught, or is reset.
  long Executa(bool& bPararExecucoes, std::optional<CZQExceptionEx>* excecao = nullptr);
  // Runs at once, then again OnGetIntervalo milliseconds after each run ended (runs never
  // overlap and a slow run delays the next, not piles up), until `parar` is requested or a run
  // sets its flag. A stop request ends the wait at once but never interrupts a run. An interval
  // that cannot be read or is not positive means one run. Answers the last run's result.
  long ExecutaEmIntervalos(std::stop_token parar);

  const CString& GetNomeRotina() const { return m_nome; }

  // The log file of a company for the month of `agora`: "<company data dir>ZQAutoRun_YYYYMM.log"
  // (CZQEmpresas::DiretorioDados); without a company or its directory, the installation's
  // "<Path>/ZQAutoRun_YYYYMM.log" (registry [SOFTWARE\Wow6432Node\ZQ Sistemas\DF] Path), beside
  // the profiler error log; "" when neither is known (then only the terminal gets the line).
  static std::string ArquivoLog(const std::string& empresa, const REG_ZQDMAHMSUTC& agora);

 private:
  CString m_nome;
  AoGravarLog m_aoGravarLog;
};
