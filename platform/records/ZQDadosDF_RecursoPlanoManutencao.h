// CZQDadosDF_RecursoPlanoManutencao: the link of a resource to a maintenance plan.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_RECURSO_PLANO(F)                  \
  F(Ponteiro, std::uint32_t, zq::kKey)              \
  F(PonteiroRecurso, std::uint32_t, zq::kSearchable) \
  F(PonteiroPlano, std::uint32_t, zq::kSearchable)  \
  F(Inativo, std::uint8_t, 0)                       \
  F(DataProximaManutencao, REG_ZQDMA, 0)            \
  F(CiclosContadorProximaManutencao, tagCY, 0)

// CiclosContadorProximaManutencao: counter cycles left until the next maintenance, negative
// once exceeded. DataProximaManutencao 0: no date.
class CZQDadosDF_RecursoPlanoManutencao : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_RecursoPlanoManutencao, "recurso_plano", ZQ_CAMPOS_RECURSO_PLANO)
  const std::uint32_t& GetPonteiroPlanoManutencao() const { return GetPonteiroPlano(); }
};
