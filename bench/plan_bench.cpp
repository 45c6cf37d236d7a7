// Plan saves on each engine beside the same reads done raw through the access object, so the
// rules' own share shows as the difference. The plan is a stored type-1 plan controlled by both
// period and counter, with 20 tasks, 30 components and 5 alerts; its siblings fill the register.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/storage/ZQEmpresas.h"
#include "registers/MMTrataDadosPlano.h"

namespace {

constexpr int kPlanos = 200;

CZQDadosMM_Plano Plano(int n) {
  CZQDadosMM_Plano p;
  p.SetCodigo(CString(std::string("P").append(std::to_string(n))));
  p.SetNome("Plano de manutenção");
  p.SetTipoClassificacao(1), p.SetTipo(1), p.SetTipoControle(2);
  p.SetPonteiroDisciplina(1), p.SetPonteiroPrioridade(1), p.SetPonteiroTipoPeriodo(1);
  p.SetContadorCicloManutencao({5000000});
  for (int i = 0; i < 20; ++i) {
    CZQDadosMM_PlanoTarefa t;
    t.SetLinha(i + 1), t.SetPonteiroTarefa(i + 1);
    p.AdicionaTarefa(t);
  }
  for (int i = 0; i < 30; ++i) {
    CZQDadosMM_PlanoComponente c;
    c.SetLinha(i + 1), c.SetPosicaoProduto({static_cast<std::uint32_t>(i + 1), 0, 0, 0}), c.SetQuantidade({10000});
    c.SetTipoProdutoServico(i % 3 == 2 ? 'S' : 'P');
    (i % 3 == 0 ? p.AdicionaMaterial(c) : i % 3 == 1 ? p.AdicionaEquipamento(c) : p.AdicionaServico(c));
  }
  for (int i = 0; i < 5; ++i) {
    CZQDadosMM_PlanoAlerta a;
    a.SetLinha(i + 1), a.SetDescricao("Alerta"), a.SetAntesApos(1 + i % 2), a.SetModeloEmail("alerta.htm");
    a.SetRepetirEm(i % 2), a.SetTempoRepeticao({10000}), a.AdicionaTecnicos({});
    p.AdicionaAlerta(a);
  }
  return p;
}

struct Empresa {
  std::string nome;
  std::filesystem::path dir;
  explicit Empresa(const std::string& motor) {
    nome = std::string("BENCH_PLANO_").append(motor);
    dir = std::filesystem::temp_directory_path() /
          std::string("zqmm-bench-plano-").append(motor).append("-").append(std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    zq::EmpresaConfig c{motor, (dir / "empresa.db").string(), dir.string()};
    if (!CZQEmpresas::Registra(nome, c).ok()) std::abort();
    auto conexao = CZQEmpresas::Abre(nome);
    conexao->Motor().Begin();
    for (int n = 0; n < kPlanos; ++n) {
      CZQDadosMM_Plano p = Plano(n);
      conexao->Motor().Insert(&p);
    }
    conexao->Motor().Commit();
  }
  ~Empresa() {
    CZQEmpresas::Remove(nome);
    std::filesystem::remove_all(dir);
  }
};

template <class Passo>
void Roda(benchmark::State& state, const char* motor, Passo passo) {
  Empresa empresa(motor);
  CMMTrataDadosPlano handler;
  handler.Inicializa(empresa.nome.c_str(), 1, 1);
  CZQDadosMM_Plano gravado;
  if (handler.GetAcessoManutencao()->LePlano(kPlanos / 2, &gravado) != 0) std::abort();
  for (auto _ : state) benchmark::DoNotOptimize(passo(handler, gravado));
  state.SetItemsProcessed(state.iterations());
}

// The rules: a save of the stored plan as it was read.
long Gravacao(CMMTrataDadosPlano& handler, const CZQDadosMM_Plano& gravado) {
  CZQDadosMM_Plano p = gravado;
  const int aceito = handler.TrataGravacao(&p, nullptr);
  if (!aceito) std::abort();
  return aceito;
}

// The reads such a save makes, raw: the stored copy and the code search.
long LeiturasCruas(CMMTrataDadosPlano& handler, const CZQDadosMM_Plano& gravado) {
  CZQAcessoManutencao& acesso = *handler.GetAcessoManutencao();
  CZQDadosMM_Plano p = gravado;
  CZQDadosMM_Plano lido;
  long hr = acesso.LePlano(p.GetPonteiro(), &lido);
  CZQDadosMM_FiltroPlano porCodigo;
  porCodigo.SetCodigo(p.GetCodigo());
  CZQArrayPonteiros ponteiros;
  hr |= acesso.BuscaPonteirosPlano(porCodigo, ponteiros);
  return hr;
}

#define ZQ_BENCH_PLANO(passo)                                                                        \
  BENCHMARK_CAPTURE(Roda, passo##_memoria, "memoria", passo)->Name("Plano" #passo "/memoria");      \
  BENCHMARK_CAPTURE(Roda, passo##_sqlite, "sqlite", passo)->Name("Plano" #passo "/sqlite");

ZQ_BENCH_PLANO(Gravacao)
ZQ_BENCH_PLANO(LeiturasCruas)

}  // namespace
