#include "registers/MMRegrasCadastro.h"

namespace mmcadastro {

namespace {
constexpr std::uint64_t kMascaraSegundos = 0x3FFFFFFFFFull;
}  // namespace

CZQDadosDF_Erro& CopiaErroAcesso(CMMTrataDados& handler) {
  return handler.SetErro(handler.GetAcessoManutencao()->GetErro());
}

bool OutroComCodigo(const CZQArrayPonteiros& ponteiros, unsigned long proprio) {
  for (int i = 0; i < ponteiros.GetSize(); ++i)
    if (ponteiros[i] != proprio) return true;
  return false;
}

bool MesmoSegundo(const REG_ZQDMAHMSUTC& a, const REG_ZQDMAHMSUTC& b) {
  return (a.ullValor & kMascaraSegundos) == (b.ullValor & kMascaraSegundos);
}

CString Aparado(CString texto) {
  texto.Trim();
  return texto;
}

CZQDadosDF_Erro& VerificaSubarvore(CMMTrataDados& handler, const CZQVector<CZQDadosDF_Classificacao>& subarvore,
                                   std::uint8_t novoTipo, unsigned long novoPai, Raiz raiz, long campo) {
  if (subarvore.GetSize() >= 2 && novoTipo == 1) return handler.SetAviso(MODULO_MM, 98, campo);
  if (novoPai == 0) return handler;
  for (int i = raiz == Raiz::kDentro ? 0 : 1; i < subarvore.GetSize(); ++i)
    if (subarvore.GetAt(i).GetPonteiro() == novoPai) return handler.SetAviso(MODULO_MM, 99, campo);
  return handler;
}

}  // namespace mmcadastro
