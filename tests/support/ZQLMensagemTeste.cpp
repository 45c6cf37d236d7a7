// A stand-in for the suite's message library, with answers a test can predict:
//   ZQGetDescricaoHRESULT(hr)  "Mensagem de teste 0xXXXXXXXX" (the low 32 bits of hr), or null
//                              when the facility is 0x1FFF
//   EhFacilityMT(facility)     true for the suite's facilities, 236..269
//   ZQLMensagemTesteChamadas() how many times ZQGetDescricaoHRESULT was called while this copy of
//                              the library stayed loaded (a test keeps it loaded to count)
#include <atomic>
#include <cstdio>

namespace {
std::atomic<int> g_chamadas{0};
}

extern "C" __attribute__((visibility("default"))) const char* ZQGetDescricaoHRESULT(long hr) {
  ++g_chamadas;
  const unsigned hr32 = static_cast<unsigned>(hr);
  if (((hr32 >> 16) & 0x1FFF) == 0x1FFF) return nullptr;
  thread_local char texto[64];
  std::snprintf(texto, sizeof texto, "Mensagem de teste 0x%08X", hr32);
  return texto;
}

extern "C" __attribute__((visibility("default"))) int EhFacilityMT(int facility) {
  return facility >= 236 && facility <= 269;
}

extern "C" __attribute__((visibility("default"))) int ZQLMensagemTesteChamadas() {
  return g_chamadas.load();
}
