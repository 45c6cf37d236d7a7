// What only a file-backed engine has: reopening, declarations that change between program
// versions, files it must refuse, and several connections on one file. The StorageEngine
// contract itself is in engine_conformance_test.cpp.
#include "platform/SqliteEngine.h"

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

#include "platform/Cp1252.h"
#include "platform/ZQRegistroMacros.h"
#include "platform/ZQResultados.h"

namespace {

#define ZQ_CAMPOS_TESTE_SQLITE_1(F)  \
  F(Chave, std::uint32_t, zq::kKey)  \
  F(Codigo, CString, zq::kSearchable) \
  F(Grupo, std::int32_t, 0)
class CTesteSqlite1 : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CTesteSqlite1, "teste_sqlite", ZQ_CAMPOS_TESTE_SQLITE_1)
};
// The same kind, declared by a later program version with two more fields.
#define ZQ_CAMPOS_TESTE_SQLITE_2(F)  \
  F(Chave, std::uint32_t, zq::kKey)  \
  F(Codigo, CString, zq::kSearchable) \
  F(Grupo, std::int32_t, 0)          \
  F(Nivel, std::uint16_t, zq::kSearchable) \
  F(Obs, CString, 0)
class CTesteSqlite2 : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CTesteSqlite2, "teste_sqlite", ZQ_CAMPOS_TESTE_SQLITE_2)
};
// The same kind with Grupo turned into a text: not a migration the engine can make.
#define ZQ_CAMPOS_TESTE_SQLITE_TEXTO(F) \
  F(Chave, std::uint32_t, zq::kKey)     \
  F(Codigo, CString, zq::kSearchable)   \
  F(Grupo, CString, 0)
class CTesteSqliteTexto : public TZQBaseParaDados {
  ZQ_CORPO_REGISTRO(CTesteSqliteTexto, "teste_sqlite", ZQ_CAMPOS_TESTE_SQLITE_TEXTO)
};

std::string Code(long hr) {
  switch (hr) {
    case ZQ_S_OK: return "ok";
    case ZQ_E_NAO_ENCONTRADO: return "NAO_ENCONTRADO";
    case ZQ_E_MOTOR: return "MOTOR";
    case ZQ_E_ESQUEMA: return "ESQUEMA";
    case ZQ_E_TRANSACAO: return "TRANSACAO";
  }
  return std::to_string(hr);
}

template <class R>
R Rec(const char* codigo, std::int32_t grupo = 0) {
  R r;
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
  sqlite3* db = nullptr;
  std::string out;
  if (open(path.c_str(), &db) != SQLITE_OK) {
    close(db);
    return "erro: open";
  }
  char* error = nullptr;
  auto row = [](void* p, int n, char** values, char**) {
    auto* s = static_cast<std::string*>(p);
    if (!s->empty()) *s += "|";
    *s += n > 0 && values[0] ? values[0] : "NULL";
    return 0;
  };
  if (exec(db, sql.c_str(), row, &out, &error) != SQLITE_OK) {
    out = std::string("erro: ") + (error ? error : "?");
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
    RemoveFiles();
  }
  void TearDown() override { RemoveFiles(); }

  void RemoveFiles() {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((m_path + suffix).c_str());
  }

  std::unique_ptr<zq::SqliteEngine> Open() {
    zq::Status st;
    auto e = zq::SqliteEngine::Open(m_path, &st);
    EXPECT_TRUE(st.ok()) << st.message;
    EXPECT_NE(e, nullptr);
    return e;
  }

  template <class R>
  static std::string Keys(zq::StorageEngine& e, const std::vector<zq::Predicate>& predicates = {}) {
    std::vector<std::uint32_t> keys;
    const zq::Status st = e.Search(R::SchemaEstatico(), predicates, &keys);
    if (!st.ok()) return Code(st.hr);
    std::string out;
    for (std::uint32_t k : keys) {
      if (!out.empty()) out += ",";
      out += std::to_string(k);
    }
    return out;
  }

  std::string m_path;
};

TEST_F(SqliteEngineTest, DescribeNamesTheFile) { EXPECT_EQ(Open()->Describe(), "sqlite:" + m_path); }

TEST_F(SqliteEngineTest, ReopeningKeepsRecordsAndKeyCounters) {
  {
    auto e = Open();
    for (const char* c : {"A", "B", "C"}) {
      auto r = Rec<CTesteSqlite1>(c, 7);
      ASSERT_TRUE(e->Insert(&r).ok());
    }
    ASSERT_TRUE(e->Delete(CTesteSqlite1::SchemaEstatico(), 3).ok());
  }
  EXPECT_EQ(Raw(m_path, "PRAGMA journal_mode"), "wal");
  auto e = Open();
  CTesteSqlite1 r;
  ASSERT_TRUE(e->Read(2, &r).ok());
  EXPECT_EQ(r.GetCodigo(), "B");
  EXPECT_EQ(r.GetGrupo(), 7);
  auto d = Rec<CTesteSqlite1>("D");
  ASSERT_TRUE(e->Insert(&d).ok());
  EXPECT_EQ(d.GetChave(), 4u);  // 3 was deleted before closing, and stays used
}

TEST_F(SqliteEngineTest, AFieldDeclaredLaterIsAddedToAnOldFile) {
  {
    auto e = Open();
    for (const char* c : {"A", "B"}) {
      auto r = Rec<CTesteSqlite1>(c, 1);
      ASSERT_TRUE(e->Insert(&r).ok());
    }
  }
  {
    auto e = Open();
    CTesteSqlite2 r;
    r.SetNivel(9);
    ASSERT_TRUE(e->Read(2, &r).ok());
    EXPECT_EQ(r.GetCodigo(), "B");
    EXPECT_EQ(r.GetGrupo(), 1);
    EXPECT_EQ(r.GetNivel(), 0);
    EXPECT_EQ(r.GetObs(), "");
    EXPECT_EQ(Keys<CTesteSqlite2>(*e, {{3, zq::Match::kIgual, std::int64_t{0}}}), "1,2");
    r.SetNivel(65535);
    r.SetObs("nova");
    ASSERT_TRUE(e->Update(r).ok());
  }
  EXPECT_EQ(Raw(m_path, "SELECT tipo_campo FROM _zq_colunas WHERE tipo='teste_sqlite' AND nome='Nivel'"),
            "uint16");
  EXPECT_EQ(Raw(m_path, "SELECT count(*) FROM sqlite_master WHERE type='index' AND "
                        "tbl_name='teste_sqlite' AND sql LIKE '%Nivel%'"),
            "1");

  // Back on the older program: it keeps working and leaves the new fields alone.
  {
    auto e = Open();
    CTesteSqlite1 old;
    ASSERT_TRUE(e->Read(2, &old).ok());
    old.SetCodigo("B2");
    ASSERT_TRUE(e->Update(old).ok());
  }
  auto e = Open();
  CTesteSqlite2 r;
  ASSERT_TRUE(e->Read(2, &r).ok());
  EXPECT_EQ(r.GetCodigo(), "B2");
  EXPECT_EQ(r.GetNivel(), 65535);
  EXPECT_EQ(r.GetObs(), "nova");
}

TEST_F(SqliteEngineTest, AColumnOfAnotherStorageIsASchemaError) {
  {
    auto e = Open();
    auto r = Rec<CTesteSqlite1>("A", 5);
    ASSERT_TRUE(e->Insert(&r).ok());
  }
  auto e = Open();
  CTesteSqliteTexto r;
  r.SetCodigo("antes");
  const zq::Status st = e->Read(1, &r);
  EXPECT_EQ(Code(st.hr), "ESQUEMA");
  EXPECT_NE(st.message.find("Grupo"), std::string::npos) << st.message;
  EXPECT_EQ(r.GetCodigo(), "antes");
  EXPECT_EQ(Code(e->Insert(&r).hr), "ESQUEMA");
  EXPECT_EQ(Keys<CTesteSqliteTexto>(*e), "ESQUEMA");
  CTesteSqlite1 same;
  ASSERT_TRUE(e->Read(1, &same).ok());
  EXPECT_EQ(same.GetGrupo(), 5);
}

TEST_F(SqliteEngineTest, AStoredValueOfTheWrongTypeIsASchemaErrorNamingTheField) {
  {
    auto e = Open();
    auto r = Rec<CTesteSqlite1>("A", 5);
    ASSERT_TRUE(e->Insert(&r).ok());
  }
  struct Case {
    const char* assignment;
    const char* field;
  } const kCases[] = {
      {"Grupo = 'texto'", "Grupo"},
      {"Grupo = 1.5", "Grupo"},
      {"Grupo = x'01'", "Grupo"},
      {"Grupo = 4294967296", "Grupo"},  // beyond int32
      {"Codigo = 12", "Codigo"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.assignment);
    ASSERT_EQ(Raw(m_path, std::string("UPDATE teste_sqlite SET Grupo = 5, Codigo = x'41';"
                                      "UPDATE teste_sqlite SET ") + c.assignment),
              "");
    auto e = Open();
    auto r = Rec<CTesteSqlite1>("antes", 9);
    const zq::Status st = e->Read(1, &r);
    EXPECT_EQ(Code(st.hr), "ESQUEMA");
    for (const char* part : {"teste_sqlite 1", c.field})
      EXPECT_NE(st.message.find(part), std::string::npos) << st.message;
    EXPECT_EQ(r.GetCodigo(), "antes");
    EXPECT_EQ(r.GetGrupo(), 9);
  }
}

TEST_F(SqliteEngineTest, PathsThatCannotBeOpened) {
  const std::string dir = ::testing::TempDir();
  for (const std::string& path : {std::string(), std::string("/zq-inexistente/dir/empresa.db"), dir}) {
    SCOPED_TRACE(path);
    zq::Status st;
    EXPECT_EQ(zq::SqliteEngine::Open(path, &st), nullptr);
    EXPECT_EQ(Code(st.hr), "MOTOR");
    EXPECT_NE(st.message.find(path), std::string::npos) << st.message;
    EXPECT_GT(st.message.size(), path.size() + 10) << st.message;
  }
}

TEST_F(SqliteEngineTest, AFileThatIsNotADatabaseIsRefusedAndLeftAlone) {
  std::string content;
  for (int i = 0; i < 64; ++i) content += "Codigo;Descricao\r\nA1;Alta\r\n";
  {
    std::ofstream f(m_path, std::ios::binary);
    f << content;
  }
  zq::Status st;
  EXPECT_EQ(zq::SqliteEngine::Open(m_path, &st), nullptr);
  EXPECT_EQ(Code(st.hr), "MOTOR");
  EXPECT_NE(st.message.find("não é um banco de dados"_cp), std::string::npos) << st.message;
  EXPECT_NE(st.message.find(m_path), std::string::npos) << st.message;
  std::ifstream f(m_path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), content);
}

TEST_F(SqliteEngineTest, AFileOfANewerFormatIsRefused) {
  Open();
  const std::string newer = std::to_string(zq::SqliteEngine::kFormatVersion + 1);
  ASSERT_EQ(Raw(m_path, "UPDATE _zq_meta SET valor = " + newer + " WHERE nome = 'formato'"), "");
  zq::Status st;
  EXPECT_EQ(zq::SqliteEngine::Open(m_path, &st), nullptr);
  EXPECT_EQ(Code(st.hr), "ESQUEMA");
  EXPECT_NE(st.message.find(newer), std::string::npos) << st.message;
  EXPECT_EQ(Raw(m_path, "SELECT valor FROM _zq_meta WHERE nome = 'formato'"), newer);
}

TEST_F(SqliteEngineTest, TwoEnginesOnOneFileSeeEachOthersCommittedWrites) {
  auto a = Open();
  auto b = Open();
  auto r = Rec<CTesteSqlite1>("de A");
  ASSERT_TRUE(a->Insert(&r).ok());
  CTesteSqlite1 read;
  ASSERT_TRUE(b->Read(1, &read).ok());
  EXPECT_EQ(read.GetCodigo(), "de A");

  ASSERT_TRUE(a->Begin().ok());
  r = Rec<CTesteSqlite1>("pendente");
  ASSERT_TRUE(a->Insert(&r).ok());
  EXPECT_EQ(Keys<CTesteSqlite1>(*b), "1");  // not committed yet
  ASSERT_TRUE(a->Commit().ok());
  EXPECT_EQ(Keys<CTesteSqlite1>(*b), "1,2");

  // Keys come from the file's counter, whoever inserts.
  std::vector<std::uint32_t> keys;
  for (zq::SqliteEngine* e : {b.get(), a.get(), b.get()}) {
    auto n = Rec<CTesteSqlite1>("alternado");
    ASSERT_TRUE(e->Insert(&n).ok());
    keys.push_back(n.GetChave());
  }
  EXPECT_EQ(keys, (std::vector<std::uint32_t>{3, 4, 5}));
  ASSERT_TRUE(b->Delete(CTesteSqlite1::SchemaEstatico(), 5).ok());
  auto last = Rec<CTesteSqlite1>("depois");
  ASSERT_TRUE(a->Insert(&last).ok());
  EXPECT_EQ(last.GetChave(), 6u);

  // One engine migrates the kind while the other holds statements for the older declaration.
  CTesteSqlite2 wide;
  wide.SetCodigo("largo");
  wide.SetNivel(3);
  ASSERT_TRUE(b->Insert(&wide).ok());
  CTesteSqlite1 narrow;
  ASSERT_TRUE(a->Read(wide.GetChave(), &narrow).ok());
  EXPECT_EQ(narrow.GetCodigo(), "largo");
  EXPECT_EQ(Keys<CTesteSqlite1>(*a), "1,2,3,4,6,7");
}

}  // namespace
