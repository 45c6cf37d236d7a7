#include "platform/records/ListaCodec.h"

#include <cstdint>
#include <utility>

#include "platform/routines/ZQBaseParaDados.h"

namespace zq {
namespace {

constexpr char kMarca[] = "ZQL1";
constexpr std::size_t kTamMarca = 4;

void PoeVarint(std::string& out, std::uint64_t v) {
  while (v >= 0x80) {
    out += static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  out += static_cast<char>(v);
}

bool TiraVarint(std::string_view& in, std::uint64_t* v) {
  *v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (in.empty()) return false;
    const auto b = static_cast<unsigned char>(in.front());
    in.remove_prefix(1);
    *v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return true;
  }
  return false;
}

bool TiraTexto(std::string_view& in, std::string* s) {
  std::uint64_t n = 0;
  if (!TiraVarint(in, &n) || n > in.size()) return false;
  s->assign(in.substr(0, n));
  in.remove_prefix(n);
  return true;
}

}  // namespace

std::string CodificaLista(const RecordSchema& schema, const std::vector<const TZQBaseParaDados*>& itens) {
  std::string out;
  if (itens.empty()) return out;
  out.append(kMarca, kTamMarca);
  PoeVarint(out, schema.count);
  for (std::size_t i = 0; i < schema.count; ++i) {
    const std::string nome = schema.fields[i].name;
    PoeVarint(out, nome.size());
    out += nome;
    out += IsText(schema.fields[i].type) ? 'T' : 'I';
  }
  PoeVarint(out, itens.size());
  for (const TZQBaseParaDados* item : itens) {
    for (std::size_t i = 0; i < schema.count; ++i) {
      const Value v = item->GetValor(i);
      if (const auto* s = std::get_if<std::string>(&v)) {
        PoeVarint(out, s->size());
        out += *s;
      } else {
        const auto n = static_cast<std::uint64_t>(std::get<std::int64_t>(v));
        PoeVarint(out, (n << 1) ^ (std::get<std::int64_t>(v) < 0 ? ~std::uint64_t{0} : 0));  // zigzag
      }
    }
  }
  return out;
}

bool DecodificaLista(std::string_view in, const RecordSchema& schema,
                     std::vector<std::unique_ptr<TZQBaseParaDados>>* itens) {
  itens->clear();
  std::pair<const RecordSchema*, std::vector<std::unique_ptr<TZQBaseParaDados>>*> destino{&schema, itens};
  auto novo = [](void* lista) -> TZQBaseParaDados& {
    auto& d = *static_cast<decltype(destino)*>(lista);
    return *d.second->emplace_back(d.first->make());
  };
  if (DecodificaLista(in, schema, novo, &destino)) return true;
  itens->clear();
  return false;
}

bool DecodificaLista(std::string_view in, const RecordSchema& schema, NovoItem novoItem, void* lista) {
  if (in.empty()) return true;
  if (in.substr(0, kTamMarca) != std::string_view(kMarca, kTamMarca)) return false;
  in.remove_prefix(kTamMarca);
  std::uint64_t campos = 0;
  if (!TiraVarint(in, &campos) || campos > in.size()) return false;
  struct Coluna {
    int destino;  // field of the schema, or -1 to drop
    bool texto;
  };
  std::vector<Coluna> colunas;
  for (std::uint64_t c = 0; c < campos; ++c) {
    std::string nome;
    if (!TiraTexto(in, &nome) || in.empty()) return false;
    const bool texto = in.front() == 'T';
    in.remove_prefix(1);
    int destino = schema.Find(nome);
    if (destino >= 0 && IsText(schema.fields[destino].type) != texto) destino = -1;
    colunas.push_back({destino, texto});
  }
  std::uint64_t quantos = 0;
  if (!TiraVarint(in, &quantos) || quantos > in.size() + 1) return false;
  for (std::uint64_t r = 0; r < quantos; ++r) {
    TZQBaseParaDados& item = novoItem(lista);
    for (const Coluna& c : colunas) {
      Value v;
      if (c.texto) {
        std::string s;
        if (!TiraTexto(in, &s)) return false;
        v = std::move(s);
      } else {
        std::uint64_t z = 0;
        if (!TiraVarint(in, &z)) return false;
        v = static_cast<std::int64_t>((z >> 1) ^ (~(z & 1) + 1));
      }
      if (c.destino >= 0 && !item.SetValor(static_cast<std::size_t>(c.destino), v)) return false;
    }
  }
  return in.empty();
}

}  // namespace zq
