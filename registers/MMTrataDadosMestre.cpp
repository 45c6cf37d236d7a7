#include "registers/MMTrataDadosMestre.h"

#include "registers/MMRegrasCadastro.h"

namespace {
constexpr long kCampoRegistro = 0;
constexpr long kCampoMesAnoVisualizacao = 1;
}  // namespace

CMMTrataDadosMestre::~CMMTrataDadosMestre() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosMestre::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* mestre = dynamic_cast<CZQDadosMM_Mestre*>(dados);
  if (!mestre) return RegistroInvalido();
  CZQDadosMM_Mestre gravado;
  if (GetAcessoManutencao()->LeMestre(&gravado, 0) != 0) return mmcadastro::CopiaErroAcesso(*this);
  if (ValidaRegistroAtualizado(gravado.GetDmaHmsGravacao(), mestre->GetDmaHmsGravacao(), kCampoRegistro).EhErroNenhum())
    return ConsistirMestre(mestre);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosMestre::ConsistirMestre(CZQDadosMM_Mestre* mestre) {
  LimpaErro();
  if (mestre->GetUsaDataVisualizacao() == 0 || mestre->GetMesAnoVisualizacao().usMa != 0) return *this;
  return SetAviso(MODULO_MM, 85, kCampoMesAnoVisualizacao);
}
