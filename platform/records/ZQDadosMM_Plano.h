// CZQDadosMM_Plano: a maintenance plan, an entry of a classification tree. TempoPrevisto is the
// planned time in the plan's unit, TempoPrevistoEmHoras the same in hours.
#pragma once

#include <cstdint>

#include "platform/records/Filtro.h"
#include "platform/records/ZQRegistroMacros.h"
#include "platform/records/ZQDadosMM_Tarefa.h"

#define ZQ_CAMPOS_PLANO_TAREFA(F)      \
  F(Linha, std::uint32_t, zq::kKey)     \
  F(PonteiroTarefa, std::uint32_t, 0)

// A task the plan's orders are made of.
class CZQDadosMM_PlanoTarefa : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_PlanoTarefa, "plano_tarefa", ZQ_CAMPOS_PLANO_TAREFA)
};

#define ZQ_CAMPOS_PLANO_COMPONENTE(F)              \
  F(Linha, std::uint32_t, zq::kKey)                 \
  F(PosicaoProduto, _REG_POSICAO_PRODUTOPS, 0)      \
  F(TipoProdutoServico, std::uint8_t, 0)            \
  F(Quantidade, tagCY, 0)                           \
  F(Complemento, CString, 0)

// A material, equipment or service of the plan; TipoProdutoServico 'S' marks a service.
class CZQDadosMM_PlanoComponente : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_PlanoComponente, "plano_componente", ZQ_CAMPOS_PLANO_COMPONENTE)
};

#define ZQ_CAMPOS_PLANO_ALERTA_TECNICO(F) \
  F(Linha, std::uint32_t, zq::kKey)        \
  F(Ponteiro, std::uint32_t, 0)

// A technician (or technician group) an alert mails.
class CZQDadosMM_PlanoAlertaTecnico : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_PlanoAlertaTecnico, "plano_alerta_tecnico", ZQ_CAMPOS_PLANO_ALERTA_TECNICO)
};

// An alert of a plan: when it is due (AntesApos 1 before / 2 after the next maintenance, by
// counter and/or days), how it repeats (TipoRepeticao 1 days, 2 hours, 3 minutes), the HTML
// template it mails and to whom.
#define ZQ_CAMPOS_PLANO_ALERTA(F)                                          \
  F(Linha, std::uint32_t, zq::kKey)                                        \
  F(Descricao, CString, 0)                                                 \
  F(Detalhamento, CString, 0)                                              \
  F(ModeloEmail, CString, 0)                                               \
  F(Inativo, bool, 0)                                                      \
  F(DmaHmsUltimoEnvio, REG_ZQDMAHMSUTC, 0)                                 \
  F(RepetirEm, bool, 0)                                                    \
  F(TipoRepeticao, std::uint8_t, 0)                                        \
  F(TempoRepeticao, tagCY, 0)                                              \
  F(AntesApos, std::uint8_t, 0)                                            \
  F(Contador, bool, 0)                                                     \
  F(QtdContador, tagCY, 0)                                                 \
  F(Dias, bool, 0)                                                         \
  F(QtdDias, tagCY, 0)                                                     \
  F(ListaTecnicos, CZQVector<CZQDadosMM_PlanoAlertaTecnico>, 0)

class CZQDadosMM_PlanoAlerta : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_PlanoAlerta, "plano_alerta", ZQ_CAMPOS_PLANO_ALERTA)
  ZQ_ACESSO_LISTA(Tecnicos, CZQDadosMM_PlanoAlertaTecnico)
  const CZQDadosMM_PlanoAlertaTecnico& GetTecnicos(int k) const { return GetConstRefTecnicos(k); }
};

#define ZQ_CAMPOS_PLANO(F)                           \
  F(Ponteiro, std::uint32_t, zq::kKey)               \
  F(PonteiroPai, std::uint32_t, zq::kSearchable)     \
  F(Codigo, CString, zq::kSearchable)                \
  F(Nome, CString, 0)                                \
  F(TipoClassificacao, std::uint8_t, 0)              \
  F(Inativo, std::uint8_t, 0)                        \
  F(PonteiroDisciplina, std::uint32_t, zq::kSearchable) \
  F(PonteiroPrioridade, std::uint32_t, zq::kSearchable) \
  F(TempoPrevisto, tagCY, 0)                         \
  F(TempoPrevistoEmHoras, tagCY, 0)                  \
  F(Tipo, std::uint8_t, 0)                           \
  F(TipoControle, std::uint8_t, 0)                   \
  F(PonteiroTipoPeriodo, std::uint16_t, 0)           \
  F(ContadorCicloManutencao, tagCY, 0)               \
  F(InativarAposRealManut, bool, 0)                  \
  F(ListaAlerta, CZQVector<CZQDadosMM_PlanoAlerta>, 0) \
  F(ListaTarefa, CZQVector<CZQDadosMM_PlanoTarefa>, 0) \
  F(ListaMaterial, CZQVector<CZQDadosMM_PlanoComponente>, 0) \
  F(ListaEquipamento, CZQVector<CZQDadosMM_PlanoComponente>, 0) \
  F(ListaServico, CZQVector<CZQDadosMM_PlanoComponente>, 0) \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_Plano : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Plano, "plano", ZQ_CAMPOS_PLANO)
  ZQ_ACESSO_LISTA(Alerta, CZQDadosMM_PlanoAlerta)
  ZQ_ACESSO_LISTA(Tarefa, CZQDadosMM_PlanoTarefa)
  ZQ_ACESSO_LISTA(Material, CZQDadosMM_PlanoComponente)
  ZQ_ACESSO_LISTA(Equipamento, CZQDadosMM_PlanoComponente)
  ZQ_ACESSO_LISTA(Servico, CZQDadosMM_PlanoComponente)
  const CZQDadosMM_PlanoAlerta& GetAlerta(int i) const { return GetConstRefAlerta(i); }
  // Tipo: 1 or 2 for an analytic plan, 0 for a group. TipoControle (type-1 plans): 0 due by
  // date (PonteiroTipoPeriodo), 1 by counter (ContadorCicloManutencao, in the resource
  // counter's unit), 2 by both, 3 by either, other always due.
};

#define ZQ_CRITERIOS_PLANO(C)                        \
  C(Codigo, CString, zq::Match::kIgual)              \
  C(PonteiroPai, std::uint32_t, zq::Match::kIgual)   \
  C(PonteiroDisciplina, std::uint32_t, zq::Match::kIgual)

// SetAtivo(1) keeps active plans; SetAtivoRecurso(1) keeps plans with at least one active
// link of an active resource (the access object applies both).
class CZQDadosMM_FiltroPlano : public zq::Filtro<CZQDadosMM_Plano> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_PLANO)
  void SetAtivo(unsigned char ativo) { m_ativo = ativo; }
  void SetAtivoRecurso(unsigned char ativo) { m_ativoRecurso = ativo; }
  void SetValorUnicoDisciplina(std::uint32_t disciplina) { SetPonteiroDisciplina(disciplina); }
  unsigned char GetAtivo() const { return m_ativo; }
  unsigned char GetAtivoRecurso() const { return m_ativoRecurso; }

 private:
  unsigned char m_ativo = 0;
  unsigned char m_ativoRecurso = 0;
};
