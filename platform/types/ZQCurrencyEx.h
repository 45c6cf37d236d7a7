// CZQCurrencyEx: conversions, comparison, arithmetic and texts of tagCY currency values (64-bit
// fixed point, four implicit decimals). Static operations only; all are pure functions and safe
// from any thread.
//
// Decisions:
// - Rounding to the fourth decimal is half away from zero everywhere it happens (from double,
//   from text with more than four decimals, products and quotients): 0.00005 -> 0.0001,
//   -0.00005 -> -0.0001.
// - A double is rounded as its shortest decimal form (the digits that read back as the same
//   double), so 1.00005 gives 1.0001 although its binary value lies a hair below 1.00005.
// - Conversion to a whole number truncates toward zero: 1.9999 -> 1, -1.9999 -> -1.
// - What would overflow the 64 bits answers nullopt instead of wrapping. The range is
//   -922337203685477.5808 to 922337203685477.5807.
// - Texts read: an optional sign, digits, and optionally one decimal separator ('.' or ',')
//   followed by digits ("12.5", "-0,0001", "+7"). No thousands separators, blanks, exponents
//   or empty parts (".5", "5." are refused).
// - Texts written: FormataValor is the Brazilian form for people ("1.234,56"); ParaTextoDecimal
//   is the machine form for JSON and fixtures ("1234.5600", or "1234.56" when minimal).
//
//   CZQCurrencyEx::FormataValor(*CZQCurrencyEx::DeTexto("1234.5"), 2);   // "1.234,50"
//   CZQCurrencyEx::FormataValor(*CZQCurrencyEx::DeTexto("1234.9"), 0);   // "1.234" (cut)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types/ZQCurrency.h"

class CZQCurrencyEx {
 public:
  CZQCurrencyEx() = delete;

  static constexpr std::int64_t kEscala = 10000;  // units per whole: four decimals

  // Whole number n as n.0000; nullopt beyond +-922337203685477.
  static std::optional<tagCY> DeInteiro(std::int64_t valor);
  // Rounded half away from zero at the fourth decimal; nullopt for NaN, infinities and overflow.
  static std::optional<tagCY> DeDouble(double valor);
  // Strict decimal text as described above; more than four decimals are rounded.
  static std::optional<tagCY> DeTexto(std::string_view texto);

  // Whole part, truncated toward zero.
  static std::int64_t ParaInteiro(const tagCY& valor) { return valor.int64 / kEscala; }
  // Nearest double (exact up to 2^53 units).
  static double ParaDouble(const tagCY& valor) {
    return static_cast<double>(valor.int64) / static_cast<double>(kEscala);
  }

  // <0, 0 or >0 as a is below, equal to or above b.
  static int Compara(const tagCY& a, const tagCY& b) {
    return a.int64 < b.int64 ? -1 : a.int64 > b.int64 ? 1 : 0;
  }
  static bool EhZero(const tagCY& valor) { return valor.int64 == 0; }

  // nullopt on overflow; Divide also when b is zero. Products and quotients keep four decimals,
  // rounded half away from zero.
  static std::optional<tagCY> Soma(const tagCY& a, const tagCY& b);
  static std::optional<tagCY> Subtrai(const tagCY& a, const tagCY& b);
  static std::optional<tagCY> Multiplica(const tagCY& a, const tagCY& b);
  static std::optional<tagCY> Divide(const tagCY& a, const tagCY& b);

  // Brazilian form with casasDecimais (0 to 10) decimals: the value is first cut (not rounded)
  // to that many decimals when it is below 4, then written with a leading zero, ',' before the
  // decimals, '.' between groups of three digits and '-' before a negative value (a value that
  // the cut brings to zero has no sign). Decimals beyond the fourth are zeros. A number of
  // decimals outside 0..10 gives "Erro".
  //   1234.5, 2 -> "1.234,50"   -0.5, 0 -> "0"   0.25, 1 -> "0,2"   -1234567.8, 4 -> "-1.234.567,8000"
  static std::string FormataValor(const tagCY& valor, int casasDecimais);

  // Machine form, '.' before the decimals and no grouping: "-1234.5600"; minimal drops trailing
  // zeros and a bare point: "-1234.56", "3", "0". DeTexto reads either back to the same value.
  static std::string ParaTextoDecimal(const tagCY& valor, bool minimo = false);
};
