// _REG_CR_LISTA_BYTESPS: an opaque byte list exchanged by the generic server function.
#pragma once

#include <vector>

struct _REG_CR_LISTA_BYTESPS {
  std::vector<unsigned char> bytes;
};
