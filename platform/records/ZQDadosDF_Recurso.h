// CZQDadosDF_Recurso: a resource of the base module, a piece of equipment that maintenance orders
// work on. Tipo 2 is a maintainable resource; the counter fields describe the resource's usage
// counter. Resources form a classification tree in the base module (TipoClassificacao 1 an
// analytic entry). Posicao is the resource's asset number: the low 12 bits a month (months
// counted from January 1848), the upper 20 bits a sequence number.
#pragma once

#include <cstdint>

#include <vector>

#include "platform/records/Filtro.h"
#include "platform/records/ZQDadosDF_Classificacao.h"
#include "platform/records/ZQDadosDF_RecursoPlanoManutencao.h"
#include "platform/records/ZQRegistroMacros.h"

// The warranty a resource holds for a task: until DmaGarantia, given by order DmcManutencao.
#define ZQ_CAMPOS_RECURSO_GARANTIA(F)      \
  F(Linha, std::uint32_t, zq::kKey)         \
  F(PonteiroTarefa, std::uint32_t, 0)       \
  F(DmaGarantia, REG_ZQDMA, 0)              \
  F(DmcManutencao, REG_ZQDMC, 0)

class CZQDadosDF_RecursoGarantia : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_RecursoGarantia, "recurso_garantia", ZQ_CAMPOS_RECURSO_GARANTIA)
};

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
  F(UnidadeProdutoServico, CString, 0)                  \
  F(TipoClassificacao, std::uint8_t, zq::kSearchable)   \
  F(Posicao, std::uint32_t, 0)                          \
  F(ListaRecursoGarantia, CZQVector<CZQDadosDF_RecursoGarantia>, 0)

// The resource's links to plans are records of their own (CZQDadosDF_RecursoPlanoManutencao);
// reads that ask for them (LeRecursos with option 4) attach them here, in key order. They are
// not part of the stored resource.
class CZQDadosDF_Recurso : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Recurso, "recurso", ZQ_CAMPOS_RECURSO)
  ZQ_ACESSO_LISTA(RecursoGarantia, CZQDadosDF_RecursoGarantia)
  int GetQuantidadePlanoManutencao() const { return static_cast<int>(m_planos.size()); }
  const CZQDadosDF_RecursoPlanoManutencao& GetPlanoManutencao(int j) const { return m_planos.at(static_cast<std::size_t>(j)); }
  void SetPlanosManutencao(std::vector<CZQDadosDF_RecursoPlanoManutencao> planos) { m_planos = std::move(planos); }

 private:
  std::vector<CZQDadosDF_RecursoPlanoManutencao> m_planos;
};

#define ZQ_CRITERIOS_RECURSO(C) C(Codigo, CString, zq::Match::kIgual)

// SetPonteiroPlanoManutencao keeps resources with a link to that plan; SetFlagAtivoInativo(1)
// keeps active resources (and active links) only; a classification part with
// SetApenasAnalitico(1) keeps analytic resources only.
class CZQDadosDF_FiltroRecurso : public zq::Filtro<CZQDadosDF_Recurso> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_RECURSO)
  void SetPonteiroPlanoManutencao(std::uint32_t plano) { m_plano = plano; }
  void SetFlagAtivoInativo(unsigned char ativo) { m_ativo = ativo; }
  std::uint32_t GetPonteiroPlanoManutencao() const { return m_plano; }
  unsigned char GetFlagAtivoInativo() const { return m_ativo; }
  void SetFiltroClassificacao(const CZQDadosDF_FiltroClassificacao& filtro) { m_classificacao = filtro; }
  const CZQDadosDF_FiltroClassificacao& GetFiltroClassificacao() const { return m_classificacao; }

 private:
  CZQDadosDF_FiltroClassificacao m_classificacao;
  std::uint32_t m_plano = 0;
  unsigned char m_ativo = 0;
};
