// Fixtures of the plan alert routine and the mail transport: a company with a mail account and a
// report folder, builders of its records, an SMTP server on loopback, and sent mail as short strings.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/records/ZQDadosDF_Filial.h"
#include "platform/records/ZQDadosDF_Recurso.h"
#include "platform/records/ZQDadosDF_TipoRecurso.h"
#include "platform/records/ZQDadosDF_UnidadeMedida.h"
#include "platform/records/ZQDadosMM_Disciplina.h"
#include "platform/records/ZQDadosMM_Plano.h"
#include "platform/records/ZQDadosMM_Tecnico.h"
#include "platform/routines/ZQExceptionEx.h"
#include "platform/system/ZQRelogio.h"
#include "tests/support/Fixture.h"

namespace zqteste {

// One message as a reader sees it; texts in UTF-8 for readable assertions.
struct EmailLido {
  std::string para;       // the To header
  std::string assunto;    // Subject, RFC 2047 decoded (windows-1252 -> UTF-8)
  std::string corpo;      // body, quoted-printable decoded (windows-1252 -> UTF-8)
  std::string rcpt;       // X-RcptTo of the SMTP test server ("" for files)
  std::string bruto;      // the message as stored
};

EmailLido LeEmail(const std::string& bruto);
std::string DecodificaQuotedPrintable(const std::string& texto);
// The words of an HTML text: tags dropped, blanks and line breaks collapsed to one space.
std::string Palavras(const std::string& html);
// "to|subject|words of the body" per mail, one per line, sorted.
std::string Resumo(const std::vector<EmailLido>& emails);
// The files of a folder, in name order (the outbox's order of writing).
std::vector<EmailLido> LePasta(const std::filesystem::path& pasta);

class ServidorSmtp {
 public:
  // The python3 that has aiosmtpd (/usr/bin/python3 first), or nullopt.
  static std::optional<std::string> Python();
  // python3 -m aiosmtpd on a free port of 127.0.0.1, mail into a Maildir under `pasta`; throws
  // when it does not answer within 15 s.
  explicit ServidorSmtp(const std::filesystem::path& pasta);
  ~ServidorSmtp();
  ServidorSmtp(const ServidorSmtp&) = delete;
  ServidorSmtp& operator=(const ServidorSmtp&) = delete;

  int Porta() const { return m_porta; }
  std::vector<EmailLido> Recebidos() const;

 private:
  std::filesystem::path m_pasta;
  int m_porta = 0;
  pid_t m_pid = -1;
};

// A port of 127.0.0.1 where nothing listens.
int PortaLivre();

// Where alert tests stand: 05/03/2024 10:05:30 (UTC-3).
inline REG_ZQDMAHMSUTC AgoraAlerta() {
  return REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(5, 3, 2024), 10, 5, 30, -10800);
}

// A list-block template whose row holds the resource code and days to the next maintenance,
// and one without list block: "<tech name> <resource code> <alert description>".
extern const char* const kModeloLista;
extern const char* const kModeloSimples;

// A resource's plan link: days from today to the next maintenance (nullopt: no date), cycles left.
struct Vinculo {
  CZQDadosMM_Plano plano;
  std::optional<int> dias;
  double ciclos = 0;
  bool inativo = false;
};

class CenarioAlerta {
 public:
  // The account (no server: mail goes to PastaSaida()), the report folder, a discipline, branch,
  // resource type, product and service units; the clock fixed at AgoraAlerta().
  explicit CenarioAlerta(EmpresaTeste& empresa);
  ~CenarioAlerta();

  void Modelo(const std::string& nome, const std::string& texto);
  // Sends through this SMTP port of 127.0.0.1 instead of the outbox.
  void UsaSmtp(int porta);

  CZQDadosMM_Tecnico Tecnico(const char* codigo, const char* nome, std::vector<std::string> emails,
                             std::uint32_t pai = 0, bool grupo = false, bool inativo = false);
  // A "before" (1) alert by days (QtdDias) by default; change the returned value for others.
  CZQDadosMM_PlanoAlerta Alerta(const char* descricao, const char* modelo,
                                const std::vector<CZQDadosMM_Tecnico>& tecnicos, int qtdDias = 10);
  // An active analytic plan of control type 0 with the scenario's discipline.
  CZQDadosMM_Plano Plano(const char* codigo, std::vector<CZQDadosMM_PlanoAlerta> alertas, std::uint32_t pai = 0,
                         std::uint8_t tipoControle = 0);
  // An active resource of the scenario's type and branch; `unidade` 'P' or 'S': its counter's unit.
  CZQDadosDF_Recurso Recurso(const char* codigo, const std::vector<Vinculo>& vinculos, char unidade = 0,
                             bool inativo = false);
  void Atualiza(const TZQBaseParaDados& registro);
  // "i:dd/mm/yyyy hh:mm:ss" of each alert of the plan whose send time is recorded, or "".
  std::string Envios(std::uint32_t plano);

  // Runs the routine once: "" on success, "hr=0x80040A68/1110 <text>" when it threw, "ret=<hr>"
  // for a returned failure. The exception caught, if any, is kept in excecao.
  std::string Executa();
  std::optional<CZQExceptionEx> excecao;

  std::vector<EmailLido> Saida() const { return LePasta(PastaSaida()); }
  std::filesystem::path PastaSaida() const { return empresa.Diretorio() / "saida"; }
  std::filesystem::path PastaRelatorios() const { return empresa.Diretorio() / "relatorios"; }
  std::vector<std::string> LinhasLog() const;      // the routine's log lines, their text only
  std::string UltimaLinhaLog() const { return LinhasLog().empty() ? "" : LinhasLog().back(); }

  EmpresaTeste& empresa;
  CZQRelogioGuarda relogio;
  CZQDadosMM_Disciplina disciplina;
  CZQDadosDF_Filial filial;
  CZQDadosDF_TipoRecurso tipo;
  CZQDadosDF_UnidadeMedidaProduto unidadeProduto;
  CZQDadosDF_UnidadeMedidaServico unidadeServico;
};

}  // namespace zqteste
