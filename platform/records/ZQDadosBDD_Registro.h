// Configurable-field records: a configuration (CZQDadosBDD_Registro) is a list of fields
// (CZQDadosBDD_Campo), each with a description, a value and its flags. Stored configurations are
// keyed by their pointer and carry the activity they serve (TipoAtividade, 8 for task
// appointments).
#pragma once

#include <cstdint>

#include "platform/records/ZQRegistroMacros.h"

// A text of a configurable field.
class CZQDadosBDD_Texto {
 public:
  CZQDadosBDD_Texto() = default;
  explicit CZQDadosBDD_Texto(CString valor) : m_valor(std::move(valor)) {}
  bool TemValorInformado() const { return !CString(m_valor).Trim().IsEmpty(); }
  const CString& GetValorAsString() const { return m_valor; }

 private:
  CString m_valor;
};

#define ZQ_CAMPOS_BDD_CAMPO(F)            \
  F(Linha, std::uint32_t, zq::kKey)       \
  F(TextoDescricao, CString, 0)           \
  F(CampoObrigatorio, bool, 0)            \
  F(DesabilitarCampo, bool, 0)            \
  F(Valor, CString, 0)

class CZQDadosBDD_Campo : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosBDD_Campo, "bdd_campo", ZQ_CAMPOS_BDD_CAMPO)
  CZQDadosBDD_Texto GetDescricao() const { return CZQDadosBDD_Texto(GetTextoDescricao()); }
  bool TemValorInformado() const { return CZQDadosBDD_Texto(GetValor()).TemValorInformado(); }
};

#define ZQ_CAMPOS_BDD_REGISTRO(F)                      \
  F(Ponteiro, std::uint32_t, zq::kKey)                 \
  F(TipoAtividade, std::uint8_t, 0)                    \
  F(ListaCampos, CZQVector<CZQDadosBDD_Campo>, 0)

class CZQDadosBDD_Registro : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CZQDadosBDD_Registro, "bdd_registro", ZQ_CAMPOS_BDD_REGISTRO)
  ZQ_ACESSO_LISTA(Campos, CZQDadosBDD_Campo)
};

// Activity of the configurations of task appointments.
constexpr unsigned char BDD_ATV_MM_APONTAMENTO_TAREFA = 8;
