#include "tools/ComandosInfoExtra.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>

#include "platform/records/IEHeader.h"
#include "platform/records/RecordJson.h"
#include "platform/records/ZQTiposRegistro.h"
#include "platform/storage/ZQEmpresas.h"
#include "support/MMRoraRezo.h"
#include "tools/ErroHost.h"
#include "tools/LocaisHost.h"

namespace zqhost {
namespace {

constexpr unsigned short kUsuarioHost = 1;
constexpr long kSessaoHost = 1;
constexpr std::size_t kBytesMostrados = 16;

const zq::ProcessoIE* Procura(IE_E_PROCESSO valor) {
  for (const zq::ProcessoIE& p : zq::kProcessosIE)
    if (p.valor == valor) return &p;
  return nullptr;
}

// A name of the table, or a number (a process this host has no name for is the server's
// business: it may still have a header).
IE_E_PROCESSO LeProcesso(const std::string& texto) {
  for (const zq::ProcessoIE& p : zq::kProcessosIE)
    if (texto == p.nome) return p.valor;
  std::uint32_t n = 0;
  const auto [fim, erro] = std::from_chars(texto.data(), texto.data() + texto.size(), n);
  if (erro == std::errc() && fim == texto.data() + texto.size() && n != 0) return static_cast<IE_E_PROCESSO>(n);
  throw CErroHost(kSaidaEntradaInvalida, std::string("processo desconhecido: ")
                                             .append(zq::Abrevia(texto))
                                             .append(" (processos: ")
                                             .append(CComandosInfoExtra::Processos())
                                             .append(", ou o número)"));
}

std::string NomeProcesso(IE_E_PROCESSO valor) {
  const zq::ProcessoIE* p = Procura(valor);
  std::ostringstream s;
  if (p) s << p->nome << " ";
  s << "(" << static_cast<std::uint32_t>(valor) << ")";
  return s.str();
}

// "plano 2 PREV-EMP Revisão mensal de empilhadeiras" for a record of a named process, "chave 2"
// otherwise. A record that does not exist ends the command.
std::string Registro(CZQConexaoEmpresa& conexao, IE_E_PROCESSO processo, unsigned long chave) {
  const zq::ProcessoIE* p = Procura(processo);
  const zq::RecordSchema* schema = p ? zq::TipoRegistro(p->tipo) : nullptr;
  std::ostringstream texto;
  if (!schema) {
    texto << "chave " << chave;
    return texto.str();
  }
  texto << p->tipo << " " << chave;
  std::unique_ptr<TZQBaseParaDados> registro = schema->make();
  const zq::Status st = conexao.Motor().Read(static_cast<std::uint32_t>(chave), registro.get());
  if (!st.ok()) throw CErroHost(kSaidaFalha, texto.str().append(" não existe"));
  for (const char* campo : {"Codigo", "Descricao", "Nome"}) {
    const int i = schema->Find(campo);
    if (i < 0) continue;
    const zq::Value v = registro->GetValor(static_cast<std::size_t>(i));
    texto << " ";
    if (const auto* s = std::get_if<std::string>(&v))
      texto << Utf8(*s);
    else
      texto << std::get<std::int64_t>(v);
  }
  return texto.str();
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string hex;
  char par[3];
  for (std::size_t i = 0; i < bytes.size() && i < kBytesMostrados; ++i) {
    std::snprintf(par, sizeof par, "%02x", bytes[i]);
    hex += par;
  }
  return bytes.size() > kBytesMostrados ? hex + "..." : hex;
}

[[noreturn]] void FalhaServidor(CMMRoraRezo& rr, const char* oque) {
  throw CErroHost(kSaidaFalha,
                  std::string(oque).append(": ").append(Utf8(rr.GetConexaoRoraRezo().GetErro().GetMensagem().View())));
}

}  // namespace

std::string CComandosInfoExtra::Processos() {
  std::string nomes;
  for (const zq::ProcessoIE& p : zq::kProcessosIE) nomes.append(nomes.empty() ? "" : ", ").append(p.nome);
  return nomes;
}

int CComandosInfoExtra::Executa(const std::string& empresa, const std::string& textoProcesso, unsigned long chave,
                                unsigned long destino) {
  const IE_E_PROCESSO processo = LeProcesso(textoProcesso);
  CLocaisHost::ExigeEmpresa(empresa);
  zq::Status st;
  auto conexao = CZQEmpresas::Abre(empresa, &st, destino ? zq::AberturaBanco::kExistente : zq::AberturaBanco::kLeitura);
  if (!conexao)
    throw CErroHost(kSaidaFalha,
                    std::string("não foi possível abrir a empresa ").append(empresa).append(": ").append(Utf8(st.message)));

  CMMRoraRezo rr;
  if (rr.Inicializa(empresa.c_str(), kUsuarioHost, kSessaoHost) != 0)
    FalhaServidor(rr, "não foi possível conectar ao servidor de informações extras");
  if (rr.SetFlagProcesso(processo) < 0) FalhaServidor(rr, "falha ao buscar o cabeçalho");
  const CIEHeader& header = rr.GetHeaderRoraRezo();
  if (header.GetPosicao() == 0)
    throw CErroHost(kSaidaFalha, std::string("o processo ")
                                     .append(NomeProcesso(processo))
                                     .append(" não tem cabeçalho de informações extras"));
  const std::string origem = Registro(*conexao, processo, chave);
  const std::string alvo = destino ? Registro(*conexao, processo, destino) : std::string();
  std::cout << "processo    " << NomeProcesso(processo) << "\n"
            << "cabeçalho   " << header.GetPosicao() << " " << Utf8(header.GetDescricao().View())
            << (header.IsInativo() ? " (inativo)" : " (ativo)") << "\n";
  if (rr.SetDadosRoraRezo(chave) < 0) FalhaServidor(rr, "falha ao ler as informações extras");
  CZQDadosDF_IEVinculo dados;
  rr.GetDadosRoraRezo(&dados);
  std::cout << "registro    " << origem << "\n"
            << "campos      " << dados.GetQuantidadeCampo() << "\n";
  for (const CZQDadosDF_IEVinculoCampo& campo : dados.GetListaCampo()) {
    std::cout << "  campo " << campo.GetId() << "  texto \"" << Utf8(campo.GetTextoLivre().View()) << "\"";
    if (!campo.GetBinaryData().empty())
      std::cout << "  binário " << campo.GetBinaryData().size() << " bytes " << Hex(campo.GetBinaryData());
    std::cout << "\n";
  }
  if (!destino) return kSaidaOk;

  if (rr.CopiarRoraRezo(chave, destino) < 0) FalhaServidor(rr, "falha ao gravar as informações extras");
  if (header.IsInativo()) {
    std::cout.flush();
    throw CErroHost(kSaidaFalha, "nada copiado: cabeçalho inativo");
  }
  const CIEVinculo& gravado = rr.GetVinculo();
  if (gravado.GetQuantidadeDados() == 0)
    std::cout << "copiado para " << alvo << ": nenhum campo; os do destino foram removidos\n";
  else
    std::cout << "copiado para " << alvo << ": " << gravado.GetQuantidadeDados() << " campos gravados (vínculo "
              << gravado.GetPosicao() << ")\n";
  return kSaidaOk;
}

}  // namespace zqhost
