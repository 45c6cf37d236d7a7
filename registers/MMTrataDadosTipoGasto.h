// CMMTrataDadosTipoGasto: the data handler of the expense-type register. Its rules are the
// discipline register's, in the same order (see MMTrataDadosDisciplina.h), with the expense
// type's field codes:
//   code empty: 1 on a new entry [132], 2 on a stored one [133]; code in use: 10 [132];
//   name empty: 4 [134]; own parent: 99 [135]; stale stored copy: 3 [132];
//   group with entries beneath it made analytic: 98 [135]; parent beneath the entry: 99 [135].
// Nothing is trimmed or written back. Deletes answer warning 162, as does a record that is not
// an expense type.
#pragma once

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_TipoGasto.h"

class CMMTrataDadosTipoGasto : public CMMTrataDados {
 public:
  explicit CMMTrataDadosTipoGasto(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosTipoGasto() override;

  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 protected:
  // The field checks of one entry; clears the error record first.
  virtual CZQDadosDF_Erro& ConsistirTipoGasto(CZQDadosMM_TipoGasto* tipoGasto);
};
