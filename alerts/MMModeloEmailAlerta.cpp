#include "alerts/MMModeloEmailAlerta.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "platform/types/Cp1252.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/types/ZQDataTexto.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"

namespace {

using EPapel = CMMModeloEmailAlerta::EPapel;
using TRECHO = CMMModeloEmailAlerta::TRECHO;
constexpr std::size_t npos = std::string_view::npos;

struct MemoriaOrdenada {
  CMMModeloEmailAlerta::MEMORIA memoria;
  int nOrdem;
};

constexpr std::array<CMMModeloEmailAlerta::MEMORIA, 23> kMemorias = [] {
  std::array<MemoriaOrdenada, 23> a{{
#define MM_DESCRITOR(campo, token, papel, ordem) \
  {{token, &DADOS_CORPO_EMAIL::campo, EPapel::papel}, ordem},
      MM_MEMORIAS_EMAIL(MM_DESCRITOR)
#undef MM_DESCRITOR
  }};
  std::sort(a.begin(), a.end(),
            [](const MemoriaOrdenada& x, const MemoriaOrdenada& y) { return x.nOrdem < y.nOrdem; });
  std::array<CMMModeloEmailAlerta::MEMORIA, 23> r{};
  for (std::size_t i = 0; i < a.size(); ++i) r[i] = a[i].memoria;
  return r;
}();
constexpr std::size_t kQtdCabecalho = 10;
static_assert(kMemorias[kQtdCabecalho - 1].ePapel == EPapel::Cabecalho &&
              kMemorias[kQtdCabecalho].ePapel == EPapel::Linha);
// The single pass over numbered row tokens takes the first token that fits; no token may be
// the start of another.
static_assert([] {
  for (std::size_t i = 0; i < std::size(kMemorias); ++i)
    for (std::size_t j = 0; j < std::size(kMemorias); ++j)
      if (i != j && std::string_view(kMemorias[j].pszToken).starts_with(kMemorias[i].pszToken))
        return false;
  return true;
}());

constexpr std::string_view kInicioLista = "ZQ_INICIO_LISTA";
constexpr std::string_view kFimLista = "ZQ_FIM_LISTA";
constexpr std::string_view kFechaLinha = "</tr>";
constexpr std::string_view kPrefixoMemoria = "ZQ_";

// ECMAScript's "." stops at these (U+2028/9 cannot occur in single bytes).
bool EhQuebra(char c) { return c == '\r' || c == '\n'; }
// What ends a token: the complement of [^ <*].
bool EhFimDeMemoria(char c) { return c == ' ' || c == '<' || c == '*'; }

// The first line break at or after i, or the size: where a greedy ".*" from i stops.
std::size_t FimDaLinha(std::string_view t, std::size_t i) {
  while (i < t.size() && !EhQuebra(t[i])) ++i;
  return i;
}

bool TemEm(std::string_view t, std::size_t i, std::string_view s) {
  return i <= t.size() && t.size() - i >= s.size() && t.compare(i, s.size(), s) == 0;
}

// ".*\r\n" from i: the greedy ".*" can only give back characters that are not CR, so the one
// place a CR LF can follow is the end of the line. The position after the CR LF, or npos.
std::size_t AposLinhaCrLf(std::string_view t, std::size_t i) {
  const std::size_t l = FimDaLinha(t, i);
  return TemEm(t, l, "\r\n") ? l + 2 : npos;
}

// The first start b >= de of s in t, or npos. glibc's memmem skips ahead on long texts where
// std::string_view::find stops at every byte equal to s[0] ('<' and '\r' are on every line).
std::size_t Procura(std::string_view t, std::string_view s, std::size_t de = 0) {
  if (de > t.size()) return npos;
  const void* r = memmem(t.data() + de, t.size() - de, s.data(), s.size());
  return r ? static_cast<std::size_t>(static_cast<const char*>(r) - t.data()) : npos;
}

// The last start b of s with de <= b and b + |s| <= ate, or npos.
std::size_t UltimaEntre(std::string_view t, std::string_view s, std::size_t de, std::size_t ate) {
  ate = std::min(ate, t.size());
  if (ate < s.size() || ate - s.size() < de) return npos;
  for (std::size_t fim = ate - s.size() + 1; fim > de;) {
    const void* r = memrchr(t.data() + de, s[0], fim - de);
    if (!r) return npos;
    const std::size_t b = static_cast<std::size_t>(static_cast<const char*>(r) - t.data());
    if (t.compare(b, s.size(), s) == 0) return b;
    fim = b;
  }
  return npos;
}

// ZQ_INICIO_LISTA[^*]+ZQ_FIM_LISTA.*\r\n.*\r\n.*</tr>
std::optional<TRECHO> BuscaBlocoLista(std::string_view t, std::size_t de) {
  for (std::size_t p = de; (p = t.find(kInicioLista, p)) != npos;) {
    const std::size_t a = p + kInicioLista.size();
    const std::size_t z = std::min(t.find('*', a), t.size());
    // [^*]+ first takes everything up to z and gives back one byte at a time, so the marker
    // tried first is the last one ending by z. What follows it depends only on the marker's
    // line, so a failed line is skipped whole.
    for (std::size_t ate = z;;) {
      const std::size_t c = UltimaEntre(t, kFimLista, a + 1, ate);
      if (c == npos) break;
      std::size_t linha3 = AposLinhaCrLf(t, c + kFimLista.size());
      if (linha3 != npos) linha3 = AposLinhaCrLf(t, linha3);
      if (linha3 != npos) {
        const std::size_t b = UltimaEntre(t, kFechaLinha, linha3, FimDaLinha(t, linha3));
        if (b != npos) return TRECHO{p, b + kFechaLinha.size() - p};
      }
      ate = c;
      while (ate > a && !EhQuebra(t[ate - 1])) --ate;
    }
    // A later start before z sees a subset of the same markers: it fails too.
    if (z == t.size()) break;
    p = z + 1;
  }
  return std::nullopt;
}

// </tr>.*\r\n <tr[^*]+</tr>
// A start p is a "</tr>" whose line ends in "\r\n <tr": the search goes from one such line end
// to the next (rare in a template) instead of from one "</tr>" to the next (one a line).
std::optional<TRECHO> BuscaLinhaModelo(std::string_view t, std::size_t de) {
  constexpr std::string_view kQuebraLinha = "\r\n <tr";
  for (std::size_t l = de; (l = Procura(t, kQuebraLinha, l)) != npos;) {
    std::size_t inicio = l;  // of l's line, not before de
    while (inicio > de && !EhQuebra(t[inicio - 1])) --inicio;
    const std::size_t p = Procura(t.substr(0, l), kFechaLinha, inicio);
    if (p == npos) {
      l += 2;
      continue;
    }
    const std::size_t a = l + kQuebraLinha.size();
    const std::size_t z = std::min(t.find('*', a), t.size());
    const std::size_t b = UltimaEntre(t, kFechaLinha, a + 1, z);
    if (b != npos) return TRECHO{p, b + kFechaLinha.size() - p};
    // No "</tr>" between a and z: a later start whose line ends before z meets the same z and
    // fails too. A start on z's own line may not: its ".*" runs past the '*'.
    if (z == t.size()) break;
    de = z;
    while (!EhQuebra(t[de - 1])) --de;  // t[l + 1] is a line break and l + 1 < z
    l = de;
  }
  return std::nullopt;
}

// ZQ_[^ <*]+
std::optional<TRECHO> BuscaMemoria(std::string_view t, std::size_t de) {
  for (std::size_t p = de; (p = t.find(kPrefixoMemoria, p)) != npos;) {
    std::size_t e = p + kPrefixoMemoria.size();
    while (e < t.size() && !EhFimDeMemoria(t[e])) ++e;
    if (e > p + kPrefixoMemoria.size()) return TRECHO{p, e - p};
    p = e;
  }
  return std::nullopt;
}

// A value as the template receives it: escaped unless the company keeps HTML in its values.
void AcrescentaValor(std::string& saida, std::string_view valor, bool html) {
  if (html) {
    saida.append(valor);
    return;
  }
  for (const char c : valor) {
    switch (c) {
      case '&': saida.append("&amp;"); break;
      case '<': saida.append("&lt;"); break;
      case '>': saida.append("&gt;"); break;
      case '"': saida.append("&quot;"); break;
      case '\'': saida.append("&#39;"); break;
      default: saida.push_back(c);
    }
  }
}

// The size of what AcrescentaValor appends.
std::size_t TamanhoValor(std::string_view valor, bool html) {
  std::size_t n = valor.size();
  if (!html)
    for (const char c : valor) n += c == '&' ? 4 : c == '<' || c == '>' ? 3 : c == '"' || c == '\'' ? 5 : 0;
  return n;
}

std::string Valor(std::string_view valor, bool html) {
  std::string saida;
  saida.reserve(valor.size());
  AcrescentaValor(saida, valor, html);
  return saida;
}

// Every non-overlapping occurrence of 'de', left to right, becomes 'para'; appended to 'saida'.
std::size_t SubstituiTodas(std::string_view texto, std::string_view de, std::string_view para,
                           std::string& saida) {
  std::size_t n = 0, pos = 0;
  for (std::size_t h; (h = Procura(texto, de, pos)) != npos; pos = h + de.size(), ++n)
    saida.append(texto, pos, h - pos).append(para);
  saida.append(texto, pos);
  return n;
}

// The same on a CString, which is rewritten only when 'de' occurs: the text and its new version
// are the only copies held.
void SubstituiNoTexto(CString& texto, std::string_view de, std::string_view para) {
  const std::string_view atual = texto.View();
  const std::size_t primeira = Procura(atual, de);
  if (primeira == npos) return;
  std::size_t n = 0;
  for (std::size_t h = primeira; h != npos; h = Procura(atual, de, h + de.size())) ++n;
  std::string saida;
  saida.reserve(atual.size() - n * de.size() + n * para.size());
  saida.append(atual.substr(0, primeira));
  SubstituiTodas(atual.substr(primeira), de, para, saida);
  texto = CString(std::move(saida));
}

std::string SubstituiTodas(std::string_view texto, std::string_view de, std::string_view para) {
  std::string saida;
  saida.reserve(texto.size());
  SubstituiTodas(texto, de, para, saida);
  return saida;
}

// Numbers copies of one template row. Each distinct non-header token K_1..K_m of the row, in
// order of appearance, has every occurrence in the copy followed by "_i", one token after the
// other. Tokens hold no ' ', '<' or '*', and numbering inserts none, so an occurrence never
// crosses one of them: each stretch between them can be numbered alone. Most stretches hold no
// "ZQ_" and are copied as they are; the others replay the replacements, but only of the tokens
// that occur in them, found through a trie of the tokens.
class NumeradorLinha {
 public:
  explicit NumeradorLinha(std::string_view linha) : m_linha(linha) {
    std::size_t p = 0;
    while (const auto m = BuscaMemoria(linha, p)) {
      const std::string_view k = linha.substr(m->nInicio, m->nTamanho);
      if (!CMMModeloEmailAlerta::EhMemoriaCabecalho(k)) Insere(k);
      p = m->nInicio + m->nTamanho;
    }
    // The row is cut once into what every copy repeats: literal runs, and pieces that hold a
    // token. Numbering is then an append per piece, not a fresh scan of the row per copy.
    for (p = 0; p < m_linha.size();) {
      std::size_t e = p;
      while (e < m_linha.size() && !EhFimDeMemoria(m_linha[e])) ++e;
      const std::string_view trecho = m_linha.substr(p, e - p);
      if (m_memorias.empty() || trecho.find(kPrefixoMemoria) == npos)
        Literal(p, e - p);
      else
        m_partes.push_back({p, e - p, Simples(trecho) ? EParte::kSufixo : EParte::kNumera});
      if (e < m_linha.size()) Literal(e, 1);
      p = e + 1;
    }
  }

  void Acrescenta(int i, std::string& saida) const {
    char sufixo[16] = {'_'};
    const std::size_t tamanhoSufixo =
        static_cast<std::size_t>(std::to_chars(sufixo + 1, sufixo + sizeof sufixo, i).ptr - sufixo);
    for (const PARTE& parte : m_partes) {
      const std::string_view trecho = m_linha.substr(parte.inicio, parte.tamanho);
      switch (parte.tipo) {
        case EParte::kLiteral:
          saida.append(trecho);
          break;
        case EParte::kSufixo:
          saida.append(trecho).append(sufixo, tamanhoSufixo);
          break;
        case EParte::kNumera:
          saida.append(Numera(trecho, std::string(sufixo, tamanhoSufixo)));
          break;
      }
    }
  }

 private:
  static constexpr int kNenhum = -1;

  // kSufixo: the piece is one token that nothing else in the row extends or hides, so numbering
  // it is appending the suffix (what Numera would answer); kNumera: anything else.
  enum class EParte { kLiteral, kSufixo, kNumera };
  struct PARTE {
    std::size_t inicio;
    std::size_t tamanho;
    EParte tipo;
  };

  void Literal(std::size_t p, std::size_t n) {
    if (n == 0) return;
    if (!m_partes.empty() && m_partes.back().tipo == EParte::kLiteral &&
        m_partes.back().inicio + m_partes.back().tamanho == p)
      m_partes.back().tamanho += n;
    else
      m_partes.push_back({p, n, EParte::kLiteral});
  }

  // One "ZQ_" in the piece, a token ending exactly at the piece's end and none before it on the
  // way, and no longer token going on from there (so the suffix cannot complete one).
  bool Simples(std::string_view t) const {
    const std::size_t q = t.find(kPrefixoMemoria);
    if (t.find(kPrefixoMemoria, q + 1) != npos) return false;
    int no = 0;
    int fins = 0;
    for (std::size_t j = q; j < t.size(); ++j) {
      const auto it = m_filhos.find(Chave(no, t[j]));
      if (it == m_filhos.end()) return false;
      no = it->second;
      if (m_fim[static_cast<std::size_t>(no)] != kNenhum) ++fins;
    }
    return fins == 1 && m_fim[static_cast<std::size_t>(no)] != kNenhum && !m_temFilho[static_cast<std::size_t>(no)];
  }

  void Insere(std::string_view k) {
    int no = 0;
    for (const char c : k) {
      const auto [it, novo] = m_filhos.try_emplace(Chave(no, c), static_cast<int>(m_fim.size()));
      if (novo) {
        m_fim.push_back(kNenhum);
        m_temFilho[static_cast<std::size_t>(no)] = true;
        m_temFilho.push_back(false);
      }
      no = it->second;
    }
    if (m_fim[static_cast<std::size_t>(no)] != kNenhum) return;  // numbered once, not twice
    m_fim[static_cast<std::size_t>(no)] = static_cast<int>(m_memorias.size());
    m_memorias.emplace_back(k);
  }

  static std::uint64_t Chave(int no, char c) {
    return (static_cast<std::uint64_t>(no) << 8) | static_cast<unsigned char>(c);
  }

  // The first token after 'depois' (in order of appearance) that occurs in t, or kNenhum.
  int Proxima(std::string_view t, int depois) const {
    int melhor = kNenhum;
    for (std::size_t q = 0; (q = t.find(kPrefixoMemoria, q)) != npos; ++q) {
      int no = 0;
      for (std::size_t j = q; j < t.size(); ++j) {
        const auto it = m_filhos.find(Chave(no, t[j]));
        if (it == m_filhos.end()) break;
        no = it->second;
        const int k = m_fim[static_cast<std::size_t>(no)];
        if (k > depois && (melhor == kNenhum || k < melhor)) melhor = k;
      }
    }
    return melhor;
  }

  std::string Numera(std::string_view trecho, const std::string& sufixo) const {
    std::string atual(trecho);
    for (int k = Proxima(atual, kNenhum); k != kNenhum; k = Proxima(atual, k)) {
      const std::string& m = m_memorias[static_cast<std::size_t>(k)];
      atual = SubstituiTodas(atual, m, std::string(m).append(sufixo));
    }
    return atual;
  }

  std::string_view m_linha;
  std::vector<std::string> m_memorias;
  std::unordered_map<std::uint64_t, int> m_filhos{};
  std::vector<int> m_fim{kNenhum};  // per trie node: the token ending there, root first
  std::vector<bool> m_temFilho{false};  // per trie node: whether a longer token goes on from it
  std::vector<PARTE> m_partes;
};

// ZQ_<token>_<i> at 'p' (the token already known to be there): the row number, or -1 when the
// digits after '_' are missing, not written as "%d" would write them, or not below 'limite'.
// 'fim' receives the position after the digits.
long NumeroDaLinha(std::string_view t, std::size_t p, std::size_t limite, std::size_t& fim) {
  if (p >= t.size() || t[p] != '_') return -1;
  std::size_t e = p + 1;
  while (e < t.size() && t[e] >= '0' && t[e] <= '9') ++e;
  fim = e;
  const std::size_t n = e - (p + 1);
  if (n == 0 || n > 9 || (n > 1 && t[p + 1] == '0')) return -1;
  long v = 0;
  for (std::size_t i = p + 1; i < e; ++i) v = v * 10 + (t[i] - '0');
  return static_cast<std::size_t>(v) < limite ? v : -1;
}

// Any number of blocks, each replaced wherever it occurs by then. Holds up to four texts at once;
// the common template takes the path below.
bool AtualizaVariosBlocos(CString& strTexto, int nLinhas) {
  // Templates can be large: texts are kept as views of what they came from until a step has to
  // write a new one.
  const std::string_view entrada = strTexto.View();
  std::string x;  // the text once a block was replaced; until then, 'entrada'
  bool xNovo = false;
  bool achou = false;
  std::size_t p = 0;
  while (const auto bloco = CMMModeloEmailAlerta::Busca(CMMModeloEmailAlerta::EPadrao::BlocoLista, entrada, p)) {
    p = bloco->nInicio + bloco->nTamanho;
    achou = true;
    const std::string_view b = entrada.substr(bloco->nInicio, bloco->nTamanho);
    const std::string w0 = SubstituiTodas(b, "\r\n  ZQ_FIM_LISTA", "");
    std::string w;  // once a row was expanded; until then, w0
    bool wNovo = false;
    std::size_t q = 0;
    while (const auto m = CMMModeloEmailAlerta::Busca(CMMModeloEmailAlerta::EPadrao::LinhaModelo, w0, q)) {
      q = m->nInicio + m->nTamanho;
      const std::string_view linha = std::string_view(w0).substr(m->nInicio + 7, m->nTamanho - 7);
      const std::string_view atual = wNovo ? std::string_view(w) : std::string_view(w0);
      std::string novo;
      novo.reserve(atual.size() + static_cast<std::size_t>(std::max(nLinhas, 0)) * (linha.size() + 8));
      SubstituiTodas(atual, std::string("\r\n").append(linha), "", novo);
      const NumeradorLinha numerador(linha);
      for (int i = 0; i < nLinhas; ++i) {
        novo.append("\r\n");
        numerador.Acrescenta(i, novo);
      }
      w = std::move(novo);
      wNovo = true;
    }
    const std::string_view wFinal = wNovo ? std::string_view(w) : std::string_view(w0);
    const std::string_view atual = xNovo ? std::string_view(x) : entrada;
    std::string novo;
    novo.reserve(atual.size() - std::min(atual.size(), b.size()) + wFinal.size());
    if (SubstituiTodas(atual, b, wFinal, novo) == 0) continue;
    x = std::move(novo);
    xNovo = true;
  }
  if (xNovo) strTexto = CString(std::move(x));
  return achou;
}

}  // namespace

std::span<const CMMModeloEmailAlerta::MEMORIA> CMMModeloEmailAlerta::Memorias() { return kMemorias; }

bool CMMModeloEmailAlerta::EhMemoriaCabecalho(std::string_view token) {
  return std::any_of(kMemorias.begin(), kMemorias.begin() + kQtdCabecalho,
                     [&](const MEMORIA& m) { return token == m.pszToken; });
}

CString CMMModeloEmailAlerta::NomeModelo(const CString& strModeloEmail) {
  const std::string_view s = strModeloEmail.View();
  const std::size_t barra = s.find_last_of("\\/");
  return barra == npos ? strModeloEmail : CString(s.substr(barra + 1));
}

CMMModeloEmailAlerta::ELocalizacao CMMModeloEmailAlerta::LocalizaModelo(
    const CString& strModeloEmail, CString& strCaminho) {
  strCaminho.Empty();
  const std::optional<std::string> pasta = CZQRegistro::Le(CZQRegistro::kRaiz, "Relatorios");
  if (!pasta || pasta->empty()) return ELocalizacao::PastaDesconhecida;
  std::string caminho = *pasta;
  while (!caminho.empty() && (caminho.back() == '/' || caminho.back() == '\\')) caminho.pop_back();
  caminho.append("/").append(NomeModelo(strModeloEmail).View());
  strCaminho = CString(caminho);

  // As the suite decides: whatever cannot be told missing counts as there, so that the read
  // reports it; a folder never counts.
  std::error_code ec;
  if (std::filesystem::is_directory(caminho, ec)) return ELocalizacao::NaoEncontrado;
  if (std::FILE* f = std::fopen(caminho.c_str(), "rb")) {
    std::fclose(f);
    return ELocalizacao::Encontrado;
  }
  const int e = errno;
  return e == ENOENT || e == ENOTDIR || e == ENXIO || e == ENODEV ? ELocalizacao::NaoEncontrado
                                                                   : ELocalizacao::Encontrado;
}

CMMModeloEmailAlerta::ELeitura CMMModeloEmailAlerta::LeModeloEmail(const CString& strCaminho,
                                                                   CString& strTexto,
                                                                   CString& strErro) {
  std::FILE* f = std::fopen(strCaminho.GetString(), "rb");
  if (!f) {
    strErro.Format("Não foi possível abrir '%s': %s"_cp, strCaminho.GetString(),
                   std::generic_category().message(errno).c_str());
    return ELeitura::NaoAbriu;
  }
  std::string dados;
  std::error_code ec;
  if (const auto tamanho = std::filesystem::file_size(strCaminho.GetString(), ec); !ec)
    dados.reserve(static_cast<std::size_t>(tamanho));
  std::array<char, 1 << 16> bloco;
  for (std::size_t n; (n = std::fread(bloco.data(), 1, bloco.size(), f)) > 0;)
    dados.append(bloco.data(), n);
  const bool falhou = std::ferror(f) != 0;
  const int e = errno;
  std::fclose(f);
  if (falhou) {
    strErro.Format("Erro de leitura em '%s': %s", strCaminho.GetString(),
                   std::generic_category().message(e).c_str());
    return ELeitura::FalhaLeitura;
  }
  strTexto = CString(std::move(dados));
  return ELeitura::Lido;
}

bool CMMModeloEmailAlerta::AtualizaConteudoEmail(CString& strTexto, int nLinhas) {
  const std::string_view entrada = strTexto.View();
  const std::optional<TRECHO> bloco = Busca(EPadrao::BlocoLista, entrada);
  if (!bloco) return false;
  const std::size_t fimBloco = bloco->nInicio + bloco->nTamanho;
  const std::string_view b = entrada.substr(bloco->nInicio, bloco->nTamanho);
  // B occurs nowhere before its match (that would be an earlier match), so with no other block
  // and no copy of B after it, the text is its prefix, W and its rest.
  if (Busca(EPadrao::BlocoLista, entrada, fimBloco) || Procura(entrada, b, fimBloco) != npos)
    return AtualizaVariosBlocos(strTexto, nLinhas);

  // At most two texts at once: the template and x = prefix, W, rest. W starts as w0 in place;
  // x takes all it needs from the template, which is let go if x has to grow for the rows.
  std::string x;
  x.reserve(entrada.size() + (std::size_t{1} << 14));
  x.append(entrada.substr(0, bloco->nInicio));
  const std::size_t wIni = x.size();
  SubstituiTodas(b, "\r\n  ZQ_FIM_LISTA", "", x);
  std::size_t wFim = x.size();
  x.append(entrada.substr(fimBloco));

  // Every template row of w0 first (the search is on w0 as it came, not on W as it grows), and
  // the numbered copies of each: small next to the template.
  std::vector<std::pair<std::string, std::string>> linhas;  // "\r\n" + R, its numbered copies
  std::size_t acrescimo = 0;
  const std::string_view w0 = std::string_view(x).substr(wIni, wFim - wIni);
  for (std::size_t q = 0; const auto m = Busca(EPadrao::LinhaModelo, w0, q);) {
    q = m->nInicio + m->nTamanho;
    const std::string_view linha = w0.substr(m->nInicio + 7, m->nTamanho - 7);
    const NumeradorLinha numerador(linha);
    std::string copias;
    for (int i = 0; i < nLinhas; ++i) {
      copias.append("\r\n");
      numerador.Acrescenta(i, copias);
    }
    acrescimo += copias.size();
    linhas.emplace_back(std::string("\r\n").append(linha), std::move(copias));
  }
  if (x.capacity() < x.size() + acrescimo) {
    { const CString solto(std::move(strTexto)); }
    x.reserve(x.size() + acrescimo);
  }

  for (const auto& [removida, copias] : linhas) {
    // Every "\r\n" + R out of W, moving what stays left over the gaps, then the copies after W.
    std::size_t escrito = wIni, lido = wIni;
    for (std::size_t h; (h = Procura(std::string_view(x).substr(0, wFim), removida, lido)) != npos;) {
      std::memmove(x.data() + escrito, x.data() + lido, h - lido);
      escrito += h - lido;
      lido = h + removida.size();
    }
    if (lido != escrito) {
      std::memmove(x.data() + escrito, x.data() + lido, wFim - lido);
      x.erase(escrito + (wFim - lido), lido - escrito);
      wFim -= lido - escrito;
    }
    x.insert(wFim, copias);
    wFim += copias.size();
  }
  strTexto = CString(std::move(x));
  return true;
}

void CMMModeloEmailAlerta::SetDadosCorpoEmailCabecalho(DADOS_CORPO_EMAIL& dados,
                                                       const VALORES_CABECALHO_EMAIL& valores) {
  dados.strCodPlanoManut = valores.strCodigoPlano;
  dados.strDescPlanoManut = valores.strNomePlano;
  dados.strCodDisciplina = valores.strCodigoDisciplina;
  dados.strDescDisciplina = valores.strNomeDisciplina;
  dados.strDescAlerta = valores.strDescricaoAlerta;
  dados.strDetalhamentoAlerta = valores.strDetalhamentoAlerta;
  dados.strCodTecnico = valores.strCodigoTecnico;
  dados.strNomeTecnico = valores.strNomeTecnico;
  // One reading, so that the date and the date-time agree across midnight.
  const REG_ZQDMAHMSUTC agora = CZQRelogio::Agora();
  dados.strDataAtual = DataToString(agora.GetData(), true);
  dados.strDataHoraAtual = DmaHmsToString(agora, false);
}

void CMMModeloEmailAlerta::SetDadosCorpoEmailSubordinados(DADOS_CORPO_EMAIL& dados,
                                                          const VALORES_LINHA_EMAIL& valores) {
  dados.strCodRecurso = valores.strCodigoRecurso;
  dados.strDescRecurso = valores.strDescricaoRecurso;
  dados.strCodTpRecurso = valores.strCodigoTipoRecurso;
  dados.strDescTpRecurso = valores.strDescricaoTipoRecurso;
  dados.strNroSerieRecurso.Empty();  // no record carries it
  dados.strDtProxManut = DataToString(valores.dmaProximaManutencao, true);
  dados.strDiasProxManut.Empty();
  if (!valores.dmaProximaManutencao.IsEmpty())
    dados.strDiasProxManut.Format(
        "%lld", static_cast<long long>(
                    valores.dmaProximaManutencao.DiferencaDias(CZQRelogio::Hoje())));
  dados.strContadorProxManut =
      CZQCurrencyEx::FormataValor(valores.cyCiclosContador, valores.nCasasDecimaisContador);
  dados.strUnMedContador = valores.strUnidadeContador;
  dados.strCodFilial.Format("%u", static_cast<unsigned>(valores.usCodigoFilial));
  dados.strIdentFilial = valores.strIdentificacaoFilial;
  dados.strNomeFantFilial = valores.strNomeFantasiaFilial;
  dados.strRazaoSocial = valores.strRazaoSocialFilial;
}

void CMMModeloEmailAlerta::SubstituiMemoriasModeloEmail(CString& strTexto, const DADOS_CORPO_EMAIL& dados) {
  SubstituiUma(strTexto, dados, false);
}

void CMMModeloEmailAlerta::SubstituiMemoriasModeloEmailHtml(CString& strTexto, const DADOS_CORPO_EMAIL& dados) {
  SubstituiUma(strTexto, dados, true);
}

void CMMModeloEmailAlerta::SubstituiMemoriasModeloEmail(CString& strTexto, const DADOS_CORPO_EMAIL& cabecalho,
                                                        const std::vector<DADOS_CORPO_EMAIL>& linhas) {
  SubstituiLista(strTexto, cabecalho, linhas, false);
}

void CMMModeloEmailAlerta::SubstituiMemoriasModeloEmailHtml(CString& strTexto, const DADOS_CORPO_EMAIL& cabecalho,
                                                            const std::vector<DADOS_CORPO_EMAIL>& linhas) {
  SubstituiLista(strTexto, cabecalho, linhas, true);
}

void CMMModeloEmailAlerta::SubstituiUma(CString& strTexto, const DADOS_CORPO_EMAIL& dados, bool bValoresHtml) {
  for (const MEMORIA& m : kMemorias)
    SubstituiNoTexto(strTexto, m.pszToken, Valor((dados.*m.pCampo).View(), bValoresHtml));
}

void CMMModeloEmailAlerta::SubstituiLista(CString& strTexto, const DADOS_CORPO_EMAIL& cabecalho,
                                          const std::vector<DADOS_CORPO_EMAIL>& linhas, bool bValoresHtml) {
  for (std::size_t i = 0; i < kQtdCabecalho; ++i)
    SubstituiNoTexto(strTexto, kMemorias[i].pszToken,
                     Valor((cabecalho.*kMemorias[i].pCampo).View(), bValoresHtml));
  SubstituiNoTexto(strTexto, kInicioLista, "");
  SubstituiNoTexto(strTexto, kFimLista, "");
  const std::string_view texto = strTexto.View();

  // Two walks over the numbered row tokens, the first to size the result, so that the text and
  // the result are the only copies held.
  const auto percorre = [&](auto&& copia, auto&& valor) {
    std::size_t copiado = 0;
    for (std::size_t p = 0; (p = texto.find(kPrefixoMemoria, p)) != npos;) {
      std::size_t fim = p + kPrefixoMemoria.size();
      const MEMORIA* achada = nullptr;
      long i = -1;
      for (std::size_t k = kQtdCabecalho; k < kMemorias.size() && !achada; ++k) {
        const std::string_view token = kMemorias[k].pszToken;
        if (TemEm(texto, p, token)) {
          achada = &kMemorias[k];
          i = NumeroDaLinha(texto, p + token.size(), linhas.size(), fim);
        }
      }
      if (i < 0) {
        p = fim;
        continue;
      }
      copia(texto.substr(copiado, p - copiado));
      valor((linhas[static_cast<std::size_t>(i)].*achada->pCampo).View());
      p = copiado = fim;
    }
    copia(texto.substr(copiado));
  };
  std::size_t tamanho = 0, valores = 0;
  percorre([&](std::string_view t) { tamanho += t.size(); },
           [&](std::string_view v) { tamanho += TamanhoValor(v, bValoresHtml), ++valores; });
  if (valores == 0) return;
  std::string saida;
  saida.reserve(tamanho);
  percorre([&](std::string_view t) { saida.append(t); },
           [&](std::string_view v) { AcrescentaValor(saida, v, bValoresHtml); });
  strTexto = CString(std::move(saida));
}

CString CMMModeloEmailAlerta::EscapaHtml(std::string_view valor) { return CString(Valor(valor, false)); }

CString CMMModeloEmailAlerta::AssuntoEmail(const DADOS_CORPO_EMAIL& dados) {
  return CString("Alerta de Manutenção - "_cp) + dados.strDescAlerta;
}

const char* CMMModeloEmailAlerta::Expressao(EPadrao ePadrao) {
  switch (ePadrao) {
    case EPadrao::BlocoLista:
      return "ZQ_INICIO_LISTA[^*]+ZQ_FIM_LISTA.*\r\n.*\r\n.*</tr>";
    case EPadrao::LinhaModelo:
      return "</tr>.*\r\n <tr[^*]+</tr>";
    case EPadrao::Memoria:
      return "ZQ_[^ <*]+";
  }
  return "";
}

std::optional<CMMModeloEmailAlerta::TRECHO> CMMModeloEmailAlerta::Busca(EPadrao ePadrao,
                                                                        std::string_view texto,
                                                                        std::size_t nDe) {
  if (nDe > texto.size()) return std::nullopt;
  switch (ePadrao) {
    case EPadrao::BlocoLista:
      return BuscaBlocoLista(texto, nDe);
    case EPadrao::LinhaModelo:
      return BuscaLinhaModelo(texto, nDe);
    case EPadrao::Memoria:
      return BuscaMemoria(texto, nDe);
  }
  return std::nullopt;
}
