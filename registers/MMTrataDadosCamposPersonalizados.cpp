#include "registers/MMTrataDadosCamposPersonalizados.h"

#include "registers/MMRegrasCadastro.h"

namespace {
constexpr long kCampoDestinacao = 15;
constexpr long kCampoCodigoGravado = 16;
constexpr long kCampoDescricao = 17;
constexpr long kCampoArvore = 18;
constexpr std::uint8_t kCampo = 1;
constexpr std::uint8_t kClasse = 2;
}  // namespace

using mmcadastro::CopiaErroAcesso;

CMMTrataDadosCamposPersonalizados::~CMMTrataDadosCamposPersonalizados() { Finaliza(); }

bool CMMTrataDadosCamposPersonalizados::GetDestinacaoEhValida(std::uint8_t destinacao) {
#define MM_DESTINACAO_VALIDA(nome, codigo, texto) \
  if (destinacao == codigo) return true;
  MM_DESTINACOES_CAMPOS_PERSONALIZADOS(MM_DESTINACAO_VALIDA)
#undef MM_DESTINACAO_VALIDA
  return false;
}

CString CMMTrataDadosCamposPersonalizados::GetNomeDestinacao(std::uint8_t destinacao) {
#define MM_DESTINACAO_NOME(nome, codigo, texto) \
  if (destinacao == codigo) return CString(texto);
  MM_DESTINACOES_CAMPOS_PERSONALIZADOS(MM_DESTINACAO_NOME)
#undef MM_DESTINACAO_NOME
  return CString();
}

CZQDadosDF_Erro& CMMTrataDadosCamposPersonalizados::OnTrataGravacao(TZQBaseParaDados* dados,
                                                                    IZQTrataInconsistencia* inconsistencia) {
  LimpaErro();
  auto* campos = dynamic_cast<CZQDadosMM_CamposPersonalizados*>(dados);
  if (!campos) return RegistroInvalido();
  if (campos->GetPonteiro() == 0) return ConsistirCamposPersonalizados(campos, inconsistencia);

  CZQDadosMM_CamposPersonalizados gravado;
  if (GetAcessoManutencao()->LeCamposPersonalizados(campos->GetPonteiro(), &gravado, 0) != 0)
    return CopiaErroAcesso(*this);
  if (!ValidaRegistroAtualizado(gravado.GetDmaHmsGravacao(), campos->GetDmaHmsGravacao(), kCampoDestinacao)
           .EhErroNenhum())
    return *this;
  if (gravado.GetTipoClassificacao() == kCampo) {
    if (campos->GetPonteiroClasse() == campos->GetPonteiro()) return SetAviso(MODULO_MM, 99, kCampoArvore);
    return ConsistirCamposPersonalizados(campos, inconsistencia);
  }

  CZQDadosMM_FiltroCamposPersonalizados filtro;
  filtro.GetFiltroClassificacao().SetPonteiroInicial(gravado.GetPonteiro());
  filtro.SetDestinacao(gravado.GetDestinacao());
  CZQVector<CZQDadosDF_Classificacao> subarvore;
  if (GetAcessoManutencao()->BuscaClassificacaoCamposPersonalizados(filtro, subarvore) != 0)
    return CopiaErroAcesso(*this);
  if (!mmcadastro::VerificaSubarvore(*this, subarvore, campos->GetTipoClassificacao(), campos->GetPonteiroClasse(),
                                     mmcadastro::Raiz::kDentro, kCampoArvore)
           .EhErroNenhum())
    return *this;
  return ConsistirCamposPersonalizados(campos, inconsistencia);
}

CZQDadosDF_Erro& CMMTrataDadosCamposPersonalizados::ConsistirCamposPersonalizados(
    CZQDadosMM_CamposPersonalizados* campos, IZQTrataInconsistencia*) {
  LimpaErro();
  if (!GetDestinacaoEhValida(campos->GetDestinacao())) return SetAviso(MODULO_MM, 164, kCampoDestinacao);
  if (campos->GetCodigo().IsEmpty())
    return campos->GetPonteiro() == 0 ? SetAviso(MODULO_MM, 1, kCampoDestinacao)
                                      : SetAviso(MODULO_MM, 2, kCampoCodigoGravado);

  CZQDadosMM_FiltroCamposPersonalizados filtro;
  filtro.SetCodigo(campos->GetCodigo());
  filtro.SetDestinacao(campos->GetDestinacao());
  CZQArrayPonteiros ponteiros;
  if (GetAcessoManutencao()->BuscaPonteirosCamposPersonalizados(filtro, ponteiros) != 0) return CopiaErroAcesso(*this);
  if (mmcadastro::OutroComCodigo(ponteiros, campos->GetPonteiro())) return SetAviso(MODULO_MM, 10, kCampoDestinacao);
  if (campos->GetDescricao().IsEmpty()) return SetAviso(MODULO_MM, 49, kCampoDescricao);

  if (campos->GetTipoClassificacao() == kClasse) {
    campos->SetDetalhamento(CString());
    campos->SetInativo(0);
  }
  return *this;
}
