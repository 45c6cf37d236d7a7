// CMMCampos: the field codes that a warning about a task component names, by component type
// (1 material, 2 equipment, 3 service; any other type gives 0). Static operations only.
#pragma once

class CMMCampos {
 public:
  CMMCampos() = default;
  CMMCampos(const CMMCampos&) = default;
  CMMCampos& operator=(const CMMCampos&) = default;
  virtual ~CMMCampos() = default;

  static long GetCampoTarefaComponenteCodigo(unsigned char tipoComponente);
  static long GetCampoTarefaComponenteQuantidade(unsigned char tipoComponente);
};
