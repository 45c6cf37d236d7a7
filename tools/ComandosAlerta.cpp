#include "tools/ComandosAlerta.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include "exports/MMExports.h"
#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/access/ZQAcessoManutencao.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/storage/ZQEmpresas.h"
#include "platform/system/ZQRelogio.h"
#include "tools/ErroHost.h"
#include "tools/LocaisHost.h"
#include "tools/PreviaAlerta.h"

namespace zqhost {
namespace {

namespace fs = std::filesystem;

constexpr unsigned short kUsuarioRotina = 1;
constexpr long kSessaoRotina = 1;

struct Apagador {
  void operator()(CAutoRun* rotina) const {
    if (rotina) rotina->OnDeleta();
  }
};
using Rotina = std::unique_ptr<CAutoRun, Apagador>;

// A header's value as an RFC 2047 "Q" text of windows-1252 (what the outbox files carry), in
// UTF-8; plain words are kept as they are.
std::string DecodificaCabecalho(const std::string& valor) {
  std::istringstream palavras(valor);
  std::string palavra, cp1252;
  bool anteriorCodificada = false;
  while (palavras >> palavra) {
    const bool codificada = palavra.size() > 18 && palavra.rfind("=?windows-1252?Q?", 0) == 0 &&
                            palavra.compare(palavra.size() - 2, 2, "?=") == 0;
    if (!cp1252.empty() && !(codificada && anteriorCodificada)) cp1252 += ' ';
    anteriorCodificada = codificada;
    if (!codificada) {
      cp1252 += palavra;
      continue;
    }
    const std::string q = palavra.substr(17, palavra.size() - 19);
    for (std::size_t i = 0; i < q.size(); ++i) {
      if (q[i] == '_') {
        cp1252 += ' ';
      } else if (q[i] == '=' && i + 2 < q.size() && std::isxdigit(static_cast<unsigned char>(q[i + 1])) &&
                 std::isxdigit(static_cast<unsigned char>(q[i + 2]))) {
        cp1252 += static_cast<char>(std::stoi(q.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        cp1252 += q[i];
      }
    }
  }
  return Utf8(cp1252);
}

// The To and Subject of an outbox file, unfolded.
std::pair<std::string, std::string> ParaEAssunto(const fs::path& arquivo) {
  std::ifstream in(arquivo, std::ios::binary);
  std::string linha, atual, para, assunto;
  auto fecha = [&] {
    if (atual.rfind("To:", 0) == 0) para = atual.substr(3);
    if (atual.rfind("Subject:", 0) == 0) assunto = atual.substr(8);
  };
  while (std::getline(in, linha)) {
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    if (linha.empty()) break;  // end of the headers
    if (linha[0] == ' ' || linha[0] == '\t') {
      atual += linha;
      continue;
    }
    fecha();
    atual = linha;
  }
  fecha();
  auto apara = [](std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    return s;
  };
  return {apara(para), DecodificaCabecalho(assunto)};
}

std::set<std::string> ArquivosSaida(const std::string& pasta) {
  std::set<std::string> nomes;
  std::error_code ec;
  if (pasta.empty() || !fs::is_directory(pasta, ec)) return nomes;
  for (const auto& entrada : fs::directory_iterator(pasta, ec))
    if (entrada.path().extension() == ".eml") nomes.insert(entrada.path().filename().string());
  return nomes;
}

std::uintmax_t Tamanho(const std::string& arquivo) {
  std::error_code ec;
  const auto n = arquivo.empty() ? std::uintmax_t{0} : fs::file_size(arquivo, ec);
  return ec ? 0 : n;
}

// What the company looks like around one run, to tell afterwards what the run did.
struct Retrato {
  std::map<std::pair<std::uint32_t, int>, std::uint64_t> envios;  // (plan, alert index) -> last send
  std::map<std::uint32_t, CZQDadosMM_Plano> planos;
  std::set<std::string> saida;
  std::string log;
  std::uintmax_t tamanhoLog = 0;
};

Retrato Fotografa(CZQConexaoEmpresa& conexao, const std::optional<CZQContaEmail>& conta, const std::string& empresa) {
  Retrato r;
  std::vector<std::uint32_t> chaves;
  zq::StorageEngine& motor = conexao.Motor();
  if (motor.Search(CZQDadosMM_Plano::SchemaEstatico(), {}, &chaves).ok()) {
    for (std::uint32_t chave : chaves) {
      CZQDadosMM_Plano plano;
      if (!motor.Read(chave, &plano).ok()) continue;
      for (int i = 0; i < plano.GetQuantidadeAlerta(); ++i)
        r.envios[{chave, i}] = plano.GetAlerta(i).GetDmaHmsUltimoEnvio().ullValor;
      r.planos.emplace(chave, plano);
    }
  }
  if (conta) r.saida = ArquivosSaida(conta->saida);
  r.log = CAutoRun::ArquivoLog(empresa, CZQRelogio::Agora());
  r.tamanhoLog = Tamanho(r.log);
  return r;
}

std::string Codigo(const Retrato& r, std::uint32_t plano) {
  const auto it = r.planos.find(plano);
  return it == r.planos.end() ? std::to_string(plano) : Utf8(it->second.GetCodigo().View());
}

// The log lines written since `antes` was taken (a run that crosses into a new month starts a
// new file; the lines of both are given).
std::vector<std::string> LinhasLog(const Retrato& antes, const std::string& empresa) {
  std::vector<std::string> linhas;
  auto le = [&](const std::string& arquivo, std::uintmax_t desde) {
    std::ifstream in(arquivo, std::ios::binary);
    if (!in) return;
    in.seekg(static_cast<std::streamoff>(desde));
    std::string linha;
    while (std::getline(in, linha)) linhas.push_back(Utf8(linha));
  };
  le(antes.log, antes.tamanhoLog);
  const std::string agora = CAutoRun::ArquivoLog(empresa, CZQRelogio::Agora());
  if (agora != antes.log) le(agora, 0);
  return linhas;
}

// One run and its report. Returns the run's result (0 on success).
long ExecutaERelata(CAutoRun& rotina, CZQConexaoEmpresa& conexao, const std::string& empresa, bool& parar) {
  const auto conta = CZQContaEmail::Le(empresa, conexao.GetDiretorioDados());
  const REG_ZQDMAHMSUTC inicio = CZQRelogio::Agora();

  CZQDadosMM_FiltroPlano filtro;
  filtro.SetAtivo(1);
  filtro.SetAtivoRecurso(1);
  CZQArrayPonteiros ponteiros;
  const long hrPlanos = rotina.GetAcessoManutencao()->BuscaPonteirosPlano(filtro, ponteiros);

  const Retrato antes = Fotografa(conexao, conta, empresa);
  conexao.Falhas().Clear();  // the host plans no failures; this restarts the call log of the run
  // What the transport really took, to and subject (UTF-8), in order.
  std::vector<std::pair<std::string, std::string>> entregues;
  CZQAcessoEmpresarial* empresarial = rotina.GetAcessoEmpresarial();
  empresarial->SetAoEntregar([&](const CZQDadosDF_Email& email, const std::string&) {
    entregues.emplace_back(Utf8(email.GetDestinatarios().View()), Utf8(email.GetAssunto().View()));
  });
  std::optional<CZQExceptionEx> excecao;
  const long hr = rotina.Executa(parar, &excecao);
  empresarial->SetAoEntregar(nullptr);
  const std::vector<std::string> chamadas = conexao.Falhas().Log();
  const Retrato depois = Fotografa(conexao, conta, empresa);

  std::ostream& out = std::cout;
  out << "alertas de " << empresa << " em " << inicio.ParaIso() << "\n";
  if (hrPlanos == 0) {
    out << "  planos ativos com recursos ativos: " << ponteiros.GetSize();
    for (int i = 0; i < ponteiros.GetSize(); ++i)
      out << (i ? ", " : " (") << Codigo(antes, static_cast<std::uint32_t>(ponteiros[i]))
          << (i + 1 == ponteiros.GetSize() ? ")" : "");
    out << "\n";
  }
  const auto lidos = std::count(chamadas.begin(), chamadas.end(), "LePlano");
  out << "  planos lidos (com ancestrais de quem herdam alertas): " << lidos << "\n";

  std::vector<std::string> enviados;
  for (const auto& [chave, envio] : depois.envios) {
    const auto it = antes.envios.find(chave);
    if (it != antes.envios.end() && it->second == envio) continue;
    const CZQDadosMM_PlanoAlerta& alerta = depois.planos.at(chave.first).GetAlerta(chave.second);
    enviados.push_back(Codigo(depois, chave.first) + ", alerta " + std::to_string(chave.second + 1) + " \"" +
                       Utf8(alerta.GetDescricao().View()) + "\" enviado em " +
                       alerta.GetDmaHmsUltimoEnvio().ParaIso());
  }
  out << "  alertas vencidos, registrados como enviados: " << enviados.size() << "\n";
  for (const std::string& e : enviados) out << "    " << e << "\n";

  if (conta && conta->servidor.empty()) {
    std::vector<std::string> novos;
    std::set_difference(depois.saida.begin(), depois.saida.end(), antes.saida.begin(), antes.saida.end(),
                        std::back_inserter(novos));
    out << "  e-mails gravados na caixa de saída " << conta->saida << ": " << novos.size() << "\n";
    for (const std::string& nome : novos) {
      const auto [para, assunto] = ParaEAssunto(fs::path(conta->saida) / nome);
      out << "    " << nome << "  para " << para << "  \"" << assunto << "\"\n";
    }
  } else if (conta) {
    out << "  e-mails entregues a " << conta->servidor << ":" << conta->porta << ": " << entregues.size() << "\n";
    for (const auto& [para, assunto] : entregues) out << "    para " << para << "  \"" << assunto << "\"\n";
  } else {
    out << "  e-mails: nenhum (a empresa não tem conta de e-mail)\n";
  }

  const std::vector<std::string> log = LinhasLog(antes, empresa);
  out << "  log (" << (antes.log.empty() ? "só no terminal" : antes.log) << "): " << log.size() << " linha"
      << (log.size() == 1 ? "" : "s") << "\n";
  for (const std::string& linha : log) out << "    " << linha << "\n";

  if (excecao) {
    char codigo[16];
    std::snprintf(codigo, sizeof codigo, "0x%08X", static_cast<unsigned>(excecao->GetHR()));
    out << "  execução abortada: " << Utf8(excecao->GetMensagem().View()) << " (hr " << codigo << ", mensagem "
        << excecao->GetNumeroMensagem() << "); "
        << (enviados.empty() ? "nenhum envio desta execução foi registrado"
                             : "só os envios registrados acima valem; os outros e-mails serão enviados de novo")
        << "\n";
  } else if (hr != 0) {
    char codigo[16];
    std::snprintf(codigo, sizeof codigo, "0x%08X", static_cast<unsigned>(hr));
    out << "  execução terminou com o resultado " << codigo << "\n";
  }
  out.flush();
  return hr;
}

struct Preparo {
  Rotina rotina;
  std::shared_ptr<CZQConexaoEmpresa> conexao;
};

Preparo Prepara(const std::string& empresa, zq::AberturaBanco abertura = zq::AberturaBanco::kExistente) {
  CLocaisHost::ExigeEmpresa(empresa);
  zq::Status st;
  Preparo p;
  p.conexao = CZQEmpresas::Abre(empresa, &st, abertura);
  if (!p.conexao)
    throw CErroHost(kSaidaFalha, std::string("não foi possível abrir a empresa ").append(empresa).append(": ").append(Utf8(st.message)));
  p.rotina.reset(MMEmailAlertaPlano());
  if (!p.rotina) throw CErroHost(kSaidaFalha, "não foi possível criar a rotina de alertas");
  if (p.rotina->Inicializa(empresa.c_str(), kUsuarioRotina, kSessaoRotina) != 0)
    throw CErroHost(kSaidaFalha, std::string("não foi possível inicializar a rotina de alertas: ")
                                     .append(Utf8(p.rotina->GetErro().GetMensagem().View())));
  return p;
}

// The result code as the reports print it.
std::string Hex(long hr) {
  char codigo[16];
  std::snprintf(codigo, sizeof codigo, "0x%08X", static_cast<unsigned>(hr));
  return codigo;
}

// Waits up to `ms` milliseconds for one of `sinais` (blocked); the signal, or 0 when the time
// ran out. Other interruptions resume the wait for the time left.
int EsperaSinal(const sigset_t& sinais, long ms) {
  timespec fim{};
  clock_gettime(CLOCK_MONOTONIC, &fim);
  fim.tv_sec += ms / 1000;
  fim.tv_nsec += (ms % 1000) * 1000000;
  if (fim.tv_nsec >= 1000000000) {
    fim.tv_sec += 1;
    fim.tv_nsec -= 1000000000;
  }
  for (;;) {
    timespec agora{};
    clock_gettime(CLOCK_MONOTONIC, &agora);
    long long resta = (static_cast<long long>(fim.tv_sec) - agora.tv_sec) * 1000000000LL + (fim.tv_nsec - agora.tv_nsec);
    if (resta <= 0) return 0;
    const timespec espera{static_cast<time_t>(resta / 1000000000LL), static_cast<long>(resta % 1000000000LL)};
    const int sinal = sigtimedwait(&sinais, nullptr, &espera);
    if (sinal > 0) return sinal;
    if (errno != EAGAIN && errno != EINTR) throw CErroHost(kSaidaFalha, "falha ao esperar o próximo intervalo");
  }
}

}  // namespace

int CComandosAlerta::Executa(const std::string& empresa) {
  Preparo p = Prepara(empresa);
  bool parar = false;
  return ExecutaERelata(*p.rotina, *p.conexao, empresa, parar) == 0 ? kSaidaOk : kSaidaFalha;
}

int CComandosAlerta::Agenda(const std::string& empresa, long intervaloMs) {
  // The signals wait, blocked, until the loop asks for them between runs: a run in progress is
  // never interrupted.
  sigset_t sinais;
  sigemptyset(&sinais);
  sigaddset(&sinais, SIGINT);
  sigaddset(&sinais, SIGTERM);
  if (sigprocmask(SIG_BLOCK, &sinais, nullptr) != 0) throw CErroHost(kSaidaFalha, "não foi possível bloquear os sinais");

  Preparo p = Prepara(empresa);
  long intervalo = intervaloMs;
  if (intervalo <= 0 && (p.rotina->OnGetIntervalo(intervalo) != 0 || intervalo <= 0))
    throw CErroHost(kSaidaFalha, "a rotina de alertas não informou um intervalo válido");
  std::cerr << "zqmm: alertas de " << empresa << " a cada " << intervalo << " ms; Ctrl-C ou SIGTERM encerra" << std::endl;

  for (long execucao = 1;; ++execucao) {
    std::cout << "execução " << execucao << ": ";
    bool parar = false;
    ExecutaERelata(*p.rotina, *p.conexao, empresa, parar);
    if (parar) {
      std::cerr << "zqmm: a rotina pediu para não ser mais executada" << std::endl;
      return kSaidaOk;
    }
    const int sinal = EsperaSinal(sinais, intervalo);
    if (sinal != 0) {
      std::cerr << "zqmm: " << (sinal == SIGINT ? "SIGINT" : "SIGTERM") << " recebido; encerrado após " << execucao
                << (execucao == 1 ? " execução" : " execuções") << std::endl;
      return kSaidaOk;
    }
  }
}

int CComandosAlerta::Previa(const std::string& empresa, const std::string& saida) {
  // Read-only: the preview must not be able to record anything, whatever the routine tries.
  Preparo p = Prepara(empresa, zq::AberturaBanco::kLeitura);
  const REG_ZQDMAHMSUTC inicio = CZQRelogio::Agora();
  p.conexao->Falhas().Clear();  // restarts the call log: the send times the run would record
  std::optional<CZQExceptionEx> excecao;
  long hr = 0;
  std::vector<EMAIL_PREVIA> emails;
  std::vector<std::string> log, arquivos;
  int removidos = 0;
  const std::string titulo = "Prévia dos alertas de " + empresa + " em " + inicio.ParaIso();
  {
    CPreviaAlerta previa(*p.rotina);
    bool parar = false;
    hr = p.rotina->Executa(parar, &excecao);
    emails = previa.Emails();
    log = previa.Log();
    if (!saida.empty()) arquivos = previa.Grava(saida, titulo, &removidos);
  }
  const std::vector<std::string> chamadas = p.conexao->Falhas().Log();
  const auto registros = std::count(chamadas.begin(), chamadas.end(), "AtualizaDataHoraEnvioAlerta");

  std::ostream& out = std::cout;
  out << titulo << " (nada é enviado nem registrado)\n";
  std::set<std::string> enderecos;
  for (std::size_t i = 0; i < emails.size(); ++i) {
    const EMAIL_PREVIA& e = emails[i];
    enderecos.insert(e.para);
    const std::string numero = NumeroEmail(i);
    out << "  " << numero << "  plano " << Utf8(e.codigoPlano) << " \"" << Utf8(e.nomePlano) << "\", alerta ";
    if (e.alerta == 0) out << "?";
    else out << e.alerta << (e.codigoDono != e.codigoPlano ? " (herdado de " + Utf8(e.codigoDono) + ")" : "");
    out << "\n       para " << Utf8(e.para);
    if (!e.codigoTecnico.empty()) out << " (" << Utf8(e.codigoTecnico) << " " << Utf8(e.nomeTecnico) << ")";
    out << ", " << e.linhas << (e.linhas == 1 ? " recurso" : " recursos") << "\n       assunto \"" << Utf8(e.assunto)
        << "\"\n";
  }
  out << "  resumo: " << emails.size() << (emails.size() == 1 ? " e-mail" : " e-mails") << " para " << enderecos.size()
      << (enderecos.size() == 1 ? " endereço" : " endereços") << "; " << registros
      << (registros == 1 ? " alerta seria registrado" : " alertas seriam registrados") << " como enviado"
      << (registros == 1 ? "" : "s") << "; nada enviado, caixa de saída, banco e log intocados\n";
  out << "  log da rotina (não gravado): " << log.size() << (log.size() == 1 ? " linha" : " linhas") << "\n";
  for (const std::string& linha : log) out << "    " << Utf8(linha) << "\n";
  if (!saida.empty()) {
    out << "  arquivos em " << saida << ": index.html e " << arquivos.size() << (arquivos.size() == 1 ? " e-mail" : " e-mails");
    if (removidos) out << " (" << removidos << " arquivos de uma prévia anterior substituídos; os demais ficam)";
    out << "\n";
  }
  if (excecao)
    out << "  execução abortada: " << Utf8(excecao->GetMensagem().View()) << " (hr " << Hex(excecao->GetHR())
        << ", mensagem " << excecao->GetNumeroMensagem() << ")\n";
  else if (hr != 0)
    out << "  execução terminou com o resultado " << Hex(hr) << "\n";
  out.flush();
  return hr == 0 ? kSaidaOk : kSaidaFalha;
}

}  // namespace zqhost
