// IZQDF_Profiler: what the profiler needs to know of the routine that writes a line: its
// company, user and session. Every routine object implements it; the failure trace takes it (or
// null) to place and fill its log line. Not owned by whoever receives it.
#pragma once

#include "platform/types/String.h"

class IZQDF_Profiler {
 public:
  virtual CString GetEmpresa() const = 0;
  virtual unsigned short GetUsuario() const = 0;
  virtual unsigned long GetNumeroSessao() const = 0;

 protected:
  ~IZQDF_Profiler() = default;
};
