#include "platform/mail/ZQTransporteEmail.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <regex>

#include "platform/types/Cp1252.h"
#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/routines/ZQBaseParaRotinas.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"
#include "tests/support/FixtureAlerta.h"

namespace {

using namespace zqteste;

// Every line break is CR LF, and the text ends with one.
bool SoCrLf(const std::string& m) {
  return m.ends_with("\r\n") && !std::regex_search(m, std::regex("\r(?!\n)|(^|[^\r])\n"));
}

// The lines of a text whose breaks are all CR LF.
std::vector<std::string> Linhas(const std::string& m) {
  std::vector<std::string> linhas;
  for (std::size_t i = 0, fim; (fim = m.find("\r\n", i)) != std::string::npos; i = fim + 2)
    linhas.push_back(m.substr(i, fim - i));
  return linhas;
}

TEST(MailMimeTest, ShapeOfTheMessage) {
  const std::string assunto =
      "Alerta de Manutenção - Lubrificação do compressor principal da linha 3, às 10h (ação imediata)"_cp;
  std::string corpo = "<p>Olá, Zé!</p>\r\n.<b>a=b</b> \r\n"_cp;
  corpo.append(200, 'x').append("\r\n");
  std::string m;
  ASSERT_TRUE(CZQMensagemEmail::Monta("alertas@zq.test", {"ana@zq.test", "rui@zq.test"}, assunto, corpo,
                                      AgoraAlerta(), &m).ok());
  EXPECT_TRUE(SoCrLf(m));
  const auto linhas = Linhas(m);
  for (const auto& l : linhas) {
    EXPECT_LE(l.size(), 76u) << l;
    for (unsigned char c : l) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << l;
  }
  for (const char* cabecalho : {"Date: Tue, 05 Mar 2024 10:05:30 -0300", "From: alertas@zq.test", "MIME-Version: 1.0",
                                "To: ana@zq.test, rui@zq.test", "Content-Type: text/html; charset=windows-1252",
                                "Content-Transfer-Encoding: quoted-printable"})
    EXPECT_NE(std::find(linhas.begin(), linhas.end(), cabecalho), linhas.end()) << cabecalho;
  EXPECT_NE(m.find("\r\nSubject: =?windows-1252?Q?"), std::string::npos);
  EXPECT_NE(m.find("?=\r\n =?windows-1252?Q?"), std::string::npos) << "a long subject is folded";

  const EmailLido lido = LeEmail(m);
  EXPECT_EQ(lido.assunto, zq::Cp1252ToUtf8(assunto));
  EXPECT_EQ(lido.corpo, zq::Cp1252ToUtf8(corpo));
  EXPECT_NE(m.find("\r\n=2E<b>a=3Db</b>=20\r\n"), std::string::npos) << "leading dot, '=' and trailing blank";

  // Plain ASCII that fits stays readable; "=?" would be read as an encoded word.
  EXPECT_EQ(CZQMensagemEmail::CodificaAssunto("Alerta - Bomba 3"), "Alerta - Bomba 3");
  EXPECT_EQ(CZQMensagemEmail::CodificaAssunto("=?x?"), "=?windows-1252?Q?=3D=3Fx=3F?=");
}

// Any bytes: every line within 76 printable characters, and decoding gives the text back with
// its line breaks made CR LF.
TEST(MailMimeTest, QuotedPrintableRoundTrip) {
  std::mt19937 gerador(12345);
  for (int n = 0; n < 300; ++n) {
    std::string corpo(gerador() % 400, '\0');
    for (char& c : corpo) c = gerador() % 10 < 6 ? static_cast<char>(gerador() % 256) : "\n\r ."[gerador() % 4];
    SCOPED_TRACE(n);
    const std::string esperado = std::regex_replace(corpo, std::regex("\r\n|\r|\n"), "\r\n");
    const std::string qp = CZQMensagemEmail::QuotedPrintable(corpo);
    ASSERT_TRUE(SoCrLf(qp + "\r\n"));
    for (const auto& l : Linhas(qp + "\r\n")) {
      ASSERT_LE(l.size(), 76u);
      ASSERT_FALSE(!l.empty() && (l.back() == ' ' || l.back() == '\t' || l[0] == '.')) << l;
    }
    ASSERT_EQ(DecodificaQuotedPrintable(qp), esperado);
  }
}

class MailSendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), "Remetente", "alertas@zq.test");
    ASSERT_EQ(rotina.Inicializa(empresa.Nome().c_str(), 1, 1), 0);
    acesso = rotina.GetAcessoEmpresarial();
  }
  void TearDown() override { for (const char* v : {"Remetente", "Servidor", "Porta", "Saida"}) Conta(v, ""); }
  void Conta(const char* valor, const std::string& texto) {
    CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), valor, texto);
  }
  void Smtp(int porta) { Conta("Servidor", "127.0.0.1"), Conta("Porta", std::to_string(porta)); }
  // Sends an HTML mail; its result, and an error message with any failure.
  long Dispara(const CString& para, const CString& assunto, const CString& corpo = "<p>oi</p>") {
    CZQDadosDF_EmailAnexo parte;
    parte.SetTipo(CZQDadosDF_EmailAnexo::kTipoCorpoHtml);
    parte.SetConteudo(corpo);
    CZQDadosDF_Email e;
    e.SetDestinatarios(para);
    e.SetAssunto(assunto);
    e.SetCorpo(parte);
    const long hr = acesso->DisparaEmail(e, 0, 1, 0);
    EXPECT_TRUE(hr == 0 || !acesso->GetErro().GetMensagem().IsEmpty()) << hr;
    return hr;
  }
  std::filesystem::path Saida() const { return empresa.Diretorio() / "saida"; }

  CZQRelogioGuarda relogio{AgoraAlerta()};
  EmpresaTeste empresa;
  CZQBaseParaRotinas rotina;
  CZQAcessoEmpresarial* acesso = nullptr;
};

TEST_F(MailSendTest, AccountLookup) {
  long conta = -1;
  EXPECT_EQ(acesso->BuscaContaEmail(conta, 1), 0);
  EXPECT_EQ(conta, 1);
  Conta("Remetente", "  ");
  EXPECT_EQ(acesso->BuscaContaEmail(conta, 1), 0);
  EXPECT_EQ(conta, 0);
  EXPECT_EQ(Dispara("a@zq.test", "x"), ZQ_E_EMAIL_SEM_CONTA);
  empresa.Falhas().FailOperation("BuscaContaEmail", ZQ_E_MOTOR, "falha");
  EXPECT_EQ(acesso->BuscaContaEmail(conta, 1), ZQ_E_MOTOR);
  EXPECT_EQ(acesso->GetErro().GetMensagem(), "falha");
}

TEST_F(MailSendTest, OutboxFilesAppearWholeAndNeverCollide) {
  ASSERT_EQ(Dispara("ana@zq.test; rui@zq.test", "Alerta"), 0);
  ASSERT_EQ(Dispara("ana@zq.test", "Alerta"), 0);
  std::vector<std::string> nomes;
  for (const auto& item : std::filesystem::directory_iterator(Saida())) nomes.push_back(item.path().filename());
  ASSERT_EQ(nomes.size(), 2u) << "no temporary file left behind";
  for (const auto& n : nomes) EXPECT_TRUE(n.starts_with("20240305-100530-") && n.ends_with(".eml")) << n;
  EXPECT_EQ(Resumo(LePasta(Saida())), "ana@zq.test, rui@zq.test|Alerta|oi\nana@zq.test|Alerta|oi\n");

  // A configured outbox elsewhere; one under a file cannot be created.
  Conta("Saida", (empresa.Diretorio() / "fila" / "a").string());
  ASSERT_EQ(Dispara("ana@zq.test", "x"), 0);
  EXPECT_EQ(LePasta(empresa.Diretorio() / "fila" / "a").size(), 1u);
  std::ofstream(empresa.Diretorio() / "arquivo") << "x";
  Conta("Saida", (empresa.Diretorio() / "arquivo" / "saida").string());
  EXPECT_EQ(Dispara("ana@zq.test", "x"), ZQ_E_EMAIL_SAIDA);
}

TEST_F(MailSendTest, Smtp) {
  if (!ServidorSmtp::Python()) GTEST_SKIP() << "python3 -m aiosmtpd unavailable (Debian package python3-aiosmtpd)";
  ServidorSmtp servidor(empresa.Diretorio());
  Smtp(servidor.Porta());
  ASSERT_EQ(Dispara("ana@zq.test, rui@zq.test", "Manutenção"_cp, "<p>Olá</p>"_cp), 0);
  const auto recebidos = servidor.Recebidos();
  EXPECT_EQ(Resumo(recebidos), "ana@zq.test, rui@zq.test|Manutenção|Olá\n");
  for (const auto& e : recebidos) EXPECT_EQ(e.rcpt, e.para);

  Conta("Porta", std::to_string(PortaLivre()));
  EXPECT_EQ(Dispara("ana@zq.test", "x"), ZQ_E_EMAIL_ENVIO);
  EXPECT_NE(acesso->GetErro().GetMensagem().Find("smtp://127.0.0.1:"), -1);
}

// CR, LF or NUL in a subject or address never reaches a header or an SMTP command; nor do
// addresses that could close or extend one.
TEST_F(MailSendTest, HeaderInjectionIsRefused) {
  const CString kAssuntos[] = {"Alerta\r\nBcc: intruso@zq.test", "Alerta\nBcc: intruso@zq.test", "Alerta\rx",
                               CString("Alerta\0Bcc", 10)};
  const CString kEnderecos[] = {"ana@zq.test\r\nRCPT TO:<intruso@zq.test>", "ana@zq.test\nx", "ana", " ; ",
                                CString("ana@zq.test\0x", 13), "ana@zq.test> NOTIFY=NEVER"};
  std::unique_ptr<ServidorSmtp> servidor;
  for (bool smtp : {false, true}) {
    if (smtp && !ServidorSmtp::Python()) break;
    if (smtp) Smtp((servidor = std::make_unique<ServidorSmtp>(empresa.Diretorio()))->Porta());
    for (const CString& assunto : kAssuntos) EXPECT_EQ(Dispara("ana@zq.test", assunto), ZQ_E_EMAIL_CABECALHO) << smtp;
    for (const CString& para : kEnderecos) EXPECT_EQ(Dispara(para, "Alerta"), ZQ_E_EMAIL_DESTINATARIO) << smtp;
  }
  EXPECT_FALSE(std::filesystem::exists(Saida()));
  EXPECT_TRUE(!servidor || servidor->Recebidos().empty());
}

}  // namespace
