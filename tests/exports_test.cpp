// The library as the suite's scheduler meets it, and the scheduler base's log, single runs and interval loop.
#include "exports/MMExports.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/types/Cp1252.h"
#include "platform/system/ZQCaixaMensagem.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"
#include "tests/support/FixtureAlerta.h"

namespace {

using namespace zqteste;

// Loaded by name, its two plain functions looked up, the routine created, asked its interval, run and ended.
TEST(ExportsTest, SchedulerLoadsTheLibraryByName) {
  void* biblioteca = dlopen(ZQ_LIBZQMM, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(biblioteca, nullptr) << dlerror();
  auto criar = reinterpret_cast<PFN_MMEmailAlertaPlano>(dlsym(biblioteca, "MMEmailAlertaPlano"));
  auto configurar = reinterpret_cast<PFN_MMEmailAlertaPlano_Config>(dlsym(biblioteca, "MMEmailAlertaPlano_Config"));
  ASSERT_TRUE(criar && configurar);
  CAutoRun* rotina = criar();
  ASSERT_NE(rotina, nullptr);
  long intervalo = 0;
  EXPECT_TRUE(rotina->OnGetIntervalo(intervalo) == 0 && intervalo == 300000);
  EXPECT_EQ(rotina->GetNomeRotina(), "MMEmailAlertaPlano");
  EmpresaTeste empresa;  // with one due alert, run through the scheduler's view
  CenarioAlerta c(empresa);
  c.Modelo("m.htm", kModeloSimples);
  c.Recurso("R", {{c.Plano("P", {c.Alerta("A", "m.htm", {c.Tecnico("ANA", "Ana", {"ana@zq.test"})})}), 1, 0, false}});
  ASSERT_EQ(rotina->Inicializa(empresa.Nome().c_str(), 1, 1), 0);
  bool parar = false;
  EXPECT_TRUE(rotina->Executa(parar) == 0 && !parar);
  EXPECT_EQ(c.Saida().size(), 1u);
  rotina->OnDeleta();  // ASan reports a leak or a double free if this is wrong

  CZQCaixaMensagemGuarda semInterface(nullptr);  // without an interface, every question is answered no
  EXPECT_FALSE(CZQCaixaMensagem::PerguntaSimNao("Continuar?"));
  std::istringstream entrada("talvez\nS\n");
  std::ostringstream saida;
  CZQCaixaMensagemGuarda terminal(std::make_shared<CZQCaixaMensagemTerminal>(entrada, saida));
  EXPECT_EQ(configurar(), 0);
  EXPECT_TRUE(CZQCaixaMensagem::PerguntaSimNao("Excluir a ordem?"));
  EXPECT_FALSE(CZQCaixaMensagem::PerguntaSimNao("De novo?"));  // end of input
  EXPECT_EQ(saida.str(), "A configuração deve ser feita no Cadastro de Planos do Zelva Manutenção.\n"
                         "Excluir a ordem? [s/n] [s/n] De novo? [s/n] ");
  dlclose(biblioteca);
}

class Rotina : public CAutoRun {
 public:
  explicit Rotina(long p = -1, long i = 5, long l = 0) : CAutoRun("RotinaTeste"), pararNa(p), intervalo(i), lancar(l) {}
  long OnRun(bool& parar) override {
    if (lancar) throw CZQExceptionEx(ZQ_HR(0x80040A64), 1111, 0, "", "Falha", "Teste", 1, "");
    parar = ++execucoes == pararNa;
    return 0;
  }
  long OnGetIntervalo(long& ms) override { ms = intervalo; return 0; }
  std::atomic<int> execucoes{0};
  long pararNa, intervalo, lancar;
};

std::string Le(const std::filesystem::path& caminho) {
  std::ifstream in(caminho, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ExportsAutoRunTest, LogGoesBesideTheProfilerLog) {
  CZQRelogioGuarda relogio(AgoraAlerta());
  EmpresaTeste empresa;
  Rotina rotina;
  ASSERT_EQ(rotina.Inicializa(empresa.Nome().c_str(), 1, 1), 0);
  rotina.GravaLog(1, 4, "Não\r\nenviado"_cp);
  EXPECT_EQ(Le(empresa.Diretorio() / "ZQAutoRun_202403.log"),
            "05/03/2024 10:05:30\tRotinaTeste\t" + empresa.Nome() + "\t1\t4\tN\xE3o  enviado\n");
  // Without a company: the installation's Path.
  const auto instalacao = DiretorioTemporario("zqmm-path");
  CZQRegistro::Define(std::string(CZQRegistro::kRaiz) + "\\DF", "Path", instalacao.string());
  Rotina().GravaLog(1, 4, "x");
  EXPECT_EQ(Le(instalacao / "ZQAutoRun_202403.log"), "05/03/2024 10:05:30\tRotinaTeste\t\t1\t4\tx\n");
  CZQRegistro::Define(std::string(CZQRegistro::kRaiz) + "\\DF", "Path", "");
  std::filesystem::remove_all(instalacao);
}

TEST(ExportsAutoRunTest, ExecutaCatchesTheSuitesExceptionAndTheLoopStopsBetweenRuns) {
  Rotina falha(-1, 5, 1);
  bool parar = false;
  std::optional<CZQExceptionEx> excecao;
  EXPECT_EQ(falha.Executa(parar, &excecao), ZQ_HR(0x80040A64));
  EXPECT_STREQ(excecao ? excecao->what() : "none", "Falha (hr 0x80040A64, mensagem 1111, Teste:1)");
  Rotina tres(3);  // asks to be run no more on its third run
  EXPECT_TRUE(tres.ExecutaEmIntervalos(std::stop_token()) == 0 && tres.execucoes == 3);
  Rotina longa(-1, 60 * 60 * 1000);  // the host stops it during a long wait
  std::jthread t([&](std::stop_token pare) { longa.ExecutaEmIntervalos(pare); });
  while (longa.execucoes == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const auto inicio = std::chrono::steady_clock::now();
  t.request_stop();
  t.join();
  EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(5));
  EXPECT_EQ(longa.execucoes, 1);
}

}  // namespace
