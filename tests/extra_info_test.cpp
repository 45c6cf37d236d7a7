#include "support/MMRoraRezo.h"

#include <gtest/gtest.h>

#include "platform/access/ZQResultados.h"
#include "tests/support/Fixture.h"

namespace {

using zqteste::EmpresaTeste;

CZQDadosDF_IEVinculoDados Valor(IE_E_CAMPO id, const char* texto, std::vector<std::uint8_t> bytes = {}) {
  CZQDadosDF_IEVinculoDados v;
  v.SetId(id), v.SetTextoLivre(texto), v.SetBinaryData(std::move(bytes));
  return v;
}

// "1=a 3=b/2550": the values in order, with their bytes in hex.
template <class Lista>
std::string Texto(const Lista& valores) {
  std::string s;
  for (const auto& v : valores) {
    s.append(s.empty() ? "" : " ").append(std::to_string(v.GetId())).append("=").append(v.GetTextoLivre().Str());
    if (!v.GetBinaryData().empty()) s += "/";
    for (std::uint8_t b : v.GetBinaryData()) s += "0123456789abcdef"[b >> 4], s += "0123456789abcdef"[b & 15];
  }
  return s;
}

// Header 1: plans, active; header 2: resources, inactive. Plan 2 and 4 and resource 3 have values.
class ExtraInfoTest : public ::testing::TestWithParam<const char*> {
 protected:
  ExtraInfoTest() {
    Header(IE_PROCESSO_MM_PLANO, 0), Header(IE_PROCESSO_DF_RECURSO, 1);
    Vinculo(1, 2, {Valor(IE_E_CAMPO{1}, "Fornecedor"), Valor(IE_E_CAMPO{3}, "assinatura", {0x25, 0x50})});
    Vinculo(1, 4, {Valor(IE_E_CAMPO{2}, "velho")});
    Vinculo(2, 3, {Valor(IE_E_CAMPO{1}, "antigo")});
    EXPECT_EQ(rr.Inicializa(empresa.Nome(), 1, 1), 0);
  }
  void Header(IE_E_PROCESSO processo, std::uint8_t inativo) {
    CIEHeader h;
    h.SetProcesso(processo), h.SetDescricao("h"), h.SetInativo(inativo);
    empresa.Adiciona(h);
  }
  void Vinculo(std::uint32_t header, std::uint32_t chave, std::vector<CZQDadosDF_IEVinculoDados> valores) {
    CIEVinculo v;
    v.SetPosHeader(header), v.SetChaveOrigem(chave);
    for (const auto& valor : valores) v.AdicionaDados(valor);
    empresa.Adiciona(v);
  }
  // The values stored for the record under the header, through a connection of its own.
  std::string Guardado(std::uint32_t header, std::uint32_t chave) {
    CConexaoInfoExtras cnx;
    CIEVinculo v;
    EXPECT_EQ(cnx.Inicializa(empresa.Nome().c_str(), 1, 1) + cnx.BuscaVinculoByOrigem({header, chave}, v), 0);
    return Texto(v.GetListaDados());
  }
  EmpresaTeste empresa{GetParam()};
  CMMRoraRezo rr;
};

TEST_P(ExtraInfoTest, CopyWritesOnlyUnderAnActiveHeader) {
  struct Caso {
    const char* nome;
    IE_E_PROCESSO processo;
    unsigned long origem, destino;
    std::uint32_t headerDestino;
    const char* destinoDepois;
  };
  const Caso casos[] = {
      {"onto a record without values", IE_PROCESSO_MM_PLANO, 2, 7, 1, "1=Fornecedor 3=assinatura/2550"},
      {"replaces the target's values", IE_PROCESSO_MM_PLANO, 2, 4, 1, "1=Fornecedor 3=assinatura/2550"},
      {"from a record without values clears the target", IE_PROCESSO_MM_PLANO, 9, 4, 1, ""},
      {"inactive header: nothing written", IE_PROCESSO_DF_RECURSO, 3, 8, 2, ""},
      {"no header: nothing written", IE_PROCESSO_MM_TAREFA, 2, 10, 1, ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(rr.SetFlagProcesso(c.processo), 0);
    EXPECT_EQ(rr.CopiarRoraRezo(c.origem, c.destino), 0);
    EXPECT_EQ(Guardado(c.headerDestino, static_cast<std::uint32_t>(c.destino)), c.destinoDepois);
    EXPECT_EQ(Guardado(1, 2), "1=Fornecedor 3=assinatura/2550");
  }
  EXPECT_EQ(rr.SetFlagProcesso(IE_PROCESSO_MM_TAREFA), 0);
  EXPECT_EQ(rr.GetHeaderRoraRezo().GetPosicao(), 0u);
}

TEST_P(ExtraInfoTest, ReadHandsTheValuesWithKeyZeroAndNothingIsCalledWithoutHeader) {
  empresa.Falhas().Clear();
  EXPECT_EQ(rr.GravaRoraRezo(7) + rr.SetDadosRoraRezo(2) + rr.CopiarRoraRezo(2, 7), 0);
  EXPECT_EQ(empresa.Falhas().Calls(), 0);
  ASSERT_EQ(rr.SetFlagProcesso(IE_PROCESSO_MM_PLANO) + rr.SetDadosRoraRezo(2), 0);
  CZQDadosDF_IEVinculo dados;
  dados.SetChave(5), dados.AdicionaCampo(CZQDadosDF_IEVinculoCampo());
  rr.GetDadosRoraRezo(&dados);
  rr.GetDadosRoraRezo(nullptr);
  EXPECT_EQ(dados.GetChave(), 0u);
  EXPECT_EQ(dados.GetPosHeader(), 1u);
  EXPECT_EQ(Texto(dados.GetListaCampo()), "1=Fornecedor 3=assinatura/2550");
  EXPECT_EQ(rr.IEGetProcesso(), IE_PROCESSO_MM_PLANO);
}

// Each server call's failure is the operation's result and is traced at its line; a failed write
// writes nothing.
TEST_P(ExtraInfoTest, ServerFailuresAreReturnedAndTraced) {
  const std::pair<const char*, std::vector<const char*>> falhas[] = {
      {"BuscaPtrsIEHeader", {"\t68\t"}}, {"LeIEHeader", {"\t71\t"}},
      {"BuscaVinculoByOrigem", {"\t117\t"}}, {"GravaCamposVinculo", {"\t90\t", "\t102\t"}}};
  for (const auto& [operacao, linhas] : falhas) {
    SCOPED_TRACE(operacao);
    empresa.Falhas().Clear();
    empresa.Falhas().FailOperation(operacao, ZQ_E_MOTOR, "falha");
    const std::size_t antes = empresa.LogErros().size();
    long hr = rr.SetFlagProcesso(IE_PROCESSO_MM_PLANO);
    if (hr == 0) hr = rr.SetDadosRoraRezo(2);
    if (hr == 0) hr = rr.CopiarRoraRezo(2, 7);
    EXPECT_EQ(hr, ZQ_E_MOTOR);
    const std::string log = empresa.LogErros().substr(antes);
    for (const char* linha : linhas) EXPECT_NE(log.find(std::string("MMRoraRezo") + linha), std::string::npos) << log;
    empresa.Falhas().Clear();
    EXPECT_EQ(Guardado(1, 7), "");
  }
  // A copy whose source could not be read leaves the target's values as they were.
  const std::string alvo = Guardado(1, 4);
  ASSERT_NE(alvo, "");
  empresa.Falhas().FailOperation("BuscaVinculoByOrigem", ZQ_E_MOTOR, "falha");
  EXPECT_EQ(rr.CopiarRoraRezo(2, 4), ZQ_E_ARGUMENTO);
  empresa.Falhas().Clear();
  EXPECT_EQ(Guardado(1, 4), alvo);
  // The server's own refusals: an unknown header, a field id out of range; nothing written.
  CConexaoInfoExtras cnx;
  ASSERT_EQ(cnx.Inicializa(empresa.Nome().c_str(), 1, 1), 0);
  CIEVinculo v;
  v.SetPosHeader(9), v.SetChaveOrigem(7), v.AdicionaDados(Valor(IE_E_CAMPO{1}, "x"));
  EXPECT_EQ(cnx.GravaCamposVinculo(v), ZQ_E_NAO_ENCONTRADO);
  v.SetPosHeader(1), v.AdicionaDados(Valor(IE_E_CAMPO{100}, "y"));
  EXPECT_EQ(cnx.GravaCamposVinculo(v), ZQ_E_ARGUMENTO);
  EXPECT_EQ(Guardado(1, 7), "");
}

INSTANTIATE_TEST_SUITE_P(Engines, ExtraInfoTest, ::testing::Values("memoria", "sqlite"));

}  // namespace
