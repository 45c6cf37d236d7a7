// CZQExceptionEx: the suite's exception object for a routine that gives up. It carries the
// failure as the suite records it: the result code (an HRESULT held in a long, negative for a
// failure), the message number of the module's catalogue, an auxiliary number, a complementary
// text, the message itself, and where it was raised (source name, line, the build's compile date
// and time).
//
//   throw CZQExceptionEx(ZQ_HR(0x80040A68), 1110, 0, "", texto, "MMEmailAlertaPlano", 112,
//                        __DATE__ " " __TIME__);
//
// what() is readable on its own: "<message> (hr 0x80040A68, mensagem 1110, MMEmailAlertaPlano:112)".
// Texts are Windows-1252 bytes. A value type: copying is cheap and copies share nothing mutable.
#pragma once

#include <cstddef>
#include <exception>
#include <string>

#include "platform/types/String.h"

class CZQExceptionEx : public std::exception {
 public:
  CZQExceptionEx(long hr, long numeroMensagem, long auxiliar, const char* complemento, const char* mensagem,
                 const char* fonte, int linha, const char* dataHoraCompilacao);

  long GetHR() const { return m_hr; }
  long GetNumeroMensagem() const { return m_numeroMensagem; }
  long GetAuxiliar() const { return m_auxiliar; }
  const CString& GetComplemento() const { return m_complemento; }
  const CString& GetMensagem() const { return m_mensagem; }
  const CString& GetFonte() const { return m_fonte; }
  int GetLinha() const { return m_linha; }
  const CString& GetDataHoraCompilacao() const { return m_dataHoraCompilacao; }

  const char* what() const noexcept override { return m_what.c_str(); }

  // The message, as the framework's exceptions give their error text: copied into buffer (at
  // most tamanho - 1 bytes and a NUL). False when there is no room at all.
  bool GetErrorMessage(char* buffer, std::size_t tamanho) const;

 private:
  long m_hr;
  long m_numeroMensagem;
  long m_auxiliar;
  CString m_complemento;
  CString m_mensagem;
  CString m_fonte;
  int m_linha;
  CString m_dataHoraCompilacao;
  std::string m_what;
};
