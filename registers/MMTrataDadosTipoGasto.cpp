#include "registers/MMTrataDadosTipoGasto.h"

#include "registers/MMRegrasCadastro.h"

namespace {
struct TiposGasto {
  using Registro = CZQDadosMM_TipoGasto;
  using Filtro = CZQDadosMM_FiltroTipoGasto;
  static constexpr auto kBusca = &CZQAcessoManutencao::BuscaPonteirosTipoGasto;
  static constexpr auto kLe = &CZQAcessoManutencao::LeTipoGasto;
  static constexpr auto kClassificacao = &CZQAcessoManutencao::BuscaClassificacaoTipoGasto;
  // The own-parent check names the tree field here, not the name field.
  static constexpr mmcadastro::CamposArvore kCampos{132, 133, 134, 135, 135};
};
using Regras = mmcadastro::ArvoreSimples<TiposGasto>;
}  // namespace

CMMTrataDadosTipoGasto::~CMMTrataDadosTipoGasto() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosTipoGasto::ConsistirTipoGasto(CZQDadosMM_TipoGasto* tipoGasto) {
  return Regras::Consistir(*this, *tipoGasto);
}

CZQDadosDF_Erro& CMMTrataDadosTipoGasto::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* tipoGasto = dynamic_cast<CZQDadosMM_TipoGasto*>(dados);
  if (!tipoGasto) return RegistroInvalido();
  if (!ConsistirTipoGasto(tipoGasto).EhErroNenhum() || tipoGasto->GetPonteiro() == 0) return *this;
  auto valida = [this](const auto&... a) -> CZQDadosDF_Erro& { return ValidaRegistroAtualizado(a...); };
  return Regras::VerificaGravado(*this, *tipoGasto, valida);
}
