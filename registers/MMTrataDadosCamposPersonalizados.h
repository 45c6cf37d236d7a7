// CMMTrataDadosCamposPersonalizados: the data handler of the custom-field register, a
// classification tree per destination in which classes (TipoClassificacao 2) gather fields (1)
// through PonteiroClasse. A save is checked in this order, the first fault ending the check
// (module 28, field codes in brackets):
//   a stored entry only:
//     stored copy saved since the caller read it: 3 [15];
//     the stored copy was a class (its subtree searched within its destination):
//       class with entries beneath it made a field: 98 [18];
//       new class is the entry itself or beneath it: 99 [18];
//     the stored copy was a field: named as its own class: 99 [18];
//   then ConsistirCamposPersonalizados, on every entry:
//     destination not valid (GetDestinacaoEhValida): 164 [15];
//     code as typed, empty: 1 on a new entry [15], 2 on a stored one [16];
//     code used by another entry of the same destination: 10 [15];
//     description as typed, empty: 49 [17];
//     a class (type 2) loses its details and is made active; a type other than 1 or 2 is
//       neither normalised nor refused.
// The class normalisation is the only change to the caller's record. A failed read or search
// copies the access object's error with no field and is not traced.
//
// An entry that was a field and names itself as its class has no rule of its own in the tree
// walk (it runs for stored classes); it is refused as a class would be, 99 [18].
// Deletes answer warning 162, as does a record that is not a custom-field entry.
#pragma once

#include <cstdint>

#include "framework/MMTrataDados.h"
#include "platform/records/ZQDadosMM_CamposPersonalizados.h"

// The destinations of custom fields: code and name, declared once.
#define MM_DESTINACOES_CAMPOS_PERSONALIZADOS(D) \
  D(MM_DESTINACAO_APONTAMENTO_TAREFA, 1, "Apontamentos de Tarefas")

enum E_MM_DESTINACAO_CAMPOS_PERSONALIZADOS : std::uint8_t {
#define MM_DESTINACAO_ENUM(nome, codigo, texto) nome = codigo,
  MM_DESTINACOES_CAMPOS_PERSONALIZADOS(MM_DESTINACAO_ENUM)
#undef MM_DESTINACAO_ENUM
};

class CMMTrataDadosCamposPersonalizados : public CMMTrataDados {
 public:
  explicit CMMTrataDadosCamposPersonalizados(bool interfaceHabilitada = false) : CMMTrataDados(interfaceHabilitada) {}
  ~CMMTrataDadosCamposPersonalizados() override;

  // Whether the destination is one of the table above.
  static bool GetDestinacaoEhValida(std::uint8_t destinacao);
  // The destination's name; empty for a code outside the table.
  static CString GetNomeDestinacao(std::uint8_t destinacao);

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) override;

 private:
  CZQDadosDF_Erro& ConsistirCamposPersonalizados(CZQDadosMM_CamposPersonalizados* campos,
                                                 IZQTrataInconsistencia* inconsistencia);
};
