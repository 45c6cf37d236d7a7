// REG_ZQMA: a month as (year - 1848) * 12 + month. Valid from 1 (January 1848) to 34440
// (December 4717); 0 means none. Month numbers compare in calendar order.
//
// A plain value: copying is cheap, every operation is const or builds a new value, and any
// number of threads may read one concurrently. Operations on an invalid month answer 0 (or an
// invalid REG_ZQMA / REG_ZQDMA) rather than fail.
//
//   REG_ZQMA m = REG_ZQMA::DeMesAno(1, 24);   // January 2024: two-digit 24 means 2024
//   m.SomaMeses(-1).GetAno();                 // 2023
//   m.GetUltimoDia();                         // 31 January 2024, as a REG_ZQDMA
#pragma once

#include <compare>
#include <cstdint>

struct REG_ZQDMA;

struct REG_ZQMA {
  std::uint16_t usMa = 0;

  static constexpr std::uint16_t kPrimeiro = 1;      // January 1848
  static constexpr std::uint16_t kUltimo = 34440;    // December 4717
  static constexpr int kAnoPrimeiro = 1848;
  static constexpr int kAnoUltimo = 4717;

  // The suite's two-digit-year rule, shared by every date type: 0 to 83 mean 2000 to 2083, 84 to
  // 99 mean 1984 to 1999; any other year is answered as written.
  static constexpr int AnoCompleto(int ano) {
    if (ano < 0 || ano > 99) return ano;
    return ano < 84 ? 2000 + ano : 1900 + ano;
  }

  // Month of a year, the year read through AnoCompleto. A month outside 1..12 or a year outside
  // 1848..4717 gives 0.
  static REG_ZQMA DeMesAno(int mes, int ano);

  bool IsEmpty() const { return usMa == 0; }
  bool IsValid() const { return usMa >= kPrimeiro && usMa <= kUltimo; }

  // 1..12 and 1848..4717; 0 when the month number is invalid.
  int GetMes() const;
  int GetAno() const;

  // Moves by a number of months (negative goes back); 0 when the result leaves the valid range
  // or this month is invalid.
  REG_ZQMA SomaMeses(int meses) const;

  // First and last day of the month; no date (0) when the month number is invalid. Defined with
  // REG_ZQDMA, which this header brings in at its end.
  REG_ZQDMA GetPrimeiroDia() const;
  REG_ZQDMA GetUltimoDia() const;

  friend bool operator==(const REG_ZQMA&, const REG_ZQMA&) = default;
  friend auto operator<=>(const REG_ZQMA&, const REG_ZQMA&) = default;
};

// The two types refer to each other; either header gives both complete types.
#include "platform/types/ZQDma.h"  // IWYU pragma: export
