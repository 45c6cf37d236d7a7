// CZQMensagemEmail: turns an e-mail (sender, recipients, subject, HTML body in Windows-1252) into
// an Internet message, as sent over SMTP and as kept in an .eml file. Static operations only,
// pure functions, safe from any thread.
//
// The message:
//
//   Date: Tue, 05 Mar 2024 10:05:30 -0300
//   From: manutencao@acme.com.br
//   To: ana@acme.com.br, rui@acme.com.br
//   Subject: =?windows-1252?Q?Alerta_de_Manuten=E7=E3o_-_Troca_de_=F3leo?=
//   Message-ID: <20240305100530.4242.1.9f3a@host>
//   MIME-Version: 1.0
//   Content-Type: text/html; charset=windows-1252
//   Content-Transfer-Encoding: quoted-printable
//
//   <html>... quoted-printable body ...
//
// Every line ends in CR LF, none is longer than 76 characters but for the addresses of To. The
// subject is written as it is when it is printable ASCII that fits the line, and otherwise as
// RFC 2047 "Q" encoded words of the windows-1252 charset, each at most 75 characters, folded
// onto continuation lines. The body's line breaks (CR LF, or a lone CR or LF) become CR LF; the
// body is quoted-printable (RFC 2045), with a '.' or "From " starting a line encoded too so that
// no relay or mailbox can take the line for something else.
//
// Headers are never a way in: a subject or an address holding CR, LF or NUL is refused, and so
// is an address with any other byte that is not printable ASCII, a blank, one of <>()[]\",;:
// or without '@' (the same text would otherwise end up in an SMTP command). Recipient lists separate addresses
// with ';' or ','; blanks around them and empty entries are dropped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/storage/StorageEngine.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/access/ZQResultados.h"

constexpr long ZQ_E_EMAIL_CABECALHO = ZQ_HR(0x80F00101);  // subject or header text refused
constexpr long ZQ_E_EMAIL_ENDERECO = ZQ_HR(0x80F00102);   // the sender's address refused
constexpr long ZQ_E_EMAIL_SEM_CONTA = ZQ_HR(0x80F00103);  // the company has no e-mail account
constexpr long ZQ_E_EMAIL_ENVIO = ZQ_HR(0x80F00104);      // the SMTP server did not take the mail
constexpr long ZQ_E_EMAIL_SAIDA = ZQ_HR(0x80F00105);      // the outbox file could not be written
// A recipient address refused, or none at all: found before anything is sent, so it is the
// stored address that is wrong, not the transport.
constexpr long ZQ_E_EMAIL_DESTINATARIO = ZQ_HR(0x80F00106);

class CZQMensagemEmail {
 public:
  CZQMensagemEmail() = delete;

  // The addresses of a recipient list, in order; ZQ_E_EMAIL_DESTINATARIO naming the first
  // address refused, or when there is none at all.
  static zq::Status Destinatarios(std::string_view lista, std::vector<std::string>* enderecos);
  static bool EnderecoValido(std::string_view endereco);

  // The whole message (see above). `agora` gives Date (with its UTC offset) and part of the
  // Message-ID. Refuses what the header rules refuse.
  static zq::Status Monta(std::string_view remetente, const std::vector<std::string>& destinatarios,
                          std::string_view assunto, std::string_view corpoHtml, const REG_ZQDMAHMSUTC& agora,
                          std::string* mensagem);

  // The pieces, for tests and tools.
  // The Subject header line's value, folded ("\r\n " between encoded words), no final CR LF.
  static std::string CodificaAssunto(std::string_view assunto);
  static std::string QuotedPrintable(std::string_view corpo);
  // "Tue, 05 Mar 2024 10:05:30 -0300"; "" when the value is not filled in.
  static std::string DataRfc5322(const REG_ZQDMAHMSUTC& valor);
};
