// CMMTrataDadosPrioridade: the data handler of the priority register. A save is checked in this
// order, the first fault ending the check:
//   stored priority changed since the caller read it (warning 3, field 1);
//   code empty once trimmed (1, field 1); code of a new priority already in use (10, field 1);
//   description empty once trimmed (49, field 2); base priority above 100 (176, field 3).
// The trimmed code and description are written back into the caller's record as soon as they
// are trimmed, so they stay there even when a later check fails. A changed code of a stored
// priority is not checked for uniqueness. Deletes answer warning 162.
#pragma once

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_Prioridade.h"

class CMMTrataDadosPrioridade : public CMMTrataDados {
 public:
  explicit CMMTrataDadosPrioridade(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosPrioridade() override;

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;
};
