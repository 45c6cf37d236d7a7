// CZQDadosDF_Filial: a branch of the company. MesBloqueioIntegracao: movements up to that month
// may no longer be integrated.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_FILIAL(F)                    \
  F(Ponteiro, std::uint32_t, zq::kKey)         \
  F(Codigo, std::uint16_t, zq::kSearchable)    \
  F(Identificacao, CString, 0)                 \
  F(NomeFantasia, CString, 0)                  \
  F(RazaoSocial, CString, 0)                   \
  F(MesBloqueioIntegracao, REG_ZQMA, 0)

class CZQDadosDF_Filial : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Filial, "filial", ZQ_CAMPOS_FILIAL)
};
