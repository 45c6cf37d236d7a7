#include "support/MMFuncoesComuns.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>

#include "platform/types/Cp1252.h"
#include "platform/records/ZQDadosMM_NomesManutencao.h"
#include "support/MMCampos.h"

namespace {

TEST(CommonLookupsTest, ReadFlagsAnswerEveryBitOfTheirMask) {
  const struct {
    const char* nome;
    bool (*faz)(unsigned short);
    unsigned short mascara;
  } casos[] = {
      {"Complemento", CMMFuncoesComuns::FazLeituraManutencaoComplemento, 0x0001},
      {"Descricao", CMMFuncoesComuns::FazLeituraManutencaoDescricao, 0x0002},
      {"Tarefa", CMMFuncoesComuns::FazLeituraManutencaoTarefa, 0x0004},
      {"Material", CMMFuncoesComuns::FazLeituraManutencaoMaterial, 0x0018},
      {"MaterialComplemento", CMMFuncoesComuns::FazLeituraManutencaoMaterialComplemento, 0x0010},
      {"Equipamento", CMMFuncoesComuns::FazLeituraManutencaoEquipamento, 0x0060},
      {"EquipamentoComplemento", CMMFuncoesComuns::FazLeituraManutencaoEquipamentoComplemento, 0x0040},
      {"Servico", CMMFuncoesComuns::FazLeituraManutencaoServico, 0x0180},
      {"ServicoComplemento", CMMFuncoesComuns::FazLeituraManutencaoServicoComplemento, 0x0100},
      {"Apontamento", CMMFuncoesComuns::FazLeituraManutencaoApontamento, 0x0600},
      {"ApontamentoObservacao", CMMFuncoesComuns::FazLeituraManutencaoApontamentoObservacao, 0x0400},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    EXPECT_FALSE(c.faz(0));
    EXPECT_TRUE(c.faz(0xFFFF));
    for (int bit = 0; bit < 16; ++bit) {
      const auto flags = static_cast<unsigned short>(1u << bit);
      EXPECT_EQ(c.faz(flags), (flags & c.mascara) != 0) << "bit " << bit;
      EXPECT_EQ(c.faz(static_cast<unsigned short>(~flags)), (~flags & c.mascara) != 0) << "all but bit " << bit;
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
  const struct {
    unsigned char tipo;
    long codigo, quantidade;
  } casos[] = {{0, 0, 0}, {1, 76, 77}, {2, 79, 80}, {3, 82, 83}, {4, 0, 0}, {255, 0, 0}};
  for (const auto& c : casos) {
    SCOPED_TRACE(static_cast<int>(c.tipo));
    EXPECT_EQ(CMMCampos::GetCampoTarefaComponenteCodigo(c.tipo), c.codigo);
    EXPECT_EQ(CMMCampos::GetCampoTarefaComponenteQuantidade(c.tipo), c.quantidade);
  }
}

// Rules search for situations by these names' values and refuse order types without a name, so
// every value the module uses must have one and nothing else may.
TEST(CommonLookupsTest, EveryKnownValueIsNamedAndOnlyThose) {
  std::map<int, std::string> situacoes = {
      {1, "Pendente"},   {2, "Aberta"},      {4, "Em execução"_cp}, {8, "Encerrada"},
      {16, "Cancelada"}, {32, "Paralisada"}, {64, "Reprogramada"},
  };
  std::map<int, std::string> tipos = {{1, "Preventiva"}, {2, "Corretiva"}, {3, "Preditiva"}, {4, "Melhoria"}};
  for (int v = 0; v < 256; ++v) {
    SCOPED_TRACE(v);
    const auto u = static_cast<unsigned char>(v);
    EXPECT_EQ(CMMFuncoesComuns::GetSituacaoManutencao(u), situacoes[v]);
    EXPECT_EQ(CMMFuncoesComuns::GetTipoManutencao(u), tipos[v]);
    ASSERT_NE(ZQDadosMM::Manutencao::GetNomeSituacao(u), nullptr);
    ASSERT_NE(ZQDadosMM::Manutencao::GetNomeTipo(u), nullptr);
  }
}

}  // namespace
