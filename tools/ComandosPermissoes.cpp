#include "tools/ComandosPermissoes.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "integrity/MMControlePermissoes.h"
#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/access/ZQResultados.h"
#include "platform/records/RecordJson.h"
#include "platform/storage/ZQEmpresas.h"
#include "support/ArqManutencao.h"
#include "tools/ErroHost.h"
#include "tools/JsonHost.h"
#include "tools/LocaisHost.h"

namespace zqhost {
namespace {

constexpr long kSessaoHost = 1;
using Dados = CMMDadosPermissaoUsuario;

// Characters (not bytes) of UTF-8 text, so that accented names stay aligned.
std::size_t Largura(std::string_view utf8) {
  std::size_t caracteres = 0;
  for (char c : utf8) caracteres += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return caracteres;
}

// Pads UTF-8 text to `largura` characters.
std::string Coluna(std::string_view utf8, std::size_t largura) {
  const std::size_t caracteres = Largura(utf8);
  std::string s(utf8);
  if (caracteres < largura) s.append(largura - caracteres, ' ');
  return s;
}

std::string Mensagem(const CZQDadosDF_Erro& erro) { return Utf8(erro.GetMensagem().View()); }

}  // namespace

int CComandosPermissoes::Permissoes(const std::string& empresa, unsigned short usuario, bool json) {
  CLocaisHost::ExigeEmpresa(empresa);
  zq::Status st;
  if (!CZQEmpresas::Abre(empresa, &st, zq::AberturaBanco::kLeitura))
    throw CErroHost(kSaidaFalha, "não foi possível abrir a empresa " + empresa + ": " + Utf8(st.message));
  CMMControlePermissoes controle;
  if (controle.Inicializa(empresa.c_str(), usuario, kSessaoHost) != 0)
    throw CErroHost(kSaidaFalha, "não foi possível inicializar o controle de permissões: " + Mensagem(controle));

  // The user first, so that a wrong number is told apart from a failed read.
  CZQDadosDF_Usuario registro;
  if (controle.GetAcessoEmpresarial()->LeUsuario(usuario, &registro) != 0) {
    const CZQDadosDF_Erro& erro = controle.GetAcessoEmpresarial()->GetErro();
    if (erro.GetHR() == ZQ_E_NAO_ENCONTRADO)
      throw CErroHost(kSaidaEntradaInvalida,
                      "usuário " + std::to_string(usuario) + " não existe na empresa " + empresa);
    throw CErroHost(kSaidaFalha, "não foi possível ler o usuário: " + Mensagem(erro));
  }

  nlohmann::ordered_json linhas = nlohmann::ordered_json::array();
  for (const auto& tela : CMMControlePermissoes::GetTelas()) {
    Dados dados;
    controle.GetPermissoes(tela.valor, &dados);
    if (!controle.EhErroNenhum())
      throw CErroHost(kSaidaFalha, "tela " + std::to_string(tela.valor) + ": " + Mensagem(controle));
    linhas.push_back({{"tela", static_cast<int>(tela.valor)},
                      {"nome", tela.nome},
                      {"grupo", Utf8(CMMControlePermissoes::GetNomeGrupo(tela.grupo))},
                      {"flags", zq::ParaJson(dados)}});
  }

  if (json) {
    std::cout << "[";
    const char* separador = "\n";
    for (const auto& linha : linhas) {
      std::cout << separador << "  " << JsonHost::Texto(linha);
      separador = ",\n";
    }
    std::cout << "\n]\n";
    return kSaidaOk;
  }

  std::cout << "permissões do usuário " << usuario << " (" << Utf8(registro.GetLogin().View()) << ", "
            << Utf8(registro.GetNome().View()) << (registro.GetBloqueado() ? ", bloqueado" : "") << ") em " << empresa
            << "\n\n";
  // Each flag column is " CFG"; its mark sits under the middle letter.
  std::cout << "tela  " << Coluna("nome", 30) << "grupo        ";
  for (std::size_t i = 0; i < Dados::kQuantidade; ++i) std::cout << " " << Dados::GetDescricao(i).sigla;
  std::cout << "\n";
  int comAlguma = 0;
  for (const auto& linha : linhas) {
    const std::string numero = std::to_string(linha["tela"].get<int>());
    std::cout << std::string(4 - numero.size(), ' ') << numero << "  "
              << Coluna(linha["nome"].get<std::string>(), 30) << Coluna(linha["grupo"].get<std::string>(), 13);
    bool alguma = false;
    const char* separador = "";
    for (const auto& [nome, valor] : linha["flags"].items()) {
      alguma = alguma || valor.get<int>() != 0;
      std::cout << separador << "  " << (valor.get<int>() ? 'x' : '.');
      separador = " ";
    }
    comAlguma += alguma;
    std::cout << "\n";
  }
  std::cout << "\ntelas com alguma permissão: " << comAlguma << " de " << linhas.size() << "\n\nlegenda:\n";
  for (std::size_t i = 0; i < Dados::kQuantidade; ++i)
    std::cout << "  " << Dados::GetDescricao(i).sigla << "  " << Utf8(Dados::GetDescricao(i).descricao) << "\n";
  return kSaidaOk;
}

int CComandosPermissoes::Arquivos(const std::string& empresa, const std::string& periodo) {
  REG_ZQMA mes;
  if (!periodo.empty()) {
    const bool forma = periodo.size() == 7 && periodo[4] == '-';
    const int ano = forma ? REG_ZQDMA::LeDigitos(std::string_view(periodo).substr(0, 4)) : -1;
    const int m = forma ? REG_ZQDMA::LeDigitos(std::string_view(periodo).substr(5, 2)) : -1;
    if (ano >= REG_ZQMA::kAnoPrimeiro) mes = REG_ZQMA::DeMesAno(m, ano);  // no two-digit reading here
    if (!mes.IsValid())
      throw CErroHost(kSaidaEntradaInvalida,
                      "período inválido: " + zq::Abrevia(periodo) + " (AAAA-MM, de 1848-01 a 4717-12)");
  }
  const CLocaisHost::Empresa local = CLocaisHost::ExigeEmpresa(empresa);
  const CString dir = CArqManutencao::GetDiretorioDados(empresa);

  struct Linha {
    int valor;
    std::string nome, caminho, existe;
  };
  auto comCaminho = [](int valor, const CString& nome, const CString& caminho) {
    std::error_code ec;
    const bool existe = std::filesystem::exists(caminho.Str(), ec);
    return Linha{valor, Utf8(nome.View()), Utf8(caminho.View()), existe ? "sim" : "não"};
  };
  auto imprime = [](const char* titulo, const std::vector<Linha>& linhas) {
    std::size_t largura = 0;
    for (const Linha& l : linhas) largura = std::max(largura, Largura(l.caminho));
    std::cout << "\n" << titulo << "\n  valor  " << Coluna("nome", 11) << Coluna("caminho", largura) << "  existe\n";
    for (const Linha& l : linhas) {
      const std::string v = std::to_string(l.valor);
      std::cout << std::string(7 - v.size(), ' ') << v << "  " << Coluna(l.nome, 11);
      if (l.existe.empty())
        std::cout << l.caminho << "\n";
      else
        std::cout << Coluna(l.caminho, largura) << "  " << l.existe << "\n";
    }
  };

  using A = CArqManutencao;
  std::vector<Linha> dados;
  for (int v = 1;; ++v) {
    const auto arquivo = static_cast<A::E_ARQUIVO_MANUTENCAO>(v);
    const CString nome = A::GetArqManutencao(arquivo);
    if (nome.IsEmpty()) break;
    if (v >= A::kPrimeiroMovimento && v <= A::kUltimoMovimento)
      dados.push_back({v, Utf8(nome.View()), "(um por mês: --periodo AAAA-MM)", ""});
    else
      dados.push_back(comCaminho(v, nome, A::MontaArquivo(empresa, A::GetArqManutencao(arquivo, A::EXTENSAO_DAT))));
  }
  std::vector<Linha> versoes;
  for (int v = 1;; ++v) {
    const CString nome = A::GetArqManutencaoVersao(static_cast<A::E_ARQUIVO_MANUTENCAO_VERSAO>(v));
    if (nome.IsEmpty()) break;
    versoes.push_back(comCaminho(v, nome, A::MontaArquivo(empresa, nome)));
  }

  // Here the records live in the company's database, not in these files; say so before listing
  // names that will not exist.
  std::cout << "empresa  " << empresa << "\ndados    " << Utf8(dir.View()) << "\nbanco    " << local.banco << " ("
            << local.motor << "): os registros ficam nele; os arquivos abaixo são os nomes que a suíte usa\n";
  imprime("arquivos de dados", dados);
  imprime("arquivos de versão", versoes);
  if (mes.IsValid()) {
    CStringArray nomes;
    A::GetArquivosMovimentacao(nomes);
    std::vector<Linha> movimentos;
    for (int i = 0; i < nomes.GetSize(); ++i)
      movimentos.push_back(comCaminho(A::kPrimeiroMovimento + i, nomes[i],
                                      A::MontaArquivo(empresa, nomes[i], mes, REG_ZQDMA::TIPO_DMA_DIA_MES_ANO2)));
    imprime(("movimentos de " + periodo + " (mês na forma 0: mês e ano com dois dígitos)").c_str(), movimentos);
  }
  return kSaidaOk;
}

}  // namespace zqhost
