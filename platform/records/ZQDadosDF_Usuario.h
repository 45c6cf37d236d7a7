// CZQDadosDF_Usuario: a user of the suite, keyed by the user number. Its own check refuses a
// blocked user.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_USUARIO(F)                  \
  F(Numero, std::uint32_t, zq::kKey)          \
  F(Login, CString, zq::kSearchable)          \
  F(Nome, CString, 0)                         \
  F(Bloqueado, bool, 0)

class CZQDadosDF_Usuario : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_Usuario, "usuario", ZQ_CAMPOS_USUARIO)
  bool VerificaDados(const TZQBaseParaDados&) const override { return !GetBloqueado(); }
};
