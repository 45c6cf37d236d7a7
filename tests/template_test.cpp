#include "alerts/MMModeloEmailAlerta.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/types/Cp1252.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/types/ZQDataTexto.h"
#include "platform/types/ZQDma.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/types/ZQDmc.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"

namespace {

using namespace std::string_literals;
using Modelo = CMMModeloEmailAlerta;
using EPadrao = Modelo::EPadrao;

// Control bytes and bytes above ASCII made visible, so that a failing template reads on one line.
std::string Visivel(std::string_view s) {
  std::string out;
  for (const unsigned char c : s) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
    else out.append("\\x").append(1, "0123456789ABCDEF"[c >> 4]).append(1, "0123456789ABCDEF"[c & 15]);
  }
  return out;
}

// Matches as "start+length ...".
std::string Trechos(EPadrao padrao, std::string_view texto) {
  std::string out;
  std::size_t p = 0;
  while (const auto m = Modelo::Busca(padrao, texto, p)) {
    out.append(out.empty() ? "" : " ").append(std::to_string(m->nInicio)).append("+").append(
        std::to_string(m->nTamanho));
    p = m->nInicio + m->nTamanho;
  }
  return out;
}

const std::regex& Regex(EPadrao padrao) {
  static const std::regex kRegex[] = {std::regex(Modelo::Expressao(EPadrao::BlocoLista)),
                                      std::regex(Modelo::Expressao(EPadrao::LinhaModelo)),
                                      std::regex(Modelo::Expressao(EPadrao::Memoria))};
  return kRegex[static_cast<int>(padrao)];
}

std::string TrechosRegex(EPadrao padrao, const std::string& texto) {
  std::string out;
  for (std::sregex_iterator it(texto.begin(), texto.end(), Regex(padrao)), fim; it != fim; ++it)
    out.append(out.empty() ? "" : " ").append(std::to_string(it->position())).append("+").append(
        std::to_string(it->length()));
  return out;
}

std::string SubstituiTodas(const std::string& texto, const std::string& de, const std::string& para) {
  std::string out;
  std::size_t pos = 0;
  for (std::size_t h; (h = texto.find(de, pos)) != std::string::npos; pos = h + de.size())
    out.append(texto, pos, h - pos).append(para);
  return out.append(texto, pos);
}

// The list-block expansion written as plainly as it is described, on std::regex.
bool AtualizaReferencia(std::string& x, int linhas) {
  static const std::set<std::string> kCabecalho = {
      "ZQ_COD_TECNICO", "ZQ_NOME_TECNICO",   "ZQ_DESC_ALERTA",     "ZQ_DETALHAMENTO_ALERTA",
      "ZQ_COD_DISCIPLINA", "ZQ_DESC_DISCIPLINA", "ZQ_COD_PLANO_MANUT", "ZQ_DESC_PLANO_MANUT",
      "ZQ_DATA_ATUAL",  "ZQ_DATA_HORA_ATUAL"};
  const std::sregex_iterator fim;
  const std::string entrada = x;
  bool achou = false;
  for (std::sregex_iterator it(entrada.begin(), entrada.end(), Regex(EPadrao::BlocoLista));
       it != fim; ++it) {
    achou = true;
    const std::string b = it->str();
    const std::string w0 = SubstituiTodas(b, "\r\n  ZQ_FIM_LISTA", "");
    std::string w = w0;
    for (std::sregex_iterator jt(w0.begin(), w0.end(), Regex(EPadrao::LinhaModelo)); jt != fim;
         ++jt) {
      const std::string r = jt->str().substr(7);
      w = SubstituiTodas(w, std::string("\r\n").append(r), "");
      for (int i = 0; i < linhas; ++i) {
        std::string copia = r;
        std::set<std::string> feitas;
        for (std::sregex_iterator kt(r.begin(), r.end(), Regex(EPadrao::Memoria)); kt != fim;
             ++kt) {
          const std::string k = kt->str();
          if (kCabecalho.count(k) || !feitas.insert(k).second) continue;
          copia = SubstituiTodas(copia, k, std::string(k).append("_").append(std::to_string(i)));
        }
        w.append("\r\n").append(copia);
      }
    }
    x = SubstituiTodas(x, b, w);
  }
  return achou;
}

// ---- Random templates ---------------------------------------------------------------------------

// Pieces of templates, weighted towards what the patterns look for; fragments such as "Z", "Q_"
// and "_0" let tokens meet markers and numbers in odd ways.
const std::vector<std::pair<std::string, int>>& Pecas() {
  static const std::vector<std::pair<std::string, int>> kPecas = {
      {"ZQ_INICIO_LISTA", 5}, {"ZQ_FIM_LISTA", 6}, {"\r\n  ZQ_FIM_LISTA", 4}, {"</tr>", 10},
      {" <tr", 5},  {"\r\n <tr>", 6}, {"\r\n", 16}, {"\r", 2},  {"\n", 2},  {"*", 2},
      {" ", 5},     {"<", 2},         {"<td>", 4},  {"</td>", 4}, {"abc", 4}, {"x", 3},
      {"ZQ_COD_RECURSO", 4}, {"ZQ_DESC_RECURSO", 2}, {"ZQ_NOME_TECNICO", 2},
      {"ZQ_COD_TECNICO", 1}, {"ZQ_DIAS_PROX_MANUT", 1}, {"ZQ_COD_RECURSO_1", 1},
      {"ZQ_COD", 1}, {"ZQ_", 2}, {"ZQ_X", 1}, {"Z", 1}, {"Q_", 1}, {"_0", 1}, {"_1", 1},
      {",", 1}, {std::string(1, '\0'), 1}, {"\xE7\xE3", 1}, {"\xFF", 1}};
  return kPecas;
}

std::string Gera(std::mt19937& rng, std::size_t pecas) {
  int total = 0;
  for (const auto& [p, peso] : Pecas()) total += peso;
  std::string out;
  for (std::size_t i = 0; i < pecas; ++i) {
    int r = std::uniform_int_distribution<int>(0, total - 1)(rng);
    for (const auto& [p, peso] : Pecas()) {
      if ((r -= peso) < 0) {
        out += p;
        break;
      }
    }
  }
  return out;
}

// Ordinary templates: a header, then one or two tables, each with the marker row, fixed rows, the
// closing marker, a template row over one to three lines, and a footer.
std::string GeraComum(std::mt19937& rng) {
  auto um = [&](std::initializer_list<const char*> opcoes) {
    return std::string(*(opcoes.begin() + std::uniform_int_distribution<std::size_t>(
                                              0, opcoes.size() - 1)(rng)));
  };
  auto ate = [&](int n) { return std::uniform_int_distribution<int>(0, n)(rng); };
  std::string t = "<p>ZQ_NOME_TECNICO ZQ_DESC_ALERTA</p>\r\n";
  for (int tabela = 0, tabelas = 1 + ate(1); tabela < tabelas; ++tabela) {
    t += "<table>\r\n";
    t += um({"<tr><td>ZQ_INICIO_LISTA</td></tr>\r\n", "<tr><th>C</th></tr>ZQ_INICIO_LISTA</tr>\r\n"});
    for (int f = ate(3); f > 0; --f) t += um({"<tr><td>fixo</td></tr>\r\n", " <tr><td>ZQ_COD_RECURSO</td></tr>\r\n"});
    t += um({"  ZQ_FIM_LISTA\r\n", "  ZQ_FIM_LISTA</td>\r\n", "ZQ_FIM_LISTA\r\n"});
    const int linhas = 1 + ate(2);
    t += " <tr>";
    for (int l = 0; l < linhas; ++l) {
      t += um({"<td>ZQ_COD_RECURSO</td>", "<td>ZQ_DESC_RECURSO ZQ_NOME_TECNICO</td>",
               "<td>ZQ_CONTADOR_PROX_MANUT/ZQ_UN_MED_CONTADOR</td>", "<td>ZQ_COD_RECURSO,</td>",
               "<td>ZQ_DT_PROX_MANUT</td>", "<td>ZQ_COD_RECURSO ZQ_COD_RECURSO</td>", "<td>x</td>"});
      t += l + 1 < linhas ? "\r\n " : "</tr>\r\n";
    }
    t += um({"</table>\r\n", "</table>*\r\n", "<tr><td>fim</td></tr>\r\n</table>\r\n"});
  }
  return t;
}

// A few random edits: a byte changed, a stretch deleted or repeated, a piece inserted.
void Muta(std::mt19937& rng, std::string& t, int edicoes) {
  const std::string kBytes = "\r\n*< _ZQ/tr>\0\x80"s;
  for (int e = 0; e < edicoes && !t.empty(); ++e) {
    const std::size_t p = std::uniform_int_distribution<std::size_t>(0, t.size() - 1)(rng);
    const std::size_t n = std::uniform_int_distribution<std::size_t>(1, 8)(rng);
    switch (rng() % 4) {
      case 0: t[p] = kBytes[rng() % kBytes.size()]; break;
      case 1: t.erase(p, n); break;
      case 2: t.insert(p, t.substr(p, n)); break;
      default: t.insert(p, Gera(rng, 1)); break;
    }
  }
}

// Compares every match of the three patterns, on the text and on the text without its
// "\r\n  ZQ_FIM_LISTA" (as the row pattern sees a block), and the whole list-block expansion
// with std::regex. Answers false (after reporting) at the first difference.
bool ConfereComRegex(const std::string& t, int linhas) {
  SCOPED_TRACE(Visivel(t));
  for (const std::string& texto : {t, SubstituiTodas(t, "\r\n  ZQ_FIM_LISTA", "")}) {
    for (const EPadrao padrao : {EPadrao::BlocoLista, EPadrao::LinhaModelo, EPadrao::Memoria}) {
      SCOPED_TRACE(Modelo::Expressao(padrao));
      const std::string esperado = TrechosRegex(padrao, texto);
      EXPECT_EQ(Trechos(padrao, texto), esperado);
      if (Trechos(padrao, texto) != esperado) return false;
    }
  }
  std::string esperado = t;
  const bool tinha = AtualizaReferencia(esperado, linhas);
  CString obtido(t);
  EXPECT_EQ(Modelo::AtualizaConteudoEmail(obtido, linhas), tinha);
  EXPECT_EQ(Visivel(obtido.View()), Visivel(esperado)) << "rows: " << linhas;
  return obtido.Str() == esperado;
}

// ---- The matchers against std::regex ----------------------------------------------------------

TEST(TemplateMatcherTest, AgreesWithStdRegexOnHandWrittenCases) {
  const char* const casos[] = {
      // list block: the last marker whose three lines complete wins
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\nx\r\n<tr></tr></tr>y",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\n\r\n</tr>ZQ_FIM_LISTA\r\nno close\r\nhere",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA ZQ_FIM_LISTA\r\nb\r\n</tr>",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\nb\r\n</tr>\r\nZQ_FIM_LISTA\r\nc\r\n</tr>*",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\nb\r\n</tr>*ZQ_FIM_LISTA\r\nc\r\n</tr>",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA*\r\nb*\r\n*</tr>",          // the tail may cross a '*'
      "ZQ_INICIO_LISTAZQ_FIM_LISTA\r\nb\r\n</tr>",                // [^*]+ needs one byte
      "ZQ_INICIO_LISTA ZQ_INICIO_LISTA ZQ_FIM_LISTA\r\nb\r\n</tr>",
      "ZQ_INICIO_LISTA a*ZQ_INICIO_LISTA b ZQ_FIM_LISTA\r\nc\r\n</tr>",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\r\nb\r\n</tr>",           // a lone CR breaks the line
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\nb\r\n</tr>",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\nb\r\n</tr\r\n</tr>",
      "ZQ_INICIO_LISTA\r\n\r\nZQ_FIM_LISTA\r\n\r\n</tr>ZQ_INICIO_LISTA\nZQ_FIM_LISTA\r\n\r\n</tr>",
      // template row: the line break right after "</tr>"'s line, the last "</tr>" before a '*'
      "</tr>\r\n <tr>a</tr>b</tr>c*</tr>",
      "</tr> x </tr> y\r\n <tr>a</tr>",
      "</tr>\r\n <tr</tr>",                                         // [^*]+ needs one byte
      "</tr>\r\n <tr</tr>x</tr>",
      "</tr>\r\n<tr>a</tr>\r\n <tr>b</tr>",
      "</tr>\r\n <tr>a*</tr>\r\n <tr>b</tr>",
      "</tr>\r\r\n <tr>a</tr>",
      "</tr>\r\n <tr>a\r\n</tr>\r\n <tr>*",
      "</tr>\r\n <tr</tr>*\r\n <tr>x</tr>",                     // the second start's ".*" crosses the '*'
      // tokens: up to ' ', '<', '*' or the end, across line breaks and NULs
      "ZQ_A ZQ_B<ZQ_C*ZQ_D",
      "ZQ_ ZQ_< ZQ_* ZQ_",
      "ZQ_ZQ_A xZQ_B,ZQ_C",
      "ZQ_A\r\nB<ZQ_\xE7\x01",
  };
  for (const char* caso : casos) ConfereComRegex(caso, 2);
  ConfereComRegex("ZQ_A\0B ZQ_INICIO_LISTA\0ZQ_FIM_LISTA\0\r\n\0\r\n\0</tr>"s, 1);
}

// Random pieces, ordinary templates, and either with random edits.
TEST(TemplateMatcherTest, AgreesWithStdRegexOnGeneratedTemplates) {
  std::mt19937 rng(20240305);
  int comBloco = 0, comLinha = 0;
  for (int caso = 0; caso < 2500; ++caso) {
    SCOPED_TRACE(testing::Message() << "case " << caso);
    std::string t;
    switch (caso % 3) {
      case 0: t = Gera(rng, std::uniform_int_distribution<std::size_t>(1, 300)(rng)); Muta(rng, t, caso % 20); break;
      case 1: t = GeraComum(rng); break;
      default: t = GeraComum(rng); Muta(rng, t, 1 + caso % 7); break;
    }
    comBloco += Modelo::Busca(EPadrao::BlocoLista, t).has_value();
    comLinha += Modelo::Busca(EPadrao::LinhaModelo, SubstituiTodas(t, "\r\n  ZQ_FIM_LISTA", "")).has_value();
    if (!ConfereComRegex(t, static_cast<int>(rng() % 4))) return;
  }
  // The generators must keep producing what the patterns are about.
  EXPECT_GT(comBloco, 500);
  EXPECT_GT(comLinha, 500);
}

// A 100 MB list block. std::regex overflows an 8 MB stack on some 30 KB of one.
TEST(TemplateMatcherTest, ExpandsAHundredMegabyteListBlock) {
  const std::string cabeca = "<table><tr><td>ZQ_INICIO_LISTA</td></tr>\r\n";
  // Rows that look like the template row but are not (no leading space), markers whose lines do
  // not complete, and tokens: every matcher has work on every line.
  const std::string enchimento =
      "<tr><td>fixo ZQ_DESC_RECURSO</td></tr>\r\nZQ_FIM_LISTA sem fecho\r\n\r\n<td></td>\r\n";
  std::string t = cabeca;
  t.reserve(101u << 20);
  while (t.size() < (100u << 20)) t += enchimento;
  const std::size_t fixo = t.size();
  t.append("<tr><td>ultima</td></tr>\r\n  ZQ_FIM_LISTA\r\n")
      .append(" <tr><td>ZQ_COD_RECURSO</td>\r\n <td>ZQ_NOME_TECNICO</td></tr>")
      .append("\r\n</table>*\r\n");

  EXPECT_EQ(Trechos(EPadrao::BlocoLista, t), "15+" + std::to_string(t.size() - 15 - 13));
  EXPECT_EQ(Trechos(EPadrao::LinhaModelo, t), "");
  CString texto(t);
  ASSERT_TRUE(Modelo::AtualizaConteudoEmail(texto, 2));
  const std::string fim =
      "<tr><td>ultima</td></tr>"
      "\r\n <tr><td>ZQ_COD_RECURSO_0</td>\r\n <td>ZQ_NOME_TECNICO</td></tr>"
      "\r\n <tr><td>ZQ_COD_RECURSO_1</td>\r\n <td>ZQ_NOME_TECNICO</td></tr>"
      "\r\n</table>*\r\n";
  const std::string_view r = texto.View();
  ASSERT_EQ(r.size(), fixo + fim.size());
  EXPECT_TRUE(r.substr(0, fixo) == std::string_view(t).substr(0, fixo));
  EXPECT_EQ(Visivel(r.substr(fixo)), Visivel(fim));
}

// ---- Expansion examples -----------------------------------------------------------------------

REG_ZQDMAHMSUTC Momento() {
  return REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(5, 3, 2024), 10, 5, 30, -10800);
}

DADOS_CORPO_EMAIL Cabecalho() {
  DADOS_CORPO_EMAIL d;
  Modelo::SetDadosCorpoEmailCabecalho(
      d, {.strCodigoPlano = "P1", .strNomePlano = "Lubrificação"_cp, .strCodigoDisciplina = "MEC",
          .strNomeDisciplina = "Mecânica"_cp, .strDescricaoAlerta = "Troca de óleo"_cp,
          .strDetalhamentoAlerta = "Usar 15W40", .strCodigoTecnico = "T7",
          .strNomeTecnico = "Ana"});
  return d;
}

DADOS_CORPO_EMAIL Linha(const std::string& codigo, int diasAte, const char* contador, int casas) {
  DADOS_CORPO_EMAIL d;
  Modelo::SetDadosCorpoEmailSubordinados(
      d, {.strCodigoRecurso = codigo.c_str(), .strDescricaoRecurso = std::string("Desc ").append(codigo),
          .strCodigoTipoRecurso = "TR", .strDescricaoTipoRecurso = "Torno",
          .dmaProximaManutencao = REG_ZQDMA::DeDiaMesAno(5, 3, 2024).SomaDias(diasAte),
          .cyCiclosContador = *CZQCurrencyEx::DeTexto(contador), .strUnidadeContador = "h",
          .nCasasDecimaisContador = casas, .usCodigoFilial = 3, .strIdentificacaoFilial = "F3",
          .strNomeFantasiaFilial = "Oficina", .strRazaoSocialFilial = "Oficina Ltda"});
  return d;
}

TEST(TemplateExpansionTest, ThreeDueResourcesMakeThreeNumberedRows) {
  CZQRelogioGuarda relogio(Momento());
  CString texto =
      "<p>ZQ_NOME_TECNICO, ZQ_DESC_ALERTA em ZQ_DATA_HORA_ATUAL</p>\r\n"
      "<table>\r\n"
      "<tr><td>ZQ_INICIO_LISTA</td></tr>\r\n"
      "  ZQ_FIM_LISTA\r\n"
      " <tr><td>ZQ_COD_RECURSO</td><td>ZQ_DIAS_PROX_MANUT</td>\r\n"
      " <td>ZQ_NOME_TECNICO</td></tr>\r\n"
      "</table>\r\n";
  ASSERT_TRUE(Modelo::AtualizaConteudoEmail(texto, 3));
  EXPECT_EQ(Visivel(texto.View()),
            Visivel("<p>ZQ_NOME_TECNICO, ZQ_DESC_ALERTA em ZQ_DATA_HORA_ATUAL</p>\r\n"
                    "<table>\r\n"
                    "<tr><td>ZQ_INICIO_LISTA</td></tr>\r\n"
                    " <tr><td>ZQ_COD_RECURSO_0</td><td>ZQ_DIAS_PROX_MANUT_0</td>\r\n"
                    " <td>ZQ_NOME_TECNICO</td></tr>\r\n"
                    " <tr><td>ZQ_COD_RECURSO_1</td><td>ZQ_DIAS_PROX_MANUT_1</td>\r\n"
                    " <td>ZQ_NOME_TECNICO</td></tr>\r\n"
                    " <tr><td>ZQ_COD_RECURSO_2</td><td>ZQ_DIAS_PROX_MANUT_2</td>\r\n"
                    " <td>ZQ_NOME_TECNICO</td></tr>\r\n"
                    "</table>\r\n"));

  Modelo::SubstituiMemoriasModeloEmail(
      texto, Cabecalho(), {Linha("R0", 5, "1", 0), Linha("R1", -3, "1", 0), Linha("R2", 0, "1", 0)});
  EXPECT_EQ(Visivel(texto.View()),
            Visivel("<p>Ana, Troca de óleo em 05/03/2024 10:05:30</p>\r\n"
                    "<table>\r\n"
                    "<tr><td></td></tr>\r\n"
                    " <tr><td>R0</td><td>5</td>\r\n <td>Ana</td></tr>\r\n"
                    " <tr><td>R1</td><td>-3</td>\r\n <td>Ana</td></tr>\r\n"
                    " <tr><td>R2</td><td>0</td>\r\n <td>Ana</td></tr>\r\n"
                    "</table>\r\n"_cp));
}

TEST(TemplateExpansionTest, RowTwelveIsNotRowOneFollowedByTwo) {
  CString texto =
      "<table><tr><td>ZQ_INICIO_LISTA</td></tr>\r\n  ZQ_FIM_LISTA\r\n"
      " <tr><td>ZQ_COD_RECURSO</td>\r\n <td>ZQ_CONTADOR_PROX_MANUT</td></tr>\r\n</table>";
  ASSERT_TRUE(Modelo::AtualizaConteudoEmail(texto, 12));
  std::vector<DADOS_CORPO_EMAIL> linhas;
  std::string esperado = "<table><tr><td></td></tr>";
  for (int i = 0; i < 12; ++i) {
    linhas.push_back(Linha(std::string("R").append(std::to_string(i)), 0, std::to_string(1000 + i).c_str(), 0));
    esperado.append("\r\n <tr><td>R").append(std::to_string(i)).append("</td>\r\n <td>1.0");
    esperado.append(i < 10 ? "0" : "").append(std::to_string(i)).append("</td></tr>");
  }
  Modelo::SubstituiMemoriasModeloEmail(texto, Cabecalho(), linhas);
  EXPECT_EQ(Visivel(texto.View()), Visivel(esperado.append("\r\n</table>")));
}

TEST(TemplateExpansionTest, TemplateWithoutListBlockMakesOneMailPerResource) {
  CZQRelogioGuarda relogio(Momento());
  const CString modelo =
      "ZQ_NOME_TECNICO: ZQ_COD_RECURSO ZQ_DESC_RECURSO (ZQ_DT_PROX_MANUT) ZQ_DATA_ATUAL\r\n"
      "ZQ_FIM_LISTA ZQ_OUTRO\n";  // markers and unknown tokens stay
  CString preparado = modelo;
  EXPECT_FALSE(Modelo::AtualizaConteudoEmail(preparado, 2));
  EXPECT_EQ(preparado, modelo);

  const std::tuple<const char*, int, const char*> casos[] = {
      {"R1", 5, "Ana: R1 Desc R1 (10/03/2024) 05/03/2024\r\nZQ_FIM_LISTA ZQ_OUTRO\n"},
      {"R2", -3, "Ana: R2 Desc R2 (02/03/2024) 05/03/2024\r\nZQ_FIM_LISTA ZQ_OUTRO\n"},
  };
  for (const auto& [codigo, dias, esperado] : casos) {
    SCOPED_TRACE(codigo);
    DADOS_CORPO_EMAIL dados = Linha(codigo, dias, "0", 0);
    const DADOS_CORPO_EMAIL cabecalho = Cabecalho();
    for (const auto& m : Modelo::Memorias())
      if (m.ePapel == Modelo::EPapel::Cabecalho) dados.*m.pCampo = cabecalho.*m.pCampo;
    CString corpo = preparado;
    Modelo::SubstituiMemoriasModeloEmail(corpo, dados);
    EXPECT_EQ(Visivel(corpo.View()), Visivel(esperado));
    EXPECT_EQ(Modelo::AssuntoEmail(dados), "Alerta de Manutenção - Troca de óleo"_cp);
  }
}

TEST(TemplateExpansionTest, EveryTokenOfTheTableIsReplaced) {
  DADOS_CORPO_EMAIL dados;
  std::string texto, esperado;
  int n = 0;
  for (const auto& m : Modelo::Memorias()) {
    dados.*m.pCampo = std::string("v").append(std::to_string(n));
    texto.append(m.pszToken).append(" ");
    esperado.append("v").append(std::to_string(n++)).append(" ");
  }
  EXPECT_EQ(n, 23);
  CString corpo(texto);
  Modelo::SubstituiMemoriasModeloEmail(corpo, dados);
  EXPECT_EQ(corpo.Str(), esperado);
}

// Which numbered tokens a row takes, and what is left alone.
TEST(TemplateExpansionTest, NumberedTokensTakeTheirRowsValues) {
  DADOS_CORPO_EMAIL cabecalho;
  cabecalho.strNomeTecnico = "Ana";
  std::vector<DADOS_CORPO_EMAIL> linhas(12);
  for (int i = 0; i < 12; ++i) linhas[static_cast<std::size_t>(i)].strCodRecurso = std::string("r").append(std::to_string(i));
  linhas[1].strDescRecurso = "ZQ_COD_RECURSO_2";  // a value is never read as a token
  const std::tuple<const char*, const char*> casos[] = {
      {"ZQ_COD_RECURSO_1|ZQ_COD_RECURSO_12|ZQ_COD_RECURSO_11x", "r1|ZQ_COD_RECURSO_12|r11x"},
      {"ZQ_COD_RECURSO_0_0 ZQ_COD_RECURSO_01 ZQ_COD_RECURSO_", "r0_0 ZQ_COD_RECURSO_01 ZQ_COD_RECURSO_"},
      {"ZQ_COD_RECURSO ZQ_NOME_TECNICO_1 ZQ_NOME_TECNICO", "ZQ_COD_RECURSO Ana_1 Ana"},
      {"aZQ_INICIO_LISTAbZQ_FIM_LISTAc ZQ_DESC_RECURSO_1", "abc ZQ_COD_RECURSO_2"},
      {"ZQ_COD_RECURSO_1ZQ_COD_RECURSO_2", "r1r2"},
      {"ZQ_COD_RECURSO_999999999999", "ZQ_COD_RECURSO_999999999999"},
  };
  for (const auto& [modelo, esperado] : casos) {
    SCOPED_TRACE(modelo);
    CString texto = modelo;
    Modelo::SubstituiMemoriasModeloEmail(texto, cabecalho, linhas);
    EXPECT_EQ(texto.Str(), esperado);
  }
  CString semLinhas = "ZQ_COD_RECURSO_0";
  Modelo::SubstituiMemoriasModeloEmail(semLinhas, cabecalho, {});
  EXPECT_EQ(semLinhas.Str(), "ZQ_COD_RECURSO_0");
}

TEST(TemplateExpansionTest, RowFieldsFromPlainValues) {
  CZQRelogioGuarda relogio(Momento());
  const std::tuple<int, const char*, int, const char*, const char*, const char*> casos[] = {
      // days to next maintenance (or none), counter, decimals: ZQ_DT, ZQ_DIAS, ZQ_CONTADOR
      {5, "1234.5", 2, "10/03/2024", "5", "1.234,50"},
      {-3, "1234.9", 0, "02/03/2024", "-3", "1.234"},
      {0, "-12.3456", 4, "05/03/2024", "0", "-12,3456"},
      {INT32_MIN, "0", 1, "", "", "0,0"},
  };
  for (const auto& [dias, contador, casas, data, diasTexto, contadorTexto] : casos) {
    SCOPED_TRACE(testing::Message() << dias << " " << contador);
    VALORES_LINHA_EMAIL v;
    if (dias != INT32_MIN) v.dmaProximaManutencao = REG_ZQDMA::DeDiaMesAno(5, 3, 2024).SomaDias(dias);
    v.cyCiclosContador = *CZQCurrencyEx::DeTexto(contador);
    v.nCasasDecimaisContador = casas;
    v.usCodigoFilial = 65535;
    DADOS_CORPO_EMAIL d;
    Modelo::SetDadosCorpoEmailSubordinados(d, v);
    EXPECT_EQ(d.strDtProxManut.Str(), data);
    EXPECT_EQ(d.strDiasProxManut.Str(), diasTexto);
    EXPECT_EQ(d.strContadorProxManut.Str(), contadorTexto);
    EXPECT_EQ(d.strCodFilial.Str(), "65535");
  }
}

// ---- Locating and reading -----------------------------------------------------------------------

class TemplateFileTest : public testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::path(ZQ_TEST_BINARY_DIR) /
            ("modelos-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir / "sub");
    std::ofstream(m_dir / "alerta.htm", std::ios::binary) << m_conteudo;
  }
  void TearDown() override {
    CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", "");
    std::filesystem::remove_all(m_dir);
  }
  void Pasta(const std::string& pasta) { CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", pasta); }

  std::filesystem::path m_dir;
  const std::string m_conteudo = "<p>\xE7\r\n\0ZQ_COD_RECURSO\r</p>\n\xFF"s;
};

TEST_F(TemplateFileTest, NameIsWhatFollowsTheLastSeparator) {
  const std::tuple<const char*, const char*> casos[] = {
      {"C:\\Modelos\\alerta.htm", "alerta.htm"}, {"alerta.htm", "alerta.htm"},
      {"/srv/modelos/alerta.htm", "alerta.htm"}, {"a/b\\c.htm", "c.htm"},
      {"a\\b/c.htm", "c.htm"},                    {"C:\\Modelos\\", ""},
  };
  for (const auto& [nome, esperado] : casos) {
    SCOPED_TRACE(nome);
    EXPECT_EQ(Modelo::NomeModelo(nome).Str(), esperado);
  }
}

TEST_F(TemplateFileTest, LocatesInTheReportFolderWithOneSeparator) {
  const std::string dir = m_dir.string();
  const std::tuple<std::string, const char*, Modelo::ELocalizacao, std::string> casos[] = {
      {dir, "C:\\Modelos\\alerta.htm", Modelo::ELocalizacao::Encontrado, dir + "/alerta.htm"},
      {dir + "/", "alerta.htm", Modelo::ELocalizacao::Encontrado, dir + "/alerta.htm"},
      {dir + "//", "x/alerta.htm", Modelo::ELocalizacao::Encontrado, dir + "/alerta.htm"},
      {dir, "falta.htm", Modelo::ELocalizacao::NaoEncontrado, dir + "/falta.htm"},
      {dir, "sub", Modelo::ELocalizacao::NaoEncontrado, dir + "/sub"},
      {dir, "C:\\Modelos\\", Modelo::ELocalizacao::NaoEncontrado, dir + "/"},
      {dir + "/alerta.htm", "x.htm", Modelo::ELocalizacao::NaoEncontrado, dir + "/alerta.htm/x.htm"},
      {dir + "/nada", "alerta.htm", Modelo::ELocalizacao::NaoEncontrado, dir + "/nada/alerta.htm"},
      {"", "alerta.htm", Modelo::ELocalizacao::PastaDesconhecida, ""},
  };
  for (const auto& [pasta, nome, situacao, caminho] : casos) {
    SCOPED_TRACE(pasta + " + " + nome);
    Pasta(pasta);
    CString obtido = "lixo";
    EXPECT_EQ(Modelo::LocalizaModelo(nome, obtido), situacao);
    EXPECT_EQ(obtido.Str(), caminho);
  }
}

TEST_F(TemplateFileTest, ReadsTheWholeFileByteForByte) {
  CString texto, erro;
  ASSERT_EQ(Modelo::LeModeloEmail((m_dir / "alerta.htm").c_str(), texto, erro), Modelo::ELeitura::Lido);
  EXPECT_EQ(Visivel(texto.View()), Visivel(m_conteudo));

  texto = "antes";
  EXPECT_EQ(Modelo::LeModeloEmail((m_dir / "falta.htm").c_str(), texto, erro),
            Modelo::ELeitura::NaoAbriu);
  EXPECT_NE(erro.Find("falta.htm"), -1) << erro.Str();
  // A folder opens but does not read.
  EXPECT_EQ(Modelo::LeModeloEmail((m_dir / "sub").c_str(), texto, erro),
            Modelo::ELeitura::FalhaLeitura);
  EXPECT_NE(erro.Find("sub"), -1) << erro.Str();
  EXPECT_GT(erro.GetLength(), static_cast<int>((m_dir / "sub").string().size()) + 20) << erro.Str();
  EXPECT_EQ(texto.Str(), "antes");
}

// ---- Date texts ---------------------------------------------------------------------------------

TEST(TemplateDateTextTest, Dates) {
  const std::tuple<REG_ZQDMA, const char*, const char*> casos[] = {
      {REG_ZQDMA::DeDiaMesAno(5, 3, 2024), "05/03/2024", "05/03/24"},
      {REG_ZQDMA{REG_ZQDMA::kPrimeiro}, "01/01/1848", "01/01/48"},
      {REG_ZQDMA{REG_ZQDMA::kUltimo}, "31/12/4717", "31/12/17"},
      {REG_ZQDMA::DeDiaMesAno(29, 2, 2000), "29/02/2000", "29/02/00"},
      {REG_ZQDMA{}, "", ""},
      {REG_ZQDMA{REG_ZQDMA::kPrimeiro - 1}, "", ""},
      {REG_ZQDMA{REG_ZQDMA::kUltimo + 1}, "", ""},
  };
  for (const auto& [data, completo, curto] : casos) {
    SCOPED_TRACE(data.ulDma);
    EXPECT_EQ(DataToString(data, true).Str(), completo);
    EXPECT_EQ(DataToString(data, false).Str(), curto);
  }
}

TEST(TemplateDateTextTest, DatesAndTimes) {
  const REG_ZQDMA dia = REG_ZQDMA::DeDiaMesAno(5, 3, 2024);
  REG_ZQDMAHMSUTC antesDoPrimeiro;
  antesDoPrimeiro.SetSegundos(REG_ZQDMAHMSUTC::kSegundosPrimeiro - 1);
  const std::tuple<REG_ZQDMAHMSUTC, const char*, const char*> casos[] = {
      {REG_ZQDMAHMSUTC::DeDataHora(dia, 10, 5, 30, -10800), "05/03/2024 10:05:30",
       "05/03/2024 10:05:30 -03:00"},
      {REG_ZQDMAHMSUTC::DeDataHora(dia, 0, 0, 0, 0), "05/03/2024 00:00:00", "05/03/2024 00:00:00 +00:00"},
      {REG_ZQDMAHMSUTC::DeDataHora(dia, 23, 59, 59, 19800), "05/03/2024 23:59:59",
       "05/03/2024 23:59:59 +05:30"},
      {REG_ZQDMAHMSUTC::DeDataHora(dia, 1, 2, 3, -3601), "05/03/2024 01:02:03", "05/03/2024 01:02:03 -01:00:01"},
      {REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA{REG_ZQDMA::kUltimo}, 23, 59, 59), "31/12/4717 23:59:59",
       "31/12/4717 23:59:59 +00:00"},
      {REG_ZQDMAHMSUTC{}, "", ""},
      {antesDoPrimeiro, "", ""},
  };
  for (const auto& [valor, sem, com] : casos) {
    SCOPED_TRACE(valor.ullValor);
    EXPECT_EQ(DmaHmsToString(valor, false).Str(), sem);
    EXPECT_EQ(DmaHmsToString(valor, true).Str(), com);
  }
}

TEST(TemplateDateTextTest, MovementKeys) {
  const std::tuple<REG_ZQDMC, const char*> casos[] = {
      {REG_ZQDMC::DeMes(1, 42, REG_ZQMA::DeMesAno(3, 2024)), "001-000042 03/2024"},
      {REG_ZQDMC::DeAno(157, 4294967295u, 2024), "157-4294967295 2024"},
      {REG_ZQDMC::DeDia(12, 7, REG_ZQDMA::DeDiaMesAno(5, 3, 2024)), "012-000007 05/03/2024"},
      {REG_ZQDMC::Monta(0, 1, 2, 3), "001-000002 3"},
      {REG_ZQDMC::Monta(2, 1, 2, 0), "001-000002 0"},  // a period that does not fit: as stored
      {REG_ZQDMC{}, ""},
  };
  for (const auto& [dmc, esperado] : casos) {
    SCOPED_TRACE(esperado);
    EXPECT_EQ(DmcToString(dmc, 0).Str(), esperado);
  }
  EXPECT_EQ(DmcToString(REG_ZQDMC::DeMes(1, 42, REG_ZQMA::DeMesAno(3, 2024)), 1).Str(), "001-000042");
}

}  // namespace
