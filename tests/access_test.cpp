// The access objects over every engine: the operations the rules call, the classification
// search, fault injection and the behaviour of a routine that is not initialised.
#include "platform/access/ZQAcessoManutencao.h"

#include <gtest/gtest.h>

#include "framework/MMBaseParaRotinas.h"
#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"
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

class AccessTest : public ::testing::TestWithParam<const char*> {
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

TEST_P(AccessTest, ReadAndSearchByCode) {
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

TEST_P(AccessTest, ClassificationSearchGivesTheEntryThenItsSubtree) {
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

TEST_P(AccessTest, ClassificationSearchCutsACycleInStoredData) {
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

TEST_P(AccessTest, FaultsByNameByCountAndFromTheNthOn) {
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

// The searches the alert routine makes: active plans with active resources, the active
// resources of a plan with their links, and every active technician below a group.
TEST_P(AccessTest, AlertRoutineSearches) {
  auto plano = [&](const char* codigo, std::uint8_t inativo) {
    CZQDadosMM_Plano p;
    p.SetCodigo(codigo);
    p.SetInativo(inativo);
    return empresa->Adiciona(p).GetPonteiro();
  };
  auto recurso = [&](std::uint8_t inativo) {
    CZQDadosDF_Recurso r;
    r.SetInativo(inativo);
    return empresa->Adiciona(r).GetPonteiro();
  };
  auto liga = [&](std::uint32_t r, std::uint32_t p, std::uint8_t inativo) {
    CZQDadosDF_RecursoPlanoManutencao l;
    l.SetPonteiroRecurso(r);
    l.SetPonteiroPlano(p);
    l.SetInativo(inativo);
    empresa->Adiciona(l);
  };
  const auto ativo = plano("A", 0), inativo = plano("I", 1), soLinkInativo = plano("L", 0), soRecursoInativo = plano("R", 0);
  const auto r1 = recurso(0), r2 = recurso(1), r3 = recurso(0);
  liga(r1, ativo, 0);
  liga(r3, ativo, 0);
  liga(r1, inativo, 0);
  liga(r1, soLinkInativo, 1);
  liga(r2, soRecursoInativo, 0);

  CZQDadosMM_FiltroPlano fp;
  fp.SetAtivo(1);
  fp.SetAtivoRecurso(1);
  CZQArrayPonteiros ponteiros;
  ASSERT_EQ(acesso->BuscaPonteirosPlano(fp, ponteiros), 0);
  ASSERT_EQ(ponteiros.GetSize(), 1);
  EXPECT_EQ(ponteiros[0], ativo);

  CZQDadosDF_FiltroRecurso fr;
  fr.SetPonteiroPlanoManutencao(ativo);
  fr.SetFlagAtivoInativo(1);
  auto* empresarial = rotina.GetAcessoEmpresarial();
  ASSERT_EQ(empresarial->BuscaPonteirosRecurso(fr, ponteiros), 0);
  ASSERT_EQ(ponteiros.GetSize(), 2);
  CZQVector<CZQDadosDF_Recurso> recursos;
  ASSERT_EQ(empresarial->LeRecursos(ponteiros.GetSize(), ponteiros, recursos, 4), 0);
  EXPECT_EQ(recursos[0].GetPonteiro(), r1);
  EXPECT_EQ(recursos[0].GetQuantidadePlanoManutencao(), 3);
  EXPECT_EQ(recursos[1].GetPlanoManutencao(0).GetPonteiroPlanoManutencao(), ativo);

  auto tecnico = [&](std::uint32_t pai, std::uint8_t tipo, std::uint8_t inativo) {
    CZQDadosMM_Tecnico t;
    t.SetPonteiroPai(pai);
    t.SetTipoClassificacao(tipo);
    t.SetInativo(inativo);
    return empresa->Adiciona(t).GetPonteiro();
  };
  const auto grupo = tecnico(0, 2, 0), sub = tecnico(grupo, 2, 0), a = tecnico(sub, 1, 0);
  tecnico(sub, 1, 1);
  const auto b = tecnico(grupo, 1, 0);
  CZQDadosMM_FiltroTecnico ft;
  ft.SetAtivo(1);
  ft.SetInativo(0);
  ft.SetPonteiroPai(grupo);
  ft.SetTodosDescendentes(1);
  ASSERT_EQ(acesso->BuscaPonteirosTecnico(ft, ponteiros), 0);
  std::vector<unsigned long> achados(ponteiros.begin(), ponteiros.end());
  EXPECT_EQ(achados, (std::vector<unsigned long>{sub, b, a}));
}

TEST_P(AccessTest, SendTimeOfAnAlertIsTheClocksNow) {
  CZQDadosMM_Plano p;
  p.AdicionaAlerta(CZQDadosMM_PlanoAlerta());
  p.AdicionaAlerta(CZQDadosMM_PlanoAlerta());
  p = empresa->Adiciona(p);
  const auto agora = REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(5, 12, 2026), 10, 5, 30);
  CZQRelogioGuarda relogio(agora);
  ASSERT_EQ(acesso->AtualizaDataHoraEnvioAlerta(p.GetPonteiro(), 1), 0);
  EXPECT_NE(acesso->AtualizaDataHoraEnvioAlerta(p.GetPonteiro(), 2), 0);
  CZQDadosMM_Plano lido;
  ASSERT_EQ(acesso->LePlano(p.GetPonteiro(), &lido), 0);
  EXPECT_EQ(lido.GetAlerta(0).GetDmaHmsUltimoEnvio().ullValor, 0u);
  EXPECT_EQ(lido.GetAlerta(1).GetDmaHmsUltimoEnvio(), agora);
}

INSTANTIATE_TEST_SUITE_P(Engines, AccessTest, ::testing::Values("memoria", "sqlite"));

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
  auto confere = [](const zq::RecordSchema& schema, const std::vector<const char*>& nomes) {
    for (const char* n : nomes) EXPECT_GE(schema.Find(n), 0) << schema.kind << "." << n;
  };
  confere(CZQDadosMM_Prioridade::SchemaEstatico(), CZQDadosMM_FiltroPrioridade::NomesCriterios());
  confere(CZQDadosMM_Disciplina::SchemaEstatico(), CZQDadosMM_FiltroDisciplina::NomesCriterios());
}

}  // namespace
