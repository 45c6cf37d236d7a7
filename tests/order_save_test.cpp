#include "movements/MMTrataDadosManutencao.h"

#include <gtest/gtest.h>

#include <functional>
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "platform/types/Cp1252.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"
#include "platform/storage/SqliteEngine.h"
#include "tests/support/FixtureOrdem.h"

namespace {

using namespace std::string_literals;
using zqteste::Aviso;
using zqteste::CenarioOrdem;
using zqteste::DataHora;

using Mudanca = std::function<void(CenarioOrdem&, CZQDadosMM_Manutencao&)>;

// A change to one of the scenario's stored records, written back.
template <class R, class F>
Mudanca Muda(R CenarioOrdem::*registro, F f) {
  return [=](CenarioOrdem& c, CZQDadosMM_Manutencao&) { f(c.*registro), c.Atualiza(c.*registro); };
}
template <class R>
Mudanca Inativo(R CenarioOrdem::*registro) {
  return Muda(registro, [](R& r) { r.SetInativo(1); });
}

// A company with the valid order and an initialised handler: each table row gets its own.
struct Mundo : zqteste::MundoOrdem {
  using MundoOrdem::MundoOrdem;
  // Saves `o` counting the access calls from zero; "" when accepted, else the warning.
  std::string Salva(CZQDadosMM_Manutencao& o) {
    empresa.Falhas().Clear();
    const int r = handler.TrataGravacao(&o, nullptr);
    EXPECT_EQ(r, handler.EhErroNenhum() ? 1 : 0);
    return Aviso(handler);
  }
  std::string SalvaLendo(CZQDadosMM_Manutencao& o) { const std::string a = Salva(o); return a + " " + Leituras(); }
};

// The reads of the valid order's save, step by step.
const std::string kMestre = "LeMestre", kRecurso = kMestre + " LeRecurso", kPlano = kRecurso + " LePlano",
                  kVinculo = kPlano + " LeRecursoPlanoManutencao", kRequisitante = kVinculo + " LeRequisitante",
                  kTecnico = kRequisitante + " LeTecnico", kDisciplina = kTecnico + " BuscaPonteirosTecnico",
                  kPermissao = kDisciplina + " PossuiPermissao", kEmissao = kPermissao + " LePeriodoContabil",
                  kIntegracao = kEmissao + " LeBufferFilial LePeriodoContabil",
                  kFim = kIntegracao + " LePeriodoContabil", kConfiguracao = kFim + " LeTarefa LeBDDConfiguracao",
                  kCompleta = kConfiguracao + " LeProdutoEx LeProdutoEx";

class OrderSaveTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { ZQ_EXIGE_POSTGRES(GetParam()); }
  CZQRelogioGuarda relogio{zqteste::Agora()};
};

TEST_P(OrderSaveTest, CompleteValidOrderPassesWithItsDerivedFields) {
  Mundo m(GetParam());
  CZQDadosMM_Manutencao o = m.c.ordem;
  EXPECT_EQ(m.SalvaLendo(o), " " + kCompleta);
  EXPECT_EQ(o.GetPonteiroFilial(), m.c.recurso.GetPonteiroFilial());
  EXPECT_EQ(std::to_string(o.GetContadorPonteiroUnMedida()) + "/" + std::to_string(o.GetContadorNumeroDigitos()) + "/" +
                o.GetContadorProdutoServico().Str(),
            "7/6/KM");
  EXPECT_EQ(o.GetDescricao(), m.c.plano.GetNome());  // the plan's name replaces the typed one
  EXPECT_EQ(o.GetTempoPrevisto(), m.c.plano.GetTempoPrevisto());
  EXPECT_EQ(o.GetTempoPrevistoEmHoras(), m.c.plano.GetTempoPrevistoEmHoras());
  const CZQDadosBDD_Registro* reg = o.GetRefTarefa(0).GetApontamentoTarefa();
  ASSERT_NE(reg, nullptr);
  EXPECT_EQ(reg->GetListaCampos(), m.c.configuracao.GetListaCampos());

  // Once stored, the same order passes again, without deriving anything.
  CZQDadosMM_Manutencao gravada = m.c.Grava(o);
  gravada.SetDescricao("Outra");
  // The task line now holds its record: the configuration is not read again.
  EXPECT_EQ(m.SalvaLendo(gravada), " LeManutencao " + kFim + " LeTarefa LeProdutoEx LeProdutoEx");
  EXPECT_EQ(gravada.GetDescricao(), "Outra");
}

struct Passo {
  const char* nome;
  Mudanca muda;
  const char* aviso;
  std::string leituras;  // every read made: none after the failing step
  const char* mensagem = nullptr;  // Windows-1252 text, when the warning carries arguments
};

// For each step of the check, in order, the smallest change that makes it fail: the warning,
// the reads (nothing after the step), and the caller's order exactly as it came in.
TEST_P(OrderSaveTest, EachStepRefusesAndStopsThere) {
  const Mudanca semPermissao = [](auto& c, auto&) {
    c.empresa.Motor().Delete(c.permissao.Schema(), c.permissao.GetPonteiro());
  };
  const Passo passos[] = {
      {"no resource", [](auto&, auto& o) { o.SetPonteiroRecurso(0); }, "28/50/87", kMestre},
      {"resource inactive", Inativo(&CenarioOrdem::recurso), "28/54/87", kRecurso},
      {"resource not of type 2", Muda(&CenarioOrdem::recurso, [](auto& r) { r.SetTipo(1); }), "28/51/87", kRecurso},
      {"type without a name", [](auto&, auto& o) { o.SetTipoManutencao(0); }, "28/52/88", kRecurso},
      {"type 5 has no name", [](auto&, auto& o) { o.SetTipoManutencao(5); }, "28/52/88", kRecurso},
      {"plan order without plan", [](auto&, auto& o) { o.SetPonteiroPlano(0); }, "28/53/89", kRecurso},
      {"plan inactive", Inativo(&CenarioOrdem::plano), "28/55/89", kPlano},
      {"link to the plan inactive", Inativo(&CenarioOrdem::vinculo), "28/25/89", kVinculo},
      {"plan order without discipline", [](auto&, auto& o) { o.SetPonteiroDisciplina(0); }, "28/19/97", kVinculo},
      {"other type without description", [](auto&, auto& o) { o.SetTipoManutencao(2), o.SetDescricao(""); }, "28/49/90",
       kRecurso},
      {"no description nor requester: the description first",
       [](auto&, auto& o) { o.SetTipoManutencao(2), o.SetDescricao(""), o.SetPonteiroRequisitante(0); }, "28/49/90",
       kRecurso},
      {"no requester", [](auto&, auto& o) { o.SetPonteiroRequisitante(0); }, "28/27/95", kVinculo},
      {"no priority", [](auto&, auto& o) { o.SetPonteiroPrioridade(0); }, "28/177/96", kVinculo},
      {"requester inactive", Inativo(&CenarioOrdem::requisitante), "28/56/95", kRequisitante},
      {"requester of another branch", Muda(&CenarioOrdem::requisitante, [](auto& r) { r.SetFilial(99); }), "28/127/95",
       kRequisitante, "O requisitante Produção não pertence à filial do recurso Empilhadeira 01."_cp},
      {"no technician, parameters demand one", [](auto&, auto& o) { o.SetPonteiroTecnico(0); }, "28/28/98",
       kRequisitante},
      {"technician of another branch", Muda(&CenarioOrdem::tecnico, [](auto& t) { t.SetPonteiroFilial(99); }),
       "28/128/98", kTecnico, "O técnico João não pertence à filial do recurso Empilhadeira 01."_cp},
      {"technician without the order's discipline",
       Muda(&CenarioOrdem::tecnico, [](auto& t) { t.RemoveDisciplina(0); }), "28/182/98", kDisciplina},
      {"technician a group, not found by the search",
       Muda(&CenarioOrdem::tecnico, [](auto& t) { t.SetTipoClassificacao(2); }), "28/182/98", kDisciplina},
      {"closing without permission", semPermissao, "28/191/99", kPermissao},
      {"closing, taken from the status, without permission",
       [&](auto& c, auto& o) { o.SetSituacao(0), semPermissao(c, o); }, "28/191/99",
       kDisciplina + " LeSituacao PossuiPermissao"},
      {"emission outside the movement period",
       [](auto&, auto& o) { o.SetDataHoraEmissao(DataHora(31, 12, 2023, 8, 0)); }, "28/130/86", kEmissao},
      {"mandatory configuration field empty",
       Muda(&CenarioOrdem::configuracao, [](auto& r) { r.GetRefCampos(0).SetValor(" "); }), "28/0/114", kConfiguracao,
       "Campo \"Pressão\" das Configurações da Tarefa LUB - Lubrificar deve ser informado."_cp},
      {"kit among the materials", Muda(&CenarioOrdem::produto, [](auto& p) { p.SetKit(1); }), "28/112/115",
       kConfiguracao + " LeProdutoEx"},
      {"appointments missing", [](auto&, auto& o) { o.RemoveApontamento(0); }, "28/70/126", kCompleta},
      {"open order with an appointment",
       [](auto&, auto& o) { o.SetSituacao(2), o.SetDataHoraFim(REG_ZQDMAHMSUTC{}); }, "28/155/99",
       kDisciplina + " LePeriodoContabil LeBufferFilial LePeriodoContabil LeProdutoEx LeProdutoEx",
       "Manutenção na situação Aberta não pode possuir apontamentos."_cp},
      {"situation 0 takes the status's base: rescheduled without a new schedule", [](auto& c, auto& o) {
         c.situacao.SetSituacaoBase(64), c.Atualiza(c.situacao), o.SetSituacao(0), o.SetDataHoraFim({});
       }, "28/140/102", kDisciplina + " LeSituacao LePeriodoContabil LeBufferFilial LePeriodoContabil"},
      {"situation 0 without a status stays 0: no appointment allowed",
       [](auto&, auto& o) { o.SetSituacao(0), o.SetDataHoraFim({}), o.SetPonteiroSituacao(0); }, "28/155/99",
       kDisciplina + " LePeriodoContabil LeBufferFilial LePeriodoContabil LeProdutoEx LeProdutoEx"},
  };
  for (const auto& p : passos) {
    SCOPED_TRACE(p.nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.c.ordem;
    p.muda(m.c, o);
    const CZQDadosMM_Manutencao antes = o;
    EXPECT_EQ(m.Salva(o), p.aviso);
    EXPECT_EQ(m.Leituras(), p.leituras);
    EXPECT_TRUE(o == antes) << "the caller's order changed";
    EXPECT_EQ(p.mensagem ? m.handler.GetMensagem().Str() : "", p.mensagem ? p.mensagem : "");
  }
}

// What depends on the order being new or stored. Each change is tried on a new order and on the
// same order once stored.
TEST_P(OrderSaveTest, NewAndStoredOrdersDiffer) {
  const std::vector<std::tuple<const char*, Mudanca, const char*, const char*>> casos = {
      {"resource inactive", Inativo(&CenarioOrdem::recurso), "28/54/87", ""},
      {"plan inactive", Inativo(&CenarioOrdem::plano), "28/55/89", ""},
      {"link inactive", Inativo(&CenarioOrdem::vinculo), "28/25/89", ""},
      {"requester inactive", Inativo(&CenarioOrdem::requisitante), "28/56/95", ""},
      {"requester moved to another branch", Muda(&CenarioOrdem::requisitante, [](auto& r) { r.SetFilial(99); }),
       "28/127/95", ""},
      {"technician inactive", Inativo(&CenarioOrdem::tecnico), "", "28/29/98"},
      {"technician moved to another branch", Muda(&CenarioOrdem::tecnico, [](auto& t) { t.SetPonteiroFilial(99); }),
       "28/128/98", "28/128/98"},
  };
  for (const auto& [nome, muda, novo, gravado] : casos) {
    SCOPED_TRACE(nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao antiga = m.c.Grava();
    CZQDadosMM_Manutencao nova = m.c.ordem;
    muda(m.c, nova);
    EXPECT_EQ(m.Salva(nova), novo);
    EXPECT_EQ(m.Salva(antiga), gravado);
  }
}

// Changes that the check accepts, with the description and situation the caller then holds.
TEST_P(OrderSaveTest, AcceptedVariations) {
  const std::string kDerivada = "Lubrificação geral/8"_cp;
  const std::vector<std::tuple<const char*, Mudanca, std::string>> casos = {
      {"requester of any branch", Muda(&CenarioOrdem::requisitante, [](auto& r) { r.SetFilial(0); }), kDerivada},
      {"technician of any branch", Muda(&CenarioOrdem::tecnico, [](auto& t) { t.SetPonteiroFilial(0); }), kDerivada},
      {"no technician, parameter off", [](auto& c, auto& o) {
         o.SetPonteiroTecnico(0), c.mestre.SetObrigarInformarTecnicoManutencao(false), c.Atualiza(c.mestre);
       }, kDerivada},
      {"no technician on an order from a production appointment",
       [](auto&, auto& o) { o.SetPonteiroTecnico(0), o.SetOrigemZProducaoApontamento(true); }, kDerivada},
      {"other type without discipline: technician's disciplines not searched", [](auto& c, auto& o) {
         o.SetTipoManutencao(2), o.SetPonteiroDisciplina(0), c.tecnico.RemoveDisciplina(0), c.Atualiza(c.tecnico);
       }, "Troca de óleo/8"_cp},
      {"situation 0 taken from the status entry", [](auto&, auto& o) { o.SetSituacao(0); }, kDerivada},
      {"no appointments, parameter off", [](auto& c, auto& o) {
         o.RemoveApontamento(0), c.mestre.SetObrigarApontamentoManutencao(false), c.Atualiza(c.mestre);
       }, kDerivada},
      {"under way with an appointment", [](auto&, auto& o) { o.SetSituacao(4), o.SetDataHoraFim({}); },
       "Lubrificação geral/4"_cp},
      {"no material nor equipment lines: integration not asked", [](auto& c, auto& o) {
         o.RemoveMaterial(0), o.RemoveEquipamento(0);
         c.filial.SetMesBloqueioIntegracao(REG_ZQMA::DeMesAno(3, 2024)), c.Atualiza(c.filial);
       }, kDerivada},
      {"service lines are not examined for kits", [](auto& c, auto& o) {
         c.produto.SetKit(1), c.Atualiza(c.produto), o.RemoveMaterial(0), o.RemoveEquipamento(0);
         o.GetRefServico(0).SetProdutoServico(_REG_POSICAO_PRODUTOPS{c.produto.GetPonteiro(), 0, 0, 0});
       }, kDerivada},
  };
  for (const auto& [nome, muda, depois] : casos) {
    SCOPED_TRACE(nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.c.ordem;
    muda(m.c, o);
    EXPECT_EQ(m.Salva(o), "");
    EXPECT_EQ(o.GetDescricao().Str() + "/" + std::to_string(o.GetSituacao()), depois);
  }
}

// The stamp is compared before anything else: a change of resource would give 50 otherwise.
TEST_P(OrderSaveTest, StoredOrderChangedMeanwhileIsRefusedFirst) {
  Mundo m(GetParam());
  CZQDadosMM_Manutencao gravada = m.c.Grava();
  const std::uint64_t original = gravada.GetDmaHmsGravacao().ullValor;
  for (const auto& [nome, carimbo, esperado] : std::vector<std::tuple<const char*, std::uint64_t, std::string>>{
           {"same second", original, "28/50/87 LeManutencao LeMestre"},
           {"differs above bit 37 only", original ^ (std::uint64_t{5} << 40), "28/50/87 LeManutencao LeMestre"},
           {"one second later", original + 1, "28/3/85 LeManutencao"}}) {
    SCOPED_TRACE(nome);
    CZQDadosMM_Manutencao o = gravada;
    o.SetDmaHmsGravacao(REG_ZQDMAHMSUTC{carimbo}), o.SetPonteiroRecurso(0);
    EXPECT_EQ(m.SalvaLendo(o), esperado);
  }
}

TEST_P(OrderSaveTest, KeyNeitherEmptyNorValidIsNotReadAndNotNew) {
  Mundo m(GetParam());
  CZQDadosMM_Manutencao o = m.c.ordem;
  o.SetDmc(REG_ZQDMC::Monta(REG_ZQDMC::kTipoMes, REG_ZQDMC::kCampo12Limite, 1, REG_ZQMA::DeMesAno(3, 2024).usMa));
  o.SetPonteiroFilial(m.c.recurso.GetPonteiroFilial());
  EXPECT_EQ(m.SalvaLendo(o).rfind(" " + kMestre, 0), 0u) << m.Leituras();
  EXPECT_EQ(o.GetDescricao(), "Troca de óleo"_cp);  // not derived: not a new order
}

// Dates and times, limits first. Each row changes the valid order; the situation column is the
// order's situation (end and appointments cleared where the situation forbids them).
TEST_P(OrderSaveTest, DatesAndTimes) {
  using Muda = std::function<void(CZQDadosMM_Manutencao&)>;
  using V = REG_ZQDMAHMSUTC;
  auto emissao = [](V v) -> Muda { return [v](auto& o) { o.SetDataHoraEmissao(v); }; };
  auto previsto = [](V v) -> Muda { return [v](auto& o) { o.SetDmaHmsPrevInicio(v); }; };
  auto inicio = [](V v) -> Muda { return [v](auto& o) { o.SetDataHoraInicio(v); }; };
  auto fim = [](V v) -> Muda { return [v](auto& o) { o.SetDataHoraFim(v); }; };
  auto nova = [](V v) -> Muda { return [v](auto& o) { o.SetDataHoraNovaProgramacao(v); }; };
  auto segundos = [](std::int64_t s) { V v; v.SetSegundos(s); return v; };
  const auto kEmissao = DataHora(4, 3, 2024, 8, 0);
  const auto kInicio = DataHora(4, 3, 2024, 9, 0);
  const std::vector<std::tuple<const char*, unsigned char, Muda, const char*>> casos = {
      {"emission empty", 8, emissao({}), "28/134/86"},
      {"emission on day 1", 8, emissao(segundos(172799)), "28/134/86"},
      {"emission on the first valid day: goes on to the period", 8, emissao(segundos(172800)), "28/130/86"},
      {"emission on the last valid second", 8, emissao(segundos(90568627199)), "28/130/86"},
      {"emission one second beyond", 8, emissao(segundos(90568627200)), "28/134/86"},
      {"emission on the first day of the period's first month", 8,
       [](auto& o) { o.SetDataHoraEmissao(DataHora(1, 1, 2024, 0, 0)), o.SetDmaHmsPrevInicio({}); }, ""},
      {"planned start one second before emission", 8, previsto(DataHora(4, 3, 2024, 7, 59, 59)), "28/135/93"},
      {"planned start at emission", 8, previsto(kEmissao), ""},
      {"planned start not filled in", 8, previsto(V{1}), ""},
      {"under way without start", 4, inicio({}), "28/136/100"},
      {"stopped without start", 32, inicio({}), "28/136/100"},
      {"closed without start", 8, inicio({}), "28/136/100"},
      {"closed with a new schedule", 8, nova(DataHora(6, 3, 2024, 8, 0)), "28/137/102"},
      {"rescheduled at emission", 64, nova(kEmissao), "28/138/102"},
      {"rescheduled at start", 64, nova(kInicio), "28/139/102"},
      {"rescheduled without start: only emission counts", 64,
       [&](auto& o) { o.SetDataHoraInicio({}), o.SetDataHoraNovaProgramacao(kInicio); }, ""},
      {"rescheduled into next year", 64, nova(DataHora(2, 1, 2025, 8, 0)), "28/130/86"},
      {"rescheduled one second after start", 64, nova(DataHora(4, 3, 2024, 9, 0, 1)), ""},
      {"rescheduled without new schedule", 64, [](auto&) {}, "28/140/102"},
      {"closed without end", 8, fim({}), "28/141/104"},
      {"closed, end raw value set but not filled in", 8, fim(V{1}), "28/141/104"},
      {"under way, end raw value set but not filled in", 4, fim(V{1}), "28/142/104"},
      {"under way, end with only an offset", 4, fim(V{std::uint64_t{1} << 40}), "28/142/104"},
      {"closed, start one second after end", 8, fim(DataHora(4, 3, 2024, 8, 59, 59)), "28/143/104"},
      {"closed, start equal to end", 8, fim(kInicio), ""},
      {"closed, end next year", 8, fim(DataHora(1, 1, 2025, 0, 0)), "28/130/86"},
  };
  for (const auto& [nome, situacao, muda, aviso] : casos) {
    SCOPED_TRACE(nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.c.ordem;
    o.SetSituacao(situacao);
    if (situacao != 8) o.SetDataHoraFim({});
    if (situacao == 64) o.RemoveApontamento(0);
    muda(o);
    EXPECT_EQ(m.Salva(o), aviso);
  }
}

TEST_P(OrderSaveTest, IntegrationPeriodUsesTheClockAndTheOrdersBranch) {
  Mundo m(GetParam());
  m.c.filial.SetMesBloqueioIntegracao(REG_ZQMA::DeMesAno(3, 2024)), m.c.Atualiza(m.c.filial);  // the clock's month
  CZQDadosMM_Manutencao o = m.c.ordem;
  EXPECT_EQ(m.SalvaLendo(o), "28/184/86 " + kEmissao + " LeBufferFilial");
  CZQRelogioGuarda abril(DataHora(1, 4, 2024, 0, 0));
  EXPECT_EQ(m.Salva(o), "");
}

// Rows: the message ("" accepted, "hr" a copied read error) and the reads from LeTarefa on. An
// accepted line keeps its record only when its task is appointed and configured.
TEST_P(OrderSaveTest, TaskConfigurationFields) {
  auto naLinha = [](std::function<void(CZQDadosBDD_Registro&)> f) -> Mudanca {
    return [f](CenarioOrdem& c, CZQDadosMM_Manutencao& o) {
      CZQDadosBDD_Registro r = c.configuracao;
      f(r);
      o.GetRefTarefa(0).SetApontamentoTarefa(&r);
    };
  };
  auto semDescricao = [](const char* n) {
    return n + std::string("º campo das Configurações da Tarefa LUB - Lubrificar não possui descrição "
                           "informada."_cp);
  };
  const char* kTodas = "LeTarefa LeProdutoEx LeProdutoEx";
  const std::vector<std::tuple<const char*, Mudanca, std::string, std::string>> casos = {
      {"record on the line is checked, not read again", naLinha([](auto&) {}), "", kTodas},
      {"mandatory field left empty on the line", naLinha([](auto& r) { r.GetRefCampos(0).SetValor(""); }),
       "Campo \"Pressão\" das Configurações da Tarefa LUB - Lubrificar deve ser informado."_cp, "LeTarefa"},
      {"mandatory but disabled field may stay empty",
       naLinha([](auto& r) { r.GetRefCampos(0).SetValor(""), r.GetRefCampos(0).SetDesabilitarCampo(true); }), "",
       kTodas},
      {"second field without description, counted from 1",
       naLinha([](auto& r) { r.GetRefCampos(1).SetTextoDescricao("  "); }), semDescricao("2"), "LeTarefa"},
      {"description checked before the value",
       naLinha([](auto& r) { r.GetRefCampos(0).SetTextoDescricao(""), r.GetRefCampos(0).SetValor(""); }),
       semDescricao("1"), "LeTarefa"},
      {"task without configuration: record removed", [](auto& c, auto& o) {
         CZQDadosBDD_Registro r;
         c.tarefa.SetPonteiroInfPersonalizada(0), c.Atualiza(c.tarefa), o.GetRefTarefa(0).SetApontamentoTarefa(&r);
       }, "", kTodas},
      {"task not appointed: record removed", [](auto& c, auto& o) {
         c.tarefa.SetEfetuarApontTarefa(false), c.Atualiza(c.tarefa);
         o.GetRefTarefa(0).SetApontamentoTarefa(&c.configuracao);
       }, "", kTodas},
      {"open order: the line's record neither checked nor read", [](auto&, auto& o) {
         CZQDadosBDD_Registro vazio;
         vazio.AdicionaCampos(CZQDadosBDD_Campo());  // would fail the field check
         o.SetSituacao(4), o.SetDataHoraFim({}), o.GetRefTarefa(0).SetApontamentoTarefa(&vazio);
       }, "", ""},
      {"configuration of another activity: its not-found error is copied",
       Muda(&CenarioOrdem::configuracao, [](auto& r) { r.SetTipoAtividade(3); }), "hr", "LeTarefa LeBDDConfiguracao"},
  };
  for (const auto& [nome, muda, mensagem, leituras] : casos) {
    SCOPED_TRACE(nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.c.ordem;
    muda(m.c, o);
    const CZQDadosMM_Manutencao antes = o;
    const std::string aviso = m.Salva(o);
    const std::string todas = m.Leituras();
    EXPECT_EQ(todas.substr(std::min(todas.find("LeTarefa"), todas.size())), leituras);
    if (mensagem == "hr") {
      EXPECT_EQ(aviso.rfind("hr=0X80F00001/0 ", 0), 0u) << aviso;
    } else if (!mensagem.empty()) {
      EXPECT_EQ(aviso + " " + m.handler.GetMensagem().Str(), "28/0/114 " + mensagem);
      EXPECT_TRUE(o == antes);
    } else {
      EXPECT_EQ(aviso, "");
      EXPECT_EQ(o.GetRefTarefa(0).PossuiApontamentoTarefa(), std::string(nome).find("removed") == std::string::npos);
    }
  }
}

TEST_P(OrderSaveTest, KitsNameTheirLineAndItem) {
  for (const bool equipamento : {false, true}) {
    SCOPED_TRACE(equipamento ? "first equipment line" : "second material line");
    Mundo m(GetParam());
    CZQDadosDF_ProdutoEx kit = m.c.produto;
    kit.SetPonteiro(0), kit.SetKit(1);
    CZQDadosMM_Manutencao o = m.c.ordem;
    CZQDadosMM_ManutencaoComponente linha = o.GetRefMaterial(0);
    linha.SetProdutoServico(_REG_POSICAO_PRODUTOPS{m.empresa.Adiciona(kit).GetPonteiro(), 0, 0, 0});
    // The kit replaces the first equipment line, or goes on a second material line.
    (equipamento ? o.GetRefEquipamento(0) : o.GetRefMaterial(o.AdicionaMaterial(linha))) = linha;
    EXPECT_EQ(m.Salva(o), equipamento ? "28/112/119" : "28/112/115");
    EXPECT_EQ(m.handler.GetItem(), equipamento ? 0 : 1);
  }
}

// Fails the 1st, 2nd, ... access call of a save until the save gets through. Every failure ends
// the save with the copied error (its field where the check names one), the caller's order
// unchanged, and a trace line only for the traced reads.
TEST_P(OrderSaveTest, EveryFailurePointEndsInTheCopiedError) {
  struct Ponto {
    const char* operacao;
    long campo;
    std::vector<std::string> rastro;  // what the trace line holds; none: no trace line
  };
  const std::vector<Ponto> novo = {
      {"LeMestre", 0, {}}, {"LeRecurso", 0, {}}, {"LePlano", 0, {}}, {"LeRecursoPlanoManutencao", 0, {}},
      {"LeRequisitante", 0, {}}, {"LeTecnico", 0, {}}, {"BuscaPonteirosTecnico", 0, {}}, {"PossuiPermissao", 0, {}},
      {"LePeriodoContabil", 86, {}}, {"LeBufferFilial", 0, {"MMTrataDados\t215\t"}},
      {"LePeriodoContabil", 0, {"MMTrataDados\t225\t"}}, {"LePeriodoContabil", 86, {}}, {"LeTarefa", 0, {}},
      {"LeBDDConfiguracao", 0,
       {"MMTrataDadosManutencao\t1192\t", "CMMTrataDadosManutencao::ConsistirInfoPersonalizadaTarefa",
        "hr = GetAcessoEmpresarial()->LeBDDConfiguracao(BDD_ATV_MM_APONTAMENTO_TAREFA, regKeyConfigTarefa, "
        "&dadosConfigInfoPers)\thr = 0X80F00003"}},
      {"LeProdutoEx", 115, {"MMTrataDados\t113\t"}}, {"LeProdutoEx", 119, {"MMTrataDados\t113\t"}},
  };
  std::vector<Ponto> gravado = novo;
  gravado.insert(gravado.begin(), Ponto{"LeManutencao", 0, {}});
  gravado.insert(gravado.begin() + 8, Ponto{"LeSituacao", 0, {}});
  for (const bool ehGravado : {false, true}) {
    SCOPED_TRACE(ehGravado ? "stored order, situation from its status" : "new order");
    Mundo m(GetParam());
    CZQDadosMM_Manutencao entrada = ehGravado ? m.c.Grava() : m.c.ordem;
    if (ehGravado) entrada.SetSituacao(0);
    const std::vector<Ponto>& pontos = ehGravado ? gravado : novo;
    std::size_t n = 1;
    for (;; ++n) {
      SCOPED_TRACE("call " + std::to_string(n));
      const std::size_t antesLog = zqteste::TodosLogErros(m.empresa).size();
      m.empresa.Falhas().Clear();
      m.empresa.Falhas().FailNth(static_cast<long>(n), ZQ_E_MOTOR, "falha " + std::to_string(n));
      CZQDadosMM_Manutencao o = entrada;
      const int r = m.handler.TrataGravacao(&o, nullptr);
      if (m.empresa.Falhas().Calls() < static_cast<long>(n)) {
        EXPECT_EQ(r, 1) << Aviso(m.handler);
        break;
      }
      ASSERT_LE(n, pontos.size());
      const Ponto& p = pontos[n - 1];
      EXPECT_EQ(m.empresa.Falhas().Log().back() + " " + std::to_string(r) + " " + Aviso(m.handler),
                p.operacao + " 0 hr=0X80F00003/"s + std::to_string(p.campo) + " falha " + std::to_string(n));
      EXPECT_TRUE(o == entrada);
      const std::string rastro = zqteste::TodosLogErros(m.empresa).substr(antesLog);
      EXPECT_EQ(rastro.empty(), p.rastro.empty()) << rastro;
      for (const auto& parte : p.rastro) EXPECT_NE(rastro.find(parte), std::string::npos) << parte << " in " << rastro;
    }
    EXPECT_EQ(n, pontos.size() + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, OrderSaveTest, ::testing::Values("memoria", "sqlite", "postgresql"));

}  // namespace

// A save reads in one snapshot: another connection's write after its first period read is not
// seen by its later ones (the end date still passes), and the next save sees it.
TEST(OrderSaveSnapshotTest, AnotherConnectionsWriteMidSaveIsSeenOnlyByTheNextSave) {
  CZQRelogioGuarda relogio{zqteste::Agora()};
  zqteste::MundoOrdem m("sqlite");
  auto outra = zq::SqliteEngine::Open((m.empresa.Diretorio() / "empresa.db").string(), nullptr,
                                      zq::SqliteEngine::Modo::kExistente);
  ASSERT_TRUE(outra);
  int lidos = 0;
  m.handler.GetAcessoEmpresarial()->SetAoLer([&](const char* operacao, const TZQBaseParaDados&) {
    if (std::string(operacao) != "LePeriodoContabil" || lidos++) return;
    CZQDadosDF_PeriodoContabil periodo = m.c.periodo;
    periodo.SetDataSuperiorMovimentacao(REG_ZQDMA::DeDiaMesAno(31, 1, 2024));
    EXPECT_TRUE(outra->Update(periodo).ok());
  });
  CZQDadosMM_Manutencao o = m.c.ordem;
  EXPECT_EQ(m.handler.TrataGravacao(&o, nullptr), 1) << Aviso(m.handler);
  EXPECT_EQ(lidos, 3);
  o = m.c.ordem;
  EXPECT_EQ(m.handler.TrataGravacao(&o, nullptr), 0);
  EXPECT_EQ(Aviso(m.handler).substr(0, 7), "28/130/");
}
