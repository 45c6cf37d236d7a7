// _REG_POSICAO_PRODUTOPS: the position of a product or service with up to three grade values.
// A pointer of 0 means none; a grade value of 0 means no grade value.
#pragma once

#include <cstdint>

struct _REG_POSICAO_PRODUTOPS {
  std::uint32_t lPonteiroProduto = 0;
  std::uint16_t usGrade1 = 0;
  std::uint16_t usGrade2 = 0;
  std::uint16_t usGrade3 = 0;

  friend bool operator==(const _REG_POSICAO_PRODUTOPS&, const _REG_POSICAO_PRODUTOPS&) = default;
};
