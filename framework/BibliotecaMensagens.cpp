#include "framework/BibliotecaMensagens.h"

#include <dlfcn.h>

#include "platform/system/ZQRegistro.h"

std::string CMMBibliotecaMensagens::Nome() {
  auto nome = CZQRegistro::Le(CZQRegistro::kRaiz, "BibliotecaMensagens");
  return nome && !nome->empty() ? *nome : kNomePadrao;
}

CMMBibliotecaMensagens::CMMBibliotecaMensagens()
    : m_handle(::dlopen(Nome().c_str(), RTLD_NOW | RTLD_LOCAL)) {}

CMMBibliotecaMensagens::~CMMBibliotecaMensagens() {
  if (m_handle) ::dlclose(m_handle);
}

void* CMMBibliotecaMensagens::Simbolo(const char* nome) const {
  return m_handle ? ::dlsym(m_handle, nome) : nullptr;
}

std::optional<std::string> CMMBibliotecaMensagens::DescricaoHResult(long hr) const {
  using Funcao = const char* (*)(long);
  auto f = reinterpret_cast<Funcao>(Simbolo("ZQGetDescricaoHRESULT"));
  if (!f) return std::nullopt;
  const char* texto = f(hr);
  return std::string(texto ? texto : "");
}

std::optional<bool> CMMBibliotecaMensagens::EhFacilityMT(int facility) const {
  using Funcao = int (*)(int);
  auto f = reinterpret_cast<Funcao>(Simbolo("EhFacilityMT"));
  if (!f) return std::nullopt;
  return f(facility) != 0;
}
