#include "platform/records/RecordJson.h"

#include <gtest/gtest.h>

#include "platform/types/Cp1252.h"
#include "platform/records/ZQDadosMM_Prioridade.h"
#include "tests/support/RegistroTodos.h"

namespace {

using zqteste::Todos;

TEST(RecordJsonTest, WritesReadableForms) {
  Todos t;
  t.SetTexto("Manutenção €"_cp);
  t.SetAtivo(true);
  t.SetValor(tagCY{125000});
  t.SetData(REG_ZQDMA::DeDiaMesAno(29, 2, 2024));
  t.SetMes(REG_ZQMA::DeMesAno(12, 2026));
  t.SetMomento(REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(5, 12, 2026), 10, 5, 30, -10800));
  t.SetBytes({0x00, 0xAB, 0x10});
  EXPECT_EQ(zq::ParaJson(t).dump(),
            R"({"chave":0,"texto":"Manutenção €","ativo":true,"pequeno":0,"inteiro":0,"grande":0,"valor":12.5,)"
            R"("data":"2024-02-29","mes":"2026-12","momento":"2026-12-05T10:05:30-03:00","dmc":0,"bytes":"00ab10"})");
}

TEST(RecordJsonTest, RoundTripsEveryValueIncludingOddStoredOnes) {
  Todos t;
  t.SetChave(0xFFFFFFFF);
  t.SetTexto(CString(std::string("\x80\x81\xFF\x01z", 5)));
  t.SetInteiro(-2147483647 - 1);
  t.SetGrande(0xFFFFFFFFFFFFFFFFull);
  t.SetValor(tagCY{INT64_MIN});           // no double carries it: written as a decimal string
  t.SetData(REG_ZQDMA{1});                // not a valid date: written raw
  t.SetDmc(REG_ZQDMC{0x8000000000000001ull});
  t.SetBytes({0xFF, 0x00, 0x81});
  const auto comDeslocamento = [](std::int32_t d) {
    return REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(5, 3, 2024), 10, 0, 0, d);
  };
  REG_ZQDMAHMSUTC bitsAltos = comDeslocamento(37809);
  bitsAltos.ullValor |= std::uint64_t{0x11} << 56;
  const REG_ZQDMAHMSUTC momentos[] = {
      REG_ZQDMAHMSUTC{12345},                                  // not filled in: written raw
      bitsAltos,                                               // unused bits set: written raw
      comDeslocamento(REG_ZQDMAHMSUTC::kDeslocamentoMinimo),   // -36:24:32
      comDeslocamento(REG_ZQDMAHMSUTC::kDeslocamentoMaximo),
  };
  for (const auto& momento : momentos) {
    t.SetMomento(momento);
    Todos volta;
    const auto st = zq::DeJson(nlohmann::json::parse(zq::ParaJson(t).dump()), &volta);
    EXPECT_TRUE(st.ok() && volta == t) << st.message << " " << zq::ParaJson(t).dump();
  }
}

TEST(RecordJsonTest, BadInputIsRefusedNamingTheFieldAndChangesNothing) {
  const std::string longo(100, 'x');
  const std::pair<std::string, std::string> casos[] = {  // input, part of the message
      {R"({"texto":"A","desconhecido":1})", "desconhecido"},    {R"({")" + longo + R"(":1})", longo.substr(40) + "..."},
      {R"({"texto":"A","TEXTO":"B"})", "texto: campo repetido"}, {R"({"texto":5})", "texto"},
      {R"({"pequeno":256})", "pequeno"},  {R"({"pequeno":-1})", "pequeno"},  {R"({"pequeno":1.5})", "pequeno"},
      {R"({"pequeno":"3"})", "pequeno"},  {R"({"chave":4294967296})", "chave"},
      {R"({"grande":99999999999999999999})", "grande"},       {R"({"texto":"日本"})", "texto"},
      {R"({"texto":"A\u0000B"})", "texto: caractere nulo"},
      {R"({"valor":1.00001})", "valor: espera um valor decimal com até quatro casas"},
      {R"({"valor":"1.00001"})", "valor"}, {R"({"valor":1e-5})", "valor"}, {R"({"data":""})", "data: texto vazio"},
      {R"({"momento":""})", "momento"},    {R"({"momento":"2026-02-30T10:00:00"})", "momento"},
      {R"({"momento":"2026-02-20T10:00:00+99:00"})", "momento"}, {R"([1,2])", "objeto"},
      {R"({"bytes":"abc"})", "bytes: espera bytes em hexadecimal"}, {R"({"bytes":"0g"})", "bytes"},
  };
  Todos antes;
  antes.SetTexto("ORIGINAL");
  for (const auto& [json, trecho] : casos) {
    SCOPED_TRACE(json.substr(0, 60));
    Todos t = antes;
    const auto st = zq::DeJson(nlohmann::json::parse(json), &t);
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.message.find(zq::Utf8ToCp1252(trecho).value()), std::string::npos) << st.message;
    EXPECT_EQ(st.message.find(longo), std::string::npos);
    EXPECT_EQ(t, antes);
  }
}

TEST(RecordJsonTest, MembersLeftOutKeepTheirValuesAndNamesIgnoreCase) {
  CZQDadosMM_Prioridade p;
  p.SetDescricao("fica");
  const auto st = zq::DeJson(nlohmann::json::parse(R"({"registro":"prioridade","CODIGO":"X","valor":null})"), &p,
                             {"registro", "valor"});
  ASSERT_TRUE(st.ok()) << st.message;
  EXPECT_TRUE(p.GetCodigo() == "X" && p.GetDescricao() == "fica");
}

}  // namespace
