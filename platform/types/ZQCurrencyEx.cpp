#include "platform/types/ZQCurrencyEx.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

using U128 = unsigned __int128;
using I128 = __int128;

constexpr std::uint64_t kMagnitudeNegativaMaxima = std::uint64_t{1} << 63;  // -INT64_MIN

bool EhDigito(char c) { return c >= '0' && c <= '9'; }

std::optional<tagCY> DeMagnitude(std::uint64_t magnitude, bool negativo) {
  if (magnitude > (negativo ? kMagnitudeNegativaMaxima : kMagnitudeNegativaMaxima - 1))
    return std::nullopt;
  // Modular conversion (C++20) gives INT64_MIN for 2^63 as well.
  return tagCY{static_cast<std::int64_t>(negativo ? 0 - magnitude : magnitude)};
}

std::optional<tagCY> DeI128(I128 v) {
  if (v > std::numeric_limits<std::int64_t>::max() || v < std::numeric_limits<std::int64_t>::min())
    return std::nullopt;
  return tagCY{static_cast<std::int64_t>(v)};
}

// q = n / d rounded half away from zero; d != 0 and both far inside the 128-bit range.
I128 DivideArredondando(I128 n, I128 d) {
  I128 q = n / d;
  const I128 r = n % d;
  const I128 r2 = r < 0 ? -r * 2 : r * 2;
  const I128 dAbs = d < 0 ? -d : d;
  if (r2 >= dAbs) q += ((n < 0) != (d < 0)) ? -1 : 1;
  return q;
}

std::uint64_t Magnitude(std::int64_t v) {
  return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

// Digits of the whole part with '.' between groups of three.
std::string Agrupa(std::uint64_t inteiro) {
  std::string digitos = std::to_string(inteiro);
  std::string out;
  out.reserve(digitos.size() + digitos.size() / 3);
  for (std::size_t i = 0; i < digitos.size(); ++i) {
    if (i > 0 && (digitos.size() - i) % 3 == 0) out += '.';
    out += digitos[i];
  }
  return out;
}

std::string QuatroDecimais(std::uint64_t fracao) {
  std::string s = std::to_string(fracao);
  return std::string(4 - s.size(), '0') + s;
}

}  // namespace

std::optional<tagCY> CZQCurrencyEx::DeInteiro(std::int64_t valor) {
  return DeI128(static_cast<I128>(valor) * kEscala);
}

std::optional<tagCY> CZQCurrencyEx::DeDouble(double valor) {
  if (!std::isfinite(valor)) return std::nullopt;
  if (std::fabs(valor) < 1e-5) return tagCY{};  // well below half a unit
  if (std::fabs(valor) >= 1e15) return std::nullopt;
  // Shortest fixed form: at most 17 significant digits and a few leading zeros here.
  char buf[64];
  const auto [fim, erro] = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::fixed);
  if (erro != std::errc()) return std::nullopt;
  return DeTexto(std::string_view(buf, static_cast<std::size_t>(fim - buf)));
}

std::optional<tagCY> CZQCurrencyEx::DeTexto(std::string_view texto) {
  std::size_t i = 0;
  bool negativo = false;
  if (i < texto.size() && (texto[i] == '-' || texto[i] == '+')) negativo = texto[i++] == '-';

  U128 unidades = 0;  // the value in units of 0.0001, stopped early once out of range
  const std::size_t inicioInteiro = i;
  for (; i < texto.size() && EhDigito(texto[i]); ++i) {
    unidades = unidades * 10 + static_cast<unsigned>(texto[i] - '0');
    if (unidades > kMagnitudeNegativaMaxima) return std::nullopt;
  }
  if (i == inicioInteiro) return std::nullopt;
  unidades *= kEscala;

  if (i < texto.size()) {
    if (texto[i] != '.' && texto[i] != ',') return std::nullopt;
    ++i;
    const std::size_t inicioFracao = i;
    std::uint64_t peso = kEscala / 10;
    bool arredondaParaCima = false;
    for (; i < texto.size() && EhDigito(texto[i]); ++i) {
      const unsigned digito = static_cast<unsigned>(texto[i] - '0');
      if (peso > 0) {
        unidades += digito * peso;
        peso /= 10;
      } else if (i - inicioFracao == 4) {
        arredondaParaCima = digito >= 5;  // the fifth decimal decides; half goes away from zero
      }
    }
    if (i == inicioFracao || i != texto.size()) return std::nullopt;
    if (arredondaParaCima) ++unidades;
  }
  if (unidades > kMagnitudeNegativaMaxima) return std::nullopt;
  return DeMagnitude(static_cast<std::uint64_t>(unidades), negativo);
}

std::optional<tagCY> CZQCurrencyEx::Soma(const tagCY& a, const tagCY& b) {
  std::int64_t r;
  if (__builtin_add_overflow(a.int64, b.int64, &r)) return std::nullopt;
  return tagCY{r};
}

std::optional<tagCY> CZQCurrencyEx::Subtrai(const tagCY& a, const tagCY& b) {
  std::int64_t r;
  if (__builtin_sub_overflow(a.int64, b.int64, &r)) return std::nullopt;
  return tagCY{r};
}

std::optional<tagCY> CZQCurrencyEx::Multiplica(const tagCY& a, const tagCY& b) {
  return DeI128(DivideArredondando(static_cast<I128>(a.int64) * b.int64, kEscala));
}

std::optional<tagCY> CZQCurrencyEx::Divide(const tagCY& a, const tagCY& b) {
  if (b.int64 == 0) return std::nullopt;
  return DeI128(DivideArredondando(static_cast<I128>(a.int64) * kEscala, b.int64));
}

std::string CZQCurrencyEx::FormataValor(const tagCY& valor, int casasDecimais) {
  if (casasDecimais < 0 || casasDecimais > 10) return "Erro";
  std::uint64_t magnitude = Magnitude(valor.int64);
  if (casasDecimais < 4) {
    std::uint64_t corte = 1;
    for (int k = casasDecimais; k < 4; ++k) corte *= 10;
    magnitude -= magnitude % corte;
  }
  std::string out = magnitude != 0 && valor.int64 < 0 ? "-" : "";
  out += Agrupa(magnitude / kEscala);
  if (casasDecimais == 0) return out;
  const std::string decimais = QuatroDecimais(magnitude % kEscala);
  out += ',';
  if (casasDecimais <= 4) return out += decimais.substr(0, static_cast<std::size_t>(casasDecimais));
  return out += decimais + std::string(static_cast<std::size_t>(casasDecimais - 4), '0');
}

std::string CZQCurrencyEx::ParaTextoDecimal(const tagCY& valor, bool minimo) {
  const std::uint64_t magnitude = Magnitude(valor.int64);
  std::string out = valor.int64 < 0 ? "-" : "";
  out += std::to_string(magnitude / kEscala);
  std::string decimais = QuatroDecimais(magnitude % kEscala);
  if (minimo) {
    while (!decimais.empty() && decimais.back() == '0') decimais.pop_back();
    if (decimais.empty()) return out;
  }
  return out + '.' + decimais;
}
