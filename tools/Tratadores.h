// CTratadores: which data handler of the module checks a record of each stored kind. Kinds
// with a handler of their own are listed once below, as (record class, handler class); every
// other stored kind is answered by the handler base, which refuses saves and deletes alike
// with warning 162 ("operation not supported"), as the suite's screens see for a register
// whose handler does not treat that operation.
//
//   bool proprio = false;
//   auto tratador = CTratadores::Cria(CZQDadosMM_Prioridade::SchemaEstatico(), &proprio);
//   tratador->Inicializa(empresa, usuario, sessao);
//   tratador->TrataGravacao(&registro, nullptr);
//
// Stateless; each call builds a new, uninitialised handler owned by the caller.
#pragma once

#include <memory>

#include <nlohmann/json.hpp>

#include "framework/MMTrataDados.h"
#include "movements/MMTrataDadosLancamentoGastos.h"
#include "movements/MMTrataDadosManutencao.h"
#include "platform/records/RecordSchema.h"
#include "registers/MMTrataDadosCamposPersonalizados.h"
#include "registers/MMTrataDadosDisciplina.h"
#include "registers/MMTrataDadosMestre.h"
#include "registers/MMTrataDadosPlano.h"
#include "registers/MMTrataDadosPrioridade.h"
#include "registers/MMTrataDadosSituacaoManutencao.h"
#include "registers/MMTrataDadosSituacaoTarefa.h"
#include "registers/MMTrataDadosTarefa.h"
#include "registers/MMTrataDadosTecnico.h"
#include "registers/MMTrataDadosTipoGasto.h"

namespace zqhost {

// The status kind holds maintenance statuses (type 1) and task statuses (type 2), each with a
// handler of its own, as the suite's two status screens have: the record's type picks it (any
// type but 2 goes to the maintenance-status handler, which refuses a wrong type itself). The
// chosen handler's answer is copied into this one's error record.
class CTratadorSituacao : public CMMTrataDados {
 public:
  static constexpr const char* kNome = "CMMTrataDadosSituacaoManutencao (tipo 1), CMMTrataDadosSituacaoTarefa (tipo 2)";

 protected:
  long OnInicializa() override;
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 private:
  CMMTrataDadosSituacaoManutencao m_manutencao;
  CMMTrataDadosSituacaoTarefa m_tarefa;
};

}  // namespace zqhost

#define ZQMM_TRATADORES(T)                                                  \
  T(CZQDadosMM_Mestre, CMMTrataDadosMestre)                                 \
  T(CZQDadosMM_Prioridade, CMMTrataDadosPrioridade)                         \
  T(CZQDadosMM_Situacao, zqhost::CTratadorSituacao)                         \
  T(CZQDadosMM_Disciplina, CMMTrataDadosDisciplina)                         \
  T(CZQDadosMM_TipoGasto, CMMTrataDadosTipoGasto)                           \
  T(CZQDadosMM_Tecnico, CMMTrataDadosTecnico)                               \
  T(CZQDadosMM_CamposPersonalizados, CMMTrataDadosCamposPersonalizados)     \
  T(CZQDadosMM_Tarefa, CMMTrataDadosTarefa)                                 \
  T(CZQDadosMM_Plano, CMMTrataDadosPlano)                                   \
  T(CZQDadosMM_Manutencao, CMMTrataDadosManutencao)                         \
  T(CZQDadosMM_LancamentoGastos, CMMTrataDadosLancamentoGastos)

namespace zqhost {

class CTratadores {
 public:
  // A handler for records of `schema`'s kind; *proprio tells whether it is the kind's own
  // handler (false: the base, answering 162).
  static std::unique_ptr<CMMTrataDados> Cria(const zq::RecordSchema& schema, bool* proprio);
  // The class name of the kind's own handler ("CMMTrataDadosPrioridade"), or nullptr.
  static const char* Nome(const zq::RecordSchema& schema);
  // A handler's warning as the host prints it: {"modulo" (or "hr"), "mensagem", "campo",
  // ["item",] "texto"}, texts in UTF-8.
  static nlohmann::ordered_json AvisoJson(const CZQDadosDF_Erro& erro);
};

}  // namespace zqhost
