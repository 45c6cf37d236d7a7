// Technician saves on each engine beside the same reads done raw through the access object, so
// the rules' own share shows as the difference. The heaviest save is a stored group: its whole
// subtree is searched before the field checks.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "bench/EmpresaBench.h"
#include "platform/storage/ZQEmpresas.h"
#include "registers/MMTrataDadosTecnico.h"

namespace {

constexpr int kGrupos = 10;
constexpr int kPorGrupo = 99;

// A company whose technicians are one top group with kGrupos groups of kPorGrupo technicians
// each, every technician with a user of its own; 1,011 entries.
struct Empresa : EmpresaBench {
  explicit Empresa(const std::string& motor) : EmpresaBench("TEC", motor) {
    zq::StorageEngine& motor_ = conexao->Motor();
    motor_.Begin();
    auto novo = [&](const std::string& codigo, std::uint32_t pai, std::uint8_t tipo, std::uint16_t usuario) {
      CZQDadosMM_Tecnico t;
      t.SetCodigo(CString(codigo));
      t.SetNome("Técnico");
      t.SetPonteiroPai(pai);
      t.SetTipoClassificacao(tipo);
      t.SetPonteiroFilial(tipo == 1 ? 1 : 0);
      t.SetPonteiroUsuario(usuario);
      motor_.Insert(&t);
      return t.GetPonteiro();
    };
    const std::uint32_t raiz = novo("EQUIPES", 0, 2, 0);
    int usuario = 0;
    for (int g = 0; g < kGrupos; ++g) {
      const std::uint32_t grupo = novo(std::string("G").append(std::to_string(g)), raiz, 2, 0);
      for (int i = 0; i < kPorGrupo; ++i)
        novo(std::string("T").append(std::to_string(g)).append("-").append(std::to_string(i)), grupo, 1,
             static_cast<std::uint16_t>(++usuario));
    }
    motor_.Commit();
  }
};

// Runs `passo` once per iteration on the stored technician `ponteiro` of a fresh company.
template <class Passo>
void Roda(benchmark::State& state, const char* motor, std::uint32_t ponteiro, Passo passo) {
  Empresa empresa(motor);
  CMMTrataDadosTecnico handler;
  handler.Inicializa(empresa.nome.c_str(), 1, 1);
  CZQDadosMM_Tecnico gravado;
  if (handler.GetAcessoManutencao()->LeTecnico(ponteiro, &gravado) != 0) std::abort();
  for (auto _ : state) benchmark::DoNotOptimize(passo(handler, gravado));
  state.SetItemsProcessed(state.iterations());
}

// The rules: a save of the stored technician as it was read.
long Gravacao(CMMTrataDadosTecnico& handler, const CZQDadosMM_Tecnico& gravado) {
  CZQDadosMM_Tecnico t = gravado;
  const int aceito = handler.TrataGravacao(&t, nullptr);
  if (!aceito) std::abort();
  return aceito;
}

// The reads such a save makes, raw: the stored copy, the subtree of a group, the code search,
// the user search of an analytic technician with a user.
long LeiturasCruas(CMMTrataDadosTecnico& handler, const CZQDadosMM_Tecnico& gravado) {
  CZQAcessoManutencao& acesso = *handler.GetAcessoManutencao();
  CZQDadosMM_Tecnico t;
  long hr = acesso.LeTecnico(gravado.GetPonteiro(), &t);
  if (t.GetTipoClassificacao() != 1) {
    CZQDadosMM_FiltroTecnico subarvore;
    subarvore.SetPonteiroPai(t.GetPonteiro());
    subarvore.SetTodasFiliais(1);
    CZQVector<CZQDadosDF_Classificacao> lista;
    hr |= acesso.BuscaClassificacaoTecnico(subarvore, lista);
  }
  CZQDadosMM_FiltroTecnico porCodigo;
  porCodigo.SetCodigo(t.GetCodigo());
  porCodigo.SetTodasFiliais(1);
  CZQArrayPonteiros ponteiros;
  hr |= acesso.BuscaPonteirosTecnico(porCodigo, ponteiros);
  if (t.GetTipoClassificacao() == 1 && t.GetPonteiroUsuario() != 0) {
    CZQDadosMM_FiltroTecnico porUsuario;
    porUsuario.SetValorUnicoFilial(t.GetPonteiroFilial());
    porUsuario.SetTodasFiliais(t.GetPonteiroFilial() == 0);
    porUsuario.SetPonteiroUsuario(t.GetPonteiroUsuario());
    porUsuario.SetAtivo(1);
    porUsuario.SetTipoClassificacaoAnalitico(1);
    hr |= acesso.BuscaPonteirosTecnico(porUsuario, ponteiros);
  }
  return hr;
}

// Pointer 1 is the top group (whole tree walked); pointer 3 an analytic technician with a user.
#define ZQ_BENCH_TECNICO(passo, caso, ponteiro)                                 \
  BENCHMARK_CAPTURE(Roda, passo##caso##_memoria, "memoria", ponteiro, passo) \
      ->Name("Tecnico" #passo "/" #caso "/memoria");                          \
  BENCHMARK_CAPTURE(Roda, passo##caso##_sqlite, "sqlite", ponteiro, passo)   \
      ->Name("Tecnico" #passo "/" #caso "/sqlite");

ZQ_BENCH_TECNICO(Gravacao, Grupo, 1)
ZQ_BENCH_TECNICO(LeiturasCruas, Grupo, 1)
ZQ_BENCH_TECNICO(Gravacao, Analitico, 3)
ZQ_BENCH_TECNICO(LeiturasCruas, Analitico, 3)

}  // namespace
