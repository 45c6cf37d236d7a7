// What the register handlers really share: small checks that each register calls in its own
// order, and the rules of the registers kept exactly like the discipline tree (disciplines and
// expense types: one algorithm, two sets of field codes). Every register's order of checks stays
// in its own handler; only the steps live here.
//
// Each helper answers in the handler's error record, like the handler's own steps, and leaves it
// as it is when it finds nothing.
#pragma once

#include <cstdint>

#include "framework/MMTrataDados.h"
#include "platform/access/ZQAcessoManutencao.h"

namespace mmcadastro {

// Copies the maintenance access object's last error into the handler's record: what every
// register does when a read or search fails. Names no field.
CZQDadosDF_Erro& CopiaErroAcesso(CMMTrataDados& handler);

// Whether a code search answered an entry other than `proprio` (the entry being saved; 0 for a
// new one, which therefore is refused by any stored entry with its code).
bool OutroComCodigo(const CZQArrayPonteiros& ponteiros, unsigned long proprio);

// Whether two last-save stamps name the same second (the low 38 bits of the packed values).
bool MesmoSegundo(const REG_ZQDMAHMSUTC& a, const REG_ZQDMAHMSUTC& b);

// The text without white space at either end.
CString Aparado(CString texto);

// Whether the subtree walk of a stored group compares the new parent with the group itself (its
// first entry) or only with the entries beneath it.
enum class Raiz : bool { kFora, kDentro };

// The tree rules of a stored group entry, given its subtree (the group first): a group with
// entries beneath it made analytic (`novoTipo` 1) is message 98; a new parent that lies in the
// subtree (the group itself counted only with Raiz::kDentro) is message 99. Both name `campo`.
//
//   group 7 with children 8 and 9 (subtree 7, 8, 9): new parent 8 or 9 gives 99 either way;
//   new parent 7 gives 99 only with Raiz::kDentro; new parent 0 is never looked at.
CZQDadosDF_Erro& VerificaSubarvore(CMMTrataDados& handler, const CZQVector<CZQDadosDF_Classificacao>& subarvore,
                                   std::uint8_t novoTipo, unsigned long novoPai, Raiz raiz, long campo);

// Field codes of a register kept like the discipline tree.
struct CamposArvore {
  long codigo;         // code missing on a new entry, code in use, stale record
  long codigoGravado;  // code missing on a stored entry
  long nome;           // name missing
  long proprioPai;     // entry named as its own parent
  long arvore;         // group made analytic, parent inside its own subtree
};

// The discipline tree's rules, for any register kept like it. `Cadastro` gives the record and
// filter types, the register's three access operations and its field codes:
//   struct Cadastro {
//     using Registro = ...; using Filtro = ...;
//     static constexpr auto kBusca = &CZQAcessoManutencao::BuscaPonteiros...;
//     static constexpr auto kLe = &CZQAcessoManutencao::Le...;
//     static constexpr auto kClassificacao = &CZQAcessoManutencao::BuscaClassificacao...;
//     static constexpr CamposArvore kCampos{...};
//   };
template <class Cadastro>
struct ArvoreSimples {
  using Registro = typename Cadastro::Registro;
  static constexpr const CamposArvore& c = Cadastro::kCampos;

  // The fields of one entry: code given (1 new / 2 stored), code not used by another entry
  // (10), name given (4), not its own parent (99).
  static CZQDadosDF_Erro& Consistir(CMMTrataDados& h, const Registro& e) {
    h.LimpaErro();
    if (e.GetCodigo().IsEmpty())
      return e.GetPonteiro() == 0 ? h.SetAviso(MODULO_MM, 1, c.codigo) : h.SetAviso(MODULO_MM, 2, c.codigoGravado);
    typename Cadastro::Filtro filtro;
    filtro.SetCodigo(e.GetCodigo());
    CZQArrayPonteiros ponteiros;
    if ((h.GetAcessoManutencao()->*Cadastro::kBusca)(filtro, ponteiros) != 0) return CopiaErroAcesso(h);
    if (OutroComCodigo(ponteiros, e.GetPonteiro())) return h.SetAviso(MODULO_MM, 10, c.codigo);
    if (e.GetNome().IsEmpty()) return h.SetAviso(MODULO_MM, 4, c.nome);
    if (e.GetPonteiro() != 0 && e.GetPonteiro() == e.GetPonteiroPai()) return h.SetAviso(MODULO_MM, 99, c.proprioPai);
    return h;
  }

  // What a stored entry gets after its field check: the stored copy unchanged since it was read
  // (3), then, when it was a group, the subtree rules with the group itself left out.
  // `validaRegistroAtualizado` is the handler's own stamp check.
  template <class Valida>
  static CZQDadosDF_Erro& VerificaGravado(CMMTrataDados& h, const Registro& r, Valida validaRegistroAtualizado) {
    Registro gravado;
    if ((h.GetAcessoManutencao()->*Cadastro::kLe)(r.GetPonteiro(), &gravado, 0) != 0) return CopiaErroAcesso(h);
    if (!validaRegistroAtualizado(gravado.GetDmaHmsGravacao(), r.GetDmaHmsGravacao(), c.codigo).EhErroNenhum())
      return h;
    if (gravado.GetTipoClassificacao() == 1) return h;
    typename Cadastro::Filtro filtro;
    filtro.SetPonteiroPai(gravado.GetPonteiro());
    CZQVector<CZQDadosDF_Classificacao> subarvore;
    if ((h.GetAcessoManutencao()->*Cadastro::kClassificacao)(filtro, subarvore) != 0) return CopiaErroAcesso(h);
    return VerificaSubarvore(h, subarvore, r.GetTipoClassificacao(), r.GetPonteiroPai(), Raiz::kFora, c.arvore);
  }
};

}  // namespace mmcadastro
