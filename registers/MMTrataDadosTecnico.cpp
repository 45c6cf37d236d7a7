#include "registers/MMTrataDadosTecnico.h"

#include "registers/MMRegrasCadastro.h"

namespace {
constexpr long kCampoCodigo = 7;
constexpr long kCampoCodigoGravado = 8;
constexpr long kCampoNome = 9;
constexpr long kCampoArvore = 10;
constexpr long kCampoUsuario = 12;
constexpr long kCampoDisciplina = 14;
constexpr std::uint8_t kAnalitico = 1;
constexpr std::uint8_t kGrupo = 2;
}  // namespace

using mmcadastro::CopiaErroAcesso;

CMMTrataDadosTecnico::~CMMTrataDadosTecnico() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosTecnico::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* tecnico = dynamic_cast<CZQDadosMM_Tecnico*>(dados);
  if (!tecnico) return RegistroInvalido();
  if (tecnico->GetPonteiro() == 0) return ConsistirTecnico(tecnico);

  CZQDadosMM_Tecnico gravado;
  if (GetAcessoManutencao()->LeTecnico(tecnico->GetPonteiro(), &gravado, 0) != 0) return CopiaErroAcesso(*this);
  if (!ValidaRegistroAtualizado(gravado.GetDmaHmsGravacao(), tecnico->GetDmaHmsGravacao(), kCampoCodigo).EhErroNenhum())
    return *this;
  if (gravado.GetTipoClassificacao() == kAnalitico) {
    if (tecnico->GetPonteiroPai() == tecnico->GetPonteiro()) return SetAviso(MODULO_MM, 99, kCampoArvore);
    return ConsistirTecnico(tecnico);
  }

  CZQDadosMM_FiltroTecnico filtro;
  filtro.SetPonteiroPai(gravado.GetPonteiro());
  filtro.SetTodasFiliais(1);
  CZQVector<CZQDadosDF_Classificacao> subarvore;
  if (GetAcessoManutencao()->BuscaClassificacaoTecnico(filtro, subarvore) != 0) return CopiaErroAcesso(*this);
  if (!mmcadastro::VerificaSubarvore(*this, subarvore, tecnico->GetTipoClassificacao(), tecnico->GetPonteiroPai(),
                                     mmcadastro::Raiz::kDentro, kCampoArvore)
           .EhErroNenhum())
    return *this;
  return ConsistirTecnico(tecnico);
}

CZQDadosDF_Erro& CMMTrataDadosTecnico::ConsistirTecnico(CZQDadosMM_Tecnico* tecnico) {
  LimpaErro();
  if (tecnico->GetCodigo().IsEmpty())
    return tecnico->GetPonteiro() == 0 ? SetAviso(MODULO_MM, 1, kCampoCodigo)
                                       : SetAviso(MODULO_MM, 2, kCampoCodigoGravado);

  CZQDadosMM_FiltroTecnico porCodigo;
  porCodigo.SetCodigo(tecnico->GetCodigo());
  porCodigo.SetTodasFiliais(1);
  CZQArrayPonteiros ponteiros;
  if (GetAcessoManutencao()->BuscaPonteirosTecnico(porCodigo, ponteiros) != 0) return CopiaErroAcesso(*this);
  if (mmcadastro::OutroComCodigo(ponteiros, tecnico->GetPonteiro())) return SetAviso(MODULO_MM, 10, kCampoCodigo);
  if (tecnico->GetNome().IsEmpty()) return SetAviso(MODULO_MM, 4, kCampoNome);

  if (tecnico->GetTipoClassificacao() != kAnalitico) {
    tecnico->SetTipoClassificacao(kGrupo);
    tecnico->SetPonteiroFilial(0);
    tecnico->SetInativo(0);
    tecnico->RemoveTodosDisciplina();
    return *this;
  }
  if (tecnico->GetPonteiroUsuario() == 0) return *this;

  CZQDadosMM_FiltroTecnico porUsuario;
  porUsuario.SetValorUnicoFilial(tecnico->GetPonteiroFilial());
  porUsuario.SetTodasFiliais(tecnico->GetPonteiroFilial() == 0 ? 1 : 0);
  porUsuario.SetPonteiroUsuario(tecnico->GetPonteiroUsuario());
  porUsuario.SetAtivo(1);
  porUsuario.SetTipoClassificacaoAnalitico(1);
  if (GetAcessoManutencao()->BuscaPonteirosTecnico(porUsuario, ponteiros) != 0) return CopiaErroAcesso(*this);
  const bool soEle = ponteiros.GetSize() == 0 || (ponteiros.GetSize() == 1 && ponteiros[0] == tecnico->GetPonteiro());
  return soEle ? *this : SetAviso(MODULO_MM, 121, kCampoUsuario);
}

CZQDadosDF_Erro& CMMTrataDadosTecnico::TrataAdicionarDisciplina(CZQDadosMM_Tecnico& tecnico,
                                                                CZQDadosMM_TecnicoDisciplina& disciplina,
                                                                IZQTrataInconsistencia*) {
  LimpaErro();
  if (disciplina.GetPonteiroDisciplina() == 0) return SetAviso(MODULO_MM, 86, kCampoDisciplina);
  for (int i = 0; i < tecnico.GetQuantidadeDisciplina(); ++i)
    if (tecnico.GetConstRefDisciplina(i).GetPonteiroDisciplina() == disciplina.GetPonteiroDisciplina())
      return SetAviso(MODULO_MM, 87, kCampoDisciplina);
  tecnico.AdicionaDisciplina(disciplina);
  return *this;
}
