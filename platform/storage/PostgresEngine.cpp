#include "platform/storage/PostgresEngine.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>

#include "platform/records/ListaCodec.h"
#include "platform/types/Cp1252.h"
#include "platform/access/ZQResultados.h"

namespace zq {

namespace {

constexpr long kDefaultLockWaitMs = 5000;

// The advisory lock key of a company's schema (FNV-1a of its name): one lock per company.
std::int64_t ChaveBloqueio(const std::string& schema) {
  std::uint64_t h = 1469598103934665603ull;
  for (const unsigned char c : schema) h = (h ^ c) * 1099511628211ull;
  return static_cast<std::int64_t>(h);
}

constexpr std::int64_t kMaxKey = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kMaxIdentifier = 63;  // NAMEDATALEN - 1

// Type oids of the values we bind and read.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt4 = 23, kText = 25, kByteaArray = 1001, kInt8Array = 1016;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

std::string Column(const FieldInfo& f) { return QuoteIdentifier(Lower(f.name)); }

// A text column is indexed by its first bytes: a btree entry has a size limit (about 2.7 KB) that
// a whole text may pass, and a search compares the head through the index and the whole after it.
constexpr std::size_t kCabecaIndice = 256;
std::string Cabeca(const std::string& expr) {
  return "substring(" + expr + " from 1 for " + std::to_string(kCabecaIndice) + ")";
}

// Cut to the server's identifier length here, so the name we look for is the name it keeps.
std::string IndexName(const RecordSchema& schema, std::size_t i) {
  return Lower(std::string(schema.kind) + "__" + schema.fields[i].name).substr(0, kMaxIdentifier);
}

// A searchable list field's items, one row per item and child field, so a search on an item is
// an indexed lookup. The field's name in lower case, as its column spells it.
std::string ItemsTable(const RecordSchema& schema, std::size_t i) {
  return std::string(schema.kind) + "__" + Lower(schema.fields[i].name) + "__itens";
}
std::string ItemsIndex(const std::string& table) { return table + "__valor"; }

// The _zq_meta rows an items table has, one per child field it holds (valor unused), so an items
// table made under child records with fewer fields is filled again.
std::string CoverageRow(const std::string& table, const char* childField) {
  return "itens:" + table + ":" + childField;
}

std::string BigEndian(std::int64_t v) {
  std::string out(8, '\0');
  auto u = static_cast<std::uint64_t>(v);
  for (int i = 7; i >= 0; --i, u >>= 8) out[static_cast<std::size_t>(i)] = static_cast<char>(u & 0xFF);
  return out;
}

// An item's value in the items table: texts as their bytes, integers as their 8 bytes big-endian,
// so one bytea column holds the child fields of either storage and equality stays exact.
std::string ItemBytes(const Value& v) {
  if (const auto* n = std::get_if<std::int64_t>(&v)) return BigEndian(*n);
  return std::get<std::string>(v);
}

// The items of a stored list as (child field name, value) pairs, without repeats.
void ItemPairs(const RecordSchema& child, const Value& list, std::vector<std::pair<std::string, std::string>>* out) {
  const std::size_t from = out->size();
  for (const auto& values : ListItems(child, list))
    for (std::size_t f = 0; f < child.count; ++f) out->emplace_back(child.fields[f].name, ItemBytes(values[f]));
  std::sort(out->begin() + static_cast<long>(from), out->end());
  out->erase(std::unique(out->begin() + static_cast<long>(from), out->end()), out->end());
}

// libpq's own texts may come translated in UTF-8; the server's come in the client encoding.
std::string Cp(const char* text) {
  std::string s = text ? text : "";
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  for (char& c : s)
    if (c == '\n') c = ' ';
  return Utf8ToCp1252(s).value_or(s);
}

// The connection string without its password, for messages.
std::string WithoutPassword(const std::string& conexao) {
  std::string out;
  std::size_t i = 0;
  while (i < conexao.size()) {
    const std::size_t start = i;
    while (i < conexao.size() && conexao[i] != '=' && conexao[i] != ' ') ++i;
    const std::string key = conexao.substr(start, i - start);
    while (i < conexao.size() && conexao[i] == ' ') ++i;
    std::size_t end = i;
    if (end < conexao.size() && conexao[end] == '=') {
      ++end;
      while (end < conexao.size() && conexao[end] == ' ') ++end;
      if (end < conexao.size() && conexao[end] == '\'') {
        for (++end; end < conexao.size() && conexao[end] != '\''; ++end)
          if (conexao[end] == '\\') ++end;
        ++end;
      } else {
        while (end < conexao.size() && conexao[end] != ' ') ++end;
      }
    }
    if (key != "password") {
      if (!out.empty()) out += ' ';
      out.append(conexao, start, std::min(end, conexao.size()) - start);
    }
    i = end;
    while (i < conexao.size() && conexao[i] == ' ') ++i;
  }
  return out;
}

void IgnoreNotice(void*, const char*) {}

}  // namespace

struct PostgresEngine::Param {
  Oid type;
  std::string data;  // binary format

  static Param Of(const Value& v) {
    if (const auto* n = std::get_if<std::int64_t>(&v)) return {kInt8, BigEndian(*n)};
    return {kBytea, std::get<std::string>(v)};
  }
  static Param Text(std::string s) { return {kText, std::move(s)}; }
  // A one-dimensional array in the binary format: ndim, has-nulls, element type, then the size
  // and lower bound of the dimension, then each element as its length and bytes.
  static Param Array(Oid element, const std::vector<std::string>& items) {
    std::string out;
    auto put = [&](std::uint32_t v) { out += BigEndian(v).substr(4); };
    put(items.empty() ? 0 : 1), put(0), put(element);
    if (!items.empty()) put(static_cast<std::uint32_t>(items.size())), put(1);
    for (const std::string& i : items) put(static_cast<std::uint32_t>(i.size())), out += i;
    return {element == kInt8 ? kInt8Array : kByteaArray, std::move(out)};
  }
  // The items of a list as the two arrays the write statements take.
  static void Items(const RecordSchema& child, const Value& list, std::vector<Param>* out) {
    std::vector<std::pair<std::string, std::string>> pairs;
    ItemPairs(child, list, &pairs);
    std::vector<std::string> names, values;
    for (auto& [n, v] : pairs) names.push_back(std::move(n)), values.push_back(std::move(v));
    out->push_back(Array(kBytea, names));
    out->push_back(Array(kBytea, values));
  }
};

class PostgresEngine::Result {
 public:
  Result() = default;
  ~Result() { PQclear(m_res); }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;

  void Reset(PGresult* res) {
    PQclear(m_res);
    m_res = res;
  }
  int Rows() const { return PQntuples(m_res); }
  long Changed() const { return std::atol(PQcmdTuples(m_res)); }
  bool Null(int row, int col) const { return PQgetisnull(m_res, row, col); }
  std::int64_t Int(int row, int col) const {
    if (Null(row, col)) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(PQgetvalue(m_res, row, col));
    const int n = PQgetlength(m_res, row, col);
    std::uint64_t u = 0;
    for (int i = 0; i < n; ++i) u = (u << 8) | p[i];
    if (n == 4) return static_cast<std::int32_t>(static_cast<std::uint32_t>(u));
    return static_cast<std::int64_t>(u);
  }
  std::string Bytes(int row, int col) const {
    return std::string(PQgetvalue(m_res, row, col), static_cast<std::size_t>(PQgetlength(m_res, row, col)));
  }
  // The column as the engine's value: integers of any width, bytes and texts.
  bool Get(int row, int col, Value* out) const {
    switch (PQftype(m_res, col)) {
      case kInt8:
      case kInt4:
      case kBool:
        *out = Int(row, col);
        return true;
      case kBytea:
      case kText:
        *out = Bytes(row, col);
        return true;
      default:
        return false;
    }
  }

 private:
  PGresult* m_res = nullptr;
};

struct PostgresEngine::Statement {
  std::string sql;
  std::vector<Param> shape;
  std::string name;  // "" until prepared
};

struct PostgresEngine::Kind {
  const RecordSchema* schema;
  std::string table;  // qualified, quoted
  std::string key;    // quoted key column
  std::vector<std::string> columns;  // what reads each field: its column, or a default
  std::vector<Param> shape;          // the parameter types of the field values, in order
  bool absent = false;
  // The searchable list fields. Indexed ones are written to their items table by the same
  // statement that writes the row; the others (a read-only open of a schema made before) are
  // searched by decoding the stored lists.
  struct Lista {
    std::size_t field;
    std::string table;  // qualified, quoted items table
    bool indexed;
  };
  std::vector<Lista> lists;
  bool writesItems = false;  // update and remove answer a count, not the rows changed
  // Prepared when first run: most kinds are only read, and a company's first use of each kind
  // would otherwise pay five round trips for it.
  Statement read, insertNew, insertGiven, update, remove;
  std::map<std::string, std::string> searches;  // statement names, by the shape of the predicates
};

// A write that must be all or nothing: its own transaction, or a savepoint inside the caller's
// (so that a failure in it does not fail the caller's transaction).
class PostgresEngine::WriteScope {
 public:
  explicit WriteScope(PostgresEngine* engine) : m_e(engine) {}
  ~WriteScope() {
    if (!m_open || PQstatus(m_e->m_conn) != CONNECTION_OK) return;
    ++m_e->m_idas;
    PQclear(PQexec(m_e->m_conn, m_savepoint ? "ROLLBACK TO SAVEPOINT zq_gravacao; RELEASE SAVEPOINT zq_gravacao"
                                            : "ROLLBACK"));
  }
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;

  Status Begin() {
    m_e->CloseSnapshot();
    m_savepoint = m_e->m_inTransaction;
    Status st = m_e->Exec(m_savepoint ? "SAVEPOINT zq_gravacao" : "BEGIN", "iniciar a gravação"_cp);
    m_open = st.ok();
    return st;
  }
  Status Commit() {
    Status st = m_e->Exec(m_savepoint ? "RELEASE SAVEPOINT zq_gravacao" : "COMMIT", "confirmar a gravação"_cp);
    if (st.ok()) m_open = false;
    return st;
  }

 private:
  PostgresEngine* m_e;
  bool m_savepoint = false;
  bool m_open = false;
};

std::string PostgresEngine::SchemaName(const std::string& empresa) { return Lower(empresa); }

std::unique_ptr<PostgresEngine> PostgresEngine::Open(const std::string& conexao, const std::string& empresa,
                                                     Status* status, Modo modo) {
  Status local;
  Status& st = status ? *status : local;
  const std::string schema = SchemaName(empresa);
  if (schema.empty() || schema.size() > kMaxIdentifier) {
    st = {ZQ_E_MOTOR, "O nome da empresa \"" + empresa +
                          "\" não serve de esquema do PostgreSQL: deve ter de 1 a 63 caracteres"_cp};
    return nullptr;
  }
  if (schema.starts_with("pg_")) {
    st = {ZQ_E_MOTOR, "O nome da empresa \"" + empresa + "\" começa por pg_, reservado pelo PostgreSQL"_cp};
    return nullptr;
  }
  std::unique_ptr<PostgresEngine> engine(new PostgresEngine(conexao, schema, modo == Modo::kLeitura));
  st = engine->Setup(modo);
  if (!st.ok()) return nullptr;
  return engine;
}

PostgresEngine::PostgresEngine(std::string conexao, std::string schema, bool readOnly)
    : m_conexao(std::move(conexao)), m_schema(std::move(schema)), m_readOnly(readOnly),
      m_loadColumns(std::make_unique<Statement>(Statement{
          // With the coverage rows of the kind's items tables, tipo_campo '' telling them apart.
          "SELECT nome, tipo_campo, chave, indexada FROM " + Table("_zq_colunas") +
              " WHERE tipo = $1 UNION ALL SELECT nome, '', false, false FROM " + Table("_zq_meta") +
              " WHERE left(nome, length($1) + 8) = 'itens:' || $1 || '__'",
          {Param::Text("")}, ""})) {}

PostgresEngine::~PostgresEngine() {
  // Closing the connection ends an open transaction on the server, undone.
  if (m_conn) PQfinish(m_conn);
}

std::string PostgresEngine::Describe() const { return "postgresql:" + m_schema + "@" + WithoutPassword(m_conexao); }

std::string PostgresEngine::Table(const std::string& name) const { return QuoteIdentifier(m_schema) + "." + QuoteIdentifier(name); }

Status PostgresEngine::ReadOnly() const {
  return {ZQ_E_MOTOR, "O esquema " + m_schema + " do PostgreSQL foi aberto somente para leitura"};
}

void PostgresEngine::Lost() {
  m_kinds.clear();
  m_loadColumns->name.clear();
  m_snapshotOpen = false;
  m_sessionStale = true;
  if (m_inTransaction) m_transactionFailed = true;
}

Status PostgresEngine::Connect() {
  if (m_conn && PQstatus(m_conn) == CONNECTION_OK) return {};
  if (m_conn) {
    PQreset(m_conn);
  } else {
    m_conn = PQconnectdb(m_conexao.c_str());
  }
  if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
    return {ZQ_E_MOTOR, "Não foi possível conectar ao PostgreSQL ("_cp + WithoutPassword(m_conexao) +
                            "): " + Cp(m_conn ? PQerrorMessage(m_conn) : "sem memória"_cp)};
  }
  PQsetNoticeProcessor(m_conn, IgnoreNotice, nullptr);
  // Server messages in the code page of our texts; identifiers go in it too.
  PQsetClientEncoding(m_conn, "WIN1252");
  Lost();  // statements and settings of the old connection are gone
  return {};
}

Status PostgresEngine::Enter() {
  if (m_inTransaction && !m_transactionFailed && PQtransactionStatus(m_conn) != PQTRANS_INTRANS)
    m_transactionFailed = true;
  if (m_transactionFailed)
    return {ZQ_E_MOTOR, "A transação falhou e foi desfeita pelo PostgreSQL; encerre-a com Rollback"_cp};
  if (Status st = Connect(); !st.ok()) return st;
  if (m_snapshotOpen && PQtransactionStatus(m_conn) != PQTRANS_INTRANS) {
    // A failed read ended the snapshot's transaction on the server.
    ++m_idas;
    PQclear(PQexec(m_conn, "ROLLBACK"));
    m_snapshotOpen = false;
  }
  if (m_sessionStale) {
    const long ms = WithinLockWaitLimit(m_lockWaitMs > 0 ? m_lockWaitMs : kDefaultLockWaitMs);
    Result r;
    if (Status st = Run("", {Param::Of(std::int64_t{ms})}, "definir a espera por bloqueios", &r,
                        "SELECT set_config('lock_timeout', $1::text, false)");
        !st.ok())
      return st;
    m_sessionStale = false;
  }
  return {};
}

Status PostgresEngine::Failure(PGresult* res, const std::string& what) {
  if (PQstatus(m_conn) != CONNECTION_OK) {
    Status st{ZQ_E_MOTOR, "Conexão com o PostgreSQL perdida ao "_cp + what + " (" + m_schema +
                              "): " + Cp(PQerrorMessage(m_conn))};
    Lost();
    return st;
  }
  const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
  const char* primary = res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  const std::string message = Cp(primary ? primary : res ? PQresultErrorMessage(res) : PQerrorMessage(m_conn));
  if (state && std::string_view(state) == "55P03")
    return {ZQ_E_MOTOR, "Tempo de espera por um bloqueio esgotado ao "_cp + what + " (" + m_schema + "): " + message +
                            "; o banco está ocupado por outra gravação há mais de "_cp +
                            std::to_string(WithinLockWaitLimit(m_lockWaitMs > 0 ? m_lockWaitMs : kDefaultLockWaitMs)) +
                            " ms"};
  return {ZQ_E_MOTOR, "Erro do PostgreSQL ao " + what + " (" + m_schema + "): " + message};
}

Status PostgresEngine::Exec(const std::string& sql, const std::string& what) {
  Result r;
  ++m_idas;
  PGresult* res = PQexec(m_conn, sql.c_str());
  r.Reset(res);
  const ExecStatusType s = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
  if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) return Failure(res, what);
  return {};
}

Status PostgresEngine::Prepare(const std::string& sql, const std::vector<Param>& shape, std::string* name,
                               const std::string& what) {
  *name = "zq" + std::to_string(++m_statements);
  std::vector<Oid> types;
  for (const Param& p : shape) types.push_back(p.type);
  Result r;
  ++m_idas;
  PGresult* res = PQprepare(m_conn, name->c_str(), sql.c_str(), static_cast<int>(types.size()), types.data());
  r.Reset(res);
  if (!res || PQresultStatus(res) != PGRES_COMMAND_OK) return Failure(res, what);
  return {};
}

Status PostgresEngine::Run(Statement& statement, const std::vector<Param>& params, const std::string& what,
                           Result* out) {
  if (statement.name.empty()) {
    std::string name;
    if (Status st = Prepare(statement.sql, statement.shape, &name, what); !st.ok()) return st;
    statement.name = name;
  }
  return Run(statement.name, params, what, out);
}

Status PostgresEngine::Run(const std::string& name, const std::vector<Param>& params, const std::string& what,
                           Result* out, const std::string& sql) {
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  std::vector<Oid> types;
  for (const Param& p : params) {
    values.push_back(p.data.data());
    lengths.push_back(static_cast<int>(p.data.size()));
    formats.push_back(1);
    types.push_back(p.type);
  }
  const int n = static_cast<int>(params.size());
  ++m_idas;
  PGresult* res = sql.empty()
                      ? PQexecPrepared(m_conn, name.c_str(), n, values.data(), lengths.data(), formats.data(), 1)
                      : PQexecParams(m_conn, sql.c_str(), n, types.data(), values.data(), lengths.data(),
                                     formats.data(), 1);
  out->Reset(res);
  const ExecStatusType s = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
  if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) return Failure(res, what);
  return {};
}

Status PostgresEngine::Setup(Modo modo) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (Status st = Enter(); !st.ok()) return st;
  const std::string where = "abrir o esquema " + m_schema;
  auto readFormat = [&](int* version, bool* schemaExists) -> Status {
    Result r;
    if (Status st = Run("", {Param::Text(m_schema), Param::Text(Table("_zq_meta"))}, where, &r,
                        "SELECT EXISTS(SELECT 1 FROM pg_namespace WHERE nspname = $1), to_regclass($2) IS NOT NULL");
        !st.ok())
      return st;
    *schemaExists = r.Int(0, 0) != 0;
    *version = 0;
    if (r.Int(0, 1) == 0) return {};
    if (Status st = Run("", {Param::Text("formato")}, where, &r,
                        "SELECT valor FROM " + Table("_zq_meta") + " WHERE nome = $1");
        !st.ok())
      return st;
    if (r.Rows() > 0) *version = static_cast<int>(std::min<std::int64_t>(r.Int(0, 0), std::numeric_limits<int>::max()));
    return {};
  };
  int version = 0;
  bool exists = false;
  if (Status st = readFormat(&version, &exists); !st.ok()) return st;
  if (version > kFormatVersion)
    return {ZQ_E_ESQUEMA, "O esquema " + m_schema + " tem o formato " + std::to_string(version) + ", mais novo que o " +
                              std::to_string(kFormatVersion) + " desta versão do programa; atualize o programa"_cp};
  auto notCompany = [&](bool schemaExists) {
    return Status{ZQ_E_MOTOR, schemaExists ? "O esquema " + m_schema +
                                                 " do PostgreSQL não é o de uma empresa: não tem as tabelas de controle"_cp
                                           : "O esquema " + m_schema + " da empresa não existe no PostgreSQL"_cp};
  };
  if (version == 0 && modo != Modo::kCria) return notCompany(exists);
  if (version != 0) return {};

  WriteScope scope(this);
  if (Status st = scope.Begin(); !st.ok()) return st;
  Result r;
  // Two programs creating one company meet here; the second finds the tables made.
  if (Status st = Run("", {Param::Text(m_schema)}, where, &r, "SELECT pg_advisory_xact_lock(hashtext($1))"); !st.ok())
    return st;
  if (Status st = readFormat(&version, &exists); !st.ok()) return st;
  if (version == 0) {
    if (Status st = Run("", {Param::Text(m_schema)}, where, &r, "SELECT count(*) FROM pg_tables WHERE schemaname = $1");
        !st.ok())
      return st;
    if (r.Int(0, 0) != 0) return notCompany(true);
    const std::string sql =
        "CREATE SCHEMA IF NOT EXISTS " + QuoteIdentifier(m_schema) + ";" +  //
        "CREATE TABLE " + Table("_zq_meta") + "(nome text PRIMARY KEY, valor bigint NOT NULL);" +
        "CREATE TABLE " + Table("_zq_tipos") + "(tipo text PRIMARY KEY, ultima_chave bigint NOT NULL DEFAULT 0);" +
        "CREATE TABLE " + Table("_zq_colunas") +
        "(tipo text NOT NULL, nome text NOT NULL, tipo_campo text NOT NULL, chave boolean NOT NULL,"
        " indexada boolean NOT NULL, PRIMARY KEY(tipo, nome))";
    if (Status st = Exec(sql, "criar as tabelas de controle"); !st.ok()) return st;
    if (Status st = Run("", {Param::Text("formato"), Param::Of(std::int64_t{kFormatVersion})}, where, &r,
                        "INSERT INTO " + Table("_zq_meta") + "(nome, valor) VALUES($1, $2)");
        !st.ok())
      return st;
  }
  return scope.Commit();
}

Status PostgresEngine::Reconcile(const RecordSchema& schema, std::vector<bool>* missing, std::vector<bool>* unindexed) {
  const std::string kind = schema.kind;
  if (kind.empty() || Lower(kind).starts_with("_zq_") || kind.size() > kMaxIdentifier)
    return {ZQ_E_ESQUEMA, "Nome de tipo de registro reservado ou longo demais: " + kind};
  for (std::size_t i = 0; i < schema.count; ++i)
    if (SearchableList(schema, i) && ItemsIndex(ItemsTable(schema, i)).size() > kMaxIdentifier)
      return {ZQ_E_ESQUEMA, std::string("Nome longo demais para a tabela de itens do campo ") + schema.fields[i].name +
                                " de " + kind};

  // Per searchable list field, the child fields its items table holds.
  std::vector<std::vector<std::string>> covered(schema.count);
  // The stored columns, and which of them have their index.
  auto load = [&](std::vector<StoredColumn>* columns, std::vector<std::string>* indexes) -> Status {
    columns->clear();
    indexes->clear();
    for (auto& c : covered) c.clear();
    Result r;
    if (Status st = Run(*m_loadColumns, {Param::Text(kind)}, "ler as colunas de " + kind, &r); !st.ok()) return st;
    for (int i = 0; i < r.Rows(); ++i) {
      const std::string name = r.Bytes(i, 0), type = r.Bytes(i, 1);
      if (type.empty()) {
        for (std::size_t f = 0; f < schema.count; ++f) {
          const std::string prefix = "itens:" + ItemsTable(schema, f) + ":";
          if (SearchableList(schema, f) && name.starts_with(prefix)) covered[f].push_back(name.substr(prefix.size()));
        }
        continue;
      }
      columns->push_back({name, type, r.Int(i, 2) != 0});
      if (r.Int(i, 3) != 0) indexes->push_back(name);
    }
    return {};
  };
  auto diff = [&](const std::vector<StoredColumn>& columns, const std::vector<std::string>& indexes,
                  ReconcilePlan* plan) {
    // An index on a list column refuses lists past its row size, so reconciling drops it.
    const auto indexed = [&](std::size_t i) {
      return std::find(indexes.begin(), indexes.end(), Lower(schema.fields[i].name)) != indexes.end();
    };
    const auto itemsHold = [&](std::size_t i, const char* name) {
      return std::find(covered[i].begin(), covered[i].end(), name) != covered[i].end();
    };
    return PlanReconcile(schema, columns, indexed, itemsHold, plan);
  };

  std::vector<StoredColumn> columns;
  std::vector<std::string> indexes;
  ReconcilePlan plan;
  if (Status st = load(&columns, &indexes); !st.ok()) return st;
  if (Status st = diff(columns, indexes, &plan); !st.ok() || plan.empty()) return st;
  if (m_readOnly) {
    plan.Missing(schema.count, missing, unindexed);
    return {};
  }

  // Something to change: under a lock that only reconcilers take, looking again, since another
  // connection may have done it meanwhile.
  WriteScope scope(this);
  if (Status st = scope.Begin(); !st.ok()) return st;
  if (Status st = Exec("LOCK TABLE " + Table("_zq_colunas") + " IN EXCLUSIVE MODE", "criar a tabela " + kind);
      !st.ok())
    return st;
  if (Status st = load(&columns, &indexes); !st.ok()) return st;
  if (Status st = diff(columns, indexes, &plan); !st.ok()) return st;

  auto columnSql = [&](std::size_t i) {
    const FieldInfo& f = schema.fields[i];
    if (i == schema.key) return Column(f) + " bigint PRIMARY KEY";
    return Column(f) + (IsText(f.type) ? " bytea NOT NULL DEFAULT '\\x'::bytea" : " bigint NOT NULL DEFAULT 0");
  };
  // The tables, columns and indexes in one batch of DDL, then their metadata in one statement.
  std::string ddl;
  std::vector<std::size_t> fresh = plan.add;
  if (plan.create) {
    ddl = "CREATE TABLE " + Table(kind) + "(";
    for (std::size_t i = 0; i < schema.count; ++i) ddl += (i ? ", " : "") + columnSql(i);
    ddl += ");";
    fresh.clear();
    for (std::size_t i = 0; i < schema.count; ++i) fresh.push_back(i);
  }
  for (std::size_t i : plan.add) ddl += "ALTER TABLE " + Table(kind) + " ADD COLUMN " + columnSql(i) + ";";
  for (std::size_t i : plan.index)
    ddl += "CREATE INDEX IF NOT EXISTS " + QuoteIdentifier(IndexName(schema, i)) + " ON " + Table(kind) + "((" +
           (IsText(schema.fields[i].type) ? Cabeca(Column(schema.fields[i])) : Column(schema.fields[i])) + "));";
  for (std::size_t i : plan.unindex) ddl += "DROP INDEX IF EXISTS " + Table(IndexName(schema, i)) + ";";
  for (std::size_t i : plan.lists) {
    const std::string table = ItemsTable(schema, i);
    ddl += "CREATE TABLE IF NOT EXISTS " + Table(table) +
           "(chave bigint NOT NULL, item bytea NOT NULL, valor bytea NOT NULL, PRIMARY KEY(chave, item, valor));"
           "CREATE INDEX IF NOT EXISTS " + QuoteIdentifier(ItemsIndex(table)) + " ON " + Table(table) + "(item, valor);"
           "DELETE FROM " + Table(table) + ";";
  }
  if (Status st = Exec(ddl, "criar a tabela " + kind + " ou seus índices"_cp); !st.ok()) return st;
  if (!fresh.empty()) {
    std::vector<Param> values{Param::Text(kind)};
    std::string rows;
    for (std::size_t i : fresh) {
      const FieldInfo& f = schema.fields[i];
      const std::string n = std::to_string(values.size() + 1);
      const bool indexed = std::find(plan.index.begin(), plan.index.end(), i) != plan.index.end();
      rows += std::string(rows.empty() ? "" : ", ") + "($1, $" + n + ", $" + std::to_string(values.size() + 2) + ", " +
              (i == schema.key ? "true" : "false") + (indexed ? ", true)" : ", false)");
      values.push_back(Param::Text(Lower(f.name)));
      values.push_back(Param::Text(StoredTypeName(f.type)));
    }
    Result r;
    if (Status st = Run("", values, "gravar as colunas de " + kind, &r,
                        "WITH contador AS (INSERT INTO " + Table("_zq_tipos") +
                            "(tipo, ultima_chave) VALUES($1, 0) ON CONFLICT DO NOTHING) INSERT INTO " +
                            Table("_zq_colunas") + "(tipo, nome, tipo_campo, chave, indexada) VALUES " + rows);
        !st.ok())
      return st;
  }
  for (std::size_t i : plan.index) {
    if (std::find(fresh.begin(), fresh.end(), i) != fresh.end()) continue;
    Result r;
    if (Status st = Run("", {Param::Text(kind), Param::Text(Lower(schema.fields[i].name))}, "criar o índice de "_cp + kind,
                        &r, "UPDATE " + Table("_zq_colunas") + " SET indexada = true WHERE tipo = $1 AND nome = $2");
        !st.ok())
      return st;
  }
  for (std::size_t i : plan.unindex) {
    Result r;
    if (Status st = Run("", {Param::Text(kind), Param::Text(Lower(schema.fields[i].name))}, "remover o índice de "_cp + kind,
                        &r, "UPDATE " + Table("_zq_colunas") + " SET indexada = false WHERE tipo = $1 AND nome = $2");
        !st.ok())
      return st;
  }
  if (Status st = FillItems(schema, plan.create ? std::vector<std::size_t>() : plan.lists); !st.ok()) return st;
  // Then each items table records the child fields it holds, dropping those it no longer does.
  for (std::size_t i : plan.lists) {
    const std::string table = ItemsTable(schema, i);
    const RecordSchema& child = schema.fields[i].child();
    std::vector<Param> values{Param::Text("itens:" + table + ":")};
    std::string rows;
    for (std::size_t c = 0; c < child.count; ++c) {
      values.push_back(Param::Text(CoverageRow(table, child.fields[c].name)));
      rows += std::string(c ? ", " : "") + "($" + std::to_string(values.size()) + ")";
    }
    const std::string meta = Table("_zq_meta");
    Result r;
    if (Status st = Run("", values, "preencher " + table, &r,
                        "WITH n(nome) AS (VALUES " + rows + "), d AS (DELETE FROM " + meta +
                            " WHERE left(nome, length($1)) = $1 AND nome NOT IN (SELECT nome FROM n))"
                            " INSERT INTO " + meta + "(nome, valor) SELECT nome, 1 FROM n"
                            " ON CONFLICT (nome) DO NOTHING");
        !st.ok())
      return st;
  }
  if (Status st = scope.Commit(); !st.ok()) return st;
  if (m_inTransaction) m_reconciledInTransaction = true;
  return {};
}

Status PostgresEngine::FillItems(const RecordSchema& schema, const std::vector<std::size_t>& lists) {
  if (lists.empty()) return {};
  const std::string kind = schema.kind;
  std::string sql = "SELECT " + Column(schema.fields[schema.key]);
  for (std::size_t i : lists) sql += ", " + Column(schema.fields[i]);
  Result rows;
  if (Status st = Run("", {}, "ler as listas de " + kind, &rows, sql + " FROM " + Table(kind)); !st.ok()) return st;
  // One statement per list, whatever the number of records.
  for (std::size_t l = 0; l < lists.size(); ++l) {
    const std::string table = ItemsTable(schema, lists[l]);
    std::vector<std::string> keys, names, values;
    for (int r = 0; r < rows.Rows(); ++r) {
      Value list;
      if (!rows.Get(r, static_cast<int>(l + 1), &list)) continue;
      std::vector<std::pair<std::string, std::string>> pairs;
      ItemPairs(schema.fields[lists[l]].child(), list, &pairs);
      for (auto& [n, v] : pairs) keys.push_back(BigEndian(rows.Int(r, 0))), names.push_back(std::move(n)), values.push_back(std::move(v));
    }
    if (keys.empty()) continue;
    Result r;
    if (Status st = Run("", {Param::Array(kInt8, keys), Param::Array(kBytea, names), Param::Array(kBytea, values)},
                        "preencher " + table, &r,
                        "INSERT INTO " + Table(table) + "(chave, item, valor) SELECT * FROM unnest($1, $2, $3)"
                        " ON CONFLICT DO NOTHING");
        !st.ok())
      return st;
  }
  return {};
}

Status PostgresEngine::Use(const RecordSchema& schema, Kind** out) {
  if (m_kindsStale) {
    m_kinds.clear();
    m_kindsStale = false;
  }
  auto it = m_kinds.find(std::string_view(schema.kind));
  if (it != m_kinds.end() && it->second->schema == &schema) {
    *out = it->second.get();
    return {};
  }
  if (it != m_kinds.end()) m_kinds.erase(it);
  std::vector<bool> missing(schema.count, false), unindexed(schema.count, false);
  if (Status st = Reconcile(schema, &missing, &unindexed); !st.ok()) return st;

  auto k = std::make_unique<Kind>();
  k->schema = &schema;
  k->table = Table(schema.kind);
  k->key = Column(schema.fields[schema.key]);
  k->absent = missing[schema.key];
  std::string columns, params, chosen, sets;
  int n = 0;
  for (std::size_t i = 0; i < schema.count; ++i) {
    const FieldInfo& f = schema.fields[i];
    const std::string c = Column(f);
    k->columns.push_back(!missing[i] ? c : IsText(f.type) ? "'\\x'::bytea" : "0::bigint");
    k->shape.push_back(Param::Of(IsText(f.type) ? Value(std::string()) : Value(std::int64_t{0})));
    const char* comma = i ? ", " : "";
    std::string p = "$";
    p += std::to_string(i + 2);  // $1 is the kind, for the counter
    columns.append(comma).append(k->columns.back());
    params.append(comma).append(p);
    chosen.append(comma).append(i == schema.key ? "c.ultima_chave" : p);
    if (i == schema.key) continue;
    sets += (n ? ", " : "") + c + " = $" + std::to_string(n + 1);
    ++n;
  }
  if (sets.empty()) sets = k->key + " = " + k->key;
  const std::string counters = Table("_zq_tipos");
  const std::vector<Param> keyOnly{Param::Of(std::int64_t{0})};
  std::vector<Param> withKind{Param::Text("")};
  withKind.insert(withKind.end(), k->shape.begin(), k->shape.end());
  std::vector<Param> updateShape;
  for (std::size_t i = 0; i < schema.count; ++i)
    if (i != schema.key) updateShape.push_back(k->shape[i]);
  updateShape.push_back(keyOnly[0]);
  k->read = {"SELECT " + columns + " FROM " + k->table + " WHERE " + k->key + " = $1", keyOnly, ""};

  // Each indexed list's items travel as two arrays after the statement's other values (names,
  // values) and are written by the statement that writes the row, so they need no round trip,
  // savepoint or transaction of their own and a refused write leaves them as they were.
  std::string removes;
  std::vector<Param> itemShape;
  for (std::size_t i = 0; i < schema.count; ++i) {
    if (!SearchableList(schema, i)) continue;
    const Kind::Lista& l = k->lists.emplace_back(Kind::Lista{i, Table(ItemsTable(schema, i)), !unindexed[i]});
    if (!l.indexed) continue;
    removes += ", d" + std::to_string(i) + " AS (DELETE FROM " + l.table + " WHERE chave = $1)";
    itemShape.push_back(Param::Array(kBytea, {}));
    itemShape.push_back(Param::Array(kBytea, {}));
  }
  k->writesItems = !itemShape.empty();
  // The CTEs that write the items of the row in r, the arrays numbered from `first`; `replace`
  // first drops the items the record no longer has. Items it keeps stay in place: a row deleted
  // and inserted again by one statement would meet itself in the primary key.
  auto writeItems = [&](std::size_t first, bool replace) {
    std::string sql;
    for (const Kind::Lista& l : k->lists) {
      if (!l.indexed) continue;
      const std::string j = std::to_string(l.field);
      const std::string items = "unnest($" + std::to_string(first) + ", $" + std::to_string(first + 1) + ") AS x(item, valor)";
      first += 2;
      if (replace)
        sql += ", d" + j + " AS (DELETE FROM " + l.table + " s USING r WHERE s.chave = r.chave AND NOT EXISTS (SELECT 1 FROM " +
               items + " WHERE x.item = s.item AND x.valor = s.valor))";
      sql += ", l" + j + " AS (INSERT INTO " + l.table + "(chave, item, valor) SELECT r.chave, x.item, x.valor FROM r, " +
             items + " ON CONFLICT DO NOTHING)";
    }
    return sql;
  };
  withKind.insert(withKind.end(), itemShape.begin(), itemShape.end());
  updateShape.insert(updateShape.end(), itemShape.begin(), itemShape.end());
  if (k->writesItems) {
    const std::string inserted = writeItems(schema.count + 2, false);
    k->insertNew = {"WITH c AS (UPDATE " + counters + " SET ultima_chave = ultima_chave + 1 WHERE tipo = $1 AND ultima_chave < " +
                        std::to_string(kMaxKey) + " RETURNING ultima_chave), r AS (INSERT INTO " + k->table + "(" + columns +
                        ") SELECT " + chosen + " FROM c RETURNING " + k->key + " AS chave)" + inserted + " SELECT chave FROM r",
                    withKind, ""};
    k->insertGiven = {"WITH r AS (INSERT INTO " + k->table + "(" + columns + ") VALUES(" + params +
                          ") ON CONFLICT DO NOTHING RETURNING " + k->key + " AS chave), u AS (UPDATE " + counters +
                          " SET ultima_chave = r.chave FROM r WHERE tipo = $1 AND ultima_chave < r.chave)" + inserted +
                          " SELECT count(*) FROM r",
                      withKind, ""};
    k->update = {"WITH r AS (UPDATE " + k->table + " SET " + sets + " WHERE " + k->key + " = $" + std::to_string(n + 1) +
                     " RETURNING " + k->key + " AS chave)" + writeItems(static_cast<std::size_t>(n) + 2, true) +
                     " SELECT count(*) FROM r",
                 updateShape, ""};
    k->remove = {"WITH r AS (DELETE FROM " + k->table + " WHERE " + k->key + " = $1 RETURNING " + k->key + ")" + removes +
                     " SELECT count(*) FROM r",
                 keyOnly, ""};
    *out = k.get();
    m_kinds[schema.kind] = std::move(k);
    return {};
  }
  // The counter row's lock queues concurrent inserters of the kind; the key passed in is not used.
  k->insertNew = {"WITH c AS (UPDATE " + counters + " SET ultima_chave = ultima_chave + 1 WHERE tipo = $1 AND ultima_chave < " +
                      std::to_string(kMaxKey) + " RETURNING ultima_chave) INSERT INTO " + k->table + "(" + columns +
                      ") SELECT " + chosen + " FROM c RETURNING " + k->key,
                  withKind, ""};
  // A given key raises the counter only when above it, so lower keys take no lock on it.
  k->insertGiven = {"WITH i AS (INSERT INTO " + k->table + "(" + columns + ") VALUES(" + params +
                        ") ON CONFLICT DO NOTHING RETURNING " + k->key + " AS chave), u AS (UPDATE " + counters +
                        " SET ultima_chave = i.chave FROM i WHERE tipo = $1 AND ultima_chave < i.chave)"
                        " SELECT count(*) FROM i",
                    withKind, ""};
  k->update = {"UPDATE " + k->table + " SET " + sets + " WHERE " + k->key + " = $" + std::to_string(n + 1), updateShape, ""};
  k->remove = {"DELETE FROM " + k->table + " WHERE " + k->key + " = $1", keyOnly, ""};
  *out = k.get();
  m_kinds[schema.kind] = std::move(k);
  return {};
}

Status PostgresEngine::Read(std::uint32_t key, TZQBaseParaDados* record) {
  if (!record) return {ZQ_E_ARGUMENTO, "Registro nulo"};
  std::lock_guard<std::mutex> lock(m_mutex);
  if (Status st = Enter(); !st.ok()) return st;
  const RecordSchema& schema = record->Schema();
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;
  if (key == 0 || k->absent) return NotFound(schema.kind, key);
  OpenSnapshot();
  Result r;
  if (Status st = Run(k->read, {Param::Of(std::int64_t{key})}, "ler " + Which(schema.kind, key), &r); !st.ok())
    return st;
  if (r.Rows() == 0) return NotFound(schema.kind, key);
  const auto before = record->Clone();
  for (std::size_t i = 0; i < schema.count; ++i) {
    Value v;
    if (!r.Get(0, static_cast<int>(i), &v) || !record->SetValor(i, v)) {
      for (std::size_t j = 0; j < i; ++j) record->SetValor(j, before->GetValor(j));
      return {ZQ_E_ESQUEMA, std::string("Valor gravado não cabe no campo "_cp) + schema.fields[i].name +
                                " do registro "_cp + Which(schema.kind, key)};
    }
  }
  return {};
}

Status PostgresEngine::Search(const RecordSchema& schema, const std::vector<Predicate>& predicates,
                              std::vector<std::uint32_t>* keys) {
  if (!keys) return {ZQ_E_ARGUMENTO, "Lista de chaves nula"};
  keys->clear();
  if (Status st = CheckPredicates(schema, predicates); !st.ok()) return st;
  std::lock_guard<std::mutex> lock(m_mutex);
  if (Status st = Enter(); !st.ok()) return st;
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;
  if (k->absent) return {};
  OpenSnapshot();

  // Statements are cached by the shape of the predicates; values are always bound. Bytea
  // compares as memcmp, so [prefix, successor) holds exactly the texts with that prefix.
  std::string shape, where, decodedColumns;
  std::vector<Param> params;
  std::vector<const Predicate*> decoded;  // item predicates on lists without an items table
  auto param = [&](Param p) {
    params.push_back(std::move(p));
    return " $" + std::to_string(params.size());
  };
  auto range = [&](const std::string& column, const Predicate& p, const Param& value, std::string* sql) {
    if (p.match == Match::kIgual) {
      shape += "=;";
      *sql += " AND " + column + " =" + param(value);
      return;
    }
    const std::string& prefix = std::get<std::string>(p.value);
    if (prefix.empty()) return;  // every text starts with ""
    shape += ">=;";
    *sql += " AND " + column + " >=" + param(Param::Of(prefix));
    if (auto upper = PrefixSuccessor(prefix)) shape += "<;", *sql += " AND " + column + " <" + param(Param::Of(*upper));
  };
  // A text column's index holds its head: the head narrows through it, the whole decides.
  auto rangeText = [&](const std::string& column, const Predicate& p) {
    const std::string& texto = std::get<std::string>(p.value);
    if (p.match == Match::kIgual || texto.size() > kCabecaIndice) {
      shape += "h=;";
      where += " AND " + Cabeca(column) + " =" + param(Param::Of(texto.substr(0, kCabecaIndice)));
      if (p.match == Match::kIgual) {
        where += " AND " + column + " =" + param(Param::Of(p.value));
        return;
      }
    }
    range(texto.size() > kCabecaIndice ? column : Cabeca(column), p, Param::Of(p.value), &where);
  };
  for (const Predicate& p : predicates) {
    shape += std::to_string(p.field) + ":";
    if (p.item == kSemItem) {
      if (IsText(schema.fields[p.field].type) && k->columns[p.field] == Column(schema.fields[p.field]))
        rangeText(k->columns[p.field], p);
      else
        range(k->columns[p.field], p, Param::Of(p.value), &where);
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
    shape += "i" + std::to_string(p.item);
    std::string sql = " AND " + k->key + " IN (SELECT chave FROM " + l->table + " WHERE item =" +
                      param(Param::Of(std::string(schema.fields[p.field].child().fields[p.item].name)));
    range("valor", p, Param{kBytea, ItemBytes(p.value)}, &sql);
    where += sql + ")";
    shape += ");";
  }
  if (!where.empty()) where = " WHERE" + where.substr(4);
  auto it = k->searches.find(shape);
  if (it == k->searches.end()) {
    std::string name;
    if (Status st = Prepare("SELECT " + k->key + decodedColumns + " FROM " + k->table + where + " ORDER BY " + k->key,
                            params, &name, "preparar a busca em " + std::string(schema.kind));
        !st.ok())
      return st;
    it = k->searches.emplace(shape, name).first;
  }
  Result r;
  if (Status st = Run(it->second, params, "buscar em " + std::string(schema.kind), &r); !st.ok()) return st;
  if (!decoded.empty()) {
    for (int i = 0; i < r.Rows(); ++i) {
      bool ok = true;
      for (std::size_t d = 0; d < decoded.size() && ok; ++d) {
        Value list;
        ok = r.Get(i, static_cast<int>(d + 1), &list) && Holds(schema, *decoded[d], list);
      }
      if (ok) keys->push_back(static_cast<std::uint32_t>(r.Int(i, 0)));
    }
    return {};
  }
  keys->reserve(static_cast<std::size_t>(r.Rows()));
  for (int i = 0; i < r.Rows(); ++i) keys->push_back(static_cast<std::uint32_t>(r.Int(i, 0)));
  return {};
}

void PostgresEngine::AddItems(const Kind& k, const TZQBaseParaDados& record, std::vector<Param>* params) {
  for (const Kind::Lista& l : k.lists)
    if (l.indexed) Param::Items(k.schema->fields[l.field].child(), record.GetValor(l.field), params);
}

Status PostgresEngine::Insert(TZQBaseParaDados* record) {
  if (!record) return {ZQ_E_ARGUMENTO, "Registro nulo"};
  if (m_readOnly) return ReadOnly();
  std::lock_guard<std::mutex> lock(m_mutex);
  if (Status st = Enter(); !st.ok()) return st;
  CloseSnapshot();
  const RecordSchema& schema = record->Schema();
  const std::string kind = schema.kind;
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;

  // One statement takes the key and stores the row, atomic on its own, so a refusal inside the
  // caller's transaction leaves it as it was.
  const std::uint32_t given = record->GetChave();
  std::vector<Param> params{Param::Text(kind)};
  for (std::size_t i = 0; i < schema.count; ++i)
    params.push_back(Param::Of(i == schema.key ? Value(std::int64_t{given}) : record->GetValor(i)));
  AddItems(*k, *record, &params);
  Result r;
  if (given == 0) {
    if (Status st = Run(k->insertNew, params, "gravar um novo " + kind, &r); !st.ok()) return st;
    if (r.Rows() == 0) return {ZQ_E_MOTOR, std::string("Não há mais chaves livres para "_cp) + kind};
    record->SetChave(static_cast<std::uint32_t>(r.Int(0, 0)));
    return {};
  }
  if (Status st = Run(k->insertGiven, params, "gravar " + Which(kind, given), &r); !st.ok()) return st;
  if (r.Int(0, 0) == 0) return {ZQ_E_DUPLICADO, "Registro duplicado: " + Which(kind, given)};
  return {};
}

Status PostgresEngine::Update(const TZQBaseParaDados& record) {
  if (m_readOnly) return ReadOnly();
  std::lock_guard<std::mutex> lock(m_mutex);
  if (Status st = Enter(); !st.ok()) return st;
  CloseSnapshot();
  const RecordSchema& schema = record.Schema();
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;
  const std::uint32_t key = record.GetChave();
  if (key == 0) return NotFound(schema.kind, key);
  std::vector<Param> params;
  for (std::size_t i = 0; i < schema.count; ++i)
    if (i != schema.key) params.push_back(Param::Of(record.GetValor(i)));
  params.push_back(Param::Of(std::int64_t{key}));
  AddItems(*k, record, &params);
  Result r;
  if (Status st = Run(k->update, params, "alterar " + Which(schema.kind, key), &r); !st.ok()) return st;
  if ((k->writesItems ? r.Int(0, 0) : r.Changed()) == 0) return NotFound(schema.kind, key);
  return {};
}

Status PostgresEngine::Delete(const RecordSchema& schema, std::uint32_t key) {
  if (m_readOnly) return ReadOnly();
  std::lock_guard<std::mutex> lock(m_mutex);
  if (Status st = Enter(); !st.ok()) return st;
  CloseSnapshot();
  Kind* k;
  if (Status st = Use(schema, &k); !st.ok()) return st;
  if (key == 0) return NotFound(schema.kind, key);
  Result r;
  if (Status st = Run(k->remove, {Param::Of(std::int64_t{key})}, "excluir " + Which(schema.kind, key), &r); !st.ok())
    return st;
  if ((k->writesItems ? r.Int(0, 0) : r.Changed()) == 0) return NotFound(schema.kind, key);
  return {};
}

Status PostgresEngine::Begin() {
  if (m_readOnly) return ReadOnly();
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_inTransaction) return {ZQ_E_TRANSACAO, "Já existe uma transação em andamento"_cp};
  if (Status st = Enter(); !st.ok()) return st;
  CloseSnapshot();
  if (Status st = Exec("BEGIN", "iniciar a transação"_cp); !st.ok()) return st;
  // The company's write lock, held to the end of the transaction: a second writer's Begin waits
  // here (up to the lock wait), so a check and the write it allows are atomic, as on SQLite.
  Result r;
  if (Status st = Run("", {Param::Of(std::int64_t{ChaveBloqueio(m_schema)})}, "bloquear a empresa para gravar"_cp, &r,
                      "SELECT pg_advisory_xact_lock($1)");
      !st.ok()) {
    if (PQstatus(m_conn) == CONNECTION_OK) {
      ++m_idas;
      PQclear(PQexec(m_conn, "ROLLBACK"));
    }
    return st;
  }
  m_inTransaction = true;
  m_transactionFailed = false;
  m_reconciledInTransaction = false;
  return {};
}

Status PostgresEngine::Commit() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_inTransaction) return {ZQ_E_TRANSACAO, "Nenhuma transação em andamento"_cp};
  Status st = Enter();
  if (st.ok()) st = Exec("COMMIT", "confirmar a transação"_cp);
  if (!st.ok()) {
    if (PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) != PQTRANS_IDLE) {
      ++m_idas;
      PQclear(PQexec(m_conn, "ROLLBACK"));
    }
    if (m_reconciledInTransaction) m_kindsStale = true;
    m_sessionStale = true;
    st.message += "; a transação foi desfeita"_cp;
  }
  m_inTransaction = m_transactionFailed = false;
  return st;
}

Status PostgresEngine::Rollback() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_inTransaction) return {ZQ_E_TRANSACAO, "Nenhuma transação em andamento"_cp};
  Status st;
  // A transaction lost with its connection is already undone; the next call reconnects.
  if (PQstatus(m_conn) == CONNECTION_OK) st = Exec("ROLLBACK", "desfazer a transação"_cp);
  if (PQstatus(m_conn) != CONNECTION_OK) st = {};
  m_inTransaction = m_transactionFailed = false;
  m_sessionStale = true;  // a setting changed inside it was undone too
  if (m_reconciledInTransaction) m_kindsStale = true;
  return st;
}

void PostgresEngine::BeginSnapshot() {
  std::lock_guard<std::mutex> lock(m_mutex);
  ++m_snapshotDepth;  // the transaction waits for the first read
}

void PostgresEngine::EndSnapshot() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_snapshotDepth > 0 && --m_snapshotDepth == 0) CloseSnapshot();
}

void PostgresEngine::OpenSnapshot() {
  if (m_snapshotDepth == 0 || m_snapshotOpen || m_inTransaction) return;
  // Should BEGIN fail, the reads go on each in its own transaction, as outside a snapshot.
  m_snapshotOpen = Exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", "iniciar a leitura").ok();
}

void PostgresEngine::CloseSnapshot() {
  if (!m_snapshotOpen) return;
  m_snapshotOpen = false;
  // COMMIT keeps a lock wait set inside it; the transaction wrote nothing.
  if (PQstatus(m_conn) == CONNECTION_OK) {
    ++m_idas;
    PQclear(PQexec(m_conn, "COMMIT"));
  }
}

long PostgresEngine::SetLockWait(long ms) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const long before = m_lockWaitMs > 0 ? m_lockWaitMs : kDefaultLockWaitMs;
  constexpr long kMax = std::numeric_limits<int>::max();
  m_lockWaitMs = ms <= 0 ? 0 : ms > kMax ? kMax : ms;
  m_sessionStale = true;  // set on the connection by the next call
  return before;
}

}  // namespace zq
