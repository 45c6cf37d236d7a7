// CZQDadosDF_ProdutoEx: a product of the base module. Kit non-zero marks a kit (a product made of
// others); a grade pointer of 0 means the product has no such grade.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_PRODUTO(F)                     \
  F(Ponteiro, std::uint32_t, zq::kKey)           \
  F(Codigo, CString, zq::kSearchable)            \
  F(Descricao, CString, 0)                       \
  F(Kit, std::uint8_t, 0)                        \
  F(PonteiroGrade1, std::uint32_t, 0)            \
  F(PonteiroGrade2, std::uint32_t, 0)            \
  F(PonteiroUnidadeMedida, std::uint32_t, 0)

class CZQDadosDF_ProdutoEx : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_ProdutoEx, "produto", ZQ_CAMPOS_PRODUTO)
};
