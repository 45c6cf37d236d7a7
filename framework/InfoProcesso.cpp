#include "framework/InfoProcesso.h"

#include <dlfcn.h>
#include <pwd.h>
#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/types/String.h"

long long MMMemoriaPrivadaDeStatus(std::string_view status) {
  constexpr std::string_view kCampo = "RssAnon:";
  std::size_t pos = 0;
  while (pos < status.size()) {
    std::size_t fim = status.find('\n', pos);
    if (fim == std::string_view::npos) fim = status.size();
    std::string_view linha = status.substr(pos, fim - pos);
    pos = fim + 1;
    if (linha.substr(0, kCampo.size()) != kCampo) continue;
    linha.remove_prefix(kCampo.size());
    while (!linha.empty() && (linha.front() == ' ' || linha.front() == '\t')) linha.remove_prefix(1);
    long long valor = 0;
    std::size_t i = 0;
    for (; i < linha.size() && linha[i] >= '0' && linha[i] <= '9'; ++i) {
      if (valor > (1LL << 52)) return 0;
      valor = valor * 10 + (linha[i] - '0');
    }
    if (i == 0) return 0;
    std::string_view unidade = linha.substr(i);
    while (!unidade.empty() && unidade.front() == ' ') unidade.remove_prefix(1);
    while (!unidade.empty() && (unidade.back() == ' ' || unidade.back() == '\r')) unidade.remove_suffix(1);
    if (unidade == "kB") return valor * 1024;
    return unidade.empty() ? valor : 0;
  }
  return 0;
}

long long MMMemoriaPrivada() {
  std::ifstream in("/proc/self/status");
  if (!in) return 0;
  std::ostringstream texto;
  texto << in.rdbuf();
  return MMMemoriaPrivadaDeStatus(texto.str());
}

long long MMMemoriaDisponivel() {
  const long paginas = ::sysconf(_SC_AVPHYS_PAGES), tamanho = ::sysconf(_SC_PAGESIZE);
  return paginas > 0 && tamanho > 0 ? static_cast<long long>(paginas) * tamanho : 0;
}

long long MMMemoriaTotal() {
  const long paginas = ::sysconf(_SC_PHYS_PAGES), tamanho = ::sysconf(_SC_PAGESIZE);
  return paginas > 0 && tamanho > 0 ? static_cast<long long>(paginas) * tamanho : 0;
}

std::string MMNomeBaseMinusculo(std::string_view caminho) {
  const std::size_t barra = caminho.find_last_of('/');
  std::string nome(barra == std::string_view::npos ? caminho : caminho.substr(barra + 1));
  for (char& c : nome)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return nome;
}

std::string MMNomeProcesso() {
  std::vector<char> buffer(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return {};
  std::string_view caminho(buffer.data(), static_cast<std::size_t>(n));
  // A running executable that was replaced on disk reads back with this suffix.
  constexpr std::string_view kApagado = " (deleted)";
  if (caminho.size() > kApagado.size() && caminho.substr(caminho.size() - kApagado.size()) == kApagado)
    caminho.remove_suffix(kApagado.size());
  return MMNomeBaseMinusculo(caminho);
}

std::string MMNomeModulo() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&MMNomeModulo), &info) == 0 || !info.dli_fname) return {};
  return MMNomeBaseMinusculo(info.dli_fname);
}

std::string MMUsuarioLocal() {
  long tamanho = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(tamanho > 0 ? static_cast<std::size_t>(tamanho) : 16384);
  struct passwd pw{};
  struct passwd* resultado = nullptr;
  if (::getpwuid_r(::geteuid(), &pw, buffer.data(), buffer.size(), &resultado) != 0 || !resultado)
    return {};
  return resultado->pw_name ? resultado->pw_name : "";
}

std::string MMNomeMaquina() {
  char nome[256] = {};
  if (::gethostname(nome, sizeof nome - 1) != 0) return {};
  return nome;
}

std::string MMNovoGuid() {
  unsigned char b[16];
  std::size_t lidos = 0;
  while (lidos < sizeof b) {
    const ssize_t n = ::getrandom(b + lidos, sizeof b - lidos, 0);
    if (n <= 0) break;
    lidos += static_cast<std::size_t>(n);
  }
  if (lidos < sizeof b) {
    // No entropy source: still unique within the machine, which is all the log needs.
    static std::atomic<std::uint64_t> contador{0};
    const std::uint64_t a = static_cast<std::uint64_t>(
        std::chrono::system_clock::now().time_since_epoch().count());
    const std::uint64_t c = (static_cast<std::uint64_t>(::getpid()) << 32) ^ ++contador;
    for (int i = 0; i < 8; ++i) {
      b[i] = static_cast<unsigned char>(a >> (8 * i));
      b[8 + i] = static_cast<unsigned char>(c >> (8 * i));
    }
  }
  b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);
  b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);
  return StringPrintf("%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0],
                      b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12],
                      b[13], b[14], b[15]);
}

long MMThreadId() { return static_cast<long>(::gettid()); }
