// Maintenance order saves checked per second on each engine, for a closed plan order with 5
// task lines (each with its configuration to read), 10 component lines and 10 appointments, and
// the same reads done raw through the access objects, so the rules' own share of the time shows
// as the difference. The company holds 100 technicians of the order's discipline and 1,000
// products besides the order's own records.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "bench/EmpresaBench.h"
#include "movements/MMTrataDadosManutencao.h"
#include "platform/storage/PostgresEngine.h"
#include "platform/storage/ZQEmpresas.h"

namespace {

REG_ZQDMAHMSUTC Hora(int dia, int h) {
  return REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(dia, 3, 2024), h, 0, 0, -10800);
}

struct Empresa : EmpresaBench {
  CZQDadosMM_Manutencao ordem;

  explicit Empresa(const std::string& motor) : EmpresaBench("ORDEM", motor) {
    zq::StorageEngine& db = conexao->Motor();
    auto grava = [&db](auto registro) {
      if (!db.Insert(&registro).ok()) std::abort();
      return registro.GetChave();
    };
    db.Begin();

    CZQDadosMM_Mestre mestre;
    mestre.SetChave(CZQDadosMM_Mestre::kChaveUnica);
    mestre.SetObrigarInformarTecnicoManutencao(true);
    mestre.SetObrigarApontamentoManutencao(true);
    grava(mestre);
    CZQDadosDF_PeriodoContabil periodo;
    periodo.SetChave(CZQDadosDF_PeriodoContabil::kChaveUnica);
    periodo.SetDataInferiorMovimentacao(REG_ZQDMA::DeDiaMesAno(1, 1, 2024));
    periodo.SetDataSuperiorMovimentacao(REG_ZQDMA::DeDiaMesAno(31, 12, 2024));
    periodo.SetDataInferiorIntegracao(REG_ZQDMA::DeDiaMesAno(1, 1, 2000));
    periodo.SetDataSuperiorIntegracao(REG_ZQDMA::DeDiaMesAno(31, 12, 2099));
    grava(periodo);
    const auto filial = static_cast<std::uint16_t>(grava(CZQDadosDF_Filial()));

    CZQDadosDF_Recurso recurso;
    recurso.SetTipo(2);
    recurso.SetDescricao("Empilhadeira");
    recurso.SetPonteiroFilial(filial);
    const auto pRecurso = grava(recurso);
    CZQDadosMM_Disciplina disciplina;
    disciplina.SetTipoClassificacao(1);
    const auto pDisciplina = grava(disciplina);
    CZQDadosMM_Plano plano;
    plano.SetNome("Plano");
    plano.SetTipoClassificacao(1);
    plano.SetPonteiroDisciplina(pDisciplina);
    const auto pPlano = grava(plano);
    CZQDadosDF_RecursoPlanoManutencao vinculo;
    vinculo.SetPonteiroRecurso(pRecurso);
    vinculo.SetPonteiroPlano(pPlano);
    grava(vinculo);
    CZQDadosDF_Requisitante requisitante;
    requisitante.SetFilial(filial);
    const auto pRequisitante = grava(requisitante);
    const auto pPrioridade = grava(CZQDadosMM_Prioridade());

    CZQDadosMM_Tecnico tecnico;
    tecnico.SetTipoClassificacao(1);
    CZQDadosMM_TecnicoDisciplina td;
    td.SetPonteiroDisciplina(pDisciplina);
    tecnico.AdicionaDisciplina(td);
    std::uint32_t pTecnico = 0;
    for (int i = 0; i < 100; ++i) pTecnico = grava(tecnico);

    CZQDadosDF_PermissaoUsuario permissao;
    permissao.SetUsuario(1);
    permissao.SetModulo(28);
    permissao.SetPermissao(13);
    grava(permissao);

    CZQDadosBDD_Registro configuracao;
    configuracao.SetTipoAtividade(BDD_ATV_MM_APONTAMENTO_TAREFA);
    for (int j = 0; j < 4; ++j) {
      CZQDadosBDD_Campo campo;
      campo.SetTextoDescricao(CString(std::string("Campo ").append(std::to_string(j))));
      campo.SetValor("x");
      campo.SetCampoObrigatorio(j == 0);
      configuracao.AdicionaCampos(campo);
    }
    const auto pConfiguracao = grava(configuracao);
    CZQDadosMM_Tarefa tarefa;
    tarefa.SetTipoClassificacao(1);
    tarefa.SetEfetuarApontTarefa(true);
    tarefa.SetPonteiroInfPersonalizada(pConfiguracao);
    std::uint32_t pTarefas[5];
    for (auto& p : pTarefas) p = grava(tarefa);

    CZQDadosDF_ProdutoEx produto;
    std::uint32_t pProduto = 0;
    for (int i = 0; i < 1000; ++i) pProduto = grava(produto);
    const auto pServico = grava(CZQDadosDF_Servico());
    db.Commit();

    ordem.SetPonteiroRecurso(pRecurso);
    ordem.SetTipoManutencao(1);
    ordem.SetPonteiroPlano(pPlano);
    ordem.SetPonteiroDisciplina(pDisciplina);
    ordem.SetPonteiroRequisitante(pRequisitante);
    ordem.SetPonteiroPrioridade(pPrioridade);
    ordem.SetPonteiroTecnico(pTecnico);
    ordem.SetSituacao(8);
    ordem.SetDataHoraEmissao(Hora(4, 8));
    ordem.SetDataHoraInicio(Hora(4, 9));
    ordem.SetDataHoraFim(Hora(6, 17));
    for (std::uint32_t p : pTarefas) {
      CZQDadosMM_ManutencaoTarefa linha;
      linha.SetPonteiroTarefa(p);
      ordem.AdicionaTarefa(linha);
    }
    CZQDadosMM_ManutencaoComponente componente;
    componente.SetProdutoServico(_REG_POSICAO_PRODUTOPS{pProduto, 0, 0, 0});
    for (int i = 0; i < 4; ++i) ordem.AdicionaMaterial(componente);
    for (int i = 0; i < 3; ++i) ordem.AdicionaEquipamento(componente);
    componente.SetProdutoServico(_REG_POSICAO_PRODUTOPS{pServico, 0, 0, 0});
    for (int i = 0; i < 3; ++i) ordem.AdicionaServico(componente);
    for (int i = 0; i < 10; ++i) {
      CZQDadosMM_ManutencaoApontamento a;
      a.SetDataHoraInicial(Hora(4 + i / 5, 9 + i % 5));
      a.SetDataHoraFinal(Hora(4 + i / 5, 10 + i % 5));
      a.SetPonteiroTecnico(pTecnico);
      a.SetPonteiroTarefa(pTarefas[i % 5]);
      ordem.AdicionaApontamento(a);
    }
  }
};

template <class Passo>
void Roda(benchmark::State& state, const char* motor, Passo passo) {
  Empresa empresa(motor);
  CMMTrataDadosManutencao handler;
  handler.Inicializa(empresa.nome.c_str(), 1, 1);
  {
    CZQDadosMM_Manutencao o = empresa.ordem;
    if (handler.TrataGravacao(&o, nullptr) != 1) {
      state.SkipWithError(handler.GetMensagem().GetString());
      return;
    }
  }
  // On PostgreSQL, the round trips each call makes (every read is one; the snapshot adds its
  // BEGIN and COMMIT).
  const auto* pg = dynamic_cast<const zq::PostgresEngine*>(&empresa.conexao->Motor());
  const long idasAntes = pg ? pg->RoundTrips() : 0;
  for (auto _ : state) benchmark::DoNotOptimize(passo(handler, empresa.ordem));
  state.SetItemsProcessed(state.iterations());
  if (pg)
    state.counters["idas"] = static_cast<double>(pg->RoundTrips() - idasAntes) / static_cast<double>(state.iterations());
}

// The save of a new order: every check, derived fields, the copy back.
long OrdemGravacao(CMMTrataDadosManutencao& handler, const CZQDadosMM_Manutencao& ordem) {
  CZQDadosMM_Manutencao o = ordem;
  return handler.TrataGravacao(&o, nullptr);
}

// The reads that save makes, alone, in one snapshot as the save's are.
long OrdemLeiturasCruas(CMMTrataDadosManutencao& handler, const CZQDadosMM_Manutencao& ordem) {
  zq::SnapshotGuard leituras(&CZQEmpresas::Abre(handler.GetEmpresa().GetString())->Motor());
  CZQAcessoManutencao* mm = handler.GetAcessoManutencao();
  CZQAcessoEmpresarial* df = handler.GetAcessoEmpresarial();
  long hr = 0;
  CZQDadosMM_Mestre mestre;
  hr |= mm->LeMestre(&mestre);
  CZQDadosDF_Recurso recurso;
  hr |= df->LeRecurso(ordem.GetPonteiroRecurso(), &recurso, 1);
  CZQDadosMM_Plano plano;
  hr |= mm->LePlano(ordem.GetPonteiroPlano(), &plano);
  CZQDadosDF_RecursoPlanoManutencao vinculo;
  hr |= df->LeRecursoPlanoManutencao(ordem.GetPonteiroRecurso(), ordem.GetPonteiroPlano(), &vinculo);
  CZQDadosDF_Requisitante requisitante;
  hr |= df->LeRequisitante(ordem.GetPonteiroRequisitante(), &requisitante);
  CZQDadosMM_Tecnico tecnico;
  hr |= mm->LeTecnico(ordem.GetPonteiroTecnico(), &tecnico, 0xFFFF);
  CZQDadosMM_FiltroTecnico filtro;
  filtro.SetValorUnicoDisciplina(ordem.GetPonteiroDisciplina());
  filtro.SetTipoClassificacaoAnalitico(1);
  CZQArrayPonteiros ponteiros;
  hr |= mm->BuscaPonteirosTecnico(filtro, ponteiros);
  bool pode = false;
  hr |= df->PossuiPermissao(1, 28, 13, pode);
  CZQDadosDF_PeriodoContabil periodo;
  CZQDadosDF_Filial filial;
  hr |= df->LePeriodoContabil(&periodo);
  hr |= df->LeBufferFilial(recurso.GetPonteiroFilial(), &filial);
  hr |= df->LePeriodoContabil(&periodo);
  hr |= df->LePeriodoContabil(&periodo);
  for (int i = 0; i < ordem.GetQuantidadeTarefa(); ++i) {
    CZQDadosMM_Tarefa tarefa;
    hr |= mm->LeTarefa(ordem.GetRefTarefa(i).GetPonteiroTarefa(), &tarefa);
    CZQDadosBDD_Registro configuracao;
    hr |= df->LeBDDConfiguracao(BDD_ATV_MM_APONTAMENTO_TAREFA, tarefa.GetPonteiroInfPersonalizada(), &configuracao);
  }
  CZQDadosDF_ProdutoEx produto;
  for (int i = 0; i < ordem.GetQuantidadeMaterial(); ++i)
    hr |= df->LeProdutoEx(ordem.GetRefMaterial(i).GetProdutoServico(), &produto);
  for (int i = 0; i < ordem.GetQuantidadeEquipamento(); ++i)
    hr |= df->LeProdutoEx(ordem.GetRefEquipamento(i).GetProdutoServico(), &produto);
  return hr;
}

#define ZQ_BENCH_ORDEM(passo)                                                            \
  BENCHMARK_CAPTURE(Roda, passo##_memoria, "memoria", passo)->Name(#passo "/memoria"); \
  BENCHMARK_CAPTURE(Roda, passo##_sqlite, "sqlite", passo)->Name(#passo "/sqlite");    \
  BENCHMARK_CAPTURE(Roda, passo##_postgresql, "postgresql", passo)->Name(#passo "/postgresql");

ZQ_BENCH_ORDEM(OrdemGravacao)
ZQ_BENCH_ORDEM(OrdemLeiturasCruas)

}  // namespace
