#include "tools/JsonHost.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tools/ErroHost.h"

namespace zqhost {

std::string JsonHost::LeEntrada(const std::string& arquivo) {
  const bool padrao = arquivo == "-";
  std::unique_ptr<FILE, int (*)(FILE*)> f(padrao ? stdin : std::fopen(arquivo.c_str(), "rb"),
                                          padrao ? +[](FILE*) { return 0; } : &std::fclose);
  const std::string nome = padrao ? std::string("a entrada padrão") : arquivo;
  if (!f) throw CErroHost(kSaidaFalha, std::string("não foi possível abrir ").append(nome).append(": ").append(std::strerror(errno)));
  std::string texto;
  char bloco[1 << 16];
  std::size_t n = 0;
  while ((n = std::fread(bloco, 1, sizeof bloco, f.get())) > 0) {
    if (texto.size() + n > kMaximoEntrada)
      throw CErroHost(kSaidaEntradaInvalida, std::string("entrada maior que ")
                                                 .append(std::to_string(kMaximoEntrada >> 20))
                                                 .append(" MB: ")
                                                 .append(nome));
    texto.append(bloco, n);
  }
  if (std::ferror(f.get())) throw CErroHost(kSaidaFalha, std::string("falha ao ler ").append(nome));
  return texto;
}

nlohmann::json JsonHost::Analisa(std::string_view texto, const char* oque) {
  try {
    return nlohmann::json::parse(texto);
  } catch (const nlohmann::json::exception& e) {
    // Drop the library's "[json.exception.parse_error.101] " tag; keep its position and reason.
    std::string porque = e.what();
    if (const auto fim = porque.find("] "); porque.rfind("[json.exception", 0) == 0 && fim != std::string::npos)
      porque.erase(0, fim + 2);
    // What follows "last read" echoes the input's bytes, which need not be text at all.
    if (const auto eco = porque.find("; last read:"); eco != std::string::npos) porque.erase(eco);
    throw CErroHost(kSaidaEntradaInvalida, std::string("JSON inválido (").append(oque).append("): ").append(porque));
  }
}

std::string JsonHost::Texto(const nlohmann::ordered_json& json, int indentacao) {
  return json.dump(indentacao, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace zqhost
