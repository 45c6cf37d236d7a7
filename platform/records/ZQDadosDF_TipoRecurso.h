// CZQDadosDF_TipoRecurso: a resource type of the base module.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_TIPO_RECURSO(F)          \
  F(Ponteiro, std::uint32_t, zq::kKey)     \
  F(Codigo, CString, zq::kSearchable)      \
  F(Descricao, CString, 0)

class CZQDadosDF_TipoRecurso : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_TipoRecurso, "tipo_recurso", ZQ_CAMPOS_TIPO_RECURSO)
};
