#include "tests/support/ClusterPostgres.h"

#include <libpq-fe.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

namespace zqteste {

namespace {

namespace fs = std::filesystem;

#ifdef ZQ_TEST_BINARY_DIR
const fs::path kArquivoCompartilhado = fs::path(ZQ_TEST_BINARY_DIR) / "cluster-postgres.txt";
#else
const fs::path kArquivoCompartilhado;
#endif

// The newest server installed, as Debian lays them out.
fs::path Binarios() {
  std::vector<fs::path> achados;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator("/usr/lib/postgresql", ec))
    if (fs::exists(e.path() / "bin" / "initdb")) achados.push_back(e.path() / "bin");
  std::sort(achados.begin(), achados.end(), [](const fs::path& a, const fs::path& b) {
    return std::atoi(a.parent_path().filename().c_str()) < std::atoi(b.parent_path().filename().c_str());
  });
  return achados.empty() ? fs::path() : achados.back();
}

bool Root() { return ::geteuid() == 0; }

// Runs a server program, as `postgres` when we are root (the server refuses to run as root).
bool Roda(const fs::path& bin, const std::string& args, const fs::path& log) {
  const std::string linha = (Root() ? "runuser -u postgres -- " : "") + (bin).string() + " " + args + " >>" +
                            log.string() + " 2>&1";
  return std::system(linha.c_str()) == 0;
}

std::string Ultimas(const fs::path& log) {
  std::ifstream in(log);
  std::string linha, ultimas;
  while (std::getline(in, linha)) ultimas = ultimas.substr(ultimas.size() > 600 ? ultimas.size() - 600 : 0) + linha + "\n";
  return ultimas;
}

struct Proprio {
  std::mutex mutex;
  bool tentou = false;
  std::string conexao, pasta, motivo;
  ~Proprio() {
    if (!pasta.empty()) ClusterPostgres::Para(pasta);
  }
};

}  // namespace

bool ClusterPostgres::EmCi() {
  const char* ci = std::getenv("CI");
  return ci && std::string(ci) == "true";
}

std::string ClusterPostgres::Executa(const std::string& conexao, const std::string& sql) {
  PGconn* c = PQconnectdb(conexao.c_str());
  std::string erro;
  if (PQstatus(c) != CONNECTION_OK) {
    erro = PQerrorMessage(c);
  } else {
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    PGresult* r = PQexec(c, sql.c_str());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) erro = PQresultErrorMessage(r);
    PQclear(r);
  }
  PQfinish(c);
  return erro;
}

bool ClusterPostgres::Inicia(std::string* conexao, std::string* pasta, std::string* erro) {
  const fs::path bin = Binarios();
  if (bin.empty()) {
    *erro = "nenhum initdb em /usr/lib/postgresql/*/bin (pacote Debian postgresql)";
    return false;
  }
  if (Root() && !getpwnam("postgres")) {
    *erro = "como root o servidor roda como o usuário postgres, que não existe";
    return false;
  }
  std::string modelo = (fs::temp_directory_path() / "zqmm-pg-XXXXXX").string();
  if (!mkdtemp(modelo.data())) {
    *erro = "mkdtemp falhou";
    return false;
  }
  const fs::path dir = modelo, dados = dir / "dados", log = dir / "servidor.log";
  *pasta = dir.string();
  if (Root()) {
    const passwd* pw = getpwnam("postgres");
    if (::chown(dir.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
      *erro = "chown da pasta do servidor falhou";
      return false;
    }
  }
  const std::string usuario = Root() ? "postgres" : (getpwuid(::geteuid()) ? getpwuid(::geteuid())->pw_name : "");
  // Durability means nothing for a server thrown away at the end.
  if (!Roda(bin / "initdb", "-D " + dados.string() + " -U " + usuario + " -A trust -E UTF8 --locale=C --no-sync", log) ||
      !Roda(bin / "pg_ctl",
            "start -w -t 30 -D " + dados.string() + " -l " + (dir / "postgres.log").string() + " -o \"-k " + dir.string() +
                " -c listen_addresses='' -c fsync=off -c synchronous_commit=off -c full_page_writes=off\"",
            log)) {
    *erro = "o servidor não iniciou:\n" + Ultimas(log) + Ultimas(dir / "postgres.log");
    return false;
  }
  const std::string base = "host=" + dir.string() + " user=" + usuario + " dbname=";
  if (std::string e = Executa(base + "postgres", "CREATE DATABASE zqteste"); !e.empty()) {
    *erro = "CREATE DATABASE falhou: " + e;
    return false;
  }
  *conexao = base + "zqteste";
  return true;
}

void ClusterPostgres::Para(const std::string& pasta) {
  const fs::path bin = Binarios(), dir = pasta;
  if (!bin.empty() && fs::exists(dir / "dados"))
    Roda(bin / "pg_ctl", "stop -w -m immediate -D " + (dir / "dados").string(), dir / "servidor.log");
  std::error_code ec;
  fs::remove_all(dir, ec);
}

std::string ClusterPostgres::Conexao(std::string* motivo) {
  static Proprio proprio;
  std::lock_guard<std::mutex> lock(proprio.mutex);
  if (!proprio.tentou) {
    proprio.tentou = true;
    // The server ctest's fixture started, when it answers; otherwise one of our own.
    std::ifstream compartilhado(kArquivoCompartilhado);
    std::string conexao;
    if (compartilhado && std::getline(compartilhado, conexao) && !conexao.empty() && Executa(conexao, "SELECT 1").empty()) {
      proprio.conexao = conexao;
    } else {
      std::string pasta;
      if (Inicia(&proprio.conexao, &pasta, &proprio.motivo)) {
        proprio.pasta = pasta;
      } else {
        proprio.conexao.clear();
        if (!pasta.empty()) Para(pasta);
      }
    }
  }
  if (motivo) *motivo = proprio.motivo;
  return proprio.conexao;
}

}  // namespace zqteste
