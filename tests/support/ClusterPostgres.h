// zqteste::ClusterPostgres: a throwaway PostgreSQL server for the tests: initdb into a temporary
// folder, a Unix socket in that folder and no TCP, one database, stopped and removed at the end.
// As root, the server runs as the `postgres` system user and the tests connect as it.
//
// ctest starts one server for its whole run (the fixture `postgres_inicia`, which writes its
// connection string into kArquivoCompartilhado) because it runs every test in a process of its
// own; a test binary run by hand starts its own on first use and stops it when it exits.
#pragma once

#include <string>

namespace zqteste {

class ClusterPostgres {
 public:
  // The connection string of the server the tests share, started on first use. "" when there is
  // none, with the reason in *motivo.
  static std::string Conexao(std::string* motivo = nullptr);

  // Starts a server; its connection string and folder, or false with the reason in *erro.
  static bool Inicia(std::string* conexao, std::string* pasta, std::string* erro);
  // Stops the server of the folder and removes the folder.
  static void Para(const std::string& pasta);

  // Runs SQL on the server as the test user; "" or libpq's error text.
  static std::string Executa(const std::string& conexao, const std::string& sql);

  // CI=true: a missing server is a failure there, never a skip.
  static bool EmCi();
};

// Skips a PostgreSQL instantiation on a machine without PostgreSQL; under CI=true fails it instead.
#define ZQ_EXIGE_POSTGRES(motor)                                                                  \
  do {                                                                                            \
    std::string motivo_;                                                                          \
    if (std::string(motor) == "postgresql" && zqteste::ClusterPostgres::Conexao(&motivo_).empty()) { \
      if (zqteste::ClusterPostgres::EmCi()) FAIL() << "sem PostgreSQL em CI: " << motivo_;        \
      GTEST_SKIP() << "sem PostgreSQL: " << motivo_;                                              \
    }                                                                                             \
  } while (0)

}  // namespace zqteste
