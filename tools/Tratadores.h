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

#include "framework/MMTrataDados.h"
#include "movements/MMTrataDadosManutencao.h"
#include "platform/records/RecordSchema.h"
#include "registers/MMTrataDadosPrioridade.h"

#define ZQMM_TRATADORES(T)                              \
  T(CZQDadosMM_Prioridade, CMMTrataDadosPrioridade)     \
  T(CZQDadosMM_Manutencao, CMMTrataDadosManutencao)

namespace zqhost {

class CTratadores {
 public:
  // A handler for records of `schema`'s kind; *proprio tells whether it is the kind's own
  // handler (false: the base, answering 162).
  static std::unique_ptr<CMMTrataDados> Cria(const zq::RecordSchema& schema, bool* proprio);
  // The class name of the kind's own handler ("CMMTrataDadosPrioridade"), or nullptr.
  static const char* Nome(const zq::RecordSchema& schema);
};

}  // namespace zqhost
