// CZQDadosMM_Mestre: the maintenance module's parameter record, one per company (key 1).
// UsaDataVisualizacao 1 asks the screens to show movements from MesAnoVisualizacao on.
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_MESTRE(F)                           \
  F(Chave, std::uint32_t, zq::kKey)                   \
  F(ObrigarInformarTecnicoManutencao, bool, 0)        \
  F(ObrigarApontamentoManutencao, bool, 0)            \
  F(UsaDataVisualizacao, std::uint8_t, 0)             \
  F(MesAnoVisualizacao, REG_ZQMA, 0)                  \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_Mestre : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Mestre, "mestre", ZQ_CAMPOS_MESTRE)
  static constexpr std::uint32_t kChaveUnica = 1;
};
