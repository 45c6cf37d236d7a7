// CZQAcessoBase: what every access object of the suite shares. Each public operation of an
// access object (LePrioridade, BuscaPonteirosPrioridade, ...) is one line over the generic
// operations here, so reading, searching, classification trees, writing, fault injection and
// error keeping are written once.
//
// Every operation returns a long result, 0 on success, and on failure keeps the error (result and
// readable text) as the object's last error, GetErro(). Before touching the engine each
// operation asks the company's fault injector, under the operation's public name.
//
// An access object of a routine that is not initialised has no connection: every operation
// answers ZQ_E_NAO_INICIALIZADO. Not thread-safe: one routine, one caller at a time.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/records/Filtro.h"
#include "platform/types/ZQArray.h"
#include "platform/records/ZQDadosDF_Classificacao.h"
#include "platform/records/ZQDadosDF_Erro.h"
#include "platform/storage/ZQEmpresas.h"
#include "platform/types/ZQVector.h"

class CZQAcessoBase {
 public:
  // `ultimo`, when given, is set to this object by every operation (GetUltimoAcesso).
  CZQAcessoBase(std::shared_ptr<CZQConexaoEmpresa> conexao, CZQAcessoBase** ultimo);
  virtual ~CZQAcessoBase() = default;
  CZQAcessoBase(const CZQAcessoBase&) = delete;
  CZQAcessoBase& operator=(const CZQAcessoBase&) = delete;

  const CZQDadosDF_Erro& GetErro() const { return m_erro; }
  bool EstaConectado() const { return m_conexao != nullptr; }

  // Told of each record a read by key (Le<Kind>, LeTecnicos) delivered,
  // with the operation's public name, in call order. Lets a host follow what a routine is
  // working on without changing it (the alert preview learns each mail's plan and technician
  // this way); none by default.
  using AoLer = std::function<void(const char* operacao, const TZQBaseParaDados& registro)>;
  void SetAoLer(AoLer aoLer) { m_aoLer = std::move(aoLer); }

  // Writes for hosts, fixtures and the alert routine's send-time update; the rules never write
  // a register or movement record. Key 0 inserts (the new key is written back), otherwise
  // replaces.
  long Grava(TZQBaseParaDados* registro);
  long Exclui(const zq::RecordSchema& schema, unsigned long chave);
  long IniciaTransacao();
  long ConfirmaTransacao();
  long DesfazTransacao();

 protected:
  // The record's class names the kind read.
  long Le(const char* operacao, unsigned long chave, TZQBaseParaDados* destino);
  // The record must be of the kind the operation reads (a wrong class answers ZQ_E_ARGUMENTO).
  long Busca(const char* operacao, const zq::RecordSchema& schema, const std::vector<zq::Predicate>& predicados,
             CZQArrayPonteiros& ponteiros);
  // The entries that the predicates name (the entry whose key is the "PonteiroPai" criterion,
  // or those the other criteria match), each followed by its whole subtree, depth first in key
  // order. `campos` names the kind's fields that fill each entry (Ponteiro, PonteiroPai,
  // Codigo, Nome and TipoClassificacao by default); its parent field is the root criterion. A
  // cycle in stored data is cut where it closes.
  // `modelo` is a record of the tree's kind (cloned to read each entry).
  long BuscaClassificacao(const char* operacao, const TZQBaseParaDados& modelo,
                          const std::vector<zq::Predicate>& predicados, CZQVector<CZQDadosDF_Classificacao>& lista,
                          const zq::CamposArvore& campos = zq::kCamposArvorePadrao);

  // The first record (lowest key) of destino's kind satisfying the predicates; not found when
  // none does.
  long LePrimeiro(const char* operacao, const std::vector<zq::Predicate>& predicados, TZQBaseParaDados* destino);

  // Fails with result hr and text; returns hr.
  long Falha(long hr, const std::string& texto);
  long Falha(const zq::Status& st) { return Falha(st.hr, st.message); }

  // Every operation starts here: counts the call, marks this object as the last one used,
  // clears the last error and answers a planned failure (or ZQ_E_NAO_INICIALIZADO).
  long Entra(const char* operacao);
  // The engine; only after Entra succeeded.
  zq::StorageEngine& Motor() { return m_conexao->Motor(); }
  // One snapshot for an operation that reads many records: they see one state of the data, and
  // a shared database is locked once for the call (nested in a caller's snapshot, it adds nothing).
  zq::SnapshotGuard Leituras() { return zq::SnapshotGuard(m_conexao ? &m_conexao->Motor() : nullptr); }
  // The company this object serves; null when the routine is not initialised.
  const CZQConexaoEmpresa* Conexao() const { return m_conexao.get(); }

 private:
  std::shared_ptr<CZQConexaoEmpresa> m_conexao;
  CZQAcessoBase** m_ultimo;
  CZQDadosDF_Erro m_erro;
  AoLer m_aoLer;
};
