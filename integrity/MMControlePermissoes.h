// CMMControlePermissoes: turns the current user's numbered permissions into the flags of one
// screen or routine of the module. The screens never read the numbers themselves; they ask
// GetPermissoes with a MMControlePermissao value and get a CMMDadosPermissaoUsuario.
//
// Lifecycle: create, initialise (company, user, session) like any routine, then ask any number
// of screens; every call reads the permissions afresh (nothing is cached, so a grant made
// meanwhile counts at the next call). The destructor finalises the routine. One caller at a
// time.
//
// Failures: before initialisation GetPermissoes answers 0 with the record cleared and the error
// record clear. A permission read that fails counts as not granted; its error stays in this
// routine's error record (a later successful read does not clear it) and the remaining flags
// are still asked, so the answer comes from what could be read.
//
// The screens and which permission number of which module fills which flag are declared once,
// in MM_TELAS_PERMISSAO below; the enumeration, the descriptions for hosts and the calls all
// come from that table, and each row's calls are made in the order written.
#pragma once

#include <cstddef>
#include <span>

#include "framework/MMBaseParaRotinas.h"
#include "integrity/MMDadosPermissaoUsuario.h"
#include "platform/records/ZQModulos.h"

// The groups of screens: G(Nome, texto).
#define MM_GRUPOS_PERMISSAO(G)             \
  G(Configuracao, "configuração"_cp)       \
  G(Cadastro, "cadastro")                  \
  G(Movimento, "movimento")                \
  G(Relatorio, "relatório"_cp)             \
  G(Especifica, "específica"_cp)

// T(valor, NOME, Grupo, calls...), one P(Flag, permission number, module) per call: the call
// fills SetTemPermissao<Flag> with whether the user holds that number in module ZQ_MODULO_<module>
// (MM = 28, this module; ES = 3, stock). Flags a row does not name stay 0; the group and import
// flags are never filled here.
//
// Names. The suite numbers its screens without naming them here, so most values carry their
// group and their place in it (MM_TELA_CADASTRO_1 is the first register screen, value 2). Four
// are named for what they evidently are: 1 is the group of its own that only configures; 11 is
// the maintenance order (the only screen that cancels and closes, and permission 13, its close
// flag, is the one the order handler asks before saving a closed order); 27 and 28 consult the
// stock module's balance, in total and per branch; 29 alters the fiscal-document information of
// an item. The register screens ask the include permission twice (include, then alter) before
// consult, and never fill delete.
#define MM_TELAS_PERMISSAO(T, P)                                                                         \
  T(1, MM_TELA_CONFIGURACAO, Configuracao, P(Configurar, 20, MM))                                         \
  T(2, MM_TELA_CADASTRO_1, Cadastro, P(Incluir, 2, MM) P(Alterar, 2, MM) P(Consultar, 1, MM))             \
  T(3, MM_TELA_CADASTRO_2, Cadastro, P(Incluir, 5, MM) P(Alterar, 5, MM) P(Consultar, 4, MM))             \
  T(4, MM_TELA_CADASTRO_3, Cadastro, P(Incluir, 31, MM) P(Alterar, 31, MM) P(Consultar, 30, MM))          \
  T(5, MM_TELA_CADASTRO_4, Cadastro, P(Incluir, 28, MM) P(Alterar, 28, MM) P(Consultar, 27, MM))          \
  T(6, MM_TELA_CADASTRO_5, Cadastro, P(Incluir, 8, MM) P(Alterar, 8, MM) P(Consultar, 7, MM))             \
  T(7, MM_TELA_CADASTRO_6, Cadastro, P(Incluir, 26, MM) P(Alterar, 26, MM) P(Consultar, 25, MM))          \
  T(8, MM_TELA_CADASTRO_7, Cadastro, P(Incluir, 32, MM) P(Alterar, 32, MM) P(Consultar, 33, MM))          \
  T(9, MM_TELA_CADASTRO_8, Cadastro, P(Incluir, 40, MM) P(Alterar, 40, MM) P(Consultar, 41, MM))          \
  T(10, MM_TELA_CADASTRO_9, Cadastro, P(Incluir, 45, MM) P(Alterar, 45, MM) P(Consultar, 44, MM))         \
  T(11, MM_TELA_MANUTENCAO, Movimento,                                                                    \
    P(Incluir, 11, MM) P(Alterar, 11, MM) P(Consultar, 12, MM) P(Cancelar, 11, MM) P(Encerrar, 13, MM))   \
  T(12, MM_TELA_MOVIMENTO_2, Movimento,                                                                   \
    P(Incluir, 22, MM) P(Alterar, 22, MM) P(Consultar, 23, MM) P(Excluir, 24, MM))                        \
  T(13, MM_TELA_MOVIMENTO_3, Movimento,                                                                   \
    P(Incluir, 34, MM) P(Alterar, 34, MM) P(Consultar, 35, MM) P(Excluir, 36, MM))                        \
  T(14, MM_TELA_RELATORIO_1, Relatorio, P(Configurar, 14, MM))                                            \
  T(15, MM_TELA_RELATORIO_2, Relatorio, P(Emitir, 15, MM))                                                \
  T(16, MM_TELA_RELATORIO_3, Relatorio, P(Emitir, 21, MM))                                                \
  T(17, MM_TELA_RELATORIO_4, Relatorio, P(Emitir, 16, MM))                                                \
  T(18, MM_TELA_RELATORIO_5, Relatorio, P(Emitir, 17, MM))                                                \
  T(19, MM_TELA_RELATORIO_6, Relatorio, P(Emitir, 18, MM))                                                \
  T(20, MM_TELA_RELATORIO_7, Relatorio, P(Emitir, 29, MM))                                                \
  T(21, MM_TELA_RELATORIO_8, Relatorio, P(Emitir, 19, MM))                                                \
  T(22, MM_TELA_RELATORIO_9, Relatorio, P(Emitir, 42, MM))                                                \
  T(23, MM_TELA_RELATORIO_10, Relatorio, P(Emitir, 43, MM))                                               \
  T(24, MM_TELA_RELATORIO_11, Relatorio, P(Emitir, 38, MM))                                               \
  T(25, MM_TELA_RELATORIO_12, Relatorio, P(Emitir, 39, MM))                                               \
  T(26, MM_TELA_RELATORIO_13, Relatorio, P(Emitir, 46, MM))                                               \
  T(27, MM_TELA_SALDO_ESTOQUE, Especifica, P(ConsultarSaldo, 7, ES))                                      \
  T(28, MM_TELA_SALDO_ESTOQUE_FILIAL, Especifica, P(ConsultarSaldoFilial, 31, ES))                        \
  T(29, MM_TELA_INF_DOC_FISCAL_ITEM, Especifica, P(AlterarItemInfDocFical, 37, MM))

class CMMControlePermissoes : public CMMBaseParaRotinas {
 public:
#define MM_TELA_ENUM(valor, nome, grupo, ...) nome = valor,
  enum MMControlePermissao : int { MM_TELAS_PERMISSAO(MM_TELA_ENUM, MM_TELA_IGNORA) };
#undef MM_TELA_ENUM

#define MM_GRUPO_ENUM(nome, texto) nome,
  enum class GrupoPermissao { MM_GRUPOS_PERMISSAO(MM_GRUPO_ENUM) };
#undef MM_GRUPO_ENUM

  CMMControlePermissoes() = default;
  ~CMMControlePermissoes() override;

  // Fills `dados` (when not null) with the screen's flags for the current user and answers 1 when
  // at least one flag is granted, else 0. The record is cleared first in every case; a value
  // outside 1..29 fills nothing and answers 0.
  int GetPermissoes(MMControlePermissao tela, CMMDadosPermissaoUsuario* dados);

  // The screens in value order, for hosts: value, enumeration name, group.
  struct DescricaoTela {
    MMControlePermissao valor;
    const char* nome;  // "MM_TELA_CADASTRO_1"
    GrupoPermissao grupo;
  };
  static std::span<const DescricaoTela> GetTelas();
  // The group's name in Portuguese (Windows-1252), "" for a value outside the enumeration.
  static const char* GetNomeGrupo(GrupoPermissao grupo);

 private:
  // Whether the current user holds the numbered permission in the module; 0 when the read
  // fails, with the access object's error copied into this routine's error record.
  int GetPermissao(unsigned short permissao, _ZQModulo modulo);

  void GetPermissoesCadastros(const MMControlePermissao& tela, CMMDadosPermissaoUsuario& dados);
  void GetPermissoesMovimentos(const MMControlePermissao& tela, CMMDadosPermissaoUsuario& dados);
  void GetPermissoesRelatorios(const MMControlePermissao& tela, CMMDadosPermissaoUsuario& dados);
  void GetPermissoesEspecificas(const MMControlePermissao& tela, CMMDadosPermissaoUsuario& dados);
  // Makes the calls of the screen's row when the screen belongs to `grupo`.
  void PreenchePermissoes(GrupoPermissao grupo, const MMControlePermissao& tela, CMMDadosPermissaoUsuario& dados);
};
