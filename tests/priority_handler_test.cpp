#include "registers/MMTrataDadosPrioridade.h"

#include <gtest/gtest.h>

#include "platform/access/ZQResultados.h"
#include "tests/support/Fixture.h"

namespace {

using zqteste::Aviso;
using zqteste::EmpresaTeste;

CZQDadosMM_Prioridade Prioridade(const char* codigo, const char* descricao, unsigned base = 10,
                                 std::uint64_t carimbo = 0) {
  CZQDadosMM_Prioridade p;
  p.SetCodigo(codigo);
  p.SetDescricao(descricao);
  p.SetPrioridadeBase(static_cast<std::uint8_t>(base));
  p.SetDmaHmsAtualizacao(REG_ZQDMAHMSUTC{carimbo});
  return p;
}

class PriorityHandlerTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    empresa = std::make_unique<EmpresaTeste>(GetParam());
    alta = empresa->Adiciona(Prioridade("P1", "Alta", 90, 5000));
    ASSERT_EQ(handler.Inicializa(empresa->Nome(), 1, 1), 0);
  }
  std::unique_ptr<EmpresaTeste> empresa;
  CZQDadosMM_Prioridade alta;
  CMMTrataDadosPrioridade handler;
};

TEST_P(PriorityHandlerTest, SaveRulesInOrder) {
  struct Caso {
    const char* nome;
    CZQDadosMM_Prioridade entrada;
    const char* aviso;
    const char* codigoDepois;
    const char* descricaoDepois;
  };
  auto gravada = [&](const char* codigo, const char* descricao, std::uint64_t carimbo) {
    auto p = Prioridade(codigo, descricao, 90, carimbo);
    p.SetPosicao(alta.GetPosicao());
    return p;
  };
  const Caso casos[] = {
      {"new, trimmed", Prioridade("  P2 \t", " Baixa  "), "", "P2", "Baixa"},
      {"new, code in use once trimmed", Prioridade(" P1 ", " x "), "28/10/1", "P1", " x "},
      {"new, prefix of a stored code is not in use", Prioridade("P", "x"), "", "P", "x"},
      {"code of blanks; description not looked at", Prioridade("   ", "  d  "), "28/1/1", "", "  d  "},
      {"description of blanks", Prioridade("P3", " \t "), "28/49/2", "P3", ""},
      {"base 100 accepted", Prioridade("P4", "d", 100), "", "P4", "d"},
      {"base 101 refused", Prioridade("P5", "d", 101), "28/176/3", "P5", "d"},
      {"base 255 refused", Prioridade("P5", "d", 255), "28/176/3", "P5", "d"},
      {"stored, stamp unchanged", gravada(" P1 ", " Alta ", 5000), "", "P1", "Alta"},
      {"stored, stamp differs above bit 37 only", gravada("P1", "Alta", 5000 | (7ull << 40)), "", "P1", "Alta"},
      {"stored, stamp differs: refused before trimming", gravada(" P1 ", " Alta ", 5001), "28/3/1", " P1 ", " Alta "},
      {"stored, new code is not checked for uniqueness", gravada("P1", "Alta", 5000), "", "P1", "Alta"},
  };
  empresa->Adiciona(Prioridade("Q9", "Outra"));
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    CZQDadosMM_Prioridade p = c.entrada;
    const int r = handler.TrataGravacao(&p, nullptr);
    EXPECT_EQ(Aviso(handler), c.aviso);
    EXPECT_EQ(r, *c.aviso ? 0 : 1);
    EXPECT_EQ(p.GetCodigo(), c.codigoDepois);
    EXPECT_EQ(p.GetDescricao(), c.descricaoDepois);
  }
}

TEST_P(PriorityHandlerTest, ChangingCodeToAnotherPrioritysCodeIsAccepted) {
  auto outra = empresa->Adiciona(Prioridade("Q9", "Outra", 1, 77));
  outra.SetCodigo("P1");
  EXPECT_EQ(handler.TrataGravacao(&outra, nullptr), 1) << Aviso(handler);
}

TEST_P(PriorityHandlerTest, DeleteAlwaysAnswers162) {
  EXPECT_EQ(handler.TrataExclusao(&alta, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/162/0");
}

TEST_P(PriorityHandlerTest, RecordThatIsNotAPriorityAnswers162) {
  CZQDadosMM_Disciplina disciplina;
  EXPECT_EQ(handler.TrataGravacao(&disciplina, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/162/0");
  EXPECT_EQ(handler.TrataGravacao(nullptr, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/162/0");
}

TEST_P(PriorityHandlerTest, FailedReadOfStoredPriorityIsCopiedNotTraced) {
  empresa->Falhas().FailOperation("LePrioridade", ZQ_E_MOTOR, "disco indisponivel");
  CZQDadosMM_Prioridade p = alta;
  p.SetCodigo(" P1 ");
  EXPECT_EQ(handler.TrataGravacao(&p, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "hr=0X80F00003/1 disco indisponivel");
  EXPECT_EQ(p.GetCodigo(), " P1 ");  // stopped before trimming
  EXPECT_EQ(empresa->LogErros(), "");
}

TEST_P(PriorityHandlerTest, FailedCodeSearchIsTracedThenCopied) {
  empresa->Falhas().FailOperation("BuscaPonteirosPrioridade", ZQ_E_MOTOR, "tabela bloqueada");
  CZQDadosMM_Prioridade p = Prioridade(" P7 ", " Nova ");
  EXPECT_EQ(handler.TrataGravacao(&p, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "hr=0X80F00003/1 tabela bloqueada");
  EXPECT_EQ(p.GetCodigo(), "P7");        // trimmed before the search
  EXPECT_EQ(p.GetDescricao(), " Nova ");  // not reached
  const std::string log = empresa->LogErros();
  EXPECT_NE(log.find("CMMTrataDadosPrioridade::OnTrataGravacao"), std::string::npos) << log;
  EXPECT_NE(log.find("MMTrataDadosPrioridade\t52\t"), std::string::npos) << log;
  EXPECT_NE(log.find("hr = GetAcessoManutencao()->BuscaPonteirosPrioridade(dadosFiltro, aPonteiros)\thr = 0X80F00003"),
            std::string::npos)
      << log;
}

// Fails the 1st, 2nd, ... access call of a save until the save runs without reaching the
// failure: every failure point must end in the copied error on field 1.
TEST_P(PriorityHandlerTest, EveryFailurePointEndsInTheCopiedError) {
  for (const bool gravada : {false, true}) {
    SCOPED_TRACE(gravada ? "stored priority" : "new priority");
    long pontos = 0;
    for (long n = 1;; ++n) {
      empresa->Falhas().Clear();
      empresa->Falhas().FailNth(n, ZQ_E_MOTOR, "falha " + std::to_string(n));
      CZQDadosMM_Prioridade p = gravada ? alta : Prioridade("P8", "d");
      const int r = handler.TrataGravacao(&p, nullptr);
      if (empresa->Falhas().Calls() < n) {
        EXPECT_EQ(r, 1) << Aviso(handler);
        break;
      }
      ++pontos;
      EXPECT_EQ(r, 0);
      EXPECT_EQ(Aviso(handler), "hr=0X80F00003/1 falha " + std::to_string(n));
    }
    EXPECT_EQ(pontos, 1);
  }
  empresa->Falhas().Clear();
}

INSTANTIATE_TEST_SUITE_P(Engines, PriorityHandlerTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
