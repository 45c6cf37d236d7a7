// CZQDadosDF_Erro: the suite's error record. It holds at most one error: a warning from a
// module's message catalogue (module, message number, field code, optional arguments), a
// warning whose text the caller formatted, or a failure result (HRESULT) with its text, as the
// data-access layer reports them. Every setter returns the record so rules can `return Set...`.
//
// GetMensagem gives a readable text: the formatted text when there is one, otherwise the
// catalogue text of the message (CZQMensagens) with the arguments put in place of its printf
// conversions. Catalogue arguments are kept as values, not formatted at Set time, so a
// catalogue whose conversions do not match the arguments still yields text and never reads
// past them (a %s given a number prints the number; a missing argument prints nothing).
//
// Value type; not thread-safe for concurrent mutation.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/types/String.h"
#include "platform/records/ZQModulos.h"

enum E_ZQ_TIPO_ERRO : int {
  ZQ_TIPO_ERRO_NENHUM = 0,
  ZQ_TIPO_ERRO_AVISO = 1,  // a warning of a rule
  ZQ_TIPO_ERRO_HR = 2,     // a failure result of the data-access layer or the platform
};

class CZQDadosDF_Erro {
 public:
  // A catalogue argument: a number or a text.
  struct Argumento {
    bool numero = false;
    long long valor = 0;
    std::string texto;
    friend bool operator==(const Argumento&, const Argumento&) = default;
  };

  CZQDadosDF_Erro& SetAviso(_ZQModulo modulo, long mensagem, long campo);

  // A catalogue message whose conversions take the arguments (numbers or texts).
  template <class... A>
  CZQDadosDF_Erro& SetAvisoPersonalizado(_ZQModulo modulo, long campo, long mensagem, const A&... args) {
    SetAviso(modulo, mensagem, campo);
    (m_argumentos.push_back(ParaArgumento(args)), ...);
    return *this;
  }
  // A text given by the rule, printf style; the message number is 0.
  CZQDadosDF_Erro& SetAvisoPersonalizado(_ZQModulo modulo, long campo, const char* formato, ...)
      __attribute__((format(printf, 4, 5)));

  CZQDadosDF_Erro& SetCodigoCampo(long campo);
  CZQDadosDF_Erro& SetItem(std::int64_t item);
  CZQDadosDF_Erro& SetErro(const CZQDadosDF_Erro* outro);  // copy; null clears
  CZQDadosDF_Erro& SetErro(const CZQDadosDF_Erro& outro);
  // A failure result: hr, the number of the server that answered, a message number.
  CZQDadosDF_Erro& SetErro(long hr, int numeroServidor, long mensagem);
  CZQDadosDF_Erro& SetErro(long hr, int numeroServidor, long mensagem, const char* formato, ...)
      __attribute__((format(printf, 5, 6)));
  CZQDadosDF_Erro& SetErroV(long hr, int numeroServidor, long mensagem, const char* formato, va_list args);
  CZQDadosDF_Erro& LimpaErro();

  int EhErroNenhum() const { return m_tipo == ZQ_TIPO_ERRO_NENHUM; }
  long GetCodigoErro() const { return m_mensagem; }  // the message number
  long GetHR() const { return m_hr; }
  long GetNumeroServidor() const { return m_numeroServidor; }
  int GetTipoErro() const { return m_tipo; }
  _ZQModulo GetModulo() const { return m_modulo; }
  long GetCodigoCampo() const { return m_campo; }
  std::int64_t GetItem() const { return m_item; }
  const std::vector<Argumento>& GetArgumentos() const { return m_argumentos; }
  CString GetMensagem() const;

  friend bool operator==(const CZQDadosDF_Erro&, const CZQDadosDF_Erro&) = default;

  // Formats a catalogue text with arguments as described above.
  static std::string Formata(const std::string& texto, const std::vector<Argumento>& args);

 private:
  template <class T>
  static Argumento ParaArgumento(const T& v) {
    if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>)
      return Argumento{true, static_cast<long long>(v), {}};
    else
      return Argumento{false, 0, std::string(static_cast<const char*>(CString(v)))};
  }

  E_ZQ_TIPO_ERRO m_tipo = ZQ_TIPO_ERRO_NENHUM;
  _ZQModulo m_modulo = ZQ_MODULO_MM;
  long m_mensagem = 0;
  long m_campo = 0;
  std::int64_t m_item = 0;
  long m_hr = 0;
  long m_numeroServidor = 0;
  bool m_temTexto = false;  // m_texto holds the final text
  std::string m_texto;
  std::vector<Argumento> m_argumentos;
};
