#include "platform/system/ZQCaixaMensagem.h"

#include <cstdio>
#include <istream>
#include <mutex>
#include <ostream>
#include <string>

#include "platform/types/Cp1252.h"

namespace {

std::mutex g_mutex;
std::shared_ptr<IZQCaixaMensagem> g_caixa;

void EscreveErroPadrao(const std::string& utf8) {
  std::fputs(utf8.c_str(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

void CZQCaixaMensagem::Informa(const CString& texto) {
  if (auto caixa = Atual()) return caixa->Informa(texto);
  EscreveErroPadrao(zq::Cp1252ToUtf8(texto.View()));
}

bool CZQCaixaMensagem::PerguntaSimNao(const CString& texto) {
  if (auto caixa = Atual()) return caixa->PerguntaSimNao(texto);
  return false;
}

std::shared_ptr<IZQCaixaMensagem> CZQCaixaMensagem::Define(std::shared_ptr<IZQCaixaMensagem> caixa) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_caixa.swap(caixa);
  return caixa;
}

std::shared_ptr<IZQCaixaMensagem> CZQCaixaMensagem::Atual() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_caixa;
}

void CZQCaixaMensagemTerminal::Informa(const CString& texto) {
  m_saida << zq::Cp1252ToUtf8(texto.View()) << std::endl;
}

bool CZQCaixaMensagemTerminal::PerguntaSimNao(const CString& texto) {
  m_saida << zq::Cp1252ToUtf8(texto.View()) << " [s/n] " << std::flush;
  for (std::string linha; std::getline(m_entrada, linha);) {
    const auto p = linha.find_first_not_of(" \t\r");
    const char c = p == std::string::npos ? '\0' : linha[p];
    if (c == 's' || c == 'S' || c == 'y' || c == 'Y') return true;
    if (c == 'n' || c == 'N') return false;
    m_saida << "[s/n] " << std::flush;
  }
  return false;
}

void CZQCaixaMensagemResposta::Informa(const CString& texto) { EscreveErroPadrao(zq::Cp1252ToUtf8(texto.View())); }

bool CZQCaixaMensagemResposta::PerguntaSimNao(const CString& texto) {
  EscreveErroPadrao(zq::Cp1252ToUtf8(texto.View()).append(m_resposta ? " [s]" : " [n]"));
  return m_resposta;
}
