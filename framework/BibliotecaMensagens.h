// CMMBibliotecaMensagens: the suite's message library, loaded by name for one lookup of the
// failure trace and unloaded when the object goes away.
//
// On Windows this is "ZQLMensagem.dll". Here the file name is the registry value
//   [SOFTWARE\Wow6432Node\ZQ Sistemas]  BibliotecaMensagens=<name or path>
// (see platform/ZQRegistro.h), "libZQLMensagem.so" when the value is absent or empty; a name
// without '/' is searched as dlopen(3) searches. The library is opened with dlopen at
// construction and closed with dlclose at destruction, so each lookup loads it afresh: a library
// replaced or removed between traces is picked up. Its absence is normal.
//
// Exports used, both optional:
//   extern "C" const char* ZQGetDescricaoHRESULT(long hr);  // description of hr, or null; the
//       text stays valid until the next call on the same thread, and is copied here before the
//       library can be closed
//   extern "C" int EhFacilityMT(int facility);             // non-zero when the facility is one
//       of the suite's own
//
// An object belongs to one thread; separate objects may be used on separate threads at once.
#pragma once

#include <optional>
#include <string>

class CMMBibliotecaMensagens {
 public:
  static constexpr const char* kNomePadrao = "libZQLMensagem.so";

  // Loads the library named in the registry; Carregada() tells whether it was found.
  CMMBibliotecaMensagens();
  ~CMMBibliotecaMensagens();
  CMMBibliotecaMensagens(const CMMBibliotecaMensagens&) = delete;
  CMMBibliotecaMensagens& operator=(const CMMBibliotecaMensagens&) = delete;

  // The file name that a new object would load.
  static std::string Nome();

  bool Carregada() const { return m_handle != nullptr; }
  // A copy of ZQGetDescricaoHRESULT(hr): nullopt when the library or the export is missing,
  // "" when the export answers null.
  std::optional<std::string> DescricaoHResult(long hr) const;
  // EhFacilityMT(facility): nullopt when the library or the export is missing.
  std::optional<bool> EhFacilityMT(int facility) const;

 private:
  void* Simbolo(const char* nome) const;

  void* m_handle = nullptr;
};
