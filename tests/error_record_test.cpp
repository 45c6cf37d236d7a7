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
using zqteste::Aviso;

Arg N(long long v) { return Arg{true, v, {}}; }
Arg T(const char* s) { return Arg{false, 0, s}; }

TEST(ErrorRecordTest, CatalogueConversionsTakeTheArgumentsSafely) {
  const std::tuple<const char*, std::vector<Arg>, const char*> casos[] = {
      {"Situação %s - %s inativa", {T("01"), T("Aberta")}, "Situação 01 - Aberta inativa"},
      {"%d itens, %5.2f%%", {N(3), N(7)}, "3 itens,  7.00%"},  {"%ld/%lu/%x", {N(-4), N(5), N(255)}, "-4/5/ff"},
      {"%s recebe número", {N(42)}, "42 recebe número"},       {"%d recebe texto", {T("abc")}, "abc recebe texto"},
      {"falta %s e %s", {T("um")}, "falta um e "},             {"sobra %s", {T("um"), T("dois")}, "sobra um"},
      {"largura [%5s]", {T("ab")}, "largura [   ab]"},         {"termina em %", {T("x")}, "termina em %"},
      {"sem conversões", {}, "sem conversões"},                {"%n não escreve", {N(1)}, "1 não escreve"},
      {"[%111111s|%.1234d]", {T("ab"), N(5)}, "[ab|5]"},  // absurd widths are dropped
  };
  for (const auto& [texto, args, esperado] : casos) EXPECT_EQ(CZQDadosDF_Erro::Formata(texto, args), esperado) << texto;
}

// What a handler relies on when it copies an error or starts a new one.
TEST(ErrorRecordTest, CopiesAndNewErrors) {
  CZQDadosDF_Erro e, copia;
  e.SetAviso(ZQ_MODULO_MM, 10, 1).SetItem(7);
  copia.SetErro(&e).SetCodigoCampo(5);
  EXPECT_EQ(Aviso(copia) + " item " + std::to_string(copia.GetItem()), "28/10/5 item 7");
  EXPECT_TRUE(copia.SetErro(static_cast<const CZQDadosDF_Erro*>(nullptr)).EhErroNenhum());
  e.SetErro(-5, 2, 0, "falhou %d", 3);
  EXPECT_EQ(Aviso(e), "hr=0XFFFFFFFB/0 falhou 3");  // a new error starts without a field
  e.SetAvisoPersonalizado(ZQ_MODULO_MM, 9, "Texto %s %d", "livre", 2);
  EXPECT_EQ(Aviso(e) + " " + e.GetMensagem().Str(), "28/0/9 Texto livre 2");
  EXPECT_EQ(e.LimpaErro(), CZQDadosDF_Erro());
}

TEST(ErrorRecordTest, MessagesComeFromTheModulesFile) {
  const auto dir = zqteste::DiretorioTemporario("zqmm-mens");
  std::ofstream(dir / "ZQMMMens.txt", std::ios::binary)
      << "00003   Alterado por outro usu\xE1rio.\\nLeia de novo.\\n\r\n146     Situa\xE7\xE3o %s - %s inativa.\n"
      << "  161   come\xE7o em espa\xE7o\n00010\n";
  CZQRegistro::Define(CZQRegistro::kRaiz, "Mensagens", dir.string());
  CZQDadosDF_Erro e;
  EXPECT_EQ(e.SetAviso(ZQ_MODULO_MM, 3, 1).GetMensagem(), "Alterado por outro usuário.\nLeia de novo."_cp);
  EXPECT_EQ(e.SetAvisoPersonalizado(ZQ_MODULO_MM, 85, 146, CString("01"), "Parada").GetMensagem(),
            "Situação 01 - Parada inativa."_cp);
  // atoi skips the blanks; a number without text or not in the file reads empty; no file, no text.
  EXPECT_EQ(std::vector<std::string>({*CZQMensagens::Texto(ZQ_MODULO_MM, 161), *CZQMensagens::Texto(ZQ_MODULO_MM, 10),
                                      *CZQMensagens::Texto(ZQ_MODULO_MM, 99),
                                      CZQMensagens::Texto(ZQ_MODULO_ES, 1).value_or("none")}),
            std::vector<std::string>({"come\xE7o em espa\xE7o", "", "", "none"}));
  EXPECT_NE(e.SetAviso(ZQ_MODULO_MM, 99, 0).GetMensagem().Find("99"), -1);  // without text, still something to act on
  CZQRegistro::Define(CZQRegistro::kRaiz, "Mensagens", ZQ_MENSAGENS_DIR);
  for (long n : {1, 3, 10, 49, 161, 162, 176}) EXPECT_NE(CZQMensagens::Texto(ZQ_MODULO_MM, n).value_or(""), "") << n;
  std::filesystem::remove_all(dir);
}

}  // namespace
