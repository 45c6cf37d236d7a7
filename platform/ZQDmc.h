// REG_ZQDMC: the 64-bit key of a movement record. Bits 0-1 a kind, 2-13 a 12-bit field,
// 14-45 a 32-bit field, 46-63 a period field whose meaning depends on the kind.
#pragma once

#include <cstdint>

struct REG_ZQDMC {
  std::uint64_t ullDmc = 0;

  friend bool operator==(const REG_ZQDMC&, const REG_ZQDMC&) = default;
};
