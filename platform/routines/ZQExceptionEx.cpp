#include "platform/routines/ZQExceptionEx.h"

#include <algorithm>
#include <cstring>

CZQExceptionEx::CZQExceptionEx(long hr, long numeroMensagem, long auxiliar, const char* complemento,
                               const char* mensagem, const char* fonte, int linha, const char* dataHoraCompilacao)
    : m_hr(hr),
      m_numeroMensagem(numeroMensagem),
      m_auxiliar(auxiliar),
      m_complemento(complemento),
      m_mensagem(mensagem),
      m_fonte(fonte),
      m_linha(linha),
      m_dataHoraCompilacao(dataHoraCompilacao) {
  m_what = m_mensagem.Str();
  m_what.append(StringPrintf(" (hr 0x%08lX, mensagem %ld, %s:%d)", static_cast<unsigned long>(hr) & 0xFFFFFFFFul,
                             numeroMensagem, m_fonte.GetString(), linha));
}

bool CZQExceptionEx::GetErrorMessage(char* buffer, std::size_t tamanho) const {
  if (!buffer || tamanho == 0) return false;
  const std::size_t n = std::min<std::size_t>(tamanho - 1, m_mensagem.Str().size());
  std::memcpy(buffer, m_mensagem.GetString(), n);
  buffer[n] = '\0';
  return true;
}
