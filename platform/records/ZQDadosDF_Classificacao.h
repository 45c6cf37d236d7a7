// CZQDadosDF_Classificacao: one entry of a classification tree as the BuscaClassificacao*
// operations answer it.
#pragma once

#include <array>
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

// The classification part of a search of a tree kind: SetApenasAnalitico(1) keeps analytic
// entries (classification type 1) only.
class CZQDadosDF_FiltroClassificacao {
 public:
  void SetApenasAnalitico(unsigned char apenas) { m_apenasAnalitico = apenas; }
  unsigned char GetApenasAnalitico() const { return m_apenasAnalitico; }

 private:
  unsigned char m_apenasAnalitico = 0;
};

namespace zq {

// The fields of a tree kind that fill an entry's fields, in CZQDadosDF_Classificacao's order. A
// kind whose parent or name field has another name (a status's Descricao, a custom field's
// PonteiroClasse) declares its own `static constexpr zq::CamposArvore kCamposArvore`.
using CamposArvore = std::array<const char*, 5>;
inline constexpr CamposArvore kCamposArvorePadrao{"Ponteiro", "PonteiroPai", "Codigo", "Nome", "TipoClassificacao"};

template <class Registro>
constexpr const CamposArvore& CamposArvoreDe() {
  if constexpr (requires { Registro::kCamposArvore; })
    return Registro::kCamposArvore;
  else
    return kCamposArvorePadrao;
}

}  // namespace zq
