// CZQDadosMM_Situacao: an entry of the status registers (Tipo 1 maintenance statuses, 2 task
// statuses). SituacaoBase is the order situation (a single-bit value) a maintenance status
// stands for. Task statuses form a classification tree (PonteiroPai, TipoClassificacao 1 an
// analytic entry, other values groups); maintenance statuses are a flat list.
#pragma once

#include <cstdint>

#include "platform/records/Filtro.h"
#include "platform/records/ZQDadosDF_Classificacao.h"
#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_SITUACAO(F)                   \
  F(Ponteiro, std::uint32_t, zq::kKey)          \
  F(PonteiroPai, std::uint32_t, zq::kSearchable) \
  F(Tipo, std::uint8_t, zq::kSearchable)        \
  F(Codigo, CString, zq::kSearchable)           \
  F(Descricao, CString, 0)                      \
  F(TipoClassificacao, std::uint8_t, 0)         \
  F(SituacaoBase, std::uint8_t, 0)              \
  F(Inativo, std::uint8_t, 0)                   \
  F(DmaHmsAtualizacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_Situacao : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Situacao, "situacao", ZQ_CAMPOS_SITUACAO)
  static constexpr std::uint8_t kTipoManutencao = 1;
  static constexpr std::uint8_t kTipoTarefa = 2;
  static constexpr zq::CamposArvore kCamposArvore{"Ponteiro", "PonteiroPai", "Codigo", "Descricao",
                                                  "TipoClassificacao"};
  // The status registers call the pointer a position.
  std::uint32_t GetPosicao() const { return GetPonteiro(); }
  void SetPosicao(std::uint32_t posicao) { SetPonteiro(posicao); }
};

#define ZQ_CRITERIOS_SITUACAO(C)                 \
  C(Codigo, CString, zq::Match::kCodigo)         \
  C(Tipo, std::uint8_t, zq::Match::kIgual)       \
  C(PonteiroPai, std::uint32_t, zq::Match::kIgual)

class CZQDadosMM_FiltroSituacao : public zq::Filtro<CZQDadosMM_Situacao> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_SITUACAO)
  // The status type searched (1 maintenance, 2 task statuses).
  void SetFlagTipo(std::uint8_t tipo) { SetTipo(tipo); }
};

// Read flags of LeSituacao.
constexpr unsigned char MM_LER_SITUACAO_CABECALHO = 0;
