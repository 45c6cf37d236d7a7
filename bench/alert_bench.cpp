// One run of the plan alert routine over a generated company: 1,000 plans of 3 alerts each,
// 10,000 resources with two plan links each (20,000 links), 50 technicians, mail to an outbox
// in /dev/shm (so the disk does not blur the figures); on memory and SQLite, at that size and
// at twice it (PostgreSQL at that size only). The alerts repeat at every run, so every iteration does the same work.
// Beside each run, two floors on the same company: the bare scan (every plan, link, resource and
// technician read once through the same engine, in one snapshot), and the scan plus the mail
// layer's share (as many mails as a run sends, of the same average size, put through the same
// transport into the same outbox).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/EmpresaBench.h"
#include "alerts/MMEmailAlertaPlano.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/mail/ZQTransporteEmail.h"
#include "platform/records/ZQDadosDF_Email.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/storage/ZQEmpresas.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"

namespace {

// At scale 1; everything grows with the scale.
constexpr int kPlanos = 1000;
constexpr int kRecursos = 10000;
constexpr int kTecnicos = 50;

const char* const kModelo =
    "<html><body><p>ZQ_NOME_TECNICO: ZQ_DESC_ALERTA (ZQ_COD_PLANO_MANUT ZQ_DESC_PLANO_MANUT)</p>\r\n"
    "<table><tr><td>ZQ_INICIO_LISTA</td></tr>\r\n"
    "  ZQ_FIM_LISTA\r\n"
    " <tr><td>ZQ_COD_RECURSO</td><td>ZQ_DESC_RECURSO</td><td>ZQ_DT_PROX_MANUT</td>\r\n"
    " <td>ZQ_DIAS_PROX_MANUT</td><td>ZQ_CONTADOR_PROX_MANUT ZQ_UN_MED_CONTADOR</td></tr>\r\n"
    "</table></body></html>\r\n";

std::string Numerado(const char* prefixo, int n) { return std::string(prefixo).append(std::to_string(n)); }

struct Empresa : EmpresaBench {
  std::filesystem::path saida;

  Empresa(const std::string& motor, int escala)
      : EmpresaBench("ALERTA" + std::to_string(escala), motor),
        saida(std::filesystem::path("/dev/shm") / dir.filename() / "saida") {
    const int planosTotal = kPlanos * escala;
    const int recursosTotal = kRecursos * escala;
    const int tecnicosTotal = kTecnicos * escala;
    std::filesystem::create_directories(dir / "relatorios");
    std::ofstream(dir / "relatorios" / "alerta.htm", std::ios::binary) << kModelo;
    CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", (dir / "relatorios").string());
    CZQRegistro::Define(CZQContaEmail::Chave(nome), "Remetente", "alertas@zq.test");
    CZQRegistro::Define(CZQContaEmail::Chave(nome), "Saida", saida.string() + "/");
    zq::StorageEngine& m = conexao->Motor();
    const REG_ZQDMA hoje = CZQRelogio::Hoje();
    m.Begin();

    CZQDadosMM_Disciplina disciplina;
    disciplina.SetCodigo("MEC");
    disciplina.SetNome("Mecanica");
    m.Insert(&disciplina);
    CZQDadosDF_Filial filial;
    filial.SetCodigo(1);
    m.Insert(&filial);
    CZQDadosDF_TipoRecurso tipo;
    tipo.SetCodigo("EQ");
    m.Insert(&tipo);
    CZQDadosDF_UnidadeMedidaProduto unidade;
    unidade.SetCodigo("H");
    unidade.SetQuantidadeCasasDecimais(1);
    m.Insert(&unidade);

    std::vector<std::uint32_t> tecnicos;
    for (int t = 0; t < tecnicosTotal; ++t) {
      CZQDadosMM_Tecnico tecnico;
      tecnico.SetCodigo(Numerado("T", t));
      tecnico.SetNome(Numerado("Tecnico ", t));
      tecnico.SetTipoClassificacao(1);
      tecnico.AdicionaEmail(Numerado("t", t).append("@zq.test"));
      m.Insert(&tecnico);
      tecnicos.push_back(tecnico.GetPonteiro());
    }

    // Alerts: 10 days before, 5 days after, and by counter (fewer than 100 cycles left); each
    // mails two technicians and repeats at every run.
    std::vector<std::uint32_t> planos;
    for (int p = 0; p < planosTotal; ++p) {
      CZQDadosMM_Plano plano;
      plano.SetCodigo(Numerado("P", p));
      plano.SetNome(Numerado("Plano ", p));
      plano.SetTipoClassificacao(1);
      plano.SetPonteiroDisciplina(disciplina.GetPonteiro());
      plano.SetTipoControle(3);
      for (int a = 0; a < 3; ++a) {
        CZQDadosMM_PlanoAlerta alerta;
        alerta.SetDescricao(Numerado("Alerta ", a));
        alerta.SetModeloEmail("alerta.htm");
        alerta.SetRepetirEm(true);
        alerta.SetTipoRepeticao(0);
        alerta.SetAntesApos(a == 1 ? 2 : 1);
        alerta.SetDias(a != 2);
        alerta.SetQtdDias(*CZQCurrencyEx::DeInteiro(a == 0 ? 10 : 5));
        alerta.SetContador(a == 2);
        alerta.SetQtdContador(*CZQCurrencyEx::DeInteiro(100));
        for (int k = 0; k < 2; ++k) {
          CZQDadosMM_PlanoAlertaTecnico t;
          t.SetPonteiro(tecnicos[static_cast<std::size_t>((p + a + k * 7) % tecnicosTotal)]);
          alerta.AdicionaTecnicos(t);
        }
        plano.AdicionaAlerta(alerta);
      }
      m.Insert(&plano);
      planos.push_back(plano.GetPonteiro());
    }

    // Next maintenance spread from 30 days ago to 60 days ahead, counters from -50 to 950.
    for (int r = 0; r < recursosTotal; ++r) {
      CZQDadosDF_Recurso recurso;
      recurso.SetCodigo(Numerado("R", r));
      recurso.SetDescricao(Numerado("Recurso ", r));
      recurso.SetTipo(2);
      recurso.SetPonteiroFilial(static_cast<std::uint16_t>(filial.GetPonteiro()));
      recurso.SetPonteiroTipoRecurso(tipo.GetPonteiro());
      recurso.SetPonteiroUnidadeMedidaContador(unidade.GetPonteiro());
      recurso.SetUnidadeProdutoServico("P");
      m.Insert(&recurso);
      for (int l = 0; l < 2; ++l) {
        CZQDadosDF_RecursoPlanoManutencao link;
        link.SetPonteiroRecurso(recurso.GetPonteiro());
        link.SetPonteiroPlano(planos[static_cast<std::size_t>((r * 2 + l * 501) % planosTotal)]);
        link.SetDataProximaManutencao(hoje.SomaDias((r * 7 + l * 13) % 91 - 30));
        link.SetCiclosContadorProximaManutencao(*CZQCurrencyEx::DeInteiro((r * 37 + l) % 1000 - 50));
        m.Insert(&link);
      }
    }
    m.Commit();
  }
  ~Empresa() { std::filesystem::remove_all(saida.parent_path()); }
};

struct Saida {
  std::size_t mails = 0;
  std::uintmax_t bytes = 0;
};

// What the run left in the outbox, which is then emptied.
Saida EsvaziaSaida(const std::filesystem::path& pasta) {
  Saida s;
  for (const auto& item : std::filesystem::directory_iterator(pasta)) {
    ++s.mails;
    s.bytes += item.file_size();
  }
  std::filesystem::remove_all(pasta);
  return s;
}

void Alerta(benchmark::State& state, const char* motor, int escala) {
  Empresa empresa(motor, escala);
  CMMEmailAlertaPlano rotina;
  if (rotina.Inicializa(empresa.nome.c_str(), 1, 1) != 0) std::abort();
  std::size_t mails = 0;
  for (auto _ : state) {
    bool parar = false;
    if (rotina.OnRun(parar) != 0) std::abort();
    state.PauseTiming();
    mails = EsvaziaSaida(empresa.saida).mails;
    state.ResumeTiming();
  }
  state.counters["mails"] = static_cast<double>(mails);
  state.counters["mails/s"] = benchmark::Counter(static_cast<double>(mails) * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}

// Every record of the kind, each read once.
template <class Registro>
std::size_t LeTodos(zq::StorageEngine& m) {
  std::vector<std::uint32_t> chaves;
  if (!m.Search(Registro::SchemaEstatico(), {}, &chaves).ok()) std::abort();
  for (std::uint32_t chave : chaves) {
    Registro r;
    if (!m.Read(chave, &r).ok()) std::abort();
    benchmark::DoNotOptimize(r);
  }
  return chaves.size();
}

std::size_t LeTudo(zq::StorageEngine& m) {
  const zq::SnapshotGuard leituras(&m);
  return LeTodos<CZQDadosMM_Plano>(m) + LeTodos<CZQDadosDF_RecursoPlanoManutencao>(m) +
         LeTodos<CZQDadosDF_Recurso>(m) + LeTodos<CZQDadosMM_Tecnico>(m);
}

void Varredura(benchmark::State& state, const char* motor, int escala) {
  Empresa empresa(motor, escala);
  std::size_t lidos = 0;
  for (auto _ : state) lidos = LeTudo(empresa.conexao->Motor());
  state.counters["lidos"] = static_cast<double>(lidos);
}

void VarreduraSaida(benchmark::State& state, const char* motor, int escala) {
  Empresa empresa(motor, escala);
  CMMEmailAlertaPlano rotina;
  bool parar = false;
  if (rotina.Inicializa(empresa.nome.c_str(), 1, 1) != 0 || rotina.OnRun(parar) != 0) std::abort();
  const Saida run = EsvaziaSaida(empresa.saida);
  const auto conta = CZQContaEmail::Le(empresa.nome, "");
  if (!conta || run.mails == 0) std::abort();
  CZQDadosDF_EmailAnexo parte;
  parte.SetTipo(CZQDadosDF_EmailAnexo::kTipoCorpoHtml);
  parte.SetConteudo(CString(std::string(run.bytes / run.mails, 'x')));
  CZQDadosDF_Email email;
  email.SetAssunto("Alerta");
  email.SetDestinatarios("t1@zq.test");
  email.SetCorpo(parte);
  for (auto _ : state) {
    LeTudo(empresa.conexao->Motor());
    for (std::size_t i = 0; i < run.mails; ++i)
      if (!CZQTransporteEmail::Envia(*conta, email).ok()) std::abort();
    state.PauseTiming();
    EsvaziaSaida(empresa.saida);
    state.ResumeTiming();
  }
  state.counters["mails"] = static_cast<double>(run.mails);
  state.counters["bytes/mail"] = static_cast<double>(run.bytes / run.mails);
}

#define ZQ_CASOS_ALERTA(X) \
  X(memoria, 1)            \
  X(memoria, 2)            \
  X(sqlite, 1)             \
  X(sqlite, 2)             \
  X(postgresql, 1)
#define ZQ_REGISTRA(motor, escala)                                                              \
  BENCHMARK_CAPTURE(Varredura, motor##_x##escala, #motor, escala)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(VarreduraSaida, motor##_x##escala, #motor, escala)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(Alerta, motor##_x##escala, #motor, escala)->Unit(benchmark::kMillisecond)->Iterations(3);
ZQ_CASOS_ALERTA(ZQ_REGISTRA)

}  // namespace
