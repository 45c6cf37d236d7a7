// CZQDadosMM_Manutencao: a maintenance order, keyed by its movement key (Dmc; all zero for an
// order never stored), with its task lines, component lines (materials, equipment, services) and
// work-time appointments. Registro is the engine's row key and means nothing to the rules.
// Situacao holds a single-bit situation (see CMMFuncoesComuns).
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"
#include "platform/types/PosicaoProduto.h"
#include "platform/records/ZQDadosBDD_Registro.h"

#define ZQ_CAMPOS_MANUTENCAO_TAREFA(F)                                 \
  F(Linha, std::uint32_t, zq::kKey)                                    \
  F(PonteiroTarefa, std::uint32_t, 0)                                  \
  F(TempoPrevisto, tagCY, 0)                                           \
  F(Tarefa, CString, 0)                                                \
  F(Detalhamento, CString, 0)                                          \
  F(PonteiroSituacao, std::uint32_t, 0)                                \
  F(GarantiaAte, bool, 0)                                              \
  F(DataGarantiaAte, REG_ZQDMA, 0)                                     \
  F(DataUltimaGarantia, REG_ZQDMA, 0)                                  \
  F(DmcUltimaManutencao, REG_ZQDMC, 0)                                 \
  F(ListaApontamentoTarefa, CZQVector<CZQDadosBDD_Registro>, 0)

// A task line; owns at most one task-appointment record.
class CZQDadosMM_ManutencaoTarefa : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_ManutencaoTarefa, "manutencao_tarefa", ZQ_CAMPOS_MANUTENCAO_TAREFA)
  bool PossuiApontamentoTarefa() const { return !m_ListaApontamentoTarefa.IsEmpty(); }
  const CZQDadosBDD_Registro* GetApontamentoTarefa() const {
    return PossuiApontamentoTarefa() ? &m_ListaApontamentoTarefa[0] : nullptr;
  }
  bool GetApontamentoTarefa(CZQDadosBDD_Registro*& registro) {
    registro = PossuiApontamentoTarefa() ? &m_ListaApontamentoTarefa[0] : nullptr;
    return registro != nullptr;
  }
  void SetApontamentoTarefa(const CZQDadosBDD_Registro* registro) {
    m_ListaApontamentoTarefa.RemoveAll();
    if (registro) m_ListaApontamentoTarefa.Add(*registro);
  }
  CZQDadosBDD_Registro* IncluiApontamentoTarefa() {
    m_ListaApontamentoTarefa.RemoveAll();
    m_ListaApontamentoTarefa.Add(CZQDadosBDD_Registro());
    return &m_ListaApontamentoTarefa[0];
  }
  void RemoveApontamentoTarefa() { m_ListaApontamentoTarefa.RemoveAll(); }
};

#define ZQ_CAMPOS_MANUTENCAO_COMPONENTE(F)               \
  F(Linha, std::uint32_t, zq::kKey)                      \
  F(ProdutoServico, _REG_POSICAO_PRODUTOPS, 0)           \
  F(TipoProdutoServico, std::uint8_t, 0)                 \
  F(QtdRequisitada, tagCY, 0)                            \
  F(QtdAtendida, tagCY, 0)                               \
  F(QtdConsumida, tagCY, 0)                              \
  F(Complemento, CString, 0)                             \
  F(PonteiroTarefaOrigem, std::uint32_t, 0)              \
  F(ChaveRequisicaoInterna, std::uint32_t, 0)            \
  F(TipoRI, std::uint8_t, 0)

// A material, equipment or service line; TipoProdutoServico 'S' marks a service.
class CZQDadosMM_ManutencaoComponente : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_ManutencaoComponente, "manutencao_componente", ZQ_CAMPOS_MANUTENCAO_COMPONENTE)
};

#define ZQ_CAMPOS_MANUTENCAO_APONTAMENTO(F)   \
  F(Linha, std::uint32_t, zq::kKey)           \
  F(DataHoraInicial, REG_ZQDMAHMSUTC, 0)      \
  F(DataHoraFinal, REG_ZQDMAHMSUTC, 0)        \
  F(PonteiroTecnico, std::uint32_t, 0)        \
  F(PonteiroTarefa, std::uint32_t, 0)         \
  F(Observacao, CString, 0)

// A work-time appointment: who worked on which task of the order, from when to when.
class CZQDadosMM_ManutencaoApontamento : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_ManutencaoApontamento, "manutencao_apontamento", ZQ_CAMPOS_MANUTENCAO_APONTAMENTO)
};

#define ZQ_CAMPOS_MANUTENCAO(F)                                                  \
  F(Registro, std::uint32_t, zq::kKey)                                           \
  F(Dmc, REG_ZQDMC, zq::kSearchable)                                             \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)                                          \
  F(PonteiroRecurso, std::uint32_t, zq::kSearchable)                             \
  F(TipoManutencao, std::uint8_t, 0)                                             \
  F(PonteiroPlano, std::uint32_t, zq::kSearchable)                               \
  F(PonteiroDisciplina, std::uint32_t, zq::kSearchable)                          \
  F(Descricao, CString, 0)                                                       \
  F(PonteiroRequisitante, std::uint32_t, zq::kSearchable)                        \
  F(PonteiroPrioridade, std::uint32_t, zq::kSearchable)                          \
  F(PonteiroTecnico, std::uint32_t, zq::kSearchable)                             \
  F(OrigemZProducaoApontamento, bool, 0)                                         \
  F(PonteiroFilial, std::uint16_t, 0)                                            \
  F(Situacao, std::uint8_t, zq::kSearchable)                                     \
  F(PonteiroSituacao, std::uint32_t, zq::kSearchable)                            \
  F(DataHoraEmissao, REG_ZQDMAHMSUTC, 0)                                         \
  F(DmaHmsPrevInicio, REG_ZQDMAHMSUTC, 0)                                        \
  F(DataHoraInicio, REG_ZQDMAHMSUTC, 0)                                          \
  F(DataHoraNovaProgramacao, REG_ZQDMAHMSUTC, 0)                                 \
  F(DataHoraFim, REG_ZQDMAHMSUTC, 0)                                             \
  F(ContadorPonteiroUnMedida, std::uint32_t, 0)                                  \
  F(ContadorNumeroDigitos, std::uint8_t, 0)                                      \
  F(ContadorProdutoServico, CString, 0)                                          \
  F(TempoPrevisto, tagCY, 0)                                                     \
  F(TempoPrevistoEmHoras, tagCY, 0)                                              \
  F(TempoDuracao, tagCY, 0)                                                      \
  F(ContadorEncerramento, tagCY, 0)                                              \
  F(ListaTarefa, CZQVector<CZQDadosMM_ManutencaoTarefa>, 0)                      \
  F(ListaMaterial, CZQVector<CZQDadosMM_ManutencaoComponente>, 0)                \
  F(ListaEquipamento, CZQVector<CZQDadosMM_ManutencaoComponente>, 0)             \
  F(ListaServico, CZQVector<CZQDadosMM_ManutencaoComponente>, 0)                 \
  F(ListaApontamento, CZQVector<CZQDadosMM_ManutencaoApontamento>, 0)

class CZQDadosMM_Manutencao : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Manutencao, "manutencao", ZQ_CAMPOS_MANUTENCAO)
  ZQ_ACESSO_LISTA(Tarefa, CZQDadosMM_ManutencaoTarefa)
  ZQ_ACESSO_LISTA(Material, CZQDadosMM_ManutencaoComponente)
  ZQ_ACESSO_LISTA(Equipamento, CZQDadosMM_ManutencaoComponente)
  ZQ_ACESSO_LISTA(Servico, CZQDadosMM_ManutencaoComponente)
  ZQ_ACESSO_LISTA(Apontamento, CZQDadosMM_ManutencaoApontamento)
};

#define ZQ_CRITERIOS_MANUTENCAO(C)                         \
  C(Dmc, REG_ZQDMC, zq::Match::kIgual)                     \
  C(PonteiroRecurso, std::uint32_t, zq::Match::kIgual)     \
  C(PonteiroPlano, std::uint32_t, zq::Match::kIgual)       \
  C(PonteiroTecnico, std::uint32_t, zq::Match::kIgual)     \
  C(Situacao, std::uint8_t, zq::Match::kIgual)             \
  C(PonteiroSituacao, std::uint32_t, zq::Match::kIgual)

// SetSituacaoManutencao(mask) keeps orders whose single-bit situation is one of the mask's bits
// (103: every situation but closed and cancelled); 0 leaves the situation free.
// The order search spans every branch and period whatever SetTodasFiliais and
// SetTodosPeriodos say; callers that must see them all still say so, and the flags are kept.
class CZQDadosMM_FiltroManutencao : public zq::Filtro<CZQDadosMM_Manutencao> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_MANUTENCAO)
  void SetSituacaoManutencao(unsigned char mascara) { m_mascaraSituacao = mascara; }
  unsigned char GetSituacaoManutencao() const { return m_mascaraSituacao; }
  // The screens' names for the technician, plan and status-entry criteria.
  void SetValorUnicoTecnico(std::uint32_t tecnico) { SetPonteiroTecnico(tecnico); }
  void SetValorUnicoPlanoManutencao(std::uint32_t plano) { SetPonteiroPlano(plano); }
  void SetValorUnicoSituacao(std::uint32_t situacao) { SetPonteiroSituacao(situacao); }
  void SetTodasFiliais(unsigned char todas) { m_todasFiliais = todas; }
  void SetTodosPeriodos(unsigned char todos) { m_todosPeriodos = todos; }
  unsigned char GetTodasFiliais() const { return m_todasFiliais; }
  unsigned char GetTodosPeriodos() const { return m_todosPeriodos; }

 private:
  unsigned char m_mascaraSituacao = 0;
  unsigned char m_todasFiliais = 0;
  unsigned char m_todosPeriodos = 0;
};
