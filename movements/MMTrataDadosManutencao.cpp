#include "movements/MMTrataDadosManutencao.h"

#include <cstdint>
#include <cstdio>
#include <set>

#include "framework/Rastreio.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/records/ZQDadosBDD_Registro.h"
#include "platform/records/ZQDadosDF_TipoPeriodo.h"
#include "platform/records/ZQDadosMM_Situacao.h"
#include "platform/records/ZQDadosMM_Tarefa.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"
#include "platform/system/ZQCaixaMensagem.h"
#include "platform/system/ZQMensagens.h"
#include "platform/system/ZQTrataErro.h"
#include "support/MMFuncoesComuns.h"

namespace {

// Field codes of the order's warnings.
constexpr long kCampoChave = 85;
constexpr long kCampoEmissao = 86;
constexpr long kCampoRecurso = 87;
constexpr long kCampoTipo = 88;
constexpr long kCampoPlano = 89;
constexpr long kCampoDescricao = 90;
constexpr long kCampoPrevisaoInicio = 93;
constexpr long kCampoRequisitante = 95;
constexpr long kCampoPrioridade = 96;
constexpr long kCampoDisciplina = 97;
constexpr long kCampoTecnico = 98;
constexpr long kCampoSituacao = 99;
constexpr long kCampoInicio = 100;
constexpr long kCampoNovaProgramacao = 102;
constexpr long kCampoFim = 104;
constexpr long kCampoTarefas = 109;
constexpr long kCampoSituacaoTarefa = 110;
constexpr long kCampoGarantia = 113;
constexpr long kCampoConfiguracaoTarefa = 114;
constexpr long kCampoMateriais = 115;
constexpr long kCampoEquipamentos = 119;
constexpr long kCampoServicos = 122;
constexpr long kCampoApontamentos = 126;
constexpr long kCampoApontamentoFim = 127;
constexpr long kCampoApontamentoRelogio = 128;
constexpr long kCampoApontamentoTecnico = 130;

constexpr unsigned char kTipoPlano = 1;
constexpr unsigned char kTarefaGrupo = 2;
constexpr unsigned char kTarefaAnalitica = 1;
constexpr unsigned char kTipoRecursoManutencao = 2;

// Order situations (single bits).
constexpr unsigned char kSituacaoAberta = 2;
constexpr unsigned char kSituacaoCancelada = 16;
constexpr unsigned char kSituacaoAndamento = 4;
constexpr unsigned char kSituacaoEncerrada = 8;
constexpr unsigned char kSituacaoAndamento2 = 32;
constexpr unsigned char kSituacaoReprogramada = 64;

constexpr int kModuloPermissao = 28;
constexpr int kPermissaoEncerrar = 13;

constexpr unsigned short kLeTecnicoCompleto = 0xFFFF;
constexpr unsigned short kLeTarefaApontamento = 128;
constexpr unsigned short kLeRecursoCompleto = 1;
constexpr unsigned short kLeRecursoGarantias = 0x1000;
constexpr unsigned short kLePlanoTarefas = 2;
constexpr unsigned short kLeTarefaCabecalho = 0;
constexpr unsigned short kLeTarefaLinha = 1;
constexpr unsigned short kLeManutencaoCompleta = 0xFFFF;

constexpr long kMensagemRemoverTarefa = 92;

// What each kind of component line differs in, by kind (1 materials, 2 equipment, 3 services):
// the task read that brings its components, the requisition type of suggested lines, and the
// warnings and fields of the line check (0: the kind has no such test).
struct TipoComponente {
  unsigned short leituraTarefa;
  unsigned char tipoRI;
  long avisoSemProduto, campoProduto, campoQuantidade, campoConsumo, avisoProdutoAlterado;
  bool servico, consumoTestado, duplicidadeTestada;
  const CZQVector<CZQDadosMM_TarefaComponente>& (CZQDadosMM_Tarefa::*componentes)() const;
};
constexpr TipoComponente kTiposComponente[] = {
    {4, 2, 36, 115, 116, 117, 118, false, true, false, &CZQDadosMM_Tarefa::GetListaMaterial},
    {16, 1, 37, 119, 120, 0, 119, false, false, true, &CZQDadosMM_Tarefa::GetListaEquipamento},
    {64, 2, 38, 122, 123, 124, 119, true, true, false, &CZQDadosMM_Tarefa::GetListaServico},
};
const TipoComponente* DadosTipoComponente(int tipo) {
  return tipo >= 1 && tipo <= 3 ? &kTiposComponente[tipo - 1] : nullptr;
}

bool Positivo(const tagCY& v) { return v > tagCY{0}; }

// The text of a module's message; a file that cannot be opened is told to the user and gives "".
CString TextoMensagem(int modulo, long numero) {
  if (auto texto = CZQMensagens::Texto(modulo, numero)) return CString(texto->c_str());
  char aviso[1024];
  std::snprintf(aviso, sizeof aviso,
                "Não foi possível abrir o arquivo texto de Mensagens %s. Caso o caminho esteja correto, atualize o "
                "arquivo."_cp,
                CZQMensagens::Arquivo(modulo).c_str());
  CZQCaixaMensagem::Informa(CString(aviso));
  return CString();
}

// What the message service is told when no access object answered at all.
constexpr std::int64_t kHRSemAcesso = ZQ_HR(0x80070057);  // E_INVALIDARG
constexpr long kCodigoSemAcesso = 535575;
constexpr long kServidorSemAcesso = 65535;
// The suite's servers report some failures as positive results in this band.
constexpr long kHRFalhaServidorMin = 987654321;
constexpr long kHRFalhaServidorMax = 987654999;

// Also the address by which the library finds its own file.
constexpr const char kCompilacao[] = __DATE__ " " __TIME__;

bool SituacaoComInicio(unsigned char situacao) {
  return situacao == kSituacaoAndamento || situacao == kSituacaoEncerrada || situacao == kSituacaoAndamento2;
}

// The caller's minute: the clock's seconds set to zero.
REG_ZQDMAHMSUTC MinutoAtual() {
  REG_ZQDMAHMSUTC agora = CZQRelogio::Agora();
  const std::int64_t s = agora.GetSegundos();
  agora.SetSegundos(s - ((s % 60) + 60) % 60);
  return agora;
}

}  // namespace

CMMTrataDadosManutencao::~CMMTrataDadosManutencao() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosManutencao::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* ordem = dynamic_cast<CZQDadosMM_Manutencao*>(dados);
  if (!ordem) return RegistroInvalido();

  if (ordem->GetDmc().IsValid()) {
    CZQDadosMM_Manutencao gravada;
    if (GetAcessoManutencao()->LeManutencao(ordem->GetDmc(), &gravada, 0) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());
    if (!ValidaRegistroAtualizado(gravada.GetDmaHmsGravacao(), ordem->GetDmaHmsGravacao(), kCampoChave).EhErroNenhum())
      return *this;
  }

  // Derived fields live in the copy until every check has passed.
  CZQDadosMM_Manutencao copia = *ordem;
  if (ConsistirManutencao(&copia).EhErroNenhum()) *ordem = std::move(copia);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::ConsistirManutencao(CZQDadosMM_Manutencao* ordem) {
  LimpaErro();
  CZQDadosMM_Mestre mestre;
  if (GetAcessoManutencao()->LeMestre(&mestre, 0) != 0) return SetErro(GetAcessoManutencao()->GetErro());

  const bool ordemNova = ordem->GetDmc().IsEmpty();

  if (ordem->GetPonteiroRecurso() == 0) return SetAviso(MODULO_MM, 50, kCampoRecurso);
  CZQDadosDF_Recurso recurso;
  if (!VerificaRecurso(ordem->GetPonteiroRecurso(), &recurso, ordemNova, false).EhErroNenhum()) return *this;
  if (recurso.GetTipo() != kTipoRecursoManutencao) return SetAviso(MODULO_MM, 51, kCampoRecurso);
  if (ordemNova) {
    ordem->SetContadorPonteiroUnMedida(recurso.GetPonteiroUnidadeMedidaContador());
    ordem->SetPonteiroFilial(recurso.GetPonteiroFilial());
    ordem->SetContadorNumeroDigitos(recurso.GetNumeroDigitosContador());
    ordem->SetContadorProdutoServico(recurso.GetUnidadeProdutoServico());
  }

  if (!VerificaTipoManutencao(ordem->GetTipoManutencao()).EhErroNenhum()) return *this;

  if (ordem->GetTipoManutencao() == kTipoPlano) {
    if (ordem->GetPonteiroPlano() == 0) return SetAviso(MODULO_MM, 53, kCampoPlano);
    CZQDadosMM_Plano plano;
    if (!VerificaPlano(ordem->GetPonteiroPlano(), &plano, ordemNova).EhErroNenhum()) return *this;
    CZQDadosDF_RecursoPlanoManutencao vinculo;
    if (GetAcessoEmpresarial()->LeRecursoPlanoManutencao(ordem->GetPonteiroRecurso(), ordem->GetPonteiroPlano(),
                                                         &vinculo) != 0)
      return SetErro(GetAcessoEmpresarial()->GetErro());
    if (ordemNova && vinculo.GetInativo()) return SetAviso(MODULO_MM, 25, kCampoPlano);
    if (ordem->GetPonteiroDisciplina() == 0) return SetAviso(MODULO_MM, 19, kCampoDisciplina);
    if (ordemNova) {
      ordem->SetTempoPrevisto(plano.GetTempoPrevisto());
      ordem->SetDescricao(plano.GetNome());
      ordem->SetTempoPrevistoEmHoras(plano.GetTempoPrevistoEmHoras());
    }
  }

  if (ordem->GetDescricao().IsEmpty()) return SetAviso(MODULO_MM, 49, kCampoDescricao);
  if (ordem->GetPonteiroRequisitante() == 0) return SetAviso(MODULO_MM, 27, kCampoRequisitante);
  if (ordem->GetPonteiroPrioridade() == 0) return SetAviso(MODULO_MM, 177, kCampoPrioridade);

  CZQDadosDF_Requisitante requisitante;
  if (!VerificaRequisitante(ordem->GetPonteiroRequisitante(), &requisitante, ordemNova).EhErroNenhum()) return *this;
  // A stored order keeps its requester even after the requester moved to another branch.
  if (ordemNova && requisitante.GetFilial() != 0 && requisitante.GetFilial() != ordem->GetPonteiroFilial())
    return SetAvisoPersonalizado(MODULO_MM, kCampoRequisitante, 127, requisitante.GetNome(), recurso.GetDescricao());

  if (ordem->GetPonteiroTecnico() == 0) {
    if (!ordem->GetOrigemZProducaoApontamento() && mestre.GetObrigarInformarTecnicoManutencao())
      return SetAviso(MODULO_MM, 28, kCampoTecnico);
  } else {
    CZQDadosMM_Tecnico tecnico;
    if (!VerificaTecnico(ordem->GetPonteiroTecnico(), &tecnico, ordemNova).EhErroNenhum()) return *this;
    if (tecnico.GetPonteiroFilial() != 0 && tecnico.GetPonteiroFilial() != ordem->GetPonteiroFilial())
      return SetAvisoPersonalizado(MODULO_MM, kCampoTecnico, 128, tecnico.GetNome(), recurso.GetDescricao());
    if (ordem->GetPonteiroDisciplina() != 0) {
      CZQDadosMM_FiltroTecnico filtro;
      filtro.SetValorUnicoDisciplina(ordem->GetPonteiroDisciplina());
      filtro.SetTipoClassificacaoAnalitico(1);
      CZQArrayPonteiros ponteiros;
      if (GetAcessoManutencao()->BuscaPonteirosTecnico(filtro, ponteiros) != 0)
        return SetErro(GetAcessoManutencao()->GetErro());
      bool atende = false;
      for (int i = 0; i < ponteiros.GetSize() && !atende; ++i) atende = ponteiros[i] == ordem->GetPonteiroTecnico();
      if (!atende) return SetAviso(MODULO_MM, 182, kCampoTecnico);
    }
  }

  if (ordem->GetSituacao() == 0 && ordem->GetPonteiroSituacao() != 0) {
    CZQDadosMM_Situacao situacao;
    if (GetAcessoManutencao()->LeSituacao(ordem->GetPonteiroSituacao(), &situacao, MM_LER_SITUACAO_CABECALHO) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());
    ordem->SetSituacao(situacao.GetSituacaoBase());
  }

  if (ordem->GetSituacao() == kSituacaoEncerrada) {
    bool pode = false;
    if (GetAcessoEmpresarial()->PossuiPermissao(GetUsuario(), kModuloPermissao, kPermissaoEncerrar, pode) != 0)
      return SetErro(GetAcessoEmpresarial()->GetErro());
    if (!pode) return SetAviso(MODULO_MM, 191, kCampoSituacao);
  }

  if (!VerificaDatasHoras(*ordem, mestre, ordemNova).EhErroNenhum()) return *this;
  if (!ConsistirInfoPersonalizadaTarefa(ordem).EhErroNenhum()) return *this;
  if (!ConsistirExistenciaKits(*ordem).EhErroNenhum()) return *this;
  return VerificaApontamentos(*ordem, mestre);
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::VerificaRecurso(long ponteiro, CZQDadosDF_Recurso* recurso,
                                                          bool verificarInativo, bool permitirInativo) {
  LimpaErro();
  if (GetAcessoEmpresarial()->LeRecurso(static_cast<unsigned long>(ponteiro), recurso, kLeRecursoCompleto) != 0)
    return SetErro(GetAcessoEmpresarial()->GetErro());
  if (verificarInativo && recurso->GetInativo() != 0 && !permitirInativo) return SetAviso(MODULO_MM, 54, kCampoRecurso);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::VerificaTipoManutencao(unsigned char tipo) {
  LimpaErro();
  if (CMMFuncoesComuns::GetTipoManutencao(tipo).IsEmpty()) return SetAviso(MODULO_MM, 52, kCampoTipo);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::VerificaPlano(long ponteiro, CZQDadosMM_Plano* plano, bool verificarInativo) {
  LimpaErro();
  if (GetAcessoManutencao()->LePlano(static_cast<unsigned long>(ponteiro), plano, 0) != 0)
    return SetErro(GetAcessoManutencao()->GetErro());
  if (verificarInativo && plano->GetInativo() == 1) return SetAviso(MODULO_MM, 55, kCampoPlano);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::VerificaRequisitante(long ponteiro, CZQDadosDF_Requisitante* requisitante,
                                                               bool verificarInativo) {
  LimpaErro();
  if (GetAcessoEmpresarial()->LeRequisitante(static_cast<unsigned long>(ponteiro), requisitante, 0) != 0)
    return SetErro(GetAcessoEmpresarial()->GetErro());
  if (verificarInativo && requisitante->GetInativo() == 1) return SetAviso(MODULO_MM, 56, kCampoRequisitante);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::VerificaTecnico(long ponteiro, CZQDadosMM_Tecnico* tecnico,
                                                          bool aceitarInativo) {
  LimpaErro();
  if (GetAcessoManutencao()->LeTecnico(static_cast<unsigned long>(ponteiro), tecnico, kLeTecnicoCompleto) != 0)
    return SetErro(GetAcessoManutencao()->GetErro());
  if (!aceitarInativo && tecnico->GetInativo() == 1) return SetAviso(MODULO_MM, 29, kCampoTecnico);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::VerificaDatasHoras(const CZQDadosMM_Manutencao& ordem,
                                                             const CZQDadosMM_Mestre&, bool) {
  LimpaErro();
  const REG_ZQDMAHMSUTC& emissao = ordem.GetDataHoraEmissao();
  const REG_ZQDMAHMSUTC& previsao = ordem.GetDmaHmsPrevInicio();
  const REG_ZQDMAHMSUTC& inicio = ordem.GetDataHoraInicio();
  const REG_ZQDMAHMSUTC& novaProgramacao = ordem.GetDataHoraNovaProgramacao();
  const REG_ZQDMAHMSUTC& fim = ordem.GetDataHoraFim();
  const unsigned char situacao = ordem.GetSituacao();

  if (!emissao.GetData().IsValid()) return SetAviso(MODULO_MM, 134, kCampoEmissao);
  if (!VerificaPeriodoMovimentacao(emissao.GetData(), kCampoEmissao).EhErroNenhum()) return *this;
  // Only stock-moving lines are integrated.
  if (ordem.GetQuantidadeMaterial() > 0 || ordem.GetQuantidadeEquipamento() > 0) {
    if (!VerificaPeriodoIntegracao(CZQRelogio::Agora(), ordem.GetPonteiroFilial(), kCampoEmissao).EhErroNenhum())
      return *this;
  }

  if (previsao.IsPreenchida() && previsao.Compara(emissao) < 0) return SetAviso(MODULO_MM, 135, kCampoPrevisaoInicio);
  if (!inicio.IsPreenchida() && SituacaoComInicio(situacao)) return SetAviso(MODULO_MM, 136, kCampoInicio);

  if (novaProgramacao.IsPreenchida()) {
    if (situacao != kSituacaoReprogramada) return SetAviso(MODULO_MM, 137, kCampoNovaProgramacao);
    if (novaProgramacao.Compara(emissao) <= 0) return SetAviso(MODULO_MM, 138, kCampoNovaProgramacao);
    if (inicio.IsPreenchida() && novaProgramacao.Compara(inicio) <= 0)
      return SetAviso(MODULO_MM, 139, kCampoNovaProgramacao);
    if (!VerificaPeriodoMovimentacao(novaProgramacao.GetData(), kCampoEmissao).EhErroNenhum()) return *this;
  } else if (situacao == kSituacaoReprogramada) {
    return SetAviso(MODULO_MM, 140, kCampoNovaProgramacao);
  }

  if (situacao == kSituacaoEncerrada) {
    if (!fim.IsPreenchida()) return SetAviso(MODULO_MM, 141, kCampoFim);
    if (inicio.Compara(fim) > 0) return SetAviso(MODULO_MM, 143, kCampoFim);
    return VerificaPeriodoMovimentacao(fim.GetData(), kCampoEmissao);
  }
  // Any raw value counts as an end here, filled in or not.
  if (fim.ullValor != 0) return SetAviso(MODULO_MM, 142, kCampoFim);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::ConsistirInfoPersonalizadaTarefa(CZQDadosMM_Manutencao* ordem) {
  LimpaErro();
  if (ordem->GetSituacao() != kSituacaoEncerrada) return *this;

  for (int i = 0; i < ordem->GetQuantidadeTarefa(); ++i) {
    CZQDadosMM_ManutencaoTarefa& linha = ordem->GetRefTarefa(i);
    CZQDadosMM_Tarefa tarefa;
    if (GetAcessoManutencao()->LeTarefa(linha.GetPonteiroTarefa(), &tarefa, 0) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());

    if (!tarefa.GetEfetuarApontTarefa() || tarefa.GetPonteiroInfPersonalizada() == 0) {
      linha.RemoveApontamentoTarefa();
      continue;
    }

    CZQDadosBDD_Registro* registro = nullptr;
    if (!linha.GetApontamentoTarefa(registro)) {
      const unsigned long regKeyConfigTarefa = tarefa.GetPonteiroInfPersonalizada();
      CZQDadosBDD_Registro dadosConfigInfoPers;
      const long hr = GetAcessoEmpresarial()->LeBDDConfiguracao(BDD_ATV_MM_APONTAMENTO_TAREFA, regKeyConfigTarefa,
                                                               &dadosConfigInfoPers);
      if (hr != 0) {
        MMTraceHR(this, "CMMTrataDadosManutencao::ConsistirInfoPersonalizadaTarefa", "MMTrataDadosManutencao", 1192,
                  "GetAcessoEmpresarial()->LeBDDConfiguracao(BDD_ATV_MM_APONTAMENTO_TAREFA, regKeyConfigTarefa, "
                  "&dadosConfigInfoPers)",
                  hr);
        return SetErro(GetAcessoEmpresarial()->GetErro());
      }
      registro = linha.IncluiApontamentoTarefa();
      registro->SetListaCampos(dadosConfigInfoPers.GetListaCampos());
      registro->SetTipoAtividade(BDD_ATV_MM_APONTAMENTO_TAREFA);
    }

    for (int j = 0; j < registro->GetQuantidadeCampos(); ++j) {
      const CZQDadosBDD_Campo& campo = registro->GetConstRefCampos(j);
      const CZQDadosBDD_Texto descricao = campo.GetDescricao();
      if (!descricao.TemValorInformado())
        return SetAvisoPersonalizado(MODULO_MM, kCampoConfiguracaoTarefa,
                                     "%dº campo das Configurações da Tarefa %s não possui descrição informada."_cp,
                                     j + 1, tarefa.GetCodigoNome().GetString());
      if (campo.GetCampoObrigatorio() && !campo.GetDesabilitarCampo() && !campo.TemValorInformado())
        return SetAvisoPersonalizado(MODULO_MM, kCampoConfiguracaoTarefa,
                                     "Campo \"%s\" das Configurações da Tarefa %s deve ser informado."_cp,
                                     descricao.GetValorAsString().GetString(), tarefa.GetCodigoNome().GetString());
    }
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::ConsistirExistenciaKits(const CZQDadosMM_Manutencao& ordem) {
  LimpaErro();
  for (int i = 0; i < ordem.GetQuantidadeMaterial(); ++i) {
    if (!VerificaProduto(ordem.GetConstRefMaterial(i).GetProdutoServico()).EhErroNenhum())
      return SetCodigoCampo(kCampoMateriais).SetItem(i);
  }
  for (int i = 0; i < ordem.GetQuantidadeEquipamento(); ++i) {
    if (!VerificaProduto(ordem.GetConstRefEquipamento(i).GetProdutoServico()).EhErroNenhum())
      return SetCodigoCampo(kCampoEquipamentos).SetItem(i);
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::VerificaApontamentos(const CZQDadosMM_Manutencao& ordem,
                                                               const CZQDadosMM_Mestre& mestre) {
  LimpaErro();
  const unsigned char situacao = ordem.GetSituacao();
  if (SituacaoComInicio(situacao)) {
    if (mestre.GetObrigarApontamentoManutencao() && ordem.GetQuantidadeApontamento() == 0)
      return SetAviso(MODULO_MM, 70, kCampoApontamentos);
  } else if (ordem.GetQuantidadeApontamento() > 0) {
    return SetAvisoPersonalizado(MODULO_MM, kCampoSituacao, 155, CMMFuncoesComuns::GetSituacaoManutencao(situacao));
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::TrataAdicionarAlterarApontamento(
    const CZQDadosMM_Manutencao& ordem, CZQDadosMM_ManutencaoApontamento& apontamento) {
  LimpaErro();
  const REG_ZQDMAHMSUTC& inicio = apontamento.GetDataHoraInicial();
  const REG_ZQDMAHMSUTC& fim = apontamento.GetDataHoraFinal();

  if (!inicio.IsPreenchida()) return SetAviso(MODULO_MM, 105, kCampoApontamentos);
  if (inicio.Compara(ordem.GetDataHoraInicio()) < 0) return SetAviso(MODULO_MM, 103, kCampoApontamentos);
  if (inicio.Compara(MinutoAtual()) > 0) return SetAviso(MODULO_MM, 104, kCampoApontamentoRelogio);
  if (!fim.IsPreenchida()) return SetAviso(MODULO_MM, 108, kCampoApontamentoFim);
  if (ordem.GetDataHoraFim().IsPreenchida() && fim.Compara(ordem.GetDataHoraFim()) > 0)
    return SetAviso(MODULO_MM, 109, kCampoApontamentoFim);
  if (inicio.Compara(fim) > 0) return SetAviso(MODULO_MM, 110, kCampoApontamentos);

  if (apontamento.GetPonteiroTecnico() == 0) {
    CZQDadosMM_Mestre mestre;
    if (GetAcessoManutencao()->LeMestre(&mestre, 0) != 0) return SetErro(GetAcessoManutencao()->GetErro());
    if (mestre.GetObrigarInformarTecnicoManutencao()) return SetAviso(MODULO_MM, 28, kCampoApontamentoTecnico);
    return *this;
  }

  CZQDadosMM_Tecnico tecnico;
  if (!VerificaTecnico(apontamento.GetPonteiroTecnico(), &tecnico, false).EhErroNenhum()) return *this;

  // A task that cannot be read is reported to the suite, not to the caller: the check goes on
  // with an empty task.
  CZQDadosMM_Tarefa tarefa;
  GetAcessoManutencao()->LeTarefa(apontamento.GetPonteiroTarefa(), &tarefa, kLeTarefaApontamento);
  const CZQAcessoBase* ultimo = GetUltimoAcesso();
  const long hr = ultimo ? ultimo->GetErro().GetHR() : 0;
  if (!ultimo || hr < 0 || (hr >= kHRFalhaServidorMin && hr <= kHRFalhaServidorMax)) {
    const std::string modulo = ZQTrataErro::CaminhoModulo(kCompilacao);
    ZQTrataErro::ClientSend(ultimo ? static_cast<std::int64_t>(hr) : kHRSemAcesso,
                            ultimo ? ultimo->GetErro().GetCodigoErro() : kCodigoSemAcesso,
                            ultimo ? ultimo->GetErro().GetNumeroServidor() : kServidorSemAcesso,
                            GetEmpresa().GetString(), "MMTrataDadosManutencao", 1092, kCompilacao, "",
                            modulo.c_str(), "");
  }

  if (tarefa.GetQuantidadeTecnico() == 0 || ordem.GetTipoManutencao() != kTipoPlano) return *this;

  CZQDadosMM_Plano plano;
  if (GetAcessoManutencao()->LePlano(ordem.GetPonteiroPlano(), &plano, 0) != 0)
    return SetErro(GetAcessoManutencao()->GetErro());
  for (int i = 0; i < tecnico.GetQuantidadeDisciplina(); ++i) {
    const std::uint32_t disciplina = tecnico.GetConstRefDisciplina(i).GetPonteiroDisciplina();
    if (disciplina == plano.GetPonteiroDisciplina()) return *this;
    bool pertence = false;
    if (GetAcessoManutencao()->PertenceGrupoDisciplina(plano.GetPonteiroDisciplina(), disciplina, pertence) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());
    if (pertence) return *this;
  }
  return SetAviso(MODULO_MM, 71, kCampoApontamentoTecnico);
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::SugerirDataGarantia(unsigned long ponteiroPeriodo, const tagCY& quantidade,
                                                              REG_ZQDMA* data) {
  LimpaErro();
  CZQDadosDF_TipoPeriodo periodo;
  if (GetAcessoEmpresarial()->LeTipoPeriodo(ponteiroPeriodo, &periodo, 0) != 0)
    return SetErro(GetAcessoEmpresarial()->GetErro());

  // The suite's conversions are 32-bit: a whole part beyond 32 bits, and a product beyond
  // them, wrap as they would there.
  const auto inteiro = static_cast<std::int32_t>(CZQCurrencyEx::ParaInteiro(quantidade));
  const auto unidades = static_cast<std::int32_t>(static_cast<std::int64_t>(periodo.GetIncrementoPeriodo()) * inteiro);

  switch (periodo.GetTipoPeriodo()) {
    case 0:
      *data = data->SomaDias(unidades);
      break;
    case 1:
      *data = data->SomaMeses(unidades);
      break;
    case 2:
      *data = data->SomaAnos(unidades);
      break;
    default:
      break;
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::OnTrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* ordem = dynamic_cast<CZQDadosMM_Manutencao*>(dados);
  if (!ordem) return RegistroInvalido();
  if (!ordem->GetDmc().IsValid()) return SetAviso(MODULO_MM, 144, kCampoChave);

  CZQDadosMM_Manutencao gravada;
  if (GetAcessoManutencao()->LeManutencao(ordem->GetDmc(), &gravada, kLeManutencaoCompleta) != 0)
    return SetErro(GetAcessoManutencao()->GetErro());

  CZQDadosMM_Situacao situacao;
  if (!VerificaSituacaoManutencao(ordem->GetPonteiroSituacao(), situacao, kCampoChave, true, false).EhErroNenhum())
    return *this;
  if (situacao.GetSituacaoBase() != kSituacaoCancelada)
    return SetAvisoPersonalizado(MODULO_MM, kCampoChave, 147, situacao.GetCodigo(), situacao.GetDescricao(),
                                 CMMFuncoesComuns::GetSituacaoManutencao(situacao.GetSituacaoBase()));
  if (gravada.GetSituacao() != kSituacaoAberta) return SetAviso(MODULO_MM, 148, kCampoChave);

  const CString cancelada = CMMFuncoesComuns::GetSituacaoManutencao(kSituacaoCancelada);
  // Anything recorded on the order means work began: the raw values, filled in or not.
  const struct {
    bool preenchido;
    long mensagem;
  } marcas[] = {
      {gravada.GetDataHoraInicio().ullValor != 0, 149},
      {gravada.GetDataHoraFim().ullValor != 0, 150},
      {gravada.GetDataHoraNovaProgramacao().ullValor != 0, 151},
      {gravada.GetTempoDuracao().int64 != 0, 152},
      {gravada.GetContadorEncerramento().int64 != 0, 153},
  };
  for (const auto& m : marcas)
    if (m.preenchido) return SetAvisoPersonalizado(MODULO_MM, kCampoChave, m.mensagem, cancelada);

  if (!ConsistirQuantComponentesCancelamento(gravada.GetListaMaterial(), kCampoMateriais).EhErroNenhum() ||
      !ConsistirQuantComponentesCancelamento(gravada.GetListaEquipamento(), kCampoEquipamentos).EhErroNenhum() ||
      !ConsistirQuantComponentesCancelamento(gravada.GetListaServico(), kCampoServicos).EhErroNenhum())
    return *this;
  if (gravada.GetQuantidadeApontamento() > 0) return SetAvisoPersonalizado(MODULO_MM, kCampoChave, 155, cancelada);

  *ordem = std::move(gravada);
  ordem->SetPonteiroSituacao(situacao.GetPosicao());
  ordem->SetSituacao(situacao.GetSituacaoBase());
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::ConsistirQuantComponentesCancelamento(
    const CZQVector<CZQDadosMM_ManutencaoComponente>& lista, long campo) {
  LimpaErro();
  for (int i = 0; i < lista.GetSize(); ++i) {
    const CZQDadosMM_ManutencaoComponente& dadosComponente = lista[i];
    if (dadosComponente.GetQtdConsumida().int64 == 0 && dadosComponente.GetQtdAtendida().int64 == 0) continue;

    CString texto;
    if (dadosComponente.GetTipoProdutoServico() == 'S') {
      CZQDadosDF_Servico dados;
      const long hr = GetAcessoEmpresarial()->LeBufferServico(dadosComponente.GetProdutoServico().lPonteiroProduto,
                                                              &dados);
      if (hr != 0) {
        MMTraceHR(this, "CMMTrataDadosManutencao::ConsistirQuantComponentesCancelamento", "MMTrataDadosManutencao",
                  664,
                  "GetAcessoEmpresarial()->LeBufferServico(dadosComponente.GetProdutoServico().lPonteiroProduto, "
                  "&dados)",
                  hr);
        return SetErro(GetAcessoEmpresarial()->GetErro()).SetCodigoCampo(campo).SetItem(i);
      }
      texto = dados.GetCodigo() + " - " + dados.GetDescricao();
    } else {
      CZQDadosDF_ProdutoEx dados;
      const long hr = GetAcessoEmpresarial()->LeBufferProdutoEx(dadosComponente.GetProdutoServico(), &dados);
      if (hr != 0) {
        MMTraceHR(this, "CMMTrataDadosManutencao::ConsistirQuantComponentesCancelamento", "MMTrataDadosManutencao",
                  673, "GetAcessoEmpresarial()->LeBufferProdutoEx(dadosComponente.GetProdutoServico(), &dados)", hr);
        return SetErro(GetAcessoEmpresarial()->GetErro()).SetCodigoCampo(campo).SetItem(i);
      }
      texto = dados.GetCodigo() + " - " + dados.GetDescricao();
    }
    return SetAvisoPersonalizado(MODULO_MM, kCampoChave, 153,
                                 CMMFuncoesComuns::GetSituacaoManutencao(kSituacaoCancelada), texto);
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::TrataAdicionarTarefa(const CZQDadosMM_Manutencao& ordem,
                                                               const CZQVector<CZQDadosMM_ManutencaoTarefa>& novas,
                                                               CZQVector<CZQDadosMM_ManutencaoTarefa>* lista) {
  LimpaErro();
  CZQVector<CZQDadosMM_ManutencaoTarefa> substituidas;
  bool variasTarefas = false;
  if (!SubstituirTarefasTipoGrupo(novas, &substituidas, &variasTarefas).EhErroNenhum()) return *this;
  CZQVector<CZQDadosMM_ManutencaoTarefa> trabalho = *lista;
  if (ConcatenarListaTarefas(ordem, substituidas, &trabalho, variasTarefas).EhErroNenhum()) *lista = std::move(trabalho);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::SugerirTarefasConformePlano(const CZQDadosMM_Manutencao& ordem,
                                                                      CZQVector<CZQDadosMM_ManutencaoTarefa>* lista) {
  LimpaErro();
  CZQDadosMM_Plano plano;
  if (GetAcessoManutencao()->LePlano(ordem.GetPonteiroPlano(), &plano, kLePlanoTarefas) != 0)
    return SetErro(GetAcessoManutencao()->GetErro());
  CZQVector<CZQDadosMM_ManutencaoTarefa> doPlano;
  for (int i = 0; i < plano.GetQuantidadeTarefa(); ++i) {
    CZQDadosMM_ManutencaoTarefa linha;
    linha.SetPonteiroTarefa(plano.GetConstRefTarefa(i).GetPonteiroTarefa());
    doPlano.Add(linha);
  }
  CZQVector<CZQDadosMM_ManutencaoTarefa> substituidas;
  if (!SubstituirTarefasTipoGrupo(doPlano, &substituidas, nullptr).EhErroNenhum()) return *this;
  CZQVector<CZQDadosMM_ManutencaoTarefa> trabalho = *lista;
  if (ConcatenarListaTarefas(ordem, substituidas, &trabalho, true).EhErroNenhum()) *lista = std::move(trabalho);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::SubstituirTarefasTipoGrupo(
    const CZQVector<CZQDadosMM_ManutencaoTarefa>& entrada, CZQVector<CZQDadosMM_ManutencaoTarefa>* saida,
    bool* variasTarefas) {
  LimpaErro();
  if (variasTarefas) *variasTarefas = false;
  saida->RemoveAll();
  for (const CZQDadosMM_ManutencaoTarefa& linha : entrada) {
    CZQDadosMM_Tarefa tarefa;
    if (GetAcessoManutencao()->LeTarefa(linha.GetPonteiroTarefa(), &tarefa, kLeTarefaCabecalho) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());
    if (tarefa.GetTipoClassificacao() != kTarefaGrupo) {
      saida->Add(linha);
      continue;
    }
    // The search answers the whole subtree, the group first; only analytic tasks are lines.
    CZQDadosMM_FiltroTarefa filtro;
    filtro.SetPonteiroPai(tarefa.GetPonteiro());
    CZQVector<CZQDadosDF_Classificacao> membros;
    if (GetAcessoManutencao()->BuscaClassificacaoTarefa(filtro, membros) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());
    for (const CZQDadosDF_Classificacao& membro : membros) {
      if (membro.GetTipoClassificacao() != kTarefaAnalitica) continue;
      CZQDadosMM_ManutencaoTarefa nova;
      nova.SetPonteiroTarefa(membro.GetPonteiro());
      saida->Add(nova);
    }
    if (variasTarefas) *variasTarefas = true;
  }
  if (variasTarefas && saida->GetSize() >= 2) *variasTarefas = true;
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::ConcatenarListaTarefas(const CZQDadosMM_Manutencao& ordem,
                                                                 const CZQVector<CZQDadosMM_ManutencaoTarefa>& novas,
                                                                 CZQVector<CZQDadosMM_ManutencaoTarefa>* lista,
                                                                 bool sugerirGarantia) {
  LimpaErro();
  std::set<std::uint32_t> presentes;
  for (const CZQDadosMM_ManutencaoTarefa& linha : *lista) presentes.insert(linha.GetPonteiroTarefa());

  for (const CZQDadosMM_ManutencaoTarefa& n : novas) {
    if (presentes.count(n.GetPonteiroTarefa())) continue;
    CZQDadosMM_Tarefa tarefa;
    if (GetAcessoManutencao()->LeTarefa(n.GetPonteiroTarefa(), &tarefa, kLeTarefaLinha) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());

    CZQDadosMM_ManutencaoTarefa t;
    t.SetPonteiroTarefa(tarefa.GetPonteiro());
    t.SetTempoPrevisto(tarefa.GetTempoPrevisto());
    t.SetTarefa(tarefa.GetNome());
    t.SetDetalhamento(tarefa.GetDescricao());
    if (tarefa.GetAtribuirSituacaoTarefa()) t.SetPonteiroSituacao(tarefa.GetPonteiroSituacaoInicial());
    if (n.PossuiApontamentoTarefa()) t.SetApontamentoTarefa(n.GetApontamentoTarefa());

    if (tarefa.GetGarantia() && sugerirGarantia) {
      REG_ZQDMA data = ordem.GetDataHoraEmissao().GetData();
      if (!SugerirDataGarantia(tarefa.GetPonteiroPeriodoGarantia(), tarefa.GetQuantPeriodoGarantia(), &data)
               .EhErroNenhum())
        return *this;
      t.SetGarantiaAte(true);
      t.SetDataGarantiaAte(data);
    } else if (n.GetGarantiaAte()) {
      t.SetGarantiaAte(true);
      t.SetDataGarantiaAte(n.GetDataGarantiaAte());
    }

    if (!ConsistirManutencaoTarefa(ordem, &t).EhErroNenhum()) return *this;
    lista->Add(t);
    presentes.insert(t.GetPonteiroTarefa());
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::TrataAlterarTarefa(const CZQDadosMM_Manutencao& ordem,
                                                             CZQDadosMM_ManutencaoTarefa* linha) {
  return ConsistirManutencaoTarefa(ordem, linha);
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::ConsistirManutencaoTarefa(const CZQDadosMM_Manutencao& ordem,
                                                                    CZQDadosMM_ManutencaoTarefa* linha) {
  LimpaErro();
  CZQDadosMM_Tarefa tarefa;
  if (GetAcessoManutencao()->LeTarefa(linha->GetPonteiroTarefa(), &tarefa, kLeTarefaCabecalho) != 0)
    return SetErro(GetAcessoManutencao()->GetErro());
  if (tarefa.GetAtribuirSituacaoTarefa() && linha->GetPonteiroSituacao() == 0)
    return SetAviso(MODULO_MM, 181, kCampoSituacaoTarefa);
  if (!linha->GetGarantiaAte()) return *this;
  if (!linha->GetDataGarantiaAte().IsValid()) return SetAviso(MODULO_MM, 165, kCampoGarantia);

  CZQDadosDF_Recurso recurso;
  if (GetAcessoEmpresarial()->LeRecurso(ordem.GetPonteiroRecurso(), &recurso, kLeRecursoGarantias) != 0)
    return SetErro(GetAcessoEmpresarial()->GetErro());
  for (int i = 0; i < recurso.GetQuantidadeRecursoGarantia(); ++i) {
    const CZQDadosDF_RecursoGarantia& garantia = recurso.GetConstRefRecursoGarantia(i);
    if (garantia.GetPonteiroTarefa() != linha->GetPonteiroTarefa()) continue;
    linha->SetDataUltimaGarantia(garantia.GetDmaGarantia());
    linha->SetDmcUltimaManutencao(garantia.GetDmcManutencao());
    break;
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::TrataRemoverTarefa(const CZQDadosMM_Manutencao* ordem,
                                                             const CZQDadosMM_ManutencaoTarefa& linha) {
  LimpaErro();
  bool perguntar = true;
  if (!VerificaRequisicaoRemocao(ordem->GetListaMaterial(), &perguntar).EhErroNenhum()) return *this;
  if (perguntar && !VerificaRequisicaoRemocao(ordem->GetListaEquipamento(), &perguntar).EhErroNenhum()) return *this;
  if (perguntar && !VerificaRequisicaoRemocao(ordem->GetListaServico(), &perguntar).EhErroNenhum()) return *this;

  for (const CZQDadosMM_ManutencaoApontamento& apontamento : ordem->GetListaApontamento())
    if (apontamento.GetPonteiroTarefa() == linha.GetPonteiroTarefa()) return SetAviso(MODULO_MM, 187, kCampoTarefas);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::VerificaRequisicaoRemocao(
    const CZQVector<CZQDadosMM_ManutencaoComponente>& lista, bool* perguntar) {
  LimpaErro();
  for (const CZQDadosMM_ManutencaoComponente& componente : lista) {
    if (componente.GetChaveRequisicaoInterna() == 0) continue;
    if (componente.GetQtdAtendida().int64 != 0) return SetAviso(MODULO_MM, 26, kCampoTarefas);
    *perguntar = false;
    if (!CZQCaixaMensagem::PerguntaSimNao(TextoMensagem(MODULO_MM, kMensagemRemoverTarefa)))
      return SetAviso(MODULO_MM, 188, kCampoTarefas);
    return *this;
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::SugerirComponentesConformeTarefas(
    const CZQDadosMM_Manutencao& ordem, CZQVector<CZQDadosMM_ManutencaoComponente>* lista,
    _E_MM_MANUTENCOES_COMPONENTES tipo) {
  LimpaErro();
  std::set<std::uint32_t> tarefasDaOrdem;
  for (int i = 0; i < ordem.GetQuantidadeTarefa(); ++i) tarefasDaOrdem.insert(ordem.GetConstRefTarefa(i).GetPonteiroTarefa());

  for (int i = lista->GetSize() - 1; i >= 0; --i) {
    const std::uint32_t origem = (*lista)[i].GetPonteiroTarefaOrigem();
    if (origem != 0 && !tarefasDaOrdem.count(origem)) lista->RemoveAt(i);
  }
  std::set<std::uint32_t> atendidas;
  for (const CZQDadosMM_ManutencaoComponente& linha : *lista) atendidas.insert(linha.GetPonteiroTarefaOrigem());

  const TipoComponente* dadosTipo = DadosTipoComponente(tipo);
  for (int i = 0; i < ordem.GetQuantidadeTarefa(); ++i) {
    const std::uint32_t ponteiro = ordem.GetConstRefTarefa(i).GetPonteiroTarefa();
    if (atendidas.count(ponteiro)) continue;
    CZQDadosMM_Tarefa tarefa;
    if (GetAcessoManutencao()->LeTarefa(ponteiro, &tarefa, dadosTipo ? dadosTipo->leituraTarefa : 0) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());
    if (dadosTipo) {
      for (const CZQDadosMM_TarefaComponente& componente : (tarefa.*(dadosTipo->componentes))()) {
        CZQDadosMM_ManutencaoComponente nova;
        nova.SetPonteiroTarefaOrigem(ponteiro);
        nova.SetProdutoServico(componente.GetPosicaoProdutoServico());
        nova.SetQtdRequisitada(componente.GetQuantidade());
        nova.SetComplemento(componente.GetComplemento());
        nova.SetTipoProdutoServico(componente.GetTipoProdutoServico());
        nova.SetTipoRI(dadosTipo->tipoRI);
        lista->Add(nova);
      }
    }
    atendidas.insert(ponteiro);
  }
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::TrataAdicionarAlterarMaterial(
    CZQDadosMM_ManutencaoComponente& linha, std::int64_t indice, const CZQVector<CZQDadosMM_ManutencaoComponente>& lista) {
  return TrataAdicionarAlterarComponente(E_MM_COMPONENTE_MATERIAL, linha, indice, lista);
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::TrataAdicionarAlterarEquipamento(
    CZQDadosMM_ManutencaoComponente& linha, std::int64_t indice, const CZQVector<CZQDadosMM_ManutencaoComponente>& lista) {
  return TrataAdicionarAlterarComponente(E_MM_COMPONENTE_EQUIPAMENTO, linha, indice, lista);
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::TrataAdicionarAlterarServico(
    CZQDadosMM_ManutencaoComponente& linha, std::int64_t indice, const CZQVector<CZQDadosMM_ManutencaoComponente>& lista) {
  return TrataAdicionarAlterarComponente(E_MM_COMPONENTE_SERVICO, linha, indice, lista);
}

CZQDadosDF_Erro& CMMTrataDadosManutencao::TrataAdicionarAlterarComponente(
    _E_MM_MANUTENCOES_COMPONENTES tipo, CZQDadosMM_ManutencaoComponente& linha, std::int64_t indice,
    const CZQVector<CZQDadosMM_ManutencaoComponente>& lista) {
  LimpaErro();
  const TipoComponente& t = *DadosTipoComponente(tipo);
  const _REG_POSICAO_PRODUTOPS& posicao = linha.GetProdutoServico();
  if (posicao.lPonteiroProduto == 0) return SetAviso(MODULO_MM, t.avisoSemProduto, t.campoProduto);
  if (!(t.servico ? VerificaServico(posicao) : VerificaProduto(posicao)).EhErroNenhum())
    return SetCodigoCampo(t.campoProduto);
  if (!Positivo(linha.GetQtdRequisitada())) return SetAviso(MODULO_MM, 68, t.campoQuantidade);

  if (indice < 0) {
    if (t.consumoTestado && linha.GetQtdConsumida().int64 != 0) return SetAviso(MODULO_MM, 69, t.campoConsumo);
  } else {
    // An index past the list is a line the screen has not stored yet: nothing to compare.
    if (indice < lista.GetSize()) {
      const CZQDadosMM_ManutencaoComponente& anterior = lista[static_cast<int>(indice)];
      if (!(anterior.GetProdutoServico() == posicao)) return SetAviso(MODULO_MM, t.avisoProdutoAlterado, t.campoProduto);
      if (anterior.GetChaveRequisicaoInterna() != 0 && Positivo(anterior.GetQtdAtendida()) &&
          linha.GetQtdRequisitada() != anterior.GetQtdRequisitada())
        return SetAviso(MODULO_MM, 26, t.campoQuantidade);
    }
    if (t.consumoTestado && linha.GetQtdConsumida() > linha.GetQtdAtendida())
      return SetAviso(MODULO_MM, 95, t.campoConsumo);
  }

  if (t.duplicidadeTestada) {
    for (int i = 0; i < lista.GetSize(); ++i) {
      const CZQDadosMM_ManutencaoComponente& outra = lista[i];
      if (i != indice && outra.GetProdutoServico() == posicao &&
          outra.GetPonteiroTarefaOrigem() == linha.GetPonteiroTarefaOrigem() && outra.GetChaveRequisicaoInterna() == 0)
        return SetAviso(MODULO_MM, 172, t.campoProduto);
    }
  }
  return *this;
}
