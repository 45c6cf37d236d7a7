#include "registers/MMTrataDadosSituacaoManutencao.h"

#include "framework/Rastreio.h"
#include "registers/MMRegrasCadastro.h"

namespace {
constexpr long kCampoCodigo = 1;
constexpr long kCampoDescricao = 2;
constexpr long kCampoSituacaoBase = 3;

// The order situations a status may stand for: one bit each.
bool SituacaoBaseValida(std::uint8_t s) { return s >= 2 && s <= 64 && (s & (s - 1)) == 0; }
}  // namespace

using mmcadastro::Aparado;

CMMTrataDadosSituacaoManutencao::~CMMTrataDadosSituacaoManutencao() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosSituacaoManutencao::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* situacao = dynamic_cast<CZQDadosMM_Situacao*>(dados);
  if (!situacao) return RegistroInvalido();

  if (situacao->GetPosicao() != 0) {
    CZQDadosMM_Situacao gravada;
    if (GetAcessoManutencao()->LeSituacao(situacao->GetPosicao(), &gravada, 0) != 0)
      return mmcadastro::CopiaErroAcesso(*this).SetCodigoCampo(kCampoCodigo);
    if (!mmcadastro::MesmoSegundo(situacao->GetDmaHmsAtualizacao(), gravada.GetDmaHmsAtualizacao()))
      return SetAviso(MODULO_MM, 3, kCampoCodigo);
    if (situacao->GetSituacaoBase() != gravada.GetSituacaoBase()) return SetAviso(MODULO_MM, 123, kCampoCodigo);
  }

  situacao->SetCodigo(Aparado(situacao->GetCodigo()));
  if (situacao->GetCodigo().IsEmpty()) return SetAviso(MODULO_MM, 1, kCampoCodigo);

  if (situacao->GetPosicao() == 0) {
    CZQDadosMM_FiltroSituacao dadosFiltro;
    dadosFiltro.SetCodigo(situacao->GetCodigo());
    dadosFiltro.SetAtivaVerificacaoCodigoParcial(0);
    dadosFiltro.SetFlagTipo(CZQDadosMM_Situacao::kTipoManutencao);
    CZQArrayPonteiros aPonteiros;
    if (const long hr = GetAcessoManutencao()->BuscaPonteirosSituacao(dadosFiltro, aPonteiros)) {
      MMTraceHR(this, "CMMTrataDadosSituacaoManutencao::OnTrataGravacao", "MMTrataDadosSituacaoManutencao", 60,
                "GetAcessoManutencao()->BuscaPonteirosSituacao(dadosFiltro, aPonteiros)", hr);
      return mmcadastro::CopiaErroAcesso(*this).SetCodigoCampo(kCampoCodigo);
    }
    if (aPonteiros.GetSize() > 0) return SetAviso(MODULO_MM, 10, kCampoCodigo);
  }

  situacao->SetDescricao(Aparado(situacao->GetDescricao()));
  if (situacao->GetDescricao().IsEmpty()) return SetAviso(MODULO_MM, 49, kCampoDescricao);

  if (situacao->GetTipo() != CZQDadosMM_Situacao::kTipoManutencao) return SetAviso(ZQ_MODULO_DF, 125, kCampoCodigo);
  if (situacao->GetSituacaoBase() == 0) return SetAviso(MODULO_MM, 124, kCampoSituacaoBase);
  if (!SituacaoBaseValida(situacao->GetSituacaoBase())) return SetAviso(MODULO_MM, 125, kCampoSituacaoBase);
  return *this;
}
