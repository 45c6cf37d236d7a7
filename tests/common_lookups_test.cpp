#include "support/MMFuncoesComuns.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>
#include <tuple>

#include "platform/types/Cp1252.h"
#include "platform/records/ZQDadosMM_NomesManutencao.h"
#include "support/MMCampos.h"

namespace {

TEST(CommonLookupsTest, ReadFlagsAnswerEveryBitOfTheirMask) {
#define ZQ_LEITURA(nome, mascara) {#nome, CMMFuncoesComuns::FazLeituraManutencao##nome, mascara}
  const std::tuple<const char*, bool (*)(unsigned short), unsigned short> casos[] = {
      ZQ_LEITURA(Complemento, 0x0001), ZQ_LEITURA(Descricao, 0x0002), ZQ_LEITURA(Tarefa, 0x0004),
      ZQ_LEITURA(Material, 0x0018), ZQ_LEITURA(MaterialComplemento, 0x0010), ZQ_LEITURA(Equipamento, 0x0060),
      ZQ_LEITURA(EquipamentoComplemento, 0x0040), ZQ_LEITURA(Servico, 0x0180), ZQ_LEITURA(ServicoComplemento, 0x0100),
      ZQ_LEITURA(Apontamento, 0x0600), ZQ_LEITURA(ApontamentoObservacao, 0x0400),
  };
#undef ZQ_LEITURA
  for (const auto& [nome, faz, mascara] : casos) {
    SCOPED_TRACE(nome);
    EXPECT_FALSE(faz(0));
    for (int bit = 0; bit < 16; ++bit) {
      const auto flags = static_cast<unsigned short>(1u << bit);
      EXPECT_EQ(faz(flags), (flags & mascara) != 0) << "bit " << bit;
      EXPECT_EQ(faz(static_cast<unsigned short>(~flags)), (~flags & mascara) != 0) << "all but bit " << bit;
    }
  }
}

TEST(CommonLookupsTest, AlertTimeUnits) {
  const char* const esperado[] = {"", "Dia(s)", "Hora(s)", "Minuto(s)", "", ""};
  for (unsigned u = 0; u < std::size(esperado); ++u)
    EXPECT_EQ(CMMFuncoesComuns::GetTempoAlertaPlano(static_cast<unsigned char>(u)), esperado[u]) << u;
  EXPECT_EQ(CMMFuncoesComuns::GetTempoAlertaPlano(255), "");
}

TEST(CommonLookupsTest, TaskComponentFieldsByType) {
  const std::tuple<unsigned char, long, long> casos[] = {{0, 0, 0}, {1, 76, 77}, {2, 79, 80}, {3, 82, 83}, {4, 0, 0}};
  for (const auto& [tipo, codigo, quantidade] : casos) {
    EXPECT_EQ(CMMCampos::GetCampoTarefaComponenteCodigo(tipo), codigo) << int{tipo};
    EXPECT_EQ(CMMCampos::GetCampoTarefaComponenteQuantidade(tipo), quantidade) << int{tipo};
  }
}

// Rules search situations by these values and refuse unnamed order types: exactly these have names.
TEST(CommonLookupsTest, EveryKnownValueIsNamedAndOnlyThose) {
  std::map<int, std::string> situacoes = {{1, "Pendente"}, {2, "Aberta"}, {4, "Em execução"_cp}, {8, "Encerrada"},
                                          {16, "Cancelada"}, {32, "Paralisada"}, {64, "Reprogramada"}};
  std::map<int, std::string> tipos = {{1, "Preventiva"}, {2, "Corretiva"}, {3, "Preditiva"}, {4, "Melhoria"}};
  for (int v = 0; v < 256; ++v) {
    const auto u = static_cast<unsigned char>(v);
    EXPECT_EQ(CMMFuncoesComuns::GetSituacaoManutencao(u), situacoes[v]) << v;
    EXPECT_EQ(CMMFuncoesComuns::GetTipoManutencao(u), tipos[v]) << v;
    ASSERT_TRUE(ZQDadosMM::Manutencao::GetNomeSituacao(u) && ZQDadosMM::Manutencao::GetNomeTipo(u)) << v;
  }
}

}  // namespace
