#include "tools/JsonHost.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "platform/records/RecordJson.h"
#include "tools/ErroHost.h"

namespace zqhost {
namespace {

// Refuses an object that names a member twice, or two members that differ only in case (record
// fields match without regard to case). The library's parser would keep one of them silently.
// Tracks where it is, so the message says which object: "registros.prioridade[2]".
class CNomesUnicos {
 public:
  explicit CNomesUnicos(const char* oque) : m_oque(oque) {}

  bool operator()(int, nlohmann::json::parse_event_t evento, nlohmann::json& valor) {
    using Evento = nlohmann::json::parse_event_t;
    switch (evento) {
      case Evento::object_start:
      case Evento::array_start:
        m_niveis.push_back({evento == Evento::array_start, 0, {}, {}});
        break;
      case Evento::key: {
        Nivel& n = m_niveis.back();
        n.membro = valor.get<std::string>();
        std::string chave = n.membro;
        for (char& c : chave)
          if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (!n.nomes.insert(std::move(chave)).second) {
          const std::string nome = zq::Abrevia(n.membro);
          m_niveis.pop_back();  // the path to the object, not into it
          const std::string onde = Caminho();
          throw CErroHost(kSaidaEntradaInvalida,
                          (onde.empty() ? std::string(m_oque) : onde) + ": membro repetido: " + nome);
        }
        break;
      }
      case Evento::object_end:
      case Evento::array_end:
        m_niveis.pop_back();
        [[fallthrough]];
      case Evento::value:
        if (!m_niveis.empty() && m_niveis.back().lista) ++m_niveis.back().itens;
        break;
    }
    return true;
  }

 private:
  struct Nivel {
    bool lista;
    std::size_t itens;   // items read so far, when a list
    std::string membro;  // the member being read, when an object
    std::set<std::string> nomes;
  };

  std::string Caminho() const {
    std::string caminho;
    for (const Nivel& n : m_niveis) {
      if (n.lista)
        caminho.append("[").append(std::to_string(n.itens)).append("]");
      else
        caminho.append(caminho.empty() ? "" : ".").append(zq::Abrevia(n.membro));
    }
    return caminho;
  }

  const char* m_oque;
  std::vector<Nivel> m_niveis;
};

}  // namespace

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
  // The parser takes a NUL byte for the end of the input and would ignore what follows.
  if (const auto nulo = texto.find('\0'); nulo != std::string_view::npos)
    throw CErroHost(kSaidaEntradaInvalida, std::string("JSON inválido (")
                                               .append(oque)
                                               .append("): byte nulo na posição ")
                                               .append(std::to_string(nulo)));
  try {
    return nlohmann::json::parse(texto, CNomesUnicos(oque));
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
