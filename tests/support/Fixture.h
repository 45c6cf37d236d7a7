// Test fixtures: a company with just the records a scenario needs, on any engine, and short
// printers so an assertion fits on a line.
#pragma once

#include <filesystem>
#include <string>

#include "platform/storage/FaultInjector.h"
#include "platform/records/ZQDadosDF_Erro.h"
#include "platform/storage/ZQEmpresas.h"

namespace zqteste {

// A company registered under a unique name, with its own temporary data directory (removed at
// the end). `motor` is "memoria" or "sqlite" (a file in the data directory). The message files
// of the build are the registry's "Mensagens" folder.
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
    Grava(&registro);
    return registro;
  }

  // The text of this month's profiler error log of the company ("" when none was written).
  std::string LogErros() const;

 private:
  void Grava(TZQBaseParaDados* registro);

  std::string m_nome;
  std::filesystem::path m_dir;
  std::shared_ptr<CZQConexaoEmpresa> m_conexao;
};

// "28/162/0" for a warning (module/message/field), "hr=0x80F00003/1 texto" for a failure
// result with its field, "" for a clear record.
std::string Aviso(const CZQDadosDF_Erro& erro);

// A fresh temporary directory, removed by the caller.
std::filesystem::path DiretorioTemporario(const std::string& prefixo);

}  // namespace zqteste
