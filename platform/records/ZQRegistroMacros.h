// Declaring a record once. A record lists its fields in an X-macro, one F(Name, Type, Flags) per
// field, and puts ZQ_CORPO_REGISTRO in its class body:
//
//   #define ZQ_CAMPOS_PRIORIDADE(F)
//     F(Posicao, std::uint32_t, zq::kKey)
//     F(Codigo, CString, zq::kSearchable)
//     F(Descricao, CString, 0)
//   class CZQDadosMM_Prioridade : public TZQBaseParaDados {
//     ZQ_CORPO_REGISTRO(CZQDadosMM_Prioridade, "prioridade", ZQ_CAMPOS_PRIORIDADE)
//   };
//
// That yields GetCodigo()/SetCodigo(), value copy and ==, the schema, and field access by index
// for engines, JSON and fixtures. Exactly one field must carry zq::kKey.
#pragma once

#include <iterator>
#include <memory>

#include "platform/records/FieldTraits.h"
#include "platform/routines/ZQBaseParaDados.h"

namespace zq {
template <std::size_t N>
constexpr std::size_t KeyIndex(const FieldInfo (&f)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (f[i].flags & kKey) return i;
  return N;
}
}  // namespace zq

#define ZQ_REG_MEMBRO(nome, tipo, flags) tipo m_##nome{};
#define ZQ_REG_ACESSO(nome, tipo, flags)                 \
  const tipo& Get##nome() const { return m_##nome; }    \
  void Set##nome(const tipo& valor) { m_##nome = valor; }
#define ZQ_REG_INFO(nome, tipo, flags) {#nome, ::zq::FieldTraits<tipo>::kType, (flags), ::zq::FieldTraits<tipo>::kChild},
#define ZQ_REG_GET(nome, tipo, flags) \
  if (i == n++) return ::zq::FieldTraits<tipo>::ToValue(m_##nome);
#define ZQ_REG_SET(nome, tipo, flags) \
  if (i == n++) return ::zq::FieldTraits<tipo>::FromValue(v, &m_##nome);

#define ZQ_CORPO_REGISTRO(Classe, tipoNome, CAMPOS)                                         \
 public:                                                                                    \
  CAMPOS(ZQ_REG_ACESSO)                                                                     \
  static const ::zq::RecordSchema& SchemaEstatico() {                                       \
    static constexpr ::zq::FieldInfo kCampos[] = {CAMPOS(ZQ_REG_INFO)};                     \
    static_assert(::zq::KeyIndex(kCampos) < std::size(kCampos), "record without key");     \
    static constexpr ::zq::RecordSchema kSchema{                                            \
        tipoNome, kCampos, std::size(kCampos), ::zq::KeyIndex(kCampos),                     \
        +[]() -> std::unique_ptr<TZQBaseParaDados> { return std::make_unique<Classe>(); }}; \
    return kSchema;                                                                         \
  }                                                                                         \
  const ::zq::RecordSchema& Schema() const override { return SchemaEstatico(); }            \
  ::zq::Value GetValor(std::size_t i) const override {                                      \
    std::size_t n = 0;                                                                      \
    CAMPOS(ZQ_REG_GET)                                                                      \
    return std::int64_t{0};                                                                 \
  }                                                                                         \
  bool SetValor(std::size_t i, const ::zq::Value& v) override {                             \
    std::size_t n = 0;                                                                      \
    CAMPOS(ZQ_REG_SET)                                                                      \
    return false;                                                                           \
  }                                                                                         \
  std::unique_ptr<TZQBaseParaDados> Clone() const override {                                \
    return std::make_unique<Classe>(*this);                                                 \
  }                                                                                         \
  [[maybe_unused]] friend bool operator==(const Classe&, const Classe&) = default;          \
                                                                                            \
 private:                                                                                   \
  CAMPOS(ZQ_REG_MEMBRO)                                                                     \
                                                                                            \
 public:

// Accessors of a list field declared as F(ListaNome, CZQVector<T>, 0), placed after
// ZQ_CORPO_REGISTRO: GetQuantidadeNome(), GetRefNome(i), GetConstRefNome(i), AdicionaNome(item),
// RemoveNome(i), RemoveTodosNome(). An index out of range throws std::out_of_range.
#define ZQ_ACESSO_LISTA(Nome, T)                                                    \
  int GetQuantidade##Nome() const { return m_Lista##Nome.GetSize(); }              \
  T& GetRef##Nome(int i) { return m_Lista##Nome.GetAt(i); }                        \
  const T& GetRef##Nome(int i) const { return m_Lista##Nome.GetAt(i); }            \
  const T& GetConstRef##Nome(int i) const { return m_Lista##Nome.GetAt(i); }       \
  int Adiciona##Nome(const T& item) { return m_Lista##Nome.Add(item); }            \
  void Remove##Nome(int i) { m_Lista##Nome.RemoveAt(i); }                         \
  void RemoveTodos##Nome() { m_Lista##Nome.RemoveAll(); }
