// Register fixtures: one three-level tree stored for any tree register, table rows run through a
// handler, and the fault-injection walk of a save; each register's test is then its rows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/MMTrataDados.h"
#include "platform/access/ZQResultados.h"
#include "tests/support/Fixture.h"

namespace zqteste {

// The save stamp every fixture entry carries.
constexpr std::uint64_t kCarimbo = 5000;

template <class R>
void Carimba(R& r, std::uint64_t carimbo) {
  if constexpr (requires { r.SetDmaHmsGravacao(REG_ZQDMAHMSUTC{}); })
    r.SetDmaHmsGravacao(REG_ZQDMAHMSUTC{carimbo});
  else
    r.SetDmaHmsAtualizacao(REG_ZQDMAHMSUTC{carimbo});
}

// An entry of a tree register named "x": a custom field of destination 1, a task status, or an
// entry of a register with a name.
template <class R>
R Entrada(const char* codigo, std::uint32_t pai, std::uint8_t tipo) {
  R r;
  r.SetCodigo(codigo), r.SetTipoClassificacao(tipo);
  if constexpr (requires { r.SetPonteiroClasse(pai); })
    r.SetPonteiroClasse(pai), r.SetDestinacao(1);
  else
    r.SetPonteiroPai(pai);
  if constexpr (requires { r.SetNome(CString()); })
    r.SetNome("x");
  else
    r.SetDescricao("x");
  if constexpr (requires { r.SetTipo(std::uint8_t{}); }) r.SetTipo(2);
  Carimba(r, kCarimbo);
  return r;
}

// Stored: group G > group C > analytic N; group H > analytic L; group E with nothing beneath.
template <class R>
struct Arvore {
  R g, c, n, h, l, e;
};

template <class R>
Arvore<R> CriaArvore(EmpresaTeste& empresa) {
  Arvore<R> a;
  a.g = empresa.Adiciona(Entrada<R>("G", 0, 2)), a.c = empresa.Adiciona(Entrada<R>("C", a.g.GetPonteiro(), 2));
  a.n = empresa.Adiciona(Entrada<R>("N", a.c.GetPonteiro(), 1)), a.h = empresa.Adiciona(Entrada<R>("H", 0, 2));
  a.l = empresa.Adiciona(Entrada<R>("L", a.h.GetPonteiro(), 1)), a.e = empresa.Adiciona(Entrada<R>("E", 0, 2));
  return a;
}

// A row: the record to save (built from the stored tree), the warning ("" accepted) and, when
// given, the record afterwards as the row's printer shows it.
template <class R>
struct Caso {
  std::string nome;
  std::function<R(Arvore<R>)> entrada;
  std::string aviso;
  std::string depois = {};
};

template <class R>
void Roda(CMMTrataDados& handler, const Arvore<R>& arvore, const std::vector<Caso<R>>& casos,
          std::string (*depois)(const R&) = nullptr) {
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    R r = caso.entrada(arvore);
    EXPECT_EQ(handler.TrataGravacao(&r, nullptr), caso.aviso.empty() ? 1 : 0);
    EXPECT_EQ(Aviso(handler), caso.aviso);
    EXPECT_EQ(depois && !caso.depois.empty() ? depois(r) : caso.depois, caso.depois);
  }
}

// What a failure of one access operation must end in: the copied error naming `campo`, a trace
// line holding `rastro` ("" for none), and the caller's record as `depois` prints ("" unchecked).
struct Ponto {
  long campo;
  std::string rastro = {};
  std::string depois = {};
};

// Fails the 1st, 2nd, ... access call of a save of `entrada` until the save runs through and is
// accepted; every failed operation must be one of `pontos`, and each of them must be reached.
template <class R>
void Caminha(EmpresaTeste& empresa, CMMTrataDados& handler, const R& entrada,
             const std::map<std::string, Ponto>& pontos, std::string (*depois)(const R&) = nullptr) {
  std::set<std::string> vistos;
  for (long n = 1;; ++n) {
    empresa.Falhas().Clear(), empresa.Falhas().FailNth(n, ZQ_E_MOTOR, "falha");
    const std::size_t log = empresa.LogErros().size();
    R r = entrada;
    const int resultado = handler.TrataGravacao(&r, nullptr);
    if (empresa.Falhas().Calls() < n) {
      EXPECT_EQ(resultado, 1) << Aviso(handler);
      break;
    }
    const std::string operacao = empresa.Falhas().Log().at(static_cast<std::size_t>(n - 1));
    SCOPED_TRACE(operacao);
    const auto ponto = pontos.find(*vistos.insert(operacao).first);
    ASSERT_NE(ponto, pontos.end());
    EXPECT_EQ(Aviso(handler), "hr=0X80F00003/" + std::to_string(ponto->second.campo) + " falha");
    const std::string rastro = empresa.LogErros().substr(log);
    EXPECT_TRUE(ponto->second.rastro.empty() ? rastro.empty() : rastro.find(ponto->second.rastro) != std::string::npos)
        << rastro;
    EXPECT_EQ(depois && !ponto->second.depois.empty() ? depois(r) : ponto->second.depois, ponto->second.depois);
  }
  empresa.Falhas().Clear();
  EXPECT_EQ(vistos.size(), pontos.size());
}

}  // namespace zqteste
