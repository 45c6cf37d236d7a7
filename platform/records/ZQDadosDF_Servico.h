// CZQDadosDF_Servico: a service of the base module.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_SERVICO(F)                  \
  F(Ponteiro, std::uint32_t, zq::kKey)        \
  F(Codigo, CString, zq::kSearchable)         \
  F(Descricao, CString, 0)

class CZQDadosDF_Servico : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Servico, "servico", ZQ_CAMPOS_SERVICO)
};
