#include "tools/ComandosIntegridade.h"

#include <iostream>

#include "integrity/MMControleIntegridade.h"
#include "platform/records/RecordJson.h"
#include "platform/storage/ZQEmpresas.h"
#include "tools/ErroHost.h"
#include "tools/LocaisHost.h"

namespace zqhost {
namespace {

constexpr long kSessaoHost = 1;

// The registers the integrity check knows, by the kind name of their records.
#define ZQMM_INTEGRIDADE(R)                                \
  R(CMMControleIntegridade::kDisciplina, Disciplina)       \
  R(CMMControleIntegridade::kTecnico, Tecnico)             \
  R(CMMControleIntegridade::kPlano, Plano)                 \
  R(CMMControleIntegridade::kSituacaoManutencao, Situacao) \
  R(CMMControleIntegridade::kTipoGasto, TipoGasto)

// The entries whose whole code is `codigo`; of the statuses, maintenance statuses only.
template <class Filtro>
long BuscaPorCodigo(CZQAcessoManutencao& mm, long (CZQAcessoManutencao::*busca)(const Filtro&, CZQArrayPonteiros&),
                    const CString& codigo, CZQArrayPonteiros& ponteiros) {
  Filtro filtro;
  filtro.SetCodigo(codigo);
  filtro.SetAtivaVerificacaoCodigoParcial(0);
  if constexpr (requires { filtro.SetFlagTipo(CZQDadosMM_Situacao::kTipoManutencao); })
    filtro.SetFlagTipo(CZQDadosMM_Situacao::kTipoManutencao);
  return (mm.*busca)(filtro, ponteiros);
}

struct Cadastro {
  CMMControleIntegridade::RegistroControleIntegridade registro;
  const zq::RecordSchema* schema;
  long (*busca)(CZQAcessoManutencao&, const CString&, CZQArrayPonteiros&);
};

#define ZQMM_CADASTRO(registro, Nome)                                                  \
  Cadastro{registro, &CZQDadosMM_##Nome::SchemaEstatico(),                             \
           [](CZQAcessoManutencao& mm, const CString& codigo, CZQArrayPonteiros& p) { \
             return BuscaPorCodigo(mm, &CZQAcessoManutencao::BuscaPonteiros##Nome, codigo, p); \
           }},
const Cadastro kCadastros[] = {ZQMM_INTEGRIDADE(ZQMM_CADASTRO)};

void Inicializa(CMMControleIntegridade& controle, const std::string& empresa, unsigned short usuario) {
  if (controle.Inicializa(empresa.c_str(), usuario, kSessaoHost) != 0)
    throw CErroHost(kSaidaFalha, std::string("não foi possível inicializar a verificação de integridade: ")
                                     .append(Utf8(controle.GetMensagem().View())));
}

}  // namespace

int CComandosIntegridade::Verifica(const std::string& empresa, const std::string& registro, const std::string& codigo,
                                   unsigned short usuario) {
  const Cadastro* cadastro = nullptr;
  for (const Cadastro& c : kCadastros)
    if (registro == c.schema->kind || registro == std::to_string(c.registro)) cadastro = &c;
  if (!cadastro)
    throw CErroHost(kSaidaEntradaInvalida, std::string("registro desconhecido: ")
                                               .append(zq::Abrevia(registro))
                                               .append(" (disciplina, tecnico, plano, situacao, tipo_gasto ou 1 a 5)"));
  const auto codigoCp = zq::Utf8ToCp1252(codigo);
  if (!codigoCp) throw CErroHost(kSaidaEntradaInvalida, "o código não tem forma em Windows-1252");

  CLocaisHost::ExigeEmpresa(empresa);
  zq::Status st;
  if (!CZQEmpresas::Abre(empresa, &st, zq::AberturaBanco::kLeitura))  // nothing is stored
    throw CErroHost(kSaidaFalha, std::string("não foi possível abrir a empresa ")
                                     .append(empresa)
                                     .append(": ")
                                     .append(Utf8(st.message)));
  CMMControleIntegridade controle;
  Inicializa(controle, empresa, usuario);
  CZQAcessoManutencao* mm = controle.GetAcessoManutencao();
  CZQArrayPonteiros ponteiros;
  if (cadastro->busca(*mm, CString(*codigoCp), ponteiros) != 0)
    throw CErroHost(kSaidaFalha, Utf8(mm->GetErro().GetMensagem().View()));
  const std::string nome = std::string(cadastro->schema->kind).append(" ").append(zq::Abrevia(codigo));
  if (ponteiros.IsEmpty()) throw CErroHost(kSaidaEntradaInvalida, nome + ": código não cadastrado");

  if (controle.VerificaRelacionamentoPonteiro(cadastro->registro, static_cast<std::uint32_t>(ponteiros[0]))) {
    std::cout << nome << ": nenhum registro depende dele; pode ser excluído\n";
    return kSaidaOk;
  }
  if (controle.GetTipoErro() == ZQ_TIPO_ERRO_HR) throw CErroHost(kSaidaFalha, Utf8(controle.GetMensagem().View()));
  std::cout << Utf8(controle.GetMensagem().View()) << "\n";
  return kSaidaRecusado;
}

bool CComandosIntegridade::PermiteExclusao(const std::string& empresa, unsigned short usuario,
                                           const TZQBaseParaDados& registro, CZQDadosDF_Erro* erro) {
  const Cadastro* cadastro = nullptr;
  for (const Cadastro& c : kCadastros)
    if (&registro.Schema() == c.schema) cadastro = &c;
  const auto* situacao = dynamic_cast<const CZQDadosMM_Situacao*>(&registro);
  if (!cadastro || (situacao && situacao->GetTipo() == CZQDadosMM_Situacao::kTipoTarefa)) return true;
  CMMControleIntegridade controle;
  Inicializa(controle, empresa, usuario);
  if (controle.VerificaRelacionamentoPonteiro(cadastro->registro, registro.GetChave())) return true;
  erro->SetErro(controle.GetErro());
  return false;
}

}  // namespace zqhost
