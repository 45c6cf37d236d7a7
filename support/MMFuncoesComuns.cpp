#include "support/MMFuncoesComuns.h"

#include "platform/records/ZQDadosMM_NomesManutencao.h"

// Each read flag answers whether the request holds any bit of its mask; a part's mask includes
// its complement's bit, since reading the complement implies reading the part.
#define MM_LEITURAS_MANUTENCAO(L)                \
  L(Complemento, 0x0001)                         \
  L(Descricao, 0x0002)                           \
  L(Tarefa, 0x0004)                              \
  L(Material, 0x0018)                            \
  L(MaterialComplemento, 0x0010)                 \
  L(Equipamento, 0x0060)                         \
  L(EquipamentoComplemento, 0x0040)              \
  L(Servico, 0x0180)                             \
  L(ServicoComplemento, 0x0100)                  \
  L(Apontamento, 0x0600)                         \
  L(ApontamentoObservacao, 0x0400)

#define MM_DEFINE_LEITURA(Parte, mascara)                                   \
  bool CMMFuncoesComuns::FazLeituraManutencao##Parte(unsigned short flags) { \
    return (flags & (mascara)) != 0;                                        \
  }
MM_LEITURAS_MANUTENCAO(MM_DEFINE_LEITURA)
#undef MM_DEFINE_LEITURA

CString CMMFuncoesComuns::GetSituacaoManutencao(unsigned char situacao) {
  return CString(ZQDadosMM::Manutencao::GetNomeSituacao(situacao));
}

CString CMMFuncoesComuns::GetTipoManutencao(unsigned char tipo) {
  return CString(ZQDadosMM::Manutencao::GetNomeTipo(tipo));
}

CString CMMFuncoesComuns::GetTempoAlertaPlano(unsigned char unidade) {
  switch (unidade) {
    case 1: return "Dia(s)";
    case 2: return "Hora(s)";
    case 3: return "Minuto(s)";
    default: return CString();
  }
}
