// An e-mail handed to the mail dispatch: subject, recipients (addresses separated by ';') and body
// parts. A part of type 5 is the HTML body; its content is bytes in Windows-1252.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_EMAIL_ANEXO(F)           \
  F(Linha, std::uint32_t, zq::kKey)        \
  F(Tipo, std::uint8_t, 0)                 \
  F(Nome, CString, 0)                      \
  F(Conteudo, CString, 0)

class CZQDadosDF_EmailAnexo : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_EmailAnexo, "email_anexo", ZQ_CAMPOS_EMAIL_ANEXO)
  static constexpr std::uint8_t kTipoCorpoHtml = 5;
};

#define ZQ_CAMPOS_EMAIL(F)                                   \
  F(Ponteiro, std::uint32_t, zq::kKey)                       \
  F(Assunto, CString, 0)                                     \
  F(Destinatarios, CString, 0)                               \
  F(ListaCorpo, CZQVector<CZQDadosDF_EmailAnexo>, 0)

class CZQDadosDF_Email : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Email, "email", ZQ_CAMPOS_EMAIL)
  ZQ_ACESSO_LISTA(Corpo, CZQDadosDF_EmailAnexo)
  void SetCorpo(const CZQDadosDF_EmailAnexo& parte) {
    m_ListaCorpo.RemoveAll();
    m_ListaCorpo.Add(parte);
  }
};
