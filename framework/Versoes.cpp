#include "framework/Versoes.h"

#include <sys/utsname.h>

#include <mutex>
#include <optional>

#include "platform/types/String.h"

#ifndef ZQ_VERSAO
#define ZQ_VERSAO ""
#endif

std::string MMVersaoDeTexto(std::string_view texto) {
  unsigned partes[4] = {0, 0, 0, 0};
  std::size_t i = 0;
  for (int p = 0; p < 4; ++p) {
    if (i >= texto.size() || texto[i] < '0' || texto[i] > '9') {
      if (p == 0) return "0.0.0.0";
      break;
    }
    unsigned valor = 0;
    while (i < texto.size() && texto[i] >= '0' && texto[i] <= '9') {
      valor = valor * 10 + static_cast<unsigned>(texto[i] - '0');
      if (valor > 0xFFFF) return "0.0.0.0";
      ++i;
    }
    partes[p] = valor;
    if (i >= texto.size() || texto[i] != '.') break;
    ++i;
  }
  return StringPrintf("%u.%u.%u.%u", partes[0], partes[1], partes[2], partes[3]);
}

std::string MMVersaoProgramaAtual() { return MMVersaoDeTexto(ZQ_VERSAO); }

std::string MMVersaoSistemaAtual() {
  struct utsname u{};
  if (::uname(&u) != 0) return "0.0.0.0";
  return MMVersaoDeTexto(u.release);
}

const MMVersoes& MMVersoesProcesso() {
  static std::mutex mutex;
  static std::optional<MMVersoes> versoes;
  std::lock_guard<std::mutex> lock(mutex);
  if (!versoes) versoes = MMVersoes{MMVersaoProgramaAtual(), MMVersaoSistemaAtual()};
  return *versoes;
}
