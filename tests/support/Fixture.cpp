#include "tests/support/Fixture.h"

#include <atomic>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <stdlib.h>
#include <unistd.h>

#include "platform/types/String.h"
#include "platform/storage/PostgresEngine.h"
#include "platform/system/ZQRegistro.h"
#include "tests/support/ClusterPostgres.h"

namespace zqteste {

std::filesystem::path DiretorioTemporario(const std::string& prefixo) {
  std::string modelo = (std::filesystem::temp_directory_path() / (prefixo + "-XXXXXX")).string();
  if (!mkdtemp(modelo.data())) throw std::runtime_error("mkdtemp");
  return modelo;
}

EmpresaTeste::EmpresaTeste(const std::string& motor) {
  static std::atomic<int> contador{0};
  m_nome = "TESTE" + std::to_string(::getpid()) + "_" + std::to_string(++contador);
  m_dir = DiretorioTemporario("zqmm-" + m_nome);
  CZQRegistro::Define(CZQRegistro::kRaiz, "Mensagens", ZQ_MENSAGENS_DIR);
  if (motor == "postgresql") m_postgres = ClusterPostgres::Conexao();
  // Without a server the test skips itself in SetUp (ZQ_EXIGE_POSTGRES), after a fixture member
  // was built: that one gets a company in memory.
  const bool semServidor = motor == "postgresql" && m_postgres.empty();
  const zq::Status st = CZQEmpresas::Registra(
      m_nome, {.motor = semServidor ? "memoria" : motor,
               .banco = m_postgres.empty() ? (m_dir / "empresa.db").string() : m_postgres,
               .dados = m_dir.string()});
  if (!st.ok()) throw std::runtime_error("empresa de teste: " + st.message);
  m_conexao = CZQEmpresas::Abre(m_nome);
}

EmpresaTeste::~EmpresaTeste() {
  m_conexao.reset();
  CZQEmpresas::Remove(m_nome);
  if (!m_postgres.empty())
    ClusterPostgres::Executa(m_postgres, "DROP SCHEMA \"" + zq::PostgresEngine::SchemaName(m_nome) + "\" CASCADE");
  std::error_code ec;
  std::filesystem::remove_all(m_dir, ec);
}

std::string EmpresaTeste::LogErros() const {
  const std::time_t agora = std::time(nullptr);
  std::tm tm{};
  localtime_r(&agora, &tm);
  const std::string nome = StringPrintf("ZQProfilerErros_Base_%04d%02d.log", tm.tm_year + 1900, tm.tm_mon + 1);
  std::ostringstream out;
  out << std::ifstream(m_dir / nome, std::ios::binary).rdbuf();
  return out.str();
}

std::string Aviso(const CZQDadosDF_Erro& erro) {
  switch (erro.GetTipoErro()) {
    case ZQ_TIPO_ERRO_NENHUM:
      return "";
    case ZQ_TIPO_ERRO_AVISO:
      return std::to_string(erro.GetModulo()) + "/" + std::to_string(erro.GetCodigoErro()) + "/" +
             std::to_string(erro.GetCodigoCampo());
    default:
      return StringPrintf("hr=%#X/%ld %s", static_cast<unsigned>(erro.GetHR()), erro.GetCodigoCampo(),
                          erro.GetMensagem().GetString());
  }
}

}  // namespace zqteste
