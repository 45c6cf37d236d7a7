// Records with child lists and product positions: stored on every engine and in JSON, and the
// stored bytes of a list survive a change of the child's declaration.
#include <gtest/gtest.h>

#include "platform/records/ListaCodec.h"
#include "platform/records/RecordJson.h"
#include "platform/access/ZQAcessoEmpresarial.h"
#include "tests/support/Fixture.h"

namespace {

CZQDadosMM_Manutencao OrdemCompleta() {
  CZQDadosMM_Manutencao o;
  o.SetDmc(REG_ZQDMC{0x123456789ull});
  o.SetDescricao("Troca de rolamentos");
  CZQDadosMM_ManutencaoTarefa t;
  t.SetPonteiroTarefa(4);
  t.SetTarefa("Lubrificar");
  CZQDadosBDD_Registro config;
  CZQDadosBDD_Campo campo;
  campo.SetTextoDescricao("Temperatura");
  campo.SetCampoObrigatorio(true);
  config.AdicionaCampos(campo);
  t.SetApontamentoTarefa(&config);
  o.AdicionaTarefa(t);
  o.AdicionaTarefa(CZQDadosMM_ManutencaoTarefa());
  CZQDadosMM_ManutencaoComponente m;
  m.SetProdutoServico({4000000000u, 1, 2, 65535});
  m.SetQtdRequisitada(tagCY{25000});
  o.AdicionaMaterial(m);
  CZQDadosMM_ManutencaoApontamento a;
  a.SetPonteiroTecnico(9);
  o.AdicionaApontamento(a);
  return o;
}

class RecordsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RecordsTest, OrderWithLinesRoundTripsThroughTheEngineAndJson) {
  zqteste::EmpresaTeste empresa(GetParam());
  const auto gravada = empresa.Adiciona(OrdemCompleta());
  CZQDadosMM_Manutencao lida;
  ASSERT_TRUE(empresa.Motor().Read(gravada.GetRegistro(), &lida).ok());
  EXPECT_EQ(lida, gravada);
  EXPECT_TRUE(lida.GetRefTarefa(0).PossuiApontamentoTarefa());
  EXPECT_FALSE(lida.GetRefTarefa(1).PossuiApontamentoTarefa());
  EXPECT_EQ(lida.GetRefMaterial(0).GetProdutoServico().usGrade3, 65535);

  CZQDadosMM_Manutencao doJson;
  const auto st = zq::DeJson(nlohmann::json::parse(zq::ParaJson(lida).dump()), &doJson);
  ASSERT_TRUE(st.ok()) << st.message;
  EXPECT_EQ(doJson, lida);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsTest, ::testing::Values("memoria", "sqlite"));

#define ZQ_CAMPOS_FILHO_V1(F) F(Linha, std::uint32_t, zq::kKey) F(Nome, CString, 0) F(Velho, std::int32_t, 0)
#define ZQ_CAMPOS_FILHO_V2(F) F(Linha, std::uint32_t, zq::kKey) F(Novo, bool, 0) F(Nome, CString, 0)
class FilhoV1 : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(FilhoV1, "teste_filho", ZQ_CAMPOS_FILHO_V1)
};
class FilhoV2 : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(FilhoV2, "teste_filho", ZQ_CAMPOS_FILHO_V2)
};

TEST(RecordsCodecTest, FieldsMatchByNameAcrossDeclarationsAndBadBytesAreRefused) {
  FilhoV1 a;
  a.SetNome("x\xFF");
  a.SetVelho(-7);
  const std::string bytes = zq::CodificaLista(FilhoV1::SchemaEstatico(), {&a, &a});
  std::vector<std::unique_ptr<TZQBaseParaDados>> itens;
  ASSERT_TRUE(zq::DecodificaLista(bytes, FilhoV2::SchemaEstatico(), &itens));
  ASSERT_EQ(itens.size(), 2u);
  EXPECT_EQ(static_cast<FilhoV2&>(*itens[1]).GetNome(), "x\xFF");
  EXPECT_FALSE(static_cast<FilhoV2&>(*itens[1]).GetNovo());

  for (std::size_t corte = 1; corte < bytes.size(); ++corte) {
    SCOPED_TRACE(corte);
    EXPECT_FALSE(zq::DecodificaLista(bytes.substr(0, corte), FilhoV2::SchemaEstatico(), &itens));
    EXPECT_TRUE(itens.empty());
  }
  EXPECT_FALSE(zq::DecodificaLista("lixo", FilhoV2::SchemaEstatico(), &itens));
  EXPECT_TRUE(zq::DecodificaLista("", FilhoV2::SchemaEstatico(), &itens));
  EXPECT_TRUE(itens.empty());
}

}  // namespace
