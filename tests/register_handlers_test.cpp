// The register handlers over their warning tables on stored trees, with the differences between
// registers that shared code could blur, and every failed read or search of each save.
#include <gtest/gtest.h>

#include "movements/MMTrataDadosLancamentoGastos.h"
#include "movements/MMTrataDadosManutencao.h"
#include "registers/MMRegrasCadastro.h"
#include "registers/MMTrataDadosCamposPersonalizados.h"
#include "registers/MMTrataDadosDisciplina.h"
#include "registers/MMTrataDadosMestre.h"
#include "registers/MMTrataDadosPlano.h"
#include "registers/MMTrataDadosPrioridade.h"
#include "registers/MMTrataDadosSituacaoManutencao.h"
#include "registers/MMTrataDadosSituacaoTarefa.h"
#include "registers/MMTrataDadosTarefa.h"
#include "registers/MMTrataDadosTecnico.h"
#include "registers/MMTrataDadosTipoGasto.h"
#include "tests/support/FixtureRegistros.h"

namespace {

using namespace zqteste;

std::string W(int mensagem, long campo, int modulo = 28) {
  return std::to_string(modulo) + "/" + std::to_string(mensagem) + "/" + std::to_string(campo);
}

// Printers of what a handler may change in the caller's record.
std::string Textos(const CZQDadosMM_Situacao& s) { return (s.GetCodigo() + "|" + s.GetDescricao()).Str(); }
std::string Grupo(const CZQDadosMM_Tecnico& t) {
  return std::to_string(t.GetTipoClassificacao()) + "/" + std::to_string(t.GetPonteiroFilial()) + "/" +
         std::to_string(t.GetInativo()) + "/" + std::to_string(t.GetQuantidadeDisciplina());
}
std::string Classe(const CZQDadosMM_CamposPersonalizados& c) {
  return c.GetDetalhamento().Str() + "|" + std::to_string(c.GetInativo());
}

CZQDadosMM_Tecnico Tecnico(const char* codigo, std::uint16_t filial, std::uint16_t usuario, std::uint8_t tipo = 1,
                           std::uint8_t inativo = 0) {
  auto t = Entrada<CZQDadosMM_Tecnico>(codigo, 0, tipo);
  t.SetPonteiroFilial(filial), t.SetPonteiroUsuario(usuario), t.SetInativo(inativo);
  return t;
}

CZQDadosMM_Situacao Situacao(const char* codigo, const char* descricao, std::uint8_t base, std::uint8_t tipo = 1) {
  auto s = Entrada<CZQDadosMM_Situacao>(codigo, 0, 1);
  s.SetDescricao(descricao), s.SetSituacaoBase(base), s.SetTipo(tipo);
  return s;
}

class RegisterHandlersTest : public ::testing::TestWithParam<const char*> {
 protected:
  template <class H>
  H& Inicia(H& handler) {
    EXPECT_EQ(handler.Inicializa(empresa.Nome(), 1, 1), 0);
    return handler;
  }
  EmpresaTeste empresa{GetParam()};
};

// Disciplines and expense types: field checks first; the walk leaves the entry to the own-parent check.
template <class R>
std::vector<Caso<R>> CasosArvoreSimples(const mmcadastro::CamposArvore& k) {
  return {
      {"new entry", [](auto) { return Entrada<R>("X", 0, 1); }, ""},
      {"new, empty code", [](auto) { return Entrada<R>("", 0, 1); }, W(1, k.codigo)},
      {"stored, empty code", [](auto a) { a.n.SetCodigo(""); return a.n; }, W(2, k.codigoGravado)},
      {"new, code used elsewhere", [](auto a) { return Entrada<R>("L", a.g.GetPonteiro(), 1); }, W(10, k.codigo)},
      {"codes are not trimmed", [](auto) { return Entrada<R>(" L", 0, 1); }, ""},
      {"stored, code of another entry", [](auto a) { a.n.SetCodigo("L"); return a.n; }, W(10, k.codigo)},
      {"empty name", [](auto a) { a.n.SetNome(""); return a.n; }, W(4, k.nome)},
      {"own parent", [](auto a) { a.c.SetPonteiroPai(a.c.GetPonteiro()); return a.c; }, W(99, k.proprioPai)},
      {"under its grandchild", [](auto a) { a.g.SetPonteiroPai(a.n.GetPonteiro()); return a.g; }, W(99, k.arvore)},
      {"group under its child", [](auto a) { a.g.SetPonteiroPai(a.c.GetPonteiro()); return a.g; }, W(99, k.arvore)},
      {"group with entries made analytic", [](auto a) { a.c.SetTipoClassificacao(1); return a.c; }, W(98, k.arvore)},
      {"empty group made analytic", [](auto a) { a.e.SetTipoClassificacao(1); return a.e; }, ""},
      {"analytic moved: no subtree search", [](auto a) { a.n.SetPonteiroPai(a.l.GetPonteiro()); return a.n; }, ""},
      {"fields first",
       [](auto a) { a.g.SetCodigo(""), a.g.SetPonteiroPai(a.n.GetPonteiro()); return a.g; }, W(2, k.codigoGravado)},
      {"stale stamp", [](auto a) { Carimba(a.n, kCarimbo + 1); return a.n; }, W(3, k.codigo)},
  };
}

TEST_P(RegisterHandlersTest, DisciplinesAndExpenseTypes) {
  CMMTrataDadosDisciplina disciplinas;
  Roda(Inicia(disciplinas), CriaArvore<CZQDadosMM_Disciplina>(empresa),
       CasosArvoreSimples<CZQDadosMM_Disciplina>({2, 3, 4, 4, 5}));
  CMMTrataDadosTipoGasto tiposGasto;
  Roda(Inicia(tiposGasto), CriaArvore<CZQDadosMM_TipoGasto>(empresa),
       CasosArvoreSimples<CZQDadosMM_TipoGasto>({132, 133, 134, 135, 135}));
}

// Tree rules first, the group itself walked; groups normalised; one active technician per user and branch.
TEST_P(RegisterHandlersTest, Technicians) {
  using T = CZQDadosMM_Tecnico;
  auto a = CriaArvore<T>(empresa);
  a.n.SetPonteiroFilial(1), a.n.SetPonteiroUsuario(7), a.l.SetPonteiroFilial(1), a.l.SetPonteiroUsuario(8);
  empresa.Motor().Update(a.n), empresa.Motor().Update(a.l);
  empresa.Adiciona(Tecnico("P", 1, 8)), empresa.Adiciona(Tecnico("M", 1, 9, 1, 1));  // L's user; inactive
  auto grupo = [](std::uint8_t tipo) { auto t = Tecnico("X", 2, 7, tipo, 1); t.AdicionaDisciplina({}); return t; };
  CMMTrataDadosTecnico handler;
  Roda<T>(Inicia(handler), a, {
      {"new analytic", [](auto) { return Tecnico("X", 2, 7); }, "", "1/2/0/0"},
      {"group of type 3 normalised, user not searched", [&](auto) { return grupo(3); }, "", "2/0/0/0"},
      {"group of type 0 normalised", [&](auto) { return grupo(0); }, "", "2/0/0/0"},
      {"new, empty code", [](auto) { return Tecnico("", 2, 0); }, W(1, 7)},
      {"stored, empty code", [](auto a) { a.n.SetCodigo(""); return a.n; }, W(2, 8)},
      {"code reused in another branch", [](auto) { return Tecnico("N", 2, 0); }, W(10, 7)},
      {"empty name", [](auto a) { a.n.SetNome(""); return a.n; }, W(4, 9)},
      {"under its grandchild", [](auto a) { a.g.SetPonteiroPai(a.n.GetPonteiro()); return a.g; }, W(99, 10)},
      {"own parent: the group walked", [](auto a) { a.g.SetPonteiroPai(a.g.GetPonteiro()); return a.g; }, W(99, 10)},
      {"tree first", [](auto a) { a.g.SetCodigo(""), a.g.SetPonteiroPai(a.n.GetPonteiro()); return a.g; }, W(99, 10)},
      {"group with entries made analytic", [](auto a) { a.c.SetTipoClassificacao(1); return a.c; }, W(98, 10)},
      {"analytic as its own parent", [](auto a) { a.n.SetPonteiroPai(a.n.GetPonteiro()); return a.n; }, W(99, 10)},
      {"analytic moved", [](auto a) { a.n.SetPonteiroPai(a.l.GetPonteiro()); return a.n; }, ""},
      {"user of another technician of the branch", [](auto) { return Tecnico("X", 1, 7); }, W(121, 12)},
      {"no branch: every branch searched", [](auto) { return Tecnico("X", 0, 7); }, W(121, 12)},
      {"user of an inactive technician", [](auto) { return Tecnico("X", 1, 9); }, ""},
      {"user shared by two others refuses one of them", [](auto a) { return a.l; }, W(121, 12)},
      {"user of itself only", [](auto a) { return a.n; }, ""},
      {"stale stamp", [](auto a) { Carimba(a.n, kCarimbo + 1); return a.n; }, W(3, 7)},
  }, Grupo);
}

TEST_P(RegisterHandlersTest, TechnicianDisciplineList) {
  CMMTrataDadosTecnico handler;
  auto tecnico = Tecnico("X", 1, 0);
  CZQDadosMM_TecnicoDisciplina link;
  for (const auto& [disciplina, aviso, quantidade] : {std::tuple{0u, W(86, 14), 0}, {4u, "", 1}, {4u, W(87, 14), 1}}) {
    SCOPED_TRACE(disciplina);
    link.SetPonteiroDisciplina(disciplina);
    EXPECT_EQ(Aviso(handler.TrataAdicionarDisciplina(tecnico, link, nullptr)), aviso);
    EXPECT_EQ(tecnico.GetQuantidadeDisciplina(), quantidade);
  }
}

// A flat list: stamp and base first, texts trimmed, duplicates among new maintenance statuses only.
TEST_P(RegisterHandlersTest, MaintenanceStatuses) {
  using S = CZQDadosMM_Situacao;
  const S aberta = empresa.Adiciona(Situacao("ABERTA", "Aberta", 2));
  empresa.Adiciona(Situacao("EXEC", "Em execução", 4));
  empresa.Adiciona(Situacao("T-OK", "Tarefa concluída", 8, 2));
  auto nova = [](const char* codigo, const char* descricao, std::uint8_t base = 4, std::uint8_t tipo = 1) {
    return [=](auto) { return Situacao(codigo, descricao, base, tipo); };
  };
  auto gravada = [&](std::function<void(S&)> muda) { return [=](auto) { S s = aberta; muda(s); return s; }; };
  std::vector<Caso<S>> casos = {
      {"new, trimmed", nova("  X  ", " d "), "", "X|d"},
      {"code of blanks; description not looked at", nova("   ", " d "), W(1, 1), "| d "},
      {"code in use once trimmed", nova(" ABERTA ", " d "), W(10, 1), "ABERTA| d "},
      {"code of a task status", nova("T-OK", "d"), ""},
      {"stored, code of another status", gravada([](S& s) { s.SetCodigo("EXEC"); }), ""},
      {"stale stamp, before trimming",
       gravada([](S& s) { s.SetCodigo(" A "), s.SetDmaHmsAtualizacao({kCarimbo + 1}); }), W(3, 1), " A |Aberta"},
      {"base situation changed", gravada([](S& s) { s.SetSituacaoBase(4); }), W(123, 1)},
      {"description of blanks", nova("X", "  "), W(49, 2), "X|"},
      {"task status type", nova("X", "d", 4, 2), W(125, 1, 20)},
      {"base situation 0", nova("X", "d", 0), W(124, 3)},
  };
  for (const std::uint8_t base : {1, 3, 6, 65, 128}) casos.push_back({"bad base", nova("X", "d", base), W(125, 3)});
  for (const std::uint8_t base : {2, 64}) casos.push_back({"base", nova("X", "d", base), ""});
  CMMTrataDadosSituacaoManutencao handler;
  Roda(Inicia(handler), Arvore<S>{}, casos, Textos);
}

// Tree rules first, the status itself not walked, codes untrimmed, the own-parent check last.
TEST_P(RegisterHandlersTest, TaskStatuses) {
  using S = CZQDadosMM_Situacao;
  auto nova = [](const char* codigo, std::uint8_t tipo = 2) {
    return [=](auto) { auto s = Entrada<S>(codigo, 0, 1); s.SetTipo(tipo); s.SetDescricao(" d "); return s; };
  };
  CMMTrataDadosSituacaoTarefa handler;
  Roda<S>(Inicia(handler), CriaArvore<S>(empresa), {
      {"new, code keeps its blanks", nova(" T "), "", " T |d"},
      {"code in use", nova("N"), W(10, 1), "N| d "},
      {"code differing by a blank", nova(" N"), ""},
      {"new, empty code", nova(""), W(1, 132)},
      {"stored, empty code", [](auto a) { a.n.SetCodigo(""); return a.n; }, W(2, 133)},
      {"stored, code of another status", [](auto a) { a.n.SetCodigo("L"); return a.n; }, ""},
      {"description of blanks", [](auto a) { a.n.SetDescricao(" "); return a.n; }, W(49, 2), "N|"},
      {"under its grandchild", [](auto a) { a.g.SetPonteiroPai(a.n.GetPonteiro()); return a.g; }, W(99, 135)},
      {"tree first", [](auto a) { a.g.SetCodigo(""), a.g.SetPonteiroPai(a.n.GetPonteiro()); return a.g; }, W(99, 135)},
      {"group with entries made analytic", [](auto a) { a.c.SetTipoClassificacao(1); return a.c; }, W(98, 135)},
      {"own parent, after the description",
       [](auto a) { a.g.SetPonteiroPai(a.g.GetPonteiro()), a.g.SetDescricao(" x "); return a.g; }, W(99, 3), "G|x"},
      {"analytic moved", [](auto a) { a.n.SetPonteiroPai(a.l.GetPonteiro()); return a.n; }, ""},
      {"maintenance status type", nova("X", 1), W(125, 1, 20)},
      {"stale stamp", [](auto a) { Carimba(a.n, kCarimbo + 1); return a.n; }, W(3, 1)},
  }, Textos);
}

// Destination first; the tree walk counts the entry itself; classes normalised.
TEST_P(RegisterHandlersTest, CustomFields) {
  using C = CZQDadosMM_CamposPersonalizados;
  auto a = CriaArvore<C>(empresa);
  auto nova = [](const char* codigo, std::uint8_t destinacao = 1, std::uint8_t tipo = 1) {
    return [=](auto) {
      auto c = Entrada<C>(codigo, 0, tipo);
      return c.SetDestinacao(destinacao), c.SetDetalhamento("d"), c.SetInativo(1), c;
    };
  };
  empresa.Adiciona(nova("Z", 2)(a));
  CMMTrataDadosCamposPersonalizados handler;
  Roda<C>(Inicia(handler), a, {
      {"destination 0", nova("X", 0), W(164, 15)},
      {"destination 2, before the code", nova("", 2), W(164, 15)},
      {"new, empty code", nova(""), W(1, 15)},
      {"stored, empty code", [](auto a) { a.n.SetCodigo(""); return a.n; }, W(2, 16)},
      {"code in use", nova("N"), W(10, 15)},
      {"code used in another destination only", nova("Z"), ""},
      {"empty description", [](auto a) { a.n.SetDescricao(""); return a.n; }, W(49, 17)},
      {"class normalised", nova("X", 1, 2), "", "|0"},
      {"type 3 neither normalised nor refused", nova("X", 1, 3), "", "d|1"},
      {"under its grandchild", [](auto a) { a.g.SetPonteiroClasse(a.n.GetPonteiro()); return a.g; }, W(99, 18)},
      {"class as its own class", [](auto a) { a.g.SetPonteiroClasse(a.g.GetPonteiro()); return a.g; }, W(99, 18)},
      {"tree first",
       [](auto a) { a.g.SetDestinacao(0), a.g.SetPonteiroClasse(a.n.GetPonteiro()); return a.g; }, W(99, 18)},
      {"class with fields made a field", [](auto a) { a.c.SetTipoClassificacao(1); return a.c; }, W(98, 18)},
      {"field as its own class", [](auto a) { a.n.SetPonteiroClasse(a.n.GetPonteiro()); return a.n; }, W(99, 18)},
      {"field moved", [](auto a) { a.n.SetPonteiroClasse(a.l.GetPonteiro()); return a.n; }, ""},
      {"stale stamp", [](auto a) { Carimba(a.n, kCarimbo + 1); return a.n; }, W(3, 15)},
  }, Classe);
}

TEST_P(RegisterHandlersTest, Parameters) {
  using M = CZQDadosMM_Mestre;
  auto mestre = [](std::uint8_t usa, std::uint16_t mes, std::uint64_t carimbo = kCarimbo) {
    return [=](auto) {
      M m;
      m.SetChave(M::kChaveUnica), m.SetUsaDataVisualizacao(usa), m.SetMesAnoVisualizacao({mes}), Carimba(m, carimbo);
      return m;
    };
  };
  empresa.Adiciona(mestre(0, 0)(0));
  CMMTrataDadosMestre handler;
  Roda<M>(Inicia(handler), {},
          {{"no viewing month", mestre(0, 0), ""},
           {"viewing month in use, not given", mestre(1, 0), W(85, 1)},
           {"viewing month given", mestre(1, 2123), ""},
           {"stale stamp before the month", mestre(1, 0, kCarimbo + 1), W(3, 0)}});
}

// Every handler but the priority's (its own test), the movements' included: a record of another
// kind, or none, is refused on save and on delete.
TEST_P(RegisterHandlersTest, DeletesAndOtherRecordsAnswer162) {
  CZQDadosMM_Prioridade outro;
  auto confere = [&](CMMTrataDados&& h) {
    Inicia(h);
    for (TZQBaseParaDados* r : std::initializer_list<TZQBaseParaDados*>{&outro, nullptr}) {
      const int gravou = h.TrataGravacao(r, nullptr);
      const std::string aviso = Aviso(h);
      EXPECT_EQ(std::to_string(gravou) + " " + aviso + " " + std::to_string(h.TrataExclusao(r, nullptr)) + " " + Aviso(h),
                "0 28/162/0 0 28/162/0") << typeid(h).name() << (r ? "" : " nullptr");
    }
  };
  confere(CMMTrataDadosDisciplina()), confere(CMMTrataDadosTipoGasto()), confere(CMMTrataDadosTecnico());
  confere(CMMTrataDadosSituacaoManutencao()), confere(CMMTrataDadosSituacaoTarefa());
  confere(CMMTrataDadosCamposPersonalizados()), confere(CMMTrataDadosMestre());
  confere(CMMTrataDadosTarefa()), confere(CMMTrataDadosPlano());
  confere(CMMTrataDadosManutencao()), confere(CMMTrataDadosLancamentoGastos());
}

// Every failed read or search of each save: the error, its field, its trace and the caller's record.
TEST_P(RegisterHandlersTest, EveryFailurePoint) {
  CMMTrataDadosDisciplina disciplinas;
  Caminha(empresa, Inicia(disciplinas), CriaArvore<CZQDadosMM_Disciplina>(empresa).g,
          {{"BuscaPonteirosDisciplina", {0}}, {"LeDisciplina", {0}}, {"BuscaClassificacaoDisciplina", {0}}});
  CMMTrataDadosTipoGasto tiposGasto;
  Caminha(empresa, Inicia(tiposGasto), CriaArvore<CZQDadosMM_TipoGasto>(empresa).g,
          {{"BuscaPonteirosTipoGasto", {0}}, {"LeTipoGasto", {0}}, {"BuscaClassificacaoTipoGasto", {0}}});
  {
    auto a = CriaArvore<CZQDadosMM_Tecnico>(empresa);
    CMMTrataDadosTecnico handler;
    a.g.SetTipoClassificacao(3), a.g.SetPonteiroFilial(5);
    const Ponto p{0, "", "3/5/0/0"};  // normalised only once every read is done
    Caminha(empresa, Inicia(handler), a.g,
            {{"LeTecnico", p}, {"BuscaClassificacaoTecnico", p}, {"BuscaPonteirosTecnico", p}}, Grupo);
    a.n.SetPonteiroUsuario(7);
    Caminha(empresa, handler, a.n, {{"LeTecnico", {0}}, {"BuscaPonteirosTecnico", {0}}});
  }
  {
    const auto aberta = empresa.Adiciona(Situacao("ABERTA", "Aberta", 2));
    CMMTrataDadosSituacaoManutencao handler;
    Caminha(empresa, Inicia(handler), Situacao(" X ", " d ", 4),
            {{"BuscaPonteirosSituacao", {1, "MMTrataDadosSituacaoManutencao\t60\t", "X| d "}}}, Textos);
    auto gravada = aberta;
    gravada.SetCodigo(" ABERTA ");
    Caminha(empresa, handler, gravada, {{"LeSituacao", {1, "", " ABERTA |Aberta"}}}, Textos);
  }
  {
    auto a = CriaArvore<CZQDadosMM_Situacao>(empresa);
    CMMTrataDadosSituacaoTarefa handler;
    Caminha(empresa, Inicia(handler), Situacao(" T ", " d ", 0, 2),
            {{"BuscaPonteirosSituacao", {1, "MMTrataDadosSituacaoTarefa\t84\t", " T | d "}}}, Textos);
    a.g.SetDescricao(" x ");
    Caminha(empresa, handler, a.g, {{"LeSituacao", {1, "", "G| x "}}, {"BuscaClassificacaoSituacao", {0, "", "G| x "}}},
            Textos);
  }
  {
    auto a = CriaArvore<CZQDadosMM_CamposPersonalizados>(empresa);
    CMMTrataDadosCamposPersonalizados handler;
    a.g.SetDetalhamento("d");
    const Ponto p{0, "", "d|0"};
    Caminha(empresa, Inicia(handler), a.g,
            {{"LeCamposPersonalizados", p}, {"BuscaClassificacaoCamposPersonalizados", p},
             {"BuscaPonteirosCamposPersonalizados", p}},
            Classe);
  }
  CZQDadosMM_Mestre mestre;
  mestre.SetChave(CZQDadosMM_Mestre::kChaveUnica);
  empresa.Adiciona(mestre);
  CMMTrataDadosMestre parametros;
  Caminha(empresa, Inicia(parametros), mestre, {{"LeMestre", {0}}});
}

INSTANTIATE_TEST_SUITE_P(Engines, RegisterHandlersTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
