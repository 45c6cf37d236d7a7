#include "platform/types/ZQDataTexto.h"

#include <cstdint>
#include <cstdlib>

CString DataToString(const REG_ZQDMA& data, bool bAnoCompleto) {
  if (!data.IsValid()) return CString();
  int dia = 0, mes = 0, ano = 0;
  data.GetDiaMesAno(&dia, &mes, &ano);
  CString texto;
  if (bAnoCompleto)
    texto.Format("%02d/%02d/%04d", dia, mes, ano);
  else
    texto.Format("%02d/%02d/%02d", dia, mes, ano % 100);
  return texto;
}

CString DmaHmsToString(const REG_ZQDMAHMSUTC& valor, bool bComDeslocamento) {
  if (!valor.IsPreenchida()) return CString();
  CString texto = DataToString(valor.GetData(), true);
  texto.AppendFormat(" %02d:%02d:%02d", valor.GetHora(), valor.GetMinuto(), valor.GetSegundo());
  if (bComDeslocamento) {
    const std::int32_t d = valor.GetDeslocamentoUtc();
    const std::int32_t a = std::abs(d);
    texto.AppendFormat(" %c%02d:%02d", d < 0 ? '-' : '+', a / 3600, a / 60 % 60);
    if (a % 60) texto.AppendFormat(":%02d", a % 60);
  }
  return texto;
}

CString DmcToString(const REG_ZQDMC& dmc, int nTipo) {
  if (dmc.IsEmpty()) return CString();
  CString texto;
  texto.Format("%03u-%06u", dmc.GetCampo12(), dmc.GetCampo32());
  if (nTipo != 0) return texto;
  const std::uint32_t periodo = dmc.GetPeriodo();
  // The getters answer 0 when the period does not fit its kind; then the raw number is faithful.
  switch (dmc.GetTipo()) {
    case REG_ZQDMC::kTipoAno:
      if (dmc.GetAnoPeriodo() != 0) {
        texto.AppendFormat(" %04u", periodo);
        return texto;
      }
      break;
    case REG_ZQDMC::kTipoMes:
      if (const REG_ZQMA ma = dmc.GetMaPeriodo(); ma.IsValid()) {
        texto.AppendFormat(" %02d/%04d", ma.GetMes(), ma.GetAno());
        return texto;
      }
      break;
    case REG_ZQDMC::kTipoDia:
      if (const REG_ZQDMA dma = dmc.GetDmaPeriodo(); dma.IsValid()) {
        texto += " ";
        texto += DataToString(dma, true);
        return texto;
      }
      break;
    default:
      break;
  }
  texto.AppendFormat(" %u", periodo);
  return texto;
}
