// zq::StorageEngine: where one company's records live. The access objects implement every
// operation of the suite over this interface, so an engine knows records only through their
// schema (RecordSchema.h): a kind is a table, a field a column, the key field the primary key.
//
// Implementations: MemoryEngine (tests, fixtures), SqliteEngine (one file per company),
// PostgresEngine (one schema per company on a shared server).
// Every implementation must pass the conformance suite in tests/engine_conformance_test.cpp.
//
// Thread safety: every operation may be called from any thread; an engine serialises its own
// calls. A transaction belongs to the engine as a whole: Begin/Commit/Rollback are meant for one
// writer at a time (a host loading a dataset, a fixture), not for interleaved writers.
//
// Texts (and the positions, lists and bytes stored as texts) are byte strings: an engine stores
// and answers every byte as given, NUL included, and never escapes, trims or re-encodes them,
// whatever their length. Encoded lists hold NUL bytes, so an engine cannot refuse them; a NUL
// in a text field is refused where text enters the system (the JSON form, RecordJson.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/records/Filtro.h"
#include "platform/routines/ZQBaseParaDados.h"

namespace zq {

struct Status {
  long hr = 0;
  std::string message;  // Windows-1252 text for the error record; empty on success
  bool ok() const { return hr == 0; }
};

class StorageEngine {
 public:
  virtual ~StorageEngine() = default;

  // Fills *record (of the kind to read) from the stored record with this key. On any failure
  // *record is unchanged. A key of 0 or an absent key: ZQ_E_NAO_ENCONTRADO.
  virtual Status Read(std::uint32_t key, TZQBaseParaDados* record) = 0;

  // Keys of the records of `schema`'s kind that satisfy every predicate, ascending. No
  // predicates: every record of the kind. *keys is replaced, empty on failure.
  // A predicate with an item (Filtro.h) looks inside a kList field: it holds when some item of
  // the list has that child field matching. Engines index the items of kList fields marked
  // kSearchable, so such a search costs what an equality on an indexed field costs; on other
  // list fields it decodes every stored list. Both answer alike.
  virtual Status Search(const RecordSchema& schema, const std::vector<Predicate>& predicates,
                        std::vector<std::uint32_t>* keys) = 0;

  // Stores a new record. A key of 0 takes the next free key (one above the highest ever given
  // out in that kind), written back into *record. A key in use: ZQ_E_DUPLICADO.
  virtual Status Insert(TZQBaseParaDados* record) = 0;

  // Replaces the stored record with the same key. Absent: ZQ_E_NAO_ENCONTRADO.
  virtual Status Update(const TZQBaseParaDados& record) = 0;

  // Deletes the record. Absent: ZQ_E_NAO_ENCONTRADO.
  virtual Status Delete(const RecordSchema& schema, std::uint32_t key) = 0;

  // Transactions do not nest: Begin inside a transaction, or Commit/Rollback outside one,
  // answer ZQ_E_TRANSACAO. Rollback undoes every write since Begin.
  // Begin takes the company's write lock before it answers: a Begin on another connection (in
  // this process or another) waits for the first transaction to end, up to the lock wait, and
  // then fails with ZQ_E_MOTOR naming the database. Reads inside the transaction see every
  // transaction committed before it, so a check and the write it allows, done in one
  // transaction, are atomic against other writers.
  virtual Status Begin() = 0;
  virtual Status Commit() = 0;
  virtual Status Rollback() = 0;

  // A consistent view for a run of reads (one handler call): between BeginSnapshot and
  // EndSnapshot every Read and Search sees the same committed state, and an engine shared with
  // other connections takes its read lock once for the run instead of once per read. Pairs
  // nest; only the outermost acts. A write inside ends the view before it runs (the write works
  // as it would outside), and the reads after it see a fresh view that includes it. Inside a
  // transaction the transaction already is the view. Engines no other connection writes have
  // nothing to hold and ignore them. Use SnapshotGuard rather than the pair.
  virtual void BeginSnapshot() {}
  virtual void EndSnapshot() {}

  // How long a write waits for another connection's write to end before it fails, in
  // milliseconds (0 or less: the engine's default); answers the wait in force before. A write
  // that waited in vain fails with ZQ_E_MOTOR naming the database and saying it is "ocupado"
  // and for how long it waited. Engines
  // that no other connection shares have nothing to wait for and ignore it (answer 0).
  virtual long SetLockWait(long ms) {
    (void)ms;
    return 0;
  }

  // A ceiling on every lock wait in this process, whatever SetLockWait asks or an engine's
  // default is (0 or less: none), so that a host run answers within a known time. Engines apply
  // it to every wait they set after the call.
  static void SetLockWaitLimit(long ms);
  static long LockWaitLimit();
  // `ms` within the limit.
  static long WithinLockWaitLimit(long ms);

  // "memoria", "sqlite:/path/file.db", ...: for messages and the host's listings.
  virtual std::string Describe() const = 0;
};

// Holds a snapshot for its lifetime; a null engine (a routine not initialised) holds nothing.
class SnapshotGuard {
 public:
  explicit SnapshotGuard(StorageEngine* engine) : m_engine(engine) {
    if (m_engine) m_engine->BeginSnapshot();
  }
  ~SnapshotGuard() {
    if (m_engine) m_engine->EndSnapshot();
  }
  SnapshotGuard(const SnapshotGuard&) = delete;
  SnapshotGuard& operator=(const SnapshotGuard&) = delete;

 private:
  StorageEngine* m_engine;
};

// Shared by the SQL engines, so they name and compare alike.
// The name a column's storage is recorded under in an engine's metadata ("texto", "uint32"...).
const char* StoredTypeName(FieldType t);
// Whether a recorded storage name is one of the text storages (texts, positions, lists, bytes).
bool StoredAsText(const std::string& typeName);
// A list field whose items are indexed: kList, kSearchable, not the key.
bool SearchableList(const RecordSchema& schema, std::size_t i);
// The least byte string above every string that starts with prefix, or nullopt when there is
// none (the prefix is all 0xFF bytes). Byte strings compare as memcmp, so [prefix, successor)
// holds exactly the strings with that prefix, and the range can use an index.
std::optional<std::string> PrefixSuccessor(std::string prefix);
// An SQL identifier in double quotes, quotes inside doubled.
std::string QuoteIdentifier(const std::string& name);
// Field, column and index names compare without ASCII case, as SQL identifiers do.
bool SameName(std::string_view a, std::string_view b);

// A kind's column as an SQL engine's metadata records it.
struct StoredColumn {
  std::string name, type;
  bool key = false;
};
// What bringing a kind's stored table up to a declaration takes (field indexes of the schema).
struct ReconcilePlan {
  bool create = false;               // no table yet
  std::vector<std::size_t> add;      // fields without a column
  std::vector<std::size_t> index;    // searchable fields without their index
  std::vector<std::size_t> lists;    // searchable lists whose items table misses child fields
  std::vector<std::size_t> unindex;  // searchable lists whose column has an index
  bool empty() const { return !create && add.empty() && index.empty() && lists.empty() && unindex.empty(); }
  // What a read-only open must do without: fields with no column, lists with no item index.
  void Missing(std::size_t count, std::vector<bool>* missing, std::vector<bool>* unindexed) const;
};
// Compares a declaration with the stored columns (names compared without ASCII case).
// indexed(i): field i's column has an index; itemsHold(i, name): the items table of list field i
// holds the child field `name`. ZQ_E_ESQUEMA when the stored key differs from the declared one
// or a field is stored as text and declared as a number, or the other way round.
Status PlanReconcile(const RecordSchema& schema, const std::vector<StoredColumn>& columns,
                     const std::function<bool(std::size_t)>& indexed,
                     const std::function<bool(std::size_t, const char*)>& itemsHold, ReconcilePlan* plan);

// Shared by the engines so they answer alike.
// "kind key", for messages.
std::string Which(const std::string& kind, std::uint32_t key);
// ZQ_E_NAO_ENCONTRADO naming the record.
Status NotFound(const std::string& kind, std::uint32_t key);
// ZQ_E_ARGUMENTO unless every predicate names a field of the schema with a value of the field's
// storage, and prefixes apply to texts only; an item names a field of a kList field's child
// records, and the value and match then follow that child field.
Status CheckPredicates(const RecordSchema& schema, const std::vector<Predicate>& predicates);
// Whether v matches p's value under p's match (an item predicate's v is one item's value).
bool Compares(const Predicate& p, const Value& v);
// The items of a stored list, each as its values of `child`'s fields; none for an empty list or
// bytes that do not decode.
std::vector<std::vector<Value>> ListItems(const RecordSchema& child, const Value& stored);
// Whether the stored value of p's field satisfies p, looking into the list for an item predicate.
bool Holds(const RecordSchema& schema, const Predicate& p, const Value& stored);

}  // namespace zq
