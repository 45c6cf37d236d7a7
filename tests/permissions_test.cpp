#include "integrity/MMControlePermissoes.h"

#include <gtest/gtest.h>

#include "platform/access/ZQResultados.h"
#include "tests/support/Fixture.h"

namespace {

using Tela = CMMControlePermissoes::MMControlePermissao;
using Concessoes = std::vector<std::pair<unsigned, unsigned>>;  // permission, module
const Concessoes kTodas = [] {
  Concessoes c;
  for (unsigned n = 1; n <= 46; ++n) c.insert(c.end(), {{n, 28}, {n, 3}});
  return c;
}();

// The flags set, as abbreviations in declared order: "INC ALT CON".
std::string Flags(const CMMDadosPermissaoUsuario& d) {
  std::string s;
  for (std::size_t i = 0; i < d.kQuantidade; ++i)
    if (std::get<std::int64_t>(d.GetValor(i))) s += std::string(s.empty() ? "" : " ") + d.GetDescricao(i).sigla;
  return s;
}

// Stores user `usuario` holding `concessoes` and initialises the routine for them.
void Usuario(zqteste::EmpresaTeste& empresa, unsigned usuario, const Concessoes& concessoes, CMMControlePermissoes& c) {
  CZQDadosDF_Usuario u;
  u.SetNumero(usuario);
  empresa.Adiciona(u);
  for (auto [numero, modulo] : concessoes) {
    CZQDadosDF_PermissaoUsuario p;
    p.SetUsuario(usuario), p.SetModulo(modulo), p.SetPermissao(numero);
    empresa.Adiciona(p);
  }
  ASSERT_EQ(c.Inicializa(empresa.Nome().c_str(), static_cast<unsigned short>(usuario), 1), 0);
}

TEST(PermissionsTest, ScreenRowsGiveTheirFlagsOnly) {
  const struct { int tela; Concessoes concessoes; const char* flags; } linhas[] = {
      {5, {{28, 28}, {27, 28}}, "INC ALT CON"}, {11, {{13, 28}}, "ENC"}, {11, kTodas, "INC ALT CAN CON ENC"},
      {12, {{22, 28}, {24, 28}}, "INC ALT EXC"}, {13, {{35, 28}}, "CON"}, {8, {{33, 28}}, "CON"},
      {2, kTodas, "INC ALT CON"},  // registers never fill delete
      {10, {{45, 28}}, "INC ALT"}, {1, {{20, 28}, {14, 28}}, "CFG"}, {14, {{14, 28}}, "CFG"},
      {20, {{29, 28}}, "EMI"}, {26, {{46, 28}, {46, 3}}, "EMI"}, {27, {{7, 3}}, "SLD"},
      {27, {{7, 28}}, ""},  // asks the stock module, not this one
      {28, {{31, 3}}, "SLF"}, {29, kTodas, "IDF"}, {0, kTodas, ""}, {30, kTodas, ""},
  };
  zqteste::EmpresaTeste empresa;
  unsigned usuario = 0;
  for (const auto& l : linhas) {
    SCOPED_TRACE(l.tela);
    CMMControlePermissoes controle;
    Usuario(empresa, ++usuario, l.concessoes, controle);
    CMMDadosPermissaoUsuario d;
    d.SetTemPermissaoAgrupar(1).SetTemPermissaoExcluir(1);  // left over from a previous screen
    EXPECT_EQ(controle.GetPermissoes(static_cast<Tela>(l.tela), &d), *l.flags ? 1 : 0);
    EXPECT_EQ(Flags(d), l.flags);
    EXPECT_EQ(controle.GetPermissoes(static_cast<Tela>(l.tela), nullptr), *l.flags ? 1 : 0);
    EXPECT_EQ(zqteste::Aviso(controle), "");
  }
}

// Failing the n-th read clears exactly the n-th flag of the call order; the rest is still asked
// and the error survives the later successful reads.
TEST(PermissionsTest, FailedReadClearsOnlyItsFlagInCallOrder) {
  const struct { int tela; std::vector<std::string> ordem; } linhas[] = {
      {11, {"INC", "ALT", "CON", "CAN", "ENC"}}, {12, {"INC", "ALT", "CON", "EXC"}}, {7, {"INC", "ALT", "CON"}}};
  zqteste::EmpresaTeste empresa;
  CMMControlePermissoes controle;
  Usuario(empresa, 1, kTodas, controle);
  for (const auto& l : linhas) {
    for (std::size_t n = 1; n <= l.ordem.size(); ++n) {
      SCOPED_TRACE(std::to_string(l.tela) + " read " + std::to_string(n));
      empresa.Falhas().Clear();
      empresa.Falhas().FailNth(static_cast<long>(n), ZQ_E_MOTOR, "disco cheio");
      CMMDadosPermissaoUsuario d;
      EXPECT_EQ(controle.GetPermissoes(static_cast<Tela>(l.tela), &d), 1);
      EXPECT_EQ(empresa.Falhas().Calls(), static_cast<long>(l.ordem.size()));
      EXPECT_EQ(Flags(d).find(l.ordem[n - 1]), std::string::npos) << Flags(d);
      EXPECT_EQ(Flags(d).size(), 4 * l.ordem.size() - 5) << Flags(d);
      EXPECT_EQ(controle.GetHR(), ZQ_E_MOTOR);
    }
  }
}

TEST(PermissionsTest, UninitialisedOrUnknownUserGrantsNothing) {
  zqteste::EmpresaTeste empresa;
  CMMControlePermissoes controle;
  CMMDadosPermissaoUsuario d;
  d.SetTemPermissaoConsultar(1);
  EXPECT_EQ(controle.GetPermissoes(Tela::MM_TELA_CADASTRO_4, &d), 0);
  EXPECT_EQ(Flags(d) + zqteste::Aviso(controle), "");
  ASSERT_EQ(controle.Inicializa(empresa.Nome().c_str(), 9, 1), 0);  // no user 9
  EXPECT_EQ(controle.GetPermissoes(Tela::MM_TELA_CADASTRO_4, &d), 0);
  EXPECT_EQ(controle.GetHR(), ZQ_E_NAO_ENCONTRADO);
  EXPECT_NE(zqteste::Aviso(controle).find("9"), std::string::npos) << zqteste::Aviso(controle);
}

}  // namespace
