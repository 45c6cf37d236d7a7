// CMMControleIntegridade: may an entry of one of the module's registers be deleted? It searches,
// through the access objects, for the records that still depend on the entry: child entries of
// the same tree, other registers that use it, movements that refer to it. The first dependent
// found ends the search, and the routine's error record (this object) then names it and the
// entry, as module 28 warnings with field 0. A failed read or search is no dependent: its error
// is copied into the record instead. Nothing is written.
//
//   CMMControleIntegridade controle;
//   controle.Inicializa(empresa, usuario, sessao);
//   if (!controle.VerificaRelacionamentoPonteiro(CMMControleIntegridade::kTecnico, ponteiro))
//     mostra(controle.GetMensagem());
#pragma once

#include <cstdint>

#include "framework/MMBaseParaRotinas.h"
#include "platform/types/String.h"

class CMMControleIntegridade : public CMMBaseParaRotinas {
 public:
  enum RegistroControleIntegridade : int {
    kDisciplina = 1,
    kTecnico = 2,
    kPlano = 3,
    kSituacaoManutencao = 4,
    kTipoGasto = 5,
  };

  CMMControleIntegridade() = default;
  ~CMMControleIntegridade() override;

  // Starts from a cleared error record and checks the entry `ponteiro` of `registro`; true when
  // nothing depends on it and every read succeeded. A register outside 1..5 checks nothing.
  bool VerificaRelacionamentoPonteiro(RegistroControleIntegridade registro, std::uint32_t ponteiro);

 private:
  CZQDadosDF_Erro& ExisteRelacionamentoCadastroDisciplina(std::uint32_t ponteiro);
  CZQDadosDF_Erro& ExisteRelacionamentoCadastroTecnico(std::uint32_t ponteiro);
  CZQDadosDF_Erro& ExisteRelacionamentoCadastroPlano(std::uint32_t ponteiro);
  CZQDadosDF_Erro& ExisteRelacionamentoCadastroSituacaoManutencao(std::uint32_t ponteiro);
  CZQDadosDF_Erro& ExisteRelacionamentoCadastroTipoGasto(std::uint32_t ponteiro);
};

// A resource's asset number as the screens write it, month and two-digit year then the sequence
// number: 0722-000123. A month count of 0 writes 0000.
CString MMTextoPosicaoRecurso(std::uint32_t posicao);
