// `zqmm operar` as a process on the sample company: each operation once accepted and once
// refused, what it prints, and its exit statuses for bad input and an unknown company.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>

#include "tests/support/Host.h"

namespace {

using zqteste::Resultado;

class HostOperationsTest : public ::testing::TestWithParam<const char*> {
 protected:
  // One sample company per engine, made by the first test that needs it.
  void SetUp() override {
    ZQ_EXIGE_POSTGRES(GetParam());
    auto& host = s_hosts[GetParam()];
    if (host) return;
    host = std::make_unique<zqteste::Host>();
    host->Motor(GetParam());
    host->CriaExemplo("ACME");
  }
  static void TearDownTestSuite() { s_hosts.clear(); }
  // zqmm with these arguments (words separated by blanks) and `entrada` on standard input.
  Resultado Roda(const std::string& args, const std::string& entrada = "") {
    std::istringstream palavras(args);
    std::vector<std::string> v;
    for (std::string p; palavras >> p;) v.push_back(p);
    return s_hosts[GetParam()]->Roda(v, entrada);
  }
  static inline std::map<std::string, std::unique_ptr<zqteste::Host>> s_hosts;
};

TEST_P(HostOperationsTest, EveryOperationOnTheSample) {
  const std::string ordem = R"("ordem": {"ponteiroRecurso": 1, "ponteiroPlano": 6,
                                         "dataHoraEmissao": "2026-12-05T08:00:00-03:00")";
  const std::string requisitada = R"({"ordem": {"listaEquipamento": [{"produtoServico": {"ponteiro": 4},
      "qtdRequisitada": 1, "chaveRequisicaoInterna": 3102}]}, "linha": {"ponteiroTarefa": 6}})";
  const struct {
    const char* operacao;
    std::string argumentos;
    int saida;
    std::string trecho;  // a line of what it prints; "" when it prints nothing
  } casos[] = {
      {"TrataAdicionarDisciplina", R"({"tecnico": {"codigo": "T"}, "disciplina": {"ponteiroDisciplina": 3}})", 0,
       R"("ponteiroDisciplina": 3)"},
      {"TrataAdicionarDisciplina",
       R"({"tecnico": {"listaDisciplina": [{"ponteiroDisciplina": 3}]}, "disciplina": {"ponteiroDisciplina": 3}})", 1,
       R"("mensagem": 87,)"},
      {"TrataRemoverTecnico", R"({"tarefa": 1, "tecnico": {"ponteiroTecnico": 2}})", 0, R"("ponteiroTecnico": 2)"},
      {"TrataRemoverTecnico", R"({"tarefa": 2, "tecnico": {"ponteiroTecnico": 3}})", 1, R"("mensagem": 189,)"},
      {"TrataIncluirAlterarComponente",
       R"({"componente": {"tipoComponente": 1, "posicaoProdutoServico": {"ponteiro": 2}, "quantidade": 1},
           "componentes": [{"posicaoProdutoServico": {"ponteiro": 1}}], "indice": -1})",
       0, R"("quantidade": 1)"},
      {"TrataIncluirAlterarComponente",
       R"({"componente": {"tipoComponente": 5}, "componentes": [], "indice": -1})", 1,
       R"("texto": "Tipo do componente não é válido.")"},
      {"TrataAdicionarAlterarAlerta",
       R"({"alerta": {"descricao": "A", "antesApos": 1, "modeloEmail": "alerta-lista.htm",
                      "listaTecnicos": [{"ponteiro": 2}]}})",
       0, R"("modeloEmail": "alerta-lista.htm")"},
      {"TrataAdicionarAlterarAlerta",
       R"({"alerta": {"descricao": "A", "antesApos": 1, "modeloEmail": "x.htm", "listaTecnicos": [{"ponteiro": 2}]}})",
       1,
       "/relatorios/x.htm não foi encontrado."},
      {"TrataAdicionarAlterarComponente",
       R"({"componente": {"posicaoProduto": {"ponteiro": 1}, "quantidade": 2}, "componentes": [], "indice": -1,
           "tipo": 1})",
       0, R"("componentes": [])"},
      {"TrataAdicionarAlterarComponente",
       R"({"componente": {"posicaoProduto": {"ponteiro": 3}, "quantidade": 2}, "componentes": [], "indice": -1,
           "tipo": 1})",
       1, R"("mensagem": 112,)"},
      {"CMMTrataDadosPlano::TrataAdicionarTarefa", R"({"tarefas": [3], "planoTarefas": [{"linha": 1, "ponteiroTarefa": 1}]})", 0,
       R"("ponteiroTarefa": 3)"},
      {"CMMTrataDadosPlano::TrataAdicionarTarefa", R"({"tarefas": [1], "planoTarefas": [{"ponteiroTarefa": 1}]})", 1,
       R"("texto": "A tarefa LUB já pertence ao plano de manutenção.")"},
      // Unusable input: exit 2.
      {"CMMTrataDadosPlano::TrataAdicionarTarefa", R"({"tarefas": [-1], "planoTarefas": []})", 2, ""},
      {"CMMTrataDadosPlano::TrataAdicionarTarefa", R"({"planoTarefas": []})", 2, ""},
      {"CMMTrataDadosPlano::TrataAdicionarTarefa", R"([1])", 2, ""},
      {"TrataAdicionarAlterarAlerta", R"({"alerta": {"nada": 1}})", 2, ""},
      {"Inexistente", "{}", 2, ""},
      // The order line and expense item families; the question answered by --sim.
      {"SugerirTarefasConformePlano", "{" + ordem + R"(}, "lista": []})", 0, R"("dataGarantiaAte": "2027-03-05")"},
      {"TrataAlterarTarefa", "{" + ordem + R"(}, "linha": {"ponteiroTarefa": 1, "garantiaAte": true}})", 1,
       R"("mensagem": 165,)"},
      {"TrataRemoverTarefa", requisitada, 1, R"("mensagem": 188,)"},
      {"--sim TrataRemoverTarefa", requisitada, 0, R"("ponteiroTarefa": 6)"},
      {"SugerirComponentesConformeTarefas",
       R"({"ordem": {"listaTarefa": [{"ponteiroTarefa": 5}]}, "lista": [], "tipo": 3})", 0,
       R"("complemento": "amostra do óleo drenado")"},
      {"TrataAdicionarAlterarEquipamento",
       R"({"linha": {"produtoServico": {"ponteiro": 4}, "qtdRequisitada": 1}, "indice": -1,
           "lista": [{"produtoServico": {"ponteiro": 4}, "qtdRequisitada": 1}]})",
       1, R"("mensagem": 172,)"},
      {"TrataAdicionarAlterarItem",
       R"({"lancamento": {}, "item": {"produtoServico": {"ponteiro": 1}, "quantidade": 1, "valor": 2}, "indice": -1})",
       0, R"("valor": 2)"},
      // Unusable arguments.
      {"TrataAdicionarAlterarItem", R"({"lancamento": {}, "item": {}, "indice": "x"})", 2, ""},
      {"SugerirComponentesConformeTarefas", R"({"ordem": {}, "lista": [], "tipo": 256})", 2, ""},
      {"TrataAdicionarAlterarMaterial", R"({"linha": {}, "indice": -1, "lista": {}})", 2, ""},
      {"TrataAdicionarTarefa", "{" + ordem + R"(}, "novas": [], "lista": []})", 2, ""},  // two handlers' name
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(std::string(caso.operacao) + " " + caso.argumentos);
    const Resultado r = Roda(std::string("operar ACME ") + caso.operacao, caso.argumentos);
    EXPECT_EQ(r.saida, caso.saida) << r.out;
    EXPECT_TRUE(caso.trecho.empty() ? r.out.empty() : r.out.find(caso.trecho) != std::string::npos) << r.out;
  }
  EXPECT_EQ(Roda("operar OUTRA CMMTrataDadosPlano::TrataAdicionarTarefa", "{}").saida, 3);
  const Resultado ajuda = Roda("operar --help");
  EXPECT_NE(ajuda.out.find("TrataAdicionarTarefa (CMMTrataDadosPlano): tarefas (inteiros), planoTarefas (lista)"),
            std::string::npos)
      << ajuda.out;
}

INSTANTIATE_TEST_SUITE_P(Engines, HostOperationsTest, ::testing::Values("sqlite", "postgresql"));

}  // namespace
