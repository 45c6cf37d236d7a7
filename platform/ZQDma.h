// REG_ZQDMA: a date as an unsigned 32-bit day number. Day 2 is 1 January 1848 and day 1048247 is
// 31 December 4717 (Gregorian calendar throughout); 0 means no date.
#pragma once

#include <cstdint>

struct REG_ZQDMA {
  std::uint32_t ulDma = 0;

  friend bool operator==(const REG_ZQDMA&, const REG_ZQDMA&) = default;
  friend auto operator<=>(const REG_ZQDMA&, const REG_ZQDMA&) = default;
};
