// The failure trace: HRESULT lookups, the record line, the monthly log file, many threads and processes.
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
#include <thread>
#include <tuple>

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
// The message library: the build's stand-in, a missing file, or one that exports neither function.
const char *const kPresente = ZQ_TEST_MSGLIB, *const kAusente = "/nao/existe/libZQLMensagem.so",
                  *const kVazia = "libc.so.6";

void UsaBiblioteca(const char* b) { CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens", b); }

// A profiler whose company lookup throws for the company "!".
struct ProfilerTeste final : IZQDF_Profiler {
  ProfilerTeste(std::string e, unsigned short u, unsigned long s) : empresa(std::move(e)), usuario(u), sessao(s) {}
  CString GetEmpresa() const override { return empresa == "!" ? throw std::runtime_error("!") : CString(empresa); }
  unsigned short GetUsuario() const override { return usuario; }
  unsigned long GetNumeroSessao() const override { return sessao; }
  std::string empresa;
  unsigned short usuario;
  unsigned long sessao;
};

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

// Every regular file under dir, relative, sorted.
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

// Each test: its own directory, its "pgms" folder the registry's Path, no message library, clock at 15/03/2024.
class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(m_pgms);
    CZQRegistro::Define(kChaveDF, "Path", m_pgms.string() + "/");
    UsaBiblioteca(kAusente);
  }
  void TearDown() override {
    CZQRegistro::Define(kChaveDF, "Path", "");
    UsaBiblioteca("");
    for (const auto& e : m_empresas) CZQEmpresas::Remove(e);
    fs::remove_all(m_dir);
  }

  // A memory company with data directory <test dir>/<nome>, or without `comDados` none at all.
  std::string Empresa(const std::string& nome, bool comDados = true) {
    zq::EmpresaConfig config;
    if (comDados) config.dados = (m_dir / nome).string(), fs::create_directories(config.dados);
    m_empresas.push_back("RASTREIO_" + nome + "_" + std::to_string(::getpid()));
    EXPECT_TRUE(CZQEmpresas::Registra(m_empresas.back(), config).ok());
    return m_empresas.back();
  }

  // The columns of the only record of a log (the programs' one by default), after its header.
  Linha Registro(const fs::path& arquivo = {}) {
    const Linha linhas = Linhas(arquivo.empty() ? m_pgms / "ZQProfilerErros_Pgms_202403.log" : arquivo);
    EXPECT_TRUE(linhas.size() == 2 && linhas[0] == kCabecalho) << linhas.size();
    return linhas.size() == 2 ? Divide(linhas[1]) : Linha(40);
  }

  const fs::path m_dir = zqteste::DiretorioTemporario("rastreio"), m_pgms = m_dir / "pgms";
  std::vector<std::string> m_empresas;
  CZQRelogioGuarda m_relogio{Momento(15, 3, 2024, 10, 5, 30)};
};

// Only the low 32 bits of the long count: bit 31 is the severity, bits 16-28 the facility.
TEST(TraceNamesTest, PartesDoHResult) {
  const std::tuple<long, int, int, int> casos[] = {  // hr, severity, facility, code
      {0, 0, 0, 0}, {1, 0, 0, 1}, {0x7FFF0000L, 0, 0x1FFF, 0}, {0x80000000L, 1, 0, 0}, {ZQ_HR(0x80000000), 1, 0, 0},
      {kFim, 1, 0x1FFF, 0xFFFF}, {0x180004005L, 1, 0, 0x4005}, {ZQ_HR(0x80F00001), 1, 240, 1},
      {static_cast<long>(0xFFFFFFFF00000001UL), 0, 0, 1},
  };
  for (const auto& [hr, severidade, facility, codigo] : casos)
    EXPECT_EQ(std::make_tuple(MMSeveridade(hr), std::string(MMNomeSeveridade(hr)), MMFacility(hr), MMCodigo(hr)),
              std::make_tuple(severidade, severidade ? "SEVERITY_ERROR" : "SEVERITY_SUCCESS", facility, codigo)) << hr;
}

// Outside the generated tables (checked below), and which name wins where the SDK gives a number two.
TEST(TraceNamesTest, NomesForaDasTabelas) {
  const char* d = kDesconhecida.c_str();
  const std::pair<int, const char*> facilities[] = {
      {0, "FACILITY_NULL"}, {5, d}, {235, d}, {236, "ZQ_FACILITY_DF_BASE"}, {267, d}, {269, "ZQ_FACILITY_WF_WORKFLOW"},
      {270, d}, {0x1FFF, d}, {-1, d}, {52, "FACILITY_NDIS"}, {85, d},  // winapi only: in the SDK's list, or not
      {84, "FACILITY_MBN"}, {33, "FACILITY_CONFIGURATION"}};  // not POWERSHELL; mingw-w64's, not winapi's WIA
  for (const auto& [facility, nome] : facilities) EXPECT_STREQ(MMNomeFacility(facility), nome) << facility;
  for (int f = 0; f < 0x2000; ++f)
    ASSERT_EQ(MMNomeFacilityZQ(f) != nullptr, (f >= 236 && f <= 266) || f == 268 || f == 269) << f;
  const std::pair<int, const char*> win32[] = {  // 35: a gap in the numbering; 225: winapi only
      {0, "ERROR_SUCCESS"}, {35, ""}, {3000, "ERROR_UNKNOWN_PRINT_MONITOR"}, {3001, ""}, {0xFFFF, ""}, {-1, ""},
      {225, "ERROR_VIRUS_INFECTED"}};
  for (const auto& [codigo, nome] : win32) EXPECT_STREQ(MMNomeErroWin32(codigo), nome) << codigo;
  const std::pair<long, const char*> hresults[] = {
      {0, "S_OK"}, {kEFail, "E_FAIL"}, {0x180004005L, "E_FAIL"}, {1, ""}, {ZQ_HR(0x80070005), ""},
      {ZQ_HR(0x800401F0), "CO_E_NOTINITIALIZED"},  // not the range marker CO_E_FIRST
      {ZQ_HR(0x800A0005), "CTL_E_ILLEGALFUNCTIONCALL"},  // olectl.h, through STD_CTL_SCODE
      {ZQ_HR(0x800A0258), ""},                           // the range marker CTL_E_CUSTOM_FIRST
  };
  for (const auto& [hr, nome] : hresults) EXPECT_STREQ(MMNomeHResult(hr), nome) << hr;
  for (int codigo : {0, 14, 500, 508, 513, 1521, 2340, 0xFFFF, -1})
    EXPECT_EQ(MMDescricaoFacilityItf(codigo), nullptr) << codigo;
}

// The suite's description and the code's name, with the message library present or not.
TEST_F(TraceTest, DescricaoENomeDoCodigoConformeABiblioteca) {
  const char *const kItf = kItf7.c_str(), *const P = kPresente;
  // A suite facility, in or beyond the low 32 bits; facility 4 (no code names); code 508, the library's;
  // codes 0x4005 (beyond 3000) and 35 without a name; the library answering null. nullptr: the library's text.
  const std::tuple<const char*, long, const char*, const char*> casos[] = {
      {P, ZQ_HR(0x80F00001), nullptr, ""}, {P, 0x180F00001L, nullptr, ""}, {P, 0x00040007L, kItf, ""},
      {P, ZQ_HR(0x80040007), kItf, ""}, {P, ZQ_HR(0x800401FC), nullptr, ""}, {P, kEFail, nullptr, ""},
      {P, ZQ_HR(0x80070023), nullptr, ""}, {P, ZQ_HR(0x9FFF0001), "", "ERROR_INVALID_FUNCTION"},
      {P, ZQ_HR(0x80070005), nullptr, "ERROR_ACCESS_DENIED"}, {kAusente, ZQ_HR(0x80040007), kItf, ""},
      {kAusente, ZQ_HR(0x80070005), "", ""}, {kVazia, ZQ_HR(0x80070005), "", ""},
  };
  for (const auto& [biblioteca, hr, descricao, nome] : casos) {
    UsaBiblioteca(biblioteca);
    EXPECT_EQ(std::string(MMDescricaoHResult(hr).Str()) + "|" + MMNomeCodigo(hr).Str(),
              (descricao ? descricao : StringPrintf("Mensagem de teste 0x%08lX", hr & 0xFFFFFFFFL)) + "|" + nome)
        << biblioteca << ", " << hr;
  }
  // Facility 4 code 7 does not consult the library (our own reference keeps its call counter loaded).
  UsaBiblioteca(kPresente);
  void* handle = ::dlopen(kPresente, RTLD_NOW | RTLD_LOCAL);
  auto chamadas = reinterpret_cast<int (*)()>(::dlsym(handle, "ZQLMensagemTesteChamadas"));
  ASSERT_TRUE(handle && chamadas) << ::dlerror();
  const int antes = chamadas();
  Traca(ZQ_HR(0x80040007));
  EXPECT_EQ(chamadas(), antes);
  Traca(ZQ_HR(0x800401FC));
  EXPECT_EQ(chamadas(), antes + 1);
  UsaBiblioteca("");
  EXPECT_EQ(CMMBibliotecaMensagens::Nome(), "libZQLMensagem.so");  // when the registry is silent
}

TEST(TraceExpectedTest, ListaAteOTerminador) {
  EXPECT_TRUE(MMHREsperado(kEFail, kEFail, kFim) && MMHREsperado(kEFail, ZQ_E_NAO_ENCONTRADO, 0x80004005L, kFim) &&
              MMHREsperado(0x80004005L, kEFail, kFim) && MMHREsperado(0L, 0L, kFim));
  EXPECT_FALSE(MMHREsperado(kEFail, kFim) || MMHREsperado(1L, kFim) || MMHREsperado(kEFail, ZQ_E_NAO_ENCONTRADO, kFim));
  // Codes after the terminator are not part of the list, whichever way it is written.
  EXPECT_FALSE(MMHREsperado(kEFail, kFim, kEFail) || MMHREsperado(kEFail, 0xFFFFFFFFL, kEFail) ||
               MMHREsperado(kFim, kFim));
}

TEST(TraceProcessTest, VersoesDeQuatroPartesCalculadasUmaVez) {
  const std::pair<const char*, const char*> casos[] = {
      {"6.1.0-18-amd64", "6.1.0.0"}, {"6", "6.0.0.0"}, {"1.2.3.4.5", "1.2.3.4"}, {"4.19.0+", "4.19.0.0"},
      {"1..2", "1.0.0.0"}, {"65535.0.0.65535", "65535.0.0.65535"}, {"65536.1", "0.0.0.0"}, {"", "0.0.0.0"},
      {"1.99999999999999999999", "0.0.0.0"}, {"v6.1", "0.0.0.0"}, {".1", "0.0.0.0"},
  };
  for (const auto& [texto, versao] : casos) EXPECT_EQ(MMVersaoDeTexto(texto), versao) << texto;
  const MMVersoes* primeira = &MMVersoesProcesso();
  std::vector<const MMVersoes*> vistas(8);
  std::vector<std::thread> threads;
  for (auto& v : vistas) threads.emplace_back([&v] { v = &MMVersoesProcesso(); });
  for (auto& t : threads) t.join();
  for (const auto* v : vistas) EXPECT_EQ(v, primeira);
  struct utsname u{};
  ASSERT_EQ(::uname(&u), 0);
  EXPECT_EQ(primeira->sistema, MMVersaoDeTexto(u.release));
  EXPECT_TRUE(std::regex_match(primeira->programa, std::regex("[0-9]+(\\.[0-9]+){3}"))) << primeira->programa;
  EXPECT_TRUE(primeira->sistema != "0.0.0.0" && primeira->programa != "0.0.0.0");
}

TEST(TraceProcessTest, MemoriaENomes) {
  const std::pair<const char*, long long> status[] = {
      {"Name:\tx\nRssAnon:\t    1234 kB\nRssFile:\t 9 kB\n", 1234LL * 1024}, {"RssAnon:  7 kB", 7LL * 1024},
      {"RssFile:\t9 kB\n", 0}, {"RssAnon:\t kB\n", 0}, {"RssAnon:\t12 MB\n", 0}, {"XRssAnon:\t12 kB\n", 0}, {"", 0},
  };
  for (const auto& [texto, bytes] : status) EXPECT_EQ(MMMemoriaPrivadaDeStatus(texto), bytes) << texto;
  EXPECT_GT(MMMemoriaPrivada(), 0);
  EXPECT_EQ(MMNomeBaseMinusculo("/opt/ZQ/Manut.Bin") + "|" + MMNomeBaseMinusculo("SemBarra") + "|" +
                MMNomeBaseMinusculo("/dir/"), "manut.bin|sembarra|");
}

TEST_F(TraceTest, UmaLinhaCampoACampo) {
  UsaBiblioteca(kPresente);
  const std::string empresa = Empresa("ACME");
  ProfilerTeste profiler(empresa, 7, 42);
  const char* chamada = "GetAcessoManutencao()->LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO)";
  MMTraceHR(&profiler, "CMMTrataDados::VerificaSituacaoManutencao", "MMTrataDados", 252, chamada, ZQ_HR(0x80010001));
  const Linha c = Registro(m_dir / "ACME" / "ZQProfilerErros_Base_202403.log");
  ASSERT_EQ(c.size(), 36u);  // 30 columns, the Log's 5 tabs, the final tab
  const std::string usuario = ::getpwuid(::geteuid())->pw_name;
  char maquina[256] = {};
  ::gethostname(maquina, sizeof maquina - 1);
  const std::map<int, std::string> esperados = {
      {0, "15/03/2024"}, {1, "10:05:30"}, {2, std::to_string(::getpid())}, {3, usuario}, {6, "E" + empresa},
      {4, "CMMTrataDados::VerificaSituacaoManutencao"}, {7, "U007"}, {8, "S00000042"}, {10, empresa}, {11, "7"},
      {9, StringPrintf("T%08ld", static_cast<long>(::gettid()))}, {12, "42"}, {13, maquina + ("\\" + usuario)},
      {14, "zqmm_tests"}, {15, "libzqmm.so.1"}, {16, "MMTrataDados"}, {17, "252"}, {18, std::to_string(::getsid(0))},
      {19, ""}, {20, ""}, {21, "ERRO"}, {25, MMVersoesProcesso().programa}, {26, MMVersoesProcesso().sistema},
      {27, "MMTrataDados"}, {28, "252"}, {29, std::string("hr = ") + chamada}, {31, "SEVERITY = 1 SEVERITY_ERROR"},
      {30, "hr = 0X80010001 Mensagem de teste 0x80010001"}, {32, "FACILITY = 1 FACILITY_RPC"}, {35, ""},
      {33, "CODE = 1 ERROR_INVALID_FUNCTION"}, {34, "Descrição = RPC_E_CALL_REJECTED"_cp},
  };
  for (const auto& [i, esperado] : esperados) EXPECT_EQ(c[i], esperado) << "coluna " << i;
  EXPECT_TRUE(std::regex_match(c[5], kGuid)) << c[5];
  for (int i : {22, 23, 24}) EXPECT_TRUE(std::regex_match(c[i], std::regex("[0-9]+"))) << c[i];
  EXPECT_GT(std::stoll(c[23]) * std::stoll(c[24]), 0);
}

// Nothing is written for 0 in the low 32 bits, and nothing reaches the caller, not even errno.
TEST_F(TraceTest, ZeroNaoEscreveENadaChegaAQuemChama) {
  Traca(0), Traca(0x100000000L);
  EXPECT_EQ(Arquivos(m_dir), "");
  Traca(1);
  const Linha c = Registro();
  EXPECT_EQ(c.at(29) + "|" + c.at(30) + "|" + c.at(31) + "|" + c.at(32) + "|" + c.at(33) + "|" + c.at(34),
            "hr = Chamada()|hr = 0X1 |SEVERITY = 0 SEVERITY_SUCCESS|FACILITY = 0 FACILITY_NULL|CODE = 1 |"
            "Descrição = "_cp);
  fs::remove_all(m_pgms);  // the log's folder is gone
  ProfilerTeste falha("!", 0, 0);
  errno = EDOM;
  EXPECT_NO_THROW((Traca(kEFail), Traca(kEFail, 1, &falha)));
  EXPECT_EQ(errno, EDOM);
  EXPECT_EQ(Arquivos(m_dir), "");
}

TEST_F(TraceTest, TraceLivreEColunasAlinhadas) {
  MMTrace(nullptr, "CMMTeste::Livre", "MMTeste", 99, "valor=%d texto=%s", 12, "abc");
  const Linha c = Registro();
  ASSERT_EQ(c.size(), 31u);
  EXPECT_EQ(Linha({c[6], c[7], c[8], c[29]}), Linha({"E", "U000", "S00000000", "valor=12 texto=abc"}));
  MMRegistroProfiler r;  // a user number wider than its column's three digits
  r.empresa = "X", r.usuario = 1000, r.sessao = 123456789, r.thread = 5, r.log = "sem tabs";
  std::tm agora{};
  agora.tm_mday = 1, agora.tm_year = 100;
  const Linha l = Divide(MMLinhaProfilerErro(r, agora));
  ASSERT_EQ(l.size(), 31u);
  EXPECT_EQ(Linha({l[0], l[1], l[7], l[8], l[9], l[29], l[30]}),
            Linha({"01/01/2000", "00:00:00", "U1000", "S123456789", "T00000005", "sem tabs", ""}));
}

TEST_F(TraceTest, ArquivoConformeEmpresaEPath) {
  const std::string comDados = Empresa("COMDADOS"), semDados = Empresa("SEM_DADOS", false);
  const char *pgms = "pgms/ZQProfilerErros_Pgms_202403.log", *base = "COMDADOS/ZQProfilerErros_Base_202403.log";
  const std::tuple<const char*, bool, std::string, const char*, const char*> casos[] = {
      // case, with a profiler, its company, registry Path under the test dir, files written
      {"empresa com dados", true, comDados, "pgms/", base}, {"com dados, sem Path", true, comDados, nullptr, base},
      {"empresa sem dados", true, semDados, "pgms/", pgms}, {"empresa vazia", true, "", "pgms/", pgms},
      {"empresa desconhecida, Path sem barra", true, "RASTREIO_NINGUEM", "pgms", pgms},
      {"sem profiler", false, "", "pgms/", pgms}, {"sem profiler nem Path", false, "", nullptr, ""},
      {"empresa sem dados nem Path", true, semDados, nullptr, ""}, {"Path inexistente", false, "", "nao/existe/", ""},
  };
  for (const auto& [nome, comProfiler, empresa, path, arquivos] : casos) {
    fs::remove(m_dir / pgms), fs::remove(m_dir / base);
    CZQRegistro::Define(kChaveDF, "Path", path ? (m_dir / path).string() : "");
    ProfilerTeste profiler(empresa, 1, 1);
    Traca(kEFail, 1, comProfiler ? &profiler : nullptr);
    EXPECT_EQ(Arquivos(m_dir), arquivos) << nome;
  }
}

TEST_F(TraceTest, MesNovoGanhaOCabecalhoUmaVez) {
  {
    CZQRelogioGuarda fimDeMarco(Momento(31, 3, 2024, 23, 59, 59));
    Traca(kEFail, 1), Traca(kEFail, 2);
  }
  CZQRelogioGuarda inicioDeAbril(Momento(1, 4, 2024, 0, 0, 0));
  Traca(kEFail, 3);
  const Linha marco = Linhas(m_pgms / "ZQProfilerErros_Pgms_202403.log");
  const Linha abril = Linhas(m_pgms / "ZQProfilerErros_Pgms_202404.log");
  ASSERT_EQ(marco.size() * 10 + abril.size(), 32u);
  EXPECT_EQ(marco[0] + abril[0], kCabecalho + kCabecalho);
  EXPECT_EQ(Divide(marco[1]).at(28) + Divide(marco[2]).at(28), "12");
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
      {"nao/existe.log", false, 1, ""}, {"arquivo/sub.log", false, 1, ""},  // ENOENT, ENOTDIR: no point in retrying
      {"pasta", false, 19, ""},                      // EISDIR: tried to the end
  };
  for (const auto& [caminho, escrito, tentativas, texto] : casos) {
    int feitas = 0;
    EXPECT_EQ(MMAnexaProfilerErros((m_dir / caminho).string(), "L", &feitas), escrito) << caminho;
    EXPECT_EQ(feitas, tentativas) << caminho;
    EXPECT_EQ(LeArquivo(m_dir / caminho), texto) << caminho;
  }
}

// One header, then `registros` whole records, each with its own GUID; answers the Processo column's writers.
std::set<std::string> ConfereArquivo(const fs::path& arquivo, std::size_t registros) {
  const Linha linhas = Linhas(arquivo);
  std::set<std::string> guids, processos;
  EXPECT_TRUE(linhas.size() == registros + 1 && linhas.at(0) == kCabecalho) << linhas.size();
  for (std::size_t i = 1; i < linhas.size(); ++i) {
    const Linha c = Divide(linhas[i]);
    if (c.size() != 36u || c[21] != "ERRO" || c[29] != "hr = Chamada()" || c[34] != "Descrição = E_FAIL"_cp ||
        !guids.insert(c[5]).second) {
      ADD_FAILURE() << "linha " << i << ": " << linhas[i];
      break;
    }
    processos.insert(c[2]);
  }
  return processos;
}

TEST_F(TraceTest, OitoThreadsMilTracesCada) {
  UsaBiblioteca(kPresente);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) threads.emplace_back([t] { for (int i = 0; i < 1000; ++i) Traca(kEFail, t); });
  for (auto& t : threads) t.join();
  ConfereArquivo(m_pgms / "ZQProfilerErros_Pgms_202403.log", 8 * 1000);
}

TEST_F(TraceTest, QuatroProcessosMilTracesCada) {
  UsaBiblioteca(kPresente);
  std::vector<pid_t> filhos;
  for (int p = 0; p < 4; ++p) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int i = 0; i < 1000; ++i) Traca(kEFail, p);
      ::_exit(0);
    }
    filhos.push_back(pid);
  }
  for (pid_t pid : filhos) {
    int estado = 0;
    EXPECT_TRUE(::waitpid(pid, &estado, 0) == pid && WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
  }
  EXPECT_EQ(ConfereArquivo(m_pgms / "ZQProfilerErros_Pgms_202403.log", 4 * 1000).size(), 4u);
}

TEST(TraceGeneratedTest, WinErrorNomesEstaAtualizado) {
  const fs::path dir = zqteste::DiretorioTemporario("winerror");
  const std::string comando = std::string("python3 '") + ZQ_SOURCE_DIR + "/scripts/gen_winerror.py' --output '" +
                              (dir / "gerado").string() + "' >'" + (dir / "saida").string() + "' 2>&1";
  const int estado = std::system(comando.c_str());
  const std::string novo = LeArquivo(dir / "gerado"), mensagem = LeArquivo(dir / "saida");
  fs::remove_all(dir);
  // 77: a source header is not installed; the message names its Debian package.
  if (WIFEXITED(estado) && WEXITSTATUS(estado) == 77) GTEST_SKIP() << mensagem;
  ASSERT_EQ(estado, 0) << comando << "\n" << mensagem;
  EXPECT_TRUE(!novo.empty() && novo == LeArquivo(fs::path(ZQ_SOURCE_DIR) / "framework/generated/WinErrorNomes.inc"))
      << "framework/generated/WinErrorNomes.inc is out of date: run scripts/gen_winerror.py";
}

}  // namespace
