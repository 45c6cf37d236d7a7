#include "platform/records/RecordJson.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/types/Cp1252.h"
#include "platform/records/FieldTraits.h"
#include "platform/records/ListaCodec.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/types/ZQDma.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/types/ZQMa.h"
#include "platform/access/ZQResultados.h"

namespace zq {
namespace {

using Json = nlohmann::json;
using JsonSaida = nlohmann::ordered_json;

std::string Offset(std::int32_t s) {
  const char sinal = s < 0 ? '-' : '+';
  const std::int32_t a = std::abs(s);
  char buf[16];
  if (a % 60)
    std::snprintf(buf, sizeof buf, "%c%02d:%02d:%02d", sinal, a / 3600, a / 60 % 60, a % 60);
  else
    std::snprintf(buf, sizeof buf, "%c%02d:%02d", sinal, a / 3600, a / 60 % 60);
  return buf;
}

// Parses "+HH:MM" or "+HH:MM:SS" into seconds.
std::optional<std::int32_t> LeOffset(std::string_view s) {
  if (s.size() != 6 && s.size() != 9) return std::nullopt;
  if (s[0] != '+' && s[0] != '-') return std::nullopt;
  auto dois = [&](std::size_t i) -> int {
    if (!std::isdigit(static_cast<unsigned char>(s[i])) || !std::isdigit(static_cast<unsigned char>(s[i + 1])))
      return -1;
    return (s[i] - '0') * 10 + (s[i + 1] - '0');
  };
  const int h = dois(1), m = s[3] == ':' ? dois(4) : -1, sec = s.size() == 9 ? (s[6] == ':' ? dois(7) : -1) : 0;
  if (h < 0 || m < 0 || sec < 0 || m > 59 || sec > 59 || h > 36) return std::nullopt;
  const std::int32_t total = (s[0] == '-' ? -1 : 1) * (h * 3600 + m * 60 + sec);
  if (total < REG_ZQDMAHMSUTC::kDeslocamentoMinimo || total > REG_ZQDMAHMSUTC::kDeslocamentoMaximo)
    return std::nullopt;
  return total;
}

// Decimal places of a number written in decimal, trailing zeros aside: a currency holds four,
// and a fifth would be rounded away without a word.
std::size_t CasasDecimais(std::string_view s) {
  const auto ponto = s.find_first_of(".,");
  if (ponto == std::string_view::npos) return 0;
  std::string_view fracao = s.substr(ponto + 1);
  fracao = fracao.substr(0, std::min(fracao.size(), fracao.find_first_not_of("0123456789")));
  while (!fracao.empty() && fracao.back() == '0') fracao.remove_suffix(1);
  return fracao.size();
}

JsonSaida Escreve(const FieldInfo& campo, const Value& v) {
  const FieldType tipo = campo.type;
  if (tipo == FieldType::kPosition) {
    _REG_POSICAO_PRODUTOPS p;
    FieldTraits<_REG_POSICAO_PRODUTOPS>::FromValue(v, &p);
    return {{"ponteiro", p.lPonteiroProduto}, {"grade1", p.usGrade1}, {"grade2", p.usGrade2}, {"grade3", p.usGrade3}};
  }
  if (tipo == FieldType::kList) {
    JsonSaida lista = JsonSaida::array();
    std::vector<std::unique_ptr<TZQBaseParaDados>> itens;
    DecodificaLista(std::get<std::string>(v), campo.child(), &itens);
    for (const auto& item : itens) lista.push_back(ParaJson(*item));
    return lista;
  }
  if (tipo == FieldType::kBytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : std::get<std::string>(v)) hex.append({kHex[c >> 4], kHex[c & 0xF]});
    return hex;
  }
  if (const auto* s = std::get_if<std::string>(&v)) return Cp1252ToUtf8(*s);
  const std::int64_t n = std::get<std::int64_t>(v);
  switch (tipo) {
    case FieldType::kBool:
      return n != 0;
    case FieldType::kUInt64:
    case FieldType::kDmc:
      return static_cast<std::uint64_t>(n);
    case FieldType::kDate: {
      const REG_ZQDMA d{static_cast<std::uint32_t>(n)};
      if (d.IsEmpty()) return nullptr;
      return d.IsValid() ? JsonSaida(d.ParaIso()) : JsonSaida(n);
    }
    case FieldType::kMonth: {
      const REG_ZQMA m{static_cast<std::uint16_t>(n)};
      if (m.IsEmpty()) return nullptr;
      if (!m.IsValid()) return n;
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04d-%02d", m.GetAno(), m.GetMes());
      return buf;
    }
    case FieldType::kDateTime: {
      const REG_ZQDMAHMSUTC dh{static_cast<std::uint64_t>(n)};
      if (dh.ullValor == 0) return nullptr;
      // The text carries the seconds and the offset only; a value with the unused high bits set
      // stays a number so that it reads back whole.
      if (!dh.IsPreenchida() || (dh.ullValor >> 56) != 0) return static_cast<std::uint64_t>(n);
      std::string s = dh.ParaIso();
      if (dh.GetDeslocamentoUtc() != 0) s += Offset(dh.GetDeslocamentoUtc());
      return s;
    }
    case FieldType::kCurrency: {
      const tagCY cy{n};
      const std::string texto = CZQCurrencyEx::ParaTextoDecimal(cy, true);
      const double d = std::strtod(texto.c_str(), nullptr);
      const auto volta = CZQCurrencyEx::DeDouble(d);
      if (volta && *volta == cy) return d;
      return texto;
    }
    default:
      return n;
  }
}

std::optional<Value> Le(const FieldInfo& campo, const Json& j, std::string* erro) {
  const FieldType tipo = campo.type;
  auto falha = [&](const std::string& porque) -> std::optional<Value> {
    *erro = porque;
    return std::nullopt;
  };
  if (tipo == FieldType::kPosition) {
    if (!j.is_object()) return falha("espera um objeto com ponteiro, grade1, grade2 e grade3");
    _REG_POSICAO_PRODUTOPS p;
    for (const auto& [nome, valor] : j.items()) {
      const bool ponteiro = nome == "ponteiro";
      std::uint16_t* grade = nome == "grade1" ? &p.usGrade1 : nome == "grade2" ? &p.usGrade2 : nome == "grade3" ? &p.usGrade3 : nullptr;
      if (!ponteiro && !grade) return falha("membro desconhecido: " + Utf8ToCp1252(Abrevia(nome)).value_or("?"));
      if (!valor.is_number_unsigned() || valor.get<std::uint64_t>() > (ponteiro ? 0xFFFFFFFFull : 0xFFFFull))
        return falha(nome + " fora do intervalo");
      if (ponteiro)
        p.lPonteiroProduto = static_cast<std::uint32_t>(valor.get<std::uint64_t>());
      else
        *grade = static_cast<std::uint16_t>(valor.get<std::uint64_t>());
    }
    return FieldTraits<_REG_POSICAO_PRODUTOPS>::ToValue(p);
  }
  if (tipo == FieldType::kList) {
    if (!j.is_array()) return falha("espera uma lista");
    const RecordSchema& filho = campo.child();
    std::vector<std::unique_ptr<TZQBaseParaDados>> itens;
    for (std::size_t k = 0; k < j.size(); ++k) {
      auto item = filho.make();
      const Status st = DeJson(j[k], item.get());
      if (!st.ok()) return falha("item " + std::to_string(k) + ": " + st.message);
      itens.push_back(std::move(item));
    }
    std::vector<const TZQBaseParaDados*> ponteiros;
    for (const auto& item : itens) ponteiros.push_back(item.get());
    return Value(CodificaLista(filho, ponteiros));
  }
  if (tipo == FieldType::kBytes) {
    const std::string* hex = j.is_string() ? &j.get_ref<const std::string&>() : nullptr;
    auto digito = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10; };
    if (!hex || hex->size() % 2 || hex->find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return falha("espera bytes em hexadecimal (dois dígitos por byte)"_cp);
    std::string bytes;
    for (std::size_t i = 0; i < hex->size(); i += 2)
      bytes += static_cast<char>(digito((*hex)[i]) * 16 + digito((*hex)[i + 1]));
    return Value(std::move(bytes));
  }
  if (tipo == FieldType::kText) {
    if (!j.is_string()) return falha("espera um texto");
    std::size_t em = 0;
    auto cp = Utf8ToCp1252(j.get_ref<const std::string&>(), &em);
    if (!cp) return falha("caractere sem forma em Windows-1252 na posição "_cp + std::to_string(em));
    // The suite's texts are C strings: a NUL would cut the text short in every program that reads it.
    if (const auto nul = cp->find('\0'); nul != std::string::npos)
      return falha("caractere nulo (U+0000) na posição "_cp + std::to_string(nul));
    return Value(std::move(*cp));
  }
  if (j.is_null() && (tipo == FieldType::kDate || tipo == FieldType::kMonth || tipo == FieldType::kDateTime))
    return Value(std::int64_t{0});
  if (tipo == FieldType::kBool) {
    if (!j.is_boolean()) return falha("espera true ou false");
    return Value(std::int64_t{j.get<bool>() ? 1 : 0});
  }
  if (j.is_string()) {
    const std::string& s = j.get_ref<const std::string&>();
    // "" is not a date: only null leaves a date empty.
    if (s.empty() && (tipo == FieldType::kDate || tipo == FieldType::kMonth || tipo == FieldType::kDateTime))
      return falha("texto vazio; sem data é null"_cp);
    switch (tipo) {
      case FieldType::kDate: {
        auto d = REG_ZQDMA::DeIso(s);
        if (!d) return falha("espera uma data AAAA-MM-DD entre 1848 e 4717");
        return Value(std::int64_t{d->ulDma});
      }
      case FieldType::kMonth: {
        int ano = 0, mes = 0;
        char fim = 0;
        if (s.size() != 7 || std::sscanf(s.c_str(), "%4d-%2d%c", &ano, &mes, &fim) != 2)
          return falha("espera um mês AAAA-MM"_cp);
        const REG_ZQMA m = REG_ZQMA::DeMesAno(mes, ano);
        if (m.IsEmpty() || ano < 1848) return falha("espera um mês AAAA-MM entre 1848 e 4717"_cp);
        return Value(std::int64_t{m.usMa});
      }
      case FieldType::kDateTime: {
        std::string_view corpo(s);
        std::int32_t deslocamento = 0;
        if (corpo.size() > 19) {
          auto o = LeOffset(corpo.substr(19));
          if (!o) return falha("espera uma data e hora AAAA-MM-DDTHH:MM:SS[+HH:MM]");
          deslocamento = *o;
          corpo = corpo.substr(0, 19);
        }
        auto dh = REG_ZQDMAHMSUTC::DeIso(corpo, deslocamento);
        if (!dh || dh->ullValor == 0) return falha("espera uma data e hora AAAA-MM-DDTHH:MM:SS[+HH:MM]");
        return Value(static_cast<std::int64_t>(dh->ullValor));
      }
      case FieldType::kCurrency: {
        auto cy = CZQCurrencyEx::DeTexto(s);
        if (!cy || CasasDecimais(s) > 4) return falha("espera um valor decimal com até quatro casas"_cp);
        return Value(cy->int64);
      }
      default:
        return falha("espera um número"_cp);
    }
  }
  if (!j.is_number()) return falha("espera um número"_cp);
  if (tipo == FieldType::kCurrency) {
    if (j.is_number_float()) {
      // The shortest form that reads back as the same double is the number as written.
      const double d = j.get<double>();
      char buf[64];
      const auto [fim, erro] = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
      if (erro == std::errc() && CasasDecimais(std::string_view(buf, static_cast<std::size_t>(fim - buf))) > 4)
        return falha("espera um valor decimal com até quatro casas"_cp);
      auto cy = CZQCurrencyEx::DeDouble(d);
      if (!cy) return falha("valor fora do intervalo da moeda");
      return Value(cy->int64);
    }
    if (j.is_number_unsigned() && j.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX))
      return falha("valor fora do intervalo da moeda");
    auto cy = CZQCurrencyEx::DeInteiro(j.get<std::int64_t>());
    if (!cy) return falha("valor fora do intervalo da moeda");
    return Value(cy->int64);
  }
  if (j.is_number_float()) return falha("espera um número inteiro"_cp);
  const bool semSinal = tipo == FieldType::kUInt64 || tipo == FieldType::kDmc || tipo == FieldType::kDateTime;
  std::int64_t n = 0;
  if (j.is_number_unsigned()) {
    const std::uint64_t u = j.get<std::uint64_t>();
    if (!semSinal && u > static_cast<std::uint64_t>(INT64_MAX)) return falha("número fora do intervalo"_cp);
    n = static_cast<std::int64_t>(u);
  } else {
    n = j.get<std::int64_t>();
    if (semSinal && n < 0) return falha("número fora do intervalo"_cp);
  }
  if (!Fits(tipo, n)) return falha("número fora do intervalo"_cp);
  return Value(n);
}

}  // namespace

std::string Abrevia(std::string_view utf8, std::size_t maximo) {
  std::size_t caracteres = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (caracteres++ == maximo) return std::string(utf8.substr(0, i)) + "...";
  }
  return std::string(utf8);
}

std::string NomeJson(const FieldInfo& campo) {
  std::string s = campo.name;
  if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') s[0] = static_cast<char>(s[0] + 32);
  return s;
}

nlohmann::ordered_json ParaJson(const TZQBaseParaDados& registro) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  const RecordSchema& schema = registro.Schema();
  for (std::size_t i = 0; i < schema.count; ++i)
    out[NomeJson(schema.fields[i])] = Escreve(schema.fields[i], registro.GetValor(i));
  return out;
}

Status DeJson(const nlohmann::json& json, TZQBaseParaDados* registro, const std::vector<std::string>& ignorar) {
  if (!registro) return {ZQ_E_ARGUMENTO, "registro nulo"};
  const RecordSchema& schema = registro->Schema();
  if (!json.is_object()) return {ZQ_E_ARGUMENTO, std::string("um registro ") + schema.kind + " deve ser um objeto JSON"};
  std::vector<std::pair<std::size_t, Value>> valores;
  std::vector<bool> visto(schema.count);
  for (const auto& [nome, valor] : json.items()) {
    if (std::find(ignorar.begin(), ignorar.end(), nome) != ignorar.end()) continue;
    const int i = schema.Find(nome);
    const std::string campo = Utf8ToCp1252(Abrevia(nome)).value_or("?");
    if (i < 0) return {ZQ_E_ARGUMENTO, "campo desconhecido em "_cp + std::string(schema.kind) + ": " + campo};
    // Names match without regard to case, so "codigo" and "Codigo" would both fill one field.
    if (visto[static_cast<std::size_t>(i)])
      return {ZQ_E_ARGUMENTO, std::string(schema.kind) + "." + NomeJson(schema.fields[i]) + ": campo repetido"};
    visto[static_cast<std::size_t>(i)] = true;
    std::string erro;
    auto v = Le(schema.fields[i], valor, &erro);
    if (!v) return {ZQ_E_ARGUMENTO, std::string(schema.kind) + "." + NomeJson(schema.fields[i]) + ": " + erro};
    valores.emplace_back(static_cast<std::size_t>(i), std::move(*v));
  }
  for (auto& [i, v] : valores) registro->SetValor(i, v);
  return {};
}

}  // namespace zq
