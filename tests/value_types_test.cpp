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
#include <tuple>
#include <vector>

#include "platform/types/ZQCurrency.h"
#include "platform/types/ZQCurrencyEx.h"
#include "platform/types/ZQDma.h"
#include "platform/types/ZQDmaHmsUtc.h"
#include "platform/types/ZQDmc.h"
#include "platform/types/ZQMa.h"
#include "platform/system/ZQRelogio.h"

namespace {

using namespace std::chrono;
using std::int64_t;
using std::tuple;

constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();

// "2024-02-29", "no date", or "bad(n)" for a day number outside the valid range.
std::string Texto(REG_ZQDMA d) {
  if (d.IsEmpty()) return "no date";
  return d.IsValid() ? d.ParaIso() : std::string("bad(").append(std::to_string(d.ulDma)) + ")";
}

std::string Texto(REG_ZQMA m) {
  if (!m.IsValid()) return std::string("no month(").append(std::to_string(m.usMa)) + ")";
  return std::to_string(m.GetAno()).append(m.GetMes() < 10 ? "-0" : "-") +
         std::to_string(m.GetMes());
}

std::string Texto(const std::optional<tagCY>& v) {
  return v ? std::to_string(v->int64) : "nullopt";
}

REG_ZQDMA Dia(int d, int m, int a) { return REG_ZQDMA::DeDiaMesAno(d, m, a); }
REG_ZQMA Mes(int m, int a) { return REG_ZQMA::DeMesAno(m, a); }

std::string Iso(const year_month_day& ymd) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return buf;
}

// ---- REG_ZQDMA -------------------------------------------------------------------------------

// Every valid day number against the standard library's civil calendar, both ways, and as
// the first or last day of its month.
TEST(ValueTypesDateTest, EveryDayNumberMatchesCivilCalendar) {
  EXPECT_EQ(Dia(1, 1, 1848).ulDma, 2u);
  EXPECT_EQ(Dia(31, 12, 4717).ulDma, 1048247u);
  const sys_days dia2 = sys_days{year{1848} / January / 1};
  long falhas = 0;
  std::string primeira;
  for (std::uint32_t d = REG_ZQDMA::kPrimeiro; d <= REG_ZQDMA::kUltimo; ++d) {
    const sys_days civil = dia2 + days{d - REG_ZQDMA::kPrimeiro};
    const year_month_day esperado{civil};
    const int ano = static_cast<int>(esperado.year());
    const int mes = static_cast<int>(static_cast<unsigned>(esperado.month()));
    const int dia = static_cast<int>(static_cast<unsigned>(esperado.day()));
    const REG_ZQDMA dma{d};
    int a = 0, m = 0, di = 0;
    dma.GetDiaMesAno(&di, &m, &a);
    auto mal = [&](bool ruim, const char* o_que) {
      if (ruim && falhas++ == 0) primeira = std::to_string(d).append(" ") + Iso(esperado) + o_que;
    };
    mal(a != ano || m != mes || di != dia || dma.GetAno() != ano || dma.GetMes() != mes ||
            dma.GetDia() != dia, ": parts");
    mal(REG_ZQDMA::DeDiaMesAno(dia, mes, ano) != dma, ": built from parts");
    mal(dma.ParaYmd() != esperado || REG_ZQDMA::DeYmd(esperado) != dma, ": year_month_day");
    mal(dma.GetDiaSemana() != static_cast<int>(weekday{civil}.c_encoding()), ": weekday");
    const REG_ZQMA ma = Mes(mes, ano);
    const bool ultimo = year_month_day{civil + days{1}}.day() == day{1};
    mal(dma.GetMa() != ma, ": month number");
    mal((dia == 1) != (ma.GetPrimeiroDia() == dma) || ultimo != (ma.GetUltimoDia() == dma),
        ": first or last of its month");
    mal(d < REG_ZQDMA::kUltimo && dma.SomaDias(1).ParaYmd() != year_month_day{civil + days{1}},
        ": day after");
  }
  EXPECT_EQ(falhas, 0) << "first: day " << primeira;
}

TEST(ValueTypesDateTest, InvalidDayNumbersAnswerZeroParts) {
  for (std::uint32_t d : {0u, 1u, 1048248u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(d);
    const REG_ZQDMA dma{d};
    EXPECT_FALSE(dma.IsValid());
    EXPECT_EQ(dma.IsEmpty(), d == 0);
    int a = -1, m = -1, di = -1;
    dma.GetDiaMesAno(&di, &m, &a);
    EXPECT_TRUE(a == 0 && m == 0 && di == 0 && dma.GetDiaSemana() == -1);
    EXPECT_TRUE(!dma.GetMa().IsValid() && !dma.ParaYmd().ok() && dma.ParaIso().empty());
    EXPECT_TRUE(dma.SomaDias(0).IsEmpty() && dma.SomaMeses(0).IsEmpty() &&
                dma.SomaAnos(0).IsEmpty());
  }
}

// The two-digit-year rule is shared by dates and month numbers.
TEST(ValueTypesDateTest, TwoDigitYears) {
  const std::pair<int, int> casos[] = {  // year given, year taken (0: refused)
      {0, 2000}, {1, 2001},   {24, 2024},     {83, 2083},   {84, 1984},   {99, 1999},
      {100, 0},  {999, 0},    {1847, 0},      {1848, 1848}, {2024, 2024}, {4717, 4717},
      {4718, 0}, {-1, 0},     {-84, 0},       {INT_MIN, 0}, {INT_MAX, 0},
  };
  for (const auto& [ano, esperado] : casos) {
    SCOPED_TRACE(ano);
    EXPECT_EQ(Dia(15, 6, ano).GetAno(), esperado);
    EXPECT_EQ(Mes(6, ano).GetAno(), esperado);
  }
}

TEST(ValueTypesDateTest, BuildingLowersDayAndRefusesBadParts) {
  const tuple<int, int, int, const char*> casos[] = {
      {31, 2, 2023, "2023-02-28"}, {29, 2, 2024, "2024-02-29"}, {30, 2, 2024, "2024-02-29"},
      {30, 2, 2000, "2000-02-29"}, {29, 2, 1900, "1900-02-28"}, {29, 2, 2100, "2100-02-28"},
      {31, 4, 2024, "2024-04-30"}, {99, 1, 2024, "2024-01-31"}, {INT_MAX, 12, 4717, "4717-12-31"},
      {31, 2, 23, "2023-02-28"},   {1, 1, 1848, "1848-01-01"},  {31, 12, 4717, "4717-12-31"},
      {0, 1, 2024, "no date"},     {-1, 1, 2024, "no date"},    {1, 0, 2024, "no date"},
      {1, 13, 2024, "no date"},    {1, -1, 2024, "no date"},    {31, 12, 1847, "no date"},
      {1, 1, 4718, "no date"},
  };
  for (const auto& [dia, mes, ano, esperado] : casos) {
    SCOPED_TRACE(testing::Message() << dia << "/" << mes << "/" << ano);
    EXPECT_EQ(Texto(Dia(dia, mes, ano)), esperado);
  }
}

// Days ('d'), months ('m') and years ('a'); a day past the target month's end is lowered to it.
TEST(ValueTypesDateTest, AddDaysMonthsYears) {
  const tuple<REG_ZQDMA, char, int64_t, const char*> casos[] = {
      {Dia(1, 1, 1848), 'd', -1, "no date"},          {Dia(1, 1, 1848), 'd', 0, "1848-01-01"},
      {Dia(2, 1, 1848), 'd', -1, "1848-01-01"},       {Dia(31, 12, 4717), 'd', 1, "no date"},
      {Dia(1, 3, 2000), 'd', -1, "2000-02-29"},       {Dia(1, 1, 1848), 'd', 1048245, "4717-12-31"},
      {Dia(1, 1, 1848), 'd', 1048246, "no date"},    {Dia(31, 12, 4717), 'd', -1048245, "1848-01-01"},
      {Dia(1, 1, 2024), 'd', kMax64, "no date"},      {Dia(1, 1, 2024), 'd', kMin64, "no date"},
      {REG_ZQDMA{}, 'd', 5, "no date"},               {REG_ZQDMA{1}, 'd', 1, "no date"},
      {Dia(31, 1, 2024), 'm', 1, "2024-02-29"},       {Dia(31, 1, 2023), 'm', 1, "2023-02-28"},
      {Dia(31, 3, 2024), 'm', -1, "2024-02-29"},      {Dia(30, 4, 2024), 'm', 1, "2024-05-30"},
      {Dia(31, 10, 2024), 'm', 4, "2025-02-28"},      {Dia(15, 11, 2024), 'm', 2, "2025-01-15"},
      {Dia(15, 1, 2024), 'm', -1, "2023-12-15"},      {Dia(31, 5, 2024), 'm', -15, "2023-02-28"},
      {Dia(31, 1, 1900), 'm', 1, "1900-02-28"},       {Dia(31, 1, 2000), 'm', 1, "2000-02-29"},
      {Dia(15, 12, 4717), 'm', -34439, "1848-01-15"}, {Dia(1, 1, 1848), 'm', 34439, "4717-12-01"},
      {Dia(31, 12, 4717), 'm', 1, "no date"},         {Dia(1, 1, 1848), 'm', -1, "no date"},
      {Dia(1, 12, 4717), 'm', 0, "4717-12-01"},       {Dia(1, 1, 2024), 'm', INT_MAX, "no date"},
      {Dia(1, 1, 2024), 'm', INT_MIN, "no date"},     {REG_ZQDMA{}, 'm', 1, "no date"},
      {Dia(29, 2, 2024), 'a', 1, "2025-02-28"},       {Dia(29, 2, 2024), 'a', 4, "2028-02-29"},
      {Dia(29, 2, 2096), 'a', 4, "2100-02-28"},       {Dia(29, 2, 1896), 'a', 104, "2000-02-29"},
      {Dia(29, 2, 2024), 'a', -1, "2023-02-28"},      {Dia(31, 12, 4716), 'a', 1, "4717-12-31"},
      {Dia(31, 12, 4717), 'a', 1, "no date"},         {Dia(1, 1, 1848), 'a', -1, "no date"},
      {Dia(1, 1, 1849), 'a', -1, "1848-01-01"},       {Dia(1, 1, 1848), 'a', 2869, "4717-01-01"},
      {Dia(1, 1, 2024), 'a', INT_MAX, "no date"},     {Dia(1, 1, 2024), 'a', INT_MIN, "no date"},
  };
  for (const auto& [de, unidade, n, esperado] : casos) {
    SCOPED_TRACE(testing::Message() << Texto(de) << " + " << n << unidade);
    const int n32 = static_cast<int>(n);
    EXPECT_EQ(Texto(unidade == 'd'   ? de.SomaDias(n)
                    : unidade == 'm' ? de.SomaMeses(n32)
                                     : de.SomaAnos(n32)),
              esperado);
  }
  EXPECT_EQ(Dia(31, 12, 4717).DiferencaDias(Dia(1, 1, 1848)), 1048245);
  EXPECT_EQ(Dia(1, 1, 1848).DiferencaDias(Dia(31, 12, 4717)), -1048245);
  EXPECT_EQ(Dia(1, 3, 2024).DiferencaDias(Dia(28, 2, 2024)), 2);
  EXPECT_EQ(Dia(1, 3, 2023).DiferencaDias(Dia(28, 2, 2023)), 1);
}

TEST(ValueTypesDateTest, OutsideRangeOrMalformedGivesNoDate) {
  for (const year_month_day& ymd : {year{1847} / December / 31, year{4718} / January / 1,
                                    year{2023} / February / 29, year{2024} / 13 / 1,
                                    year{24} / January / 1, year{2024} / January / 0}) {
    SCOPED_TRACE(Iso(ymd));
    EXPECT_TRUE(REG_ZQDMA::DeYmd(ymd).IsEmpty());
  }
  const char* recusado = "refused";
  const std::pair<const char*, const char*> casos[] = {
      {"1848-01-01", "1848-01-01"}, {"4717-12-31", "4717-12-31"}, {"2024-02-29", "2024-02-29"},
      {"", "no date"},              {"1847-12-31", recusado},     {"4718-01-01", recusado},
      {"2023-02-29", recusado},     {"2024-04-31", recusado},     {"2024-13-01", recusado},
      {"2024-00-10", recusado},     {"2024-01-00", recusado},     {"2024-1-01", recusado},
      {"2024/01/01", recusado},     {" 2024-01-01", recusado},    {"2024-01-01 ", recusado},
      {"2024-01-0a", recusado},     {"+024-01-01", recusado},     {"20240101", recusado},
      {"0024-01-01", recusado},     {"24-01-01", recusado},   {"2024-01-01T00:00:00", recusado},
  };
  for (const auto& [texto, esperado] : casos) {
    SCOPED_TRACE(texto);
    const std::optional<REG_ZQDMA> d = REG_ZQDMA::DeIso(texto);
    EXPECT_EQ(d ? Texto(*d) : recusado, esperado);
  }
}

// ---- REG_ZQMA --------------------------------------------------------------------------------

TEST(ValueTypesMonthTest, EndsPartsAndAddMonths) {
  EXPECT_EQ(Mes(1, 1848).usMa, 1);
  EXPECT_EQ(Mes(12, 4717).usMa, 34440);
  EXPECT_EQ(Mes(3, 2024).usMa, (2024 - 1848) * 12 + 3);
  EXPECT_LT(Mes(12, 2023), Mes(1, 2024));
  for (int mes : {0, 13, -1}) EXPECT_TRUE(Mes(mes, 2024).IsEmpty()) << mes;
  for (std::uint16_t ma : {std::uint16_t{0}, std::uint16_t{34441}, std::uint16_t{65535}}) {
    SCOPED_TRACE(ma);
    const REG_ZQMA m{ma};
    EXPECT_TRUE(!m.IsValid() && m.GetMes() == 0 && m.GetAno() == 0);
    EXPECT_TRUE(m.GetPrimeiroDia().IsEmpty() && m.GetUltimoDia().IsEmpty() &&
                m.SomaMeses(0).IsEmpty());
  }
  const tuple<REG_ZQMA, int, const char*> casos[] = {
      {Mes(12, 2023), 1, "2024-01"},          {Mes(1, 2024), -1, "2023-12"},
      {Mes(1, 1848), -1, "no month(0)"},      {Mes(12, 4717), 1, "no month(0)"},
      {Mes(1, 1848), 34439, "4717-12"},       {Mes(6, 2024), INT_MAX, "no month(0)"},
      {Mes(6, 2024), INT_MIN, "no month(0)"},
  };
  for (const auto& [de, meses, esperado] : casos) {
    SCOPED_TRACE(testing::Message() << Texto(de) << " + " << meses);
    EXPECT_EQ(Texto(de.SomaMeses(meses)), esperado);
  }
}

// ---- REG_ZQDMAHMSUTC -------------------------------------------------------------------------

REG_ZQDMAHMSUTC Segundos(int64_t s, std::int32_t deslocamento = 0) {
  REG_ZQDMAHMSUTC r;
  r.SetSegundos(s);
  r.SetDeslocamentoUtc(deslocamento);
  return r;
}

TEST(ValueTypesDateTimeTest, FilledInBoundaries) {
  const int64_t bit37 = int64_t{1} << 37;
  const std::pair<int64_t, bool> casos[] = {  // seconds, filled in
      {0, false},          {172799, false},      {172800, true},    {90568627199, true},
      {90568627200, false}, {-172800, false},    {-90568627199, false},
      {bit37 - 1, false},  {-bit37, false},
  };
  for (const auto& [segundos, preenchida] : casos) {
    SCOPED_TRACE(segundos);
    const REG_ZQDMAHMSUTC v = Segundos(segundos, -10800);
    EXPECT_EQ(v.GetSegundos(), segundos);
    EXPECT_EQ(v.IsPreenchida(), preenchida);
    EXPECT_EQ(v.ParaIso().empty(), !preenchida);
  }
  EXPECT_EQ(REG_ZQDMAHMSUTC::DeDataHora(Dia(1, 1, 1848), 0, 0, 0).GetSegundos(), 172800);
  EXPECT_EQ(REG_ZQDMAHMSUTC::DeDataHora(Dia(31, 12, 4717), 23, 59, 59).GetSegundos(),
            90568627199);
  // A negative seconds field reads by its absolute value.
  EXPECT_EQ(Segundos(-(5 * 86400 + 3661)).GetData().ulDma, 5u);
  EXPECT_EQ(Segundos(-(5 * 86400 + 3661)).GetSegundoDoDia(), 3661);
}

// Seconds (bits 0-37) and offset (bits 38-55) are signed and set apart; bits 56-63 are no field's.
TEST(ValueTypesDateTimeTest, FieldsAreSignedAndIndependent) {
  REG_ZQDMAHMSUTC v{0xAB00000000000000ull};
  v.SetSegundos(-1);
  EXPECT_EQ(v.ullValor, 0xAB00003FFFFFFFFFull);
  for (std::int32_t d : {REG_ZQDMAHMSUTC::kDeslocamentoMinimo, REG_ZQDMAHMSUTC::kDeslocamentoMaximo, -1, 1}) {
    v.SetDeslocamentoUtc(d);
    EXPECT_EQ(std::pair(v.GetSegundos(), v.GetDeslocamentoUtc()), std::pair(int64_t{-1}, d));
    EXPECT_EQ(v.ullValor >> 56, 0xABu);
  }
  EXPECT_EQ(REG_ZQDMAHMSUTC::DeDataHora(Dia(1, 1, 1848), 0, 0, 0, 1).ullValor, 172800u | (std::uint64_t{1} << 38));
}

TEST(ValueTypesDateTimeTest, BuildAndReadParts) {
  const REG_ZQDMA d = Dia(5, 3, 2024);
  const REG_ZQDMAHMSUTC v = REG_ZQDMAHMSUTC::DeDataHora(d, 10, 5, 30, -10800);
  EXPECT_EQ(v.GetData(), d);
  EXPECT_EQ(std::vector<int>({v.GetHora(), v.GetMinuto(), v.GetSegundo(), v.GetSegundoDoDia(),
                              v.GetDeslocamentoUtc()}),
            std::vector<int>({10, 5, 30, 36330, -10800}));
  EXPECT_EQ(v.ParaIso(), "2024-03-05T10:05:30");
  const tuple<REG_ZQDMA, int, int, int, std::int32_t> recusados[] = {
      {d, 24, 0, 0, 0},   {d, 0, 60, 0, 0},   {d, 0, 0, 60, 0},  {d, -1, 0, 0, 0},
      {d, 0, -1, 0, 0},   {d, 0, 0, -1, 0},   {d, 0, 0, 0, 131072}, {d, 0, 0, 0, -131073},
      {REG_ZQDMA{}, 0, 0, 0, 0},              {REG_ZQDMA{1048248}, 0, 0, 0, 0},
  };
  for (const auto& [data, h, m, s, deslocamento] : recusados) {
    SCOPED_TRACE(testing::Message() << data.ulDma << " " << h << ":" << m << ":" << s << " "
                                    << deslocamento);
    EXPECT_EQ(REG_ZQDMAHMSUTC::DeDataHora(data, h, m, s, deslocamento).ullValor, 0u);
  }
}

TEST(ValueTypesDateTimeTest, CompareAndAddSeconds) {
  const REG_ZQDMAHMSUTC negativo = Segundos(-1), cedo = Segundos(172800, 3600),
                        cedoOutroFuso = Segundos(172800, -10800), tarde = Segundos(172801);
  EXPECT_LT(negativo.Compara(cedo), 0);  // unsigned low bits would put -1 last
  EXPECT_GT(tarde.Compara(cedo), 0);
  EXPECT_EQ(cedo.Compara(cedoOutroFuso), 0);
  EXPECT_TRUE(cedo.IgualSegundos(cedoOutroFuso) && !cedo.IgualSegundos(tarde));
  EXPECT_FALSE(cedo == cedoOutroFuso);
  EXPECT_EQ(negativo.DiferencaSegundos(tarde), -172802);
  const REG_ZQDMAHMSUTC fim = REG_ZQDMAHMSUTC::DeDataHora(Dia(31, 12, 2023), 23, 59, 59, -10800);
  EXPECT_EQ(fim.SomaSegundos(1).ParaIso(), "2024-01-01T00:00:00");
  EXPECT_EQ(fim.SomaSegundos(1).GetDeslocamentoUtc(), -10800);
  const std::pair<REG_ZQDMAHMSUTC, int64_t> foraDaFaixa[] = {
      {Segundos(REG_ZQDMAHMSUTC::kSegundosUltimo), 1},
      {Segundos(REG_ZQDMAHMSUTC::kSegundosPrimeiro), -1},
      {Segundos(0), 172800}, {fim, kMax64}, {fim, kMin64}};
  for (const auto& [de, n] : foraDaFaixa) {
    SCOPED_TRACE(testing::Message() << de.GetSegundos() << " + " << n);
    EXPECT_EQ(de.SomaSegundos(n).ullValor, 0u);
  }
}

TEST(ValueTypesDateTimeTest, IsoText) {
  const std::pair<const char*, int64_t> casos[] = {  // text, seconds (-1: refused)
      {"1848-01-01T00:00:00", 172800}, {"4717-12-31T23:59:59", 90568627199}, {"", 0},
      {"2024-03-05 10:05:30", -1},     {"2024-03-05T24:00:00", -1},  {"2024-03-05T10:60:00", -1},
      {"2024-03-05T10:05:60", -1},     {"2024-02-30T00:00:00", -1},  {"2024-03-05T10:05", -1},
      {"2024-03-05T10:05:30Z", -1},    {"2024-03-05T1:05:30", -1},   {"2024-03-05T10-05-30", -1},
      {"1847-12-31T23:59:59", -1},
  };
  for (const auto& [texto, segundos] : casos) {
    SCOPED_TRACE(texto);
    const auto v = REG_ZQDMAHMSUTC::DeIso(texto, -10800);
    ASSERT_EQ(v.has_value(), segundos >= 0);
    if (!v) continue;
    EXPECT_EQ(v->GetSegundos(), segundos);
    if (segundos == 0) continue;
    EXPECT_EQ(v->GetDeslocamentoUtc(), -10800);
    EXPECT_EQ(v->ParaIso(), texto);
  }
}

// ---- REG_ZQDMC -------------------------------------------------------------------------------

std::vector<std::uint64_t> Partes(const REG_ZQDMC& k) {
  return {static_cast<std::uint64_t>(k.GetTipo()), k.GetCampo12(), k.GetCampo32(), k.GetPeriodo()};
}

TEST(ValueTypesKeyTest, FieldLayout) {
  using V = std::vector<std::uint64_t>;
  const std::uint64_t kMax = REG_ZQDMC::kPeriodoMaximo;
  EXPECT_EQ(REG_ZQDMC::Monta(3, 1, 1, 1).ullDmc,
            (std::uint64_t{1} << 46) | (std::uint64_t{1} << 14) | (std::uint64_t{1} << 2) | 3u);
  const REG_ZQDMC cheia = REG_ZQDMC::Monta(2, 0xFFF, 0xFFFFFFFF, REG_ZQDMC::kPeriodoMaximo);
  EXPECT_EQ(cheia.ullDmc, ~std::uint64_t{1});
  EXPECT_EQ(Partes(cheia), (V{2, 0xFFF, 0xFFFFFFFF, kMax}));
  // A setter leaves the other fields alone and drops bits that do not fit.
  REG_ZQDMC k = cheia;
  k.SetCampo12(0x1005);
  EXPECT_EQ(Partes(k), (V{2, 5, 0xFFFFFFFF, kMax}));
  k.SetCampo32(0);
  EXPECT_EQ(Partes(k), (V{2, 5, 0, kMax}));
  k.SetPeriodo(0);
  k.SetTipo(1);
  EXPECT_EQ(k.ullDmc, (std::uint64_t{5} << 2) | 1u);
  // Parts that do not fit give an empty key.
  const std::pair<const char*, REG_ZQDMC> naoCabem[] = {
      {"kind 4", REG_ZQDMC::Monta(4, 0, 1, 0)}, {"kind -1", REG_ZQDMC::Monta(-1, 0, 1, 0)},
      {"field12", REG_ZQDMC::Monta(0, 0x1000, 1, 0)},
      {"period", REG_ZQDMC::Monta(0, 0, 1, kMax + 1)},
      {"date", REG_ZQDMC::DeDia(1, 1, REG_ZQDMA{262144})}, {"year", REG_ZQDMC::DeAno(1, 1, -1)}};
  for (const auto& [nome, k] : naoCabem) {
    SCOPED_TRACE(nome);
    EXPECT_EQ(k.ullDmc, 0u);
  }
}

TEST(ValueTypesKeyTest, EmptyAndValidPerKind) {
  const tuple<int, std::uint32_t, std::uint32_t, std::uint32_t, bool, bool> casos[] = {
      // kind, field12, field32, period, empty, valid
      {0, 0, 0, 0, true, false},      {3, 0, 0, 0, true, false},    {0, 0, 1, 0, false, true},
      {0, 157, 1, 0, false, true},    {0, 158, 1, 0, false, false}, {0, 0xFFF, 1, 0, false, false},
      {0, 1, 0, 5, false, false},     {0, 5, 0, 0, false, false},
      {0, 1, 0xFFFFFFFF, 262143, false, true},
      {1, 1, 1, 1847, false, false},  {1, 1, 1, 1848, false, true}, {1, 1, 1, 4717, false, true},
      {1, 1, 1, 4718, false, false},  {1, 1, 1, 0, false, false},   {2, 1, 1, 0, false, false},
      {2, 1, 1, 1, false, true},      {2, 1, 1, 34440, false, true}, {2, 1, 1, 34441, false, false},
      {3, 1, 1, 1, false, false},     {3, 1, 1, 2, false, true},    {3, 1, 1, 262143, false, true},
      {3, 1, 1, 0, false, false},
  };
  for (const auto& [tipo, campo12, campo32, periodo, vazia, valida] : casos) {
    SCOPED_TRACE(testing::Message() << "kind " << tipo << " " << campo12 << " " << campo32 << " "
                                    << periodo);
    const REG_ZQDMC k = REG_ZQDMC::Monta(tipo, campo12, campo32, periodo);
    EXPECT_EQ(k.IsEmpty(), vazia);
    EXPECT_EQ(k.IsValid(), valida);
  }
}

TEST(ValueTypesKeyTest, PeriodReadThroughKind) {
  const tuple<const char*, REG_ZQDMC, const char*, const char*, int> casos[] = {
      // the date, month and year periods
      {"dia", REG_ZQDMC::DeDia(1, 42, Dia(5, 3, 2024)), "2024-03-05", "2024-03", 2024},
      {"mês", REG_ZQDMC::DeMes(1, 42, Mes(12, 1848)), "no date", "1848-12", 1848},
      {"ano", REG_ZQDMC::DeAno(1, 42, 4717), "no date", "no month(0)", 4717},
      {"livre", REG_ZQDMC::Monta(0, 1, 42, 2024), "no date", "no month(0)", 0},
      {"mês fora", REG_ZQDMC::Monta(2, 1, 42, 34441), "no date", "no month(0)", 0},
      {"dia fora", REG_ZQDMC::Monta(3, 1, 42, 1), "no date", "no month(0)", 0},
  };
  for (const auto& [nome, k, dma, ma, ano] : casos) {
    SCOPED_TRACE(nome);
    EXPECT_EQ(Texto(k.GetDmaPeriodo()), dma);
    EXPECT_EQ(Texto(k.GetMaPeriodo()), ma);
    EXPECT_EQ(k.GetAnoPeriodo(), ano);
  }
}

// ---- tagCY and CZQCurrencyEx -----------------------------------------------------------------

TEST(ValueTypesCurrencyTest, FormataValor) {
  const tuple<int64_t, int, const char*> casos[] = {
      {12345000, 2, "1.234,50"},  {12349000, 0, "1.234"},      {0, 2, "0,00"},    {0, 0, "0"},
      {5000, 2, "0,50"},          {-12345000, 2, "-1.234,50"}, {-100, 2, "-0,01"},
      {-5000, 0, "0"},            {-99, 2, "0,00"},  // cut to zero: no sign
      {2500, 1, "0,2"},           {19999, 3, "1,999"},  {-19999, 3, "-1,999"},  // cut, not rounded
      {12345678, 4, "1.234,5678"},       {12345678, 6, "1.234,567800"},  {9990000, 2, "999,00"},
      {10000000, 2, "1.000,00"},         {9999990000, 0, "999.999"},
      {10000000000, 0, "1.000.000"},     {-10000000000, 0, "-1.000.000"},
      {1, 10, "0,0001000000"},           {kMax64, 4, "922.337.203.685.477,5807"},
      {kMin64, 4, "-922.337.203.685.477,5808"}, {kMin64, 0, "-922.337.203.685.477"},
      {kMin64, 3, "-922.337.203.685.477,580"},  {12345000, -1, "Erro"},  {12345000, 11, "Erro"},
  };
  for (const auto& [valor, casas, esperado] : casos) {
    SCOPED_TRACE(testing::Message() << valor << " with " << casas);
    EXPECT_EQ(CZQCurrencyEx::FormataValor(tagCY{valor}, casas), esperado);
  }
}

TEST(ValueTypesCurrencyTest, DeTexto) {
  const char* nulo = "nullopt";
  const std::pair<const char*, const char*> casos[] = {  // text, units of 0.0001
      {"12.5", "125000"},    {"12,5", "125000"},      {"-0,0001", "-1"},    {"0", "0"},
      {"-0", "0"},           {"+7", "70000"},         {"007.50", "75000"},  {"1.00005", "10001"},
      {"1.00004999", "10000"}, {"-1.00005", "-10001"}, {"0.99995", "10000"}, {"0.000049", "0"},
      {"-0.00004", "0"},     {"1.000000000000000000000000009", "10000"},
      {"922337203685477.5807", "9223372036854775807"},
      {"-922337203685477.5808", "-9223372036854775808"},
      {"922337203685477.58074", "9223372036854775807"},
      {"922337203685477.5808", nulo},   {"-922337203685477.5809", nulo},
      {"922337203685477.58075", nulo},  // rounds past the top
      {"922337203685478", nulo},        {"99999999999999999999999", nulo},
      {"10000000000000000000000000000000000000000", nulo},
      {"", nulo},     {"-", nulo},     {"+", nulo},     {".5", nulo},       {"5.", nulo},
      {"1.2.3", nulo}, {"1,2.3", nulo}, {"1 ", nulo},   {" 1", nulo},       {"1e3", nulo},
      {"abc", nulo},  {"1.234,56", nulo}, {"--1", nulo}, {"0x10", nulo},    {"1_000", nulo},
      {"-.5", nulo},  {"1.5x", nulo},
  };
  for (const auto& [texto, esperado] : casos) {
    SCOPED_TRACE(texto);
    EXPECT_EQ(Texto(CZQCurrencyEx::DeTexto(texto)), esperado);
  }
}

TEST(ValueTypesCurrencyTest, DoublesAndWholeNumbers) {
  const char* nulo = "nullopt";
  const std::pair<double, const char*> casos[] = {  // rounded half away from zero
      {0.5, "5000"},      {1.00005, "10001"},  {-1.00005, "-10001"}, {2.675, "26750"},
      {0.00005, "1"},     {-0.00005, "-1"},    {0.000049, "0"},      {1e-300, "0"},
      {-0.0, "0"},        {123456.78905, "1234567891"}, {922337203685477.0, "9223372036854770000"},
      {1e15, nulo},       {-1e15, nulo},       {1e300, nulo},        {std::nan(""), nulo},
      {HUGE_VAL, nulo},   {-HUGE_VAL, nulo},
  };
  for (const auto& [valor, esperado] : casos) {
    SCOPED_TRACE(valor);
    EXPECT_EQ(Texto(CZQCurrencyEx::DeDouble(valor)), esperado);
  }
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(922337203685477)), "9223372036854770000");
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(-922337203685477)), "-9223372036854770000");
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(922337203685478)), nulo);
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(-922337203685478)), nulo);
  EXPECT_EQ(Texto(CZQCurrencyEx::DeInteiro(kMin64)), nulo);
  // Truncation toward zero.
  EXPECT_EQ(CZQCurrencyEx::ParaInteiro(tagCY{19999}), 1);
  EXPECT_EQ(CZQCurrencyEx::ParaInteiro(tagCY{-19999}), -1);
  EXPECT_EQ(CZQCurrencyEx::ParaInteiro(tagCY{kMin64}), -922337203685477);
  EXPECT_DOUBLE_EQ(CZQCurrencyEx::ParaDouble(tagCY{-12345}), -1.2345);
}

TEST(ValueTypesCurrencyTest, Arithmetic) {
  const tagCY um{10000}, menorUnidade{1};
  EXPECT_EQ(Texto(CZQCurrencyEx::Soma(tagCY{kMax64 - 1}, menorUnidade)), std::to_string(kMax64));
  EXPECT_EQ(Texto(CZQCurrencyEx::Soma(tagCY{kMax64}, menorUnidade)), "nullopt");
  EXPECT_EQ(Texto(CZQCurrencyEx::Subtrai(tagCY{kMin64}, menorUnidade)), "nullopt");
  EXPECT_EQ(Texto(CZQCurrencyEx::Subtrai(tagCY{0}, tagCY{kMin64})), "nullopt");
  const tuple<int64_t, int64_t, const char*, const char*> casos[] = {  // a, b, a*b, a/b
      {15000, 15000, "22500", "10000"},   {10000, 30000, "30000", "3333"},
      {20000, 30000, "60000", "6667"},    {-20000, 30000, "-60000", "-6667"},
      {20000, -30000, "-60000", "-6667"}, {1, 5000, "1", "2"},  // 0.00005 away from zero
      {-1, 5000, "-1", "-2"},             {1, 4999, "0", "2"},
      {5, 0, "0", "nullopt"},             {kMin64, -10000, "nullopt", "nullopt"},
      {kMax64, 20000, "nullopt", "4611686018427387904"},
      {kMax64, 10000, "9223372036854775807", "9223372036854775807"},
  };
  for (const auto& [a, b, produto, quociente] : casos) {
    SCOPED_TRACE(testing::Message() << a << " and " << b);
    EXPECT_EQ(Texto(CZQCurrencyEx::Multiplica(tagCY{a}, tagCY{b})), produto);
    EXPECT_EQ(Texto(CZQCurrencyEx::Divide(tagCY{a}, tagCY{b})), quociente);
  }
  EXPECT_LT(CZQCurrencyEx::Compara(tagCY{kMin64}, um), 0);
  EXPECT_GT(CZQCurrencyEx::Compara(um, menorUnidade), 0);
  EXPECT_EQ(CZQCurrencyEx::Compara(um, tagCY{10000}), 0);
}

TEST(ValueTypesCurrencyTest, DecimalTextForms) {
  const tuple<int64_t, const char*, const char*> casos[] = {  // value, full, shortest
      {0, "0.0000", "0"},         {12345600, "1234.5600", "1234.56"}, {30000, "3.0000", "3"},
      {-1, "-0.0001", "-0.0001"}, {-5000, "-0.5000", "-0.5"},
      {kMax64, "922337203685477.5807", "922337203685477.5807"},
      {kMin64, "-922337203685477.5808", "-922337203685477.5808"},
  };
  for (const auto& [valor, completo, minimo] : casos) {
    SCOPED_TRACE(valor);
    EXPECT_EQ(CZQCurrencyEx::ParaTextoDecimal(tagCY{valor}), completo);
    EXPECT_EQ(CZQCurrencyEx::ParaTextoDecimal(tagCY{valor}, true), minimo);
  }
  // Both forms read back to the same value across the range.
  std::uint64_t x = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20000; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    const tagCY v{static_cast<int64_t>(i % 2 ? x : x >> (i % 64))};
    SCOPED_TRACE(v.int64);
    ASSERT_EQ(CZQCurrencyEx::DeTexto(CZQCurrencyEx::ParaTextoDecimal(v)), v);
    ASSERT_EQ(CZQCurrencyEx::DeTexto(CZQCurrencyEx::ParaTextoDecimal(v, true)), v);
  }
}

// ---- CZQRelogio ------------------------------------------------------------------------------

REG_ZQDMAHMSUTC Momento(int h, int m, int s) {
  return REG_ZQDMAHMSUTC::DeDataHora(Dia(5, 3, 2024), h, m, s, -10800);
}

TEST(ValueTypesClockTest, GuardsAndFixedClock) {
  const std::shared_ptr<IZQRelogio> antes = CZQRelogio::Atual();
  {
    CZQRelogioGuarda guarda(Momento(23, 59, 30));
    EXPECT_EQ(CZQRelogio::Hoje(), Dia(5, 3, 2024));
    auto* relogio = dynamic_cast<CZQRelogioFixo*>(CZQRelogio::Atual().get());
    ASSERT_NE(relogio, nullptr);
    relogio->Avanca(45);  // across midnight, keeping the offset
    EXPECT_EQ(CZQRelogio::Agora(), REG_ZQDMAHMSUTC::DeDataHora(Dia(6, 3, 2024), 0, 0, 15, -10800));
  }
  EXPECT_EQ(CZQRelogio::Atual(), antes);  // the guard puts back what it replaced
}

// The system clock's local reading, less its offset, is the UTC time now.
TEST(ValueTypesClockTest, SystemClockReadsLocalTimeWithItsOffset) {
  const char* tzAntes = std::getenv("TZ");
  const std::string tzGuardado = tzAntes ? tzAntes : "";
  const int64_t epoca = static_cast<int64_t>(Dia(1, 1, 1970).ulDma) * 86400;
  for (const auto& [tz, deslocamento] :
       {std::pair{"<-03>3", -10800}, std::pair{"<+0530>-5:30", 19800}, std::pair{"UTC0", 0}}) {
    SCOPED_TRACE(tz);
    setenv("TZ", tz, 1);
    tzset();
    const int64_t antes = std::time(nullptr);
    const REG_ZQDMAHMSUTC agora = CZQRelogioSistema().Agora();
    const int64_t depois = std::time(nullptr);
    ASSERT_TRUE(agora.IsPreenchida());
    EXPECT_EQ(agora.GetDeslocamentoUtc(), deslocamento);
    const int64_t utc = agora.GetSegundos() - agora.GetDeslocamentoUtc() - epoca;
    EXPECT_GE(utc, antes);
    EXPECT_LE(utc, depois);
  }
  tzAntes ? setenv("TZ", tzGuardado.c_str(), 1) : unsetenv("TZ");
  tzset();
}

// Readers never see a source freed under them while another thread swaps sources.
TEST(ValueTypesClockTest, ConcurrentReadsWhileSwapping) {
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
