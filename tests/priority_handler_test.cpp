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
  PriorityHandlerTest() { EXPECT_EQ(handler.Inicializa(empresa.Nome(), 1, 1), 0); }
  EmpresaTeste empresa{GetParam()};
  CZQDadosMM_Prioridade alta = empresa.Adiciona(Prioridade("P1", "Alta", 90, 5000));
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
  auto gravada = [](CZQDadosMM_Prioridade p, const char* codigo, const char* descricao, std::uint64_t carimbo) {
    p.SetCodigo(codigo), p.SetDescricao(descricao), p.SetDmaHmsAtualizacao(REG_ZQDMAHMSUTC{carimbo});
    return p;
  };
  const auto q9 = empresa.Adiciona(Prioridade("Q9", "Outra", 1, 77));
  const Caso casos[] = {
      {"new, trimmed", Prioridade("  P2 \t", " Baixa  "), "", "P2", "Baixa"},
      {"new, code in use once trimmed", Prioridade(" P1 ", " x "), "28/10/1", "P1", " x "},
      {"new, prefix of a stored code is not in use", Prioridade("P", "x"), "", "P", "x"},
      {"code of blanks; description not looked at", Prioridade("   ", "  d  "), "28/1/1", "", "  d  "},
      {"description of blanks", Prioridade("P3", " \t "), "28/49/2", "P3", ""},
      {"base 100 accepted", Prioridade("P4", "d", 100), "", "P4", "d"},
      {"base 101 refused", Prioridade("P5", "d", 101), "28/176/3", "P5", "d"},
      {"stored, stamp unchanged", gravada(alta, " P1 ", " Alta ", 5000), "", "P1", "Alta"},
      {"stored, stamp differs above bit 37 only", gravada(alta, "P1", "Alta", 5000 | (7ull << 40)), "", "P1", "Alta"},
      {"stored, stamp differs: refused before trimming", gravada(alta, " P1 ", " Alta ", 5001), "28/3/1", " P1 ",
       " Alta "},
      {"stored, code of another priority not checked", gravada(q9, "P1", "Outra", 77), "", "P1", "Outra"},
  };
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

TEST_P(PriorityHandlerTest, DeleteAndOtherRecordsAnswer162) {
  CZQDadosMM_Disciplina disciplina;
  EXPECT_EQ(handler.TrataExclusao(&alta, nullptr) + handler.TrataGravacao(&disciplina, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/162/0");
  EXPECT_EQ(handler.TrataGravacao(nullptr, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/162/0");
}

// The stored priority's read is copied untraced, before trimming; the code search is traced,
// after trimming the code and before the description.
TEST_P(PriorityHandlerTest, FailedReadsAreCopied) {
  empresa.Falhas().FailOperation("LePrioridade", ZQ_E_MOTOR, "disco indisponivel");
  CZQDadosMM_Prioridade p = alta;
  p.SetCodigo(" P1 ");
  EXPECT_EQ(handler.TrataGravacao(&p, nullptr), 0);
  EXPECT_EQ(Aviso(handler) + "|" + p.GetCodigo().Str() + "|" + empresa.LogErros(),
            "hr=0X80F00003/1 disco indisponivel| P1 |");
  empresa.Falhas().Clear();
  empresa.Falhas().FailOperation("BuscaPonteirosPrioridade", ZQ_E_MOTOR, "tabela bloqueada");
  p = Prioridade(" P7 ", " Nova ");
  EXPECT_EQ(handler.TrataGravacao(&p, nullptr), 0);
  EXPECT_EQ(Aviso(handler) + "|" + (p.GetCodigo() + "|" + p.GetDescricao()).Str(),
            "hr=0X80F00003/1 tabela bloqueada|P7| Nova ");
  const std::string log = empresa.LogErros();
  for (const char* parte :
       {"CMMTrataDadosPrioridade::OnTrataGravacao", "MMTrataDadosPrioridade\t52\t",
        "hr = GetAcessoManutencao()->BuscaPonteirosPrioridade(dadosFiltro, aPonteiros)\thr = 0X80F00003"})
    EXPECT_NE(log.find(parte), std::string::npos) << parte << " in " << log;
}

// A save makes one access call, new or stored: its failure is copied, and failing a second changes nothing.
TEST_P(PriorityHandlerTest, EveryFailurePointEndsInTheCopiedError) {
  for (const bool gravada : {false, true})
    for (const long n : {1, 2}) {
      SCOPED_TRACE(testing::Message() << gravada << n);
      empresa.Falhas().Clear();
      empresa.Falhas().FailNth(n, ZQ_E_MOTOR, "falha");
      CZQDadosMM_Prioridade p = gravada ? alta : Prioridade("P8", "d");
      const int r = handler.TrataGravacao(&p, nullptr);
      EXPECT_EQ(std::to_string(r).append(" ").append(Aviso(handler)), n == 1 ? "0 hr=0X80F00003/1 falha" : "1 ");
      EXPECT_EQ(empresa.Falhas().Calls(), 1);
    }
  empresa.Falhas().Clear();
}

INSTANTIATE_TEST_SUITE_P(Engines, PriorityHandlerTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
