// CZQUltimoErro: the error record of a routine, reached through virtual operations so that the
// suite's hosts can read a routine's last error without knowing its class.
#pragma once

#include <cstdarg>

#include "platform/records/ZQDadosDF_Erro.h"

class CZQUltimoErro : public CZQDadosDF_Erro {
 public:
  virtual ~CZQUltimoErro() = default;
  virtual void OnErroRPC() {}
  virtual CZQDadosDF_Erro& SetErro(const CZQDadosDF_Erro& erro) { return CZQDadosDF_Erro::SetErro(erro); }
  virtual CZQDadosDF_Erro& SetErro(const CZQDadosDF_Erro* erro) { return CZQDadosDF_Erro::SetErro(erro); }
  virtual CZQDadosDF_Erro& SetErro(long hr, int servidor, long mensagem, const char* formato, ...)
      __attribute__((format(printf, 5, 6)));
  virtual CZQDadosDF_Erro& SetErro(long hr, int servidor, long mensagem) {
    return CZQDadosDF_Erro::SetErro(hr, servidor, mensagem);
  }
  virtual const CZQDadosDF_Erro& GetErro() const { return *this; }
  virtual CZQDadosDF_Erro& GetErro() { return *this; }
  virtual CZQDadosDF_Erro& LimpaErro() { return CZQDadosDF_Erro::LimpaErro(); }
  virtual long GetUltimoHR() const { return GetHR(); }
  virtual long GetNumeroServidorUltimoHR() const { return GetNumeroServidor(); }
  virtual CString GetEmpresaErroVirtual() const { return {}; }
};

inline CZQDadosDF_Erro& CZQUltimoErro::SetErro(long hr, int servidor, long mensagem, const char* formato, ...) {
  va_list args;
  va_start(args, formato);
  SetErroV(hr, servidor, mensagem, formato, args);
  va_end(args);
  return *this;
}
