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

// Builds the document as the library's own parser does, and refuses an object that names a
// member twice, or two members that differ only in case (record fields match without regard to
// case): the library would keep one of them silently. Tracks where it is, so the message says
// which object: "registros.prioridade[2]". (The parser's callback interface would do, but it
// slows down with the length of an array until a large dataset takes minutes.)
class CLeitorNomesUnicos {
 public:
  using Json = nlohmann::json;
  CLeitorNomesUnicos(Json& raiz, const char* oque) : m_dom(raiz), m_oque(oque) {}

  bool null() { return Item() && m_dom.null(); }
  bool boolean(bool v) { return Item() && m_dom.boolean(v); }
  bool number_integer(Json::number_integer_t v) { return Item() && m_dom.number_integer(v); }
  bool number_unsigned(Json::number_unsigned_t v) { return Item() && m_dom.number_unsigned(v); }
  bool number_float(Json::number_float_t v, const Json::string_t& s) { return Item() && m_dom.number_float(v, s); }
  bool string(Json::string_t& v) { return Item() && m_dom.string(v); }
  bool binary(Json::binary_t& v) { return Item() && m_dom.binary(v); }
  bool start_object(std::size_t n) {
    Item();
    m_niveis.push_back({false, 0, 0, {}, {}});
    return m_dom.start_object(n);
  }
  bool start_array(std::size_t n) {
    Item();
    m_niveis.push_back({true, 0, 0, {}, {}});
    return m_dom.start_array(n);
  }
  bool end_object() {
    m_niveis.pop_back();
    return m_dom.end_object();
  }
  bool end_array() {
    m_niveis.pop_back();
    return m_dom.end_array();
  }
  bool key(Json::string_t& nome) {
    Nivel& n = m_niveis.back();
    std::string chave = nome;
    for (char& c : chave)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (!n.nomes.insert(std::move(chave)).second) {
      m_niveis.pop_back();  // the path to the object, not into it
      const std::string onde = Caminho();
      throw CErroHost(kSaidaEntradaInvalida,
                      (onde.empty() ? std::string(m_oque) : onde) + ": membro repetido: " + zq::Abrevia(nome));
    }
    n.membro = nome;
    return m_dom.key(nome);
  }
  bool parse_error(std::size_t posicao, const std::string& trecho, const nlohmann::detail::exception& e) {
    return m_dom.parse_error(posicao, trecho, e);
  }

 private:
  struct Nivel {
    bool lista;
    std::size_t itens;   // items begun, when a list
    std::size_t atual;   // the item being read, when a list
    std::string membro;  // the member being read, when an object
    std::set<std::string> nomes;
  };

  // A value begins: in a list, it is the next item.
  bool Item() {
    if (!m_niveis.empty() && m_niveis.back().lista) m_niveis.back().atual = m_niveis.back().itens++;
    return true;
  }

  std::string Caminho() const {
    std::string caminho;
    for (const Nivel& n : m_niveis) {
      if (n.lista)
        caminho.append("[").append(std::to_string(n.atual)).append("]");
      else
        caminho.append(caminho.empty() ? "" : ".").append(zq::Abrevia(n.membro));
    }
    return caminho;
  }

  nlohmann::detail::json_sax_dom_parser<Json> m_dom;
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
    nlohmann::json doc;
    CLeitorNomesUnicos leitor(doc, oque);
    nlohmann::json::sax_parse(texto, &leitor);
    return doc;
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
