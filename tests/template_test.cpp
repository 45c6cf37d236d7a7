#include "alerts/MMModeloEmailAlerta.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <tuple>

#include <unistd.h>

#include "platform/types/Cp1252.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/types/ZQDataTexto.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"
#include "tests/support/ReferenciaModelo.h"

namespace {

using namespace std::string_literals;
using Modelo = CMMModeloEmailAlerta;
using EPadrao = Modelo::EPadrao;
using zqteste::AtualizaReferencia;
using zqteste::SubstituiTodas;

// Control bytes and bytes above ASCII made visible, so that a failing template reads on one line.
std::string Visivel(std::string_view s) {
  std::string out;
  for (const unsigned char c : s)
    out += c == '\r' ? "\\r"s : c == '\n' ? "\\n"s
         : c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : StringPrintf("\\x%02X", c);
  return out;
}

// Matches as " start+length ...".
std::string Trechos(EPadrao padrao, std::string_view texto) {
  std::string out;
  std::size_t p = 0;
  while (const auto m = Modelo::Busca(padrao, texto, p)) {
    out += StringPrintf(" %zu+%zu", m->nInicio, m->nTamanho);
    p = m->nInicio + m->nTamanho;
  }
  return out;
}

std::string TrechosRegex(EPadrao padrao, const std::string& texto) {
  std::string out;
  for (std::sregex_iterator it(texto.begin(), texto.end(), zqteste::RegexModelo(padrao)), fim; it != fim; ++it)
    out += StringPrintf(" %zu+%zu", static_cast<std::size_t>(it->position()), static_cast<std::size_t>(it->length()));
  return out;
}

// Pieces weighted towards what the patterns look for; fragments such as "Z", "Q_" and "_0" let
// tokens meet markers and numbers in odd ways.
std::string Gera(std::mt19937& rng, std::size_t pecas) {
  static const std::pair<std::string, int> kPecas[] = {
      {"ZQ_INICIO_LISTA", 5}, {"ZQ_FIM_LISTA", 6}, {"\r\n  ZQ_FIM_LISTA", 4}, {"</tr>", 10}, {" <tr", 5},
      {"\r\n <tr>", 6}, {"\r\n", 16}, {"\r", 2}, {"\n", 2}, {"*", 2}, {" ", 5}, {"<", 2}, {"<td>", 4}, {"</td>", 4},
      {"abc", 4}, {"x", 3}, {"ZQ_COD_RECURSO", 4}, {"ZQ_DESC_RECURSO", 2}, {"ZQ_NOME_TECNICO", 2}, {"ZQ_", 2},
      {"ZQ_COD_TECNICO", 1}, {"ZQ_COD", 1}, {"ZQ_DIAS_PROX_MANUT", 1}, {"ZQ_COD_RECURSO_1", 1}, {"ZQ_X", 1},
      {"Z", 1}, {"Q_", 1}, {"_0", 1}, {"_1", 1}, {",", 1}, {std::string(1, '\0'), 1}, {"\xE7\xE3", 1}, {"\xFF", 1}};
  static const std::vector<std::string> kSaco = [] {
    std::vector<std::string> v;
    for (const auto& [p, peso] : kPecas) v.insert(v.end(), static_cast<std::size_t>(peso), p);
    return v;
  }();
  std::string out;
  while (pecas-- > 0) out += kSaco[rng() % kSaco.size()];
  return out;
}

// Ordinary templates: a header, then one or two tables, each with the marker row, fixed rows, the
// closing marker, a template row over one to three lines, and a footer.
std::string GeraComum(std::mt19937& rng) {
  auto um = [&](std::vector<const char*> opcoes) { return std::string(opcoes[rng() % opcoes.size()]); };
  std::string t = "<p>ZQ_NOME_TECNICO ZQ_DESC_ALERTA</p>\r\n";
  for (auto tabelas = 1 + rng() % 2; tabelas > 0; --tabelas) {
    t += "<table>\r\n" + um({"<tr><td>ZQ_INICIO_LISTA</td></tr>\r\n", "<tr><th>C</th></tr>ZQ_INICIO_LISTA</tr>\r\n"});
    for (auto f = rng() % 4; f; --f) t += um({"<tr><td>fixo</td></tr>\r\n", " <tr><td>ZQ_COD_RECURSO</td></tr>\r\n"});
    t += um({"  ZQ_FIM_LISTA\r\n", "  ZQ_FIM_LISTA</td>\r\n", "ZQ_FIM_LISTA\r\n"}) + " <tr>";
    for (auto linhas = 1 + rng() % 3; linhas > 0; --linhas)
      t += um({"<td>ZQ_COD_RECURSO</td>", "<td>ZQ_DESC_RECURSO ZQ_NOME_TECNICO</td>", "<td>ZQ_DT_PROX_MANUT</td>",
               "<td>ZQ_CONTADOR_PROX_MANUT/ZQ_UN_MED_CONTADOR</td>", "<td>ZQ_COD_RECURSO,</td>",
               "<td>ZQ_COD_RECURSO ZQ_COD_RECURSO</td>", "<td>x</td>"}) + (linhas > 1 ? "\r\n " : "</tr>\r\n");
    t += um({"</table>\r\n", "</table>*\r\n", "<tr><td>fim</td></tr>\r\n</table>\r\n"});
  }
  return t;
}

// A few random edits: a byte changed, a stretch deleted or repeated, a piece inserted.
void Muta(std::mt19937& rng, std::string& t, int edicoes) {
  const std::string kBytes = "\r\n*< _ZQ/tr>\0\x80"s;
  for (int e = 0; e < edicoes && !t.empty(); ++e) {
    const std::size_t p = rng() % t.size(), n = 1 + rng() % 8;
    switch (rng() % 4) {
      case 0: t[p] = kBytes[rng() % kBytes.size()]; break;
      case 1: t.erase(p, n); break;
      case 2: t.insert(p, t.substr(p, n)); break;
      default: t.insert(p, Gera(rng, 1)); break;
    }
  }
}

// Every match of the three patterns (also on the text without "\r\n  ZQ_FIM_LISTA", as the row
// pattern sees a block) and the whole expansion against std::regex; false at the first difference.
bool ConfereComRegex(const std::string& t, int linhas) {
  SCOPED_TRACE(Visivel(t));
  for (const std::string& texto : {t, SubstituiTodas(t, "\r\n  ZQ_FIM_LISTA", "")}) {
    for (const EPadrao padrao : {EPadrao::BlocoLista, EPadrao::LinhaModelo, EPadrao::Memoria}) {
      EXPECT_EQ(Trechos(padrao, texto), TrechosRegex(padrao, texto)) << Modelo::Expressao(padrao);
      if (testing::Test::HasFailure()) return false;
    }
  }
  std::string esperado = t;
  CString obtido(t);
  EXPECT_EQ(Modelo::AtualizaConteudoEmail(obtido, linhas), AtualizaReferencia(esperado, linhas));
  EXPECT_EQ(Visivel(obtido.View()), Visivel(esperado)) << "rows: " << linhas;
  return !testing::Test::HasFailure();
}

TEST(TemplateMatcherTest, AgreesWithStdRegexOnHandWrittenCases) {
  const char* const casos[] = {
      // list block: the last marker whose three lines complete wins
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\nx\r\n<tr></tr></tr>y",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\n\r\n</tr>ZQ_FIM_LISTA\r\nno close\r\nhere",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA ZQ_FIM_LISTA\r\nb\r\n</tr>",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\nb\r\n</tr>\r\nZQ_FIM_LISTA\r\nc\r\n</tr>*",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\nb\r\n</tr>*ZQ_FIM_LISTA\r\nc\r\n</tr>",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA*\r\nb*\r\n*</tr>",  // the tail may cross a '*'
      "ZQ_INICIO_LISTAZQ_FIM_LISTA\r\nb\r\n</tr>",        // [^*]+ needs one byte
      "ZQ_INICIO_LISTA ZQ_INICIO_LISTA ZQ_FIM_LISTA\r\nb\r\n</tr>",
      "ZQ_INICIO_LISTA a*ZQ_INICIO_LISTA b ZQ_FIM_LISTA\r\nc\r\n</tr>",
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\r\nb\r\n</tr>",  // a lone CR breaks the line
      "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\nb\r\n</tr>", "ZQ_INICIO_LISTA a ZQ_FIM_LISTA\r\nb\r\n</tr\r\n</tr>",
      "ZQ_INICIO_LISTA\r\n\r\nZQ_FIM_LISTA\r\n\r\n</tr>ZQ_INICIO_LISTA\nZQ_FIM_LISTA\r\n\r\n</tr>",
      // template row: the line break right after "</tr>"'s line, the last "</tr>" before a '*'
      "</tr>\r\n <tr>a</tr>b</tr>c*</tr>", "</tr> x </tr> y\r\n <tr>a</tr>", "</tr>\r\n <tr</tr>x</tr>",
      "</tr>\r\n<tr>a</tr>\r\n <tr>b</tr>", "</tr>\r\n <tr>a*</tr>\r\n <tr>b</tr>", "</tr>\r\r\n <tr>a</tr>",
      "</tr>\r\n <tr>a\r\n</tr>\r\n <tr>*", "</tr>\r\n <tr</tr>",  // the last: [^*]+ needs one byte
      "</tr>\r\n <tr</tr>*\r\n <tr>x</tr>",  // the second start's ".*" crosses the '*'
      // tokens: up to ' ', '<', '*' or the end, across line breaks and NULs
      "ZQ_A ZQ_B<ZQ_C*ZQ_D", "ZQ_ ZQ_< ZQ_* ZQ_", "ZQ_ZQ_A xZQ_B,ZQ_C", "ZQ_A\r\nB<ZQ_\xE7\x01",
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
    std::string t = caso % 3 ? GeraComum(rng) : Gera(rng, std::uniform_int_distribution<std::size_t>(1, 300)(rng));
    if (caso % 3 != 1) Muta(rng, t, caso % 3 ? 1 + caso % 7 : caso % 20);
    comBloco += Modelo::Busca(EPadrao::BlocoLista, t).has_value();
    comLinha += Modelo::Busca(EPadrao::LinhaModelo, SubstituiTodas(t, "\r\n  ZQ_FIM_LISTA", "")).has_value();
    if (!ConfereComRegex(t, static_cast<int>(rng() % 4))) return;
  }
  // The generators must keep producing what the patterns are about.
  EXPECT_GT(comBloco, 500);
  EXPECT_GT(comLinha, 500);
}

// A 100 MB list block (std::regex overflows an 8 MB stack on some 30 KB of one). Rows that look like the template
// row but are not, markers whose lines do not complete, tokens: every matcher has work on every line.
TEST(TemplateMatcherTest, ExpandsAHundredMegabyteListBlock) {
  std::string t = "<table><tr><td>ZQ_INICIO_LISTA</td></tr>\r\n";
  t.reserve(101u << 20);
  while (t.size() < (100u << 20))
    t += "<tr><td>fixo ZQ_DESC_RECURSO</td></tr>\r\nZQ_FIM_LISTA sem fecho\r\n\r\n<td></td>\r\n";
  const std::size_t fixo = t.size();
  t += "<tr><td>ultima</td></tr>\r\n  ZQ_FIM_LISTA\r\n"
       " <tr><td>ZQ_COD_RECURSO</td>\r\n <td>ZQ_NOME_TECNICO</td></tr>\r\n</table>*\r\n";
  EXPECT_EQ(Trechos(EPadrao::BlocoLista, t), " 15+" + std::to_string(t.size() - 15 - 13));
  EXPECT_EQ(Trechos(EPadrao::LinhaModelo, t), "");
  CString texto(t);
  ASSERT_TRUE(Modelo::AtualizaConteudoEmail(texto, 2));
  EXPECT_TRUE(texto.View().substr(0, fixo) == std::string_view(t).substr(0, fixo));
  EXPECT_EQ(Visivel(texto.View().substr(fixo)),
            Visivel("<tr><td>ultima</td></tr>\r\n <tr><td>ZQ_COD_RECURSO_0</td>\r\n <td>ZQ_NOME_TECNICO</td></tr>\r\n"
                    " <tr><td>ZQ_COD_RECURSO_1</td>\r\n <td>ZQ_NOME_TECNICO</td></tr>\r\n</table>*\r\n"));
}

class TemplateExpansionTest : public testing::Test {
 protected:
  static DADOS_CORPO_EMAIL Cabecalho() {
    DADOS_CORPO_EMAIL d;
    Modelo::SetDadosCorpoEmailCabecalho(d, {"", "", "", "", "Troca de óleo"_cp, "", "", "Ana"});  // alert, technician
    return d;
  }
  static DADOS_CORPO_EMAIL Linha(const std::string& codigo, int diasAte, const std::string& contador = "0") {
    VALORES_LINHA_EMAIL v;
    v.strCodigoRecurso = codigo.c_str();
    v.strDescricaoRecurso = "Desc " + codigo;
    v.dmaProximaManutencao = REG_ZQDMA::DeDiaMesAno(5, 3, 2024).SomaDias(diasAte);
    v.cyCiclosContador = *CZQCurrencyEx::DeTexto(contador.c_str());
    DADOS_CORPO_EMAIL d;
    Modelo::SetDadosCorpoEmailSubordinados(d, v);
    return d;
  }
  CZQRelogioGuarda relogio{REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(5, 3, 2024), 10, 5, 30, -10800)};
};

// Header tokens keep their one value on every row; row twelve is not row one followed by a two.
TEST_F(TemplateExpansionTest, TwelveDueResourcesMakeTwelveNumberedRows) {
  CString texto =
      "<p>ZQ_NOME_TECNICO, ZQ_DESC_ALERTA em ZQ_DATA_HORA_ATUAL</p>\r\n<table>\r\n<tr><td>ZQ_INICIO_LISTA</td></tr>\r\n"
      "  ZQ_FIM_LISTA\r\n <tr><td>ZQ_COD_RECURSO</td><td>ZQ_DIAS_PROX_MANUT</td>\r\n"
      " <td>ZQ_NOME_TECNICO ZQ_CONTADOR_PROX_MANUT</td></tr>\r\n</table>\r\n";
  ASSERT_TRUE(Modelo::AtualizaConteudoEmail(texto, 12));
  std::vector<DADOS_CORPO_EMAIL> linhas;
  std::string esperado = "<p>Ana, Troca de óleo em 05/03/2024 10:05:30</p>\r\n<table>\r\n<tr><td></td></tr>\r\n"_cp;
  for (int i = 0; i < 12; ++i) {
    linhas.push_back(Linha(StringPrintf("R%d", i), i - 3, std::to_string(1000 + i)));
    esperado += StringPrintf(" <tr><td>R%d</td><td>%d</td>\r\n <td>Ana 1.%03d</td></tr>\r\n", i, i - 3, i);
  }
  Modelo::SubstituiMemoriasModeloEmail(texto, Cabecalho(), linhas);
  EXPECT_EQ(Visivel(texto.View()), Visivel(esperado + "</table>\r\n"));
}

TEST_F(TemplateExpansionTest, TemplateWithoutListBlockMakesOneMailPerResource) {
  const CString modelo = "ZQ_NOME_TECNICO: ZQ_COD_RECURSO ZQ_DESC_RECURSO (ZQ_DT_PROX_MANUT) ZQ_DATA_ATUAL\r\n"
                         "ZQ_FIM_LISTA ZQ_OUTRO\n";  // markers and unknown tokens stay
  CString preparado = modelo;
  EXPECT_FALSE(Modelo::AtualizaConteudoEmail(preparado, 2));
  EXPECT_EQ(preparado, modelo);
  DADOS_CORPO_EMAIL dados = Linha("R1", 5);
  for (const DADOS_CORPO_EMAIL cabecalho = Cabecalho(); const auto& m : Modelo::Memorias())
    if (m.ePapel == Modelo::EPapel::Cabecalho) dados.*m.pCampo = cabecalho.*m.pCampo;
  Modelo::SubstituiMemoriasModeloEmail(preparado, dados);
  EXPECT_EQ(Visivel(preparado.View()), Visivel("Ana: R1 Desc R1 (10/03/2024) 05/03/2024\r\nZQ_FIM_LISTA ZQ_OUTRO\n"));
  EXPECT_EQ(Modelo::AssuntoEmail(dados), "Alerta de Manutenção - Troca de óleo"_cp);
}

TEST_F(TemplateExpansionTest, EveryTokenOfTheTableIsReplaced) {
  DADOS_CORPO_EMAIL dados;
  std::string texto, esperado;
  for (int n = 0; const auto& m : Modelo::Memorias()) {
    dados.*m.pCampo = StringPrintf("v%d", n);
    texto.append(m.pszToken).append(" ");
    esperado += StringPrintf("v%d ", n++);
  }
  CString corpo(texto);
  Modelo::SubstituiMemoriasModeloEmail(corpo, dados);
  EXPECT_EQ(corpo.Str(), esperado);
}

// Which numbered tokens a row takes, and what is left alone.
TEST_F(TemplateExpansionTest, NumberedTokensTakeTheirRowsValues) {
  std::vector<DADOS_CORPO_EMAIL> linhas(12);
  for (std::size_t i = 0; i < 12; ++i) linhas[i].strCodRecurso = StringPrintf("r%zu", i);
  linhas[1].strDescRecurso = "ZQ_COD_RECURSO_2";  // a value is never read as a token
  const std::tuple<const char*, const char*> casos[] = {
      {"ZQ_COD_RECURSO_1|ZQ_COD_RECURSO_12|ZQ_COD_RECURSO_11x", "r1|ZQ_COD_RECURSO_12|r11x"},
      {"ZQ_COD_RECURSO_0_0 ZQ_COD_RECURSO_01 ZQ_COD_RECURSO_", "r0_0 ZQ_COD_RECURSO_01 ZQ_COD_RECURSO_"},
      {"ZQ_COD_RECURSO ZQ_NOME_TECNICO_1 ZQ_NOME_TECNICO", "ZQ_COD_RECURSO Ana_1 Ana"},
      {"aZQ_INICIO_LISTAbZQ_FIM_LISTAc ZQ_DESC_RECURSO_1", "abc ZQ_COD_RECURSO_2"},
      {"ZQ_COD_RECURSO_1ZQ_COD_RECURSO_2", "r1r2"}, {"ZQ_COD_RECURSO_999999999999", "ZQ_COD_RECURSO_999999999999"},
  };
  for (const auto& [modelo, esperado] : casos) {
    CString texto = modelo;
    Modelo::SubstituiMemoriasModeloEmail(texto, Cabecalho(), linhas);
    EXPECT_EQ(texto.Str(), esperado);
  }
  CString semLinhas = "ZQ_COD_RECURSO_0";
  Modelo::SubstituiMemoriasModeloEmail(semLinhas, Cabecalho(), {});
  EXPECT_EQ(semLinhas.Str(), "ZQ_COD_RECURSO_0");
}

// Days to the next maintenance (INT32_MIN: no date), counter and its decimals.
TEST_F(TemplateExpansionTest, RowFieldsFromPlainValues) {
  const std::tuple<int, const char*, int, const char*> casos[] = {
      {5, "1234.5", 2, "10/03/2024|5|1.234,50|65535"},  {-3, "1234.9", 0, "02/03/2024|-3|1.234|65535"},
      {0, "-12.3456", 4, "05/03/2024|0|-12,3456|65535"}, {INT32_MIN, "0", 1, "||0,0|65535"}};
  for (const auto& [dias, contador, casas, esperado] : casos) {
    VALORES_LINHA_EMAIL v;
    v.cyCiclosContador = *CZQCurrencyEx::DeTexto(contador);
    v.nCasasDecimaisContador = casas;
    v.usCodigoFilial = 65535;
    if (dias != INT32_MIN) v.dmaProximaManutencao = REG_ZQDMA::DeDiaMesAno(5, 3, 2024).SomaDias(dias);
    DADOS_CORPO_EMAIL d;
    Modelo::SetDadosCorpoEmailSubordinados(d, v);
    EXPECT_EQ(d.strDtProxManut.Str() + "|" + d.strDiasProxManut.Str() + "|" + d.strContadorProxManut.Str() + "|" +
                  d.strCodFilial.Str(), esperado);
  }
}

class TemplateFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir / "sub");
    std::ofstream(m_dir / "alerta.htm", std::ios::binary) << m_conteudo;
  }
  void TearDown() override {
    CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", "");
    std::filesystem::remove_all(m_dir);
  }
  const std::filesystem::path m_dir = ZQ_TEST_BINARY_DIR "/modelos-" + std::to_string(getpid());
  const std::string m_conteudo = "<p>\xE7\r\n\0ZQ_COD_RECURSO\r</p>\n\xFF"s;
};

// The name is what follows the last '\' or '/', wherever the template was picked.
TEST_F(TemplateFileTest, LocatesInTheReportFolderWithOneSeparator) {
  const std::string dir = m_dir.string();
  using enum Modelo::ELocalizacao;
  const std::tuple<std::string, const char*, Modelo::ELocalizacao, std::string> casos[] = {
      {dir, "C:\\Modelos\\alerta.htm", Encontrado, dir + "/alerta.htm"}, {dir, "sub", NaoEncontrado, dir + "/sub"},
      {dir + "/", "alerta.htm", Encontrado, dir + "/alerta.htm"}, {dir, "falta.htm", NaoEncontrado, dir + "/falta.htm"},
      {dir + "//", "x/alerta.htm", Encontrado, dir + "/alerta.htm"}, {dir, "C:\\Modelos\\", NaoEncontrado, dir + "/"},
      {dir, "a\\b/alerta.htm", Encontrado, dir + "/alerta.htm"}, {"", "alerta.htm", PastaDesconhecida, ""},
      {dir + "/alerta.htm", "x.htm", NaoEncontrado, dir + "/alerta.htm/x.htm"},
  };
  for (const auto& [pasta, nome, situacao, caminho] : casos) {
    SCOPED_TRACE(pasta + " + " + nome);
    CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", pasta);
    CString obtido = "lixo";
    EXPECT_EQ(Modelo::LocalizaModelo(nome, obtido), situacao);
    EXPECT_EQ(obtido.Str(), caminho);
  }
}

TEST_F(TemplateFileTest, ReadsTheWholeFileByteForByte) {
  using enum Modelo::ELeitura;
  CString texto, erro;
  ASSERT_EQ(Modelo::LeModeloEmail((m_dir / "alerta.htm").c_str(), texto, erro), Lido);
  EXPECT_EQ(Visivel(texto.View()), Visivel(m_conteudo));
  texto = "antes";
  EXPECT_EQ(Modelo::LeModeloEmail((m_dir / "falta.htm").c_str(), texto, erro), NaoAbriu);
  EXPECT_NE(erro.Find("falta.htm"), -1) << erro.Str();
  EXPECT_EQ(Modelo::LeModeloEmail((m_dir / "sub").c_str(), texto, erro), FalhaLeitura);  // opens, does not read
  EXPECT_NE(erro.Find("sub"), -1) << erro.Str();
  EXPECT_GT(erro.GetLength(), static_cast<int>((m_dir / "sub").string().size()) + 20) << erro.Str();
  EXPECT_EQ(texto.Str(), "antes");
}

TEST(TemplateDateTextTest, DatesTimesAndMovementKeys) {
  const auto dia = REG_ZQDMA::DeDiaMesAno(5, 3, 2024);
  const std::tuple<REG_ZQDMA, const char*> datas[] = {
      {dia, "05/03/2024 05/03/24"}, {REG_ZQDMA{REG_ZQDMA::kPrimeiro}, "01/01/1848 01/01/48"}, {REG_ZQDMA{}, " "},
      {REG_ZQDMA{REG_ZQDMA::kUltimo}, "31/12/4717 31/12/17"}, {REG_ZQDMA{REG_ZQDMA::kPrimeiro - 1}, " "},
      {REG_ZQDMA::DeDiaMesAno(29, 2, 2000), "29/02/2000 29/02/00"}, {REG_ZQDMA{REG_ZQDMA::kUltimo + 1}, " "}};
  for (const auto& [data, esperado] : datas)
    EXPECT_EQ(DataToString(data, true).Str() + " " + DataToString(data, false).Str(), esperado) << data.ulDma;

  const std::tuple<REG_ZQDMAHMSUTC, const char*> momentos[] = {
      {REG_ZQDMAHMSUTC::DeDataHora(dia, 10, 5, 30, -10800), "05/03/2024 10:05:30|05/03/2024 10:05:30 -03:00"},
      {REG_ZQDMAHMSUTC::DeDataHora(dia, 0, 0, 0, 0), "05/03/2024 00:00:00|05/03/2024 00:00:00 +00:00"},
      {REG_ZQDMAHMSUTC::DeDataHora(dia, 23, 59, 59, 19800), "05/03/2024 23:59:59|05/03/2024 23:59:59 +05:30"},
      {REG_ZQDMAHMSUTC::DeDataHora(dia, 1, 2, 3, -3601), "05/03/2024 01:02:03|05/03/2024 01:02:03 -01:00:01"},
      {REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA{REG_ZQDMA::kUltimo}, 23, 59, 59),
       "31/12/4717 23:59:59|31/12/4717 23:59:59 +00:00"},
      {REG_ZQDMAHMSUTC{}, "|"},
      {[] { REG_ZQDMAHMSUTC v; v.SetSegundos(REG_ZQDMAHMSUTC::kSegundosPrimeiro - 1); return v; }(), "|"}};
  for (const auto& [valor, esperado] : momentos)
    EXPECT_EQ(DmaHmsToString(valor, false).Str() + "|" + DmaHmsToString(valor, true).Str(), esperado) << valor.ullValor;

  const std::tuple<REG_ZQDMC, int, const char*> chaves[] = {
      {REG_ZQDMC::DeMes(1, 42, REG_ZQMA::DeMesAno(3, 2024)), 0, "001-000042 03/2024"},
      {REG_ZQDMC::DeMes(1, 42, REG_ZQMA::DeMesAno(3, 2024)), 1, "001-000042"},
      {REG_ZQDMC::DeAno(157, 4294967295u, 2024), 0, "157-4294967295 2024"}, {REG_ZQDMC{}, 0, ""},
      {REG_ZQDMC::DeDia(12, 7, dia), 0, "012-000007 05/03/2024"}, {REG_ZQDMC::Monta(0, 1, 2, 3), 0, "001-000002 3"},
      {REG_ZQDMC::Monta(2, 1, 2, 0), 0, "001-000002 0"}};  // a period that does not fit: as stored
  for (const auto& [dmc, tipo, esperado] : chaves) EXPECT_EQ(DmcToString(dmc, tipo).Str(), esperado);
}

}  // namespace
