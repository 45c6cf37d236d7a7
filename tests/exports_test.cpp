// The library as the suite's scheduler meets it: loaded by name, its two plain functions looked
// up, the routine created, asked its interval, run and ended; and the scheduler base's log,
// single runs and interval loop.
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

// Remembers what it was shown and answers as told.
class CaixaRoteiro : public IZQCaixaMensagem {
 public:
  explicit CaixaRoteiro(bool resposta) : m_resposta(resposta) {}
  void Informa(const CString& texto) override { mostrado += zq::Cp1252ToUtf8(texto.View()) + "\n"; }
  bool PerguntaSimNao(const CString& texto) override {
    mostrado += zq::Cp1252ToUtf8(texto.View()) + "?\n";
    return m_resposta;
  }
  std::string mostrado;

 private:
  bool m_resposta;
};

TEST(ExportsTest, SchedulerLoadsTheLibraryByName) {
  void* biblioteca = dlopen(ZQ_LIBZQMM, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(biblioteca, nullptr) << dlerror();
  auto criar = reinterpret_cast<PFN_MMEmailAlertaPlano>(dlsym(biblioteca, "MMEmailAlertaPlano"));
  auto configurar = reinterpret_cast<PFN_MMEmailAlertaPlano_Config>(dlsym(biblioteca, "MMEmailAlertaPlano_Config"));
  ASSERT_NE(criar, nullptr);
  ASSERT_NE(configurar, nullptr);

  CAutoRun* rotina = criar();
  ASSERT_NE(rotina, nullptr);
  long intervalo = 0;
  EXPECT_EQ(rotina->OnGetIntervalo(intervalo), 0);
  EXPECT_EQ(intervalo, 300000);
  EXPECT_EQ(rotina->GetNomeRotina(), "MMEmailAlertaPlano");

  // Run through the scheduler's view on a company with one due alert.
  EmpresaTeste empresa;
  CenarioAlerta c(empresa);
  c.Modelo("m.htm", kModeloSimples);
  const auto p = c.Plano("P", {c.Alerta("A", "m.htm", {c.Tecnico("ANA", "Ana", {"ana@zq.test"})})});
  c.Recurso("R", {{p, 1, 0, false}});
  ASSERT_EQ(rotina->Inicializa(empresa.Nome().c_str(), 1, 1), 0);
  bool parar = false;
  EXPECT_EQ(rotina->Executa(parar), 0);
  EXPECT_FALSE(parar);
  EXPECT_EQ(c.Saida().size(), 1u);
  rotina->OnDeleta();  // ASan reports a leak or a double free if this is wrong

  auto caixa = std::make_shared<CaixaRoteiro>(true);
  CZQCaixaMensagemGuarda guarda(caixa);
  EXPECT_EQ(configurar(), 0);
  EXPECT_EQ(caixa->mostrado, "A configuração deve ser feita no Cadastro de Planos do Zelva Manutenção.\n");
  dlclose(biblioteca);
}

TEST(ExportsTest, MessageBoxesWithoutAnInterfaceAnswerNo) {
  CZQCaixaMensagemGuarda semInterface(nullptr);
  EXPECT_FALSE(CZQCaixaMensagem::PerguntaSimNao("Continuar?"));
  std::istringstream entrada("talvez\nS\n");
  std::ostringstream saida;
  CZQCaixaMensagemGuarda terminal(std::make_shared<CZQCaixaMensagemTerminal>(entrada, saida));
  EXPECT_TRUE(CZQCaixaMensagem::PerguntaSimNao("Excluir a ordem?"));
  EXPECT_FALSE(CZQCaixaMensagem::PerguntaSimNao("De novo?"));  // end of input
}

// ---- The scheduler base ----------------------------------------------------------------------

class Rotina : public CAutoRun {
 public:
  Rotina() : CAutoRun("RotinaTeste") {}
  long OnRun(bool& parar) override {
    ++execucoes;
    if (lancar) throw CZQExceptionEx(ZQ_HR(0x80040A64), 1111, 0, "", "Falha", "Teste", 1, "");
    if (execucoes == pararNa) parar = true;
    return 0;
  }
  long OnGetIntervalo(long& ms) override {
    ms = intervalo;
    return 0;
  }
  std::atomic<int> execucoes{0};
  int pararNa = -1;
  long intervalo = 5;
  bool lancar = false;
};

std::string Le(const std::string& caminho) {
  std::ifstream in(caminho, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(ExportsAutoRunTest, LogGoesBesideTheProfilerLog) {
  CZQRelogioGuarda relogio(AgoraAlerta());
  EmpresaTeste empresa;
  Rotina rotina;
  ASSERT_EQ(rotina.Inicializa(empresa.Nome().c_str(), 1, 1), 0);
  const std::string arquivo = CAutoRun::ArquivoLog(empresa.Nome(), AgoraAlerta());
  EXPECT_EQ(arquivo, (empresa.Diretorio() / "ZQAutoRun_202403.log").string());
  rotina.GravaLog(1, 4, "Não\r\nenviado"_cp);
  EXPECT_EQ(Le(arquivo), std::string("05/03/2024 10:05:30\tRotinaTeste\t").append(empresa.Nome()).append("\t1\t4\tN\xE3o  enviado\n"));

  // Without a company: the installation's Path.
  const auto instalacao = DiretorioTemporario("zqmm-path");
  CZQRegistro::Define(std::string(CZQRegistro::kRaiz) + "\\DF", "Path", instalacao.string());
  Rotina semEmpresa;
  semEmpresa.GravaLog(1, 4, "x");
  EXPECT_EQ(Le((instalacao / "ZQAutoRun_202403.log").string()), "05/03/2024 10:05:30\tRotinaTeste\t\t1\t4\tx\n");
  CZQRegistro::Define(std::string(CZQRegistro::kRaiz) + "\\DF", "Path", "");
  std::filesystem::remove_all(instalacao);
}

TEST(ExportsAutoRunTest, ExecutaCatchesTheSuitesException) {
  Rotina rotina;
  rotina.lancar = true;
  bool parar = false;
  std::optional<CZQExceptionEx> excecao;
  EXPECT_EQ(rotina.Executa(parar, &excecao), ZQ_HR(0x80040A64));
  ASSERT_TRUE(excecao);
  EXPECT_EQ(excecao->GetNumeroMensagem(), 1111);
  EXPECT_STREQ(excecao->what(), "Falha (hr 0x80040A64, mensagem 1111, Teste:1)");
}

TEST(ExportsAutoRunTest, IntervalLoopStopsBetweenRuns) {
  {  // the routine asks to be run no more
    Rotina rotina;
    rotina.pararNa = 3;
    EXPECT_EQ(rotina.ExecutaEmIntervalos(std::stop_token()), 0);
    EXPECT_EQ(rotina.execucoes, 3);
  }
  {  // the host stops it, during a long wait
    Rotina rotina;
    rotina.intervalo = 60 * 60 * 1000;
    std::jthread t([&](std::stop_token parar) { rotina.ExecutaEmIntervalos(parar); });
    while (rotina.execucoes == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto inicio = std::chrono::steady_clock::now();
    t.request_stop();
    t.join();
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(5));
    EXPECT_EQ(rotina.execucoes, 1);
  }
}

}  // namespace
