// The record kinds a company stores, declared once. Hosts load, export and check datasets
// through this table, so a kind listed here is known to each of them at once; a kind missing
// here cannot be loaded nor exported. Child records (lines of an order, alerts of a plan, fields
// of a configuration) travel inside their parent's list fields and are not listed.
//
// Order matters only for reading: datasets are written in this order, the base module's
// registers first, then the maintenance registers, then movements, then the extra-information
// server's headers and links.
//
//   for (const zq::RecordSchema* s : zq::TiposRegistro()) ...   // every kind, in order
//   const zq::RecordSchema* s = zq::TipoRegistro("prioridade");  // nullptr when unknown
//
// Pure functions over constant tables; any thread may call them.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/access/ZQAcessoManutencao.h"
#include "platform/records/IEVinculo.h"

#define ZQ_TIPOS_REGISTRO(T)            \
  T(CZQDadosDF_Filial)                  \
  T(CZQDadosDF_PeriodoContabil)         \
  T(CZQDadosDF_Usuario)                 \
  T(CZQDadosDF_PermissaoUsuario)        \
  T(CZQDadosDF_TipoPeriodo)             \
  T(CZQDadosDF_UnidadeMedidaProduto)    \
  T(CZQDadosDF_UnidadeMedidaServico)    \
  T(CZQDadosDF_TipoRecurso)             \
  T(CZQDadosDF_ProdutoEx)               \
  T(CZQDadosDF_Servico)                 \
  T(CZQDadosDF_Requisitante)            \
  T(CZQDadosDF_Recurso)                 \
  T(CZQDadosDF_RecursoPlanoManutencao)  \
  T(CZQDadosBDD_Registro)               \
  T(CZQDadosMM_Mestre)                  \
  T(CZQDadosMM_Prioridade)              \
  T(CZQDadosMM_Situacao)                \
  T(CZQDadosMM_Disciplina)              \
  T(CZQDadosMM_TipoGasto)               \
  T(CZQDadosMM_Tecnico)                 \
  T(CZQDadosMM_CamposPersonalizados)    \
  T(CZQDadosMM_Tarefa)                  \
  T(CZQDadosMM_Plano)                   \
  T(CZQDadosMM_Manutencao)             \
  T(CZQDadosMM_LancamentoGastos)       \
  T(CIEHeader)                          \
  T(CIEVinculo)

namespace zq {

inline std::span<const RecordSchema* const> TiposRegistro() {
#define ZQ_TIPO_SCHEMA(Classe) &Classe::SchemaEstatico(),
  static const std::array kTipos{ZQ_TIPOS_REGISTRO(ZQ_TIPO_SCHEMA)};
#undef ZQ_TIPO_SCHEMA
  return kTipos;
}

// The schema of a stored kind by its exact name ("prioridade"), or nullptr.
inline const RecordSchema* TipoRegistro(std::string_view tipo) {
  for (const RecordSchema* s : TiposRegistro())
    if (tipo == s->kind) return s;
  return nullptr;
}

}  // namespace zq
