// CMMTrataDadosMestre: the data handler of the module's parameter record (one per company). Every
// save, in this order, the first fault ending the check (module 28, field codes in brackets):
//   the stored record is read (no key: there is one; a failure copies the access error, no field);
//   its save stamp differs from the caller's: 3 [0];
//   ConsistirMestre: a viewing month-year in use (UsaDataVisualizacao not 0) but not given
//     (MesAnoVisualizacao 0): 85 [1].
// There is no path for a record never stored: the stored one is always read first. The
// record is never changed. Deletes answer warning 162, as does a record of another kind.
#pragma once

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_Mestre.h"

class CMMTrataDadosMestre : public CMMTrataDados {
 public:
  explicit CMMTrataDadosMestre(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosMestre() override;

  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 private:
  CZQDadosDF_Erro& ConsistirMestre(CZQDadosMM_Mestre* mestre);
};
