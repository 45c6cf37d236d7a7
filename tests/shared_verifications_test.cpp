#include "framework/MMTrataDados.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/types/Cp1252.h"
#include "platform/access/ZQResultados.h"
#include "tests/support/Fixture.h"

namespace {

using zqteste::Aviso;
using zqteste::EmpresaTeste;

constexpr long kCampo = 97;  // any field code: the checks must pass it through

REG_ZQDMA Dia(int d, int m, int a) { return REG_ZQDMA::DeDiaMesAno(d, m, a); }
REG_ZQDMAHMSUTC Hora(int d, int m, int a, int h = 12, int mi = 0, int s = 0) {
  return REG_ZQDMAHMSUTC::DeDataHora(Dia(d, m, a), h, mi, s, -10800);
}
_REG_POSICAO_PRODUTOPS Posicao(std::uint32_t p, std::uint16_t g1 = 0, std::uint16_t g2 = 0, std::uint16_t g3 = 0) {
  return {p, g1, g2, g3};
}

// Movement from 15 March to 1 June 2024; integration blocked up to January 2024 and allowed from
// 10 February to 20 July 2024. Branch 1 is blocked up to March 2024, branch 2 not at all.
class SharedVerificationsTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    CZQDadosDF_PeriodoContabil periodo;
    periodo.SetChave(CZQDadosDF_PeriodoContabil::kChaveUnica), periodo.SetMesBloqueio(REG_ZQMA::DeMesAno(1, 2024));
    periodo.SetDataInferiorMovimentacao(Dia(15, 3, 2024)), periodo.SetDataSuperiorMovimentacao(Dia(1, 6, 2024));
    periodo.SetDataInferiorIntegracao(Dia(10, 2, 2024)), periodo.SetDataSuperiorIntegracao(Dia(20, 7, 2024));
    empresa.Adiciona(periodo);
    CZQDadosDF_Filial filial;
    filial.SetMesBloqueioIntegracao(REG_ZQMA::DeMesAno(3, 2024));
    filialBloqueada = static_cast<unsigned short>(empresa.Adiciona(filial).GetPonteiro());
    filial.SetMesBloqueioIntegracao(REG_ZQMA{});
    filialLivre = static_cast<unsigned short>(empresa.Adiciona(filial).GetPonteiro());
    CZQDadosDF_ProdutoEx produto;
    semGrade = empresa.Adiciona(produto).GetPonteiro();
    produto.SetPonteiroGrade1(7), grade1 = empresa.Adiciona(produto).GetPonteiro();
    produto.SetPonteiroGrade2(8), grades12 = empresa.Adiciona(produto).GetPonteiro();
    produto.SetKit(1), kit = empresa.Adiciona(produto).GetPonteiro();
    servico = empresa.Adiciona(CZQDadosDF_Servico()).GetPonteiro();
    CZQDadosMM_Situacao s;
    s.SetTipo(CZQDadosMM_Situacao::kTipoManutencao), s.SetCodigo("AT"), s.SetDescricao("Ativa");
    ativa = empresa.Adiciona(s).GetPonteiro();
    s.SetCodigo("SU"), s.SetDescricao("Suspensão"_cp), s.SetInativo(1), inativa = empresa.Adiciona(s).GetPonteiro();
    CZQDadosDF_Usuario u;
    u.SetLogin("ana"), usuarioLivre = static_cast<unsigned short>(empresa.Adiciona(u).GetNumero());
    u.SetLogin("rui"), u.SetBloqueado(true);
    usuarioBloqueado = static_cast<unsigned short>(empresa.Adiciona(u).GetNumero());
    ASSERT_EQ(handler.Inicializa(empresa.Nome(), 1, 1), 0);
  }
  // Each check on an input it accepts, by name.
  CZQDadosDF_Erro& Verifica(const std::string& qual) {
    if (qual == "movement") return handler.VerificaPeriodoMovimentacao(Dia(15, 4, 2024), kCampo);
    if (qual == "integration") return handler.VerificaPeriodoIntegracao(Hora(15, 4, 2024), filialLivre, kCampo);
    if (qual == "product") return handler.VerificaProduto(Posicao(semGrade));
    if (qual == "service") return handler.VerificaServico(Posicao(servico));
    if (qual == "status") return handler.VerificaSituacaoManutencao(ativa, situacao, 85, true, false);
    return handler.VerificaUsuario(usuarioLivre, &usuario);
  }

  EmpresaTeste empresa{GetParam()};
  CMMTrataDados handler;
  CZQDadosMM_Situacao situacao;
  CZQDadosDF_Usuario usuario;
  unsigned short filialBloqueada = 0, filialLivre = 0;
  std::uint32_t semGrade = 0, grade1 = 0, grades12 = 0, kit = 0, servico = 0, ativa = 0, inativa = 0;
  unsigned short usuarioLivre = 0, usuarioBloqueado = 0;
};

TEST_P(SharedVerificationsTest, MovementPeriod) {
  for (const auto& [nome, data, aviso] : std::vector<std::tuple<const char*, REG_ZQDMA, const char*>>{
      {"no date", REG_ZQDMA{0}, "28/129/97"},
      {"day before the first valid day", REG_ZQDMA{1}, "28/129/97"},
      {"first valid day reaches the period", REG_ZQDMA{2}, "28/130/97"},
      {"last valid day reaches the period", REG_ZQDMA{1048247}, "28/130/97"},
      {"day after the last valid day", REG_ZQDMA{1048248}, "28/129/97"},
      {"last day before the first month", Dia(29, 2, 2024), "28/130/97"},
      {"first month, before the lower date", Dia(1, 3, 2024), ""},
      {"last month, after the upper date", Dia(30, 6, 2024), ""},
      {"first day after the last month", Dia(1, 7, 2024), "28/130/97"},
       }) {
    SCOPED_TRACE(nome);
    handler.SetAviso(MODULO_MM, 999, 1);
    EXPECT_EQ(Aviso(handler.VerificaPeriodoMovimentacao(data, kCampo)), aviso);
  }
}

TEST_P(SharedVerificationsTest, IntegrationPeriod) {
  using Linha = std::tuple<const char*, unsigned short, REG_ZQDMAHMSUTC, const char*>;
  for (const auto& [nome, filial, quando, aviso] : std::vector<Linha>{
      {"branch blocked through its month", filialBloqueada, Hora(31, 3, 2024, 23, 59, 59), "28/184/97"},
      {"branch blocked: earlier year", filialBloqueada, Hora(15, 5, 2023), "28/184/97"},
      {"branch: month after the block", filialBloqueada, Hora(1, 4, 2024, 0, 0, 0), ""},
      {"period blocked through its month", filialLivre, Hora(31, 1, 2024, 23, 59, 59), "28/185/97"},
      {"period block checked before the dates", 0, Hora(5, 1, 2024), "28/185/97"},
      {"day before the integration dates", 0, Hora(9, 2, 2024, 23, 59, 59), "28/186/97"},
      {"first integration day", 0, Hora(10, 2, 2024, 0, 0, 0), ""},
      {"last integration day", 0, Hora(20, 7, 2024, 23, 59, 59), ""},
      {"day after the integration dates", filialLivre, Hora(21, 7, 2024, 0, 0, 0), "28/186/97"},
       }) {
    SCOPED_TRACE(nome);
    handler.LimpaErro();
    EXPECT_EQ(Aviso(handler.VerificaPeriodoIntegracao(quando, filial, kCampo)), aviso);
  }
  // No branch: the branch is not read, so its block does not apply.
  handler.LimpaErro(), empresa.Falhas().Clear();
  EXPECT_EQ(Aviso(handler.VerificaPeriodoIntegracao(Hora(15, 3, 2024), 0, kCampo)), "");
  EXPECT_EQ(empresa.Falhas().Log(), std::vector<std::string>{"LePeriodoContabil"});
}

TEST_P(SharedVerificationsTest, ProductAndServicePositions) {
  using Linha = std::tuple<const char*, bool, _REG_POSICAO_PRODUTOPS, const char*>;
  for (const auto& [nome, produto, posicao, aviso] : std::vector<Linha>{
      {"no product", true, Posicao(0, 1, 1, 1), "28/40/0"},
      {"product without grades", true, Posicao(semGrade), ""},
      {"kit, before its grades", true, Posicao(kit, 1, 1), "28/112/0"},
      {"grade 1 reported before grade 2", true, Posicao(semGrade, 1, 1), "28/41/0"},
      {"grade 2 without grade 2", true, Posicao(semGrade, 0, 1), "28/42/0"},
      {"grade 1 on a grade-1 product", true, Posicao(grade1, 3), ""},
      {"grade 2 on a grade-1 product", true, Posicao(grade1, 3, 4), "28/42/0"},
      {"both grades on a two-grade product", true, Posicao(grades12, 3, 4), ""},
      {"third grade never refused: a product record has none", true, Posicao(semGrade, 0, 0, 9), ""},
      {"no service", false, Posicao(0), "28/44/0"},
      {"service without grades", false, Posicao(servico), ""},
      {"service with grade 1", false, Posicao(servico, 1), "28/45/0"},
      {"service with grade 2", false, Posicao(servico, 0, 1), "28/45/0"},
      {"service with grade 3", false, Posicao(servico, 0, 0, 1), "28/45/0"},
       }) {
    SCOPED_TRACE(nome);
    handler.LimpaErro();
    EXPECT_EQ(Aviso(produto ? handler.VerificaProduto(posicao) : handler.VerificaServico(posicao)), aviso);
  }
}

// The record read is handed back, also when refused; situation 0 reads nothing.
TEST_P(SharedVerificationsTest, MaintenanceStatusAndUser) {
  situacao.SetCodigo("antes");
  auto st = [&](std::uint32_t ponteiro, bool obrigatoria, bool permiteInativa) {
    return Aviso(handler.VerificaSituacaoManutencao(ponteiro, situacao, 85, obrigatoria, permiteInativa)) + "|" +
           situacao.GetCodigo().Str();
  };
  EXPECT_EQ(st(0, false, false), "|antes");
  EXPECT_EQ(st(0, true, true), "28/145/85|antes");
  EXPECT_EQ(st(ativa, true, false), "|AT");
  EXPECT_EQ(st(inativa, true, true), "|SU");
  EXPECT_EQ(st(inativa, true, false), "28/146/85|SU");
  EXPECT_EQ(handler.GetMensagem(), "A situação SU - Suspensão está inativa."_cp);
  EXPECT_EQ(Aviso(handler.VerificaUsuario(usuarioLivre, &usuario)) + usuario.GetLogin().Str(), "ana");
  EXPECT_EQ(Aviso(handler.VerificaUsuario(usuarioBloqueado, &usuario)) + usuario.GetLogin().Str(), "28/80/0rui");
}

TEST_P(SharedVerificationsTest, EarlierWarningKeptOnlyByTheChecksThatDoNotClear) {
  for (const auto& [qual, aviso] : std::vector<std::pair<std::string, std::string>>{
           {"product", "28/999/1"}, {"service", "28/999/1"}, {"integration", "28/999/1"},
           {"movement", ""}, {"status", ""}, {"user", ""}}) {
    SCOPED_TRACE(qual);
    handler.SetAviso(MODULO_MM, 999, 1);
    EXPECT_EQ(Aviso(Verifica(qual)), aviso);
  }
}

// Every read of every check, failed: the access error is copied with the field the check
// names, and only the reads that are traced leave a line in the error log.
TEST_P(SharedVerificationsTest, FailedReads) {
  const struct {
    const char *operacao, *qual;
    long campo;
    const char* rastro;  // "function line call" of the trace line; null: not traced
  } casos[] = {
      {"LePeriodoContabil", "movement", kCampo, nullptr},
      {"LeBufferFilial", "integration", 0,
       "VerificaPeriodoIntegracao 215 LeBufferFilial(usPonteiroFilial, &dadosFilial)"},
      {"LePeriodoContabil", "integration", 0, "VerificaPeriodoIntegracao 225 LePeriodoContabil(&dadosPeriodo)"},
      {"LeProdutoEx", "product", 0, "VerificaProduto 113 LeProdutoEx(regPosicaoProduto, &dadosProdutoEx)"},
      {"LeServico", "service", 0, "VerificaServico 145 LeServico(regPosicaoServico.lPonteiroProduto, &dadosServico)"},
      {"LeSituacao", "status", 85,
       "VerificaSituacaoManutencao 252 LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO)"},
      {"LeUsuario", "user", 0, nullptr},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.rastro ? c.rastro : c.operacao);
    empresa.Falhas().Clear();
    empresa.Falhas().FailOperation(c.operacao, ZQ_E_MOTOR, "disco indisponivel");
    const std::size_t antes = empresa.LogErros().size();
    handler.SetAviso(MODULO_MM, 999, 1);
    EXPECT_EQ(Aviso(Verifica(c.qual)), "hr=0X80F00003/" + std::to_string(c.campo) + " disco indisponivel");
    const std::string log = empresa.LogErros().substr(antes);
    if (!c.rastro) {
      EXPECT_EQ(log, "");
      continue;
    }
    std::istringstream partes(c.rastro);
    std::string funcao, linha, chamada;
    partes >> funcao >> linha >> std::ws;
    std::getline(partes, chamada);
    for (const std::string& parte :
         {"CMMTrataDados::" + funcao, "\tMMTrataDados\t" + linha + "\t", "()->" + chamada + "\thr = 0X80F00003"})
      EXPECT_NE(log.find(parte), std::string::npos) << parte << " in " << log;
  }
  empresa.Falhas().Clear();
}

INSTANTIATE_TEST_SUITE_P(Engines, SharedVerificationsTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
