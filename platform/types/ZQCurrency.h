// tagCY: the suite's currency, a 64-bit fixed-point value with four implicit decimals
// (12.5 is stored as 125000). Quantities, values and counters all use it. Conversions, texts and
// checked arithmetic are in platform/ZQCurrencyEx.h.
#pragma once

#include <compare>
#include <cstdint>

struct tagCY {
  std::int64_t int64 = 0;

  friend bool operator==(const tagCY&, const tagCY&) = default;
  friend auto operator<=>(const tagCY&, const tagCY&) = default;
};
