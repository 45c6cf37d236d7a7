// CZQCaixaMensagem: the message boxes of the suite (an informational box with an OK button, and
// the Yes/No question) without a screen of their own. They go through an IZQCaixaMensagem that
// the host sets: a terminal prompt, a fixed answer given by a flag, or a scripted one in tests.
// With none set, an informational text goes to standard error and every question is answered
// No, the safe answer for a program nobody is watching.
//
//   CZQCaixaMensagem::Define(std::make_shared<CZQCaixaMensagemTerminal>(std::cin, std::cerr));
//   if (CZQCaixaMensagem::PerguntaSimNao(texto)) ...
//
// Texts are Windows-1252 bytes; the terminal implementations write them in UTF-8.
// Thread-safe: Define may race with calls; a call keeps the interface it started with alive.
#pragma once

#include <iosfwd>
#include <memory>

#include "platform/types/String.h"

class IZQCaixaMensagem {
 public:
  virtual ~IZQCaixaMensagem() = default;
  // An informational box with an OK button; returns once it is dismissed.
  virtual void Informa(const CString& texto) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool PerguntaSimNao(const CString& texto) = 0;
};

class CZQCaixaMensagem {
 public:
  CZQCaixaMensagem() = delete;

  static void Informa(const CString& texto);
  static bool PerguntaSimNao(const CString& texto);

  // Installs the host's interface and answers the one it replaces; nullptr: no user interface.
  static std::shared_ptr<IZQCaixaMensagem> Define(std::shared_ptr<IZQCaixaMensagem> caixa);
  static std::shared_ptr<IZQCaixaMensagem> Atual();
};

// A person at a terminal: texts are written to `saida`; a question reads lines from `entrada`
// until one starts with s/S/y/Y (Yes) or n/N (No); the end of the input is No.
class CZQCaixaMensagemTerminal final : public IZQCaixaMensagem {
 public:
  CZQCaixaMensagemTerminal(std::istream& entrada, std::ostream& saida) : m_entrada(entrada), m_saida(saida) {}
  void Informa(const CString& texto) override;
  bool PerguntaSimNao(const CString& texto) override;

 private:
  std::istream& m_entrada;
  std::ostream& m_saida;
};

// A host without a person (a flag such as --sim): texts go to standard error, every question is
// answered `resposta` and written with its answer.
class CZQCaixaMensagemResposta final : public IZQCaixaMensagem {
 public:
  explicit CZQCaixaMensagemResposta(bool resposta) : m_resposta(resposta) {}
  void Informa(const CString& texto) override;
  bool PerguntaSimNao(const CString& texto) override;

 private:
  bool m_resposta;
};

// Installs a caixa for its own lifetime, then puts back the one it replaced.
class CZQCaixaMensagemGuarda {
 public:
  explicit CZQCaixaMensagemGuarda(std::shared_ptr<IZQCaixaMensagem> caixa)
      : m_anterior(CZQCaixaMensagem::Define(std::move(caixa))) {}
  ~CZQCaixaMensagemGuarda() { CZQCaixaMensagem::Define(std::move(m_anterior)); }
  CZQCaixaMensagemGuarda(const CZQCaixaMensagemGuarda&) = delete;
  CZQCaixaMensagemGuarda& operator=(const CZQCaixaMensagemGuarda&) = delete;

 private:
  std::shared_ptr<IZQCaixaMensagem> m_anterior;
};
