// CZQAcessoEmpresarial: the base module's access object (branches, accounting period, products,
// services, users, e-mail, configuration). The rules reach it through GetAcessoEmpresarial().
// Operations are declared as in CZQAcessoManutencao, from ZQ_REGISTROS_EMPRESARIAL.
#pragma once

#include "platform/ZQAcessoManutencao.h"

#define ZQ_REGISTROS_EMPRESARIAL(R)

class CZQAcessoEmpresarial : public CZQAcessoBase {
 public:
  using CZQAcessoBase::CZQAcessoBase;
  ZQ_REGISTROS_EMPRESARIAL(ZQ_ACESSO_LE_BUSCA)
};
