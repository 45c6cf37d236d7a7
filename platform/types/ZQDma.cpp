#include "platform/types/ZQDma.h"

#include <algorithm>
#include <cstdio>

namespace {

// The arithmetic counts days from 1 March 1600: a 400-year cycle starts there, and with years
// beginning in March the leap day is the last day of its year.
constexpr std::int64_t kDiasCiclo400 = 146097;
constexpr std::int64_t kDiasCiclo100 = 36524;
constexpr std::int64_t kDiasCiclo4 = 1461;
constexpr int kAnoBase = 1600;

constexpr bool Bissexto(int ano) { return (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0; }

constexpr int DiasNoMes(int mes, int ano) {
  constexpr int kDias[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return mes == 2 && Bissexto(ano) ? 29 : kDias[mes - 1];
}

// Days from 1 March 1600 to a real calendar day of a year from 1600 on.
constexpr std::int64_t DiasDesdeBase(int dia, int mes, int ano) {
  const std::int64_t a = (mes <= 2 ? ano - 1 : ano) - kAnoBase;
  const int m = mes <= 2 ? mes + 9 : mes - 3;  // March 0 .. February 11
  const int diaDoAno = (153 * m + 2) / 5 + dia - 1;
  return a * 365 + a / 4 - a / 100 + a / 400 + diaDoAno;
}

constexpr std::int64_t kBase1848 = DiasDesdeBase(1, 1, 1848) - REG_ZQDMA::kPrimeiro;

struct Civil {
  int dia, mes, ano;
};

constexpr Civil DeDiasDesdeBase(std::int64_t n) {
  const std::int64_t c400 = n / kDiasCiclo400;
  std::int64_t r = n % kDiasCiclo400;
  // The last century of a cycle and the last year of a 4-year run are one day longer; the
  // min() keeps that extra day in them.
  const std::int64_t c100 = std::min<std::int64_t>(r / kDiasCiclo100, 3);
  r -= c100 * kDiasCiclo100;
  const std::int64_t c4 = r / kDiasCiclo4;
  r %= kDiasCiclo4;
  const std::int64_t c1 = std::min<std::int64_t>(r / 365, 3);
  r -= c1 * 365;
  const int diaDoAno = static_cast<int>(r);
  const int m = (5 * diaDoAno + 2) / 153;
  Civil c{};
  c.dia = diaDoAno - (153 * m + 2) / 5 + 1;
  c.mes = m < 10 ? m + 3 : m - 9;
  c.ano = static_cast<int>(kAnoBase + 400 * c400 + 100 * c100 + 4 * c4 + c1) + (c.mes <= 2);
  return c;
}

static_assert(DiasDesdeBase(31, 12, 4717) - kBase1848 == REG_ZQDMA::kUltimo);

REG_ZQDMA DeDiaNumero(std::int64_t n) {
  if (n < REG_ZQDMA::kPrimeiro || n > REG_ZQDMA::kUltimo) return {};
  return REG_ZQDMA{static_cast<std::uint32_t>(n)};
}

// Four-digit year, no two-digit rule; lowers the day only when asked.
REG_ZQDMA DeCivil(int dia, int mes, int ano, bool baixaDia) {
  if (mes < 1 || mes > 12 || ano < REG_ZQMA::kAnoPrimeiro || ano > REG_ZQMA::kAnoUltimo || dia < 1)
    return {};
  const int ultimo = DiasNoMes(mes, ano);
  if (dia > ultimo) {
    if (!baixaDia) return {};
    dia = ultimo;
  }
  return DeDiaNumero(DiasDesdeBase(dia, mes, ano) - kBase1848);
}

Civil ParaCivil(const REG_ZQDMA& d) {
  if (!d.IsValid()) return {};
  return DeDiasDesdeBase(d.ulDma + kBase1848);
}

// Months counted from January of year 0, so that adding stays in plain integers.
REG_ZQDMA SomaMesesCivil(const REG_ZQDMA& d, std::int64_t meses) {
  if (!d.IsValid()) return {};
  const Civil c = ParaCivil(d);
  const std::int64_t total = static_cast<std::int64_t>(c.ano) * 12 + (c.mes - 1) + meses;
  if (total < std::int64_t{REG_ZQMA::kAnoPrimeiro} * 12 ||
      total > std::int64_t{REG_ZQMA::kAnoUltimo} * 12 + 11)
    return {};
  return DeCivil(c.dia, static_cast<int>(total % 12) + 1, static_cast<int>(total / 12), true);
}


}  // namespace

REG_ZQDMA REG_ZQDMA::DeDiaMesAno(int dia, int mes, int ano) {
  return DeCivil(dia, mes, REG_ZQMA::AnoCompleto(ano), true);
}

void REG_ZQDMA::GetDiaMesAno(int* dia, int* mes, int* ano) const {
  const Civil c = ParaCivil(*this);
  if (dia) *dia = c.dia;
  if (mes) *mes = c.mes;
  if (ano) *ano = c.ano;
}

int REG_ZQDMA::GetDia() const { return ParaCivil(*this).dia; }
int REG_ZQDMA::GetMes() const { return ParaCivil(*this).mes; }
int REG_ZQDMA::GetAno() const { return ParaCivil(*this).ano; }

int REG_ZQDMA::GetDiaSemana() const {
  if (!IsValid()) return -1;
  return static_cast<int>((ulDma + 4) % 7);  // day 2, 1 January 1848, was a Saturday
}

REG_ZQMA REG_ZQDMA::GetMa() const {
  const Civil c = ParaCivil(*this);
  return REG_ZQMA::DeMesAno(c.mes, c.ano);
}

REG_ZQDMA REG_ZQDMA::SomaDias(std::int64_t dias) const {
  if (!IsValid()) return {};
  // Any larger step leaves the range anyway; the clamp keeps the sum from overflowing.
  if (dias > kUltimo || dias < -static_cast<std::int64_t>(kUltimo)) return {};
  return DeDiaNumero(static_cast<std::int64_t>(ulDma) + dias);
}

REG_ZQDMA REG_ZQDMA::SomaMeses(int meses) const { return SomaMesesCivil(*this, meses); }

REG_ZQDMA REG_ZQDMA::SomaAnos(int anos) const {
  return SomaMesesCivil(*this, static_cast<std::int64_t>(anos) * 12);
}

std::chrono::year_month_day REG_ZQDMA::ParaYmd() const {
  const Civil c = ParaCivil(*this);  // all zero when invalid: month 0 is not ok()
  return std::chrono::year_month_day{std::chrono::year{c.ano},
                                     std::chrono::month{static_cast<unsigned>(c.mes)},
                                     std::chrono::day{static_cast<unsigned>(c.dia)}};
}

REG_ZQDMA REG_ZQDMA::DeYmd(const std::chrono::year_month_day& ymd) {
  if (!ymd.ok()) return {};
  return DeCivil(static_cast<int>(static_cast<unsigned>(ymd.day())),
                 static_cast<int>(static_cast<unsigned>(ymd.month())),
                 static_cast<int>(ymd.year()), false);
}

std::string REG_ZQDMA::ParaIso() const {
  if (!IsValid()) return {};
  const Civil c = ParaCivil(*this);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.ano, c.mes, c.dia);
  return buf;
}

std::optional<REG_ZQDMA> REG_ZQDMA::DeIso(std::string_view texto) {
  if (texto.empty()) return REG_ZQDMA{};
  if (texto.size() != 10 || texto[4] != '-' || texto[7] != '-') return std::nullopt;
  const int ano = LeDigitos(texto.substr(0, 4));
  const int mes = LeDigitos(texto.substr(5, 2));
  const int dia = LeDigitos(texto.substr(8, 2));
  if (ano < 0 || mes < 0 || dia < 0) return std::nullopt;
  const REG_ZQDMA d = DeCivil(dia, mes, ano, false);
  if (!d.IsValid()) return std::nullopt;
  return d;
}

int REG_ZQDMA::LeDigitos(std::string_view s) {
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}
