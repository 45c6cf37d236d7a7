// Date, date-time and currency texts: whatever reads writes back as the same text (ISO forms are
// strict, so the text read is the only one) or, for currency, as texts that read back to the
// same value; the screen forms agree with the ISO text. The first byte picks the parser and, for
// date-times, the UTC offset to store.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/types/ZQCurrencyEx.h"
#include "platform/types/ZQDataTexto.h"
#include "platform/types/ZQDma.h"
#include "platform/types/ZQDmaHmsUtc.h"

namespace {

void Falha(const char* oque, const std::string& texto) {
  std::fprintf(stderr, "%s: \"%s\"\n", oque, texto.c_str());
  __builtin_trap();
}

// "YYYY-MM-DD..." as the screen writes it: "DD/MM/YYYY".
std::string Tela(const std::string& iso) { return iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4); }

// The minimal machine form of a decimal text of at most four decimals: no '+', no leading or
// trailing zeros, '.' as separator, no "-0".
std::string Canonico(std::string t) {
  bool negativo = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.erase(0, 1);
  std::size_t sep = t.find_first_of(".,");
  std::string inteiro = t.substr(0, sep), fracao = sep == std::string::npos ? "" : t.substr(sep + 1);
  inteiro.erase(0, std::min(inteiro.find_first_not_of('0'), inteiro.size() - 1));
  while (!fracao.empty() && fracao.back() == '0') fracao.pop_back();
  if (inteiro == "0" && fracao.empty()) negativo = false;
  return (negativo ? "-" : "") + inteiro + (fracao.empty() ? "" : "." + fracao);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  if (tamanho < 1 || tamanho > 64) return -1;
  const std::string texto(reinterpret_cast<const char*>(dados + 1), tamanho - 1);
  switch (dados[0] % 3) {
    case 0:
      if (const auto d = REG_ZQDMA::DeIso(texto)) {
        if (d->ParaIso() != texto) Falha("date does not write back as read", texto);
        if (DataToString(*d, true).Str() != (texto.empty() ? "" : Tela(texto))) Falha("screen date differs", texto);
      }
      break;
    case 1: {
      // Offsets spread over the 18-bit field and a little beyond it.
      const std::int32_t deslocamento = (static_cast<std::int32_t>(dados[0] / 3) - 42) * 3607;
      if (const auto t = REG_ZQDMAHMSUTC::DeIso(texto, deslocamento)) {
        if (t->ParaIso() != texto) Falha("date-time does not write back as read", texto);
        if (!texto.empty() && t->GetDeslocamentoUtc() != deslocamento) Falha("offset not kept", texto);
        if (DmaHmsToString(*t, false).Str() != (texto.empty() ? "" : Tela(texto) + " " + texto.substr(11)))
          Falha("screen date-time differs", texto);
      }
      break;
    }
    default:
      if (const auto v = CZQCurrencyEx::DeTexto(texto)) {
        for (const bool minimo : {false, true}) {
          const auto volta = CZQCurrencyEx::DeTexto(CZQCurrencyEx::ParaTextoDecimal(*v, minimo));
          if (!volta || volta->int64 != v->int64) Falha("currency does not read back", texto);
        }
        const std::size_t sep = texto.find_first_of(".,");
        if ((sep == std::string::npos || texto.size() - sep - 1 <= 4) &&
            CZQCurrencyEx::ParaTextoDecimal(*v, true) != Canonico(texto))
          Falha("currency read as another value", texto);
        for (int casas = -1; casas <= 11; ++casas)
          if ((CZQCurrencyEx::FormataValor(*v, casas) == "Erro") != (casas < 0 || casas > 10))
            Falha("formatting refused a valid number of decimals", texto);
      }
      break;
  }
  return 0;
}
