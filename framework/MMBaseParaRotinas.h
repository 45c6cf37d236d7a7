// CMMBaseParaRotinas: the maintenance module's routine base. It adds nothing to the suite's
// routine base; the data handlers, the integrity checker and the permission reader derive from
// it so the module has one place to add shared behaviour.
#pragma once

#include "platform/routines/ZQBaseParaRotinas.h"

class CMMBaseParaRotinas : public CZQBaseParaRotinas {
 public:
  CMMBaseParaRotinas() = default;
  ~CMMBaseParaRotinas() override = default;
  CMMBaseParaRotinas& operator=(const CMMBaseParaRotinas& outro) {
    CZQBaseParaRotinas::operator=(outro);
    return *this;
  }

 protected:
  long OnInicializa() override { return CZQBaseParaRotinas::OnInicializa(); }
  long OnFinaliza() override { return CZQBaseParaRotinas::OnFinaliza(); }
};
