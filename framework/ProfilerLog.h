// The monthly profiler error log: a tab-separated text file that collects the failure trace's
// records (type 3, "ERRO") of every process of the machine.
//
// File, for the month of `agora` (YYYYMM):
//   <company data dir>ZQProfilerErros_Base_YYYYMM.log  when the record names a company and
//       CZQEmpresas::DiretorioDados gives that company a directory;
//   <Path>/ZQProfilerErros_Pgms_YYYYMM.log  otherwise, where Path is the registry value
//       [SOFTWARE\Wow6432Node\ZQ Sistemas\DF] Path (the base module's installation directory);
//   no file, and nothing written, when neither is known.
//
// Appending: open(O_WRONLY|O_CREAT|O_APPEND, 0644), then flock(LOCK_EX), which blocks and is held
// for this one record only. Under the lock an empty file first gets the header, so however many
// threads and processes write to a new month's file, it has exactly one header, at the top. The
// header and the line are each one write(2) call, so a reader sees whole lines. An open or lock
// that fails is retried, straight away, up to 19 attempts in all; ENOENT and ENOTDIR (no such
// directory), EINVAL and EBADF (not a usable file) and EIO end the attempts at once. A write that
// fails is not retried, so a line is never written twice.
//
// Record columns: each value followed by a tab, in the order of the header's first 30 names:
//   Data dd/mm/yyyy, Hora hh:mm:ss, Processo (pid), UsuarioLocal, ClasseFuncao, Guid,
//   Empresa "E"+company, Usuario "U%03u", Sessao "S%08lu", ThreadID "T%08ld" (kernel thread id),
//   Empresa (company), Usuario (number), NumeroSessao (number), UsuarioDominio "host\user",
//   Aplicativo (executable), ModuleName (rules library), ArquivoFonte, LinhaFonte,
//   WTS (the process's session id), Filler "", Filler "", Tipo "ERRO",
//   MemoriaDisponivel, MemoriaTotal (bytes of physical memory), MemoriaComponente (bytes),
//   VersaoZelva, VersaoSO, Arquivo, Linha, Log; then "\n".
// Parameter1..9 belong to the profiler's other record types. The Log text is written as it is:
// the trace's standard message holds tabs of its own, which spill into those columns.
// Texts are Windows-1252 bytes; a tab or line break inside a value other than Log is not escaped.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

inline constexpr const char kMMCabecalhoProfilerErros[] =
    "Data\tHora\tProcesso\tUsuarioLocal\tClasseFuncao\tGuid\tEmpresa\tUsuario\tSessao\tThreadID\t"
    "Empresa\tUsuario\tNumeroSessao\tUsuarioDominio\tAplicativo\tModuleName\tArquivoFonte\t"
    "LinhaFonte\tWTS\tFiller\tFiller\tTipo\tMemoriaDisponivel\tMemoriaTotal\tMemoriaComponente\t"
    "VersaoZelva\tVersaoSO\tArquivo\tLinha\tLog"
    "\tParameter1\tParameter2\tParameter3\tParameter4\tParameter5\tParameter6\tParameter7"
    "\tParameter8\tParameter9\n";

// One record of type 3. Filled by the trace; plain values so a line can be built in a test.
struct MMRegistroProfiler {
  std::string empresa;  // "" when the trace had no profiler
  unsigned usuario = 0;
  unsigned long sessao = 0;
  long processo = 0;
  long thread = 0;
  long sessaoTerminal = 0;
  std::string usuarioLocal;
  std::string usuarioDominio;
  std::string aplicativo;
  std::string modulo;
  std::string classeFuncao;
  std::string guid;
  long long memoriaDisponivel = 0;
  long long memoriaTotal = 0;
  long long memoriaComponente = 0;
  std::string versaoZelva;
  std::string versaoSO;
  std::string arquivo;
  int linha = 0;
  std::string log;
};

// The record's line, without the final "\n".
std::string MMLinhaProfilerErro(const MMRegistroProfiler& registro, const std::tm& agora);

// The log file for a company ("" = none) and month; "" when there is nowhere to write.
std::string MMArquivoProfilerErros(const std::string& empresa, const std::tm& agora);

// Appends linha + "\n" to the file, with the header first when the file is empty. True when
// written. *tentativas, when given, receives the number of attempts made.
bool MMAnexaProfilerErros(const std::string& caminho, std::string_view linha,
                          int* tentativas = nullptr);

// Chooses the file and appends the record's line; a failure is silent.
void MMGravaProfilerErro(const MMRegistroProfiler& registro, const std::tm& agora);
