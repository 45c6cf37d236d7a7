#include "platform/system/ZQRelogio.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace {

std::mutex g_mutex;

std::shared_ptr<IZQRelogio>& Fonte() {
  static std::shared_ptr<IZQRelogio> fonte = std::make_shared<CZQRelogioSistema>();
  return fonte;
}

}  // namespace

REG_ZQDMAHMSUTC CZQRelogioSistema::Agora() {
  const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  if (!localtime_r(&t, &local)) return {};
  const REG_ZQDMA hoje = REG_ZQDMA::DeDiaMesAno(local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
  const int segundo = local.tm_sec > 59 ? 59 : local.tm_sec;
  return REG_ZQDMAHMSUTC::DeDataHora(hoje, local.tm_hour, local.tm_min, segundo,
                                     static_cast<std::int32_t>(local.tm_gmtoff));
}

void CZQRelogioFixo::Avanca(std::int64_t segundos) {
  std::uint64_t atual = m_valor.load();
  while (!m_valor.compare_exchange_weak(atual, REG_ZQDMAHMSUTC{atual}.SomaSegundos(segundos).ullValor)) {
  }
}

REG_ZQDMAHMSUTC CZQRelogio::Agora() {
  return Atual()->Agora();  // the copy keeps the source alive through the call
}

REG_ZQDMA CZQRelogio::Hoje() { return Agora().GetData(); }

std::shared_ptr<IZQRelogio> CZQRelogio::Atual() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return Fonte();
}

std::shared_ptr<IZQRelogio> CZQRelogio::Define(std::shared_ptr<IZQRelogio> relogio) {
  if (!relogio) relogio = std::make_shared<CZQRelogioSistema>();
  std::lock_guard<std::mutex> lock(g_mutex);
  Fonte().swap(relogio);
  return relogio;
}
