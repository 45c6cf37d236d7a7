// CZQDadosMM_LancamentoGastos: an expense entry, products bought or spent on a resource on a
// date, item by item. Keyed by its movement key (Dmc; all zero before the first save, and once
// stored carrying the year and month of the entry); Registro is the engine's row key.
#pragma once

#include <cstdint>

#include "platform/records/Filtro.h"
#include "platform/records/ZQRegistroMacros.h"
#include "platform/types/PosicaoProduto.h"

#define ZQ_CAMPOS_LANCAMENTO_GASTOS_ITEM(F)   \
  F(Linha, std::uint32_t, zq::kKey)           \
  F(ProdutoServico, _REG_POSICAO_PRODUTOPS, 0) \
  F(Quantidade, tagCY, 0)                     \
  F(Valor, tagCY, 0)

class CZQDadosMM_LancamentoGastosItem : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_LancamentoGastosItem, "lancamento_gastos_item", ZQ_CAMPOS_LANCAMENTO_GASTOS_ITEM)
};

#define ZQ_CAMPOS_LANCAMENTO_GASTOS(F)                             \
  F(Registro, std::uint32_t, zq::kKey)                             \
  F(Dmc, REG_ZQDMC, zq::kSearchable)                               \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)                            \
  F(Data, REG_ZQDMA, 0)                                            \
  F(PonteiroRecurso, std::uint32_t, zq::kSearchable)               \
  F(PonteiroTipoGasto, std::uint32_t, zq::kSearchable)             \
  F(Observacao, CString, 0)                                        \
  F(ListaItem, CZQVector<CZQDadosMM_LancamentoGastosItem>, 0)

class CZQDadosMM_LancamentoGastos : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_LancamentoGastos, "lancamento_gastos", ZQ_CAMPOS_LANCAMENTO_GASTOS)
  ZQ_ACESSO_LISTA(Item, CZQDadosMM_LancamentoGastosItem)
  void SetItem(int i, const CZQDadosMM_LancamentoGastosItem& item) { m_ListaItem.GetAt(i) = item; }
};

#define ZQ_CRITERIOS_LANCAMENTO_GASTOS(C)                \
  C(Dmc, REG_ZQDMC, zq::Match::kIgual)                   \
  C(PonteiroRecurso, std::uint32_t, zq::Match::kIgual)   \
  C(PonteiroTipoGasto, std::uint32_t, zq::Match::kIgual)

// The search spans every period whatever SetTodosPeriodos says (kept for callers that state it).
class CZQDadosMM_FiltroLancamentoGastos : public zq::Filtro<CZQDadosMM_LancamentoGastos> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_LANCAMENTO_GASTOS)
  void SetValorUnicoTipoGasto(std::uint32_t tipo) { SetPonteiroTipoGasto(tipo); }
  void SetTodosPeriodos(unsigned char todos) { m_todosPeriodos = todos; }
  unsigned char GetTodosPeriodos() const { return m_todosPeriodos; }

 private:
  unsigned char m_todosPeriodos = 0;
};
