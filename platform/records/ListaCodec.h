// The stored form of a list of child records (order lines, a technician's disciplines, ...):
// bytes that name the fields once and then carry each record's values, so a list written under
// one declaration of the child record reads back under a later one (fields matched by name;
// a field the bytes lack keeps its default, a field the declaration lacks is dropped). An empty
// list is the empty string.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/records/RecordSchema.h"

namespace zq {

std::string CodificaLista(const RecordSchema& schema, const std::vector<const TZQBaseParaDados*>& itens);

// Replaces *itens with records made by schema.make. False (and *itens empty) on bytes that are
// not a list, are cut short, or carry a value that a field cannot hold.
bool DecodificaLista(std::string_view bytes, const RecordSchema& schema,
                     std::vector<std::unique_ptr<TZQBaseParaDados>>* itens);

// The same decoding into records the caller keeps: novo(lista) appends a default record of the
// schema's class to the caller's list and returns it. On false the caller drops what was
// appended. Typed lists decode this way, in place, with no record made to be copied.
using NovoItem = TZQBaseParaDados& (*)(void* lista);
bool DecodificaLista(std::string_view bytes, const RecordSchema& schema, NovoItem novo, void* lista);

}  // namespace zq
