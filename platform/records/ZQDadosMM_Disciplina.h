// CZQDadosMM_Disciplina: a discipline (trade) of the maintenance module, an entry of a
// classification tree: TipoClassificacao 1 is an analytic entry (a leaf), other values groups.
// Its filter searches by exact code or by parent (for the classification search, the parent
// criterion names the subtree's root).
#pragma once

#include <cstdint>

#include "platform/records/Filtro.h"
#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_DISCIPLINA(F)                  \
  F(Ponteiro, std::uint32_t, zq::kKey)           \
  F(PonteiroPai, std::uint32_t, zq::kSearchable) \
  F(Codigo, CString, zq::kSearchable)            \
  F(Nome, CString, 0)                            \
  F(TipoClassificacao, std::uint8_t, 0)          \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_Disciplina : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Disciplina, "disciplina", ZQ_CAMPOS_DISCIPLINA)
};

#define ZQ_CRITERIOS_DISCIPLINA(C)               \
  C(Codigo, CString, zq::Match::kIgual)          \
  C(PonteiroPai, std::uint32_t, zq::Match::kIgual)

class CZQDadosMM_FiltroDisciplina : public zq::Filtro<CZQDadosMM_Disciplina> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_DISCIPLINA)
};
