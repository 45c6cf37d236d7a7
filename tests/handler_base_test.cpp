#include "framework/MMTrataDados.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <tuple>
#include <fstream>
#include <vector>

#include "platform/system/ZQRegistro.h"
#include "registers/MMTrataDadosPrioridade.h"
#include "tests/support/Fixture.h"

namespace {

using zqteste::Aviso;

// The virtual operations keep their order in the primary table: hosts built against the suite
// call them by position. GCC encodes a virtual member pointer as 1 + the byte offset of its slot.
template <class PMF>
std::ptrdiff_t Slot(PMF pmf) {
  std::ptrdiff_t rep[2];
  static_assert(sizeof(PMF) == sizeof rep);
  std::memcpy(rep, &pmf, sizeof rep);
  return (rep[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

// A handler that accepts every save and keeps the base delete.
class Trata : public CMMTrataDados {
 public:
  using CMMTrataDados::CMMTrataDados;
  using CMMTrataDados::ValidaRegistroAtualizado;
  int chamadas = 0;
  static std::vector<std::ptrdiff_t> Slots() {
    return {Slot(&Trata::OnInicializa), Slot(&Trata::OnFinaliza), Slot(&Trata::OnSetMostrarMensagens),
            Slot(&Trata::OnLerParametros), Slot(&Trata::OnResetBuffer),
            Slot(&Trata::ForcarReinicializacaoBaseParaRotinas), Slot(&Trata::GetAcessoServidores),
            Slot(&Trata::FuncaoGenerica), Slot(&Trata::New_CZQAcessoServidores), Slot(&Trata::TrataGravacao),
            Slot(&Trata::TrataExclusao), Slot(&Trata::OnTrataGravacao), Slot(&Trata::OnTrataExclusao)};
  }

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados*, IZQTrataInconsistencia*) override {
    ++chamadas;
    return LimpaErro();
  }
};

// A failed initialisation is traced and leaves a handler that answers 161 without reaching the record.
TEST(HandlerBaseTest, UnknownCompanyFailsInitialisationIsTracedAndAnswers161) {
  const auto dir = zqteste::DiretorioTemporario("zqmm-pgms");
  CZQRegistro::Define(std::string(CZQRegistro::kRaiz) + "\\DF", "Path", dir.string());
  {
    Trata handler;
    EXPECT_NE(handler.Inicializa("EMPRESA_QUE_NAO_EXISTE", 1, 1), 0);
    EXPECT_TRUE(!handler.EstaInicializado() && !handler.GetMensagem().IsEmpty());
    CZQDadosMM_Prioridade prioridade;
    EXPECT_EQ(handler.TrataGravacao(&prioridade, nullptr), 0);
    EXPECT_EQ(Aviso(handler), "28/161/0");
    EXPECT_EQ(handler.TrataExclusao(nullptr, nullptr), 0);
    EXPECT_EQ(Aviso(handler), "28/161/0");
    EXPECT_EQ(handler.chamadas, 0);
  }
  ASSERT_NE(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
  std::ifstream in(std::filesystem::directory_iterator(dir)->path());  // the trace file, alone in its folder
  const std::string log(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(log.find("CMMTrataDados::OnInicializa"), std::string::npos) << log;
  EXPECT_NE(log.find("__super::OnInicializa()"), std::string::npos);
  CZQRegistro::Define(std::string(CZQRegistro::kRaiz) + "\\DF", "Path", "");
  std::filesystem::remove_all(dir);
}

TEST(HandlerBaseTest, UnsupportedOperationAnswers162WarningsClearAndFinalizaMayRepeat) {
  zqteste::EmpresaTeste empresa;
  Trata handler;
  ASSERT_EQ(handler.Inicializa(empresa.Nome(), 1, 1), 0);
  CZQDadosMM_Prioridade prioridade;
  EXPECT_EQ(handler.TrataExclusao(&prioridade, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/162/0");
  EXPECT_EQ(handler.TrataGravacao(&prioridade, nullptr), 1);
  EXPECT_EQ(Aviso(handler), "");
  for (int vez = 0; vez < 2; ++vez) EXPECT_EQ(handler.Finaliza(), 0);
  EXPECT_FALSE(handler.EstaInicializado());
  EXPECT_NE(handler.GetAcessoManutencao()->LePrioridade(1, &prioridade), 0);  // no released connection reached
}

TEST(HandlerBaseTest, ValidaRegistroAtualizadoComparesTheLow38Bits) {
  const std::tuple<std::uint64_t, std::uint64_t, const char*> casos[] = {  // stored, received, warning
      {1000, 1000 | (1ull << 38), ""}, {0x3FFFFFFFFFull, ~0ull, ""},  // only bits 38-63 differ
      {1000, 1001, "28/3/42"},         {0, 1ull << 37, "28/3/42"},    // bit 37, the sign of the seconds
  };
  Trata handler;
  for (const auto& [gravado, recebido, esperado] : casos) {
    SCOPED_TRACE(std::to_string(gravado) + " vs " + std::to_string(recebido));
    handler.SetAviso(MODULO_MM, 99, 9);  // cleared first
    handler.ValidaRegistroAtualizado(REG_ZQDMAHMSUTC{gravado}, REG_ZQDMAHMSUTC{recebido}, 42);
    EXPECT_EQ(Aviso(handler), esperado);
  }
}

TEST(HandlerBaseTest, PrimaryVirtualTableKeepsItsOrder) {
  const auto slots = Trata::Slots();
  for (std::size_t i = 1; i < slots.size(); ++i) EXPECT_LT(slots[i - 1], slots[i]) << "slot " << i;
  EXPECT_EQ(slots.front(), 2);  // right after GCC's two destructor entries
}

}  // namespace
