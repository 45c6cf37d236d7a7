// CMMTrataDadosDisciplina: the data handler of the discipline register, a classification tree
// (TipoClassificacao 1 an analytic entry, other values groups). A save is checked in this order,
// the first fault ending the check (module 28, field codes in brackets):
//   ConsistirDisciplina, through its virtual slot, on every entry:
//     code empty: 1 on a new entry [2], 2 on a stored one [3];
//     code used by another entry (exact search, any branch of the tree): 10 [2];
//     name empty: 4 [4]; a stored entry named as its own parent: 99 [4];
//   then, for a stored entry only:
//     stored copy saved since the caller read it: 3 [2];
//     the stored copy was a group: group with entries beneath it made analytic: 98 [5];
//     new parent beneath the entry (the entry itself is the field check's case): 99 [5].
// A stored entry that was analytic skips the subtree search, whatever its new parent.
// Texts are checked as typed (not trimmed) and the record is never changed. A failed read or
// search copies the access object's error with no field code and is not traced.
// Deletes answer warning 162, as does a record that is not a discipline.
#pragma once

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_Disciplina.h"

class CMMTrataDadosDisciplina : public CMMTrataDados {
 public:
  explicit CMMTrataDadosDisciplina(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosDisciplina() override;

  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 protected:
  // The field checks of one entry (the first block of checks above); clears the error record first.
  virtual CZQDadosDF_Erro& ConsistirDisciplina(CZQDadosMM_Disciplina* disciplina);
};
