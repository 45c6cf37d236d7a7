#include "framework/Rastreio.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <ctime>

#include "framework/HResultNomes.h"
#include "framework/InfoProcesso.h"
#include "framework/ProfilerLog.h"
#include "framework/Versoes.h"
#include "platform/types/String.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"

namespace {

constexpr std::uint32_t kFimDaLista = 0xFFFFFFFF;

// The process's clock (tests stand it still to choose the month's file); the system's local time
// when that clock cannot give a date.
bool Agora(std::tm* agora) {
  const REG_ZQDMAHMSUTC momento = CZQRelogio::Agora();
  if (momento.IsPreenchida()) {
    int dia = 0, mes = 0, ano = 0;
    momento.GetData().GetDiaMesAno(&dia, &mes, &ano);
    agora->tm_mday = dia;
    agora->tm_mon = mes - 1;
    agora->tm_year = ano - 1900;
    agora->tm_hour = momento.GetHora();
    agora->tm_min = momento.GetMinuto();
    agora->tm_sec = momento.GetSegundo();
    return true;
  }
  const std::time_t t = std::time(nullptr);
  return ::localtime_r(&t, agora) != nullptr;
}

void Grava(IZQDF_Profiler* profiler, const char* funcao, const char* arquivo, int linha,
           std::string log) {
  MMRegistroProfiler r;
  r.memoriaComponente = MMMemoriaPrivada();
  const MMVersoes& versoes = MMVersoesProcesso();
  r.versaoZelva = versoes.programa;
  r.versaoSO = versoes.sistema;
  r.log = std::move(log);
  r.classeFuncao = funcao ? funcao : "";
  r.arquivo = arquivo ? arquivo : "";
  r.linha = linha;
  if (profiler) {
    r.empresa = profiler->GetEmpresa().Str();
    r.usuario = profiler->GetUsuario();
    r.sessao = profiler->GetNumeroSessao();
  }
  r.guid = MMNovoGuid();
  r.aplicativo = MMNomeProcesso();
  r.modulo = MMNomeModulo();
  r.usuarioLocal = MMUsuarioLocal();
  r.usuarioDominio = MMNomeMaquina() + '\\' + r.usuarioLocal;
  r.processo = static_cast<long>(::getpid());
  r.thread = MMThreadId();
  r.sessaoTerminal = static_cast<long>(::getsid(0));
  r.memoriaDisponivel = MMMemoriaDisponivel();
  r.memoriaTotal = MMMemoriaTotal();

  std::tm agora{};
  if (!Agora(&agora)) return;
  MMGravaProfilerErro(r, agora);
}

}  // namespace

bool MMHREsperado(long hr, ...) {
  va_list codigos;
  va_start(codigos, hr);
  bool esperado = false;
  for (;;) {
    const std::uint32_t codigo = MMHR32(va_arg(codigos, long));
    if (codigo == kFimDaLista) break;
    if (codigo == MMHR32(hr)) {
      esperado = true;
      break;
    }
  }
  va_end(codigos);
  return esperado;
}

void MMTrace(IZQDF_Profiler* profiler, const char* funcao, const char* arquivo, int linha,
             const char* formato, ...) {
  const int erroAnterior = errno;
  std::string log;
  bool formatado = true;
  va_list argumentos;
  va_start(argumentos, formato);
  try {
    log = StringPrintfV(formato ? formato : "", argumentos);
  } catch (...) {
    formatado = false;
  }
  va_end(argumentos);
  if (formatado) {
    try {
      Grava(profiler, funcao, arquivo, linha, std::move(log));
    } catch (...) {
      // Diagnostic only: a trace that cannot be made is dropped.
    }
  }
  errno = erroAnterior;
}

void MMTraceHR(IZQDF_Profiler* profiler, const char* funcao, const char* arquivo, int linha,
               const char* chamada, long hr) {
  if (MMHR32(hr) == 0 || MMHREsperado(hr, ZQ_HR(kFimDaLista))) return;
  const int erroAnterior = errno;
  try {
    const std::string primeiro = std::string("hr = ") + (chamada ? chamada : "");
    const CString descricao = MMDescricaoHResult(hr);
    const CString nomeCodigo = MMNomeCodigo(hr);
    MMTrace(profiler, funcao, arquivo, linha, kMMFormatoTraceHR, primeiro.c_str(), "hr",
            static_cast<unsigned>(MMHR32(hr)), descricao.GetString(), MMSeveridade(hr),
            MMNomeSeveridade(hr), MMFacility(hr), MMNomeFacility(MMFacility(hr)), MMCodigo(hr),
            nomeCodigo.GetString(), MMNomeHResult(hr));
  } catch (...) {
  }
  errno = erroAnterior;
}
