#include "platform/system/ZQTrataErro.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <mutex>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/storage/ZQEmpresas.h"
#include "platform/system/ZQRelogio.h"

namespace {

std::timed_mutex g_mutex;
constexpr auto kEsperaMaxima = std::chrono::milliseconds(200);

// Keeps a report on one line.
void Acrescenta(std::string& linha, const char* nome, const char* valor) {
  linha.append("\t").append(nome).append("=");
  for (const char* p = valor ? valor : ""; *p; ++p)
    linha.push_back(*p == '\t' || *p == '\n' || *p == '\r' ? ' ' : *p);
}

std::string TextoHR(std::int64_t hr) {
  char texto[32];
  if (hr >= INT32_MIN && hr <= static_cast<std::int64_t>(UINT32_MAX))
    std::snprintf(texto, sizeof texto, "0x%08" PRIX32, static_cast<std::uint32_t>(hr));
  else
    std::snprintf(texto, sizeof texto, "0x%016" PRIX64, static_cast<std::uint64_t>(hr));
  return texto;
}

bool EscreveTudo(int fd, const std::string& linha) {
  const ssize_t n = ::write(fd, linha.data(), linha.size());
  return n == static_cast<ssize_t>(linha.size());
}

}  // namespace

long ZQTrataErro::ClientSend(std::int64_t hr, long codigoErro, long numeroServidor, const char* empresa,
                             const char* arquivoFonte, int linhaFonte, const char* dataHoraCompilacao,
                             const char* texto, const char* caminhoModulo, const char* texto2) noexcept {
  try {
    std::string linha = CZQRelogio::Agora().ParaIso();
    Acrescenta(linha, "Empresa", empresa);
    Acrescenta(linha, "HR", TextoHR(hr).c_str());
    Acrescenta(linha, "Codigo", std::to_string(codigoErro).c_str());
    Acrescenta(linha, "Servidor", std::to_string(numeroServidor).c_str());
    Acrescenta(linha, "Fonte",
               std::string(arquivoFonte ? arquivoFonte : "").append(":").append(std::to_string(linhaFonte)).c_str());
    Acrescenta(linha, "Compilacao", dataHoraCompilacao);
    Acrescenta(linha, "Texto", texto);
    Acrescenta(linha, "Modulo", caminhoModulo);
    Acrescenta(linha, "Texto2", texto2);
    linha.push_back('\n');

    const std::string dir = empresa && *empresa ? CZQEmpresas::DiretorioDados(empresa) : std::string();

    std::unique_lock<std::timed_mutex> trava(g_mutex, std::defer_lock);
    if (!trava.try_lock_for(kEsperaMaxima)) return -1;
    if (dir.empty()) return EscreveTudo(STDERR_FILENO, linha) ? 0 : -1;
    const std::string arquivo = dir + "ZQMensagensErro.log";
    const int fd = ::open(arquivo.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0) return -1;
    const bool escrito = EscreveTudo(fd, linha);
    ::close(fd);
    return escrito ? 0 : -1;
  } catch (...) {
    return -1;
  }
}

std::string ZQTrataErro::CaminhoModulo(const void* endereco) noexcept {
  try {
    Dl_info info{};
    if (!endereco || ::dladdr(endereco, &info) == 0 || !info.dli_fname) return {};
    std::string caminho = info.dli_fname;
    if (!caminho.empty() && caminho.front() != '/') {
      std::error_code ec;
      const auto absoluto = std::filesystem::absolute(caminho, ec);
      if (!ec) caminho = absoluto.lexically_normal().string();
    }
    if (caminho.size() > kMaximoCaminho) caminho.resize(kMaximoCaminho);
    return caminho;
  } catch (...) {
    return {};
  }
}
