// Task lines suggested from an order's plan per second, on each engine, beside the same reads done
// raw through the access objects, so the rules' own share of the time shows as the difference.
// The plan names 200 tasks: 40 groups of 5 analytic tasks each, 100 plain tasks and 60 tasks that
// its groups already bring (dropped as duplicates); every other task has a monthly warranty.
// The suggestion ends with 300 lines.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "movements/MMTrataDadosManutencao.h"
#include "platform/storage/ZQEmpresas.h"

namespace {

struct Empresa {
  std::string nome;
  std::filesystem::path dir;
  CZQDadosMM_Manutencao ordem;

  explicit Empresa(const std::string& motor) {
    nome = std::string("BENCH_SUGESTAO_").append(motor);
    dir = std::filesystem::temp_directory_path() /
          std::string("zqmm-bench-sugestao-").append(motor).append("-").append(std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    zq::EmpresaConfig config{motor, (dir / "empresa.db").string(), dir.string()};
    if (!CZQEmpresas::Registra(nome, config).ok()) std::abort();
    auto conexao = CZQEmpresas::Abre(nome);
    zq::StorageEngine& db = conexao->Motor();
    auto grava = [&db](auto registro) {
      if (!db.Insert(&registro).ok()) std::abort();
      return registro.GetChave();
    };
    db.Begin();
    CZQDadosDF_Recurso recurso;
    recurso.SetTipo(2);
    const auto pRecurso = grava(recurso);
    CZQDadosDF_TipoPeriodo mensal;
    mensal.SetTipoPeriodo(1);
    mensal.SetIncrementoPeriodo(1);
    const auto pMensal = grava(mensal);

    int n = 0;
    auto tarefa = [&](std::uint8_t tipo, std::uint32_t pai) {
      CZQDadosMM_Tarefa t;
      t.SetTipoClassificacao(tipo);
      t.SetPonteiroPai(pai);
      t.SetNome(CString("Tarefa " + std::to_string(++n)));
      if (tipo == 1 && n % 2) {
        t.SetGarantia(true);
        t.SetPonteiroPeriodoGarantia(pMensal);
        t.SetQuantPeriodoGarantia(tagCY{10000});
      }
      return grava(t);
    };
    CZQDadosMM_Plano plano;
    plano.SetTipoClassificacao(1);
    auto noPlano = [&](std::uint32_t t) {
      CZQDadosMM_PlanoTarefa pt;
      pt.SetLinha(static_cast<std::uint32_t>(plano.GetQuantidadeTarefa() + 1));
      pt.SetPonteiroTarefa(t);
      plano.AdicionaTarefa(pt);
    };
    std::vector<std::uint32_t> membros;
    for (int g = 0; g < 40; ++g) {
      const auto grupo = tarefa(2, 0);
      for (int m = 0; m < 5; ++m) membros.push_back(tarefa(1, grupo));
      noPlano(grupo);
    }
    for (int i = 0; i < 100; ++i) noPlano(tarefa(1, 0));
    for (int i = 0; i < 60; ++i) noPlano(membros[static_cast<std::size_t>(i) * 3]);
    const auto pPlano = grava(plano);
    db.Commit();

    ordem.SetPonteiroRecurso(pRecurso);
    ordem.SetTipoManutencao(1);
    ordem.SetPonteiroPlano(pPlano);
    ordem.SetDataHoraEmissao(REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(4, 3, 2024), 8, 0, 0, -10800));
  }
  ~Empresa() {
    CZQEmpresas::Remove(nome);
    std::filesystem::remove_all(dir);
  }
};

template <class Passo>
void Roda(benchmark::State& state, const char* motor, Passo passo) {
  Empresa empresa(motor);
  CMMTrataDadosManutencao handler;
  handler.Inicializa(empresa.nome.c_str(), 1, 1);
  CZQVector<CZQDadosMM_ManutencaoTarefa> lista;
  if (handler.SugerirTarefasConformePlano(empresa.ordem, &lista).EhErroNenhum() == false || lista.GetSize() != 300) {
    state.SkipWithError("suggestion refused or not 300 lines");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(passo(handler, empresa.ordem));
  state.SetItemsProcessed(state.iterations());
}

// The suggestion onto an empty list: groups expanded, duplicates dropped, lines filled and checked.
long Sugestao(CMMTrataDadosManutencao& handler, const CZQDadosMM_Manutencao& ordem) {
  CZQVector<CZQDadosMM_ManutencaoTarefa> lista;
  handler.SugerirTarefasConformePlano(ordem, &lista);
  return lista.GetSize();
}

// The reads that suggestion makes, alone.
long SugestaoLeiturasCruas(CMMTrataDadosManutencao& handler, const CZQDadosMM_Manutencao& ordem) {
  CZQAcessoManutencao* mm = handler.GetAcessoManutencao();
  CZQAcessoEmpresarial* df = handler.GetAcessoEmpresarial();
  long hr = 0;
  CZQDadosMM_Plano plano;
  hr |= mm->LePlano(ordem.GetPonteiroPlano(), &plano, 2);
  std::vector<std::uint32_t> tarefas;
  for (int i = 0; i < plano.GetQuantidadeTarefa(); ++i) {
    CZQDadosMM_Tarefa t;
    hr |= mm->LeTarefa(plano.GetConstRefTarefa(i).GetPonteiroTarefa(), &t, 0);
    if (t.GetTipoClassificacao() != 2) {
      tarefas.push_back(t.GetPonteiro());
      continue;
    }
    CZQDadosMM_FiltroTarefa filtro;
    filtro.SetPonteiroPai(t.GetPonteiro());
    CZQVector<CZQDadosDF_Classificacao> membros;
    hr |= mm->BuscaClassificacaoTarefa(filtro, membros);
    for (const auto& m : membros)
      if (m.GetTipoClassificacao() == 1) tarefas.push_back(m.GetPonteiro());
  }
  std::set<std::uint32_t> vistas;
  for (std::uint32_t p : tarefas) {
    if (!vistas.insert(p).second) continue;
    CZQDadosMM_Tarefa t;
    hr |= mm->LeTarefa(p, &t, 1);
    if (t.GetGarantia()) {
      CZQDadosDF_TipoPeriodo periodo;
      hr |= df->LeTipoPeriodo(t.GetPonteiroPeriodoGarantia(), &periodo, 0);
    }
    hr |= mm->LeTarefa(p, &t, 0);
    if (t.GetGarantia()) {
      CZQDadosDF_Recurso recurso;
      hr |= df->LeRecurso(ordem.GetPonteiroRecurso(), &recurso, 0x1000);
    }
  }
  return hr;
}

#define ZQ_BENCH_SUGESTAO(passo)                                                         \
  BENCHMARK_CAPTURE(Roda, passo##_memoria, "memoria", passo)->Name(#passo "/memoria"); \
  BENCHMARK_CAPTURE(Roda, passo##_sqlite, "sqlite", passo)->Name(#passo "/sqlite");

ZQ_BENCH_SUGESTAO(Sugestao)
ZQ_BENCH_SUGESTAO(SugestaoLeiturasCruas)

}  // namespace
