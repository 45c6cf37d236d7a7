// The two version texts of the failure trace's record, "%d.%d.%d.%d" of four 16-bit parts.
//
// On Windows they are the file versions of the running executable and of kernel32.dll. Linux
// files carry no version record, so here:
//   program version = the rules library's own version, compiled in as ZQ_VERSAO by the build
//                     (the project version, "1.0.0.0");
//   system version  = the kernel release of uname(2): "6.1.0-18-amd64" gives "6.1.0.0".
// Either is "0.0.0.0" when it cannot be read or parsed.
//
// MMVersoesProcesso computes both on its first call, under a process-wide lock, and keeps them:
// later calls, from any thread, return the same texts without recomputing them.
#pragma once

#include <string>
#include <string_view>

struct MMVersoes {
  std::string programa;
  std::string sistema;
};

const MMVersoes& MMVersoesProcesso();

// The leading dotted numbers of texto (at most four, each 0..65535) as four parts, missing
// parts 0: "6.1.0-18-amd64" -> "6.1.0.0", "5.10" -> "5.10.0.0", "1.2.3.4.5" -> "1.2.3.4".
// "0.0.0.0" when texto does not start with a number or a part exceeds 16 bits.
std::string MMVersaoDeTexto(std::string_view texto);

// Each computed afresh.
std::string MMVersaoProgramaAtual();
std::string MMVersaoSistemaAtual();
