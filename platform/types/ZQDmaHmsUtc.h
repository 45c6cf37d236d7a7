// REG_ZQDMAHMSUTC: a date and time packed in 64 bits.
//
//   bits  0-37  signed count of seconds: REG_ZQDMA day number * 86400 + second of the day
//               (the date and time as the clock that wrote it read them, not converted to UTC)
//   bits 38-55  signed offset of that clock from UTC, in seconds (UTC-3 is -10800)
//   bits 56-63  unused; kept as they are by the setters
//
// Filled in when the seconds field lies in 172800 (1 January 1848 00:00:00) to 90568627199
// (31 December 4717 23:59:59) inclusive. Two values are ordered by their seconds fields as signed
// numbers; the offset takes no part, and neither does it in IgualSegundos. operator== compares
// the whole 64 bits.
//
// A plain value: any number of threads may read one concurrently.
//
//   auto t = REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(5, 3, 2024), 10, 5, 30, -10800);
//   t.ParaIso();         // "2024-03-05T10:05:30"
//   t.GetData();         // 5 March 2024
//   t.GetSegundos() % REG_ZQDMAHMSUTC::kSegundosDia;   // 36330
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types/ZQDma.h"

struct REG_ZQDMAHMSUTC {
  std::uint64_t ullValor = 0;

  static constexpr std::int64_t kSegundosDia = 86400;
  static constexpr std::int64_t kSegundosPrimeiro = 172800;       // day 2 at 00:00:00
  static constexpr std::int64_t kSegundosUltimo = 90568627199;    // day 1048247 at 23:59:59
  static constexpr std::int32_t kDeslocamentoMinimo = -131072;    // the 18-bit field's range
  static constexpr std::int32_t kDeslocamentoMaximo = 131071;

  // A valid date at hh:mm:ss (0-23, 0-59, 0-59) with the given offset from UTC. Anything out of
  // range (including an offset outside the 18-bit field) gives the all-zero value.
  static REG_ZQDMAHMSUTC DeDataHora(const REG_ZQDMA& data, int hora, int minuto, int segundo,
                                    std::int32_t deslocamentoUtc = 0);

  // Raw fields. The setters keep only the low 38 (18) bits of what they are given, so a value
  // outside the field's signed range wraps; the other bits are left alone.
  std::int64_t GetSegundos() const {
    return static_cast<std::int64_t>(ullValor << 26) >> 26;
  }
  std::int32_t GetDeslocamentoUtc() const {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(ullValor << 8) >> 46);
  }
  void SetSegundos(std::int64_t segundos) {
    ullValor = (ullValor & ~kMascaraSegundos) | (static_cast<std::uint64_t>(segundos) & kMascaraSegundos);
  }
  void SetDeslocamentoUtc(std::int32_t deslocamento) {
    ullValor = (ullValor & ~(kMascaraDeslocamento << 38)) |
               ((static_cast<std::uint64_t>(deslocamento) & kMascaraDeslocamento) << 38);
  }

  bool IsPreenchida() const {
    const std::int64_t s = GetSegundos();
    return s >= kSegundosPrimeiro && s <= kSegundosUltimo;
  }

  // Date and time of day of the seconds field taken as an absolute value: the date is |s| / 86400
  // (a raw day number, valid only when the value is filled in), the time the remainder.
  REG_ZQDMA GetData() const;
  int GetSegundoDoDia() const;
  int GetHora() const { return GetSegundoDoDia() / 3600; }
  int GetMinuto() const { return GetSegundoDoDia() / 60 % 60; }
  int GetSegundo() const { return GetSegundoDoDia() % 60; }

  // <0, 0 or >0 as this value's seconds field is below, equal to or above the other's.
  int Compara(const REG_ZQDMAHMSUTC& outro) const {
    const std::int64_t a = GetSegundos(), b = outro.GetSegundos();
    return a < b ? -1 : a > b ? 1 : 0;
  }
  // Equal on the low 38 bits, the seconds field, whatever the offsets.
  bool IgualSegundos(const REG_ZQDMAHMSUTC& outro) const {
    return ((ullValor ^ outro.ullValor) & kMascaraSegundos) == 0;
  }
  // this - inicio in seconds, on the raw fields.
  std::int64_t DiferencaSegundos(const REG_ZQDMAHMSUTC& inicio) const {
    return GetSegundos() - inicio.GetSegundos();
  }
  // Same offset, seconds moved; all-zero when this value is not filled in or the result is not.
  REG_ZQDMAHMSUTC SomaSegundos(std::int64_t segundos) const;

  // "YYYY-MM-DDTHH:MM:SS" of the seconds field (no offset is written); "" when not filled in.
  // Reading is strict, as REG_ZQDMA::DeIso, with a 'T' between date and time; "" reads as the
  // all-zero value; the offset to store is given apart.
  std::string ParaIso() const;
  static std::optional<REG_ZQDMAHMSUTC> DeIso(std::string_view texto,
                                              std::int32_t deslocamentoUtc = 0);

  friend bool operator==(const REG_ZQDMAHMSUTC&, const REG_ZQDMAHMSUTC&) = default;

 private:
  static constexpr std::uint64_t kMascaraSegundos = (std::uint64_t{1} << 38) - 1;
  static constexpr std::uint64_t kMascaraDeslocamento = (std::uint64_t{1} << 18) - 1;
};
