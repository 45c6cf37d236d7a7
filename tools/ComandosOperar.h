// CComandosOperar: `zqmm operar NOME OPERACAO [ARQUIVO|-]`, the public list operations of the data
// handlers called from the host. The arguments come as one JSON object, a member per argument;
// the operation runs on the caller's copies, which are printed as it left them (accepted), or
// its warning is printed (refused). Exit statuses as for `verificar`.
//
// Every operation is one row of ZQMM_OPERACOES: the handler class, the operation, and the kind
// and JSON name of each argument in the order the operation takes them:
//   Registro<T>{"nome"}   a record (JSON object, RecordJson.h), passed as T& or T*; printed
//   Lista<T>{"nome"}      records (JSON array of objects), passed as CZQVector<T>& or *; printed
//   Inteiro<T>{"nome"}    a number (an integer type or an enumeration), passed by value
//   Inteiros<T>{"nome"}   numbers (JSON array), passed as CZQVector<T>&
//   Nenhum{}              the IZQTrataInconsistencia* some operations take: null
// The same rows list the operations in `zqmm operar --help`.
//
//   $ echo '{"tarefas": [1], "planoTarefas": []}' | zqmm operar ACME TrataAdicionarTarefa
#pragma once

#include <string>

#include "tools/Tratadores.h"

#define ZQMM_OPERACOES(O)                                                                              \
  O(CMMTrataDadosTecnico, TrataAdicionarDisciplina, Registro<CZQDadosMM_Tecnico>{"tecnico"},          \
    Registro<CZQDadosMM_TecnicoDisciplina>{"disciplina"}, Nenhum{})                                   \
  O(CMMTrataDadosTarefa, TrataRemoverTecnico, Inteiro<unsigned long>{"tarefa"},                       \
    Registro<CZQDadosMM_TarefaTecnico>{"tecnico"})                                                    \
  O(CMMTrataDadosTarefa, TrataIncluirAlterarComponente, Registro<CZQDadosMM_TarefaComponente>{"componente"}, \
    Lista<CZQDadosMM_TarefaComponente>{"componentes"}, Inteiro<std::int64_t>{"indice"})               \
  O(CMMTrataDadosPlano, TrataAdicionarAlterarAlerta, Registro<CZQDadosMM_PlanoAlerta>{"alerta"})      \
  O(CMMTrataDadosPlano, TrataAdicionarAlterarComponente, Registro<CZQDadosMM_PlanoComponente>{"componente"}, \
    Lista<CZQDadosMM_PlanoComponente>{"componentes"}, Inteiro<std::int64_t>{"indice"},                \
    Inteiro<_E_MM_MANUTENCOES_COMPONENTES>{"tipo"})                                                   \
  O(CMMTrataDadosPlano, TrataAdicionarTarefa, Inteiros<unsigned long>{"tarefas"},                     \
    Lista<CZQDadosMM_PlanoTarefa>{"planoTarefas"})                                                    \
  O(CMMTrataDadosManutencao, TrataAdicionarTarefa, Registro<CZQDadosMM_Manutencao>{"ordem"},          \
    Lista<CZQDadosMM_ManutencaoTarefa>{"novas"}, Lista<CZQDadosMM_ManutencaoTarefa>{"lista"})         \
  O(CMMTrataDadosManutencao, TrataAlterarTarefa, Registro<CZQDadosMM_Manutencao>{"ordem"},            \
    Registro<CZQDadosMM_ManutencaoTarefa>{"linha"})                                                   \
  O(CMMTrataDadosManutencao, TrataRemoverTarefa, Registro<CZQDadosMM_Manutencao>{"ordem"},            \
    Registro<CZQDadosMM_ManutencaoTarefa>{"linha"})                                                   \
  O(CMMTrataDadosManutencao, SugerirTarefasConformePlano, Registro<CZQDadosMM_Manutencao>{"ordem"},   \
    Lista<CZQDadosMM_ManutencaoTarefa>{"lista"})                                                      \
  O(CMMTrataDadosManutencao, SugerirComponentesConformeTarefas, Registro<CZQDadosMM_Manutencao>{"ordem"}, \
    Lista<CZQDadosMM_ManutencaoComponente>{"lista"}, Inteiro<_E_MM_MANUTENCOES_COMPONENTES>{"tipo"})  \
  O(CMMTrataDadosManutencao, TrataAdicionarAlterarMaterial, Registro<CZQDadosMM_ManutencaoComponente>{"linha"}, \
    Inteiro<std::int64_t>{"indice"}, Lista<CZQDadosMM_ManutencaoComponente>{"lista"})                 \
  O(CMMTrataDadosManutencao, TrataAdicionarAlterarEquipamento,                                        \
    Registro<CZQDadosMM_ManutencaoComponente>{"linha"}, Inteiro<std::int64_t>{"indice"},              \
    Lista<CZQDadosMM_ManutencaoComponente>{"lista"})                                                  \
  O(CMMTrataDadosManutencao, TrataAdicionarAlterarServico, Registro<CZQDadosMM_ManutencaoComponente>{"linha"}, \
    Inteiro<std::int64_t>{"indice"}, Lista<CZQDadosMM_ManutencaoComponente>{"lista"})                 \
  O(CMMTrataDadosLancamentoGastos, TrataAdicionarAlterarItem, Registro<CZQDadosMM_LancamentoGastos>{"lancamento"}, \
    Registro<CZQDadosMM_LancamentoGastosItem>{"item"}, Inteiro<std::int64_t>{"indice"}, Nenhum{})

namespace zqhost {

class CComandosOperar {
 public:
  // Runs `operacao` (the operation's name, or "Classe::Operacao") for the company with the
  // arguments read from `arquivo` ("-" = standard input), initialised for `usuario`.
  static int Opera(const std::string& empresa, const std::string& operacao, const std::string& arquivo,
                   unsigned short usuario);
  // One line per operation: its name, its handler and its arguments, for `operar --help`.
  static std::string Lista();
};

}  // namespace zqhost
