// CZQDadosMM_TipoGasto: an expense type, an entry of a classification tree kept exactly as the
// discipline tree is (same fields, same searches), in a register of its own.
#pragma once

#include "platform/records/ZQDadosMM_Disciplina.h"

#define ZQ_CAMPOS_TIPO_GASTO(F) ZQ_CAMPOS_DISCIPLINA(F)

class CZQDadosMM_TipoGasto : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_TipoGasto, "tipo_gasto", ZQ_CAMPOS_TIPO_GASTO)
};

class CZQDadosMM_FiltroTipoGasto : public zq::Filtro<CZQDadosMM_TipoGasto> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_DISCIPLINA)
};
