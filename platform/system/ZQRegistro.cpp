#include "platform/system/ZQRegistro.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>

namespace {

using Tabela = std::map<std::string, std::string>;  // "chave\0valor" -> texto

std::string Par(const std::string& chave, const std::string& valor) {
  return CZQRegistro::NormalizaChave(chave) + '\0' + CZQRegistro::NormalizaChave(valor);
}

struct Estado {
  std::mutex mutex;
  Tabela definidos;
  Tabela arquivo;
  std::string caminho;
  struct timespec mtime{};
  off_t tamanho = -1;
};

Estado& Global() {
  static Estado e;
  return e;
}

void Recarrega(Estado& e) {
  const std::string caminho = CZQRegistro::Arquivo();
  struct stat st{};
  if (::stat(caminho.c_str(), &st) != 0) {
    e.arquivo.clear();
    e.caminho = caminho;
    e.tamanho = -1;
    return;
  }
  if (caminho == e.caminho && st.st_size == e.tamanho && st.st_mtim.tv_sec == e.mtime.tv_sec &&
      st.st_mtim.tv_nsec == e.mtime.tv_nsec)
    return;
  e.arquivo.clear();
  e.caminho = caminho;
  e.tamanho = st.st_size;
  e.mtime = st.st_mtim;
  std::ifstream in(caminho);
  std::string linha, secao;
  while (std::getline(in, linha)) {
    linha = CZQRegistro::Apara(linha);
    if (linha.empty() || linha[0] == ';' || linha[0] == '#') continue;
    if (linha.front() == '[' && linha.back() == ']') {
      secao = CZQRegistro::Apara(linha.substr(1, linha.size() - 2));
      continue;
    }
    const auto igual = linha.find('=');
    if (igual == std::string::npos || secao.empty()) continue;
    e.arquivo[Par(secao, CZQRegistro::Apara(linha.substr(0, igual)))] = CZQRegistro::Apara(linha.substr(igual + 1));
  }
}

}  // namespace

std::string CZQRegistro::NormalizaChave(std::string s) {
  for (char& c : s) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  while (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

std::string CZQRegistro::Apara(const std::string& s) {
  const auto a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  const auto b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

std::string CZQRegistro::Arquivo() {
  const char* env = std::getenv("ZQ_REGISTRO");
  return env && *env ? env : "/etc/zq/registro.ini";
}

std::optional<std::string> CZQRegistro::Le(const std::string& chave, const std::string& valor) {
  return LeVarios(chave, {valor.c_str()}).front();
}

std::vector<std::optional<std::string>> CZQRegistro::LeVarios(const std::string& chave,
                                                              std::initializer_list<const char*> valores) {
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  const std::string prefixo = NormalizaChave(chave) + '\0';
  std::vector<std::optional<std::string>> lidos;
  bool recarregado = false;
  for (const char* valor : valores) {
    const std::string par = prefixo + NormalizaChave(valor);
    if (auto it = e.definidos.find(par); it != e.definidos.end()) {
      lidos.emplace_back(it->second);
      continue;
    }
    if (!recarregado) Recarrega(e);
    recarregado = true;
    if (auto it = e.arquivo.find(par); it != e.arquivo.end())
      lidos.emplace_back(it->second);
    else
      lidos.emplace_back();
  }
  return lidos;
}

void CZQRegistro::Define(const std::string& chave, const std::string& valor, const std::string& texto) {
  if (chave.empty() || valor.empty()) return;
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  e.definidos[Par(chave, valor)] = texto;
}

void CZQRegistro::Limpa() {
  Estado& e = Global();
  std::lock_guard<std::mutex> lock(e.mutex);
  e.definidos.clear();
  e.arquivo.clear();
  e.caminho.clear();
  e.tamanho = -1;
}
