// A record kind with one field of every storage type, for the JSON form's test and fuzz target.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/records/ZQRegistroMacros.h"

namespace zqteste {

#define ZQ_CAMPOS_TODOS(F)                                                                                             \
  F(Chave, std::uint32_t, zq::kKey) F(Texto, CString, 0) F(Ativo, bool, 0) F(Pequeno, std::uint8_t, 0)                 \
  F(Inteiro, std::int32_t, 0) F(Grande, std::uint64_t, 0) F(Valor, tagCY, 0) F(Data, REG_ZQDMA, 0) F(Mes, REG_ZQMA, 0) \
  F(Momento, REG_ZQDMAHMSUTC, 0) F(Dmc, REG_ZQDMC, 0) F(Bytes, std::vector<std::uint8_t>, 0)

class Todos : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(Todos, "teste_json_todos", ZQ_CAMPOS_TODOS)
};

}  // namespace zqteste
