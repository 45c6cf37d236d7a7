// The failure trace: HRESULT lookups, the record line, the monthly log file and its appends from
// many threads and processes.
#include "framework/Rastreio.h"

#include <dlfcn.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "framework/BibliotecaMensagens.h"
#include "framework/HResultNomes.h"
#include "framework/InfoProcesso.h"
#include "framework/ProfilerLog.h"
#include "framework/Versoes.h"
#include "platform/storage/ZQEmpresas.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"
#include "support/Fixture.h"

namespace {

namespace fs = std::filesystem;
using Linha = std::vector<std::string>;

constexpr long kFim = ZQ_HR(0xFFFFFFFF), kEFail = ZQ_HR(0x80004005);
const std::string kChaveDF = std::string(CZQRegistro::kRaiz) + "\\DF";
const std::string kDesconhecida = "Desconhecido ou novo código de FACILITY"_cp;
const std::string kItf7 = "DFSREL: Servidor não foi inicializado"_cp;
const std::string kCabecalho(kMMCabecalhoProfilerErros, sizeof kMMCabecalhoProfilerErros - 2);
const std::regex kGuid("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");

#ifdef ZQ_TEST_MSGLIB
constexpr const char* kBibliotecaTeste = ZQ_TEST_MSGLIB;
#else
constexpr const char* kBibliotecaTeste = nullptr;
#endif

// The message library: the stand-in, a missing file, or a library that exports neither function.
enum class Biblioteca { Presente, Ausente, SemExportacoes };
constexpr auto kPresente = Biblioteca::Presente, kAusente = Biblioteca::Ausente,
               kVazia = Biblioteca::SemExportacoes;

void UsaBiblioteca(Biblioteca b) {
  CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens",
                      b == kPresente ? (kBibliotecaTeste ? kBibliotecaTeste : "")
                      : b == kAusente ? "/nao/existe/libZQLMensagem.so"
                                      : "libc.so.6");
}

// A profiler whose company lookup throws when `falha`.
struct ProfilerTeste final : IZQDF_Profiler {
  ProfilerTeste(std::string e, unsigned short u, unsigned long s, bool f = false)
      : empresa(std::move(e)), usuario(u), sessao(s), falha(f) {}
  CString GetEmpresa() const override {
    return falha ? throw std::runtime_error("sem empresa") : CString(empresa);
  }
  unsigned short GetUsuario() const override { return usuario; }
  unsigned long GetNumeroSessao() const override { return sessao; }
  std::string empresa;
  unsigned short usuario;
  unsigned long sessao;
  bool falha;
};

// Every piece between separators, the empty last one included.
Linha Divide(const std::string& texto, char sep = '\t') {
  Linha partes(1);
  for (char c : texto) c == sep ? void(partes.emplace_back()) : partes.back().push_back(c);
  return partes;
}

std::string LeArquivo(const fs::path& arquivo) {
  std::ostringstream s;
  s << std::ifstream(arquivo, std::ios::binary).rdbuf();
  return s.str();
}

// The file's lines; a last line without "\n" is reported as "<incompleta>...".
Linha Linhas(const fs::path& arquivo) {
  Linha linhas = Divide(LeArquivo(arquivo), '\n');
  linhas.back().empty() ? linhas.pop_back() : void(linhas.back().insert(0, "<incompleta>"));
  return linhas;
}

// Every regular file under dir, relative, sorted: "pgms/ZQProfilerErros_Pgms_202403.log".
std::string Arquivos(const fs::path& dir) {
  std::set<std::string> nomes;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) nomes.insert(fs::relative(e.path(), dir).string());
  std::string s;
  for (const auto& n : nomes) s.append(s.empty() ? "" : " ").append(n);
  return s;
}

REG_ZQDMAHMSUTC Momento(int dia, int mes, int ano, int h, int m, int s) {
  return REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(dia, mes, ano), h, m, s, -10800);
}

void Traca(long hr, int linha = 10, IZQDF_Profiler* profiler = nullptr) {
  MMTraceHR(profiler, "CMMTeste::Funcao", "MMTeste", linha, "Chamada()", hr);
}

// Each test: its own directory with a "pgms" folder as the registry's Path, the message library
// absent, and the clock standing at 15/03/2024 10:05:30.
class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = zqteste::DiretorioTemporario("rastreio");
    m_pgms = m_dir / "pgms";
    fs::create_directories(m_pgms);
    CZQRegistro::Define(kChaveDF, "Path", m_pgms.string() + "/");
    UsaBiblioteca(kAusente);
  }
  void TearDown() override {
    CZQRegistro::Define(kChaveDF, "Path", "");
    CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens", "");
    for (const auto& e : m_empresas) CZQEmpresas::Remove(e);
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }

  // A company under a unique name: a memory company with data directory <test dir>/<nome>,
  // or without `comDados` one with no data directory.
  std::string Empresa(const std::string& nome, bool comDados = true) {
    zq::EmpresaConfig config;
    if (comDados) {
      fs::create_directories(m_dir / nome);
      config.motor = "memoria";
      config.dados = (m_dir / nome).string();
    }
    m_empresas.push_back(std::string("RASTREIO_").append(nome) + "_" + std::to_string(::getpid()));
    EXPECT_TRUE(CZQEmpresas::Registra(m_empresas.back(), config).ok());
    return m_empresas.back();
  }

  fs::path ArquivoPgms() const { return m_pgms / "ZQProfilerErros_Pgms_202403.log"; }

  fs::path m_dir, m_pgms;
  std::vector<std::string> m_empresas;
  CZQRelogioGuarda m_relogio{Momento(15, 3, 2024, 10, 5, 30)};
};

// ---- Lookups ---------------------------------------------------------------------------------

// Only the low 32 bits of the long count: bit 31 is the severity, bits 16-28 the facility.
TEST(TraceNamesTest, PartesDoHResult) {
  const std::tuple<long, int, int, int> casos[] = {  // hr, severity, facility, code
      {0, 0, 0, 0},          {1, 0, 0, 1},           {0x7FFF0000L, 0, 0x1FFF, 0},
      {0x80000000L, 1, 0, 0}, {ZQ_HR(0x80000000), 1, 0, 0}, {kFim, 1, 0x1FFF, 0xFFFF},
      {0x180004005L, 1, 0, 0x4005}, {ZQ_HR(0x80F00001), 1, 240, 1},
      {static_cast<long>(0xFFFFFFFF00000001UL), 0, 0, 1},
  };
  for (const auto& [hr, severidade, facility, codigo] : casos) {
    SCOPED_TRACE(hr);
    EXPECT_EQ(MMSeveridade(hr), severidade);
    EXPECT_STREQ(MMNomeSeveridade(hr), severidade ? "SEVERITY_ERROR" : "SEVERITY_SUCCESS");
    EXPECT_EQ(MMFacility(hr), facility);
    EXPECT_EQ(MMCodigo(hr), codigo);
  }
}

// The names come from tables (WinErrorNomes.inc is checked below); what matters here is what
// falls outside them, and which name wins where the SDK gives a number two.
TEST(TraceNamesTest, NomesForaDasTabelas) {
  const char* d = kDesconhecida.c_str();
  const std::pair<int, const char*> facilities[] = {
      {0, "FACILITY_NULL"}, {5, d}, {43, d}, {235, d}, {236, "ZQ_FACILITY_DF_BASE"}, {267, d},
      {269, "ZQ_FACILITY_WF_WORKFLOW"}, {270, d}, {2185, d}, {0x1FFF, d}, {-1, d},
      {84, "FACILITY_MBN"},            // the trace's name, not FACILITY_POWERSHELL
      {33, "FACILITY_CONFIGURATION"},  // mingw-w64 comes first, not winapi's FACILITY_WIA
      {52, "FACILITY_NDIS"}, {85, d},  // winapi only: in the SDK's list, or not
  };
  for (const auto& [facility, nome] : facilities) {
    SCOPED_TRACE(facility);
    EXPECT_STREQ(MMNomeFacility(facility), nome);
  }
  // The suite's facilities: 236..266, 268 and 269, each with its own two-letter code.
  std::set<std::string> codigos;
  for (int f = 0; f < 0x2000; ++f) {
    const char* nome = MMNomeFacilityZQ(f);
    ASSERT_EQ(nome != nullptr, (f >= 236 && f <= 266) || f == 268 || f == 269) << f;
    if (!nome) continue;
    EXPECT_TRUE(std::regex_match(nome, std::regex("ZQ_FACILITY_[A-Z]{2}_[A-Z_]+"))) << nome;
    EXPECT_TRUE(codigos.insert(std::string(nome).substr(12, 2)).second) << "repetido: " << nome;
  }
  const std::pair<int, const char*> win32[] = {
      {0, "ERROR_SUCCESS"}, {35, ""},  // a gap in the numbering
      {3000, "ERROR_UNKNOWN_PRINT_MONITOR"}, {3001, ""}, {0xFFFF, ""}, {-1, ""},
      {225, "ERROR_VIRUS_INFECTED"},  // winapi only
  };
  for (const auto& [codigo, nome] : win32) {
    SCOPED_TRACE(codigo);
    EXPECT_STREQ(MMNomeErroWin32(codigo), nome);
  }
  const std::pair<long, const char*> hresults[] = {
      {0, "S_OK"}, {kEFail, "E_FAIL"}, {0x80004005L, "E_FAIL"}, {0x180004005L, "E_FAIL"},
      {ZQ_HR(0x800401F0), "CO_E_NOTINITIALIZED"},  // not the range marker CO_E_FIRST
      {1, ""}, {ZQ_HR(0x80070005), ""}, {ZQ_HR(0x80F00001), ""},
      {ZQ_HR(0x800A0005), "CTL_E_ILLEGALFUNCTIONCALL"},  // olectl.h, through STD_CTL_SCODE
      {ZQ_HR(0x800A0258), ""},                           // the range marker CTL_E_CUSTOM_FIRST
  };
  for (const auto& [hr, nome] : hresults) {
    SCOPED_TRACE(hr);
    EXPECT_STREQ(MMNomeHResult(hr), nome);
  }
  EXPECT_EQ(MMDescricaoFacilityItf(7), kItf7);
  EXPECT_STREQ(MMDescricaoFacilityItf(2339), "DFSPRO: Código de produto com hífen"_cp);
  for (int codigo : {0, 14, 500, 508, 513, 1521, 2340, 0xFFFF, -1})
    EXPECT_EQ(MMDescricaoFacilityItf(codigo), nullptr) << codigo;
}

// The suite's description and the code's name, with the message library present or not.
TEST_F(TraceTest, DescricaoENomeDoCodigoConformeABiblioteca) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  const std::tuple<Biblioteca, long, std::string, std::string> casos[] = {
      {kPresente, ZQ_HR(0x80F00001), "Mensagem de teste 0x80F00001", ""},  // a suite facility
      {kPresente, 0x180F00001L, "Mensagem de teste 0x80F00001", ""},
      {kPresente, ZQ_HR(0x80040007), kItf7, ""},  // facility 4: no code names
      {kPresente, 0x00040007L, kItf7, ""},
      {kPresente, ZQ_HR(0x800401FC), "Mensagem de teste 0x800401FC", ""},  // code 508: library's
      {kPresente, ZQ_HR(0x9FFF0001), "", "ERROR_INVALID_FUNCTION"},  // the library answers null
      {kPresente, ZQ_HR(0x80070005), "Mensagem de teste 0x80070005", "ERROR_ACCESS_DENIED"},
      {kPresente, kEFail, "Mensagem de teste 0x80004005", ""},  // code 0x4005 is beyond 3000
      {kPresente, ZQ_HR(0x80070023), "Mensagem de teste 0x80070023", ""},  // code 35: no name
      {kAusente, ZQ_HR(0x80F00001), "", ""},  {kAusente, ZQ_HR(0x80040007), kItf7, ""},
      {kAusente, ZQ_HR(0x80070005), "", ""},  {kVazia, ZQ_HR(0x80F00001), "", ""},
      {kVazia, ZQ_HR(0x80070005), "", ""},
  };
  for (const auto& [biblioteca, hr, descricao, nome] : casos) {
    SCOPED_TRACE(testing::Message() << "library " << static_cast<int>(biblioteca) << ", " << hr);
    UsaBiblioteca(biblioteca);
    EXPECT_EQ(MMDescricaoHResult(hr), CString(descricao));
    EXPECT_EQ(MMNomeCodigo(hr), CString(nome));
  }
  CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens", "");
  EXPECT_EQ(CMMBibliotecaMensagens::Nome(), "libZQLMensagem.so");  // when the registry is silent
}

TEST_F(TraceTest, Facility4Codigo7NaoConsultaABiblioteca) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  UsaBiblioteca(kPresente);
  // Our own reference keeps the stand-in and its call counter loaded across the trace's loads.
  void* handle = ::dlopen(kBibliotecaTeste, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << ::dlerror();
  auto chamadas = reinterpret_cast<int (*)()>(::dlsym(handle, "ZQLMensagemTesteChamadas"));
  ASSERT_NE(chamadas, nullptr);
  const int antes = chamadas();
  Traca(ZQ_HR(0x80040007));
  EXPECT_EQ(chamadas(), antes);
  Traca(ZQ_HR(0x800401FC));
  EXPECT_EQ(chamadas(), antes + 1);
  ::dlclose(handle);
  const Linha linhas = Linhas(ArquivoPgms());
  ASSERT_EQ(linhas.size(), 3u);
  EXPECT_EQ(Divide(linhas[1]).at(30), std::string("hr = 0X80040007 ") + kItf7);
  EXPECT_EQ(Divide(linhas[2]).at(30), "hr = 0X800401FC Mensagem de teste 0x800401FC");
}

TEST(TraceExpectedTest, ListaAteOTerminador) {
  EXPECT_FALSE(MMHREsperado(kEFail, kFim));
  EXPECT_FALSE(MMHREsperado(1L, kFim));
  EXPECT_TRUE(MMHREsperado(kEFail, kEFail, kFim));
  EXPECT_TRUE(MMHREsperado(kEFail, ZQ_E_NAO_ENCONTRADO, 0x80004005L, kFim));
  EXPECT_TRUE(MMHREsperado(0x80004005L, kEFail, kFim));
  EXPECT_TRUE(MMHREsperado(0L, 0L, kFim));
  EXPECT_FALSE(MMHREsperado(kEFail, ZQ_E_NAO_ENCONTRADO, kFim));
  // Codes after the terminator are not part of the list, whichever way it is written.
  EXPECT_FALSE(MMHREsperado(kEFail, kFim, kEFail));
  EXPECT_FALSE(MMHREsperado(kEFail, 0xFFFFFFFFL, kEFail));
  EXPECT_FALSE(MMHREsperado(kFim, kFim));
}

// ---- Versions and process facts --------------------------------------------------------------

TEST(TraceProcessTest, VersoesDeQuatroPartesCalculadasUmaVez) {
  const std::pair<const char*, const char*> casos[] = {
      {"6.1.0-18-amd64", "6.1.0.0"}, {"6", "6.0.0.0"}, {"1.2.3.4.5", "1.2.3.4"},
      {"4.19.0+", "4.19.0.0"}, {"1..2", "1.0.0.0"}, {"65535.0.0.65535", "65535.0.0.65535"},
      {"65536.1", "0.0.0.0"}, {"1.99999999999999999999", "0.0.0.0"}, {"", "0.0.0.0"},
      {"v6.1", "0.0.0.0"}, {".1", "0.0.0.0"},
  };
  for (const auto& [texto, versao] : casos) {
    SCOPED_TRACE(texto);
    EXPECT_EQ(MMVersaoDeTexto(texto), versao);
  }

  const MMVersoes* primeira = &MMVersoesProcesso();
  std::vector<const MMVersoes*> vistas(8);
  std::vector<std::thread> threads;
  for (auto& v : vistas) threads.emplace_back([&v] { v = &MMVersoesProcesso(); });
  for (auto& t : threads) t.join();
  for (const auto* v : vistas) EXPECT_EQ(v, primeira);
  struct utsname u{};
  ASSERT_EQ(::uname(&u), 0);
  EXPECT_EQ(primeira->sistema, MMVersaoDeTexto(u.release));
  EXPECT_NE(primeira->sistema, "0.0.0.0");
  EXPECT_TRUE(std::regex_match(primeira->programa, std::regex("[0-9]+(\\.[0-9]+){3}")));
  EXPECT_NE(primeira->programa, "0.0.0.0");
}

TEST(TraceProcessTest, MemoriaNomesEGuids) {
  const std::pair<const char*, long long> status[] = {
      {"Name:\tx\nRssAnon:\t    1234 kB\nRssFile:\t 9 kB\n", 1234LL * 1024},
      {"RssAnon:  7 kB", 7LL * 1024}, {"RssFile:\t9 kB\n", 0}, {"RssAnon:\t kB\n", 0},
      {"RssAnon:\t12 MB\n", 0}, {"XRssAnon:\t12 kB\n", 0}, {"", 0},
  };
  for (const auto& [texto, bytes] : status) {
    SCOPED_TRACE(texto);
    EXPECT_EQ(MMMemoriaPrivadaDeStatus(texto), bytes);
  }
  EXPECT_GT(MMMemoriaPrivada(), 0);
  EXPECT_EQ(MMNomeBaseMinusculo("/opt/ZQ/Manut.Bin"), "manut.bin");
  EXPECT_EQ(MMNomeBaseMinusculo("SemBarra"), "sembarra");
  EXPECT_EQ(MMNomeBaseMinusculo("/dir/"), "");
  std::set<std::string> vistos;
  for (int i = 0; i < 1000; ++i) {
    const std::string guid = MMNovoGuid();
    ASSERT_TRUE(std::regex_match(guid, kGuid) && vistos.insert(guid).second) << guid;
  }
}

// ---- The record line -------------------------------------------------------------------------

TEST_F(TraceTest, UmaLinhaCampoACampo) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  UsaBiblioteca(kPresente);
  const std::string empresa = Empresa("ACME");
  ProfilerTeste profiler(empresa, 7, 42);
  const char* chamada =
      "GetAcessoManutencao()->LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO)";
  MMTraceHR(&profiler, "CMMTrataDados::VerificaSituacaoManutencao", "MMTrataDados", 252, chamada,
            ZQ_HR(0x80010001));

  EXPECT_EQ(Arquivos(m_dir), "ACME/ZQProfilerErros_Base_202403.log");
  const Linha linhas = Linhas(m_dir / "ACME" / "ZQProfilerErros_Base_202403.log");
  ASSERT_EQ(linhas.size(), 2u);
  EXPECT_EQ(linhas[0], kCabecalho);
  const Linha cabecalho = Divide(linhas[0]);
  ASSERT_EQ(cabecalho.size(), 39u);
  EXPECT_EQ(Linha({cabecalho[21], cabecalho[24], cabecalho[29]}),
            Linha({"Tipo", "MemoriaComponente", "Log"}));

  const Linha c = Divide(linhas[1]);
  ASSERT_EQ(c.size(), 36u) << linhas[1];  // 30 columns, the Log's 5 tabs, the final tab
  const std::string usuario = ::getpwuid(::geteuid())->pw_name;
  char maquina[256] = {};
  ::gethostname(maquina, sizeof maquina - 1);
  const std::map<int, std::string> esperados = {
      {0, "15/03/2024"}, {1, "10:05:30"}, {2, std::to_string(::getpid())}, {3, usuario},
      {4, "CMMTrataDados::VerificaSituacaoManutencao"}, {6, std::string("E") + empresa},
      {7, "U007"}, {8, "S00000042"}, {9, StringPrintf("T%08ld", static_cast<long>(::gettid()))},
      {10, empresa}, {11, "7"}, {12, "42"}, {13, std::string(maquina) + "\\" + usuario},
      {14, "zqmm_tests"}, {15, "libzqmm.so"}, {16, "MMTrataDados"}, {17, "252"},
      {18, std::to_string(::getsid(0))}, {19, ""}, {20, ""}, {21, "ERRO"},
      {25, MMVersoesProcesso().programa}, {26, MMVersoesProcesso().sistema},
      {27, "MMTrataDados"}, {28, "252"}, {29, std::string("hr = ") + chamada},
      {30, "hr = 0X80010001 Mensagem de teste 0x80010001"}, {31, "SEVERITY = 1 SEVERITY_ERROR"},
      {32, "FACILITY = 1 FACILITY_RPC"}, {33, "CODE = 1 ERROR_INVALID_FUNCTION"},
      {34, "Descrição = RPC_E_CALL_REJECTED"_cp}, {35, ""},
  };
  for (const auto& [i, esperado] : esperados) EXPECT_EQ(c[i], esperado) << "coluna " << i;
  EXPECT_TRUE(std::regex_match(c[5], kGuid)) << c[5];
  for (int i : {22, 23, 24}) EXPECT_TRUE(std::regex_match(c[i], std::regex("[0-9]+"))) << c[i];
  EXPECT_GT(std::stoll(c[23]), 0);
  EXPECT_GT(std::stoll(c[24]), 0);
}

// The Log columns after "hr = Chamada()", every lookup in its place.
TEST_F(TraceTest, MensagemPorHResult) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  const std::tuple<Biblioteca, long, std::string> casos[] = {
      {kPresente, 1, "hr = 0X1 Mensagem de teste 0x00000001|SEVERITY = 0 SEVERITY_SUCCESS|"
                     "FACILITY = 0 FACILITY_NULL|CODE = 1 ERROR_INVALID_FUNCTION|Descrição = "_cp},
      {kPresente, ZQ_HR(0x80050001), std::string("hr = 0X80050001 Mensagem de teste 0x80050001|"
                     "SEVERITY = 1 SEVERITY_ERROR|FACILITY = 5 ") + kDesconhecida +
                     "|CODE = 1 ERROR_INVALID_FUNCTION|Descrição = "_cp},
      {kAusente, 1, "hr = 0X1 |SEVERITY = 0 SEVERITY_SUCCESS|FACILITY = 0 FACILITY_NULL|"
                    "CODE = 1 |Descrição = "_cp},
  };
  for (const auto& [biblioteca, hr, log] : casos) {
    SCOPED_TRACE(testing::Message() << "library " << static_cast<int>(biblioteca) << ", " << hr);
    UsaBiblioteca(biblioteca);
    fs::remove(ArquivoPgms());
    Traca(hr);
    const Linha linhas = Linhas(ArquivoPgms());
    ASSERT_EQ(linhas.size(), 2u);
    const Linha c = Divide(linhas[1]);
    ASSERT_EQ(c.size(), 36u);
    EXPECT_EQ(c[29], "hr = Chamada()");
    EXPECT_EQ(c[30] + "|" + c[31] + "|" + c[32] + "|" + c[33] + "|" + c[34], log);
  }
}

// Nothing is written for 0 in the low 32 bits, and nothing reaches the caller, not even errno.
TEST_F(TraceTest, ZeroNaoEscreveENadaChegaAQuemChama) {
  Traca(0);
  Traca(0x100000000L);
  EXPECT_EQ(Arquivos(m_dir), "");
  Traca(1);
  EXPECT_EQ(Arquivos(m_dir), "pgms/ZQProfilerErros_Pgms_202403.log");
  fs::remove_all(m_pgms);  // the log's folder is gone
  ProfilerTeste falha("", 0, 0, true);
  errno = EDOM;
  EXPECT_NO_THROW(Traca(kEFail));
  EXPECT_NO_THROW(Traca(kEFail, 1, &falha));
  EXPECT_EQ(errno, EDOM);
  EXPECT_EQ(Arquivos(m_dir), "");
}

TEST_F(TraceTest, TraceLivreEColunasAlinhadas) {
  MMTrace(nullptr, "CMMTeste::Livre", "MMTeste", 99, "valor=%d texto=%s", 12, "abc");
  const Linha linhas = Linhas(ArquivoPgms());
  ASSERT_EQ(linhas.size(), 2u);
  const Linha c = Divide(linhas[1]);
  ASSERT_EQ(c.size(), 31u);
  EXPECT_EQ(Linha({c[6], c[7], c[8], c[29]}),
            Linha({"E", "U000", "S00000000", "valor=12 texto=abc"}));

  MMRegistroProfiler r;  // a user number wider than its column's three digits
  r.empresa = "X", r.usuario = 1000, r.sessao = 123456789, r.thread = 5, r.log = "sem tabs";
  std::tm agora{};
  agora.tm_mday = 1;
  agora.tm_year = 100;
  const Linha l = Divide(MMLinhaProfilerErro(r, agora));
  ASSERT_EQ(l.size(), 31u);
  EXPECT_EQ(Linha({l[0], l[1], l[7], l[8], l[9], l[29], l[30]}),
            Linha({"01/01/2000", "00:00:00", "U1000", "S123456789", "T00000005", "sem tabs", ""}));
}

// ---- The log file ----------------------------------------------------------------------------

TEST_F(TraceTest, ArquivoConformeEmpresaEPath) {
  const std::string comDados = Empresa("COMDADOS"), semDados = Empresa("SEM_DADOS", false);
  const char* pgms = "pgms/ZQProfilerErros_Pgms_202403.log";
  const char* base = "COMDADOS/ZQProfilerErros_Base_202403.log";
  const std::tuple<const char*, bool, std::string, const char*, const char*> casos[] = {
      // case, with a profiler, its company, registry Path under the test dir, files written
      {"empresa com dados", true, comDados, "pgms/", base},
      {"empresa com dados, sem Path", true, comDados, nullptr, base},
      {"empresa sem dados", true, semDados, "pgms/", pgms},
      {"empresa desconhecida, Path sem barra", true, "RASTREIO_NINGUEM", "pgms", pgms},
      {"empresa vazia", true, "", "pgms/", pgms},
      {"sem profiler", false, "", "pgms/", pgms},
      {"sem profiler nem Path", false, "", nullptr, ""},
      {"empresa sem dados nem Path", true, semDados, nullptr, ""},
      {"Path inexistente", false, "", "nao/existe/", ""},
  };
  for (const auto& [nome, comProfiler, empresa, path, arquivos] : casos) {
    SCOPED_TRACE(nome);
    for (const char* d : {"COMDADOS", "pgms"})
      for (const auto& e : fs::directory_iterator(m_dir / d)) fs::remove(e.path());
    CZQRegistro::Define(kChaveDF, "Path", path ? (m_dir / path).string() : "");
    ProfilerTeste profiler(empresa, 1, 1);
    Traca(kEFail, 1, comProfiler ? &profiler : nullptr);
    EXPECT_EQ(Arquivos(m_dir), arquivos);
  }
}

TEST_F(TraceTest, MesNovoGanhaOCabecalhoUmaVez) {
  {
    CZQRelogioGuarda fimDeMarco(Momento(31, 3, 2024, 23, 59, 59));
    Traca(kEFail, 1);
    Traca(kEFail, 2);
  }
  CZQRelogioGuarda inicioDeAbril(Momento(1, 4, 2024, 0, 0, 0));
  Traca(kEFail, 3);
  EXPECT_EQ(Arquivos(m_dir),
            "pgms/ZQProfilerErros_Pgms_202403.log pgms/ZQProfilerErros_Pgms_202404.log");
  const Linha marco = Linhas(m_pgms / "ZQProfilerErros_Pgms_202403.log");
  ASSERT_EQ(marco.size(), 3u);
  EXPECT_EQ(marco[0], kCabecalho);
  EXPECT_EQ(Divide(marco[1]).at(28) + Divide(marco[2]).at(28), "12");
  const Linha abril = Linhas(m_pgms / "ZQProfilerErros_Pgms_202404.log");
  ASSERT_EQ(abril.size(), 2u);
  EXPECT_EQ(abril[0], kCabecalho);
  const Linha c = Divide(abril[1]);
  EXPECT_EQ(Linha({c.at(0), c.at(1), c.at(28)}), Linha({"01/04/2024", "00:00:00", "3"}));
}

TEST_F(TraceTest, TentativasDeAnexar) {
  std::ofstream(m_dir / "arquivo") << "x";
  fs::create_directories(m_dir / "pasta");
  std::ofstream(m_dir / "antigo.log") << "linha antiga\n";
  const std::string novo = std::string(kMMCabecalhoProfilerErros) + "L\n";
  const std::tuple<const char*, bool, int, const char*> casos[] = {
      // file, written, attempts, its text afterwards
      {"novo.log", true, 1, novo.c_str()},
      {"antigo.log", true, 1, "linha antiga\nL\n"},  // not empty: no header
      {"nao/existe.log", false, 1, nullptr},         // ENOENT: no point in trying again
      {"arquivo/sub.log", false, 1, nullptr},        // ENOTDIR
      {"pasta", false, 19, nullptr},                 // EISDIR: tried to the end
  };
  for (const auto& [caminho, escrito, tentativas, texto] : casos) {
    SCOPED_TRACE(caminho);
    int feitas = 0;
    EXPECT_EQ(MMAnexaProfilerErros((m_dir / caminho).string(), "L", &feitas), escrito);
    EXPECT_EQ(feitas, tentativas);
    EXPECT_EQ(texto ? LeArquivo(m_dir / caminho) : "", texto ? texto : "");
  }
}

// ---- Many writers ----------------------------------------------------------------------------

// One header, then `registros` whole records, each with its own GUID; answers the writers seen
// in the Processo column.
std::set<std::string> ConfereArquivo(const fs::path& arquivo, std::size_t registros) {
  const Linha linhas = Linhas(arquivo);
  std::set<std::string> guids, processos;
  EXPECT_EQ(linhas.size(), registros + 1);
  EXPECT_EQ(linhas.at(0), kCabecalho);
  for (std::size_t i = 1; i < linhas.size(); ++i) {
    const Linha c = Divide(linhas[i]);
    if (c.size() != 36u || c[21] != "ERRO" || c[29] != "hr = Chamada()" ||
        c[34] != "Descrição = E_FAIL"_cp || !guids.insert(c[5]).second) {
      ADD_FAILURE() << "linha " << i << ": " << linhas[i];
      break;
    }
    processos.insert(c[2]);
  }
  return processos;
}

TEST_F(TraceTest, OitoThreadsMilTracesCada) {
  if (kBibliotecaTeste) UsaBiblioteca(kPresente);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 1000; ++i) Traca(kEFail, t);
    });
  for (auto& t : threads) t.join();
  ConfereArquivo(ArquivoPgms(), 8 * 1000);
}

TEST_F(TraceTest, QuatroProcessosMilTracesCada) {
  if (kBibliotecaTeste) UsaBiblioteca(kPresente);
  std::vector<pid_t> filhos;
  for (int p = 0; p < 4; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0; i < 1000; ++i) Traca(kEFail, p);
      ::_exit(0);
    }
    filhos.push_back(pid);
  }
  for (pid_t pid : filhos) {
    int estado = 0;
    ASSERT_EQ(::waitpid(pid, &estado, 0), pid);
    EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
  }
  EXPECT_EQ(ConfereArquivo(ArquivoPgms(), 4 * 1000).size(), 4u);
}

// ---- The generated names ---------------------------------------------------------------------

TEST(TraceGeneratedTest, WinErrorNomesEstaAtualizado) {
  if (std::system("python3 -c '' >/dev/null 2>&1") != 0) GTEST_SKIP() << "sem python3";
  const fs::path dir = zqteste::DiretorioTemporario("winerror"), gerado = dir / "WinErrorNomes.inc",
                 saida = dir / "saida.txt";
  const std::string comando = std::string("python3 '") + ZQ_SOURCE_DIR +
                              "/scripts/gen_winerror.py' --output '" + gerado.string() + "' >'" +
                              saida.string() + "' 2>&1";
  const int estado = std::system(comando.c_str());
  const std::string novo = LeArquivo(gerado), mensagem = LeArquivo(saida);
  fs::remove_all(dir);
  // 77: a source header is not installed; the message names its Debian package.
  if (WIFEXITED(estado) && WEXITSTATUS(estado) == 77) GTEST_SKIP() << mensagem;
  ASSERT_EQ(estado, 0) << comando << "\n" << mensagem;
  EXPECT_FALSE(novo.empty());
  EXPECT_TRUE(novo == LeArquivo(fs::path(ZQ_SOURCE_DIR) / "framework/generated/WinErrorNomes.inc"))
      << "framework/generated/WinErrorNomes.inc is out of date: run scripts/gen_winerror.py";
}

}  // namespace
