// CConjuntoDados: a company's records as one JSON document, the host's dataset:
//
//   {"formato": 1,
//    "registros": {"prioridade": [{"posicao": 1, "codigo": "P1", ...}, ...],
//                  "manutencao": [...]}}
//
// Each member of "registros" names a stored kind (platform/ZQTiposRegistro.h) and holds records
// of that kind in their JSON form (platform/RecordJson.h); kinds come in any order and may be
// left out. A record whose key field is absent or 0 takes the next free key of its kind when
// stored, after the records that name their keys, so the two never collide. A "descricao" text
// member is allowed beside "formato" for people reading the file.
//
// Reading checks the whole document before anything is stored; storing happens in one
// transaction. Errors are thrown as zqhost::CErroHost naming the record, e.g.
// "registros.prioridade[2]: prioridade.codigo: espera um texto":
//   kSaidaEntradaInvalida  malformed JSON, unknown format, kind or field, a name given twice in
//                          one object (a kind, a field, "registros"), wrong type, a key used
//                          twice in the document;
//   kSaidaFalha            a key already stored in the company, or a failed write (the
//                          transaction is rolled back: nothing is written).
//
// Not thread-safe; one object per load.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/storage/StorageEngine.h"

namespace zqhost {

class CConjuntoDados {
 public:
  static constexpr int kFormato = 1;

  // Called as work advances: records done and the total, every few thousand records and once
  // at the end.
  using Progresso = std::function<void(std::size_t feitos, std::size_t total)>;

  // Takes the text and frees it once parsed. Each record is read as the parser reaches it and
  // its tree dropped, so the load holds the text and the records, never the whole document's tree.
  static CConjuntoDados Le(std::string texto);

  std::size_t Quantidade() const { return m_registros.size(); }
  // Records per kind, in the table's order; kinds without records are left out.
  std::vector<std::pair<std::string, std::size_t>> Contagem() const;

  // Stores every record in one transaction (see the header comment for the errors).
  void Grava(zq::StorageEngine& motor, const Progresso& progresso);

  // Writes every stored record of the company as a dataset, kinds in the table's order, one
  // record per line, all read in one snapshot. Returns the number of records written. A failed read is CErroHost(kSaidaFalha).
  static std::size_t Exporta(zq::StorageEngine& motor, std::ostream& saida, const Progresso& progresso);

 private:
  struct Registro {
    std::unique_ptr<TZQBaseParaDados> dados;
    std::size_t indice;  // in its kind's list
    std::string Origem() const;  // "registros.prioridade[2]", for messages
  };
  std::vector<Registro> m_registros;  // table order; named keys before key 0 within a kind
};

}  // namespace zqhost
