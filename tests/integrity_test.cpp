// The integrity check over one company on every engine: which dependent it names first, and
// that failed reads and searches come back as the access object's error.
#include "integrity/MMControleIntegridade.h"

#include <gtest/gtest.h>

#include "platform/access/ZQResultados.h"
#include "platform/types/Cp1252.h"
#include "tests/support/Fixture.h"

namespace {

using C = CMMControleIntegridade;

template <class R>
R Entrada(const char* codigo, const char* nome, std::uint8_t tipo, std::uint32_t pai = 0) {
  R r;
  r.SetCodigo(codigo);
  r.SetNome(nome);
  r.SetTipoClassificacao(tipo);
  r.SetPonteiroPai(pai);
  return r;
}

REG_ZQDMC Chave(std::uint32_t numero, int mes, int ano) {
  return REG_ZQDMC::DeMes(1, numero, REG_ZQMA::DeMesAno(mes, ano));
}

class IntegrityTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    using D = CZQDadosMM_Disciplina;
    using T = CZQDadosMM_Tecnico;
    using P = CZQDadosMM_Plano;
    using G = CZQDadosMM_TipoGasto;
    ASSERT_EQ(controle.Inicializa(empresa.Nome(), 1, 1), 0);
    // Disciplines: a group with a child and a technician; an analytic one that an entry names
    // as parent anyway, with a technician; one only a plan uses; one nothing uses.
    grupo = empresa.Adiciona(Entrada<D>("GRP", "Grupo", 2)).GetPonteiro();
    empresa.Adiciona(Entrada<D>("FIL", "Filha", 1, grupo));
    mec = empresa.Adiciona(Entrada<D>("MEC", "Mecânica"_cp, 1)).GetPonteiro();
    empresa.Adiciona(Entrada<D>("SUB", "Sob", 1, mec));
    ele = empresa.Adiciona(Entrada<D>("ELE", "Elétrica"_cp, 1)).GetPonteiro();
    livre = empresa.Adiciona(Entrada<D>("LIV", "Livre", 1)).GetPonteiro();
    equipe = empresa.Adiciona(Entrada<T>("EQ", "Equipe", 2)).GetPonteiro();
    T ana = Entrada<T>("ANA", "Ana", 1, equipe), bia = Entrada<T>("BIA", "Bia", 1);
    CZQDadosMM_TecnicoDisciplina td;
    td.SetPonteiroDisciplina(grupo);
    ana.AdicionaDisciplina(td);
    td.SetPonteiroDisciplina(mec);
    bia.AdicionaDisciplina(td);
    tecnicoLivre = empresa.Adiciona(ana).GetPonteiro();
    tecnico = empresa.Adiciona(bia).GetPonteiro();
    // Plans: a group; a plan with an analytic resource and an order; one whose only resource is
    // not analytic, with an order.
    planoGrupo = empresa.Adiciona(Entrada<P>("PG", "Grupo", 2)).GetPonteiro();
    P filho = Entrada<P>("PC", "Filho", 1, planoGrupo);
    filho.SetPonteiroDisciplina(ele);
    planoLivre = empresa.Adiciona(filho).GetPonteiro();
    comRecurso = empresa.Adiciona(Entrada<P>("PR", "Com recurso", 1)).GetPonteiro();
    semAnalitico = empresa.Adiciona(Entrada<P>("PN", "Sem analítico"_cp, 1)).GetPonteiro();
    for (auto [plano, tipo, posicao] : {std::tuple{comRecurso, 1, 505903u}, {semAnalitico, 2, 1u}}) {
      CZQDadosDF_Recurso r;
      r.SetTipoClassificacao(static_cast<std::uint8_t>(tipo));
      r.SetPosicao(posicao);
      CZQDadosDF_RecursoPlanoManutencao link;
      link.SetPonteiroRecurso(empresa.Adiciona(r).GetPonteiro());
      link.SetPonteiroPlano(plano);
      empresa.Adiciona(link);
    }
    CZQDadosMM_Situacao s;
    s.SetTipo(CZQDadosMM_Situacao::kTipoManutencao);
    s.SetCodigo("ABERTA");
    s.SetDescricao("Aberta");
    situacao = empresa.Adiciona(s).GetPonteiro();
    situacaoLivre = empresa.Adiciona(s).GetPonteiro();
    for (auto [numero, tec, plano, sit] : {std::tuple{1u, tecnico, 0u, situacao}, {2u, 0u, comRecurso, 0u},
                                           {3u, 0u, semAnalitico, 0u}}) {
      CZQDadosMM_Manutencao o;
      o.SetDmc(Chave(numero, 3, 2024));
      o.SetPonteiroTecnico(tec);
      o.SetPonteiroPlano(plano);
      o.SetPonteiroSituacao(sit);
      empresa.Adiciona(o);
    }
    // Expense types: a group with a child, and a type used by an entry of an old period.
    gastos = empresa.Adiciona(Entrada<G>("GAS", "Gastos", 2)).GetPonteiro();
    gastoLivre = empresa.Adiciona(Entrada<G>("MAT", "Materiais", 1, gastos)).GetPonteiro();
    lubrificantes = empresa.Adiciona(Entrada<G>("LUB", "Lubrificantes", 1)).GetPonteiro();
    CZQDadosMM_LancamentoGastos l;
    l.SetDmc(Chave(9, 1, 2019));
    l.SetPonteiroTipoGasto(lubrificantes);
    empresa.Adiciona(l);
  }

  zqteste::EmpresaTeste empresa{GetParam()};
  C controle;
  std::uint32_t grupo, mec, ele, livre, equipe, tecnico, tecnicoLivre, planoGrupo, planoLivre, comRecurso, semAnalitico,
      situacao, situacaoLivre, gastos, gastoLivre, lubrificantes;
};

TEST_P(IntegrityTest, NamesTheFirstDependentOrCopiesTheFailure) {
  struct Caso {
    int registro;
    std::uint32_t ponteiro;
    const char* falha;  // an operation made to fail, or null
    std::string esperado;  // the message (UTF-8), the copied failure, or "" when nothing depends
  };
  const Caso casos[] = {
      {C::kDisciplina, grupo, nullptr, "Disciplina FIL Filha é dependente da disciplina GRP Grupo"},
      {C::kDisciplina, mec, nullptr, "Técnico BIA Bia é dependente da disciplina MEC Mecânica"},
      {C::kDisciplina, ele, nullptr, "Plano de manutenção PC Filho é dependente da disciplina ELE Elétrica"},
      {C::kDisciplina, livre, nullptr, ""},
      {C::kTecnico, equipe, nullptr, "Técnico ANA Ana é dependente do técnico EQ Equipe"},
      {C::kTecnico, tecnico, nullptr, "A manutenção 001-000001 03/2024 é dependente do técnico BIA Bia"},
      {C::kTecnico, tecnicoLivre, nullptr, ""},
      {C::kPlano, planoGrupo, nullptr, "Plano PC Filho é dependente do Plano PG Grupo"},
      {C::kPlano, comRecurso, nullptr, "O Recurso 0722-000123 é dependente do plano PR Com recurso"},
      {C::kPlano, semAnalitico, nullptr, "A manutenção 001-000003 03/2024 é dependente do plano PN Sem analítico"},
      {C::kPlano, planoLivre, nullptr, ""},
      {C::kSituacaoManutencao, situacao, nullptr,
       "A manutenção 001-000001 03/2024 é dependente da situação ABERTA Aberta"},
      {C::kSituacaoManutencao, situacaoLivre, nullptr, ""},
      {C::kTipoGasto, gastos, nullptr, "Tipo de gasto MAT Materiais é dependente do tipo de gasto GAS Gastos"},
      {C::kTipoGasto, lubrificantes, nullptr,
       "O lançamento de gastos 001-000009 01/2019 é dependente do tipo de gasto LUB - Lubrificantes"},
      {C::kTipoGasto, gastoLivre, nullptr, ""},
      {6, grupo, nullptr, ""},
      {C::kDisciplina, mec, "BuscaPonteirosTecnico", "hr=0X80F00003/0 falhou"},
      {C::kPlano, comRecurso, "LeRecurso", "hr=0X80F00003/0 falhou"},
      {C::kTecnico, 999, nullptr, "hr=0X80F00001/0 "},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(std::to_string(c.registro) + "/" + std::to_string(c.ponteiro) + (c.falha ? c.falha : ""));
    empresa.Falhas().Clear();
    if (c.falha) empresa.Falhas().FailOperation(c.falha, ZQ_E_MOTOR, "falhou");
    const auto registro = static_cast<C::RegistroControleIntegridade>(c.registro);
    const bool livre = controle.VerificaRelacionamentoPonteiro(registro, c.ponteiro);
    if (controle.GetTipoErro() == ZQ_TIPO_ERRO_AVISO)
      EXPECT_EQ(zqteste::Aviso(controle) + " " + zq::Cp1252ToUtf8(controle.GetMensagem().View()),
                "28/0/0 " + c.esperado);
    else  // the failure's text is the engine's own
      EXPECT_EQ(zqteste::Aviso(controle).substr(0, c.esperado.size()), c.esperado);
    EXPECT_EQ(livre, c.esperado.empty());
  }
}

TEST(IntegrityPositionTest, MonthYearThenNumber) {
  for (const auto& [posicao, texto] : {std::pair{123u << 12 | 2095u, "0722-000123"}, {1u << 12, "0000-000001"},
                                       {999999u << 12 | 2100u, "1222-999999"}}) {
    EXPECT_EQ(MMTextoPosicaoRecurso(posicao).Str(), texto);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, IntegrityTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
