#include "movements/MMTrataDadosLancamentoGastos.h"

#include <utility>

namespace {

// Field codes of the entry's warnings.
constexpr long kCampoLancamento = 136;
constexpr long kCampoData = 137;
constexpr long kCampoRecurso = 138;
constexpr long kCampoProduto = 143;
constexpr long kCampoQuantidade = 145;
constexpr long kCampoValor = 146;

constexpr unsigned short kLeCabecalho = 0;
constexpr unsigned short kLeCompleto = 0xFFFF;

}  // namespace

CMMTrataDadosLancamentoGastos::~CMMTrataDadosLancamentoGastos() { Finaliza(); }

CZQDadosDF_Erro& CMMTrataDadosLancamentoGastos::OnTrataGravacao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* lancamento = dynamic_cast<CZQDadosMM_LancamentoGastos*>(dados);
  if (!lancamento) return RegistroInvalido();

  if (lancamento->GetDmc().IsValid()) {
    CZQDadosMM_LancamentoGastos gravado;
    if (GetAcessoManutencao()->LeLancamentoGastos(lancamento->GetDmc(), &gravado, kLeCabecalho) != 0)
      return SetErro(GetAcessoManutencao()->GetErro());
    if (!ValidaRegistroAtualizado(gravado.GetDmaHmsGravacao(), lancamento->GetDmaHmsGravacao(), kCampoLancamento)
             .EhErroNenhum())
      return *this;
  }

  CZQDadosMM_LancamentoGastos copia = *lancamento;
  if (ConsistirLancamentoGastos(copia).EhErroNenhum()) *lancamento = std::move(copia);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosLancamentoGastos::ConsistirLancamentoGastos(CZQDadosMM_LancamentoGastos& lancamento) {
  LimpaErro();
  if (lancamento.GetData().IsEmpty()) return SetAviso(MODULO_MM, 174, kCampoData);
  if (lancamento.GetPonteiroRecurso() == 0) return SetAviso(MODULO_MM, 50, kCampoRecurso);
  if (lancamento.GetDmc().IsEmpty()) return *this;
  // The key fixes the entry's month: its date may move within it, not out of it.
  if (!(lancamento.GetData().GetMa() == lancamento.GetDmc().GetMaPeriodo())) return SetAviso(MODULO_MM, 175, kCampoData);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosLancamentoGastos::OnTrataExclusao(TZQBaseParaDados* dados, IZQTrataInconsistencia*) {
  LimpaErro();
  auto* lancamento = dynamic_cast<CZQDadosMM_LancamentoGastos*>(dados);
  if (!lancamento) return RegistroInvalido();
  if (!lancamento->GetDmc().IsValid()) return SetAviso(MODULO_MM, 144, kCampoLancamento);
  CZQDadosMM_LancamentoGastos gravado;
  if (GetAcessoManutencao()->LeLancamentoGastos(lancamento->GetDmc(), &gravado, kLeCompleto) != 0)
    return SetErro(GetAcessoManutencao()->GetErro());
  *lancamento = std::move(gravado);
  return *this;
}

CZQDadosDF_Erro& CMMTrataDadosLancamentoGastos::TrataAdicionarAlterarItem(CZQDadosMM_LancamentoGastos& lancamento,
                                                                         CZQDadosMM_LancamentoGastosItem& item,
                                                                         std::int64_t indice, IZQTrataInconsistencia*) {
  LimpaErro();
  const _REG_POSICAO_PRODUTOPS& posicao = item.GetProdutoServico();
  if (posicao.lPonteiroProduto == 0) return SetAviso(MODULO_MM, 166, kCampoProduto);
  if (!VerificaProduto(posicao).EhErroNenhum()) return SetCodigoCampo(kCampoProduto);
  if (!(item.GetQuantidade() > tagCY{0})) return SetAviso(MODULO_MM, 39, kCampoQuantidade);
  if (!(item.GetValor() > tagCY{0})) return SetAviso(MODULO_MM, 167, kCampoValor);
  for (int i = 0; i < lancamento.GetQuantidadeItem(); ++i)
    if (i != indice && lancamento.GetConstRefItem(i).GetProdutoServico() == posicao)
      return SetAviso(MODULO_MM, 168, kCampoProduto);
  // An index past the items appends, as a new item would be.
  if (indice >= 0 && indice < lancamento.GetQuantidadeItem())
    lancamento.SetItem(static_cast<int>(indice), item);
  else
    lancamento.AdicionaItem(item);
  return *this;
}
