#include "platform/storage/StorageEngine.h"

#include <algorithm>
#include <atomic>

#include "platform/records/ListaCodec.h"
#include "platform/types/Cp1252.h"
#include "platform/access/ZQResultados.h"

namespace zq {

namespace {
std::atomic<long> g_lockWaitLimit{0};
}

void StorageEngine::SetLockWaitLimit(long ms) { g_lockWaitLimit = ms > 0 ? ms : 0; }
long StorageEngine::LockWaitLimit() { return g_lockWaitLimit; }
long StorageEngine::WithinLockWaitLimit(long ms) {
  const long limit = g_lockWaitLimit;
  return limit > 0 && limit < ms ? limit : ms;
}

std::string Which(const std::string& kind, std::uint32_t key) { return kind + " " + std::to_string(key); }

Status NotFound(const std::string& kind, std::uint32_t key) {
  return {ZQ_E_NAO_ENCONTRADO, std::string("Registro não encontrado: "_cp) + Which(kind, key)};
}

Status CheckPredicates(const RecordSchema& schema, const std::vector<Predicate>& predicates) {
  for (const Predicate& p : predicates) {
    if (p.field >= schema.count)
      return {ZQ_E_ARGUMENTO, std::string("Critério de busca sobre um campo inexistente em "_cp) +
                                  std::string(schema.kind)};
    const FieldInfo* f = &schema.fields[p.field];
    if (p.item != kSemItem) {
      if (f->type != FieldType::kList || !f->child || p.item >= f->child().count)
        return {ZQ_E_ARGUMENTO, std::string("Critério de busca sobre um item inexistente do campo "_cp) +
                                    f->name + " de " + schema.kind};
      f = &f->child().fields[p.item];
    }
    const bool text = IsText(f->type);
    const bool ok = text == std::holds_alternative<std::string>(p.value) &&
                    (p.match == Match::kIgual || (p.match == Match::kPrefixo && text));
    if (!ok)
      return {ZQ_E_ARGUMENTO, std::string("Critério de busca inválido sobre o campo "_cp) +
                                  std::string(f->name) + " de " + schema.kind};
  }
  return {};
}

bool Compares(const Predicate& p, const Value& v) {
  if (p.match == Match::kIgual) return v == p.value;
  const auto* s = std::get_if<std::string>(&v);
  return s && s->starts_with(std::get<std::string>(p.value));
}

std::vector<std::vector<Value>> ListItems(const RecordSchema& child, const Value& stored) {
  std::vector<std::vector<Value>> out;
  const auto* bytes = std::get_if<std::string>(&stored);
  std::vector<std::unique_ptr<TZQBaseParaDados>> itens;
  if (!bytes || !DecodificaLista(*bytes, child, &itens)) return out;
  for (const auto& item : itens) {
    auto& values = out.emplace_back();
    for (std::size_t i = 0; i < child.count; ++i) values.push_back(item->GetValor(i));
  }
  return out;
}

bool Holds(const RecordSchema& schema, const Predicate& p, const Value& stored) {
  if (p.item == kSemItem) return Compares(p, stored);
  for (const auto& values : ListItems(schema.fields[p.field].child(), stored))
    if (Compares(p, values[p.item])) return true;
  return false;
}

const char* StoredTypeName(FieldType t) {
  switch (t) {
    case FieldType::kBool: return "bool";
    case FieldType::kUInt8: return "uint8";
    case FieldType::kUInt16: return "uint16";
    case FieldType::kUInt32: return "uint32";
    case FieldType::kInt32: return "int32";
    case FieldType::kInt64: return "int64";
    case FieldType::kUInt64: return "uint64";
    case FieldType::kCurrency: return "moeda";
    case FieldType::kDate: return "data";
    case FieldType::kMonth: return "mes";
    case FieldType::kDateTime: return "data_hora";
    case FieldType::kDmc: return "dmc";
    case FieldType::kText: return "texto";
    case FieldType::kPosition: return "posicao";
    case FieldType::kList: return "lista";
    case FieldType::kBytes: return "bytes";
  }
  return "?";
}

bool StoredAsText(const std::string& typeName) {
  for (FieldType t : {FieldType::kText, FieldType::kPosition, FieldType::kList, FieldType::kBytes})
    if (typeName == StoredTypeName(t)) return true;
  return false;
}

bool SearchableList(const RecordSchema& schema, std::size_t i) {
  const FieldInfo& f = schema.fields[i];
  return i != schema.key && (f.flags & kSearchable) && f.type == FieldType::kList && f.child;
}

std::optional<std::string> PrefixSuccessor(std::string prefix) {
  while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF) prefix.pop_back();
  if (prefix.empty()) return std::nullopt;
  prefix.back() = static_cast<char>(static_cast<unsigned char>(prefix.back()) + 1);
  return prefix;
}

std::string QuoteIdentifier(const std::string& name) {
  std::string q = "\"";
  for (char c : name) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

bool SameName(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

void ReconcilePlan::Missing(std::size_t count, std::vector<bool>* missing, std::vector<bool>* unindexed) const {
  missing->assign(count, create);
  for (std::size_t i : add) (*missing)[i] = true;
  for (std::size_t i : lists) (*unindexed)[i] = true;
}

Status PlanReconcile(const RecordSchema& schema, const std::vector<StoredColumn>& columns,
                     const std::function<bool(std::size_t)>& indexed,
                     const std::function<bool(std::size_t, const char*)>& itemsHold, ReconcilePlan* plan) {
  *plan = ReconcilePlan();
  plan->create = columns.empty();
  std::string storedKey;
  for (const StoredColumn& c : columns)
    if (c.key) storedKey = c.name;
  for (std::size_t i = 0; i < schema.count; ++i) {
    const FieldInfo& f = schema.fields[i];
    const bool isKey = i == schema.key;
    if (!plan->create) {
      const StoredColumn* c = nullptr;
      for (const StoredColumn& s : columns)
        if (SameName(s.name, f.name)) c = &s;
      if (!c || c->key != isKey) {
        if (isKey || c)
          return {ZQ_E_ESQUEMA, std::string("A chave "_cp) + schema.fields[schema.key].name + " de " + schema.kind +
                                    " difere da chave gravada " + storedKey};
        plan->add.push_back(i);
      } else if (StoredAsText(c->type) != IsText(f.type)) {
        return {ZQ_E_ESQUEMA, std::string("O campo "_cp) + f.name + " de " + schema.kind + " está gravado como "_cp +
                                  c->type + " e declarado como " + StoredTypeName(f.type)};
      }
    }
    if (SearchableList(schema, i)) {
      // Made before the field was searchable, or under child records with fewer fields.
      const RecordSchema& child = f.child();
      bool all = true;
      for (std::size_t c = 0; c < child.count && all; ++c) all = itemsHold(i, child.fields[c].name);
      if (!all) plan->lists.push_back(i);
      // An index on the encoded lists serves no search.
      if (indexed(i)) plan->unindex.push_back(i);
    } else if (!isKey && (f.flags & kSearchable) && !indexed(i)) {
      plan->index.push_back(i);
    }
  }
  return {};
}

}  // namespace zq
