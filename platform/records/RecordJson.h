// The JSON form of any declared record, for hosts and fixtures. One object per record; each field
// under its declared name with the first letter in lower case ("codigo", "prioridadeBase"):
//   texts     JSON strings in UTF-8 (records hold Windows-1252; a character with no
//             Windows-1252 form is an input error, never a silent '?'; so is U+0000)
//   dates     "YYYY-MM-DD"; no date is null
//   months    "YYYY-MM"; none is null
//   date-times "YYYY-MM-DDTHH:MM:SS", with "+HH:MM" (or "+HH:MM:SS") when the stored UTC offset
//             is not zero; not filled in (all zero) is null
//   currency  a JSON number (12.5); a value that a double cannot carry exactly is written as a
//             decimal string ("123456789012345.6789"), and both forms are read
//   integers and booleans as themselves; movement keys as their packed unsigned integer.
//   bytes     hexadecimal text, two digits a byte ("00ff10"); written in lower case, read in
//             either case
// A stored date or date-time that is not a valid calendar value is written as its raw integer,
// and raw integers are read back, so nothing is lost on a round trip; the one exception is a text
// holding a NUL, which only a program writing an engine directly can store: written as \u0000,
// it is refused when read back.
//
// Reading is strict: an unknown member, two members for one field (names match without regard to
// case), a wrong type, a number out of the field's range, a currency with more than four decimal
// places, "" for a date or malformed text fails with a message naming the field, and the record
// is left unchanged. Members left out keep the record's current values.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

#include "platform/storage/StorageEngine.h"

namespace zq {

nlohmann::ordered_json ParaJson(const TZQBaseParaDados& registro);

// Members named in `ignorar` (e.g. a "registro" member naming the kind) are skipped.
Status DeJson(const nlohmann::json& json, TZQBaseParaDados* registro,
              const std::vector<std::string>& ignorar = {});

// A name taken from input, cut to `maximo` characters and "..." so that a message echoing it
// stays readable. Cuts between UTF-8 characters.
std::string Abrevia(std::string_view utf8, std::size_t maximo = 60);

// The member name of a field: its declared name with the first letter in lower case.
std::string NomeJson(const FieldInfo& campo);

}  // namespace zq
