#include "platform/access/ZQAcessoBase.h"

#include <algorithm>
#include <set>

#include "platform/types/Cp1252.h"
#include "platform/access/ZQResultados.h"

CZQAcessoBase::CZQAcessoBase(std::shared_ptr<CZQConexaoEmpresa> conexao, CZQAcessoBase** ultimo)
    : m_conexao(std::move(conexao)), m_ultimo(ultimo) {}

long CZQAcessoBase::Falha(long hr, const std::string& texto) {
  m_erro.SetErro(hr, 0, 0, "%s", texto.c_str());
  return hr;
}

long CZQAcessoBase::Entra(const char* operacao) {
  if (m_ultimo) *m_ultimo = this;
  m_erro.LimpaErro();
  if (!m_conexao) return Falha(ZQ_E_NAO_INICIALIZADO, std::string("Acesso a dados sem empresa inicializada: ") + operacao);
  if (auto falha = m_conexao->Falhas().Check(operacao)) return Falha(falha->hr, falha->message);
  return 0;
}

long CZQAcessoBase::Le(const char* operacao, unsigned long chave, TZQBaseParaDados* destino) {
  if (long hr = Entra(operacao)) return hr;
  if (!destino) return Falha(ZQ_E_ARGUMENTO, std::string(operacao) + ": registro de destino nulo");
  if (chave > 0xFFFFFFFFul) return Falha(ZQ_E_NAO_ENCONTRADO, std::string(operacao) + ": chave fora do intervalo"_cp);
  const zq::Status st = m_conexao->Motor().Read(static_cast<std::uint32_t>(chave), destino);
  if (!st.ok()) return Falha(st.hr, st.message);
  if (m_aoLer) m_aoLer(operacao, *destino);
  return 0;
}

long CZQAcessoBase::LePrimeiro(const char* operacao, const std::vector<zq::Predicate>& predicados,
                               TZQBaseParaDados* destino) {
  if (long hr = Entra(operacao)) return hr;
  if (!destino) return Falha(ZQ_E_ARGUMENTO, std::string(operacao) + ": registro de destino nulo");
  std::vector<std::uint32_t> chaves;
  zq::Status st = Motor().Search(destino->Schema(), predicados, &chaves);
  if (!st.ok()) return Falha(st);
  if (chaves.empty()) return Falha(ZQ_E_NAO_ENCONTRADO, std::string(operacao) + ": registro não encontrado"_cp);
  st = Motor().Read(chaves.front(), destino);
  return st.ok() ? 0 : Falha(st);
}

long CZQAcessoBase::Busca(const char* operacao, const zq::RecordSchema& schema,
                          const std::vector<zq::Predicate>& predicados, CZQArrayPonteiros& ponteiros) {
  ponteiros.RemoveAll();
  if (long hr = Entra(operacao)) return hr;
  std::vector<std::uint32_t> chaves;
  const zq::Status st = m_conexao->Motor().Search(schema, predicados, &chaves);
  if (!st.ok()) return Falha(st.hr, st.message);
  for (std::uint32_t c : chaves) ponteiros.Add(c);
  return 0;
}

long CZQAcessoBase::BuscaClassificacao(const char* operacao, const TZQBaseParaDados& modelo,
                                       const std::vector<zq::Predicate>& predicados,
                                       CZQVector<CZQDadosDF_Classificacao>& lista,
                                       const zq::CamposArvore& nomes) {
  lista.RemoveAll();
  if (long hr = Entra(operacao)) return hr;
  const auto leituras = Leituras();
  const zq::RecordSchema& schema = modelo.Schema();
  const zq::RecordSchema& saida = CZQDadosDF_Classificacao::SchemaEstatico();
  int campos[5];
  for (std::size_t i = 0; i < saida.count; ++i)
    if ((campos[i] = schema.Find(nomes[i])) < 0)
      return Falha(ZQ_E_ARGUMENTO, std::string(operacao) + ": registro sem árvore de classificação"_cp);
  const auto iPai = static_cast<std::size_t>(campos[1]);

  zq::StorageEngine& motor = m_conexao->Motor();
  // A parent criterion names the root itself; the other criteria select roots.
  std::vector<std::uint32_t> raizes;
  std::vector<zq::Predicate> outros;
  bool temPai = false;
  for (const auto& p : predicados) {
    if (p.field == iPai) {
      temPai = true;
      if (const auto* n = std::get_if<std::int64_t>(&p.value)) raizes.push_back(static_cast<std::uint32_t>(*n));
    } else {
      outros.push_back(p);
    }
  }
  if (!temPai || !outros.empty()) {
    std::vector<std::uint32_t> achadas;
    const zq::Status st = motor.Search(schema, outros, &achadas);
    if (!st.ok()) return Falha(st.hr, st.message);
    if (!temPai)
      raizes = achadas;
    else
      std::erase_if(raizes, [&](std::uint32_t r) { return std::find(achadas.begin(), achadas.end(), r) == achadas.end(); });
  }

  std::set<std::uint32_t> vistos;
  std::vector<std::uint32_t> pilha(raizes.rbegin(), raizes.rend());
  while (!pilha.empty()) {
    const std::uint32_t chave = pilha.back();
    pilha.pop_back();
    if (chave == 0 || !vistos.insert(chave).second) continue;
    auto lido = modelo.Clone();
    zq::Status st = motor.Read(chave, lido.get());
    if (!st.ok()) return Falha(st.hr, st.message);
    CZQDadosDF_Classificacao entrada;
    for (std::size_t i = 0; i < saida.count; ++i)
      entrada.SetValor(i, lido->GetValor(static_cast<std::size_t>(campos[i])));
    lista.Add(entrada);
    std::vector<std::uint32_t> filhos;
    st = motor.Search(schema, {zq::Predicate{iPai, zq::Match::kIgual, std::int64_t{chave}}}, &filhos);
    if (!st.ok()) return Falha(st.hr, st.message);
    pilha.insert(pilha.end(), filhos.rbegin(), filhos.rend());
  }
  return 0;
}

long CZQAcessoBase::Grava(TZQBaseParaDados* registro) {
  if (long hr = Entra("Grava")) return hr;
  if (!registro) return Falha(ZQ_E_ARGUMENTO, "Grava: registro nulo");
  const zq::Status st = registro->GetChave() == 0 ? m_conexao->Motor().Insert(registro)
                                                  : m_conexao->Motor().Update(*registro);
  return st.ok() ? 0 : Falha(st.hr, st.message);
}

long CZQAcessoBase::Exclui(const zq::RecordSchema& schema, unsigned long chave) {
  if (long hr = Entra("Exclui")) return hr;
  const zq::Status st = m_conexao->Motor().Delete(schema, static_cast<std::uint32_t>(chave));
  return st.ok() ? 0 : Falha(st.hr, st.message);
}

long CZQAcessoBase::IniciaTransacao() {
  if (long hr = Entra("IniciaTransacao")) return hr;
  const zq::Status st = m_conexao->Motor().Begin();
  return st.ok() ? 0 : Falha(st.hr, st.message);
}

long CZQAcessoBase::ConfirmaTransacao() {
  if (long hr = Entra("ConfirmaTransacao")) return hr;
  const zq::Status st = m_conexao->Motor().Commit();
  return st.ok() ? 0 : Falha(st.hr, st.message);
}

long CZQAcessoBase::DesfazTransacao() {
  if (long hr = Entra("DesfazTransacao")) return hr;
  const zq::Status st = m_conexao->Motor().Rollback();
  return st.ok() ? 0 : Falha(st.hr, st.message);
}
