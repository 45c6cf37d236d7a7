// The StorageEngine contract, one body run on every engine; a new one joins in SetUp and INSTANTIATE.
#include <unistd.h>

#include <cstdio>
#include <iterator>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "platform/types/String.h"
#include "platform/storage/MemoryEngine.h"
#include "platform/storage/PostgresEngine.h"
#include "platform/storage/SqliteEngine.h"
#include "platform/records/ZQDadosMM_Manutencao.h"
#include "platform/records/ZQDadosMM_Plano.h"
#include "platform/records/ZQDadosMM_Tecnico.h"
#include "platform/records/ZQRegistroMacros.h"
#include "platform/access/ZQResultados.h"
#include "tests/support/ClusterPostgres.h"

namespace {

#define ZQ_TIPO_TESTE(Classe, tipo, CAMPOS) \
  class Classe : public TZQBaseParaDados { ZQ_CORPO_REGISTRO(Classe, tipo, CAMPOS) };

#define ZQ_CAMPOS_ITEM(F) F(Linha, std::uint32_t, zq::kKey) F(Valor, std::int32_t, 0) F(Rotulo, CString, 0)
ZQ_TIPO_TESTE(CTesteItem, "teste_conformidade_item", ZQ_CAMPOS_ITEM)
// The same items in an indexed list and in one searched by decoding.
#define ZQ_CAMPOS_TESTE(F) \
  F(Chave, std::uint32_t, zq::kKey) F(Codigo, CString, zq::kSearchable) F(Nome, CString, 0) \
  F(Grupo, std::int32_t, zq::kSearchable) F(Itens, CZQVector<CTesteItem>, zq::kSearchable) \
  F(Avulsos, CZQVector<CTesteItem>, 0)
ZQ_TIPO_TESTE(CTesteConformidade, "teste_conformidade", ZQ_CAMPOS_TESTE)
// Same fields, another kind: kinds must not see each other's records.
ZQ_TIPO_TESTE(CTesteConformidadeOutro, "teste_conformidade_outro", ZQ_CAMPOS_TESTE)

#define ZQ_CAMPOS_TIPOS(F)                                                                        \
  F(Chave, std::uint32_t, zq::kKey) F(Logico, bool, 0) F(U8, std::uint8_t, 0)                     \
  F(U16, std::uint16_t, 0) F(U32, std::uint32_t, zq::kSearchable) F(I32, std::int32_t, 0)         \
  F(I64, std::int64_t, zq::kSearchable) F(U64, std::uint64_t, zq::kSearchable) F(Moeda, tagCY, 0) \
  F(Data, REG_ZQDMA, 0) F(Mes, REG_ZQMA, 0) F(DataHora, REG_ZQDMAHMSUTC, 0) F(Dmc, REG_ZQDMC, 0)  \
  F(Texto, CString, zq::kSearchable)
ZQ_TIPO_TESTE(CTesteTipos, "teste_conformidade_tipos", ZQ_CAMPOS_TIPOS)

// Successive declarations of one kind, as program versions change it.
#define ZQ_CAMPOS_V1(F) F(Chave, std::uint32_t, zq::kKey) F(Codigo, CString, zq::kSearchable)
#define ZQ_CAMPOS_V2(F) ZQ_CAMPOS_V1(F) F(Nivel, std::int64_t, zq::kSearchable) F(Obs, CString, 0)
#define ZQ_CAMPOS_ESTREITA(F) ZQ_CAMPOS_V1(F) F(Nivel, std::uint8_t, 0)
#define ZQ_CAMPOS_CODIGO_INTEIRO(F) F(Chave, std::uint32_t, zq::kKey) F(Codigo, std::int64_t, 0)
#define ZQ_CAMPOS_OUTRA_CHAVE(F) F(Posicao, std::uint32_t, zq::kKey) F(Codigo, CString, 0)
ZQ_TIPO_TESTE(CTesteVersao1, "teste_conformidade_versao", ZQ_CAMPOS_V1)
ZQ_TIPO_TESTE(CTesteVersao2, "teste_conformidade_versao", ZQ_CAMPOS_V2)
ZQ_TIPO_TESTE(CTesteVersaoEstreita, "teste_conformidade_versao", ZQ_CAMPOS_ESTREITA)
ZQ_TIPO_TESTE(CTesteVersaoCodigoInteiro, "teste_conformidade_versao", ZQ_CAMPOS_CODIGO_INTEIRO)
ZQ_TIPO_TESTE(CTesteVersaoOutraChave, "teste_conformidade_versao", ZQ_CAMPOS_OUTRA_CHAVE)

const zq::RecordSchema& kTeste = CTesteConformidade::SchemaEstatico();
constexpr std::uint32_t kMaxKey = std::numeric_limits<std::uint32_t>::max();
using Chaves = std::vector<std::uint32_t>;

std::string Code(const zq::Status& st) {
  const std::pair<long, const char*> kNomes[] = {
      {ZQ_S_OK, "ok"}, {ZQ_E_NAO_ENCONTRADO, "NAO_ENCONTRADO"}, {ZQ_E_DUPLICADO, "DUPLICADO"}, {ZQ_E_MOTOR, "MOTOR"},
      {ZQ_E_ARGUMENTO, "ARGUMENTO"}, {ZQ_E_ESQUEMA, "ESQUEMA"}, {ZQ_E_TRANSACAO, "TRANSACAO"}};
  for (const auto& [hr, nome] : kNomes)
    if (st.hr == hr) return nome;
  return std::to_string(st.hr);
}

CTesteConformidade Rec(const char* codigo, const char* nome = "", std::int32_t grupo = 0, std::uint32_t chave = 0) {
  CTesteConformidade r;
  r.SetChave(chave), r.SetCodigo(codigo), r.SetNome(nome), r.SetGrupo(grupo);
  return r;
}
CTesteConformidade Rec(std::uint32_t chave, const char* codigo = "X") { return Rec(codigo, "", 0, chave); }
// The record with these items, as (Valor, Rotulo), in both lists.
CTesteConformidade ComItens(CTesteConformidade r, const std::vector<std::pair<std::int32_t, const char*>>& itens) {
  CZQVector<CTesteItem> lista;
  for (const auto& [valor, rotulo] : itens) {
    CTesteItem item;
    item.SetValor(valor), item.SetRotulo(rotulo);
    lista.Add(item);
  }
  r.SetItens(lista), r.SetAvulsos(lista);
  return r;
}

// Every field of a record on one line, text bytes outside 0x20..0x7E escaped.
std::string Dump(const TZQBaseParaDados& r) {
  std::string out;
  const zq::RecordSchema& s = r.Schema();
  for (std::size_t i = 0; i < s.count; ++i) {
    out.append(i ? " " : "").append(s.fields[i].name).append("=");
    const zq::Value v = r.GetValor(i);
    std::string texto;
    for (unsigned char c : std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : std::string())
      texto += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : StringPrintf("\\x%02X", c);
    out += std::holds_alternative<std::string>(v) ? '"' + texto + '"' : std::to_string(std::get<std::int64_t>(v));
  }
  return out;
}

class EngineConformanceTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    TearDown();
    ZQ_EXIGE_POSTGRES(GetParam());
    zq::Status st;
    const std::string motor = GetParam();
    if (motor == "memoria") m_engine = std::make_unique<zq::MemoryEngine>();
    if (motor == "postgresql") m_engine = zq::PostgresEngine::Open(zqteste::ClusterPostgres::Conexao(), m_schema, &st);
    if (motor == "sqlite") m_engine = zq::SqliteEngine::Open(m_path, &st);
    ASSERT_TRUE(m_engine) << st.message;
  }
  void TearDown() override {
    m_engine.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((m_path + suffix).c_str());
    if (std::string(GetParam()) == "postgresql" && !zqteste::ClusterPostgres::Conexao().empty())
      zqteste::ClusterPostgres::Executa(zqteste::ClusterPostgres::Conexao(), "DROP SCHEMA IF EXISTS " + m_schema + " CASCADE");
  }

  zq::StorageEngine& E() { return *m_engine; }

  // Inserts with the record's own key (0: the next one); the key it got, or 0 on failure.
  template <class R>
  std::uint32_t Put(R r) {
    const zq::Status st = E().Insert(&r);
    EXPECT_TRUE(st.ok()) << st.message;
    return st.ok() ? r.GetChave() : 0;
  }

  // The keys a search answers, "1,2,3", or the failure's code.
  std::string Keys(const zq::RecordSchema& schema, const std::vector<zq::Predicate>& where = {}) {
    std::vector<std::uint32_t> keys{999};
    const zq::Status st = E().Search(schema, where, &keys);
    if (!st.ok()) return Code(st) + (keys.empty() ? "" : " (lista não vazia)");
    std::string out;
    for (std::uint32_t k : keys) out.append(out.empty() ? "" : ",").append(std::to_string(k));
    return out;
  }

  // Every stored key with its Codigo: "1:A 3:C".
  std::string Estado() {
    std::vector<std::uint32_t> keys;
    E().Search(kTeste, {}, &keys);
    std::string out;
    for (std::uint32_t k : keys) {
      CTesteConformidade r;
      const std::string codigo = E().Read(k, &r).ok() ? r.GetCodigo().Str() : "?";
      out.append(out.empty() ? "" : " ").append(std::to_string(k) + ":" + codigo);
    }
    return out;
  }

  const std::string m_path = ::testing::TempDir() + "conformidade_" + std::to_string(getpid()) + ".db";
  const std::string m_schema = "conformidade_" + std::to_string(getpid());
  std::unique_ptr<zq::StorageEngine> m_engine;
};

TEST_P(EngineConformanceTest, KeysAreAssignedOrTakenAsGivenAndNeverDuplicatedNorReused) {
  // A given key below the counter is taken as given.
  EXPECT_EQ(Chaves({Put(Rec("A")), Put(Rec("B")), Put(Rec(10, "dez")), Put(Rec("onze")), Put(Rec(5, "cinco")),
                    Put(Rec("doze"))}),
            Chaves({1, 2, 10, 11, 5, 12}));
  CTesteConformidade dup = Rec(10, "outro");
  const zq::Status st = E().Insert(&dup);
  EXPECT_EQ(Code(st) + (st.message.empty() ? " sem mensagem" : ""), "DUPLICADO");
  // Keys run out at the top of 32 bits; given keys still go in.
  EXPECT_EQ(Put(Rec(kMaxKey, "topo")), kMaxKey);
  CTesteConformidade r = Rec("sem chave");
  EXPECT_TRUE(Code(E().Insert(&r)) == "MOTOR" && r.GetChave() == 0u);
  EXPECT_EQ(Put(Rec(7)), 7u);
  EXPECT_EQ(Estado(), "1:A 2:B 5:cinco 7:X 10:dez 11:onze 12:doze 4294967295:topo");
  EXPECT_EQ(Keys(kTeste, {{3, zq::Match::kIgual, 0}}), "1,2,5,7,10,11,12,4294967295");  // ascending, by value too
}

TEST_P(EngineConformanceTest, FailedReadLeavesTheRecordUnchanged) {
  const std::uint32_t key = Put(Rec("A", "Alfa", -3));
  CTesteConformidade r = Rec("lixo", "lixo", 77, 55);
  ASSERT_TRUE(E().Read(key, &r).ok());
  EXPECT_EQ(Dump(r), Dump(Rec("A", "Alfa", -3, key)));  // a read fills every field
  const CTesteConformidade before = Rec("antes", "nome", 42, 99);
  for (std::uint32_t absent : {0u, 2u, kMaxKey}) {
    r = before;
    const zq::Status st = E().Read(absent, &r);
    EXPECT_EQ(Code(st) + " " + Dump(r), "NAO_ENCONTRADO " + Dump(before)) << absent;
    EXPECT_NE(st.message.find("teste_conformidade"), std::string::npos) << st.message;
  }
}

TEST_P(EngineConformanceTest, UpdateAndDeleteOnlyStoredKeys) {
  const std::uint32_t key = Put(Rec("A", "Alfa", 1));
  ASSERT_TRUE(E().Update(Rec("B", "Beta", 2, key)).ok());
  CTesteConformidade r;
  ASSERT_TRUE(E().Read(key, &r).ok());
  EXPECT_EQ(Dump(r), Dump(Rec("B", "Beta", 2, key)));
  Put(Rec("C"));
  for (std::uint32_t absent : {0u, key + 2, kMaxKey})
    EXPECT_EQ(Code(E().Update(Rec(absent))) + " " + Code(E().Delete(kTeste, absent)), "NAO_ENCONTRADO NAO_ENCONTRADO");
  ASSERT_TRUE(E().Delete(kTeste, key).ok());
  EXPECT_EQ(Code(E().Delete(kTeste, key)) + " " + Code(E().Update(Rec(key))), "NAO_ENCONTRADO NAO_ENCONTRADO");
  EXPECT_EQ(Estado(), "2:C");  // no update inserted anything
  ASSERT_TRUE(E().Delete(kTeste, 2).ok());
  EXPECT_EQ(Put(Rec("D")), 3u);  // neither the highest key nor, with none left, the first is handed out again
}

TEST_P(EngineConformanceTest, SearchByPredicates) {
  // Codes where a byte-wise prefix goes wrong: SQL wildcards, bytes above 0x7F, 0xFF (no successor), case.
  const char* const kCodigos[] = {"A1",   "A2",         "AB", "A_1", "%x",   "_y",    "\xE7", "\xE7\xE3o",
                                  "\xFF", "\xFF\xFF\x01", "a1", "A",   "\x7F", "\x80z", "A%",   ""};
  for (std::int32_t i = 1; i <= 16; ++i) Put(Rec(kCodigos[i - 1], i % 2 ? "impar" : "", i % 3 == 0 ? -1 : i % 3));
  using P = zq::Predicate;
  using zq::Match;
  auto igual = [](std::size_t f, zq::Value v) { return P{f, Match::kIgual, std::move(v)}; };
  auto texto = [&](zq::Value v) { return igual(1, std::move(v)); };
  auto prefixo = [](std::string s) { return P{1, Match::kPrefixo, std::move(s)}; };
  const char *todas = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", *kArg = "ARGUMENTO";
  const std::tuple<const char*, std::vector<P>, const char*> kCases[] = {
      {"sem critérios", {}, todas}, {"código igual", {texto("A1")}, "1"}, {"código vazio", {texto("")}, "16"},
      {"código igual não é prefixo", {texto("A")}, "12"}, {"código acentuado", {texto("\xE7")}, "7"},
      {"nome vazio", {igual(2, std::string())}, "2,4,6,8,10,12,14,16"}, {"grupo 1", {igual(3, 1)}, "1,4,7,10,13,16"},
      {"grupo negativo", {igual(3, -1)}, "3,6,9,12,15"}, {"grupo ausente", {igual(3, 7)}, ""},
      {"chave", {igual(0, 7)}, "7"}, {"chave e código que não casam", {igual(0, 7), texto("A1")}, ""},
      {"prefixo A", {prefixo("A")}, "1,2,3,4,12,15"}, {"prefixo vazio", {prefixo("")}, todas},
      {"prefixo %", {prefixo("%")}, "5"}, {"prefixo _", {prefixo("_")}, "6"}, {"prefixo A_", {prefixo("A_")}, "4"},
      {"prefixo A%", {prefixo("A%")}, "15"}, {"minúsculo", {prefixo("a")}, "11"},
      {"prefixo ç", {prefixo("\xE7")}, "7,8"}, {"prefixo ção", {prefixo("\xE7\xE3")}, "8"},
      {"0x7F", {prefixo("\x7F")}, "13"}, {"prefixo 0x80", {prefixo("\x80")}, "14"},
      {"prefixo 0xFF", {prefixo("\xFF")}, "9,10"}, {"maior", {prefixo("A1x")}, ""},
      {"prefixo 0xFF 0xFF", {prefixo("\xFF\xFF")}, "10"}, {"prefixo e grupo", {prefixo("A"), igual(3, 1)}, "1,4"},
      {"prefixo, grupo e nome", {prefixo("A"), igual(3, -1), igual(2, std::string())}, "12"},
      {"dois prefixos", {prefixo("A"), prefixo("A_")}, "4"},
      // Malformed predicates are refused, with an empty list.
      {"campo inexistente", {{kTeste.count, Match::kIgual, 1}}, kArg}, {"prefixo em inteiro", {{3, Match::kPrefixo, 1}}, kArg},
      {"texto em inteiro", {{3, Match::kIgual, std::string("1")}}, kArg}, {"inteiro em texto", {texto(1)}, kArg},
      {"prefixo inteiro", {{1, Match::kPrefixo, 1}}, kArg}, {"não resolvido", {{1, Match::kCodigo, "A"}}, kArg},
  };
  for (const auto& [name, predicates, keys] : kCases) EXPECT_EQ(Keys(kTeste, predicates), keys) << name;
}

// An item predicate holds when some item of the list matches; indexed or decoded, alike.
TEST_P(EngineConformanceTest, SearchByListItems) {
  Put(ComItens(Rec("A"), {{1, "AB"}, {2, "C"}})), Put(Rec("B")), Put(ComItens(Rec("C"), {{2, "AX"}}));
  using zq::Match;
  auto item = [](std::size_t lista, std::size_t campo, Match m, zq::Value v) {
    return zq::Predicate{lista, m, std::move(v), campo};
  };
  const char* kArg = "ARGUMENTO";
  for (std::size_t lista : {4u, 5u}) {
    SCOPED_TRACE(lista == 4 ? "indexada" : "decodificada");
    auto valor = [&](std::int32_t v) { return item(lista, 1, Match::kIgual, std::int64_t{v}); };
    auto rotulo = [&](Match m, const char* r) { return item(lista, 2, m, std::string(r)); };
    const std::tuple<const char*, std::vector<zq::Predicate>, const char*> kCases[] = {
        {"valor", {valor(2)}, "1,3"}, {"valor ausente", {valor(7)}, ""}, {"rótulo", {rotulo(Match::kIgual, "C")}, "1"},
        {"prefixo", {rotulo(Match::kPrefixo, "A")}, "1,3"}, {"prefixo vazio: lista não vazia", {rotulo(Match::kPrefixo, "")}, "1,3"},
        {"itens distintos", {valor(1), rotulo(Match::kPrefixo, "C")}, "1"}, {"e código", {valor(2), {1, Match::kIgual, "C"}}, "3"},
        {"item inexistente", {item(lista, 3, Match::kIgual, 1)}, kArg}, {"item de campo que não é lista", {item(3, 1, Match::kIgual, 1)}, kArg},
        {"texto em inteiro", {item(lista, 1, Match::kIgual, "2")}, kArg}, {"prefixo em inteiro", {item(lista, 1, Match::kPrefixo, 2)}, kArg},
        {"não resolvido", {rotulo(Match::kCodigo, "A")}, kArg},
    };
    for (const auto& [name, predicates, keys] : kCases) EXPECT_EQ(Keys(kTeste, predicates), keys) << name;
    // An update that drops the item, and a rolled-back one that adds it, leave the index right.
    ASSERT_TRUE(E().Begin().ok() && E().Update(ComItens(Rec(2), {{2, "Z"}})).ok() && E().Delete(kTeste, 3).ok());
    EXPECT_EQ(Keys(kTeste, {valor(2)}), "1,2");
    ASSERT_TRUE(E().Rollback().ok());
    ASSERT_TRUE(E().Update(ComItens(Rec(1, "A"), {{1, "AB"}})).ok());
    EXPECT_EQ(Keys(kTeste, {valor(2)}) + "|" + Keys(kTeste, {valor(1)}), "3|1");
    ASSERT_TRUE(E().Update(ComItens(Rec(1, "A"), {{1, "AB"}, {2, "C"}})).ok());
  }
}

// The other kind is first used inside the transaction: its rollback leaves no trace of it either.
TEST_P(EngineConformanceTest, RollbackUndoesInsertUpdateDeleteAndTheKeyCounter) {
  for (const char* c : {"A", "B"}) Put(Rec(c));
  ASSERT_TRUE(E().Begin().ok());
  EXPECT_EQ(Chaves({Put(Rec("C")), Put(Rec(50, "D")), Put(CTesteConformidadeOutro())}), Chaves({3, 50, 1}));
  ASSERT_TRUE(E().Update(Rec(1, "A mudado")).ok() && E().Update(Rec(1, "A de novo")).ok() && E().Delete(kTeste, 2).ok());
  EXPECT_EQ(Estado(), "1:A de novo 3:C 50:D");  // the transaction sees its own writes
  ASSERT_TRUE(E().Rollback().ok());
  EXPECT_EQ(Estado() + "|" + Keys(CTesteConformidadeOutro::SchemaEstatico()), "1:A 2:B|");
  // The rolled-back keys are handed out again.
  EXPECT_EQ(Chaves({Put(Rec("E")), Put(CTesteConformidadeOutro())}), Chaves({3, 1}));
}

// A failed write inside a transaction leaves it open; the commit keeps every other write. Given
// keys below the stored counter leave it alone inside a transaction too, and the commit keeps it.
TEST_P(EngineConformanceTest, CommitKeepsEveryWritePastFailedOnes) {
  for (const char* c : {"A", "B"}) Put(Rec(c));
  Put(Rec(30, "T"));
  ASSERT_TRUE(E().Begin().ok());
  EXPECT_EQ(Chaves({Put(Rec(8, "O")), Put(Rec("C")), Put(Rec(40, "Q")), Put(Rec("R"))}), Chaves({8, 31, 40, 41}));
  CTesteConformidade dup = Rec(1, "dup");
  EXPECT_EQ(Code(E().Insert(&dup)) + " " + Code(E().Update(Rec(9))), "DUPLICADO NAO_ENCONTRADO");
  ASSERT_TRUE(E().Update(Rec(1, "A mudado")).ok() && E().Delete(kTeste, 2).ok());
  ASSERT_TRUE(E().Commit().ok());
  EXPECT_EQ(Estado(), "1:A mudado 8:O 30:T 31:C 40:Q 41:R");
  EXPECT_EQ(Put(Rec("D")), 42u);
  EXPECT_EQ(Code(E().Rollback()), "TRANSACAO");  // nothing left to undo
}

TEST_P(EngineConformanceTest, TransactionMisuse) {
  // B begin, C commit, R rollback; "+" succeeds, "!" is refused as out of place.
  for (const char* passos : {"C!", "R!", "B+B!C+", "B+C+C!", "B+C+R!", "B+R+R!", "B+R+B+C+"}) {
    std::string feitos;
    for (const char* p = passos; *p; p += 2) {
      const zq::Status st = *p == 'B' ? E().Begin() : *p == 'C' ? E().Commit() : E().Rollback();
      feitos += std::string(1, *p) + (st.ok() ? "+" : Code(st) == "TRANSACAO" ? "!" : "?");
    }
    EXPECT_EQ(feitos, passos);
  }
  // A nested Begin left the first transaction open: it still commits its writes.
  ASSERT_TRUE(E().Begin().ok());
  Put(Rec("A"));
  EXPECT_TRUE(Code(E().Begin()) == "TRANSACAO" && E().Commit().ok());
  EXPECT_EQ(Keys(kTeste), "1");
}

TEST_P(EngineConformanceTest, EveryFieldTypeRoundTripsAtItsLimits) {
  std::string allHigh;
  for (int b = 0x80; b <= 0xFF; ++b) allHigh += static_cast<char>(b);
  auto make = [](bool l, std::uint8_t u8, std::uint16_t u16, std::uint32_t u32, std::int32_t i32, std::int64_t i64,
                 std::uint64_t u64, std::int64_t cy, std::uint32_t dma, std::uint16_t ma, std::uint64_t dhu,
                 std::uint64_t dmc, std::string texto) {
    CTesteTipos r;
    r.SetLogico(l), r.SetU8(u8), r.SetU16(u16), r.SetU32(u32), r.SetI32(i32), r.SetI64(i64);
    r.SetU64(u64), r.SetMoeda(tagCY{cy}), r.SetData(REG_ZQDMA{dma}), r.SetMes(REG_ZQMA{ma});
    r.SetDataHora(REG_ZQDMAHMSUTC{dhu}), r.SetDmc(REG_ZQDMC{dmc}), r.SetTexto(CString(std::move(texto)));
    return r;
  };
  using L32 = std::numeric_limits<std::int32_t>;
  using L64 = std::numeric_limits<std::int64_t>;
  constexpr std::uint64_t kTop = 0x8000000000000000ull, kAll = ~0ull;
  const std::pair<const char*, CTesteTipos> kCases[] = {
      {"zeros e texto vazio", make(false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "")},
      {"máximos", make(true, 0xFF, 0xFFFF, kMaxKey, L32::max(), L64::max(), kAll, L64::max(), kMaxKey, 0xFFFF, kAll,
                       kAll, allHigh)},
      {"mínimos",
       make(false, 0, 0, 0, L32::min(), L64::min(), kTop, L64::min(), 0, 0, kTop, kTop, std::string("\x00", 1))},
      {"bit alto", make(true, 0x80, 0x8000, 0x80000000u, -1, -1, kTop | 1, -1, 0x80000000u, 0x8000,
                        kTop | 0x123456789ull, kTop | 3, std::string("a\x00\xFF\x80z", 5))},
      {"texto com aspas e curingas", make(false, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, "'\"%_\\;--")},
      {"texto que parece SQL", make(false, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, "x'); DROP TABLE teste_conformidade_tipos; --")},
  };
  std::vector<std::uint32_t> keys;
  for (const auto& [name, record] : kCases) {
    keys.push_back(Put(record));
    CTesteTipos read, expected = record;
    ASSERT_TRUE(E().Read(keys.back(), &read).ok()) << name;
    expected.SetChave(keys.back());
    EXPECT_EQ(Dump(read), Dump(expected));
    EXPECT_TRUE(read == expected);
  }
  // Updates write the same values back; equality finds them by their bit patterns.
  const zq::RecordSchema& s = CTesteTipos::SchemaEstatico();
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    CTesteTipos r = kCases[(i + 1) % std::size(kCases)].second, read;
    r.SetChave(keys[i]);
    ASSERT_TRUE(E().Update(r).ok() && E().Read(keys[i], &read).ok());
    EXPECT_EQ(Dump(read), Dump(r));
    for (std::size_t f : {4u, 6u, 7u, 13u}) {
      const std::string found = std::string(",").append(Keys(s, {{f, zq::Match::kIgual, r.GetValor(f)}})).append(",");
      EXPECT_NE(found.find(std::string(",").append(std::to_string(keys[i])).append(",")), std::string::npos) << found;
    }
  }
}

TEST_P(EngineConformanceTest, KindsDoNotSeeEachOthersRecords) {
  for (const char* c : {"A", "B"}) Put(Rec(c));
  CTesteConformidadeOutro outro;
  outro.SetCodigo("A");
  EXPECT_EQ(Put(outro), 1u);  // each kind counts its own keys
  const zq::RecordSchema& sOutro = CTesteConformidadeOutro::SchemaEstatico();
  EXPECT_EQ(Keys(sOutro) + "|" + Keys(sOutro, {{1, zq::Match::kIgual, std::string("B")}}), "1|");
  EXPECT_EQ(Code(E().Read(2, &outro)), "NAO_ENCONTRADO");
  ASSERT_TRUE(E().Delete(sOutro, 1).ok());
  EXPECT_EQ(Estado(), "1:A 2:B");
}

TEST_P(EngineConformanceTest, ConcurrentInsertsGetDistinctKeys) {
  constexpr int kThreads = 4, kEach = 25;
  std::vector<std::uint32_t> got(kThreads * kEach);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        CTesteConformidade r = Rec("T"), back;
        if (E().Insert(&r).ok()) got[t * kEach + i] = r.GetChave();
        E().Read(r.GetChave(), &back);
      }
    });
  for (auto& t : threads) t.join();
  const std::set<std::uint32_t> all(got.begin(), got.end());
  ASSERT_EQ(all.size(), got.size());
  EXPECT_EQ(*all.rbegin(), std::uint32_t{kThreads * kEach});
}

// Declarations of a kind change between program versions; engines follow them field by name.
TEST_P(EngineConformanceTest, ALaterDeclarationWithMoreFieldsReadsDefaults) {
  CTesteVersao1 v1;
  v1.SetCodigo("antigo");
  const std::uint32_t key = Put(v1);
  CTesteVersao2 v2;
  v2.SetNivel(9), v2.SetObs("lixo");
  ASSERT_TRUE(E().Read(key, &v2).ok());
  EXPECT_EQ(Dump(v2), "Chave=1 Codigo=\"antigo\" Nivel=0 Obs=\"\"");
  EXPECT_EQ(Keys(CTesteVersao2::SchemaEstatico(), {{2, zq::Match::kIgual, std::int64_t{0}}}), "1");
  v2.SetNivel(5), v2.SetObs("novo");
  ASSERT_TRUE(E().Update(v2).ok());
  // The older declaration rewrites its own fields and leaves the newer ones alone.
  v1.SetChave(key), v1.SetCodigo("de volta");
  ASSERT_TRUE(E().Update(v1).ok());
  ASSERT_TRUE(E().Read(key, &v2).ok());
  EXPECT_EQ(Dump(v2), "Chave=1 Codigo=\"de volta\" Nivel=5 Obs=\"novo\"");
  // An insert through the older declaration gives the newer fields their defaults.
  v1.SetChave(0), v1.SetCodigo("mais");
  ASSERT_TRUE(E().Read(Put(v1), &v2).ok());
  EXPECT_EQ(Dump(v2), "Chave=2 Codigo=\"mais\" Nivel=0 Obs=\"\"");
}

TEST_P(EngineConformanceTest, AStoredValueOrDeclarationThatDoesNotFitIsASchemaError) {
  CTesteVersao2 v2;
  v2.SetCodigo("largo"), v2.SetNivel(300);
  const std::uint32_t big = Put(v2);
  v2.SetChave(0), v2.SetNivel(200);
  const std::uint32_t small = Put(v2);
  CTesteVersaoEstreita narrow;
  narrow.SetCodigo("antes");
  zq::Status st = E().Read(big, &narrow);
  EXPECT_EQ(Code(st), "ESQUEMA");
  for (const char* part : {"teste_conformidade_versao", "Nivel", "1"})
    EXPECT_NE(st.message.find(part), std::string::npos) << st.message;
  EXPECT_EQ(Dump(narrow), "Chave=0 Codigo=\"antes\" Nivel=0");
  ASSERT_TRUE(E().Read(small, &narrow).ok());
  EXPECT_EQ(Dump(narrow), "Chave=2 Codigo=\"largo\" Nivel=200");
  // Declarations whose fields or key are not the stored ones are refused and change nothing.
  CTesteVersaoCodigoInteiro inteiro;
  st = E().Read(1, &inteiro);
  EXPECT_NE(st.message.find("Codigo"), std::string::npos) << st.message;
  EXPECT_EQ(Code(st) + " " + Code(E().Insert(&inteiro)) + " " + Keys(CTesteVersaoCodigoInteiro::SchemaEstatico()),
            "ESQUEMA ESQUEMA ESQUEMA");
  CTesteVersaoOutraChave outraChave;
  EXPECT_EQ(Code(E().Read(1, &outraChave)) + " " + Code(E().Delete(CTesteVersaoOutraChave::SchemaEstatico(), 1)),
            "ESQUEMA ESQUEMA");
  EXPECT_EQ(Keys(CTesteVersao1::SchemaEstatico()), "1,2");
  ASSERT_TRUE(E().Read(1, &v2).ok());
  EXPECT_EQ(Dump(v2), "Chave=1 Codigo=\"largo\" Nivel=300 Obs=\"\"");
}

// Random writes, deletes and transactions, some rolled back, between random searches: every
// search answers what a plain scan of a model of the records answers, order included.
TEST_P(EngineConformanceTest, SearchesAnswerWhatAPlainScanAnswers) {
  std::mt19937 rng(1302);
  auto pick = [&](std::size_t n) { return rng() % n; };
  // The last text and group are never stored: searches for them find nothing.
  const char* const kTextos[] = {"", "A", "AB", "ABC", "B", "\xE7", "\xE7\xE3", "Z"};
  const std::int32_t kGrupos[] = {-1, 0, 1, 2, 7};
  auto aleatorio = [&](std::uint32_t chave) {
    std::vector<std::pair<std::int32_t, const char*>> itens(pick(3));
    for (auto& i : itens) i = {kGrupos[pick(4)], kTextos[pick(7)]};
    return ComItens(Rec(kTextos[pick(7)], kTextos[pick(7)], kGrupos[pick(4)], chave), itens);
  };
  using zq::Match;
  auto predicado = [&]() -> zq::Predicate {
    switch (pick(7)) {
      case 0: return {0, Match::kIgual, std::int64_t(pick(400))};
      case 1: return {3, Match::kIgual, std::int64_t{kGrupos[pick(5)]}};
      case 2: return {4 + pick(2), Match::kIgual, std::int64_t{kGrupos[pick(5)]}, 1};
      case 3: return {4 + pick(2), pick(2) ? Match::kIgual : Match::kPrefixo, kTextos[pick(8)], 2};
      default: return {1 + pick(2), pick(3) ? Match::kIgual : Match::kPrefixo, kTextos[pick(8)]};
    }
  };
  std::map<std::uint32_t, CTesteConformidade> modelo;
  auto varre = [&](const std::vector<zq::Predicate>& where) {
    std::string out;
    for (const auto& [k, r] : modelo) {
      bool ok = true;
      for (const zq::Predicate& p : where) {
        auto casa = [&](const zq::Value& v) {
          return p.match == Match::kIgual ? v == p.value
                                          : std::get<std::string>(v).starts_with(std::get<std::string>(p.value));
        };
        bool algum = p.item == zq::kSemItem && casa(r.GetValor(p.field));
        for (const CTesteItem& i : p.item == zq::kSemItem ? CZQVector<CTesteItem>() : p.field == 4 ? r.GetItens() : r.GetAvulsos())
          algum = algum || casa(i.GetValor(p.item));
        ok = ok && algum;
      }
      if (ok) out.append(out.empty() ? "" : ",").append(std::to_string(k));
    }
    return out;
  };
  // The first of 15 random searches whose answer is not the scan's, or "".
  auto compara = [&]() -> std::string {
    for (int i = 0; i < 15; ++i) {
      std::vector<zq::Predicate> where(pick(4));
      for (auto& p : where) p = predicado();
      const std::string got = Keys(kTeste, where), want = varre(where);
      if (got != want) return "busca " + std::to_string(i) + ": " + got + " em vez de " + want;
    }
    return "";
  };
  for (int rodada = 0; rodada < 30; ++rodada) {
    const auto antes = modelo;
    ASSERT_TRUE(E().Begin().ok());
    for (int i = 0; i < 12; ++i) {
      const std::size_t op = modelo.empty() ? 0 : pick(4);
      std::uint32_t alvo = op > 1 ? std::next(modelo.begin(), static_cast<long>(pick(modelo.size())))->first : 0;
      CTesteConformidade r = aleatorio(alvo);
      if (op < 2) r.SetChave(Put(r)), alvo = r.GetChave();
      ASSERT_TRUE(op < 2 || (op == 2 ? E().Update(r) : E().Delete(kTeste, alvo)).ok());
      if (op == 3) modelo.erase(alvo);
      else modelo[alvo] = r;
    }
    ASSERT_EQ(compara(), "") << "rodada " << rodada;  // the transaction sees its own writes
    ASSERT_TRUE(rodada % 3 == 2 ? E().Rollback().ok() : E().Commit().ok());
    if (rodada % 3 == 2) modelo = antes;
    ASSERT_EQ(compara(), "") << "rodada " << rodada;
  }
}

// Every text field of real kinds, walked by their schemas, holds what a person may type: SQL,
// quotes, search wildcards, every Windows-1252 byte but NUL, ten megabytes. Each value comes back
// byte for byte after Insert and Update, and searches take wildcards literally.
TEST_P(EngineConformanceTest, HostileTextsRoundTripByteForByte) {
  std::string todos;
  for (int b = 0x01; b <= 0xFF; ++b) todos += static_cast<char>(b);
  const std::string kValores[] = {"'; DROP TABLE tecnico; --", "\"quoted\"", "%_", "\\", todos,
                                  std::string(10 << 20, 'x') + "fim"};
  for (const zq::RecordSchema* schema : {&CZQDadosMM_Tecnico::SchemaEstatico(), &CZQDadosMM_Plano::SchemaEstatico(),
                                         &CZQDadosMM_Manutencao::SchemaEstatico()}) {
    std::vector<std::size_t> textos;
    for (std::size_t i = 0; i < schema->count; ++i)
      if (schema->fields[i].type == zq::FieldType::kText) textos.push_back(i);
    ASSERT_FALSE(textos.empty());
    std::vector<std::uint32_t> chaves;
    for (const std::string& valor : kValores) {
      SCOPED_TRACE(std::string(schema->kind) + " " + valor.substr(0, 30));
      // Each field its own value (ten megabytes in the first only), so a swap shows too.
      auto texto = [&](std::size_t n, bool inverso) {
        std::string v = n && valor.size() > 1000 ? "curto" : valor;
        if (inverso) v.assign(v.rbegin(), v.rend());
        return v + schema->fields[textos[n]].name;
      };
      auto registro = schema->make();
      auto confere = [&](bool inverso) {
        auto lido = schema->make();
        ASSERT_TRUE(E().Read(registro->GetChave(), lido.get()).ok());
        for (std::size_t n = 0; n < textos.size(); ++n)
          EXPECT_TRUE(lido->GetValor(textos[n]) == zq::Value(texto(n, inverso))) << schema->fields[textos[n]].name;
      };
      for (std::size_t n = 0; n < textos.size(); ++n) registro->SetValor(textos[n], texto(n, false));
      ASSERT_TRUE(E().Insert(registro.get()).ok());
      chaves.push_back(registro->GetChave());
      confere(false);
      for (std::size_t n = 0; n < textos.size(); ++n) registro->SetValor(textos[n], texto(n, true));
      ASSERT_TRUE(E().Update(*registro).ok());
      confere(true);
      for (std::size_t n = 0; n < textos.size(); ++n) registro->SetValor(textos[n], texto(n, false));
      ASSERT_TRUE(E().Update(*registro).ok());
    }
    for (std::size_t v = 0; v < std::size(kValores); ++v)
      for (std::size_t n = 0; n < textos.size(); ++n) {
        if (!(schema->fields[textos[n]].flags & zq::kSearchable) || kValores[v].size() > 1000) continue;
        for (const zq::Match m : {zq::Match::kIgual, zq::Match::kPrefixo})
          EXPECT_EQ(Keys(*schema, {{textos[n], m, kValores[v] + (m == zq::Match::kIgual ? schema->fields[textos[n]].name : "")}}),
                    std::to_string(chaves[v]))
              << schema->kind << "." << schema->fields[textos[n]].name << " " << kValores[v].substr(0, 30);
      }
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineConformanceTest, ::testing::Values("memoria", "sqlite", "postgresql"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
