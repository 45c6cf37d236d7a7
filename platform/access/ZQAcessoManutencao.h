// CZQAcessoManutencao: the maintenance module's access object (records CZQDadosMM_*). The rules
// reach it through GetAcessoManutencao(). Contract of every operation: CZQAcessoBase.
//
// Adding a record kind: declare the record and its filter (see ZQDadosMM_Prioridade.h), include
// its header below and add one line to ZQ_REGISTROS_MANUTENCAO; a tree kind also goes in
// ZQ_CLASSIFICACOES_MANUTENCAO. That yields
//   long Le<Nome>(unsigned long chave, Registro* destino, unsigned char flags = 0);
//   long BuscaPonteiros<Nome>(const Filtro&, CZQArrayPonteiros&);
//   long BuscaClassificacao<Nome>(const Filtro&, CZQVector<CZQDadosDF_Classificacao>&);
// The flags of a read select optional parts of a record; records without parts ignore them.
#pragma once

#include "platform/access/ZQAcessoBase.h"
#include "platform/records/ZQDadosMM_CamposPersonalizados.h"
#include "platform/records/ZQDadosMM_Disciplina.h"
#include "platform/records/ZQDadosMM_LancamentoGastos.h"
#include "platform/records/ZQDadosMM_Manutencao.h"
#include "platform/records/ZQDadosMM_Mestre.h"
#include "platform/records/ZQDadosMM_Plano.h"
#include "platform/records/ZQDadosMM_Prioridade.h"
#include "platform/records/ZQDadosMM_Situacao.h"
#include "platform/records/ZQDadosMM_Tarefa.h"
#include "platform/records/ZQDadosMM_Tecnico.h"
#include "platform/records/ZQDadosMM_TipoGasto.h"

// The movement keys that order searches answer.
using CZQArrayDmc = CZQArray_deprecated<REG_ZQDMC>;

// Kinds read by pointer and searched with their filter.
#define ZQ_REGISTROS_MANUTENCAO(R)                                              \
  R(Prioridade, CZQDadosMM_Prioridade, CZQDadosMM_FiltroPrioridade)             \
  R(Disciplina, CZQDadosMM_Disciplina, CZQDadosMM_FiltroDisciplina)             \
  R(Situacao, CZQDadosMM_Situacao, CZQDadosMM_FiltroSituacao)                   \
  R(Tarefa, CZQDadosMM_Tarefa, CZQDadosMM_FiltroTarefa)                         \
  R(TipoGasto, CZQDadosMM_TipoGasto, CZQDadosMM_FiltroTipoGasto)                \
  R(CamposPersonalizados, CZQDadosMM_CamposPersonalizados, CZQDadosMM_FiltroCamposPersonalizados)

// Kinds read by pointer whose search is written by hand below.
#define ZQ_LEITURAS_MANUTENCAO(R)      \
  R(Tecnico, CZQDadosMM_Tecnico)       \
  R(BufferTecnico, CZQDadosMM_Tecnico) \
  R(Plano, CZQDadosMM_Plano)           \
  R(BufferPlano, CZQDadosMM_Plano)

#define ZQ_CLASSIFICACOES_MANUTENCAO(R)                                 \
  R(Disciplina, CZQDadosMM_Disciplina, CZQDadosMM_FiltroDisciplina)     \
  R(Plano, CZQDadosMM_Plano, CZQDadosMM_FiltroPlano)                    \
  R(Tecnico, CZQDadosMM_Tecnico, CZQDadosMM_FiltroTecnico)              \
  R(Tarefa, CZQDadosMM_Tarefa, CZQDadosMM_FiltroTarefa)                 \
  R(TipoGasto, CZQDadosMM_TipoGasto, CZQDadosMM_FiltroTipoGasto)        \
  R(Situacao, CZQDadosMM_Situacao, CZQDadosMM_FiltroSituacao)           \
  R(CamposPersonalizados, CZQDadosMM_CamposPersonalizados, CZQDadosMM_FiltroCamposPersonalizados)

// Shared by every access object's declaration lists.
#define ZQ_ACESSO_LE(Nome, Registro)                                                      \
  long Le##Nome(unsigned long chave, Registro* destino, unsigned short flags = 0) {       \
    (void)flags;                                                                          \
    return Le("Le" #Nome, chave, destino);                                                \
  }
#define ZQ_ACESSO_LE_BUSCA(Nome, Registro, Filtro)                                        \
  ZQ_ACESSO_LE(Nome, Registro)                                                            \
  long BuscaPonteiros##Nome(const Filtro& filtro, CZQArrayPonteiros& ponteiros) {         \
    return Busca("BuscaPonteiros" #Nome, Registro::SchemaEstatico(), filtro.Predicados(), \
                 ponteiros);                                                              \
  }
#define ZQ_ACESSO_CLASSIFICACAO(Nome, Registro, Filtro)                                        \
  long BuscaClassificacao##Nome(const Filtro& filtro, CZQVector<CZQDadosDF_Classificacao>& lista) { \
    return BuscaClassificacao("BuscaClassificacao" #Nome, Registro(), filtro.Predicados(), lista,   \
                              zq::CamposArvoreDe<Registro>());                                      \
  }

class CZQAcessoManutencao : public CZQAcessoBase {
 public:
  using CZQAcessoBase::CZQAcessoBase;
  ZQ_REGISTROS_MANUTENCAO(ZQ_ACESSO_LE_BUSCA)
  ZQ_LEITURAS_MANUTENCAO(ZQ_ACESSO_LE)
  ZQ_CLASSIFICACOES_MANUTENCAO(ZQ_ACESSO_CLASSIFICACAO)

  // The order with this movement key. The read flags select parts (CMMFuncoesComuns); every
  // part is always read here.
  long LeManutencao(const REG_ZQDMC& dmc, CZQDadosMM_Manutencao* destino, unsigned short flags = 0);
  // The expense entry with this movement key, every item read whatever the flags.
  long LeLancamentoGastos(const REG_ZQDMC& dmc, CZQDadosMM_LancamentoGastos* destino, unsigned short flags = 0);
  // The module's parameters (the single parameter record).
  long LeMestre(CZQDadosMM_Mestre* destino, unsigned short flags = 0);
  // Technicians matching the filter; with SetValorUnicoDisciplina, only those whose discipline
  // list holds that discipline; with SetTodosDescendentes, every entry below the parent (the
  // parent itself excluded), depth first in key order; SetAtivo/SetInativo keep active or
  // inactive ones; SetValorUnicoFilial with SetTodasFiliais(0) keeps one branch.
  long BuscaPonteirosTecnico(const CZQDadosMM_FiltroTecnico& filtro, CZQArrayPonteiros& ponteiros);
  // The technicians of the first `quantidade` pointers, in order; stops at the first failure.
  long LeTecnicos(int quantidade, const CZQArrayPonteiros& ponteiros, CZQVector<CZQDadosMM_Tecnico>& tecnicos,
                  unsigned short flags = 0);
  // Movement keys of the orders matching the filter and its situation mask, in storage order.
  long BuscaPonteirosManutencao(const CZQDadosMM_FiltroManutencao& filtro, CZQArrayDmc& chaves);
  // Movement keys of the expense entries matching the filter, in storage order.
  long BuscaPonteirosLancamentoGastos(const CZQDadosMM_FiltroLancamentoGastos& filtro, CZQArrayDmc& chaves);
  // The orders of the first `quantidade` keys, in order, every part read; stops at the first
  // failure, keeping the orders read before it.
  long LeManutencoes(int quantidade, const CZQArrayDmc& chaves, CZQVector<CZQDadosMM_Manutencao>& manutencoes,
                     unsigned short flags = 0);
  // Plans matching the filter, with its active and active-resource conditions (a plan has an
  // active resource when one of its active links leads to one; its links are found by plan).
  long BuscaPonteirosPlano(const CZQDadosMM_FiltroPlano& filtro, CZQArrayPonteiros& ponteiros);
  // Records the current date-time (the local clock) as the last send of alert `indice` of the
  // plan, in a write transaction of its own that also reads the plan (inside the caller's
  // transaction when there is one); ZQ_E_NAO_ENCONTRADO when the plan has no such alert.
  long AtualizaDataHoraEnvioAlerta(unsigned long plano, int indice);
  // How long AtualizaDataHoraEnvioAlerta waits for another program's write (a large load) to
  // end before it fails, in milliseconds; 0, the default, is the engine's usual wait (seconds).
  // The mails of a send time that fails to be written go out again, so the routine waits long.
  void SetEsperaEnvioAlerta(long ms) { m_esperaEnvioAlertaMs = ms; }
  // With the switch on, AtualizaDataHoraEnvioAlerta checks the plan and the alert as always but
  // writes nothing and answers success: a preview runs the real alert routine without
  // recording a send (its host also opens the company read-only, so nothing else is written).
  void SetSemGravarEnvioAlerta(bool sem) { m_semGravarEnvioAlerta = sem; }
  // Whether `disciplina` is `grupo` or lies beneath it in the discipline tree. Reads the group
  // (absent: ZQ_E_NAO_ENCONTRADO) and the discipline's ancestors, never the group's subtree.
  long PertenceGrupoDisciplina(unsigned long grupo, unsigned long disciplina, bool& pertence);

 private:
  // The movement keys of the stored records `registros` of kind Movimento, in key order.
  template <class Movimento>
  long ChavesMovimento(std::vector<std::uint32_t> registros, CZQArrayDmc& chaves);
  // Whether one of the plan's active links leads to an active resource.
  long TemRecursoAtivo(std::uint32_t plano, bool& tem);

  long m_esperaEnvioAlertaMs = 0;
  bool m_semGravarEnvioAlerta = false;
};

// The name the routine base hands it out under.
using CZQAcessoManutencaoBuffer = CZQAcessoManutencao;
