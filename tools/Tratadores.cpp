#include "tools/Tratadores.h"

namespace zqhost {

std::unique_ptr<CMMTrataDados> CTratadores::Cria(const zq::RecordSchema& schema, bool* proprio) {
  *proprio = true;
#define ZQMM_CRIA_TRATADOR(Registro, Tratador) \
  if (&schema == &Registro::SchemaEstatico()) return std::make_unique<Tratador>(false);
  ZQMM_TRATADORES(ZQMM_CRIA_TRATADOR)
#undef ZQMM_CRIA_TRATADOR
  *proprio = false;
  return std::make_unique<CMMTrataDados>(false);
}

const char* CTratadores::Nome(const zq::RecordSchema& schema) {
#define ZQMM_NOME_TRATADOR(Registro, Tratador) \
  if (&schema == &Registro::SchemaEstatico()) return #Tratador;
  ZQMM_TRATADORES(ZQMM_NOME_TRATADOR)
#undef ZQMM_NOME_TRATADOR
  return nullptr;
}

}  // namespace zqhost
