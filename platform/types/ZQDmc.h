// REG_ZQDMC: the 64-bit key of a movement record (maintenance order, expense entry).
//
//   bits  0-1   kind: how to read the period field
//   bits  2-13  a 12-bit field (Campo12)
//   bits 14-45  a 32-bit field (Campo32)
//   bits 46-63  an 18-bit period field: kind 1 a year, kind 2 a REG_ZQMA, kind 3 a REG_ZQDMA,
//               kind 0 anything
//
// Empty when Campo12, Campo32 and the period are all zero: a record never stored, whatever the
// kind bits hold. Valid when not empty, Campo12 < 158, Campo32 != 0 and the period fits the kind
// (kind 1 1848..4717, kind 2 1..34440, kind 3 2..1048247).
//
// The period field has 18 bits, so a kind-3 key can carry day numbers up to 262143 only
// (19 September 2565); later dates do not fit and their builder answers the all-zero key.
//
// A plain value: any number of threads may read one concurrently.
//
//   REG_ZQDMC k = REG_ZQDMC::DeMes(1, 42, REG_ZQMA::DeMesAno(3, 2024));
//   k.IsValid();                // true
//   k.GetMaPeriodo().GetAno();  // 2024
#pragma once

#include <cstdint>

#include "platform/types/ZQDma.h"
#include "platform/types/ZQMa.h"

struct REG_ZQDMC {
  std::uint64_t ullDmc = 0;

  static constexpr int kTipoLivre = 0;  // period not interpreted
  static constexpr int kTipoAno = 1;
  static constexpr int kTipoMes = 2;
  static constexpr int kTipoDia = 3;
  static constexpr std::uint32_t kCampo12Limite = 158;  // valid Campo12 values lie below
  static constexpr std::uint32_t kPeriodoMaximo = (1u << 18) - 1;

  // Packs the four fields. Any field too wide for its bits gives the all-zero key; nothing else
  // is checked (IsValid tells).
  static REG_ZQDMC Monta(int tipo, std::uint32_t campo12, std::uint32_t campo32,
                         std::uint32_t periodo);
  // Kinds 1, 2 and 3 from their period values, as Monta.
  static REG_ZQDMC DeAno(std::uint32_t campo12, std::uint32_t campo32, int ano) {
    return ano < 0 ? REG_ZQDMC{} : Monta(kTipoAno, campo12, campo32, static_cast<std::uint32_t>(ano));
  }
  static REG_ZQDMC DeMes(std::uint32_t campo12, std::uint32_t campo32, const REG_ZQMA& ma) {
    return Monta(kTipoMes, campo12, campo32, ma.usMa);
  }
  static REG_ZQDMC DeDia(std::uint32_t campo12, std::uint32_t campo32, const REG_ZQDMA& dma) {
    return Monta(kTipoDia, campo12, campo32, dma.ulDma);
  }

  int GetTipo() const { return static_cast<int>(ullDmc & 0x3); }
  std::uint32_t GetCampo12() const { return static_cast<std::uint32_t>((ullDmc >> 2) & 0xFFF); }
  std::uint32_t GetCampo32() const { return static_cast<std::uint32_t>(ullDmc >> 14); }
  std::uint32_t GetPeriodo() const { return static_cast<std::uint32_t>(ullDmc >> 46); }

  // Each keeps only the low bits that fit its field and leaves the other fields alone.
  void SetTipo(int tipo) { Poe(0, 2, static_cast<std::uint32_t>(tipo)); }
  void SetCampo12(std::uint32_t v) { Poe(2, 12, v); }
  void SetCampo32(std::uint32_t v) { Poe(14, 32, v); }
  void SetPeriodo(std::uint32_t v) { Poe(46, 18, v); }

  bool IsEmpty() const { return (ullDmc >> 2) == 0; }
  bool IsValid() const;

  // The period read through the kind, for any key whose period fits its kind:
  //   GetAnoPeriodo: the year of kinds 1, 2 and 3;
  //   GetMaPeriodo:  the month of kinds 2 and 3;
  //   GetDmaPeriodo: the date of kind 3.
  // 0 (or an invalid value) for the other kinds and for a period that does not fit its kind.
  int GetAnoPeriodo() const;
  REG_ZQMA GetMaPeriodo() const;
  REG_ZQDMA GetDmaPeriodo() const;

  friend bool operator==(const REG_ZQDMC&, const REG_ZQDMC&) = default;

 private:
  void Poe(int bit, int largura, std::uint32_t v) {
    const std::uint64_t mascara = ((std::uint64_t{1} << largura) - 1) << bit;
    ullDmc = (ullDmc & ~mascara) | ((static_cast<std::uint64_t>(v) << bit) & mascara);
  }
};
