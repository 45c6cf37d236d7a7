#include "platform/records/ZQDadosDF_Erro.h"

#include <cctype>
#include <cstdio>

#include "platform/types/Cp1252.h"
#include "platform/system/ZQMensagens.h"

CZQDadosDF_Erro& CZQDadosDF_Erro::SetAviso(_ZQModulo modulo, long mensagem, long campo) {
  LimpaErro();
  m_tipo = ZQ_TIPO_ERRO_AVISO;
  m_modulo = modulo;
  m_mensagem = mensagem;
  m_campo = campo;
  return *this;
}

CZQDadosDF_Erro& CZQDadosDF_Erro::SetAvisoPersonalizado(_ZQModulo modulo, long campo, const char* formato, ...) {
  SetAviso(modulo, 0, campo);
  va_list args;
  va_start(args, formato);
  m_texto = StringPrintfV(formato, args);
  va_end(args);
  m_temTexto = true;
  return *this;
}

CZQDadosDF_Erro& CZQDadosDF_Erro::SetCodigoCampo(long campo) {
  m_campo = campo;
  return *this;
}

CZQDadosDF_Erro& CZQDadosDF_Erro::SetItem(std::int64_t item) {
  m_item = item;
  return *this;
}

CZQDadosDF_Erro& CZQDadosDF_Erro::SetErro(const CZQDadosDF_Erro* outro) {
  if (!outro) return LimpaErro();
  if (outro != this) *this = *outro;
  return *this;
}

CZQDadosDF_Erro& CZQDadosDF_Erro::SetErro(const CZQDadosDF_Erro& outro) { return SetErro(&outro); }

CZQDadosDF_Erro& CZQDadosDF_Erro::SetErro(long hr, int numeroServidor, long mensagem) {
  LimpaErro();
  m_tipo = hr == 0 ? ZQ_TIPO_ERRO_NENHUM : ZQ_TIPO_ERRO_HR;
  m_hr = hr;
  m_numeroServidor = numeroServidor;
  m_mensagem = mensagem;
  return *this;
}

CZQDadosDF_Erro& CZQDadosDF_Erro::SetErroV(long hr, int numeroServidor, long mensagem, const char* formato,
                                           va_list args) {
  SetErro(hr, numeroServidor, mensagem);
  if (hr != 0) {
    m_texto = StringPrintfV(formato, args);
    m_temTexto = true;
  }
  return *this;
}

CZQDadosDF_Erro& CZQDadosDF_Erro::SetErro(long hr, int numeroServidor, long mensagem, const char* formato, ...) {
  va_list args;
  va_start(args, formato);
  SetErroV(hr, numeroServidor, mensagem, formato, args);
  va_end(args);
  return *this;
}

CZQDadosDF_Erro& CZQDadosDF_Erro::LimpaErro() {
  *this = CZQDadosDF_Erro();
  return *this;
}

std::string CZQDadosDF_Erro::Formata(const std::string& texto, const std::vector<Argumento>& args) {
  std::string out;
  std::size_t proximo = 0;
  for (std::size_t i = 0; i < texto.size(); ++i) {
    if (texto[i] != '%') {
      out += texto[i];
      continue;
    }
    if (i + 1 < texto.size() && texto[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // A conversion: flags, width, precision, length, then the conversion letter.
    std::size_t j = i + 1;
    std::string spec = "%";
    while (j < texto.size() && std::string_view("-+ #0").find(texto[j]) != std::string_view::npos) spec += texto[j++];
    while (j < texto.size() && (std::isdigit(static_cast<unsigned char>(texto[j])) || texto[j] == '.')) {
      std::size_t k = j;
      while (k < texto.size() && std::isdigit(static_cast<unsigned char>(texto[k]))) ++k;
      // A width or precision past 999 is a broken or hostile text: left out, never padded out.
      if (k - j <= 3) spec.append(texto, j, k - j);
      if (k < texto.size() && texto[k] == '.') spec += texto[k++];
      j = k;
    }
    while (j < texto.size() && std::string_view("hlLqjzt").find(texto[j]) != std::string_view::npos) ++j;
    if (j >= texto.size()) {
      out.append(texto, i, std::string::npos);
      break;
    }
    const char conv = texto[j];
    i = j;
    if (proximo >= args.size()) continue;
    const Argumento& a = args[proximo++];
    char buf[128];
    if (a.numero && std::string_view("diouxXc").find(conv) != std::string_view::npos) {
      const std::string f = spec + (conv == 'c' ? "c" : std::string("ll") + conv);
      if (conv == 'c')
        std::snprintf(buf, sizeof buf, f.c_str(), static_cast<int>(a.valor));
      else
        std::snprintf(buf, sizeof buf, f.c_str(), a.valor);
      out += buf;
    } else if (a.numero && std::string_view("feEgG").find(conv) != std::string_view::npos) {
      std::snprintf(buf, sizeof buf, (spec + conv).c_str(), static_cast<double>(a.valor));
      out += buf;
    } else {
      const std::string s = a.numero ? std::to_string(a.valor) : a.texto;
      out += StringPrintf((spec + 's').c_str(), s.c_str());
    }
  }
  return out;
}

CString CZQDadosDF_Erro::GetMensagem() const {
  if (m_tipo == ZQ_TIPO_ERRO_NENHUM) return {};
  if (m_temTexto) return CString(m_texto);
  if (m_tipo == ZQ_TIPO_ERRO_HR && m_mensagem == 0)
    return CString(StringPrintf("Erro %#X", static_cast<unsigned>(m_hr)));
  const auto texto = CZQMensagens::Texto(m_modulo, m_mensagem);
  if (texto && !texto->empty()) return CString(Formata(*texto, m_argumentos));
  return CString(StringPrintf("Mensagem %ld do módulo %s (%d) sem texto no catálogo"_cp, m_mensagem,
                              ZQSiglaModulo(m_modulo), static_cast<int>(m_modulo)));
}
