// JsonHost: the host's JSON edges. Input is read whole (a file or standard input), parsed with
// errors a person can act on, and output is written as UTF-8.
//
// Limits: an input larger than kMaximoEntrada bytes is refused rather than read, so a runaway
// pipe cannot exhaust memory; strings of tens of megabytes within it are fine. Numbers beyond a
// double's range are refused by the parser; numbers a field cannot hold are refused by the
// record reader (platform/RecordJson.h), both as unusable input.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace zqhost {

class JsonHost {
 public:
  static constexpr std::size_t kMaximoEntrada = std::size_t{256} << 20;

  // The bytes of a file, or of standard input for "-". CErroHost(kSaidaFalha) when it cannot be
  // read, CErroHost(kSaidaEntradaInvalida) when it exceeds kMaximoEntrada.
  static std::string LeEntrada(const std::string& arquivo);

  // Parses a document; `oque` names it in messages ("registro", "conjunto de dados"). Malformed
  // or truncated JSON, a NUL byte, invalid UTF-8 and out-of-range numbers are
  // CErroHost(kSaidaEntradaInvalida) with the position; so is an object naming a member twice,
  // or two members that differ only in case, with the path to that object.
  static nlohmann::json Analisa(std::string_view texto, const char* oque);

  // As Analisa, but each item of the lists one level inside the root's member `membro`
  // ({"membro": {"lista": [item, ...]}}) goes to `item` as soon as it is parsed, with its list's
  // name and its index, and those lists stay empty in the document: a large document is never
  // held whole. The same refusals apply; an exception from `item` ends the parse.
  using Item = std::function<void(const std::string& lista, std::size_t indice, nlohmann::json&& valor)>;
  static nlohmann::json Analisa(std::string_view texto, const char* oque, std::string_view membro, const Item& item);

  // Compact (indentacao < 0) or indented UTF-8 text.
  static std::string Texto(const nlohmann::ordered_json& json, int indentacao = -1);
};

}  // namespace zqhost
