#include "framework/ProfilerLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/types/String.h"
#include "platform/storage/ZQEmpresas.h"
#include "platform/system/ZQRegistro.h"

namespace {

// Failures that another attempt cannot mend.
bool Definitivo(int erro) {
  return erro == ENOENT || erro == ENOTDIR || erro == EINVAL || erro == EBADF || erro == EIO;
}

bool EscreveTudo(int fd, std::string_view texto) {
  while (!texto.empty()) {
    const ssize_t n = ::write(fd, texto.data(), texto.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    texto.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string Mes(const std::tm& agora) {
  return StringPrintf("%04d%02d", agora.tm_year + 1900, agora.tm_mon + 1);
}

}  // namespace

std::string MMLinhaProfilerErro(const MMRegistroProfiler& r, const std::tm& agora) {
  std::string s = StringPrintf("%02d/%02d/%04d\t%02d:%02d:%02d\t%ld\t", agora.tm_mday,
                               agora.tm_mon + 1, agora.tm_year + 1900, agora.tm_hour, agora.tm_min,
                               agora.tm_sec, r.processo);
  s += r.usuarioLocal + '\t' + r.classeFuncao + '\t' + r.guid + '\t';
  s += 'E' + r.empresa + '\t';
  s += StringPrintf("U%03u\tS%08lu\tT%08ld\t", r.usuario, r.sessao, r.thread);
  s += r.empresa + '\t';
  s += StringPrintf("%u\t%lu\t", r.usuario, r.sessao);
  s += r.usuarioDominio + '\t' + r.aplicativo + '\t' + r.modulo + '\t' + r.arquivo + '\t';
  s += StringPrintf("%d\t%ld\t\t\tERRO\t%lld\t%lld\t%lld\t", r.linha, r.sessaoTerminal,
                    r.memoriaDisponivel, r.memoriaTotal, r.memoriaComponente);
  s += r.versaoZelva + '\t' + r.versaoSO + '\t' + r.arquivo + '\t';
  s += StringPrintf("%d\t", r.linha);
  s += r.log + '\t';
  return s;
}

std::string MMArquivoProfilerErros(const std::string& empresa, const std::tm& agora) {
  if (!empresa.empty()) {
    const std::string dados = CZQEmpresas::DiretorioDados(empresa);
    if (!dados.empty()) return dados + "ZQProfilerErros_Base_" + Mes(agora) + ".log";
  }
  std::string path =
      CZQRegistro::Le(std::string(CZQRegistro::kRaiz) + "\\DF", "Path").value_or("");
  if (path.empty()) return {};
  if (path.back() != '/') path += '/';
  return path + "ZQProfilerErros_Pgms_" + Mes(agora) + ".log";
}

bool MMAnexaProfilerErros(const std::string& caminho, std::string_view linha, int* tentativas) {
  const std::string texto = std::string(linha) + '\n';
  bool escrito = false;
  int tentativa = 1;
  for (; tentativa < 20; ++tentativa) {
    const int fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (Definitivo(errno)) break;
      continue;
    }
    int r;
    do r = ::flock(fd, LOCK_EX);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
      const int erro = errno;
      ::close(fd);
      if (Definitivo(erro)) break;
      continue;
    }
    struct stat st{};
    escrito = ::fstat(fd, &st) == 0;
    if (escrito && st.st_size == 0) escrito = EscreveTudo(fd, kMMCabecalhoProfilerErros);
    if (escrito) escrito = EscreveTudo(fd, texto);
    ::close(fd);  // releases the lock
    break;
  }
  if (tentativas) *tentativas = tentativa < 20 ? tentativa : 19;
  return escrito;
}

void MMGravaProfilerErro(const MMRegistroProfiler& registro, const std::tm& agora) {
  const std::string caminho = MMArquivoProfilerErros(registro.empresa, agora);
  if (caminho.empty()) return;
  MMAnexaProfilerErros(caminho, MMLinhaProfilerErro(registro, agora));
}
