// CArquivoRegistro: writes the registry file that platform/ZQRegistro.h reads (sections named by
// key paths, "Nome=valor" lines). The host writes it when it creates a company; the library only
// reads it.
//
// Edits keep every other line as it was (comments, order, other sections). Key paths and value
// names match as the reader matches them: without regard to case, '\' and '/' alike. A file is
// replaced by renaming a complete temporary copy over it, so a reader sees the old file or the
// new one, never a part; two hosts writing at the same moment may lose one of the edits.
//
// Errors are thrown as zqhost::CErroHost: kSaidaEntradaInvalida for a name or value that the
// reader could not read back as written (a line break, blanks at either end, '=' in a name),
// kSaidaFalha when the file cannot be read or written.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace zqhost {

class CArquivoRegistro {
 public:
  explicit CArquivoRegistro(std::filesystem::path arquivo) : m_arquivo(std::move(arquivo)) {}

  const std::filesystem::path& Caminho() const { return m_arquivo; }

  // Sets each value of `valores` in section `secao`: rewritten in place when present, appended
  // to the section otherwise; a missing section is appended at the end of the file. The file
  // and its folder are created when missing.
  void Define(const std::string& secao, const std::vector<std::pair<std::string, std::string>>& valores) const;

  // The last component of each section whose key path lies directly under `chave`, in file
  // order: Subchaves("SOFTWARE\\...\\Empresas") lists the configured companies.
  std::vector<std::string> Subchaves(const std::string& chave) const;

 private:
  std::filesystem::path m_arquivo;
};

}  // namespace zqhost
