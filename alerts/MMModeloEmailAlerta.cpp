#include "alerts/MMModeloEmailAlerta.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
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
  for (const auto& a : kMemorias)
    for (const auto& b : kMemorias)
      if (a.pszToken != b.pszToken && std::string_view(b.pszToken).starts_with(a.pszToken))
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

// The last start b of s with de <= b and b + |s| <= ate, or npos.
std::size_t UltimaEntre(std::string_view t, std::string_view s, std::size_t de, std::size_t ate) {
  ate = std::min(ate, t.size());
  if (ate < s.size() || ate - s.size() < de) return npos;
  for (std::size_t b = ate - s.size() + 1; b-- > de;)
    if (t[b] == s[0] && t.compare(b, s.size(), s) == 0) return b;
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
std::optional<TRECHO> BuscaLinhaModelo(std::string_view t, std::size_t de) {
  for (std::size_t p = de; (p = t.find(kFechaLinha, p)) != npos;) {
    const std::size_t l = FimDaLinha(t, p + kFechaLinha.size());
    if (!TemEm(t, l, "\r\n <tr")) {
      p = l;  // every "</tr>" of this line meets the same line end
      continue;
    }
    const std::size_t a = l + 6;
    const std::size_t z = std::min(t.find('*', a), t.size());
    const std::size_t b = UltimaEntre(t, kFechaLinha, a + 1, z);
    if (b != npos) return TRECHO{p, b + kFechaLinha.size() - p};
    // No "</tr>" between a and z: a later start whose line ends before z meets the same z and
    // fails too. A start on z's own line may not: its ".*" runs past the '*'.
    if (z == t.size()) break;
    p = z;
    while (!EhQuebra(t[p - 1])) --p;  // t[l + 1] is a line break and l + 1 < z
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
  for (std::size_t h; (h = texto.find(de, pos)) != npos; pos = h + de.size(), ++n)
    saida.append(texto, pos, h - pos).append(para);
  saida.append(texto, pos);
  return n;
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
  }

  void Acrescenta(int i, std::string& saida) const {
    if (m_memorias.empty()) {
      saida.append(m_linha);
      return;
    }
    const std::string sufixo = std::string("_").append(std::to_string(i));
    std::size_t p = 0;
    while (p < m_linha.size()) {
      std::size_t e = p;
      while (e < m_linha.size() && !EhFimDeMemoria(m_linha[e])) ++e;
      const std::string_view trecho = m_linha.substr(p, e - p);
      if (trecho.find(kPrefixoMemoria) == npos)
        saida.append(trecho);
      else
        saida.append(Numera(trecho, sufixo));
      if (e < m_linha.size()) saida.push_back(m_linha[e]);
      p = e + 1;
    }
  }

 private:
  static constexpr int kNenhum = -1;

  void Insere(std::string_view k) {
    int no = 0;
    for (const char c : k) {
      const auto [it, novo] = m_filhos.try_emplace(Chave(no, c), static_cast<int>(m_fim.size()));
      if (novo) m_fim.push_back(kNenhum);
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
  // Templates can be large: texts are kept as views of what they came from until a step has to
  // write a new one.
  const std::string_view entrada = strTexto.View();
  std::string x;  // the text once a block was replaced; until then, 'entrada'
  bool xNovo = false;
  bool achou = false;
  std::size_t p = 0;
  while (const auto bloco = Busca(EPadrao::BlocoLista, entrada, p)) {
    p = bloco->nInicio + bloco->nTamanho;
    achou = true;
    const std::string_view b = entrada.substr(bloco->nInicio, bloco->nTamanho);
    const std::string w0 = SubstituiTodas(b, "\r\n  ZQ_FIM_LISTA", "");
    std::string w;  // once a row was expanded; until then, w0
    bool wNovo = false;
    std::size_t q = 0;
    while (const auto m = Busca(EPadrao::LinhaModelo, w0, q)) {
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
  std::string texto = strTexto.Str();
  for (const MEMORIA& m : kMemorias)
    texto = SubstituiTodas(texto, m.pszToken, Valor((dados.*m.pCampo).View(), bValoresHtml));
  strTexto = CString(std::move(texto));
}

void CMMModeloEmailAlerta::SubstituiLista(CString& strTexto, const DADOS_CORPO_EMAIL& cabecalho,
                                          const std::vector<DADOS_CORPO_EMAIL>& linhas, bool bValoresHtml) {
  std::string texto = strTexto.Str();
  for (std::size_t i = 0; i < kQtdCabecalho; ++i)
    texto = SubstituiTodas(texto, kMemorias[i].pszToken,
                           Valor((cabecalho.*kMemorias[i].pCampo).View(), bValoresHtml));
  texto = SubstituiTodas(texto, kInicioLista, "");
  texto = SubstituiTodas(texto, kFimLista, "");

  std::string saida;
  saida.reserve(texto.size());
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
    saida.append(texto, copiado, p - copiado);
    AcrescentaValor(saida, (linhas[static_cast<std::size_t>(i)].*achada->pCampo).View(), bValoresHtml);
    p = copiado = fim;
  }
  saida.append(texto, copiado);
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
