// CZQDadosDF_Classificacao: one entry of a classification tree as the BuscaClassificacao*
// operations answer it.
#pragma once

#include <cstdint>

#include "platform/types/String.h"
#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_CLASSIFICACAO(F)           \
  F(Ponteiro, std::uint32_t, zq::kKey)       \
  F(PonteiroPai, std::uint32_t, 0)           \
  F(Codigo, CString, 0)                      \
  F(Nome, CString, 0)                        \
  F(TipoClassificacao, std::uint8_t, 0)

class CZQDadosDF_Classificacao : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Classificacao, "classificacao", ZQ_CAMPOS_CLASSIFICACAO)
};
