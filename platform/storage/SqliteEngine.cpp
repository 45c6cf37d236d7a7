#include "platform/storage/SqliteEngine.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>

#include "platform/types/Cp1252.h"
#include "platform/access/ZQResultados.h"

namespace zq {

namespace {

constexpr std::uint32_t kMaxKey = std::numeric_limits<std::uint32_t>::max();
constexpr int kBusyTimeoutMs = 5000;

// Every format keeps _zq_meta and its 'formato' row, so any build can tell a newer file.
constexpr const char* kCreateMetadata =
    "CREATE TABLE IF NOT EXISTS _zq_meta(nome TEXT PRIMARY KEY, valor NOT NULL);"
    "CREATE TABLE IF NOT EXISTS _zq_tipos(tipo TEXT PRIMARY KEY,"
    " ultima_chave INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS _zq_colunas(tipo TEXT NOT NULL, nome TEXT NOT NULL COLLATE NOCASE,"
    " tipo_campo TEXT NOT NULL, chave INTEGER NOT NULL, PRIMARY KEY(tipo, nome));";

std::string IndexName(const RecordSchema& schema, std::size_t i) {
  return std::string(schema.kind) + "__" + schema.fields[i].name;
}

// A searchable list field's items, one row per item and child field, so a search on an item
// is an indexed lookup. Named apart from the fields' indexes, which share SQLite's names.
std::string ItemsTable(const RecordSchema& schema, std::size_t i) {
  return std::string(schema.kind) + "__" + schema.fields[i].name + "__itens";
}

// The child fields an items table holds, as its _zq_meta row records them: "Linha,Ponteiro".
std::string ChildNames(const RecordSchema& child) {
  std::string out;
  for (std::size_t i = 0; i < child.count; ++i) out.append(i ? "," : "").append(child.fields[i].name);
  return out;
}

int Bind(sqlite3_stmt* s, int i, const Value& v) {
  if (const auto* n = std::get_if<std::int64_t>(&v)) return sqlite3_bind_int64(s, i, *n);
  const std::string& t = std::get<std::string>(v);
  // Texts go in as blobs: SQLite never converts or collates them.
  return sqlite3_bind_blob64(s, i, t.data(), t.size(), SQLITE_TRANSIENT);
}

bool ColumnValue(sqlite3_stmt* s, int i, Value* out) {
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER:
      *out = static_cast<std::int64_t>(sqlite3_column_int64(s, i));
      return true;
    case SQLITE_BLOB:
    case SQLITE_TEXT: {
      const void* p = sqlite3_column_blob(s, i);
      const int n = sqlite3_column_bytes(s, i);
      *out = n > 0 ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n))
                   : std::string();
      return true;
    }
    default:
      return false;
  }
}

// Adds the items of the list stored in `list` to an items table through `add`
// (INSERT OR IGNORE ... VALUES(key, child field, value)).
bool PutItems(sqlite3_stmt* add, const RecordSchema& child, std::int64_t key, const Value& list) {
  for (const auto& values : ListItems(child, list)) {
    for (std::size_t f = 0; f < child.count; ++f) {
      sqlite3_reset(add);
      sqlite3_bind_int64(add, 1, key);
      sqlite3_bind_blob(add, 2, child.fields[f].name, static_cast<int>(std::strlen(child.fields[f].name)), SQLITE_STATIC);
      if (Bind(add, 3, values[f]) != SQLITE_OK || sqlite3_step(add) != SQLITE_DONE) return false;
    }
  }
  return true;
}

// The path as an SQLite URI filename, so that query parameters can follow it.
std::string UriFilename(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
        c == '_' || c == '.' || c == '~')
      uri += ch;
    else
      uri.append(1, '%').append(1, kHex[c >> 4]).append(1, kHex[c & 15]);
  }
  return uri;
}

// Leaves a cached statement ready for its next use.
class Reset {
 public:
  explicit Reset(sqlite3_stmt* s) : m_s(s) {}
  ~Reset() {
    sqlite3_reset(m_s);
    sqlite3_clear_bindings(m_s);
  }
  Reset(const Reset&) = delete;
  Reset& operator=(const Reset&) = delete;

 private:
  sqlite3_stmt* m_s;
};

}  // namespace

void SqliteEngine::Finalizer::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

struct SqliteEngine::Kind {
  const RecordSchema* schema;
  std::string table;  // quoted
  std::string key;    // quoted key column
  std::vector<std::string> columns;  // what reads each field: its quoted column, or a default
  bool absent = false;               // no table in a read-only file: no records
  StatementPtr read, insert, update, remove;
  // The searchable list fields, each written to its items table along with the row.
  struct Lista {
    std::size_t field;
    std::string table;  // quoted items table
    bool indexed;       // false only in a read-only file made before: searches decode the lists
    StatementPtr add, clear;
  };
  std::vector<Lista> lists;
  std::map<std::string, StatementPtr> searches;  // by the shape of the predicates
};

// A write that must be all or nothing: its own transaction, or a savepoint inside the caller's.
// Destroyed without Commit, it undoes what was done. With kSemSavepoint it opens nothing inside
// the caller's transaction, for a write that is a single statement there, atomic on its own (a
// savepoint would copy every page the write touches into the statement journal, which made a
// load of many records several times slower).
class SqliteEngine::WriteScope {
 public:
  enum Aninhada { kSavepoint, kSemSavepoint };
  explicit WriteScope(SqliteEngine* engine, Aninhada aninhada = kSavepoint)
      : m_e(engine), m_aninhada(aninhada) {}
  ~WriteScope() {
    if (!m_open) return;
    sqlite3_exec(m_e->m_db, m_savepoint ? "ROLLBACK TO zq_gravacao; RELEASE zq_gravacao" : "ROLLBACK",
                 nullptr, nullptr, nullptr);
    m_e->SyncTransaction();
  }
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;

  Status Begin() {
    m_e->CloseSnapshot();
    m_savepoint = m_e->m_inTransaction;
    if (m_savepoint && m_aninhada == kSemSavepoint) return {};
    Status st = m_e->Exec(m_savepoint ? "SAVEPOINT zq_gravacao" : "BEGIN IMMEDIATE",
                          "iniciar a gravação"_cp);
    m_open = st.ok();
    return st;
  }
  Status Commit() {
    if (!m_open) return {};
    Status st = m_e->Exec(m_savepoint ? "RELEASE zq_gravacao" : "COMMIT", "confirmar a gravação"_cp);
    if (st.ok()) m_open = false;
    return st;
  }

 private:
  SqliteEngine* m_e;
  const Aninhada m_aninhada;
  bool m_savepoint = false;
  bool m_open = false;
};

std::unique_ptr<SqliteEngine> SqliteEngine::Open(const std::string& path, Status* status, Modo modo) {
  namespace fs = std::filesystem;
  Status local;
  Status& st = status ? *status : local;
  const std::string name = Utf8ToCp1252(path).value_or(path);
  if (path.empty()) {
    st = {ZQ_E_MOTOR, "Nenhum arquivo de banco de dados informado"};
    return nullptr;
  }
  std::error_code ec;
  if (modo != Modo::kCria && !fs::is_regular_file(path, ec)) {
    st = {ZQ_E_MOTOR, std::string("O banco de dados "_cp) + name + " não existe"_cp};
    return nullptr;
  }
  const bool readOnly = modo == Modo::kLeitura;
  std::string uri = UriFilename(path);
  if (readOnly) {
    // Reading a WAL file takes its -shm and -wal side files, which SQLite makes when missing.
    // In a folder we cannot write, with no side files there, nothing is writing the file, and
    // it can be read as it stands; but a -wal left with content holds committed writes that
    // only a writable open brings into the file.
    const fs::path folder = fs::path(path).has_parent_path() ? fs::path(path).parent_path() : fs::path(".");
    const bool sides = fs::exists(path + "-wal", ec) && fs::exists(path + "-shm", ec);
    if (::access(folder.c_str(), W_OK) != 0 && !sides) {
      if (fs::exists(path + "-wal", ec) && fs::file_size(path + "-wal", ec) > 0) {
        st = {ZQ_E_MOTOR, std::string("O banco de dados "_cp) + name +
                              " tem gravações pendentes em seu arquivo -wal, que só uma abertura com "
                              "permissão de escrita na pasta incorpora"_cp};
        return nullptr;
      }
      uri += "?immutable=1";
    } else {
      uri += "?mode=ro";
    }
  }
  const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                    (modo == Modo::kCria ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(uri.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    st = {ZQ_E_MOTOR, std::string("Não foi possível abrir o banco de dados "_cp) + name + ": " +
                          (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))};
    sqlite3_close_v2(db);
    return nullptr;
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, static_cast<int>(WithinLockWaitLimit(kBusyTimeoutMs)));
  std::unique_ptr<SqliteEngine> engine(new SqliteEngine(db, path, readOnly));
  st = engine->Setup(modo);
  if (!st.ok()) return nullptr;
  return engine;
}

SqliteEngine::SqliteEngine(sqlite3* db, std::string path, bool readOnly)
    : m_db(db), m_path(std::move(path)), m_name(Utf8ToCp1252(m_path).value_or(m_path)), m_readOnly(readOnly) {}

SqliteEngine::~SqliteEngine() {
  m_kinds.clear();
  m_getCounter.reset();
  m_setCounter.reset();
  if (m_inTransaction || m_snapshotOpen) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close_v2(m_db);
}

std::string SqliteEngine::Describe() const { return "sqlite:" + m_path; }

Status SqliteEngine::Failure(const std::string& what) {
  Status st{ZQ_E_MOTOR, "Erro do SQLite ao " + what + " (" + m_name + "): " + sqlite3_errmsg(m_db)};
  // "database is locked" alone does not tell a person that waiting is what failed.
  if ((sqlite3_extended_errcode(m_db) & 0xFF) == SQLITE_BUSY)
    st.message += "; o banco está ocupado por outra gravação há mais de "_cp +
                  std::to_string(WithinLockWaitLimit(m_lockWaitMs > 0 ? m_lockWaitMs : kBusyTimeoutMs)) + " ms";
  SyncTransaction();
  return st;
}

void SqliteEngine::SyncTransaction() {
  if (m_inTransaction && sqlite3_get_autocommit(m_db)) {
    m_inTransaction = false;
    m_counters.clear();
    if (m_reconciledInTransaction) m_kindsStale = true;
  }
}

Status SqliteEngine::Exec(const std::string& sql, const std::string& what) {
  if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return Failure(what);
  return {};
}

Status SqliteEngine::Prepare(const std::string& sql, StatementPtr* out, const std::string& what) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v3(m_db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
    sqlite3_finalize(s);
    return Failure(what);
  }
  out->reset(s);
  return {};
}

Status SqliteEngine::ReadFormat(int* version) {
  *version = 0;
  StatementPtr s;
  if (Status st = Prepare("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='_zq_meta'",
                          &s, "ler o formato do arquivo");
      !st.ok())
    return st;
  if (sqlite3_step(s.get()) != SQLITE_ROW) return Failure("ler o formato do arquivo");
  if (sqlite3_column_int64(s.get(), 0) == 0) return {};
  if (Status st = Prepare("SELECT valor FROM _zq_meta WHERE nome='formato'", &s,
                          "ler o formato do arquivo");
      !st.ok())
    return st;
  const int rc = sqlite3_step(s.get());
  if (rc == SQLITE_ROW) {
    const sqlite3_int64 v = sqlite3_column_int64(s.get(), 0);
    *version = v > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                   : static_cast<int>(v);
  } else if (rc != SQLITE_DONE) {
    return Failure("ler o formato do arquivo");
  }
  return {};
}

Status SqliteEngine::ReadOnly() const {
  return {ZQ_E_MOTOR, std::string("O banco de dados "_cp) + m_name + " foi aberto somente para leitura"};
}

Status SqliteEngine::Setup(Modo modo) {
  // The first statement reads the header: a file that is not a database fails here.
  int version = 0;
  Status st = ReadFormat(&version);
  if (!st.ok()) {
    if ((sqlite3_extended_errcode(m_db) & 0xFF) == SQLITE_NOTADB)
      return {ZQ_E_MOTOR, std::string("O arquivo "_cp) + m_name + " não é um banco de dados SQLite: "_cp +
                              sqlite3_errmsg(m_db)};
    return st;
  }
  if (version > kFormatVersion)
    return {ZQ_E_ESQUEMA, std::string("O arquivo "_cp) + m_name + " tem o formato " + std::to_string(version) +
                              ", mais novo que o " + std::to_string(kFormatVersion) +
                              " desta versão do programa; atualize o programa"_cp};
  // Only a new company makes the tables: a file without them that should have them (an empty
  // file left by a failed copy, another program's database) is refused, never taken for a
  // company without records.
  auto notCompany = [&] {
    std::error_code ec;
    const bool empty = std::filesystem::file_size(m_path, ec) == 0 && !ec;
    return Status{ZQ_E_MOTOR, std::string("O arquivo "_cp) + m_name +
                                  (empty ? " está vazio: não é o banco de uma empresa"_cp
                                         : " não é o banco de uma empresa: não tem as tabelas de controle"_cp)};
  };
  if (version == 0 && modo != Modo::kCria) return notCompany();

  if (!m_readOnly) {
    StatementPtr journal;
    st = Prepare("PRAGMA journal_mode=WAL", &journal, "ativar o modo WAL");
    if (st.ok() && sqlite3_step(journal.get()) != SQLITE_ROW) st = Failure("ativar o modo WAL");
    if (!st.ok()) return st;
  }
  if (version == 0) {
    WriteScope scope(this);
    if (st = scope.Begin(); !st.ok()) return st;
    if (st = ReadFormat(&version); !st.ok()) return st;  // another process may have won
    if (version == 0) {
      StatementPtr tables;
      if (st = Prepare("SELECT count(*) FROM sqlite_master", &tables, "ler as tabelas do arquivo"); !st.ok())
        return st;
      if (sqlite3_step(tables.get()) != SQLITE_ROW) return Failure("ler as tabelas do arquivo");
      if (sqlite3_column_int64(tables.get(), 0) != 0) return notCompany();
      tables.reset();
      if (st = Exec(kCreateMetadata, "criar as tabelas de controle"); !st.ok()) return st;
      version = kFormatVersion;
      st = Exec("INSERT INTO _zq_meta(nome, valor) VALUES('formato', " + std::to_string(version) + ")",
                "gravar o formato do arquivo");
      if (!st.ok()) return st;
    }
    if (st = scope.Commit(); !st.ok()) return st;
  }

  if (st = Prepare("SELECT ultima_chave FROM _zq_tipos WHERE tipo=?1", &m_getCounter,
                   "preparar o contador de chaves");
      !st.ok())
    return st;
  return Prepare(
      "INSERT INTO _zq_tipos(tipo, ultima_chave) VALUES(?1, ?2) ON CONFLICT(tipo) DO UPDATE"
      " SET ultima_chave = max(ultima_chave, excluded.ultima_chave)",
      &m_setCounter, "preparar o contador de chaves");
}

Status SqliteEngine::Reconcile(const RecordSchema& schema, std::vector<bool>* missing,
                               std::vector<bool>* unindexed) {
  const std::string kind = schema.kind;
  if (kind.empty() || kind.starts_with("_zq_") || kind.starts_with("sqlite_"))
    return {ZQ_E_ESQUEMA, "Nome de tipo de registro reservado: " + kind};

  // Per searchable list field, the child fields its items table holds ("" for no table).
  std::vector<std::string> covered(schema.count);
  auto load = [&](std::vector<StoredColumn>* columns, std::vector<std::string>* indexes) -> Status {
    columns->clear();
    indexes->clear();
    for (std::size_t i = 0; i < schema.count; ++i) {
      covered[i].clear();
      if (!SearchableList(schema, i)) continue;
      StatementPtr s;
      if (Status st = Prepare("SELECT valor FROM _zq_meta WHERE nome=?1", &s, "ler os itens de " + kind); !st.ok())
        return st;
      const std::string nome = "itens:" + ItemsTable(schema, i);
      sqlite3_bind_text(s.get(), 1, nome.data(), static_cast<int>(nome.size()), SQLITE_TRANSIENT);
      const int rc = sqlite3_step(s.get());
      if (rc == SQLITE_ROW) covered[i] = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
      else if (rc != SQLITE_DONE) return Failure("ler os itens de " + kind);
    }
    StatementPtr s;
    if (Status st = Prepare("SELECT nome, tipo_campo, chave FROM _zq_colunas WHERE tipo=?1", &s,
                            "ler as colunas de " + kind);
        !st.ok())
      return st;
    sqlite3_bind_text(s.get(), 1, kind.data(), static_cast<int>(kind.size()), SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
      auto text = [&](int i) {
        const auto* p = sqlite3_column_text(s.get(), i);
        return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
      };
      columns->push_back({text(0), text(1), sqlite3_column_int64(s.get(), 2) != 0});
    }
    if (rc != SQLITE_DONE) return Failure("ler as colunas de " + kind);
    if (Status st = Prepare("SELECT name FROM sqlite_master WHERE type='index' AND tbl_name=?1", &s,
                            "ler os índices de "_cp + kind);
        !st.ok())
      return st;
    sqlite3_bind_text(s.get(), 1, kind.data(), static_cast<int>(kind.size()), SQLITE_TRANSIENT);
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
      indexes->push_back(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)));
    if (rc != SQLITE_DONE) return Failure("ler os índices de "_cp + kind);
    return {};
  };

  auto diff = [&](const std::vector<StoredColumn>& columns, const std::vector<std::string>& indexes,
                  ReconcilePlan* plan) {
    // List columns keep whatever index an older build gave them: it is never used.
    const auto indexed = [&](std::size_t i) {
      if (SearchableList(schema, i)) return false;
      for (const std::string& n : indexes)
        if (SameName(n, IndexName(schema, i))) return true;
      return false;
    };
    const auto itemsHold = [&](std::size_t i, const char* name) {
      std::string_view rest = covered[i];
      while (!rest.empty()) {
        const std::size_t comma = std::min(rest.find(','), rest.size());
        if (rest.substr(0, comma) == name) return true;  // as the items table spells it
        rest.remove_prefix(std::min(comma + 1, rest.size()));
      }
      return false;
    };
    return PlanReconcile(schema, columns, indexed, itemsHold, plan);
  };

  std::vector<StoredColumn> columns;
  std::vector<std::string> indexes;
  ReconcilePlan plan;
  if (Status st = load(&columns, &indexes); !st.ok()) return st;
  if (Status st = diff(columns, indexes, &plan); !st.ok() || plan.empty()) return st;
  if (m_readOnly) {
    // Read what is there; the missing indexes only cost speed.
    plan.Missing(schema.count, missing, unindexed);
    return {};
  }

  // Something to change: do it under the write lock, looking again, since another connection
  // may have done it meanwhile.
  WriteScope scope(this);
  if (Status st = scope.Begin(); !st.ok()) return st;
  if (Status st = load(&columns, &indexes); !st.ok()) return st;
  if (Status st = diff(columns, indexes, &plan); !st.ok()) return st;

  auto columnSql = [&](std::size_t i) {
    const FieldInfo& f = schema.fields[i];
    if (i == schema.key) return QuoteIdentifier(f.name) + " INTEGER PRIMARY KEY";
    return QuoteIdentifier(f.name) + (IsText(f.type) ? " BLOB NOT NULL DEFAULT x''" : " INTEGER NOT NULL DEFAULT 0");
  };
  StatementPtr record;
  if (Status st = Prepare("INSERT INTO _zq_colunas(tipo, nome, tipo_campo, chave) VALUES(?1,?2,?3,?4)",
                          &record, "gravar as colunas de " + kind);
      !st.ok())
    return st;
  auto remember = [&](std::size_t i) -> Status {
    Reset reset(record.get());
    const FieldInfo& f = schema.fields[i];
    sqlite3_bind_text(record.get(), 1, kind.data(), static_cast<int>(kind.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(record.get(), 2, f.name, -1, SQLITE_STATIC);
    sqlite3_bind_text(record.get(), 3, StoredTypeName(f.type), -1, SQLITE_STATIC);
    sqlite3_bind_int(record.get(), 4, i == schema.key ? 1 : 0);
    if (sqlite3_step(record.get()) != SQLITE_DONE) return Failure("gravar as colunas de " + kind);
    return {};
  };

  if (plan.create) {
    std::string sql = "CREATE TABLE " + QuoteIdentifier(kind) + "(";
    for (std::size_t i = 0; i < schema.count; ++i) sql += (i ? ", " : "") + columnSql(i);
    if (Status st = Exec(sql + ")", "criar a tabela " + kind); !st.ok()) return st;
    for (std::size_t i = 0; i < schema.count; ++i)
      if (Status st = remember(i); !st.ok()) return st;
    Reset reset(m_setCounter.get());
    sqlite3_bind_text(m_setCounter.get(), 1, kind.data(), static_cast<int>(kind.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(m_setCounter.get(), 2, 0);
    if (sqlite3_step(m_setCounter.get()) != SQLITE_DONE)
      return Failure("criar o contador de chaves de " + kind);
  }
  for (std::size_t i : plan.add) {
    if (Status st = Exec("ALTER TABLE " + QuoteIdentifier(kind) + " ADD COLUMN " + columnSql(i),
                         "acrescentar a coluna " + std::string(schema.fields[i].name) + " a " + kind);
        !st.ok())
      return st;
    if (Status st = remember(i); !st.ok()) return st;
  }
  for (std::size_t i : plan.index) {
    if (Status st = Exec("CREATE INDEX IF NOT EXISTS " + QuoteIdentifier(IndexName(schema, i)) + " ON " +
                             QuoteIdentifier(kind) + "(" + QuoteIdentifier(schema.fields[i].name) + ")",
                         "criar o índice de "_cp + kind);
        !st.ok())
      return st;
  }
  // An items table is filled from the stored lists, so files made before it answer alike.
  for (std::size_t i : plan.lists) {
    const std::string table = ItemsTable(schema, i), what = "preparar os itens de " + table;
    if (Status st = Exec("CREATE TABLE IF NOT EXISTS " + QuoteIdentifier(table) +
                             "(chave INTEGER NOT NULL, item BLOB NOT NULL, valor NOT NULL,"
                             " PRIMARY KEY(chave, item, valor)) WITHOUT ROWID;"
                             "CREATE INDEX IF NOT EXISTS " + QuoteIdentifier(table + "__valor") + " ON " + QuoteIdentifier(table) +
                             "(item, valor);DELETE FROM " + QuoteIdentifier(table),
                         what);
        !st.ok())
      return st;
    StatementPtr rows, add, meta;
    if (Status st = Prepare("SELECT " + QuoteIdentifier(schema.fields[schema.key].name) + ", " +
                                QuoteIdentifier(schema.fields[i].name) + " FROM " + QuoteIdentifier(kind),
                            &rows, what);
        !st.ok())
      return st;
    if (Status st = Prepare("INSERT OR IGNORE INTO " + QuoteIdentifier(table) + "(chave, item, valor) VALUES(?1, ?2, ?3)",
                            &add, what);
        !st.ok())
      return st;
    int rc;
    while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW) {
      Value list;
      if (!ColumnValue(rows.get(), 1, &list) ||
          !PutItems(add.get(), schema.fields[i].child(), sqlite3_column_int64(rows.get(), 0), list))
        return Failure("preencher " + table);
    }
    if (rc != SQLITE_DONE) return Failure("preencher " + table);
    if (Status st = Prepare("INSERT INTO _zq_meta(nome, valor) VALUES(?1, ?2)"
                            " ON CONFLICT(nome) DO UPDATE SET valor = excluded.valor",
                            &meta, what);
        !st.ok())
      return st;
    const std::string nome = "itens:" + table, campos = ChildNames(schema.fields[i].child());
    sqlite3_bind_text(meta.get(), 1, nome.data(), static_cast<int>(nome.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(meta.get(), 2, campos.data(), static_cast<int>(campos.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(meta.get()) != SQLITE_DONE) return Failure("preencher " + table);
  }
  if (Status st = scope.Commit(); !st.ok()) return st;
  if (m_inTransaction) m_reconciledInTransaction = true;
  return {};
}

Status SqliteEngine::Use(const RecordSchema& schema, Kind** out) {
  if (m_kindsStale) {
    m_kinds.clear();
    m_kindsStale = false;
  }
  auto it = m_kinds.find(std::string_view(schema.kind));
  if (it != m_kinds.end() && it->second->schema == &schema) {
    *out = it->second.get();
    return {};
  }
  if (it != m_kinds.end()) m_kinds.erase(it);  // another declaration of the kind
  std::vector<bool> missing(schema.count, false), unindexed(schema.count, false);
  if (Status st = Reconcile(schema, &missing, &unindexed); !st.ok()) return st;

  auto k = std::make_unique<Kind>();
  k->schema = &schema;
  k->table = QuoteIdentifier(schema.kind);
  k->key = QuoteIdentifier(schema.fields[schema.key].name);
  k->absent = missing[schema.key];
  std::string columns, params, sets;
  int n = 0;
  for (std::size_t i = 0; i < schema.count; ++i) {
    const std::string c = QuoteIdentifier(schema.fields[i].name);
    // A column the file lacks reads as its default (read-only files only).
    k->columns.push_back(!missing[i] ? c : IsText(schema.fields[i].type) ? "x''" : "0");
    columns += (i ? ", " : "") + k->columns.back();
    params += (i ? ", ?" : "?") + std::to_string(i + 1);
    if (i == schema.key) continue;
    sets += (n ? ", " : "") + c + " = ?" + std::to_string(n + 1);
    ++n;
  }
  if (sets.empty()) sets = k->key + " = " + k->key;
  const std::string what = "preparar o acesso a " + std::string(schema.kind);
  Status st;
  if (!k->absent)
    st = Prepare("SELECT " + columns + " FROM " + k->table + " WHERE " + k->key + " = ?1", &k->read, what);
  if (st.ok() && !m_readOnly)
    st = Prepare("INSERT INTO " + k->table + "(" + columns + ") VALUES(" + params + ")", &k->insert,
                 what);
  if (st.ok() && !m_readOnly)
    st = Prepare("UPDATE " + k->table + " SET " + sets + " WHERE " + k->key + " = ?" +
                     std::to_string(n + 1),
                 &k->update, what);
  if (st.ok() && !m_readOnly)
    st = Prepare("DELETE FROM " + k->table + " WHERE " + k->key + " = ?1", &k->remove, what);
  for (std::size_t i = 0; i < schema.count && st.ok(); ++i) {
    if (!SearchableList(schema, i)) continue;
    Kind::Lista& l = k->lists.emplace_back(Kind::Lista{i, QuoteIdentifier(ItemsTable(schema, i)), !unindexed[i], {}, {}});
    if (m_readOnly || !l.indexed) continue;
    st = Prepare("INSERT OR IGNORE INTO " + l.table + "(chave, item, valor) VALUES(?1, ?2, ?3)", &l.add, what);
    if (st.ok()) st = Prepare("DELETE FROM " + l.table + " WHERE chave = ?1", &l.clear, what);
  }
  if (!st.ok()) return st;
  *out = k.get();
  m_kinds[schema.kind] = std::move(k);
  return {};
}

Status SqliteEngine::Read(std::uint32_t key, TZQBaseParaDados* record) {
  if (!record) return {ZQ_E_ARGUMENTO, "Registro nulo"};
  std::lock_guard<std::mutex> lock(m_mutex);
  const RecordSchema& schema = record->Schema();
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;
  if (key == 0 || k->absent) return NotFound(schema.kind, key);
  OpenSnapshot();

  sqlite3_stmt* s = k->read.get();
  Reset reset(s);
  sqlite3_bind_int64(s, 1, key);
  const int rc = sqlite3_step(s);
  if (rc == SQLITE_DONE) return NotFound(schema.kind, key);
  if (rc != SQLITE_ROW) return Failure("ler " + Which(schema.kind, key));

  // Each value is decoded once, straight into *record; a value that does not fit puts back the
  // fields already set from a plain copy, so *record ends untouched.
  const auto before = record->Clone();
  for (std::size_t i = 0; i < schema.count; ++i) {
    Value v;
    if (!ColumnValue(s, static_cast<int>(i), &v) || !record->SetValor(i, v)) {
      for (std::size_t j = 0; j < i; ++j) record->SetValor(j, before->GetValor(j));
      return {ZQ_E_ESQUEMA, std::string("Valor gravado não cabe no campo "_cp) + schema.fields[i].name +
                                " do registro "_cp + Which(schema.kind, key)};
    }
  }
  return {};
}

Status SqliteEngine::Search(const RecordSchema& schema, const std::vector<Predicate>& predicates,
                            std::vector<std::uint32_t>* keys) {
  if (!keys) return {ZQ_E_ARGUMENTO, "Lista de chaves nula"};
  keys->clear();
  if (Status st = CheckPredicates(schema, predicates); !st.ok()) return st;
  std::lock_guard<std::mutex> lock(m_mutex);
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;
  if (k->absent) return {};
  OpenSnapshot();

  // Statements are cached by the shape of the predicates: fields, matches, and whether a
  // prefix has an upper bound. Values are always bound.
  std::string shape, where, decodedColumns;
  std::vector<Value> values;
  std::vector<const Predicate*> decoded;  // item predicates on lists without items table
  auto param = [&](Value v) {
    values.push_back(std::move(v));
    return " ?" + std::to_string(values.size());
  };
  auto range = [&](const std::string& column, const Predicate& p, std::string* sql) {
    if (p.match == Match::kIgual) {
      shape += "=;";
      *sql += " AND " + column + " =" + param(p.value);
      return;
    }
    const std::string& prefix = std::get<std::string>(p.value);
    if (prefix.empty()) return;  // every text starts with ""
    shape += ">=;";
    *sql += " AND " + column + " >=" + param(prefix);
    if (auto upper = PrefixSuccessor(prefix)) shape += "<;", *sql += " AND " + column + " <" + param(std::move(*upper));
  };
  for (const Predicate& p : predicates) {
    shape += std::to_string(p.field) + ":";
    if (p.item == kSemItem) {
      std::string sql;
      range(k->columns[p.field], p, &sql);
      if (!sql.empty()) where += sql;
      continue;
    }
    const Kind::Lista* l = nullptr;
    for (const Kind::Lista& x : k->lists)
      if (x.field == p.field && x.indexed) l = &x;
    if (!l) {
      shape += "d;";
      decoded.push_back(&p);
      decodedColumns += ", " + k->columns[p.field];
      continue;
    }
    shape += "i";
    std::string sql = " AND " + k->key + " IN (SELECT chave FROM " + l->table + " WHERE item =" +
                      param(std::string(schema.fields[p.field].child().fields[p.item].name));
    range("valor", p, &sql);
    where += sql + ")";
    shape += ");";
  }
  if (!where.empty()) where = " WHERE" + where.substr(4);
  StatementPtr& s = k->searches[shape];
  if (!s) {
    Status st = Prepare("SELECT " + k->key + decodedColumns + " FROM " + k->table + where + " ORDER BY " + k->key,
                        &s, "preparar a busca em " + std::string(schema.kind));
    if (!st.ok()) {
      k->searches.erase(shape);
      return st;
    }
  }
  Reset reset(s.get());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (Bind(s.get(), static_cast<int>(i + 1), values[i]) != SQLITE_OK)
      return Failure("buscar em " + std::string(schema.kind));
  int rc;
  while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
    bool ok = true;
    for (std::size_t d = 0; d < decoded.size() && ok; ++d) {
      Value list;
      ok = ColumnValue(s.get(), static_cast<int>(d + 1), &list) && Holds(schema, *decoded[d], list);
    }
    if (ok) keys->push_back(static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 0)));
  }
  if (rc != SQLITE_DONE) {
    keys->clear();
    return Failure("buscar em " + std::string(schema.kind));
  }
  return {};
}

Status SqliteEngine::PutLists(Kind& k, const TZQBaseParaDados& record, std::uint32_t key, bool clear) {
  for (Kind::Lista& l : k.lists) {
    if (clear) {
      Reset reset(l.clear.get());
      sqlite3_bind_int64(l.clear.get(), 1, key);
      if (sqlite3_step(l.clear.get()) != SQLITE_DONE) return Failure("gravar os itens de " + Which(k.schema->kind, key));
    }
    Reset reset(l.add.get());
    if (!PutItems(l.add.get(), k.schema->fields[l.field].child(), key, record.GetValor(l.field)))
      return Failure("gravar os itens de " + Which(k.schema->kind, key));
  }
  return {};
}

Status SqliteEngine::Insert(TZQBaseParaDados* record) {
  if (!record) return {ZQ_E_ARGUMENTO, "Registro nulo"};
  if (m_readOnly) return ReadOnly();
  std::lock_guard<std::mutex> lock(m_mutex);
  const RecordSchema& schema = record->Schema();
  const std::string kind = schema.kind;
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;

  // The counter is read and raised under the write lock, so two connections never hand out
  // the same key.
  // Items go in with the row: all or nothing, so a kind with lists needs its savepoint.
  WriteScope scope(this, k->lists.empty() ? WriteScope::kSemSavepoint : WriteScope::kSavepoint);
  if (Status st = scope.Begin(); !st.ok()) return st;
  std::uint32_t key = record->GetChave();
  // Inside the caller's transaction the counter is read once and written at Commit (no other
  // connection can write meanwhile): two statements a record were a good part of a load.
  const bool adiado = m_inTransaction;
  const auto guardado = adiado ? m_counters.find(kind) : m_counters.end();
  sqlite3_int64 last = 0;
  if (guardado != m_counters.end()) {
    last = guardado->second;
  } else if (key == 0 || adiado) {
    Reset reset(m_getCounter.get());
    sqlite3_bind_text(m_getCounter.get(), 1, kind.data(), static_cast<int>(kind.size()),
                      SQLITE_TRANSIENT);
    const int rc = sqlite3_step(m_getCounter.get());
    if (rc == SQLITE_ROW)
      last = sqlite3_column_int64(m_getCounter.get(), 0);
    else if (rc != SQLITE_DONE)
      return Failure("ler o contador de chaves de " + kind);
  }
  if (key == 0) {
    if (last >= kMaxKey) return {ZQ_E_MOTOR, std::string("Não há mais chaves livres para "_cp) + kind};
    key = static_cast<std::uint32_t>(last < 0 ? 1 : last + 1);
  }
  {
    sqlite3_stmt* s = k->insert.get();
    Reset reset(s);
    for (std::size_t i = 0; i < schema.count; ++i) {
      const Value v = i == schema.key ? Value(std::int64_t{key}) : record->GetValor(i);
      if (Bind(s, static_cast<int>(i + 1), v) != SQLITE_OK) return Failure("gravar " + Which(kind, key));
    }
    if (sqlite3_step(s) != SQLITE_DONE) {
      if (sqlite3_extended_errcode(m_db) == SQLITE_CONSTRAINT_PRIMARYKEY)
        return {ZQ_E_DUPLICADO, "Registro duplicado: " + Which(kind, key)};
      return Failure("gravar " + Which(kind, key));
    }
  }
  if (Status st = PutLists(*k, *record, key, false); !st.ok()) return st;
  if (adiado) {
    const sqlite3_int64 novo = std::max<sqlite3_int64>(last, key);
    if (guardado != m_counters.end())
      guardado->second = novo;
    else
      m_counters.emplace(kind, novo);
  } else {
    Reset reset(m_setCounter.get());
    sqlite3_bind_text(m_setCounter.get(), 1, kind.data(), static_cast<int>(kind.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(m_setCounter.get(), 2, key);
    if (sqlite3_step(m_setCounter.get()) != SQLITE_DONE) return Failure("gravar o contador de chaves de " + kind);
  }
  if (Status st = scope.Commit(); !st.ok()) return st;
  record->SetChave(key);
  return {};
}

bool SqliteEngine::WriteCounters() {
  for (const auto& [kind, last] : m_counters) {
    Reset reset(m_setCounter.get());
    sqlite3_bind_text(m_setCounter.get(), 1, kind.data(), static_cast<int>(kind.size()), SQLITE_STATIC);
    sqlite3_bind_int64(m_setCounter.get(), 2, last);
    if (sqlite3_step(m_setCounter.get()) != SQLITE_DONE) return false;
  }
  return true;
}

Status SqliteEngine::Update(const TZQBaseParaDados& record) {
  if (m_readOnly) return ReadOnly();
  std::lock_guard<std::mutex> lock(m_mutex);
  const RecordSchema& schema = record.Schema();
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;
  const std::uint32_t key = record.GetChave();
  if (key == 0) return NotFound(schema.kind, key);
  CloseSnapshot();
  std::optional<WriteScope> scope;  // the row and its items together
  if (!k->lists.empty())
    if (Status st = scope.emplace(this).Begin(); !st.ok()) return st;

  sqlite3_stmt* s = k->update.get();
  Reset reset(s);
  int n = 0;
  for (std::size_t i = 0; i < schema.count; ++i) {
    if (i == schema.key) continue;
    if (Bind(s, ++n, record.GetValor(i)) != SQLITE_OK)
      return Failure("alterar " + Which(schema.kind, key));
  }
  sqlite3_bind_int64(s, n + 1, key);
  if (sqlite3_step(s) != SQLITE_DONE) return Failure("alterar " + Which(schema.kind, key));
  if (sqlite3_changes(m_db) == 0) return NotFound(schema.kind, key);
  if (!scope) return {};
  if (Status st = PutLists(*k, record, key, true); !st.ok()) return st;
  return scope->Commit();
}

Status SqliteEngine::Delete(const RecordSchema& schema, std::uint32_t key) {
  if (m_readOnly) return ReadOnly();
  std::lock_guard<std::mutex> lock(m_mutex);
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;
  if (key == 0) return NotFound(schema.kind, key);
  CloseSnapshot();
  std::optional<WriteScope> scope;
  if (!k->lists.empty())
    if (Status st = scope.emplace(this).Begin(); !st.ok()) return st;

  sqlite3_stmt* s = k->remove.get();
  Reset reset(s);
  sqlite3_bind_int64(s, 1, key);
  if (sqlite3_step(s) != SQLITE_DONE) return Failure("excluir " + Which(schema.kind, key));
  if (sqlite3_changes(m_db) == 0) return NotFound(schema.kind, key);
  if (!scope) return {};
  for (Kind::Lista& l : k->lists) {
    Reset clear(l.clear.get());
    sqlite3_bind_int64(l.clear.get(), 1, key);
    if (sqlite3_step(l.clear.get()) != SQLITE_DONE) return Failure("excluir os itens de " + Which(schema.kind, key));
  }
  return scope->Commit();
}

Status SqliteEngine::Begin() {
  if (m_readOnly) return ReadOnly();
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_inTransaction) return {ZQ_E_TRANSACAO, "Já existe uma transação em andamento"_cp};
  CloseSnapshot();
  if (Status st = Exec("BEGIN IMMEDIATE", "iniciar a transação"_cp); !st.ok()) return st;
  m_inTransaction = true;
  m_reconciledInTransaction = false;
  return {};
}

Status SqliteEngine::Commit() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_inTransaction) return {ZQ_E_TRANSACAO, "Nenhuma transação em andamento"_cp};
  const bool contadores = WriteCounters();
  m_counters.clear();
  if (contadores && sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
    m_inTransaction = false;
    return {};
  }
  // A transaction that cannot be committed is undone, so the engine is never left in one.
  // Appended, not `std::string("..."_cp) + ...`: clang 14 crashes on that form in an initializer.
  std::string texto = "Erro do SQLite ao confirmar a transação ("_cp;
  texto.append(m_name).append("): ").append(sqlite3_errmsg(m_db)).append("; a transação foi desfeita"_cp);
  Status st{ZQ_E_MOTOR, std::move(texto)};
  if (!sqlite3_get_autocommit(m_db)) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
  m_inTransaction = false;
  if (m_reconciledInTransaction) m_kindsStale = true;
  return st;
}

Status SqliteEngine::Rollback() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_inTransaction) return {ZQ_E_TRANSACAO, "Nenhuma transação em andamento"_cp};
  m_counters.clear();
  Status st = Exec("ROLLBACK", "desfazer a transação"_cp);
  m_inTransaction = !sqlite3_get_autocommit(m_db);
  if (m_reconciledInTransaction) m_kindsStale = true;
  return st;
}

void SqliteEngine::BeginSnapshot() {
  std::lock_guard<std::mutex> lock(m_mutex);
  ++m_snapshotDepth;  // the read transaction waits for the first read
}

void SqliteEngine::EndSnapshot() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_snapshotDepth > 0 && --m_snapshotDepth == 0) CloseSnapshot();
}

void SqliteEngine::OpenSnapshot() {
  if (m_snapshotOpen && sqlite3_get_autocommit(m_db)) m_snapshotOpen = false;  // SQLite ended it
  if (m_snapshotDepth == 0 || m_snapshotOpen || m_inTransaction) return;
  // Should BEGIN fail, the reads go on each in its own transaction, as outside a snapshot.
  m_snapshotOpen = sqlite3_exec(m_db, "BEGIN DEFERRED", nullptr, nullptr, nullptr) == SQLITE_OK;
}

void SqliteEngine::CloseSnapshot() {
  if (!m_snapshotOpen) return;
  m_snapshotOpen = false;
  // Nothing was written in it, so ending it cannot lose anything; COMMIT only releases the lock.
  if (!sqlite3_get_autocommit(m_db) && sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

long SqliteEngine::SetLockWait(long ms) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const long before = m_lockWaitMs > 0 ? m_lockWaitMs : kBusyTimeoutMs;
  constexpr long kMax = std::numeric_limits<int>::max();
  m_lockWaitMs = ms <= 0 ? 0 : ms > kMax ? kMax : ms;
  sqlite3_busy_timeout(m_db, static_cast<int>(WithinLockWaitLimit(m_lockWaitMs > 0 ? m_lockWaitMs : kBusyTimeoutMs)));
  return before;
}

}  // namespace zq
