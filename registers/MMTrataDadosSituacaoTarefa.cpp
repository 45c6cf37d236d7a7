#include "registers/MMTrataDadosSituacaoTarefa.h"

#include "framework/Rastreio.h"
#include "registers/MMRegrasCadastro.h"

namespace {
constexpr long kCampoCodigo = 1;
constexpr long kCampoDescricao = 2;
constexpr long kCampoProprioPai = 3;
constexpr long kCampoCodigoNovo = 132;
constexpr long kCampoCodigoGravado = 133;
constexpr long kCampoArvore = 135;
}  // namespace

using mmcadastro::CopiaErroAcesso;

CMMTrataDadosSituacaoTarefa::~CMMTrataDadosSituacaoTarefa() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosSituacaoTarefa::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* situacao = dynamic_cast<CZQDadosMM_Situacao*>(dados);
  if (!situacao) return RegistroInvalido();

  if (situacao->GetPosicao() != 0) {
    CZQDadosMM_Situacao gravada;
    if (GetAcessoManutencao()->LeSituacao(situacao->GetPosicao(), &gravada, 0) != 0)
      return CopiaErroAcesso(*this).SetCodigoCampo(kCampoCodigo);
    if (!mmcadastro::MesmoSegundo(situacao->GetDmaHmsAtualizacao(), gravada.GetDmaHmsAtualizacao()))
      return SetAviso(MODULO_MM, 3, kCampoCodigo);
    if (gravada.GetTipoClassificacao() != 1) {
      CZQDadosMM_FiltroSituacao filtro;
      filtro.SetPonteiroPai(gravada.GetPosicao());
      CZQVector<CZQDadosDF_Classificacao> subarvore;
      if (GetAcessoManutencao()->BuscaClassificacaoSituacao(filtro, subarvore) != 0) return CopiaErroAcesso(*this);
      if (!mmcadastro::VerificaSubarvore(*this, subarvore, situacao->GetTipoClassificacao(),
                                         situacao->GetPonteiroPai(), mmcadastro::Raiz::kFora, kCampoArvore)
               .EhErroNenhum())
        return *this;
    }
  }

  if (situacao->GetCodigo().IsEmpty())
    return situacao->GetPosicao() == 0 ? SetAviso(MODULO_MM, 1, kCampoCodigoNovo)
                                       : SetAviso(MODULO_MM, 2, kCampoCodigoGravado);

  if (situacao->GetPosicao() == 0) {
    CZQDadosMM_FiltroSituacao dadosFiltro;
    dadosFiltro.SetCodigo(situacao->GetCodigo());
    dadosFiltro.SetAtivaVerificacaoCodigoParcial(0);
    dadosFiltro.SetFlagTipo(CZQDadosMM_Situacao::kTipoTarefa);
    CZQArrayPonteiros aPonteiros;
    if (const long hr = GetAcessoManutencao()->BuscaPonteirosSituacao(dadosFiltro, aPonteiros)) {
      MMTraceHR(this, "CMMTrataDadosSituacaoTarefa::OnTrataGravacao", "MMTrataDadosSituacaoTarefa", 84,
                "GetAcessoManutencao()->BuscaPonteirosSituacao(dadosFiltro, aPonteiros)", hr);
      return CopiaErroAcesso(*this).SetCodigoCampo(kCampoCodigo);
    }
    if (aPonteiros.GetSize() > 0) return SetAviso(MODULO_MM, 10, kCampoCodigo);
  }

  situacao->SetDescricao(mmcadastro::Aparado(situacao->GetDescricao()));
  if (situacao->GetDescricao().IsEmpty()) return SetAviso(MODULO_MM, 49, kCampoDescricao);

  if (situacao->GetPosicao() != 0 && situacao->GetPosicao() == situacao->GetPonteiroPai())
    return SetAviso(MODULO_MM, 99, kCampoProprioPai);
  if (situacao->GetTipo() != CZQDadosMM_Situacao::kTipoTarefa) return SetAviso(ZQ_MODULO_DF, 125, kCampoCodigo);
  return *this;
}
