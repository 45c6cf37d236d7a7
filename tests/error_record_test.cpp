#include "platform/records/ZQDadosDF_Erro.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "platform/types/Cp1252.h"
#include "platform/system/ZQMensagens.h"
#include "platform/system/ZQRegistro.h"
#include "tests/support/Fixture.h"

namespace {

using Arg = CZQDadosDF_Erro::Argumento;

Arg N(long long v) { return Arg{true, v, {}}; }
Arg T(const char* s) { return Arg{false, 0, s}; }

TEST(ErrorRecordTest, CatalogueConversionsTakeTheArgumentsSafely) {
  struct Caso {
    const char* texto;
    std::vector<Arg> args;
    const char* esperado;
  } casos[] = {
      {"Situação %s - %s inativa", {T("01"), T("Aberta")}, "Situação 01 - Aberta inativa"},
      {"%d itens, %5.2f%%", {N(3), N(7)}, "3 itens,  7.00%"},
      {"%ld/%lu/%x", {N(-4), N(5), N(255)}, "-4/5/ff"},
      {"%s recebe número", {N(42)}, "42 recebe número"},
      {"%d recebe texto", {T("abc")}, "abc recebe texto"},
      {"falta %s e %s", {T("um")}, "falta um e "},
      {"sobra %s", {T("um"), T("dois")}, "sobra um"},
      {"largura [%5s]", {T("ab")}, "largura [   ab]"},
      {"termina em %", {T("x")}, "termina em %"},
      {"sem conversões", {}, "sem conversões"},
      {"%n não escreve", {N(1)}, "1 não escreve"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.texto);
    EXPECT_EQ(CZQDadosDF_Erro::Formata(c.texto, c.args), c.esperado);
  }
}

// What a handler relies on when it copies an error or starts a new one.
TEST(ErrorRecordTest, CopiesAndNewErrors) {
  CZQDadosDF_Erro e, copia;
  e.SetAviso(ZQ_MODULO_MM, 10, 1).SetItem(7);
  copia.SetErro(&e).SetCodigoCampo(5);
  EXPECT_EQ(std::tuple(copia.GetTipoErro(), copia.GetCodigoErro(), copia.GetCodigoCampo(), copia.GetItem()),
            std::tuple(ZQ_TIPO_ERRO_AVISO, 10L, 5L, 7));
  copia.SetErro(static_cast<const CZQDadosDF_Erro*>(nullptr));
  EXPECT_TRUE(copia.EhErroNenhum());
  e.SetErro(-5, 2, 0, "falhou %d", 3);
  EXPECT_EQ(std::tuple(e.GetTipoErro(), e.GetHR(), e.GetMensagem().Str(), e.GetCodigoCampo()),
            std::tuple(ZQ_TIPO_ERRO_HR, -5L, std::string("falhou 3"), 0L));  // a new error starts without a field
  e.SetAvisoPersonalizado(ZQ_MODULO_MM, 9, "Texto %s %d", "livre", 2);
  EXPECT_EQ(std::tuple(e.GetCodigoErro(), e.GetCodigoCampo(), e.GetMensagem().Str()),
            std::tuple(0L, 9L, std::string("Texto livre 2")));
  e.LimpaErro();
  EXPECT_EQ(e, CZQDadosDF_Erro());
}

TEST(ErrorRecordTest, MessagesComeFromTheModulesFile) {
  const auto dir = zqteste::DiretorioTemporario("zqmm-mens");
  {
    std::ofstream f(dir / "ZQMMMens.txt", std::ios::binary);
    f << "00003   Alterado por outro usu\xE1rio.\\nLeia de novo.\\n\r\n"
      << "146     Situa\xE7\xE3o %s - %s inativa.\n"
      << "  161   come\xE7o em espa\xE7o\n"
      << "00010\n";
  }
  CZQRegistro::Define(CZQRegistro::kRaiz, "Mensagens", dir.string());
  CZQDadosDF_Erro e;
  EXPECT_EQ(e.SetAviso(ZQ_MODULO_MM, 3, 1).GetMensagem(), "Alterado por outro usuário.\nLeia de novo."_cp);
  EXPECT_EQ(e.SetAvisoPersonalizado(ZQ_MODULO_MM, 85, 146, CString("01"), "Parada").GetMensagem(),
            "Situação 01 - Parada inativa."_cp);
  EXPECT_EQ(*CZQMensagens::Texto(ZQ_MODULO_MM, 161), "come\xE7o em espa\xE7o");  // atoi skips the blanks
  EXPECT_EQ(*CZQMensagens::Texto(ZQ_MODULO_MM, 10), "");
  EXPECT_EQ(*CZQMensagens::Texto(ZQ_MODULO_MM, 99), "");
  EXPECT_FALSE(CZQMensagens::Texto(ZQ_MODULO_ES, 1).has_value());  // no file for the module
  // A message without text still reads as something a person can act on.
  EXPECT_NE(e.SetAviso(ZQ_MODULO_MM, 99, 0).GetMensagem().Find("99"), -1);
  CZQRegistro::Define(CZQRegistro::kRaiz, "Mensagens", ZQ_MENSAGENS_DIR);
  std::filesystem::remove_all(dir);
}

TEST(ErrorRecordTest, ShippedCatalogueHasTheHandlersMessages) {
  CZQRegistro::Define(CZQRegistro::kRaiz, "Mensagens", ZQ_MENSAGENS_DIR);
  for (long n : {1, 3, 10, 49, 161, 162, 176}) {
    SCOPED_TRACE(n);
    const auto texto = CZQMensagens::Texto(ZQ_MODULO_MM, n);
    ASSERT_TRUE(texto.has_value());
    EXPECT_FALSE(texto->empty());
  }
}

}  // namespace
