#include "registers/MMTrataDadosPlano.h"

#include <algorithm>

#include "alerts/MMModeloEmailAlerta.h"
#include "platform/types/Cp1252.h"
#include "registers/MMRegrasCadastro.h"

namespace {
constexpr long kCampoCodigo = 21;
constexpr long kCampoCodigoGravado = 22;
constexpr long kCampoNome = 23;
constexpr long kCampoArvore = 24;
constexpr long kCampoTipo = 25;
constexpr long kCampoDisciplina = 26;
constexpr long kCampoPrioridade = 27;
constexpr long kCampoTipoPeriodo = 29;
constexpr long kCampoContador = 30;
constexpr long kCampoTarefa = 33;
constexpr long kCampoAlertaDescricao = 44;
constexpr long kCampoAlertaAntesApos = 45;
constexpr long kCampoAlertaRepeticao = 52;
constexpr long kCampoAlertaTecnicos = 54;
constexpr std::uint8_t kAnalitico = 1;
constexpr char kServico = 'S';

// By component kind 1, 2, 3: the product field, the quantity field and the messages.
struct PorTipo {
  long campoProduto, campoQuantidade, msgSemProduto, msgRepetido;
};
constexpr PorTipo kPorTipo[] = {{34, 35, 36, 47}, {37, 38, 37, 46}, {40, 41, 38, 48}};

const PorTipo* DoTipo(_E_MM_MANUTENCOES_COMPONENTES tipo) {
  return tipo >= E_MM_COMPONENTE_MATERIAL && tipo <= E_MM_COMPONENTE_SERVICO ? &kPorTipo[tipo - 1] : nullptr;
}

// Which control types need a period type and which a counter per cycle.
bool PedePeriodo(std::uint8_t controle) { return controle == 0 || controle == 2 || controle == 3; }
bool PedeContador(std::uint8_t controle) { return controle >= 1 && controle <= 3; }
}  // namespace

using mmcadastro::CopiaErroAcesso;

CMMTrataDadosPlano::~CMMTrataDadosPlano() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosPlano::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* plano = dynamic_cast<CZQDadosMM_Plano*>(dados);
  if (!plano) return RegistroInvalido();
  if (plano->GetPonteiro() == 0) return ConsistirPlano(plano);

  CZQDadosMM_Plano gravado;
  if (GetAcessoManutencao()->LePlano(plano->GetPonteiro(), &gravado, 0) != 0) return CopiaErroAcesso(*this);
  if (!ValidaRegistroAtualizado(gravado.GetDmaHmsGravacao(), plano->GetDmaHmsGravacao(), kCampoCodigo).EhErroNenhum())
    return *this;
  if (gravado.GetTipoClassificacao() == kAnalitico) {
    if (plano->GetPonteiroPai() == plano->GetPonteiro()) return SetAviso(MODULO_MM, 99, kCampoArvore);
    return ConsistirPlano(plano);
  }
  CZQDadosMM_FiltroPlano filtro;
  filtro.SetPonteiroPai(gravado.GetPonteiro());
  CZQVector<CZQDadosDF_Classificacao> subarvore;
  if (GetAcessoManutencao()->BuscaClassificacaoPlano(filtro, subarvore) != 0) return CopiaErroAcesso(*this);
  if (!mmcadastro::VerificaSubarvore(*this, subarvore, plano->GetTipoClassificacao(), plano->GetPonteiroPai(),
                                     mmcadastro::Raiz::kDentro, kCampoArvore)
           .EhErroNenhum())
    return *this;
  return ConsistirPlano(plano);
}

CZQDadosDF_Erro& CMMTrataDadosPlano::ConsistirPlano(CZQDadosMM_Plano* plano) {
  LimpaErro();
  if (plano->GetCodigo().IsEmpty())
    return plano->GetPonteiro() == 0 ? SetAviso(MODULO_MM, 1, kCampoCodigo)
                                     : SetAviso(MODULO_MM, 2, kCampoCodigoGravado);
  CZQDadosMM_FiltroPlano porCodigo;
  porCodigo.SetCodigo(plano->GetCodigo());
  CZQArrayPonteiros ponteiros;
  if (GetAcessoManutencao()->BuscaPonteirosPlano(porCodigo, ponteiros) != 0) return CopiaErroAcesso(*this);
  if (mmcadastro::OutroComCodigo(ponteiros, plano->GetPonteiro())) return SetAviso(MODULO_MM, 10, kCampoCodigo);
  if (plano->GetNome().IsEmpty()) return SetAviso(MODULO_MM, 4, kCampoNome);

  if (plano->GetTipoClassificacao() != kAnalitico) {
    if (plano->GetTipo() != 0) return SetAviso(MODULO_MM, 183, kCampoTipo);
    plano->SetTipoControle(0);
    plano->SetPonteiroTipoPeriodo(0);
    plano->SetContadorCicloManutencao({});
    plano->SetInativarAposRealManut(false);
    plano->RemoveTodosAlerta();
    return *this;
  }
  if (plano->GetTipo() != 1 && plano->GetTipo() != 2) return SetAviso(MODULO_MM, 183, kCampoTipo);
  if (plano->GetPonteiroDisciplina() == 0) return SetAviso(MODULO_MM, 19, kCampoDisciplina);
  if (plano->GetPonteiroPrioridade() == 0) return SetAviso(MODULO_MM, 177, kCampoPrioridade);
  if (plano->GetTipo() == 2) return *this;
  const std::uint8_t controle = plano->GetTipoControle();
  if (PedePeriodo(controle) && plano->GetPonteiroTipoPeriodo() == 0)
    return SetAviso(MODULO_MM, 22, kCampoTipoPeriodo);
  if (PedeContador(controle) && plano->GetContadorCicloManutencao().int64 == 0)
    return SetAviso(MODULO_MM, 23, kCampoContador);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosPlano::ConsistirCamposTarefa(CZQDadosMM_PlanoTarefa* planoTarefa) {
  LimpaErro();
  return planoTarefa->GetPonteiroTarefa() == 0 ? SetAviso(MODULO_MM, 160, kCampoTarefa) : *this;
}

CZQDadosDF_Erro& CMMTrataDadosPlano::TrataAdicionarAlterarAlerta(CZQDadosMM_PlanoAlerta* alerta) {
  LimpaErro();
  if (alerta->GetDescricao().IsEmpty()) return SetAviso(MODULO_MM, 49, kCampoAlertaDescricao);
  if (alerta->GetAntesApos() == 0) return SetAviso(MODULO_MM, 113, kCampoAlertaAntesApos);
  if (alerta->GetRepetirEm() && alerta->GetTempoRepeticao().int64 == 0)
    return SetAviso(MODULO_MM, 116, kCampoAlertaRepeticao);
  if (alerta->GetQuantidadeTecnicos() == 0) return SetAviso(MODULO_MM, 117, kCampoAlertaTecnicos);

  const CString nome = CMMModeloEmailAlerta::NomeModelo(alerta->GetModeloEmail());
  if (nome.IsEmpty()) return SetAvisoPersonalizado(MODULO_MM, 0, "%s", "O modelo de e-mail deve ser informado."_cp);
  CString caminho;
  switch (CMMModeloEmailAlerta::LocalizaModelo(alerta->GetModeloEmail(), caminho)) {
    case CMMModeloEmailAlerta::ELocalizacao::Encontrado:
      return *this;
    case CMMModeloEmailAlerta::ELocalizacao::PastaDesconhecida:
      return SetAvisoPersonalizado(
          MODULO_MM, 0, "%s",
          "A pasta de relatórios não está configurada: o modelo de e-mail não pode ser localizado."_cp);
    case CMMModeloEmailAlerta::ELocalizacao::NaoEncontrado:
      break;
  }
  return SetAvisoPersonalizado(MODULO_MM, 0, "O modelo de e-mail %s não foi encontrado."_cp, caminho.GetString());
}

CZQDadosDF_Erro& CMMTrataDadosPlano::TrataAdicionarAlterarComponente(
    CZQDadosMM_PlanoComponente* componente, const CZQVector<CZQDadosMM_PlanoComponente>& componentes,
    std::int64_t indice, _E_MM_MANUTENCOES_COMPONENTES tipo) {
  LimpaErro();
  const PorTipo* k = DoTipo(tipo);
  const _REG_POSICAO_PRODUTOPS posicao = componente->GetPosicaoProduto();
  if (posicao.lPonteiroProduto == 0 && k) return SetAviso(MODULO_MM, k->msgSemProduto, k->campoProduto);
  if (componente->GetTipoProdutoServico() == kServico) {
    if (!VerificaServico(posicao).EhErroNenhum()) return SetCodigoCampo(kPorTipo[2].campoProduto);
  } else if (!VerificaProduto(posicao).EhErroNenhum() && tipo != E_MM_COMPONENTE_SERVICO && k) {
    return SetCodigoCampo(k->campoProduto);
  }
  if (componente->GetQuantidade().int64 <= 0) return SetAviso(MODULO_MM, 39, k ? k->campoQuantidade : 0);
  if (!k) return *this;
  for (int i = 0; i < componentes.GetSize(); ++i)
    if (i != indice && componentes[i].GetPosicaoProduto() == posicao)
      return SetAviso(MODULO_MM, k->msgRepetido, k->campoProduto);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosPlano::TrataAdicionarTarefa(const CZQVector<unsigned long>& tarefas,
                                                          CZQVector<CZQDadosMM_PlanoTarefa>& planoTarefas) {
  LimpaErro();
  CZQVector<CZQDadosMM_PlanoTarefa> novas;
  for (const unsigned long ponteiro : tarefas) {
    CZQDadosMM_PlanoTarefa nova;
    nova.SetPonteiroTarefa(static_cast<std::uint32_t>(ponteiro));
    if (!ConsistirCamposTarefa(&nova).EhErroNenhum()) return *this;
    const bool noPlano = std::any_of(planoTarefas.begin(), planoTarefas.end(), [&](const CZQDadosMM_PlanoTarefa& t) {
      return t.GetPonteiroTarefa() == ponteiro;
    });
    if (noPlano) {
      CZQDadosMM_Tarefa tarefa;
      if (GetAcessoManutencao()->LeTarefa(ponteiro, &tarefa, 0) != 0) return CopiaErroAcesso(*this);
      return SetAvisoPersonalizado(MODULO_MM, kCampoTarefa, 163, tarefa.GetCodigo());
    }
    novas.Add(nova);
  }
  for (const CZQDadosMM_PlanoTarefa& nova : novas) planoTarefas.Add(nova);
  return *this;
}
