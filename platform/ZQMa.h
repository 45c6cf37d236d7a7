// REG_ZQMA: a month as (year - 1848) * 12 + month; valid 1 to 34440, 0 means none.
#pragma once

#include <cstdint>

struct REG_ZQMA {
  std::uint16_t usMa = 0;

  friend bool operator==(const REG_ZQMA&, const REG_ZQMA&) = default;
  friend auto operator<=>(const REG_ZQMA&, const REG_ZQMA&) = default;
};
