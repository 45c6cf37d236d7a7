// CZQDadosMM_Tecnico: a technician, an entry of a classification tree (groups gather technicians),
// with the disciplines the technician works in and the suite user linked to it (0 none).
// PonteiroFilial 0 means any branch. Its filter finds analytic technicians of one discipline
// (SetValorUnicoDisciplina with SetTipoClassificacaoAnalitico(1)), or of one user in one branch
// (SetPonteiroUsuario, SetValorUnicoFilial with SetTodasFiliais(0)).
#pragma once

#include <cstdint>

#include "platform/records/Filtro.h"
#include "platform/records/ZQRegistroMacros.h"

#define ZQ_CAMPOS_TECNICO_DISCIPLINA(F)    \
  F(Linha, std::uint32_t, zq::kKey)        \
  F(PonteiroDisciplina, std::uint32_t, 0)

class CZQDadosMM_TecnicoDisciplina : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_TecnicoDisciplina, "tecnico_disciplina", ZQ_CAMPOS_TECNICO_DISCIPLINA)
};

#define ZQ_CAMPOS_TECNICO_EMAIL(F)         \
  F(Linha, std::uint32_t, zq::kKey)        \
  F(Endereco, CString, 0)

class CZQDadosMM_TecnicoEmail : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_TecnicoEmail, "tecnico_email", ZQ_CAMPOS_TECNICO_EMAIL)
};

#define ZQ_CAMPOS_TECNICO(F)                                         \
  F(Ponteiro, std::uint32_t, zq::kKey)                               \
  F(PonteiroPai, std::uint32_t, zq::kSearchable)                     \
  F(Codigo, CString, zq::kSearchable)                                \
  F(Nome, CString, 0)                                                \
  F(TipoClassificacao, std::uint8_t, zq::kSearchable)                \
  F(Inativo, std::uint8_t, 0)                                        \
  F(PonteiroFilial, std::uint16_t, zq::kSearchable)                  \
  F(PonteiroUsuario, std::uint16_t, zq::kSearchable)                 \
  F(ListaDisciplina, CZQVector<CZQDadosMM_TecnicoDisciplina>, zq::kSearchable) \
  F(ListaEmail, CZQVector<CZQDadosMM_TecnicoEmail>, 0)               \
  F(DmaHmsGravacao, REG_ZQDMAHMSUTC, 0)

class CZQDadosMM_Tecnico : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosMM_Tecnico, "tecnico", ZQ_CAMPOS_TECNICO)
  ZQ_ACESSO_LISTA(Disciplina, CZQDadosMM_TecnicoDisciplina)
  // The technician's e-mail addresses.
  int GetQuantidadeEmail() const { return m_ListaEmail.GetSize(); }
  const CString& GetConstRefEmail(int m) const { return m_ListaEmail.GetAt(m).GetEndereco(); }
  void AdicionaEmail(const CString& endereco) {
    CZQDadosMM_TecnicoEmail e;
    e.SetEndereco(endereco);
    m_ListaEmail.Add(e);
  }
};

// ValorUnicoDisciplina is not a field of the technician: the access object searches the
// technicians whose discipline list holds it (the list's items are indexed).
#define ZQ_CRITERIOS_TECNICO(C)                          \
  C(Codigo, CString, zq::Match::kIgual)                  \
  C(PonteiroPai, std::uint32_t, zq::Match::kIgual)       \
  C(TipoClassificacao, std::uint8_t, zq::Match::kIgual)  \
  C(PonteiroUsuario, std::uint16_t, zq::Match::kIgual)

class CZQDadosMM_FiltroTecnico : public zq::Filtro<CZQDadosMM_Tecnico> {
  ZQ_CORPO_FILTRO(ZQ_CRITERIOS_TECNICO)
  // 1 asks for analytic entries only (classification type 1).
  void SetTipoClassificacaoAnalitico(unsigned char analitico) {
    if (analitico) SetTipoClassificacao(1);
  }
  void SetValorUnicoDisciplina(std::uint32_t disciplina) { m_disciplina = disciplina; }
  std::uint32_t GetValorUnicoDisciplina() const { return m_disciplina; }
  // The discipline is always matched exactly (a group does not stand for its members); the
  // flag is kept for callers that state it.
  void SetFiltrarDisciplinaExata(unsigned char exata) { m_disciplinaExata = exata; }
  unsigned char GetFiltrarDisciplinaExata() const { return m_disciplinaExata; }
  // With SetPonteiroPai: every entry below that parent at any depth, not only its children.
  void SetTodosDescendentes(unsigned char todos) { m_todosDescendentes = todos; }
  unsigned char GetTodosDescendentes() const { return m_todosDescendentes; }
  // SetAtivo(1) keeps active technicians; SetInativo(1) inactive ones.
  void SetAtivo(unsigned char ativo) { m_ativo = ativo; }
  void SetInativo(unsigned char inativo) { m_inativo = inativo; }
  unsigned char GetAtivo() const { return m_ativo; }
  unsigned char GetInativo() const { return m_inativo; }
  // The branch searched: with SetTodasFiliais(0), only technicians of SetValorUnicoFilial's
  // branch. A filter that names no branch keeps every branch, whatever SetTodasFiliais says.
  void SetValorUnicoFilial(std::uint16_t filial) { m_filial = filial; }
  void SetTodasFiliais(unsigned char todas) { m_todasFiliais = todas; }
  const std::optional<std::uint16_t>& GetValorUnicoFilial() const { return m_filial; }
  unsigned char GetTodasFiliais() const { return m_todasFiliais; }

 private:
  std::optional<std::uint16_t> m_filial;
  unsigned char m_todasFiliais = 0;
  std::uint32_t m_disciplina = 0;
  unsigned char m_disciplinaExata = 0;
  unsigned char m_todosDescendentes = 0;
  unsigned char m_ativo = 0;
  unsigned char m_inativo = 0;
};
