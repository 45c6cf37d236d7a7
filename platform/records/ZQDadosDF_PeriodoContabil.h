// CZQDadosDF_PeriodoContabil: the company's accounting period, one record (key 1): the dates
// between which movements may be made and integrated, and the month up to which integration is
// blocked.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_PERIODO_CONTABIL(F)            \
  F(Chave, std::uint32_t, zq::kKey)              \
  F(DataInferiorMovimentacao, REG_ZQDMA, 0)      \
  F(DataSuperiorMovimentacao, REG_ZQDMA, 0)      \
  F(MesBloqueio, REG_ZQMA, 0)                    \
  F(DataInferiorIntegracao, REG_ZQDMA, 0)        \
  F(DataSuperiorIntegracao, REG_ZQDMA, 0)

class CZQDadosDF_PeriodoContabil : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_PeriodoContabil, "periodo_contabil", ZQ_CAMPOS_PERIODO_CONTABIL)
  static constexpr std::uint32_t kChaveUnica = 1;
};
