// CZQTransporteEmail: delivers an e-mail of a company's account (CZQContaEmail). With a server
// named, the message goes over SMTP through libcurl (TLS required when the account says so:
// implicit on port 465, STARTTLS elsewhere; login when a user is given). Without one, it is
// written as an .eml file into the account's outbox folder, created when missing, for another
// program to pick up.
//
// Outbox files are named "YYYYMMDD-hhmmss-<pid>-<n>-<random>.eml" (the clock is CZQRelogio),
// never replace an existing file, and appear whole: the message is written to a hidden
// ".<name>.tmp" in the same folder and renamed into place, so a reader that takes "*.eml" never
// sees a partial file.
//
// The e-mail's recipients, subject and first body part of type 5 (HTML, Windows-1252) make the
// message (CZQMensagemEmail); parts of other types are refused (ZQ_E_NAO_IMPLEMENTADO), as are
// headers that could smuggle commands. One connection per message.
//
// Thread-safe; a call blocks until the server answered (at most 30 s to connect, 5 min in all)
// or the file is in place.
#pragma once

#include <string>
#include <vector>

#include "platform/storage/StorageEngine.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/records/ZQDadosDF_Email.h"
#include "platform/mail/ZQMensagemEmail.h"

class CZQTransporteEmail {
 public:
  CZQTransporteEmail() = delete;

  // Delivers the e-mail. On success *destino, when given, receives the outbox file's path or
  // the SMTP URL used. Failures: ZQ_E_EMAIL_CABECALHO, ZQ_E_EMAIL_ENDERECO,
  // ZQ_E_EMAIL_DESTINATARIO (these three before anything is sent), ZQ_E_EMAIL_ENVIO, ZQ_E_EMAIL_SAIDA,
  // ZQ_E_NAO_IMPLEMENTADO, with a readable Windows-1252 text.
  static zq::Status Envia(const CZQContaEmail& conta, const CZQDadosDF_Email& email, std::string* destino = nullptr);

  // The steps, for tests and tools.
  static zq::Status Monta(const CZQContaEmail& conta, const CZQDadosDF_Email& email,
                          std::vector<std::string>* destinatarios, std::string* mensagem);
  static zq::Status GravaSaida(const std::string& pasta, const std::string& mensagem, std::string* arquivo);
  static zq::Status EnviaSmtp(const CZQContaEmail& conta, const std::vector<std::string>& destinatarios,
                              const std::string& mensagem, std::string* url);
};
