#include "tests/support/FixtureAlerta.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "alerts/MMEmailAlertaPlano.h"
#include "platform/types/Cp1252.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/system/ZQRegistro.h"
#include "platform/types/ZQDataTexto.h"

extern char** environ;

namespace zqteste {

namespace {

std::string LeArquivo(const std::filesystem::path& caminho) {
  std::ifstream in(caminho, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

sockaddr_in Loopback(int porta) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(porta));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

// A header's value, unfolded (a line break before a blank is dropped); the name in any case.
std::string Cabecalho(const std::string& cabecalhos, const std::string& nome) {
  const std::string unidos = std::regex_replace(cabecalhos, std::regex("\r?\n(?=[ \t])"), "");
  std::smatch m;
  const std::regex linha("(^|\n)" + nome + ": *([^\r\n]*)", std::regex::icase);
  return std::regex_search(unidos, m, linha) ? m[2].str() : "";
}

// The encoded words of the windows-1252 "Q" encoding the transport writes, joined (the blanks
// between words do not count); any other text as it is.
std::string DecodificaAssunto(const std::string& valor) {
  if (!valor.starts_with("=?windows-1252?Q?")) return valor;
  std::string q;
  const std::regex palavra("=\\?windows-1252\\?Q\\?([^?]*)\\?=");
  for (std::sregex_iterator it(valor.begin(), valor.end(), palavra), fim; it != fim; ++it) q += (*it)[1].str();
  std::replace(q.begin(), q.end(), '_', ' ');
  return DecodificaQuotedPrintable(q);
}

}  // namespace

std::string DecodificaQuotedPrintable(const std::string& texto) {
  std::string saida;
  const auto hexa = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  for (std::size_t i = 0; i < texto.size(); ++i) {
    if (texto[i] != '=') saida += texto[i];
    else if (texto.compare(i + 1, 2, "\r\n") == 0) i += 2;
    else if (texto.compare(i + 1, 1, "\n") == 0) i += 1;
    else if (i + 2 < texto.size() && hexa(texto[i + 1]) && hexa(texto[i + 2]))
      saida += static_cast<char>(std::stoi(texto.substr(i + 1, 2), nullptr, 16)), i += 2;
    else saida += '=';
  }
  return saida;
}

EmailLido LeEmail(const std::string& bruto) {
  // The server's mailbox stores LF line ends, the outbox CR LF.
  std::smatch m;
  std::regex_search(bruto, m, std::regex("\r?\n\r?\n"));
  const std::string cabecalhos = m.empty() ? bruto : m.prefix().str(), corpo = m.empty() ? "" : m.suffix().str();
  return {Cabecalho(cabecalhos, "to"), zq::Cp1252ToUtf8(DecodificaAssunto(Cabecalho(cabecalhos, "subject"))),
          zq::Cp1252ToUtf8(DecodificaQuotedPrintable(corpo)), Cabecalho(cabecalhos, "x-rcptto"), bruto};
}

std::string Palavras(const std::string& html) {
  std::istringstream in(std::regex_replace(html, std::regex("<[^>]*>?"), " "));
  std::string saida;
  for (std::string palavra; in >> palavra;) saida.append(saida.empty() ? "" : " ").append(palavra);
  return saida;
}

std::string Resumo(const std::vector<EmailLido>& emails) {
  std::multiset<std::string> linhas;
  for (const auto& e : emails) linhas.insert(e.para + "|" + e.assunto + "|" + Palavras(e.corpo) + "\n");
  std::string s;
  for (const auto& l : linhas) s += l;
  return s;
}

std::vector<EmailLido> LePasta(const std::filesystem::path& pasta) {
  std::set<std::filesystem::path> arquivos;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(pasta, ec))
    if (item.is_regular_file()) arquivos.insert(item.path());
  std::vector<EmailLido> emails;
  for (const auto& a : arquivos) emails.push_back(LeEmail(LeArquivo(a)));
  return emails;
}

std::optional<std::string> ServidorSmtp::Python() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    if (std::system((std::string(python) + " -c 'import aiosmtpd.handlers' >/dev/null 2>&1").c_str()) == 0)
      return std::string(python);
  }
  return std::nullopt;
}

int PortaLivre() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(0);
  socklen_t n = sizeof a;
  const bool ok = ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0;
  ::close(s);
  if (!ok) throw std::runtime_error("PortaLivre");
  return ntohs(a.sin_port);
}

ServidorSmtp::ServidorSmtp(const std::filesystem::path& pasta) : m_pasta(pasta) {
  const auto python = Python();
  if (!python) throw std::runtime_error("python3 -m aiosmtpd indisponível");
  m_porta = PortaLivre();
  // The shell execs the server in its place, so that m_pid is the server's own.
  std::string args[] = {"/bin/sh", "-c",
                        "exec \"$0\" -m aiosmtpd -n -l \"$1\" -c aiosmtpd.handlers.Mailbox \"$2\" >/dev/null 2>&1",
                        *python, "127.0.0.1:" + std::to_string(m_porta), (m_pasta / "maildir").string()};
  char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), args[4].data(), args[5].data(),
                  nullptr};
  if (posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv, environ) != 0)
    throw std::runtime_error("posix_spawn aiosmtpd");

  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < limite) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = Loopback(m_porta);
    const bool pronto = ::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    if (pronto) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(m_pid, SIGKILL);
  ::waitpid(m_pid, nullptr, 0);
  throw std::runtime_error("aiosmtpd não respondeu");
}

ServidorSmtp::~ServidorSmtp() {
  ::kill(m_pid, SIGTERM);
  ::waitpid(m_pid, nullptr, 0);
}

std::vector<EmailLido> ServidorSmtp::Recebidos() const { return LePasta(m_pasta / "maildir" / "new"); }

const char* const kModeloLista =
    "<p>ZQ_NOME_TECNICO ZQ_COD_PLANO_MANUT</p><table><tr><td>ZQ_INICIO_LISTA</td></tr>\r\n  ZQ_FIM_LISTA\r\n"
    " <tr><td>ZQ_COD_RECURSO</td>\r\n <td>ZQ_DIAS_PROX_MANUT</td></tr>\r\n</table>\r\n";
const char* const kModeloSimples = "<p>ZQ_NOME_TECNICO ZQ_COD_RECURSO ZQ_DESC_ALERTA</p>\r\n";

CenarioAlerta::CenarioAlerta(EmpresaTeste& e) : empresa(e), relogio(AgoraAlerta()) {
  CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), "Remetente", "alertas@zq.test");
  std::filesystem::create_directories(PastaRelatorios());
  CZQRegistro::Define(CZQRegistro::kRaiz, "Relatorios", PastaRelatorios().string());

  disciplina.SetCodigo("MEC");
  disciplina.SetTipoClassificacao(1);
  disciplina = empresa.Adiciona(disciplina);
  filial.SetCodigo(7);
  filial = empresa.Adiciona(filial);
  tipo.SetCodigo("EQ");
  tipo = empresa.Adiciona(tipo);
  unidadeProduto.SetCodigo("H");
  unidadeProduto.SetQuantidadeCasasDecimais(1);
  unidadeProduto = empresa.Adiciona(unidadeProduto);
  unidadeServico.SetCodigo("KM");
  unidadeServico = empresa.Adiciona(unidadeServico);
}

CenarioAlerta::~CenarioAlerta() {
  for (const char* valor : {"Remetente", "Servidor", "Porta"})
    CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), valor, "");
}


void CenarioAlerta::Modelo(const std::string& nome, const std::string& texto) {
  std::ofstream(PastaRelatorios() / nome, std::ios::binary) << texto;
}

void CenarioAlerta::UsaSmtp(int porta) {
  CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), "Servidor", "127.0.0.1");
  CZQRegistro::Define(CZQContaEmail::Chave(empresa.Nome()), "Porta", std::to_string(porta));
}

CZQDadosMM_Tecnico CenarioAlerta::Tecnico(const char* codigo, const char* nome, std::vector<std::string> emails,
                                          std::uint32_t pai, bool grupo, bool inativo) {
  CZQDadosMM_Tecnico t;
  t.SetCodigo(codigo);
  t.SetNome(nome);
  t.SetPonteiroPai(pai);
  t.SetTipoClassificacao(grupo ? 2 : 1);
  t.SetInativo(inativo);
  for (const auto& e : emails) t.AdicionaEmail(CString(e));
  return empresa.Adiciona(t);
}

CZQDadosMM_PlanoAlerta CenarioAlerta::Alerta(const char* descricao, const char* modelo,
                                             const std::vector<CZQDadosMM_Tecnico>& tecnicos, int qtdDias) {
  CZQDadosMM_PlanoAlerta a;
  a.SetDescricao(descricao);
  a.SetModeloEmail(modelo);
  a.SetAntesApos(1);
  a.SetDias(true);
  a.SetQtdDias(*CZQCurrencyEx::DeInteiro(qtdDias));
  for (const auto& t : tecnicos) {
    CZQDadosMM_PlanoAlertaTecnico at;
    at.SetPonteiro(t.GetPonteiro());
    a.AdicionaTecnicos(at);
  }
  return a;
}

CZQDadosMM_Plano CenarioAlerta::Plano(const char* codigo, std::vector<CZQDadosMM_PlanoAlerta> alertas,
                                      std::uint32_t pai, std::uint8_t tipoControle) {
  CZQDadosMM_Plano p;
  p.SetCodigo(codigo);
  p.SetPonteiroPai(pai);
  p.SetTipoClassificacao(1);
  p.SetPonteiroDisciplina(disciplina.GetPonteiro());
  p.SetTipoControle(tipoControle);
  for (const auto& a : alertas) p.AdicionaAlerta(a);
  return empresa.Adiciona(p);
}

CZQDadosDF_Recurso CenarioAlerta::Recurso(const char* codigo, const std::vector<Vinculo>& vinculos, char unidade,
                                          bool inativo) {
  CZQDadosDF_Recurso r;
  r.SetCodigo(codigo);
  r.SetTipo(2);
  r.SetInativo(inativo);
  r.SetPonteiroFilial(static_cast<std::uint16_t>(filial.GetPonteiro()));
  r.SetPonteiroTipoRecurso(tipo.GetPonteiro());
  if (unidade) {
    r.SetUnidadeProdutoServico(CString(std::string(1, unidade)));
    r.SetPonteiroUnidadeMedidaContador(unidade == 'P' ? unidadeProduto.GetPonteiro() : unidadeServico.GetPonteiro());
  }
  r = empresa.Adiciona(r);
  for (const auto& v : vinculos) {
    CZQDadosDF_RecursoPlanoManutencao l;
    l.SetPonteiroRecurso(r.GetPonteiro());
    l.SetPonteiroPlano(v.plano.GetPonteiro());
    l.SetInativo(v.inativo);
    if (v.dias) l.SetDataProximaManutencao(AgoraAlerta().GetData().SomaDias(*v.dias));
    l.SetCiclosContadorProximaManutencao(*CZQCurrencyEx::DeDouble(v.ciclos));
    empresa.Adiciona(l);
  }
  return r;
}

void CenarioAlerta::Atualiza(const TZQBaseParaDados& registro) {
  const zq::Status st = empresa.Motor().Update(registro);
  ASSERT_TRUE(st.ok()) << st.message;
}

std::string CenarioAlerta::Envios(std::uint32_t plano) {
  CZQDadosMM_Plano p;
  const zq::Status st = empresa.Motor().Read(plano, &p);
  EXPECT_TRUE(st.ok()) << st.message;
  std::string s;
  for (int i = 0; i < p.GetQuantidadeAlerta(); ++i)
    if (const REG_ZQDMAHMSUTC t = p.GetAlerta(i).GetDmaHmsUltimoEnvio(); t.ullValor != 0)
      s += StringPrintf("%s%d:%s", s.empty() ? "" : " ", i, DmaHmsToString(t, false).Str().c_str());
  return s;
}

std::string CenarioAlerta::Executa() {
  excecao.reset();
  CMMEmailAlertaPlano rotina;
  if (rotina.Inicializa(empresa.Nome().c_str(), 1, 1) != 0) return "não inicializou";
  bool flag = false;
  try {
    const long hr = rotina.OnRun(flag);
    EXPECT_FALSE(flag);
    return hr ? StringPrintf("ret=0x%08lX", static_cast<unsigned long>(hr) & 0xFFFFFFFFul) : "";
  } catch (const CZQExceptionEx& e) {
    excecao.emplace(e);
    return StringPrintf("hr=0x%08lX/%ld %s", static_cast<unsigned long>(e.GetHR()) & 0xFFFFFFFFul,
                        e.GetNumeroMensagem(), zq::Cp1252ToUtf8(e.GetMensagem().View()).c_str());
  }
}


std::vector<std::string> CenarioAlerta::LinhasLog() const {
  std::istringstream log(zq::Cp1252ToUtf8(LeArquivo(CAutoRun::ArquivoLog(empresa.Nome(), CZQRelogio::Agora()))));
  std::vector<std::string> linhas;
  for (std::string linha; std::getline(log, linha);) {
    for (int campo = 0; campo < 5; ++campo) linha.erase(0, linha.find('\t') + 1);
    linhas.push_back(linha);
  }
  return linhas;
}

}  // namespace zqteste
