// CZQDadosDF_Requisitante: a requester of maintenance (a person or department of the base module).
// Filial 0 means any branch.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_REQUISITANTE(F)            \
  F(Ponteiro, std::uint32_t, zq::kKey)       \
  F(Codigo, CString, zq::kSearchable)        \
  F(Nome, CString, 0)                        \
  F(Inativo, std::uint8_t, 0)                \
  F(Filial, std::uint16_t, 0)

class CZQDadosDF_Requisitante : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Requisitante, "requisitante", ZQ_CAMPOS_REQUISITANTE)
};
