// EmpresaBench: a throwaway company for one benchmark. It is registered as "BENCH_<prefixo>_<motor>"
// on the given engine ("memoria", "sqlite", or "postgresql": a schema on a throwaway server
// started on first use) with its data in a new temporary folder, and removed, folder, schema and
// all, when it goes out of scope. A benchmark derives its own company from it and fills
// it through conexao->Motor(). Aborts when the company cannot be made: a benchmark has no one to
// report to.
#pragma once

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "platform/storage/ZQEmpresas.h"
#include "tests/support/ClusterPostgres.h"

struct EmpresaBench {
  std::string nome;
  std::filesystem::path dir;
  std::shared_ptr<CZQConexaoEmpresa> conexao;
  std::string servidor;  // the PostgreSQL connection string, "" on the other engines

  EmpresaBench(const std::string& prefixo, const std::string& motor)
      : nome("BENCH_" + prefixo + "_" + motor),
        dir(std::filesystem::temp_directory_path() /
            ("zqmm-bench-" + prefixo + "-" + motor + "-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir);
    zq::EmpresaConfig config{motor, (dir / "empresa.db").string(), dir.string()};
    if (motor == "postgresql") {
      std::string motivo;
      config.banco = servidor = zqteste::ClusterPostgres::Conexao(&motivo);
      if (servidor.empty()) {
        std::fprintf(stderr, "sem PostgreSQL: %s\n", motivo.c_str());
        std::abort();
      }
    }
    if (!CZQEmpresas::Registra(nome, config).ok()) std::abort();
    conexao = CZQEmpresas::Abre(nome);
    if (!conexao) std::abort();
  }
  ~EmpresaBench() {
    conexao.reset();
    CZQEmpresas::Remove(nome);
    if (!servidor.empty()) {
      std::string schema = nome;
      for (char& c : schema) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      zqteste::ClusterPostgres::Executa(servidor, "DROP SCHEMA IF EXISTS \"" + schema + "\" CASCADE");
    }
    std::filesystem::remove_all(dir);
  }
  EmpresaBench(const EmpresaBench&) = delete;
  EmpresaBench& operator=(const EmpresaBench&) = delete;
};
