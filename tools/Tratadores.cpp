#include "tools/Tratadores.h"

#include <cstdio>

#include "tools/ErroHost.h"

namespace zqhost {

namespace {
// A handler's name as `tipos` shows it: its class, or the names it gives itself.
template <class Tratador>
constexpr const char* NomeTratador(const char* classe) {
  if constexpr (requires { Tratador::kNome; })
    return Tratador::kNome;
  else
    return classe;
}
}  // namespace

long CTratadorSituacao::OnInicializa() {
  if (long hr = CMMTrataDados::OnInicializa()) return hr;
  if (long hr = m_manutencao.Inicializa(EmpresaInicializada(), UsuarioInicializado(), SessaoInicializada())) return hr;
  return m_tarefa.Inicializa(EmpresaInicializada(), UsuarioInicializado(), SessaoInicializada());
}

CZQDadosDF_Erro& CTratadorSituacao::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) {
  const auto* situacao = dynamic_cast<const CZQDadosMM_Situacao*>(dados);
  CMMTrataDados& tratador = situacao && situacao->GetTipo() == CZQDadosMM_Situacao::kTipoTarefa
                                ? static_cast<CMMTrataDados&>(m_tarefa)
                                : m_manutencao;
  tratador.TrataGravacao(dados, inconsistencia);
  return SetErro(tratador.GetErro());
}

std::unique_ptr<CMMTrataDados> CTratadores::Cria(const zq::RecordSchema& schema, bool* proprio) {
  *proprio = true;
#define ZQMM_CRIA_TRATADOR(Registro, Tratador) \
  if (&schema == &Registro::SchemaEstatico()) return std::make_unique<Tratador>();
  ZQMM_TRATADORES(ZQMM_CRIA_TRATADOR)
#undef ZQMM_CRIA_TRATADOR
  *proprio = false;
  return std::make_unique<CMMTrataDados>(false);
}

const char* CTratadores::Nome(const zq::RecordSchema& schema) {
#define ZQMM_NOME_TRATADOR(Registro, Tratador) \
  if (&schema == &Registro::SchemaEstatico()) return NomeTratador<Tratador>(#Tratador);
  ZQMM_TRATADORES(ZQMM_NOME_TRATADOR)
#undef ZQMM_NOME_TRATADOR
  return nullptr;
}

nlohmann::ordered_json CTratadores::AvisoJson(const CZQDadosDF_Erro& erro) {
  nlohmann::ordered_json aviso;
  if (erro.GetTipoErro() == ZQ_TIPO_ERRO_HR) {
    char hr[16];
    std::snprintf(hr, sizeof hr, "0x%08X", static_cast<unsigned>(erro.GetHR()));
    aviso["hr"] = hr;
  } else {
    aviso["modulo"] = static_cast<int>(erro.GetModulo());
  }
  aviso["mensagem"] = erro.GetCodigoErro();
  aviso["campo"] = erro.GetCodigoCampo();
  if (erro.GetItem() != 0) aviso["item"] = erro.GetItem();
  aviso["texto"] = Utf8(erro.GetMensagem().View());
  return aviso;
}

}  // namespace zqhost
