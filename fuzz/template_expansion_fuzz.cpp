// A template's list expansion and filling against a plain std::regex reference written from the
// header's description. Input: one byte for the row count and the value flavour, the template,
// then after "\n--\n" the values separated by '|', dealt to the header fields and the rows.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "alerts/MMModeloEmailAlerta.h"
#include "tests/support/ReferenciaModelo.h"

namespace {

using Modelo = CMMModeloEmailAlerta;
using EPadrao = Modelo::EPadrao;
using zqteste::AtualizaReferencia;

// Header tokens in order, the two markers, then one pass over numbered row tokens.
std::string PreencheReferencia(std::string x, const DADOS_CORPO_EMAIL& cabecalho,
                               const std::vector<DADOS_CORPO_EMAIL>& linhas, bool html) {
  const auto valor = [&](const CString& v) { return html ? v.Str() : Modelo::EscapaHtml(v.View()).Str(); };
  for (const auto& m : Modelo::Memorias())
    if (m.ePapel == Modelo::EPapel::Cabecalho) x = zqteste::SubstituiTodas(x, m.pszToken, valor(cabecalho.*m.pCampo));
  x = zqteste::SubstituiTodas(zqteste::SubstituiTodas(x, "ZQ_INICIO_LISTA", ""), "ZQ_FIM_LISTA", "");
  std::string out;
  for (std::size_t p = 0; p < x.size();) {
    bool trocou = false;
    for (const auto& m : Modelo::Memorias()) {
      const std::string token = std::string(m.pszToken) + "_";
      if (m.ePapel != Modelo::EPapel::Linha || x.compare(p, token.size(), token) != 0) continue;
      std::size_t f = p + token.size();
      while (f < x.size() && x[f] >= '0' && x[f] <= '9') ++f;
      const std::string digitos = x.substr(p + token.size(), f - p - token.size());
      for (std::size_t i = 0; i < linhas.size() && !trocou; ++i)
        if (digitos == std::to_string(i)) {
          out += valor(linhas[i].*m.pCampo);
          p = f;
          trocou = true;
        }
      break;
    }
    if (!trocou) out += x[p++];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  if (tamanho < 1 || tamanho > 512) return -1;
  const int linhas = dados[0] % 6 - 1;  // -1 counts as none
  const bool html = dados[0] & 0x80;
  const std::string resto(reinterpret_cast<const char*>(dados + 1), tamanho - 1);
  const std::size_t corte = resto.find("\n--\n");
  const std::string modelo = resto.substr(0, corte);
  std::vector<std::string> valores;
  if (corte != std::string::npos)
    for (std::size_t p = corte + 4;;) {
      const std::size_t q = resto.find('|', p);
      valores.push_back(resto.substr(p, q - p));
      if (q == std::string::npos) break;
      p = q + 1;
    }

  std::string esperado = modelo;
  CString obtido(modelo);
  const bool temLista = AtualizaReferencia(esperado, linhas);
  if (Modelo::AtualizaConteudoEmail(obtido, linhas) != temLista || obtido.Str() != esperado) {
    std::fprintf(stderr, "list expansion differs from the reference\n");
    __builtin_trap();
  }

  std::size_t n = 0;
  const auto proximo = [&] { return valores.empty() ? CString() : CString(valores[n++ % valores.size()]); };
  DADOS_CORPO_EMAIL cabecalho;
  for (const auto& m : Modelo::Memorias())
    if (m.ePapel == Modelo::EPapel::Cabecalho) cabecalho.*m.pCampo = proximo();
  std::vector<DADOS_CORPO_EMAIL> filas(static_cast<std::size_t>(linhas < 0 ? 0 : linhas));
  for (auto& fila : filas)
    for (const auto& m : Modelo::Memorias())
      if (m.ePapel == Modelo::EPapel::Linha) fila.*m.pCampo = proximo();
  html ? Modelo::SubstituiMemoriasModeloEmailHtml(obtido, cabecalho, filas)
       : Modelo::SubstituiMemoriasModeloEmail(obtido, cabecalho, filas);
  if (obtido.Str() != PreencheReferencia(esperado, cabecalho, filas, html)) {
    std::fprintf(stderr, "filling differs from the reference\n");
    __builtin_trap();
  }
  return 0;
}
