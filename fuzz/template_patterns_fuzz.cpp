// The three template matchers against std::regex on the same pattern: listing matches by searching
// again from the end of each must give exactly what std::sregex_iterator gives. The first byte
// picks the pattern; the rest is the text. std::regex recurses per character, so inputs stay small.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "alerts/MMModeloEmailAlerta.h"
#include "tests/support/ReferenciaModelo.h"

namespace {

using Modelo = CMMModeloEmailAlerta;
using EPadrao = Modelo::EPadrao;
using Trechos = std::vector<Modelo::TRECHO>;

constexpr std::size_t kMaximo = 256;

Trechos PorBusca(EPadrao padrao, const std::string& texto) {
  Trechos out;
  std::size_t p = 0;
  while (const auto m = Modelo::Busca(padrao, texto, p)) {
    if (m->nInicio < p || m->nInicio + m->nTamanho > texto.size()) __builtin_trap();
    out.push_back(*m);
    // An empty match would never advance; none of the patterns can match empty.
    if (m->nTamanho == 0) __builtin_trap();
    p = m->nInicio + m->nTamanho;
  }
  return out;
}

Trechos PorRegex(EPadrao padrao, const std::string& texto) {
  Trechos out;
  for (std::sregex_iterator it(texto.begin(), texto.end(), zqteste::RegexModelo(padrao)), fim; it != fim; ++it)
    out.push_back({static_cast<std::size_t>(it->position()), static_cast<std::size_t>(it->length())});
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  if (tamanho < 1 || tamanho > kMaximo + 1) return -1;
  const auto padrao = static_cast<EPadrao>(dados[0] % 3);
  const std::string texto(reinterpret_cast<const char*>(dados + 1), tamanho - 1);
  if (PorBusca(padrao, texto) != PorRegex(padrao, texto)) {
    std::fprintf(stderr, "matches differ from std::regex for pattern %s\n", Modelo::Expressao(padrao));
    __builtin_trap();
  }
  return 0;
}
