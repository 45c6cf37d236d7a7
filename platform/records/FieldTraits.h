// FieldTraits<T>: how a C++ field type maps to a FieldType and to a Value. One specialisation per
// type that records may hold; a record field of any other type does not compile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/records/ListaCodec.h"
#include "platform/routines/ZQBaseParaDados.h"
#include "platform/types/PosicaoProduto.h"
#include "platform/records/RecordSchema.h"
#include "platform/types/ZQVector.h"
#include "platform/types/String.h"
#include "platform/types/ZQCurrency.h"
#include "platform/types/ZQDma.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/types/ZQDmc.h"
#include "platform/types/ZQMa.h"

namespace zq {

template <class T>
struct FieldTraits;

// Scalars have no child schema.
struct SemFilhos {
  static constexpr const RecordSchema& (*kChild)() = nullptr;
};

template <class T, FieldType kT>
struct IntegerTraits : SemFilhos {
  static constexpr FieldType kType = kT;
  static Value ToValue(const T& v) { return static_cast<std::int64_t>(v); }
  static bool FromValue(const Value& v, T* out) {
    if (!Fits(kT, v)) return false;
    *out = static_cast<T>(std::get<std::int64_t>(v));
    return true;
  }
};

template <> struct FieldTraits<bool> : IntegerTraits<bool, FieldType::kBool> {};
template <> struct FieldTraits<std::uint8_t> : IntegerTraits<std::uint8_t, FieldType::kUInt8> {};
template <> struct FieldTraits<std::uint16_t> : IntegerTraits<std::uint16_t, FieldType::kUInt16> {};
template <> struct FieldTraits<std::uint32_t> : IntegerTraits<std::uint32_t, FieldType::kUInt32> {};
template <> struct FieldTraits<std::int32_t> : IntegerTraits<std::int32_t, FieldType::kInt32> {};
template <> struct FieldTraits<std::int64_t> : IntegerTraits<std::int64_t, FieldType::kInt64> {};
template <> struct FieldTraits<std::uint64_t> : IntegerTraits<std::uint64_t, FieldType::kUInt64> {};

// Packed types whose single member is the stored integer.
template <class T, class M, M T::*kMember, FieldType kT>
struct PackedTraits : SemFilhos {
  static constexpr FieldType kType = kT;
  static Value ToValue(const T& v) { return static_cast<std::int64_t>(v.*kMember); }
  static bool FromValue(const Value& v, T* out) {
    if (!Fits(kT, v)) return false;
    out->*kMember = static_cast<M>(std::get<std::int64_t>(v));
    return true;
  }
};

template <> struct FieldTraits<tagCY>
    : PackedTraits<tagCY, std::int64_t, &tagCY::int64, FieldType::kCurrency> {};
template <> struct FieldTraits<REG_ZQDMA>
    : PackedTraits<REG_ZQDMA, std::uint32_t, &REG_ZQDMA::ulDma, FieldType::kDate> {};
template <> struct FieldTraits<REG_ZQMA>
    : PackedTraits<REG_ZQMA, std::uint16_t, &REG_ZQMA::usMa, FieldType::kMonth> {};
template <> struct FieldTraits<REG_ZQDMAHMSUTC>
    : PackedTraits<REG_ZQDMAHMSUTC, std::uint64_t, &REG_ZQDMAHMSUTC::ullValor, FieldType::kDateTime> {};
template <> struct FieldTraits<REG_ZQDMC>
    : PackedTraits<REG_ZQDMC, std::uint64_t, &REG_ZQDMC::ullDmc, FieldType::kDmc> {};

template <> struct FieldTraits<CString> : SemFilhos {
  static constexpr FieldType kType = FieldType::kText;
  static Value ToValue(const CString& v) { return v.Str(); }
  static bool FromValue(const Value& v, CString* out) {
    if (!Fits(kType, v)) return false;
    *out = CString(std::get<std::string>(v));
    return true;
  }
};

// "pointer/grade1/grade2/grade3" in decimal.
template <> struct FieldTraits<_REG_POSICAO_PRODUTOPS> : SemFilhos {
  static constexpr FieldType kType = FieldType::kPosition;
  static Value ToValue(const _REG_POSICAO_PRODUTOPS& v);
  static bool FromValue(const Value& v, _REG_POSICAO_PRODUTOPS* out);
};

// Opaque bytes; engines keep them as they are.
template <> struct FieldTraits<std::vector<std::uint8_t>> : SemFilhos {
  static constexpr FieldType kType = FieldType::kBytes;
  static Value ToValue(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }
  static bool FromValue(const Value& v, std::vector<std::uint8_t>* out) {
    const auto* s = std::get_if<std::string>(&v);
    if (!s) return false;
    out->assign(s->begin(), s->end());
    return true;
  }
};

// A list of child records, encoded by ListaCodec.
template <class T>
struct FieldTraits<CZQVector<T>> {
  static constexpr FieldType kType = FieldType::kList;
  static constexpr const RecordSchema& (*kChild)() = &T::SchemaEstatico;
  static Value ToValue(const CZQVector<T>& v) {
    std::vector<const TZQBaseParaDados*> itens;
    for (const T& item : v) itens.push_back(&item);
    return CodificaLista(T::SchemaEstatico(), itens);
  }
  // Decoded in place into a new list, which replaces *out only when every item decoded.
  static bool FromValue(const Value& v, CZQVector<T>* out) {
    const auto* bytes = std::get_if<std::string>(&v);
    if (!bytes) return false;
    CZQVector<T> lista;
    auto novo = [](void* l) -> TZQBaseParaDados& {
      auto& destino = *static_cast<CZQVector<T>*>(l);
      return destino.GetAt(destino.Add(T()));
    };
    if (!DecodificaLista(*bytes, T::SchemaEstatico(), novo, &lista)) return false;
    *out = std::move(lista);
    return true;
  }
};

}  // namespace zq
