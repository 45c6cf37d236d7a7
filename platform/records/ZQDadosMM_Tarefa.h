// CZQDadosMM_Tarefa: a task of the task register, an entry of a classification tree
// (TipoClassificacao 2 is a group), with the technicians who may do it and the materials,
// equipment and services it needs.
#pragma once

#include <cstdint>

#include "platform/records/Filtro.h"
#include "platform/records/ZQRegistroMacros.h"
#include "platform/types/PosicaoProduto.h"

// The kinds of component a task, a plan or an order carries.
enum _E_MM_MANUTENCOES_COMPONENTES : unsigned char {
  E_MM_COMPONENTE_MATERIAL = 1,
  E_MM_COMPONENTE_EQUIPAMENTO = 2,
  E_MM_COMPONENTE_SERVICO = 3,
};

#define ZQ_CAMPOS_TAREFA_TECNICO(F)       \
  F(Linha, std::uint32_t, zq::kKey)       \
  F(PonteiroTecnico, std::uint32_t, 0)

class CZQDadosMM_TarefaTecnico : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_TarefaTecnico, "tarefa_tecnico", ZQ_CAMPOS_TAREFA_TECNICO)
};

// A component of a task; TipoComponente is its kind (_E_MM_MANUTENCOES_COMPONENTES).
#define ZQ_CAMPOS_TAREFA_COMPONENTE(F)                  \
  F(Linha, std::uint32_t, zq::kKey)                     \
  F(TipoComponente, std::uint8_t, 0)                    \
  F(PosicaoProdutoServico, _REG_POSICAO_PRODUTOPS, 0)   \
  F(Quantidade, tagCY, 0)                               \
  F(Complemento, CString, 0)                            \
  F(TipoProdutoServico, std::uint8_t, 0)

class CZQDadosMM_TarefaComponente : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_TarefaComponente, "tarefa_componente", ZQ_CAMPOS_TAREFA_COMPONENTE)
};

#define ZQ_CAMPOS_TAREFA(F)                                            \
  F(Ponteiro, std::uint32_t, zq::kKey)                                 \
  F(PonteiroPai, std::uint32_t, zq::kSearchable)                       \
  F(Codigo, CString, zq::kSearchable)                                  \
  F(Nome, CString, 0)                                                  \
  F(Descricao, CString, 0)                                             \
  F(TipoClassificacao, std::uint8_t, 0)                                \
  F(TempoPrevisto, tagCY, 0)                                           \
  F(AtribuirSituacaoTarefa, bool, 0)                                   \
  F(PonteiroSituacaoGrupo, std::uint32_t, 0)                           \
  F(PonteiroSituacaoInicial, std::uint32_t, 0)                         \
  F(Garantia, bool, 0)                                                 \
  F(PonteiroPeriodoGarantia, std::uint32_t, 0)                         \
  F(QuantPeriodoGarantia, tagCY, 0)                                    \
  F(EfetuarApontTarefa, bool, 0)                                       \
  F(PonteiroInfPersonalizada, std::uint32_t, 0)                        \
  F(ListaTecnico, CZQVector<CZQDadosMM_TarefaTecnico>, 0)              \
  F(ListaMaterial, CZQVector<CZQDadosMM_TarefaComponente>, 0)          \
  F(ListaEquipamento, CZQVector<CZQDadosMM_TarefaComponente>, 0)       \
  F(ListaServico, CZQVector<CZQDadosMM_TarefaComponente>, 0)           \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_Tarefa : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Tarefa, "tarefa", ZQ_CAMPOS_TAREFA)
  ZQ_ACESSO_LISTA(Tecnico, CZQDadosMM_TarefaTecnico)
  ZQ_ACESSO_LISTA(Material, CZQDadosMM_TarefaComponente)
  ZQ_ACESSO_LISTA(Equipamento, CZQDadosMM_TarefaComponente)
  ZQ_ACESSO_LISTA(Servico, CZQDadosMM_TarefaComponente)
  const CZQDadosMM_TarefaComponente* GetPtrMaterial(int i) const { return &GetConstRefMaterial(i); }
  const CZQDadosMM_TarefaComponente* GetPtrEquipamento(int i) const { return &GetConstRefEquipamento(i); }
  const CZQDadosMM_TarefaComponente* GetPtrServico(int i) const { return &GetConstRefServico(i); }
  // "code - name", as lists and messages show a task.
  CString GetCodigoNome() const { return GetCodigo() + " - " + GetNome(); }
};

#define ZQ_CRITERIOS_TAREFA(C)                      \
  C(Codigo, CString, zq::Match::kIgual)             \
  C(PonteiroPai, std::uint32_t, zq::Match::kIgual)

class CZQDadosMM_FiltroTarefa : public zq::Filtro<CZQDadosMM_Tarefa> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_TAREFA)
};
