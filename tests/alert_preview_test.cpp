// `zqmm alertas previa` on the sample company: the mails of a real run, nothing sent or
// recorded, and pages that a browser (headless chromium) opens cleanly with the accents right.
#include <chrono>
#include <cstdlib>
#include <regex>

#include "tests/support/FixtureAlerta.h"
#include "tests/support/Host.h"

namespace {

namespace fs = std::filesystem;
using zqteste::Host;
using zqteste::Resultado;

constexpr const char* kChromium = "/usr/bin/chromium";

// At each match, what the pattern's groups capture, joined by a blank.
std::vector<std::string> Todos(const std::string& texto, const std::regex& padrao) {
  std::vector<std::string> achados;
  for (std::sregex_iterator it(texto.begin(), texto.end(), padrao), fim; it != fim; ++it) {
    std::string grupos = (*it)[1];
    for (std::size_t g = 2; g < it->size(); ++g) grupos.append(" ").append((*it)[g].str());
    achados.push_back(grupos);
  }
  return achados;
}

// The page's DOM as headless chromium builds it, and what chromium logged meanwhile. A script
// error shows up as an "INFO:CONSOLE" line; the pages load nothing else (the index only links).
struct Pagina {
  int saida = -1;
  std::string dom, log;
};
Pagina Renderiza(const fs::path& dir, const fs::path& pagina) {
  const std::string comando = "timeout 60 " + std::string(kChromium) +
                              " --headless --no-sandbox --disable-gpu --disable-dev-shm-usage --enable-logging=stderr --v=0 --user-data-dir='" +
                              (dir / "perfil").string() + "' --dump-dom 'file://" + pagina.string() + "' >'" +
                              (dir / "dom").string() + "' 2>'" + (dir / "log").string() + "'";
  const int status = std::system(comando.c_str());
  fs::remove_all(dir / "perfil");
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, zqteste::Le(dir / "dom"), zqteste::Le(dir / "log")};
}

TEST(AlertPreviewTest, ShowsTheRunsMailsSendsAndRecordsNothingAndTheyRenderClean) {
  if (!*zqteste::kBinario) GTEST_SKIP() << "zqmm was not built";
  Host host;
  const fs::path dados = host.CriaExemplo();
  const fs::path pasta = host.Dir() / "previa";
  fs::create_directories(pasta);
  zqteste::Grava(pasta / "notas.txt", "do usuário");
  zqteste::Grava(pasta / "042-de-uma-previa-anterior.html", "velho");
  const std::vector<std::string> agora{"--agora=2026-12-07T08:00:00-03:00", "alertas"};

  Resultado previa = host.Roda({agora[0], agora[1], "previa", "EXEMPLO", "--saida", pasta.string()});
  ASSERT_EQ(previa.saida, 0) << previa.out << previa.err;
  EXPECT_NE(previa.out.find("plano PREV-EMP \"Revisão mensal de empilhadeiras\", alerta 1 (herdado de PREV)\n"
                            "       para manutencao.sorocaba@exemplo.com.br (T-MEC02 Maria Oliveira), 1 recurso"),
            std::string::npos) << previa.out;
  EXPECT_NE(previa.out.find("resumo: 5 e-mails para 4 endereços; 3 alertas seriam registrados"), std::string::npos);
  EXPECT_TRUE(fs::exists(pasta / "notas.txt")) << "only the preview's own files are replaced";
  EXPECT_FALSE(fs::exists(pasta / "042-de-uma-previa-anterior.html"));
  EXPECT_TRUE(zqteste::LePasta(dados / "saida").empty()) << "the preview sends nothing";

  // No send time was recorded: the real run mails the same five, to the same people, in order.
  const Resultado run = host.Roda({agora[0], agora[1], "executar", "EXEMPLO"});
  ASSERT_EQ(run.saida, 0) << run.out;
  EXPECT_EQ(zqteste::LePasta(dados / "saida").size(), 5u) << run.out;
  const std::regex paraPrevia(R"(para (\S+) \(.*\n +assunto ("[^"]*"))"), paraRun(R"(\.eml  para (\S+)  ("[^"]*"))");
  const std::vector<std::string> assuntos = Todos(previa.out, std::regex(R"re(assunto "Alerta de Manutenção - ([^"]*)")re"));
  EXPECT_EQ(Todos(previa.out, paraPrevia), Todos(run.out, paraRun));

  if (!fs::exists(kChromium)) GTEST_SKIP() << "chromium absent (Debian package chromium): pages not rendered";
  // Each page with what its DOM must hold: the index its title and a link per mail; each mail
  // the alert's description, decoded from windows-1252; a page broken on purpose proves that a
  // script error is seen.
  const std::vector<std::string> mails = Todos(zqteste::Le(pasta / "index.html"), std::regex(R"re(href="([^"]+)")re"));
  ASSERT_EQ(mails.size(), 5u);
  ASSERT_EQ(assuntos.size(), 5u);
  zqteste::Grava(host.Dir() / "quebrada.html", "<!DOCTYPE html><title>q</title><script>naoExiste()</script>");
  struct Caso {
    fs::path pagina;
    std::string esperado;
    bool erro;
  };
  std::vector<Caso> casos{{host.Dir() / "quebrada.html", "<title>q</title>", true},
                          {pasta / "index.html", "<title>Prévia dos alertas de EXEMPLO em 2026-12-07T08:00:00</title>", false}};
  for (std::size_t i = 0; i < mails.size(); ++i) casos.push_back({pasta / mails[i], "<b>" + assuntos[i] + "</b>", false});
  double total = 0;
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.pagina.filename().string());
    ASSERT_TRUE(fs::exists(c.pagina));
    const auto inicio = std::chrono::steady_clock::now();
    const Pagina p = Renderiza(host.Dir(), c.pagina);
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    EXPECT_EQ(p.saida, 0) << p.log;
    EXPECT_NE(p.dom.find(c.esperado), std::string::npos) << p.dom;
    EXPECT_EQ(p.log.find("INFO:CONSOLE") != std::string::npos, c.erro) << p.log;
  }
  std::cout << "chromium: " << casos.size() << " pages, " << total / static_cast<double>(casos.size()) << " s each\n";
}

}  // namespace
