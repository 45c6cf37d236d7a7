#include "platform/mail/ZQContaEmail.h"

#include <charconv>

#include "platform/system/ZQRegistro.h"

namespace {

std::string Aparado(std::string s) {
  const auto ini = s.find_first_not_of(" \t\r\n");
  if (ini == std::string::npos) return {};
  return s.substr(ini, s.find_last_not_of(" \t\r\n") - ini + 1);
}

}  // namespace

std::string CZQContaEmail::Chave(const std::string& empresa) {
  return std::string(CZQRegistro::kRaiz).append("\\Empresas\\").append(empresa).append("\\Email");
}

std::optional<CZQContaEmail> CZQContaEmail::Le(const std::string& empresa, const std::string& diretorioDados) {
  const std::string chave = Chave(empresa);
  auto valor = [&](const char* nome) { return Aparado(CZQRegistro::Le(chave, nome).value_or("")); };
  CZQContaEmail conta;
  conta.remetente = valor("Remetente");
  if (conta.remetente.empty()) return std::nullopt;
  conta.servidor = valor("Servidor");
  conta.tls = valor("TLS") == "1";
  conta.usuario = valor("Usuario");
  conta.senha = CZQRegistro::Le(chave, "Senha").value_or("");  // a password may hold blanks
  conta.porta = conta.tls ? 587 : 25;
  const std::string porta = valor("Porta");
  long n = 0;
  const auto [fim, ec] = std::from_chars(porta.data(), porta.data() + porta.size(), n);
  if (ec == std::errc() && fim == porta.data() + porta.size() && n >= 1 && n <= 65535) conta.porta = n;
  conta.saida = valor("Saida");
  if (conta.saida.empty() && !diretorioDados.empty()) {
    conta.saida = diretorioDados;
    if (conta.saida.back() != '/') conta.saida += '/';
    conta.saida += "saida/";
  }
  if (!conta.saida.empty() && conta.saida.back() != '/') conta.saida += '/';
  return conta;
}
