#include <gtest/gtest.h>

#include "platform/records/ListaCodec.h"
#include "platform/records/RecordJson.h"
#include "platform/access/ZQAcessoEmpresarial.h"
#include "tests/support/Fixture.h"

namespace {

// Lists three levels deep (order, task, task settings, field), an empty child list and a product position.
CZQDadosMM_Manutencao OrdemCompleta() {
  CZQDadosMM_Manutencao o;
  const auto st = zq::DeJson(nlohmann::json::parse(R"({"descricao": "Troca", "listaTarefa": [{"tarefa": "Lubrificar",
      "listaApontamentoTarefa": [{"listaCampos": [{"textoDescricao": "Temperatura"}]}]}, {}], "listaMaterial":
      [{"produtoServico": {"ponteiro": 4000000000, "grade1": 1, "grade2": 2, "grade3": 65535}}]})"), &o);
  EXPECT_TRUE(st.ok() && o.GetRefTarefa(0).PossuiApontamentoTarefa()) << st.message;
  return o;
}

class RecordsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RecordsTest, OrderWithLinesRoundTripsThroughTheEngineAndJson) {
  zqteste::EmpresaTeste empresa(GetParam());
  const auto gravada = empresa.Adiciona(OrdemCompleta());
  CZQDadosMM_Manutencao lida, doJson;
  ASSERT_TRUE(empresa.Motor().Read(gravada.GetRegistro(), &lida).ok());
  EXPECT_EQ(lida, gravada);
  const auto st = zq::DeJson(nlohmann::json::parse(zq::ParaJson(lida).dump()), &doJson);
  EXPECT_TRUE(st.ok() && doJson == lida) << st.message;
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
  const auto& v2 = FilhoV2::SchemaEstatico();
  std::vector<std::unique_ptr<TZQBaseParaDados>> itens;
  ASSERT_TRUE(zq::DecodificaLista(bytes, v2, &itens) && itens.size() == 2);
  EXPECT_EQ(static_cast<FilhoV2&>(*itens[1]).GetNome(), "x\xFF");
  EXPECT_FALSE(static_cast<FilhoV2&>(*itens[1]).GetNovo());
  for (std::size_t corte = 1; corte < bytes.size(); ++corte)
    EXPECT_TRUE(!zq::DecodificaLista(bytes.substr(0, corte), v2, &itens) && itens.empty()) << corte;
  EXPECT_TRUE(!zq::DecodificaLista("lixo", v2, &itens) && zq::DecodificaLista("", v2, &itens) && itens.empty());
}

}  // namespace
