// The zqmm host driven as a process, as a person or a script would: each test has its own
// registry file, data directories and HOME, so nothing outside its temporary folder is touched.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

#include "tests/support/FixtureAlerta.h"
#include "tests/support/Host.h"

namespace {

namespace fs = std::filesystem;
using zqteste::Grava;
using zqteste::Host;
using zqteste::kBinario;
using zqteste::kExemplo;
using zqteste::Le;
using zqteste::Resultado;

// The sample company's "today": its alerts and orders are dated around it.
constexpr const char* kAgora = "--agora=2026-12-07T08:00:00-03:00";

std::string Conjunto(const std::string& registros) { return R"({"formato": 1, "registros": )" + registros + "}"; }

// Another program's SQLite database, made with the SQLite library the host loads.
void BancoEstrangeiro(const fs::path& arquivo) {
  void* lib = dlopen("libsqlite3.so.0", RTLD_NOW);
  ASSERT_NE(lib, nullptr);
  auto abre = reinterpret_cast<int (*)(const char*, void**)>(dlsym(lib, "sqlite3_open"));
  auto executa = reinterpret_cast<int (*)(void*, const char*, void*, void*, char**)>(dlsym(lib, "sqlite3_exec"));
  auto fecha = reinterpret_cast<int (*)(void*)>(dlsym(lib, "sqlite3_close"));
  void* db = nullptr;
  ASSERT_EQ(abre(arquivo.c_str(), &db), 0);
  EXPECT_EQ(executa(db, "CREATE TABLE cliente(nome TEXT); INSERT INTO cliente VALUES('x')", nullptr, nullptr, nullptr), 0);
  fecha(db);
}

class HostTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!*kBinario) GTEST_SKIP() << "zqmm was not built";
  }
  Host host;
};

// What a person does with a company, on each engine zqmm creates companies on.
class HostEnginesTest : public HostTest, public testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    if (IsSkipped()) return;
    ZQ_EXIGE_POSTGRES(GetParam());
    host.Motor(GetParam());
  }
};

TEST_P(HostEnginesTest, SampleCompanyMailsItsDueAlertsAndAcceptsAnOrder) {
  const fs::path dados = host.CriaExemplo();
  EXPECT_EQ(fs::exists(dados / "EXEMPLO.db"), std::string(GetParam()) == "sqlite");
  EXPECT_EQ(host.Roda({"empresa", "criar", "EXEMPLO"}).saida, 3) << "a company is created once";

  Resultado r = host.Roda({kAgora, "alertas", "executar", "EXEMPLO"});
  ASSERT_EQ(r.saida, 0) << r.out << r.err;
  // Inherited after-alert: both group members, Maria at her two addresses; before-alerts by
  // counter (no list block: one mail per resource) and by days.
  std::vector<std::string> para;
  for (const auto& email : zqteste::LePasta(dados / "saida")) para.push_back(email.para);
  std::sort(para.begin(), para.end());
  EXPECT_EQ(para, (std::vector<std::string>{"carlos.souza@exemplo.com.br", "joao.pereira@exemplo.com.br",
                                            "joao.pereira@exemplo.com.br", "manutencao.sorocaba@exemplo.com.br",
                                            "maria.oliveira@exemplo.com.br"}));
  EXPECT_NE(r.out.find("alertas vencidos, registrados como enviados: 3"), std::string::npos) << r.out;

  r = host.Roda({kAgora, "alertas", "executar", "EXEMPLO"});
  EXPECT_EQ(r.saida, 0);
  EXPECT_EQ(zqteste::LePasta(dados / "saida").size(), 5u) << "sent alerts wait for their repetition time\n" << r.out;

  r = host.Roda({kAgora, "verificar", "EXEMPLO", "manutencao", (kExemplo / "ordem-nova.json").string()});
  ASSERT_EQ(r.saida, 0) << r.out << r.err;
  // Derived from the plan, the resource and the status entry.
  EXPECT_NE(r.out.find("\"descricao\": \"Revisão mensal de empilhadeiras\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"ponteiroFilial\": 1,"), std::string::npos);
  EXPECT_NE(r.out.find("\"situacao\": 2,"), std::string::npos);
  EXPECT_NE(r.out.find("\"tempoPrevistoEmHoras\": 3.0"), std::string::npos);
}

TEST_F(HostTest, RefusedRecordExitsOneWithTheCatalogueMessage) {
  host.CriaExemplo();
  const Resultado r = host.Roda({"verificar", "EXEMPLO", "manutencao", (kExemplo / "ordem-recusada.json").string()});
  EXPECT_EQ(r.saida, 1);
  EXPECT_EQ(r.out, "{\n  \"modulo\": 28,\n  \"mensagem\": 54,\n  \"campo\": 87,\n  \"texto\": \"O recurso está inativo.\"\n}\n");
  // An entry others use: integridade names the dependent, and verificar --exclusao refuses with it.
  const std::string recurso = "O Recurso 0722-000123 é dependente do plano PREV-EMP Revisão mensal de empilhadeiras";
  EXPECT_EQ(host.Roda({"integridade", "EXEMPLO", "5", "TERC"}).saida, 0);
  const Resultado dep = host.Roda({"integridade", "EXEMPLO", "plano", "PREV-EMP"});
  EXPECT_EQ(std::to_string(dep.saida) + " " + dep.out, "1 " + recurso + "\n");
  const Resultado exc = host.Roda({"verificar", "EXEMPLO", "plano", "--exclusao"}, R"({"ponteiro": 2})");
  EXPECT_EQ(exc.saida, 1);
  EXPECT_NE(exc.out.find("\"mensagem\": 0,\n  \"campo\": 0,\n  \"texto\": \"" + recurso), std::string::npos) << exc.out;
}

TEST_F(HostTest, UnusableInputExitsTwoAndWritesNothing) {
  host.CriaExemplo();
  const std::string antes = host.Exporta("EXEMPLO");
  const std::string dezMega(10 << 20, 'x'), mega(1 << 20, 'x');
  std::string largo = "{";  // enough members to leave the small-object check
  for (int i = 0; i < 40; ++i) largo += "\"m" + std::to_string(i) + "\": 0, ";
  largo += "\"M7\": 1}";
  struct Caso {
    const char* nome;
    std::vector<std::string> args;
    std::string entrada;
    const char* erro;  // part of the message on standard error
  };
  using Args = std::vector<std::string>;
  const Args prioridade{"verificar", "EXEMPLO", "prioridade"}, ordem{"verificar", "EXEMPLO", "manutencao"},
      carga{"carregar", "EXEMPLO", "-"};
  const std::vector<Caso> casos = {
      {"truncated", prioridade, R"({"codigo": "P9", "descr)", "JSON inválido"},
      {"empty input", prioridade, "", "JSON inválido"},
      {"not an object", prioridade, "[1, 2]", "deve ser um objeto"},
      {"deep nesting", prioridade, std::string(100000, '['), "JSON inválido"},
      {"NUL byte", carga, Conjunto(R"({"servico": []})") + std::string(1, '\0') + "{", "byte nulo"},
      {"number beyond double", prioridade, R"({"prioridadeBase": 1e400})", "overflow"},
      {"number beyond field", prioridade, R"({"prioridadeBase": 256})", "prioridade.prioridadeBase"},
      {"integer beyond 64 bits", prioridade, R"({"posicao": 123456789012345678901234567890})", "prioridade.posicao"},
      {"currency beyond range", ordem, R"({"tempoPrevisto": 1e300})", "manutencao.tempoPrevisto"},
      {"currency beyond four decimals", ordem, R"({"tempoPrevisto": 1.00001})", "quatro casas"},
      {"wrong type", prioridade, R"({"codigo": 12})", "prioridade.codigo: espera um texto"},
      {"bad date", ordem, R"({"dataHoraEmissao": "2026-02-30T08:00:00"})", "manutencao.dataHoraEmissao"},
      {"\"\" as a date", carga, Conjunto(R"({"periodo_contabil": [{"dataInferiorMovimentacao": ""}]})"),
       "periodo_contabil.dataInferiorMovimentacao: texto vazio"},
      {"unknown field", prioridade, R"({"cor": "azul"})", "campo desconhecido em prioridade: cor"},
      {"huge unknown field", prioridade, R"({")" + mega + R"(": 1})", "campo desconhecido em prioridade: xxx"},
      {"unknown child field", ordem, R"({"listaTarefa": [{"linha": 1, "x": 0}]})", "item 0"},
      {"unknown kind", {"verificar", "EXEMPLO", "ordem"}, "{}", "tipo de registro desconhecido: ordem"},
      {"unknown integrity register", {"integridade", "EXEMPLO", "6", "X"}, "", "registro desconhecido: 6"},
      {"unknown integrity code", {"integridade", "EXEMPLO", "situacao", "T-OK"}, "", "situacao T-OK: código não"},
      {"child kind is not stored alone", {"verificar", "EXEMPLO", "plano_alerta"}, "{}", "tipo de registro desconhecido"},
      {"invalid UTF-8", prioridade, "{\"codigo\": \"\xff\"}", "UTF-8"},
      {"no Windows-1252 form", prioridade, R"({"codigo": "P9", "descricao": ")" + dezMega + "\u65e5\"}",
       "prioridade.descricao: caractere sem forma"},
      {"dataset: unknown kind", carga, Conjunto(R"({"ordem": []})"), "tipo de registro desconhecido: ordem"},
      {"dataset: huge unknown kind", carga, Conjunto(R"({")" + mega + R"(": []})"), "tipo de registro desconhecido: xxx"},
      {"dataset: no format", carga, R"({"registros": {}})", "formato"},
      {"dataset: bad last record", carga,
       Conjunto(R"({"prioridade": [{"codigo": "N1"}, {"codigo": "N2", "prioridadeBase": -1}]})"),
       "registros.prioridade[1]: prioridade.prioridadeBase"},
      {"dataset: key twice", carga, Conjunto(R"({"servico": [{"ponteiro": 9}, {"ponteiro": 9}]})"), "registros.servico[1]"},
      // A name given twice: the parser alone would keep one of the two silently.
      {"dataset: kind twice", carga, Conjunto(R"({"prioridade": [], "prioridade": [{"codigo": "N"}]})"),
       "registros: membro repetido: prioridade"},
      {"dataset: registros twice", carga, Conjunto(R"({"servico": [{"codigo": "N"}]}, "registros": {})"),
       "conjunto de dados: membro repetido: registros"},
      {"dataset: member twice", carga, Conjunto(R"({"servico": [{}, {"codigo": "N", "codigo": "M"}]})"),
       "registros.servico[1]: membro repetido: codigo"},
      {"dataset: a record's fault after the document's", carga, R"({"registros": {"servico": [{"x": 1}]}})", "formato"},
      {"dataset: faults in the kinds' order", carga,
       Conjunto(R"({"prioridade": [{"y": 1}], "servico": [{"x": 1}]})"), "registros.servico[0]"},
      {"large object, members differing in case", prioridade, largo, "registro: membro repetido: M7"},
      {"members differing in case", prioridade, R"({"codigo": "P9", "Codigo": "P8"})", "registro: membro repetido: Codigo"},
      {"bad option", {"alertas", "agendar", "EXEMPLO", "--intervalo", "-5"}, "", "intervalo"},
      {"password on the command line", {"empresa", "criar", "PG", "--motor", "postgresql", "--conexao",
                                         "host=/nada password=x"}, "", "a senha não vai na linha de comando"},
      {"postgresql without a server", {"empresa", "criar", "PG", "--motor", "postgres"}, "", "pede --conexao"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    const Resultado r = host.Roda(c.args, c.entrada);
    EXPECT_EQ(r.saida, 2) << r.out;
    EXPECT_NE(r.err.find(c.erro), std::string::npos) << r.err.substr(0, 200);
    EXPECT_LT(r.err.size(), 300u) << "a message echoes what it names, cut to a readable length";
  }

  // A 10 MB text is an ordinary record.
  const Resultado grande = host.Roda(prioridade, R"({"codigo": "P9", "descricao": ")" + dezMega + "\"}");
  EXPECT_EQ(grande.saida, 0) << grande.err;
  EXPECT_NE(grande.out.find(dezMega), std::string::npos);

  // A record the company already holds stops the load after it began: all or nothing.
  const Resultado duplicado = host.Roda(carga, Conjunto(R"({"servico": [{"codigo": "N"}, {"ponteiro": 1}]})"));
  EXPECT_EQ(duplicado.saida, 3);
  EXPECT_NE(duplicado.err.find("registros.servico[1]: a chave já existe"), std::string::npos) << duplicado.err;

  EXPECT_EQ(host.Exporta("EXEMPLO"), antes);
}

TEST_P(HostEnginesTest, ExportedDatasetLoadsBackAsTheSameDataset) {
  host.CriaExemplo();
  ASSERT_EQ(host.Roda({kAgora, "alertas", "executar", "EXEMPLO"}).saida, 0);  // send times to carry over
  const fs::path arquivo = host.Dir() / "exportado.json";
  ASSERT_EQ(host.Roda({"exportar", "EXEMPLO", arquivo.string()}).saida, 0);
  const std::string exportado = Le(arquivo);
  // The clock runs on from --agora, so the run's send time is a moment after it.
  EXPECT_NE(exportado.find("\"dmaHmsUltimoEnvio\":\"2026-12-07T08:0"), std::string::npos);

  ASSERT_EQ(host.Roda(host.Criar("COPIA")).saida, 0);
  const Resultado r = host.Roda({"carregar", "COPIA", arquivo.string()});
  ASSERT_EQ(r.saida, 0) << r.err;
  EXPECT_NE(r.out.find("170 registros carregados"), std::string::npos) << r.out;
  EXPECT_EQ(host.Exporta("COPIA"), exportado);
}

INSTANTIATE_TEST_SUITE_P(Engines, HostEnginesTest, testing::Values("sqlite", "postgresql"));

TEST_F(HostTest, RecordsWithoutKeyTakeKeysNoNamedRecordUses) {
  ASSERT_EQ(host.Roda({"empresa", "criar", "NOVA", "--dados", (host.Dir() / "NOVA").string()}).saida, 0);
  const Resultado r =
      host.Roda({"carregar", "NOVA", "-"}, Conjunto(R"({"prioridade": [{"codigo": "A"}, {"posicao": 1, "codigo": "B"}]})"));
  ASSERT_EQ(r.saida, 0) << r.err;
  const std::string exportado = host.Exporta("NOVA");
  EXPECT_NE(exportado.find(R"({"posicao":1,"codigo":"B")"), std::string::npos) << exportado;
  EXPECT_NE(exportado.find(R"({"posicao":2,"codigo":"A")"), std::string::npos) << exportado;
}

TEST_F(HostTest, OnlyCreationMakesACompanyDatabaseAndReadingNeedsNoWriteAccess) {
  const fs::path nova = host.Dir() / "NOVA";
  ASSERT_EQ(host.Roda({"empresa", "criar", "NOVA", "--dados", nova.string()}).saida, 0);
  const fs::path banco = nova / "NOVA.db";
  for (const bool estrangeiro : {false, true}) {
    for (const char* lado : {"", "-wal", "-shm"}) fs::remove(banco.string() + lado);
    Grava(banco, "");  // a copy that failed, say
    if (estrangeiro) BancoEstrangeiro(banco);
    const std::string conteudo = Le(banco);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"onde", "NOVA"}, {"exportar", "NOVA"}, {"verificar", "NOVA", "prioridade"},
          {"carregar", "NOVA", "-"}, {"alertas", "executar", "NOVA"}}) {
      SCOPED_TRACE((estrangeiro ? "foreign: " : "empty: ") + args[0]);
      const Resultado r = host.Roda(args, args[0] == "carregar" ? Conjunto("{}") : "{}");
      EXPECT_EQ(r.saida, 3) << r.out;
      EXPECT_NE(r.err.find(banco.string() + (estrangeiro ? " não é o banco de uma empresa" : " está vazio")),
                std::string::npos) << r.err;
      EXPECT_EQ(Le(banco), conteudo);
    }
  }

  // A company whose folder and file nobody may write (root may, so it runs as nobody).
  const fs::path dados = host.CriaExemplo();
  const std::string antes = host.Exporta("EXEMPLO");
  for (const char* lado : {"-wal", "-shm"}) fs::remove(dados / ("EXEMPLO.db" + std::string(lado)));
  using fs::perms;
  const perms leitura = perms::owner_read | perms::group_read | perms::others_read;
  const perms pasta = leitura | perms::owner_exec | perms::group_exec | perms::others_exec;
  fs::permissions(dados / "EXEMPLO.db", leitura);
  fs::permissions(dados, pasta);
  if (geteuid() == 0) {
    if (!fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "root needs setpriv to run as nobody";
    fs::permissions(host.Dir(), pasta | perms::owner_write);
    host.Prefixo({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  }
  EXPECT_EQ(host.Exporta("EXEMPLO"), antes);
  Resultado r = host.Roda({"verificar", "EXEMPLO", "prioridade"}, R"({"codigo": "P9", "descricao": "Parada"})");
  EXPECT_EQ(r.saida, 0) << r.err;
  r = host.Roda({"onde", "EXEMPLO"});
  EXPECT_EQ(r.saida, 0) << r.err;
  r = host.Roda({"carregar", "EXEMPLO", "-"}, Conjunto(R"({"servico": [{"codigo": "N"}]})"));
  EXPECT_EQ(r.saida, 3) << "the company really cannot be written";
  fs::permissions(dados, perms::owner_all);
}

TEST_F(HostTest, SchedulerRunsUntilSigtermAndStopsBetweenRuns) {
  const fs::path dados = host.CriaExemplo();
  const pid_t pid = host.Inicia({kAgora, "alertas", "agendar", "EXEMPLO", "--intervalo", "20"});
  ASSERT_GT(pid, 0);
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (Le(host.Dir() / "saida").find("execução 3:") == std::string::npos && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  kill(pid, SIGTERM);
  const Resultado r = host.Espera(pid);
  EXPECT_EQ(r.saida, 0) << r.err;
  EXPECT_NE(r.err.find("SIGTERM recebido"), std::string::npos) << r.err;
  EXPECT_EQ(zqteste::LePasta(dados / "saida").size(), 5u) << "later runs find the alerts sent";
  // Every run that started reported to its end.
  std::size_t inicios = 0, fins = 0;
  for (std::size_t p = 0; (p = r.out.find("alertas de EXEMPLO em", p)) != std::string::npos; ++p) ++inicios;
  for (std::size_t p = 0; (p = r.out.find("  log (", p)) != std::string::npos; ++p) ++fins;
  EXPECT_GE(inicios, 3u);
  EXPECT_EQ(inicios, fins) << r.out;
}

// ---- Alert runs over SMTP ------------------------------------------------------------------

// The report counts the mails the server took, with each one's recipient and subject: none
// while it is down.
TEST_F(HostTest, SmtpRunReportsOnlyDeliveredMails) {
  host.CriaExemplo();
  auto servidor = [&](int porta) {
    EXPECT_EQ(host.Roda({"empresa", "email", "EXEMPLO", "--remetente", "manutencao@exemplo.com.br", "--servidor",
                         "127.0.0.1", "--porta", std::to_string(porta)}).saida, 0);
    return "e-mails entregues a 127.0.0.1:" + std::to_string(porta) + ": ";
  };
  const std::string fora = servidor(zqteste::PortaLivre());
  Resultado r = host.Roda({kAgora, "alertas", "executar", "EXEMPLO"});
  EXPECT_EQ(r.saida, 3);
  EXPECT_NE(r.out.find(fora + "0\n  log"), std::string::npos) << r.out;

  if (!zqteste::ServidorSmtp::Python()) GTEST_SKIP() << "python3 -m aiosmtpd unavailable (Debian package python3-aiosmtpd)";
  zqteste::ServidorSmtp smtp(host.Dir());
  const std::string dentro = servidor(smtp.Porta());
  r = host.Roda({kAgora, "alertas", "executar", "EXEMPLO"});
  EXPECT_EQ(r.saida, 0) << r.out;
  EXPECT_NE(r.out.find(dentro + "5\n    para "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n    para maria.oliveira@exemplo.com.br  \"Alerta de Manutenção - "), std::string::npos);
  EXPECT_EQ(smtp.Recebidos().size(), 5u);
}

}  // namespace
