// CZQInicializador: binds a routine to a company, user and session. Inicializa stores them and
// runs OnInicializa; the routine counts as initialised only when that returned 0. Finaliza runs
// OnFinaliza once and is harmless when repeated or when the routine was never initialised.
// Inicializa on an initialised routine finalises it first.
//
// Virtual table after TZQBase's (destructor, OnInicializa, OnFinaliza): OnSetMostrarMensagens,
// OnLerParametros, OnResetBuffer, ForcarReinicializacaoBaseParaRotinas. Classes above append.
#pragma once

#include "platform/types/String.h"
#include "platform/routines/ZQBase.h"
#include "platform/routines/ZQProfilerEmpresa.h"

class CZQInicializador : public TZQBase, public CZQProfilerEmpresa {
 public:
  long Inicializa(const CString& empresa, unsigned short usuario, long sessao);
  long Finaliza();
  bool EstaInicializado() const { return m_inicializado; }

  virtual void OnSetMostrarMensagens() {}
  virtual void OnLerParametros() {}
  virtual void OnResetBuffer() {}
  // Initialises again for this company, user and session.
  virtual long ForcarReinicializacaoBaseParaRotinas(const CString& empresa, unsigned short usuario, long sessao) {
    return Inicializa(empresa, usuario, sessao);
  }

 protected:
  const CString& EmpresaInicializada() const { return m_empresa; }
  unsigned short UsuarioInicializado() const { return m_usuario; }
  long SessaoInicializada() const { return m_sessao; }

 private:
  CString m_empresa;
  unsigned short m_usuario = 0;
  long m_sessao = 0;
  bool m_inicializado = false;
};
