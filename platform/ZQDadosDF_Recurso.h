// CZQDadosDF_Recurso: a resource of the base module, a piece of equipment that maintenance orders
// work on. Tipo 2 is a maintainable resource; the counter fields describe the resource's usage
// counter.
#pragma once

#include <cstdint>

#include "platform/ZQRegistroMacros.h"

#define ZQ_CAMPOS_RECURSO(F)                            \
  F(Ponteiro, std::uint32_t, zq::kKey)                  \
  F(Codigo, CString, zq::kSearchable)                   \
  F(Descricao, CString, 0)                              \
  F(Tipo, std::uint8_t, 0)                              \
  F(Inativo, std::uint8_t, 0)                           \
  F(PonteiroFilial, std::uint16_t, 0)                   \
  F(PonteiroTipoRecurso, std::uint32_t, zq::kSearchable) \
  F(PonteiroUnidadeMedidaContador, std::uint32_t, 0)    \
  F(NumeroDigitosContador, std::uint8_t, 0)             \
  F(UnidadeProdutoServico, CString, 0)

class CZQDadosDF_Recurso : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Recurso, "recurso", ZQ_CAMPOS_RECURSO)
};
