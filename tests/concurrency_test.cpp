// zqmm processes side by side on one company, on every engine that processes share. Each case
// ends within seconds: a process still running past its limit is killed and fails the test.
#include <signal.h>

#include <chrono>
#include <set>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "platform/records/ZQTiposRegistro.h"
#include "platform/storage/ZQEmpresas.h"
#include "tests/support/Host.h"

namespace {

using namespace zqteste;
using namespace std::chrono_literals;

// How long a process may run; the sanitizer build runs the host several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto kLimite = 120s;
#else
constexpr auto kLimite = 15s;
#endif
constexpr const char* kEmpresa = "EXEMPLO";
constexpr const char* kAgora = "--agora=2026-12-07T08:00:00-03:00";

// `n` priorities and `n` disciplines with codes "<prefixo><i>" and no keys, so the company
// hands them out.
std::string Conjunto(const std::string& prefixo, int n) {
  nlohmann::json prioridades = nlohmann::json::array(), disciplinas = nlohmann::json::array();
  for (int i = 0; i < n; ++i) {
    prioridades.push_back({{"codigo", prefixo + std::to_string(i)}, {"descricao", "carga " + prefixo}});
    disciplinas.push_back({{"codigo", prefixo + std::to_string(i)}});
  }
  return nlohmann::json{{"formato", 1}, {"registros", {{"prioridade", prioridades}, {"disciplina", disciplinas}}}}.dump();
}

// The records of a dataset's kind whose code starts with `prefixo`, and whether their keys are distinct.
std::size_t Conta(const nlohmann::json& exportado, const char* tipo, const std::string& prefixo, bool* distintas) {
  const zq::RecordSchema& schema = *zq::TipoRegistro(tipo);
  std::string campoChave = schema.fields[schema.key].name;
  campoChave[0] = static_cast<char>(std::tolower(campoChave[0]));
  std::size_t n = 0;
  std::set<std::uint32_t> chaves;
  for (const auto& r : exportado["registros"].value(tipo, nlohmann::json::array())) {
    chaves.insert(r[campoChave].get<std::uint32_t>());
    n += r["codigo"].get<std::string>().rfind(prefixo, 0) == 0;
  }
  *distintas = chaves.size() == exportado["registros"].value(tipo, nlohmann::json::array()).size();
  return n;
}

// The files of the i-th process started side by side. (Built by appending: GCC 12 warns
// falsely, -Wrestrict, on "x" + std::to_string(i) + ".".)
std::string Arquivos(const char* prefixo, int i) {
  std::string nome(prefixo);
  nome += std::to_string(i);
  nome += '.';
  return nome;
}

// The company's write lock held from the test process, through the engine the company names.
class Trava {
 public:
  // Registered in this process under the company's own name: on PostgreSQL the name is the schema.
  Trava(Host& host, const std::string& empresa) : m_nome(empresa) {
    std::istringstream linhas(host.Roda({"empresa", "listar"}).out);
    zq::EmpresaConfig config;
    for (std::string nome; std::getline(linhas, nome, '\t') && std::getline(linhas, config.motor, '\t') &&
                           std::getline(linhas, config.banco);)
      if (nome == empresa) break;
    config.abertura = zq::AberturaBanco::kExistente;
    m_banco = config.banco;
    const zq::Status st = CZQEmpresas::Registra(m_nome, config);
    EXPECT_TRUE(st.ok()) << st.message;
    m_conexao = CZQEmpresas::Abre(m_nome);
  }
  ~Trava() {
    Solta();
    CZQEmpresas::Remove(m_nome);
  }
  // Takes the lock, waiting up to `ms` for another writer's.
  bool Prende(long ms = 5000) {
    if (!m_conexao) return false;
    m_conexao->Motor().SetLockWait(ms);
    return m_preso = m_conexao->Motor().Begin().ok();
  }
  const std::string& Banco() const { return m_banco; }
  // Rewrites every plan inside the held transaction: on PostgreSQL a write outside a transaction
  // waits only for the records it writes, and the alert routine writes plans.
  void PrendePlanos() {
    zq::StorageEngine& m = m_conexao->Motor();
    std::vector<std::uint32_t> chaves;
    ASSERT_TRUE(m.Search(CZQDadosMM_Plano::SchemaEstatico(), {}, &chaves).ok());
    for (std::uint32_t chave : chaves) {
      CZQDadosMM_Plano plano;
      ASSERT_TRUE(m.Read(chave, &plano).ok());
      ASSERT_TRUE(m.Update(plano).ok());
    }
  }
  void Solta() {
    if (m_preso) m_conexao->Motor().Rollback();
    m_preso = false;
  }
  // Waits, while `pid` runs, until another process holds the write lock; false when it never did.
  bool EsperaOutroGravando(pid_t pid) {
    for (auto fim = std::chrono::steady_clock::now() + kLimite; std::chrono::steady_clock::now() < fim;) {
      if (!Prende(1)) return true;
      Solta();
      siginfo_t saiu{};
      if (waitid(P_PID, static_cast<id_t>(pid), &saiu, WEXITED | WNOHANG | WNOWAIT) != 0 || saiu.si_pid != 0) return false;
    }
    return false;
  }

 private:
  std::string m_nome, m_banco;
  std::shared_ptr<CZQConexaoEmpresa> m_conexao;
  bool m_preso = false;
};

class ConcurrencyTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ZQ_EXIGE_POSTGRES(GetParam());
    host.CriaExemplo(kEmpresa, GetParam());
  }

  nlohmann::json Exportado() { return nlohmann::json::parse(host.Exporta(kEmpresa)); }
  // Records of the dataset `prefixo` stored, both kinds; fails on a key given twice.
  std::size_t Carregados(const std::string& prefixo) {
    const nlohmann::json e = Exportado();
    bool p = false, d = false;
    const std::size_t n = Conta(e, "prioridade", prefixo, &p) + Conta(e, "disciplina", prefixo, &d);
    EXPECT_TRUE(p && d) << "a key given twice";
    return n;
  }
  Resultado Espera(pid_t pid, const std::string& nome) { return host.Espera(pid, nome, kLimite); }

  Host host;
};

nlohmann::json& OrdemDois(nlohmann::json& exportado) {
  for (auto& o : exportado["registros"]["manutencao"])
    if (o["registro"] == 2) return o;
  throw std::runtime_error("order 2 not found");
}

TEST_P(ConcurrencyTest, TwoSavesOfOneStoredOrderAcceptExactlyTheFirst) {
  for (int rodada = 0; rodada < 3; ++rodada) {
    SCOPED_TRACE(rodada);
    nlohmann::json exportado = Exportado();
    nlohmann::json& ordem = OrdemDois(exportado);
    // Both wait behind the test's lock and race for it when it goes.
    Trava trava(host, kEmpresa);
    ASSERT_TRUE(trava.Prende());
    pid_t pids[2];
    for (int i = 0; i < 2; ++i) {
      ordem["descricao"] = "gravada por " + std::to_string(i);
      pids[i] = host.Inicia({"gravar", kEmpresa, "manutencao"}, ordem.dump(), Arquivos("g", i));
    }
    std::this_thread::sleep_for(300ms);
    trava.Solta();
    const Resultado r[2] = {Espera(pids[0], "g0."), Espera(pids[1], "g1.")};
    const int vencedor = r[0].saida == 0 ? 0 : 1;
    EXPECT_EQ(r[vencedor].saida, 0) << r[vencedor].err;
    EXPECT_EQ(r[1 - vencedor].saida, 1) << r[1 - vencedor].err;
    const auto aviso = nlohmann::json::parse(r[1 - vencedor].out, nullptr, false);
    EXPECT_EQ(aviso.value("modulo", 0), 28) << r[1 - vencedor].out;
    EXPECT_EQ(aviso.value("mensagem", 0), 3);
    nlohmann::json depois = Exportado();
    EXPECT_EQ(OrdemDois(depois)["descricao"], "gravada por " + std::to_string(vencedor));
  }
}

TEST_P(ConcurrencyTest, DisjointLoadsAtOnceLoseNothing) {
  constexpr int kCargas = 4, kPorTipo = 500;
  pid_t pids[kCargas];
  for (int i = 0; i < kCargas; ++i)
    pids[i] = host.Inicia({"carregar", kEmpresa, "-"}, Conjunto("zC" + std::to_string(i) + "-", kPorTipo),
                          Arquivos("c", i));
  for (int i = 0; i < kCargas; ++i) {
    const Resultado r = Espera(pids[i], Arquivos("c", i));
    EXPECT_EQ(r.saida, 0) << r.err;
  }
  EXPECT_EQ(Carregados("zC"), 2u * kCargas * kPorTipo);
}

// A reader during the load, and a load killed with SIGKILL, see all of it or none.
TEST_P(ConcurrencyTest, ALoadIsSeenWholeOrNotAtAll) {
  // Big enough to be caught in the middle; PostgreSQL takes a round trip per record.
  const std::size_t kPorTipo = GetParam() == std::string("postgresql") ? 5000 : 20000;
  for (const bool mata : {false, true}) {
    SCOPED_TRACE(mata ? "kill -9" : "reader");
    const std::string prefixo = mata ? "zM" : "zL";
    const pid_t pid = host.Inicia({"carregar", kEmpresa, "-"}, Conjunto(prefixo, kPorTipo), "carga.");
    Trava trava(host, kEmpresa);
    const bool gravando = trava.EsperaOutroGravando(pid);
    EXPECT_TRUE(gravando) << "the load ended before it was seen holding the lock";
    if (mata) kill(pid, SIGKILL);
    const std::size_t visto = Carregados(prefixo);
    EXPECT_TRUE(visto == 0 || visto == 2 * kPorTipo) << visto;
    const Resultado r = Espera(pid, "carga.");
    EXPECT_EQ(r.saida, mata && gravando ? 128 + SIGKILL : 0) << r.err;
    if (mata) {  // the company stays usable, and the same load goes in whole
      EXPECT_EQ(Espera(host.Inicia({"carregar", kEmpresa, "-"}, Conjunto(prefixo, kPorTipo), "carga."), "carga.").saida, 0);
    }
    EXPECT_EQ(Carregados(prefixo), 2 * kPorTipo);
  }
}

TEST_P(ConcurrencyTest, ABusyDatabaseIsAFailureNamingItAfterTheWait) {
  nlohmann::json exportado = Exportado();
  const std::string ordem = OrdemDois(exportado).dump();
  const std::vector<std::string> kComandos[] = {
      {"carregar", kEmpresa, "-"}, {"gravar", kEmpresa, "manutencao"}, {kAgora, "alertas", "executar", kEmpresa}};
  Trava trava(host, kEmpresa);
  ASSERT_TRUE(trava.Prende());
  trava.PrendePlanos();
  // The database a busy failure names: the file, or on PostgreSQL the company's schema.
  const std::string banco = GetParam() == std::string("postgresql") ? "exemplo" : trava.Banco();
  for (const auto& comando : kComandos) {
    SCOPED_TRACE(comando[0]);
    std::vector<std::string> args{"--espera", "200"};
    args.insert(args.end(), comando.begin(), comando.end());
    const auto inicio = std::chrono::steady_clock::now();
    const Resultado r = Espera(host.Inicia(args, comando[0] == "gravar" ? ordem : Conjunto("zB", 1), "b."), "b.");
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, 3s);
    EXPECT_EQ(r.saida, 3) << r.out << r.err;
    EXPECT_NE((r.out + r.err).find("ocupado por outra gravação há mais de 200 ms"), std::string::npos) << r.out << r.err;
    EXPECT_NE((r.out + r.err).find(banco), std::string::npos) << r.out << r.err;
  }
  trava.Solta();
  EXPECT_EQ(Carregados("zB"), 0u);
}

TEST_P(ConcurrencyTest, ScheduledAlertsKeepRunningBesideLoads) {
  const pid_t agenda = host.Inicia({kAgora, "alertas", "agendar", kEmpresa, "--intervalo", "50"}, "", "a.");
  const int porCarga = GetParam() == std::string("postgresql") ? 2000 : 20000;
  for (int i = 0; i < 4; ++i) {
    const Resultado r = Espera(host.Inicia({"carregar", kEmpresa, "-"}, Conjunto("zA" + std::to_string(i) + "-", porCarga), "c."), "c.");
    EXPECT_EQ(r.saida, 0) << r.err;
  }
  const auto fim = std::chrono::steady_clock::now() + kLimite;
  while (Le(host.Dir() / "a.saida").find("execução 5:") == std::string::npos && std::chrono::steady_clock::now() < fim)
    std::this_thread::sleep_for(20ms);
  kill(agenda, SIGTERM);
  const Resultado r = Espera(agenda, "a.");
  EXPECT_EQ(r.saida, 0) << r.err;
  EXPECT_NE(r.out.find("execução 5:"), std::string::npos);
  EXPECT_EQ(r.out.find("execução abortada"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("terminou com o resultado"), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Engines, ConcurrencyTest, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
