// The failure trace: HRESULT lookups, the record line, the monthly log file and its appends from
// many threads and processes.
#include "framework/Rastreio.h"

#include <dlfcn.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "framework/BibliotecaMensagens.h"
#include "framework/HResultNomes.h"
#include "framework/InfoProcesso.h"
#include "framework/ProfilerLog.h"
#include "framework/Versoes.h"
#include "platform/ZQEmpresas.h"
#include "platform/ZQRegistro.h"
#include "platform/ZQRelogio.h"
#include "platform/ZQResultados.h"
#include "support/Fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr long kFim = ZQ_HR(0xFFFFFFFF);
const std::string kChaveDF = std::string(CZQRegistro::kRaiz) + "\\DF";

#ifdef ZQ_TEST_MSGLIB
constexpr const char* kBibliotecaTeste = ZQ_TEST_MSGLIB;
#else
constexpr const char* kBibliotecaTeste = nullptr;
#endif

enum class Biblioteca { Presente, Ausente, SemExportacoes };

const char* Nome(Biblioteca b) {
  return b == Biblioteca::Presente ? "presente" : b == Biblioteca::Ausente ? "ausente" : "sem exportações";
}

// Points the registry's BibliotecaMensagens at the stand-in, at nothing, or at a library that
// loads but exports neither function.
void UsaBiblioteca(Biblioteca b) {
  std::string nome = b == Biblioteca::Presente ? (kBibliotecaTeste ? kBibliotecaTeste : "")
                     : b == Biblioteca::Ausente ? "/nao/existe/libZQLMensagem.so"
                                                : "libc.so.6";
  CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens", nome);
}

class ProfilerTeste final : public IZQDF_Profiler {
 public:
  ProfilerTeste(std::string empresa, unsigned short usuario, unsigned long sessao)
      : m_empresa(std::move(empresa)), m_usuario(usuario), m_sessao(sessao) {}
  CString GetEmpresa() const override { return CString(m_empresa); }
  unsigned short GetUsuario() const override { return m_usuario; }
  unsigned long GetNumeroSessao() const override { return m_sessao; }

 private:
  std::string m_empresa;
  unsigned short m_usuario;
  unsigned long m_sessao;
};

class ProfilerQueFalha final : public IZQDF_Profiler {
 public:
  CString GetEmpresa() const override { throw std::runtime_error("sem empresa"); }
  unsigned short GetUsuario() const override { return 0; }
  unsigned long GetNumeroSessao() const override { return 0; }
};

std::vector<std::string> Divide(const std::string& linha) {
  std::vector<std::string> campos;
  std::size_t inicio = 0;
  for (;;) {
    const std::size_t tab = linha.find('\t', inicio);
    campos.push_back(linha.substr(inicio, tab == std::string::npos ? std::string::npos : tab - inicio));
    if (tab == std::string::npos) return campos;
    inicio = tab + 1;
  }
}

std::string LeArquivo(const fs::path& arquivo) {
  std::ifstream in(arquivo, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The file's lines; a last line without "\n" is reported as "<incompleta>...".
std::vector<std::string> Linhas(const fs::path& arquivo) {
  const std::string texto = LeArquivo(arquivo);
  std::vector<std::string> linhas;
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    const std::size_t fim = texto.find('\n', inicio);
    if (fim == std::string::npos) {
      linhas.push_back("<incompleta>" + texto.substr(inicio));
      break;
    }
    linhas.push_back(texto.substr(inicio, fim - inicio));
    inicio = fim + 1;
  }
  return linhas;
}

// Every regular file under dir, relative, sorted: "pgms/ZQProfilerErros_Pgms_202403.log".
std::string Arquivos(const fs::path& dir) {
  std::set<std::string> nomes;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) nomes.insert(fs::relative(e.path(), dir).string());
  std::string s;
  for (const auto& n : nomes) s += (s.empty() ? "" : " ") + n;
  return s;
}

const std::string kCabecalho(kMMCabecalhoProfilerErros, sizeof kMMCabecalhoProfilerErros - 2);

REG_ZQDMAHMSUTC Momento(int dia, int mes, int ano, int h, int m, int s) {
  return REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(dia, mes, ano), h, m, s, -10800);
}

// Each test: its own directory with a "pgms" folder as the registry's Path, the message library
// absent, and the clock standing at 15/03/2024 10:05:30.
class Rastreio : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = zqteste::DiretorioTemporario("rastreio");
    m_pgms = m_dir / "pgms";
    fs::create_directories(m_pgms);
    CZQRegistro::Define(kChaveDF, "Path", m_pgms.string() + "/");
    UsaBiblioteca(Biblioteca::Ausente);
  }
  void TearDown() override {
    CZQRegistro::Define(kChaveDF, "Path", "");
    CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens", "");
    for (const auto& e : m_empresas) CZQEmpresas::Remove(e);
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }

  // A memory company whose data directory is <test dir>/<name>.
  std::string Empresa(const std::string& nome) {
    const fs::path dados = m_dir / nome;
    fs::create_directories(dados);
    zq::EmpresaConfig config;
    config.motor = "memoria";
    config.dados = dados.string();
    const std::string completo = "RASTREIO_" + nome + "_" + std::to_string(::getpid());
    EXPECT_TRUE(CZQEmpresas::Registra(completo, config).ok());
    m_empresas.push_back(completo);
    return completo;
  }

  fs::path ArquivoPgms() const { return m_pgms / "ZQProfilerErros_Pgms_202403.log"; }

  // The record written by one trace of hr into a fresh Pgms file.
  std::vector<std::string> CamposDe(long hr) {
    fs::remove(ArquivoPgms());
    MMTraceHR(nullptr, "CMMTeste::Funcao", "MMTeste", 10, "Chamada()", hr);
    const auto linhas = Linhas(ArquivoPgms());
    if (linhas.size() != 2) return {"<" + std::to_string(linhas.size()) + " linhas>"};
    return Divide(linhas[1]);
  }

  fs::path m_dir;
  fs::path m_pgms;
  std::vector<std::string> m_empresas;
  CZQRelogioGuarda m_relogio{Momento(15, 3, 2024, 10, 5, 30)};
};

// ---- Lookups ---------------------------------------------------------------------------------

TEST(RastreioNomes, SeveridadeUsaOs32BitsBaixos) {
  struct Caso {
    long hr;
    int severidade;
    const char* nome;
  } casos[] = {
      {0, 0, "SEVERITY_SUCCESS"},
      {1, 0, "SEVERITY_SUCCESS"},
      {0x7FFFFFFFL, 0, "SEVERITY_SUCCESS"},
      {ZQ_HR(0x80000000), 1, "SEVERITY_ERROR"},
      {0x80000000L, 1, "SEVERITY_ERROR"},  // not sign-extended: still negative on 32 bits
      {ZQ_HR(0xFFFFFFFF), 1, "SEVERITY_ERROR"},
      {0x180004005L, 1, "SEVERITY_ERROR"},
      {static_cast<long>(0xFFFFFFFF00000001UL), 0, "SEVERITY_SUCCESS"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.hr);
    EXPECT_EQ(MMSeveridade(c.hr), c.severidade);
    EXPECT_STREQ(MMNomeSeveridade(c.hr), c.nome);
  }
}

TEST(RastreioNomes, PartesDoHResult) {
  EXPECT_EQ(MMFacility(ZQ_HR(0x80F00001)), 240);
  EXPECT_EQ(MMCodigo(ZQ_HR(0x80F00001)), 1);
  EXPECT_EQ(MMFacility(ZQ_HR(0xFFFFFFFF)), 0x1FFF);  // bits 29 and 30 are not the facility's
  EXPECT_EQ(MMCodigo(ZQ_HR(0xFFFFFFFF)), 0xFFFF);
  EXPECT_EQ(MMFacility(0x7FFF0000L), 0x1FFF);
}

TEST(RastreioNomes, Facility) {
  const char* desconhecida = "Desconhecido ou novo código de FACILITY"_cp;
  struct Caso {
    int facility;
    const char* nome;
  } casos[] = {
      {0, "FACILITY_NULL"},          {1, "FACILITY_RPC"},
      {4, "FACILITY_ITF"},           {5, desconhecida},
      {6, desconhecida},             {7, "FACILITY_WIN32"},
      {25, "FACILITY_HTTP"},         {37, "FACILITY_DIRECTORYSERVICE"},
      {43, desconhecida},            {47, desconhecida},
      {59, desconhecida},            {62, desconhecida},
      {79, desconhecida},            {85, desconhecida},
      {235, desconhecida},           {236, "ZQ_FACILITY_DF_BASE"},
      {240, "ZQ_FACILITY_CX_CONEXAO"}, {265, "ZQ_FACILITY_MM_MANUTENCAO"},
      {266, "ZQ_FACILITY_QL_QUALIDADE"}, {267, desconhecida},
      {268, "ZQ_FACILITY_PJ_PROJETOS"}, {269, "ZQ_FACILITY_WF_WORKFLOW"},
      {270, desconhecida},           {2185, desconhecida},  // FACILITY_AUDCLNT is not in the list
      {0x1FFF, desconhecida},        {-1, desconhecida},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.facility);
    EXPECT_STREQ(MMNomeFacility(c.facility), c.nome);
  }
}

TEST(RastreioNomes, FacilidadesDaSuiteSeguemOPadrao) {
  const std::regex padrao("ZQ_FACILITY_[A-Z]{2}_[A-Z_]+");
  std::set<std::string> codigos;
  for (int f = 0; f < 0x2000; ++f) {
    const char* nome = MMNomeFacilityZQ(f);
    const bool daSuite = (f >= 236 && f <= 266) || f == 268 || f == 269;
    SCOPED_TRACE(f);
    ASSERT_EQ(nome != nullptr, daSuite);
    if (!nome) continue;
    EXPECT_TRUE(std::regex_match(nome, padrao)) << nome;
    EXPECT_TRUE(codigos.insert(std::string(nome).substr(12, 2)).second) << "código repetido: " << nome;
  }
}

TEST(RastreioNomes, ErroWin32AteTresMil) {
  struct Caso {
    int codigo;
    const char* nome;
  } casos[] = {
      {0, "ERROR_SUCCESS"},        {1, "ERROR_INVALID_FUNCTION"},
      {2, "ERROR_FILE_NOT_FOUND"}, {5, "ERROR_ACCESS_DENIED"},
      {35, ""},                    // a gap in the SDK's numbering
      {3000, "ERROR_UNKNOWN_PRINT_MONITOR"},
      {3001, ""},                  // named by the SDK, but beyond the system error codes used
      {0xFFFF, ""},                {-1, ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.codigo);
    EXPECT_STREQ(MMNomeErroWin32(c.codigo), c.nome);
  }
}

TEST(RastreioNomes, SimbolicoDoHResultInteiro) {
  struct Caso {
    long hr;
    const char* nome;
  } casos[] = {
      {0, "S_OK"},
      {ZQ_HR(0x80004005), "E_FAIL"},
      {0x80004005L, "E_FAIL"},
      {0x180004005L, "E_FAIL"},
      {ZQ_HR(0x8000FFFF), "E_UNEXPECTED"},
      {ZQ_HR(0x80004001), "E_NOTIMPL"},
      {ZQ_HR(0x80004004), "E_ABORT"},
      {ZQ_HR(0x800401F0), "CO_E_NOTINITIALIZED"},  // not the range marker CO_E_FIRST
      {ZQ_HR(0x80040100), "DRAGDROP_E_NOTREGISTERED"},
      {ZQ_HR(0x80010001), "RPC_E_CALL_REJECTED"},
      {1, ""},                                   // S_FALSE is not one of the names used
      {ZQ_HR(0x80070005), ""},                   // nor E_ACCESSDENIED
      {ZQ_HR(0x80040007), ""},                   // nor the OLE_E_ family
      {ZQ_HR(0x80F00001), ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.hr);
    EXPECT_STREQ(MMNomeHResult(c.hr), c.nome);
  }
}

TEST(RastreioNomes, DescricoesDaFacility4) {
  EXPECT_STREQ(MMDescricaoFacilityItf(7), "DFSREL: Servidor não foi inicializado"_cp);
  EXPECT_EQ(std::string(MMDescricaoFacilityItf(7)).find('\xE3'), 18u);  // ã in Windows-1252
  EXPECT_STREQ(MMDescricaoFacilityItf(1),
               "DFSREL: Modelo de relatório deve ser definido para realizar a exportação"_cp);
  EXPECT_STREQ(MMDescricaoFacilityItf(5),
               "DFSREL: Ocorreu um erro ao gravar o modelo do relatório. Por favor verifique se o "
               "arquivo não está sendo usado por outro processo ou está com o atributo de "
               "'somente leitura'"_cp);
  EXPECT_STREQ(MMDescricaoFacilityItf(2339), "DFSPRO: Código de produto com hífen"_cp);
  for (int codigo : {0, 14, 500, 508, 513, 1521, 2340, 0xFFFF, -1}) {
    SCOPED_TRACE(codigo);
    EXPECT_EQ(MMDescricaoFacilityItf(codigo), nullptr);
  }
}

TEST_F(Rastreio, DescricaoDaSuiteEComOuSemBiblioteca) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  struct Caso {
    Biblioteca biblioteca;
    long hr;
    const char* descricao;
  } casos[] = {
      {Biblioteca::Presente, ZQ_HR(0x80F00001), "Mensagem de teste 0x80F00001"},
      {Biblioteca::Presente, 0x180F00001L, "Mensagem de teste 0x80F00001"},
      {Biblioteca::Presente, ZQ_HR(0x80040007), "DFSREL: Servidor não foi inicializado"_cp},
      {Biblioteca::Presente, 0x00040007L, "DFSREL: Servidor não foi inicializado"_cp},
      {Biblioteca::Presente, ZQ_HR(0x800401FC), "Mensagem de teste 0x800401FC"},  // code 508
      {Biblioteca::Presente, ZQ_HR(0x9FFF0001), ""},  // the library answers null
      {Biblioteca::Ausente, ZQ_HR(0x80F00001), ""},
      {Biblioteca::Ausente, ZQ_HR(0x80040007), "DFSREL: Servidor não foi inicializado"_cp},
      {Biblioteca::SemExportacoes, ZQ_HR(0x80F00001), ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(std::string(Nome(c.biblioteca)) + " " + std::to_string(c.hr));
    UsaBiblioteca(c.biblioteca);
    EXPECT_EQ(MMDescricaoHResult(c.hr), CString(c.descricao));
  }
}

TEST_F(Rastreio, NomeDoCodigoDependeDaBiblioteca) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  struct Caso {
    Biblioteca biblioteca;
    long hr;
    const char* nome;
  } casos[] = {
      {Biblioteca::Presente, ZQ_HR(0x80070005), "ERROR_ACCESS_DENIED"},
      {Biblioteca::Presente, ZQ_HR(0x80070002), "ERROR_FILE_NOT_FOUND"},
      {Biblioteca::Presente, ZQ_HR(0x80010001), "ERROR_INVALID_FUNCTION"},
      {Biblioteca::Presente, ZQ_HR(0x80004005), ""},   // code 0x4005 is beyond 3000
      {Biblioteca::Presente, ZQ_HR(0x80050001), "ERROR_INVALID_FUNCTION"},
      {Biblioteca::Presente, ZQ_HR(0x80040002), ""},   // facility 4
      {Biblioteca::Presente, ZQ_HR(0x80F00002), ""},   // one of the suite's facilities
      {Biblioteca::Presente, ZQ_HR(0x81090002), ""},
      {Biblioteca::Presente, ZQ_HR(0x80070023), ""},   // code 35 has no name
      {Biblioteca::Presente, ZQ_HR(0x80070BB9), ""},   // code 3001
      {Biblioteca::Ausente, ZQ_HR(0x80070005), ""},
      {Biblioteca::SemExportacoes, ZQ_HR(0x80070005), ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(std::string(Nome(c.biblioteca)) + " " + std::to_string(c.hr));
    UsaBiblioteca(c.biblioteca);
    EXPECT_EQ(MMNomeCodigo(c.hr), CString(c.nome));
  }
}

TEST_F(Rastreio, Facility4Codigo7NaoConsultaABiblioteca) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  UsaBiblioteca(Biblioteca::Presente);
  // Holding our own reference keeps the stand-in, and its call counter, loaded across the
  // trace's own load and unload.
  void* handle = ::dlopen(kBibliotecaTeste, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << ::dlerror();
  auto chamadas = reinterpret_cast<int (*)()>(::dlsym(handle, "ZQLMensagemTesteChamadas"));
  ASSERT_NE(chamadas, nullptr);

  const int antes = chamadas();
  MMTraceHR(nullptr, "CMMTeste::Funcao", "MMTeste", 10, "Chamada()", ZQ_HR(0x80040007));
  EXPECT_EQ(chamadas(), antes);
  MMTraceHR(nullptr, "CMMTeste::Funcao", "MMTeste", 11, "Chamada()", ZQ_HR(0x800401FC));
  EXPECT_EQ(chamadas(), antes + 1);
  ::dlclose(handle);

  const auto linhas = Linhas(ArquivoPgms());
  ASSERT_EQ(linhas.size(), 3u);
  EXPECT_EQ(Divide(linhas[1]).at(30), "hr = 0X80040007 DFSREL: Servidor não foi inicializado"_cp);
  EXPECT_EQ(Divide(linhas[2]).at(30), "hr = 0X800401FC Mensagem de teste 0x800401FC");
}

TEST(RastreioBiblioteca, NomePadraoQuandoORegistroNadaDiz) {
  CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens", "");
  EXPECT_EQ(CMMBibliotecaMensagens::Nome(), "libZQLMensagem.so");
  CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens", "/opt/zq/libOutra.so");
  EXPECT_EQ(CMMBibliotecaMensagens::Nome(), "/opt/zq/libOutra.so");
  CZQRegistro::Define(CZQRegistro::kRaiz, "BibliotecaMensagens", "");
}

// ---- The expected-code test ------------------------------------------------------------------

TEST(RastreioEsperado, ListaAteOTerminador) {
  EXPECT_FALSE(MMHREsperado(ZQ_HR(0x80004005), kFim));
  EXPECT_FALSE(MMHREsperado(1L, kFim));
  EXPECT_TRUE(MMHREsperado(ZQ_HR(0x80004005), ZQ_HR(0x80004005), kFim));
  EXPECT_TRUE(MMHREsperado(ZQ_HR(0x80004005), ZQ_E_NAO_ENCONTRADO, 0x80004005L, kFim));
  EXPECT_TRUE(MMHREsperado(0x80004005L, ZQ_HR(0x80004005), kFim));
  EXPECT_TRUE(MMHREsperado(0L, 0L, kFim));
  EXPECT_FALSE(MMHREsperado(ZQ_HR(0x80004005), ZQ_E_NAO_ENCONTRADO, kFim));
  // Codes after the terminator are not part of the list, whichever way it is written.
  EXPECT_FALSE(MMHREsperado(ZQ_HR(0x80004005), kFim, ZQ_HR(0x80004005)));
  EXPECT_FALSE(MMHREsperado(ZQ_HR(0x80004005), 0xFFFFFFFFL, ZQ_HR(0x80004005)));
  EXPECT_FALSE(MMHREsperado(kFim, kFim));
}

// ---- Versions and process facts --------------------------------------------------------------

TEST(RastreioVersoes, QuatroPartesDeDezesseisBits) {
  struct Caso {
    const char* texto;
    const char* versao;
  } casos[] = {
      {"6.1.0-18-amd64", "6.1.0.0"}, {"5.10.0", "5.10.0.0"},   {"6", "6.0.0.0"},
      {"1.2.3.4", "1.2.3.4"},         {"1.2.3.4.5", "1.2.3.4"}, {"6.1-rc2", "6.1.0.0"},
      {"4.19.0+", "4.19.0.0"},        {"1..2", "1.0.0.0"},      {"1.", "1.0.0.0"},
      {"65535.0.0.65535", "65535.0.0.65535"},
      {"65536.1", "0.0.0.0"},         {"1.99999999999999999999", "0.0.0.0"},
      {"", "0.0.0.0"},                {"v6.1", "0.0.0.0"},      {".1", "0.0.0.0"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.texto);
    EXPECT_EQ(MMVersaoDeTexto(c.texto), c.versao);
  }
}

TEST(RastreioVersoes, CalculadasUmaVezPorProcesso) {
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
  // The build compiles the project's version into the rules library.
  EXPECT_TRUE(std::regex_match(primeira->programa, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+")));
  EXPECT_NE(primeira->programa, "0.0.0.0");
}

TEST(RastreioProcesso, MemoriaPrivadaDoStatus) {
  struct Caso {
    const char* status;
    long long bytes;
  } casos[] = {
      {"Name:\tx\nRssAnon:\t    1234 kB\nRssFile:\t 9 kB\n", 1234LL * 1024},
      {"RssAnon:\t0 kB\n", 0},
      {"RssAnon:  7 kB", 7LL * 1024},
      {"RssFile:\t9 kB\n", 0},
      {"RssAnon:\t kB\n", 0},
      {"RssAnon:\t12 MB\n", 0},
      {"XRssAnon:\t12 kB\n", 0},
      {"", 0},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.status);
    EXPECT_EQ(MMMemoriaPrivadaDeStatus(c.status), c.bytes);
  }
  EXPECT_GT(MMMemoriaPrivada(), 0);
}

TEST(RastreioProcesso, NomesEmMinusculas) {
  EXPECT_EQ(MMNomeBaseMinusculo("/opt/ZQ/Manut.Bin"), "manut.bin");
  EXPECT_EQ(MMNomeBaseMinusculo("SemBarra"), "sembarra");
  EXPECT_EQ(MMNomeBaseMinusculo("/dir/"), "");
  EXPECT_EQ(MMNomeProcesso(), "zqmm_tests");
  EXPECT_EQ(MMNomeModulo(), "libzqmm.so");
}

TEST(RastreioProcesso, GuidVersao4Unico) {
  const std::regex forma("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> vistos;
  for (int i = 0; i < 1000; ++i) {
    const std::string guid = MMNovoGuid();
    ASSERT_TRUE(std::regex_match(guid, forma)) << guid;
    ASSERT_TRUE(vistos.insert(guid).second) << guid;
  }
}

// ---- The record line -------------------------------------------------------------------------

TEST_F(Rastreio, UmaLinhaCampoACampo) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  UsaBiblioteca(Biblioteca::Presente);
  const std::string empresa = Empresa("ACME");
  ProfilerTeste profiler(empresa, 7, 42);
  const char* chamada =
      "GetAcessoManutencao()->LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO)";
  MMTraceHR(&profiler, "CMMTrataDados::VerificaSituacaoManutencao", "MMTrataDados", 252, chamada,
            ZQ_HR(0x80010001));

  EXPECT_EQ(Arquivos(m_dir), "ACME/ZQProfilerErros_Base_202403.log");
  const auto linhas = Linhas(m_dir / "ACME" / "ZQProfilerErros_Base_202403.log");
  ASSERT_EQ(linhas.size(), 2u);
  EXPECT_EQ(linhas[0], kCabecalho);
  const auto cabecalho = Divide(linhas[0]);
  ASSERT_EQ(cabecalho.size(), 39u);
  EXPECT_EQ(cabecalho[21], "Tipo");
  EXPECT_EQ(cabecalho[24], "MemoriaComponente");
  EXPECT_EQ(cabecalho[29], "Log");

  const auto c = Divide(linhas[1]);
  ASSERT_EQ(c.size(), 36u) << linhas[1];  // 30 columns, the Log's 5 tabs, the final tab
  const std::string usuario = ::getpwuid(::geteuid())->pw_name;
  char maquina[256] = {};
  ::gethostname(maquina, sizeof maquina - 1);
  const std::regex numero("[0-9]+");

  EXPECT_EQ(c[0], "15/03/2024");
  EXPECT_EQ(c[1], "10:05:30");
  EXPECT_EQ(c[2], std::to_string(::getpid()));
  EXPECT_EQ(c[3], usuario);
  EXPECT_EQ(c[4], "CMMTrataDados::VerificaSituacaoManutencao");
  EXPECT_TRUE(std::regex_match(c[5], std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}"))) << c[5];
  EXPECT_EQ(c[6], "E" + empresa);
  EXPECT_EQ(c[7], "U007");
  EXPECT_EQ(c[8], "S00000042");
  EXPECT_EQ(c[9], StringPrintf("T%08ld", static_cast<long>(::gettid())));
  EXPECT_EQ(c[10], empresa);
  EXPECT_EQ(c[11], "7");
  EXPECT_EQ(c[12], "42");
  EXPECT_EQ(c[13], std::string(maquina) + "\\" + usuario);
  EXPECT_EQ(c[14], "zqmm_tests");
  EXPECT_EQ(c[15], "libzqmm.so");
  EXPECT_EQ(c[16], "MMTrataDados");
  EXPECT_EQ(c[17], "252");
  EXPECT_EQ(c[18], std::to_string(::getsid(0)));
  EXPECT_EQ(c[19], "");
  EXPECT_EQ(c[20], "");
  EXPECT_EQ(c[21], "ERRO");
  EXPECT_TRUE(std::regex_match(c[22], numero)) << c[22];
  EXPECT_TRUE(std::regex_match(c[23], numero)) << c[23];
  EXPECT_GT(std::stoll(c[23]), 0);
  EXPECT_GT(std::stoll(c[24]), 0);
  EXPECT_EQ(c[25], MMVersoesProcesso().programa);
  EXPECT_EQ(c[26], MMVersoesProcesso().sistema);
  EXPECT_EQ(c[27], "MMTrataDados");
  EXPECT_EQ(c[28], "252");
  EXPECT_EQ(c[29], std::string("hr = ") + chamada);
  EXPECT_EQ(c[30], "hr = 0X80010001 Mensagem de teste 0x80010001");
  EXPECT_EQ(c[31], "SEVERITY = 1 SEVERITY_ERROR");
  EXPECT_EQ(c[32], "FACILITY = 1 FACILITY_RPC");
  EXPECT_EQ(c[33], "CODE = 1 ERROR_INVALID_FUNCTION");
  EXPECT_EQ(c[34], "Descrição = RPC_E_CALL_REJECTED"_cp);
  EXPECT_EQ(c[35], "");
}

TEST_F(Rastreio, MensagemPorHResult) {
  if (!kBibliotecaTeste) GTEST_SKIP() << "sem a biblioteca de teste";
  const std::string desconhecida = "Desconhecido ou novo código de FACILITY"_cp;
  struct Caso {
    Biblioteca biblioteca;
    long hr;
    std::vector<std::string> log;  // the Log columns after "hr = Chamada()"
  } casos[] = {
      {Biblioteca::Presente, 1,
       {"hr = 0X1 Mensagem de teste 0x00000001", "SEVERITY = 0 SEVERITY_SUCCESS",
        "FACILITY = 0 FACILITY_NULL", "CODE = 1 ERROR_INVALID_FUNCTION", "Descrição = "_cp}},
      {Biblioteca::Presente, ZQ_HR(0x80040007),
       {"hr = 0X80040007 DFSREL: Servidor não foi inicializado"_cp, "SEVERITY = 1 SEVERITY_ERROR",
        "FACILITY = 4 FACILITY_ITF", "CODE = 7 ", "Descrição = "_cp}},
      {Biblioteca::Presente, ZQ_HR(0x80050001),
       {"hr = 0X80050001 Mensagem de teste 0x80050001", "SEVERITY = 1 SEVERITY_ERROR",
        "FACILITY = 5 " + desconhecida, "CODE = 1 ERROR_INVALID_FUNCTION", "Descrição = "_cp}},
      {Biblioteca::Presente, ZQ_E_NAO_ENCONTRADO,
       {"hr = 0X80F00001 Mensagem de teste 0x80F00001", "SEVERITY = 1 SEVERITY_ERROR",
        "FACILITY = 240 ZQ_FACILITY_CX_CONEXAO", "CODE = 1 ", "Descrição = "_cp}},
      {Biblioteca::Presente, ZQ_HR(0x81090003),
       {"hr = 0X81090003 Mensagem de teste 0x81090003", "SEVERITY = 1 SEVERITY_ERROR",
        "FACILITY = 265 ZQ_FACILITY_MM_MANUTENCAO", "CODE = 3 ", "Descrição = "_cp}},
      {Biblioteca::Presente, ZQ_HR(0x80070005),
       {"hr = 0X80070005 Mensagem de teste 0x80070005", "SEVERITY = 1 SEVERITY_ERROR",
        "FACILITY = 7 FACILITY_WIN32", "CODE = 5 ERROR_ACCESS_DENIED", "Descrição = "_cp}},
      {Biblioteca::Presente, 0x180004005L,  // high bits of a 64-bit long do not count
       {"hr = 0X80004005 Mensagem de teste 0x80004005", "SEVERITY = 1 SEVERITY_ERROR",
        "FACILITY = 0 FACILITY_NULL", "CODE = 16389 ", "Descrição = E_FAIL"_cp}},
      {Biblioteca::Ausente, ZQ_HR(0x80004005),
       {"hr = 0X80004005 ", "SEVERITY = 1 SEVERITY_ERROR", "FACILITY = 0 FACILITY_NULL",
        "CODE = 16389 ", "Descrição = E_FAIL"_cp}},
      {Biblioteca::Ausente, 1,
       {"hr = 0X1 ", "SEVERITY = 0 SEVERITY_SUCCESS", "FACILITY = 0 FACILITY_NULL", "CODE = 1 ",
        "Descrição = "_cp}},
      {Biblioteca::SemExportacoes, ZQ_HR(0x80004005),
       {"hr = 0X80004005 ", "SEVERITY = 1 SEVERITY_ERROR", "FACILITY = 0 FACILITY_NULL",
        "CODE = 16389 ", "Descrição = E_FAIL"_cp}},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(std::string(Nome(caso.biblioteca)) + " " + std::to_string(caso.hr));
    UsaBiblioteca(caso.biblioteca);
    const auto campos = CamposDe(caso.hr);
    ASSERT_EQ(campos.size(), 36u) << campos.at(0);
    EXPECT_EQ(campos[29], "hr = Chamada()");
    EXPECT_EQ(std::vector<std::string>(campos.begin() + 30, campos.begin() + 35), caso.log);
  }
}

TEST_F(Rastreio, ZeroNaoEscreveNada) {
  MMTraceHR(nullptr, "CMMTeste::Funcao", "MMTeste", 10, "Chamada()", 0);
  MMTraceHR(nullptr, "CMMTeste::Funcao", "MMTeste", 10, "Chamada()", 0x100000000L);
  EXPECT_EQ(Arquivos(m_dir), "");
  MMTraceHR(nullptr, "CMMTeste::Funcao", "MMTeste", 10, "Chamada()", 1);
  EXPECT_EQ(Arquivos(m_dir), "pgms/ZQProfilerErros_Pgms_202403.log");
}

TEST_F(Rastreio, TraceLivreComFormatoProprio) {
  MMTrace(nullptr, "CMMTeste::Livre", "MMTeste", 99, "valor=%d texto=%s", 12, "abc");
  const auto linhas = Linhas(ArquivoPgms());
  ASSERT_EQ(linhas.size(), 2u);
  const auto c = Divide(linhas[1]);
  ASSERT_EQ(c.size(), 31u);
  EXPECT_EQ(c[6], "E");
  EXPECT_EQ(c[7], "U000");
  EXPECT_EQ(c[8], "S00000000");
  EXPECT_EQ(c[29], "valor=12 texto=abc");
}

TEST_F(Rastreio, NadaChegaAQuemChama) {
  fs::remove_all(m_pgms);  // the log's folder is gone
  ProfilerQueFalha falha;
  errno = EDOM;
  EXPECT_NO_THROW(MMTraceHR(nullptr, "F", "A", 1, "C()", ZQ_HR(0x80004005)));
  EXPECT_NO_THROW(MMTraceHR(&falha, "F", "A", 1, "C()", ZQ_HR(0x80004005)));
  EXPECT_EQ(errno, EDOM);
  EXPECT_EQ(Arquivos(m_dir), "");
}

// ---- The log file ----------------------------------------------------------------------------

TEST_F(Rastreio, ArquivoConformeEmpresaEPath) {
  const std::string comDados = Empresa("COMDADOS");
  const std::string semDados = "RASTREIO_SEM_DADOS_" + std::to_string(::getpid());
  ASSERT_TRUE(CZQEmpresas::Registra(semDados, zq::EmpresaConfig{}).ok());
  m_empresas.push_back(semDados);

  struct Caso {
    const char* nome;
    bool comProfiler;
    std::string empresa;
    const char* path;  // registry Path relative to the test dir; nullptr: none
    const char* arquivos;
  } casos[] = {
      {"empresa com dados", true, comDados, "pgms/", "COMDADOS/ZQProfilerErros_Base_202403.log"},
      {"empresa com dados, sem Path", true, comDados, nullptr,
       "COMDADOS/ZQProfilerErros_Base_202403.log"},
      {"empresa sem dados", true, semDados, "pgms/", "pgms/ZQProfilerErros_Pgms_202403.log"},
      {"empresa desconhecida, Path sem barra", true, "RASTREIO_NINGUEM", "pgms",
       "pgms/ZQProfilerErros_Pgms_202403.log"},
      {"empresa vazia", true, "", "pgms/", "pgms/ZQProfilerErros_Pgms_202403.log"},
      {"sem profiler", false, "", "pgms/", "pgms/ZQProfilerErros_Pgms_202403.log"},
      {"sem profiler nem Path", false, "", nullptr, ""},
      {"empresa sem dados nem Path", true, semDados, nullptr, ""},
      {"Path inexistente", false, "", "nao/existe/", ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    for (const char* d : {"COMDADOS", "pgms"})
      for (const auto& e : fs::directory_iterator(m_dir / d)) fs::remove(e.path());
    CZQRegistro::Define(kChaveDF, "Path", c.path ? (m_dir / c.path).string() : "");
    ProfilerTeste profiler(c.empresa, 1, 1);
    MMTraceHR(c.comProfiler ? &profiler : nullptr, "F", "A", 1, "C()", ZQ_HR(0x80004005));
    EXPECT_EQ(Arquivos(m_dir), c.arquivos);
  }
}

TEST_F(Rastreio, MesNovoGanhaOCabecalhoUmaVez) {
  {
    CZQRelogioGuarda fimDeMarco(Momento(31, 3, 2024, 23, 59, 59));
    MMTraceHR(nullptr, "F", "A", 1, "C()", ZQ_HR(0x80004005));
    MMTraceHR(nullptr, "F", "A", 2, "C()", ZQ_HR(0x80004005));
  }
  {
    CZQRelogioGuarda inicioDeAbril(Momento(1, 4, 2024, 0, 0, 0));
    MMTraceHR(nullptr, "F", "A", 3, "C()", ZQ_HR(0x80004005));
  }
  EXPECT_EQ(Arquivos(m_dir),
            "pgms/ZQProfilerErros_Pgms_202403.log pgms/ZQProfilerErros_Pgms_202404.log");
  const auto marco = Linhas(m_pgms / "ZQProfilerErros_Pgms_202403.log");
  ASSERT_EQ(marco.size(), 3u);
  EXPECT_EQ(marco[0], kCabecalho);
  EXPECT_EQ(Divide(marco[1]).at(28), "1");
  EXPECT_EQ(Divide(marco[2]).at(28), "2");
  const auto abril = Linhas(m_pgms / "ZQProfilerErros_Pgms_202404.log");
  ASSERT_EQ(abril.size(), 2u);
  EXPECT_EQ(abril[0], kCabecalho);
  EXPECT_EQ(Divide(abril[1]).at(0), "01/04/2024");
  EXPECT_EQ(Divide(abril[1]).at(1), "00:00:00");
  EXPECT_EQ(Divide(abril[1]).at(28), "3");
}

TEST_F(Rastreio, TentativasDeAnexar) {
  std::ofstream(m_dir / "arquivo") << "x";
  fs::create_directories(m_dir / "pasta");
  std::ofstream(m_dir / "antigo.log") << "linha antiga\n";
  struct Caso {
    const char* caminho;
    bool escrito;
    int tentativas;
    const char* texto;  // the file afterwards, for the cases that write
  } casos[] = {
      {"novo.log", true, 1, nullptr},
      {"antigo.log", true, 1, "linha antiga\nL\n"},  // not empty: no header
      {"nao/existe.log", false, 1, nullptr},         // ENOENT: no point in trying again
      {"arquivo/sub.log", false, 1, nullptr},        // ENOTDIR
      {"pasta", false, 19, nullptr},                 // EISDIR: tried to the end
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.caminho);
    int tentativas = 0;
    EXPECT_EQ(MMAnexaProfilerErros((m_dir / c.caminho).string(), "L", &tentativas), c.escrito);
    EXPECT_EQ(tentativas, c.tentativas);
    if (c.texto) {
      EXPECT_EQ(LeArquivo(m_dir / c.caminho), c.texto);
    }
  }
  EXPECT_EQ(LeArquivo(m_dir / "novo.log"), std::string(kMMCabecalhoProfilerErros) + "L\n");
}

TEST(RastreioLinha, ColunasAlinhadasAoCabecalho) {
  MMRegistroProfiler r;
  r.empresa = "X";
  r.usuario = 1000;  // wider than the column's three digits
  r.sessao = 123456789;
  r.thread = 5;
  r.linha = 7;
  r.log = "sem tabs";
  std::tm agora{};
  agora.tm_mday = 1;
  agora.tm_mon = 0;
  agora.tm_year = 100;
  const auto c = Divide(MMLinhaProfilerErro(r, agora));
  ASSERT_EQ(c.size(), 31u);
  EXPECT_EQ(c[0], "01/01/2000");
  EXPECT_EQ(c[1], "00:00:00");
  EXPECT_EQ(c[7], "U1000");
  EXPECT_EQ(c[8], "S123456789");
  EXPECT_EQ(c[9], "T00000005");
  EXPECT_EQ(c[29], "sem tabs");
  EXPECT_EQ(c[30], "");
}

// ---- Many writers ----------------------------------------------------------------------------

// Every line after the header is a whole record of the standard format.
void ConfereArquivo(const fs::path& arquivo, std::size_t registros) {
  const auto linhas = Linhas(arquivo);
  ASSERT_EQ(linhas.size(), registros + 1);
  EXPECT_EQ(linhas[0], kCabecalho);
  std::set<std::string> guids;
  for (std::size_t i = 1; i < linhas.size(); ++i) {
    const auto c = Divide(linhas[i]);
    ASSERT_EQ(c.size(), 36u) << "linha " << i << ": " << linhas[i];
    ASSERT_EQ(c[21], "ERRO") << "linha " << i;
    ASSERT_EQ(c[29], "hr = Chamada()") << "linha " << i;
    ASSERT_EQ(c[34], "Descrição = E_FAIL"_cp) << "linha " << i;
    ASSERT_EQ(c[35], "") << "linha " << i;
    ASSERT_TRUE(guids.insert(c[5]).second) << "GUID repetido na linha " << i;
  }
}

TEST_F(Rastreio, OitoThreadsMilTracesCada) {
  if (kBibliotecaTeste) UsaBiblioteca(Biblioteca::Presente);
  constexpr int kThreads = 8, kTraces = 1000;
  const auto inicio = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < kTraces; ++i)
        MMTraceHR(nullptr, "CMMTeste::Thread", "MMTeste", t, "Chamada()", ZQ_HR(0x80004005));
    });
  for (auto& t : threads) t.join();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - inicio).count();
  std::cout << "[ rastreio ] " << kThreads << " threads x " << kTraces << " traces: " << ms
            << " ms\n";
  ConfereArquivo(ArquivoPgms(), kThreads * kTraces);
}

TEST_F(Rastreio, QuatroProcessosMilTracesCada) {
  if (kBibliotecaTeste) UsaBiblioteca(Biblioteca::Presente);
  constexpr int kProcessos = 4, kTraces = 1000;
  const auto inicio = std::chrono::steady_clock::now();
  std::vector<pid_t> filhos;
  for (int p = 0; p < kProcessos; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0; i < kTraces; ++i)
        MMTraceHR(nullptr, "CMMTeste::Processo", "MMTeste", p, "Chamada()", ZQ_HR(0x80004005));
      ::_exit(0);
    }
    filhos.push_back(pid);
  }
  for (pid_t pid : filhos) {
    int estado = 0;
    ASSERT_EQ(::waitpid(pid, &estado, 0), pid);
    EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - inicio).count();
  std::cout << "[ rastreio ] " << kProcessos << " processos x " << kTraces << " traces: " << ms
            << " ms\n";
  ConfereArquivo(ArquivoPgms(), kProcessos * kTraces);
  std::set<std::string> processos;
  for (const auto& linha : Linhas(ArquivoPgms())) processos.insert(Divide(linha)[2]);
  EXPECT_EQ(processos.size(), kProcessos + 1u);  // the header's "Processo" and one per child
}

// ---- The generated names ---------------------------------------------------------------------

TEST(RastreioGerado, WinErrorNomesEstaAtualizado) {
  const fs::path cabecalho = "/usr/share/mingw-w64/include/winerror.h";
  if (!fs::exists(cabecalho)) GTEST_SKIP() << "sem " << cabecalho;
  if (std::system("python3 -c '' >/dev/null 2>&1") != 0) GTEST_SKIP() << "sem python3";
  const fs::path dir = zqteste::DiretorioTemporario("winerror");
  const fs::path gerado = dir / "WinErrorNomes.inc";
  const std::string comando = std::string("python3 '") + ZQ_SOURCE_DIR +
                              "/scripts/gen_winerror.py' --header '" + cabecalho.string() +
                              "' --output '" + gerado.string() + "'";
  ASSERT_EQ(std::system(comando.c_str()), 0) << comando;
  const std::string novo = LeArquivo(gerado);
  const std::string atual =
      LeArquivo(fs::path(ZQ_SOURCE_DIR) / "framework/generated/WinErrorNomes.inc");
  fs::remove_all(dir);
  EXPECT_FALSE(novo.empty());
  EXPECT_TRUE(novo == atual)
      << "framework/generated/WinErrorNomes.inc is out of date: run scripts/gen_winerror.py";
}

}  // namespace
