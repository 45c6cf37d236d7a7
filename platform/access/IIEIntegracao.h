// IIEIntegracao: what the extra-information server may ask of the object that links a module to
// it: the record key and process it works on, and its company, user and session.
#pragma once

#include "platform/records/IEHeader.h"
#include "platform/types/String.h"

class IIEIntegracao {
 public:
  virtual unsigned long IEGetChave() = 0;
  virtual IE_E_PROCESSO IEGetProcesso() = 0;
  virtual CString IEGetEmpresa() = 0;
  virtual unsigned short IEGetUsuario() = 0;
  virtual long IEGetNumeroSessao() = 0;

 protected:
  ~IIEIntegracao() = default;
};
