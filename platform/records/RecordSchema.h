// Reflection of the suite's records: every record class declares its fields once (see
// ZQRegistroMacros.h) and that declaration yields this schema. Engines, the JSON form and
// fixtures work on records only through it, so no engine or host has per-record code.
#pragma once

#include <cstddef>
#include <memory>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

class TZQBaseParaDados;

namespace zq {

// How a field is stored. Every field is one column: an integer (all packed date types,
// currency and pointers fit a signed 64-bit integer) or a text.
enum class FieldType : std::uint8_t {
  kBool, kUInt8, kUInt16, kUInt32, kInt32, kInt64, kUInt64,
  kCurrency,  // tagCY, four implicit decimals
  kDate,      // REG_ZQDMA
  kMonth,     // REG_ZQMA
  kDateTime,  // REG_ZQDMAHMSUTC, the packed 64-bit value
  kDmc,       // REG_ZQDMC, the packed 64-bit value
  kText,      // CString, Windows-1252 bytes
  kPosition,  // _REG_POSICAO_PRODUTOPS, stored as the text "pointer/grade1/grade2/grade3"
  kList,      // CZQVector of child records, stored as bytes (ListaCodec.h)
  kBytes,     // std::vector<std::uint8_t>, opaque bytes (hexadecimal text in JSON)
};

enum FieldFlag : unsigned {
  kKey = 1,         // the record's pointer or position (unsigned 32-bit, 0 = not stored)
  kSearchable = 2,  // searches filter on it (engines index it)
};

struct RecordSchema;

struct FieldInfo {
  const char* name;  // the accessor's name without Get/Set: "Codigo"
  FieldType type;
  unsigned flags;
  const RecordSchema& (*child)();  // the child records' schema of a kList field, else null
};

struct RecordSchema {
  const char* kind;  // lower-case record kind: the table name and the JSON "kind"
  const FieldInfo* fields;
  std::size_t count;
  std::size_t key;  // index of the key field
  std::unique_ptr<TZQBaseParaDados> (*make)();  // a new, empty record of the kind

  // Index of the field with this name (case-insensitive), or -1.
  int Find(std::string_view name) const;
};

// A field's value as engines see it. Unsigned 64-bit packed values travel as their bit pattern.
using Value = std::variant<std::int64_t, std::string>;

// Whether the field is stored as text (texts, positions, lists, bytes) rather than as an integer.
bool IsText(FieldType t);

// Whether v is a value the field type can hold (range of the integer, text for texts).
bool Fits(FieldType t, const Value& v);

}  // namespace zq
