#include "registers/MMTrataDadosTarefa.h"

#include <algorithm>

#include "platform/types/Cp1252.h"
#include "registers/MMRegrasCadastro.h"
#include "support/MMCampos.h"

namespace {
constexpr long kCampoCodigo = 65;
constexpr long kCampoCodigoGravado = 66;
constexpr long kCampoNome = 67;
constexpr long kCampoArvore = 61;
constexpr long kCampoInfPersonalizada = 62;
constexpr long kCampoSituacaoGrupo = 72;
constexpr long kCampoSituacaoInicial = 73;
constexpr long kCampoQuantGarantia = 59;
constexpr long kCampoPeriodoGarantia = 63;
constexpr long kCampoTecnico = 75;
constexpr std::uint8_t kAnalitica = 1;
constexpr unsigned short kLeComTecnicos = 128;
constexpr unsigned short kLeComApontamentos = 512;
// Every situation but closed (8) and cancelled (16): 1 + 2 + 4 + 32 + 64.
constexpr unsigned char kSituacoesEmAberto = 103;
// Messages by component kind 1, 2, 3.
constexpr long kMsgSemProduto[] = {36, 37, 38};
constexpr long kMsgRepetido[] = {47, 46, 48};
}  // namespace

using mmcadastro::CopiaErroAcesso;

CMMTrataDadosTarefa::~CMMTrataDadosTarefa() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosTarefa::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) {
  LimpaErro();
  auto* tarefa = dynamic_cast<CZQDadosMM_Tarefa*>(dados);
  if (!tarefa) return RegistroInvalido();
  if (tarefa->GetPonteiro() == 0) return ConsistirTarefa(tarefa, inconsistencia);

  CZQDadosMM_Tarefa gravada;
  if (GetAcessoManutencao()->LeTarefa(tarefa->GetPonteiro(), &gravada, kLeComTecnicos) != 0)
    return CopiaErroAcesso(*this);
  if (!ValidaRegistroAtualizado(gravada.GetDmaHmsGravacao(), tarefa->GetDmaHmsGravacao(), kCampoCodigo).EhErroNenhum())
    return *this;
  if (gravada.GetTipoClassificacao() != kAnalitica) {
    CZQDadosMM_FiltroTarefa filtro;
    filtro.SetPonteiroPai(gravada.GetPonteiro());
    CZQVector<CZQDadosDF_Classificacao> subarvore;
    if (GetAcessoManutencao()->BuscaClassificacaoTarefa(filtro, subarvore) != 0) return CopiaErroAcesso(*this);
    if (!mmcadastro::VerificaSubarvore(*this, subarvore, tarefa->GetTipoClassificacao(), tarefa->GetPonteiroPai(),
                                       mmcadastro::Raiz::kDentro, kCampoArvore)
             .EhErroNenhum())
      return *this;
  } else if (tarefa->GetPonteiroPai() == tarefa->GetPonteiro()) {
    return SetAviso(MODULO_MM, 99, kCampoArvore);
  }

  const auto& novos = tarefa->GetListaTecnico();
  for (const CZQDadosMM_TarefaTecnico& antigo : gravada.GetListaTecnico()) {
    const bool ficou = std::any_of(novos.begin(), novos.end(), [&](const CZQDadosMM_TarefaTecnico& t) {
      return t.GetPonteiroTecnico() == antigo.GetPonteiroTecnico();
    });
    if (!ficou && !TrataRemoverTecnico(tarefa->GetPonteiro(), antigo).EhErroNenhum()) return *this;
  }
  return ConsistirTarefa(tarefa, inconsistencia);
}

CZQDadosDF_Erro& CMMTrataDadosTarefa::ConsistirTarefa(CZQDadosMM_Tarefa* tarefa, IZQTrataInconsistencia*) {
  LimpaErro();
  if (tarefa->GetCodigo().IsEmpty())
    return tarefa->GetPonteiro() == 0 ? SetAviso(MODULO_MM, 1, kCampoCodigo)
                                      : SetAviso(MODULO_MM, 2, kCampoCodigoGravado);
  CZQDadosMM_FiltroTarefa porCodigo;
  porCodigo.SetCodigo(tarefa->GetCodigo());
  CZQArrayPonteiros ponteiros;
  if (GetAcessoManutencao()->BuscaPonteirosTarefa(porCodigo, ponteiros) != 0) return CopiaErroAcesso(*this);
  if (mmcadastro::OutroComCodigo(ponteiros, tarefa->GetPonteiro())) return SetAviso(MODULO_MM, 10, kCampoCodigo);
  if (tarefa->GetNome().IsEmpty()) return SetAviso(MODULO_MM, 4, kCampoNome);

  if (tarefa->GetTipoClassificacao() != kAnalitica) {
    tarefa->SetTempoPrevisto({});
    tarefa->SetQuantPeriodoGarantia({});
    tarefa->SetPonteiroInfPersonalizada(0);
    tarefa->SetPonteiroPeriodoGarantia(0);
    tarefa->SetDescricao("");
    tarefa->SetEfetuarApontTarefa(false);
    tarefa->SetGarantia(false);
    tarefa->RemoveTodosMaterial();
    tarefa->RemoveTodosEquipamento();
    tarefa->RemoveTodosServico();
    return *this;
  }
  if (tarefa->GetEfetuarApontTarefa() && tarefa->GetPonteiroInfPersonalizada() == 0)
    return SetAviso(MODULO_MM, 157, kCampoInfPersonalizada);
  if (tarefa->GetAtribuirSituacaoTarefa()) {
    if (tarefa->GetPonteiroSituacaoGrupo() == 0) return SetAviso(MODULO_MM, 179, kCampoSituacaoGrupo);
    if (tarefa->GetPonteiroSituacaoInicial() == 0) return SetAviso(MODULO_MM, 180, kCampoSituacaoInicial);
  }
  if (!tarefa->GetGarantia()) return *this;
  if (tarefa->GetQuantPeriodoGarantia().int64 == 0) return SetAviso(MODULO_MM, 158, kCampoQuantGarantia);
  if (tarefa->GetPonteiroPeriodoGarantia() == 0) return SetAviso(MODULO_MM, 159, kCampoPeriodoGarantia);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosTarefa::TrataRemoverTecnico(unsigned long ponteiroTarefa,
                                                          const CZQDadosMM_TarefaTecnico& tecnico) {
  LimpaErro();
  CZQDadosMM_FiltroManutencao filtro;
  filtro.SetSituacaoManutencao(kSituacoesEmAberto);
  CZQArrayDmc chaves;
  if (GetAcessoManutencao()->BuscaPonteirosManutencao(filtro, chaves) != 0) return CopiaErroAcesso(*this);
  CZQVector<CZQDadosMM_Manutencao> ordens;
  if (GetAcessoManutencao()->LeManutencoes(chaves.GetSize(), chaves, ordens, kLeComApontamentos) != 0)
    return CopiaErroAcesso(*this);
  bool apontado = false;
  for (const CZQDadosMM_Manutencao& ordem : ordens)
    for (const CZQDadosMM_ManutencaoApontamento& a : ordem.GetListaApontamento())
      apontado = apontado || (a.GetPonteiroTarefa() == ponteiroTarefa &&
                              a.GetPonteiroTecnico() == tecnico.GetPonteiroTecnico());
  return apontado ? SetAviso(MODULO_MM, 189, kCampoTecnico) : *this;
}

CZQDadosDF_Erro& CMMTrataDadosTarefa::TrataIncluirAlterarComponente(
    CZQDadosMM_TarefaComponente* componente, const CZQVector<CZQDadosMM_TarefaComponente>& componentes,
    std::int64_t indice) {
  LimpaErro();
  const std::uint8_t tipo = componente->GetTipoComponente();
  if (tipo < E_MM_COMPONENTE_MATERIAL || tipo > E_MM_COMPONENTE_SERVICO)
    return SetAvisoPersonalizado(MODULO_MM, 0, "%s", "Tipo do componente não é válido."_cp);
  const long campoCodigo = CMMCampos::GetCampoTarefaComponenteCodigo(tipo);
  if (componente->GetPosicaoProdutoServico().lPonteiroProduto == 0)
    return SetAviso(MODULO_MM, kMsgSemProduto[tipo - 1], campoCodigo);
  if (componente->GetQuantidade().int64 <= 0)
    return SetAviso(MODULO_MM, 39, CMMCampos::GetCampoTarefaComponenteQuantidade(tipo));
  for (int i = 0; i < componentes.GetSize(); ++i)
    if (i != indice && componentes[i].GetPosicaoProdutoServico() == componente->GetPosicaoProdutoServico())
      return SetAviso(MODULO_MM, kMsgRepetido[tipo - 1], campoCodigo);
  return *this;
}
