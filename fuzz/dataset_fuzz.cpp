// The host's dataset reader and store on an in-memory company: any text either loads or fails
// with one of the two documented CErroHost kinds (a reading error as unusable input), and what
// loads exports to a dataset that reads back to the same counts per kind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "platform/storage/MemoryEngine.h"
#include "tools/ConjuntoDados.h"
#include "tools/ErroHost.h"

using zqhost::CConjuntoDados;
using zqhost::CErroHost;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  if (tamanho > 64 * 1024) return -1;
  const std::string texto(reinterpret_cast<const char*>(dados), tamanho);
  std::string fase = "reading";
  try {
    CConjuntoDados conjunto = CConjuntoDados::Le(texto);
    fase = "storing";
    zq::MemoryEngine motor;
    conjunto.Grava(motor, {});
    fase = "exporting";
    std::ostringstream saida;
    const std::size_t exportados = CConjuntoDados::Exporta(motor, saida, {});
    fase = "reading the export";
    const CConjuntoDados volta = CConjuntoDados::Le(saida.str());
    if (exportados != conjunto.Quantidade() || volta.Contagem() != conjunto.Contagem()) {
      std::fprintf(stderr, "the export does not hold what was stored\n%s\n", saida.str().c_str());
      __builtin_trap();
    }
  } catch (const CErroHost& e) {
    const bool esperado = fase == "reading" ? e.GetSaida() == zqhost::kSaidaEntradaInvalida
                        : fase == "storing" ? e.GetSaida() == zqhost::kSaidaFalha ||
                                                  e.GetSaida() == zqhost::kSaidaEntradaInvalida
                                            : false;
    if (!esperado) {
      std::fprintf(stderr, "unexpected error %d while %s: %s\n", e.GetSaida(), fase.c_str(), e.what());
      __builtin_trap();
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "not a host error while %s: %s\n", fase.c_str(), e.what());
    __builtin_trap();
  }
  return 0;
}
