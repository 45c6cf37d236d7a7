#include "support/ArqManutencao.h"

#include <gtest/gtest.h>

#include "tests/support/Fixture.h"

namespace {

using A = CArqManutencao;

TEST(FileNamesTest, EveryValueOfTheNameTables) {
  const char* const kArquivos[] = {
      "",         "MMMESTRE", "MMVERSAO", "MMLOGC",   "MMLOGT",   "MMSITREG",  "MMDISMAN", "MMDMTXTO", "MMTECMAN",
      "MMTMDISC", "MMTMPOSE", "MMTMEMAI", "MMCPSCAB", "MMCPSTXT", "MMTRFCAB",  "MMTRFDSC", "MMTRFMAT", "MMTRFEQP",
      "MMTRFSVC", "MMTRFTCN", "MMTRFMTX", "MMTRFETX", "MMTRFSTX", "MMPLAMAN",  "MMPMTRFA", "MMPMALRT", "MMPMALTC",
      "MMPMALDT", "MMPMALME", "MMPMCOMP", "MMPLTXTO", "MMMN",     "MMMC",      "MMMF",     "MMMA",     "MMMNTTXTO",
      "MMTIPGAS", "MMLAGCAB", "MMLAGITE", "MMLAGTXT", "MMPRDMAN", ""};
  const char* const kExtensoes[] = {"", "dat", "tra", "his", ""};
  const char* const kVersoes[] = {"", "MMPMTXTO", "MMMD", "MMTD", "MMML", "MMCC", "MMMO", ""};
  for (int v = 0; v < 42; ++v) {
    SCOPED_TRACE(v);
    const auto arquivo = A::E_ARQUIVO_MANUTENCAO(v);
    EXPECT_STREQ(A::GetArqManutencao(arquivo), kArquivos[v]);
    for (int e = 0; e < 5; ++e) {
      const std::string nome =
          *kArquivos[v] ? std::string(kArquivos[v]) + (*kExtensoes[e] ? "." : "") + kExtensoes[e] : "";
      EXPECT_STREQ(A::GetArqManutencao(arquivo, A::E_EXTENSAO_ARQUIVO_MANUTENCAO(e)), nome.c_str());
      EXPECT_STREQ(A::GetExtManutencao(A::E_EXTENSAO_ARQUIVO_MANUTENCAO(e)), kExtensoes[e]);
    }
    EXPECT_STREQ(A::GetArqManutencaoVersao(A::E_ARQUIVO_MANUTENCAO_VERSAO(v)), v < 8 ? kVersoes[v] : "");
  }
}

TEST(FileNamesTest, JoiningAndMonthTexts) {
  const struct { const char *dir, *nome, *junto; } juntas[] = {
      {"", "\\X", "\\X"},         {"C:\\MM\\", "\\X", "C:\\MM\\X"}, {"C:\\MM", "X", "C:\\MM\\X"},
      {"C:\\MM\\", "X", "C:\\MM\\X"}, {"C:\\MM", "\\X", "C:\\MM\\X"},   {"/srv/A/", "X", "/srv/A/X"},
      {"/srv/A/", "/X", "/srv/A/X"},  {"C:\\MM", "", "C:\\MM\\"}};
  for (const auto& j : juntas) EXPECT_STREQ(A::JuntaDiretorio(j.dir, j.nome), j.junto) << j.dir << " + " << j.nome;

  const struct { int mes, ano, tipo; const char* texto; } meses[] = {
      {3, 2022, 0, "0322"}, {3, 2022, 1, "032022"}, {3, 2022, 2, "0322"}, {3, 2022, 3, "032022"}, {3, 2022, 4, "2203"},
      {3, 2022, 5, "202203"}, {12, 2000, 0, "1200"}, {12, 2000, 4, "0012"}, {1, 22, 1, "012022"}, {7, 99, 5, "199907"},
      {1, 1848, 5, "184801"}, {12, 4717, 3, "124717"}, {13, 2022, 0, ""}, {0, 2022, 1, ""}, {1, 101, 0, ""},
      {12, 1847, 5, ""}, {1, 4718, 5, ""}, {3, 2022, 6, ""}, {3, 2022, -1, ""}};
  for (const auto& m : meses) {
    SCOPED_TRACE(std::to_string(m.mes) + "/" + std::to_string(m.ano) + " tipo " + std::to_string(m.tipo));
    const auto tipo = static_cast<REG_ZQDMA::TIPO_DATA_DMA>(m.tipo);
    EXPECT_STREQ(A::MontaArquivo("C:\\MMMN", REG_ZQMA::DeMesAno(m.mes, m.ano), tipo),
                 (std::string("C:\\MMMN") + m.texto + ".dat").c_str());
  }
}

TEST(FileNamesTest, CompanyDirectoryAndMovementFiles) {
  zqteste::EmpresaTeste empresa;
  const std::string dir = empresa.Diretorio().string() + "/";
  EXPECT_STREQ(A::MontaArquivo(empresa.Nome(), "MMMESTRE.dat"), (dir + "MMMESTRE.dat").c_str());
  EXPECT_STREQ(A::MontaArquivo(empresa.Nome(), "MMMN", REG_ZQMA::DeMesAno(1, 2022), REG_ZQDMA::TIPO_DMA_DIA_MES_ANO2),
               (dir + "MMMN0122.dat").c_str());
  EXPECT_STREQ(A::MontaArquivo("EMPRESA_QUE_NAO_EXISTE", "MMMESTRE.dat"), "MMMESTRE.dat");
  CStringArray arquivos;
  arquivos.Add("A"), arquivos.Add("B");
  A::GetArquivosMovimentacao(arquivos);
  std::string todos;
  for (const CString& a : arquivos) todos += a.Str() + " ";
  EXPECT_EQ(todos, "A B MMMN MMMC MMMF MMMA MMMNTTXTO ");
}

}  // namespace
