// CArqManutencao: the names of the module's data files and where a company's files lie. Static
// operations only; pure functions of their arguments, except GetDiretorioDados (and the
// MontaArquivo forms that use it), which reads the company registry (thread-safe).
//
// The three name tables are declared once below; each gives its enumeration (the value's name
// is the file's: ARQUIVO_MMMESTRE = 1) and its texts. A value outside a table gives "".
//
// Month files. Values 31 to 35 exist once a month; their names carry the month:
//
//   MontaArquivo("ACME", "MMMN", REG_ZQMA::DeMesAno(1, 2022), REG_ZQDMA::TIPO_DMA_DIA_MES_ANO2)
//     == <ACME's data directory> joined with "MMMN0122.dat"
//
// Month text (GetTextoMes), no separators: tipo 0 and 2 "mmaa", 1 and 3 "mmaaaa", 4 "aamm",
// 5 "aaaamm" (March 2022: 0322, 032022, 2203, 202203). A month number that is not valid (0, or
// beyond December 4717) writes "": with the platform's month number (REG_ZQMA) a month above 12
// or a year from 101 to 1847 cannot be held at all (REG_ZQMA::DeMesAno answers 0 for them), so
// they write "" too. Another tipo also writes "". MontaArquivo appends ".dat" even after an empty
// month text.
//
// Joining a directory and a name (JuntaDiretorio), the suite's rule in its Windows form: an
// empty directory gives the name; a separator on both sides of the joint keeps one; a separator
// on neither side puts a backslash between; otherwise the two are concatenated. Here '/' counts
// as a separator as '\' does, because on Linux the data directory comes from our registry as a
// native path that always ends with '/' (CZQEmpresas::DiretorioDados): "/srv/zq/ACME/" and
// "MMMESTRE.dat" join into "/srv/zq/ACME/MMMESTRE.dat", while "C:\MM" and "MMMESTRE.dat" still
// give "C:\MM\MMMESTRE.dat". The inserted separator stays the backslash; company directories
// never need it.
#pragma once

#include "platform/types/String.h"
#include "platform/types/ZQArray.h"
#include "platform/types/ZQDma.h"

// A(valor, NOME): the data files.
#define MM_ARQUIVOS_MANUTENCAO(A)                                                       \
  A(1, MMMESTRE) A(2, MMVERSAO) A(3, MMLOGC) A(4, MMLOGT) A(5, MMSITREG)                \
  A(6, MMDISMAN) A(7, MMDMTXTO) A(8, MMTECMAN) A(9, MMTMDISC) A(10, MMTMPOSE)           \
  A(11, MMTMEMAI) A(12, MMCPSCAB) A(13, MMCPSTXT) A(14, MMTRFCAB) A(15, MMTRFDSC)       \
  A(16, MMTRFMAT) A(17, MMTRFEQP) A(18, MMTRFSVC) A(19, MMTRFTCN) A(20, MMTRFMTX)       \
  A(21, MMTRFETX) A(22, MMTRFSTX) A(23, MMPLAMAN) A(24, MMPMTRFA) A(25, MMPMALRT)       \
  A(26, MMPMALTC) A(27, MMPMALDT) A(28, MMPMALME) A(29, MMPMCOMP) A(30, MMPLTXTO)       \
  A(31, MMMN) A(32, MMMC) A(33, MMMF) A(34, MMMA) A(35, MMMNTTXTO)                      \
  A(36, MMTIPGAS) A(37, MMLAGCAB) A(38, MMLAGITE) A(39, MMLAGTXT) A(40, MMPRDMAN)

// E(valor, NOME, texto): the extensions.
#define MM_EXTENSOES_MANUTENCAO(E) E(1, DAT, "dat") E(2, TRA, "tra") E(3, HIS, "his")

// V(valor, NOME): the version files.
#define MM_ARQUIVOS_MANUTENCAO_VERSAO(V) V(1, MMPMTXTO) V(2, MMMD) V(3, MMTD) V(4, MMML) V(5, MMCC) V(6, MMMO)

class CArqManutencao {
 public:
#define MM_ARQUIVO_ENUM(valor, nome) ARQUIVO_##nome = valor,
  enum E_ARQUIVO_MANUTENCAO : int { MM_ARQUIVOS_MANUTENCAO(MM_ARQUIVO_ENUM) };
#undef MM_ARQUIVO_ENUM
#define MM_EXTENSAO_ENUM(valor, nome, texto) EXTENSAO_##nome = valor,
  enum E_EXTENSAO_ARQUIVO_MANUTENCAO : int { MM_EXTENSOES_MANUTENCAO(MM_EXTENSAO_ENUM) };
#undef MM_EXTENSAO_ENUM
#define MM_VERSAO_ENUM(valor, nome) VERSAO_##nome = valor,
  enum E_ARQUIVO_MANUTENCAO_VERSAO : int { MM_ARQUIVOS_MANUTENCAO_VERSAO(MM_VERSAO_ENUM) };
#undef MM_VERSAO_ENUM

  // The movement files, one a month, in the order GetArquivosMovimentacao gives them.
  static constexpr E_ARQUIVO_MANUTENCAO kPrimeiroMovimento = ARQUIVO_MMMN;
  static constexpr E_ARQUIVO_MANUTENCAO kUltimoMovimento = ARQUIVO_MMMNTTXTO;

  CArqManutencao() = default;
  CArqManutencao(const CArqManutencao&) = default;
  CArqManutencao& operator=(const CArqManutencao&) = default;
  virtual ~CArqManutencao() = default;

  // The file's base name ("MMMESTRE").
  static CString GetArqManutencao(const E_ARQUIVO_MANUTENCAO& arquivo);
  // The base name, "." and the extension ("MMMESTRE.dat"); "" when the base name is empty; the
  // base name alone when the extension is.
  static CString GetArqManutencao(const E_ARQUIVO_MANUTENCAO& arquivo, const E_EXTENSAO_ARQUIVO_MANUTENCAO& extensao);
  static CString GetExtManutencao(const E_EXTENSAO_ARQUIVO_MANUTENCAO& extensao);
  static CString GetArqManutencaoVersao(const E_ARQUIVO_MANUTENCAO_VERSAO& versao);
  // Appends the base names of the five movement files after what `arquivos` holds.
  static void GetArquivosMovimentacao(CStringArray& arquivos);

  // The company's data directory as the registry gives it (a native path ending with '/'); ""
  // for a company the registry does not know. One directory serves every module here.
  static CString GetDiretorioDados(CString empresa);
  // The data directory joined with `arquivo`; `arquivo` alone for an unknown company.
  static CString MontaArquivo(const CString& empresa, const CString& arquivo);
  // The data directory joined with `arquivo`, then the month text, then ".dat".
  static CString MontaArquivo(const CString& empresa, const CString& arquivo, const REG_ZQMA& mes,
                              REG_ZQDMA::TIPO_DATA_DMA tipo);
  // `caminho` as given, then the month text, then ".dat".
  static CString MontaArquivo(const CString& caminho, const REG_ZQMA& mes, REG_ZQDMA::TIPO_DATA_DMA tipo);

  // The joining rule and the month text described above.
  static CString JuntaDiretorio(const CString& diretorio, const CString& nome);
  static CString GetTextoMes(const REG_ZQMA& mes, REG_ZQDMA::TIPO_DATA_DMA tipo);
};
