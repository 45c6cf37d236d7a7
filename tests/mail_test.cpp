// Mail: the Internet message the transport builds, the outbox, SMTP on loopback, the account
// lookup, and the refusal of headers that would smuggle commands.
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
  const std::string corpo = std::string("<p>Olá, Zé!</p>\r\n.<b>a=b</b> \r\n"_cp) + std::string(200, 'x') + "\r\n";
  std::string m;
  ASSERT_TRUE(CZQMensagemEmail::Monta("alertas@zq.test", {"ana@zq.test", "rui@zq.test"}, assunto, corpo,
                                      AgoraAlerta(), &m)
                  .ok());
  EXPECT_TRUE(SoCrLf(m));
  const auto linhas = Linhas(m);
  for (const auto& l : linhas) {
    EXPECT_LE(l.size(), 76u) << l;
    for (unsigned char c : l) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << l;
  }
  const auto tem = [&](const std::string& l) { return std::find(linhas.begin(), linhas.end(), l) != linhas.end(); };
  EXPECT_TRUE(tem("Date: Tue, 05 Mar 2024 10:05:30 -0300"));
  EXPECT_TRUE(tem("From: alertas@zq.test"));
  EXPECT_TRUE(tem("To: ana@zq.test, rui@zq.test"));
  EXPECT_TRUE(tem("MIME-Version: 1.0"));
  EXPECT_TRUE(tem("Content-Type: text/html; charset=windows-1252"));
  EXPECT_TRUE(tem("Content-Transfer-Encoding: quoted-printable"));
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
    for (char& c : corpo) {
      const unsigned r = gerador() % 10;
      c = r == 0 ? '\n' : r == 1 ? '\r' : r == 2 ? ' ' : r == 3 ? '.' : static_cast<char>(gerador() % 256);
    }
    SCOPED_TRACE(n);
    std::string esperado;
    for (std::size_t i = 0; i < corpo.size(); ++i) {
      if (corpo[i] == '\r' && i + 1 < corpo.size() && corpo[i + 1] == '\n') ++i;
      esperado += (corpo[i] == '\r' || corpo[i] == '\n') ? std::string("\r\n") : std::string(1, corpo[i]);
    }
    const std::string qp = CZQMensagemEmail::QuotedPrintable(corpo);
    ASSERT_TRUE(SoCrLf(qp + "\r\n"));
    for (const auto& l : Linhas(qp + "\r\n")) {
      ASSERT_LE(l.size(), 76u);
      ASSERT_FALSE(!l.empty() && (l.back() == ' ' || l.back() == '\t'));
      ASSERT_FALSE(!l.empty() && l[0] == '.');
    }
    ASSERT_EQ(DecodificaQuotedPrintable(qp), esperado);
  }
}

// ---- Through the enterprise access object ----------------------------------------------------

class MailSendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), "Remetente", "alertas@zq.test");
    ASSERT_EQ(rotina.Inicializa(empresa.Nome().c_str(), 1, 1), 0);
    acesso = rotina.GetAcessoEmpresarial();
  }
  void TearDown() override {
    for (const char* v : {"Remetente", "Servidor", "Porta", "Saida"})
      CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), v, "");
  }
  void Conta(const char* valor, const std::string& texto) {
    CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), valor, texto);
  }
  static CZQDadosDF_Email Email(const CString& para, const CString& assunto, const CString& corpo = "<p>oi</p>") {
    CZQDadosDF_EmailAnexo parte;
    parte.SetTipo(CZQDadosDF_EmailAnexo::kTipoCorpoHtml);
    parte.SetConteudo(corpo);
    CZQDadosDF_Email e;
    e.SetDestinatarios(para);
    e.SetAssunto(assunto);
    e.SetCorpo(parte);
    return e;
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
  EXPECT_EQ(acesso->DisparaEmail(Email("a@zq.test", "x"), 0, 1, 0), ZQ_E_EMAIL_SEM_CONTA);
  empresa.Falhas().FailOperation("BuscaContaEmail", ZQ_E_MOTOR, "falha");
  EXPECT_EQ(acesso->BuscaContaEmail(conta, 1), ZQ_E_MOTOR);
  EXPECT_EQ(acesso->GetErro().GetMensagem(), "falha");
}

TEST_F(MailSendTest, OutboxFilesAppearWholeAndNeverCollide) {
  ASSERT_EQ(acesso->DisparaEmail(Email("ana@zq.test; rui@zq.test", "Alerta"), 0, 1, 0), 0);
  ASSERT_EQ(acesso->DisparaEmail(Email("ana@zq.test", "Alerta"), 0, 1, 0), 0);
  std::vector<std::string> nomes;
  for (const auto& item : std::filesystem::directory_iterator(Saida())) nomes.push_back(item.path().filename());
  ASSERT_EQ(nomes.size(), 2u) << "no temporary file left behind";
  for (const auto& n : nomes) EXPECT_TRUE(n.starts_with("20240305-100530-") && n.ends_with(".eml")) << n;
  const auto emails = LePasta(Saida());
  EXPECT_EQ(Resumo(emails), "ana@zq.test, rui@zq.test|Alerta|oi\nana@zq.test|Alerta|oi\n");
  for (const auto& e : emails) EXPECT_TRUE(SoCrLf(e.bruto));

  // A configured outbox elsewhere; one under a file cannot be created.
  Conta("Saida", (empresa.Diretorio() / "fila" / "a").string());
  ASSERT_EQ(acesso->DisparaEmail(Email("ana@zq.test", "x"), 0, 1, 0), 0);
  EXPECT_EQ(LePasta(empresa.Diretorio() / "fila" / "a").size(), 1u);
  std::ofstream(empresa.Diretorio() / "arquivo") << "x";
  Conta("Saida", (empresa.Diretorio() / "arquivo" / "saida").string());
  EXPECT_EQ(acesso->DisparaEmail(Email("ana@zq.test", "x"), 0, 1, 0), ZQ_E_EMAIL_SAIDA);
  EXPECT_FALSE(acesso->GetErro().GetMensagem().IsEmpty());
}

TEST_F(MailSendTest, Smtp) {
  if (!ServidorSmtp::Python()) GTEST_SKIP() << "python3 -m aiosmtpd unavailable (Debian package python3-aiosmtpd)";
  ServidorSmtp servidor(empresa.Diretorio());
  Conta("Servidor", "127.0.0.1");
  Conta("Porta", std::to_string(servidor.Porta()));
  ASSERT_EQ(acesso->DisparaEmail(Email("ana@zq.test, rui@zq.test", "Manutenção"_cp, "<p>Olá</p>"_cp), 0, 1, 0), 0)
      << acesso->GetErro().GetMensagem().Str();
  const auto recebidos = servidor.Recebidos();
  ASSERT_EQ(recebidos.size(), 1u);
  EXPECT_EQ(recebidos[0].rcpt, "ana@zq.test, rui@zq.test");
  EXPECT_EQ(recebidos[0].assunto, "Manutenção");
  EXPECT_EQ(Palavras(recebidos[0].corpo), "Olá");

  Conta("Porta", std::to_string(PortaLivre()));
  EXPECT_EQ(acesso->DisparaEmail(Email("ana@zq.test", "x"), 0, 1, 0), ZQ_E_EMAIL_ENVIO);
  EXPECT_NE(acesso->GetErro().GetMensagem().Find("smtp://127.0.0.1:"), -1);
}

// CR, LF or NUL in a subject or address never reaches a header or an SMTP command; nor do
// addresses that could close or extend one.
TEST_F(MailSendTest, HeaderInjectionIsRefused) {
  struct Caso {
    const char* nome;
    CString para;
    CString assunto;
    long hr;
  };
  const Caso kCasos[] = {
      {"CR LF no assunto", "ana@zq.test", "Alerta\r\nBcc: intruso@zq.test", ZQ_E_EMAIL_CABECALHO},
      {"LF no assunto", "ana@zq.test", "Alerta\nBcc: intruso@zq.test", ZQ_E_EMAIL_CABECALHO},
      {"CR no assunto", "ana@zq.test", "Alerta\rx", ZQ_E_EMAIL_CABECALHO},
      {"NUL no assunto", "ana@zq.test", CString("Alerta\0Bcc", 10), ZQ_E_EMAIL_CABECALHO},
      {"CR LF no endereco", "ana@zq.test\r\nRCPT TO:<intruso@zq.test>", "Alerta", ZQ_E_EMAIL_DESTINATARIO},
      {"LF no endereco", "ana@zq.test\nx", "Alerta", ZQ_E_EMAIL_DESTINATARIO},
      {"NUL no endereco", CString("ana@zq.test\0x", 13), "Alerta", ZQ_E_EMAIL_DESTINATARIO},
      {"fecha o comando", "ana@zq.test> NOTIFY=NEVER", "Alerta", ZQ_E_EMAIL_DESTINATARIO},
      {"sem arroba", "ana", "Alerta", ZQ_E_EMAIL_DESTINATARIO},
      {"sem destinatario", " ; ", "Alerta", ZQ_E_EMAIL_DESTINATARIO},
  };
  std::unique_ptr<ServidorSmtp> servidor;
  for (bool smtp : {false, true}) {
    if (smtp) {
      if (!ServidorSmtp::Python()) break;
      servidor = std::make_unique<ServidorSmtp>(empresa.Diretorio());
      Conta("Servidor", "127.0.0.1");
      Conta("Porta", std::to_string(servidor->Porta()));
    }
    for (const auto& c : kCasos) {
      SCOPED_TRACE(std::string(c.nome) + (smtp ? " (smtp)" : " (saida)"));
      EXPECT_EQ(acesso->DisparaEmail(Email(c.para, c.assunto), 0, 1, 0), c.hr);
      EXPECT_FALSE(acesso->GetErro().GetMensagem().IsEmpty());
    }
  }
  EXPECT_FALSE(std::filesystem::exists(Saida()));
  if (servidor) {
    EXPECT_TRUE(servidor->Recebidos().empty());
  }
}

}  // namespace
