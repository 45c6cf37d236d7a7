// zq::MemoryEngine: a StorageEngine that keeps one company's records in this process's memory.
// Tests and fixtures build companies on it; nothing survives the object.
//
// It follows the same rules as SqliteEngine, so the conformance suite runs unchanged on both:
//
//  - A kind is a table of columns named after the fields of the first declaration used with it.
//    A later declaration of the same kind with more fields adds their columns, and records stored
//    before read those fields as 0 or "". Fields of the table that a declaration lacks are kept
//    on Update and take 0 or "" on Insert. A field whose storage (integer or text) differs from
//    its column, or a key field that is not the table's key: ZQ_E_ESQUEMA.
//  - Reading a stored value that the declared field cannot hold (an int64 column read into a
//    uint8 field) fails with ZQ_E_ESQUEMA naming kind, key and field; the record is unchanged.
//  - Keys: each kind keeps the highest key it ever stored, explicit or assigned. Insert with key
//    0 takes the one above it, so a deleted key is never handed out again. With 0xFFFFFFFF
//    taken, Insert with key 0 fails with ZQ_E_MOTOR; explicit keys still work.
//  - Search compares texts byte for byte. kIgual on any field, kPrefixo on text fields only
//    (an empty prefix matches every record). A predicate on a field out of range, with a value
//    of the wrong storage, or with another match: ZQ_E_ARGUMENTO. An item predicate follows
//    the same rules on the child field it names, and holds when some item of the list matches
//    (an empty prefix: a list with at least one item).
//  - Rollback undoes every write since Begin, key counters included: a transaction rolled back
//    leaves the engine as if it never ran, so its keys are handed out again.
//  - Cost: a read, or a search with an equality on the key, finds its row by key in one lookup,
//    whatever the table size (only cache misses grow with it).
//    Every field that a declaration of the kind marks kSearchable is indexed by value: a search
//    with an equality on such a field walks only the records of its rarest such value (none if
//    no record holds it) and filters them with the other predicates; a search without one
//    compares every record of the kind. Each indexed field costs memory per record and time on
//    every write, rollbacks included.
//    A kSearchable list field is indexed by its items instead: (child field, value) -> keys, the
//    list decoded once per write. An equality on an item counts as an indexed equality above;
//    item predicates on other list fields, and item prefixes, decode each candidate's list.
//
// Thread-safe: one mutex serialises every call.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/storage/StorageEngine.h"

namespace zq {

class MemoryEngine final : public StorageEngine {
 public:
  MemoryEngine();
  ~MemoryEngine() override;
  MemoryEngine(const MemoryEngine&) = delete;
  MemoryEngine& operator=(const MemoryEngine&) = delete;

  Status Read(std::uint32_t key, TZQBaseParaDados* record) override;
  Status Search(const RecordSchema& schema, const std::vector<Predicate>& predicates,
                std::vector<std::uint32_t>* keys) override;
  Status Insert(TZQBaseParaDados* record) override;
  Status Update(const TZQBaseParaDados& record) override;
  Status Delete(const RecordSchema& schema, std::uint32_t key) override;
  Status Begin() override;
  Status Commit() override;
  Status Rollback() override;
  std::string Describe() const override;  // "memoria"

 private:
  struct Table;
  struct Undo;

  // The table of schema's kind, created or widened to hold every declared field, and the
  // column of each declared field in *layout.
  Status Open(const RecordSchema& schema, Table** table, const std::vector<std::size_t>** layout);

  mutable std::mutex m_mutex;
  std::map<std::string, std::unique_ptr<Table>, std::less<>> m_tables;
  bool m_inTransaction = false;
  std::vector<Undo> m_undo;
};

}  // namespace zq
