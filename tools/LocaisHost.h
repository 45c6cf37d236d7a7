// CLocaisHost: where the zqmm host keeps its files, decided once at start-up.
//
//   registry file   --registro FILE, else $ZQ_REGISTRO, else $XDG_CONFIG_HOME/zq/registro.ini
//                   (~/.config/zq/registro.ini). The choice is exported as ZQ_REGISTRO so the
//                   library reads the same file.
//   company data    chosen when the company is created: --dados DIR, else
//                   $XDG_DATA_HOME/zq/empresas/<NOME> (~/.local/share/zq/empresas/<NOME>); the
//                   SQLite database is <dados>/<NOME>.db. The registry section of the company
//                   records both, so later commands need only the name.
//   message texts   the registry's Mensagens value, else the installed folder found from the
//                   running program (<bindir>/../share/zqmm/mensagens, /proc/self/exe resolved),
//                   else the folder the build wrote (<build>/mensagens); the default is set for
//                   this process only.
//
// Not thread-safe: call PreparaRegistro before anything reads the registry.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zqhost {

class CLocaisHost {
 public:
  // Resolves the registry file (opcao: the --registro argument, "" when not given), exports it as
  // ZQ_REGISTRO and gives the message folder a default. Returns the file's path.
  static std::filesystem::path PreparaRegistro(const std::string& opcao);

  // The data directory a company gets when --dados is not given.
  static std::filesystem::path DadosPadrao(const std::string& empresa);

  // The registry key of a company: "SOFTWARE\Wow6432Node\ZQ Sistemas\Empresas\<nome>".
  static std::string ChaveEmpresa(const std::string& empresa);

  // A company name the registry file and file names can hold: 1 to 64 letters, digits, '_', '-'
  // or '.', not starting with '.'. Throws CErroHost(kSaidaEntradaInvalida) otherwise.
  static void ValidaNome(const std::string& empresa);

  struct Empresa {
    std::string motor, banco, dados;
  };
  // The company's registry section, or nullopt when the registry does not name it.
  static std::optional<Empresa> LeEmpresa(const std::string& empresa);
  // As LeEmpresa, but a company the registry does not name is CErroHost(kSaidaFalha) saying
  // which registry file was read.
  static Empresa ExigeEmpresa(const std::string& empresa);

  // The message folder in use and the report folder ("" when the registry has none).
  static std::string Mensagens();
  static std::string Relatorios();
};

}  // namespace zqhost
