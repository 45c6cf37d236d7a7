#include "alerts/MMEmailAlertaPlano.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "platform/types/Cp1252.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/storage/SqliteEngine.h"
#include "platform/system/ZQRegistro.h"
#include "platform/access/ZQResultados.h"
#include "tests/support/FixtureAlerta.h"

namespace {

using namespace zqteste;

tagCY Cy(double v) { return *CZQCurrencyEx::DeDouble(v); }

// The alert's before/after, counter and its amount, days and their number; the control type; the
// link's next date in days from today (nullopt: none) and cycles left.
TEST(AlertRoutineDueTest, Table) {
  const REG_ZQDMA hoje = AgoraAlerta().GetData();
  const std::int64_t h = hoje.ulDma;
  const std::tuple<const char*, std::uint8_t, bool, double, bool, int, std::uint8_t, std::optional<std::int64_t>,
                   double, bool>
      kCasos[] = {
      // "before" by days: due once today is after the date minus the days.
      {"antes 10 dias, faltam 10", 1, false, 0, true, 10, 0, 10, 5, false},
      {"antes 10 dias, faltam 9", 1, false, 0, true, 10, 0, 9, 5, true},
      {"antes 10 dias, sem data", 1, false, 0, true, 10, 0, std::nullopt, 5, true},
      // An invalid next date is not overdue; the limit is computed on the raw day number.
      {"antes, data no dia 1 (invalida)", 1, false, 0, true, 10, 0, 1 - h, 5, true},
      {"antes, data alem do ultimo dia", 1, false, 0, true, 1, 0, std::int64_t{REG_ZQDMA::kUltimo} + 1 - h, 5, false},
      {"antes, vencido pela data", 1, false, 0, true, 10, 0, -1, 5, false},
      {"antes, vencido pelo contador", 1, false, 0, true, 10, 0, 5, -0.0001, false},
      {"antes, vence hoje: nao vencido", 1, false, 0, true, 0, 0, 0, 5, false},
      {"antes contador 100, faltam 99", 1, true, 100, false, 0, 1, 30, 99, true},
      {"antes contador 100, faltam 100", 1, true, 100, false, 0, 1, 30, 100, false},
      {"antes sem contador, controle 1", 1, false, 0, true, 10, 1, 30, 1000, true},
      // "after": overdue links only, the days counted from the date.
      {"apos 3 dias, venceu ha 3", 2, false, 0, true, 3, 0, -3, 5, true},
      {"apos 3 dias, venceu ha 2", 2, false, 0, true, 3, 0, -2, 5, false},
      {"apos, vence hoje", 2, false, 0, true, 0, 0, 0, 5, false},
      {"apos, nao vencido", 2, false, 0, false, 0, 0, 1, 5, false},
      {"apos, vencido pelo contador e sem data", 2, false, 0, true, 3, 0, std::nullopt, -1, true},
      // "after" by counter: the signed cycles left are compared, not the amount overdue.
      {"apos contador 5, passou 1", 2, true, 5, false, 0, 1, 30, -1, true},
      {"apos contador 5, passou 50", 2, true, 5, false, 0, 1, 30, -50, true},
      {"apos contador 0, vencido pela data, faltam 0", 2, true, 0, false, 0, 1, -1, 0, false},
      {"apos contador 1, vencido pela data, faltam 0", 2, true, 1, false, 0, 1, -1, 0, true},
      {"ambos: so a data", 1, true, 100, true, 10, 2, 5, 200, false},
      {"qualquer: so a data", 1, true, 100, true, 10, 3, 5, 200, true},
      {"ambos: os dois", 1, true, 100, true, 10, 2, 5, 50, true},
      {"qualquer: nenhum", 1, true, 100, true, 10, 3, 50, 200, false},
      {"controle 7: nenhum, mas sempre", 1, true, 100, true, 10, 7, 50, 200, true},
      {"controle 7: apos em nao vencido", 2, true, 1, true, 1, 7, 50, 200, true},
      {"antes/apos 0 nunca", 0, false, 0, false, 0, 3, -5, -5, false},
      {"antes/apos 0, controle 4", 0, false, 0, false, 0, 4, -5, -5, true},
  };
  for (auto [nome, antesApos, contador, qtdContador, dias, qtdDias, controle, proxima, ciclos, vencido] : kCasos) {
    SCOPED_TRACE(nome);
    CZQDadosMM_PlanoAlerta alerta;
    alerta.SetAntesApos(antesApos);
    alerta.SetContador(contador);
    alerta.SetQtdContador(Cy(qtdContador));
    alerta.SetDias(dias);
    alerta.SetQtdDias(Cy(qtdDias + 0.9));  // the days are taken whole
    CZQDadosDF_RecursoPlanoManutencao vinculo;
    if (proxima) vinculo.SetDataProximaManutencao(REG_ZQDMA{static_cast<std::uint32_t>(hoje.ulDma + *proxima)});
    vinculo.SetCiclosContadorProximaManutencao(Cy(ciclos));
    EXPECT_EQ(CMMEmailAlertaPlano::AlertaVencido(alerta, controle, vinculo, hoje), vencido);
  }
}

// The run's company: list-block and plain templates, an alert inherited from a grandparent,
// a group of technicians at two levels, a technician listed twice.
struct Cenario {
  explicit Cenario(EmpresaTeste& empresa) : c(empresa) {
    c.Modelo("lista.htm", kModeloLista);
    c.Modelo("simples.htm", kModeloSimples);
    // Ana: two addresses and an empty one; Rui: in the group and listed too; the group's own address
    // gets nothing; Bia is two levels down; Zé is inactive.
    ana = c.Tecnico("ANA", "Ana", {"ana@zq.test", "", "ana2@zq.test"});
    grupo = c.Tecnico("G", "Equipe", {"equipe@zq.test"}, 0, true);
    rui = c.Tecnico("RUI", "Rui", {"rui@zq.test"}, grupo.GetPonteiro());
    sub = c.Tecnico("G.1", "Turno", {}, grupo.GetPonteiro(), true);
    bia = c.Tecnico("BIA", "Bia", {"bia@zq.test"}, sub.GetPonteiro());
    c.Tecnico("ZE", "Zé"_cp, {"ze@zq.test"}, sub.GetPonteiro(), false, true);

    // P1: its own alerts; R1 due in 5 days, R2 in 20 (not due), R3 overdue (only the after
    // alert), R4 due but inactive, R5's link inactive.
    p1 = c.Plano("P1", {c.Alerta("Lubrificação"_cp, "C:\\Modelos\\lista.htm", {ana, grupo, ana, rui}),
                        c.Alerta("Atrasado", "simples.htm", {rui}, 0)});
    p1.GetRefAlerta(1).SetAntesApos(2);
    c.Atualiza(p1);
    c.Recurso("R1", {{p1, 5, 10, false}}, 'P');
    c.Recurso("R2", {{p1, 20, 10, false}}, 'S');
    c.Recurso("R3", {{p1, -2, 10, false}});
    c.Recurso("R4", {{p1, 5, 10, false}}, 0, true);
    c.Recurso("R5", {{p1, 5, 10, true}});

    // The child plan P2 (control 7: every link due) inherits GP's alert through a parent without any.
    gp = c.Plano("GP", {c.Alerta("Revisão"_cp, "simples.htm", {rui}, 1)});
    pai = c.Plano("PAI", {}, gp.GetPonteiro());
    p2 = c.Plano("P2", {}, pai.GetPonteiro(), 7);
    c.Recurso("R6", {{p2, 300, 10, false}, {p1, 300, 10, false}});
    c.Recurso("R7", {{p2, std::nullopt, 10, false}}, 'S');
  }
  CenarioAlerta c;
  CZQDadosMM_Tecnico ana, rui, grupo, sub, bia;
  CZQDadosMM_Plano p1, gp, pai, p2;
};

constexpr const char* kEsperado =
    // The list-block alert: a mail per person and address, with the one due row of P1's links.
    "ana2@zq.test|Alerta de Manutenção - Lubrificação|Ana P1 R1 5\n"
    "ana@zq.test|Alerta de Manutenção - Lubrificação|Ana P1 R1 5\n"
    "bia@zq.test|Alerta de Manutenção - Lubrificação|Bia P1 R1 5\n"
    "rui@zq.test|Alerta de Manutenção - Atrasado|Rui R3 Atrasado\n"
    "rui@zq.test|Alerta de Manutenção - Lubrificação|Rui P1 R1 5\n"
    "rui@zq.test|Alerta de Manutenção - Revisão|Rui R6 Revisão\n"
    "rui@zq.test|Alerta de Manutenção - Revisão|Rui R7 Revisão\n";

class AlertRoutineRunTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override { ZQ_EXIGE_POSTGRES(GetParam().substr(0, GetParam().find('_'))); }
};

TEST_P(AlertRoutineRunTest, WhoGetsWhichMail) {
  const bool smtp = GetParam().ends_with("_smtp");
  EmpresaTeste empresa(GetParam().substr(0, GetParam().find('_')));
  Cenario s(empresa);
  if (smtp && !ServidorSmtp::Python()) GTEST_SKIP() << "python3 -m aiosmtpd unavailable (python3-aiosmtpd)";
  const auto servidor = smtp ? std::make_unique<ServidorSmtp>(empresa.Diretorio()) : nullptr;
  if (smtp) s.c.UsaSmtp(servidor->Porta());

  const auto recebidos = [&] { return smtp ? servidor->Recebidos() : s.c.Saida(); };
  ASSERT_EQ(s.c.Executa(), "");
  const std::vector<EmailLido> emails = recebidos();
  EXPECT_EQ(Resumo(emails), kEsperado);
  for (const auto& e : emails) EXPECT_EQ(e.rcpt, smtp ? e.para : "");

  // Send times: both alerts of P1, GP's alert (inherited by P2), nothing on P2 or its parent.
  EXPECT_EQ(s.c.Envios(s.p1.GetPonteiro()), "0:05/03/2024 10:05:30 1:05/03/2024 10:05:30");
  EXPECT_EQ(s.c.Envios(s.gp.GetPonteiro()), "0:05/03/2024 10:05:30");
  EXPECT_EQ(s.c.Envios(s.pai.GetPonteiro()) + s.c.Envios(s.p2.GetPonteiro()), "");

  // Sent once: nothing more on the next run.
  ASSERT_EQ(s.c.Executa(), "");
  EXPECT_EQ(recebidos().size(), emails.size());
}

INSTANTIATE_TEST_SUITE_P(Engines, AlertRoutineRunTest, testing::Values("memoria_saida", "sqlite_saida", "postgresql_saida", "memoria_smtp"),
                         [](const auto& info) { return info.param; });

TEST(AlertRoutineTest, Repetition) {
  EmpresaTeste empresa;
  CenarioAlerta c(empresa);
  c.Modelo("m.htm", kModeloSimples);
  const auto ana = c.Tecnico("ANA", "Ana", {"ana@zq.test"});
  std::vector<CZQDadosMM_PlanoAlerta> alertas;
  for (const auto& [nome, tipo] : {std::pair{"Unica", 0}, {"Horas", 2}, {"Sempre", 9}}) {  // 3 hours, or any other
    alertas.push_back(c.Alerta(nome, "m.htm", {ana}));
    alertas.back().SetRepetirEm(tipo != 0);
    alertas.back().SetTipoRepeticao(static_cast<std::uint8_t>(tipo));
    alertas.back().SetTempoRepeticao(Cy(3));
  }
  const auto p = c.Plano("P", alertas);
  c.Recurso("R", {{p, 1, 10, false}});
  const auto relogio = std::dynamic_pointer_cast<CZQRelogioFixo>(CZQRelogio::Atual());
  for (const auto& [avanco, esperado] :  // the last step lands on the last send + 3 h
       {std::pair{0, "Unica Horas Sempre "}, {10799, "Sempre "}, {1, "Horas Sempre "}}) {
    relogio->Avanca(avanco);
    ASSERT_EQ(c.Executa(), "");
    std::string enviados;
    for (const auto& e : c.Saida()) enviados += e.assunto.substr(e.assunto.rfind(' ') + 1) + " ";
    EXPECT_EQ(enviados, esperado);
    std::filesystem::remove_all(c.PastaSaida());
  }
  EXPECT_EQ(c.Envios(p.GetPonteiro()), "0:05/03/2024 10:05:30 1:05/03/2024 13:05:30 2:05/03/2024 13:05:30");
}

// Not failures: a missing template, an inactive alert, a group without members, an address the transport
// refuses (the others still get the alert), a list block saved with LF line ends (expanded without a list).
TEST(AlertRoutineTest, SkipsWithoutFailing) {
  EmpresaTeste empresa;
  CenarioAlerta c(empresa);
  c.Modelo("m.htm", kModeloSimples);
  std::string lf = kModeloLista;
  std::erase(lf, '\r');
  c.Modelo("lf.htm", lf);
  const auto ana = c.Tecnico("ANA", "Ana", {"ana@zq.test"});
  const auto rui = c.Tecnico("RUI", "Rui", {"rui@zq.test\r\nRCPT TO:<x@zq.test>\x01", "rui@zq.test"});
  const auto vazio = c.Tecnico("G", "Grupo vazio", {"g@zq.test"}, 0, true);
  c.Tecnico("X", "Inativo", {"x@zq.test"}, vazio.GetPonteiro(), false, true);
  auto inativo = c.Alerta("Inativo", "m.htm", {ana});
  inativo.SetInativo(true);
  const auto p = c.Plano("P", {c.Alerta("Falta", "falta.htm", {ana}), inativo, c.Alerta("Grupo", "m.htm", {vazio}),
                               c.Alerta("Ok", "m.htm", {rui, ana}), c.Alerta("Lf", "lf.htm", {ana})});
  c.Recurso("R", {{p, 1, 10, false}});

  ASSERT_EQ(c.Executa(), "");
  EXPECT_EQ(Resumo(c.Saida()),
            "ana@zq.test|Alerta de Manutenção - Lf|Ana P ZQ_INICIO_LISTA ZQ_FIM_LISTA R 1\n"
            "ana@zq.test|Alerta de Manutenção - Ok|Ana R Ok\n"
            "rui@zq.test|Alerta de Manutenção - Ok|Rui R Ok\n");
  const std::string pasta = c.PastaRelatorios().string();
  EXPECT_EQ(c.LinhasLog(), (std::vector<std::string>{
      "Modelo de e-mail '" + pasta + "/falta.htm' não encontrado. Plano Manutenção 'P'",
      "Endereço de e-mail recusado, e-mail não enviado: técnico 'RUI' (Rui), endereço "
      "'rui@zq.test\\r\\nRCPT TO:<x@zq.test>\\x01'. Plano Manutenção 'P', alerta 'Ok'",
      "Modelo de e-mail '" + pasta + "/lf.htm': ZQ_INICIO_LISTA sem um bloco de lista reconhecível (linhas "
      "terminadas em CR LF, \"  ZQ_FIM_LISTA\" na linha seguinte, a linha da lista iniciada por \" <tr\"); a "
      "lista não foi repetida, vai um e-mail por recurso. Plano Manutenção 'P'"}));
  // A group without active members mails nobody, but its alert counts as sent.
  EXPECT_EQ(c.Envios(p.GetPonteiro()), "2:05/03/2024 10:05:30 3:05/03/2024 10:05:30 4:05/03/2024 10:05:30");
}

// Values reach the HTML as text, with or without list block, unless the company's registry
// section or its Email section says it keeps HTML in them. The subject is never escaped.
TEST(AlertRoutineTest, ValuesAreEscapedInTheHtml) {
  for (const int onde : {0, 1, 2}) {  // HtmlNosValores=1 nowhere, in the company's section, in its Email one
    SCOPED_TRACE(onde);
    EmpresaTeste empresa;
    CenarioAlerta c(empresa);
    const std::string secao = std::string(CZQRegistro::kRaiz) + "\\Empresas\\" + empresa.Nome();
    if (onde) CZQRegistro::Define(onde == 1 ? secao : secao + "\\Email", "HtmlNosValores", "1");
    c.Modelo("lista.htm", kModeloLista);
    c.Modelo("m.htm", kModeloSimples);
    const auto t = c.Tecnico("T", "<b>Ana & \"Rui\" 'x'</b>", {"t@zq.test"});
    const auto p = c.Plano("P", {c.Alerta("<i>A</i>", "lista.htm", {t}), c.Alerta("<i>B</i>", "m.htm", {t})});
    c.Recurso("<img src=x onerror=alert(1)>", {{p, 1, 10, false}});
    ASSERT_EQ(c.Executa(), "");
    const auto emails = c.Saida();
    ASSERT_EQ(emails.size(), 2u);
    for (const auto& e : emails) {
      EXPECT_NE(e.assunto.find("- <i>"), std::string::npos) << e.assunto;
      for (const char* trecho :
           {onde ? "<b>Ana & \"Rui\" 'x'</b>" : "&lt;b&gt;Ana &amp; &quot;Rui&quot; &#39;x&#39;&lt;/b&gt;",
            onde ? "<img src=x onerror=alert(1)>" : "&lt;img src=x onerror=alert(1)&gt;"})
        EXPECT_NE(e.corpo.find(trecho), std::string::npos) << e.corpo;
    }
  }
}

// Another program's long write (a large load) holds the database across the run: the send
// times wait for it instead of failing, so the next run sends nothing twice.
TEST(AlertRoutineTest, SendTimesWaitForAnotherWriter) {
  EmpresaTeste empresa("sqlite");
  Cenario s(empresa);
  zq::Status st;
  const auto outro = zq::SqliteEngine::Open((empresa.Diretorio() / "empresa.db").string(), &st);
  ASSERT_TRUE(outro && outro->Begin().ok()) << st.message;
  const auto inicio = std::chrono::steady_clock::now();
  std::jthread escritor([&] { std::this_thread::sleep_for(std::chrono::seconds(20)); outro->Rollback(); });
  ASSERT_EQ(s.c.Executa(), "");
  EXPECT_GE(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(20)) << "the lock held across the writes";
  EXPECT_EQ(s.c.Envios(s.p1.GetPonteiro()), "0:05/03/2024 10:05:30 1:05/03/2024 10:05:30");
}

// What Executa answers, the last log line, "<plan> <send times>;" of the plans with any, the calls made.
struct Aborto {
  std::string resultado, log, envios;
  std::vector<std::string> chamadas;
};

// Runs the scenario with `prepara` applied; call counts start there.
Aborto Aborta(const std::function<void(Cenario&)>& prepara) {
  EmpresaTeste empresa;
  Cenario s(empresa);
  empresa.Falhas().Clear();
  prepara(s);
  Aborto a{s.c.Executa(), s.c.UltimaLinhaLog(), "", empresa.Falhas().Log()};
  for (const auto& p : {s.p1, s.gp, s.pai, s.p2})
    if (const std::string e = s.c.Envios(p.GetPonteiro()); !e.empty()) a.envios += p.GetCodigo().Str() + " " + e + ";";
  return a;
}

// "hr=<code>/<message> <text>", the text being the log line (with `prefixo`, followed by the system's
// words). A failed account or plan search is returned, not thrown, but logged.
TEST(AlertRoutineAbortTest, AccountTemplateFolderAndSend) {
  struct Caso {
    const char* nome;
    std::function<void(Cenario&)> prepara;
    std::string resultado;
    bool prefixo = false;
    std::vector<std::string> chamadas = {};  // checked when given
  };
  const std::string kEnvio = "hr=0x80040A64/1111 Falha ao enviar e-mail.";
  const auto remetente = [](const char* r) {
    return [r](Cenario& s) { CZQRegistro::Define(CZQContaEmail::Chave(s.c.empresa.Nome()), "Remetente", r); };
  };
  const auto falha = [](const char* op) {
    return [op](Cenario& s) { s.c.empresa.Falhas().FailOperation(op, ZQ_E_ESQUEMA, "registro corrompido"); };
  };
  const auto lista = [](const char* destino) {  // the template made a link
    return [destino](Cenario& s) {
      std::filesystem::remove(s.c.PastaRelatorios() / "lista.htm");
      std::filesystem::create_symlink(destino, s.c.PastaRelatorios() / "lista.htm");
    };
  };
  const Caso kCasos[] = {
      {"sem conta, nada procurado", remetente(""),
       "hr=0x80040A68/1110 Nenhuma conta de e-mail configurada. Para enviar o e-mail é necessário configurar uma "
       "conta de e-mail nas propriedades do Empresarial, no Cadastro de Usuários ou no Cadastro de Empresas e Filiais",
       false, {"BuscaContaEmail"}},
      {"conta ilegivel", falha("BuscaContaEmail"), "ret=0x80F00007 registro corrompido"},
      {"plano ilegivel", falha("BuscaPonteirosPlano"), "ret=0x80F00007 registro corrompido"},
      {"pasta de relatorios desconhecida", [](Cenario&) { CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", ""); },
       "hr=0x81080C5B/1111 Diretório da pasta relatórios não localizado"},
      {"modelo que nao abre", lista("lista.htm"), "hr=0x80040A66/1112 Falha ao abrir arquivo modelo de e-mail"},
      {"modelo que nao se le", lista("/proc/self/mem"),  // it opens, but its first page does not read
       "hr=0x80040A65/1113 Falha ao ler o modelo de e-mail Foi gerada uma exceção. Mensagem: Erro de leitura em '",
       true},
      {"envio com falha injetada",
       [](Cenario& s) { s.c.empresa.Falhas().FailOperation("DisparaEmail", ZQ_E_MOTOR, "x"); }, kEnvio},
      {"servidor fora do ar", [](Cenario& s) { s.c.UsaSmtp(PortaLivre()); }, kEnvio},
      {"remetente recusado", remetente("a@zq.test>"), kEnvio},  // unlike a technician's address, not skipped
  };
  for (const auto& c : kCasos) {
    SCOPED_TRACE(c.nome);
    const Aborto a = Aborta(c.prepara);
    // A returned failure answers its code alone.
    const std::string texto = c.resultado.substr(c.resultado.find(' ') + 1);
    const std::string resultado = c.resultado.starts_with("ret=") ? c.resultado.substr(0, 14) : c.resultado;
    EXPECT_EQ(c.prefixo ? a.resultado.substr(0, resultado.size()) : a.resultado, resultado);
    EXPECT_EQ(c.prefixo ? a.log.substr(0, texto.size()) : a.log, texto);
    EXPECT_EQ(a.envios, "");
    EXPECT_EQ(c.chamadas.empty() ? c.chamadas : a.chamadas, c.chamadas);
  }
}

// Every data-access call on the road, failed at its last call so that mails went out before: its code, message
// 1111, its text. Send times are written one by one: a failed one keeps those written before it.
TEST(AlertRoutineAbortTest, EveryFailedCall) {
  const Aborto referencia = Aborta([](Cenario&) {});
  ASSERT_EQ(referencia.resultado, "");
  const std::vector<std::string>& chamadas = referencia.chamadas;
  for (const std::string operacao :
       {"LePlano", "LeDisciplina", "BuscaPonteirosRecurso", "LeRecursos", "LeTipoRecurso", "LeFilial",
        "LeUnidadeMedidaProduto", "LeUnidadeMedidaServico", "LeTecnico", "BuscaPonteirosTecnico", "LeTecnicos",
        "AtualizaDataHoraEnvioAlerta"}) {
    SCOPED_TRACE(operacao);
    const auto ultima = std::find(chamadas.rbegin(), chamadas.rend(), operacao);
    ASSERT_NE(ultima, chamadas.rend()) << "never called";
    const long n = static_cast<long>(chamadas.rend() - ultima);
    const std::string texto = "falha injetada em " + operacao;
    const Aborto a = Aborta([&](Cenario& s) { s.c.empresa.Falhas().FailNth(n, ZQ_E_MOTOR, texto); });
    EXPECT_EQ(a.resultado, "hr=0x80F00003/1111 " + texto);
    EXPECT_EQ(a.log, texto);
    EXPECT_EQ(a.envios, operacao == "AtualizaDataHoraEnvioAlerta" ? "P1 0:05/03/2024 10:05:30 1:05/03/2024 10:05:30;"
                                                                  : "");
  }
}

}  // namespace
