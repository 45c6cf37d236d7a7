#include "integrity/MMControleIntegridade.h"

#include "platform/types/Cp1252.h"
#include "platform/types/ZQDataTexto.h"

namespace {

constexpr _ZQModulo kModulo = ZQ_MODULO_MM;
constexpr std::uint8_t kGrupo = 2;  // the classification type of an entry that may have children

template <class Registro>
using Leitura = long (CZQAcessoManutencao::*)(unsigned long, Registro*, unsigned short);
template <class Filtro>
using Busca = long (CZQAcessoManutencao::*)(const Filtro&, CZQArrayPonteiros&);

// Every step below answers whether the check is over: a dependent was named, or a read or a
// search failed and its error was copied; either way the answer is in the routine's record.

template <class Dependente, class Entrada>
void Nomeia(CMMBaseParaRotinas& r, const char* formato, const Dependente& dependente, const Entrada& entrada) {
  r.SetAvisoPersonalizado(kModulo, 0, formato, dependente.GetCodigo().GetString(), dependente.GetNome().GetString(),
                          entrada.GetCodigo().GetString(), entrada.GetNome().GetString());
}

template <class Registro>
bool LeEntrada(CMMBaseParaRotinas& r, Leitura<Registro> le, std::uint32_t ponteiro, Registro* entrada) {
  CZQAcessoManutencao* mm = r.GetAcessoManutencao();
  if ((mm->*le)(ponteiro, entrada, 0) == 0) return false;
  r.SetErro(mm->GetErro());
  return true;
}

// A group's children, read in the order found; the first that names the entry as its parent is
// the dependent.
template <class Registro, class Filtro>
bool Filho(CMMBaseParaRotinas& r, const Registro& entrada, Busca<Filtro> busca, Leitura<Registro> le,
           const char* formato) {
  if (entrada.GetTipoClassificacao() != kGrupo) return false;
  CZQAcessoManutencao* mm = r.GetAcessoManutencao();
  Filtro filtro;
  filtro.SetPonteiroPai(entrada.GetPonteiro());
  CZQArrayPonteiros filhos;
  if ((mm->*busca)(filtro, filhos) != 0) {
    r.SetErro(mm->GetErro());
    return true;
  }
  for (int i = 0; i < filhos.GetSize(); ++i) {
    Registro filho;
    if ((mm->*le)(filhos[i], &filho, 0) != 0) {
      r.SetErro(mm->GetErro());
      return true;
    }
    if (filho.GetPonteiroPai() == entrada.GetPonteiro()) {
      Nomeia(r, formato, filho, entrada);
      return true;
    }
  }
  return false;
}

// One further dependency: `busca` fills the dependents' keys; only the first one found is read
// (with `le`) and named (by `nomeia`).
template <class Registro, class Chaves, class Busca, class Le, class Nomeador>
bool Dependente(CMMBaseParaRotinas& r, const CZQAcessoBase& acesso, Busca busca, Le le, Nomeador nomeia) {
  r.LimpaErro();
  Chaves chaves;
  if (busca(chaves) != 0) r.SetErro(acesso.GetErro());
  if (!r.EhErroNenhum()) return true;
  if (chaves.IsEmpty()) return false;
  Registro dependente;
  if (le(chaves[0], &dependente) != 0)
    r.SetErro(acesso.GetErro());
  else
    nomeia(dependente);
  return true;
}

// A register entry the maintenance access object reads by pointer (technicians, plans).
template <class Registro, class Filtro>
bool Cadastro(CMMBaseParaRotinas& r, const Filtro& filtro, Busca<Filtro> busca, Leitura<Registro> le, const char* formato,
              const CZQDadosMM_Disciplina& entrada) {
  CZQAcessoManutencao* mm = r.GetAcessoManutencao();
  return Dependente<Registro, CZQArrayPonteiros>(
      r, *mm, [&](CZQArrayPonteiros& p) { return (mm->*busca)(filtro, p); },
      [&](unsigned long p, Registro* d) { return (mm->*le)(p, d, 0); },
      [&](const Registro& d) { Nomeia(r, formato, d, entrada); });
}

// The orders the filter's criterion finds, in every branch and period.
bool Ordem(CMMBaseParaRotinas& r, CZQDadosMM_FiltroManutencao filtro, const char* formato, const CString& codigo,
           const CString& nome) {
  filtro.SetTodasFiliais(1);
  filtro.SetTodosPeriodos(1);
  CZQAcessoManutencao* mm = r.GetAcessoManutencao();
  return Dependente<CZQDadosMM_Manutencao, CZQArrayDmc>(
      r, *mm, [&](CZQArrayDmc& k) { return mm->BuscaPonteirosManutencao(filtro, k); },
      [&](const REG_ZQDMC& k, CZQDadosMM_Manutencao* o) { return mm->LeManutencao(k, o); },
      [&](const CZQDadosMM_Manutencao& o) {
        r.SetAvisoPersonalizado(kModulo, 0, formato, DmcToString(o.GetDmc(), 0).GetString(), codigo.GetString(),
                                nome.GetString());
      });
}

}  // namespace

CMMControleIntegridade::~CMMControleIntegridade() { Finaliza(); }

bool CMMControleIntegridade::VerificaRelacionamentoPonteiro(RegistroControleIntegridade registro,
                                                            std::uint32_t ponteiro) {
  LimpaErro();
  switch (registro) {
    case kDisciplina: ExisteRelacionamentoCadastroDisciplina(ponteiro); break;
    case kTecnico: ExisteRelacionamentoCadastroTecnico(ponteiro); break;
    case kPlano: ExisteRelacionamentoCadastroPlano(ponteiro); break;
    case kSituacaoManutencao: ExisteRelacionamentoCadastroSituacaoManutencao(ponteiro); break;
    case kTipoGasto: ExisteRelacionamentoCadastroTipoGasto(ponteiro); break;
  }
  return EhErroNenhum();
}

CZQDadosDF_Erro& CMMControleIntegridade::ExisteRelacionamentoCadastroDisciplina(std::uint32_t ponteiro) {
  using A = CZQAcessoManutencao;
  CZQDadosMM_Disciplina d;
  if (LeEntrada(*this, &A::LeDisciplina, ponteiro, &d) ||
      Filho(*this, d, &A::BuscaPonteirosDisciplina, &A::LeDisciplina,
            "Disciplina %s %s é dependente da disciplina %s %s"_cp))
    return *this;
  CZQDadosMM_FiltroTecnico tecnicos;
  tecnicos.SetValorUnicoDisciplina(ponteiro);
  tecnicos.SetFiltrarDisciplinaExata(1);
  tecnicos.SetTodasFiliais(1);
  if (Cadastro(*this, tecnicos, &A::BuscaPonteirosTecnico, &A::LeBufferTecnico,
               "Técnico %s %s é dependente da disciplina %s %s"_cp, d))
    return *this;
  CZQDadosMM_FiltroPlano planos;
  planos.SetValorUnicoDisciplina(ponteiro);
  Cadastro(*this, planos, &A::BuscaPonteirosPlano, &A::LeBufferPlano,
           "Plano de manutenção %s %s é dependente da disciplina %s %s"_cp, d);
  return *this;
}

CZQDadosDF_Erro& CMMControleIntegridade::ExisteRelacionamentoCadastroTecnico(std::uint32_t ponteiro) {
  using A = CZQAcessoManutencao;
  CZQDadosMM_Tecnico t;
  if (LeEntrada(*this, &A::LeTecnico, ponteiro, &t) ||
      Filho(*this, t, &A::BuscaPonteirosTecnico, &A::LeTecnico, "Técnico %s %s é dependente do técnico %s %s"_cp))
    return *this;
  CZQDadosMM_FiltroManutencao ordens;
  ordens.SetValorUnicoTecnico(ponteiro);
  Ordem(*this, ordens, "A manutenção %s é dependente do técnico %s %s"_cp, t.GetCodigo(), t.GetNome());
  return *this;
}

CZQDadosDF_Erro& CMMControleIntegridade::ExisteRelacionamentoCadastroPlano(std::uint32_t ponteiro) {
  using A = CZQAcessoManutencao;
  CZQDadosMM_Plano p;
  if (LeEntrada(*this, &A::LePlano, ponteiro, &p) ||
      Filho(*this, p, &A::BuscaPonteirosPlano, &A::LePlano, "Plano %s %s é dependente do Plano %s %s"_cp))
    return *this;
  // Only analytic resources stand on their own; a resource group's link means nothing here.
  CZQDadosDF_FiltroRecurso recursos;
  recursos.SetPonteiroPlanoManutencao(ponteiro);
  CZQDadosDF_FiltroClassificacao analiticos;
  analiticos.SetApenasAnalitico(1);
  recursos.SetFiltroClassificacao(analiticos);
  CZQAcessoEmpresarial* emp = GetAcessoEmpresarial();
  if (Dependente<CZQDadosDF_Recurso, CZQArrayPonteiros>(
          *this, *emp, [&](CZQArrayPonteiros& k) { return emp->BuscaPonteirosRecurso(recursos, k); },
          [&](unsigned long k, CZQDadosDF_Recurso* r) { return emp->LeRecurso(k, r, 1); },
          [&](const CZQDadosDF_Recurso& r) {
            SetAvisoPersonalizado(kModulo, 0, "O Recurso %s é dependente do plano %s %s"_cp,
                                  MMTextoPosicaoRecurso(r.GetPosicao()).GetString(), p.GetCodigo().GetString(),
                                  p.GetNome().GetString());
          }))
    return *this;
  CZQDadosMM_FiltroManutencao ordens;
  ordens.SetValorUnicoPlanoManutencao(ponteiro);
  Ordem(*this, ordens, "A manutenção %s é dependente do plano %s %s"_cp, p.GetCodigo(), p.GetNome());
  return *this;
}

CZQDadosDF_Erro& CMMControleIntegridade::ExisteRelacionamentoCadastroSituacaoManutencao(std::uint32_t ponteiro) {
  CZQDadosMM_Situacao s;
  if (LeEntrada(*this, &CZQAcessoManutencao::LeSituacao, ponteiro, &s)) return *this;
  CZQDadosMM_FiltroManutencao ordens;
  ordens.SetValorUnicoSituacao(ponteiro);
  Ordem(*this, ordens, "A manutenção %s é dependente da situação %s %s"_cp, s.GetCodigo(), s.GetDescricao());
  return *this;
}

CZQDadosDF_Erro& CMMControleIntegridade::ExisteRelacionamentoCadastroTipoGasto(std::uint32_t ponteiro) {
  using A = CZQAcessoManutencao;
  CZQDadosMM_TipoGasto g;
  if (LeEntrada(*this, &A::LeTipoGasto, ponteiro, &g) ||
      Filho(*this, g, &A::BuscaPonteirosTipoGasto, &A::LeTipoGasto,
            "Tipo de gasto %s %s é dependente do tipo de gasto %s %s"_cp))
    return *this;
  // Entries of every period; the search has no branch setting.
  CZQDadosMM_FiltroLancamentoGastos lancamentos;
  lancamentos.SetValorUnicoTipoGasto(ponteiro);
  lancamentos.SetTodosPeriodos(1);
  CZQAcessoManutencao* mm = GetAcessoManutencao();
  Dependente<CZQDadosMM_LancamentoGastos, CZQArrayDmc>(
      *this, *mm, [&](CZQArrayDmc& k) { return mm->BuscaPonteirosLancamentoGastos(lancamentos, k); },
      [&](const REG_ZQDMC& k, CZQDadosMM_LancamentoGastos* l) { return mm->LeLancamentoGastos(k, l); },
      [&](const CZQDadosMM_LancamentoGastos& l) {
        SetAvisoPersonalizado(kModulo, 0, "O lançamento de gastos %s é dependente do tipo de gasto %s - %s"_cp,
                              DmcToString(l.GetDmc(), 0).GetString(), g.GetCodigo().GetString(),
                              g.GetNome().GetString());
      });
  return *this;
}

CString MMTextoPosicaoRecurso(std::uint32_t posicao) {
  const std::uint32_t meses = posicao & 0xFFF;
  std::uint32_t mes = 0, ano = 0;
  if (meses != 0) {
    // Months counted from January 1848; a remainder of 0 is December of the year before.
    ano = 1848 + meses / 12;
    mes = meses % 12;
    if (mes == 0) {
      mes = 12;
      --ano;
    }
  }
  CString texto;
  texto.Format("%02u%02u-%06u", mes, ano % 100, posicao >> 12);
  return texto;
}
