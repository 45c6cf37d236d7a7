// CZQDadosMM_Plano: a maintenance plan, an entry of a classification tree. TempoPrevisto is the
// planned time in the plan's unit, TempoPrevistoEmHoras the same in hours.
#pragma once

#include <cstdint>

#include "platform/Filtro.h"
#include "platform/ZQRegistroMacros.h"

#define ZQ_CAMPOS_PLANO(F)                           \
  F(Ponteiro, std::uint32_t, zq::kKey)               \
  F(PonteiroPai, std::uint32_t, zq::kSearchable)     \
  F(Codigo, CString, zq::kSearchable)                \
  F(Nome, CString, 0)                                \
  F(TipoClassificacao, std::uint8_t, 0)              \
  F(Inativo, std::uint8_t, 0)                        \
  F(PonteiroDisciplina, std::uint32_t, zq::kSearchable) \
  F(PonteiroPrioridade, std::uint32_t, zq::kSearchable) \
  F(TempoPrevisto, tagCY, 0)                         \
  F(TempoPrevistoEmHoras, tagCY, 0)                  \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_Plano : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Plano, "plano", ZQ_CAMPOS_PLANO)
};

#define ZQ_CRITERIOS_PLANO(C)                        \
  C(Codigo, CString, zq::Match::kIgual)              \
  C(PonteiroPai, std::uint32_t, zq::Match::kIgual)   \
  C(PonteiroDisciplina, std::uint32_t, zq::Match::kIgual)

class CZQDadosMM_FiltroPlano : public zq::Filtro<CZQDadosMM_Plano> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_PLANO)
};
