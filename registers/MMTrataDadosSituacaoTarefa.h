// CMMTrataDadosSituacaoTarefa: the data handler of the task-status register (records
// CZQDadosMM_Situacao of type 2), a classification tree (TipoClassificacao 1 an analytic entry,
// other values groups) without base situations. A save is checked in this order, the first
// fault ending the check (module 28 unless told, field codes in brackets):
//   a stored status only: the stored copy is read (a failure copies the access error [1]);
//     its update stamp differs from the caller's: 3 [1];
//     the stored copy was a group (its subtree searched; a failure copies the error, no field):
//       group with entries beneath it made analytic: 98 [135];
//       new parent beneath the status (the status itself left to the own-parent check): 99 [135];
//   code as typed, not trimmed (blanks around it are part of it); empty: 1 on a new status
//     [132], 2 on a stored one [133];
//   a new status only: another task status with that exact code: 10 [1] (a failed search is
//     traced, then copied [1]);
//   description trimmed and written back; empty: 49 [2];
//   a stored status named as its own parent: 99 [3];
//   type other than 2: module 20, 125 [1].
// The tree rules come first, as for technicians, but the walk leaves the status itself out and
// the own-parent check comes last. Deletes answer warning 162, as does a record that is not a
// status.
#pragma once

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_Situacao.h"

class CMMTrataDadosSituacaoTarefa : public CMMTrataDados {
 public:
  explicit CMMTrataDadosSituacaoTarefa(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosSituacaoTarefa() override;

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;
};
