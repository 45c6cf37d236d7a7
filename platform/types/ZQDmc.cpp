#include "platform/types/ZQDmc.h"

namespace {

bool PeriodoCabeNoTipo(int tipo, std::uint32_t periodo) {
  switch (tipo) {
    case REG_ZQDMC::kTipoAno:
      return periodo >= static_cast<std::uint32_t>(REG_ZQMA::kAnoPrimeiro) &&
             periodo <= static_cast<std::uint32_t>(REG_ZQMA::kAnoUltimo);
    case REG_ZQDMC::kTipoMes:
      return periodo >= REG_ZQMA::kPrimeiro && periodo <= REG_ZQMA::kUltimo;
    case REG_ZQDMC::kTipoDia:
      return periodo >= REG_ZQDMA::kPrimeiro && periodo <= REG_ZQDMA::kUltimo;
    default:
      return true;
  }
}

}  // namespace

REG_ZQDMC REG_ZQDMC::Monta(int tipo, std::uint32_t campo12, std::uint32_t campo32,
                           std::uint32_t periodo) {
  if (tipo < 0 || tipo > 3 || campo12 > 0xFFF || periodo > kPeriodoMaximo) return {};
  REG_ZQDMC k;
  k.SetTipo(tipo);
  k.SetCampo12(campo12);
  k.SetCampo32(campo32);
  k.SetPeriodo(periodo);
  return k;
}

bool REG_ZQDMC::IsValid() const {
  return !IsEmpty() && GetCampo12() < kCampo12Limite && GetCampo32() != 0 &&
         PeriodoCabeNoTipo(GetTipo(), GetPeriodo());
}

int REG_ZQDMC::GetAnoPeriodo() const {
  const int tipo = GetTipo();
  if (tipo == kTipoLivre || !PeriodoCabeNoTipo(tipo, GetPeriodo())) return 0;
  if (tipo == kTipoAno) return static_cast<int>(GetPeriodo());
  return GetMaPeriodo().GetAno();
}

REG_ZQMA REG_ZQDMC::GetMaPeriodo() const {
  if (!PeriodoCabeNoTipo(GetTipo(), GetPeriodo())) return {};
  if (GetTipo() == kTipoMes) return REG_ZQMA{static_cast<std::uint16_t>(GetPeriodo())};
  return GetDmaPeriodo().GetMa();
}

REG_ZQDMA REG_ZQDMC::GetDmaPeriodo() const {
  if (GetTipo() != kTipoDia || !PeriodoCabeNoTipo(kTipoDia, GetPeriodo())) return {};
  return REG_ZQDMA{GetPeriodo()};
}
