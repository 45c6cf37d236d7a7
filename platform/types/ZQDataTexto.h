// Date texts of the suite's platform library, in the Brazilian forms people read on screens, in
// logs and in alert e-mails. Pure functions, safe from any thread. A value that is empty or
// invalid writes "" (never a made-up date), so a template field simply stays blank.
//
//   DataToString(REG_ZQDMA::DeDiaMesAno(5, 3, 2024), true);    // "05/03/2024"
//   DataToString(REG_ZQDMA::DeDiaMesAno(5, 3, 2024), false);   // "05/03/24"
//   auto t = REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(5, 3, 2024), 10, 5, 30, -10800);
//   DmaHmsToString(t, false);                                   // "05/03/2024 10:05:30"
//   DmaHmsToString(t, true);                                    // "05/03/2024 10:05:30 -03:00"
//   DmcToString(REG_ZQDMC::DeMes(1, 42, REG_ZQMA::DeMesAno(3, 2024)), 0);  // "001-000042 03/2024"
#pragma once

#include "platform/types/String.h"
#include "platform/types/ZQDma.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/types/ZQDmc.h"

// "dd/mm/yyyy" when bAnoCompleto, else "dd/mm/yy" (the year taken mod 100). "" for an invalid date.
CString DataToString(const REG_ZQDMA& data, bool bAnoCompleto);

// "dd/mm/yyyy hh:mm:ss" of the value as its clock read it; bComDeslocamento appends the clock's
// offset from UTC as " +hh:mm" or " -hh:mm" (" +hh:mm:ss" when it has seconds). "" when the value
// is not filled in.
CString DmaHmsToString(const REG_ZQDMAHMSUTC& valor, bool bComDeslocamento);

// A movement key as "ccc-nnnnnn pppp": the 12-bit field in at least three digits, the 32-bit field
// in at least six, then the period as its kind reads it (kind 1 "yyyy", kind 2 "mm/yyyy", kind 3
// "dd/mm/yyyy"; kind 0, or a period that does not fit its kind, as a plain number). Any nTipo
// other than 0 leaves the period out. "" for an empty key.
CString DmcToString(const REG_ZQDMC& dmc, int nTipo);
