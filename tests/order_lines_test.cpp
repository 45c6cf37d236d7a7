#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "movements/MMTrataDadosLancamentoGastos.h"
#include "movements/MMTrataDadosManutencao.h"
#include "platform/access/ZQResultados.h"
#include "platform/system/ZQCaixaMensagem.h"
#include "platform/system/ZQRelogio.h"
#include "platform/types/Cp1252.h"
#include "platform/types/ZQDataTexto.h"
#include "tests/support/FixtureOrdem.h"

namespace {

using zqteste::Aviso;
using zqteste::CenarioOrdem;
using zqteste::DataHora;
using zqteste::EmpresaTeste;
using Tarefas = CZQVector<CZQDadosMM_ManutencaoTarefa>;
using Componentes = CZQVector<CZQDadosMM_ManutencaoComponente>;

REG_ZQDMA Dia(int d, int m) { return REG_ZQDMA::DeDiaMesAno(d, m, 2024); }

CZQDadosMM_ManutencaoComponente Linha(std::uint32_t produto, std::int64_t qtd, std::uint32_t origem = 0,
                                      std::uint32_t requisicao = 0, std::int64_t atendida = 0,
                                      std::int64_t consumida = 0) {
  CZQDadosMM_ManutencaoComponente c;
  c.SetProdutoServico(_REG_POSICAO_PRODUTOPS{produto, 0, 0, 0}), c.SetQtdRequisitada(tagCY{qtd});
  c.SetPonteiroTarefaOrigem(origem), c.SetChaveRequisicaoInterna(requisicao);
  c.SetQtdAtendida(tagCY{atendida}), c.SetQtdConsumida(tagCY{consumida});
  return c;
}

// The order scenario plus a task tree G = {A (warranty, 1 month), B, SG = {C}}, a task D that
// demands a status and has no initial one, E that demands one and has it, statuses of base 16
// and 2, a kit, and the plan made of G, LUB and A.
struct Mundo {
  explicit Mundo(const char* motor) : empresa(motor), c(empresa) {
    EXPECT_EQ(handler.Inicializa(empresa.Nome(), CenarioOrdem::kUsuario, 1), 0);
    EXPECT_EQ(gastos.Inicializa(empresa.Nome(), CenarioOrdem::kUsuario, 1), 0);
    nomes[c.tarefa.GetPonteiro()] = "LUB";
    const std::uint32_t g = Tarefa("G", 2, 0).GetPonteiro();
    CZQDadosMM_Tarefa a = Tarefa("A", 1, g, [&](CZQDadosMM_Tarefa& t) {
      t.SetGarantia(true), t.SetPonteiroPeriodoGarantia(c.tipoPeriodo.GetPonteiro());
      t.SetQuantPeriodoGarantia(tagCY{10000});
      CZQDadosMM_TarefaComponente m;
      m.SetPosicaoProdutoServico({c.produto.GetPonteiro(), 0, 0, 0}), m.SetQuantidade(tagCY{20000});
      t.AdicionaMaterial(m), t.AdicionaEquipamento(m);
    });
    Tarefa("B", 1, g, [&](CZQDadosMM_Tarefa& t) {
      CZQDadosMM_TarefaComponente s;
      s.SetPosicaoProdutoServico({c.servico.GetPonteiro(), 0, 0, 0}), s.SetTipoProdutoServico('S');
      t.AdicionaServico(s);
    });
    const std::uint32_t sg = Tarefa("SG", 2, g).GetPonteiro();
    Tarefa("C", 1, sg);
    CZQDadosMM_Situacao s = c.situacao;
    s.SetPonteiro(0), s.SetCodigo("CAN"), s.SetDescricao("Cancelada"), s.SetSituacaoBase(16);
    cancelada = empresa.Adiciona(s);
    s.SetPonteiro(0), s.SetCodigo("ABE"), s.SetDescricao("Aberta"), s.SetSituacaoBase(2);
    aberta = empresa.Adiciona(s);
    Tarefa("D", 1, 0, [](CZQDadosMM_Tarefa& t) { t.SetAtribuirSituacaoTarefa(true); });
    Tarefa("E", 1, 0, [&](CZQDadosMM_Tarefa& t) {
      t.SetAtribuirSituacaoTarefa(true), t.SetPonteiroSituacaoInicial(aberta.GetPonteiro());
    });
    CZQDadosDF_ProdutoEx k = c.produto;
    k.SetPonteiro(0), k.SetCodigo("KIT"), k.SetKit(1);
    kit = empresa.Adiciona(k).GetPonteiro();
    k.SetPonteiro(0), k.SetCodigo("GRAXA"), k.SetKit(0);
    outro = empresa.Adiciona(k).GetPonteiro();
    k.SetPonteiro(0), k.SetCodigo("FILTRO");
    terceiro = empresa.Adiciona(k).GetPonteiro();
    for (std::uint32_t t : {g, c.tarefa.GetPonteiro(), a.GetPonteiro()}) {
      CZQDadosMM_PlanoTarefa pt;
      pt.SetLinha(static_cast<std::uint32_t>(c.plano.GetQuantidadeTarefa() + 1)), pt.SetPonteiroTarefa(t);
      c.plano.AdicionaTarefa(pt);
    }
    c.Atualiza(c.plano);
    CZQDadosDF_RecursoGarantia rg;
    rg.SetLinha(1), rg.SetPonteiroTarefa(ponteiros["B"]), rg.SetDmaGarantia(Dia(1, 2));
    rg.SetDmcManutencao(REG_ZQDMC::DeMes(1, 77, REG_ZQMA::DeMesAno(1, 2024)));
    c.recurso.AdicionaRecursoGarantia(rg);
    c.Atualiza(c.recurso);
  }
  CZQDadosMM_Tarefa Tarefa(const char* codigo, std::uint8_t tipo, std::uint32_t pai,
                           const std::function<void(CZQDadosMM_Tarefa&)>& muda = {}) {
    CZQDadosMM_Tarefa t;
    t.SetCodigo(codigo), t.SetNome(std::string("Tarefa ") + codigo), t.SetTipoClassificacao(tipo), t.SetPonteiroPai(pai);
    if (muda) muda(t);
    t = empresa.Adiciona(t);
    nomes[t.GetPonteiro()] = codigo;
    ponteiros[codigo] = t.GetPonteiro();
    return t;
  }
  CZQDadosMM_ManutencaoTarefa Nova(const char* codigo, REG_ZQDMA garantia = {}) {
    CZQDadosMM_ManutencaoTarefa l;
    l.SetPonteiroTarefa(ponteiros.count(codigo) ? ponteiros[codigo] : c.tarefa.GetPonteiro());
    l.SetGarantiaAte(!garantia.IsEmpty()), l.SetDataGarantiaAte(garantia);
    return l;
  }
  // "A@04/04/2024 B!01/02/2024": task, warranty date, last warranty from the resource.
  std::string Resumo(const Tarefas& lista) {
    std::string s;
    for (const auto& l : lista) {
      s += (s.empty() ? "" : " ") + nomes[l.GetPonteiroTarefa()];
      if (l.GetGarantiaAte()) s += "@" + std::string(DataToString(l.GetDataGarantiaAte(), true).GetString());
      if (!l.GetDataUltimaGarantia().IsEmpty())
        s += "!" + std::string(DataToString(l.GetDataUltimaGarantia(), true).GetString());
      if (l.GetPonteiroSituacao()) s += "+s";
    }
    return s;
  }
  std::string Resumo(const Componentes& lista) {
    std::string s;
    for (const auto& l : lista)
      s += (s.empty() ? "" : " ") + (l.GetPonteiroTarefaOrigem() ? nomes[l.GetPonteiroTarefaOrigem()] : "user") + ":" +
           std::to_string(l.GetProdutoServico().lPonteiroProduto) + "/" + std::to_string(l.GetTipoRI());
    return s;
  }
  // The order as stored open and untouched: no dates, nothing consumed, no appointment.
  CZQDadosMM_Manutencao OrdemAberta(const std::function<void(CZQDadosMM_Manutencao&)>& muda = {}) {
    CZQDadosMM_Manutencao o = c.ordem;
    o.SetSituacao(2), o.SetDataHoraInicio({}), o.SetDataHoraFim({}), o.RemoveTodosApontamento();
    if (muda) muda(o);
    return c.Grava(o);
  }
  EmpresaTeste empresa;
  CenarioOrdem c;
  CMMTrataDadosManutencao handler;
  CMMTrataDadosLancamentoGastos gastos;
  CZQDadosMM_Situacao cancelada, aberta;
  std::uint32_t kit = 0, outro = 0, terceiro = 0;
  std::map<std::uint32_t, std::string> nomes;
  std::map<std::string, std::uint32_t> ponteiros;
};

class OrderLinesTest : public ::testing::TestWithParam<const char*> {
 protected:
  CZQRelogioGuarda relogio{zqteste::Agora()};
};

struct LinhasTarefa {
  const char* nome;
  std::vector<const char*> antes;                         // already in the list
  std::vector<std::pair<const char*, REG_ZQDMA>> novas;  // task, warranty date the screen gave
  const char* aviso;
  const char* depois;  // the list afterwards; unchanged on a refusal
};

// Emission 04/03/2024: a warranty computed from the register ends 04/04/2024.
TEST_P(OrderLinesTest, AddingTaskLines) {
  const LinhasTarefa casos[] = {
      {"group: analytic members, subgroups walked, warranty computed", {}, {{"G", {}}}, "", "A@04/04/2024 B C"},
      {"same group again adds nothing", {"A", "B", "C"}, {{"G", {}}}, "", "A B C"},
      {"one plain task keeps the screen's date", {}, {{"A", Dia(20, 3)}}, "", "A@20/03/2024"},
      {"two plain tasks recompute from the register", {}, {{"A", Dia(20, 3)}, {"B", Dia(21, 3)}}, "",
       "A@04/04/2024 B@21/03/2024!01/02/2024"},
      {"a task named twice is added once", {}, {{"C", {}}, {"C", {}}}, "", "C"},
      {"task demanding a status without an initial one", {"C"}, {{"B", {}}, {"D", {}}}, "28/181/110", "C"},
      {"initial status given to the line", {}, {{"E", {}}}, "", "E+s"},
      {"screen's warranty without a valid date", {"C"}, {{"B", REG_ZQDMA{1}}}, "28/165/113", "C"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    Tarefas lista, novas;
    for (const char* t : caso.antes) lista.Add(m.Nova(t));
    for (const auto& [t, data] : caso.novas) novas.Add(m.Nova(t, data));
    m.handler.TrataAdicionarTarefa(m.c.ordem, novas, &lista);
    EXPECT_EQ(Aviso(m.handler), caso.aviso);
    EXPECT_EQ(m.Resumo(lista), caso.depois);
  }
}

TEST_P(OrderLinesTest, AlteringAndSuggestingTaskLines) {
  Mundo m(GetParam());
  CZQDadosMM_ManutencaoTarefa d = m.Nova("D");
  EXPECT_EQ(Aviso(m.handler.TrataAlterarTarefa(m.c.ordem, &d)), "28/181/110");
  CZQDadosMM_ManutencaoTarefa b = m.Nova("B", Dia(9, 9));
  EXPECT_EQ(Aviso(m.handler.TrataAlterarTarefa(m.c.ordem, &b)), "");
  EXPECT_EQ(DataToString(b.GetDataUltimaGarantia(), true), "01/02/2024");
  EXPECT_EQ(b.GetDmcUltimaManutencao(), REG_ZQDMC::DeMes(1, 77, REG_ZQMA::DeMesAno(1, 2024)));

  // The plan names G, LUB and A: A comes from G first and is not repeated; B already there.
  Tarefas lista;
  lista.Add(m.Nova("B"));
  EXPECT_EQ(Aviso(m.handler.SugerirTarefasConformePlano(m.c.ordem, &lista)), "");
  EXPECT_EQ(m.Resumo(lista), "B A@04/04/2024 C LUB@04/04/2024");
}

// Every read of the task operations failing in turn: the caller's list stays as it was.
TEST_P(OrderLinesTest, FailedReadLeavesTheListUnchanged) {
  Mundo m(GetParam());
  const std::function<CZQDadosDF_Erro&(Tarefas*)> operacoes[] = {
      [&](Tarefas* l) -> CZQDadosDF_Erro& { return m.handler.SugerirTarefasConformePlano(m.c.ordem, l); },
      [&](Tarefas* l) -> CZQDadosDF_Erro& {
        Tarefas n;
        n.Add(m.Nova("G"));
        n.Add(m.Nova("E"));
        return m.handler.TrataAdicionarTarefa(m.c.ordem, n, l);
      },
  };
  for (const auto& operacao : operacoes) {
    long n = 1;
    for (;; ++n) {
      SCOPED_TRACE("call " + std::to_string(n));
      Tarefas lista;
      lista.Add(m.Nova("B"));
      const Tarefas antes = lista;
      m.empresa.Falhas().Clear();
      m.empresa.Falhas().FailNth(n, ZQ_E_MOTOR, "falha");
      const std::string aviso = Aviso(operacao(&lista));
      if (m.empresa.Falhas().Calls() < n) {
        EXPECT_EQ(aviso, "");
        break;
      }
      EXPECT_EQ(aviso, "hr=0X80F00003/0 falha");
      EXPECT_TRUE(lista == antes);
    }
    EXPECT_GT(n, 8);  // plan or group, tasks, classification, period types, the resource
  }
  m.empresa.Falhas().Clear();
}

struct Remocao {
  const char* nome;
  std::function<void(Mundo&, CZQDadosMM_Manutencao&)> muda;
  bool resposta;
  const char* aviso;
  int perguntas;
};

TEST_P(OrderLinesTest, RemovingATaskLine) {
  auto listas = [](std::vector<CZQDadosMM_ManutencaoComponente> mat, std::vector<CZQDadosMM_ManutencaoComponente> eq,
                   std::vector<CZQDadosMM_ManutencaoComponente> srv) {
    return [=](Mundo&, CZQDadosMM_Manutencao& o) {
      o.RemoveTodosMaterial(), o.RemoveTodosEquipamento(), o.RemoveTodosServico(), o.RemoveTodosApontamento();
      for (const auto& l : mat) o.AdicionaMaterial(l);
      for (const auto& l : eq) o.AdicionaEquipamento(l);
      for (const auto& l : srv) o.AdicionaServico(l);
    };
  };
  const auto livre = Linha(1, 10000), pedida = Linha(1, 10000, 0, 5), servida = Linha(1, 10000, 0, 5, 1);
  const Remocao casos[] = {
      {"no requisition: no question", listas({livre}, {livre}, {livre}), false, "", 0},
      {"first requisitioned material served", listas({livre, servida, pedida}, {}, {}), true, "28/26/109", 0},
      {"nothing served, Yes", listas({pedida}, {}, {}), true, "", 1},
      {"nothing served, No", listas({pedida}, {}, {}), false, "28/188/109", 1},
      {"only the first requisitioned line is looked at", listas({pedida, servida}, {}, {}), true, "", 1},
      {"after the question, equipment not looked at", listas({pedida}, {servida}, {servida}), true, "", 1},
      {"equipment asks, services not looked at", listas({}, {pedida}, {servida}), true, "", 1},
      {"served service", listas({livre}, {livre}, {servida}), true, "28/26/109", 0},
      {"an appointment names the task, even after Yes", [&](Mundo& m, CZQDadosMM_Manutencao& o) {
         listas({pedida}, {}, {})(m, o);
         o.AdicionaApontamento(m.c.ordem.GetConstRefApontamento(0)); }, true, "28/187/109", 1},
      {"an appointment of another task", [&](Mundo& m, CZQDadosMM_Manutencao& o) {
         auto a = m.c.ordem.GetConstRefApontamento(0);
         a.SetPonteiroTarefa(m.ponteiros["B"]);
         o.AdicionaApontamento(a); }, true, "", 0},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.c.ordem;
    o.RemoveTodosApontamento();
    caso.muda(m, o);
    std::istringstream resposta(caso.resposta ? "s\n" : "n\n");
    std::ostringstream tela;
    CZQCaixaMensagemGuarda guarda(std::make_shared<CZQCaixaMensagemTerminal>(resposta, tela));
    EXPECT_EQ(Aviso(m.handler.TrataRemoverTarefa(&o, m.c.ordem.GetConstRefTarefa(0))), caso.aviso);
    const std::string texto = tela.str();
    int perguntas = 0;  // the question's own text, once per question
    for (auto p = texto.find("Deseja remover"); p != std::string::npos; p = texto.find("Deseja remover", p + 1)) ++perguntas;
    EXPECT_EQ(perguntas, caso.perguntas) << texto;
  }
}

// The order's tasks: LUB (no components) and A (one material, one equipment); B left the order.
TEST_P(OrderLinesTest, SuggestingComponents) {
  const struct {
    const char* nome;
    int tipo;  // 0 to 4: the kinds the order knows and the two it does not
    bool comLinhaDeA;
    const char* depois;
  } casos[] = {
      {"materials: B's line goes, user's stays, A's added", 1, false, "user:9/0 A:P/2"},
      {"A still has a line: not re-added", 1, true, "user:9/0 A:P/0"},
      {"equipment: requisition type 1", 2, false, "user:9/0 A:P/1"},
      {"services: neither task has any", 3, false, "user:9/0"},
      {"kind 0 only drops", 0, false, "user:9/0"},
      {"kind 4 only drops", 4, false, "user:9/0"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    const std::string p = std::to_string(m.c.produto.GetPonteiro());
    CZQDadosMM_Manutencao o = m.c.ordem;
    o.AdicionaTarefa(m.Nova("A"));
    Componentes lista;
    lista.Add(Linha(9, 10000));
    lista.Add(Linha(m.c.produto.GetPonteiro(), 10000, m.ponteiros["B"]));
    if (caso.comLinhaDeA) lista.Add(Linha(m.c.produto.GetPonteiro(), 10000, m.ponteiros["A"]));
    EXPECT_EQ(Aviso(m.handler.SugerirComponentesConformeTarefas(o, &lista,
                                                                  static_cast<_E_MM_MANUTENCOES_COMPONENTES>(caso.tipo))),
              "");
    std::string esperado = caso.depois;
    if (auto i = esperado.find(":P/"); i != std::string::npos) esperado.replace(i + 1, 1, p);
    EXPECT_EQ(m.Resumo(lista), esperado);
  }
}

struct Componente {
  const char* nome;
  int tipo;  // 1 material, 2 equipment, 3 service
  std::function<void(Mundo&, CZQDadosMM_ManutencaoComponente&, Componentes&)> muda;
  std::int64_t indice;
  const char* aviso;
};

TEST_P(OrderLinesTest, CheckingAComponentLine) {
  using L = CZQDadosMM_ManutencaoComponente;
  auto qtd = [](std::int64_t q) { return [q](Mundo&, L& l, Componentes&) { l.SetQtdRequisitada(tagCY{q}); }; };
  auto servida = [](std::int64_t atendida) {
    return [atendida](Mundo&, L&, Componentes& lista) {
      lista[0].SetChaveRequisicaoInterna(5), lista[0].SetQtdAtendida(tagCY{atendida});
    };
  };
  auto seq = [](auto a, auto b) { return [=](Mundo& m, L& l, Componentes& c) { a(m, l, c), b(m, l, c); }; };
  auto nada = [](Mundo&, L&, Componentes&) {};
  auto semProduto = [](Mundo&, L& l, Componentes&) { l.SetProdutoServico({}); };
  auto consumo = [](std::int64_t c) { return [c](Mundo&, L& l, Componentes&) { l.SetQtdConsumida(tagCY{c}); }; };
  auto outro = [](Mundo&, L& l, Componentes&) { l.SetProdutoServico({l.GetProdutoServico().lPonteiroProduto, 1, 0, 0}); };
  const Componente casos[] = {
      {"material without product", 1, semProduto, -1, "28/36/115"},
      {"equipment without product", 2, semProduto, -1, "28/37/119"},
      {"service without service", 3, semProduto, -1, "28/38/122"},
      {"kit material", 1, [](Mundo& m, L& l, Componentes&) { l.SetProdutoServico({m.kit, 0, 0, 0}); }, -1, "28/112/115"},
      {"service with a grade", 3, outro, -1, "28/45/122"},
      {"zero quantity", 2, qtd(0), -1, "28/68/120"},
      {"new material consuming", 1, consumo(1), -1, "28/69/117"},
      {"new service consuming", 3, consumo(1), -1, "28/69/124"},
      {"new equipment consuming: not tested", 2,
       seq(consumo(1), [](Mundo&, L& l, Componentes&) { l.SetPonteiroTarefaOrigem(7); }), -1, ""},
      {"a grade the product lacks", 1, outro, -1, "28/41/115"},
      {"altered material, other product", 1, [](Mundo& m, L& l, Componentes&) { l.SetProdutoServico({m.outro, 0, 0, 0}); },
       0, "28/118/115"},
      {"altered equipment, other product", 2,
       [](Mundo& m, L& l, Componentes&) { l.SetProdutoServico({m.outro, 0, 0, 0}); }, 0, "28/119/119"},
      {"altered equipment line is no duplicate of itself", 2, nada, 0, ""},
      {"requisitioned, nothing served, quantity changed", 1, seq(servida(0), qtd(30000)), 0, ""},
      {"served, quantity changed", 1, seq(servida(1), qtd(30000)), 0, "28/26/116"},
      {"served, quantity back to the previous one", 1, servida(1), 0, ""},
      {"service consuming more than served", 3, seq(servida(1), consumo(2)), 0, "28/95/124"},
      {"material consuming what was served", 1,
       [](Mundo&, L& l, Componentes&) { l.SetQtdAtendida(tagCY{2}), l.SetQtdConsumida(tagCY{2}); }, 0, ""},
      {"second equipment line, same product and task", 2, nada, -1, "28/172/119"},
      {"second equipment line, the other requisitioned", 2, servida(0), -1, ""},
      {"second equipment line, other task", 2, [](Mundo&, L& l, Componentes&) { l.SetPonteiroTarefaOrigem(7); }, -1,
       ""},
      {"second material line, same product", 1, nada, -1, ""},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    const std::uint32_t p = caso.tipo == 3 ? m.c.servico.GetPonteiro() : m.c.produto.GetPonteiro();
    Componentes lista;
    lista.Add(Linha(p, 10000));
    L linha = lista[0];
    caso.muda(m, linha, lista);
    const Componentes antes = lista;
    const L linhaAntes = linha;
    auto& h = m.handler;
    const std::string aviso = Aviso(caso.tipo == 1   ? h.TrataAdicionarAlterarMaterial(linha, caso.indice, lista)
                                    : caso.tipo == 2 ? h.TrataAdicionarAlterarEquipamento(linha, caso.indice, lista)
                                                     : h.TrataAdicionarAlterarServico(linha, caso.indice, lista));
    EXPECT_EQ(aviso, caso.aviso);
    EXPECT_TRUE(lista == antes && linha == linhaAntes);
  }
}

struct Cancelamento {
  const char* nome;
  std::function<void(CZQDadosMM_Manutencao&)> gravada;  // the stored order
  std::function<void(Mundo&, CZQDadosMM_Manutencao&)> entrada;
  const char* aviso;
  const char* texto;
};

TEST_P(OrderLinesTest, CancellingAnOrder) {
  auto pronta = [](Mundo& m, CZQDadosMM_Manutencao& o) { o.SetPonteiroSituacao(m.cancelada.GetPonteiro()); };
  auto servido = [](CZQDadosMM_Manutencao& o) {
    o.GetRefMaterial(0).SetQtdAtendida(tagCY{1});  // nothing consumed: served is enough
  };
  const Cancelamento casos[] = {
      {"never stored", {}, [](Mundo& m, CZQDadosMM_Manutencao& o) { o = m.c.ordem; }, "28/144/85", ""},
      {"status of base 2", {}, [](Mundo& m, CZQDadosMM_Manutencao& o) { o.SetPonteiroSituacao(m.aberta.GetPonteiro()); },
       "28/147/85", "A situação ABE - Aberta é da situação base Aberta"_cp},
      {"no status", {}, [](Mundo&, CZQDadosMM_Manutencao& o) { o.SetPonteiroSituacao(0); }, "28/145/85", ""},
      {"stored in progress without dates", [](CZQDadosMM_Manutencao& o) { o.SetSituacao(4); }, pronta, "28/148/85", ""},
      {"started", [](CZQDadosMM_Manutencao& o) { o.SetDataHoraInicio(DataHora(4, 3, 2024, 9, 0)); }, pronta,
       "28/149/85", ""},
      {"ended", [](CZQDadosMM_Manutencao& o) { o.SetDataHoraFim(DataHora(4, 3, 2024, 9, 0)); }, pronta, "28/150/85", ""},
      {"rescheduled", [](CZQDadosMM_Manutencao& o) { o.SetDataHoraNovaProgramacao(DataHora(4, 3, 2024, 9, 0)); },
       pronta, "28/151/85", ""},
      {"a duration, no dates", [](CZQDadosMM_Manutencao& o) { o.SetTempoDuracao(tagCY{1}); }, pronta, "28/152/85", ""},
      {"closing counter", [](CZQDadosMM_Manutencao& o) { o.SetContadorEncerramento(tagCY{1}); }, pronta, "28/153/85",
       ""},
      {"material served", servido, pronta, "28/153/85", "OLEO - Óleo 10W40"_cp},
      {"second service consumed", [](CZQDadosMM_Manutencao& o) {
         o.AdicionaServico(o.GetConstRefServico(0));
         o.GetRefServico(1).SetQtdConsumida(tagCY{1}); }, pronta, "28/153/85", "SRV - Limpeza"},
      {"appointments", [](CZQDadosMM_Manutencao& o) { o.AdicionaApontamento(CZQDadosMM_ManutencaoApontamento()); },
       pronta, "28/155/85", ""},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.OrdemAberta(caso.gravada);
    o.SetDescricao("enviada");
    caso.entrada(m, o);
    const CZQDadosMM_Manutencao antes = o;
    EXPECT_EQ(m.handler.TrataExclusao(&o, nullptr), 0);
    EXPECT_EQ(Aviso(m.handler), caso.aviso);
    EXPECT_NE(std::string(m.handler.GetMensagem().GetString()).find(caso.texto), std::string::npos);
    EXPECT_TRUE(o == antes);
  }

  Mundo m(GetParam());
  const CZQDadosMM_Manutencao gravada = m.OrdemAberta();
  CZQDadosMM_Manutencao o = gravada;
  o.SetDescricao("enviada");
  pronta(m, o);
  for (long n = 1; n <= 4; ++n) {  // the order, the status, then success
    SCOPED_TRACE(n);
    CZQDadosMM_Manutencao copia = o;
    m.empresa.Falhas().Clear();
    m.empresa.Falhas().FailNth(n, ZQ_E_MOTOR, "falha");
    const int r = m.handler.TrataExclusao(&copia, nullptr);
    if (m.empresa.Falhas().Calls() < n) {  // cancelled: the stored order's description, base and status
      EXPECT_EQ(std::to_string(r) + " " + copia.GetDescricao().Str() + " " + std::to_string(copia.GetSituacao()) + " " +
                    std::to_string(copia.GetPonteiroSituacao()),
                "1 " + gravada.GetDescricao().Str() + " 16 " + std::to_string(m.cancelada.GetPonteiro()));
      break;
    }
    EXPECT_TRUE(copia == o);
  }
  // A failed read of the consumed line's product names the list and the line, and is traced.
  CZQDadosMM_Manutencao comEquipamento = m.OrdemAberta([](CZQDadosMM_Manutencao& g) {
    g.AdicionaEquipamento(g.GetConstRefEquipamento(0));
    g.GetRefEquipamento(1).SetQtdConsumida(tagCY{1});
  });
  pronta(m, comEquipamento);
  m.empresa.Falhas().Clear();
  m.empresa.Falhas().FailOperation("LeBufferProdutoEx", ZQ_E_MOTOR, "falha");
  EXPECT_EQ(m.handler.TrataExclusao(&comEquipamento, nullptr), 0);
  EXPECT_EQ(Aviso(m.handler), "hr=0X80F00003/119 falha");
  EXPECT_EQ(m.handler.GetItem(), 1);
  EXPECT_NE(zqteste::TodosLogErros(m.empresa).find("LeBufferProdutoEx(dadosComponente.GetProdutoServico(), &dados)"),
            std::string::npos);
  m.empresa.Falhas().Clear();
}

TEST_P(OrderLinesTest, ExpenseEntries) {
  Mundo m(GetParam());
  CZQDadosMM_LancamentoGastos novo;
  novo.SetData(Dia(15, 7)), novo.SetPonteiroRecurso(m.c.recurso.GetPonteiro());
  CZQDadosMM_LancamentoGastos gravado = novo;
  gravado.SetDmc(REG_ZQDMC::DeMes(1, 3, REG_ZQMA::DeMesAno(3, 2024))), gravado.SetData(Dia(10, 3));
  gravado = m.empresa.Adiciona(gravado);
  const struct {
    const char* nome;
    CZQDadosMM_LancamentoGastos base;
    std::function<void(CZQDadosMM_LancamentoGastos&)> muda;
    const char* aviso;
  } gravacoes[] = {
      {"new, no items, any date", novo, [](auto&) {}, ""},
      {"no date", novo, [](auto& l) { l.SetData({}); }, "28/174/137"},
      {"no resource", novo, [](auto& l) { l.SetPonteiroRecurso(0); }, "28/50/138"},
      {"stored, within its month", gravado, [](auto& l) { l.SetData(Dia(1, 3)); }, ""},
      {"stored, out of its month", gravado, [](auto& l) { l.SetData(Dia(1, 4)); }, "28/175/137"},
      {"stored, changed meanwhile", gravado, [](auto& l) { l.SetDmaHmsGravacao(DataHora(1, 1, 2024, 0, 0)); },
       "28/3/136"},
  };
  for (const auto& g : gravacoes) {
    SCOPED_TRACE(g.nome);
    CZQDadosMM_LancamentoGastos l = g.base;
    g.muda(l);
    const CZQDadosMM_LancamentoGastos antes = l;
    m.gastos.TrataGravacao(&l, nullptr);
    EXPECT_EQ(Aviso(m.gastos), g.aviso);
    EXPECT_TRUE(l == antes);
  }
  EXPECT_EQ(m.gastos.TrataExclusao(&novo, nullptr), 0);
  EXPECT_EQ(Aviso(m.gastos), "28/144/136");
  CZQDadosMM_LancamentoGastos exclui = gravado;
  exclui.SetData(Dia(2, 3));
  EXPECT_EQ(m.gastos.TrataExclusao(&exclui, nullptr), 1);
  EXPECT_TRUE(exclui == gravado);

  auto item = [](std::uint32_t p, std::int64_t q, std::int64_t v) {
    CZQDadosMM_LancamentoGastosItem i;
    i.SetProdutoServico({p, 0, 0, 0}), i.SetQuantidade(tagCY{q}), i.SetValor(tagCY{v});
    return i;
  };
  const std::uint32_t p = m.c.produto.GetPonteiro();
  const struct {
    const char* nome;
    CZQDadosMM_LancamentoGastosItem item;
    std::int64_t indice;
    const char* aviso;
    const char* itens;  // products of the items afterwards
  } itens[] = {
      {"no product", item(0, 1, 1), -1, "28/166/143", "K P"},
      {"a kit", item(m.kit, 1, 1), -1, "28/112/143", "K P"},
      {"zero quantity, value not looked at", item(p, 0, -1), -1, "28/39/145", "K P"},
      {"negative value", item(p, 1, -1), -1, "28/167/146", "K P"},
      {"altering item 2 keeping its product", item(p, 5, 5), 1, "", "K P"},
      {"a new item with the product of item 2", item(p, 5, 5), -1, "28/168/143", "K P"},
      {"altering item 1 to the product of item 2", item(p, 5, 5), 0, "28/168/143", "K P"},
      {"a new item", item(m.terceiro, 5, 5), -1, "", "K P T"},
  };
  for (const auto& caso : itens) {
    SCOPED_TRACE(caso.nome);
    CZQDadosMM_LancamentoGastos l = novo;
    l.AdicionaItem(item(m.outro, 1, 1));
    l.AdicionaItem(item(p, 1, 1));
    const CZQDadosMM_LancamentoGastos antes = l;
    CZQDadosMM_LancamentoGastosItem i = caso.item;
    m.gastos.TrataAdicionarAlterarItem(l, i, caso.indice, nullptr);
    EXPECT_EQ(Aviso(m.gastos), caso.aviso);
    std::string s;
    for (const auto& it : l.GetListaItem())
      s += std::string(s.empty() ? "" : " ") + (it.GetProdutoServico() == item(p, 0, 0).GetProdutoServico() ? "P"
                                                 : it.GetProdutoServico().lPonteiroProduto == m.outro ? "K" : "T");
    EXPECT_EQ(s, caso.itens);
    EXPECT_TRUE(!*caso.aviso || l == antes) << "a refusal leaves the entry as it was";
    EXPECT_TRUE(*caso.aviso || caso.indice != 1 || l.GetConstRefItem(1).GetQuantidade() == tagCY{5});
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, OrderLinesTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
