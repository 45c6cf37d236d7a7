// CZQDadosMM_Prioridade: a priority of the maintenance module (code, description, base priority)
// that orders and plans point to. Its filter, CZQDadosMM_FiltroPrioridade, searches by code.
#pragma once

#include <cstdint>

#include "platform/records/Filtro.h"
#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_PRIORIDADE(F)                  \
  F(Posicao, std::uint32_t, zq::kKey)            \
  F(Codigo, CString, zq::kSearchable)            \
  F(Descricao, CString, 0)                       \
  F(PrioridadeBase, std::uint8_t, 0)             \
  F(DmaHmsAtualizacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_Prioridade : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Prioridade, "prioridade", ZQ_CAMPOS_PRIORIDADE)
};

#define ZQ_CRITERIOS_PRIORIDADE(C) C(Codigo, CString, zq::Match::kCodigo)

class CZQDadosMM_FiltroPrioridade : public zq::Filtro<CZQDadosMM_Prioridade> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_PRIORIDADE)
};
