#include "registers/MMTrataDadosDisciplina.h"

#include "registers/MMRegrasCadastro.h"

namespace {
struct Disciplinas {
  using Registro = CZQDadosMM_Disciplina;
  using Filtro = CZQDadosMM_FiltroDisciplina;
  static constexpr auto kBusca = &CZQAcessoManutencao::BuscaPonteirosDisciplina;
  static constexpr auto kLe = &CZQAcessoManutencao::LeDisciplina;
  static constexpr auto kClassificacao = &CZQAcessoManutencao::BuscaClassificacaoDisciplina;
  static constexpr mmcadastro::CamposArvore kCampos{2, 3, 4, 4, 5};
};
using Regras = mmcadastro::ArvoreSimples<Disciplinas>;
}  // namespace

CMMTrataDadosDisciplina::~CMMTrataDadosDisciplina() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosDisciplina::ConsistirDisciplina(CZQDadosMM_Disciplina* disciplina) {
  return Regras::Consistir(*this, *disciplina);
}

CZQDadosDF_Erro& CMMTrataDadosDisciplina::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* disciplina = dynamic_cast<CZQDadosMM_Disciplina*>(dados);
  if (!disciplina) return RegistroInvalido();
  if (!ConsistirDisciplina(disciplina).EhErroNenhum() || disciplina->GetPonteiro() == 0) return *this;
  auto valida = [this](const auto&... a) -> CZQDadosDF_Erro& { return ValidaRegistroAtualizado(a...); };
  return Regras::VerificaGravado(*this, *disciplina, valida);
}
