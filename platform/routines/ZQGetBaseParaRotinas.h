// IZQGetBaseParaRotinas: reaches the routine base of an object from any of its interfaces.
#pragma once

class CZQBaseParaRotinas;

class IZQGetBaseParaRotinas {
 public:
  virtual CZQBaseParaRotinas* GetBaseParaRotinas() = 0;

 protected:
  ~IZQGetBaseParaRotinas() = default;
};
