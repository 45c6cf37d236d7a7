// CMMTrataDadosManutencao: the data handler of the maintenance order (CZQDadosMM_Manutencao).
//
// Save (TrataGravacao). A stored order (its key a valid stored key, REG_ZQDMC::IsValid) is first
// read back and refused with warning 3 on field 85 when its last-save stamp changed meanwhile.
// The order is then checked on a working copy, in this order, the first fault ending the check
// (module 28; message/field):
//   parameters read; resource given (50/87), readable, active when the order is new (54/87),
//   maintainable, type 2 (51/87); a new order takes its branch and counter data from the
//   resource; type named (52/88); plan order (type 1): plan given (53/89), active when new
//   (55/89), its link to the resource active when new (25/89), discipline given (19/97), and a
//   new one takes the plan's name as description and the plan's planned times; description
//   (49/90); requester (27/95); priority (177/96); requester active when new (56/95) and of the
//   order's branch when new (127/95); technician given when the parameters demand it, unless the
//   order comes from a production appointment (28/98), active unless the order is new (29/98),
//   of the order's branch (128/98), of the order's discipline when it has one (182/98);
//   situation 0 taken from the status entry; situation 8 needs close permission 13 of module 28 (191/99); dates and
//   times (134 to 143, see VerificaDatasHoras); task configuration fields of a closed order
//   (field 114); products of material (115) and equipment (119) lines; appointments (70/126,
//   155/99).
// Derived fields and the task-appointment records reach the caller's order only when the whole
// check passed; on any refusal the caller's order is exactly as it came in. A failed read copies
// the access object's error as it is (naming no field, but see ConsistirExistenciaKits) and
// ends the check; only the configuration read of the task fields is traced. A description is
// taken as typed: one of blanks is not empty. A null record or one of another class answers
// warning 162. Deletes (order cancellation) answer warning 162 for now.
//
// One caller at a time per handler.
#pragma once

#include "framework/MMTrataDados.h"
#include "platform/types/ZQCurrency.h"
#include "platform/records/ZQDadosDF_Recurso.h"
#include "platform/records/ZQDadosDF_Requisitante.h"
#include "platform/records/ZQDadosMM_Manutencao.h"
#include "platform/records/ZQDadosMM_Mestre.h"
#include "platform/records/ZQDadosMM_Plano.h"
#include "platform/records/ZQDadosMM_Tecnico.h"
#include "platform/types/ZQDma.h"

class CMMTrataDadosManutencao : public CMMTrataDados {
 public:
  explicit CMMTrataDadosManutencao(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosManutencao() override;

  // Checks one work-time appointment of `ordem` before the screen adds or alters it; changes
  // nothing. In order (module 28; message/field):
  //   start filled in (105/126); not before the order's start (103/126); not after the local
  //   clock's current minute, i.e. its time with the seconds set to 0 (104/128); end filled in
  //   (108/127); not after the order's end when the order has one (109/127); start not after
  //   end (110/126; equal is accepted); technician given when the parameters demand it (28/130;
  //   with none given and not demanded, accepted here); technician readable and active
  //   (29/98); then the task is read: a failed read is reported through ZQTrataErro::ClientSend
  //   (fire-and-forget) and the check goes on with an empty task; when the task lists
  //   technicians and the order is a plan order (type 1), one of the technician's disciplines
  //   must be the plan's discipline or belong to its group (71/130).
  CZQDadosDF_Erro& TrataAdicionarAlterarApontamento(const CZQDadosMM_Manutencao& ordem,
                                                    CZQDadosMM_ManutencaoApontamento& apontamento);

  // Proposes the end of a warranty: *data (the starting date on entry) moved forward by the
  // period type's increment times the whole part of `quantidade` (truncated toward zero; a
  // 32-bit product) in days, months or years. Months and years keep the day of the month,
  // lowered to the month's last day:
  //   31/01/2024 + 1 month  -> 29/02/2024        29/02/2024 + 1 year -> 28/02/2025
  // A day result outside 2..1048247, or a year outside 1848..4717, gives no date (0). An unknown
  // period type leaves *data unchanged; so does a failed read of the period type (its error is
  // copied).
  CZQDadosDF_Erro& SugerirDataGarantia(unsigned long ponteiroPeriodo, const tagCY& quantidade, REG_ZQDMA* data);

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 private:
  // Each clears the error record first and returns it.
  CZQDadosDF_Erro& ConsistirManutencao(CZQDadosMM_Manutencao* ordem);
  CZQDadosDF_Erro& VerificaRecurso(long ponteiro, CZQDadosDF_Recurso* recurso, bool verificarInativo,
                                   bool permitirInativo);
  CZQDadosDF_Erro& VerificaTipoManutencao(unsigned char tipo);
  CZQDadosDF_Erro& VerificaPlano(long ponteiro, CZQDadosMM_Plano* plano, bool verificarInativo);
  CZQDadosDF_Erro& VerificaRequisitante(long ponteiro, CZQDadosDF_Requisitante* requisitante, bool verificarInativo);
  CZQDadosDF_Erro& VerificaTecnico(long ponteiro, CZQDadosMM_Tecnico* tecnico, bool aceitarInativo);
  // Emission date valid and within the movement period; integration period (by the local clock)
  // when the order has material or equipment lines; planned start, start, new schedule and end
  // against the situation and each other. The parameters and the flag change nothing.
  CZQDadosDF_Erro& VerificaDatasHoras(const CZQDadosMM_Manutencao& ordem, const CZQDadosMM_Mestre& mestre,
                                      bool ordemNova);
  CZQDadosDF_Erro& VerificaApontamentos(const CZQDadosMM_Manutencao& ordem, const CZQDadosMM_Mestre& mestre);
  // Closed orders only: gives each task line that needs one its task-appointment record (from
  // the task's configuration) and checks its fields; removes it from lines that need none.
  CZQDadosDF_Erro& ConsistirInfoPersonalizadaTarefa(CZQDadosMM_Manutencao* ordem);
  // The product of every material and equipment line may be used (kits refused). Whatever
  // VerificaProduto answers, a warning or a failed read, is given the line's field (115 or 119)
  // and the line's index from 0 as its item.
  CZQDadosDF_Erro& ConsistirExistenciaKits(const CZQDadosMM_Manutencao& ordem);
};
