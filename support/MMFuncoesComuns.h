// CMMFuncoesComuns: texts of the module's enumerations and the read-request flags of an order.
// Static operations only.
//
// Read-request flags (an unsigned short): each FazLeituraManutencao* answers whether the flags
// ask for one part of an order. Within each pair (materials, equipment, services,
// appointments) the lower bit asks for the part alone and the upper bit for the part with its
// complement (or observation); asking for the complement implies reading the part.
#pragma once

#include "platform/types/String.h"

class CMMFuncoesComuns {
 public:
  CMMFuncoesComuns() = default;
  CMMFuncoesComuns(const CMMFuncoesComuns&) = default;
  CMMFuncoesComuns& operator=(const CMMFuncoesComuns&) = default;
  virtual ~CMMFuncoesComuns() = default;

  static bool FazLeituraManutencaoComplemento(unsigned short flags);
  static bool FazLeituraManutencaoDescricao(unsigned short flags);
  static bool FazLeituraManutencaoTarefa(unsigned short flags);
  static bool FazLeituraManutencaoMaterial(unsigned short flags);
  static bool FazLeituraManutencaoMaterialComplemento(unsigned short flags);
  static bool FazLeituraManutencaoEquipamento(unsigned short flags);
  static bool FazLeituraManutencaoEquipamentoComplemento(unsigned short flags);
  static bool FazLeituraManutencaoServico(unsigned short flags);
  static bool FazLeituraManutencaoServicoComplemento(unsigned short flags);
  static bool FazLeituraManutencaoApontamento(unsigned short flags);
  static bool FazLeituraManutencaoApontamentoObservacao(unsigned short flags);

  // Name of an order situation (a single-bit value) or order type; empty for an unknown value.
  static CString GetSituacaoManutencao(unsigned char situacao);
  static CString GetTipoManutencao(unsigned char tipo);
  // Unit of a plan's alert time: 1 "Dia(s)", 2 "Hora(s)", 3 "Minuto(s)", otherwise empty.
  static CString GetTempoAlertaPlano(unsigned char unidade);
};
