#include "platform/records/FieldTraits.h"

#include <cstdio>

namespace zq {

Value FieldTraits<_REG_POSICAO_PRODUTOPS>::ToValue(const _REG_POSICAO_PRODUTOPS& v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%u/%u/%u/%u", static_cast<unsigned>(v.lPonteiroProduto), v.usGrade1, v.usGrade2,
                v.usGrade3);
  return std::string(buf);
}

bool FieldTraits<_REG_POSICAO_PRODUTOPS>::FromValue(const Value& v, _REG_POSICAO_PRODUTOPS* out) {
  const auto* s = std::get_if<std::string>(&v);
  if (!s) return false;
  if (s->empty()) {
    *out = {};
    return true;
  }
  unsigned long p = 0, g1 = 0, g2 = 0, g3 = 0;
  int lidos = 0;
  if (std::sscanf(s->c_str(), "%lu/%lu/%lu/%lu%n", &p, &g1, &g2, &g3, &lidos) != 4 ||
      static_cast<std::size_t>(lidos) != s->size() || p > 0xFFFFFFFFul || g1 > 0xFFFF || g2 > 0xFFFF || g3 > 0xFFFF)
    return false;
  *out = {static_cast<std::uint32_t>(p), static_cast<std::uint16_t>(g1), static_cast<std::uint16_t>(g2),
          static_cast<std::uint16_t>(g3)};
  return true;
}

}  // namespace zq
