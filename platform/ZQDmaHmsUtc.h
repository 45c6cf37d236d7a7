// REG_ZQDMAHMSUTC: a date and time packed in 64 bits. Bits 0-37 hold a signed count of seconds
// (day number * 86400 + second of the day), bits 38-55 a signed offset from UTC in seconds.
#pragma once

#include <cstdint>

struct REG_ZQDMAHMSUTC {
  std::uint64_t ullValor = 0;

  friend bool operator==(const REG_ZQDMAHMSUTC&, const REG_ZQDMAHMSUTC&) = default;
};
