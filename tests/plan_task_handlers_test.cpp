// The task and plan handlers over their warning tables on stored trees, the removal of a technician
// against stored orders, the list operations, every failed read, and the sample company's records.
#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "platform/records/RecordJson.h"
#include "platform/records/ZQDadosDF_ProdutoEx.h"
#include "platform/records/ZQDadosDF_Servico.h"
#include "platform/records/ZQTiposRegistro.h"
#include "platform/system/ZQRegistro.h"
#include "platform/types/Cp1252.h"
#include "registers/MMTrataDadosPlano.h"
#include "registers/MMTrataDadosTarefa.h"
#include "tests/support/FixtureRegistros.h"

namespace {

using namespace zqteste;

std::string W(int mensagem, long campo) { return "28/" + std::to_string(mensagem) + "/" + std::to_string(campo); }

std::string GrupoTarefa(const CZQDadosMM_Tarefa& t) {
  return std::to_string(t.GetTempoPrevisto().int64) + "/" + std::to_string(t.GetQuantPeriodoGarantia().int64) + "/" +
         std::to_string(t.GetPonteiroInfPersonalizada() + t.GetPonteiroPeriodoGarantia()) + "/" +
         t.GetDescricao().Str() + "/" + std::to_string(t.GetEfetuarApontTarefa() + t.GetGarantia()) + "/" +
         std::to_string(t.GetQuantidadeMaterial() + t.GetQuantidadeEquipamento() + t.GetQuantidadeServico()) + "/" +
         std::to_string(t.GetQuantidadeTecnico());
}
std::string GrupoPlano(const CZQDadosMM_Plano& p) {
  return std::to_string(p.GetTipoControle()) + "/" + std::to_string(p.GetPonteiroTipoPeriodo()) + "/" +
         std::to_string(p.GetContadorCicloManutencao().int64) + "/" + std::to_string(p.GetInativarAposRealManut()) +
         "/" + std::to_string(p.GetQuantidadeAlerta());
}

// The tree rows tasks and plans share, tree rules first: field codes of code, stored code and tree.
template <class R>
std::vector<Caso<R>> CasosArvore(long codigo, long gravado, long arvore) {
  return {
      {"stored, empty code", [](auto a) { a.n.SetCodigo(""); return a.n; }, W(2, gravado)},
      {"code of another entry", [](auto a) { a.n.SetCodigo("L"); return a.n; }, W(10, codigo)},
      {"under its grandchild", [](auto a) { a.g.SetPonteiroPai(a.n.GetPonteiro()); return a.g; }, W(99, arvore)},
      {"group as its own parent", [](auto a) { a.g.SetPonteiroPai(a.g.GetPonteiro()); return a.g; }, W(99, arvore)},
      {"tree first",
       [](auto a) { a.g.SetCodigo(""), a.g.SetPonteiroPai(a.n.GetPonteiro()); return a.g; }, W(99, arvore)},
      {"group with entries made analytic", [](auto a) { a.c.SetTipoClassificacao(1); return a.c; }, W(98, arvore)},
      {"analytic as its own parent", [](auto a) { a.n.SetPonteiroPai(a.n.GetPonteiro()); return a.n; }, W(99, arvore)},
      {"analytic moved", [](auto a) { a.n.SetPonteiroPai(a.l.GetPonteiro()); return a.n; }, ""},
      {"stale stamp", [](auto a) { Carimba(a.n, kCarimbo + 1); return a.n; }, W(3, codigo)},
  };
}

CZQDadosMM_TarefaTecnico Link(std::uint32_t t) { CZQDadosMM_TarefaTecnico l; l.SetPonteiroTecnico(t); return l; }

class PlanTaskHandlersTest : public ::testing::TestWithParam<const char*> {
 protected:
  template <class H>
  H& Inicia(H& handler) {
    EXPECT_EQ(handler.Inicializa(empresa.Nome(), 1, 1), 0);
    return handler;
  }
  // Tasks stored, N holding technicians 7 and 8; an order in situation 2 where 7 worked on N.
  Arvore<CZQDadosMM_Tarefa> Tarefas() {
    auto a = CriaArvore<CZQDadosMM_Tarefa>(empresa);
    a.n.AdicionaTecnico(Link(7)), a.n.AdicionaTecnico(Link(8)), a.g.AdicionaTecnico(Link(7));
    empresa.Motor().Update(a.n), empresa.Motor().Update(a.g);
    CZQDadosMM_ManutencaoApontamento apontamento;
    apontamento.SetPonteiroTarefa(a.n.GetPonteiro()), apontamento.SetPonteiroTecnico(7);
    ordem.SetDmc({0x4001}), ordem.SetSituacao(2), ordem.AdicionaApontamento(apontamento);
    ordem = empresa.Adiciona(ordem);
    return a;
  }
  // Plans stored: groups of plan type 0, analytic N and L of type 2 with discipline and priority.
  Arvore<CZQDadosMM_Plano> Planos() {
    auto a = CriaArvore<CZQDadosMM_Plano>(empresa);
    for (auto* p : {&a.g, &a.c, &a.h, &a.e}) p->SetTipo(0), empresa.Motor().Update(*p);
    for (auto* p : {&a.n, &a.l}) p->SetPonteiroDisciplina(1), p->SetPonteiroPrioridade(1), empresa.Motor().Update(*p);
    return a;
  }
  EmpresaTeste empresa{GetParam()};
  CZQDadosMM_Manutencao ordem;
};

TEST_P(PlanTaskHandlersTest, Tasks) {
  using T = CZQDadosMM_Tarefa;
  auto nova = [](std::function<void(T&)> f) { return [=](auto) { auto t = Entrada<T>("X", 0, 1); f(t); return t; }; };
  auto garantia = [](std::int64_t q, std::uint32_t p) {
    return [=](T& t) { t.SetGarantia(true), t.SetQuantPeriodoGarantia({q}), t.SetPonteiroPeriodoGarantia(p); };
  };
  auto situacao = [](std::uint32_t g, std::uint32_t i) {
    return [=](T& t) {
      t.SetAtribuirSituacaoTarefa(true), t.SetPonteiroSituacaoGrupo(g), t.SetPonteiroSituacaoInicial(i);
    };
  };
  auto grupo = [&](auto) {
    auto t = Entrada<T>("X", 0, 3);
    t.SetTempoPrevisto({5}), t.SetDescricao("d"), t.SetEfetuarApontTarefa(true), t.SetGarantia(true);
    t.SetPonteiroInfPersonalizada(1), t.SetPonteiroPeriodoGarantia(1), t.SetQuantPeriodoGarantia({1});
    t.AdicionaMaterial({}), t.AdicionaEquipamento({}), t.AdicionaServico({}), t.AdicionaTecnico(Link(9));
    return situacao(0, 0)(t), t;  // a group's status rules are not looked at
  };
  auto casos = CasosArvore<T>(65, 66, 61);
  casos.insert(casos.end(), {
      {"new analytic", nova([](T&) {}), ""},
      {"group emptied, technicians kept", grupo, "", "0/0/0//0/0/1"},
      {"new, empty code", nova([](T& t) { t.SetCodigo(""); }), W(1, 65)},
      {"empty name", nova([](T& t) { t.SetNome(""); }), W(4, 67)},
      {"appointments without custom set", nova([](T& t) { t.SetEfetuarApontTarefa(true); }), W(157, 62)},
      {"appointments with custom set",
       nova([](T& t) { t.SetEfetuarApontTarefa(true), t.SetPonteiroInfPersonalizada(1); }), ""},
      {"statuses, neither group nor initial", nova(situacao(0, 0)), W(179, 72)},
      {"statuses without initial", nova(situacao(1, 0)), W(180, 73)},
      {"statuses given", nova(situacao(1, 2)), ""},
      {"warranty, neither length nor period", nova(garantia(0, 0)), W(158, 59)},
      {"warranty without period", nova(garantia(1, 0)), W(159, 63)},
      {"warranty given", nova(garantia(1, 1)), ""},
      {"appointed technician dropped", [](auto a) { a.n.RemoveTecnico(0); return a.n; }, W(189, 75)},
      {"removal before the fields", [](auto a) { a.n.RemoveTecnico(0), a.n.SetNome(""); return a.n; }, W(189, 75)},
      {"unappointed one dropped, one added",
       [](auto a) { a.n.RemoveTecnico(1), a.n.AdicionaTecnico(Link(9)); return a.n; }, ""},
      {"group drops 7, appointed on N only", [](auto a) { a.g.RemoveTodosTecnico(); return a.g; }, ""},
  });
  CMMTrataDadosTarefa handler;
  Roda(Inicia(handler), Tarefas(), casos, GrupoTarefa);
}

// Only orders in situations 1, 2, 4, 32 and 64 keep a technician on the task.
TEST_P(PlanTaskHandlersTest, TechnicianRemovalBySituation) {
  const auto a = Tarefas();
  CMMTrataDadosTarefa handler;
  Inicia(handler);
  for (const std::uint8_t s : {1, 2, 4, 8, 16, 32, 64}) {
    SCOPED_TRACE(int{s});
    ordem.SetSituacao(s), empresa.Motor().Update(ordem);
    EXPECT_EQ(Aviso(handler.TrataRemoverTecnico(a.n.GetPonteiro(), Link(7))), s != 8 && s != 16 ? W(189, 75) : "");
    EXPECT_EQ(Aviso(handler.TrataRemoverTecnico(a.n.GetPonteiro(), Link(8))), "");
    EXPECT_EQ(Aviso(handler.TrataRemoverTecnico(a.l.GetPonteiro(), Link(7))), "");
  }
}

TEST_P(PlanTaskHandlersTest, TaskComponents) {
  auto componente = [](std::uint8_t tipo, std::uint32_t produto, std::int64_t qtd, std::uint16_t grade = 0) {
    CZQDadosMM_TarefaComponente c;
    return c.SetTipoComponente(tipo), c.SetPosicaoProdutoServico({produto, grade, 0, 0}), c.SetQuantidade({qtd}), c;
  };
  CZQVector<CZQDadosMM_TarefaComponente> lista;
  lista.Add(componente(1, 4, 1)), lista.Add(componente(2, 5, 1)), lista.Add(componente(3, 6, 1));
  const std::vector<std::tuple<const char*, CZQDadosMM_TarefaComponente, std::int64_t, std::string>> casos = {
      {"kind 0", componente(0, 4, 1), -1, W(0, 0)},
      {"kind 4", componente(4, 0, 0), -1, W(0, 0)},
      {"material without product", componente(1, 0, 1), -1, W(36, 76)},
      {"equipment without product", componente(2, 0, 0), -1, W(37, 79)},
      {"service without product", componente(3, 0, 1), -1, W(38, 82)},
      {"quantity 0", componente(1, 9, 0), -1, W(39, 77)},
      {"negative quantity", componente(3, 9, -1), -1, W(39, 83)},
      {"material repeated", componente(1, 4, 1), -1, W(47, 76)},
      {"repeated as another kind", componente(2, 6, 1), -1, W(46, 79)},
      {"service repeated", componente(3, 5, 1), 0, W(48, 82)},
      {"changed to itself", componente(3, 6, 2), 2, ""},
      {"another grade", componente(1, 4, 1, 1), -1, ""},
  };
  CMMTrataDadosTarefa handler;
  Inicia(handler);
  for (auto [nome, c, indice, aviso] : casos) {
    SCOPED_TRACE(nome);
    EXPECT_EQ(Aviso(handler.TrataIncluirAlterarComponente(&c, lista, indice)), aviso);
    EXPECT_TRUE(aviso != W(0, 0) || handler.GetMensagem().Str() == "Tipo do componente não é válido."_cp);
  }
}

TEST_P(PlanTaskHandlersTest, Plans) {
  using P = CZQDadosMM_Plano;
  auto plano = [](std::uint8_t tipo, std::function<void(P&)> muda = [](P&) {}) {
    return [=](auto) {
      auto p = Entrada<P>("X", 0, 1);
      return p.SetTipo(tipo), p.SetPonteiroDisciplina(1), p.SetPonteiroPrioridade(1), muda(p), p;
    };
  };
  auto grupo = [](std::uint8_t tipo) {
    return [=](auto) {
      auto p = Entrada<P>("X", 0, 2);
      p.SetTipo(tipo), p.SetTipoControle(2), p.SetPonteiroTipoPeriodo(1), p.SetContadorCicloManutencao({1});
      return p.SetInativarAposRealManut(true), p.AdicionaAlerta({}), p.AdicionaTarefa({}), p;
    };
  };
  std::vector<Caso<P>> casos = {
      {"group emptied", grupo(0), "", "0/0/0/0/0"},
      {"group of plan type 1", grupo(1), W(183, 25), "2/1/1/1/1"},
      {"analytic of plan type 0", plano(0), W(183, 25)},
      {"analytic of plan type 3", plano(3), W(183, 25)},
      {"no discipline", plano(1, [](P& p) { p.SetPonteiroDisciplina(0); }), W(19, 26)},
      {"no priority", plano(2, [](P& p) { p.SetPonteiroPrioridade(0); }), W(177, 27)},
      {"type 2 needs nothing else", plano(2, [](P& p) { p.SetTipoControle(2); }), ""},
      {"counter of 0.0001", plano(1, [](P& p) { p.SetTipoControle(1), p.SetContadorCicloManutencao({1}); }), ""},
      {"negative counter", plano(1, [](P& p) { p.SetTipoControle(1), p.SetContadorCicloManutencao({-10000}); }), ""},
      {"new, empty code", plano(2, [](P& p) { p.SetCodigo(""); }), W(1, 21)},
      {"empty name", plano(2, [](P& p) { p.SetNome(""); }), W(4, 23)},
  };
  const auto arvore = CasosArvore<P>(21, 22, 24);
  casos.insert(casos.end(), arvore.begin(), arvore.end());
  // Control types of a type-1 plan: what each needs, the period reported first.
  const struct {
    std::uint8_t controle;
    bool periodo, contador;
  } controles[] = {{0, true, false}, {1, false, true}, {2, true, true}, {3, true, true}, {4, false, false}};
  for (const auto& k : controles)
    for (const bool comPeriodo : {false, true})
      for (const bool comContador : {false, true}) {
        const std::string aviso = k.periodo && !comPeriodo ? W(22, 29) : k.contador && !comContador ? W(23, 30) : "";
        casos.push_back({"control " + std::to_string(k.controle) + (comPeriodo ? " +period" : "") +
                             (comContador ? " +counter" : ""),
                         plano(1, [=](P& p) {
                           p.SetTipoControle(k.controle), p.SetPonteiroTipoPeriodo(comPeriodo);
                           p.SetContadorCicloManutencao({comContador ? 500000 : 0});
                         }),
                         aviso});
      }
  CMMTrataDadosPlano handler;
  Roda(Inicia(handler), Planos(), casos, GrupoPlano);
}

TEST_P(PlanTaskHandlersTest, PlanAlerts) {
  const auto pasta = empresa.Diretorio() / "relatorios";
  std::filesystem::create_directories(pasta / "pasta.htm");
  std::ofstream(pasta / "alerta.htm") << "<p>ZQ_DESC_ALERTA</p>";
  CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", pasta.string() + "/");
  auto alerta = [](std::uint8_t antesApos, bool repete, std::int64_t intervalo, const char* modelo = "alerta.htm") {
    CZQDadosMM_PlanoAlerta a;
    a.SetDescricao("Vencido"), a.SetAntesApos(antesApos), a.SetRepetirEm(repete), a.SetTipoRepeticao(2);
    return a.SetTempoRepeticao({intervalo}), a.SetModeloEmail(modelo), a.AdicionaTecnicos({}), a;
  };
  const std::vector<std::tuple<const char*, CZQDadosMM_PlanoAlerta, std::string, std::string>> casos = {
      {"before, no repetition, no interval", alerta(1, false, 0), "", ""},
      {"after, repeated every 0.5", alerta(2, true, 5000), "", ""},
      {"template named with a folder of another machine", alerta(2, false, 0, "C:\\Modelos\\alerta.htm"), "", ""},
      {"no description", [&] { auto a = alerta(1, false, 0); a.SetDescricao(""); return a; }(), W(49, 44), ""},
      {"before/after not chosen", alerta(0, false, 0), W(113, 45), ""},
      {"repeated without interval", alerta(2, true, 0), W(116, 52), ""},
      {"no technician", [&] { auto a = alerta(1, false, 0); a.RemoveTodosTecnicos(); return a; }(), W(117, 54), ""},
      {"no template", alerta(1, false, 0, ""), W(0, 0), "O modelo de e-mail deve ser informado."},
      {"folder given as template", alerta(1, false, 0, "C:\\Modelos\\"), W(0, 0), "deve ser informado"},
      {"no such template", alerta(1, false, 0, "outro.htm"), W(0, 0), "/relatorios/outro.htm "},
      {"a folder, not a file", alerta(1, false, 0, "pasta.htm"), W(0, 0), "/relatorios/pasta.htm "},
  };
  CMMTrataDadosPlano handler;
  for (auto [nome, a, aviso, texto] : casos) {
    SCOPED_TRACE(nome);
    EXPECT_EQ(Aviso(handler.TrataAdicionarAlterarAlerta(&a)), aviso);
    EXPECT_NE(handler.GetMensagem().Str().find(texto), std::string::npos) << handler.GetMensagem().Str();
  }
  CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", "");
  auto a = alerta(1, false, 0);
  EXPECT_EQ(Aviso(handler.TrataAdicionarAlterarAlerta(&a)), W(0, 0));
  EXPECT_EQ(handler.GetMensagem(),
            "A pasta de relatórios não está configurada: o modelo de e-mail não pode ser localizado."_cp);
}

TEST_P(PlanTaskHandlersTest, PlanComponentsAndTasks) {
  // Products 1 (P) and 3 (K, a kit), service 2: no two positions alike across the lists.
  CZQDadosDF_ProdutoEx produto, kit;
  CZQDadosDF_Servico servico;
  produto.SetCodigo("P"), kit.SetCodigo("K"), kit.SetKit(1), servico.SetCodigo("S");
  const auto p = empresa.Adiciona(produto).GetPonteiro();
  empresa.Adiciona(CZQDadosDF_ProdutoEx()), empresa.Adiciona(CZQDadosDF_Servico());
  const auto k = empresa.Adiciona(kit).GetPonteiro(), s = empresa.Adiciona(servico).GetPonteiro();
  auto componente = [](std::uint32_t ponteiro, std::int64_t qtd, char tipo = 'P', std::uint16_t grade = 0) {
    CZQDadosMM_PlanoComponente c;
    return c.SetPosicaoProduto({ponteiro, grade, 0, 0}), c.SetQuantidade({qtd}), c.SetTipoProdutoServico(tipo), c;
  };
  CZQVector<CZQDadosMM_PlanoComponente> lista;
  lista.Add(componente(p, 1)), lista.Add(componente(s, 1, 'S'));
  const std::vector<std::tuple<const char*, CZQDadosMM_PlanoComponente, int, std::int64_t, std::string>> casos = {
      {"material", componente(p, 1), 1, 0, ""},
      {"material without product", componente(0, 1), 1, -1, W(36, 34)},
      {"equipment without product", componente(0, 1), 2, -1, W(37, 37)},
      {"service without product", componente(0, 1, 'S'), 3, -1, W(38, 40)},
      {"kit as material", componente(k, 1), 1, -1, W(112, 34)},
      {"kit as equipment", componente(k, 0), 2, -1, W(112, 37)},
      {"service with a grade, as material", componente(s, 1, 'S', 1), 1, -1, W(45, 40)},
      {"kit in the service list: report kept, checks go on", componente(k, 1), 3, -1, W(112, 0)},
      {"... and replaced by a later one", componente(k, 0), 3, -1, W(39, 41)},
      {"kind 0 without product: the product check reports", componente(0, 1), 0, -1, W(40, 0)},
      {"quantity 0", componente(p, 0), 2, -1, W(39, 38)},
      {"material repeated", componente(p, 1), 1, -1, W(47, 34)},
      {"equipment repeated", componente(p, 1), 2, 1, W(46, 37)},
      {"service repeated", componente(s, 1, 'S'), 3, 0, W(48, 40)},
      {"changed to itself", componente(s, 2, 'S'), 3, 1, ""},
  };
  CMMTrataDadosPlano handler;
  Inicia(handler);
  for (auto [nome, c, tipo, indice, aviso] : casos) {
    SCOPED_TRACE(nome);
    const auto t = static_cast<_E_MM_MANUTENCOES_COMPONENTES>(tipo);
    EXPECT_EQ(Aviso(handler.TrataAdicionarAlterarComponente(&c, lista, indice, t)), aviso);
  }

  const unsigned long t = empresa.Adiciona(Entrada<CZQDadosMM_Tarefa>("LUB", 0, 1)).GetPonteiro();
  // New tasks, the plan's tasks before, the warning and the plan's tasks after.
  using V = std::vector<unsigned long>;
  for (const auto& [novas, antes, aviso, depois] : std::vector<std::tuple<V, V, std::string, V>>{
           {{5, t}, {t}, W(163, 33), {t}}, {{5, 5}, {t}, "", {t, 5, 5}}, {{5, 0}, {}, W(160, 33), {}}, {{}, {}, "", {}},
       }) {
    SCOPED_TRACE(aviso);
    CZQVector<unsigned long> n;
    CZQVector<CZQDadosMM_PlanoTarefa> lista;
    for (auto x : novas) n.Add(x);
    for (auto x : antes) lista[lista.Add({})].SetPonteiroTarefa(static_cast<std::uint32_t>(x));
    EXPECT_EQ(Aviso(handler.TrataAdicionarTarefa(n, lista)), aviso);
    EXPECT_TRUE(aviso != W(163, 33) || handler.GetMensagem().Str().find("LUB") != std::string::npos);  // the task
    V ficaram;
    for (const auto& pt : lista) ficaram.push_back(pt.GetPonteiroTarefa());
    EXPECT_EQ(ficaram, depois);
  }
}

// Every failed read or search: the copied error, no field, no trace.
TEST_P(PlanTaskHandlersTest, EveryFailurePoint) {
  auto a = Tarefas();
  CMMTrataDadosTarefa tarefas;
  a.n.RemoveTecnico(1);  // technician 8, with no appointment
  Caminha(empresa, Inicia(tarefas), a.n,
          {{"LeTarefa", {0}}, {"BuscaPonteirosManutencao", {0}}, {"LeManutencoes", {0}}, {"BuscaPonteirosTarefa", {}}});
  a.g.SetDescricao("d");
  const Ponto g{0, "", "0/0/0/d/0/0/1"};  // a group normalised only once every read is done
  Caminha(empresa, tarefas, a.g, {{"LeTarefa", g}, {"BuscaClassificacaoTarefa", g}, {"BuscaPonteirosTarefa", g}},
          GrupoTarefa);

  auto p = Planos();
  CMMTrataDadosPlano planos;
  Caminha(empresa, Inicia(planos), p.g,
          {{"LePlano", {0}}, {"BuscaClassificacaoPlano", {0}}, {"BuscaPonteirosPlano", {0}}});

  CZQVector<unsigned long> novas;
  CZQVector<CZQDadosMM_PlanoTarefa> lista;
  novas.Add(a.n.GetPonteiro()), lista[lista.Add({})].SetPonteiroTarefa(a.n.GetPonteiro());
  empresa.Falhas().FailNth(1, ZQ_E_MOTOR, "falha");
  EXPECT_EQ(Aviso(planos.TrataAdicionarTarefa(novas, lista)), "hr=0X80F00003/0 falha");
  EXPECT_EQ(empresa.Falhas().Log(), std::vector<std::string>{"LeTarefa"});
  empresa.Falhas().Clear();
}

// The sample company: every task and plan, and every item of their lists, accepted as stored.
TEST_P(PlanTaskHandlersTest, SampleCompanyAccepted) {
  std::ifstream arquivo(ZQ_SOURCE_DIR "/data/exemplo/exemplo.json");
  const auto dados = nlohmann::json::parse(arquivo);
  for (const auto& [tipo, registros] : dados.at("registros").items())
    for (const auto& json : registros) {
      auto r = zq::TipoRegistro(tipo)->make();
      ASSERT_TRUE(zq::DeJson(json, r.get()).ok()) << tipo;
      ASSERT_TRUE(empresa.Motor().Insert(r.get()).ok()) << tipo;
    }
  CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", ZQ_SOURCE_DIR "/data/exemplo/relatorios");
  CMMTrataDadosTarefa tarefas;
  CMMTrataDadosPlano planos;
  Inicia(tarefas), Inicia(planos);
  int vistos = 0;
  for (const auto& json : dados["registros"]["tarefa"]) {
    CZQDadosMM_Tarefa t;
    zq::DeJson(json, &t);
    SCOPED_TRACE(t.GetCodigo().Str());
    EXPECT_EQ(tarefas.TrataGravacao(&t, nullptr), 1) << Aviso(tarefas);
    for (const auto* lista : {&t.GetListaMaterial(), &t.GetListaEquipamento(), &t.GetListaServico()})
      for (int i = 0; i < lista->GetSize(); ++i, ++vistos) {
        auto c = (*lista)[i];
        EXPECT_EQ(Aviso(tarefas.TrataIncluirAlterarComponente(&c, *lista, i)), "");
      }
  }
  for (const auto& json : dados["registros"]["plano"]) {
    CZQDadosMM_Plano p;
    zq::DeJson(json, &p);
    SCOPED_TRACE(p.GetCodigo().Str());
    for (int i = 0; i < p.GetQuantidadeAlerta(); ++i, ++vistos)
      EXPECT_EQ(Aviso(planos.TrataAdicionarAlterarAlerta(&p.GetRefAlerta(i))), "") << planos.GetMensagem().Str();
    const CZQVector<CZQDadosMM_PlanoComponente>* listas[] = {&p.GetListaMaterial(), &p.GetListaEquipamento(),
                                                             &p.GetListaServico()};
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < listas[k]->GetSize(); ++i, ++vistos) {
        auto c = (*listas[k])[i];
        const auto tipo = static_cast<_E_MM_MANUTENCOES_COMPONENTES>(k + 1);
        EXPECT_EQ(Aviso(planos.TrataAdicionarAlterarComponente(&c, *listas[k], i, tipo)), "");
      }
    vistos += p.GetQuantidadeTarefa();
    EXPECT_EQ(planos.TrataGravacao(&p, nullptr), 1) << Aviso(planos);  // a group's alerts go last
  }
  CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", "");
  EXPECT_GE(vistos, 12);  // the sample gives each list operation something to check
}

INSTANTIATE_TEST_SUITE_P(Engines, PlanTaskHandlersTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
