#include "framework/MMTrataDados.h"

#include "framework/Rastreio.h"

namespace {
constexpr std::uint64_t kMascaraSegundos = 0x3FFFFFFFFFull;
}

CMMTrataDados::~CMMTrataDados() { Finaliza(); }

zq::StorageEngine* CMMTrataDados::MotorEmpresa() const {
  return GetConexaoEmpresa() ? &GetConexaoEmpresa()->Motor() : nullptr;
}

CMMTrataDados& CMMTrataDados::operator=(const CMMTrataDados& outro) {
  CMMBaseParaRotinas::operator=(outro);
  m_interfaceHabilitada = outro.m_interfaceHabilitada;
  return *this;
}

long CMMTrataDados::OnInicializa() {
  const long hr = CMMBaseParaRotinas::OnInicializa();
  MMTraceHR(this, "CMMTrataDados::OnInicializa", "MMTrataDados", 26, "__super::OnInicializa()", hr);
  return hr;
}

long CMMTrataDados::OnFinaliza() {
  const long hr = CMMBaseParaRotinas::OnFinaliza();
  MMTraceHR(this, "CMMTrataDados::OnFinaliza", "MMTrataDados", 36, "__super::OnFinaliza()", hr);
  return hr;
}

int CMMTrataDados::TrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) {
  LimpaErro();
  zq::SnapshotGuard leituras(MotorEmpresa());
  if (EstaInicializado())
    OnTrataGravacao(dados, inconsistencia);
  else
    SetAvisoPersonalizado(MODULO_MM, 0, 161);
  return EhErroNenhum() ? 1 : 0;
}

int CMMTrataDados::TrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia* inconsistencia) {
  LimpaErro();
  zq::SnapshotGuard leituras(MotorEmpresa());
  if (EstaInicializado())
    OnTrataExclusao(dados, inconsistencia);
  else
    SetAvisoPersonalizado(MODULO_MM, 0, 161);
  return EhErroNenhum() ? 1 : 0;
}

CZQDadosDF_Erro& CMMTrataDados::OnTrataGravacao(TZQBaseParaDados*, IZQTrataInconsistencia*) {
  return SetAviso(MODULO_MM, 162, 0);
}

CZQDadosDF_Erro& CMMTrataDados::OnTrataExclusao(TZQBaseParaDados*, IZQTrataInconsistencia*) {
  return SetAviso(MODULO_MM, 162, 0);
}

CZQDadosDF_Erro& CMMTrataDados::RegistroInvalido() { return SetAviso(MODULO_MM, 162, 0); }

CZQDadosDF_Erro& CMMTrataDados::ValidaRegistroAtualizado(const REG_ZQDMAHMSUTC& gravado,
                                                         const REG_ZQDMAHMSUTC& recebido, const long& codigoCampo) {
  LimpaErro();
  if ((gravado.ullValor & kMascaraSegundos) != (recebido.ullValor & kMascaraSegundos))
    SetAviso(MODULO_MM, 3, codigoCampo);
  return *this;
}

// The shared verifications stop at their first warning. Their parameters carry the names that
// the traced call texts quote, so a log line reads as the source that failed.

CZQDadosDF_Erro& CMMTrataDados::VerificaPeriodoMovimentacao(const REG_ZQDMA& data, long campo) {
  LimpaErro();
  if (!data.IsValid()) return SetAviso(MODULO_MM, 129, campo);

  const REG_ZQMA mes = data.GetMa();
  CZQDadosDF_PeriodoContabil dadosPeriodo;
  if (GetAcessoEmpresarial()->LePeriodoContabil(&dadosPeriodo) != 0)
    return SetErro(GetAcessoEmpresarial()->GetErro()).SetCodigoCampo(campo);

  // By month: any day of the first and last movement months is inside.
  if (mes < dadosPeriodo.GetDataInferiorMovimentacao().GetMa() ||
      mes > dadosPeriodo.GetDataSuperiorMovimentacao().GetMa())
    return SetAviso(MODULO_MM, 130, campo);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDados::VerificaPeriodoIntegracao(const REG_ZQDMAHMSUTC& dataHora, unsigned short usPonteiroFilial,
                                                          long campo) {
  const REG_ZQDMA data = dataHora.GetData();
  const REG_ZQMA mes = data.GetMa();

  if (usPonteiroFilial != 0) {
    CZQDadosDF_Filial dadosFilial;
    const long hr = GetAcessoEmpresarial()->LeBufferFilial(usPonteiroFilial, &dadosFilial);
    if (hr != 0) {
      MMTraceHR(this, "CMMTrataDados::VerificaPeriodoIntegracao", "MMTrataDados", 215,
                "GetAcessoEmpresarial()->LeBufferFilial(usPonteiroFilial, &dadosFilial)", hr);
      return SetErro(GetAcessoEmpresarial()->GetErro());
    }
    if (mes <= dadosFilial.GetMesBloqueioIntegracao()) return SetAviso(MODULO_MM, 184, campo);
  }

  CZQDadosDF_PeriodoContabil dadosPeriodo;
  const long hr = GetAcessoEmpresarial()->LePeriodoContabil(&dadosPeriodo);
  if (hr != 0) {
    MMTraceHR(this, "CMMTrataDados::VerificaPeriodoIntegracao", "MMTrataDados", 225,
              "GetAcessoEmpresarial()->LePeriodoContabil(&dadosPeriodo)", hr);
    return SetErro(GetAcessoEmpresarial()->GetErro());
  }
  if (mes <= dadosPeriodo.GetMesBloqueio()) return SetAviso(MODULO_MM, 185, campo);
  // Whole days, both ends inclusive.
  if (data < dadosPeriodo.GetDataInferiorIntegracao() || data > dadosPeriodo.GetDataSuperiorIntegracao())
    return SetAviso(MODULO_MM, 186, campo);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDados::VerificaProduto(_REG_POSICAO_PRODUTOPS regPosicaoProduto) {
  if (regPosicaoProduto.lPonteiroProduto == 0) return SetAviso(MODULO_MM, 40, 0);

  CZQDadosDF_ProdutoEx dadosProdutoEx;
  const long hr = GetAcessoEmpresarial()->LeProdutoEx(regPosicaoProduto, &dadosProdutoEx);
  if (hr != 0) {
    MMTraceHR(this, "CMMTrataDados::VerificaProduto", "MMTrataDados", 113,
              "GetAcessoEmpresarial()->LeProdutoEx(regPosicaoProduto, &dadosProdutoEx)", hr);
    return SetErro(GetAcessoEmpresarial()->GetErro());
  }
  if (dadosProdutoEx.GetKit() != 0) return SetAviso(MODULO_MM, 112, 0);
  if (dadosProdutoEx.GetPonteiroGrade1() == 0 && regPosicaoProduto.usGrade1 != 0) return SetAviso(MODULO_MM, 41, 0);
  if (dadosProdutoEx.GetPonteiroGrade2() == 0 && regPosicaoProduto.usGrade2 != 0) return SetAviso(MODULO_MM, 42, 0);
  // No 43: the product record cannot tell whether it has a third grade.
  return *this;
}

CZQDadosDF_Erro& CMMTrataDados::VerificaServico(_REG_POSICAO_PRODUTOPS regPosicaoServico) {
  if (regPosicaoServico.lPonteiroProduto == 0) return SetAviso(MODULO_MM, 44, 0);

  CZQDadosDF_Servico dadosServico;
  const long hr = GetAcessoEmpresarial()->LeServico(regPosicaoServico.lPonteiroProduto, &dadosServico);
  if (hr != 0) {
    MMTraceHR(this, "CMMTrataDados::VerificaServico", "MMTrataDados", 145,
              "GetAcessoEmpresarial()->LeServico(regPosicaoServico.lPonteiroProduto, &dadosServico)", hr);
    return SetErro(GetAcessoEmpresarial()->GetErro());
  }
  if (regPosicaoServico.usGrade1 != 0 || regPosicaoServico.usGrade2 != 0 || regPosicaoServico.usGrade3 != 0) return SetAviso(MODULO_MM, 45, 0);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDados::VerificaSituacaoManutencao(unsigned long ulPonteiro, CZQDadosMM_Situacao& dadosSituacao,
                                                           long campo, bool obrigatoria, bool permiteInativa) {
  LimpaErro();
  if (ulPonteiro == 0) return obrigatoria ? SetAviso(MODULO_MM, 145, campo) : *this;

  const long hr = GetAcessoManutencao()->LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO);
  if (hr != 0) {
    MMTraceHR(this, "CMMTrataDados::VerificaSituacaoManutencao", "MMTrataDados", 252,
              "GetAcessoManutencao()->LeSituacao(ulPonteiro, &dadosSituacao, MM_LER_SITUACAO_CABECALHO)", hr);
    return SetErro(GetAcessoManutencao()->GetErro()).SetCodigoCampo(campo);
  }
  if (dadosSituacao.GetInativo() && !permiteInativa)
    return SetAvisoPersonalizado(MODULO_MM, campo, 146, dadosSituacao.GetCodigo(), dadosSituacao.GetDescricao());
  return *this;
}

CZQDadosDF_Erro& CMMTrataDados::VerificaUsuario(unsigned short usuario, CZQDadosDF_Usuario* dados) {
  LimpaErro();
  if (GetAcessoEmpresarial()->LeUsuario(usuario, dados, 0) != 0) return SetErro(GetAcessoEmpresarial()->GetErro());
  if (!dados->VerificaDados(CZQDadosDF_Usuario())) return SetAviso(MODULO_MM, 80, 0);
  return *this;
}
