#include "platform/types/ZQDmaHmsUtc.h"

#include <cstdio>

namespace {

std::int64_t Absoluto(std::int64_t s) { return s < 0 ? -s : s; }  // 38-bit field: no overflow


}  // namespace

REG_ZQDMAHMSUTC REG_ZQDMAHMSUTC::DeDataHora(const REG_ZQDMA& data, int hora, int minuto,
                                            int segundo, std::int32_t deslocamentoUtc) {
  if (!data.IsValid() || hora < 0 || hora > 23 || minuto < 0 || minuto > 59 || segundo < 0 ||
      segundo > 59 || deslocamentoUtc < kDeslocamentoMinimo || deslocamentoUtc > kDeslocamentoMaximo)
    return {};
  REG_ZQDMAHMSUTC r;
  r.SetSegundos(static_cast<std::int64_t>(data.ulDma) * kSegundosDia + hora * 3600 + minuto * 60 +
                segundo);
  r.SetDeslocamentoUtc(deslocamentoUtc);
  return r;
}

REG_ZQDMA REG_ZQDMAHMSUTC::GetData() const {
  return REG_ZQDMA{static_cast<std::uint32_t>(Absoluto(GetSegundos()) / kSegundosDia)};
}

int REG_ZQDMAHMSUTC::GetSegundoDoDia() const {
  return static_cast<int>(Absoluto(GetSegundos()) % kSegundosDia);
}

REG_ZQDMAHMSUTC REG_ZQDMAHMSUTC::SomaSegundos(std::int64_t segundos) const {
  if (!IsPreenchida()) return {};
  // Any larger step leaves the range anyway; the clamp keeps the sum from overflowing.
  if (segundos > kSegundosUltimo || segundos < -kSegundosUltimo) return {};
  REG_ZQDMAHMSUTC r = *this;
  r.SetSegundos(GetSegundos() + segundos);
  if (!r.IsPreenchida()) return {};
  return r;
}

std::string REG_ZQDMAHMSUTC::ParaIso() const {
  if (!IsPreenchida()) return {};
  const int s = GetSegundoDoDia();
  char buf[32];
  std::snprintf(buf, sizeof buf, "T%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
  return GetData().ParaIso() + buf;
}

std::optional<REG_ZQDMAHMSUTC> REG_ZQDMAHMSUTC::DeIso(std::string_view texto,
                                                      std::int32_t deslocamentoUtc) {
  if (texto.empty()) return REG_ZQDMAHMSUTC{};
  if (texto.size() != 19 || texto[10] != 'T' || texto[13] != ':' || texto[16] != ':')
    return std::nullopt;
  const std::optional<REG_ZQDMA> data = REG_ZQDMA::DeIso(texto.substr(0, 10));
  const int hora = REG_ZQDMA::LeDigitos(texto.substr(11, 2));
  const int minuto = REG_ZQDMA::LeDigitos(texto.substr(14, 2));
  const int segundo = REG_ZQDMA::LeDigitos(texto.substr(17, 2));
  if (!data || !data->IsValid()) return std::nullopt;
  const REG_ZQDMAHMSUTC r = DeDataHora(*data, hora, minuto, segundo, deslocamentoUtc);
  if (!r.IsPreenchida()) return std::nullopt;
  return r;
}
