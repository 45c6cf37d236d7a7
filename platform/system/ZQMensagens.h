// CZQMensagens: reader of the suite's message-text files, one plain text file per module,
// "ZQ<abbr>Mens.txt" in the folder named by the registry value "Mensagens" under
// "SOFTWARE\Wow6432Node\ZQ Sistemas" (a separator is appended when missing).
//
// File format, one message per line (lines longer than 1024 characters are cut there):
//   00161   Rotina não inicializada.\nInicialize antes de usar.
// The first line whose leading number (read as atoi reads it) equals the message number holds the
// message; its text starts at the ninth character; each two-character sequence \n becomes a
// line break, and a line break at the end is dropped. Texts are Windows-1252.
//
// Stateless and thread-safe: each call reads the file.
#pragma once

#include <optional>
#include <string>

class CZQMensagens {
 public:
  // The message text; "" when no line holds it; nullopt when the file cannot be opened.
  static std::optional<std::string> Texto(int modulo, long numero);
  // Full path of a module's message file ("" when the registry gives no folder).
  static std::string Arquivo(int modulo);
  // Extracts the text of `numero` from already-read file contents (same rules as Texto).
  static std::string Extrai(const std::string& conteudo, long numero);
};
