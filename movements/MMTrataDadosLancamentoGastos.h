// CMMTrataDadosLancamentoGastos: the data handler of the expense entry (CZQDadosMM_LancamentoGastos).
//
// Save (TrataGravacao). A stored entry (its key a valid stored key) is first read back and
// refused with warning 3 on field 136 when its last-save stamp changed meanwhile. Then, on a
// working copy (module 28; message/field): a date (174/137); a resource (50/138); a stored entry
// keeps its date within the year and month its key carries (175/137); a new one may take any.
//
// Delete (TrataExclusao): the key must be a valid stored key (144/136); the stored entry is
// read and handed back in the caller's record, which the caller deletes as stored.
//
// A failed read copies the access object's error and ends the operation. On any refusal the
// caller's record is as it came in. A null record or one of another class answers warning 162.
// One caller at a time per handler.
#pragma once

#include <cstdint>

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_LancamentoGastos.h"

class CMMTrataDadosLancamentoGastos : public CMMTrataDados {
 public:
  explicit CMMTrataDadosLancamentoGastos(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosLancamentoGastos() override;

  // Checks `item` and stores it into `lancamento` at `indice` (negative: appended). In order:
  // a product (166/143), usable (the shared product check, its warning given field 143),
  // quantity positive (39/145), value positive (167/146), no other item of the same product
  // position (168/143). On a refusal the entry is unchanged; an index past its items appends.
  CZQDadosDF_Erro& TrataAdicionarAlterarItem(CZQDadosMM_LancamentoGastos& lancamento,
                                             CZQDadosMM_LancamentoGastosItem& item, std::int64_t indice,
                                             IZQTrataInconsistencia* inconsistencia);

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;
  CZQDadosDF_Erro& OnTrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 private:
  CZQDadosDF_Erro& ConsistirLancamentoGastos(CZQDadosMM_LancamentoGastos& lancamento);
};
