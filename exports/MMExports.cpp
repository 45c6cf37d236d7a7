#include "exports/MMExports.h"

#include <new>

#include "alerts/MMEmailAlertaPlano.h"
#include "platform/types/Cp1252.h"
#include "platform/system/ZQCaixaMensagem.h"

CAutoRun* MMEmailAlertaPlano() { return new (std::nothrow) CMMEmailAlertaPlano(); }

long MMEmailAlertaPlano_Config() {
  CZQCaixaMensagem::Informa("A configuração deve ser feita no Cadastro de Planos do Zelva Manutenção."_cp);
  return 0;
}
