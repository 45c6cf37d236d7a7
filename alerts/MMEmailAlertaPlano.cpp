#include "alerts/MMEmailAlertaPlano.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/types/Cp1252.h"
#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/mail/ZQMensagemEmail.h"
#include "platform/system/ZQRegistro.h"
#include "platform/access/ZQAcessoManutencao.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/records/ZQDadosDF_Email.h"
#include "platform/records/ZQDadosDF_UnidadeMedida.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"
#include "platform/storage/ZQEmpresas.h"

namespace {

constexpr long kSemContaEmail = ZQ_HR(0x80040A68);
constexpr long kPastaRelatorios = ZQ_HR(0x81080C5B);
constexpr long kFalhaEnvio = ZQ_HR(0x80040A64);
constexpr long kFalhaAbrirModelo = ZQ_HR(0x80040A66);
constexpr long kFalhaLerModelo = ZQ_HR(0x80040A65);

constexpr long kMsgSemConta = 1110;
constexpr long kMsgFalha = 1111;
constexpr long kMsgAbrirModelo = 1112;
constexpr long kMsgLerModelo = 1113;

// Where the suite's exception says the routine gave up.
constexpr const char* kFonte = "MMEmailAlertaPlano";
constexpr int kLinhaFonte = 112;

// The suite's read options, passed through.
constexpr unsigned short kLePlanoComAlertas = 1792;
constexpr unsigned short kLeTecnicoComEmails = 2;

constexpr std::uint8_t kAntes = 1;
constexpr std::uint8_t kApos = 2;

constexpr std::string_view kInicioLista = "ZQ_INICIO_LISTA";

bool DiaValido(std::int64_t dia) { return dia >= REG_ZQDMA::kPrimeiro && dia <= REG_ZQDMA::kUltimo; }

// Seconds of a repetition: days, hours or minutes by type; any other type repeats at once.
__int128 SegundosRepeticao(std::uint8_t tipo, const tagCY& tempo) {
  const std::int64_t fator = tipo == 1 ? 24 * 60 * 60 : tipo == 2 ? 60 * 60 : tipo == 3 ? 60 : 0;
  return static_cast<__int128>(tempo.int64) * fator / CZQCurrencyEx::kEscala;
}

// A stored text as a log line can show it: control bytes (and the backslash) escaped C-style.
std::string Imprimivel(std::string_view texto) {
  std::string saida;
  for (const char ch : texto) {
    switch (ch) {
      case '\\': saida += "\\\\"; break;
      case '\r': saida += "\\r"; break;
      case '\n': saida += "\\n"; break;
      case '\t': saida += "\\t"; break;
      default:
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
          saida += StringPrintf("\\x%02X", static_cast<unsigned char>(ch));
        else
          saida += ch;
    }
  }
  return saida;
}

bool RegistroLigado(const std::string& chave, const char* valor) {
  std::string v = CZQRegistro::Le(chave, valor).value_or("");
  v.erase(0, v.find_first_not_of(" \t"));
  v.erase(v.find_last_not_of(" \t") + 1);
  return v == "1";
}

// Whether the company keeps deliberate HTML in its descriptions (see the header).
bool HtmlNosValores(const std::string& empresa) {
  const std::string secao = std::string(CZQRegistro::kRaiz).append("\\Empresas\\").append(empresa);
  return RegistroLigado(secao, "HtmlNosValores") || RegistroLigado(CZQContaEmail::Chave(empresa), "HtmlNosValores");
}

}  // namespace

CMMEmailAlertaPlano::CMMEmailAlertaPlano() : CAutoRun("MMEmailAlertaPlano") {}

CMMEmailAlertaPlano::~CMMEmailAlertaPlano() = default;

long CMMEmailAlertaPlano::OnGetIntervalo(long& intervaloMs) {
  intervaloMs = kIntervaloMs;
  return 0;
}

void CMMEmailAlertaPlano::OnDeleta() { delete this; }

long CMMEmailAlertaPlano::OnRun(bool&) {
  long conta = 0;
  const long hrConta = GetAcessoEmpresarial()->BuscaContaEmail(conta, 1);
  if (hrConta < 0) return RegistraFalha(hrConta);
  if (conta == 0)
    AbortaExecucao(kSemContaEmail,
                   "Nenhuma conta de e-mail configurada. Para enviar o e-mail é necessário configurar uma conta de "
                   "e-mail nas propriedades do Empresarial, no Cadastro de Usuários ou no Cadastro de Empresas e "
                   "Filiais"_cp,
                   kMsgSemConta);

  CZQDadosMM_FiltroPlano filtro;
  filtro.SetAtivo(1);
  filtro.SetAtivoRecurso(1);
  CZQArrayPonteiros planos;
  if (long hr = GetAcessoManutencao()->BuscaPonteirosPlano(filtro, planos)) return RegistraFalha(hr);
  m_htmlNosValores = HtmlNosValores(GetEmpresa().Str());
  return GeraEEnviaEmail(planos);
}

bool CMMEmailAlertaPlano::AlertaVencido(const CZQDadosMM_PlanoAlerta& alerta, std::uint8_t tipoControle,
                                        const CZQDadosDF_RecursoPlanoManutencao& vinculo, const REG_ZQDMA& hoje) {
  const tagCY& ciclos = vinculo.GetCiclosContadorProximaManutencao();
  const std::int64_t proxima = vinculo.GetDataProximaManutencao().ulDma;
  const std::int64_t dia = hoje.ulDma;
  const bool vencido = ciclos.int64 < 0 || (DiaValido(proxima) && proxima < dia);
  const std::int64_t dias = CZQCurrencyEx::ParaInteiro(alerta.GetQtdDias());

  bool porData = false;
  bool porContador = false;
  if (alerta.GetAntesApos() == kAntes && !vencido) {
    porContador = !alerta.GetContador() || ciclos < alerta.GetQtdContador();
    const std::int64_t limite = DiaValido(proxima - dias) ? proxima - dias : 0;
    porData = !alerta.GetDias() || dia > limite;
  } else if (alerta.GetAntesApos() == kApos && vencido) {
    porContador = !alerta.GetContador() || alerta.GetQtdContador() > ciclos;
    const std::int64_t limite = proxima + dias;
    porData = !alerta.GetDias() || !(DiaValido(limite) && limite > dia);
  }
  switch (tipoControle) {
    case 0:
      return porData;
    case 1:
      return porContador;
    case 2:
      return porData && porContador;
    case 3:
      return porData || porContador;
    default:
      return true;
  }
}

struct CMMEmailAlertaPlano::LEITURAS_PLANO {
  struct UNIDADE {
    CString codigo;
    int casas = 0;
  };
  std::unordered_map<std::uint32_t, CZQDadosDF_TipoRecurso> tipos;
  std::unordered_map<std::uint32_t, CZQDadosDF_Filial> filiais;
  std::unordered_map<std::uint32_t, UNIDADE> unidadesProduto, unidadesServico;
  // A technician an alert names, and who gets its mail: itself, or a group's active analytic
  // technicians below it.
  struct TECNICO {
    CZQDadosMM_Tecnico tecnico;
    CZQVector<CZQDadosMM_Tecnico> destinatarios;
  };
  std::unordered_map<std::uint32_t, TECNICO> tecnicos;
};

namespace {

// The record of key `ponteiro` in `lidos`, read with `le(ponteiro, &registro)` the first time;
// a failed read is not kept, and its result goes to `falha`, which does not return.
template <class Registro, class Leitura, class Falha>
const Registro& Lembrado(std::unordered_map<std::uint32_t, Registro>& lidos, std::uint32_t ponteiro, Leitura le,
                         Falha falha) {
  auto [it, novo] = lidos.try_emplace(ponteiro);
  if (novo)
    if (long hr = le(ponteiro, &it->second)) {
      lidos.erase(it);
      falha(hr);
    }
  return it->second;
}

}  // namespace

long CMMEmailAlertaPlano::GeraEEnviaEmail(const CZQArrayPonteiros& ponteirosPlano) {
  CZQAcessoManutencao* manutencao = GetAcessoManutencao();
  CZQAcessoEmpresarial* empresarial = GetAcessoEmpresarial();
  std::vector<ALERTA_ENVIADO> enviados;

  // Each template is found and read once per run, not once per alert.
  struct MODELO {
    CMMModeloEmailAlerta::ELocalizacao localizacao;
    CString caminho;
    std::optional<CString> texto;
  };
  std::map<std::string, MODELO, std::less<>> modelos;

  for (const std::uint32_t ponteiroPlano : ponteirosPlano) {
    // A plan's reads see one state of the data, and a shared database is locked once per plan
    // rather than once per read; the mails go out from inside it, the send times are written
    // after the loop.
    const zq::SnapshotGuard leituras(GetConexaoEmpresa() ? &GetConexaoEmpresa()->Motor() : nullptr);
    CZQDadosMM_Plano plano;
    if (long hr = manutencao->LePlano(ponteiroPlano, &plano, kLePlanoComAlertas)) AbortaAcesso(hr);

    // A plan without alerts takes its nearest ancestor's. A cycle in the tree ends the climb.
    CZQDadosMM_Plano dono = plano;
    if (plano.GetQuantidadeAlerta() == 0) {
      if (plano.GetPonteiroPai() == 0) continue;
      std::unordered_set<std::uint32_t> vistos{plano.GetPonteiro()};
      do {
        const std::uint32_t pai = dono.GetPonteiroPai();
        if (!vistos.insert(pai).second) break;
        if (long hr = manutencao->LePlano(pai, &dono, kLePlanoComAlertas)) AbortaAcesso(hr);
      } while (dono.GetQuantidadeAlerta() == 0 && dono.GetPonteiroPai() != 0);
      if (dono.GetQuantidadeAlerta() == 0) continue;
    }

    CZQDadosMM_Disciplina disciplina;
    if (long hr = manutencao->LeDisciplina(plano.GetPonteiroDisciplina(), &disciplina, 0)) AbortaAcesso(hr);

    CZQDadosDF_FiltroRecurso filtro;
    filtro.SetPonteiroPlanoManutencao(plano.GetPonteiro());
    filtro.SetFlagAtivoInativo(1);
    CZQArrayPonteiros ponteirosRecurso;
    if (long hr = empresarial->BuscaPonteirosRecurso(filtro, ponteirosRecurso)) AbortaAcesso(hr);
    if (ponteirosRecurso.IsEmpty()) continue;
    CZQVector<CZQDadosDF_Recurso> recursos;
    if (long hr = empresarial->LeRecursos(ponteirosRecurso.GetSize(), ponteirosRecurso, recursos,
                                          CZQAcessoEmpresarial::kLerPlanosManutencao))
      AbortaAcesso(hr);
    const REG_ZQDMA hoje = CZQRelogio::Hoje();
    const REG_ZQDMAHMSUTC agora = CZQRelogio::Agora();
    LEITURAS_PLANO lidos;

    for (int i = 0; i < dono.GetQuantidadeAlerta(); ++i) {
      const CZQDadosMM_PlanoAlerta& alerta = dono.GetAlerta(i);
      auto achado = modelos.find(alerta.GetModeloEmail().View());
      if (achado == modelos.end()) {
        MODELO m;
        m.localizacao = CMMModeloEmailAlerta::LocalizaModelo(alerta.GetModeloEmail(), m.caminho);
        achado = modelos.emplace(std::string(alerta.GetModeloEmail().View()), std::move(m)).first;
      }
      MODELO& lido = achado->second;
      const CString& caminho = lido.caminho;
      switch (lido.localizacao) {
        case CMMModeloEmailAlerta::ELocalizacao::PastaDesconhecida:
          AbortaExecucao(kPastaRelatorios, "Diretório da pasta relatórios não localizado"_cp, kMsgFalha);
          break;
        case CMMModeloEmailAlerta::ELocalizacao::NaoEncontrado:
          GravaLog(1, 4,
                   StringPrintf("Modelo de e-mail '%s' não encontrado. Plano Manutenção '%s'"_cp,
                                caminho.GetString(), dono.GetCodigo().GetString())
                       .c_str());
          continue;
        case CMMModeloEmailAlerta::ELocalizacao::Encontrado:
          break;
      }
      if (alerta.GetInativo()) continue;

      const REG_ZQDMAHMSUTC& ultimoEnvio = alerta.GetDmaHmsUltimoEnvio();
      if (ultimoEnvio.ullValor != 0) {
        if (!alerta.GetRepetirEm()) continue;
        const __int128 proximoEnvio =
            ultimoEnvio.GetSegundos() + SegundosRepeticao(alerta.GetTipoRepeticao(), alerta.GetTempoRepeticao());
        if (agora.GetSegundos() < proximoEnvio) continue;
      }

      std::vector<DADOS_CORPO_EMAIL> linhas;
      MontaLinhas(plano, alerta, recursos, hoje, lidos, linhas);
      if (linhas.empty()) continue;

      if (!lido.texto) LeModeloEmail(caminho, lido.texto.emplace());
      CString modelo = *lido.texto;
      const bool temLista = AtualizaConteudoEmail(modelo, static_cast<int>(linhas.size()));
      if (!temLista && modelo.View().find(kInicioLista) != std::string_view::npos)
        GravaLog(1, 4,
                 StringPrintf("Modelo de e-mail '%s': ZQ_INICIO_LISTA sem um bloco de lista reconhecível (linhas "
                              "terminadas em CR LF, \"  ZQ_FIM_LISTA\" na linha seguinte, a linha da lista "
                              "iniciada por \" <tr\"); a lista não foi repetida, vai um e-mail por recurso. Plano "
                              "Manutenção '%s'"_cp,
                              caminho.GetString(), dono.GetCodigo().GetString())
                     .c_str());
      if (long hr = EnviaAosTecnicos(plano, alerta, disciplina, modelo, temLista, linhas, lidos)) return hr;
      enviados.push_back({dono.GetPonteiro(), i});
    }
  }

  // Each send time is a write of its own, in the order the alerts went out, so a failure keeps
  // the ones before it and only the alerts after it are mailed again. Another program's load
  // may hold the database for a while: waiting for it, up to an interval, beats mailing
  // everyone twice.
  manutencao->SetEsperaEnvioAlerta(kIntervaloMs);
  for (const ALERTA_ENVIADO& enviado : enviados)
    if (long hr = manutencao->AtualizaDataHoraEnvioAlerta(enviado.ponteiroPlano, enviado.indice)) AbortaAcesso(hr);
  return 0;
}

void CMMEmailAlertaPlano::MontaLinhas(const CZQDadosMM_Plano& plano, const CZQDadosMM_PlanoAlerta& alerta,
                                      const CZQVector<CZQDadosDF_Recurso>& recursos, const REG_ZQDMA& hoje,
                                      LEITURAS_PLANO& lidos, std::vector<DADOS_CORPO_EMAIL>& linhas) {
  CZQAcessoEmpresarial* empresarial = GetAcessoEmpresarial();
  const auto falha = [this](long hr) { AbortaAcesso(hr); };
  // The unit's code and decimal places, read by `le` as the record of its kind.
  const auto unidade = [&]<class Registro>(long (CZQAcessoEmpresarial::*le)(unsigned long, Registro*, unsigned short)) {
    return [&, le](std::uint32_t ponteiro, LEITURAS_PLANO::UNIDADE* u) {
      Registro r;
      const long hr = (empresarial->*le)(ponteiro, &r, 0);
      u->codigo = r.GetCodigo();
      u->casas = r.GetQuantidadeCasasDecimais();
      return hr;
    };
  };
  for (const CZQDadosDF_Recurso& recurso : recursos) {
    if (recurso.GetInativo()) continue;
    for (int j = 0; j < recurso.GetQuantidadePlanoManutencao(); ++j) {
      const CZQDadosDF_RecursoPlanoManutencao& vinculo = recurso.GetPlanoManutencao(j);
      if (vinculo.GetInativo() || vinculo.GetPonteiroPlanoManutencao() != plano.GetPonteiro()) continue;
      if (!AlertaVencido(alerta, plano.GetTipoControle(), vinculo, hoje)) continue;

      const CZQDadosDF_TipoRecurso& tipo = Lembrado(
          lidos.tipos, recurso.GetPonteiroTipoRecurso(),
          [&](std::uint32_t p, CZQDadosDF_TipoRecurso* r) { return empresarial->LeTipoRecurso(p, r, 0); }, falha);
      const CZQDadosDF_Filial& filial = Lembrado(
          lidos.filiais, recurso.GetPonteiroFilial(),
          [&](std::uint32_t p, CZQDadosDF_Filial* r) { return empresarial->LeFilial(p, r, 0); }, falha);
      static const LEITURAS_PLANO::UNIDADE kSemUnidade;
      const LEITURAS_PLANO::UNIDADE* u = &kSemUnidade;
      if (const std::uint32_t ponteiroUnidade = recurso.GetPonteiroUnidadeMedidaContador()) {
        if (recurso.GetUnidadeProdutoServico().View().starts_with('P'))
          u = &Lembrado(lidos.unidadesProduto, ponteiroUnidade, unidade(&CZQAcessoEmpresarial::LeUnidadeMedidaProduto), falha);
        else
          u = &Lembrado(lidos.unidadesServico, ponteiroUnidade, unidade(&CZQAcessoEmpresarial::LeUnidadeMedidaServico), falha);
      }
      SetDadosCorpoEmailSubordinados(linhas.emplace_back(), recurso, vinculo, u->codigo, u->casas, tipo, filial);
    }
  }
}

long CMMEmailAlertaPlano::EnviaAosTecnicos(const CZQDadosMM_Plano& plano, const CZQDadosMM_PlanoAlerta& alerta,
                                           const CZQDadosMM_Disciplina& disciplina, const CString& modelo,
                                           bool temLista, const std::vector<DADOS_CORPO_EMAIL>& linhas,
                                           LEITURAS_PLANO& lidos) {
  CZQAcessoManutencao* manutencao = GetAcessoManutencao();
  std::unordered_set<std::uint32_t> enviados;  // a technician gets an alert once

  for (int k = 0; k < alerta.GetQuantidadeTecnicos(); ++k) {
    const LEITURAS_PLANO::TECNICO& tecnico = Lembrado(
        lidos.tecnicos, alerta.GetTecnicos(k).GetPonteiro(),
        [&](std::uint32_t ponteiro, LEITURAS_PLANO::TECNICO* t) {
          if (long hr = manutencao->LeTecnico(ponteiro, &t->tecnico, kLeTecnicoComEmails)) return hr;
          if (t->tecnico.GetTipoClassificacao() == 1) {
            t->destinatarios.Add(t->tecnico);
            return 0L;
          }
          CZQDadosMM_FiltroTecnico filtro;
          filtro.SetAtivo(1);
          filtro.SetInativo(0);
          filtro.SetPonteiroPai(t->tecnico.GetPonteiro());
          filtro.SetTodosDescendentes(1);
          CZQArrayPonteiros ponteiros;
          if (long hr = manutencao->BuscaPonteirosTecnico(filtro, ponteiros)) return hr;
          if (ponteiros.IsEmpty()) return 0L;
          return manutencao->LeTecnicos(ponteiros.GetSize(), ponteiros, t->destinatarios, kLeTecnicoComEmails);
        },
        [this](long hr) { AbortaAcesso(hr); });
    if (enviados.count(tecnico.tecnico.GetPonteiro())) continue;

    for (const CZQDadosMM_Tecnico& destinatario : tecnico.destinatarios) {
      if (!enviados.insert(destinatario.GetPonteiro()).second) continue;
      for (int m = 0; m < destinatario.GetQuantidadeEmail(); ++m) {
        CString endereco = destinatario.GetConstRefEmail(m);
        if (endereco.Trim().IsEmpty()) continue;
        long hr = 0;
        if (temLista) {
          DADOS_CORPO_EMAIL cabecalho;
          SetDadosCorpoEmailCabecalho(cabecalho, destinatario, plano, alerta, disciplina);
          CString corpo = modelo;
          SubstituiMemoriasModeloEmail(corpo, cabecalho, linhas);
          hr = EnviaEmail(endereco, corpo, CMMModeloEmailAlerta::AssuntoEmail(cabecalho));
        } else {
          for (const DADOS_CORPO_EMAIL& linha : linhas) {
            DADOS_CORPO_EMAIL dados = linha;
            SetDadosCorpoEmailCabecalho(dados, destinatario, plano, alerta, disciplina);
            CString corpo = modelo;
            SubstituiMemoriasModeloEmail(corpo, dados);
            if ((hr = EnviaEmail(endereco, corpo, CMMModeloEmailAlerta::AssuntoEmail(dados))) != 0) break;
          }
        }
        // One bad stored address must not silence the alert for everyone else.
        if (hr == ZQ_E_EMAIL_DESTINATARIO) {
          GravaLog(1, 4,
                   StringPrintf("Endereço de e-mail recusado, e-mail não enviado: técnico '%s' (%s), endereço '%s'. "
                                "Plano Manutenção '%s', alerta '%s'"_cp,
                                Imprimivel(destinatario.GetCodigo().View()).c_str(),
                                Imprimivel(destinatario.GetNome().View()).c_str(), Imprimivel(endereco.View()).c_str(),
                                plano.GetCodigo().GetString(), Imprimivel(alerta.GetDescricao().View()).c_str())
                       .c_str());
          continue;
        }
        if (hr) return hr;
      }
    }
  }
  return 0;
}

long CMMEmailAlertaPlano::EnviaEmail(const CString& endereco, const CString& corpo, const CString& assunto) {
  CZQDadosDF_EmailAnexo parte;
  parte.SetTipo(CZQDadosDF_EmailAnexo::kTipoCorpoHtml);
  parte.SetConteudo(corpo);
  CZQDadosDF_Email email;
  email.SetAssunto(assunto);
  email.SetDestinatarios(endereco);
  email.SetCorpo(parte);
  const long hr = GetAcessoEmpresarial()->DisparaEmail(email, 0, 1, 0);
  if (hr >= 0 || hr == ZQ_E_EMAIL_DESTINATARIO) return hr;
  AbortaExecucao(kFalhaEnvio, "Falha ao enviar e-mail.", kMsgFalha);
  return hr;
}

void CMMEmailAlertaPlano::AbortaExecucao(long hr, const CString& mensagem, long numeroMensagem,
                                         const std::exception* excecao) {
  if (hr == 0) return;
  if (numeroMensagem == 999999) numeroMensagem = 0;
  CString texto = mensagem;
  if (excecao) {
    const std::string_view detalhe = std::string_view(excecao->what()).substr(0, 500);
    texto += ' ';
    texto.AppendFormat("Foi gerada uma exceção. Mensagem: %.*s"_cp, static_cast<int>(detalhe.size()), detalhe.data());
  }
  GravaLog(1, 4, texto);
  throw CZQExceptionEx(hr, numeroMensagem, 0, "", texto, kFonte, kLinhaFonte, __DATE__ " " __TIME__);
}

long CMMEmailAlertaPlano::RegistraFalha(long hr) {
  const CZQAcessoBase* acesso = GetUltimoAcesso();
  CString texto = acesso ? acesso->GetErro().GetMensagem() : CString();
  if (texto.IsEmpty()) texto.Format("Falha de acesso a dados (0x%08lX)", static_cast<unsigned long>(hr) & 0xFFFFFFFFul);
  GravaLog(1, 4, texto);
  return hr;
}

void CMMEmailAlertaPlano::AbortaAcesso(long hr) {
  const CZQAcessoBase* acesso = GetUltimoAcesso();
  AbortaExecucao(hr, acesso ? acesso->GetErro().GetMensagem() : CString(), kMsgFalha);
}

long CMMEmailAlertaPlano::LeModeloEmail(const CString& caminho, CString& texto) {
  CString erro;
  switch (CMMModeloEmailAlerta::LeModeloEmail(caminho, texto, erro)) {
    case CMMModeloEmailAlerta::ELeitura::NaoAbriu:
      AbortaExecucao(kFalhaAbrirModelo, "Falha ao abrir arquivo modelo de e-mail", kMsgAbrirModelo);
      break;
    case CMMModeloEmailAlerta::ELeitura::FalhaLeitura: {
      const std::runtime_error excecao(erro.Str());
      AbortaExecucao(kFalhaLerModelo, "Falha ao ler o modelo de e-mail", kMsgLerModelo, &excecao);
      break;
    }
    case CMMModeloEmailAlerta::ELeitura::Lido:
      break;
  }
  return 0;
}

bool CMMEmailAlertaPlano::AtualizaConteudoEmail(CString& texto, int linhas) {
  return CMMModeloEmailAlerta::AtualizaConteudoEmail(texto, linhas);
}

void CMMEmailAlertaPlano::SetDadosCorpoEmailCabecalho(DADOS_CORPO_EMAIL& dados, const CZQDadosMM_Tecnico& tecnico,
                                                      const CZQDadosMM_Plano& plano,
                                                      const CZQDadosMM_PlanoAlerta& alerta,
                                                      const CZQDadosMM_Disciplina& disciplina) {
  VALORES_CABECALHO_EMAIL valores;
  valores.strCodigoPlano = plano.GetCodigo();
  valores.strNomePlano = plano.GetNome();
  valores.strCodigoDisciplina = disciplina.GetCodigo();
  valores.strNomeDisciplina = disciplina.GetNome();
  valores.strDescricaoAlerta = alerta.GetDescricao();
  valores.strDetalhamentoAlerta = alerta.GetDetalhamento();
  valores.strCodigoTecnico = tecnico.GetCodigo();
  valores.strNomeTecnico = tecnico.GetNome();
  CMMModeloEmailAlerta::SetDadosCorpoEmailCabecalho(dados, valores);
}

void CMMEmailAlertaPlano::SetDadosCorpoEmailSubordinados(DADOS_CORPO_EMAIL& dados, const CZQDadosDF_Recurso& recurso,
                                                         const CZQDadosDF_RecursoPlanoManutencao& vinculo,
                                                         const CString& unidade, int casasDecimais,
                                                         const CZQDadosDF_TipoRecurso& tipo,
                                                         const CZQDadosDF_Filial& filial) {
  VALORES_LINHA_EMAIL valores;
  valores.strCodigoRecurso = recurso.GetCodigo();
  valores.strDescricaoRecurso = recurso.GetDescricao();
  valores.strCodigoTipoRecurso = tipo.GetCodigo();
  valores.strDescricaoTipoRecurso = tipo.GetDescricao();
  valores.dmaProximaManutencao = vinculo.GetDataProximaManutencao();
  valores.cyCiclosContador = vinculo.GetCiclosContadorProximaManutencao();
  valores.strUnidadeContador = unidade;
  valores.nCasasDecimaisContador = casasDecimais;
  valores.usCodigoFilial = filial.GetCodigo();
  valores.strIdentificacaoFilial = filial.GetIdentificacao();
  valores.strNomeFantasiaFilial = filial.GetNomeFantasia();
  valores.strRazaoSocialFilial = filial.GetRazaoSocial();
  CMMModeloEmailAlerta::SetDadosCorpoEmailSubordinados(dados, valores);
}

void CMMEmailAlertaPlano::SubstituiMemoriasModeloEmail(CString& texto, const DADOS_CORPO_EMAIL& dados) {
  if (m_htmlNosValores)
    CMMModeloEmailAlerta::SubstituiMemoriasModeloEmailHtml(texto, dados);
  else
    CMMModeloEmailAlerta::SubstituiMemoriasModeloEmail(texto, dados);
}

void CMMEmailAlertaPlano::SubstituiMemoriasModeloEmail(CString& texto, const DADOS_CORPO_EMAIL& cabecalho,
                                                       const std::vector<DADOS_CORPO_EMAIL>& linhas) {
  if (m_htmlNosValores)
    CMMModeloEmailAlerta::SubstituiMemoriasModeloEmailHtml(texto, cabecalho, linhas);
  else
    CMMModeloEmailAlerta::SubstituiMemoriasModeloEmail(texto, cabecalho, linhas);
}
