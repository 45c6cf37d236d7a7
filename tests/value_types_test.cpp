#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ZQCurrency.h"
#include "platform/ZQCurrencyEx.h"
#include "platform/ZQDma.h"
#include "platform/ZQDmaHmsUtc.h"
#include "platform/ZQDmc.h"
#include "platform/ZQMa.h"
#include "platform/ZQRelogio.h"

namespace {

using namespace std::chrono;

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();

// "2024-02-29", "no date", or "bad(n)" for a day number outside the valid range.
std::string Texto(REG_ZQDMA d) {
  if (d.IsEmpty()) return "no date";
  if (!d.IsValid()) return "bad(" + std::to_string(d.ulDma) + ")";
  return d.ParaIso();
}

std::string Texto(REG_ZQMA m) {
  if (!m.IsValid()) return "no month(" + std::to_string(m.usMa) + ")";
  return std::to_string(m.GetAno()) + "-" + (m.GetMes() < 10 ? "0" : "") + std::to_string(m.GetMes());
}

std::string Texto(const std::optional<tagCY>& v) {
  return v ? std::to_string(v->int64) : "nullopt";
}

REG_ZQDMA Dia(int d, int m, int a) { return REG_ZQDMA::DeDiaMesAno(d, m, a); }

std::string Iso(const year_month_day& ymd) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return buf;
}

// ---------------------------------------------------------------------------------------------
// REG_ZQDMA

// Every valid day number against the standard library's civil calendar, both ways.
TEST(ZQDmaTest, EveryDayNumberMatchesCivilCalendar) {
  const sys_days dia2 = sys_days{year{1848} / January / 1};
  long falhas = 0;
  std::string primeira;
  auto falha = [&](std::uint32_t d, const std::string& o_que) {
    if (falhas++ == 0) primeira = "day " + std::to_string(d) + ": " + o_que;
  };
  for (std::uint32_t d = REG_ZQDMA::kPrimeiro; d <= REG_ZQDMA::kUltimo; ++d) {
    const sys_days civil = dia2 + days{d - REG_ZQDMA::kPrimeiro};
    const year_month_day esperado{civil};
    const int ano = static_cast<int>(esperado.year());
    const int mes = static_cast<int>(static_cast<unsigned>(esperado.month()));
    const int dia = static_cast<int>(static_cast<unsigned>(esperado.day()));
    const REG_ZQDMA dma{d};

    int a = 0, m = 0, di = 0;
    dma.GetDiaMesAno(&di, &m, &a);
    if (a != ano || m != mes || di != dia || dma.GetAno() != ano || dma.GetMes() != mes ||
        dma.GetDia() != dia)
      falha(d, "parts differ from " + Iso(esperado));
    if (REG_ZQDMA::DeDiaMesAno(dia, mes, ano) != dma) falha(d, "built from " + Iso(esperado));
    if (dma.ParaYmd() != esperado || REG_ZQDMA::DeYmd(esperado) != dma)
      falha(d, "year_month_day of " + Iso(esperado));
    if (dma.GetDiaSemana() != static_cast<int>(weekday{civil}.c_encoding()))
      falha(d, "weekday of " + Iso(esperado));
    if (dma.GetMa() != REG_ZQMA::DeMesAno(mes, ano)) falha(d, "month number of " + Iso(esperado));
    if (d < REG_ZQDMA::kUltimo && dma.SomaDias(1).ParaYmd() != year_month_day{civil + days{1}})
      falha(d, "day after " + Iso(esperado));
  }
  EXPECT_EQ(falhas, 0) << "first: " << primeira;
}

TEST(ZQDmaTest, RangeEndsAndKnownDays) {
  EXPECT_EQ(Dia(1, 1, 1848).ulDma, 2u);
  EXPECT_EQ(Dia(31, 12, 4717).ulDma, 1048247u);
  // Days on which a year estimate from 365.2425-day years goes wrong.
  EXPECT_EQ(Texto(REG_ZQDMA{19725}), "1902-01-01");
  EXPECT_EQ(Texto(REG_ZQDMA{13516}), "1884-12-31");
  EXPECT_EQ(REG_ZQDMA{19725}.GetAno(), 1902);
  EXPECT_EQ(REG_ZQDMA{13516}.GetAno(), 1884);
}

TEST(ZQDmaTest, InvalidDayNumbersAnswerZeroParts) {
  for (std::uint32_t d : {0u, 1u, 1048248u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(d);
    const REG_ZQDMA dma{d};
    EXPECT_FALSE(dma.IsValid());
    EXPECT_EQ(dma.IsEmpty(), d == 0);
    int a = -1, m = -1, di = -1;
    dma.GetDiaMesAno(&di, &m, &a);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(di, 0);
    EXPECT_EQ(dma.GetDiaSemana(), -1);
    EXPECT_FALSE(dma.GetMa().IsValid());
    EXPECT_FALSE(dma.ParaYmd().ok());
    EXPECT_EQ(dma.ParaIso(), "");
    EXPECT_TRUE(dma.SomaDias(0).IsEmpty());
    EXPECT_TRUE(dma.SomaMeses(0).IsEmpty());
    EXPECT_TRUE(dma.SomaAnos(0).IsEmpty());
  }
}

// The two-digit-year rule is shared by dates and month numbers.
TEST(ZQDmaTest, TwoDigitYears) {
  struct Caso {
    int ano;
    int esperado;  // 0: refused
  };
  const Caso casos[] = {
      {0, 2000},    {1, 2001},    {24, 2024},   {83, 2083},  {84, 1984}, {99, 1999},
      {100, 0},     {999, 0},     {1847, 0},    {1848, 1848}, {2024, 2024}, {4717, 4717},
      {4718, 0},    {-1, 0},      {-84, 0},     {INT_MIN, 0}, {INT_MAX, 0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.ano);
    EXPECT_EQ(Dia(15, 6, c.ano).GetAno(), c.esperado);
    EXPECT_EQ(REG_ZQMA::DeMesAno(6, c.ano).GetAno(), c.esperado);
  }
}

TEST(ZQDmaTest, BuildingLowersDayAndRefusesBadParts) {
  struct Caso {
    int dia, mes, ano;
    const char* esperado;
  };
  const Caso casos[] = {
      {31, 2, 2023, "2023-02-28"}, {29, 2, 2024, "2024-02-29"}, {30, 2, 2024, "2024-02-29"},
      {30, 2, 2000, "2000-02-29"}, {29, 2, 1900, "1900-02-28"}, {29, 2, 2100, "2100-02-28"},
      {31, 4, 2024, "2024-04-30"}, {99, 1, 2024, "2024-01-31"}, {INT_MAX, 12, 4717, "4717-12-31"},
      {31, 2, 23, "2023-02-28"},   {1, 1, 1848, "1848-01-01"},  {31, 12, 4717, "4717-12-31"},
      {0, 1, 2024, "no date"},     {-1, 1, 2024, "no date"},    {1, 0, 2024, "no date"},
      {1, 13, 2024, "no date"},    {1, -1, 2024, "no date"},    {31, 12, 1847, "no date"},
      {1, 1, 4718, "no date"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << c.dia << "/" << c.mes << "/" << c.ano);
    EXPECT_EQ(Texto(Dia(c.dia, c.mes, c.ano)), c.esperado);
  }
}

TEST(ZQDmaTest, AddDays) {
  struct Caso {
    REG_ZQDMA de;
    std::int64_t dias;
    const char* esperado;
  };
  const Caso casos[] = {
      {Dia(1, 1, 1848), -1, "no date"},
      {Dia(1, 1, 1848), 0, "1848-01-01"},
      {Dia(2, 1, 1848), -1, "1848-01-01"},
      {Dia(31, 12, 4717), 1, "no date"},
      {Dia(30, 12, 4717), 1, "4717-12-31"},
      {Dia(1, 1, 1848), 1048245, "4717-12-31"},
      {Dia(1, 1, 1848), 1048246, "no date"},
      {Dia(31, 12, 4717), -1048245, "1848-01-01"},
      {Dia(28, 2, 2024), 1, "2024-02-29"},
      {Dia(28, 2, 2023), 1, "2023-03-01"},
      {Dia(31, 12, 1999), 1, "2000-01-01"},
      {Dia(1, 3, 2000), -1, "2000-02-29"},
      {Dia(1, 1, 2024), kMax64, "no date"},
      {Dia(1, 1, 2024), kMin64, "no date"},
      {REG_ZQDMA{}, 5, "no date"},
      {REG_ZQDMA{1}, 1, "no date"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << Texto(c.de) << " + " << c.dias);
    EXPECT_EQ(Texto(c.de.SomaDias(c.dias)), c.esperado);
  }
}

TEST(ZQDmaTest, AddMonthsKeepsDayLoweredToMonthEnd) {
  struct Caso {
    REG_ZQDMA de;
    int meses;
    const char* esperado;
  };
  const Caso casos[] = {
      {Dia(31, 1, 2024), 1, "2024-02-29"},   {Dia(31, 1, 2023), 1, "2023-02-28"},
      {Dia(31, 3, 2024), -1, "2024-02-29"},  {Dia(30, 4, 2024), 1, "2024-05-30"},
      {Dia(31, 10, 2024), 4, "2025-02-28"},  {Dia(15, 11, 2024), 2, "2025-01-15"},
      {Dia(15, 1, 2024), -1, "2023-12-15"},  {Dia(31, 5, 2024), -15, "2023-02-28"},
      {Dia(31, 1, 1900), 1, "1900-02-28"},   {Dia(31, 1, 2000), 1, "2000-02-29"},
      {Dia(15, 12, 4717), -34439, "1848-01-15"}, {Dia(1, 1, 1848), 34439, "4717-12-01"},
      {Dia(31, 12, 4717), 1, "no date"},     {Dia(1, 1, 1848), -1, "no date"},
      {Dia(1, 12, 4717), 0, "4717-12-01"},   {Dia(1, 1, 2024), INT_MAX, "no date"},
      {Dia(1, 1, 2024), INT_MIN, "no date"}, {REG_ZQDMA{}, 1, "no date"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << Texto(c.de) << " + " << c.meses << " months");
    EXPECT_EQ(Texto(c.de.SomaMeses(c.meses)), c.esperado);
  }
}

TEST(ZQDmaTest, AddYears) {
  struct Caso {
    REG_ZQDMA de;
    int anos;
    const char* esperado;
  };
  const Caso casos[] = {
      {Dia(29, 2, 2024), 1, "2025-02-28"},   {Dia(29, 2, 2024), 4, "2028-02-29"},
      {Dia(29, 2, 2096), 4, "2100-02-28"},   {Dia(29, 2, 1896), 104, "2000-02-29"},
      {Dia(29, 2, 2024), -1, "2023-02-28"},  {Dia(31, 12, 4716), 1, "4717-12-31"},
      {Dia(31, 12, 4717), 1, "no date"},     {Dia(1, 1, 1848), -1, "no date"},
      {Dia(1, 1, 1849), -1, "1848-01-01"},   {Dia(1, 1, 1848), 2869, "4717-01-01"},
      {Dia(1, 1, 2024), INT_MAX, "no date"}, {Dia(1, 1, 2024), INT_MIN, "no date"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << Texto(c.de) << " + " << c.anos << " years");
    EXPECT_EQ(Texto(c.de.SomaAnos(c.anos)), c.esperado);
  }
}

TEST(ZQDmaTest, DifferenceInDays) {
  EXPECT_EQ(Dia(31, 12, 4717).DiferencaDias(Dia(1, 1, 1848)), 1048245);
  EXPECT_EQ(Dia(1, 1, 1848).DiferencaDias(Dia(31, 12, 4717)), -1048245);
  EXPECT_EQ(Dia(1, 3, 2024).DiferencaDias(Dia(28, 2, 2024)), 2);
  EXPECT_EQ(Dia(1, 3, 2023).DiferencaDias(Dia(28, 2, 2023)), 1);
}

TEST(ZQDmaTest, YearMonthDayOutsideRangeOrNotOkGivesNoDate) {
  const year_month_day casos[] = {
      year{1847} / December / 31, year{4718} / January / 1, year{2023} / February / 29,
      year{2024} / 13 / 1,        year{24} / January / 1,   year{2024} / January / 0,
  };
  for (const year_month_day& ymd : casos) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(ymd.year()) << "/"
                                    << static_cast<unsigned>(ymd.month()) << "/"
                                    << static_cast<unsigned>(ymd.day()));
    EXPECT_TRUE(REG_ZQDMA::DeYmd(ymd).IsEmpty());
  }
}

TEST(ZQDmaTest, IsoText) {
  struct Caso {
    const char* texto;
    const char* esperado;  // nullptr: refused
  };
  const Caso casos[] = {
      {"1848-01-01", "1848-01-01"}, {"4717-12-31", "4717-12-31"}, {"2024-02-29", "2024-02-29"},
      {"", "no date"},
      {"1847-12-31", nullptr},      {"4718-01-01", nullptr},      {"2023-02-29", nullptr},
      {"2024-04-31", nullptr},      {"2024-13-01", nullptr},      {"2024-00-10", nullptr},
      {"2024-01-00", nullptr},      {"2024-1-01", nullptr},       {"2024/01/01", nullptr},
      {" 2024-01-01", nullptr},     {"2024-01-01 ", nullptr},     {"2024-01-0a", nullptr},
      {"+024-01-01", nullptr},      {"20240101", nullptr},        {"2024-01-01T00:00:00", nullptr},
      {"0024-01-01", nullptr},      {"24-01-01", nullptr},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    const std::optional<REG_ZQDMA> d = REG_ZQDMA::DeIso(c.texto);
    if (!c.esperado) {
      EXPECT_FALSE(d.has_value()) << Texto(*d);
      continue;
    }
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(Texto(*d), c.esperado);
  }
}

// ---------------------------------------------------------------------------------------------
// REG_ZQMA

TEST(ZQMaTest, EndsAndParts) {
  EXPECT_EQ(REG_ZQMA::DeMesAno(1, 1848).usMa, 1);
  EXPECT_EQ(REG_ZQMA::DeMesAno(12, 4717).usMa, 34440);
  EXPECT_EQ(REG_ZQMA::DeMesAno(3, 2024).usMa, (2024 - 1848) * 12 + 3);
  for (int mes : {0, 13, -1}) {
    SCOPED_TRACE(mes);
    EXPECT_TRUE(REG_ZQMA::DeMesAno(mes, 2024).IsEmpty());
  }
  for (std::uint16_t ma : {std::uint16_t{0}, std::uint16_t{34441}, std::uint16_t{65535}}) {
    SCOPED_TRACE(ma);
    const REG_ZQMA m{ma};
    EXPECT_FALSE(m.IsValid());
    EXPECT_EQ(m.GetMes(), 0);
    EXPECT_EQ(m.GetAno(), 0);
    EXPECT_TRUE(m.GetPrimeiroDia().IsEmpty());
    EXPECT_TRUE(m.GetUltimoDia().IsEmpty());
    EXPECT_TRUE(m.SomaMeses(0).IsEmpty());
  }
  EXPECT_LT(REG_ZQMA::DeMesAno(12, 2023), REG_ZQMA::DeMesAno(1, 2024));
}

TEST(ZQMaTest, AddMonths) {
  struct Caso {
    REG_ZQMA de;
    int meses;
    const char* esperado;
  };
  const Caso casos[] = {
      {REG_ZQMA::DeMesAno(12, 2023), 1, "2024-01"},
      {REG_ZQMA::DeMesAno(1, 2024), -1, "2023-12"},
      {REG_ZQMA::DeMesAno(1, 1848), -1, "no month(0)"},
      {REG_ZQMA::DeMesAno(12, 4717), 1, "no month(0)"},
      {REG_ZQMA::DeMesAno(1, 1848), 34439, "4717-12"},
      {REG_ZQMA::DeMesAno(6, 2024), INT_MAX, "no month(0)"},
      {REG_ZQMA::DeMesAno(6, 2024), INT_MIN, "no month(0)"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << Texto(c.de) << " + " << c.meses);
    EXPECT_EQ(Texto(c.de.SomaMeses(c.meses)), c.esperado);
  }
}

// Every month's first and last day against its neighbours and its parts.
TEST(ZQMaTest, EveryMonthFirstAndLastDay) {
  long falhas = 0;
  std::string primeira;
  for (std::uint16_t ma = REG_ZQMA::kPrimeiro; ma <= REG_ZQMA::kUltimo; ++ma) {
    const REG_ZQMA m{ma};
    const REG_ZQDMA primeiro = m.GetPrimeiroDia(), ultimo = m.GetUltimoDia();
    const year_month_day esperado{year{m.GetAno()}, month{static_cast<unsigned>(m.GetMes())}, day{1}};
    bool ok = primeiro.ParaYmd() == esperado && primeiro.GetMa() == m && ultimo.GetMa() == m &&
              ultimo.ParaYmd() == year_month_day{year_month_day_last{esperado.year(),
                                                                     month_day_last{esperado.month()}}};
    if (ma < REG_ZQMA::kUltimo) ok = ok && ultimo.SomaDias(1) == m.SomaMeses(1).GetPrimeiroDia();
    if (!ok && falhas++ == 0) primeira = Texto(m);
  }
  EXPECT_EQ(falhas, 0) << "first: " << primeira;
  EXPECT_EQ(REG_ZQMA{REG_ZQMA::kUltimo}.GetUltimoDia().ulDma, REG_ZQDMA::kUltimo);
  EXPECT_EQ(REG_ZQMA{REG_ZQMA::kPrimeiro}.GetPrimeiroDia().ulDma, REG_ZQDMA::kPrimeiro);
}

// ---------------------------------------------------------------------------------------------
// REG_ZQDMAHMSUTC

REG_ZQDMAHMSUTC Segundos(std::int64_t s, std::int32_t deslocamento = 0) {
  REG_ZQDMAHMSUTC r;
  r.SetSegundos(s);
  r.SetDeslocamentoUtc(deslocamento);
  return r;
}

TEST(ZQDmaHmsUtcTest, FilledInBoundaries) {
  struct Caso {
    std::int64_t segundos;
    bool preenchida;
  };
  const Caso casos[] = {
      {0, false},           {172799, false},      {172800, true},
      {90568627199, true},  {90568627200, false}, {-172800, false},
      {-90568627199, false}, {(std::int64_t{1} << 37) - 1, false}, {-(std::int64_t{1} << 37), false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.segundos);
    const REG_ZQDMAHMSUTC v = Segundos(c.segundos, -10800);
    EXPECT_EQ(v.GetSegundos(), c.segundos);
    EXPECT_EQ(v.IsPreenchida(), c.preenchida);
    EXPECT_EQ(v.ParaIso().empty(), !c.preenchida);
  }
  EXPECT_EQ(REG_ZQDMAHMSUTC::DeDataHora(Dia(1, 1, 1848), 0, 0, 0).GetSegundos(), 172800);
  EXPECT_EQ(REG_ZQDMAHMSUTC::DeDataHora(Dia(31, 12, 4717), 23, 59, 59).GetSegundos(), 90568627199);
}

TEST(ZQDmaHmsUtcTest, FieldsAreSignedAndIndependent) {
  REG_ZQDMAHMSUTC v{0xAB00000000000000ull};  // bits 56-63 belong to no field
  v.SetSegundos(-1);
  EXPECT_EQ(v.GetSegundos(), -1);
  EXPECT_EQ(v.GetDeslocamentoUtc(), 0);
  EXPECT_EQ(v.ullValor, 0xAB00003FFFFFFFFFull);
  v.SetDeslocamentoUtc(-10800);
  EXPECT_EQ(v.GetDeslocamentoUtc(), -10800);
  EXPECT_EQ(v.GetSegundos(), -1);
  v.SetSegundos(172800);
  EXPECT_EQ(v.GetDeslocamentoUtc(), -10800);
  EXPECT_EQ(v.ullValor >> 56, 0xABu);
  for (std::int32_t d : {REG_ZQDMAHMSUTC::kDeslocamentoMinimo, REG_ZQDMAHMSUTC::kDeslocamentoMaximo,
                         -1, 1, 50400}) {
    SCOPED_TRACE(d);
    v.SetDeslocamentoUtc(d);
    EXPECT_EQ(v.GetDeslocamentoUtc(), d);
    EXPECT_EQ(v.GetSegundos(), 172800);
  }
  EXPECT_EQ(REG_ZQDMAHMSUTC::DeDataHora(Dia(1, 1, 1848), 0, 0, 0, 1).ullValor,
            172800u | (std::uint64_t{1} << 38));
}

TEST(ZQDmaHmsUtcTest, BuildAndReadParts) {
  const REG_ZQDMAHMSUTC v = REG_ZQDMAHMSUTC::DeDataHora(Dia(5, 3, 2024), 10, 5, 30, -10800);
  EXPECT_EQ(v.GetData(), Dia(5, 3, 2024));
  EXPECT_EQ(v.GetHora(), 10);
  EXPECT_EQ(v.GetMinuto(), 5);
  EXPECT_EQ(v.GetSegundo(), 30);
  EXPECT_EQ(v.GetSegundoDoDia(), 36330);
  EXPECT_EQ(v.GetDeslocamentoUtc(), -10800);
  EXPECT_EQ(v.ParaIso(), "2024-03-05T10:05:30");

  struct Caso {
    REG_ZQDMA data;
    int h, m, s;
    std::int32_t deslocamento;
  };
  const Caso recusados[] = {
      {Dia(5, 3, 2024), 24, 0, 0, 0},  {Dia(5, 3, 2024), 0, 60, 0, 0},
      {Dia(5, 3, 2024), 0, 0, 60, 0},  {Dia(5, 3, 2024), -1, 0, 0, 0},
      {Dia(5, 3, 2024), 0, -1, 0, 0},  {Dia(5, 3, 2024), 0, 0, -1, 0},
      {REG_ZQDMA{}, 0, 0, 0, 0},       {REG_ZQDMA{1048248}, 0, 0, 0, 0},
      {Dia(5, 3, 2024), 0, 0, 0, 131072}, {Dia(5, 3, 2024), 0, 0, 0, -131073},
  };
  for (const Caso& c : recusados) {
    SCOPED_TRACE(testing::Message() << c.data.ulDma << " " << c.h << ":" << c.m << ":" << c.s
                                    << " " << c.deslocamento);
    EXPECT_EQ(REG_ZQDMAHMSUTC::DeDataHora(c.data, c.h, c.m, c.s, c.deslocamento).ullValor, 0u);
  }
}

// A negative seconds field reads by its absolute value.
TEST(ZQDmaHmsUtcTest, NegativeSecondsReadAsAbsoluteValue) {
  const REG_ZQDMAHMSUTC v = Segundos(-(5 * 86400 + 3661));
  EXPECT_EQ(v.GetData().ulDma, 5u);
  EXPECT_EQ(v.GetSegundoDoDia(), 3661);
}

TEST(ZQDmaHmsUtcTest, ComparesSecondsAsSignedNumbers) {
  const REG_ZQDMAHMSUTC negativo = Segundos(-1), cedo = Segundos(172800, 3600),
                        cedoOutroFuso = Segundos(172800, -10800), tarde = Segundos(172801);
  EXPECT_LT(negativo.Compara(cedo), 0);  // unsigned low bits would put -1 last
  EXPECT_GT(cedo.Compara(negativo), 0);
  EXPECT_LT(cedo.Compara(tarde), 0);
  EXPECT_GT(tarde.Compara(cedo), 0);
  EXPECT_EQ(cedo.Compara(cedoOutroFuso), 0);
  EXPECT_TRUE(cedo.IgualSegundos(cedoOutroFuso));
  EXPECT_FALSE(cedo == cedoOutroFuso);
  EXPECT_FALSE(cedo.IgualSegundos(tarde));
  EXPECT_EQ(negativo.DiferencaSegundos(tarde), -172802);
}

TEST(ZQDmaHmsUtcTest, AddSeconds) {
  const REG_ZQDMAHMSUTC fim = REG_ZQDMAHMSUTC::DeDataHora(Dia(31, 12, 2023), 23, 59, 59, -10800);
  EXPECT_EQ(fim.SomaSegundos(1).ParaIso(), "2024-01-01T00:00:00");
  EXPECT_EQ(fim.SomaSegundos(1).GetDeslocamentoUtc(), -10800);
  EXPECT_EQ(Segundos(REG_ZQDMAHMSUTC::kSegundosUltimo).SomaSegundos(1).ullValor, 0u);
  EXPECT_EQ(Segundos(REG_ZQDMAHMSUTC::kSegundosPrimeiro).SomaSegundos(-1).ullValor, 0u);
  EXPECT_EQ(Segundos(0).SomaSegundos(172800).ullValor, 0u);
  EXPECT_EQ(fim.SomaSegundos(kMax64).ullValor, 0u);
  EXPECT_EQ(fim.SomaSegundos(kMin64).ullValor, 0u);
}

TEST(ZQDmaHmsUtcTest, IsoText) {
  struct Caso {
    const char* texto;
    std::int64_t segundos;  // -1: refused
  };
  const Caso casos[] = {
      {"1848-01-01T00:00:00", 172800},      {"4717-12-31T23:59:59", 90568627199},
      {"", 0},
      {"2024-03-05 10:05:30", -1},          {"2024-03-05T24:00:00", -1},
      {"2024-03-05T10:60:00", -1},          {"2024-03-05T10:05:60", -1},
      {"2024-02-30T00:00:00", -1},          {"2024-03-05T10:05", -1},
      {"2024-03-05T10:05:30Z", -1},         {"2024-03-05T1:05:30", -1},
      {"2024-03-05T10-05-30", -1},          {"1847-12-31T23:59:59", -1},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    const auto v = REG_ZQDMAHMSUTC::DeIso(c.texto, -10800);
    if (c.segundos < 0) {
      EXPECT_FALSE(v.has_value());
      continue;
    }
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->GetSegundos(), c.segundos);
    if (c.segundos == 0) continue;
    EXPECT_EQ(v->GetDeslocamentoUtc(), -10800);
    EXPECT_EQ(v->ParaIso(), c.texto);
  }
}

// ---------------------------------------------------------------------------------------------
// REG_ZQDMC

TEST(ZQDmcTest, FieldLayout) {
  EXPECT_EQ(REG_ZQDMC::Monta(3, 1, 1, 1).ullDmc,
            (std::uint64_t{1} << 46) | (std::uint64_t{1} << 14) | (std::uint64_t{1} << 2) | 3u);
  const REG_ZQDMC cheia = REG_ZQDMC::Monta(2, 0xFFF, 0xFFFFFFFF, REG_ZQDMC::kPeriodoMaximo);
  EXPECT_EQ(cheia.ullDmc, ~std::uint64_t{1});
  EXPECT_EQ(cheia.GetTipo(), 2);
  EXPECT_EQ(cheia.GetCampo12(), 0xFFFu);
  EXPECT_EQ(cheia.GetCampo32(), 0xFFFFFFFFu);
  EXPECT_EQ(cheia.GetPeriodo(), REG_ZQDMC::kPeriodoMaximo);

  // A setter leaves the other fields alone and drops bits that do not fit.
  REG_ZQDMC k = cheia;
  k.SetCampo12(0x1005);
  EXPECT_EQ(k.GetCampo12(), 5u);
  EXPECT_EQ(k.GetTipo(), 2);
  EXPECT_EQ(k.GetCampo32(), 0xFFFFFFFFu);
  k.SetCampo32(0);
  EXPECT_EQ(k.GetCampo12(), 5u);
  EXPECT_EQ(k.GetPeriodo(), REG_ZQDMC::kPeriodoMaximo);
  k.SetPeriodo(0);
  k.SetTipo(1);
  EXPECT_EQ(k.ullDmc, (std::uint64_t{5} << 2) | 1u);

  struct Largo {
    int tipo;
    std::uint32_t campo12, periodo;
  };
  for (const Largo& c : {Largo{4, 0, 0}, Largo{-1, 0, 0}, Largo{0, 0x1000, 0},
                         Largo{0, 0, REG_ZQDMC::kPeriodoMaximo + 1}}) {
    SCOPED_TRACE(testing::Message() << c.tipo << " " << c.campo12 << " " << c.periodo);
    EXPECT_EQ(REG_ZQDMC::Monta(c.tipo, c.campo12, 1, c.periodo).ullDmc, 0u);
  }
  EXPECT_EQ(REG_ZQDMC::DeDia(1, 1, REG_ZQDMA{262144}).ullDmc, 0u);  // the date does not fit
  EXPECT_EQ(REG_ZQDMC::DeAno(1, 1, -1).ullDmc, 0u);
}

TEST(ZQDmcTest, EmptyAndValidPerKind) {
  struct Caso {
    int tipo;
    std::uint32_t campo12, campo32, periodo;
    bool vazia, valida;
  };
  const Caso casos[] = {
      {0, 0, 0, 0, true, false},          {3, 0, 0, 0, true, false},
      {0, 0, 1, 0, false, true},          {0, 157, 1, 0, false, true},
      {0, 158, 1, 0, false, false},       {0, 0xFFF, 1, 0, false, false},
      {0, 1, 0, 5, false, false},         {0, 1, 0xFFFFFFFF, 262143, false, true},
      {0, 5, 0, 0, false, false},
      {1, 1, 1, 1847, false, false},      {1, 1, 1, 1848, false, true},
      {1, 1, 1, 4717, false, true},       {1, 1, 1, 4718, false, false},
      {1, 1, 1, 0, false, false},
      {2, 1, 1, 0, false, false},         {2, 1, 1, 1, false, true},
      {2, 1, 1, 34440, false, true},      {2, 1, 1, 34441, false, false},
      {3, 1, 1, 1, false, false},         {3, 1, 1, 2, false, true},
      {3, 1, 1, 262143, false, true},     {3, 1, 1, 0, false, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << "kind " << c.tipo << " " << c.campo12 << " " << c.campo32
                                    << " " << c.periodo);
    const REG_ZQDMC k = REG_ZQDMC::Monta(c.tipo, c.campo12, c.campo32, c.periodo);
    EXPECT_EQ(k.IsEmpty(), c.vazia);
    EXPECT_EQ(k.IsValid(), c.valida);
  }
}

TEST(ZQDmcTest, PeriodReadThroughKind) {
  const REG_ZQDMC dia = REG_ZQDMC::DeDia(1, 42, Dia(5, 3, 2024));
  EXPECT_TRUE(dia.IsValid());
  EXPECT_EQ(dia.GetDmaPeriodo(), Dia(5, 3, 2024));
  EXPECT_EQ(dia.GetMaPeriodo(), REG_ZQMA::DeMesAno(3, 2024));
  EXPECT_EQ(dia.GetAnoPeriodo(), 2024);

  const REG_ZQDMC mes = REG_ZQDMC::DeMes(1, 42, REG_ZQMA::DeMesAno(12, 1848));
  EXPECT_TRUE(mes.GetDmaPeriodo().IsEmpty());
  EXPECT_EQ(mes.GetMaPeriodo(), REG_ZQMA::DeMesAno(12, 1848));
  EXPECT_EQ(mes.GetAnoPeriodo(), 1848);

  const REG_ZQDMC ano = REG_ZQDMC::DeAno(1, 42, 4717);
  EXPECT_TRUE(ano.GetMaPeriodo().IsEmpty());
  EXPECT_EQ(ano.GetAnoPeriodo(), 4717);

  const REG_ZQDMC livre = REG_ZQDMC::Monta(0, 1, 42, 2024);
  EXPECT_EQ(livre.GetAnoPeriodo(), 0);
  EXPECT_TRUE(livre.GetMaPeriodo().IsEmpty());

  EXPECT_EQ(REG_ZQDMC::Monta(2, 1, 42, 34441).GetAnoPeriodo(), 0);
  EXPECT_TRUE(REG_ZQDMC::Monta(3, 1, 42, 1).GetMaPeriodo().IsEmpty());
}

// ---------------------------------------------------------------------------------------------
// tagCY and CZQCurrencyEx

TEST(CurrencyTest, FormataValor) {
  struct Caso {
    std::int64_t valor;
    int casas;
    const char* esperado;
  };
  const Caso casos[] = {
      {12345000, 2, "1.234,50"},
      {12349000, 0, "1.234"},
      {0, 2, "0,00"},
      {0, 0, "0"},
      {5000, 2, "0,50"},
      {-12345000, 2, "-1.234,50"},
      {-5000, 0, "0"},  // cut to zero: no sign
      {-99, 2, "0,00"},
      {-100, 2, "-0,01"},
      {2500, 1, "0,2"},  // cut, not rounded
      {19999, 3, "1,999"},
      {-19999, 3, "-1,999"},
      {12345678, 4, "1.234,5678"},
      {12345678, 6, "1.234,567800"},
      {9990000, 2, "999,00"},
      {10000000, 2, "1.000,00"},
      {9999990000, 0, "999.999"},
      {10000000000, 0, "1.000.000"},
      {-10000000000, 0, "-1.000.000"},
      {1, 10, "0,0001000000"},
      {kMax64, 4, "922.337.203.685.477,5807"},
      {kMin64, 4, "-922.337.203.685.477,5808"},
      {kMin64, 0, "-922.337.203.685.477"},
      {kMin64, 3, "-922.337.203.685.477,580"},
      {12345000, -1, "Erro"},
      {12345000, 11, "Erro"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << c.valor << " with " << c.casas);
    EXPECT_EQ(CZQCurrencyEx::FormataValor(tagCY{c.valor}, c.casas), c.esperado);
  }
}

TEST(CurrencyTest, DeTexto) {
  struct Caso {
    const char* texto;
    const char* esperado;  // units of 0.0001, or "nullopt"
  };
  const Caso casos[] = {
      {"12.5", "125000"},      {"12,5", "125000"},       {"-0,0001", "-1"},
      {"0", "0"},              {"-0", "0"},              {"+7", "70000"},
      {"007.50", "75000"},     {"1.00005", "10001"},     {"1.00004999", "10000"},
      {"-1.00005", "-10001"},  {"0.99995", "10000"},     {"0.000049", "0"},
      {"-0.00004", "0"},       {"1.000000000000000000000000009", "10000"},
      {"922337203685477.5807", "9223372036854775807"},
      {"-922337203685477.5808", "-9223372036854775808"},
      {"922337203685477.58074", "9223372036854775807"},
      {"922337203685477.5808", "nullopt"},
      {"-922337203685477.5809", "nullopt"},
      {"922337203685477.58075", "nullopt"},  // rounds past the top
      {"922337203685478", "nullopt"},
      {"99999999999999999999999", "nullopt"},
      {"10000000000000000000000000000000000000000", "nullopt"},
      {"", "nullopt"},         {"-", "nullopt"},         {"+", "nullopt"},
      {".5", "nullopt"},       {"5.", "nullopt"},        {"1.2.3", "nullopt"},
      {"1,2.3", "nullopt"},    {"1 ", "nullopt"},        {" 1", "nullopt"},
      {"1e3", "nullopt"},      {"abc", "nullopt"},       {"1.234,56", "nullopt"},
      {"--1", "nullopt"},      {"0x10", "nullopt"},      {"1_000", "nullopt"},
      {"-.5", "nullopt"},      {"1.5x", "nullopt"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    EXPECT_EQ(Texto(CZQCurrencyEx::DeTexto(c.texto)), c.esperado);
  }
}

TEST(CurrencyTest, DeDoubleRoundsHalfAwayFromZero) {
  struct Caso {
    double valor;
    const char* esperado;
  };
  const Caso casos[] = {
      {0.5, "5000"},           {1.00005, "10001"},      {-1.00005, "-10001"},
      {2.675, "26750"},        {0.00005, "1"},          {-0.00005, "-1"},
      {0.000049, "0"},         {1e-300, "0"},           {-0.0, "0"},
      {123456.78905, "1234567891"},                     {922337203685477.0, "9223372036854770000"},
      {1e15, "nullopt"},       {-1e15, "nullopt"},      {1e300, "nullopt"},
      {std::nan(""), "nullopt"}, {HUGE_VAL, "nullopt"}, {-HUGE_VAL, "nullopt"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.valor);
    EXPECT_EQ(Texto(CZQCurrencyEx::DeDouble(c.valor)), c.esperado);
  }
}

TEST(CurrencyTest, WholeNumbers) {
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(922337203685477)), "9223372036854770000");
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(-922337203685477)), "-9223372036854770000");
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(922337203685478)), "nullopt");
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(-922337203685478)), "nullopt");
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(kMin64)), "nullopt");
  // Truncation toward zero.
  EXPECT_EQ(CZQCurrencyEx::ParaInteiro(tagCY{19999}), 1);
  EXPECT_EQ(CZQCurrencyEx::ParaInteiro(tagCY{-19999}), -1);
  EXPECT_EQ(CZQCurrencyEx::ParaInteiro(tagCY{kMin64}), -922337203685477);
  EXPECT_DOUBLE_EQ(CZQCurrencyEx::ParaDouble(tagCY{-12345}), -1.2345);
}

TEST(CurrencyTest, Arithmetic) {
  const tagCY um{10000}, menorUnidade{1};
  EXPECT_EQ(Texto(CZQCurrencyEx::Soma(tagCY{kMax64 - 1}, menorUnidade)), std::to_string(kMax64));
  EXPECT_EQ(Texto(CZQCurrencyEx::Soma(tagCY{kMax64}, menorUnidade)), "nullopt");
  EXPECT_EQ(Texto(CZQCurrencyEx::Subtrai(tagCY{kMin64}, menorUnidade)), "nullopt");
  EXPECT_EQ(Texto(CZQCurrencyEx::Subtrai(tagCY{0}, tagCY{kMin64})), "nullopt");

  struct Caso {
    std::int64_t a, b;
    const char* produto;
    const char* quociente;
  };
  const Caso casos[] = {
      {15000, 15000, "22500", "10000"},
      {10000, 30000, "30000", "3333"},
      {20000, 30000, "60000", "6667"},
      {-20000, 30000, "-60000", "-6667"},
      {20000, -30000, "-60000", "-6667"},
      {1, 5000, "1", "2"},      // 0.00005 rounds away from zero
      {-1, 5000, "-1", "-2"},
      {1, 4999, "0", "2"},
      {5, 0, "0", "nullopt"},
      {kMin64, -10000, "nullopt", "nullopt"},
      {kMax64, 20000, "nullopt", "4611686018427387904"},
      {kMax64, 10000, "9223372036854775807", "9223372036854775807"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << c.a << " and " << c.b);
    EXPECT_EQ(Texto(CZQCurrencyEx::Multiplica(tagCY{c.a}, tagCY{c.b})), c.produto);
    EXPECT_EQ(Texto(CZQCurrencyEx::Divide(tagCY{c.a}, tagCY{c.b})), c.quociente);
  }
  EXPECT_LT(CZQCurrencyEx::Compara(tagCY{kMin64}, um), 0);
  EXPECT_GT(CZQCurrencyEx::Compara(um, menorUnidade), 0);
  EXPECT_EQ(CZQCurrencyEx::Compara(um, tagCY{10000}), 0);
}

TEST(CurrencyTest, DecimalTextForms) {
  struct Caso {
    std::int64_t valor;
    const char* completo;
    const char* minimo;
  };
  const Caso casos[] = {
      {0, "0.0000", "0"},
      {12345600, "1234.5600", "1234.56"},
      {30000, "3.0000", "3"},
      {-1, "-0.0001", "-0.0001"},
      {-5000, "-0.5000", "-0.5"},
      {kMax64, "922337203685477.5807", "922337203685477.5807"},
      {kMin64, "-922337203685477.5808", "-922337203685477.5808"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.valor);
    EXPECT_EQ(CZQCurrencyEx::ParaTextoDecimal(tagCY{c.valor}), c.completo);
    EXPECT_EQ(CZQCurrencyEx::ParaTextoDecimal(tagCY{c.valor}, true), c.minimo);
  }
  // Both forms read back to the same value across the range.
  std::uint64_t x = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20000; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    const tagCY v{static_cast<std::int64_t>(i % 2 ? x : x >> (i % 64))};
    SCOPED_TRACE(v.int64);
    ASSERT_EQ(CZQCurrencyEx::DeTexto(CZQCurrencyEx::ParaTextoDecimal(v)), v);
    ASSERT_EQ(CZQCurrencyEx::DeTexto(CZQCurrencyEx::ParaTextoDecimal(v, true)), v);
  }
}

// ---------------------------------------------------------------------------------------------
// CZQRelogio

REG_ZQDMAHMSUTC Momento(int h, int m, int s) {
  return REG_ZQDMAHMSUTC::DeDataHora(Dia(5, 3, 2024), h, m, s, -10800);
}

TEST(ZQRelogioTest, GuardInstallsAndRestores) {
  const std::shared_ptr<IZQRelogio> antes = CZQRelogio::Atual();
  {
    CZQRelogioGuarda guarda(Momento(10, 5, 30));
    EXPECT_EQ(CZQRelogio::Agora(), Momento(10, 5, 30));
    EXPECT_EQ(CZQRelogio::Hoje(), Dia(5, 3, 2024));
    {
      CZQRelogioGuarda interna(Momento(23, 0, 0));
      EXPECT_EQ(CZQRelogio::Agora(), Momento(23, 0, 0));
    }
    EXPECT_EQ(CZQRelogio::Agora(), Momento(10, 5, 30));
  }
  EXPECT_EQ(CZQRelogio::Atual(), antes);
}

TEST(ZQRelogioTest, DefineNullReinstallsSystemClock) {
  const auto fixo = std::make_shared<CZQRelogioFixo>(Momento(10, 5, 30));
  CZQRelogioGuarda guarda(fixo);
  EXPECT_EQ(CZQRelogio::Define(nullptr), fixo);
  EXPECT_NE(dynamic_cast<CZQRelogioSistema*>(CZQRelogio::Atual().get()), nullptr);
  CZQRelogio::Define(fixo);
}

TEST(ZQRelogioTest, FixedClockMoves) {
  CZQRelogioFixo relogio(Momento(23, 59, 30));
  relogio.Avanca(45);
  EXPECT_EQ(relogio.Agora().ParaIso(), "2024-03-06T00:00:15");
  EXPECT_EQ(relogio.Agora().GetDeslocamentoUtc(), -10800);
  relogio.Define(Momento(8, 0, 0));
  EXPECT_EQ(relogio.Agora(), Momento(8, 0, 0));
}

// The system clock's local reading, less its offset, is the UTC time now.
TEST(ZQRelogioTest, SystemClockReadsLocalTimeWithItsOffset) {
  const char* tzAntes = std::getenv("TZ");
  const std::string tzGuardado = tzAntes ? tzAntes : "";
  const std::int64_t epoca = static_cast<std::int64_t>(Dia(1, 1, 1970).ulDma) * 86400;
  struct Caso {
    const char* tz;
    std::int32_t deslocamento;
  };
  for (const Caso& c : {Caso{"<-03>3", -10800}, Caso{"<+0530>-5:30", 19800}, Caso{"UTC0", 0}}) {
    SCOPED_TRACE(c.tz);
    setenv("TZ", c.tz, 1);
    tzset();
    const std::int64_t antes = std::time(nullptr);
    const REG_ZQDMAHMSUTC agora = CZQRelogioSistema().Agora();
    const std::int64_t depois = std::time(nullptr);
    ASSERT_TRUE(agora.IsPreenchida());
    EXPECT_EQ(agora.GetDeslocamentoUtc(), c.deslocamento);
    const std::int64_t utc = agora.GetSegundos() - agora.GetDeslocamentoUtc() - epoca;
    EXPECT_GE(utc, antes);
    EXPECT_LE(utc, depois);
  }
  if (tzAntes)
    setenv("TZ", tzGuardado.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

// Readers never see a source freed under them while another thread swaps sources.
TEST(ZQRelogioTest, ConcurrentReadsWhileSwapping) {
  const std::shared_ptr<IZQRelogio> antes =
      CZQRelogio::Define(std::make_shared<CZQRelogioFixo>(Momento(1, 0, 0)));
  std::atomic<bool> parar{false};
  std::atomic<long> estranhos{0};
  std::vector<std::thread> leitores;
  for (int t = 0; t < 4; ++t)
    leitores.emplace_back([&] {
      while (!parar.load()) {
        const REG_ZQDMAHMSUTC v = CZQRelogio::Agora();
        if (v != Momento(1, 0, 0) && v != Momento(2, 0, 0)) ++estranhos;
      }
    });
  for (int i = 0; i < 2000; ++i)
    CZQRelogio::Define(std::make_shared<CZQRelogioFixo>(Momento(i % 2 ? 1 : 2, 0, 0)));
  parar = true;
  for (std::thread& t : leitores) t.join();
  CZQRelogio::Define(antes);
  EXPECT_EQ(estranhos.load(), 0);
}

}  // namespace
