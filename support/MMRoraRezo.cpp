#include "support/MMRoraRezo.h"

#include "framework/Rastreio.h"

namespace {
constexpr const char* kFonte = "MMRoraRezo";
}  // namespace

CMMRoraRezo::~CMMRoraRezo() { Finaliza(); }

long CMMRoraRezo::OnInicializa() {
  long hr = CZQInicializador::OnInicializa();
  if (hr != 0) {
    MMTraceHR(this, "CMMRoraRezo::OnInicializa", kFonte, 23, "__super::OnInicializa()", hr);
    return hr;
  }
  hr = m_cnxIE.Inicializa(GetEmpresa(), GetUsuario(), static_cast<long>(GetNumeroSessao()));
  if (hr < 0)
    MMTraceHR(this, "CMMRoraRezo::OnInicializa", kFonte, 25,
              "m_cnxIE.Inicializa(GetEmpresa(), GetUsuario(), GetNumeroSessao())", hr);
  return hr;
}

long CMMRoraRezo::OnFinaliza() {
  m_ieHeader.Limpa();
  m_vinculo.Limpa();
  m_cnxIE.Finaliza();
  const long hr = CZQInicializador::OnFinaliza();
  if (hr != 0) MMTraceHR(this, "CMMRoraRezo::OnFinaliza", kFonte, 40, "__super::OnFinaliza()", hr);
  return hr;
}

long CMMRoraRezo::SetFlagProcesso(IE_E_PROCESSO processo) {
  m_processo = processo;
  m_ieHeader.Limpa();
  IE_HEADER_FILTRO_PS filtroIE;
  filtroIE.processo = processo;
  CIEArrayPonteiros aPtrs;
  long hr = m_cnxIE.BuscaPtrsIEHeader(filtroIE, aPtrs);
  if (hr < 0) {
    MMTraceHR(this, "CMMRoraRezo::SetFlagProcesso", kFonte, 68, "m_cnxIE.BuscaPtrsIEHeader(filtroIE, aPtrs)", hr);
    return hr;
  }
  if (aPtrs.count == 0) return hr;
  hr = m_cnxIE.LeIEHeader(aPtrs.pPtrs[0], m_ieHeader);
  if (hr < 0)
    MMTraceHR(this, "CMMRoraRezo::SetFlagProcesso", kFonte, 71, "m_cnxIE.LeIEHeader(aPtrs.pPtrs[0], m_ieHeader)", hr);
  return hr;
}

long CMMRoraRezo::SetDadosRoraRezo(unsigned long chave) {
  if (m_ieHeader.GetPosicao() == 0) return 0;
  IE_ORIGEM_VINCULO_PS origem;
  origem.ulPosHeader = m_ieHeader.GetPosicao();
  origem.ulChave = static_cast<std::uint32_t>(chave);
  const long hr = GetConexaoRoraRezo().BuscaVinculoByOrigem(origem, GetVinculo());
  if (hr < 0)
    MMTraceHR(this, "CMMRoraRezo::SetDadosRoraRezo", kFonte, 117,
              "GetConexaoRoraRezo().BuscaVinculoByOrigem(origem, GetVinculo())", hr);
  return hr;
}

long CMMRoraRezo::GravaRoraRezo(unsigned long chave) {
  if (m_ieHeader.GetPosicao() == 0 || m_ieHeader.IsInativo()) return 0;
  m_vinculo.SetPosHeader(m_ieHeader.GetPosicao());
  m_vinculo.SetChaveOrigem(static_cast<std::uint32_t>(chave));
  const long hr = GetConexaoRoraRezo().GravaCamposVinculo(GetVinculo());
  if (hr < 0)
    MMTraceHR(this, "CMMRoraRezo::GravaRoraRezo", kFonte, 90, "GetConexaoRoraRezo().GravaCamposVinculo(GetVinculo())",
              hr);
  return hr;
}

long CMMRoraRezo::CopiarRoraRezo(unsigned long chaveOrigem, unsigned long chaveDestino) {
  SetDadosRoraRezo(chaveOrigem);
  const long hr = GravaRoraRezo(chaveDestino);
  if (hr < 0) MMTraceHR(this, "CMMRoraRezo::CopiarRoraRezo", kFonte, 102, "GravaRoraRezo(ulChaveDestino)", hr);
  return hr;
}

void CMMRoraRezo::GetDadosRoraRezo(CZQDadosDF_IEVinculo* dados) {
  if (!dados) return;
  dados->Reset();
  dados->SetPosHeader(m_ieHeader.GetPosicao());
  dados->SetChave(0);
  for (const CZQDadosDF_IEVinculoDados& valor : m_vinculo.GetListaDados()) {
    CZQDadosDF_IEVinculoCampo campo;
    campo.SetTextoLivre(valor.GetTextoLivre());
    campo.SetId(valor.GetId());
    campo.SetBinaryData(valor.GetBinaryData());
    dados->AdicionaCampo(campo);
  }
}

CMMRoraRezo& CMMRoraRezo::SetVinculo(const CIEVinculo& vinculo) {
  m_vinculo = vinculo;
  return *this;
}
