// zqteste::Host: the zqmm program run as a process in a sandbox of its own (a registry file, HOME
// and data folders in a temporary folder, removed at the end), as a person or a script runs it.
#pragma once

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/Fixture.h"

extern char** environ;

namespace zqteste {

namespace fs = std::filesystem;

#ifdef ZQMM_BINARIO
constexpr const char* kBinario = ZQMM_BINARIO;
#else
constexpr const char* kBinario = "";
#endif

inline const fs::path kExemplo = fs::path(ZQ_SOURCE_DIR) / "data" / "exemplo";

inline std::string Le(const fs::path& arquivo) {
  std::ifstream in(arquivo, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void Grava(const fs::path& arquivo, const std::string& texto) {
  std::ofstream(arquivo, std::ios::binary) << texto;
}

struct Resultado {
  int saida = -1;
  std::string out, err;
};

// A sandbox for the host: a registry file and HOME of its own, removed at the end.
class Host {
 public:
  Host() : m_dir(zqteste::DiretorioTemporario("zqmm-host")) {
    for (char** e = environ; *e; ++e) {
      const std::string v = *e;
      if (v.rfind("ZQ_REGISTRO=", 0) && v.rfind("HOME=", 0) && v.rfind("XDG_", 0)) m_ambiente.push_back(v);
    }
    m_ambiente.push_back("ZQ_REGISTRO=" + (m_dir / "registro.ini").string());
    m_ambiente.push_back("HOME=" + m_dir.string());
  }
  ~Host() {
    if (!m_postgres.empty()) ClusterPostgres::Executa(ClusterPostgres::Conexao(), "DROP DATABASE " + m_banco + " WITH (FORCE)");
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }

  // The engine of the companies Criar makes: "sqlite" (zqmm's default) or "postgresql", on a
  // database of this host's own in the tests' server (company names are schemas there, and other
  // test processes use the same names), dropped at the end. Call ZQ_EXIGE_POSTGRES first.
  void Motor(const std::string& motor) {
    if (motor != "postgresql" || !m_postgres.empty()) return;
    static int contador = 0;
    m_banco = "host_" + std::to_string(getpid()) + "_" + std::to_string(++contador);
    const std::string servidor = ClusterPostgres::Conexao();
    EXPECT_EQ(ClusterPostgres::Executa(servidor, "CREATE DATABASE " + m_banco), "");
    m_postgres = servidor.substr(0, servidor.rfind("dbname=")) + "dbname=" + m_banco;
  }
  // `empresa criar NOME`, its data in a folder of the sandbox, on the host's engine.
  std::vector<std::string> Criar(const std::string& nome) const {
    std::vector<std::string> args{"empresa", "criar", nome, "--dados", (m_dir / nome).string()};
    if (!m_postgres.empty()) args.insert(args.end(), {"--motor", "postgresql", "--conexao", m_postgres});
    return args;
  }

  const fs::path& Dir() const { return m_dir; }
  // Runs zqmm through a command that starts it (e.g. as another user).
  void Prefixo(std::vector<std::string> prefixo) { m_prefixo = std::move(prefixo); }

  // Starts zqmm with these arguments and `entrada` on standard input. Processes that run side by
  // side each name their own files: <arquivos>entrada, <arquivos>saida, <arquivos>erros.
  pid_t Inicia(const std::vector<std::string>& args, const std::string& entrada = "", const std::string& arquivos = "") {
    Grava(m_dir / (arquivos + "entrada"), entrada);
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    posix_spawn_file_actions_addopen(&acoes, 0, (m_dir / (arquivos + "entrada")).c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&acoes, 1, (m_dir / (arquivos + "saida")).c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&acoes, 2, (m_dir / (arquivos + "erros")).c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> todos = m_prefixo;
    todos.push_back(kBinario);
    todos.insert(todos.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (auto& a : todos) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : m_ambiente) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int erro = posix_spawn(&pid, argv[0], &acoes, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&acoes);
    return erro == 0 ? pid : -1;
  }

  // Waits for the process's end; with a limit, a process still running then is killed (exit
  // 128 + 9) and the test fails.
  Resultado Espera(pid_t pid, const std::string& arquivos = "",
                   std::chrono::milliseconds limite = std::chrono::milliseconds::zero()) {
    Resultado r;
    int status = 0;
    const auto fim = std::chrono::steady_clock::now() + limite;
    pid_t fimDe = pid > 0 ? waitpid(pid, &status, limite.count() ? WNOHANG : 0) : -1;
    while (fimDe == 0 && std::chrono::steady_clock::now() < fim) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      fimDe = waitpid(pid, &status, WNOHANG);
    }
    if (fimDe == 0) {
      ADD_FAILURE() << "zqmm " << arquivos << " still running after " << limite.count() << " ms";
      kill(pid, SIGKILL);
      fimDe = waitpid(pid, &status, 0);
    }
    if (fimDe == pid) r.saida = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = Le(m_dir / (arquivos + "saida"));
    r.err = Le(m_dir / (arquivos + "erros"));
    return r;
  }

  Resultado Roda(const std::vector<std::string>& args, const std::string& entrada = "") {
    return Espera(Inicia(args, entrada));
  }

  // The sample company under `nome` on engine `motor` ("" = the default), its mail going to the
  // outbox. Returns its data directory.
  fs::path CriaExemplo(const std::string& nome = "EXEMPLO", const std::string& motor = "") {
    const fs::path dados = m_dir / nome;
    if (!motor.empty()) Motor(motor);
    std::vector<std::string> criar = Criar(nome);
    criar.insert(criar.end(), {"--relatorios", (kExemplo / "relatorios").string()});
    EXPECT_EQ(Roda(criar).saida, 0);
    EXPECT_EQ(Roda({"empresa", "email", nome, "--remetente", "manutencao@exemplo.com.br"}).saida, 0);
    const Resultado r = Roda({"carregar", nome, (kExemplo / "exemplo.json").string()});
    EXPECT_EQ(r.saida, 0) << r.err;
    return dados;
  }

  std::string Exporta(const std::string& nome) {
    const Resultado r = Roda({"exportar", nome});
    EXPECT_EQ(r.saida, 0) << r.err;
    return r.out;
  }

 private:
  fs::path m_dir;
  std::string m_banco, m_postgres;  // on PostgreSQL: the host's database and its connection string
  std::vector<std::string> m_ambiente, m_prefixo;
};

}  // namespace zqteste
