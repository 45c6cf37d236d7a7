#include "support/MMCampos.h"

namespace {
// Field codes by component type: 1 material, 2 equipment, 3 service.
constexpr long kCampoCodigo[] = {76, 79, 82};
constexpr long kCampoQuantidade[] = {77, 80, 83};

long PorTipo(const long (&campos)[3], unsigned char tipoComponente) {
  return tipoComponente >= 1 && tipoComponente <= 3 ? campos[tipoComponente - 1] : 0;
}
}  // namespace

long CMMCampos::GetCampoTarefaComponenteCodigo(unsigned char tipoComponente) {
  return PorTipo(kCampoCodigo, tipoComponente);
}

long CMMCampos::GetCampoTarefaComponenteQuantidade(unsigned char tipoComponente) {
  return PorTipo(kCampoQuantidade, tipoComponente);
}
