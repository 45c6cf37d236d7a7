#include "platform/access/ZQAcessoManutencao.h"

#include <algorithm>
#include <set>

#include "platform/types/Cp1252.h"
#include "platform/records/ZQDadosDF_Recurso.h"
#include "platform/system/ZQRelogio.h"
#include "platform/access/ZQResultados.h"

namespace {
template <class Registro>
zq::Predicate Igual(const char* campo, zq::Value valor) {
  return zq::Predicate{static_cast<std::size_t>(Registro::SchemaEstatico().Find(campo)), zq::Match::kIgual,
                       std::move(valor)};
}

// Whether a technician passes the filter's active/inactive conditions.
bool PassaAtivo(const CZQDadosMM_FiltroTecnico& filtro, const CZQDadosMM_Tecnico& t) {
  if (filtro.GetAtivo() && !filtro.GetInativo()) return t.GetInativo() == 0;
  if (filtro.GetInativo() && !filtro.GetAtivo()) return t.GetInativo() != 0;
  return true;
}
}  // namespace

long CZQAcessoManutencao::LeManutencao(const REG_ZQDMC& dmc, CZQDadosMM_Manutencao* destino, unsigned short) {
  return LePrimeiro("LeManutencao",
                    {Igual<CZQDadosMM_Manutencao>("Dmc", zq::FieldTraits<REG_ZQDMC>::ToValue(dmc))}, destino);
}

long CZQAcessoManutencao::LeLancamentoGastos(const REG_ZQDMC& dmc, CZQDadosMM_LancamentoGastos* destino,
                                             unsigned short) {
  return LePrimeiro("LeLancamentoGastos",
                    {Igual<CZQDadosMM_LancamentoGastos>("Dmc", zq::FieldTraits<REG_ZQDMC>::ToValue(dmc))}, destino);
}

long CZQAcessoManutencao::BuscaPonteirosManutencao(const CZQDadosMM_FiltroManutencao& filtro, CZQArrayDmc& chaves) {
  chaves.RemoveAll();
  if (long hr = Entra("BuscaPonteirosManutencao")) return hr;
  const auto leituras = Leituras();
  const zq::RecordSchema& schema = CZQDadosMM_Manutencao::SchemaEstatico();
  const std::vector<zq::Predicate> predicados = filtro.Predicados();
  std::vector<std::uint32_t> registros;
  const unsigned mascara = filtro.GetSituacaoManutencao();
  // One indexed search per situation bit, rather than reading every order to test its bits.
  for (unsigned bit = 1; bit <= 0x80; bit <<= 1) {
    if (mascara != 0 && !(mascara & bit)) continue;
    std::vector<zq::Predicate> p = predicados;
    if (mascara != 0) p.push_back(Igual<CZQDadosMM_Manutencao>("Situacao", std::int64_t{bit}));
    std::vector<std::uint32_t> achados;
    if (zq::Status st = Motor().Search(schema, p, &achados); !st.ok()) return Falha(st);
    registros.insert(registros.end(), achados.begin(), achados.end());
    if (mascara == 0) break;
  }
  return ChavesMovimento<CZQDadosMM_Manutencao>(std::move(registros), chaves);
}

long CZQAcessoManutencao::BuscaPonteirosLancamentoGastos(const CZQDadosMM_FiltroLancamentoGastos& filtro,
                                                         CZQArrayDmc& chaves) {
  chaves.RemoveAll();
  if (long hr = Entra("BuscaPonteirosLancamentoGastos")) return hr;
  const auto leituras = Leituras();
  std::vector<std::uint32_t> registros;
  if (zq::Status st = Motor().Search(CZQDadosMM_LancamentoGastos::SchemaEstatico(), filtro.Predicados(), &registros);
      !st.ok())
    return Falha(st);
  return ChavesMovimento<CZQDadosMM_LancamentoGastos>(std::move(registros), chaves);
}

template <class Movimento>
long CZQAcessoManutencao::ChavesMovimento(std::vector<std::uint32_t> registros, CZQArrayDmc& chaves) {
  std::sort(registros.begin(), registros.end());
  for (std::uint32_t registro : registros) {
    Movimento movimento;
    if (zq::Status st = Motor().Read(registro, &movimento); !st.ok()) {
      chaves.RemoveAll();
      return Falha(st);
    }
    chaves.Add(movimento.GetDmc());
  }
  return 0;
}

long CZQAcessoManutencao::LeManutencoes(int quantidade, const CZQArrayDmc& chaves,
                                        CZQVector<CZQDadosMM_Manutencao>& manutencoes, unsigned short) {
  manutencoes.RemoveAll();
  const auto leituras = Leituras();
  for (int i = 0; i < quantidade && i < chaves.GetSize(); ++i) {
    CZQDadosMM_Manutencao ordem;
    if (long hr = LePrimeiro("LeManutencoes", {Igual<CZQDadosMM_Manutencao>(
                                                   "Dmc", zq::FieldTraits<REG_ZQDMC>::ToValue(chaves[i]))},
                             &ordem))
      return hr;
    manutencoes.Add(ordem);
  }
  return 0;
}

long CZQAcessoManutencao::LeMestre(CZQDadosMM_Mestre* destino, unsigned short) {
  return Le("LeMestre", CZQDadosMM_Mestre::kChaveUnica, destino);
}

long CZQAcessoManutencao::BuscaPonteirosTecnico(const CZQDadosMM_FiltroTecnico& filtro, CZQArrayPonteiros& ponteiros) {
  ponteiros.RemoveAll();
  if (long hr = Entra("BuscaPonteirosTecnico")) return hr;
  const auto leituras = Leituras();
  const zq::RecordSchema& schema = CZQDadosMM_Tecnico::SchemaEstatico();
  std::vector<zq::Predicate> predicados = filtro.Predicados();
  if (filtro.GetValorUnicoFilial() && !filtro.GetTodasFiliais())
    predicados.push_back(Igual<CZQDadosMM_Tecnico>("PonteiroFilial", std::int64_t{*filtro.GetValorUnicoFilial()}));
  // The discipline is found through the list's items, so no technician is read for it.
  if (const std::uint32_t disciplina = filtro.GetValorUnicoDisciplina()) {
    zq::Predicate p = Igual<CZQDadosMM_Tecnico>("ListaDisciplina", std::int64_t{disciplina});
    p.item = static_cast<std::size_t>(CZQDadosMM_TecnicoDisciplina::SchemaEstatico().Find("PonteiroDisciplina"));
    predicados.push_back(std::move(p));
  }
  std::vector<std::uint32_t> chaves;
  zq::Status st;
  if (filtro.GetTodosDescendentes() && filtro.GetPonteiroPai()) {
    // Every level below the parent: walk the tree, then apply the other criteria.
    const auto iPai = static_cast<std::size_t>(schema.Find("PonteiroPai"));
    std::vector<zq::Predicate> outros;
    for (const auto& p : predicados)
      if (p.field != iPai) outros.push_back(p);
    std::vector<std::uint32_t> aceitos;
    if (!(st = Motor().Search(schema, outros, &aceitos)).ok()) return Falha(st);
    const std::set<std::uint32_t> aceitaveis(aceitos.begin(), aceitos.end());
    std::set<std::uint32_t> vistos{*filtro.GetPonteiroPai()};
    std::vector<std::uint32_t> pilha{*filtro.GetPonteiroPai()};
    while (!pilha.empty()) {
      const std::uint32_t pai = pilha.back();
      pilha.pop_back();
      std::vector<std::uint32_t> filhos;
      st = Motor().Search(schema, {zq::Predicate{iPai, zq::Match::kIgual, std::int64_t{pai}}}, &filhos);
      if (!st.ok()) return Falha(st);
      for (auto it = filhos.rbegin(); it != filhos.rend(); ++it)
        if (vistos.insert(*it).second) pilha.push_back(*it);
      for (std::uint32_t f : filhos)
        if (aceitaveis.count(f) && std::find(chaves.begin(), chaves.end(), f) == chaves.end()) chaves.push_back(f);
    }
  } else if (!(st = Motor().Search(schema, predicados, &chaves)).ok()) {
    return Falha(st);
  }
  // Inativo is not searchable and "not 0" is no equality: only then is each technician read.
  const bool porAtivo = filtro.GetAtivo() != filtro.GetInativo();
  for (std::uint32_t chave : chaves) {
    if (porAtivo) {
      CZQDadosMM_Tecnico tecnico;
      if (!(st = Motor().Read(chave, &tecnico)).ok()) return Falha(st);
      if (!PassaAtivo(filtro, tecnico)) continue;
    }
    ponteiros.Add(chave);
  }
  return 0;
}

long CZQAcessoManutencao::PertenceGrupoDisciplina(unsigned long grupo, unsigned long disciplina, bool& pertence) {
  pertence = false;
  if (long hr = Entra("PertenceGrupoDisciplina")) return hr;
  const auto raiz = static_cast<std::uint32_t>(grupo);
  if (raiz == 0 || disciplina > 0xFFFFFFFFul) return 0;
  CZQDadosMM_Disciplina lida;
  zq::Status st = Motor().Read(raiz, &lida);
  if (!st.ok()) return Falha(st);
  // Up from the discipline to the root: the ancestors are few, the group's subtree may be the
  // whole tree. A cycle in stored data is cut where it closes.
  std::set<std::uint32_t> vistos;
  for (auto chave = static_cast<std::uint32_t>(disciplina); chave != 0 && vistos.insert(chave).second;
       chave = lida.GetPonteiroPai()) {
    if (chave == raiz) {
      pertence = true;
      return 0;
    }
    st = Motor().Read(chave, &lida);
    if (st.hr == ZQ_E_NAO_ENCONTRADO) return 0;
    if (!st.ok()) return Falha(st);
  }
  return 0;
}

long CZQAcessoManutencao::LeTecnicos(int quantidade, const CZQArrayPonteiros& ponteiros,
                                     CZQVector<CZQDadosMM_Tecnico>& tecnicos, unsigned short) {
  tecnicos.RemoveAll();
  const auto leituras = Leituras();
  for (int i = 0; i < quantidade && i < ponteiros.GetSize(); ++i) {
    CZQDadosMM_Tecnico t;
    if (long hr = Le("LeTecnicos", ponteiros[i], &t)) {
      tecnicos.RemoveAll();
      return hr;
    }
    tecnicos.Add(t);
  }
  return 0;
}

long CZQAcessoManutencao::BuscaPonteirosPlano(const CZQDadosMM_FiltroPlano& filtro, CZQArrayPonteiros& ponteiros) {
  ponteiros.RemoveAll();
  if (long hr = Entra("BuscaPonteirosPlano")) return hr;
  const auto leituras = Leituras();
  std::vector<std::uint32_t> planos;
  zq::Status st = Motor().Search(CZQDadosMM_Plano::SchemaEstatico(), filtro.Predicados(), &planos);
  if (!st.ok()) return Falha(st);
  for (std::uint32_t chave : planos) {
    if (filtro.GetAtivo()) {
      CZQDadosMM_Plano plano;
      if (!(st = Motor().Read(chave, &plano)).ok()) return Falha(st);
      if (plano.GetInativo()) continue;
    }
    if (filtro.GetAtivoRecurso()) {
      bool temRecursoAtivo = false;
      if (long hr = TemRecursoAtivo(chave, temRecursoAtivo)) return hr;
      if (!temRecursoAtivo) continue;
    }
    ponteiros.Add(chave);
  }
  return 0;
}

// The plan's links, found by plan, until one leads to an active resource: a plan costs a search
// and usually a read or two, instead of every link of the company being read for each search.
long CZQAcessoManutencao::TemRecursoAtivo(std::uint32_t plano, bool& tem) {
  using L = CZQDadosDF_RecursoPlanoManutencao;
  tem = false;
  std::vector<std::uint32_t> links;
  zq::Status st = Motor().Search(L::SchemaEstatico(), {Igual<L>("PonteiroPlano", std::int64_t{plano})}, &links);
  if (!st.ok()) return Falha(st);
  for (std::uint32_t chave : links) {
    L link;
    if (!(st = Motor().Read(chave, &link)).ok()) return Falha(st);
    if (link.GetInativo()) continue;
    CZQDadosDF_Recurso recurso;
    st = Motor().Read(link.GetPonteiroRecurso(), &recurso);
    if (st.hr == ZQ_E_NAO_ENCONTRADO) continue;  // a link to a resource since deleted
    if (!st.ok()) return Falha(st);
    if (!recurso.GetInativo()) {
      tem = true;
      return 0;
    }
  }
  return 0;
}

long CZQAcessoManutencao::AtualizaDataHoraEnvioAlerta(unsigned long ponteiroPlano, int indice) {
  if (long hr = Entra("AtualizaDataHoraEnvioAlerta")) return hr;
  // The longer wait is for this write only; the engine's own comes back for everyone else.
  zq::StorageEngine& motor = Motor();
  const long esperaAnterior = m_esperaEnvioAlertaMs > 0 ? motor.SetLockWait(m_esperaEnvioAlertaMs) : 0;
  // The read and the write in one transaction, so a save of the plan by another program cannot
  // fall between them and be overwritten; inside the caller's transaction, in that one.
  zq::Status st = m_semGravarEnvioAlerta ? zq::Status{} : motor.Begin();
  const bool propria = st.ok() && !m_semGravarEnvioAlerta;
  if (st.hr == ZQ_E_TRANSACAO) st = {};
  CZQDadosMM_Plano plano;
  if (st.ok()) st = motor.Read(static_cast<std::uint32_t>(ponteiroPlano), &plano);
  if (st.ok() && (indice < 0 || indice >= plano.GetQuantidadeAlerta()))
    st = {ZQ_E_NAO_ENCONTRADO, "Alerta " + std::to_string(indice) + " inexistente no plano " +
                                   std::to_string(ponteiroPlano)};
  if (st.ok() && !m_semGravarEnvioAlerta) {
    plano.GetRefAlerta(indice).SetDmaHmsUltimoEnvio(CZQRelogio::Agora());
    st = motor.Update(plano);
  }
  if (propria) {
    if (st.ok()) st = motor.Commit();
    else motor.Rollback();
  }
  if (m_esperaEnvioAlertaMs > 0) motor.SetLockWait(esperaAnterior);
  return st.ok() ? 0 : Falha(st);
}
