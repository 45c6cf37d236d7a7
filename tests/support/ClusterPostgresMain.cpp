// ctest's fixture for the PostgreSQL tests: `inicia` starts one server for the whole run and
// writes its connection string and folder into the shared file; `para` stops it and removes both.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tests/support/ClusterPostgres.h"

int main(int argc, char** argv) {
  const std::string acao = argc == 3 ? argv[1] : "";
  const std::filesystem::path arquivo = argc == 3 ? argv[2] : "";
  if (acao == "inicia") {
    std::string conexao, pasta, erro;
    if (!zqteste::ClusterPostgres::Inicia(&conexao, &pasta, &erro)) {
      if (!pasta.empty()) zqteste::ClusterPostgres::Para(pasta);
      std::cerr << "sem PostgreSQL: " << erro << "\n";
      // Outside CI the PostgreSQL tests skip themselves.
      return zqteste::ClusterPostgres::EmCi() ? 1 : 0;
    }
    std::ofstream(arquivo) << conexao << "\n" << pasta << "\n";
    std::cout << conexao << "\n";
    return 0;
  }
  if (acao == "para") {
    std::ifstream in(arquivo);
    std::string conexao, pasta;
    std::getline(in, conexao);
    std::getline(in, pasta);
    if (!pasta.empty()) zqteste::ClusterPostgres::Para(pasta);
    std::error_code ec;
    std::filesystem::remove(arquivo, ec);
    return 0;
  }
  std::cerr << "uso: " << argv[0] << " inicia|para ARQUIVO\n";
  return 2;
}
