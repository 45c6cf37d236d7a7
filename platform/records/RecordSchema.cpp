#include "platform/records/RecordSchema.h"

#include <limits>

namespace zq {

int RecordSchema::Find(std::string_view name) const {
  for (std::size_t i = 0; i < count; ++i) {
    std::string_view f(fields[i].name);
    if (f.size() != name.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < f.size() && same; ++k) {
      auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
      same = lower(f[k]) == lower(name[k]);
    }
    if (same) return static_cast<int>(i);
  }
  return -1;
}

bool IsText(FieldType t) {
  return t == FieldType::kText || t == FieldType::kPosition || t == FieldType::kList ||
         t == FieldType::kBytes;
}

bool Fits(FieldType t, const Value& v) {
  if (IsText(t)) return std::holds_alternative<std::string>(v);
  const auto* p = std::get_if<std::int64_t>(&v);
  if (!p) return false;
  const std::int64_t n = *p;
  switch (t) {
    case FieldType::kBool: return n == 0 || n == 1;
    case FieldType::kUInt8: return n >= 0 && n <= 0xFF;
    case FieldType::kUInt16:
    case FieldType::kMonth: return n >= 0 && n <= 0xFFFF;
    case FieldType::kUInt32:
    case FieldType::kDate: return n >= 0 && n <= 0xFFFFFFFFLL;
    case FieldType::kInt32: return n >= std::numeric_limits<std::int32_t>::min() &&
                                   n <= std::numeric_limits<std::int32_t>::max();
    default: return true;
  }
}

}  // namespace zq
