// CZQDadosMM_CamposPersonalizados: an entry of the custom-field tree of one destination (1 the
// appointments of tasks): a class (TipoClassificacao 2) gathers fields (1) under it through
// PonteiroClasse. Detalhamento tells the user what to fill in.
//
// Its filter searches by exact code and destination; a classification search names its root
// through the classification part:
//   filtro.GetFiltroClassificacao().SetPonteiroInicial(classe);
//   filtro.SetDestinacao(1);
#pragma once

#include <cstdint>

#include "platform/records/Filtro.h"
#include "platform/records/ZQDadosDF_Classificacao.h"
#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_CAMPOS_PERSONALIZADOS(F)         \
  F(Ponteiro, std::uint32_t, zq::kKey)             \
  F(PonteiroClasse, std::uint32_t, zq::kSearchable) \
  F(Destinacao, std::uint8_t, zq::kSearchable)     \
  F(Codigo, CString, zq::kSearchable)              \
  F(Descricao, CString, 0)                         \
  F(TipoClassificacao, std::uint8_t, 0)            \
  F(Detalhamento, CString, 0)                      \
  F(Inativo, std::uint8_t, 0)                      \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_CamposPersonalizados : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_CamposPersonalizados, "campos_personalizados", ZQ_CAMPOS_CAMPOS_PERSONALIZADOS)
  static constexpr zq::CamposArvore kCamposArvore{"Ponteiro", "PonteiroClasse", "Codigo", "Descricao",
                                                  "TipoClassificacao"};
};

#define ZQ_CRITERIOS_CAMPOS_PERSONALIZADOS(C)        \
  C(Codigo, CString, zq::Match::kIgual)              \
  C(Destinacao, std::uint8_t, zq::Match::kIgual)     \
  C(PonteiroClasse, std::uint32_t, zq::Match::kIgual)

class CZQDadosMM_FiltroCamposPersonalizados : public zq::Filtro<CZQDadosMM_CamposPersonalizados> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_CAMPOS_PERSONALIZADOS)

  // The classification part of the filter, a view on it: the root it names is the class
  // criterion, which a classification search takes as the subtree's root.
  class Classificacao {
   public:
    explicit Classificacao(CZQDadosMM_FiltroCamposPersonalizados& filtro) : m_filtro(filtro) {}
    void SetPonteiroInicial(std::uint32_t ponteiro) { m_filtro.SetPonteiroClasse(ponteiro); }

   private:
    CZQDadosMM_FiltroCamposPersonalizados& m_filtro;
  };
  Classificacao GetFiltroClassificacao() { return Classificacao(*this); }
};
