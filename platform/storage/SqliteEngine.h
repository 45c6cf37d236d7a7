// zq::SqliteEngine: a StorageEngine over one SQLite file per company. Several engines, in this
// process or in others, may use one file: it runs in WAL mode and waits up to five seconds for a
// lock before answering ZQ_E_MOTOR (SetLockWait changes that wait, within LockWaitLimit). Each sees the others' committed writes.
//
// The file holds one table per record kind, created on first use from the record's schema:
// the key field is the INTEGER PRIMARY KEY, every other field a NOT NULL column (integers as
// INTEGER, texts as BLOB so their Windows-1252 bytes are stored and compared untouched), and
// each kSearchable field has an index. A kSearchable list field has instead an items table,
// "<kind>__<field>__itens"(chave, item, valor): one row per item of the record's list and field
// of the child record (item is the child field's name), with an index on (item, valor). It is
// written in the same statement scope as the row, so transactions and rollbacks cover it, and
// an item predicate becomes "key IN (SELECT chave ... WHERE item = ? AND valor = ?)". Item
// predicates on other list fields decode each candidate's list after the SQL part.
// Metadata tables record the file's format version and,
// per kind, its columns and the highest key ever stored.
//
// Declarations change between program versions, so a kind is reconciled with its stored
// columns on first use:
//   - a declared field with no column gets one (ALTER TABLE ADD COLUMN), and stored records
//     read it as 0 or "";
//   - a searchable list without an items table, or one made under child records with fewer
//     fields (as its _zq_meta row "itens:<table>" lists them), gets it made and filled from
//     the stored lists;
//   - a stored column that the declaration lacks is kept: Update leaves it alone and Insert
//     writes its default, so an older program can share the file with a newer one;
//   - a field stored as the other storage (integer vs text), or a key field other than the
//     stored key: ZQ_E_ESQUEMA. Integer widths may differ (uint16 declared, uint32 stored);
//     Read checks each value and fails with ZQ_E_ESQUEMA, naming kind, key and field, when one
//     does not fit, leaving the record unchanged.
//
// A file opened read-only (Modo::kLeitura) is never written: a kind without a table reads as
// empty, a declared field without a column reads as 0 or "", a list without its items table is
// searched by decoding, and writes fail with ZQ_E_MOTOR.
// When the folder does not let SQLite make its WAL side files and none are there, the file is
// read as immutable: nothing may write it meanwhile.
//
// Keys, searches and transactions follow MemoryEngine's rules (see MemoryEngine.h): keys are
// never handed out twice because each kind's counter lives in the file (inside a transaction,
// held by the connection and written at Commit); Rollback undoes the counter along with the
// rows, and the tables and columns created in the transaction.
//
// A snapshot (BeginSnapshot) is one deferred SQLite read transaction, opened by the first read
// inside it and closed by the outermost EndSnapshot or by the next write, so a handler call
// takes the WAL read lock once. It belongs to the connection, as transactions do.
//
// Thread-safe: one mutex serialises the calls on the connection.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/storage/StorageEngine.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zq {

class SqliteEngine final : public StorageEngine {
 public:
  // Format of the metadata this build writes. A file of a newer format is refused; a later
  // format's Setup brings older files up to date when it opens them.
  static constexpr int kFormatVersion = 1;

  enum class Modo {
    kCria,       // creates the file, or the tables of an empty database; reads and writes
    kExistente,  // a file that already has the tables; reads and writes
    kLeitura,    // a file that already has the tables; reads only
  };

  // Opens the file. nullptr with *status set (ZQ_E_MOTOR; ZQ_E_ESQUEMA for a file of a newer
  // format) when it cannot be opened, is not a database, holds tables other than a company's,
  // lacks the company tables (kExistente, kLeitura: a zero-length file too), or cannot be
  // prepared.
  static std::unique_ptr<SqliteEngine> Open(const std::string& path, Status* status,
                                            Modo modo = Modo::kCria);

  ~SqliteEngine() override;  // rolls back an open transaction
  SqliteEngine(const SqliteEngine&) = delete;
  SqliteEngine& operator=(const SqliteEngine&) = delete;

  Status Read(std::uint32_t key, TZQBaseParaDados* record) override;
  Status Search(const RecordSchema& schema, const std::vector<Predicate>& predicates,
                std::vector<std::uint32_t>* keys) override;
  Status Insert(TZQBaseParaDados* record) override;
  Status Update(const TZQBaseParaDados& record) override;
  Status Delete(const RecordSchema& schema, std::uint32_t key) override;
  Status Begin() override;
  Status Commit() override;
  Status Rollback() override;
  void BeginSnapshot() override;
  void EndSnapshot() override;
  long SetLockWait(long ms) override;
  std::string Describe() const override;  // "sqlite:" + path

 private:
  struct Kind;
  class WriteScope;

  SqliteEngine(sqlite3* db, std::string path, bool readOnly);

  struct Finalizer {
    void operator()(sqlite3_stmt* s) const;
  };
  using StatementPtr = std::unique_ptr<sqlite3_stmt, Finalizer>;

  Status Setup(Modo modo);
  Status ReadOnly() const;
  Status ReadFormat(int* version);
  Status Exec(const std::string& sql, const std::string& what);
  // ZQ_E_MOTOR with SQLite's message for the last call that failed.
  Status Failure(const std::string& what);
  Status Prepare(const std::string& sql, StatementPtr* out, const std::string& what);
  // The kind of schema, reconciled with the file and with its statements ready.
  Status Use(const RecordSchema& schema, Kind** kind);
  // Read-only, it changes nothing and reports in *missing the fields without a column (all of
  // them when the kind has no table), and in *unindexed the searchable lists without an up to
  // date items table.
  Status Reconcile(const RecordSchema& schema, std::vector<bool>* missing, std::vector<bool>* unindexed);
  // Writes the items of each searchable list of the record, replacing its old ones if `clear`.
  Status PutLists(Kind& kind, const TZQBaseParaDados& record, std::uint32_t key, bool clear);
  // Notices a transaction that SQLite ended on its own after a failure.
  void SyncTransaction();
  // Inside a snapshot, the read transaction that holds it: opened before a read, ended before a
  // write. Both with the mutex held.
  void OpenSnapshot();
  void CloseSnapshot();
  // Writes the counters held in the transaction; false when one fails.
  bool WriteCounters();

  sqlite3* m_db;
  std::string m_path;
  std::string m_name;  // the path for messages, in Windows-1252
  const bool m_readOnly;
  std::mutex m_mutex;
  bool m_inTransaction = false;
  long m_lockWaitMs = 0;  // 0: the default wait
  bool m_reconciledInTransaction = false;  // tables or columns made inside it
  bool m_kindsStale = false;               // a rollback may have undone them
  int m_snapshotDepth = 0;       // nested BeginSnapshot calls
  bool m_snapshotOpen = false;   // its read transaction is open
  std::map<std::string, std::unique_ptr<Kind>, std::less<>> m_kinds;
  StatementPtr m_getCounter;
  StatementPtr m_setCounter;
  // Each kind's last key handed out in the current transaction, not yet in the file.
  std::map<std::string, std::int64_t, std::less<>> m_counters;
};

}  // namespace zq
