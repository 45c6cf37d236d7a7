#include "tools/PreviaAlerta.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <regex>

#include "alerts/MMModeloEmailAlerta.h"
#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/access/ZQAcessoManutencao.h"
#include "tools/ErroHost.h"

namespace zqhost {
namespace {

namespace fs = std::filesystem;

std::string Aparado(std::string_view s) {
  const auto inicio = s.find_first_not_of(" \t");
  if (inicio == std::string_view::npos) return {};
  return std::string(s.substr(inicio, s.find_last_not_of(" \t") - inicio + 1));
}

// A piece of a file name: letters, digits, '.', '_' and '-'; anything else (accents too) as '_'.
std::string ParteNome(const std::string& texto) {
  std::string saida;
  for (const char c : texto)
    saida += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? c : '_';
  return saida.empty() ? "_" : saida.substr(0, 40);
}

std::string Html(const std::string& utf8) { return CMMModeloEmailAlerta::EscapaHtml(utf8).Str(); }

bool DeclaraCharset(const std::string& html) {
  std::string inicio = html.substr(0, 1024);
  std::transform(inicio.begin(), inicio.end(), inicio.begin(), [](unsigned char c) { return std::tolower(c); });
  return inicio.find("charset") != std::string::npos;
}

// The mail's bytes as they arrive; a browser opening the file needs the charset that the mail's
// Content-Type header gives, so a document that does not declare one gets it in its head.
std::string ComCharset(const std::string& html) {
  if (DeclaraCharset(html)) return html;
  static const std::regex head(R"(<head(\s[^>]*)?>)", std::regex::icase);
  const std::string meta = "<meta charset=\"windows-1252\">";
  std::smatch m;
  if (std::regex_search(html, m, head)) {
    std::string saida = html;
    return saida.insert(static_cast<std::size_t>(m.position(0) + m.length(0)), meta);
  }
  return meta + html;
}

void Escreve(const fs::path& arquivo, const std::string& conteudo) {
  std::ofstream out(arquivo, std::ios::binary | std::ios::trunc);
  out << conteudo;
  out.close();
  if (!out) throw CErroHost(kSaidaFalha, "não foi possível gravar " + arquivo.string());
}

}  // namespace

CPreviaAlerta::CPreviaAlerta(CAutoRun& rotina) : m_rotina(rotina) {
  auto segue = [this](const char* operacao, const TZQBaseParaDados& registro) { Segue(operacao, registro); };
  CZQAcessoEmpresarial* empresarial = rotina.GetAcessoEmpresarial();
  CZQAcessoManutencao* manutencao = rotina.GetAcessoManutencao();
  empresarial->SetAoLer(segue);
  empresarial->SetTransporte([this](const CZQDadosDF_Email& email) { return Recebe(email); });
  manutencao->SetAoLer(segue);
  manutencao->SetSemGravarEnvioAlerta(true);
  rotina.SetAoGravarLog([this](const std::string& texto) { m_log.push_back(texto); });
}

CPreviaAlerta::~CPreviaAlerta() {
  CZQAcessoEmpresarial* empresarial = m_rotina.GetAcessoEmpresarial();
  CZQAcessoManutencao* manutencao = m_rotina.GetAcessoManutencao();
  empresarial->SetAoLer(nullptr);
  empresarial->SetTransporte(nullptr);
  manutencao->SetAoLer(nullptr);
  manutencao->SetSemGravarEnvioAlerta(false);
  m_rotina.SetAoGravarLog(nullptr);
}

// The routine, for each plan: reads the plan, then its ancestors while the last one read has no
// alerts (only then is a plan read right after its child); for each due alert, reads the type
// (and branch, unit) of each due resource, then the alert's technicians, then mails. So a plan
// read that is not such a climb starts a plan, a resource type read after anything else starts
// an alert's rows, and technicians read belong to the alert being mailed.
void CPreviaAlerta::Segue(const char* operacao, const TZQBaseParaDados& registro) {
  const std::string_view op = operacao;
  if (op == "LePlano") {
    const auto& plano = static_cast<const CZQDadosMM_Plano&>(registro);
    const bool subida = !m_cadeia.empty() && m_cadeia.back().GetQuantidadeAlerta() == 0 &&
                        m_cadeia.back().GetPonteiroPai() == plano.GetPonteiro();
    if (!subida) {
      m_cadeia.clear();
      m_indiceAlerta = -1;
      m_lendoLinhas = false;
    }
    m_cadeia.push_back(plano);
  } else if (op == "LeTipoRecurso") {
    if (!m_lendoLinhas) {
      m_lendoLinhas = true;
      m_novoAlerta = true;
      m_linhas = 0;
      m_tecnicos.clear();
      m_cursorTecnico = 0;
    }
    ++m_linhas;
  } else if (op == "LeTecnico" || op == "LeTecnicos") {
    m_lendoLinhas = false;
    m_tecnicos.push_back(static_cast<const CZQDadosMM_Tecnico&>(registro));
  }
}

bool CPreviaAlerta::TemLista(const CZQDadosMM_PlanoAlerta& alerta, int linhas) {
  CString caminho, texto, erro;
  CMMModeloEmailAlerta::LocalizaModelo(alerta.GetModeloEmail(), caminho);
  const auto it = m_modelosComLista.find(caminho.Str());
  if (it != m_modelosComLista.end()) return it->second;
  const bool lista = CMMModeloEmailAlerta::LeModeloEmail(caminho, texto, erro) == CMMModeloEmailAlerta::ELeitura::Lido &&
                     CMMModeloEmailAlerta::AtualizaConteudoEmail(texto, linhas);
  return m_modelosComLista[caminho.Str()] = lista;
}

long CPreviaAlerta::Recebe(const CZQDadosDF_Email& email) {
  EMAIL_PREVIA e;
  e.para = email.GetDestinatarios().Str();
  e.assunto = email.GetAssunto().Str();
  if (email.GetQuantidadeCorpo() > 0) e.corpo = email.GetConstRefCorpo(0).GetConteudo().Str();
  e.linhas = m_linhas;
  if (!m_cadeia.empty()) {
    const CZQDadosMM_Plano& plano = m_cadeia.front();
    const CZQDadosMM_Plano& dono = m_cadeia.back();
    e.codigoPlano = plano.GetCodigo().Str();
    e.nomePlano = plano.GetNome().Str();
    e.codigoDono = dono.GetCodigo().Str();
    // The alerts go out in their order; the subject names the alert by its description.
    if (m_novoAlerta || m_indiceAlerta < 0) {
      for (int i = m_indiceAlerta + 1; i < dono.GetQuantidadeAlerta(); ++i) {
        DADOS_CORPO_EMAIL dados;
        dados.strDescAlerta = dono.GetAlerta(i).GetDescricao();
        if (!dono.GetAlerta(i).GetInativo() && CMMModeloEmailAlerta::AssuntoEmail(dados).View() == email.GetAssunto().View()) {
          m_indiceAlerta = i;
          break;
        }
      }
      m_novoAlerta = false;
    }
    if (m_indiceAlerta >= 0 && m_indiceAlerta < dono.GetQuantidadeAlerta()) {
      const CZQDadosMM_PlanoAlerta& alerta = dono.GetAlerta(m_indiceAlerta);
      e.alerta = m_indiceAlerta + 1;
      e.descricaoAlerta = alerta.GetDescricao().Str();
      if (!TemLista(alerta, m_linhas)) e.linhas = 1;
    }
  }
  // The technicians get their mails in the order they were read; one may get several.
  const std::string endereco = Aparado(e.para);
  auto tem = [&](const CZQDadosMM_Tecnico& t) {
    for (int m = 0; m < t.GetQuantidadeEmail(); ++m)
      if (Aparado(t.GetConstRefEmail(m).View()) == endereco) return true;
    return false;
  };
  for (std::size_t k = m_cursorTecnico; k < m_tecnicos.size(); ++k)
    if (tem(m_tecnicos[k])) {
      m_cursorTecnico = k;
      e.codigoTecnico = m_tecnicos[k].GetCodigo().Str();
      e.nomeTecnico = m_tecnicos[k].GetNome().Str();
      break;
    }
  m_emails.push_back(std::move(e));
  return 0;
}

std::vector<std::string> CPreviaAlerta::Grava(const fs::path& pasta, const std::string& titulo, int* removidos) const {
  std::error_code ec;
  fs::create_directories(pasta, ec);
  if (ec || !fs::is_directory(pasta, ec))
    throw CErroHost(kSaidaFalha, "não foi possível criar a pasta " + pasta.string() + ": " + ec.message());
  static const std::regex nossos(R"(index\.html|[0-9]{3,}-.*\.html)");
  *removidos = 0;
  for (const auto& entrada : fs::directory_iterator(pasta, ec))
    if (entrada.is_regular_file() && std::regex_match(entrada.path().filename().string(), nossos)) {
      if (!fs::remove(entrada.path(), ec))
        throw CErroHost(kSaidaFalha, "não foi possível remover " + entrada.path().string() + ": " + ec.message());
      ++*removidos;
    }

  std::vector<std::string> nomes;
  std::string linhas;
  for (std::size_t i = 0; i < m_emails.size(); ++i) {
    const EMAIL_PREVIA& e = m_emails[i];
    const std::string numero = NumeroEmail(i);
    const std::string nome = numero + "-" + ParteNome(e.codigoPlano) + "-" + std::to_string(e.alerta) +
                             "-" + ParteNome(e.codigoTecnico.empty() ? e.para : e.codigoTecnico) + ".html";
    Escreve(pasta / nome, ComCharset(e.corpo));
    nomes.push_back(nome);
    const std::string alerta = e.alerta ? std::to_string(e.alerta) + (e.codigoDono != e.codigoPlano ? " de " + Utf8(e.codigoDono) : "") +
                                              ": " + Utf8(e.descricaoAlerta)
                                        : "?";
    const std::string tecnico = e.codigoTecnico.empty() ? "" : " (" + Utf8(e.codigoTecnico) + " " + Utf8(e.nomeTecnico) + ")";
    linhas += "<tr><td>" + numero + "</td><td>" + Html(Utf8(e.codigoPlano)) + " - " + Html(Utf8(e.nomePlano)) +
              "</td><td>" + Html(alerta) + "</td><td>" + Html(Utf8(e.para) + tecnico) + "</td><td>" +
              Html(Utf8(e.assunto)) + "</td><td class=\"n\">" + std::to_string(e.linhas) + "</td><td><a href=\"" +
              Html(nome) + "\">" + Html(nome) + "</a></td></tr>\n";
  }
  Escreve(pasta / "index.html",
          "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + Html(titulo) +
              "</title>\n<style>body{font-family:Arial,Helvetica,sans-serif;font-size:14px}"
              "table{border-collapse:collapse}td,th{border:1px solid #999;padding:4px;text-align:left}"
              ".n{text-align:right}</style>\n</head>\n<body>\n<h1>" + Html(titulo) +
              "</h1>\n<p>Nada foi enviado nem registrado: cada e-mail abaixo é o que a rotina enviaria agora.</p>\n"
              "<table>\n<tr><th>#</th><th>Plano</th><th>Alerta</th><th>Para</th><th>Assunto</th><th>Linhas</th>"
              "<th>E-mail</th></tr>\n" + linhas + "</table>\n</body>\n</html>\n");
  return nomes;
}

}  // namespace zqhost
