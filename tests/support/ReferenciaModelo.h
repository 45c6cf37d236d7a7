// A template's list-block expansion written as plainly as it is described, on std::regex: the
// reference the template tests and the template fuzz target hold the real expansion to.
#pragma once

#include <regex>
#include <set>
#include <string>

#include "alerts/MMModeloEmailAlerta.h"

namespace zqteste {

inline const std::regex& RegexModelo(CMMModeloEmailAlerta::EPadrao padrao) {
  using EPadrao = CMMModeloEmailAlerta::EPadrao;
  static const std::regex kRegex[] = {std::regex(CMMModeloEmailAlerta::Expressao(EPadrao::BlocoLista)),
                                      std::regex(CMMModeloEmailAlerta::Expressao(EPadrao::LinhaModelo)),
                                      std::regex(CMMModeloEmailAlerta::Expressao(EPadrao::Memoria))};
  return kRegex[static_cast<int>(padrao)];
}

inline std::string SubstituiTodas(const std::string& texto, const std::string& de, const std::string& para) {
  std::string out;
  std::size_t pos = 0;
  for (std::size_t h; (h = texto.find(de, pos)) != std::string::npos; pos = h + de.size())
    out.append(texto, pos, h - pos).append(para);
  return out.append(texto, pos);
}

// Each list block of x repeated for `linhas` rows; whether x had one.
inline bool AtualizaReferencia(std::string& x, int linhas) {
  using EPadrao = CMMModeloEmailAlerta::EPadrao;
  static const std::set<std::string> kCabecalho = {
      "ZQ_COD_TECNICO", "ZQ_NOME_TECNICO", "ZQ_DESC_ALERTA", "ZQ_DETALHAMENTO_ALERTA", "ZQ_COD_DISCIPLINA",
      "ZQ_DESC_DISCIPLINA", "ZQ_COD_PLANO_MANUT", "ZQ_DESC_PLANO_MANUT", "ZQ_DATA_ATUAL", "ZQ_DATA_HORA_ATUAL"};
  const std::sregex_iterator fim;
  const std::string entrada = x;
  bool achou = false;
  for (std::sregex_iterator it(entrada.begin(), entrada.end(), RegexModelo(EPadrao::BlocoLista)); it != fim; ++it) {
    achou = true;
    const std::string b = it->str(), w0 = SubstituiTodas(b, "\r\n  ZQ_FIM_LISTA", "");
    std::string w = w0;
    for (std::sregex_iterator jt(w0.begin(), w0.end(), RegexModelo(EPadrao::LinhaModelo)); jt != fim; ++jt) {
      const std::string r = jt->str().substr(7);
      w = SubstituiTodas(w, "\r\n" + r, "");
      for (int i = 0; i < linhas; ++i) {
        std::string copia = r;
        std::set<std::string> feitas;
        for (std::sregex_iterator kt(r.begin(), r.end(), RegexModelo(EPadrao::Memoria)); kt != fim; ++kt)
          if (const std::string k = kt->str(); !kCabecalho.count(k) && feitas.insert(k).second)
            copia = SubstituiTodas(copia, k, k + "_" + std::to_string(i));
        w.append("\r\n").append(copia);
      }
    }
    x = SubstituiTodas(x, b, w);
  }
  return achou;
}

}  // namespace zqteste
