// CMMDadosPermissaoUsuario: what one screen or routine of the module lets the current user do,
// as CMMControlePermissoes::GetPermissoes fills it. Thirteen flags, each an int used as a
// boolean (0 = not allowed), in the order MM_PERMISSOES_USUARIO declares them.
//
// Every flag is declared once below and that list gives the getters and setters, clearing,
// copying, GetTemAlgumaPermissao and the record's reflection (so hosts write it with
// zq::ParaJson: {"temPermissaoConfigurar": 0, ...}). The reflection has no key field: the
// record is an answer, never stored.
//
// Construction, copying and destruction go through Limpar and Copiar, so a copy never keeps
// flags of the record it overwrites. A plain value; one thread at a time.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/routines/ZQBaseParaDados.h"
#include "platform/types/Cp1252.h"

// F(Nome, sigla, descricao): the flag's accessors are GetTemPermissao<Nome>/SetTemPermissao<Nome>;
// the abbreviation and the Portuguese description (Windows-1252) are for hosts that print them.
// "AlterarItemInfDocFical" keeps the suite's spelling: callers know the accessors by it.
#define MM_PERMISSOES_USUARIO(F)                                                    \
  F(Configurar, "CFG", "configurar")                                                \
  F(Incluir, "INC", "incluir")                                                      \
  F(Alterar, "ALT", "alterar")                                                      \
  F(Excluir, "EXC", "excluir")                                                      \
  F(Cancelar, "CAN", "cancelar")                                                    \
  F(Consultar, "CON", "consultar")                                                  \
  F(Emitir, "EMI", "emitir (relatórios)"_cp)                                           \
  F(Encerrar, "ENC", "encerrar")                                                    \
  F(Agrupar, "AGR", "agrupar")                                                      \
  F(Importar, "IMP", "importar")                                                    \
  F(ConsultarSaldo, "SLD", "consultar saldo")                                       \
  F(ConsultarSaldoFilial, "SLF", "consultar saldo por filial")                      \
  F(AlterarItemInfDocFical, "IDF", "alterar informações fiscais do item"_cp)

class CMMDadosPermissaoUsuario : public TZQBaseParaDados {
 public:
  CMMDadosPermissaoUsuario() { Limpar(); }
  CMMDadosPermissaoUsuario(const CMMDadosPermissaoUsuario& outro);
  CMMDadosPermissaoUsuario& operator=(const CMMDadosPermissaoUsuario& outro);
  ~CMMDadosPermissaoUsuario() override;

#define MM_PERMISSAO_ACESSO(nome, sigla, descricao)                              \
  int GetTemPermissao##nome() const { return m_temPermissao##nome; }             \
  CMMDadosPermissaoUsuario& SetTemPermissao##nome(const int& valor) {            \
    m_temPermissao##nome = valor;                                                \
    return *this;                                                                \
  }
  MM_PERMISSOES_USUARIO(MM_PERMISSAO_ACESSO)
#undef MM_PERMISSAO_ACESSO

  // 1 when any of the thirteen flags is non-zero, else 0.
  int GetTemAlgumaPermissao() const;

  // The flags by position (0 .. kQuantidade-1, declared order), for hosts that walk them.
  static constexpr std::size_t kQuantidade = 0
#define MM_PERMISSAO_CONTA(nome, sigla, descricao) +1
      MM_PERMISSOES_USUARIO(MM_PERMISSAO_CONTA);
#undef MM_PERMISSAO_CONTA
  struct DescricaoPermissao {
    const char* nome;       // "Configurar"
    const char* sigla;      // "CFG"
    const char* descricao;  // "configurar"
  };
  static const DescricaoPermissao& GetDescricao(std::size_t i);

  const zq::RecordSchema& Schema() const override { return SchemaEstatico(); }
  static const zq::RecordSchema& SchemaEstatico();
  zq::Value GetValor(std::size_t i) const override;
  bool SetValor(std::size_t i, const zq::Value& v) override;
  std::unique_ptr<TZQBaseParaDados> Clone() const override;

 protected:
  // Every flag to 0, then the base; the base first, then every flag of `origem` (which must be a
  // CMMDadosPermissaoUsuario; another class copies no flag).
  void OnLimpar() override;
  void OnCopiar(const TZQBaseParaDados& origem) override;

 private:
#define MM_PERMISSAO_MEMBRO(nome, sigla, descricao) int m_temPermissao##nome = 0;
  MM_PERMISSOES_USUARIO(MM_PERMISSAO_MEMBRO)
#undef MM_PERMISSAO_MEMBRO
};
