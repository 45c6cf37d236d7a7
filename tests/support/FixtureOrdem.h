// One complete, valid maintenance order and just the records it needs, stored on a test company,
// so a test makes the smallest change that breaks one rule:
//
//   EmpresaTeste empresa;
//   CenarioOrdem c(empresa);                     // records stored, c.ordem valid and new
//   c.tecnico.SetInativo(1); c.Atualiza(c.tecnico);
//   CZQDadosMM_Manutencao gravada = c.Grava();  // the same order as stored (valid key)
//
// The order: new, type 1 (plan "Lubrificação geral"), closed (situation 8, status entry "ENC"
// of base 8) by user 1 who holds close permission 13 of module 28; emission and planned start
// 04/03/2024 08:00, start 09:00, end 17:00 (UTC-3); one task line whose task asks for its
// configuration (field "Pressão" mandatory with a default value, "Observação" optional), one
// material, one equipment and one service line, and one appointment 09:00-12:00 of the
// order's technician on that task. Parameters demand a technician and appointments. The
// accounting period allows movements in 2024 and integration from 2000 to 2099; nothing is
// blocked. The clock is not set: tests that depend on it stand at kAgora.
#pragma once

#include <cstdint>
#include <string>

#include "platform/access/ZQAcessoEmpresarial.h"
#include "movements/MMTrataDadosManutencao.h"
#include "platform/records/ZQDadosMM_Manutencao.h"
#include "tests/support/Fixture.h"

namespace zqteste {

// A date-time at UTC-3.
REG_ZQDMAHMSUTC DataHora(int dia, int mes, int ano, int hora, int minuto, int segundo = 0);

// Where the order tests stand: 05/03/2024 10:05:30.
inline REG_ZQDMAHMSUTC Agora() { return DataHora(5, 3, 2024, 10, 5, 30); }

// Every profiler error log of the company, whatever month the clock put them in.
std::string TodosLogErros(const EmpresaTeste& empresa);

class CenarioOrdem {
 public:
  static constexpr unsigned short kUsuario = 1;

  explicit CenarioOrdem(EmpresaTeste& empresa);

  // Rewrites a stored record.
  void Atualiza(const TZQBaseParaDados& registro);
  // Stores `o` (by default the scenario's order) as an existing order: a valid key of its own,
  // the resource's branch and a save stamp. Returns it as stored.
  CZQDadosMM_Manutencao Grava(CZQDadosMM_Manutencao o);
  CZQDadosMM_Manutencao Grava() { return Grava(ordem); }

  EmpresaTeste& empresa;
  CZQDadosMM_Mestre mestre;
  CZQDadosDF_PeriodoContabil periodo;
  CZQDadosDF_Filial filial;
  CZQDadosDF_Recurso recurso;
  CZQDadosMM_Disciplina disciplina;
  CZQDadosMM_Plano plano;
  CZQDadosDF_RecursoPlanoManutencao vinculo;
  CZQDadosDF_Requisitante requisitante;
  CZQDadosMM_Prioridade prioridade;
  CZQDadosMM_Tecnico tecnico;
  CZQDadosMM_Situacao situacao;
  CZQDadosDF_Usuario usuario;
  CZQDadosDF_PermissaoUsuario permissao;
  CZQDadosBDD_Registro configuracao;
  CZQDadosDF_TipoPeriodo tipoPeriodo;
  CZQDadosMM_Tarefa tarefa;
  CZQDadosDF_ProdutoEx produto;
  CZQDadosDF_Servico servico;
  CZQDadosMM_Manutencao ordem;

 private:
  std::uint32_t m_proximaOrdem = 1;
};

// The scenario on a company of the given engine, with an initialised order handler.
struct MundoOrdem {
  explicit MundoOrdem(const char* motor = "memoria");
  // The access operations since the injector was last cleared, space-separated.
  std::string Leituras();

  EmpresaTeste empresa;
  CenarioOrdem c;
  CMMTrataDadosManutencao handler;
};

}  // namespace zqteste
