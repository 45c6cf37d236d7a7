// The extra-information server's link: the values that one record (its key, under one header's
// process) holds for the header's fields. One stored link per header and record key; its values
// travel inside it, in the order they were written.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/records/IEHeader.h"

// One value of a field; Id names the header's field. BinaryData is opaque to the server.
#define ZQ_CAMPOS_IE_VALOR(F)                   \
  F(Id, IE_E_CAMPO, zq::kKey)                   \
  F(TextoLivre, CString, 0)                     \
  F(BinaryData, std::vector<std::uint8_t>, 0)

class CZQDadosDF_IEVinculoDados : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosDF_IEVinculoDados, "ie_vinculo_dados", ZQ_CAMPOS_IE_VALOR)
};

#define ZQ_CAMPOS_IE_VINCULO(F)                                \
  F(Posicao, std::uint32_t, zq::kKey)                          \
  F(PosHeader, std::uint32_t, zq::kSearchable)                 \
  F(ChaveOrigem, std::uint32_t, zq::kSearchable)               \
  F(ListaDados, CZQVector<CZQDadosDF_IEVinculoDados>, 0)

// PosHeader and ChaveOrigem name the link (header position, record key); Posicao is where the
// server keeps it, 0 for a link not stored.
class CIEVinculo : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CIEVinculo, "ie_vinculo", ZQ_CAMPOS_IE_VINCULO)
  ZQ_ACESSO_LISTA(Dados, CZQDadosDF_IEVinculoDados)
  void Limpa() { *this = CIEVinculo(); }
  // Set by a failed BuscaVinculoByOrigem: the values are not the record's, so GravaCamposVinculo
  // refuses them (a copy from a record that could not be read must not overwrite the target).
  // Cleared by a successful search and by Limpa.
  bool EhIncompleto() const { return m_incompleto; }
  void SetIncompleto(bool incompleto) { m_incompleto = incompleto; }

 private:
  bool m_incompleto = false;
};

// Which link to search: the header's position, then the record's key.
struct IE_ORIGEM_VINCULO_PS {
  std::uint32_t ulPosHeader = 0;
  std::uint32_t ulChave = 0;
};
static_assert(sizeof(IE_ORIGEM_VINCULO_PS) == 8);
