#include "platform/storage/ZQEmpresas.h"

#include <map>
#include <mutex>

#include "platform/types/Cp1252.h"
#include "platform/storage/MemoryEngine.h"
#include "platform/storage/SqliteEngine.h"
#include "platform/system/ZQRegistro.h"
#include "platform/access/ZQResultados.h"

namespace {

std::string Chave(std::string nome) {
  for (char& c : nome)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return nome;
}

std::string ComBarra(std::string dir) {
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
  return dir;
}

struct Estado {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<CZQConexaoEmpresa>> empresas;
  std::map<std::string, CZQEmpresas::Fabrica> motores{
      {"memoria",
       [](const zq::EmpresaConfig&, zq::Status*) -> std::unique_ptr<zq::StorageEngine> {
         return std::make_unique<zq::MemoryEngine>();
       }},
      {"sqlite",
       [](const zq::EmpresaConfig& c, zq::Status* st) -> std::unique_ptr<zq::StorageEngine> {
         using Modo = zq::SqliteEngine::Modo;
         const Modo modo = c.abertura == zq::AberturaBanco::kCria        ? Modo::kCria
                           : c.abertura == zq::AberturaBanco::kExistente ? Modo::kExistente
                                                                        : Modo::kLeitura;
         return zq::SqliteEngine::Open(c.banco, st, modo);
       }},
  };
};

Estado& Global() {
  static Estado e;
  return e;
}

std::shared_ptr<CZQConexaoEmpresa> Cria(Estado& e, const std::string& nome,
                                        const zq::EmpresaConfig& config, zq::Status* st) {
  auto it = e.motores.find(config.motor);
  if (it == e.motores.end()) {
    *st = {ZQ_E_EMPRESA_DESCONHECIDA, "Motor de dados desconhecido: " + config.motor};
    return nullptr;
  }
  *st = {};
  auto motor = it->second(config, st);
  if (!motor) {
    if (st->ok()) *st = {ZQ_E_MOTOR, "Não foi possível abrir "_cp + config.banco};
    return nullptr;
  }
  auto conexao = std::make_shared<CZQConexaoEmpresa>(nome, ComBarra(config.dados), std::move(motor));
  e.empresas[Chave(nome)] = conexao;
  return conexao;
}

std::optional<zq::EmpresaConfig> DoRegistro(const std::string& nome) {
  const std::string chave = std::string(CZQRegistro::kRaiz) + "\\Empresas\\" + nome;
  auto motor = CZQRegistro::Le(chave, "Motor");
  if (!motor) return std::nullopt;
  zq::EmpresaConfig c;
  c.motor = *motor;
  c.banco = CZQRegistro::Le(chave, "Banco").value_or("");
  c.dados = CZQRegistro::Le(chave, "Dados").value_or("");
  return c;
}

}  // namespace

zq::Status CZQEmpresas::Registra(const std::string& nome, const zq::EmpresaConfig& config) {
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  zq::Status st;
  Cria(e, nome, config, &st);
  return st;
}

std::shared_ptr<CZQConexaoEmpresa> CZQEmpresas::Registra(const std::string& nome,
                                                         std::unique_ptr<zq::StorageEngine> motor,
                                                         const std::string& dados) {
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  auto conexao = std::make_shared<CZQConexaoEmpresa>(nome, ComBarra(dados), std::move(motor));
  e.empresas[Chave(nome)] = conexao;
  return conexao;
}

std::shared_ptr<CZQConexaoEmpresa> CZQEmpresas::Abre(const std::string& nome, zq::Status* status,
                                                     zq::AberturaBanco abertura) {
  zq::Status local;
  zq::Status* st = status ? status : &local;
  *st = {};
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  if (auto it = e.empresas.find(Chave(nome)); it != e.empresas.end()) return it->second;
  auto config = nome.empty() ? std::nullopt : DoRegistro(nome);
  if (!config) {
    *st = {ZQ_E_EMPRESA_DESCONHECIDA, "Empresa não configurada: "_cp + nome};
    return nullptr;
  }
  config->abertura = abertura;
  return Cria(e, nome, *config, st);
}

std::string CZQEmpresas::DiretorioDados(const std::string& nome) {
  if (nome.empty()) return {};
  {
    Estado& e = Global();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (auto it = e.empresas.find(Chave(nome)); it != e.empresas.end())
      return it->second->GetDiretorioDados();
  }
  auto config = DoRegistro(nome);
  return config ? ComBarra(config->dados) : std::string();
}

void CZQEmpresas::Remove(const std::string& nome) {
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  e.empresas.erase(Chave(nome));
}

void CZQEmpresas::RemoveTodas() {
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  e.empresas.clear();
}

void CZQEmpresas::RegistraMotor(const std::string& motor, Fabrica fabrica) {
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  e.motores[motor] = std::move(fabrica);
}
