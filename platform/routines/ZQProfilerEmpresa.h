// CZQProfilerEmpresa: the profiler side of an initialised routine (company, user, session).
// The routine base implements the three getters.
#pragma once

#include "platform/routines/ZQDF_Profiler.h"

class CZQProfilerEmpresa : public IZQDF_Profiler {
 protected:
  ~CZQProfilerEmpresa() = default;
};
