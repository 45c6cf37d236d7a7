// CMMTrataDadosPlano: the data handler of the maintenance-plan register, a classification tree
// whose analytic entries (TipoClassificacao 1) are plans: what is done (tasks, components), by
// which discipline and priority, when it comes due (a period, a counter, both or either) and
// whom to alert. A save is checked in this order, the first fault ending the check (module 28,
// field codes in brackets):
//   a stored plan only:
//     stored copy saved since the caller read it: 3 [21];
//     the stored copy was a group: group with entries beneath it made analytic: 98 [24];
//       new parent is the entry itself or beneath it: 99 [24];
//     the stored copy was analytic: named as its own parent: 99 [24];
//   then ConsistirPlano, on every plan:
//     code empty: 1 on a new plan [21], 2 on a stored one [22]; code of another plan: 10 [21];
//     name empty: 4 [23];
//     a group: plan type other than 0 is 183 [25]; otherwise emptied and accepted: control type,
//       period type, counter per cycle and the deactivation flag cleared, every alert removed;
//     an analytic plan: plan type not 1 or 2 is 183 [25]; no discipline 19 [26]; no priority
//       177 [27]; a type-2 plan is then accepted; a type-1 plan needs, by control type,
//         0 a period type, 1 a counter per cycle, 2 and 3 both (period first): 22 [29], 23 [30];
//       any other control type needs neither.
// The counter per cycle is in the unit of the resource's counter; any value above zero, down to
// one ten-thousandth, is a cycle. Tasks, components and alerts in the plan's lists are not
// looked at by a save: the list operations below guard them as they are edited. Nothing is
// trimmed. A failed read or search copies the access object's error with no field, not traced.
//
// TrataAdicionarAlterarAlerta(alert), first failing check wins: no description 49 [44];
// before/after not chosen 113 [45]; repetition without interval 116 [52] (no repetition: any
// interval); no technician 117 [54]; then the e-mail template, which must be a file the alert
// routine will find (CMMModeloEmailAlerta::LocalizaModelo, the routine's own rule: the name
// after the last '\' or '/' in the registry's report folder): none named, no report folder, or
// no such file are personalised warnings [0] naming what is missing. Checking the template here
// spares the routine an alert it would skip, or a run it would abort, on every interval.
//
// TrataAdicionarAlterarComponente(component, list of its kind, index, kind): no product 36/37/38
// [34/37/40] (kinds 1/2/3); a service ('S') refused by VerificaServico [40]; a product refused by
// VerificaProduto [34/37] (for another kind that report stays and the checks go on); quantity not
// above zero 39 [35/38/41]; the same product position elsewhere in the list 47/46/48 [34/37/40].
// The component at the index itself is skipped, so a component changed to itself passes.
//
// TrataAdicionarTarefa(tasks, plan's list) appends a plan task per pointer, in order, or none:
// a pointer 0 is 160 [33]; a task already in the list is 163 with the task's code [33]. Pointers
// repeated among those added are all appended.
//
// An analytic plan naming itself as parent is refused like a group would be. Deletes answer
// warning 162, as does a record that is not a plan.
#pragma once

#include <cstdint>

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_Plano.h"

class CMMTrataDadosPlano : public CMMTrataDados {
 public:
  explicit CMMTrataDadosPlano(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosPlano() override;

  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;
  CZQDadosDF_Erro& TrataAdicionarAlterarAlerta(CZQDadosMM_PlanoAlerta* alerta);
  CZQDadosDF_Erro& TrataAdicionarAlterarComponente(CZQDadosMM_PlanoComponente* componente,
                                                   const CZQVector<CZQDadosMM_PlanoComponente>& componentes,
                                                   std::int64_t indice, _E_MM_MANUTENCOES_COMPONENTES tipo);
  CZQDadosDF_Erro& TrataAdicionarTarefa(const CZQVector<unsigned long>& tarefas,
                                        CZQVector<CZQDadosMM_PlanoTarefa>& planoTarefas);

 private:
  CZQDadosDF_Erro& ConsistirPlano(CZQDadosMM_Plano* plano);
  CZQDadosDF_Erro& ConsistirCamposTarefa(CZQDadosMM_PlanoTarefa* planoTarefa);
};
