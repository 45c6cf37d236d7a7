// IZQTrataInconsistencia: the caller's handler of inconsistencies, passed through the data
// handlers' entry points to their sub-checks. Owned by the caller; may be null.
#pragma once

class CZQDadosDF_Erro;

class IZQTrataInconsistencia {
 public:
  virtual ~IZQTrataInconsistencia() = default;
  // Offered an inconsistency; answers non-zero when the caller accepts going on.
  virtual int TrataInconsistencia(const CZQDadosDF_Erro& erro) = 0;
};
