#include "platform/mail/ZQTransporteEmail.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/types/Cp1252.h"
#include "platform/types/String.h"
#include "platform/system/ZQRelogio.h"

namespace {

bool ServidorValido(const std::string& servidor) {
  if (servidor.empty()) return false;
  if (servidor.front() == '[') {  // an IPv6 literal
    if (servidor.back() != ']') return false;
    for (std::size_t i = 1; i + 1 < servidor.size(); ++i)
      if (!std::isxdigit(static_cast<unsigned char>(servidor[i])) && servidor[i] != ':' && servidor[i] != '.')
        return false;
    return servidor.size() > 2;
  }
  for (const char c : servidor)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') return false;
  return true;
}

struct Leitura {
  const std::string* texto;
  std::size_t posicao = 0;
};

size_t LeParaCurl(char* buffer, size_t tamanho, size_t quantidade, void* dados) {
  auto* l = static_cast<Leitura*>(dados);
  const std::size_t n = std::min(tamanho * quantidade, l->texto->size() - l->posicao);
  std::memcpy(buffer, l->texto->data() + l->posicao, n);
  l->posicao += n;
  return n;
}

bool EscreveTudo(int fd, const std::string& texto) {
  for (std::size_t feito = 0; feito < texto.size();) {
    const ssize_t n = ::write(fd, texto.data() + feito, texto.size() - feito);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    feito += static_cast<std::size_t>(n);
  }
  return true;
}

std::string NomeUnico() {
  static std::atomic<unsigned> contador{0};
  static thread_local std::mt19937 gerador{std::random_device{}()};
  const REG_ZQDMAHMSUTC agora = CZQRelogio::Agora();
  const REG_ZQDMA data = agora.GetData();
  return StringPrintf("%04d%02d%02d-%02d%02d%02d-%ld-%u-%08x.eml", data.GetAno(), data.GetMes(), data.GetDia(),
                      agora.GetHora(), agora.GetMinuto(), agora.GetSegundo(), static_cast<long>(::getpid()),
                      ++contador, static_cast<unsigned>(gerador()));
}

}  // namespace

zq::Status CZQTransporteEmail::Monta(const CZQContaEmail& conta, const CZQDadosDF_Email& email,
                                     std::vector<std::string>* destinatarios, std::string* mensagem) {
  const CString* corpo = nullptr;
  for (int i = 0; i < email.GetQuantidadeCorpo(); ++i) {
    const CZQDadosDF_EmailAnexo& parte = email.GetConstRefCorpo(i);
    if (parte.GetTipo() != CZQDadosDF_EmailAnexo::kTipoCorpoHtml)
      return {ZQ_E_NAO_IMPLEMENTADO, StringPrintf("Parte de e-mail de tipo %u não suportada", parte.GetTipo())};
    if (!corpo) corpo = &parte.GetConteudo();
  }
  if (zq::Status st = CZQMensagemEmail::Destinatarios(email.GetDestinatarios().View(), destinatarios); !st.ok())
    return st;
  return CZQMensagemEmail::Monta(conta.remetente, *destinatarios, email.GetAssunto().View(),
                                 corpo ? corpo->View() : std::string_view(), CZQRelogio::Agora(), mensagem);
}

zq::Status CZQTransporteEmail::GravaSaida(const std::string& pasta, const std::string& mensagem,
                                          std::string* arquivo) {
  if (pasta.empty()) return {ZQ_E_EMAIL_SAIDA, "Pasta de saída de e-mail não configurada"_cp};
  std::string base = pasta;
  if (base.back() != '/') base += '/';
  bool pastaCriada = false;  // made on the first mail that finds it missing, not checked per mail
  for (int tentativa = 0; tentativa < 100; ++tentativa) {
    const std::string nome = NomeUnico();
    const std::string temporario = std::string(base).append(".").append(nome).append(".tmp");
    const std::string final = base + nome;
    const int fd = ::open(temporario.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      if (errno == ENOENT && !pastaCriada) {
        pastaCriada = true;
        std::error_code ec;
        std::filesystem::create_directories(pasta, ec);
        if (ec)
          return {ZQ_E_EMAIL_SAIDA, StringPrintf("Falha ao criar a pasta de saída '%s': %s"_cp, pasta.c_str(),
                                                 ec.message().c_str())};
        --tentativa;
        continue;
      }
      return {ZQ_E_EMAIL_SAIDA, StringPrintf("Falha ao criar '%s': %s", temporario.c_str(), std::strerror(errno))};
    }
    const bool escrito = EscreveTudo(fd, mensagem);
    const int erroEscrita = errno;
    if (::close(fd) != 0 || !escrito) {
      ::unlink(temporario.c_str());
      return {ZQ_E_EMAIL_SAIDA,
              StringPrintf("Falha ao gravar '%s': %s", temporario.c_str(), std::strerror(escrito ? errno : erroEscrita))};
    }
    // Never over another message: RENAME_NOREPLACE where the file system has it; names are
    // unique per process and moment anyway.
    int r = ::renameat2(AT_FDCWD, temporario.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE);
    if (r != 0 && (errno == EINVAL || errno == ENOSYS)) r = std::rename(temporario.c_str(), final.c_str());
    if (r == 0) {
      if (arquivo) *arquivo = final;
      return {};
    }
    const int erro = errno;
    ::unlink(temporario.c_str());
    if (erro != EEXIST)
      return {ZQ_E_EMAIL_SAIDA, StringPrintf("Falha ao mover para '%s': %s", final.c_str(), std::strerror(erro))};
  }
  return {ZQ_E_EMAIL_SAIDA, "Nenhum nome livre na pasta de saída de e-mail"_cp};
}

zq::Status CZQTransporteEmail::EnviaSmtp(const CZQContaEmail& conta, const std::vector<std::string>& destinatarios,
                                         const std::string& mensagem, std::string* url) {
  if (!ServidorValido(conta.servidor))
    return {ZQ_E_EMAIL_ENVIO, std::string("Servidor de e-mail inválido: "_cp).append(conta.servidor)};
  static std::once_flag iniciado;
  std::call_once(iniciado, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  const bool implicito = conta.tls && conta.porta == 465;
  *url = std::string(implicito ? "smtps://" : "smtp://").append(conta.servidor).append(":")
             .append(std::to_string(conta.porta));
  CURL* curl = curl_easy_init();
  if (!curl) return {ZQ_E_EMAIL_ENVIO, "Falha ao iniciar o envio de e-mail (libcurl)"};
  curl_slist* rcpt = nullptr;
  for (const auto& d : destinatarios) rcpt = curl_slist_append(rcpt, std::string("<").append(d).append(">").c_str());
  const std::string de = std::string("<").append(conta.remetente).append(">");
  Leitura leitura{&mensagem};
  char erro[CURL_ERROR_SIZE] = {};

  curl_easy_setopt(curl, CURLOPT_URL, url->c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 300L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, erro);
  curl_easy_setopt(curl, CURLOPT_MAIL_FROM, de.c_str());
  curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, LeParaCurl);
  curl_easy_setopt(curl, CURLOPT_READDATA, &leitura);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(mensagem.size()));
  if (conta.tls) curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  if (!conta.usuario.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, conta.usuario.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, conta.senha.c_str());
  }
  const CURLcode r = curl_easy_perform(curl);
  long resposta = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &resposta);
  curl_slist_free_all(rcpt);
  curl_easy_cleanup(curl);
  if (r != CURLE_OK)
    return {ZQ_E_EMAIL_ENVIO, StringPrintf("Falha ao enviar e-mail por %s (resposta %ld): %s", url->c_str(), resposta,
                                           erro[0] ? erro : curl_easy_strerror(r))};
  return {};
}

zq::Status CZQTransporteEmail::Envia(const CZQContaEmail& conta, const CZQDadosDF_Email& email, std::string* destino) {
  std::vector<std::string> destinatarios;
  std::string mensagem, onde;
  if (zq::Status st = Monta(conta, email, &destinatarios, &mensagem); !st.ok()) return st;
  zq::Status st = conta.servidor.empty() ? GravaSaida(conta.saida, mensagem, &onde)
                                         : EnviaSmtp(conta, destinatarios, mensagem, &onde);
  if (st.ok() && destino) *destino = onde;
  return st;
}
