// CMMEmailAlertaPlano: the scheduled routine that mails maintenance-plan alerts. The suite's
// scheduler creates it through the exported MMEmailAlertaPlano(), initialises it for a company,
// asks its interval (300000 ms, five minutes) and calls OnRun on it; OnDeleta ends it.
//
// One run:
//   1. no e-mail account for the company: log and throw 1110; nothing is searched;
//   2. for each active plan P with active resources: the alerts are P's own, or those of P's
//      nearest ancestor that has some (a plan without alerts inherits them); P's active
//      resources are read with their plan links;
//   3. for each active alert whose template exists and whose repetition allows it, the links to
//      P that are due (AlertaVencido) make the rows of the mail; the alert's technicians (a group
//      stands for every active technician below it, at any depth) each get the template filled
//      in, once per technician and address: one mail with all rows when the template has a list
//      block, one mail per row otherwise;
//   4. after every plan, each alert that had due rows gets the run's send time, so an alert is
//      mailed once, or again only after its repetition time. Each send time is a write of its
//      own, in the order the alerts went out, and waits up to an interval (kIntervaloMs) for
//      another program's write (a large load) to end: a send time not recorded means its
//      mails go out again on the next run.
// A plan's reads run in one snapshot of the data (one read lock per plan on a shared database);
// each template is located and read once per run, so an edit to it takes effect at the next run.
//
// The run stops at the first failure: it logs the reason (GravaLog(1, 4, text)) and throws
// CZQExceptionEx(result code, message number, 0, "", text, "MMEmailAlertaPlano", 112, build
// date). The send times written before the failure stay; the run's other mails go out again
// on the next run.
//
//   failure                                    result code             message
//   no e-mail account                          0x80040A68              1110
//   a data-access call failed                  the call's own          1111 (the call's text)
//   report folder unknown                      0x81080C5B              1111
//   sending failed (negative DisparaEmail)     0x80040A64              1111
//   template cannot be opened                  0x80040A66              1112
//   template cannot be read                    0x80040A65              1113
//
// Not failures, logged and the run goes on: a missing template file (its alert is skipped); a
// recipient address the mail layer refuses before sending (ZQ_E_EMAIL_DESTINATARIO: CR, LF,
// NUL, brackets...), logged with the technician and the address, control bytes escaped, while
// the other addresses get their mail; a template holding ZQ_INICIO_LISTA whose list block is not
// recognised (say, saved with LF line ends), which is expanded without a list, one mail per
// due resource. A failed account lookup or plan search is logged too, and returned.
//
// Values are put into the HTML escaped (& < > " ' as entities: CMMModeloEmailAlerta::EscapaHtml),
// so a plan or resource named "<script>" never arrives as active HTML under the company's
// sender. A company that keeps deliberate HTML in its descriptions turns that off in the
// registry, in its section or in its e-mail account's:
//
//   [SOFTWARE\Wow6432Node\ZQ Sistemas\Empresas\ACME]      (or ...\Empresas\ACME\Email)
//   HtmlNosValores=1
//
// The subject is a header, not HTML: it always carries the description as stored.
//
// Not thread-safe: one run at a time, on the scheduler's thread. Keeps nothing between runs.
#pragma once

#include <cstdint>
#include <exception>
#include <vector>

#include "alerts/MMModeloEmailAlerta.h"
#include "platform/routines/AutoRun.h"
#include "platform/types/ZQArray.h"
#include "platform/records/ZQDadosDF_Filial.h"
#include "platform/records/ZQDadosDF_Recurso.h"
#include "platform/records/ZQDadosDF_RecursoPlanoManutencao.h"
#include "platform/records/ZQDadosDF_TipoRecurso.h"
#include "platform/records/ZQDadosMM_Disciplina.h"
#include "platform/records/ZQDadosMM_Plano.h"
#include "platform/records/ZQDadosMM_Tecnico.h"
#include "platform/types/ZQDma.h"

class CMMEmailAlertaPlano : public CAutoRun {
 public:
  static constexpr long kIntervaloMs = 300000;

  CMMEmailAlertaPlano();
  ~CMMEmailAlertaPlano() override;

  // One run (see above); the flag is left untouched. 0, or the failed call's result when the
  // account lookup answers a negative result or the plan search fails (logged and returned,
  // not thrown).
  long OnRun(bool& bPararExecucoes) override;
  // 300000 (milliseconds); returns 0.
  long OnGetIntervalo(long& intervaloMs) override;
  // Deletes this routine.
  void OnDeleta() override;

  // The due test of one link of a resource to plan P, for alert X of the plan (or of the
  // ancestor it inherits from), on date `hoje`. The link is overdue when its counter cycles left
  // are below 0 or its next-maintenance date is valid and before today. A "before" alert
  // (AntesApos 1) looks at links not yet overdue, an "after" alert (2) at overdue ones:
  //   before  counter: cycles left < QtdContador     days: today > next date - QtdDias
  //   after   counter: QtdContador > cycles left     days: not (next date + QtdDias > today)
  // (a condition the alert does not use holds; a date below the first valid day counts as 0;
  // QtdDias is taken whole). P's control type decides: 0 the days, 1 the counter, 2 both,
  // 3 either, anything else always due. Example, control 0, before alert of 10 days: next
  // maintenance 10 days ahead is not yet due (today is not after the date minus 10); 9 days
  // ahead it is.
  // Note on "after" by counter: cycles left are negative once the counter is overdue, so any
  // non-negative QtdContador holds; the amount overdue is not compared with QtdContador.
  static bool AlertaVencido(const CZQDadosMM_PlanoAlerta& alerta, std::uint8_t tipoControle,
                            const CZQDadosDF_RecursoPlanoManutencao& vinculo, const REG_ZQDMA& hoje);

 private:
  // An alert that produced mail in this run: the plan that owns it and its index there.
  struct ALERTA_ENVIADO {
    unsigned long ponteiroPlano;
    int indice;
  };

  // The run's main loop over the plan pointers; 0, or a send's non-negative non-zero result.
  long GeraEEnviaEmail(const CZQArrayPonteiros& ponteirosPlano);
  // The resource types, branches, units and technicians one plan's alerts name, each read once
  // per plan (the plan's reads share one snapshot, so a second read would give the same record).
  struct LEITURAS_PLANO;
  // The rows of an alert: the due links to plan P of the resources, in order.
  void MontaLinhas(const CZQDadosMM_Plano& plano, const CZQDadosMM_PlanoAlerta& alerta,
                   const CZQVector<CZQDadosDF_Recurso>& recursos, const REG_ZQDMA& hoje,
                   LEITURAS_PLANO& lidos, std::vector<DADOS_CORPO_EMAIL>& linhas);
  // Mails the alert's technicians; 0, or the send's result that ends the run.
  long EnviaAosTecnicos(const CZQDadosMM_Plano& plano, const CZQDadosMM_PlanoAlerta& alerta,
                        const CZQDadosMM_Disciplina& disciplina, const CString& modelo, bool temLista,
                        const std::vector<DADOS_CORPO_EMAIL>& linhas, LEITURAS_PLANO& lidos);
  // One mail to one address: DisparaEmail(mail, 0, 1, 0). A negative result aborts (1111), but
  // ZQ_E_EMAIL_DESTINATARIO is returned, for the caller to skip the address.
  long EnviaEmail(const CString& endereco, const CString& corpo, const CString& assunto);
  // Logs and throws; a result of 0 does nothing. Message number 999999 is thrown as 0. With an
  // exception, "Foi gerada uma exceção. Mensagem: <its text, at most 500 bytes>" is appended to
  // the message (after a blank).
  void AbortaExecucao(long hr, const CString& mensagem, long numeroMensagem, const std::exception* excecao = nullptr);
  // The last error of the access object that just failed, thrown as 1111.
  void AbortaAcesso(long hr);
  // The same error logged, and hr returned.
  long RegistraFalha(long hr);

  // The template, through CMMModeloEmailAlerta.
  long LeModeloEmail(const CString& caminho, CString& texto);
  bool AtualizaConteudoEmail(CString& texto, int linhas);
  void SetDadosCorpoEmailCabecalho(DADOS_CORPO_EMAIL& dados, const CZQDadosMM_Tecnico& tecnico,
                                   const CZQDadosMM_Plano& plano, const CZQDadosMM_PlanoAlerta& alerta,
                                   const CZQDadosMM_Disciplina& disciplina);
  void SetDadosCorpoEmailSubordinados(DADOS_CORPO_EMAIL& dados, const CZQDadosDF_Recurso& recurso,
                                      const CZQDadosDF_RecursoPlanoManutencao& vinculo, const CString& unidade,
                                      int casasDecimais, const CZQDadosDF_TipoRecurso& tipo,
                                      const CZQDadosDF_Filial& filial);
  void SubstituiMemoriasModeloEmail(CString& texto, const DADOS_CORPO_EMAIL& dados);
  void SubstituiMemoriasModeloEmail(CString& texto, const DADOS_CORPO_EMAIL& cabecalho,
                                    const std::vector<DADOS_CORPO_EMAIL>& linhas);

  bool m_htmlNosValores = false;  // the company's choice, read at each run
};
