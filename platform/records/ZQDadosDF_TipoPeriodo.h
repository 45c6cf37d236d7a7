// CZQDadosDF_TipoPeriodo: a period type of the base module: TipoPeriodo 0 days, 1 months, 2 years;
// IncrementoPeriodo units per quantity.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_TIPO_PERIODO(F)                \
  F(Ponteiro, std::uint32_t, zq::kKey)           \
  F(Descricao, CString, 0)                       \
  F(TipoPeriodo, std::uint16_t, 0)               \
  F(IncrementoPeriodo, std::uint16_t, 0)

class CZQDadosDF_TipoPeriodo : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_TipoPeriodo, "tipo_periodo", ZQ_CAMPOS_TIPO_PERIODO)
};
