// CMMTrataDadosTecnico: the data handler of the technician register, a classification tree whose
// analytic entries (TipoClassificacao 1) are technicians, each in a branch, linked to a suite user
// and to the disciplines the technician works in. A save is checked in this order, the first
// fault ending the check (module 28, field codes in brackets):
//   a stored technician only:
//     stored copy saved since the caller read it: 3 [7];
//     the stored copy was a group: group with entries beneath it made analytic: 98 [10];
//       new parent is the entry itself or beneath it: 99 [10];
//     the stored copy was analytic: named as its own parent: 99 [10];
//   then ConsistirTecnico, on every technician:
//     code empty: 1 on a new technician [7], 2 on a stored one [8];
//     code used by another technician of any branch: 10 [7]; name empty: 4 [9];
//     a group (any type but 1) is normalised and accepted: type 2, branch 0, active, no
//       disciplines; nothing else is looked at;
//     an analytic technician with a user: the user's active analytic technicians of the
//       technician's branch (of every branch when it has none) must be none or only itself:
//       else 121 [12].
// So the tree rules come before the field rules, unlike the discipline register. Nothing is
// trimmed; the group normalisation is the only change to the caller's record and stays there.
// A failed read or search copies the access object's error with no field and is not traced.
//
// An analytic technician naming itself as parent has no rule of its own in the tree walk (the
// walk runs for stored groups), yet no screen can show such an entry: it is refused like a group
// would be, 99 [10]. The user search takes the branch exactly: a technician of branch 0 ("any
// branch") does not collide with one of branch 1.
//
// TrataAdicionarDisciplina guards the technician's list of disciplines: a link without a
// discipline is 86 [14], a discipline already in the list 87 [14]; otherwise the link is appended
// to the caller's technician. The discipline itself is not read.
// Deletes answer warning 162, as does a record that is not a technician.
#pragma once

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_Tecnico.h"

class CMMTrataDadosTecnico : public CMMTrataDados {
 public:
  explicit CMMTrataDadosTecnico(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosTecnico() override;

  CZQDadosDF_Erro& TrataAdicionarDisciplina(CZQDadosMM_Tecnico& tecnico, CZQDadosMM_TecnicoDisciplina& disciplina,
                                            IZQTrataInconsistencia* inconsistencia);

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 private:
  CZQDadosDF_Erro& ConsistirTecnico(CZQDadosMM_Tecnico* tecnico);
};
