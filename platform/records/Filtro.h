// Filters of the suite (CZQDadosMM_Filtro*): criteria set through setters, each on one field of
// the filtered record. A filter declares its criteria once, one C(Name, Type, Match) per
// criterion, where Name is a field of the record:
//
//   #define ZQ_CRITERIOS_PRIORIDADE(C) C(Codigo, CString, zq::Match::kCodigo)
//   class CZQDadosMM_FiltroPrioridade : public zq::Filtro<CZQDadosMM_Prioridade> {
//     ZQ_CORPO_FILTRO(ZQ_CRITERIOS_PRIORIDADE)
//   };
//
// Criteria left unset do not restrict. A kCodigo criterion matches codes that start with the
// given text while partial-code matching is on (the default), and the whole code only after
// SetAtivaVerificacaoCodigoParcial(0). Texts compare byte for byte: "A1" and "a1" differ.
#pragma once

#include <optional>
#include <vector>

#include "platform/records/FieldTraits.h"

namespace zq {

enum class Match : unsigned char { kIgual, kPrefixo, kCodigo };

// `item` names no field of the child records: the predicate is on the field's own value.
inline constexpr std::size_t kSemItem = static_cast<std::size_t>(-1);

struct Predicate {
  std::size_t field;
  Match match;  // kIgual or kPrefixo once resolved
  Value value;
  // On a kList field, a field of its child records: the predicate holds when some item of the
  // list has that field matching (an empty list never does).
  std::size_t item = kSemItem;
};

template <class Registro>
class Filtro {
 public:
  using RegistroFiltrado = Registro;
  virtual ~Filtro() = default;

  void SetAtivaVerificacaoCodigoParcial(const unsigned char& ativa) { m_codigoParcial = ativa; }
  unsigned char GetAtivaVerificacaoCodigoParcial() const { return m_codigoParcial; }

  // The criteria that are set, resolved against the record's schema.
  virtual std::vector<Predicate> Predicados() const = 0;

 protected:
  void Adiciona(std::vector<Predicate>& out, const char* campo, Match m, Value v) const {
    const int i = Registro::SchemaEstatico().Find(campo);
    if (i < 0) return;  // a criterion naming no field is caught by the filter tests
    if (m == Match::kCodigo) m = m_codigoParcial ? Match::kPrefixo : Match::kIgual;
    out.push_back(Predicate{static_cast<std::size_t>(i), m, std::move(v)});
  }

 private:
  unsigned char m_codigoParcial = 1;
};

}  // namespace zq

#define ZQ_FILTRO_MEMBRO(nome, tipo, match) std::optional<tipo> m_##nome;
#define ZQ_FILTRO_ACESSO(nome, tipo, match)                          \
  void Set##nome(const tipo& valor) { m_##nome = valor; }           \
  const std::optional<tipo>& Get##nome() const { return m_##nome; }
#define ZQ_FILTRO_PRED(nome, tipo, match) \
  if (m_##nome) Adiciona(out, #nome, match, ::zq::FieldTraits<tipo>::ToValue(*m_##nome));
#define ZQ_FILTRO_NOME(nome, tipo, match) #nome,

#define ZQ_CORPO_FILTRO(CRITERIOS)                                      \
 public:                                                                \
  CRITERIOS(ZQ_FILTRO_ACESSO)                                           \
  std::vector<::zq::Predicate> Predicados() const override {            \
    std::vector<::zq::Predicate> out;                                   \
    CRITERIOS(ZQ_FILTRO_PRED)                                           \
    return out;                                                         \
  }                                                                     \
  static std::vector<const char*> NomesCriterios() {                    \
    return {CRITERIOS(ZQ_FILTRO_NOME)};                                 \
  }                                                                     \
                                                                        \
 private:                                                               \
  CRITERIOS(ZQ_FILTRO_MEMBRO)                                           \
                                                                        \
 public:
