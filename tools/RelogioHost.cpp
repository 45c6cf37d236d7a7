#include "tools/RelogioHost.h"

#include <memory>

#include "platform/system/ZQRelogio.h"
#include "tools/ErroHost.h"

namespace zqhost {
namespace {

// The system clock shifted by a fixed number of seconds, carrying a chosen UTC offset.
class CRelogioDeslocado final : public IZQRelogio {
 public:
  CRelogioDeslocado(std::int64_t deslocamento, std::int32_t utc) : m_deslocamento(deslocamento), m_utc(utc) {}
  REG_ZQDMAHMSUTC Agora() override {
    REG_ZQDMAHMSUTC agora = m_sistema.Agora().SomaSegundos(m_deslocamento);
    agora.SetDeslocamentoUtc(m_utc);
    return agora;
  }

 private:
  CZQRelogioSistema m_sistema;
  std::int64_t m_deslocamento;
  std::int32_t m_utc;
};

// "+HH:MM" / "-HH:MM" in seconds; false when malformed.
bool LeDeslocamento(const std::string& s, std::int32_t* segundos) {
  if (s.size() != 6 || (s[0] != '+' && s[0] != '-') || s[3] != ':') return false;
  for (std::size_t i : {1u, 2u, 4u, 5u})
    if (s[i] < '0' || s[i] > '9') return false;
  const int h = (s[1] - '0') * 10 + (s[2] - '0'), m = (s[4] - '0') * 10 + (s[5] - '0');
  if (h > 23 || m > 59) return false;
  *segundos = (s[0] == '-' ? -1 : 1) * (h * 3600 + m * 60);
  return true;
}

}  // namespace

void CRelogioHost::DefineAgora(const std::string& iso) {
  const REG_ZQDMAHMSUTC sistema = CZQRelogioSistema().Agora();
  std::int32_t utc = sistema.GetDeslocamentoUtc();
  const bool comDeslocamento = iso.size() > 19 && LeDeslocamento(iso.substr(19), &utc);
  const auto momento = REG_ZQDMAHMSUTC::DeIso(iso.substr(0, 19), utc);
  if ((iso.size() > 19 && !comDeslocamento) || !momento || !momento->IsPreenchida() || !sistema.IsPreenchida())
    throw CErroHost(kSaidaEntradaInvalida,
                    std::string("--agora espera AAAA-MM-DDTHH:MM:SS[+HH:MM], não \"").append(iso).append("\""));
  CZQRelogio::Define(std::make_shared<CRelogioDeslocado>(momento->GetSegundos() - sistema.GetSegundos(), utc));
}

}  // namespace zqhost
