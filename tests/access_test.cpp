// The access objects over every engine: the operations the rules call, the classification
// search, fault injection and the behaviour of a routine that is not initialised.
#include "platform/ZQAcessoManutencao.h"

#include <gtest/gtest.h>

#include "framework/MMBaseParaRotinas.h"
#include "platform/ZQResultados.h"
#include "tests/support/Fixture.h"

namespace {

using zqteste::EmpresaTeste;

class Rotina : public CMMBaseParaRotinas {};

CZQDadosMM_Disciplina Disciplina(const char* codigo, std::uint32_t pai, std::uint8_t tipo = 2) {
  CZQDadosMM_Disciplina d;
  d.SetCodigo(codigo);
  d.SetNome(CString("Disciplina ") + codigo);
  d.SetPonteiroPai(pai);
  d.SetTipoClassificacao(tipo);
  return d;
}

std::string Arvore(const CZQVector<CZQDadosDF_Classificacao>& lista) {
  std::string s;
  for (const auto& e : lista) s += (s.empty() ? "" : " ") + e.GetCodigo().Str();
  return s;
}

class AcessoTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    empresa = std::make_unique<EmpresaTeste>(GetParam());
    ASSERT_EQ(rotina.Inicializa(empresa->Nome(), 1, 1), 0);
    acesso = rotina.GetAcessoManutencao();
  }
  std::unique_ptr<EmpresaTeste> empresa;
  Rotina rotina;
  CZQAcessoManutencao* acesso = nullptr;
};

TEST_P(AcessoTest, ReadAndSearchByCode) {
  const auto p1 = empresa->Adiciona([] { CZQDadosMM_Prioridade p; p.SetCodigo("URG"); p.SetPrioridadeBase(100); return p; }());
  const auto p2 = empresa->Adiciona([] { CZQDadosMM_Prioridade p; p.SetCodigo("URG2"); return p; }());
  CZQDadosMM_Prioridade lido;
  ASSERT_EQ(acesso->LePrioridade(p1.GetPosicao(), &lido, 0), 0);
  EXPECT_EQ(lido, p1);
  EXPECT_EQ(acesso->LePrioridade(999, &lido), ZQ_E_NAO_ENCONTRADO);
  EXPECT_FALSE(acesso->GetErro().GetMensagem().IsEmpty());
  EXPECT_EQ(rotina.GetUltimoAcesso(), acesso);

  CZQDadosMM_FiltroPrioridade filtro;
  filtro.SetCodigo("URG");
  CZQArrayPonteiros ponteiros;
  ASSERT_EQ(acesso->BuscaPonteirosPrioridade(filtro, ponteiros), 0);
  EXPECT_EQ(ponteiros.GetSize(), 2);  // partial code matching by default
  filtro.SetAtivaVerificacaoCodigoParcial(0);
  ASSERT_EQ(acesso->BuscaPonteirosPrioridade(filtro, ponteiros), 0);
  ASSERT_EQ(ponteiros.GetSize(), 1);
  EXPECT_EQ(ponteiros[0], p1.GetPosicao());
  filtro.SetCodigo("urg");
  ASSERT_EQ(acesso->BuscaPonteirosPrioridade(filtro, ponteiros), 0);
  EXPECT_TRUE(ponteiros.IsEmpty());
  (void)p2;
}

TEST_P(AcessoTest, ClassificationSearchGivesTheEntryThenItsSubtree) {
  const auto raiz = empresa->Adiciona(Disciplina("1", 0));
  const auto mec = empresa->Adiciona(Disciplina("1.1", raiz.GetPonteiro()));
  const auto ele = empresa->Adiciona(Disciplina("1.2", raiz.GetPonteiro()));
  empresa->Adiciona(Disciplina("1.1.1", mec.GetPonteiro(), 1));
  empresa->Adiciona(Disciplina("1.2.1", ele.GetPonteiro(), 1));
  empresa->Adiciona(Disciplina("2", 0));

  CZQVector<CZQDadosDF_Classificacao> lista;
  CZQDadosMM_FiltroDisciplina filtro;
  filtro.SetPonteiroPai(raiz.GetPonteiro());
  ASSERT_EQ(acesso->BuscaClassificacaoDisciplina(filtro, lista), 0);
  EXPECT_EQ(Arvore(lista), "1 1.1 1.1.1 1.2 1.2.1");
  EXPECT_EQ(lista[0].GetPonteiro(), raiz.GetPonteiro());

  filtro.SetPonteiroPai(mec.GetPonteiro());
  ASSERT_EQ(acesso->BuscaClassificacaoDisciplina(filtro, lista), 0);
  EXPECT_EQ(Arvore(lista), "1.1 1.1.1");

  CZQDadosMM_FiltroDisciplina porCodigo;
  porCodigo.SetCodigo("2");
  ASSERT_EQ(acesso->BuscaClassificacaoDisciplina(porCodigo, lista), 0);
  EXPECT_EQ(Arvore(lista), "2");
}

TEST_P(AcessoTest, ClassificationSearchCutsACycleInStoredData) {
  auto a = empresa->Adiciona(Disciplina("A", 0));
  auto b = empresa->Adiciona(Disciplina("B", a.GetPonteiro()));
  a.SetPonteiroPai(b.GetPonteiro());  // a corrupt tree: A under B under A
  ASSERT_TRUE(empresa->Motor().Update(a).ok());
  CZQVector<CZQDadosDF_Classificacao> lista;
  CZQDadosMM_FiltroDisciplina filtro;
  filtro.SetPonteiroPai(a.GetPonteiro());
  ASSERT_EQ(acesso->BuscaClassificacaoDisciplina(filtro, lista), 0);
  EXPECT_EQ(Arvore(lista), "A B");
}

TEST_P(AcessoTest, FaultsByNameByCountAndFromTheNthOn) {
  const auto p = empresa->Adiciona(CZQDadosMM_Prioridade());
  CZQDadosMM_Prioridade lido;
  auto& falhas = empresa->Falhas();

  falhas.FailOperation("LePrioridade", ZQ_E_MOTOR, "injetada", 2);
  EXPECT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido), ZQ_E_MOTOR);
  EXPECT_EQ(acesso->GetErro().GetMensagem(), "injetada");
  EXPECT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido), ZQ_E_MOTOR);
  EXPECT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido), 0);
  EXPECT_TRUE(acesso->GetErro().EhErroNenhum());

  falhas.Clear();
  falhas.FailNth(2, ZQ_E_MOTOR, "segunda");
  EXPECT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido), 0);
  EXPECT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido), ZQ_E_MOTOR);
  EXPECT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido), 0);

  falhas.Clear();
  falhas.FailNth(2, ZQ_E_MOTOR, "daqui em diante", true);
  CZQArrayPonteiros ponteiros;
  EXPECT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido), 0);
  EXPECT_EQ(acesso->BuscaPonteirosPrioridade(CZQDadosMM_FiltroPrioridade(), ponteiros), ZQ_E_MOTOR);
  EXPECT_EQ(acesso->LePrioridade(p.GetPosicao(), &lido), ZQ_E_MOTOR);
  EXPECT_EQ(falhas.Calls(), 3);
  EXPECT_EQ(falhas.Log(), (std::vector<std::string>{"LePrioridade", "BuscaPonteirosPrioridade", "LePrioridade"}));
  falhas.Clear();
}

INSTANTIATE_TEST_SUITE_P(Motores, AcessoTest, ::testing::Values("memoria", "sqlite"));

TEST(Acesso, RoutineNotInitialisedFailsEveryOperationCleanly) {
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
TEST(Acesso, FilterCriteriaNameFieldsOfTheirRecord) {
  auto confere = [](const zq::RecordSchema& schema, const std::vector<const char*>& nomes) {
    for (const char* n : nomes) EXPECT_GE(schema.Find(n), 0) << schema.kind << "." << n;
  };
  confere(CZQDadosMM_Prioridade::SchemaEstatico(), CZQDadosMM_FiltroPrioridade::NomesCriterios());
  confere(CZQDadosMM_Disciplina::SchemaEstatico(), CZQDadosMM_FiltroDisciplina::NomesCriterios());
}

}  // namespace
