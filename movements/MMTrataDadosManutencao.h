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
// warning 162.
//
// Delete (TrataExclusao) is a cancellation: the key must be a valid stored key (144/85); the
// stored order is read; the caller's status entry must be given (145/85), active (146/85) and of
// base situation 16 (147/85, naming the entry and its base situation); the stored order must be
// open, situation 2 (148/85), with no start, end, new schedule, duration or closing counter
// (149 to 153/85), no consumed or served quantity on any material, equipment or service line
// (153/85 naming the first such line, "code - name"; a failed read of that product or service
// is traced and names the list's field, 115, 119 or 122, and the line as item) and no
// appointment (155/85). Then the caller's record becomes the stored order with the caller's
// status entry and situation 16; on any refusal it is left as it came in.
//
// Line operations work on lists the caller owns. The task-line ones replace a group of the task
// classification by its analytic members (as the classification search answers them, groups
// beneath it skipped), drop tasks already in the list or repeated, fill each new line from the
// task register and check it, and commit the list only when every step passed. A line added
// alone keeps the warranty the screen gave it; lines from a group, a plan or a multiple
// selection get the warranty computed from the task register and the order's emission date.
//
// One caller at a time per handler.
#pragma once

#include <cstdint>

#include "framework/MMTrataDados.h"
#include "platform/types/ZQCurrency.h"
#include "platform/records/ZQDadosDF_Recurso.h"
#include "platform/records/ZQDadosDF_Requisitante.h"
#include "platform/records/ZQDadosMM_Manutencao.h"
#include "platform/records/ZQDadosMM_Mestre.h"
#include "platform/records/ZQDadosMM_Plano.h"
#include "platform/records/ZQDadosMM_Tarefa.h"
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

  // Adds the lines `novas` (groups expanded) to `lista`, each filled from its task and checked
  // (see ConsistirManutencaoTarefa); `lista` is replaced only when all passed.
  CZQDadosDF_Erro& TrataAdicionarTarefa(const CZQDadosMM_Manutencao& ordem,
                                        const CZQVector<CZQDadosMM_ManutencaoTarefa>& novas,
                                        CZQVector<CZQDadosMM_ManutencaoTarefa>* lista);
  // Checks an altered line; may fill its last-warranty date and order from the resource.
  CZQDadosDF_Erro& TrataAlterarTarefa(const CZQDadosMM_Manutencao& ordem, CZQDadosMM_ManutencaoTarefa* linha);
  // May the line be removed (the caller removes it). The first requisitioned line of the
  // materials, then equipment, then services decides: served already, 26/109; nothing served,
  // the user is asked (message 92) once, and No gives 188/109; after a question the later lists
  // are not looked at. Then an appointment naming the line's task gives 187/109.
  CZQDadosDF_Erro& TrataRemoverTarefa(const CZQDadosMM_Manutencao* ordem, const CZQDadosMM_ManutencaoTarefa& linha);
  // Adds the tasks of the order's plan, in the plan's order, warranties computed; `lista` is
  // replaced only when every read and check passed.
  CZQDadosDF_Erro& SugerirTarefasConformePlano(const CZQDadosMM_Manutencao& ordem,
                                               CZQVector<CZQDadosMM_ManutencaoTarefa>* lista);

  // Brings `lista` (the order's list of kind `tipo`) in step with the order's task lines, in
  // place: drops lines whose origin task left the order (lines typed by the user stay), then
  // appends the components of each task that has none of its lines left in the list. A kind
  // outside 1..3 only drops. A failed task read stops there, with what was done kept.
  CZQDadosDF_Erro& SugerirComponentesConformeTarefas(const CZQDadosMM_Manutencao& ordem,
                                                     CZQVector<CZQDadosMM_ManutencaoComponente>* lista,
                                                     _E_MM_MANUTENCOES_COMPONENTES tipo);
  // Check `linha` before the screen stores it at `indice` of `lista` (negative: a new line);
  // change neither. Product given and usable; quantity positive; a new line consumes nothing;
  // an altered one keeps its product, keeps its quantity once its requisition served anything,
  // and consumes no more than was served; equipment also refuses a second line of the same
  // product and origin task unless that one is in a requisition (172/119).
  CZQDadosDF_Erro& TrataAdicionarAlterarMaterial(CZQDadosMM_ManutencaoComponente& linha, std::int64_t indice,
                                                 const CZQVector<CZQDadosMM_ManutencaoComponente>& lista);
  CZQDadosDF_Erro& TrataAdicionarAlterarEquipamento(CZQDadosMM_ManutencaoComponente& linha, std::int64_t indice,
                                                    const CZQVector<CZQDadosMM_ManutencaoComponente>& lista);
  CZQDadosDF_Erro& TrataAdicionarAlterarServico(CZQDadosMM_ManutencaoComponente& linha, std::int64_t indice,
                                                const CZQVector<CZQDadosMM_ManutencaoComponente>& lista);

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;
  CZQDadosDF_Erro& OnTrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

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

  // Lines of `entrada` with each group replaced by its analytic members. *variasTarefas (when
  // given): a group was expanded or two or more lines came out.
  CZQDadosDF_Erro& SubstituirTarefasTipoGrupo(const CZQVector<CZQDadosMM_ManutencaoTarefa>& entrada,
                                              CZQVector<CZQDadosMM_ManutencaoTarefa>* saida, bool* variasTarefas);
  // Appends to *lista a checked line per task of `novas` not yet in it; stops at the first fault
  // with the lines before it appended (callers work on a copy).
  CZQDadosDF_Erro& ConcatenarListaTarefas(const CZQDadosMM_Manutencao& ordem,
                                          const CZQVector<CZQDadosMM_ManutencaoTarefa>& novas,
                                          CZQVector<CZQDadosMM_ManutencaoTarefa>* lista, bool sugerirGarantia);
  // A status when the task demands one (181/110); a warranty date, when a warranty applies,
  // that is a valid date (165/113), and then the resource's last warranty of the task.
  CZQDadosDF_Erro& ConsistirManutencaoTarefa(const CZQDadosMM_Manutencao& ordem, CZQDadosMM_ManutencaoTarefa* linha);
  // One requisition test of TrataRemoverTarefa; *perguntar turns false once the user was asked.
  CZQDadosDF_Erro& VerificaRequisicaoRemocao(const CZQVector<CZQDadosMM_ManutencaoComponente>& lista, bool* perguntar);
  CZQDadosDF_Erro& TrataAdicionarAlterarComponente(_E_MM_MANUTENCOES_COMPONENTES tipo,
                                                   CZQDadosMM_ManutencaoComponente& linha, std::int64_t indice,
                                                   const CZQVector<CZQDadosMM_ManutencaoComponente>& lista);
  CZQDadosDF_Erro& ConsistirQuantComponentesCancelamento(const CZQVector<CZQDadosMM_ManutencaoComponente>& lista,
                                                         long campo);
};
