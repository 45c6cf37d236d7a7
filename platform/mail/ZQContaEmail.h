// CZQContaEmail: a company's e-mail account, from the registry's place (see ZQRegistro.h):
//
//   [SOFTWARE\Wow6432Node\ZQ Sistemas\Empresas\ACME\Email]
//   Remetente=manutencao@acme.com.br   ; sender address; without it the company has no account
//   Servidor=smtp.acme.com.br          ; SMTP server; without it mail goes to the outbox
//   Porta=587                          ; default 25, or 465/587 with TLS as below
//   TLS=1                              ; 1: TLS required (port 465 implicit TLS, others STARTTLS)
//   Usuario=manutencao                 ; SMTP login, when the server asks for one
//   Senha=...
//   Saida=/var/spool/zq/ACME/          ; outbox folder; default "<company data dir>saida/"
//
// A plain value, read fresh at each call (the registry file is re-read when it changes).
#pragma once

#include <optional>
#include <string>

struct CZQContaEmail {
  std::string remetente;
  std::string servidor;  // "" = outbox
  long porta = 25;
  bool tls = false;
  std::string usuario;
  std::string senha;
  std::string saida;     // outbox folder with a trailing '/', already defaulted; "" = none known

  // The account of a company, or nullopt when it has no Remetente. `diretorioDados` is the
  // company's data directory ("" = none), the base of the default outbox. A Porta that is not a
  // number from 1 to 65535 falls back to the default.
  static std::optional<CZQContaEmail> Le(const std::string& empresa, const std::string& diretorioDados);
  // The registry key of a company's account.
  static std::string Chave(const std::string& empresa);
};
