// CMMTrataDados: the base of every data handler of the module. A host constructs a handler,
// initialises it for a company (Inicializa), then calls
//   TrataGravacao(record, inconsistencia)  before storing a record,
//   TrataExclusao(record, inconsistencia)  before deleting one;
// each answers 1 when the record may be stored or deleted and 0 when the handler's error record
// (GetErro) holds one warning. Every entry point starts from a cleared error record. A handler
// that was never initialised answers warning 161; an operation the handler does not support
// answers warning 162 (both module 28, field 0).
//
// Records handed in stay the caller's; a handler may change fields of the record it is given
// (trimmed texts, derived fields) and those changes are what the caller stores.
//
// A null record, or a record of another class than the handler's register, is answered with
// warning 162 on field 0 (the handler cannot treat it); nothing is read and nothing crashes.
//
// One caller at a time per handler object.
#pragma once

#include "framework/MMBaseParaRotinas.h"
#include "platform/ZQBaseParaDados.h"
#include "platform/ZQDmaHmsUtc.h"
#include "platform/ZQTrataInconsistencia.h"

class CMMTrataDados : public CMMBaseParaRotinas {
 public:
  explicit CMMTrataDados(bool interfaceHabilitada = false) : m_interfaceHabilitada(interfaceHabilitada) {}
  ~CMMTrataDados() override;
  CMMTrataDados& operator=(const CMMTrataDados& outro);

  virtual int TrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia);
  virtual int TrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia);

 protected:
  virtual CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia);
  virtual CZQDadosDF_Erro& OnTrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia);

  long OnInicializa() override;
  long OnFinaliza() override;

  bool InterfaceUsuarioEstaHabilitada() const { return m_interfaceHabilitada; }

  // Warning 3 on `codigoCampo` when the two stamps name different seconds (low 38 bits of the
  // packed values); clears the error record first.
  CZQDadosDF_Erro& ValidaRegistroAtualizado(const REG_ZQDMAHMSUTC& gravado, const REG_ZQDMAHMSUTC& recebido,
                                            const long& codigoCampo);

  // The warning for a record the handler cannot treat (null or of another class).
  CZQDadosDF_Erro& RegistroInvalido();

 private:
  bool m_interfaceHabilitada;
};

// The module's catalogue.
constexpr _ZQModulo MODULO_MM = ZQ_MODULO_MM;
