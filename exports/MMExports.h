// The library's plain exported functions, looked up by name (dlsym; GetProcAddress on Windows)
// by the suite's scheduler:
//
//   void* lib = dlopen("libzqmm.so", RTLD_NOW);
//   auto criar = reinterpret_cast<PFN_MMEmailAlertaPlano>(dlsym(lib, "MMEmailAlertaPlano"));
//   CAutoRun* rotina = criar();      // null when it cannot be allocated
//   ...
//   rotina->OnDeleta();              // never delete: the library frees what it allocated
#pragma once

#include "platform/routines/AutoRun.h"

#define MM_EXPORTA extern "C" __attribute__((visibility("default")))

// A new plan alert routine (CMMEmailAlertaPlano), not initialised; null when out of memory.
MM_EXPORTA CAutoRun* MMEmailAlertaPlano();
// The routine's configuration: it has none of its own, so it tells (a message box, OK only)
// that alerts are configured on the plans. Returns 0.
MM_EXPORTA long MMEmailAlertaPlano_Config();

using PFN_MMEmailAlertaPlano = CAutoRun* (*)();
using PFN_MMEmailAlertaPlano_Config = long (*)();
