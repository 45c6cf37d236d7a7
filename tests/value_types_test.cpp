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
using V = std::vector<int64_t>;
using S = std::vector<std::string>;
using C = CZQCurrencyEx;
using H = REG_ZQDMAHMSUTC;

constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();

// "2024-02-29", "-" for no date, or "bad" for a day number outside the valid range.
std::string Texto(REG_ZQDMA d) { return d.IsEmpty() ? "-" : d.IsValid() ? d.ParaIso() : "bad"; }
std::string Texto(const std::optional<REG_ZQDMA>& d) { return d ? Texto(*d) : "x"; }

std::string Texto(REG_ZQMA m) { return m.IsValid() || m.IsEmpty() ? Texto(m.GetPrimeiroDia()).substr(0, 7) : "bad"; }

std::string Texto(const std::optional<tagCY>& v) { return v ? std::to_string(v->int64) : "-"; }

REG_ZQDMA Dia(int d, int m, int a) { return REG_ZQDMA::DeDiaMesAno(d, m, a); }
REG_ZQMA Mes(int m, int a) { return REG_ZQMA::DeMesAno(m, a); }
// 20240229 for 29 February 2024, so that a table row fits; below 10000, a raw day number.
REG_ZQDMA D(int n) { return n < 10000 ? REG_ZQDMA{std::uint32_t(n)} : Dia(n % 100, n / 100 % 100, n / 10000); }

// Every valid day number against the civil calendar: parts, both conversions, weekday, month and its ends.
TEST(ValueTypesDateTest, EveryDayNumberMatchesCivilCalendar) {
  EXPECT_EQ(V({Dia(1, 1, 1848).ulDma, Dia(31, 12, 4717).ulDma}), V({2, 1048247}));
  long falhas = 0;
  std::string primeira;
  for (std::uint32_t d = REG_ZQDMA::kPrimeiro; d <= REG_ZQDMA::kUltimo; ++d) {
    const sys_days civil = sys_days{year{1848} / January / 1} + days{d - REG_ZQDMA::kPrimeiro};
    const year_month_day esperado{civil};
    const int ano = int{esperado.year()}, mes = int(unsigned{esperado.month()}), dia = int(unsigned{esperado.day()});
    const REG_ZQDMA dma{d};
    int a = 0, m = 0, di = 0;
    dma.GetDiaMesAno(&di, &m, &a);
    auto mal = [&](bool ruim, const char* o_que) {
      if (ruim && falhas++ == 0) primeira = std::to_string(d) + " " + o_que;
    };
    mal(a != ano || m != mes || di != dia || dma.GetAno() != ano || dma.GetMes() != mes || dma.GetDia() != dia,
        "parts");
    mal(REG_ZQDMA::DeDiaMesAno(dia, mes, ano) != dma, "built from parts");
    mal(dma.ParaYmd() != esperado || REG_ZQDMA::DeYmd(esperado) != dma, "year_month_day");
    mal(dma.GetDiaSemana() != static_cast<int>(weekday{civil}.c_encoding()), "weekday");
    const REG_ZQMA ma = Mes(mes, ano);
    const bool ultimo = year_month_day{civil + days{1}}.day() == day{1};
    mal(dma.GetMa() != ma, "month number");
    mal((dia == 1) != (ma.GetPrimeiroDia() == dma) || ultimo != (ma.GetUltimoDia() == dma), "first or last of month");
    mal(d < REG_ZQDMA::kUltimo && dma.SomaDias(1).ParaYmd() != year_month_day{civil + days{1}}, "day after");
  }
  EXPECT_EQ(falhas, 0) << "first: day " << primeira;
}

// Two-digit years (shared with month numbers), a day past the month's end lowered to it, and what is refused.
TEST(ValueTypesDateTest, PartsTextAndInvalidNumbers) {
  const std::pair<int, int> anos[] = {  // year given, year taken (0: refused)
      {0, 2000}, {83, 2083}, {84, 1984}, {99, 1999}, {100, 0}, {1847, 0}, {1848, 1848}, {4717, 4717}, {4718, 0},
      {-1, 0}, {INT_MIN, 0}, {INT_MAX, 0}};
  for (const auto& [ano, t] : anos) EXPECT_EQ(V({Dia(15, 6, ano).GetAno(), Mes(6, ano).GetAno()}), V({t, t})) << ano;
  const tuple<int, int, int, const char*> partes[] = {
      {30, 2, 2024, "2024-02-29"}, {29, 2, 1900, "1900-02-28"}, {31, 4, 2024, "2024-04-30"},
      {INT_MAX, 12, 4717, "4717-12-31"}, {0, 1, 2024, "-"}, {31, 2, 23, "2023-02-28"}, {1, 0, 2024, "-"},
      {1, 13, 2024, "-"}, {31, 12, 1847, "-"}, {1, 1, 4718, "-"}};
  for (const auto& [d, m, a, esperado] : partes) EXPECT_EQ(Texto(Dia(d, m, a)), esperado) << d << "/" << m << "/" << a;
  for (const year_month_day& ymd : {year{1847} / December / 31, year{4718} / January / 1, year{2023} / February / 29,
                                    year{2024} / 13 / 1, year{24} / January / 1, year{2024} / January / 0})
    EXPECT_TRUE(REG_ZQDMA::DeYmd(ymd).IsEmpty()) << int{ymd.year()} << unsigned{ymd.month()} << unsigned{ymd.day()};
  const std::pair<const char*, const char*> textos[] = {  // ISO text, date ("x": refused)
      {"1848-01-01", "1848-01-01"}, {"4717-12-31", "4717-12-31"}, {"2024-02-29", "2024-02-29"}, {"", "-"},
      {"1847-12-31", "x"}, {"4718-01-01", "x"}, {"2023-02-29", "x"}, {"2024-13-01", "x"}, {"2024-00-10", "x"},
      {"2024-01-00", "x"}, {"2024-1-01", "x"}, {"2024/01/01", "x"}, {" 2024-01-01", "x"}, {"2024-01-01 ", "x"},
      {"2024-01-0a", "x"}, {"+024-01-01", "x"}, {"20240101", "x"}, {"0024-01-01", "x"}, {"24-01-01", "x"},
      {"2024-01-01T00:00:00", "x"}};
  for (const auto& [texto, esperado] : textos) EXPECT_EQ(Texto(REG_ZQDMA::DeIso(texto)), esperado) << texto;
  for (std::uint32_t n : {0u, 1u, 1048248u, 0xFFFFFFFFu}) {
    const REG_ZQDMA dma{n};
    int a = -1, m = -1, di = -1;
    dma.GetDiaMesAno(&di, &m, &a);
    EXPECT_TRUE(!dma.IsValid() && dma.IsEmpty() == (n == 0) && a + m + di == 0 && dma.GetDiaSemana() == -1) << n;
    EXPECT_TRUE(!dma.GetMa().IsValid() && !dma.ParaYmd().ok() && dma.ParaIso().empty()) << n;
    EXPECT_TRUE(dma.SomaDias(0).IsEmpty() && dma.SomaMeses(0).IsEmpty() && dma.SomaAnos(0).IsEmpty()) << n;
  }
}

// Days ('d'), months ('m'), years ('a'), month numbers ('M') and days between ('x'); a day past the target
// month's end is lowered to it.
TEST(ValueTypesDateTest, AddDaysMonthsYearsAndMonthNumbers) {
  const tuple<int, char, int64_t, const char*> casos[] = {
      {18480101, 'd', -1, "-"}, {18480102, 'd', -1, "1848-01-01"}, {47171231, 'd', 1, "-"}, {0, 'd', 5, "-"},
      {18480101, 'd', 1048245, "4717-12-31"}, {18480101, 'd', 1048246, "-"}, {47171231, 'd', -1048245, "1848-01-01"},
      {20240101, 'd', kMax64, "-"}, {20240101, 'd', kMin64, "-"}, {20240131, 'm', 1, "2024-02-29"},
      {20240331, 'm', -1, "2024-02-29"}, {20241115, 'm', 2, "2025-01-15"}, {20240531, 'm', -15, "2023-02-28"},
      {19000131, 'm', 1, "1900-02-28"}, {20000131, 'm', 1, "2000-02-29"}, {47171215, 'm', -34439, "1848-01-15"},
      {18480101, 'm', 34439, "4717-12-01"}, {47171231, 'm', 1, "-"}, {18480101, 'm', -1, "-"},
      {20240101, 'm', INT_MAX, "-"}, {20240101, 'm', INT_MIN, "-"}, {20240229, 'a', 1, "2025-02-28"},
      {20240229, 'a', 4, "2028-02-29"}, {20960229, 'a', 4, "2100-02-28"}, {18960229, 'a', 104, "2000-02-29"},
      {47161231, 'a', 1, "4717-12-31"}, {47171231, 'a', 1, "-"}, {18480101, 'a', -1, "-"},
      {18490101, 'a', -1, "1848-01-01"}, {20240101, 'a', INT_MAX, "-"}, {20240101, 'a', INT_MIN, "-"},
      {20231201, 'M', 1, "2024-01"}, {20240101, 'M', -1, "2023-12"}, {18480101, 'M', -1, "-"}, {47171201, 'M', 1, "-"},
      {18480101, 'M', 34439, "4717-12"}, {20240601, 'M', INT_MAX, "-"}, {20240601, 'M', INT_MIN, "-"},
      {47171231, 'x', 18480101, "1048245"}, {18480101, 'x', 47171231, "-1048245"}};
  for (const auto& [de, op, n, esperado] : casos) {
    const REG_ZQDMA d = D(de);
    const int n32 = static_cast<int>(n);
    const std::string r = op == 'd' ? Texto(d.SomaDias(n)) : op == 'm' ? Texto(d.SomaMeses(n32))
                          : op == 'a' ? Texto(d.SomaAnos(n32)) : op == 'M' ? Texto(d.GetMa().SomaMeses(n32))
                                      : std::to_string(d.DiferencaDias(D(n32)));
    EXPECT_EQ(r, esperado) << de << " " << op << " " << n;
  }
  EXPECT_EQ(V({Mes(1, 1848).usMa, Mes(12, 4717).usMa}), V({1, 34440}));
  for (int mes : {0, 13, -1}) EXPECT_TRUE(Mes(mes, 2024).IsEmpty()) << mes;
  for (const REG_ZQMA m : {REG_ZQMA{0}, REG_ZQMA{34441}, REG_ZQMA{65535}})
    EXPECT_TRUE(!m.IsValid() && m.GetMes() + m.GetAno() == 0 && m.GetPrimeiroDia().IsEmpty() &&
                m.GetUltimoDia().IsEmpty() && m.SomaMeses(0).IsEmpty()) << m.usMa;
}

H Segundos(int64_t s, std::int32_t o = 0) { H r; r.SetSegundos(s), r.SetDeslocamentoUtc(o); return r; }

// Seconds (bits 0-37) and offset (bits 38-55) are signed and set apart; bits 56-63 are no field's.
TEST(ValueTypesDateTimeTest, FieldsPartsCompareAddAndIsoText) {
  H v{0xAB00000000000000ull};
  v.SetSegundos(-1);
  EXPECT_EQ(v.ullValor, 0xAB00003FFFFFFFFFull);
  for (std::int32_t d : {H::kDeslocamentoMinimo, H::kDeslocamentoMaximo, -1, 1}) {
    v.SetDeslocamentoUtc(d);
    EXPECT_EQ(V({v.GetSegundos(), v.GetDeslocamentoUtc(), int64_t(v.ullValor >> 56)}), V({-1, d, 0xAB}));
  }
  EXPECT_EQ(H::DeDataHora(Dia(1, 1, 1848), 0, 0, 0, 1).ullValor, 172800u | (std::uint64_t{1} << 38));
  const std::pair<int64_t, bool> preenchidas[] = {  // seconds, filled in
      {0, false}, {172799, false}, {172800, true}, {90568627199, true}, {90568627200, false}, {-172800, false},
      {-90568627199, false}, {(int64_t{1} << 37) - 1, false}, {-(int64_t{1} << 37), false}};
  for (const auto& [s, sim] : preenchidas) {
    v = Segundos(s, -10800);
    EXPECT_TRUE(v.GetSegundos() == s && v.IsPreenchida() == sim && v.ParaIso().empty() == !sim) << s;
  }
  v = Segundos(-(5 * 86400 + 3661));  // a negative seconds field reads by its absolute value
  EXPECT_EQ(V({v.GetData().ulDma, v.GetSegundoDoDia()}), V({5, 3661}));
  const REG_ZQDMA d = Dia(5, 3, 2024);
  v = H::DeDataHora(d, 10, 5, 30, -10800);
  EXPECT_EQ(V({v.GetData().ulDma, v.GetHora(), v.GetMinuto(), v.GetSegundo(), v.GetDeslocamentoUtc()}),
            V({d.ulDma, 10, 5, 30, -10800}));
  const tuple<REG_ZQDMA, int, int, int, std::int32_t> recusados[] = {
      {d, 24, 0, 0, 0}, {d, 0, 60, 0, 0}, {d, 0, 0, 60, 0}, {d, -1, 0, 0, 0}, {d, 0, -1, 0, 0}, {d, 0, 0, -1, 0},
      {d, 0, 0, 0, 131072}, {d, 0, 0, 0, -131073}, {REG_ZQDMA{}, 0, 0, 0, 0}, {REG_ZQDMA{1048248}, 0, 0, 0, 0}};
  for (const auto& [dia, h, m, s, o] : recusados)
    EXPECT_EQ(H::DeDataHora(dia, h, m, s, o).ullValor, 0u) << dia.ulDma << " " << h << m << s << " " << o;
  const H negativo = Segundos(-1), cedo = Segundos(172800, 3600),
                        cedoOutroFuso = Segundos(172800, -10800), tarde = Segundos(172801);
  EXPECT_LT(negativo.Compara(cedo), 0);  // unsigned low bits would put -1 last
  EXPECT_TRUE(tarde.Compara(cedo) > 0 && cedo.Compara(cedoOutroFuso) == 0);
  EXPECT_TRUE(cedo.IgualSegundos(cedoOutroFuso) && !cedo.IgualSegundos(tarde) && !(cedo == cedoOutroFuso));
  EXPECT_EQ(negativo.DiferencaSegundos(tarde), -172802);
  const H fim = H::DeDataHora(Dia(31, 12, 2023), 23, 59, 59, -10800);
  EXPECT_EQ(fim.SomaSegundos(1), H::DeDataHora(Dia(1, 1, 2024), 0, 0, 0, -10800));
  for (const auto& [de, n] : {std::pair{Segundos(H::kSegundosUltimo), int64_t{1}},
                              std::pair{Segundos(H::kSegundosPrimeiro), int64_t{-1}},
                              std::pair{Segundos(0), int64_t{172800}}, std::pair{fim, kMax64}, std::pair{fim, kMin64}})
    EXPECT_EQ(de.SomaSegundos(n).ullValor, 0u) << de.GetSegundos() << " + " << n;
  const std::pair<const char*, int64_t> textos[] = {  // text, seconds (-1: refused)
      {"1848-01-01T00:00:00", 172800}, {"4717-12-31T23:59:59", 90568627199}, {"2024-03-05T10:05:30", 5559789930},
      {"", 0}, {"2024-03-05 10:05:30", -1}, {"2024-03-05T24:00:00", -1}, {"2024-03-05T10:60:00", -1},
      {"2024-03-05T10:05:60", -1}, {"2024-02-30T00:00:00", -1}, {"2024-03-05T10:05", -1}, {"2024-03-05T10:05:30Z", -1},
      {"2024-03-05T1:05:30", -1}, {"2024-03-05T10-05-30", -1}, {"1847-12-31T23:59:59", -1}};
  for (const auto& [texto, segundos] : textos) {
    const auto v = H::DeIso(texto, -10800);
    ASSERT_EQ(v ? v->GetSegundos() : -1, segundos) << texto;
    EXPECT_TRUE(segundos <= 0 || (v->GetDeslocamentoUtc() == -10800 && v->ParaIso() == texto)) << texto;
  }
}

// "kind/field12/field32/period".
std::string Partes(const REG_ZQDMC& k) {
  return std::to_string(k.GetTipo()) + "/" + std::to_string(k.GetCampo12()) + "/" + std::to_string(k.GetCampo32()) +
         "/" + std::to_string(k.GetPeriodo());
}

std::string Estado(const REG_ZQDMC& k) { return k.IsEmpty() ? "empty" : k.IsValid() ? "valid" : ""; }

TEST(ValueTypesKeyTest, FieldLayoutValidityAndPeriodPerKind) {
  const std::uint64_t kMax = REG_ZQDMC::kPeriodoMaximo;
  EXPECT_EQ(REG_ZQDMC::Monta(3, 1, 1, 1).ullDmc, (std::uint64_t{1} << 46) | (1u << 14) | (1u << 2) | 3u);
  REG_ZQDMC k = REG_ZQDMC::Monta(2, 0xFFF, 0xFFFFFFFF, kMax);
  EXPECT_EQ(k.ullDmc, ~std::uint64_t{1});
  EXPECT_EQ(Partes(k), "2/4095/4294967295/262143");
  // A setter leaves the other fields alone and drops bits that do not fit.
  k.SetCampo12(0x1005);
  EXPECT_EQ(Partes(k), "2/5/4294967295/262143");
  k.SetCampo32(0);
  EXPECT_EQ(Partes(k), "2/5/0/262143");
  k.SetPeriodo(0);
  k.SetTipo(1);
  EXPECT_EQ(k.ullDmc, (std::uint64_t{5} << 2) | 1u);
  for (const REG_ZQDMC& vazia :
       {REG_ZQDMC::Monta(4, 0, 1, 0), REG_ZQDMC::Monta(-1, 0, 1, 0), REG_ZQDMC::Monta(0, 0x1000, 1, 0),
        REG_ZQDMC::Monta(0, 0, 1, kMax + 1), REG_ZQDMC::DeDia(1, 1, REG_ZQDMA{262144}), REG_ZQDMC::DeAno(1, 1, -1)})
    EXPECT_EQ(vazia.ullDmc, 0u);
  const tuple<int, std::uint32_t, std::uint32_t, std::uint32_t, const char*> casos[] = {
      {0, 0, 0, 0, "empty"}, {3, 0, 0, 0, "empty"}, {0, 0, 1, 0, "valid"}, {0, 157, 1, 0, "valid"}, {0, 158, 1, 0, ""},
      {0, 1, 0, 5, ""}, {0, 5, 0, 0, ""}, {0, 1, 0xFFFFFFFF, 262143, "valid"}, {1, 1, 1, 1847, ""},
      {1, 1, 1, 1848, "valid"}, {1, 1, 1, 4717, "valid"}, {1, 1, 1, 4718, ""}, {2, 1, 1, 0, ""}, {2, 1, 1, 1, "valid"},
      {2, 1, 1, 34440, "valid"}, {2, 1, 1, 34441, ""}, {3, 1, 1, 1, ""}, {3, 1, 1, 2, "valid"}};
  for (const auto& [t, c12, c32, p, esperado] : casos)
    EXPECT_EQ(Estado(REG_ZQDMC::Monta(t, c12, c32, p)), esperado) << t << " " << c12 << " " << c32 << " " << p;
  const std::pair<REG_ZQDMC, const char*> periodos[] = {  // key, its period as date, month and year
      {REG_ZQDMC::DeDia(1, 42, Dia(5, 3, 2024)), "2024-03-05 2024-03 2024"},
      {REG_ZQDMC::DeMes(1, 42, Mes(12, 1848)), "- 1848-12 1848"}, {REG_ZQDMC::DeAno(1, 42, 4717), "- - 4717"},
      {REG_ZQDMC::Monta(0, 1, 42, 2024), "- - 0"}, {REG_ZQDMC::Monta(2, 1, 42, 34441), "- - 0"},
      {REG_ZQDMC::Monta(3, 1, 42, 1), "- - 0"}};
  for (const auto& [k, esperado] : periodos)
    EXPECT_EQ(Texto(k.GetDmaPeriodo()) + " " + Texto(k.GetMaPeriodo()) + " " + std::to_string(k.GetAnoPeriodo()),
              esperado);
}

TEST(ValueTypesCurrencyTest, TextForms) {
  const tuple<int64_t, int, const char*> casos[] = {  // value, decimals, text: cut, not rounded; no sign on a cut 0
      {12345000, 2, "1.234,50"}, {0, 2, "0,00"}, {-12345000, 2, "-1.234,50"}, {-100, 2, "-0,01"},
      {12345000, 11, "Erro"}, {-5000, 0, "0"}, {-99, 2, "0,00"}, {2500, 1, "0,2"}, {19999, 3, "1,999"},
      {-19999, 3, "-1,999"}, {12345678, 6, "1.234,567800"}, {9990000, 2, "999,00"}, {10000000, 2, "1.000,00"},
      {10000000000, 0, "1.000.000"}, {1, 10, "0,0001000000"}, {kMax64, 4, "922.337.203.685.477,5807"},
      {kMin64, 4, "-922.337.203.685.477,5808"}, {12345000, -1, "Erro"}};
  for (const auto& [valor, casas, esperado] : casos)
    EXPECT_EQ(C::FormataValor(tagCY{valor}, casas), esperado) << valor << " with " << casas;
  const tuple<int64_t, const char*> decimais[] = {  // value, full and shortest decimal text
      {0, "0.0000 0"}, {12345600, "1234.5600 1234.56"}, {30000, "3.0000 3"}, {-1, "-0.0001 -0.0001"},
      {-5000, "-0.5000 -0.5"}, {kMin64, "-922337203685477.5808 -922337203685477.5808"}};
  for (const auto& [valor, esperado] : decimais)
    EXPECT_EQ(C::ParaTextoDecimal(tagCY{valor}) + " " + C::ParaTextoDecimal(tagCY{valor}, true),
              esperado);
  std::uint64_t x = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20000; ++i) {  // both forms read back to the same value across the range
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    const tagCY v{static_cast<int64_t>(i % 2 ? x : x >> (i % 64))};
    ASSERT_EQ(C::DeTexto(C::ParaTextoDecimal(v)), v) << v.int64;
    ASSERT_EQ(C::DeTexto(C::ParaTextoDecimal(v, true)), v) << v.int64;
  }
}

TEST(ValueTypesCurrencyTest, ConversionsAndArithmetic) {
  const std::pair<const char*, const char*> textos[] = {  // text, units of 0.0001 ("-": refused)
      {"12.5", "125000"}, {"12,5", "125000"}, {"-0,0001", "-1"}, {"-0", "0"}, {"+7", "70000"}, {"007.50", "75000"},
      {"1.00005", "10001"}, {"1.00004999", "10000"}, {"-1.00005", "-10001"}, {"0.99995", "10000"}, {"0.000049", "0"},
      {"-0.00004", "0"}, {"1.000000000000000000000000009", "10000"}, {"922337203685477.5807", "9223372036854775807"},
      {"-922337203685477.5808", "-9223372036854775808"}, {"922337203685477.58074", "9223372036854775807"},
      {"922337203685477.5808", "-"}, {"-922337203685477.5809", "-"}, {"922337203685477.58075", "-"},
      {"922337203685478", "-"}, {"10000000000000000000000000000000000000000", "-"}, {"", "-"}, {"-", "-"}, {".5", "-"},
      {"5.", "-"}, {"1.2.3", "-"}, {"1,2.3", "-"}, {"1 ", "-"}, {" 1", "-"}, {"1e3", "-"}, {"--1", "-"},
      {"1.234,56", "-"}, {"-.5", "-"}, {"1.5x", "-"}};
  for (const auto& [texto, esperado] : textos) EXPECT_EQ(Texto(C::DeTexto(texto)), esperado) << texto;
  const std::pair<double, const char*> doubles[] = {  // rounded half away from zero
      {0.5, "5000"}, {1.00005, "10001"}, {-1.00005, "-10001"}, {2.675, "26750"}, {0.00005, "1"}, {-0.00005, "-1"},
      {0.000049, "0"}, {-0.0, "0"}, {123456.78905, "1234567891"}, {922337203685477.0, "9223372036854770000"},
      {1e15, "-"}, {-1e15, "-"}, {1e300, "-"}, {std::nan(""), "-"}, {HUGE_VAL, "-"}, {-HUGE_VAL, "-"}};
  for (const auto& [valor, esperado] : doubles) EXPECT_EQ(Texto(C::DeDouble(valor)), esperado) << valor;
  EXPECT_EQ(S({Texto(C::DeInteiro(922337203685477)), Texto(C::DeInteiro(-922337203685477)),
               Texto(C::DeInteiro(922337203685478)), Texto(C::DeInteiro(-922337203685478)),
               Texto(C::DeInteiro(kMin64))}),
            S({"9223372036854770000", "-9223372036854770000", "-", "-", "-"}));
  EXPECT_EQ(V({C::ParaInteiro(tagCY{19999}), C::ParaInteiro(tagCY{-19999}), C::ParaInteiro(tagCY{kMin64})}),
            V({1, -1, -922337203685477}));  // truncated toward zero
  EXPECT_DOUBLE_EQ(C::ParaDouble(tagCY{-12345}), -1.2345);
  const tagCY um{10000}, menorUnidade{1};
  EXPECT_EQ(S({Texto(C::Soma(tagCY{kMax64 - 1}, menorUnidade)), Texto(C::Soma(tagCY{kMax64}, menorUnidade)),
               Texto(C::Subtrai(tagCY{kMin64}, menorUnidade)), Texto(C::Subtrai(tagCY{0}, tagCY{kMin64}))}),
            S({std::to_string(kMax64), "-", "-", "-"}));
  const tuple<int64_t, int64_t, const char*> casos[] = {  // a, b, "a*b a/b", 0.00005 away from zero
      {15000, 15000, "22500 10000"}, {10000, 30000, "30000 3333"}, {20000, 30000, "60000 6667"},
      {-20000, 30000, "-60000 -6667"}, {20000, -30000, "-60000 -6667"}, {1, 5000, "1 2"}, {-1, 5000, "-1 -2"},
      {1, 4999, "0 2"}, {5, 0, "0 -"}, {kMin64, -10000, "- -"}, {kMax64, 20000, "- 4611686018427387904"},
      {kMax64, 10000, "9223372036854775807 9223372036854775807"}};
  for (const auto& [a, b, esperado] : casos)
    EXPECT_EQ(Texto(C::Multiplica(tagCY{a}, tagCY{b})) + " " + Texto(C::Divide(tagCY{a}, tagCY{b})), esperado)
        << a << " and " << b;
  EXPECT_TRUE(C::Compara(tagCY{kMin64}, um) < 0 && C::Compara(um, menorUnidade) > 0 &&
              C::Compara(um, tagCY{10000}) == 0);
}

H Momento(int h, int m, int s) { return H::DeDataHora(Dia(5, 3, 2024), h, m, s, -10800); }

// The guard puts back what it replaced; readers never see a source freed under them while another thread swaps.
TEST(ValueTypesClockTest, GuardsFixedClockAndConcurrentSwaps) {
  const std::shared_ptr<IZQRelogio> antes = CZQRelogio::Atual();
  {
    CZQRelogioGuarda guarda(Momento(23, 59, 30));
    EXPECT_EQ(CZQRelogio::Hoje(), Dia(5, 3, 2024));
    auto* relogio = dynamic_cast<CZQRelogioFixo*>(CZQRelogio::Atual().get());
    ASSERT_NE(relogio, nullptr);
    relogio->Avanca(45);  // across midnight, keeping the offset
    EXPECT_EQ(CZQRelogio::Agora(), H::DeDataHora(Dia(6, 3, 2024), 0, 0, 15, -10800));
    CZQRelogio::Define(std::make_shared<CZQRelogioFixo>(Momento(1, 0, 0)));
    std::atomic<bool> parar{false};
    std::atomic<long> estranhos{0};
    std::vector<std::thread> leitores;
    for (int t = 0; t < 4; ++t)
      leitores.emplace_back([&] {
        while (!parar.load())
          if (const auto v = CZQRelogio::Agora(); v != Momento(1, 0, 0) && v != Momento(2, 0, 0)) ++estranhos;
      });
    for (int i = 0; i < 2000; ++i) CZQRelogio::Define(std::make_shared<CZQRelogioFixo>(Momento(i % 2 ? 1 : 2, 0, 0)));
    parar = true;
    for (std::thread& t : leitores) t.join();
    EXPECT_EQ(estranhos.load(), 0);
  }
  EXPECT_EQ(CZQRelogio::Atual(), antes);
}

// The system clock's local reading, less its offset, is the UTC time now: between two readings
// of the clock it reads. Not std::time, which may read a coarser clock a tick behind.
TEST(ValueTypesClockTest, SystemClockReadsLocalTimeWithItsOffset) {
  const auto agoraUtc = [] { return int64_t{std::chrono::system_clock::to_time_t(std::chrono::system_clock::now())}; };
  const char* tzAntes = std::getenv("TZ");
  const std::string tzGuardado = tzAntes ? tzAntes : "";
  const int64_t epoca = static_cast<int64_t>(Dia(1, 1, 1970).ulDma) * 86400;
  for (const auto& [tz, deslocamento] :
       {std::pair{"<-03>3", -10800}, std::pair{"<+0530>-5:30", 19800}, std::pair{"UTC0", 0}}) {
    setenv("TZ", tz, 1);
    tzset();
    const int64_t antes = agoraUtc();
    const H agora = CZQRelogioSistema().Agora();
    const int64_t depois = agoraUtc(), utc = agora.GetSegundos() - agora.GetDeslocamentoUtc() - epoca;
    EXPECT_TRUE(agora.IsPreenchida() && agora.GetDeslocamentoUtc() == deslocamento) << tz;
    EXPECT_TRUE(antes <= utc && utc <= depois) << tz << ": " << antes << " " << utc << " " << depois;
  }
  tzAntes ? setenv("TZ", tzGuardado.c_str(), 1) : unsetenv("TZ");
  tzset();
}

}  // namespace
