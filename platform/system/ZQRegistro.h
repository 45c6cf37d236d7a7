// CZQRegistro: the machine registry's place on Linux. The suite reads a handful of values under
// HKEY_LOCAL_MACHINE "SOFTWARE\Wow6432Node\ZQ Sistemas\..."; here they live in an INI-style file
// whose sections are those key paths and whose entries are the values:
//
//   [SOFTWARE\Wow6432Node\ZQ Sistemas]
//   Mensagens=/opt/zq/mensagens/          ; folder of the ZQ<module>Mens.txt message files
//   Relatorios=/opt/zq/relatorios/        ; report folder (alert e-mail templates)
//   BibliotecaMensagens=libZQLMensagem.so ; message library of the failure trace
//   [SOFTWARE\Wow6432Node\ZQ Sistemas\DF]
//   Path=/opt/zq/                         ; installation directory of the base module
//   [SOFTWARE\Wow6432Node\ZQ Sistemas\Empresas\ACME]
//   Motor=sqlite                          ; memoria | sqlite | postgres
//   Banco=/var/lib/zq/ACME/acme.db        ; SQLite file or PostgreSQL connection string
//   Dados=/var/lib/zq/ACME/               ; the company's data directory
//
// The file is named by the environment variable ZQ_REGISTRO; without it, /etc/zq/registro.ini.
// Key paths compare without regard to case or to '\' versus '/'; value names without regard to
// case. Lines starting with ';' or '#' are comments. A missing or unreadable file is an empty
// registry. Values set with Define() (tests, hosts) take precedence over the file.
//
// Thread-safe. The file is re-read when its modification time or size changes.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class CZQRegistro {
 public:
  static constexpr const char* kRaiz = "SOFTWARE\\Wow6432Node\\ZQ Sistemas";

  // The value, or nullopt when the key or the value is absent.
  static std::optional<std::string> Le(const std::string& chave, const std::string& valor);
  // Several values of one key, in the order named, from one state of the file (it is checked
  // for changes once, not once per value): what a caller that reads a group of settings at a
  // high rate (an e-mail account per mail) should use.
  static std::vector<std::optional<std::string>> LeVarios(const std::string& chave,
                                                          std::initializer_list<const char*> valores);
  // Overrides a value in this process (an empty chave or valor is ignored).
  static void Define(const std::string& chave, const std::string& valor, const std::string& texto);
  // Forgets every Define() and the cached file.
  static void Limpa();
  // The path of the file in use.
  static std::string Arquivo();

  // The registry file's own spelling rules, for programs that write the file: a key path or value
  // name as it compares (lower case, '/' as '\', no trailing '\'), and a line's text without the
  // blanks around it.
  static std::string NormalizaChave(std::string chave);
  static std::string Apara(const std::string& texto);
};
