#include "platform/routines/ZQInicializador.h"

long CZQInicializador::Inicializa(const CString& empresa, unsigned short usuario, long sessao) {
  Finaliza();
  m_empresa = empresa;
  m_usuario = usuario;
  m_sessao = sessao;
  const long hr = OnInicializa();
  m_inicializado = hr == 0;
  return hr;
}

long CZQInicializador::Finaliza() {
  if (!m_inicializado) return 0;
  m_inicializado = false;
  return OnFinaliza();
}
