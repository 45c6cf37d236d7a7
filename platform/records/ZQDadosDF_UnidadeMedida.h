// Units of measure of products and of services (two registers of the base module with the same
// fields): a code and the number of decimal places quantities in that unit carry.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_UNIDADE_MEDIDA(F)             \
  F(Ponteiro, std::uint32_t, zq::kKey)          \
  F(Codigo, CString, zq::kSearchable)           \
  F(Descricao, CString, 0)                      \
  F(QuantidadeCasasDecimais, std::uint8_t, 0)

class CZQDadosDF_UnidadeMedidaProduto : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_UnidadeMedidaProduto, "unidade_medida_produto", ZQ_CAMPOS_UNIDADE_MEDIDA)
};

class CZQDadosDF_UnidadeMedidaServico : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_UnidadeMedidaServico, "unidade_medida_servico", ZQ_CAMPOS_UNIDADE_MEDIDA)
};
