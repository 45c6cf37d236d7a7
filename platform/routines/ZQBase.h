// TZQBase: root of the routine stack. Its virtual table opens with the destructor and the
// initialisation hooks; the classes above it append their own operations in a fixed order
// (see ZQBaseParaRotinas.h), which hosts built against the suite rely on.
#pragma once

class TZQBase {
 public:
  virtual ~TZQBase() = default;

 protected:
  // Run by CZQInicializador::Inicializa / Finaliza; 0 is success.
  virtual long OnInicializa() { return 0; }
  virtual long OnFinaliza() { return 0; }
};
