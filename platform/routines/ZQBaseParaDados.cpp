#include "platform/routines/ZQBaseParaDados.h"

#include <variant>

bool TZQBaseParaDados::VerificaDados(const TZQBaseParaDados&) const { return true; }

std::uint32_t TZQBaseParaDados::GetChave() const {
  const zq::Value v = GetValor(Schema().key);
  const auto* n = std::get_if<std::int64_t>(&v);
  return n ? static_cast<std::uint32_t>(*n) : 0;
}

void TZQBaseParaDados::SetChave(std::uint32_t chave) {
  SetValor(Schema().key, static_cast<std::int64_t>(chave));
}
