// What only a file-backed engine has: reopening, declarations that change between program
// versions, files it must refuse, and several connections on one file. The StorageEngine
// contract itself is in engine_conformance_test.cpp.
#include "platform/storage/SqliteEngine.h"

#include <dlfcn.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/types/Cp1252.h"
#include "platform/records/ZQRegistroMacros.h"
#include "platform/access/ZQResultados.h"

namespace {

#define ZQ_TIPO_TESTE(Classe, CAMPOS) \
  class Classe : public TZQBaseParaDados { ZQ_CORPO_REGISTRO(Classe, "teste_sqlite", CAMPOS) };
#define ZQ_CAMPOS_1(F) \
  F(Chave, std::uint32_t, zq::kKey) F(Codigo, CString, zq::kSearchable) F(Grupo, std::int32_t, 0)
// The same kind, declared by a later program version with two more fields.
#define ZQ_CAMPOS_2(F) ZQ_CAMPOS_1(F) F(Nivel, std::uint16_t, zq::kSearchable) F(Obs, CString, 0)
ZQ_TIPO_TESTE(CTesteSqlite1, ZQ_CAMPOS_1)
ZQ_TIPO_TESTE(CTesteSqlite2, ZQ_CAMPOS_2)

CTesteSqlite1 Rec(const char* codigo, std::int32_t grupo = 0) {
  CTesteSqlite1 r;
  r.SetCodigo(codigo);
  r.SetGrupo(grupo);
  return r;
}

// Another program on the same file: SQLite itself, reached through the library the engine
// already loaded. Runs sql and answers the first column of every row, "|"-joined, or "erro: ...".
std::string Raw(const std::string& path, const std::string& sql) {
  void* lib = dlopen("libsqlite3.so.0", RTLD_NOW);
  if (!lib) return "erro: sem libsqlite3";
  auto open = reinterpret_cast<decltype(&sqlite3_open)>(dlsym(lib, "sqlite3_open"));
  auto exec = reinterpret_cast<decltype(&sqlite3_exec)>(dlsym(lib, "sqlite3_exec"));
  auto close = reinterpret_cast<decltype(&sqlite3_close)>(dlsym(lib, "sqlite3_close"));
  auto freeMem = reinterpret_cast<decltype(&sqlite3_free)>(dlsym(lib, "sqlite3_free"));
  auto row = [](void* p, int n, char** values, char**) {
    auto* s = static_cast<std::string*>(p);
    s->append(s->empty() ? "" : "|").append(n > 0 && values[0] ? values[0] : "NULL");
    return 0;
  };
  sqlite3* db = nullptr;
  std::string out;
  char* error = nullptr;
  if (open(path.c_str(), &db) != SQLITE_OK) {
    out = "erro: open";
  } else if (exec(db, sql.c_str(), row, &out, &error) != SQLITE_OK) {
    out = std::string("erro: ").append(error ? error : "?");
    freeMem(error);
  }
  close(db);
  dlclose(lib);
  return out;
}

class SqliteEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = ::testing::TempDir() + "sqlite_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
             std::to_string(getpid()) + ".db";
    TearDown();
  }
  void TearDown() override {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((m_path + suffix).c_str());
  }

  std::unique_ptr<zq::SqliteEngine> Open() {
    zq::Status st;
    auto e = zq::SqliteEngine::Open(m_path, &st);
    EXPECT_TRUE(st.ok()) << st.message;
    EXPECT_NE(e, nullptr);
    return e;
  }

  // Opening m_path fails with hr and a message that holds each of `parts`.
  void Refused(long hr, std::initializer_list<std::string> parts) {
    zq::Status st;
    EXPECT_EQ(zq::SqliteEngine::Open(m_path, &st), nullptr);
    EXPECT_EQ(st.hr, hr);
    for (const std::string& part : parts)
      EXPECT_NE(st.message.find(part), std::string::npos) << st.message;
  }

  // Inserts records of `codigos` in group `grupo` into a fresh connection and closes it.
  void Fill(std::initializer_list<const char*> codigos, std::int32_t grupo) {
    auto e = Open();
    for (const char* c : codigos) {
      auto r = Rec(c, grupo);
      ASSERT_TRUE(e->Insert(&r).ok());
    }
  }

  template <class R>
  static std::string Keys(zq::StorageEngine& e, const std::vector<zq::Predicate>& predicates = {}) {
    std::vector<std::uint32_t> keys;
    const zq::Status st = e.Search(R::SchemaEstatico(), predicates, &keys);
    if (!st.ok()) return std::to_string(st.hr);
    std::string out;
    for (std::uint32_t k : keys) out.append(out.empty() ? "" : ",").append(std::to_string(k));
    return out;
  }

  std::string m_path;
};

TEST_F(SqliteEngineTest, ReopeningKeepsRecordsAndKeyCounters) {
  Fill({"A", "B", "C"}, 7);
  ASSERT_TRUE(Open()->Delete(CTesteSqlite1::SchemaEstatico(), 3).ok());
  EXPECT_EQ(Raw(m_path, "PRAGMA journal_mode"), "wal");
  auto e = Open();
  EXPECT_EQ(e->Describe(), std::string("sqlite:").append(m_path));
  CTesteSqlite1 r;
  ASSERT_TRUE(e->Read(2, &r).ok());
  EXPECT_EQ(r.GetCodigo(), "B");
  EXPECT_EQ(r.GetGrupo(), 7);
  r = Rec("D");
  ASSERT_TRUE(e->Insert(&r).ok());
  EXPECT_EQ(r.GetChave(), 4u);  // 3 was deleted before closing, and stays used
}

// What a later declaration reads and writes is in engine_conformance_test.cpp; here, that the
// file keeps the added column, indexed, across reopening by either program version.
TEST_F(SqliteEngineTest, AFieldDeclaredLaterIsAddedToAnOldFile) {
  Fill({"A", "B"}, 1);
  {
    auto e = Open();
    CTesteSqlite2 r;
    ASSERT_TRUE(e->Read(2, &r).ok());
    r.SetNivel(65535);
    r.SetObs("nova");
    ASSERT_TRUE(e->Update(r).ok());
  }
  EXPECT_EQ(Raw(m_path, "SELECT tipo_campo FROM _zq_colunas WHERE tipo='teste_sqlite' AND nome='Nivel'"), "uint16");
  EXPECT_EQ(Raw(m_path, "SELECT count(*) FROM sqlite_master WHERE type='index' AND "
                        "tbl_name='teste_sqlite' AND sql LIKE '%Nivel%'"),
            "1");
  {
    CTesteSqlite1 old;
    auto e = Open();
    ASSERT_TRUE(e->Read(2, &old).ok());
    old.SetCodigo("B2");
    ASSERT_TRUE(e->Update(old).ok());
  }
  CTesteSqlite2 r;
  ASSERT_TRUE(Open()->Read(2, &r).ok());
  EXPECT_EQ(std::string(r.GetCodigo().Str()) + " " + std::to_string(r.GetNivel()) + " " + r.GetObs().Str(),
            "B2 65535 nova");
}

TEST_F(SqliteEngineTest, AStoredValueOfTheWrongTypeIsASchemaErrorNamingTheField) {
  Fill({"A"}, 5);
  const std::pair<const char*, const char*> kCases[] = {  // assignment, field named
      {"Grupo = 'texto'", "Grupo"},    {"Grupo = 1.5", "Grupo"}, {"Grupo = x'01'", "Grupo"},
      {"Grupo = 4294967296", "Grupo"},  // beyond int32
      {"Codigo = 12", "Codigo"},
  };
  for (const auto& [assignment, field] : kCases) {
    SCOPED_TRACE(assignment);
    ASSERT_EQ(Raw(m_path, std::string("UPDATE teste_sqlite SET Grupo = 5, Codigo = x'41';"
                                      "UPDATE teste_sqlite SET ").append(assignment)),
              "");
    auto r = Rec("antes", 9);
    const zq::Status st = Open()->Read(1, &r);
    EXPECT_EQ(st.hr, ZQ_E_ESQUEMA);
    for (const char* part : {"teste_sqlite 1", field})
      EXPECT_NE(st.message.find(part), std::string::npos) << st.message;
    EXPECT_EQ(r.GetCodigo(), "antes");
    EXPECT_EQ(r.GetGrupo(), 9);
  }
}

TEST_F(SqliteEngineTest, FilesThatCannotBeOpenedAreRefusedAndLeftAlone) {
  for (const std::string& path : {std::string(), std::string("/zq-inexistente/dir/empresa.db"),
                                  ::testing::TempDir()}) {
    SCOPED_TRACE(path);
    zq::Status st;
    EXPECT_EQ(zq::SqliteEngine::Open(path, &st), nullptr);
    EXPECT_EQ(st.hr, ZQ_E_MOTOR);
    EXPECT_NE(st.message.find(path), std::string::npos) << st.message;
    EXPECT_GT(st.message.size(), path.size() + 10) << st.message;
  }

  std::string content;
  for (int i = 0; i < 64; ++i) content += "Codigo;Descricao\r\nA1;Alta\r\n";
  std::ofstream(m_path, std::ios::binary) << content;
  Refused(ZQ_E_MOTOR, {"não é um banco de dados"_cp, m_path});
  std::ifstream f(m_path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), content);
  std::remove(m_path.c_str());

  // A file of a newer format.
  Open();
  const std::string newer = std::to_string(zq::SqliteEngine::kFormatVersion + 1);
  const std::string update = std::string("UPDATE _zq_meta SET valor = ") + newer;
  ASSERT_EQ(Raw(m_path, update + " WHERE nome = 'formato'"), "");
  Refused(ZQ_E_ESQUEMA, {newer});
  EXPECT_EQ(Raw(m_path, "SELECT valor FROM _zq_meta WHERE nome = 'formato'"), newer);
}

TEST_F(SqliteEngineTest, TwoEnginesOnOneFileSeeEachOthersCommittedWrites) {
  auto a = Open();
  auto b = Open();
  auto r = Rec("de A");
  ASSERT_TRUE(a->Insert(&r).ok());
  CTesteSqlite1 read;
  ASSERT_TRUE(b->Read(1, &read).ok());
  EXPECT_EQ(read.GetCodigo(), "de A");

  ASSERT_TRUE(a->Begin().ok());
  r = Rec("pendente");
  ASSERT_TRUE(a->Insert(&r).ok());
  EXPECT_EQ(Keys<CTesteSqlite1>(*b), "1");  // not committed yet
  ASSERT_TRUE(a->Commit().ok());
  EXPECT_EQ(Keys<CTesteSqlite1>(*b), "1,2");

  // Keys come from the file's counter, whoever inserts.
  std::vector<std::uint32_t> keys;
  for (zq::SqliteEngine* e : {b.get(), a.get(), b.get(), a.get()}) {
    r = Rec("alternado");
    ASSERT_TRUE(e->Insert(&r).ok());
    keys.push_back(r.GetChave());
    if (keys.size() == 3) {
      ASSERT_TRUE(b->Delete(CTesteSqlite1::SchemaEstatico(), 5).ok());
    }
  }
  EXPECT_EQ(keys, (std::vector<std::uint32_t>{3, 4, 5, 6}));

  // One engine migrates the kind while the other holds statements for the older declaration.
  CTesteSqlite2 wide;
  wide.SetCodigo("largo");
  wide.SetNivel(3);
  ASSERT_TRUE(b->Insert(&wide).ok());
  ASSERT_TRUE(a->Read(wide.GetChave(), &read).ok());
  EXPECT_EQ(read.GetCodigo(), "largo");
  EXPECT_EQ(Keys<CTesteSqlite1>(*a), "1,2,3,4,6,7");
}

}  // namespace
