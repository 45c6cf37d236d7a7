#include "platform/storage/MemoryEngine.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>

#include "platform/types/Cp1252.h"
#include "platform/access/ZQResultados.h"

namespace zq {

namespace {

using Row = std::vector<Value>;

constexpr std::uint32_t kMaxKey = std::numeric_limits<std::uint32_t>::max();

Value Default(bool text) { return text ? Value(std::string()) : Value(std::int64_t{0}); }


// Whether the row satisfies every predicate but `skip` (one its candidates came from).
bool Satisfies(const Row& row, const RecordSchema& schema, const std::vector<Predicate>& predicates,
               const std::vector<std::size_t>& layout, const Predicate* skip = nullptr) {
  for (const Predicate& p : predicates)
    if (&p != skip && !Holds(schema, p, row[layout[p.field]])) return false;
  return true;
}

}  // namespace

struct MemoryEngine::Table {
  struct Column {
    std::string name;
    bool text;
  };
  // The keys of the records holding each value of one column, ascending like search answers.
  using Index = std::unordered_map<Value, std::set<std::uint32_t>>;

  std::string kind;
  std::vector<Column> columns;
  std::size_t keyColumn = 0;
  std::map<std::uint32_t, Row> rows;  // in key order, so scans answer ascending
  // The same rows by key, at one lookup whatever the size: keys handed out are dense, so most
  // live in a vector indexed by key; far-off explicit keys (0xFFFFFFFF) go to a hash instead of
  // stretching it.
  std::vector<Row*> dense;
  std::unordered_map<std::uint32_t, Row*> sparse;
  std::vector<std::unique_ptr<Index>> indexes;  // per column; null where no declaration searches
  // The items of a searchable list column: per field of `child`, the keys of the records with
  // an item holding each value. Lists are decoded once, when stored.
  struct ItemIndex {
    const RecordSchema* child;
    std::vector<Index> byField;
  };
  std::vector<std::unique_ptr<ItemIndex>> items;  // per column; null but for searchable lists
  std::uint32_t last = 0;  // highest key ever stored
  // Column of each field, per declaration seen.
  std::vector<std::pair<const RecordSchema*, std::vector<std::size_t>>> layouts;

  void Pad(Row& row) const {
    for (std::size_t c = row.size(); c < columns.size(); ++c) row.push_back(Default(columns[c].text));
  }

  Row* Find(std::uint32_t key) {
    if (key < dense.size()) return dense[key];
    auto it = sparse.find(key);
    return it == sparse.end() ? nullptr : it->second;
  }
  void Link(std::uint32_t key, Row* row) {
    if (key >= dense.size() && key < std::max<std::size_t>(1024, 2 * rows.size())) {
      // Grown in one go: the keys of the hash that now fit move over.
      dense.resize(std::max<std::size_t>(key + 1, 2 * dense.size()), nullptr);
      for (auto it = sparse.begin(); it != sparse.end();)
        if (it->first < dense.size()) {
          dense[it->first] = it->second;
          it = sparse.erase(it);
        } else {
          ++it;
        }
    }
    if (key < dense.size())
      dense[key] = row;
    else
      sparse[key] = row;
  }
  void Unlink(std::uint32_t key) {
    if (key < dense.size())
      dense[key] = nullptr;
    else
      sparse.erase(key);
  }

  // Every write goes through these four, so the indexes always describe the rows.
  bool HasIndex(std::size_t c) const { return indexes[c] || items[c]; }
  void Indexed(std::size_t c, const Value& v, std::uint32_t key) {
    if (indexes[c]) (*indexes[c])[v].insert(key);
    if (!items[c]) return;
    for (auto& values : ListItems(*items[c]->child, v))
      for (std::size_t f = 0; f < values.size(); ++f) items[c]->byField[f][std::move(values[f])].insert(key);
  }
  void Unindexed(std::size_t c, const Value& v, std::uint32_t key) {
    auto drop = [key](Index& index, const Value& value) {
      auto it = index.find(value);
      if (it == index.end()) return;  // a value two items share goes with the first
      it->second.erase(key);
      if (it->second.empty()) index.erase(it);
    };
    if (indexes[c]) drop(*indexes[c], v);
    if (!items[c]) return;
    for (const auto& values : ListItems(*items[c]->child, v))
      for (std::size_t f = 0; f < values.size(); ++f) drop(items[c]->byField[f], values[f]);
  }
  // Inserts or replaces the row with this key.
  void Store(std::uint32_t key, Row row) {
    auto [it, fresh] = rows.try_emplace(key);
    for (std::size_t c = 0; c < indexes.size(); ++c) {
      if (!HasIndex(c)) continue;
      if (!fresh) Unindexed(c, it->second[c], key);
      Indexed(c, row[c], key);
    }
    it->second = std::move(row);
    Link(key, &it->second);
  }
  // Removes the row with this key, if any, and answers it.
  std::optional<Row> Erase(std::uint32_t key) {
    auto it = rows.find(key);
    if (it == rows.end()) return std::nullopt;
    for (std::size_t c = 0; c < indexes.size(); ++c)
      if (HasIndex(c)) Unindexed(c, it->second[c], key);
    Row row = std::move(it->second);
    Unlink(key);
    rows.erase(it);
    return row;
  }

  // Starts indexing column c (never the key: rows are found by key already); a list column
  // by its items, under the child fields of `f`. A later declaration whose child records have
  // a field the index lacks rebuilds it under its own.
  void AddIndex(std::size_t c, const FieldInfo& f) {
    if (c == keyColumn) return;
    if (f.type != FieldType::kList || !f.child) {
      if (indexes[c]) return;
      indexes[c] = std::make_unique<Index>();
      for (const auto& [key, row] : rows) (*indexes[c])[row[c]].insert(key);
      return;
    }
    const RecordSchema& child = f.child();
    if (items[c]) {
      bool covered = true;
      for (std::size_t i = 0; i < child.count; ++i) covered = covered && items[c]->child->Find(child.fields[i].name) >= 0;
      if (covered) return;
    }
    items[c] = std::make_unique<ItemIndex>(ItemIndex{&child, std::vector<Index>(child.count)});
    for (const auto& [key, row] : rows) {
      for (auto& values : ListItems(child, row[c]))
        for (std::size_t i = 0; i < values.size(); ++i) items[c]->byField[i][std::move(values[i])].insert(key);
    }
  }

  // The keys whose list in column c has an item matching p (an equality), or null when the
  // index cannot answer it (no index, or a child field it does not cover).
  const std::set<std::uint32_t>* ItemKeys(std::size_t c, const RecordSchema& schema, const Predicate& p,
                                          bool* none) const {
    static const std::set<std::uint32_t> kEmpty;
    *none = false;
    if (!items[c]) return nullptr;
    const FieldInfo& campo = schema.fields[p.field].child().fields[p.item];
    const int f = items[c]->child->Find(campo.name);
    if (f < 0 || IsText(items[c]->child->fields[f].type) != IsText(campo.type)) return nullptr;
    const Index& index = items[c]->byField[static_cast<std::size_t>(f)];
    auto it = index.find(p.value);
    if (it != index.end()) return &it->second;
    *none = true;
    return &kEmpty;
  }
};

struct MemoryEngine::Undo {
  Table* table;
  std::uint32_t key;
  std::optional<Row> before;  // nullopt: the key was free
  std::uint32_t lastBefore;
};

MemoryEngine::MemoryEngine() = default;
MemoryEngine::~MemoryEngine() = default;

std::string MemoryEngine::Describe() const { return "memoria"; }

Status MemoryEngine::Open(const RecordSchema& schema, Table** out,
                          const std::vector<std::size_t>** layout) {
  auto it = m_tables.find(std::string_view(schema.kind));
  if (it == m_tables.end()) it = m_tables.emplace(schema.kind, nullptr).first;
  auto& slot = it->second;
  if (!slot) {
    slot = std::make_unique<Table>();
    slot->kind = schema.kind;
    for (std::size_t i = 0; i < schema.count; ++i)
      slot->columns.push_back({schema.fields[i].name, IsText(schema.fields[i].type)});
    slot->keyColumn = schema.key;
  }
  Table& t = *slot;
  *out = &t;
  for (const auto& [s, l] : t.layouts) {
    if (s == &schema) {
      *layout = &l;
      return {};
    }
  }

  // Check every field before widening, so a refused declaration changes nothing.
  std::vector<std::size_t> l(schema.count);
  std::size_t added = 0;
  for (std::size_t i = 0; i < schema.count; ++i) {
    const FieldInfo& f = schema.fields[i];
    std::size_t c = 0;
    while (c < t.columns.size() && !SameName(t.columns[c].name, f.name)) ++c;
    const bool isKey = i == schema.key;
    if (c == t.columns.size()) {
      if (isKey)
        return {ZQ_E_ESQUEMA, std::string("A chave "_cp) + f.name + " de " + t.kind +
                                  " difere da chave gravada " + t.columns[t.keyColumn].name};
      l[i] = c + added++;
      continue;
    }
    if (t.columns[c].text != IsText(f.type))
      return {ZQ_E_ESQUEMA, std::string("O campo "_cp) + f.name + " de " + t.kind + " está gravado como "_cp +
                                (t.columns[c].text ? "texto" : "inteiro")};
    if (isKey != (c == t.keyColumn))
      return {ZQ_E_ESQUEMA, std::string("A chave "_cp) + schema.fields[schema.key].name + " de " + t.kind +
                                " difere da chave gravada " + t.columns[t.keyColumn].name};
    l[i] = c;
  }
  for (std::size_t i = 0; i < schema.count; ++i)
    if (l[i] >= t.columns.size()) t.columns.push_back({schema.fields[i].name, IsText(schema.fields[i].type)});
  if (added)
    for (auto& [k, row] : t.rows) t.Pad(row);
  t.indexes.resize(t.columns.size());
  t.items.resize(t.columns.size());
  for (std::size_t i = 0; i < schema.count; ++i)
    if (schema.fields[i].flags & kSearchable) t.AddIndex(l[i], schema.fields[i]);
  t.layouts.emplace_back(&schema, std::move(l));
  *layout = &t.layouts.back().second;
  return {};
}

Status MemoryEngine::Read(std::uint32_t key, TZQBaseParaDados* record) {
  if (!record) return {ZQ_E_ARGUMENTO, "Registro nulo"};
  std::lock_guard<std::mutex> lock(m_mutex);
  const RecordSchema& schema = record->Schema();
  Table* t;
  const std::vector<std::size_t>* layout;
  if (Status st = Open(schema, &t, &layout); !st.ok()) return st;
  const Row* row = t->Find(key);
  if (key == 0 || !row) return NotFound(t->kind, key);

  // Each value is decoded once, straight into *record; a value that does not fit puts back the
  // fields already set from a plain copy, so *record ends untouched.
  const auto before = record->Clone();
  for (std::size_t i = 0; i < schema.count; ++i) {
    if (!record->SetValor(i, (*row)[(*layout)[i]])) {
      for (std::size_t j = 0; j < i; ++j) record->SetValor(j, before->GetValor(j));
      return {ZQ_E_ESQUEMA, std::string("Valor gravado não cabe no campo "_cp) + schema.fields[i].name +
                                " do registro "_cp + Which(t->kind, key)};
    }
  }
  return {};
}

Status MemoryEngine::Search(const RecordSchema& schema, const std::vector<Predicate>& predicates,
                            std::vector<std::uint32_t>* keys) {
  if (!keys) return {ZQ_E_ARGUMENTO, "Lista de chaves nula"};
  keys->clear();
  if (Status st = CheckPredicates(schema, predicates); !st.ok()) return st;
  std::lock_guard<std::mutex> lock(m_mutex);
  Table* t;
  const std::vector<std::size_t>* layout;
  if (Status st = Open(schema, &t, &layout); !st.ok()) return st;

  // Equality on the key needs no scan.
  for (const Predicate& p : predicates) {
    if (p.field != schema.key || p.match != Match::kIgual) continue;
    const std::int64_t k = std::get<std::int64_t>(p.value);
    if (k <= 0 || k > kMaxKey) return {};
    const Row* row = t->Find(static_cast<std::uint32_t>(k));
    if (row && Satisfies(*row, schema, predicates, *layout)) keys->push_back(static_cast<std::uint32_t>(k));
    return {};
  }

  // Else the fewest candidates an equality on an indexed column or list item names; a value no
  // record holds answers at once.
  const std::set<std::uint32_t>* candidates = nullptr;
  const Predicate* from = nullptr;
  for (const Predicate& p : predicates) {
    if (p.match != Match::kIgual) continue;
    const std::size_t c = (*layout)[p.field];
    const std::set<std::uint32_t>* found = nullptr;
    if (p.item != kSemItem) {
      bool none;
      found = t->ItemKeys(c, schema, p, &none);
      if (none) return {};
    } else if (const auto& index = t->indexes[c]) {
      auto it = index->find(p.value);
      if (it == index->end()) return {};
      found = &it->second;
    }
    if (found && (!candidates || found->size() < candidates->size())) candidates = found, from = &p;
  }
  if (candidates) {
    for (std::uint32_t k : *candidates)
      if (Satisfies(*t->Find(k), schema, predicates, *layout, from)) keys->push_back(k);
    return {};
  }
  for (const auto& [k, row] : t->rows)
    if (Satisfies(row, schema, predicates, *layout)) keys->push_back(k);
  return {};
}

Status MemoryEngine::Insert(TZQBaseParaDados* record) {
  if (!record) return {ZQ_E_ARGUMENTO, "Registro nulo"};
  std::lock_guard<std::mutex> lock(m_mutex);
  const RecordSchema& schema = record->Schema();
  Table* t;
  const std::vector<std::size_t>* layout;
  if (Status st = Open(schema, &t, &layout); !st.ok()) return st;

  std::uint32_t key = record->GetChave();
  if (key == 0) {
    if (t->last == kMaxKey)
      return {ZQ_E_MOTOR, std::string("Não há mais chaves livres para "_cp) + t->kind};
    key = t->last + 1;
  } else if (t->Find(key)) {
    return {ZQ_E_DUPLICADO, "Registro duplicado: " + Which(t->kind, key)};
  }

  Row row;
  row.reserve(t->columns.size());
  for (const auto& c : t->columns) row.push_back(Default(c.text));
  for (std::size_t i = 0; i < schema.count; ++i) row[(*layout)[i]] = record->GetValor(i);
  row[t->keyColumn] = static_cast<std::int64_t>(key);

  if (m_inTransaction) m_undo.push_back({t, key, std::nullopt, t->last});
  t->Store(key, std::move(row));
  if (key > t->last) t->last = key;
  record->SetChave(key);
  return {};
}

Status MemoryEngine::Update(const TZQBaseParaDados& record) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const RecordSchema& schema = record.Schema();
  Table* t;
  const std::vector<std::size_t>* layout;
  if (Status st = Open(schema, &t, &layout); !st.ok()) return st;
  const std::uint32_t key = record.GetChave();
  Row* row = t->Find(key);
  if (!row) return NotFound(t->kind, key);
  if (m_inTransaction) m_undo.push_back({t, key, *row, t->last});
  for (std::size_t i = 0; i < schema.count; ++i) {
    const std::size_t c = (*layout)[i];
    Value v = record.GetValor(i);
    if (t->HasIndex(c) && (*row)[c] != v) {
      t->Unindexed(c, (*row)[c], key);
      t->Indexed(c, v, key);
    }
    (*row)[c] = std::move(v);
  }
  return {};
}

Status MemoryEngine::Delete(const RecordSchema& schema, std::uint32_t key) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Table* t;
  const std::vector<std::size_t>* layout;
  if (Status st = Open(schema, &t, &layout); !st.ok()) return st;
  std::optional<Row> row = t->Erase(key);
  if (!row) return NotFound(t->kind, key);
  if (m_inTransaction) m_undo.push_back({t, key, std::move(row), t->last});
  return {};
}

Status MemoryEngine::Begin() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_inTransaction) return {ZQ_E_TRANSACAO, "Já existe uma transação em andamento"_cp};
  m_inTransaction = true;
  return {};
}

Status MemoryEngine::Commit() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_inTransaction) return {ZQ_E_TRANSACAO, "Nenhuma transação em andamento"_cp};
  m_inTransaction = false;
  m_undo.clear();
  return {};
}

Status MemoryEngine::Rollback() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_inTransaction) return {ZQ_E_TRANSACAO, "Nenhuma transação em andamento"_cp};
  for (auto u = m_undo.rbegin(); u != m_undo.rend(); ++u) {
    Table& t = *u->table;
    if (u->before) {
      t.Pad(*u->before);  // columns added since
      t.Store(u->key, std::move(*u->before));
    } else {
      t.Erase(u->key);
    }
    t.last = u->lastBefore;
  }
  m_undo.clear();
  m_inTransaction = false;
  return {};
}

}  // namespace zq
