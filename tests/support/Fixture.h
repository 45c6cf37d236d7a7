// Test fixtures: a company with just the records a scenario needs, and short printers for assertions.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/storage/FaultInjector.h"
#include "platform/records/ZQDadosDF_Erro.h"
#include "platform/storage/ZQEmpresas.h"
#include "tests/support/ClusterPostgres.h"

namespace zqteste {

// A company under a unique name with its own temporary data directory (removed at the end), on the
// engine "memoria", "sqlite" or "postgresql" (a schema of the tests' server, dropped at the end; see
// ZQ_EXIGE_POSTGRES); the build's message files are the registry's "Mensagens" folder.
class EmpresaTeste {
 public:
  explicit EmpresaTeste(const std::string& motor = "memoria");
  ~EmpresaTeste();
  EmpresaTeste(const EmpresaTeste&) = delete;
  EmpresaTeste& operator=(const EmpresaTeste&) = delete;

  const std::string& Nome() const { return m_nome; }
  const std::filesystem::path& Diretorio() const { return m_dir; }
  zq::StorageEngine& Motor() { return m_conexao->Motor(); }
  zq::FaultInjector& Falhas() { return m_conexao->Falhas(); }

  // Stores the record (key 0 takes the next key) and returns it as stored.
  template <class R>
  R Adiciona(R registro) {
    const zq::Status st = Motor().Insert(&registro);
    EXPECT_TRUE(st.ok()) << st.message;
    return registro;
  }

  // The text of this month's profiler error log of the company ("" when none was written).
  std::string LogErros() const;

 private:
  std::string m_nome;
  std::filesystem::path m_dir;
  std::string m_postgres;  // the server's connection string, on PostgreSQL
  std::shared_ptr<CZQConexaoEmpresa> m_conexao;
};

// "28/162/0" for a warning (module/message/field), "hr=0x80F00003/1 texto" for a failure, "" when clear.
std::string Aviso(const CZQDadosDF_Erro& erro);

// A fresh temporary directory, removed by the caller.
std::filesystem::path DiretorioTemporario(const std::string& prefixo);

}  // namespace zqteste
