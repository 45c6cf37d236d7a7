// `zqmm operar` on the order line and expense item operations, as a process on the sample
// company: one accepted or refused run per family, the question answered by --sim, and unusable
// arguments (exit 2, nothing printed).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/support/Fixture.h"

namespace {

namespace fs = std::filesystem;

#ifdef ZQMM_BINARIO
constexpr const char* kBinario = ZQMM_BINARIO;
#else
constexpr const char* kBinario = "";
#endif

class HostOrderLinesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = zqteste::DiretorioTemporario("zqmm-operar-ordem");
    const std::string exemplo = ZQ_SOURCE_DIR "/data/exemplo";
    ASSERT_EQ(Roda("empresa criar ACME --dados " + (s_dir / "ACME").string()).second, 0);
    ASSERT_EQ(Roda("carregar ACME " + exemplo + "/exemplo.json").second, 0);
  }
  static void TearDownTestSuite() { fs::remove_all(s_dir); }

  // What zqmm prints on standard output, and its exit status.
  static std::pair<std::string, int> Roda(const std::string& args, const std::string& entrada = "") {
    std::ofstream(s_dir / "entrada") << entrada;
    const std::string comando = "env ZQ_REGISTRO=" + (s_dir / "registro.ini").string() + " HOME=" + s_dir.string() +
                                " " + kBinario + " " + args + " < " + (s_dir / "entrada").string() + " 2>/dev/null";
    std::string out;
    FILE* p = popen(comando.c_str(), "r");
    std::array<char, 4096> buf;
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) out.append(buf.data(), n);
    const int status = pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
  }
  static inline fs::path s_dir;
};

TEST_F(HostOrderLinesTest, OperationFamiliesOnTheSample) {
  const std::string ordem = R"("ordem": {"ponteiroRecurso": 1, "ponteiroPlano": 6,
                                         "dataHoraEmissao": "2026-12-05T08:00:00-03:00")";
  const std::string requisitada = R"({"ordem": {"listaEquipamento": [{"produtoServico": {"ponteiro": 4},
      "qtdRequisitada": 1, "chaveRequisicaoInterna": 3102}]}, "linha": {"ponteiroTarefa": 6}})";
  const struct {
    const char* operacao;
    std::string argumentos;
    int saida;
    const char* trecho;
  } casos[] = {
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
    const auto [out, saida] = Roda(std::string("operar ACME ") + caso.operacao, caso.argumentos);
    EXPECT_EQ(saida, caso.saida) << out;
    if (*caso.trecho) {
      EXPECT_NE(out.find(caso.trecho), std::string::npos) << out;
    } else {
      EXPECT_EQ(out, "");
    }
  }
}

}  // namespace
