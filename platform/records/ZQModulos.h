// The suite's modules as the error record and the message files know them: number and the
// two-letter abbreviation that names the module's message file (ZQ<abbr>Mens.txt).
#pragma once

#define ZQ_MODULOS(M)        \
  M(ZQ_MODULO_ES, 3, "ES")   \
  M(ZQ_MODULO_DF, 20, "DF")  \
  M(ZQ_MODULO_MM, 28, "MM")

enum _ZQModulo : int {
#define ZQ_MODULO_ENUM(nome, numero, sigla) nome = numero,
  ZQ_MODULOS(ZQ_MODULO_ENUM)
#undef ZQ_MODULO_ENUM
};

// The module's abbreviation, or "" for a number the suite does not know.
const char* ZQSiglaModulo(int modulo);
