// ZQTrataErro: the suite's message service, to which a routine reports a failure that it does
// not return to its caller. Ours writes each report as one line of text that an operator can read:
//
//   <company data dir>ZQMensagensErro.log   when CZQEmpresas::DiretorioDados gives the company one;
//   standard error                          otherwise.
//
// Line: the local clock's date and time (CZQRelogio), then tab-separated name=value pairs:
//   2024-03-05T10:05:30  Empresa=ACME  HR=0x80F00001  Codigo=0  Servidor=0
//   Fonte=MMTrataDadosManutencao:1092  Compilacao=Mar  5 2024 09:12:44
//   Texto=  Modulo=/opt/zq/lib/libzqmm.so  Texto2=
// HR is written as eight hex digits when it fits a 32-bit HRESULT (sign-extended or not), as
// sixteen otherwise. Tabs and line breaks inside a text become blanks, so a report is one line.
//
// Fire-and-forget: ClientSend never throws, never blocks for long and never fails its caller.
// The file is opened for appending without blocking (a FIFO without reader is refused, not
// waited for) and the line goes out in one write(2); any I/O error drops the line. Reports of
// the process are serialised by a lock that is waited for at most 200 ms, after which the line
// is dropped. Thread-safe; reports of several processes meet only at the file (O_APPEND).
#pragma once

#include <cstdint>
#include <string>

class ZQTrataErro {
 public:
  ZQTrataErro() = delete;

  // Writes one report. Null texts count as empty. Answers 0 when the line was written whole,
  // -1 otherwise; callers are free to ignore the answer.
  static long ClientSend(std::int64_t hr, long codigoErro, long numeroServidor, const char* empresa,
                         const char* arquivoFonte, int linhaFonte, const char* dataHoraCompilacao,
                         const char* texto, const char* caminhoModulo, const char* texto2) noexcept;

  // Full path of the loaded file (shared object or executable) that holds `endereco`, at most
  // 260 characters (longer paths are cut); "" when it cannot be told. A relative name from the
  // loader (an executable started as ./prog) is made absolute against the current directory.
  static std::string CaminhoModulo(const void* endereco) noexcept;

  static constexpr std::size_t kMaximoCaminho = 260;
};
