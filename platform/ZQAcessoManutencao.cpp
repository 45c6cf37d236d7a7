#include "platform/ZQAcessoManutencao.h"

#include <algorithm>

#include "platform/Cp1252.h"
#include "platform/ZQResultados.h"

namespace {
template <class Registro>
zq::Predicate Igual(const char* campo, zq::Value valor) {
  return zq::Predicate{static_cast<std::size_t>(Registro::SchemaEstatico().Find(campo)), zq::Match::kIgual,
                       std::move(valor)};
}
}  // namespace

long CZQAcessoManutencao::LeManutencao(const REG_ZQDMC& dmc, CZQDadosMM_Manutencao* destino, unsigned short) {
  return LePrimeiro("LeManutencao",
                    {Igual<CZQDadosMM_Manutencao>("Dmc", zq::FieldTraits<REG_ZQDMC>::ToValue(dmc))}, destino);
}

long CZQAcessoManutencao::LeMestre(CZQDadosMM_Mestre* destino, unsigned short) {
  return Le("LeMestre", CZQDadosMM_Mestre::kChaveUnica, destino);
}

long CZQAcessoManutencao::BuscaPonteirosTecnico(const CZQDadosMM_FiltroTecnico& filtro, CZQArrayPonteiros& ponteiros) {
  ponteiros.RemoveAll();
  if (long hr = Entra("BuscaPonteirosTecnico")) return hr;
  std::vector<std::uint32_t> chaves;
  zq::Status st = Motor().Search(CZQDadosMM_Tecnico::SchemaEstatico(), filtro.Predicados(), &chaves);
  if (!st.ok()) return Falha(st);
  const std::uint32_t disciplina = filtro.GetValorUnicoDisciplina();
  for (std::uint32_t chave : chaves) {
    if (disciplina != 0) {
      CZQDadosMM_Tecnico tecnico;
      st = Motor().Read(chave, &tecnico);
      if (!st.ok()) return Falha(st);
      bool tem = false;
      for (int i = 0; i < tecnico.GetQuantidadeDisciplina() && !tem; ++i)
        tem = tecnico.GetConstRefDisciplina(i).GetPonteiroDisciplina() == disciplina;
      if (!tem) continue;
    }
    ponteiros.Add(chave);
  }
  return 0;
}

long CZQAcessoManutencao::PertenceGrupoDisciplina(unsigned long grupo, unsigned long disciplina, bool& pertence) {
  pertence = false;
  CZQDadosMM_FiltroDisciplina filtro;
  filtro.SetPonteiroPai(static_cast<std::uint32_t>(grupo));
  CZQVector<CZQDadosDF_Classificacao> arvore;
  if (long hr = BuscaClassificacao("PertenceGrupoDisciplina", CZQDadosMM_Disciplina(), filtro.Predicados(), arvore))
    return hr;
  pertence = std::any_of(arvore.begin(), arvore.end(),
                         [&](const CZQDadosDF_Classificacao& e) { return e.GetPonteiro() == disciplina; });
  return 0;
}
