#include "tools/JsonHost.h"

#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include <sys/stat.h>

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
  using Dom = nlohmann::detail::json_sax_dom_parser<Json>;
  CLeitorNomesUnicos(Json& raiz, const char* oque, std::string_view membro = {},
                     const JsonHost::Item* item = nullptr)
      : m_dom(raiz), m_oque(oque), m_membro(membro), m_item(item) {}

  bool null() { return Item() && Fecha(Destino().null()); }
  bool boolean(bool v) { return Item() && Fecha(Destino().boolean(v)); }
  bool number_integer(Json::number_integer_t v) { return Item() && Fecha(Destino().number_integer(v)); }
  bool number_unsigned(Json::number_unsigned_t v) { return Item() && Fecha(Destino().number_unsigned(v)); }
  bool number_float(Json::number_float_t v, const Json::string_t& s) { return Item() && Fecha(Destino().number_float(v, s)); }
  bool string(Json::string_t& v) { return Item() && Fecha(Destino().string(v)); }
  bool binary(Json::binary_t& v) { return Item() && Fecha(Destino().binary(v)); }
  bool start_object(std::size_t n) {
    Item();
    Entra(false);
    return Destino().start_object(n);
  }
  bool start_array(std::size_t n) {
    Item();
    Entra(true);
    return Destino().start_array(n);
  }
  bool end_object() {
    --m_profundidade;
    return Fecha(Destino().end_object());
  }
  bool end_array() {
    --m_profundidade;
    return Fecha(Destino().end_array());
  }
  bool key(Json::string_t& nome) {
    Nivel& n = m_niveis[m_profundidade - 1];
    if (!n.nomes.Acrescenta(nome)) {
      --m_profundidade;  // the path to the object, not into it
      const std::string onde = Caminho();
      throw CErroHost(kSaidaEntradaInvalida,
                      (onde.empty() ? std::string(m_oque) : onde) + ": membro repetido: " + zq::Abrevia(nome));
    }
    n.membro = nome;
    return Destino().key(nome);
  }
  bool parse_error(std::size_t posicao, const std::string& trecho, const nlohmann::detail::exception& e) {
    return m_dom.parse_error(posicao, trecho, e);
  }

 private:
  // The member names of one object, folded to lower case. Records have a handful of members,
  // where a linear scan beats any tree or hash; a large object moves to a hash set.
  class CNomes {
   public:
    // False when the object already has a member of that name, whatever its case.
    bool Acrescenta(const std::string& nome) {
      std::string chave = nome;
      for (char& c : chave)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      if (!m_muitos.empty()) return m_muitos.insert(std::move(chave)).second;
      for (const std::string& n : m_poucos)
        if (n == chave) return false;
      m_poucos.push_back(std::move(chave));
      if (m_poucos.size() > kPoucos) {
        m_muitos.insert(std::make_move_iterator(m_poucos.begin()), std::make_move_iterator(m_poucos.end()));
        m_poucos.clear();
      }
      return true;
    }

    void Limpa() {
      m_poucos.clear();
      if (!m_muitos.empty()) m_muitos.clear();
    }

   private:
    static constexpr std::size_t kPoucos = 24;
    std::vector<std::string> m_poucos;
    std::unordered_set<std::string> m_muitos;
  };

  struct Nivel {
    bool lista = false;
    std::size_t itens = 0;  // items begun, when a list
    std::size_t atual = 0;  // the item being read, when a list
    std::string membro;  // the member being read, when an object
    CNomes nomes;
  };

  // A value begins: in a list, it is the next item; an item of a list handed out is built apart.
  bool Item() {
    if (m_profundidade > 0 && m_niveis[m_profundidade - 1].lista) {
      Nivel& n = m_niveis[m_profundidade - 1];
      n.atual = n.itens++;
      if (m_item && !m_apartado && m_profundidade == kNivelItem && !m_niveis[0].lista &&
          m_niveis[0].membro == m_membro && !m_niveis[1].lista) {
        m_valor = nullptr;
        m_apartado.emplace(m_valor);
      }
    }
    return true;
  }

  Dom& Destino() { return m_apartado ? *m_apartado : m_dom; }

  // A value ended: an item built apart is complete when the parse is back at its list.
  bool Fecha(bool ok) {
    if (ok && m_apartado && m_profundidade == kNivelItem) {
      m_apartado.reset();
      (*m_item)(m_niveis[1].membro, m_niveis[2].atual, std::move(m_valor));
    }
    return ok;
  }

  // Levels are kept when left and reused, so their buffers are allocated once per depth rather
  // than once per object.
  void Entra(bool lista) {
    if (m_profundidade == m_niveis.size()) m_niveis.emplace_back();
    Nivel& n = m_niveis[m_profundidade++];
    n.lista = lista;
    n.itens = n.atual = 0;
    n.membro.clear();
    n.nomes.Limpa();
  }

  std::string Caminho() const {
    std::string caminho;
    for (std::size_t i = 0; i < m_profundidade; ++i) {
      const Nivel& n = m_niveis[i];
      if (n.lista)
        caminho.append("[").append(std::to_string(n.atual)).append("]");
      else
        caminho.append(caminho.empty() ? "" : ".").append(zq::Abrevia(n.membro));
    }
    return caminho;
  }

  // Items handed out sit in a list, in an object, in the root object: {"membro": {"x": [item]}}.
  static constexpr std::size_t kNivelItem = 3;

  Dom m_dom;
  const char* m_oque;
  std::string_view m_membro;
  const JsonHost::Item* m_item;
  std::optional<Dom> m_apartado;  // the item being built apart
  Json m_valor;
  std::vector<Nivel> m_niveis;
  std::size_t m_profundidade = 0;  // levels in use
};

}  // namespace

std::string JsonHost::LeEntrada(const std::string& arquivo) {
  const bool padrao = arquivo == "-";
  std::unique_ptr<FILE, int (*)(FILE*)> f(padrao ? stdin : std::fopen(arquivo.c_str(), "rb"),
                                          padrao ? +[](FILE*) { return 0; } : &std::fclose);
  const std::string nome = padrao ? std::string("a entrada padrão") : arquivo;
  if (!f) throw CErroHost(kSaidaFalha, std::string("não foi possível abrir ").append(nome).append(": ").append(std::strerror(errno)));
  const auto grande = [&nome] {
    return CErroHost(kSaidaEntradaInvalida,
                     std::string("entrada maior que ").append(std::to_string(kMaximoEntrada >> 20)).append(" MB: ").append(nome));
  };
  std::string texto;
  // A file's size is known beforehand: one allocation rather than the text growing and being
  // copied as it is read.
  if (struct stat info; !padrao && fstat(fileno(f.get()), &info) == 0 && S_ISREG(info.st_mode)) {
    if (static_cast<std::uintmax_t>(info.st_size) > kMaximoEntrada) throw grande();
    texto.reserve(static_cast<std::size_t>(info.st_size));
  }
  char bloco[1 << 16];
  std::size_t n = 0;
  while ((n = std::fread(bloco, 1, sizeof bloco, f.get())) > 0) {
    if (texto.size() + n > kMaximoEntrada) throw grande();
    texto.append(bloco, n);
  }
  if (std::ferror(f.get())) throw CErroHost(kSaidaFalha, std::string("falha ao ler ").append(nome));
  return texto;
}

nlohmann::json JsonHost::Analisa(std::string_view texto, const char* oque) { return Analisa(texto, oque, {}, Item()); }

nlohmann::json JsonHost::Analisa(std::string_view texto, const char* oque, std::string_view membro, const Item& item) {
  // The parser takes a NUL byte for the end of the input and would ignore what follows.
  if (const auto nulo = texto.find('\0'); nulo != std::string_view::npos)
    throw CErroHost(kSaidaEntradaInvalida, std::string("JSON inválido (")
                                               .append(oque)
                                               .append("): byte nulo na posição ")
                                               .append(std::to_string(nulo)));
  try {
    nlohmann::json doc;
    CLeitorNomesUnicos leitor(doc, oque, membro, item ? &item : nullptr);
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
