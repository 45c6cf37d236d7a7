#include "framework/MMTrataDados.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/system/ZQRegistro.h"
#include "registers/MMTrataDadosPrioridade.h"
#include "tests/support/Fixture.h"

namespace {

using zqteste::Aviso;
using zqteste::EmpresaTeste;

// A handler that accepts every save and keeps the base delete.
class TrataTudo : public CMMTrataDados {
 public:
  using CMMTrataDados::CMMTrataDados;
  using CMMTrataDados::ValidaRegistroAtualizado;
  int chamadas = 0;

 protected:
  CZQDadosDF_Erro& OnTrataGravacao(TZQBaseParaDados*, IZQTrataInconsistencia*) override {
    ++chamadas;
    return LimpaErro();
  }
};

TEST(HandlerBaseTest, UninitialisedHandlerAnswers161WithoutLookingAtTheRecord) {
  TrataTudo handler;
  CZQDadosMM_Prioridade prioridade;
  EXPECT_EQ(handler.TrataGravacao(&prioridade, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/161/0");
  EXPECT_EQ(handler.TrataExclusao(nullptr, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/161/0");
  EXPECT_EQ(handler.chamadas, 0);
}

TEST(HandlerBaseTest, UnsupportedOperationAnswers162AndWarningsDoNotSurviveTheNextCall) {
  EmpresaTeste empresa;
  TrataTudo handler;
  ASSERT_EQ(handler.Inicializa(empresa.Nome(), 1, 1), 0);
  CZQDadosMM_Prioridade prioridade;
  EXPECT_EQ(handler.TrataExclusao(&prioridade, nullptr), 0);
  EXPECT_EQ(Aviso(handler), "28/162/0");
  EXPECT_EQ(handler.TrataGravacao(&prioridade, nullptr), 1);
  EXPECT_EQ(Aviso(handler), "");
}

TEST(HandlerBaseTest, UnknownCompanyFailsInitialisationAndIsTraced) {
  const auto dir = zqteste::DiretorioTemporario("zqmm-pgms");
  CZQRegistro::Define(std::string(CZQRegistro::kRaiz) + "\\DF", "Path", dir.string());
  {
    TrataTudo handler;
    const long hr = handler.Inicializa("EMPRESA_QUE_NAO_EXISTE", 1, 1);
    EXPECT_NE(hr, 0);
    EXPECT_FALSE(handler.EstaInicializado());
    EXPECT_FALSE(handler.GetMensagem().IsEmpty());
    EXPECT_EQ(handler.TrataGravacao(nullptr, nullptr), 0);
    EXPECT_EQ(Aviso(handler), "28/161/0");
  }
  std::string log;
  for (const auto& f : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(f.path());
    log.assign(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_NE(log.find("CMMTrataDados::OnInicializa"), std::string::npos) << log;
  EXPECT_NE(log.find("__super::OnInicializa()"), std::string::npos);
  CZQRegistro::Define(std::string(CZQRegistro::kRaiz) + "\\DF", "Path", "");
  std::filesystem::remove_all(dir);
}

TEST(HandlerBaseTest, FinalizaIsHarmlessWhenRepeated) {
  EmpresaTeste empresa;
  TrataTudo handler;
  ASSERT_EQ(handler.Inicializa(empresa.Nome(), 1, 1), 0);
  EXPECT_EQ(handler.Finaliza(), 0);
  EXPECT_EQ(handler.Finaliza(), 0);
  EXPECT_FALSE(handler.EstaInicializado());
  // Access after Finaliza fails cleanly instead of reaching a released connection.
  CZQDadosMM_Prioridade p;
  EXPECT_NE(handler.GetAcessoManutencao()->LePrioridade(1, &p), 0);
}

TEST(HandlerBaseTest, ValidaRegistroAtualizadoComparesTheLow38Bits) {
  struct Caso {
    std::uint64_t gravado, recebido;
    const char* esperado;
  } casos[] = {
      {1000, 1000, ""},
      {1000, 1000 | (1ull << 38), ""},                   // offset bits differ
      {0x3FFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull, ""},      // only bits 38-63 differ
      {1000, 1001, "28/3/42"},                           // bit 0
      {0, 1ull << 37, "28/3/42"},                        // bit 37, the sign of the seconds
  };
  TrataTudo handler;
  for (const auto& c : casos) {
    SCOPED_TRACE(std::to_string(c.gravado) + " vs " + std::to_string(c.recebido));
    handler.SetAviso(MODULO_MM, 99, 9);  // cleared first
    handler.ValidaRegistroAtualizado(REG_ZQDMAHMSUTC{c.gravado}, REG_ZQDMAHMSUTC{c.recebido}, 42);
    EXPECT_EQ(Aviso(handler), c.esperado);
  }
}

// The virtual operations keep their order in the primary table: hosts built against the suite
// call them by position. GCC encodes a virtual member pointer as 1 + the byte offset of its slot.
template <class PMF>
std::ptrdiff_t Slot(PMF pmf) {
  struct Rep {
    std::ptrdiff_t ptr, adj;
  } rep;
  static_assert(sizeof(PMF) == sizeof(Rep));
  std::memcpy(&rep, &pmf, sizeof rep);
  return (rep.ptr - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

class Exposto : public CMMTrataDados {
 public:
  static std::vector<std::ptrdiff_t> Slots() {
    return {Slot(&Exposto::OnInicializa),
            Slot(&Exposto::OnFinaliza),
            Slot(&Exposto::OnSetMostrarMensagens),
            Slot(&Exposto::OnLerParametros),
            Slot(&Exposto::OnResetBuffer),
            Slot(&Exposto::ForcarReinicializacaoBaseParaRotinas),
            Slot(&Exposto::GetAcessoServidores),
            Slot(&Exposto::FuncaoGenerica),
            Slot(&Exposto::New_CZQAcessoServidores),
            Slot(&Exposto::TrataGravacao),
            Slot(&Exposto::TrataExclusao),
            Slot(&Exposto::OnTrataGravacao),
            Slot(&Exposto::OnTrataExclusao)};
  }
};

TEST(HandlerBaseTest, PrimaryVirtualTableKeepsItsOrder) {
  const auto slots = Exposto::Slots();
  for (std::size_t i = 1; i < slots.size(); ++i) EXPECT_LT(slots[i - 1], slots[i]) << "slot " << i;
  // Destructor entries come first (GCC has two), so OnInicializa follows them directly.
  EXPECT_EQ(slots.front(), 2);
}

}  // namespace
