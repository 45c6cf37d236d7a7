// REG_ZQDMA: a date as an unsigned 32-bit day number. Day 2 is 1 January 1848 and day 1048247 is
// 31 December 4717, in the Gregorian calendar throughout (proleptic); 0 means no date. Day
// numbers count consecutive days, so they compare and subtract as dates do.
//
// A plain value: copying is cheap, every operation is const or builds a new value, and any
// number of threads may read one concurrently. Operations never fail loudly: whatever would
// leave 2..1048247 answers no date (0), and reading the parts of an invalid date answers 0.
//
// Building from parts lowers a day beyond the month's length, and month arithmetic keeps the
// day of the month, lowered the same way:
//
//   REG_ZQDMA::DeDiaMesAno(31, 2, 23);         // 28 February 2023 (23 means 2023)
//   REG_ZQDMA::DeDiaMesAno(31, 1, 2024)
//       .SomaMeses(1);                         // 29 February 2024
//   REG_ZQDMA::DeDiaMesAno(29, 2, 2024)
//       .SomaAnos(1);                          // 28 February 2025
//   REG_ZQDMA::DeDiaMesAno(31, 12, 4717)
//       .SomaDias(1);                          // no date: beyond the last valid day
//
// Note that SomaMeses(1) then SomaMeses(-1) need not come back to the same day (31 January ->
// 29 February -> 29 January).
#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types/ZQMa.h"

struct REG_ZQDMA {
  std::uint32_t ulDma = 0;

  // The suite's date text forms, by number (the names are ours). 0 and 1 write day, month and
  // year with a two- or four-digit year, 2 and 3 the same with separators, 4 and 5 year first.
  // Texts made of a month alone (the month files of CArqManutencao) keep only the order and the
  // year's width, so 2 writes as 0 and 3 as 1.
  enum TIPO_DATA_DMA : int {
    TIPO_DMA_DIA_MES_ANO2 = 0,
    TIPO_DMA_DIA_MES_ANO4 = 1,
    TIPO_DMA_DIA_MES_ANO2_SEPARADO = 2,
    TIPO_DMA_DIA_MES_ANO4_SEPARADO = 3,
    TIPO_DMA_ANO2_MES_DIA = 4,
    TIPO_DMA_ANO4_MES_DIA = 5,
  };

  static constexpr std::uint32_t kPrimeiro = 2;        // 1 January 1848
  static constexpr std::uint32_t kUltimo = 1048247;    // 31 December 4717

  // Day, month and year, the year read through REG_ZQMA::AnoCompleto (two-digit years). A day
  // beyond the month's length is lowered to its last day. A day below 1, a month outside 1..12
  // or a year outside 1848..4717 gives no date.
  static REG_ZQDMA DeDiaMesAno(int dia, int mes, int ano);

  bool IsEmpty() const { return ulDma == 0; }
  bool IsValid() const { return ulDma >= kPrimeiro && ulDma <= kUltimo; }

  // Calendar parts: day 1..31, month 1..12, year 1848..4717; all 0 for an invalid date.
  void GetDiaMesAno(int* dia, int* mes, int* ano) const;
  int GetDia() const;
  int GetMes() const;
  int GetAno() const;
  // 0 Sunday .. 6 Saturday, as tm_wday; -1 for an invalid date.
  int GetDiaSemana() const;
  // Month number of the date; 0 for an invalid date.
  REG_ZQMA GetMa() const;

  // Each answers no date when this date is invalid or the result leaves 2..1048247.
  REG_ZQDMA SomaDias(std::int64_t dias) const;
  // Keeps the day of the month, lowered to the last day of the resulting month.
  REG_ZQDMA SomaMeses(int meses) const;
  // As SomaMeses(12 * anos): 29 February becomes 28 February in a common year.
  REG_ZQDMA SomaAnos(int anos) const;

  // this - inicio in days, taken on the raw day numbers (callers check validity).
  std::int64_t DiferencaDias(const REG_ZQDMA& inicio) const {
    return static_cast<std::int64_t>(ulDma) - static_cast<std::int64_t>(inicio.ulDma);
  }

  // Civil date of the standard library. An invalid date gives a year_month_day that is not ok();
  // a year_month_day that is not ok() or lies outside 1848..4717 gives no date (no lowering).
  std::chrono::year_month_day ParaYmd() const;
  static REG_ZQDMA DeYmd(const std::chrono::year_month_day& ymd);

  // ISO 8601 calendar date "YYYY-MM-DD". An invalid date writes "" and "" reads back as no date.
  // Reading is strict: exactly ten characters, digits and hyphens in place, a real calendar day
  // (2023-02-30 is refused, not lowered) within 1848..4717; anything else gives nullopt.
  std::string ParaIso() const;
  static std::optional<REG_ZQDMA> DeIso(std::string_view texto);
  // The value of a run of decimal digits; -1 when any character is not a digit.
  static int LeDigitos(std::string_view texto);

  friend bool operator==(const REG_ZQDMA&, const REG_ZQDMA&) = default;
  friend auto operator<=>(const REG_ZQDMA&, const REG_ZQDMA&) = default;
};
