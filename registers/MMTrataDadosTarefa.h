// CMMTrataDadosTarefa: the data handler of the task register, a classification tree whose
// analytic entries (TipoClassificacao 1) are tasks with their planned time, warranty terms,
// appointment and status rules, technicians and components. A save is checked in this order,
// the first fault ending the check (module 28, field codes in brackets):
//   a stored task only:
//     stored copy saved since the caller read it: 3 [65];
//     the stored copy was a group: group with entries beneath it made analytic: 98 [61];
//       new parent is the entry itself or beneath it: 99 [61];
//     the stored copy was analytic: named as its own parent: 99 [61];
//     each technician of the stored copy missing from the new list, in the stored order, through
//       TrataRemoverTecnico;
//   then ConsistirTarefa, on every task:
//     code empty: 1 on a new task [65], 2 on a stored one [66]; code of another task: 10 [65];
//     name empty: 4 [67];
//     a group (any type but 1) is emptied and accepted: planned time, warranty length and
//       period, custom-information set, description, appointment and warranty flags cleared,
//       every material, equipment and service removed;
//     an analytic task: appointments without custom-information set 157 [62]; status
//       assignment without status group 179 [72], without initial status 180 [73]; warranty
//       without length 158 [59], without period 159 [63].
// Nothing is trimmed. A failed read or search copies the access object's error with no field and
// is not traced.
//
// TrataRemoverTecnico(task, link) answers whether a technician may leave the task: not while any
// order in situation 1, 2, 4, 32 or 64 (open in some way; closed 8 and cancelled 16 do not count)
// holds an appointment of that technician on the task: 189 [75]. Every order is scanned before
// the answer. Orders that cannot be read refuse the removal with the copied error: an unread
// order may hold the appointment. The caller removes the link itself.
//
// TrataIncluirAlterarComponente(component, list, index) guards a component being added (index
// outside the list) or changed (its index): kind not 1, 2 or 3 is the personalised "Tipo do
// componente não é válido." [0]; no product 36/37/38 [76/79/82]; quantity not above zero
// 39 [77/80/83]; the same product position (all four parts) elsewhere in the list, of any kind,
// 47/46/48 [76/79/82]. The caller inserts or replaces the component.
//
// An analytic task naming itself as parent is refused like a group would be (no screen can show
// it). Deletes answer warning 162, as does a record that is not a task.
#pragma once

#include <cstdint>

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_Tarefa.h"

class CMMTrataDadosTarefa : public CMMTrataDados {
 public:
  explicit CMMTrataDadosTarefa(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosTarefa() override;

  CZQDadosDF_Erro& TrataRemoverTecnico(unsigned long ponteiroTarefa, const CZQDadosMM_TarefaTecnico& tecnico);
  CZQDadosDF_Erro& TrataIncluirAlterarComponente(CZQDadosMM_TarefaComponente* componente,
                                                 const CZQVector<CZQDadosMM_TarefaComponente>& componentes,
                                                 std::int64_t indice);

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 private:
  CZQDadosDF_Erro& ConsistirTarefa(CZQDadosMM_Tarefa* tarefa, IZQTrataInconsistencia* inconsistencia);
};
