// The extra-information server's header: for one process (one kind of record of a module) the
// user-defined extra fields that records of that kind may carry. A process has at most one
// header in use; the server answers the first one found. An inactive header is kept for its
// stored values but takes no new ones.
//
// Values of IE_E_PROCESSO (module number x 100 + a sequence), with the names hosts accept and
// the record kind whose keys the process's links carry:
//   2001 recurso            resources (base module)
//   2801 manutencao         maintenance orders
//   2802 plano              maintenance plans
//   2803 tarefa             tasks
//   2804 tecnico            technicians
//   2805 lancamento_gastos  expense entries
// IE_E_CAMPO numbers a header's fields, 1 to 99; 0 is no field.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/records/ZQRegistroMacros.h"

// P(symbol, value, name, record kind)
#define ZQ_IE_PROCESSOS(P)                                                     \
  P(IE_PROCESSO_DF_RECURSO, 2001, "recurso", "recurso")                        \
  P(IE_PROCESSO_MM_MANUTENCAO, 2801, "manutencao", "manutencao")               \
  P(IE_PROCESSO_MM_PLANO, 2802, "plano", "plano")                              \
  P(IE_PROCESSO_MM_TAREFA, 2803, "tarefa", "tarefa")                           \
  P(IE_PROCESSO_MM_TECNICO, 2804, "tecnico", "tecnico")                        \
  P(IE_PROCESSO_MM_LANCAMENTO_GASTOS, 2805, "lancamento_gastos", "lancamento_gastos")

enum IE_E_PROCESSO : std::uint32_t {
  IE_PROCESSO_NENHUM = 0,
#define ZQ_IE_PROCESSO_ENUM(simbolo, valor, nome, tipo) simbolo = valor,
  ZQ_IE_PROCESSOS(ZQ_IE_PROCESSO_ENUM)
#undef ZQ_IE_PROCESSO_ENUM
};

enum IE_E_CAMPO : std::uint32_t {
  IE_CAMPO_NENHUM = 0,
  IE_CAMPO_PRIMEIRO = 1,
  IE_CAMPO_ULTIMO = 99,
};

namespace zq {
template <> struct FieldTraits<IE_E_PROCESSO> : IntegerTraits<IE_E_PROCESSO, FieldType::kUInt32> {};
template <> struct FieldTraits<IE_E_CAMPO> : IntegerTraits<IE_E_CAMPO, FieldType::kUInt32> {};

struct ProcessoIE {
  IE_E_PROCESSO valor;
  const char* nome;
  const char* tipo;  // the kind of the records whose keys the links carry
};

// The processes above, in that order.
inline constexpr ProcessoIE kProcessosIE[] = {
#define ZQ_IE_PROCESSO_ITEM(simbolo, valor, nome, tipo) {simbolo, nome, tipo},
    ZQ_IE_PROCESSOS(ZQ_IE_PROCESSO_ITEM)
#undef ZQ_IE_PROCESSO_ITEM
};
}  // namespace zq

// The header search's filter, 16 bytes as the server takes it: the filter type (only
// IE_FILTRO_HEADER_POR_PROCESSO is known), the process, and 8 bytes that must be zero.
constexpr std::uint32_t IE_FILTRO_HEADER_POR_PROCESSO = 1;
struct IE_HEADER_FILTRO_PS {
  std::uint32_t ulTipoFiltro = IE_FILTRO_HEADER_POR_PROCESSO;
  IE_E_PROCESSO processo = IE_PROCESSO_NENHUM;
  std::uint32_t ulReservado[2] = {0, 0};
};
static_assert(sizeof(IE_HEADER_FILTRO_PS) == 16);

// Positions answered by a search, as the server hands them: pPtrs[0] to pPtrs[count - 1],
// ascending; pPtrs is null when count is 0. Owns them, hence not copyable.
class CIEArrayPonteiros {
 public:
  CIEArrayPonteiros() = default;
  CIEArrayPonteiros(const CIEArrayPonteiros&) = delete;
  CIEArrayPonteiros& operator=(const CIEArrayPonteiros&) = delete;

  void Define(std::vector<unsigned long> posicoes) {
    m_posicoes = std::move(posicoes);
    pPtrs = m_posicoes.empty() ? nullptr : m_posicoes.data();
    count = static_cast<unsigned long>(m_posicoes.size());
  }

  const unsigned long* pPtrs = nullptr;
  unsigned long count = 0;

 private:
  std::vector<unsigned long> m_posicoes;
};

#define ZQ_CAMPOS_IE_HEADER(F)                  \
  F(Posicao, std::uint32_t, zq::kKey)           \
  F(Processo, IE_E_PROCESSO, zq::kSearchable)   \
  F(Descricao, CString, 0)                      \
  F(Inativo, std::uint8_t, 0)

// GetPosicao() is 0 for a header not loaded (Limpa leaves it so).
class CIEHeader : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CIEHeader, "ie_header", ZQ_CAMPOS_IE_HEADER)
  bool IsInativo() const { return GetInativo() != 0; }
  void Limpa() { *this = CIEHeader(); }
};
