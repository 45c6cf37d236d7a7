// CZQDadosDF_Filial: a branch of the company. MesBloqueioIntegracao: movements up to that month
// may no longer be integrated.
#pragma once

#include <cstdint>

#include "platform/ZQRegistroMacros.h"

#define ZQ_CAMPOS_FILIAL(F)                    \
  F(Ponteiro, std::uint32_t, zq::kKey)         \
  F(Codigo, CString, zq::kSearchable)          \
  F(Nome, CString, 0)                          \
  F(MesBloqueioIntegracao, REG_ZQMA, 0)

class CZQDadosDF_Filial : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Filial, "filial", ZQ_CAMPOS_FILIAL)
};
