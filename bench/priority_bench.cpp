// Priority saves checked per second on each engine, and the same reads done raw through the
// access object, so the rules' own share of the time shows as the difference.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/ZQEmpresas.h"
#include "registers/MMTrataDadosPrioridade.h"

namespace {

struct Empresa {
  std::string nome;
  std::filesystem::path dir;
  explicit Empresa(const std::string& motor) {
    nome = "BENCH_" + motor;
    dir = std::filesystem::temp_directory_path() / ("zqmm-bench-" + motor + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    zq::EmpresaConfig c{motor, (dir / "empresa.db").string(), dir.string()};
    if (!CZQEmpresas::Registra(nome, c).ok()) std::abort();
    auto conexao = CZQEmpresas::Abre(nome);
    conexao->Motor().Begin();
    for (int i = 0; i < 1000; ++i) {
      CZQDadosMM_Prioridade p;
      p.SetCodigo(CString(("P" + std::to_string(i)).c_str()));
      p.SetDescricao("Prioridade");
      conexao->Motor().Insert(&p);
    }
    conexao->Motor().Commit();
  }
  ~Empresa() {
    CZQEmpresas::Remove(nome);
    std::filesystem::remove_all(dir);
  }
};

void NovaPrioridade(benchmark::State& state, const char* motor) {
  Empresa empresa(motor);
  CMMTrataDadosPrioridade handler;
  handler.Inicializa(empresa.nome.c_str(), 1, 1);
  for (auto _ : state) {
    CZQDadosMM_Prioridade p;
    p.SetCodigo("  NOVA  ");
    p.SetDescricao(" Nova prioridade ");
    p.SetPrioridadeBase(50);
    benchmark::DoNotOptimize(handler.TrataGravacao(&p, nullptr));
  }
  state.SetItemsProcessed(state.iterations());
}

void BuscaCrua(benchmark::State& state, const char* motor) {
  Empresa empresa(motor);
  CMMTrataDadosPrioridade rotina;
  rotina.Inicializa(empresa.nome.c_str(), 1, 1);
  for (auto _ : state) {
    CZQDadosMM_FiltroPrioridade filtro;
    filtro.SetCodigo("NOVA");
    filtro.SetAtivaVerificacaoCodigoParcial(0);
    CZQArrayPonteiros ponteiros;
    benchmark::DoNotOptimize(rotina.GetAcessoManutencao()->BuscaPonteirosPrioridade(filtro, ponteiros));
  }
  state.SetItemsProcessed(state.iterations());
}

void PrioridadeGravada(benchmark::State& state, const char* motor) {
  Empresa empresa(motor);
  CMMTrataDadosPrioridade handler;
  handler.Inicializa(empresa.nome.c_str(), 1, 1);
  CZQDadosMM_Prioridade gravada;
  handler.GetAcessoManutencao()->LePrioridade(500, &gravada);
  for (auto _ : state) {
    CZQDadosMM_Prioridade p = gravada;
    benchmark::DoNotOptimize(handler.TrataGravacao(&p, nullptr));
  }
  state.SetItemsProcessed(state.iterations());
}

void LeituraCrua(benchmark::State& state, const char* motor) {
  Empresa empresa(motor);
  CMMTrataDadosPrioridade rotina;
  rotina.Inicializa(empresa.nome.c_str(), 1, 1);
  for (auto _ : state) {
    CZQDadosMM_Prioridade p;
    benchmark::DoNotOptimize(rotina.GetAcessoManutencao()->LePrioridade(500, &p));
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(NovaPrioridade, memoria, "memoria");
BENCHMARK_CAPTURE(BuscaCrua, memoria, "memoria");
BENCHMARK_CAPTURE(PrioridadeGravada, memoria, "memoria");
BENCHMARK_CAPTURE(LeituraCrua, memoria, "memoria");
BENCHMARK_CAPTURE(NovaPrioridade, sqlite, "sqlite");
BENCHMARK_CAPTURE(BuscaCrua, sqlite, "sqlite");
BENCHMARK_CAPTURE(PrioridadeGravada, sqlite, "sqlite");
BENCHMARK_CAPTURE(LeituraCrua, sqlite, "sqlite");

}  // namespace
