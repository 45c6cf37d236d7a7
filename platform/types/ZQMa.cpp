#include "platform/types/ZQMa.h"

#include <cstdint>

namespace {

REG_ZQMA DeTotal(std::int64_t ma) {
  if (ma < REG_ZQMA::kPrimeiro || ma > REG_ZQMA::kUltimo) return {};
  return REG_ZQMA{static_cast<std::uint16_t>(ma)};
}

}  // namespace

REG_ZQMA REG_ZQMA::DeMesAno(int mes, int ano) {
  ano = AnoCompleto(ano);
  if (mes < 1 || mes > 12 || ano < kAnoPrimeiro || ano > kAnoUltimo) return {};
  return DeTotal(static_cast<std::int64_t>(ano - kAnoPrimeiro) * 12 + mes);
}

int REG_ZQMA::GetMes() const { return IsValid() ? (usMa - 1) % 12 + 1 : 0; }

int REG_ZQMA::GetAno() const { return IsValid() ? kAnoPrimeiro + (usMa - 1) / 12 : 0; }

REG_ZQMA REG_ZQMA::SomaMeses(int meses) const {
  if (!IsValid()) return {};
  return DeTotal(static_cast<std::int64_t>(usMa) + meses);
}

REG_ZQDMA REG_ZQMA::GetPrimeiroDia() const {
  if (!IsValid()) return {};
  return REG_ZQDMA::DeDiaMesAno(1, GetMes(), GetAno());
}

REG_ZQDMA REG_ZQMA::GetUltimoDia() const {
  if (!IsValid()) return {};
  return REG_ZQDMA::DeDiaMesAno(31, GetMes(), GetAno());  // lowered to the month's length
}
