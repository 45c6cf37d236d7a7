#include "platform/routines/AutoRun.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

#include "platform/types/Cp1252.h"
#include "platform/storage/ZQEmpresas.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"

namespace {

constexpr long kInesperado = ZQ_HR(0x8000FFFF);  // E_UNEXPECTED

std::string Mes(const REG_ZQDMAHMSUTC& agora) {
  const REG_ZQDMA data = agora.GetData();
  return StringPrintf("%04d%02d", data.GetAno(), data.GetMes());
}

void Anexa(const std::string& caminho, const std::string& linha) {
  const int fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  // One write per line, so concurrent writers never interleave inside a line.
  for (std::size_t feito = 0; feito < linha.size();) {
    const ssize_t n = ::write(fd, linha.data() + feito, linha.size() - feito);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    feito += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

}  // namespace

CAutoRun::CAutoRun(const char* nome) : m_nome(nome) {}

CAutoRun::~CAutoRun() = default;

long CAutoRun::OnRun(bool&) { return 0; }

long CAutoRun::OnGetIntervalo(long& intervaloMs) {
  intervaloMs = 0;
  return 0;
}

void CAutoRun::OnDeleta() { delete this; }

std::string CAutoRun::ArquivoLog(const std::string& empresa, const REG_ZQDMAHMSUTC& agora) {
  const std::string nome = std::string("ZQAutoRun_").append(Mes(agora)).append(".log");
  if (std::string dados = CZQEmpresas::DiretorioDados(empresa); !dados.empty()) return dados.append(nome);
  std::string path = CZQRegistro::Le(std::string(CZQRegistro::kRaiz).append("\\DF"), "Path").value_or("");
  if (path.empty()) return {};
  if (path.back() != '/') path += '/';
  return path.append(nome);
}

void CAutoRun::GravaLog(int tipo, int nivel, const char* texto) {
  const REG_ZQDMAHMSUTC agora = CZQRelogio::Agora();
  const std::string empresa = GetEmpresa().Str();
  std::string corpo = texto ? texto : "";
  for (char& c : corpo)
    if (c == '\r' || c == '\n') c = ' ';
  if (m_aoGravarLog) {
    m_aoGravarLog(corpo);
    return;
  }
  const REG_ZQDMA data = agora.GetData();
  const std::string quando = StringPrintf("%02d/%02d/%04d %02d:%02d:%02d", data.GetDia(), data.GetMes(), data.GetAno(),
                                          agora.GetHora(), agora.GetMinuto(), agora.GetSegundo());
  const std::string campos =
      std::string(m_nome.Str()).append("\t").append(empresa).append(StringPrintf("\t%d\t%d\t", tipo, nivel));

  if (const std::string arquivo = ArquivoLog(empresa, agora); !arquivo.empty())
    Anexa(arquivo, std::string(quando).append("\t").append(campos).append(corpo).append("\n"));
  if (::isatty(STDERR_FILENO)) {
    const std::string linha = std::string(quando).append(" ").append(m_nome.Str()).append(" [").append(empresa)
                                  .append("] ").append(zq::Cp1252ToUtf8(corpo)).append("\n");
    std::fputs(linha.c_str(), stderr);
  }
}

long CAutoRun::Executa(bool& bPararExecucoes, std::optional<CZQExceptionEx>* excecao) {
  if (excecao) excecao->reset();
  try {
    return OnRun(bPararExecucoes);
  } catch (const CZQExceptionEx& e) {
    if (excecao) excecao->emplace(e);
    return e.GetHR() ? e.GetHR() : kInesperado;
  } catch (const std::exception& e) {
    GravaLog(1, 4, std::string("Exceção não tratada na execução: "_cp).append(e.what()).c_str());
    return kInesperado;
  }
}

long CAutoRun::ExecutaEmIntervalos(std::stop_token parar) {
  std::mutex mutex;
  std::condition_variable_any cv;
  long resultado = 0;
  while (!parar.stop_requested()) {
    bool bParar = false;
    resultado = Executa(bParar);
    long intervalo = 0;
    if (bParar || OnGetIntervalo(intervalo) != 0 || intervalo <= 0) break;
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait_for(lock, parar, std::chrono::milliseconds(intervalo), [] { return false; });
  }
  return resultado;
}
