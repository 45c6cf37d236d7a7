#include "platform/storage/StorageEngine.h"

#include <atomic>

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
    const FieldInfo& f = schema.fields[p.field];
    const bool text = IsText(f.type);
    const bool ok = text == std::holds_alternative<std::string>(p.value) &&
                    (p.match == Match::kIgual || (p.match == Match::kPrefixo && text));
    if (!ok)
      return {ZQ_E_ARGUMENTO, std::string("Critério de busca inválido sobre o campo "_cp) +
                                  std::string(f.name) + " de " + schema.kind};
  }
  return {};
}

}  // namespace zq
