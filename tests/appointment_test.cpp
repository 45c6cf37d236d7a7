#include "movements/MMTrataDadosManutencao.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "platform/types/ZQCurrencyEx.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"
#include "platform/system/ZQTrataErro.h"
#include "tests/support/FixtureOrdem.h"

namespace {

using zqteste::Aviso;
using zqteste::CenarioOrdem;
using zqteste::DataHora;
using zqteste::EmpresaTeste;

std::string LeArquivo(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// An order still open: no end.
void Aberta(CZQDadosMM_Manutencao& o) { o.SetDataHoraFim({}); }

// A company with the fixture's valid order (start 04/03/2024 09:00, end 17:00) and its
// appointment (09:00-12:00, the order's technician, a task that lists technicians).
struct Mundo : zqteste::MundoOrdem {
  // Checks the appointment counting access calls from zero (planned failures are forgotten);
  // "" when accepted, else the warning. Leituras() then tells the reads.
  std::string Verifica(const CZQDadosMM_Manutencao& o, CZQDadosMM_ManutencaoApontamento a) {
    empresa.Falhas().Clear();
    const CZQDadosMM_ManutencaoApontamento antes = a;
    handler.TrataAdicionarAlterarApontamento(o, a);
    EXPECT_TRUE(a == antes) << "the appointment changed";
    return Aviso(handler);
  }
  std::filesystem::path Relatorio() const { return empresa.Diretorio() / "ZQMensagensErro.log"; }
};

// The clock at 05/03/2024 10:05:30.
class AppointmentTest : public ::testing::Test {
 protected:
  CZQRelogioGuarda relogio{zqteste::Agora()};
  Mundo m;
  CenarioOrdem& c = m.c;
};

TEST_F(AppointmentTest, ChecksInOrder) {
  struct Caso {
    const char* nome;
    std::function<void(CenarioOrdem&, CZQDadosMM_Manutencao&, CZQDadosMM_ManutencaoApontamento&)> muda;
    const char* aviso;
    const char* leituras;
  };
  const auto kAgoraMinuto = DataHora(5, 3, 2024, 10, 5, 0);
  const Caso casos[] = {
      {"the valid appointment", [](auto&, auto&, auto&) {}, "", "LeTecnico LeTarefa LePlano"},
      {"start empty", [](auto&, auto&, auto& a) { a.SetDataHoraInicial({}); }, "28/105/126", ""},
      {"start not filled in", [](auto&, auto&, auto& a) { a.SetDataHoraInicial(REG_ZQDMAHMSUTC{172799}); },
       "28/105/126", ""},
      {"start one second before the order's", [](auto&, auto&, auto& a) {
         a.SetDataHoraInicial(DataHora(4, 3, 2024, 8, 59, 59)); }, "28/103/126", ""},
      {"order without start: any filled-in start", [](auto&, auto& o, auto& a) {
         o.SetDataHoraInicio({});
         a.SetDataHoraInicial(DataHora(1, 1, 1848, 0, 0)); }, "", "LeTecnico LeTarefa LePlano"},
      {"start at the clock's minute", [&](auto&, auto& o, auto& a) {
         Aberta(o);
         a.SetDataHoraInicial(kAgoraMinuto);
         a.SetDataHoraFinal(kAgoraMinuto); }, "", "LeTecnico LeTarefa LePlano"},
      {"start one second after the clock's minute", [](auto&, auto& o, auto& a) {
         Aberta(o);
         a.SetDataHoraInicial(DataHora(5, 3, 2024, 10, 5, 1));
         a.SetDataHoraFinal(DataHora(5, 3, 2024, 10, 6, 0)); }, "28/104/128", ""},
      {"no end, open order", [&](auto&, auto& o, auto& a) { Aberta(o); a.SetDataHoraFinal({}); }, "28/108/127", ""},
      {"end one second after the order's", [](auto&, auto&, auto& a) {
         a.SetDataHoraFinal(DataHora(4, 3, 2024, 17, 0, 1)); }, "28/109/127", ""},
      {"same end on an order without end", [&](auto&, auto& o, auto& a) {
         Aberta(o);
         a.SetDataHoraFinal(DataHora(4, 3, 2024, 17, 0, 1)); }, "", "LeTecnico LeTarefa LePlano"},
      {"start one second after end", [](auto&, auto&, auto& a) { a.SetDataHoraFinal(DataHora(4, 3, 2024, 8, 59, 59));
         a.SetDataHoraInicial(DataHora(4, 3, 2024, 9, 0, 0)); }, "28/110/126", ""},
      {"zero length", [](auto&, auto&, auto& a) { a.SetDataHoraFinal(a.GetDataHoraInicial()); }, "",
       "LeTecnico LeTarefa LePlano"},
      {"no technician, parameter on", [](auto&, auto&, auto& a) { a.SetPonteiroTecnico(0); }, "28/28/130", "LeMestre"},
      {"no technician, parameter off: task not read", [](auto& c, auto&, auto& a) {
         a.SetPonteiroTecnico(0);
         c.mestre.SetObrigarInformarTecnicoManutencao(false);
         c.Atualiza(c.mestre); }, "", "LeMestre"},
      {"technician inactive, even on a new order", [](auto& c, auto&, auto&) {
         c.tecnico.SetInativo(1);
         c.Atualiza(c.tecnico); }, "28/29/98", "LeTecnico"},
      {"technician outside the plan's discipline", [](auto& c, auto&, auto&) {
         c.tecnico.GetRefDisciplina(0).SetPonteiroDisciplina(999);
         c.Atualiza(c.tecnico); }, "28/71/130", "LeTecnico LeTarefa LePlano PertenceGrupoDisciplina"},
      {"other type: discipline not examined", [](auto& c, auto& o, auto&) {
         o.SetTipoManutencao(2);
         c.tecnico.GetRefDisciplina(0).SetPonteiroDisciplina(999);
         c.Atualiza(c.tecnico); }, "", "LeTecnico LeTarefa"},
      {"task listing no technician: discipline not examined", [](auto& c, auto&, auto&) {
         c.tarefa.RemoveTecnico(0);
         c.Atualiza(c.tarefa);
         c.tecnico.GetRefDisciplina(0).SetPonteiroDisciplina(999);
         c.Atualiza(c.tecnico); }, "", "LeTecnico LeTarefa"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo w;
    CZQDadosMM_Manutencao o = w.c.ordem;
    CZQDadosMM_ManutencaoApontamento a = o.GetRefApontamento(0);
    caso.muda(w.c, o, a);
    EXPECT_EQ(w.Verifica(o, a), caso.aviso);
    EXPECT_EQ(w.Leituras(), caso.leituras);
    EXPECT_FALSE(std::filesystem::exists(w.Relatorio()));
  }
}

// The technician's disciplines in its own order: the first that is the plan's discipline or
// lies in its group accepts.
TEST_F(AppointmentTest, TechnicianDisciplineOrGroupOfThePlansDiscipline) {
  CZQDadosMM_Disciplina sub;
  sub.SetCodigo("MEC.H");
  sub.SetPonteiroPai(c.disciplina.GetPonteiro());
  sub.SetTipoClassificacao(1);
  sub = m.empresa.Adiciona(sub);
  c.disciplina.SetTipoClassificacao(2);
  c.Atualiza(c.disciplina);
  CZQDadosMM_Disciplina alheia;
  alheia.SetCodigo("ELE");
  alheia.SetTipoClassificacao(1);
  alheia = m.empresa.Adiciona(alheia);

  struct Caso {
    const char* nome;
    std::vector<std::uint32_t> disciplinas;
    const char* aviso;
    int consultas;  // PertenceGrupoDisciplina calls
  };
  const Caso casos[] = {
      {"only discipline in the plan's group", {sub.GetPonteiro()}, "", 1},
      {"unrelated, then the plan's own", {alheia.GetPonteiro(), c.disciplina.GetPonteiro()}, "", 1},
      {"the plan's own first: no query", {c.disciplina.GetPonteiro(), alheia.GetPonteiro()}, "", 0},
      {"none related", {alheia.GetPonteiro(), 999}, "28/71/130", 2},
      {"no discipline at all", {}, "28/71/130", 0},
  };
  const CZQDadosMM_Manutencao o = c.ordem;
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    CZQDadosMM_Tecnico t = c.tecnico;
    t.SetListaDisciplina({});
    for (std::uint32_t d : caso.disciplinas) {
      CZQDadosMM_TecnicoDisciplina td;
      td.SetPonteiroDisciplina(d);
      t.AdicionaDisciplina(td);
    }
    c.Atualiza(t);
    EXPECT_EQ(m.Verifica(o, o.GetRefApontamento(0)), caso.aviso);
    int consultas = 0;
    for (const auto& op : m.empresa.Falhas().Log()) consultas += op == "PertenceGrupoDisciplina";
    EXPECT_EQ(consultas, caso.consultas);
  }
}

TEST_F(AppointmentTest, FailedReadsAreCopied) {
  struct Caso {
    const char* operacao;
    bool semTecnico;
  };
  const Caso casos[] = {
      {"LeMestre", true}, {"LeTecnico", false}, {"LePlano", false}, {"PertenceGrupoDisciplina", false}};
  c.tecnico.GetRefDisciplina(0).SetPonteiroDisciplina(999);  // so the group is asked
  c.Atualiza(c.tecnico);
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.operacao);
    CZQDadosMM_ManutencaoApontamento a = c.ordem.GetRefApontamento(0);
    if (caso.semTecnico) a.SetPonteiroTecnico(0);
    m.empresa.Falhas().Clear();
    m.empresa.Falhas().FailOperation(caso.operacao, ZQ_E_MOTOR, "sem acesso");
    m.handler.TrataAdicionarAlterarApontamento(c.ordem, a);
    EXPECT_EQ(Aviso(m.handler), "hr=0X80F00003/0 sem acesso");
    EXPECT_EQ(m.empresa.Falhas().Log().back(), caso.operacao);
  }
  m.empresa.Falhas().Clear();
}

// A task read that fails is reported to the message service and the check goes on (with an
// empty task, so the discipline is not examined and the appointment is accepted).
TEST_F(AppointmentTest, FailedTaskReadIsReportedAndTheCheckGoesOn) {
  c.tecnico.GetRefDisciplina(0).SetPonteiroDisciplina(999);  // would give 71 with the task read
  c.Atualiza(c.tecnico);
  struct Caso {
    long hr;
    bool relatado;
  };
  const Caso casos[] = {
      {ZQ_E_MOTOR, true},      {987654321, true},  {987654999, true},
      {987654320, false},      {987655000, false}, {1, false},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.hr);
    std::filesystem::remove(m.Relatorio());
    m.empresa.Falhas().Clear();
    m.empresa.Falhas().FailOperation("LeTarefa", caso.hr, "tarefa inacessível");
    CZQDadosMM_ManutencaoApontamento a = c.ordem.GetRefApontamento(0);
    m.handler.TrataAdicionarAlterarApontamento(c.ordem, a);
    EXPECT_EQ(Aviso(m.handler), "");
    EXPECT_EQ(m.Leituras(), "LeTecnico LeTarefa");
    const std::string relatorio = LeArquivo(m.Relatorio());
    if (!caso.relatado) {
      EXPECT_EQ(relatorio, "");
      continue;
    }
    EXPECT_EQ(std::count(relatorio.begin(), relatorio.end(), '\n'), 1) << relatorio;
    char hr[16];
    std::snprintf(hr, sizeof hr, "0x%08X", static_cast<unsigned>(caso.hr));
    for (const std::string& parte :
         {std::string("2024-03-05T10:05:30\t"), std::string("\tEmpresa=").append(m.empresa.Nome()).append("\t"),
          std::string("\tHR=").append(hr).append("\t"), std::string("\tFonte=MMTrataDadosManutencao:1092\t"),
          std::string("\tTexto=\tModulo=/"), std::string("libzqmm.so\tTexto2=\n")})
      EXPECT_NE(relatorio.find(parte), std::string::npos) << parte << " in " << relatorio;
    const std::size_t compilacao = relatorio.find("\tCompilacao=");
    ASSERT_NE(compilacao, std::string::npos);
    EXPECT_NE(relatorio[compilacao + 12], '\t');  // the library's build date and time
  }
  m.empresa.Falhas().Clear();
}

TEST(AppointmentErrorReportTest, WithoutDataDirectoryGoesToStandardError) {
  ::testing::internal::CaptureStderr();
  const long r = ZQTrataErro::ClientSend(ZQ_HR(0x80070057), 535575, 65535, "EMPRESA_SEM_CADASTRO", "Fonte", 7,
                                         "Jan  1 2024 00:00:00", "linha\num\tdois", "/lib/x.so", nullptr);
  const std::string saida = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(r, 0);
  EXPECT_EQ(std::count(saida.begin(), saida.end(), '\n'), 1) << saida;
  EXPECT_NE(saida.find("\tHR=0x80070057\tCodigo=535575\tServidor=65535\tFonte=Fonte:7\t"), std::string::npos) << saida;
  EXPECT_NE(saida.find("\tTexto=linha um dois\tModulo=/lib/x.so\tTexto2=\n"), std::string::npos) << saida;
}

TEST(AppointmentErrorReportTest, NeverBlocksNorFailsItsCaller) {
  EmpresaTeste empresa;
  const auto arquivo = empresa.Diretorio() / "ZQMensagensErro.log";
  ASSERT_EQ(::mkfifo(arquivo.c_str(), 0600), 0);  // a reader that never comes
  const auto inicio = std::chrono::steady_clock::now();
  EXPECT_EQ(ZQTrataErro::ClientSend(-1, 0, 0, empresa.Nome().c_str(), "", 0, "", "", "", ""), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(1));

  std::filesystem::remove(arquivo);
  std::filesystem::create_directory(arquivo);  // not a file
  EXPECT_EQ(ZQTrataErro::ClientSend(-1, 0, 0, empresa.Nome().c_str(), "", 0, "", "", "", ""), -1);
}

TEST(AppointmentErrorReportTest, ConcurrentReportsStayWholeLines) {
  EmpresaTeste empresa;
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i)
        ZQTrataErro::ClientSend(i, t, 0, empresa.Nome().c_str(), "F", i, "", std::string(200, 'x').c_str(), "", "");
    });
  for (auto& th : threads) th.join();
  std::istringstream linhas(LeArquivo(empresa.Diretorio() / "ZQMensagensErro.log"));
  int n = 0;
  for (std::string linha; std::getline(linhas, linha); ++n)
    EXPECT_NE(linha.find(std::string(200, 'x') + "\tModulo=\tTexto2="), std::string::npos);
  EXPECT_EQ(n, 400);
}

TEST(AppointmentErrorReportTest, ModulePathOfTheFileHoldingAnAddress) {
  const std::string caminho = ZQTrataErro::CaminhoModulo(reinterpret_cast<const void*>(&ZQTrataErro::ClientSend));
  EXPECT_EQ(caminho.front(), '/');
  EXPECT_NE(caminho.find("libzqplatform.so"), std::string::npos) << caminho;
  EXPECT_EQ(ZQTrataErro::CaminhoModulo(nullptr), "");
}

// SugerirDataGarantia: period type (0 days, 1 months, 2 years, other), increment, quantity,
// starting date and the date proposed.
TEST_F(AppointmentTest, WarrantyDate) {
  struct Caso {
    const char* nome;
    unsigned short tipo;
    unsigned short incremento;
    const char* quantidade;
    REG_ZQDMA de;
    REG_ZQDMA ate;
  };
  auto d = [](int dia, int mes, int ano) { return REG_ZQDMA::DeDiaMesAno(dia, mes, ano); };
  const Caso casos[] = {
      {"1 month from 31 January, leap year", 1, 1, "1", d(31, 1, 2024), d(29, 2, 2024)},
      {"1 month from 31 January, common year", 1, 1, "1", d(31, 1, 2023), d(28, 2, 2023)},
      {"13 months from 31 January", 1, 1, "13", d(31, 1, 2024), d(28, 2, 2025)},
      {"3 months across the year's end", 1, 1, "3", d(30, 11, 2024), d(28, 2, 2025)},
      {"2 x 3 months", 1, 2, "3", d(31, 8, 2024), d(28, 2, 2025)},
      {"1 year from 29 February", 2, 1, "1", d(29, 2, 2024), d(28, 2, 2025)},
      {"4 years from 29 February", 2, 1, "4", d(29, 2, 2024), d(29, 2, 2028)},
      {"1 year from the last year", 2, 1, "1", d(31, 12, 4717), REG_ZQDMA{}},
      {"10 days", 0, 1, "10", d(25, 2, 2024), d(6, 3, 2024)},
      {"10 days, increment 0", 0, 0, "10", d(25, 2, 2024), d(25, 2, 2024)},
      {"1.9999 counts 1", 0, 1, "1.9999", d(28, 2, 2023), d(1, 3, 2023)},
      {"-1.5 counts -1", 0, 1, "-1.5", d(1, 3, 2024), d(29, 2, 2024)},
      {"beyond the last day", 0, 1, "1", d(31, 12, 4717), REG_ZQDMA{}},
      {"before the first day", 0, 1, "-1", d(1, 1, 1848), REG_ZQDMA{}},
      {"unknown period type", 3, 1, "10", d(25, 2, 2024), d(25, 2, 2024)},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    c.tipoPeriodo.SetTipoPeriodo(caso.tipo);
    c.tipoPeriodo.SetIncrementoPeriodo(caso.incremento);
    c.Atualiza(c.tipoPeriodo);
    REG_ZQDMA data = caso.de;
    m.handler.SugerirDataGarantia(c.tipoPeriodo.GetPonteiro(), *CZQCurrencyEx::DeTexto(caso.quantidade), &data);
    EXPECT_EQ(Aviso(m.handler), "");
    EXPECT_EQ(data.ParaIso(), caso.ate.ParaIso());
  }
}

TEST_F(AppointmentTest, WarrantyDateUnchangedWhenThePeriodTypeCannotBeRead) {
  REG_ZQDMA data = REG_ZQDMA::DeDiaMesAno(31, 1, 2024);
  m.handler.SugerirDataGarantia(c.tipoPeriodo.GetPonteiro() + 100, tagCY{10000}, &data);
  EXPECT_EQ(Aviso(m.handler).rfind("hr=0X80F00001/0 ", 0), 0u) << Aviso(m.handler);
  EXPECT_EQ(data, REG_ZQDMA::DeDiaMesAno(31, 1, 2024));
}

}  // namespace
