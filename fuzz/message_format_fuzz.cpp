// Catalogue texts formatted with hostile conversions and arguments: never a read past the
// arguments (the sanitizers watch), and the text stays within a bound of what went in.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/records/ZQDadosDF_Erro.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  if (tamanho > 4096) return -1;
  // The format text up to the first 0x01, then arguments separated by 0x01: a text, or a number
  // when it starts with '#' (its next eight bytes, as many as there are).
  const std::string entrada(reinterpret_cast<const char*>(dados), tamanho);
  std::size_t corte = entrada.find('\x01');
  const std::string texto = entrada.substr(0, corte);
  std::vector<CZQDadosDF_Erro::Argumento> args;
  std::size_t tamanhoArgs = 0;
  while (corte != std::string::npos) {
    const std::size_t p = corte + 1;
    corte = entrada.find('\x01', p);
    const std::string a = entrada.substr(p, corte == std::string::npos ? corte : corte - p);
    CZQDadosDF_Erro::Argumento arg;
    if (!a.empty() && a[0] == '#') {
      arg.numero = true;
      std::memcpy(&arg.valor, a.data() + 1, std::min<std::size_t>(a.size() - 1, sizeof arg.valor));
    } else {
      arg.texto = a;
    }
    tamanhoArgs += arg.texto.size();
    args.push_back(arg);
  }
  const std::string out = CZQDadosDF_Erro::Formata(texto, args);
  // Each conversion may widen its argument to a padded field; a field wider than a screen line
  // many times over is a text nobody reads and an allocation an attacker picks.
  const std::size_t limite = texto.size() + tamanhoArgs + 1024 * (args.size() + 1);
  if (out.size() > limite) {
    std::fprintf(stderr, "%zu bytes out of %zu bytes of text and %zu arguments\n", out.size(), texto.size(),
                 args.size());
    __builtin_trap();
  }
  return 0;
}
