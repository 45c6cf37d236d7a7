// The failure trace: one diagnostic line in the monthly profiler error log (ProfilerLog.h) for
// each failure a rule gets from the data-access layer or from the routine base. The trace never
// changes a rule's result: nothing it does reaches the caller, not even errno, and a line that
// cannot be written is dropped.
//
// A call site of the rules looks like this:
//
//   long hr = GetAcessoManutencao()->LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO);
//   if (hr != 0) {
//     MMTraceHR(this, "CMMTrataDados::VerificaSituacaoManutencao", "MMTrataDados", 252,
//               "GetAcessoManutencao()->LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO)", hr);
//     ...copy the access object's error...
//   }
//
// Results are 32-bit HRESULTs in a long; only the low 32 bits count (HResultNomes.h).
// What stands in for Windows here: the log file's place, columns and locking (ProfilerLog.h),
// the message library and its registry value (BibliotecaMensagens.h), the version texts
// (Versoes.h), memory, executable, user and GUID (InfoProcesso.h).
// Thread-safe: any thread may trace; traces of all threads and processes meet only at the file.
#pragma once

#include "platform/types/Cp1252.h"
#include "platform/routines/ZQDF_Profiler.h"

// The format of every rules call site, with the eleven arguments MMTraceHR passes:
//   "hr = " + call text, "hr", hr (32 bits, "%#X"), the suite's description (lookup A),
//   severity 0/1, its name (B), facility, its name (C), code, its name (D), the SDK name of hr (E).
inline constexpr const char* kMMFormatoTraceHR =
    "%s\t%s = %#X %s\tSEVERITY = %d %s\tFACILITY = %d %s\tCODE = %d %s\tDescrição = %s"_cp;

// True when hr equals one of the codes that follow it, up to the terminator ZQ_HR(0xFFFFFFFF).
// Every argument must be a long (ZQ_HR(...) or an L literal); comparisons use the low 32 bits.
//   MMHREsperado(hr, ZQ_E_NAO_ENCONTRADO, ZQ_HR(0xFFFFFFFF))
bool MMHREsperado(long hr, ...);

// Writes one record: the message formatted from formato and its arguments, the calling function,
// source file and line, the process's private memory, the version texts (Versoes.h), a new GUID,
// the executable's name and the local user. profiler (may be null) places the record in its
// company's log and fills the company, user and session columns; it is not kept.
void MMTrace(IZQDF_Profiler* profiler, const char* funcao, const char* arquivo, int linha,
             const char* formato, ...) __attribute__((format(printf, 5, 6)));

// What every rules call site does: when hr is not 0 and not expected (the call sites expect no
// code), MMTrace with kMMFormatoTraceHR and the eleven arguments above. chamada is the source
// text of the call that failed.
void MMTraceHR(IZQDF_Profiler* profiler, const char* funcao, const char* arquivo, int linha,
               const char* chamada, long hr);
