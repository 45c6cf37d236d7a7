// Priority saves checked per second on each engine, and the same reads done raw through the
// access object, so the rules' own share of the time shows as the difference.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "bench/EmpresaBench.h"
#include "platform/storage/ZQEmpresas.h"
#include "registers/MMTrataDadosPrioridade.h"

namespace {

struct Empresa : EmpresaBench {
  explicit Empresa(const std::string& motor) : EmpresaBench("PRIORIDADE", motor) {
    conexao->Motor().Begin();
    for (int i = 0; i < 1000; ++i) {
      CZQDadosMM_Prioridade p;
      p.SetCodigo(CString(std::string("P").append(std::to_string(i))));
      p.SetDescricao("Prioridade");
      conexao->Motor().Insert(&p);
    }
    conexao->Motor().Commit();
  }
};

// Runs `passo` once per iteration with a handler initialised on a company of 1,000 priorities.
template <class Passo>
void Roda(benchmark::State& state, const char* motor, Passo passo) {
  Empresa empresa(motor);
  CMMTrataDadosPrioridade handler;
  handler.Inicializa(empresa.nome.c_str(), 1, 1);
  CZQDadosMM_Prioridade gravada;
  handler.GetAcessoManutencao()->LePrioridade(500, &gravada);
  for (auto _ : state) benchmark::DoNotOptimize(passo(handler, gravada));
  state.SetItemsProcessed(state.iterations());
}

// A new priority: trim, exact code search, checks.
long NovaPrioridade(CMMTrataDadosPrioridade& handler, const CZQDadosMM_Prioridade&) {
  CZQDadosMM_Prioridade p;
  p.SetCodigo("  NOVA  ");
  p.SetDescricao(" Nova prioridade ");
  p.SetPrioridadeBase(50);
  return handler.TrataGravacao(&p, nullptr);
}

// The code search that a new priority makes, alone.
long BuscaCrua(CMMTrataDadosPrioridade& handler, const CZQDadosMM_Prioridade&) {
  CZQDadosMM_FiltroPrioridade filtro;
  filtro.SetCodigo("NOVA");
  filtro.SetAtivaVerificacaoCodigoParcial(0);
  CZQArrayPonteiros ponteiros;
  return handler.GetAcessoManutencao()->BuscaPonteirosPrioridade(filtro, ponteiros);
}

// A stored priority: read of the stored copy, stamp, checks.
long PrioridadeGravada(CMMTrataDadosPrioridade& handler, const CZQDadosMM_Prioridade& gravada) {
  CZQDadosMM_Prioridade p = gravada;
  return handler.TrataGravacao(&p, nullptr);
}

// The read that a stored priority makes, alone.
long LeituraCrua(CMMTrataDadosPrioridade& handler, const CZQDadosMM_Prioridade&) {
  CZQDadosMM_Prioridade p;
  return handler.GetAcessoManutencao()->LePrioridade(500, &p);
}

#define ZQ_BENCH_PRIORIDADE(passo)                                               \
  BENCHMARK_CAPTURE(Roda, passo##_memoria, "memoria", passo)->Name(#passo "/memoria"); \
  BENCHMARK_CAPTURE(Roda, passo##_sqlite, "sqlite", passo)->Name(#passo "/sqlite");

ZQ_BENCH_PRIORIDADE(NovaPrioridade)
ZQ_BENCH_PRIORIDADE(BuscaCrua)
ZQ_BENCH_PRIORIDADE(PrioridadeGravada)
ZQ_BENCH_PRIORIDADE(LeituraCrua)

}  // namespace
