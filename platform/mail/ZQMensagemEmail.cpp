#include "platform/mail/ZQMensagemEmail.h"

#include <atomic>
#include <random>

#include <unistd.h>

#include "platform/types/Cp1252.h"
#include "platform/types/String.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::size_t kLinhaMaxima = 76;

bool CabecalhoProibido(char c) { return c == '\r' || c == '\n' || c == '\0'; }

std::string_view Aparado(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

void Hexa(std::string& saida, unsigned char c) {
  saida += '=';
  saida += kHex[c >> 4];
  saida += kHex[c & 15];
}

// RFC 2047 "Q": what may stand for itself inside an encoded word of a Subject.
bool LiteralQ(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '!' || c == '*' ||
         c == '+' || c == '-' || c == '/';
}

std::string Hospedeiro() {
  char nome[256] = {};
  if (::gethostname(nome, sizeof nome - 1) != 0 || !nome[0]) return "localhost";
  for (const char* p = nome; *p; ++p)
    if (!((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '.' || *p == '-'))
      return "localhost";
  return nome;
}

}  // namespace

bool CZQMensagemEmail::EnderecoValido(std::string_view endereco) {
  const auto arroba = endereco.find('@');
  if (arroba == std::string_view::npos || arroba == 0 || arroba + 1 == endereco.size()) return false;
  for (const char ch : endereco) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c >= 0x7F) return false;
    if (std::string_view("<>()[]\\\",;:").find(ch) != std::string_view::npos) return false;
  }
  return true;
}

zq::Status CZQMensagemEmail::Destinatarios(std::string_view lista, std::vector<std::string>* enderecos) {
  enderecos->clear();
  std::size_t inicio = 0;
  while (inicio <= lista.size()) {
    std::size_t fim = lista.find_first_of(";,", inicio);
    if (fim == std::string_view::npos) fim = lista.size();
    const std::string_view item = Aparado(lista.substr(inicio, fim - inicio));
    if (!item.empty()) {
      if (!EnderecoValido(item)) {
        enderecos->clear();
        std::string mostrado(item);
        for (char& c : mostrado)
          if (static_cast<unsigned char>(c) < 0x20) c = '?';
        return {ZQ_E_EMAIL_DESTINATARIO, std::string("Endereço de e-mail recusado: "_cp).append(mostrado)};
      }
      enderecos->emplace_back(item);
    }
    inicio = fim + 1;
  }
  if (enderecos->empty()) return {ZQ_E_EMAIL_DESTINATARIO, "E-mail sem destinatário"_cp};
  return {};
}

std::string CZQMensagemEmail::CodificaAssunto(std::string_view assunto) {
  constexpr std::size_t kPrefixo = sizeof("Subject: ") - 1;
  bool simples = kPrefixo + assunto.size() <= kLinhaMaxima && assunto.find("=?") == std::string_view::npos;
  for (const char c : assunto) simples = simples && c >= 0x20 && c < 0x7F;
  if (simples) return std::string(assunto);

  // 75 characters a word: "=?windows-1252?Q?" + up to 45 + "?=" keeps the first line
  // (after "Subject: ") and every continuation line within 76.
  constexpr std::string_view kAbre = "=?windows-1252?Q?";
  constexpr std::size_t kCarga = 45;
  std::string saida, palavra;
  auto fecha = [&] {
    if (!saida.empty()) saida += "\r\n ";
    saida.append(kAbre).append(palavra).append("?=");
    palavra.clear();
  };
  for (const char ch : assunto) {
    const auto c = static_cast<unsigned char>(ch);
    std::string pedaco;
    if (c == ' ')
      pedaco = "_";
    else if (LiteralQ(c))
      pedaco = std::string(1, ch);
    else
      Hexa(pedaco, c);
    if (palavra.size() + pedaco.size() > kCarga) fecha();
    palavra += pedaco;
  }
  if (!palavra.empty() || saida.empty()) fecha();
  return saida;
}

std::string CZQMensagemEmail::QuotedPrintable(std::string_view corpo) {
  std::string saida;
  saida.reserve(corpo.size() + corpo.size() / 8);
  std::size_t i = 0;
  while (i <= corpo.size()) {
    // One line of the body, without its break.
    std::size_t fim = corpo.find_first_of("\r\n", i);
    if (fim == std::string_view::npos) fim = corpo.size();
    const std::string_view linha = corpo.substr(i, fim - i);
    std::size_t coluna = 0;
    for (std::size_t k = 0; k < linha.size(); ++k) {
      const auto c = static_cast<unsigned char>(linha[k]);
      const bool ultimo = k + 1 == linha.size();
      bool codifica = c == '=' || c < 0x20 || c >= 0x7F;
      if (c == ' ' || c == '\t') codifica = ultimo;  // trailing blanks do not survive transport
      if (k == 0 && (c == '.' || (c == 'F' && linha.substr(0, 5) == "From "))) codifica = true;
      const std::size_t largura = codifica ? 3 : 1;
      // Room for a soft break "=" unless this is the line's last character.
      if (coluna + largura > (ultimo ? kLinhaMaxima : kLinhaMaxima - 1)) {
        saida += "=\r\n";
        coluna = 0;
      }
      if (codifica)
        Hexa(saida, c);
      else
        saida += static_cast<char>(c);
      coluna += largura;
    }
    if (fim == corpo.size()) break;
    saida += "\r\n";
    i = fim + ((corpo[fim] == '\r' && fim + 1 < corpo.size() && corpo[fim + 1] == '\n') ? 2 : 1);
    if (i == corpo.size()) break;
  }
  return saida;
}

std::string CZQMensagemEmail::DataRfc5322(const REG_ZQDMAHMSUTC& valor) {
  if (!valor.IsPreenchida()) return {};
  static constexpr const char* kDias[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMeses[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const REG_ZQDMA data = valor.GetData();
  const int deslocamento = valor.GetDeslocamentoUtc();
  const int minutos = (deslocamento < 0 ? -deslocamento : deslocamento) / 60;
  return StringPrintf("%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", kDias[data.GetDiaSemana()], data.GetDia(),
                      kMeses[data.GetMes() - 1], data.GetAno(), valor.GetHora(), valor.GetMinuto(),
                      valor.GetSegundo(), deslocamento < 0 ? '-' : '+', minutos / 60, minutos % 60);
}

zq::Status CZQMensagemEmail::Monta(std::string_view remetente, const std::vector<std::string>& destinatarios,
                                   std::string_view assunto, std::string_view corpoHtml,
                                   const REG_ZQDMAHMSUTC& agora, std::string* mensagem) {
  mensagem->clear();
  for (const char c : assunto)
    if (CabecalhoProibido(c)) return {ZQ_E_EMAIL_CABECALHO, "Assunto de e-mail com quebra de linha ou NUL recusado"};
  if (!EnderecoValido(remetente))
    return {ZQ_E_EMAIL_ENDERECO, std::string("Remetente de e-mail recusado: ").append(remetente)};
  if (destinatarios.empty()) return {ZQ_E_EMAIL_DESTINATARIO, "E-mail sem destinatário"_cp};
  for (const auto& d : destinatarios)
    if (!EnderecoValido(d)) return {ZQ_E_EMAIL_DESTINATARIO, "Endereço de e-mail recusado"_cp};

  static std::atomic<unsigned> contador{0};
  static const unsigned aleatorio = std::random_device{}();
  const REG_ZQDMA data = agora.GetData();
  const std::string id = StringPrintf("<%04d%02d%02d%02d%02d%02d.%ld.%u.%08x@%s>", data.GetAno(), data.GetMes(),
                                      data.GetDia(), agora.GetHora(), agora.GetMinuto(), agora.GetSegundo(),
                                      static_cast<long>(::getpid()), ++contador, aleatorio, Hospedeiro().c_str());

  std::string& m = *mensagem;
  m.reserve(corpoHtml.size() + corpoHtml.size() / 8 + 512);
  if (const std::string quando = DataRfc5322(agora); !quando.empty()) m.append("Date: ").append(quando).append("\r\n");
  m.append("From: ").append(remetente).append("\r\n");
  m.append("To: ");
  std::size_t coluna = 4;
  for (std::size_t i = 0; i < destinatarios.size(); ++i) {
    if (i > 0) {
      m += ',';
      if (coluna + 2 + destinatarios[i].size() > kLinhaMaxima) {
        m.append("\r\n");
        coluna = 0;
      }
      m += ' ';
      coluna += 2;
    }
    m.append(destinatarios[i]);
    coluna += destinatarios[i].size();
  }
  m.append("\r\n");
  m.append("Subject: ").append(CodificaAssunto(assunto)).append("\r\n");
  m.append("Message-ID: ").append(id).append("\r\n");
  m.append("MIME-Version: 1.0\r\n");
  m.append("Content-Type: text/html; charset=windows-1252\r\n");
  m.append("Content-Transfer-Encoding: quoted-printable\r\n");
  m.append("\r\n");
  m.append(QuotedPrintable(corpoHtml));
  if (!m.ends_with("\r\n")) m.append("\r\n");
  return {};
}
