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
  enum { kRemetente, kServidor, kTls, kUsuario, kSenha, kPorta, kSaida };  // the order read
  const auto lidos =
      CZQRegistro::LeVarios(Chave(empresa), {"Remetente", "Servidor", "TLS", "Usuario", "Senha", "Porta", "Saida"});
  auto valor = [&](std::size_t i) { return Aparado(lidos[i].value_or("")); };
  CZQContaEmail conta;
  conta.remetente = valor(kRemetente);
  if (conta.remetente.empty()) return std::nullopt;
  conta.servidor = valor(kServidor);
  conta.tls = valor(kTls) == "1";
  conta.usuario = valor(kUsuario);
  conta.senha = lidos[kSenha].value_or("");  // a password may hold blanks
  conta.porta = conta.tls ? 587 : 25;
  const std::string porta = valor(kPorta);
  long n = 0;
  const auto [fim, ec] = std::from_chars(porta.data(), porta.data() + porta.size(), n);
  if (ec == std::errc() && fim == porta.data() + porta.size() && n >= 1 && n <= 65535) conta.porta = n;
  conta.saida = valor(kSaida);
  if (conta.saida.empty() && !diretorioDados.empty()) {
    conta.saida = diretorioDados;
    if (conta.saida.back() != '/') conta.saida += '/';
    conta.saida += "saida/";
  }
  if (!conta.saida.empty() && conta.saida.back() != '/') conta.saida += '/';
  return conta;
}
