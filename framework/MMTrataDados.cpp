#include "framework/MMTrataDados.h"

#include "framework/Rastreio.h"

namespace {
constexpr std::uint64_t kMascaraSegundos = 0x3FFFFFFFFFull;
}

CMMTrataDados::~CMMTrataDados() { Finaliza(); }

CMMTrataDados& CMMTrataDados::operator=(const CMMTrataDados& outro) {
  CMMBaseParaRotinas::operator=(outro);
  m_interfaceHabilitada = outro.m_interfaceHabilitada;
  return *this;
}

long CMMTrataDados::OnInicializa() {
  const long hr = CMMBaseParaRotinas::OnInicializa();
  MMTraceHR(this, "CMMTrataDados::OnInicializa", "MMTrataDados", 26, "__super::OnInicializa()", hr);
  return hr;
}

long CMMTrataDados::OnFinaliza() {
  const long hr = CMMBaseParaRotinas::OnFinaliza();
  MMTraceHR(this, "CMMTrataDados::OnFinaliza", "MMTrataDados", 36, "__super::OnFinaliza()", hr);
  return hr;
}

int CMMTrataDados::TrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) {
  LimpaErro();
  if (EstaInicializado())
    OnTrataGravacao(dados, inconsistencia);
  else
    SetAvisoPersonalizado(MODULO_MM, 0, 161);
  return EhErroNenhum() ? 1 : 0;
}

int CMMTrataDados::TrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) {
  LimpaErro();
  if (EstaInicializado())
    OnTrataExclusao(dados, inconsistencia);
  else
    SetAvisoPersonalizado(MODULO_MM, 0, 161);
  return EhErroNenhum() ? 1 : 0;
}

CZQDadosDF_Erro& CMMTrataDados::OnTrataGravacao(TZQBaseParaDados*, IZQTrataInconsistencia*) {
  return SetAviso(MODULO_MM, 162, 0);
}

CZQDadosDF_Erro& CMMTrataDados::OnTrataExclusao(TZQBaseParaDados*, IZQTrataInconsistencia*) {
  return SetAviso(MODULO_MM, 162, 0);
}

CZQDadosDF_Erro& CMMTrataDados::RegistroInvalido() { return SetAviso(MODULO_MM, 162, 0); }

CZQDadosDF_Erro& CMMTrataDados::ValidaRegistroAtualizado(const REG_ZQDMAHMSUTC& gravado,
                                                         const REG_ZQDMAHMSUTC& recebido, const long& codigoCampo) {
  LimpaErro();
  if ((gravado.ullValor & kMascaraSegundos) != (recebido.ullValor & kMascaraSegundos))
    SetAviso(MODULO_MM, 3, codigoCampo);
  return *this;
}
