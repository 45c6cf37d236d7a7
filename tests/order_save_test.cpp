#include "movements/MMTrataDadosManutencao.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types/Cp1252.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"
#include "tests/support/FixtureOrdem.h"

namespace {

using zqteste::Aviso;
using zqteste::CenarioOrdem;
using zqteste::DataHora;
using zqteste::EmpresaTeste;

using Mudanca = std::function<void(CenarioOrdem&, CZQDadosMM_Manutencao&)>;

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
};

// The reads of the valid order's save, step by step.
const std::string kMestre = "LeMestre";
const std::string kRecurso = kMestre + " LeRecurso";
const std::string kPlano = kRecurso + " LePlano";
const std::string kVinculo = kPlano + " LeRecursoPlanoManutencao";
const std::string kRequisitante = kVinculo + " LeRequisitante";
const std::string kTecnico = kRequisitante + " LeTecnico";
const std::string kDisciplina = kTecnico + " BuscaPonteirosTecnico";
const std::string kPermissao = kDisciplina + " PossuiPermissao";
const std::string kEmissao = kPermissao + " LePeriodoContabil";
const std::string kIntegracao = kEmissao + " LeBufferFilial LePeriodoContabil";
const std::string kFim = kIntegracao + " LePeriodoContabil";
const std::string kConfiguracao = kFim + " LeTarefa LeBDDConfiguracao";
const std::string kCompleta = kConfiguracao + " LeProdutoEx LeProdutoEx";

class OrderSaveTest : public ::testing::TestWithParam<const char*> {
 protected:
  CZQRelogioGuarda relogio{zqteste::Agora()};
};

TEST_P(OrderSaveTest, CompleteValidOrderPassesWithItsDerivedFields) {
  Mundo m(GetParam());
  CZQDadosMM_Manutencao o = m.c.ordem;
  EXPECT_EQ(m.Salva(o), "");
  EXPECT_EQ(m.Leituras(), kCompleta);

  EXPECT_EQ(o.GetPonteiroFilial(), m.c.recurso.GetPonteiroFilial());
  EXPECT_EQ(o.GetContadorPonteiroUnMedida(), 7u);
  EXPECT_EQ(o.GetContadorNumeroDigitos(), 6);
  EXPECT_EQ(o.GetContadorProdutoServico(), "KM");
  EXPECT_EQ(o.GetDescricao(), m.c.plano.GetNome());  // the plan's name replaces the typed one
  EXPECT_EQ(o.GetTempoPrevisto(), m.c.plano.GetTempoPrevisto());
  EXPECT_EQ(o.GetTempoPrevistoEmHoras(), m.c.plano.GetTempoPrevistoEmHoras());
  const CZQDadosBDD_Registro* reg = o.GetRefTarefa(0).GetApontamentoTarefa();
  ASSERT_NE(reg, nullptr);
  EXPECT_EQ(reg->GetTipoAtividade(), BDD_ATV_MM_APONTAMENTO_TAREFA);
  EXPECT_EQ(reg->GetListaCampos(), m.c.configuracao.GetListaCampos());

  // Once stored, the same order passes again, without deriving anything.
  CZQDadosMM_Manutencao gravada = m.c.Grava(o);
  gravada.SetDescricao("Outra");
  EXPECT_EQ(m.Salva(gravada), "");
  // The task line now holds its record: the configuration is not read again.
  EXPECT_EQ(m.Leituras(), "LeManutencao " + kFim + " LeTarefa LeProdutoEx LeProdutoEx");
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
  auto situacao = [](unsigned char s) {
    return [s](CenarioOrdem&, CZQDadosMM_Manutencao& o) {
      o.SetSituacao(s);
      o.SetDataHoraFim(REG_ZQDMAHMSUTC{});
    };
  };
  const Passo passos[] = {
      {"no resource", [](auto&, auto& o) { o.SetPonteiroRecurso(0); }, "28/50/87", kMestre},
      {"resource inactive", [](auto& c, auto&) { c.recurso.SetInativo(1); c.Atualiza(c.recurso); }, "28/54/87",
       kRecurso},
      {"resource not of type 2", [](auto& c, auto&) { c.recurso.SetTipo(1); c.Atualiza(c.recurso); }, "28/51/87",
       kRecurso},
      {"type without a name", [](auto&, auto& o) { o.SetTipoManutencao(0); }, "28/52/88", kRecurso},
      {"type 5 has no name", [](auto&, auto& o) { o.SetTipoManutencao(5); }, "28/52/88", kRecurso},
      {"plan order without plan", [](auto&, auto& o) { o.SetPonteiroPlano(0); }, "28/53/89", kRecurso},
      {"plan inactive", [](auto& c, auto&) { c.plano.SetInativo(1); c.Atualiza(c.plano); }, "28/55/89", kPlano},
      {"link to the plan inactive", [](auto& c, auto&) { c.vinculo.SetInativo(1); c.Atualiza(c.vinculo); }, "28/25/89",
       kVinculo},
      {"plan order without discipline", [](auto&, auto& o) { o.SetPonteiroDisciplina(0); }, "28/19/97", kVinculo},
      {"other type without description",
       [](auto&, auto& o) { o.SetTipoManutencao(2); o.SetDescricao(""); }, "28/49/90", kRecurso},
      {"no description nor requester: the description first",
       [](auto&, auto& o) { o.SetTipoManutencao(2); o.SetDescricao(""); o.SetPonteiroRequisitante(0); }, "28/49/90",
       kRecurso},
      {"no requester", [](auto&, auto& o) { o.SetPonteiroRequisitante(0); }, "28/27/95", kVinculo},
      {"no priority", [](auto&, auto& o) { o.SetPonteiroPrioridade(0); }, "28/177/96", kVinculo},
      {"requester inactive", [](auto& c, auto&) { c.requisitante.SetInativo(1); c.Atualiza(c.requisitante); },
       "28/56/95", kRequisitante},
      {"requester of another branch",
       [](auto& c, auto&) { c.requisitante.SetFilial(99); c.Atualiza(c.requisitante); }, "28/127/95", kRequisitante,
       "O requisitante Produção não pertence à filial do recurso Empilhadeira 01."_cp},
      {"no technician, parameters demand one", [](auto&, auto& o) { o.SetPonteiroTecnico(0); }, "28/28/98",
       kRequisitante},
      {"technician of another branch", [](auto& c, auto&) { c.tecnico.SetPonteiroFilial(99); c.Atualiza(c.tecnico); },
       "28/128/98", kTecnico, "O técnico João não pertence à filial do recurso Empilhadeira 01."_cp},
      {"technician without the order's discipline",
       [](auto& c, auto&) { c.tecnico.RemoveDisciplina(0); c.Atualiza(c.tecnico); }, "28/182/98", kDisciplina},
      {"technician a group, not found by the search",
       [](auto& c, auto&) { c.tecnico.SetTipoClassificacao(2); c.Atualiza(c.tecnico); }, "28/182/98", kDisciplina},
      {"closing without permission",
       [](auto& c, auto&) {
         c.empresa.Motor().Delete(CZQDadosDF_PermissaoUsuario::SchemaEstatico(), c.permissao.GetPonteiro());
       },
       "28/191/99", kPermissao},
      {"closing, taken from the status, without permission",
       [](auto& c, auto& o) {
         o.SetSituacao(0);
         c.empresa.Motor().Delete(CZQDadosDF_PermissaoUsuario::SchemaEstatico(), c.permissao.GetPonteiro());
       },
       "28/191/99", kDisciplina + " LeSituacao PossuiPermissao"},
      {"emission outside the movement period",
       [](auto&, auto& o) { o.SetDataHoraEmissao(DataHora(31, 12, 2023, 8, 0)); },
       "28/130/86", kEmissao},
      {"mandatory configuration field empty",
       [](auto& c, auto&) { c.configuracao.GetRefCampos(0).SetValor(" "); c.Atualiza(c.configuracao); }, "28/0/114",
       kConfiguracao, "Campo \"Pressão\" das Configurações da Tarefa LUB - Lubrificar deve ser informado."_cp},
      {"kit among the materials",
       [](auto& c, auto&) { c.produto.SetKit(1); c.Atualiza(c.produto); }, "28/112/115",
       kConfiguracao + " LeProdutoEx"},
      {"appointments missing", [](auto&, auto& o) { o.RemoveApontamento(0); }, "28/70/126", kCompleta},
      {"open order with an appointment", situacao(2), "28/155/99",
       kDisciplina + " LePeriodoContabil LeBufferFilial LePeriodoContabil LeProdutoEx LeProdutoEx",
       "Manutenção na situação Aberta não pode possuir apontamentos."_cp},
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
    if (p.mensagem) {
      EXPECT_EQ(m.handler.GetMensagem(), p.mensagem);
    }
  }
}

// What depends on the order being new or stored. Each change is tried on a new order and on the
// same order once stored.
TEST_P(OrderSaveTest, NewAndStoredOrdersDiffer) {
  struct Caso {
    const char* nome;
    Mudanca muda;
    const char* novo;
    const char* gravado;
  };
  const Caso casos[] = {
      {"resource inactive", [](auto& c, auto&) { c.recurso.SetInativo(1); c.Atualiza(c.recurso); }, "28/54/87", ""},
      {"plan inactive", [](auto& c, auto&) { c.plano.SetInativo(1); c.Atualiza(c.plano); }, "28/55/89", ""},
      {"link inactive", [](auto& c, auto&) { c.vinculo.SetInativo(1); c.Atualiza(c.vinculo); }, "28/25/89", ""},
      {"requester inactive", [](auto& c, auto&) { c.requisitante.SetInativo(1); c.Atualiza(c.requisitante); },
       "28/56/95", ""},
      {"requester moved to another branch",
       [](auto& c, auto&) { c.requisitante.SetFilial(99); c.Atualiza(c.requisitante); }, "28/127/95", ""},
      {"technician inactive", [](auto& c, auto&) { c.tecnico.SetInativo(1); c.Atualiza(c.tecnico); }, "", "28/29/98"},
      {"technician moved to another branch",
       [](auto& c, auto&) { c.tecnico.SetPonteiroFilial(99); c.Atualiza(c.tecnico); }, "28/128/98", "28/128/98"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao gravada = m.c.Grava();
    CZQDadosMM_Manutencao nova = m.c.ordem;
    caso.muda(m.c, nova);
    EXPECT_EQ(m.Salva(nova), caso.novo);
    EXPECT_EQ(m.Salva(gravada), caso.gravado);
  }
}

// Changes that the check accepts, with what the caller then holds.
TEST_P(OrderSaveTest, AcceptedVariations) {
  struct Caso {
    const char* nome;
    Mudanca muda;
    std::function<void(const CZQDadosMM_Manutencao&)> depois;
  };
  const Caso casos[] = {
      {"requester of any branch", [](auto& c, auto&) { c.requisitante.SetFilial(0); c.Atualiza(c.requisitante); },
       nullptr},
      {"technician of any branch", [](auto& c, auto&) { c.tecnico.SetPonteiroFilial(0); c.Atualiza(c.tecnico); },
       nullptr},
      {"no technician, parameter off",
       [](auto& c, auto& o) {
         o.SetPonteiroTecnico(0);
         c.mestre.SetObrigarInformarTecnicoManutencao(false);
         c.Atualiza(c.mestre);
       },
       nullptr},
      {"no technician on an order from a production appointment",
       [](auto&, auto& o) { o.SetPonteiroTecnico(0); o.SetOrigemZProducaoApontamento(true); }, nullptr},
      {"other type without discipline: technician's disciplines not searched",
       [](auto& c, auto& o) {
         o.SetTipoManutencao(2);
         o.SetPonteiroDisciplina(0);
         c.tecnico.RemoveDisciplina(0);
         c.Atualiza(c.tecnico);
       },
       [](const CZQDadosMM_Manutencao& o) { EXPECT_EQ(o.GetDescricao(), "Troca de óleo"_cp); }},
      {"situation 0 taken from the status entry", [](auto&, auto& o) { o.SetSituacao(0); },
       [](const CZQDadosMM_Manutencao& o) { EXPECT_EQ(o.GetSituacao(), 8); }},
      {"no appointments, parameter off",
       [](auto& c, auto& o) {
         o.RemoveApontamento(0);
         c.mestre.SetObrigarApontamentoManutencao(false);
         c.Atualiza(c.mestre);
       },
       nullptr},
      {"under way with an appointment",
       [](auto&, auto& o) {
         o.SetSituacao(4);
         o.SetDataHoraFim(REG_ZQDMAHMSUTC{});
       },
       nullptr},
      {"no material nor equipment lines: integration not asked",
       [](auto& c, auto& o) {
         o.RemoveMaterial(0);
         o.RemoveEquipamento(0);
         c.filial.SetMesBloqueioIntegracao(REG_ZQMA::DeMesAno(3, 2024));
         c.Atualiza(c.filial);
       },
       nullptr},
      {"service lines are not examined for kits",
       [](auto& c, auto& o) {
         c.produto.SetKit(1);
         c.Atualiza(c.produto);
         o.RemoveMaterial(0);
         o.RemoveEquipamento(0);
         o.GetRefServico(0).SetProdutoServico(_REG_POSICAO_PRODUTOPS{c.produto.GetPonteiro(), 0, 0, 0});
       },
       nullptr},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.c.ordem;
    caso.muda(m.c, o);
    EXPECT_EQ(m.Salva(o), "");
    if (caso.depois) caso.depois(o);
  }
}

TEST_P(OrderSaveTest, StoredOrderChangedMeanwhileIsRefusedFirst) {
  Mundo m(GetParam());
  CZQDadosMM_Manutencao gravada = m.c.Grava();
  struct Caso {
    const char* nome;
    std::uint64_t carimbo;
    const char* aviso;
  };
  const std::uint64_t original = gravada.GetDmaHmsGravacao().ullValor;
  const Caso casos[] = {
      {"same second", original, ""},
      {"differs above bit 37 only", original ^ (std::uint64_t{5} << 40), ""},
      {"one second later", original + 1, "28/3/85"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    CZQDadosMM_Manutencao o = gravada;
    o.SetDmaHmsGravacao(REG_ZQDMAHMSUTC{caso.carimbo});
    o.SetPonteiroRecurso(0);  // would give 50 if the check were reached
    EXPECT_EQ(m.Salva(o), *caso.aviso ? caso.aviso : "28/50/87");
    EXPECT_EQ(m.Leituras(), *caso.aviso ? "LeManutencao" : "LeManutencao LeMestre");
  }
}

TEST_P(OrderSaveTest, KeyNeitherEmptyNorValidIsNotReadAndNotNew) {
  Mundo m(GetParam());
  CZQDadosMM_Manutencao o = m.c.ordem;
  o.SetDmc(REG_ZQDMC::Monta(REG_ZQDMC::kTipoMes, REG_ZQDMC::kCampo12Limite, 1, REG_ZQMA::DeMesAno(3, 2024).usMa));
  o.SetPonteiroFilial(m.c.recurso.GetPonteiroFilial());
  EXPECT_EQ(m.Salva(o), "");
  EXPECT_EQ(m.Leituras().rfind(kMestre, 0), 0u) << m.Leituras();
  EXPECT_EQ(o.GetDescricao(), "Troca de óleo"_cp);  // not derived: not a new order
}

// Dates and times, limits first. Each row changes the valid order; the situation column is the
// order's situation (end and appointments cleared where the situation forbids them).
TEST_P(OrderSaveTest, DatesAndTimes) {
  struct Caso {
    const char* nome;
    unsigned char situacao;
    std::function<void(CZQDadosMM_Manutencao&)> muda;
    const char* aviso;
  };
  auto segundos = [](std::int64_t s) {
    REG_ZQDMAHMSUTC v;
    v.SetSegundos(s);
    return v;
  };
  const auto kAntes = DataHora(4, 3, 2024, 7, 59, 59);
  const auto kEmissao = DataHora(4, 3, 2024, 8, 0);
  const auto kInicio = DataHora(4, 3, 2024, 9, 0);
  const Caso casos[] = {
      {"emission empty", 8, [](auto& o) { o.SetDataHoraEmissao(REG_ZQDMAHMSUTC{}); }, "28/134/86"},
      {"emission on day 1", 8, [&](auto& o) { o.SetDataHoraEmissao(segundos(172799)); }, "28/134/86"},
      {"emission on the first valid day: goes on to the period", 8,
       [&](auto& o) { o.SetDataHoraEmissao(segundos(172800)); }, "28/130/86"},
      {"emission on the last valid second", 8, [&](auto& o) { o.SetDataHoraEmissao(segundos(90568627199)); },
       "28/130/86"},
      {"emission one second beyond", 8, [&](auto& o) { o.SetDataHoraEmissao(segundos(90568627200)); }, "28/134/86"},
      {"emission on the first day of the period's first month", 8,
       [](auto& o) { o.SetDataHoraEmissao(DataHora(1, 1, 2024, 0, 0)); o.SetDmaHmsPrevInicio({}); }, ""},
      {"planned start one second before emission", 8, [&](auto& o) { o.SetDmaHmsPrevInicio(kAntes); }, "28/135/93"},
      {"planned start at emission", 8, [&](auto& o) { o.SetDmaHmsPrevInicio(kEmissao); }, ""},
      {"planned start not filled in", 8, [](auto& o) { o.SetDmaHmsPrevInicio(REG_ZQDMAHMSUTC{1}); }, ""},
      {"under way without start", 4, [](auto& o) { o.SetDataHoraInicio({}); }, "28/136/100"},
      {"stopped without start", 32, [](auto& o) { o.SetDataHoraInicio({}); }, "28/136/100"},
      {"closed without start", 8, [](auto& o) { o.SetDataHoraInicio({}); }, "28/136/100"},
      {"closed with a new schedule", 8, [](auto& o) { o.SetDataHoraNovaProgramacao(DataHora(6, 3, 2024, 8, 0)); },
       "28/137/102"},
      {"rescheduled at emission", 64, [&](auto& o) { o.SetDataHoraNovaProgramacao(kEmissao); }, "28/138/102"},
      {"rescheduled at start", 64, [&](auto& o) { o.SetDataHoraNovaProgramacao(kInicio); }, "28/139/102"},
      {"rescheduled without start: only emission counts", 64,
       [&](auto& o) { o.SetDataHoraInicio({}); o.SetDataHoraNovaProgramacao(kInicio); }, ""},
      {"rescheduled into next year", 64, [](auto& o) { o.SetDataHoraNovaProgramacao(DataHora(2, 1, 2025, 8, 0)); },
       "28/130/86"},
      {"rescheduled one second after start", 64,
       [](auto& o) { o.SetDataHoraNovaProgramacao(DataHora(4, 3, 2024, 9, 0, 1)); }, ""},
      {"rescheduled without new schedule", 64, [](auto&) {}, "28/140/102"},
      {"closed without end", 8, [](auto& o) { o.SetDataHoraFim({}); }, "28/141/104"},
      {"closed, end raw value set but not filled in", 8, [](auto& o) { o.SetDataHoraFim(REG_ZQDMAHMSUTC{1}); },
       "28/141/104"},
      {"under way, end raw value set but not filled in", 4, [](auto& o) { o.SetDataHoraFim(REG_ZQDMAHMSUTC{1}); },
       "28/142/104"},
      {"under way, end with only an offset", 4,
       [](auto& o) { o.SetDataHoraFim(REG_ZQDMAHMSUTC{std::uint64_t{1} << 40}); }, "28/142/104"},
      {"closed, start one second after end", 8, [](auto& o) { o.SetDataHoraFim(DataHora(4, 3, 2024, 8, 59, 59)); },
       "28/143/104"},
      {"closed, start equal to end", 8, [&](auto& o) { o.SetDataHoraFim(kInicio); }, ""},
      {"closed, end next year", 8, [](auto& o) { o.SetDataHoraFim(DataHora(1, 1, 2025, 0, 0)); }, "28/130/86"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.c.ordem;
    o.SetSituacao(caso.situacao);
    if (caso.situacao != 8) o.SetDataHoraFim({});
    if (caso.situacao == 64) o.RemoveApontamento(0);
    caso.muda(o);
    EXPECT_EQ(m.Salva(o), caso.aviso);
  }
}

TEST_P(OrderSaveTest, IntegrationPeriodUsesTheClockAndTheOrdersBranch) {
  Mundo m(GetParam());
  m.c.filial.SetMesBloqueioIntegracao(REG_ZQMA::DeMesAno(3, 2024));  // the clock's month
  m.c.Atualiza(m.c.filial);
  CZQDadosMM_Manutencao o = m.c.ordem;
  EXPECT_EQ(m.Salva(o), "28/184/86");
  EXPECT_EQ(m.Leituras(), kEmissao + " LeBufferFilial");

  CZQRelogioGuarda abril(DataHora(1, 4, 2024, 0, 0));
  EXPECT_EQ(m.Salva(o), "");
}

TEST_P(OrderSaveTest, SituationZeroTakesTheStatusEntrysBase) {
  Mundo m(GetParam());
  m.c.situacao.SetSituacaoBase(64);
  m.c.Atualiza(m.c.situacao);
  CZQDadosMM_Manutencao o = m.c.ordem;
  o.SetSituacao(0);
  o.SetDataHoraFim({});
  EXPECT_EQ(m.Salva(o), "28/140/102");  // treated as rescheduled: a new schedule is required
  EXPECT_EQ(o.GetSituacao(), 0);        // refused: the caller's order keeps 0

  o.SetPonteiroSituacao(0);  // no entry: stays 0, a situation that may carry no appointment
  EXPECT_EQ(m.Salva(o), "28/155/99");
}

TEST_P(OrderSaveTest, TaskConfigurationFields) {
  struct Caso {
    const char* nome;
    Mudanca muda;
    const char* mensagem;  // "" when accepted
    const char* leituras;  // the reads from LeTarefa on
  };
  auto naLinha = [](std::function<void(CZQDadosBDD_Registro&)> f) {
    return [f](CenarioOrdem& c, CZQDadosMM_Manutencao& o) {
      CZQDadosBDD_Registro r = c.configuracao;
      f(r);
      o.GetRefTarefa(0).SetApontamentoTarefa(&r);
    };
  };
  const Caso casos[] = {
      {"record on the line is checked, not read again", naLinha([](auto&) {}), "", "LeTarefa LeProdutoEx LeProdutoEx"},
      {"mandatory field left empty on the line", naLinha([](auto& r) { r.GetRefCampos(0).SetValor(""); }),
       "Campo \"Pressão\" das Configurações da Tarefa LUB - Lubrificar deve ser informado."_cp, "LeTarefa"},
      {"mandatory but disabled field may stay empty",
       naLinha([](auto& r) { r.GetRefCampos(0).SetValor(""); r.GetRefCampos(0).SetDesabilitarCampo(true); }), "",
       "LeTarefa LeProdutoEx LeProdutoEx"},
      {"second field without description, counted from 1",
       naLinha([](auto& r) { r.GetRefCampos(1).SetTextoDescricao("  "); }),
       "2º campo das Configurações da Tarefa LUB - Lubrificar não possui descrição informada."_cp, "LeTarefa"},
      {"description checked before the value",
       naLinha([](auto& r) { r.GetRefCampos(0).SetTextoDescricao(""); r.GetRefCampos(0).SetValor(""); }),
       "1º campo das Configurações da Tarefa LUB - Lubrificar não possui descrição informada."_cp, "LeTarefa"},
      {"task without configuration: record removed",
       [](auto& c, auto& o) {
         c.tarefa.SetPonteiroInfPersonalizada(0);
         c.Atualiza(c.tarefa);
         CZQDadosBDD_Registro r;
         o.GetRefTarefa(0).SetApontamentoTarefa(&r);
       },
       "", "LeTarefa LeProdutoEx LeProdutoEx"},
      {"task not appointed: record removed",
       [](auto& c, auto& o) {
         c.tarefa.SetEfetuarApontTarefa(false);
         c.Atualiza(c.tarefa);
         o.GetRefTarefa(0).SetApontamentoTarefa(&c.configuracao);
       },
       "", "LeTarefa LeProdutoEx LeProdutoEx"},
      {"configuration of another activity: its not-found error is copied",
       [](auto& c, auto&) { c.configuracao.SetTipoAtividade(3); c.Atualiza(c.configuracao); }, "hr",
       "LeTarefa LeBDDConfiguracao"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    CZQDadosMM_Manutencao o = m.c.ordem;
    caso.muda(m.c, o);
    const CZQDadosMM_Manutencao antes = o;
    const std::string aviso = m.Salva(o);
    const std::string leituras = m.Leituras();
    EXPECT_EQ(leituras.substr(leituras.find("LeTarefa")), caso.leituras);
    if (std::string(caso.mensagem) == "hr") {
      EXPECT_EQ(aviso.rfind("hr=0X80F00001/0 ", 0), 0u) << aviso;
    } else if (*caso.mensagem) {
      EXPECT_EQ(aviso, "28/0/114");
      EXPECT_EQ(m.handler.GetMensagem(), caso.mensagem);
      EXPECT_TRUE(o == antes);
    } else {
      EXPECT_EQ(aviso, "");
      const bool temRegistro = o.GetRefTarefa(0).PossuiApontamentoTarefa();
      EXPECT_EQ(temRegistro, m.c.tarefa.GetEfetuarApontTarefa() && m.c.tarefa.GetPonteiroInfPersonalizada() != 0);
    }
  }
}

TEST_P(OrderSaveTest, OpenOrderLeavesTaskConfigurationAlone) {
  Mundo m(GetParam());
  CZQDadosMM_Manutencao o = m.c.ordem;
  o.SetSituacao(4);
  o.SetDataHoraFim({});
  CZQDadosBDD_Registro vazio;
  vazio.AdicionaCampos(CZQDadosBDD_Campo());  // would fail the field check
  o.GetRefTarefa(0).SetApontamentoTarefa(&vazio);
  EXPECT_EQ(m.Salva(o), "");
  EXPECT_EQ(m.Leituras().find("LeTarefa"), std::string::npos);
  EXPECT_TRUE(o.GetRefTarefa(0).PossuiApontamentoTarefa());
}

TEST_P(OrderSaveTest, KitsNameTheirLineAndItem) {
  struct Caso {
    const char* nome;
    bool equipamento;
    int linhaKit;
    const char* aviso;
  };
  const Caso casos[] = {
      {"second material line", false, 1, "28/112/115"},
      {"first equipment line", true, 0, "28/112/119"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    Mundo m(GetParam());
    CZQDadosDF_ProdutoEx kit = m.c.produto;
    kit.SetPonteiro(0);
    kit.SetKit(1);
    kit = m.empresa.Adiciona(kit);
    CZQDadosMM_Manutencao o = m.c.ordem;
    CZQDadosMM_ManutencaoComponente linha = o.GetRefMaterial(0);
    linha.SetProdutoServico(_REG_POSICAO_PRODUTOPS{kit.GetPonteiro(), 0, 0, 0});
    if (caso.equipamento) {
      o.GetRefEquipamento(0) = linha;
    } else {
      o.AdicionaMaterial(linha);
    }
    EXPECT_EQ(m.Salva(o), caso.aviso);
    EXPECT_EQ(m.handler.GetItem(), caso.linhaKit);
  }
}

TEST_P(OrderSaveTest, RecordOfAnotherClassOrNullAnswers162) {
  Mundo m(GetParam());
  CZQDadosMM_Tarefa tarefa;
  EXPECT_EQ(m.handler.TrataGravacao(&tarefa, nullptr), 0);
  EXPECT_EQ(Aviso(m.handler), "28/162/0");
  EXPECT_EQ(m.handler.TrataGravacao(nullptr, nullptr), 0);
  EXPECT_EQ(Aviso(m.handler), "28/162/0");
  EXPECT_EQ(m.handler.TrataExclusao(&tarefa, nullptr), 0);
  EXPECT_EQ(Aviso(m.handler), "28/162/0");
}

// Fails the 1st, 2nd, ... access call of a save until the save gets through. Every failure
// ends the save with the copied error (no field, except 86 where the movement period check names
// it and the line's field for a product read),
// the caller's order unchanged, and a trace line only for the traced reads.
TEST_P(OrderSaveTest, EveryFailurePointEndsInTheCopiedError) {
  struct Ponto {
    const char* operacao;
    long campo;
    const char* rastro;  // "file\tline" of the trace line, "" for none
  };
  const std::vector<Ponto> novo = {
      {"LeMestre", 0, ""},
      {"LeRecurso", 0, ""},
      {"LePlano", 0, ""},
      {"LeRecursoPlanoManutencao", 0, ""},
      {"LeRequisitante", 0, ""},
      {"LeTecnico", 0, ""},
      {"BuscaPonteirosTecnico", 0, ""},
      {"PossuiPermissao", 0, ""},
      {"LePeriodoContabil", 86, ""},
      {"LeBufferFilial", 0, "MMTrataDados\t215\t"},
      {"LePeriodoContabil", 0, "MMTrataDados\t225\t"},
      {"LePeriodoContabil", 86, ""},
      {"LeTarefa", 0, ""},
      {"LeBDDConfiguracao", 0, "MMTrataDadosManutencao\t1192\t"},
      {"LeProdutoEx", 115, "MMTrataDados\t113\t"},
      {"LeProdutoEx", 119, "MMTrataDados\t113\t"},
  };
  std::vector<Ponto> gravado = novo;
  gravado.insert(gravado.begin(), Ponto{"LeManutencao", 0, ""});
  gravado.insert(gravado.begin() + 8, Ponto{"LeSituacao", 0, ""});

  for (const bool ehGravado : {false, true}) {
    SCOPED_TRACE(ehGravado ? "stored order, situation from its status" : "new order");
    Mundo m(GetParam());
    CZQDadosMM_Manutencao entrada = m.c.ordem;
    if (ehGravado) {
      entrada = m.c.Grava();
      entrada.SetSituacao(0);
    }
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
      EXPECT_EQ(m.empresa.Falhas().Log().back(), p.operacao);
      EXPECT_EQ(r, 0);
      EXPECT_EQ(Aviso(m.handler), "hr=0X80F00003/" + std::to_string(p.campo) + " falha " + std::to_string(n));
      EXPECT_TRUE(o == entrada);
      const std::string rastro = zqteste::TodosLogErros(m.empresa).substr(antesLog);
      if (*p.rastro) {
        EXPECT_NE(rastro.find(p.rastro), std::string::npos) << rastro;
      } else {
        EXPECT_EQ(rastro, "");
      }
      if (std::string(p.operacao) == "LeBDDConfiguracao") {
        EXPECT_NE(rastro.find("CMMTrataDadosManutencao::ConsistirInfoPersonalizadaTarefa"), std::string::npos);
        EXPECT_NE(rastro.find("hr = GetAcessoEmpresarial()->LeBDDConfiguracao(BDD_ATV_MM_APONTAMENTO_TAREFA, "
                              "regKeyConfigTarefa, &dadosConfigInfoPers)\thr = 0X80F00003"),
                  std::string::npos)
            << rastro;
      }
    }
    EXPECT_EQ(n, pontos.size() + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, OrderSaveTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
