#include "registers/MMTrataDadosPrioridade.h"

#include "framework/Rastreio.h"

namespace {
constexpr long kCampoCodigo = 1;
constexpr long kCampoDescricao = 2;
constexpr long kCampoPrioridadeBase = 3;
constexpr unsigned kPrioridadeBaseMaxima = 100;
constexpr std::uint64_t kMascaraSegundos = 0x3FFFFFFFFFull;
}  // namespace

CMMTrataDadosPrioridade::~CMMTrataDadosPrioridade() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosPrioridade::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* prioridade = dynamic_cast<CZQDadosMM_Prioridade*>(dados);
  if (!prioridade) return RegistroInvalido();

  if (prioridade->GetPosicao() != 0) {
    CZQDadosMM_Prioridade gravado;
    if (GetAcessoManutencao()->LePrioridade(prioridade->GetPosicao(), &gravado, 0) != 0)
      return SetErro(GetAcessoManutencao()->GetErro()).SetCodigoCampo(kCampoCodigo);
    // Compared without clearing first, on the seconds only.
    if ((prioridade->GetDmaHmsAtualizacao().ullValor & kMascaraSegundos) !=
        (gravado.GetDmaHmsAtualizacao().ullValor & kMascaraSegundos))
      return SetAviso(MODULO_MM, 3, kCampoCodigo);
  }

  CString codigo = prioridade->GetCodigo();
  codigo.Trim();
  prioridade->SetCodigo(codigo);
  if (codigo.IsEmpty()) return SetAviso(MODULO_MM, 1, kCampoCodigo);

  if (prioridade->GetPosicao() == 0) {
    CZQDadosMM_FiltroPrioridade dadosFiltro;
    dadosFiltro.SetCodigo(codigo);
    dadosFiltro.SetAtivaVerificacaoCodigoParcial(0);
    CZQArrayPonteiros aPonteiros;
    const long hr = GetAcessoManutencao()->BuscaPonteirosPrioridade(dadosFiltro, aPonteiros);
    if (hr != 0) {
      MMTraceHR(this, "CMMTrataDadosPrioridade::OnTrataGravacao", "MMTrataDadosPrioridade", 52,
                "GetAcessoManutencao()->BuscaPonteirosPrioridade(dadosFiltro, aPonteiros)", hr);
      return SetErro(GetAcessoManutencao()->GetErro()).SetCodigoCampo(kCampoCodigo);
    }
    if (aPonteiros.GetSize() > 0) return SetAviso(MODULO_MM, 10, kCampoCodigo);
  }

  CString descricao = prioridade->GetDescricao();
  descricao.Trim();
  prioridade->SetDescricao(descricao);
  if (descricao.IsEmpty()) return SetAviso(MODULO_MM, 49, kCampoDescricao);

  if (prioridade->GetPrioridadeBase() > kPrioridadeBaseMaxima) return SetAviso(MODULO_MM, 176, kCampoPrioridadeBase);
  return *this;
}
