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

#include "platform/ZQAcessoBase.h"
#include "platform/ZQDadosMM_Disciplina.h"
#include "platform/ZQDadosMM_Prioridade.h"

#define ZQ_REGISTROS_MANUTENCAO(R)                                              \
  R(Prioridade, CZQDadosMM_Prioridade, CZQDadosMM_FiltroPrioridade)             \
  R(Disciplina, CZQDadosMM_Disciplina, CZQDadosMM_FiltroDisciplina)

#define ZQ_CLASSIFICACOES_MANUTENCAO(R) \
  R(Disciplina, CZQDadosMM_Disciplina, CZQDadosMM_FiltroDisciplina)

// Shared by every access object's declaration list.
#define ZQ_ACESSO_LE_BUSCA(Nome, Registro, Filtro)                                        \
  long Le##Nome(unsigned long chave, Registro* destino, unsigned char flags = 0) {        \
    (void)flags;                                                                          \
    return Le("Le" #Nome, chave, destino);                                                \
  }                                                                                       \
  long BuscaPonteiros##Nome(const Filtro& filtro, CZQArrayPonteiros& ponteiros) {         \
    return Busca("BuscaPonteiros" #Nome, Registro::SchemaEstatico(), filtro.Predicados(), \
                 ponteiros);                                                              \
  }
#define ZQ_ACESSO_CLASSIFICACAO(Nome, Registro, Filtro)                                        \
  long BuscaClassificacao##Nome(const Filtro& filtro, CZQVector<CZQDadosDF_Classificacao>& lista) { \
    return BuscaClassificacao("BuscaClassificacao" #Nome, Registro(), filtro.Predicados(), lista);  \
  }

class CZQAcessoManutencao : public CZQAcessoBase {
 public:
  using CZQAcessoBase::CZQAcessoBase;
  ZQ_REGISTROS_MANUTENCAO(ZQ_ACESSO_LE_BUSCA)
  ZQ_CLASSIFICACOES_MANUTENCAO(ZQ_ACESSO_CLASSIFICACAO)
};

// The name the routine base hands it out under.
using CZQAcessoManutencaoBuffer = CZQAcessoManutencao;
