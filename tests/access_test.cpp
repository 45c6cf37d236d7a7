// The access objects on every engine: what the rules call that no rule test pins down.
#include "platform/access/ZQAcessoManutencao.h"

#include <gtest/gtest.h>

#include "framework/MMBaseParaRotinas.h"
#include "platform/access/ZQResultados.h"
#include "tests/support/Fixture.h"

namespace {

class Rotina : public CMMBaseParaRotinas {};
using Codigos = std::vector<long>;

CZQDadosMM_Disciplina Disciplina(const char* codigo, std::uint32_t pai) {
  CZQDadosMM_Disciplina d;
  d.SetCodigo(codigo);
  d.SetPonteiroPai(pai);
  return d;
}

class AccessTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ZQ_EXIGE_POSTGRES(GetParam());
    ASSERT_EQ(rotina.Inicializa(empresa.Nome(), 1, 1), 0);
    acesso = rotina.GetAcessoManutencao();
  }

  std::string Arvore(const CZQDadosMM_FiltroDisciplina& filtro) {
    CZQVector<CZQDadosDF_Classificacao> lista;
    EXPECT_EQ(acesso->BuscaClassificacaoDisciplina(filtro, lista), 0);
    std::string s;
    for (const auto& e : lista) s += (s.empty() ? "" : " ") + e.GetCodigo().Str();
    return s;
  }

  zqteste::EmpresaTeste empresa{GetParam()};
  Rotina rotina;
  CZQAcessoManutencao* acesso = nullptr;
  CZQArrayPonteiros ponteiros;
};

TEST_P(AccessTest, ReadAndSearchByCode) {
  CZQDadosMM_Prioridade p;
  p.SetCodigo("URG2");
  empresa.Adiciona(p);
  p.SetCodigo("URG");
  p = empresa.Adiciona(p);
  CZQDadosMM_Prioridade lido;
  ASSERT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido, 0), 0);
  EXPECT_EQ(lido, p);
  EXPECT_EQ(acesso->LePrioridade(999, &lido), ZQ_E_NAO_ENCONTRADO);

  CZQDadosMM_FiltroPrioridade filtro;
  filtro.SetCodigo("URG");
  ASSERT_EQ(acesso->BuscaPonteirosPrioridade(filtro, ponteiros), 0);
  EXPECT_EQ(ponteiros.GetSize(), 2);  // partial code matching by default
  filtro.SetAtivaVerificacaoCodigoParcial(0);
  ASSERT_EQ(acesso->BuscaPonteirosPrioridade(filtro, ponteiros), 0);
  EXPECT_EQ(Codigos(ponteiros.begin(), ponteiros.end()), Codigos{static_cast<long>(p.GetPosicao())});
  filtro.SetCodigo("urg");
  ASSERT_EQ(acesso->BuscaPonteirosPrioridade(filtro, ponteiros), 0);
  EXPECT_TRUE(ponteiros.IsEmpty());
}

TEST_P(AccessTest, ClassificationSearchGivesTheEntryThenItsSubtree) {
  auto raiz = empresa.Adiciona(Disciplina("1", 0));
  const auto mec = empresa.Adiciona(Disciplina("1.1", raiz.GetPonteiro()));
  const auto folha = empresa.Adiciona(Disciplina("1.1.1", mec.GetPonteiro()));
  empresa.Adiciona(Disciplina("1.2.1", empresa.Adiciona(Disciplina("1.2", raiz.GetPonteiro())).GetPonteiro()));
  empresa.Adiciona(Disciplina("2", 0));
  CZQDadosMM_FiltroDisciplina filtro, porCodigo;
  filtro.SetPonteiroPai(raiz.GetPonteiro());
  EXPECT_EQ(Arvore(filtro), "1 1.1 1.1.1 1.2 1.2.1");
  porCodigo.SetCodigo("2");
  EXPECT_EQ(Arvore(porCodigo), "2");
  filtro.SetPonteiroPai(mec.GetPonteiro());
  EXPECT_EQ(Arvore(filtro), "1.1 1.1.1");
  // Corrupt stored data, the root under its own grandchild: the walk must still end.
  raiz.SetPonteiroPai(folha.GetPonteiro());
  ASSERT_TRUE(empresa.Motor().Update(raiz).ok());
  EXPECT_EQ(Arvore(filtro), "1.1 1.1.1 1 1.2 1.2.1");
}

TEST_P(AccessTest, FaultsByNameByCountAndFromTheNthOn) {
  const auto posicao = empresa.Adiciona(CZQDadosMM_Prioridade()).GetPosicao();
  CZQDadosMM_Prioridade lido;
  auto le = [&] { return acesso->LePrioridade(posicao, &lido); };
  empresa.Falhas().FailOperation("LePrioridade", ZQ_E_MOTOR, "injetada", 2);
  EXPECT_EQ(le(), ZQ_E_MOTOR);
  EXPECT_EQ(acesso->GetErro().GetMensagem(), "injetada");
  EXPECT_EQ(Codigos({le(), le()}), Codigos({ZQ_E_MOTOR, 0}));
  EXPECT_TRUE(acesso->GetErro().EhErroNenhum());
  empresa.Falhas().Clear();
  empresa.Falhas().FailNth(2, ZQ_E_MOTOR, "segunda");
  EXPECT_EQ(Codigos({le(), le(), le()}), Codigos({0, ZQ_E_MOTOR, 0}));
  empresa.Falhas().Clear();
  empresa.Falhas().FailNth(2, ZQ_E_MOTOR, "daqui em diante", true);
  EXPECT_EQ(Codigos({le(), acesso->BuscaPonteirosPrioridade(CZQDadosMM_FiltroPrioridade(), ponteiros), le()}),
            Codigos({0, ZQ_E_MOTOR, ZQ_E_MOTOR}));
  EXPECT_EQ(empresa.Falhas().Log(),
            std::vector<std::string>({"LePrioridade", "BuscaPonteirosPrioridade", "LePrioridade"}));
}

// No alert mail tells a plan left out from one whose resources are all inactive: the filter is checked here.
TEST_P(AccessTest, PlanSearchForAlertsWantsAnActiveLinkToAnActiveResource) {
  auto plano = [&](std::uint8_t planoInativo, std::uint8_t recursoInativo, std::uint8_t ligacaoInativa) {
    CZQDadosMM_Plano p;
    CZQDadosDF_Recurso r;
    CZQDadosDF_RecursoPlanoManutencao l;
    p.SetInativo(planoInativo), r.SetInativo(recursoInativo), l.SetInativo(ligacaoInativa);
    l.SetPonteiroRecurso(empresa.Adiciona(r).GetPonteiro());
    l.SetPonteiroPlano(empresa.Adiciona(p).GetPonteiro());
    return static_cast<long>(empresa.Adiciona(l).GetPonteiroPlano());
  };
  const long ativo = plano(0, 0, 0);
  plano(1, 0, 0), plano(0, 1, 0), plano(0, 0, 1);
  CZQDadosMM_FiltroPlano fp;
  fp.SetAtivo(1), fp.SetAtivoRecurso(1);
  ASSERT_EQ(acesso->BuscaPonteirosPlano(fp, ponteiros), 0);
  EXPECT_EQ(Codigos(ponteiros.begin(), ponteiros.end()), Codigos{ativo});
  EXPECT_NE(acesso->AtualizaDataHoraEnvioAlerta(ativo, 0), 0);  // the plan has no alert 0
}

INSTANTIATE_TEST_SUITE_P(Engines, AccessTest, ::testing::Values("memoria", "sqlite", "postgresql"));

TEST(AccessCommonTest, RoutineNotInitialisedFailsEveryOperationCleanly) {
  Rotina rotina;
  CZQDadosMM_Prioridade lido;
  CZQArrayPonteiros ponteiros;
  ponteiros.Add(5);
  EXPECT_EQ(rotina.GetAcessoManutencao()->LePrioridade(1, &lido), ZQ_E_NAO_INICIALIZADO);
  EXPECT_EQ(rotina.GetAcessoManutencao()->BuscaPonteirosPrioridade(CZQDadosMM_FiltroPrioridade(), ponteiros),
            ZQ_E_NAO_INICIALIZADO);
  EXPECT_TRUE(ponteiros.IsEmpty());
}

// Each filter criterion must name a field of its record, or it would silently not filter.
TEST(AccessCommonTest, FilterCriteriaNameFieldsOfTheirRecord) {
  for (const char* n : CZQDadosMM_FiltroPrioridade::NomesCriterios())
    EXPECT_GE(CZQDadosMM_Prioridade::SchemaEstatico().Find(n), 0) << n;
  for (const char* n : CZQDadosMM_FiltroDisciplina::NomesCriterios())
    EXPECT_GE(CZQDadosMM_Disciplina::SchemaEstatico().Find(n), 0) << n;
}

}  // namespace
