// The base module's copy of a record's extra information, handed to screens and programs: the
// header's position, the record's key and the values, each a CZQDadosDF_IEVinculoCampo with the
// same fields as the server's values. Not stored.
#pragma once

#include "platform/records/IEVinculo.h"

class CZQDadosDF_IEVinculoCampo : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_IEVinculoCampo, "ie_vinculo_campo", ZQ_CAMPOS_IE_VALOR)
};

#define ZQ_CAMPOS_DF_IE_VINCULO(F)                           \
  F(Chave, std::uint32_t, zq::kKey)                          \
  F(PosHeader, std::uint32_t, 0)                             \
  F(ListaCampo, CZQVector<CZQDadosDF_IEVinculoCampo>, 0)

class CZQDadosDF_IEVinculo : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_IEVinculo, "df_ie_vinculo", ZQ_CAMPOS_DF_IE_VINCULO)
  ZQ_ACESSO_LISTA(Campo, CZQDadosDF_IEVinculoCampo)
  void Reset() { *this = CZQDadosDF_IEVinculo(); }
};
