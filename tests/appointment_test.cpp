#include "movements/MMTrataDadosManutencao.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
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
  std::ostringstream out;
  out << std::ifstream(p, std::ios::binary).rdbuf();
  return out.str();
}

// A company with the fixture's valid order (start 04/03/2024 09:00, end 17:00) and its
// appointment (09:00-12:00, the order's technician, a task that lists technicians).
struct Mundo : zqteste::MundoOrdem {
  // "" when accepted, else the warning; the access calls counted from here.
  std::string Verifica(const CZQDadosMM_Manutencao& o, CZQDadosMM_ManutencaoApontamento a) {
    empresa.Falhas().Clear();
    const CZQDadosMM_ManutencaoApontamento antes = a;
    handler.TrataAdicionarAlterarApontamento(o, a);
    EXPECT_TRUE(a == antes) << "the appointment changed";
    return Aviso(handler);
  }
  std::filesystem::path Relatorio() const { return empresa.Diretorio() / "ZQMensagensErro.log"; }
};

class AppointmentTest : public ::testing::Test {
 protected:
  CZQRelogioGuarda relogio{zqteste::Agora()};
  Mundo m;
  CenarioOrdem& c = m.c;
};

// Each row: the warning ("" accepted) and, after "|", the reads made.
TEST_F(AppointmentTest, ChecksInOrder) {
  using Muda = std::function<void(CenarioOrdem&, CZQDadosMM_Manutencao&, CZQDadosMM_ManutencaoApontamento&)>;
  auto inicio = [](REG_ZQDMAHMSUTC v) -> Muda { return [v](auto&, auto&, auto& a) { a.SetDataHoraInicial(v); }; };
  auto fim = [](REG_ZQDMAHMSUTC v) -> Muda { return [v](auto&, auto&, auto& a) { a.SetDataHoraFinal(v); }; };
  auto ambos = [](REG_ZQDMAHMSUTC v) -> Muda {
    return [v](auto&, auto&, auto& a) { a.SetDataHoraInicial(v), a.SetDataHoraFinal(v); };
  };
  auto aberta = [](Muda f) -> Muda { return [f](auto& c, auto& o, auto& a) { o.SetDataHoraFim({}), f(c, o, a); }; };
  auto fora = [](CenarioOrdem& c) { c.tecnico.GetRefDisciplina(0).SetPonteiroDisciplina(999), c.Atualiza(c.tecnico); };
  const auto kAgoraMinuto = DataHora(5, 3, 2024, 10, 5, 0);
  const std::string kTudo = "|LeTecnico LeTarefa LePlano";
  const std::vector<std::tuple<const char*, Muda, std::string>> casos = {
      {"the valid appointment", [](auto&, auto&, auto&) {}, kTudo},
      {"start not filled in", inicio({172799}), "28/105/126|"},
      {"start one second before the order's", inicio(DataHora(4, 3, 2024, 8, 59, 59)), "28/103/126|"},
      {"order without start: any filled-in start",
       [](auto&, auto& o, auto& a) { o.SetDataHoraInicio({}), a.SetDataHoraInicial(DataHora(1, 1, 1848, 0, 0)); },
       kTudo},
      {"start at the clock's minute", aberta(ambos(kAgoraMinuto)), kTudo},
      {"start one second after the clock's minute", aberta(ambos(DataHora(5, 3, 2024, 10, 5, 1))), "28/104/128|"},
      {"no end, open order", aberta(fim({})), "28/108/127|"},
      {"end one second after the order's", fim(DataHora(4, 3, 2024, 17, 0, 1)), "28/109/127|"},
      {"same end on an order without end", aberta(fim(DataHora(4, 3, 2024, 17, 0, 1))), kTudo},
      {"start one second after end", fim(DataHora(4, 3, 2024, 8, 59, 59)), "28/110/126|"},
      {"zero length", ambos(DataHora(4, 3, 2024, 9, 0)), kTudo},
      {"no technician, parameter on", [](auto&, auto&, auto& a) { a.SetPonteiroTecnico(0); }, "28/28/130|LeMestre"},
      {"no technician, parameter off: task not read", [](auto& c, auto&, auto& a) {
         a.SetPonteiroTecnico(0), c.mestre.SetObrigarInformarTecnicoManutencao(false), c.Atualiza(c.mestre);
       }, "|LeMestre"},
      {"technician inactive, even on a new order",
       [](auto& c, auto&, auto&) { c.tecnico.SetInativo(1), c.Atualiza(c.tecnico); }, "28/29/98|LeTecnico"},
      {"technician outside the plan's discipline", [&](auto& c, auto&, auto&) { fora(c); },
       "28/71/130|LeTecnico LeTarefa LePlano PertenceGrupoDisciplina"},
      {"other type: discipline not examined", [&](auto& c, auto& o, auto&) { fora(c), o.SetTipoManutencao(2); },
       "|LeTecnico LeTarefa"},
      {"task listing no technician: discipline not examined",
       [&](auto& c, auto&, auto&) { fora(c), c.tarefa.RemoveTecnico(0), c.Atualiza(c.tarefa); }, "|LeTecnico LeTarefa"},
  };
  for (const auto& [nome, muda, esperado] : casos) {
    SCOPED_TRACE(nome);
    Mundo w;
    CZQDadosMM_Manutencao o = w.c.ordem;
    CZQDadosMM_ManutencaoApontamento a = o.GetRefApontamento(0);
    muda(w.c, o, a);
    const std::string aviso = w.Verifica(o, a);
    EXPECT_EQ(aviso + "|" + w.Leituras(), esperado);
    EXPECT_FALSE(std::filesystem::exists(w.Relatorio()));
  }
}

// The technician's disciplines in its own order: the first that is the plan's discipline or
// lies in its group accepts.
TEST_F(AppointmentTest, TechnicianDisciplineOrGroupOfThePlansDiscipline) {
  CZQDadosMM_Disciplina sub, alheia;
  sub.SetCodigo("MEC.H"), sub.SetPonteiroPai(c.disciplina.GetPonteiro()), sub.SetTipoClassificacao(1);
  sub = m.empresa.Adiciona(sub);
  alheia.SetCodigo("ELE"), alheia.SetTipoClassificacao(1);
  alheia = m.empresa.Adiciona(alheia);
  c.disciplina.SetTipoClassificacao(2);
  c.Atualiza(c.disciplina);
  // The disciplines, the warning and how many times PertenceGrupoDisciplina is asked.
  using Linha = std::tuple<const char*, std::vector<std::uint32_t>, const char*, long>;
  for (const auto& [nome, disciplinas, aviso, consultas] : std::vector<Linha>{
      {"only discipline in the plan's group", {sub.GetPonteiro()}, "", 1},
      {"unrelated, then the plan's own", {alheia.GetPonteiro(), c.disciplina.GetPonteiro()}, "", 1},
      {"the plan's own first: no query", {c.disciplina.GetPonteiro(), alheia.GetPonteiro()}, "", 0},
      {"none related", {alheia.GetPonteiro(), 999}, "28/71/130", 2},
      {"no discipline at all", {}, "28/71/130", 0},
       }) {
    SCOPED_TRACE(nome);
    CZQDadosMM_Tecnico t = c.tecnico;
    t.SetListaDisciplina({});
    for (std::uint32_t d : disciplinas) t.GetRefDisciplina(t.AdicionaDisciplina({})).SetPonteiroDisciplina(d);
    c.Atualiza(t);
    EXPECT_EQ(m.Verifica(c.ordem, c.ordem.GetRefApontamento(0)), aviso);
    const auto& log = m.empresa.Falhas().Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "PertenceGrupoDisciplina"), consultas);
  }
}

// Failed reads are copied, except the task's: that one is reported to the message service (codes
// of the access layer only) and the check goes on with an empty task, the discipline not examined.
TEST_F(AppointmentTest, FailedReads) {
  c.tecnico.GetRefDisciplina(0).SetPonteiroDisciplina(999);  // so the group is asked
  c.Atualiza(c.tecnico);
  for (const std::string operacao : {"LeMestre", "LeTecnico", "LePlano", "PertenceGrupoDisciplina"}) {
    SCOPED_TRACE(operacao);
    CZQDadosMM_ManutencaoApontamento a = c.ordem.GetRefApontamento(0);
    if (operacao == "LeMestre") a.SetPonteiroTecnico(0);
    m.empresa.Falhas().Clear();
    m.empresa.Falhas().FailOperation(operacao, ZQ_E_MOTOR, "sem acesso");
    m.handler.TrataAdicionarAlterarApontamento(c.ordem, a);
    EXPECT_EQ(Aviso(m.handler) + " " + m.empresa.Falhas().Log().back(), "hr=0X80F00003/0 sem acesso " + operacao);
  }
  const std::vector<std::pair<long, bool>> relatados = {{ZQ_E_MOTOR, true}, {987654321, true},  {987654999, true},
                                                        {987654320, false}, {987655000, false}, {1, false}};
  for (const auto& [hr, relatado] : relatados) {
    SCOPED_TRACE(hr);
    std::filesystem::remove(m.Relatorio());
    m.empresa.Falhas().Clear();
    m.empresa.Falhas().FailOperation("LeTarefa", hr, "tarefa inacessível");
    CZQDadosMM_ManutencaoApontamento a = c.ordem.GetRefApontamento(0);
    m.handler.TrataAdicionarAlterarApontamento(c.ordem, a);
    EXPECT_EQ(Aviso(m.handler) + m.Leituras(), "LeTecnico LeTarefa");
    const std::string relatorio = LeArquivo(m.Relatorio());
    EXPECT_EQ(std::count(relatorio.begin(), relatorio.end(), '\n'), relatado) << relatorio;
    if (!relatado) continue;
    char codigo[16];
    std::snprintf(codigo, sizeof codigo, "0x%08X", static_cast<unsigned>(hr));
    for (const std::string& parte : std::vector<std::string>{
             "2024-03-05T10:05:30\t", "\tEmpresa=" + m.empresa.Nome() + "\t", "\tHR=" + std::string(codigo) + "\t",
             "\tFonte=MMTrataDadosManutencao:1092\t", "\tTexto=\tModulo=/", "libzqmm.so.1\tTexto2=\n"})
      EXPECT_NE(relatorio.find(parte), std::string::npos) << parte << " in " << relatorio;
    const std::size_t compilacao = relatorio.find("\tCompilacao=");
    ASSERT_NE(compilacao, std::string::npos);
    EXPECT_NE(relatorio[compilacao + 12], '\t');  // the library's build date and time
  }
  m.empresa.Falhas().Clear();
}

TEST(AppointmentErrorReportTest, WithoutDataDirectoryGoesToStandardError) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ZQTrataErro::ClientSend(ZQ_HR(0x80070057), 535575, 65535, "EMPRESA_SEM_CADASTRO", "Fonte", 7,
                                    "Jan  1 2024 00:00:00", "linha\num\tdois", "/lib/x.so", nullptr),
            0);
  const std::string saida = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(saida.begin(), saida.end(), '\n'), 1) << saida;
  EXPECT_NE(saida.find("\tHR=0x80070057\tCodigo=535575\tServidor=65535\tFonte=Fonte:7\t"), std::string::npos) << saida;
  EXPECT_NE(saida.find("\tTexto=linha um dois\tModulo=/lib/x.so\tTexto2=\n"), std::string::npos) << saida;
}

TEST(AppointmentErrorReportTest, NeverBlocksNorFailsItsCaller) {
  EmpresaTeste empresa;
  const auto arquivo = empresa.Diretorio() / "ZQMensagensErro.log";
  ASSERT_EQ(::mkfifo(arquivo.c_str(), 0600), 0);
  const auto inicio = std::chrono::steady_clock::now();
  EXPECT_EQ(ZQTrataErro::ClientSend(-1, 0, 0, empresa.Nome().c_str(), "", 0, "", "", "", ""), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(1));
  std::filesystem::remove(arquivo);
  std::filesystem::create_directory(arquivo);
  EXPECT_EQ(ZQTrataErro::ClientSend(-1, 0, 0, empresa.Nome().c_str(), "", 0, "", "", "", ""), -1);
}

TEST(AppointmentErrorReportTest, ConcurrentReportsStayWholeLines) {
  EmpresaTeste empresa;
  const std::string texto(200, 'x');
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i)
        ZQTrataErro::ClientSend(i, t, 0, empresa.Nome().c_str(), "F", i, "", texto.c_str(), "", "");
    });
  for (auto& th : threads) th.join();
  std::istringstream linhas(LeArquivo(empresa.Diretorio() / "ZQMensagensErro.log"));
  int n = 0;
  for (std::string linha; std::getline(linhas, linha); ++n)
    EXPECT_NE(linha.find(texto + "\tModulo=\tTexto2="), std::string::npos);
  EXPECT_EQ(n, 400);
}

TEST(AppointmentErrorReportTest, ModulePathOfTheFileHoldingAnAddress) {
  const std::string caminho = ZQTrataErro::CaminhoModulo(reinterpret_cast<const void*>(&ZQTrataErro::ClientSend));
  EXPECT_EQ(caminho.front(), '/');
  EXPECT_NE(caminho.find("libzqplatform.so"), std::string::npos) << caminho;
  EXPECT_EQ(ZQTrataErro::CaminhoModulo(nullptr), "");
}

// Period type 0 days, 1 months, 2 years, other: the date proposed from `de`; "" for none. A
// period type that cannot be read leaves the date alone.
TEST_F(AppointmentTest, WarrantyDate) {
  auto d = [](int dia, int mes, int ano) { return REG_ZQDMA::DeDiaMesAno(dia, mes, ano); };
  using Linha = std::tuple<const char*, unsigned short, unsigned short, const char*, REG_ZQDMA, REG_ZQDMA>;
  for (const auto& [nome, tipo, incremento, quantidade, de, ate] : std::vector<Linha>{
      {"1 month from 31 January, leap year", 1, 1, "1", d(31, 1, 2024), d(29, 2, 2024)},
      {"1 month from 31 January, common year", 1, 1, "1", d(31, 1, 2023), d(28, 2, 2023)},
      {"13 months from 31 January", 1, 1, "13", d(31, 1, 2024), d(28, 2, 2025)},
      {"2 x 3 months", 1, 2, "3", d(31, 8, 2024), d(28, 2, 2025)},
      {"1 year from 29 February", 2, 1, "1", d(29, 2, 2024), d(28, 2, 2025)},
      {"1 year from the last year", 2, 1, "1", d(31, 12, 4717), REG_ZQDMA{}},
      {"10 days", 0, 1, "10", d(25, 2, 2024), d(6, 3, 2024)},
      {"10 days, increment 0", 0, 0, "10", d(25, 2, 2024), d(25, 2, 2024)},
      {"1.9999 counts 1", 0, 1, "1.9999", d(28, 2, 2023), d(1, 3, 2023)},
      {"-1.5 counts -1", 0, 1, "-1.5", d(1, 3, 2024), d(29, 2, 2024)},
      {"beyond the last day", 0, 1, "1", d(31, 12, 4717), REG_ZQDMA{}},
      {"before the first day", 0, 1, "-1", d(1, 1, 1848), REG_ZQDMA{}},
      {"unknown period type", 3, 1, "10", d(25, 2, 2024), d(25, 2, 2024)},
       }) {
    SCOPED_TRACE(nome);
    c.tipoPeriodo.SetTipoPeriodo(tipo), c.tipoPeriodo.SetIncrementoPeriodo(incremento), c.Atualiza(c.tipoPeriodo);
    REG_ZQDMA data = de;
    m.handler.SugerirDataGarantia(c.tipoPeriodo.GetPonteiro(), *CZQCurrencyEx::DeTexto(quantidade), &data);
    EXPECT_EQ(Aviso(m.handler) + data.ParaIso(), ate.ParaIso());
  }
  REG_ZQDMA data = d(31, 1, 2024);
  m.handler.SugerirDataGarantia(c.tipoPeriodo.GetPonteiro() + 100, tagCY{10000}, &data);
  EXPECT_EQ(Aviso(m.handler).rfind("hr=0X80F00001/0 ", 0), 0u) << Aviso(m.handler);
  EXPECT_EQ(data, d(31, 1, 2024));
}

}  // namespace
