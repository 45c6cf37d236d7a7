// CPreviaAlerta: what one run of the plan-alert routine would mail, without mailing or
// recording anything. The real routine runs; this object only plugs into the access objects it
// reads and sends through:
//   - the enterprise access gets a replacement transport (SetTransporte): each mail passes the
//     same header and address checks and is kept here instead of being sent or written to the
//     outbox, so a refused address is logged by the routine as in a real run;
//   - the maintenance access skips the send-time writes (SetSemGravarEnvioAlerta);
//   - the routine's log lines are kept here instead of going to the company's log;
//   - both access objects report the records they read (SetAoLer), which tells each mail's
//     plan, alert, technician and number of rows (see Segue in the .cpp).
// The host also opens the company read-only, so a write the routine might attempt fails rather
// than lands. Everything is undone when this object goes.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/routines/AutoRun.h"
#include "platform/records/ZQDadosDF_Email.h"
#include "platform/records/ZQDadosMM_Plano.h"
#include "platform/records/ZQDadosMM_Tecnico.h"

namespace zqhost {

// One mail the routine handed over. Texts are Windows-1252, as the routine made them.
struct EMAIL_PREVIA {
  std::string codigoPlano, nomePlano;  // the plan whose resources are due
  std::string codigoDono;              // the plan that holds the alert (an ancestor when inherited)
  int alerta = 0;                      // 1-based index of the alert in codigoDono; 0 unknown
  std::string descricaoAlerta;
  std::string codigoTecnico, nomeTecnico;  // empty when no technician read holds the address
  std::string para, assunto, corpo;
  int linhas = 0;  // due resources in the mail
};

// "001", "002", ...: the mail's number in the report and its file's name.
inline std::string NumeroEmail(std::size_t i) {
  std::string n = std::to_string(i + 1);
  return n.size() < 3 ? std::string(3 - n.size(), '0') + n : n;
}

class CPreviaAlerta {
 public:
  explicit CPreviaAlerta(CAutoRun& rotina);
  ~CPreviaAlerta();
  CPreviaAlerta(const CPreviaAlerta&) = delete;
  CPreviaAlerta& operator=(const CPreviaAlerta&) = delete;

  const std::vector<EMAIL_PREVIA>& Emails() const { return m_emails; }
  const std::vector<std::string>& Log() const { return m_log; }

  // Writes each mail's HTML as it would arrive (its Windows-1252 bytes; a charset declaration
  // is added only to a document without one) as NNN-<plan>-<alert>-<technician>.html, and
  // index.html (UTF-8) listing them. The folder is created when missing; files a previous
  // preview left there (index.html, NNN-*.html) are removed first, any other file is left
  // alone. Answers the mail files' names; throws CErroHost on a failure.
  std::vector<std::string> Grava(const std::filesystem::path& pasta, const std::string& titulo,
                                 int* removidos) const;

 private:
  void Segue(const char* operacao, const TZQBaseParaDados& registro);
  long Recebe(const CZQDadosDF_Email& email);
  bool TemLista(const CZQDadosMM_PlanoAlerta& alerta, int linhas);

  CAutoRun& m_rotina;
  std::vector<EMAIL_PREVIA> m_emails;
  std::vector<std::string> m_log;

  // What the routine is working on, as its reads tell.
  std::vector<CZQDadosMM_Plano> m_cadeia;   // the plan, then the ancestors climbed for alerts
  std::vector<CZQDadosMM_Tecnico> m_tecnicos;  // read for the current alert
  std::size_t m_cursorTecnico = 0;
  int m_linhas = 0;          // rows of the current alert
  bool m_lendoLinhas = false;
  bool m_novoAlerta = false;
  int m_indiceAlerta = -1;   // 0-based, in the chain's last plan
  std::map<std::string, bool> m_modelosComLista;  // template path + rows -> has a list block
};

}  // namespace zqhost
