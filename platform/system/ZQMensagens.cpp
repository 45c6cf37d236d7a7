#include "platform/system/ZQMensagens.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/records/ZQModulos.h"
#include "platform/system/ZQRegistro.h"

const char* ZQSiglaModulo(int modulo) {
  switch (modulo) {
#define ZQ_MODULO_SIGLA(nome, numero, sigla) \
  case numero:                                         \
    return sigla;
    ZQ_MODULOS(ZQ_MODULO_SIGLA)
#undef ZQ_MODULO_SIGLA
  }
  return "";
}

namespace {
constexpr std::size_t kMaxLinha = 1024;

std::string TextoDaLinha(const std::string& linha) {
  std::string out;
  if (linha.size() <= 8) return out;
  for (std::size_t i = 8; i < linha.size(); ++i) {
    if (linha[i] == '\\' && i + 1 < linha.size() && linha[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += linha[i];
    }
  }
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}
}  // namespace

std::string CZQMensagens::Arquivo(int modulo) {
  auto pasta = CZQRegistro::Le(CZQRegistro::kRaiz, "Mensagens");
  if (!pasta || pasta->empty()) return {};
  std::string caminho = *pasta;
  if (caminho.back() != '/' && caminho.back() != '\\') caminho += '/';
  return caminho + "ZQ" + ZQSiglaModulo(modulo) + "Mens.txt";
}

std::string CZQMensagens::Extrai(const std::string& conteudo, long numero) {
  std::istringstream in(conteudo);
  std::string linha;
  while (std::getline(in, linha)) {
    if (linha.size() > kMaxLinha - 1) linha.resize(kMaxLinha - 1);
    while (!linha.empty() && (linha.back() == '\r' || linha.back() == '\n')) linha.pop_back();
    if (std::atol(linha.c_str()) == numero) return TextoDaLinha(linha);
  }
  return {};
}

std::optional<std::string> CZQMensagens::Texto(int modulo, long numero) {
  const std::string caminho = Arquivo(modulo);
  if (caminho.empty()) return std::nullopt;
  std::ifstream in(caminho, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream conteudo;
  conteudo << in.rdbuf();
  return Extrai(conteudo.str(), numero);
}
