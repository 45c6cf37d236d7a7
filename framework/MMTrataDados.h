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
// The reads of one TrataGravacao or TrataExclusao run in one snapshot of the company's engine
// (zq::SnapshotGuard): they see one state of the data, and an engine shared with other
// connections locks once per call rather than once per read.
//
// One caller at a time per handler object.
#pragma once

#include "framework/MMBaseParaRotinas.h"
#include "platform/routines/ZQBaseParaDados.h"
#include "platform/types/PosicaoProduto.h"
#include "platform/records/ZQDadosDF_Usuario.h"
#include "platform/records/ZQDadosMM_Situacao.h"
#include "platform/types/ZQDma.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/routines/ZQTrataInconsistencia.h"

class CMMTrataDados : public CMMBaseParaRotinas {
 public:
  explicit CMMTrataDados(bool interfaceHabilitada = false) : m_interfaceHabilitada(interfaceHabilitada) {}
  ~CMMTrataDados() override;
  CMMTrataDados& operator=(const CMMTrataDados& outro);

  virtual int TrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia);
  virtual int TrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia);

  // Shared verifications. Each answers in the handler's error record and returns it; callers
  // look at EhErroNenhum() and stop at the first warning. `campo` is the field code the warning
  // names. Those marked "keeps" do not clear the record first: a warning already there stays
  // when they find nothing themselves. All warnings are module 28; each check stops at its
  // first one. A failed read copies the access object's error; "traced" reads are also written
  // to the profiler error log first.
  //
  // The date lies in 2..1048247 (else 129 on `campo`) and its month within the months of the
  // accounting period's movement dates (else 130 on `campo`): any day of the first and last
  // month passes. A failed period read names `campo`, not traced. Clears.
  CZQDadosDF_Erro& VerificaPeriodoMovimentacao(const REG_ZQDMA& data, long campo);
  // The date-time may still be integrated. With a branch (0 = none, not read): its month must
  // be after the branch's block month (else 184). Then after the period's block month (else
  // 185), and its day within the period's integration dates, both ends included (else 186).
  // Warnings name `campo`; failed reads of the branch and the period are traced and name no
  // field. Keeps.
  //
  //   block month March 2024: any time in March 2024 gives 184; 1 April 00:00:00 passes.
  CZQDadosDF_Erro& VerificaPeriodoIntegracao(const REG_ZQDMAHMSUTC& dataHora, unsigned short filial, long campo);
  // The product position may be used in a maintenance: a product given (else 40), not a kit
  // (112), grade 1 only when the product has grade 1 (41), then grade 2 likewise (42); field 0.
  // The read is traced. Keeps.
  // Message 43 (third grade) is never given: the product record has no third grade pointer, so
  // nothing tells a product without a third grade, and refusing every third grade value would
  // refuse sound positions.
  CZQDadosDF_Erro& VerificaProduto(_REG_POSICAO_PRODUTOPS posicao);
  // The service position may be used in a maintenance: a service given (else 44), and no grade
  // value at all (45); field 0. The read is traced. Keeps.
  CZQDadosDF_Erro& VerificaServico(_REG_POSICAO_PRODUTOPS posicao);
  // The maintenance status may be given. Pointer 0: 145 when `obrigatoria`, otherwise clear
  // with `situacao` untouched. Otherwise the header is read into `situacao` (traced; a failure
  // names `campo`), and an inactive status without `permiteInativa` gives personalised 146
  // with the status's code and description. Warnings name `campo`. Clears.
  CZQDadosDF_Erro& VerificaSituacaoManutencao(unsigned long ponteiro, CZQDadosMM_Situacao& situacao, long campo,
                                              bool obrigatoria, bool permiteInativa);
  // The user may act: the user is read into `dados` (not traced, no field) and its own check
  // (VerificaDados) must accept it, else 80, field 0. Clears.
  CZQDadosDF_Erro& VerificaUsuario(unsigned short usuario, CZQDadosDF_Usuario* dados);

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
  // The company's engine; null before initialisation.
  zq::StorageEngine* MotorEmpresa() const;

  bool m_interfaceHabilitada;
};

// The module's catalogue.
constexpr _ZQModulo MODULO_MM = ZQ_MODULO_MM;
