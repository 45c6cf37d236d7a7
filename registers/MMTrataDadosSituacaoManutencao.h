// CMMTrataDadosSituacaoManutencao: the data handler of the maintenance-status register (records
// CZQDadosMM_Situacao of type 1), a flat list in which every status stands for one base
// situation of an order. A save is checked in this order, the first fault ending the check
// (module 28 unless told, field codes in brackets):
//   a stored status only: the stored copy is read (a failure copies the access error [1]);
//     its update stamp differs from the caller's: 3 [1]; its base situation differs: 123 [1];
//   code trimmed and written back; empty: 1 [1];
//   a new status only: another maintenance status with that exact code: 10 [1] (a failed search
//     is traced, then copied [1]); a stored status is not searched, even with a new code;
//   description trimmed and written back; empty: 49 [2];
//   type other than 1: module 20, 125 [1];
//   base situation 0: 124 [3]; not one of 2, 4, 8, 16, 32, 64: 125 [3].
// The trimmed texts stay in the caller's record even when a later check fails. Deletes answer
// warning 162, as does a record that is not a status.
#pragma once

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_Situacao.h"

class CMMTrataDadosSituacaoManutencao : public CMMTrataDados {
 public:
  explicit CMMTrataDadosSituacaoManutencao(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosSituacaoManutencao() override;

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;
};
