// Engine searches and key reads on 100,000 resources, memory against SQLite: a search by a
// unique code (one key), by resource type (100 keys), and on a field no engine indexes (every
// record compared), plus key reads on 1,000 to 100,000 records. Companies are built once per
// engine and size and kept for the whole run.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/EmpresaBench.h"
#include "platform/records/ZQDadosDF_Recurso.h"
#include "platform/storage/ZQEmpresas.h"

namespace {

constexpr int kTipos = 1000;

std::string Numerado(const char* prefixo, int n) { return std::string(prefixo).append(std::to_string(n)); }

struct Empresa : EmpresaBench {
  Empresa(const std::string& motor, int recursos)
      : EmpresaBench(Numerado("MOTOR", recursos), motor) {
    zq::StorageEngine& m = conexao->Motor();
    m.Begin();
    for (int r = 0; r < recursos; ++r) {
      CZQDadosDF_Recurso recurso;
      recurso.SetCodigo(CString(Numerado("R", r)));
      recurso.SetDescricao(CString(Numerado("Recurso ", r)));
      recurso.SetTipo(2);
      recurso.SetPonteiroTipoRecurso(static_cast<std::uint32_t>(r % kTipos + 1));
      recurso.SetTipoClassificacao(1);
      m.Insert(&recurso);
    }
    m.Commit();
  }
};

Empresa& Usa(const std::string& motor, int recursos) {
  static std::map<std::pair<std::string, int>, std::unique_ptr<Empresa>> empresas;
  auto& e = empresas[{motor, recursos}];
  if (!e) e = std::make_unique<Empresa>(motor, recursos);
  return *e;
}

// A fixed pseudo-random walk over 1..n, the same on every engine.
struct Sorteio {
  std::uint64_t s = 88172645463325252ull;
  std::uint32_t Proximo(int n) {
    s ^= s << 13, s ^= s >> 7, s ^= s << 17;
    return static_cast<std::uint32_t>(s % static_cast<std::uint64_t>(n)) + 1;
  }
};

constexpr int kRecursos = 100000;
const zq::RecordSchema& kRecurso = CZQDadosDF_Recurso::SchemaEstatico();
std::size_t Campo(const char* nome) { return static_cast<std::size_t>(kRecurso.Find(nome)); }

// Searches with the predicates `criterio` builds from a drawn number; counts the keys found.
template <class Criterio>
void Busca(benchmark::State& state, const char* motor, Criterio criterio) {
  zq::StorageEngine& m = Usa(motor, kRecursos).conexao->Motor();
  Sorteio sorteio;
  std::vector<std::uint32_t> keys;
  std::size_t achadas = 0;
  for (auto _ : state) {
    if (!m.Search(kRecurso, criterio(sorteio), &keys).ok()) std::abort();
    achadas += keys.size();
  }
  state.counters["chaves"] = static_cast<double>(achadas) / static_cast<double>(state.iterations());
}

void BM_BuscaCodigo(benchmark::State& state, const char* motor) {
  Busca(state, motor, [](Sorteio& s) {
    return std::vector<zq::Predicate>{
        {Campo("Codigo"), zq::Match::kIgual, Numerado("R", static_cast<int>(s.Proximo(kRecursos)) - 1)}};
  });
}

void BM_BuscaTipo(benchmark::State& state, const char* motor) {
  Busca(state, motor, [](Sorteio& s) {
    return std::vector<zq::Predicate>{{Campo("PonteiroTipoRecurso"), zq::Match::kIgual, std::int64_t{s.Proximo(kTipos)}}};
  });
}

void BM_BuscaSemIndice(benchmark::State& state, const char* motor) {
  Busca(state, motor, [](Sorteio& s) {
    return std::vector<zq::Predicate>{
        {Campo("Descricao"), zq::Match::kIgual, Numerado("Recurso ", static_cast<int>(s.Proximo(kRecursos)) - 1)}};
  });
}

void BM_LeituraChave(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  zq::StorageEngine& m = Usa("memoria", n).conexao->Motor();
  Sorteio sorteio;
  CZQDadosDF_Recurso recurso;
  for (auto _ : state)
    if (!m.Read(sorteio.Proximo(n), &recurso).ok()) std::abort();
}

BENCHMARK_CAPTURE(BM_BuscaCodigo, memoria, "memoria");
BENCHMARK_CAPTURE(BM_BuscaCodigo, sqlite, "sqlite");
BENCHMARK_CAPTURE(BM_BuscaTipo, memoria, "memoria");
BENCHMARK_CAPTURE(BM_BuscaTipo, sqlite, "sqlite");
BENCHMARK_CAPTURE(BM_BuscaSemIndice, memoria, "memoria")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BuscaSemIndice, sqlite, "sqlite")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LeituraChave)->Arg(1000)->Arg(10000)->Arg(100000);

}  // namespace
