// CZQEmpresas: the process-wide registry of companies. A company name maps to one connection:
// its storage engine, its fault injector and its data directory. Routines initialised for a
// company share that connection.
//
// A company is known either because a host or test registered it (Registra) or because the
// registry file has a section "SOFTWARE\Wow6432Node\ZQ Sistemas\Empresas\<name>" with the values
// Motor (memoria | sqlite | postgres), Banco (file or connection string) and Dados (data
// directory); see ZQRegistro.h. Names compare without regard to ASCII case. A company opened
// from the registry file must have its database already (only Registra creates one, as its
// config's abertura says).
//
// Thread-safe. Connections live until Remove/RemoveTodas or the end of the process, and are
// shared_ptr-owned so a routine that holds one keeps it alive.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/storage/FaultInjector.h"
#include "platform/storage/StorageEngine.h"

namespace zq {

// How a company's database is opened. Only a company being created gets new tables; the others
// must find theirs, so an empty or foreign file is an error rather than a company without records.
enum class AberturaBanco {
  kCria,       // creates the database (a new company)
  kExistente,  // reads and writes a database that exists
  kLeitura,    // reads a database that exists, never writes it (a read-only file or folder)
};

struct EmpresaConfig {
  std::string motor = "memoria";  // memoria | sqlite | postgres
  std::string banco;              // SQLite file, or PostgreSQL connection string
  std::string dados;              // data directory ("" = none)
  AberturaBanco abertura = AberturaBanco::kCria;
};

}  // namespace zq

class CZQConexaoEmpresa {
 public:
  CZQConexaoEmpresa(std::string nome, std::string dados, std::unique_ptr<zq::StorageEngine> motor)
      : m_nome(std::move(nome)), m_dados(std::move(dados)), m_motor(std::move(motor)) {}

  const std::string& GetNome() const { return m_nome; }
  // The company's data directory with a trailing '/', or "" when it has none.
  const std::string& GetDiretorioDados() const { return m_dados; }
  zq::StorageEngine& Motor() { return *m_motor; }
  zq::FaultInjector& Falhas() { return m_falhas; }

 private:
  std::string m_nome;
  std::string m_dados;
  std::unique_ptr<zq::StorageEngine> m_motor;
  zq::FaultInjector m_falhas;
};

class CZQEmpresas {
 public:
  using Fabrica = std::function<std::unique_ptr<zq::StorageEngine>(const zq::EmpresaConfig&, zq::Status*)>;

  // Registers (or replaces) a company with an engine built from config. Fails when the engine
  // cannot be opened.
  static zq::Status Registra(const std::string& nome, const zq::EmpresaConfig& config);
  // Registers (or replaces) a company over an engine the caller built.
  static std::shared_ptr<CZQConexaoEmpresa> Registra(const std::string& nome,
                                                     std::unique_ptr<zq::StorageEngine> motor,
                                                     const std::string& dados = "");
  // The company's connection, opening it from the registry file on first use, as `abertura`
  // says (a connection already open is returned as it is). nullptr with *status set when the
  // company is unknown or its engine cannot be opened.
  static std::shared_ptr<CZQConexaoEmpresa> Abre(const std::string& nome, zq::Status* status = nullptr,
                                                 zq::AberturaBanco abertura = zq::AberturaBanco::kExistente);
  // The data directory of a company already known or configured, "" otherwise.
  static std::string DiretorioDados(const std::string& nome);
  static void Remove(const std::string& nome);
  static void RemoveTodas();

  // Engines by the name given in Motor; "memoria" and "sqlite" are built in.
  static void RegistraMotor(const std::string& motor, Fabrica fabrica);
};
