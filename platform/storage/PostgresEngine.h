// zq::PostgresEngine: a StorageEngine over one schema of a PostgreSQL database, one schema per
// company, so that many hosts on many machines share the company's records. The connection string
// (libpq's "host=... dbname=..."; a password belongs in libpq's password file, or in the
// registry written by hand, never on zqmm's command line) names the database; the company name
// names the schema.
//
// The schema holds one table per record kind, created on first use from the record's schema, as
// SqliteEngine does: the key field is a bigint primary key, every other field a NOT NULL column
// (integers as bigint, texts as bytea, so Windows-1252 bytes are kept and compared untouched,
// prefix searches included), and each kSearchable field has an index. Column names are the field
// names in lower case, so declarations that spell a field in another case meet in one column.
// A kSearchable list field has instead an items table, "<kind>__<field>__itens"(chave, item,
// valor): one row per item of the record's list and field of the child record (item is the child
// field's name; valor its text's bytes, or an integer's 8 bytes big-endian), indexed on
// (item, valor). The statement that writes a row writes its items too, so transactions and
// rollbacks cover them at no extra round trip, and an item predicate becomes "key IN (SELECT
// chave ... WHERE item = $n AND valor = $m)". Item predicates on other list fields decode each
// candidate's list after the SQL part. _zq_meta rows "itens:<items table>:<child field>" tell
// which child fields an items table holds; a table missing, or made under child records with
// fewer fields, is made and filled from the stored lists when the kind is reconciled. A list
// whose items table name would pass 56 bytes (its index's name must fit in 63) is ZQ_E_ESQUEMA.
// Metadata tables hold the format version and, per kind, its columns and its key counter; the
// columns are reconciled with each declaration exactly as SqliteEngine.h tells, under a lock
// that only reconcilers take, so two programs meeting a new kind make its table once.
//
// Every value travels as a parameter of a prepared statement (binary format); only quoted
// identifiers (schema, table, column names) are ever built into SQL.
//
// Keys follow MemoryEngine's rules. A kind's counter is one row, raised by the statement that
// inserts (UPDATE ... RETURNING): concurrent inserters of a kind, in this process or others,
// queue on that row, so no key is handed out twice. Inside a transaction the row stays locked
// until Commit or Rollback (other inserters of the kind wait for it, up to their lock wait), and
// Rollback undoes the counter with the rows: the keys of a rolled-back transaction are handed
// out again, as on the other engines; no two committed records ever get one key.
//
// Transactions: Begin opens a READ COMMITTED transaction. Expected refusals inside it (a key in
// use, an absent record, no free key, a schema error) leave it open. Any other failure there
// (an error of the server, a lock wait that ran out, a lost connection) fails the whole
// transaction, since the server has undone it: every call answers ZQ_E_MOTOR until Rollback
// (which then succeeds) or Commit (which answers ZQ_E_MOTOR and ends it).
//
// A snapshot (BeginSnapshot) is one REPEATABLE READ READ ONLY transaction, opened by the first
// read inside it and ended by the outermost EndSnapshot or by the next write.
//
// A write waits up to five seconds for a row or table another connection holds (lock_timeout;
// SetLockWait changes it), then fails with ZQ_E_MOTOR.
//
// A lost connection (server restarted, backend ended) answers ZQ_E_MOTOR with "Conexão com o
// PostgreSQL perdida ao <what> (<schema>): <libpq's text>"; the next call connects again and
// prepares its statements anew (inside a transaction, only after Rollback). Nothing is retried
// silently: a write whose answer was lost may or may not have been committed.
//
// Read-only (Modo::kLeitura): never writes; a kind without a table reads as empty, a declared
// field without a column reads as 0 or "", a list without its items table is searched by
// decoding, writes fail with ZQ_E_MOTOR.
//
// Thread-safe: one mutex serialises the calls on the connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/storage/StorageEngine.h"

struct pg_conn;
struct pg_result;

namespace zq {

class PostgresEngine final : public StorageEngine {
 public:
  static constexpr int kFormatVersion = 1;

  enum class Modo {
    kCria,       // creates the company's schema and its control tables when missing
    kExistente,  // a schema that already has the control tables; reads and writes
    kLeitura,    // a schema that already has the control tables; reads only
  };

  // Connects and opens the company's schema. nullptr with *status set (ZQ_E_MOTOR; ZQ_E_ESQUEMA
  // for a schema of a newer format) when the server cannot be reached, the company name cannot
  // name a schema, or the schema is missing or is not a company's (kExistente, kLeitura).
  static std::unique_ptr<PostgresEngine> Open(const std::string& conexao, const std::string& empresa,
                                              Status* status, Modo modo = Modo::kCria);

  // The schema name of a company: its name with ASCII letters in lower case, as the registry
  // compares names without case. It travels in Windows-1252, the connection's client encoding.
  static std::string SchemaName(const std::string& empresa);

  ~PostgresEngine() override;  // rolls back an open transaction
  PostgresEngine(const PostgresEngine&) = delete;
  PostgresEngine& operator=(const PostgresEngine&) = delete;

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
  std::string Describe() const override;  // "postgresql:<schema>@<connection string>"
  // Round trips to the server since the engine was opened (statements, preparations,
  // transaction control; not the connection itself): what a benchmark counts per operation.
  long RoundTrips() const { return m_idas.load(); }

 private:
  struct Kind;
  struct Param;      // a value bound to a statement, with its type
  struct Statement;  // prepared on the connection when first run
  class Result;
  class WriteScope;

  PostgresEngine(std::string conexao, std::string schema, bool readOnly);

  Status Setup(Modo modo);
  Status ReadOnly() const;
  // Connected, or connects again after a loss (statements prepared anew as they are used).
  Status Connect();
  // What every call does first: reconnects after a loss (outside a transaction), notices a
  // transaction or snapshot the server ended, and refuses to go on in a failed transaction.
  Status Enter();
  // Runs a statement without values (transaction control, DDL of quoted identifiers).
  Status Exec(const std::string& sql, const std::string& what);
  // Runs a prepared statement (its name) or, with sql set, a one-off parameterised one; *out
  // holds the result when it succeeds.
  Status Run(const std::string& name, const std::vector<Param>& params, const std::string& what,
             Result* out, const std::string& sql = "");
  Status Run(Statement& statement, const std::vector<Param>& params, const std::string& what, Result* out);
  Status Prepare(const std::string& sql, const std::vector<Param>& shape, std::string* name,
                 const std::string& what);
  // ZQ_E_MOTOR for a failed call (res may be null), noticing a lost connection.
  Status Failure(pg_result* res, const std::string& what);
  Status Use(const RecordSchema& schema, Kind** kind);
  // Read-only, it changes nothing and reports in *missing the fields without a column (all of
  // them when the kind has no table), and in *unindexed the searchable lists without an up to
  // date items table.
  Status Reconcile(const RecordSchema& schema, std::vector<bool>* missing, std::vector<bool>* unindexed);
  // Fills the items tables of these lists from the stored records.
  Status FillItems(const RecordSchema& schema, const std::vector<std::size_t>& lists);
  // Appends the items arrays of the record's indexed lists to a write's values.
  static void AddItems(const Kind& kind, const TZQBaseParaDados& record, std::vector<Param>* params);
  std::string Table(const std::string& name) const;  // schema-qualified, quoted
  void OpenSnapshot();
  void CloseSnapshot();
  void Lost();  // forgets what lived on the connection

  const std::string m_conexao;
  const std::string m_schema;
  const bool m_readOnly;
  pg_conn* m_conn = nullptr;
  std::mutex m_mutex;
  std::atomic<long> m_idas{0};  // round trips, for RoundTrips()
  bool m_inTransaction = false;
  bool m_transactionFailed = false;  // the server undid it; only Rollback or Commit ends it
  bool m_reconciledInTransaction = false;
  bool m_kindsStale = false;
  int m_snapshotDepth = 0;
  bool m_snapshotOpen = false;
  long m_lockWaitMs = 0;  // 0: the default wait
  bool m_sessionStale = true;  // the lock wait is to be set on the connection
  unsigned m_statements = 0;  // names prepared statements on this connection
  std::map<std::string, std::unique_ptr<Kind>, std::less<>> m_kinds;
  std::unique_ptr<Statement> m_loadColumns;  // a kind's stored columns
};

}  // namespace zq
