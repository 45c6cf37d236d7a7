#include "tools/ArquivoRegistro.h"

#include <fstream>
#include <sstream>

#include <unistd.h>

#include "platform/system/ZQRegistro.h"
#include "tools/ErroHost.h"

namespace zqhost {
namespace {

std::string Normaliza(std::string s) { return CZQRegistro::NormalizaChave(std::move(s)); }
std::string Apara(const std::string& s) { return CZQRegistro::Apara(s); }

// The section named by a line, or nothing when the line is not a section header.
bool Secao(const std::string& linha, std::string* secao) {
  const std::string t = Apara(linha);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
  *secao = Apara(t.substr(1, t.size() - 2));
  return true;
}

// The value name of a "Nome=valor" line, "" for comments and other lines.
std::string NomeValor(const std::string& linha) {
  const std::string t = Apara(linha);
  if (t.empty() || t[0] == ';' || t[0] == '#') return {};
  const auto igual = t.find('=');
  return igual == std::string::npos ? std::string() : Apara(t.substr(0, igual));
}

void VerificaTexto(const std::string& texto, bool nome) {
  const bool quebra = texto.find_first_of("\r\n") != std::string::npos;
  if (quebra || Apara(texto) != texto || (nome && (texto.empty() || texto.find('=') != std::string::npos)))
    throw CErroHost(kSaidaEntradaInvalida,
                    std::string("texto que o arquivo de registro não guarda como está: \"").append(texto).append("\""));
}

std::vector<std::string> LeLinhas(const std::filesystem::path& arquivo) {
  std::vector<std::string> linhas;
  std::error_code ec;
  if (!std::filesystem::exists(arquivo, ec)) return linhas;
  std::ifstream in(arquivo, std::ios::binary);
  if (!in) throw CErroHost(kSaidaFalha, std::string("não foi possível ler ").append(arquivo.string()));
  std::string linha;
  while (std::getline(in, linha)) {
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    linhas.push_back(linha);
  }
  return linhas;
}

}  // namespace

void CArquivoRegistro::Define(const std::string& secao,
                              const std::vector<std::pair<std::string, std::string>>& valores) const {
  VerificaTexto(secao, true);
  for (const auto& [nome, valor] : valores) {
    VerificaTexto(nome, true);
    VerificaTexto(valor, false);
  }
  std::vector<std::string> linhas = LeLinhas(m_arquivo);
  const std::string alvo = Normaliza(secao);

  // [inicio, fim) are the lines of the target section after its header; inicio = npos: absent.
  std::size_t inicio = std::string::npos, fim = linhas.size();
  for (std::size_t i = 0; i < linhas.size(); ++i) {
    std::string s;
    if (!Secao(linhas[i], &s)) continue;
    if (inicio != std::string::npos) {
      fim = i;
      break;
    }
    if (Normaliza(s) == alvo) inicio = i + 1;
  }
  if (inicio == std::string::npos) {
    if (!linhas.empty() && !Apara(linhas.back()).empty()) linhas.emplace_back();
    linhas.push_back("[" + secao + "]");
    inicio = fim = linhas.size();
  }
  // New values go after the section's last value line, ahead of the blank lines that separate it
  // from the next section.
  std::size_t insere = inicio;
  for (std::size_t i = inicio; i < fim; ++i)
    if (!Apara(linhas[i]).empty()) insere = i + 1;
  for (const auto& [nome, valor] : valores) {
    const std::string chave = Normaliza(nome);
    bool achou = false;
    for (std::size_t i = inicio; i < fim; ++i) {
      if (Normaliza(NomeValor(linhas[i])) != chave || NomeValor(linhas[i]).empty()) continue;
      linhas[i] = nome + "=" + valor;
      achou = true;
    }
    if (achou) continue;
    linhas.insert(linhas.begin() + static_cast<std::ptrdiff_t>(insere), nome + "=" + valor);
    ++insere;
    ++fim;
  }

  std::error_code ec;
  if (m_arquivo.has_parent_path()) std::filesystem::create_directories(m_arquivo.parent_path(), ec);
  const std::filesystem::path temporario =
      m_arquivo.string() + ".tmp" + std::to_string(static_cast<long>(::getpid()));
  {
    std::ofstream out(temporario, std::ios::binary | std::ios::trunc);
    for (const std::string& linha : linhas) out << linha << '\n';
    out.flush();
    if (!out) {
      std::filesystem::remove(temporario, ec);
      throw CErroHost(kSaidaFalha, std::string("não foi possível gravar ").append(m_arquivo.string()));
    }
  }
  std::filesystem::rename(temporario, m_arquivo, ec);
  if (ec) {
    std::filesystem::remove(temporario, ec);
    throw CErroHost(kSaidaFalha, std::string("não foi possível gravar ").append(m_arquivo.string()));
  }
}

std::vector<std::string> CArquivoRegistro::Subchaves(const std::string& chave) const {
  const std::string prefixo = Normaliza(chave) + "\\";
  std::vector<std::string> nomes;
  for (const std::string& linha : LeLinhas(m_arquivo)) {
    std::string s;
    if (!Secao(linha, &s)) continue;
    const std::string n = Normaliza(s);
    if (n.size() <= prefixo.size() || n.compare(0, prefixo.size(), prefixo) != 0) continue;
    if (n.find('\\', prefixo.size()) != std::string::npos) continue;
    // The name as written: the same length from the end, trailing separators aside.
    std::string original = s;
    while (!original.empty() && (original.back() == '\\' || original.back() == '/')) original.pop_back();
    nomes.push_back(original.substr(original.size() - (n.size() - prefixo.size())));
  }
  return nomes;
}

}  // namespace zqhost
