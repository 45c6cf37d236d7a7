#include "framework/MMTrataDados.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
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
_REG_POSICAO_PRODUTOPS Posicao(std::uint32_t ponteiro, std::uint16_t g1 = 0, std::uint16_t g2 = 0,
                               std::uint16_t g3 = 0) {
  return {ponteiro, g1, g2, g3};
}

// Movement from 15 March to 1 June 2024; integration blocked up to January 2024 and allowed from
// 10 February to 20 July 2024. Branch 1 is blocked up to March 2024, branch 2 not at all.
class SharedVerificationsTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    empresa = std::make_unique<EmpresaTeste>(GetParam());
    CZQDadosDF_PeriodoContabil periodo;
    periodo.SetChave(CZQDadosDF_PeriodoContabil::kChaveUnica);
    periodo.SetDataInferiorMovimentacao(Dia(15, 3, 2024));
    periodo.SetDataSuperiorMovimentacao(Dia(1, 6, 2024));
    periodo.SetMesBloqueio(REG_ZQMA::DeMesAno(1, 2024));
    periodo.SetDataInferiorIntegracao(Dia(10, 2, 2024));
    periodo.SetDataSuperiorIntegracao(Dia(20, 7, 2024));
    empresa->Adiciona(periodo);

    CZQDadosDF_Filial filial;
    filial.SetMesBloqueioIntegracao(REG_ZQMA::DeMesAno(3, 2024));
    filialBloqueada = static_cast<unsigned short>(empresa->Adiciona(filial).GetPonteiro());
    filial.SetMesBloqueioIntegracao(REG_ZQMA{});
    filialLivre = static_cast<unsigned short>(empresa->Adiciona(filial).GetPonteiro());

    CZQDadosDF_ProdutoEx produto;
    semGrade = empresa->Adiciona(produto).GetPonteiro();
    produto.SetPonteiroGrade1(7);
    grade1 = empresa->Adiciona(produto).GetPonteiro();
    produto.SetPonteiroGrade2(8);
    grades12 = empresa->Adiciona(produto).GetPonteiro();
    produto.SetKit(1);
    kit = empresa->Adiciona(produto).GetPonteiro();
    servico = empresa->Adiciona(CZQDadosDF_Servico()).GetPonteiro();

    CZQDadosMM_Situacao situacao;
    situacao.SetTipo(CZQDadosMM_Situacao::kTipoManutencao);
    situacao.SetCodigo("AT");
    situacao.SetDescricao("Ativa");
    ativa = empresa->Adiciona(situacao).GetPonteiro();
    situacao.SetCodigo("SU");
    situacao.SetDescricao("Suspensão"_cp);
    situacao.SetInativo(1);
    inativa = empresa->Adiciona(situacao).GetPonteiro();

    CZQDadosDF_Usuario usuario;
    usuario.SetLogin("ana");
    usuarioLivre = static_cast<unsigned short>(empresa->Adiciona(usuario).GetNumero());
    usuario.SetLogin("rui");
    usuario.SetBloqueado(true);
    usuarioBloqueado = static_cast<unsigned short>(empresa->Adiciona(usuario).GetNumero());

    ASSERT_EQ(handler.Inicializa(empresa->Nome(), 1, 1), 0);
  }

  std::unique_ptr<EmpresaTeste> empresa;
  CMMTrataDados handler;
  unsigned short filialBloqueada = 0, filialLivre = 0;
  std::uint32_t semGrade = 0, grade1 = 0, grades12 = 0, kit = 0, servico = 0, ativa = 0, inativa = 0;
  unsigned short usuarioLivre = 0, usuarioBloqueado = 0;
};

TEST_P(SharedVerificationsTest, MovementPeriod) {
  const struct {
    const char* nome;
    REG_ZQDMA data;
    const char* aviso;
  } casos[] = {
      {"no date", REG_ZQDMA{0}, "28/129/97"},
      {"day before the first valid day", REG_ZQDMA{1}, "28/129/97"},
      {"first valid day reaches the period", REG_ZQDMA{2}, "28/130/97"},
      {"last valid day reaches the period", REG_ZQDMA{1048247}, "28/130/97"},
      {"day after the last valid day", REG_ZQDMA{1048248}, "28/129/97"},
      {"last day before the first month", Dia(29, 2, 2024), "28/130/97"},
      {"first month, before the lower date", Dia(1, 3, 2024), ""},
      {"last month, after the upper date", Dia(30, 6, 2024), ""},
      {"first day after the last month", Dia(1, 7, 2024), "28/130/97"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    handler.SetAviso(MODULO_MM, 999, 1);
    EXPECT_EQ(Aviso(handler.VerificaPeriodoMovimentacao(c.data, kCampo)), c.aviso);
  }
}

TEST_P(SharedVerificationsTest, IntegrationPeriod) {
  const struct {
    const char* nome;
    unsigned short filial;
    REG_ZQDMAHMSUTC quando;
    const char* aviso;
  } casos[] = {
      {"branch blocked through its month", filialBloqueada, Hora(31, 3, 2024, 23, 59, 59), "28/184/97"},
      {"branch blocked: earlier year", filialBloqueada, Hora(15, 5, 2023), "28/184/97"},
      {"branch: month after the block", filialBloqueada, Hora(1, 4, 2024, 0, 0, 0), ""},
      {"no branch: the branch's block does not apply", 0, Hora(15, 3, 2024), ""},
      {"period blocked through its month", filialLivre, Hora(31, 1, 2024, 23, 59, 59), "28/185/97"},
      {"period block checked before the dates", 0, Hora(5, 1, 2024), "28/185/97"},
      {"day before the integration dates", 0, Hora(9, 2, 2024, 23, 59, 59), "28/186/97"},
      {"first integration day", 0, Hora(10, 2, 2024, 0, 0, 0), ""},
      {"last integration day", 0, Hora(20, 7, 2024, 23, 59, 59), ""},
      {"day after the integration dates", filialLivre, Hora(21, 7, 2024, 0, 0, 0), "28/186/97"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    handler.LimpaErro();
    EXPECT_EQ(Aviso(handler.VerificaPeriodoIntegracao(c.quando, c.filial, kCampo)), c.aviso);
  }
}

TEST_P(SharedVerificationsTest, BranchZeroIsNotRead) {
  empresa->Falhas().Clear();
  EXPECT_EQ(Aviso(handler.VerificaPeriodoIntegracao(Hora(15, 3, 2024), 0, kCampo)), "");
  EXPECT_EQ(empresa->Falhas().Log(), std::vector<std::string>{"LePeriodoContabil"});
}

TEST_P(SharedVerificationsTest, ProductAndServicePositions) {
  const struct {
    const char* nome;
    bool produto;
    _REG_POSICAO_PRODUTOPS posicao;
    const char* aviso;
  } casos[] = {
      {"no product", true, Posicao(0, 1, 1, 1), "28/40/0"},
      {"product without grades", true, Posicao(semGrade), ""},
      {"kit, before its grades", true, Posicao(kit, 1, 1), "28/112/0"},
      {"grade 1 reported before grade 2", true, Posicao(semGrade, 1, 1), "28/41/0"},
      {"grade 2 without grade 2", true, Posicao(semGrade, 0, 1), "28/42/0"},
      {"grade 1 on a grade-1 product", true, Posicao(grade1, 3), ""},
      {"grade 2 on a grade-1 product", true, Posicao(grade1, 3, 4), "28/42/0"},
      {"both grades on a two-grade product", true, Posicao(grades12, 3, 4), ""},
      // The product record cannot tell a third grade, so a third grade value is never refused.
      {"third grade never refused", true, Posicao(semGrade, 0, 0, 9), ""},
      {"no service", false, Posicao(0), "28/44/0"},
      {"service without grades", false, Posicao(servico), ""},
      {"service with grade 1", false, Posicao(servico, 1), "28/45/0"},
      {"service with grade 2", false, Posicao(servico, 0, 1), "28/45/0"},
      {"service with grade 3", false, Posicao(servico, 0, 0, 1), "28/45/0"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    handler.LimpaErro();
    const auto& erro = c.produto ? handler.VerificaProduto(c.posicao) : handler.VerificaServico(c.posicao);
    EXPECT_EQ(Aviso(erro), c.aviso);
  }
}

TEST_P(SharedVerificationsTest, MaintenanceStatus) {
  CZQDadosMM_Situacao situacao;
  situacao.SetCodigo("antes");

  EXPECT_EQ(Aviso(handler.VerificaSituacaoManutencao(0, situacao, 85, false, false)), "");
  EXPECT_EQ(situacao.GetCodigo(), "antes");
  EXPECT_EQ(Aviso(handler.VerificaSituacaoManutencao(0, situacao, 85, true, true)), "28/145/85");

  EXPECT_EQ(Aviso(handler.VerificaSituacaoManutencao(ativa, situacao, 85, true, false)), "");
  EXPECT_EQ(situacao.GetCodigo(), "AT");

  EXPECT_EQ(Aviso(handler.VerificaSituacaoManutencao(inativa, situacao, 85, true, true)), "");
  EXPECT_EQ(situacao.GetCodigo(), "SU");

  EXPECT_EQ(Aviso(handler.VerificaSituacaoManutencao(inativa, situacao, 85, true, false)), "28/146/85");
  EXPECT_EQ(handler.GetMensagem(), "A situação SU - Suspensão está inativa."_cp);
}

TEST_P(SharedVerificationsTest, User) {
  CZQDadosDF_Usuario usuario;
  EXPECT_EQ(Aviso(handler.VerificaUsuario(usuarioLivre, &usuario)), "");
  EXPECT_EQ(usuario.GetLogin(), "ana");
  EXPECT_EQ(Aviso(handler.VerificaUsuario(usuarioBloqueado, &usuario)), "28/80/0");
  EXPECT_EQ(usuario.GetLogin(), "rui");
}

TEST_P(SharedVerificationsTest, EarlierWarningKeptOnlyByTheChecksThatDoNotClear) {
  CZQDadosMM_Situacao situacao;
  CZQDadosDF_Usuario usuario;
  const struct {
    const char* nome;
    std::function<CZQDadosDF_Erro&()> verifica;
    const char* aviso;
  } casos[] = {
      {"product", [&]() -> auto& { return handler.VerificaProduto(Posicao(semGrade)); }, "28/999/1"},
      {"service", [&]() -> auto& { return handler.VerificaServico(Posicao(servico)); }, "28/999/1"},
      {"integration",
       [&]() -> auto& { return handler.VerificaPeriodoIntegracao(Hora(15, 4, 2024), filialBloqueada, kCampo); },
       "28/999/1"},
      {"movement", [&]() -> auto& { return handler.VerificaPeriodoMovimentacao(Dia(15, 4, 2024), kCampo); }, ""},
      {"status", [&]() -> auto& { return handler.VerificaSituacaoManutencao(0, situacao, 85, false, false); }, ""},
      {"user", [&]() -> auto& { return handler.VerificaUsuario(usuarioLivre, &usuario); }, ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    handler.SetAviso(MODULO_MM, 999, 1);
    EXPECT_EQ(Aviso(c.verifica()), c.aviso);
  }
}

// Every read of every check, failed: the access error is copied with the field the check
// names, and only the reads that are traced leave a line in the error log.
TEST_P(SharedVerificationsTest, FailedReads) {
  CZQDadosMM_Situacao situacao;
  CZQDadosDF_Usuario usuario;
  const struct {
    const char* operacao;
    std::function<CZQDadosDF_Erro&()> verifica;
    long campo;
    const char* funcao;  // null: not traced
    int linha;
    const char* chamada;
  } casos[] = {
      {"LePeriodoContabil",
       [&]() -> auto& { return handler.VerificaPeriodoMovimentacao(Dia(15, 4, 2024), kCampo); }, kCampo, nullptr, 0,
       nullptr},
      {"LeBufferFilial",
       [&]() -> auto& { return handler.VerificaPeriodoIntegracao(Hora(15, 4, 2024), filialLivre, kCampo); }, 0,
       "CMMTrataDados::VerificaPeriodoIntegracao", 215,
       "GetAcessoEmpresarial()->LeBufferFilial(usPonteiroFilial, &dadosFilial)"},
      {"LePeriodoContabil",
       [&]() -> auto& { return handler.VerificaPeriodoIntegracao(Hora(15, 4, 2024), filialLivre, kCampo); }, 0,
       "CMMTrataDados::VerificaPeriodoIntegracao", 225, "GetAcessoEmpresarial()->LePeriodoContabil(&dadosPeriodo)"},
      {"LeProdutoEx", [&]() -> auto& { return handler.VerificaProduto(Posicao(semGrade)); }, 0,
       "CMMTrataDados::VerificaProduto", 113,
       "GetAcessoEmpresarial()->LeProdutoEx(regPosicaoProduto, &dadosProdutoEx)"},
      {"LeServico", [&]() -> auto& { return handler.VerificaServico(Posicao(servico)); }, 0,
       "CMMTrataDados::VerificaServico", 145,
       "GetAcessoEmpresarial()->LeServico(regPosicaoServico.lPonteiroProduto, &dadosServico)"},
      {"LeSituacao", [&]() -> auto& { return handler.VerificaSituacaoManutencao(ativa, situacao, 85, true, false); },
       85, "CMMTrataDados::VerificaSituacaoManutencao", 252,
       "GetAcessoManutencao()->LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO)"},
      {"LeUsuario", [&]() -> auto& { return handler.VerificaUsuario(usuarioLivre, &usuario); }, 0, nullptr, 0,
       nullptr},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.funcao ? std::string(c.funcao).append(" ").append(std::to_string(c.linha)) : c.operacao);
    empresa->Falhas().Clear();
    empresa->Falhas().FailOperation(c.operacao, ZQ_E_MOTOR, "disco indisponivel");
    const std::size_t antes = empresa->LogErros().size();
    handler.SetAviso(MODULO_MM, 999, 1);
    EXPECT_EQ(Aviso(c.verifica()), "hr=0X80F00003/" + std::to_string(c.campo) + " disco indisponivel");
    const std::string log = empresa->LogErros().substr(antes);
    if (!c.funcao) {
      EXPECT_EQ(log, "");
      continue;
    }
    EXPECT_NE(log.find(c.funcao), std::string::npos) << log;
    EXPECT_NE(log.find(std::string("\tMMTrataDados\t").append(std::to_string(c.linha)).append("\t")), std::string::npos)
        << log;
    EXPECT_NE(log.find(std::string("hr = ").append(c.chamada).append("\thr = 0X80F00003")), std::string::npos) << log;
  }
  empresa->Falhas().Clear();
}

INSTANTIATE_TEST_SUITE_P(Engines, SharedVerificationsTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
