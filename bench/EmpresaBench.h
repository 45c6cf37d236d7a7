// EmpresaBench: a throwaway company for one benchmark. It is registered as "BENCH_<prefixo>_<motor>"
// on the given engine ("memoria" or "sqlite") with its data in a new temporary folder, and removed,
// folder and all, when it goes out of scope. A benchmark derives its own company from it and fills
// it through conexao->Motor(). Aborts when the company cannot be made: a benchmark has no one to
// report to.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "platform/storage/ZQEmpresas.h"

struct EmpresaBench {
  std::string nome;
  std::filesystem::path dir;
  std::shared_ptr<CZQConexaoEmpresa> conexao;

  EmpresaBench(const std::string& prefixo, const std::string& motor)
      : nome("BENCH_" + prefixo + "_" + motor),
        dir(std::filesystem::temp_directory_path() /
            ("zqmm-bench-" + prefixo + "-" + motor + "-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir);
    const zq::EmpresaConfig config{motor, (dir / "empresa.db").string(), dir.string()};
    if (!CZQEmpresas::Registra(nome, config).ok()) std::abort();
    conexao = CZQEmpresas::Abre(nome);
    if (!conexao) std::abort();
  }
  ~EmpresaBench() {
    conexao.reset();
    CZQEmpresas::Remove(nome);
    std::filesystem::remove_all(dir);
  }
  EmpresaBench(const EmpresaBench&) = delete;
  EmpresaBench& operator=(const EmpresaBench&) = delete;
};
