// CZQDadosDF_PermissaoUsuario: one numbered permission of a module held by a user. A user holds a
// permission when such a record exists.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_PERMISSAO_USUARIO(F)            \
  F(Ponteiro, std::uint32_t, zq::kKey)            \
  F(Usuario, std::uint32_t, zq::kSearchable)      \
  F(Modulo, std::uint32_t, zq::kSearchable)       \
  F(Permissao, std::uint32_t, zq::kSearchable)

class CZQDadosDF_PermissaoUsuario : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_PermissaoUsuario, "permissao_usuario", ZQ_CAMPOS_PERMISSAO_USUARIO)
};
