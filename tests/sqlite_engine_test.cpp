// What only a file-backed engine has: reopening, added columns, refused files, several connections.
#include "platform/storage/SqliteEngine.h"

#include <dlfcn.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/types/Cp1252.h"
#include "platform/records/ZQDadosMM_Tecnico.h"
#include "platform/records/ZQRegistroMacros.h"
#include "platform/access/ZQResultados.h"

namespace {

#define ZQ_CAMPOS_1(F) \
  F(Chave, std::uint32_t, zq::kKey) F(Codigo, CString, zq::kSearchable) F(Grupo, std::int32_t, 0)
#define ZQ_CAMPOS_2(F) ZQ_CAMPOS_1(F) F(Nivel, std::uint16_t, zq::kSearchable) F(Obs, CString, 0)
class CTesteSqlite1 : public TZQBaseParaDados { ZQ_CORPO_REGISTRO(CTesteSqlite1, "teste_sqlite", ZQ_CAMPOS_1) };
class CTesteSqlite2 : public TZQBaseParaDados { ZQ_CORPO_REGISTRO(CTesteSqlite2, "teste_sqlite", ZQ_CAMPOS_2) };

CTesteSqlite1 Rec(const char* codigo, std::int32_t grupo = 0, std::uint32_t chave = 0) {
  CTesteSqlite1 r;
  r.SetChave(chave);
  r.SetCodigo(codigo);
  r.SetGrupo(grupo);
  return r;
}

// Another program on the file, through the engine's SQLite library: each row's first column, "|"-joined.
std::string Raw(const std::string& path, const std::string& sql) {
  void* lib = dlopen("libsqlite3.so.0", RTLD_NOW);
  if (!lib) return "erro: sem libsqlite3";
#define ZQ_SQLITE(funcao) reinterpret_cast<decltype(&funcao)>(dlsym(lib, #funcao))
  auto linha = [](void* p, int, char** valores, char**) {
    auto& s = *static_cast<std::string*>(p);
    s.append(s.empty() ? "" : "|").append(valores[0] ? valores[0] : "NULL");
    return 0;
  };
  sqlite3* db = nullptr;
  std::string out;
  char* erro = nullptr;
  ZQ_SQLITE(sqlite3_open)(path.c_str(), &db);
  if (ZQ_SQLITE(sqlite3_exec)(db, sql.c_str(), linha, &out, &erro) != SQLITE_OK)
    out = std::string("erro: ") + (erro ? erro : "?");
  ZQ_SQLITE(sqlite3_free)(erro);
  ZQ_SQLITE(sqlite3_close)(db);
#undef ZQ_SQLITE
  dlclose(lib);
  return out;
}

class SqliteEngineTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((m_path + suffix).c_str());
  }

  std::unique_ptr<zq::SqliteEngine> Open() {
    zq::Status st;
    auto e = zq::SqliteEngine::Open(m_path, &st);
    EXPECT_TRUE(e && st.ok()) << st.message;
    return e;
  }

  static void Refused(const std::string& path, long hr, std::initializer_list<std::string> parts) {
    zq::Status st;
    EXPECT_EQ(zq::SqliteEngine::Open(path, &st), nullptr);
    EXPECT_EQ(st.hr, hr);
    for (const std::string& part : parts) EXPECT_NE(st.message.find(part), std::string::npos) << st.message;
  }

  template <class R>
  static std::uint32_t Put(zq::StorageEngine& e, R r) {
    EXPECT_TRUE(e.Insert(&r).ok());
    return r.GetChave();
  }

  static std::string Keys(zq::StorageEngine& e) {
    std::vector<std::uint32_t> keys;
    e.Search(CTesteSqlite1::SchemaEstatico(), {}, &keys);
    std::string out;
    for (std::uint32_t k : keys) out += std::to_string(k);
    return out;
  }

  const std::string m_path = ::testing::TempDir() + "sqlite_" + std::to_string(getpid()) + ".db";
};

TEST_F(SqliteEngineTest, ReopeningKeepsRecordsAndKeyCounters) {
  for (const char* c : {"A", "B", "C"}) Put(*Open(), Rec(c, 7));
  ASSERT_TRUE(Open()->Delete(CTesteSqlite1::SchemaEstatico(), 3).ok());
  EXPECT_EQ(Raw(m_path, "PRAGMA journal_mode"), "wal");
  auto e = Open();
  CTesteSqlite1 r;
  ASSERT_TRUE(e->Read(2, &r).ok());
  EXPECT_EQ(std::string(r.GetCodigo().Str()) + std::to_string(r.GetGrupo()), "B7");
  EXPECT_EQ(Put(*e, Rec("D")), 4u);  // 3 was deleted before closing, and stays used
}

// The file keeps the added column, indexed, across reopening by either program version.
TEST_F(SqliteEngineTest, AFieldDeclaredLaterIsAddedToAnOldFile) {
  for (const char* c : {"A", "B"}) Put(*Open(), Rec(c));
  CTesteSqlite2 r;
  ASSERT_TRUE(Open()->Read(2, &r).ok());
  r.SetNivel(65535), r.SetObs("nova");
  ASSERT_TRUE(Open()->Update(r).ok());
  EXPECT_EQ(Raw(m_path, "SELECT tipo_campo FROM _zq_colunas WHERE tipo='teste_sqlite' AND nome='Nivel';"
                        "SELECT count(*) FROM sqlite_master WHERE type='index' AND sql LIKE '%teste_sqlite%Nivel%'"),
            "uint16|1");
  ASSERT_TRUE(Open()->Update(Rec("B2", 0, 2)).ok());
  ASSERT_TRUE(Open()->Read(2, &r).ok());
  EXPECT_EQ(std::string(r.GetCodigo().Str()) + " " + std::to_string(r.GetNivel()) + " " + r.GetObs().Str(),
            "B2 65535 nova");
}

// A file made before the discipline list was searchable has no items table: read-only it is
// searched by decoding, and the first writable open makes and fills the table.
TEST_F(SqliteEngineTest, AnOldFileGetsItsItemsTable) {
  for (std::uint32_t d : {5u, 6u, 5u}) {
    CZQDadosMM_Tecnico t;
    CZQDadosMM_TecnicoDisciplina item;
    item.SetPonteiroDisciplina(d);
    t.AdicionaDisciplina(item);
    Put(*Open(), t);
  }
  ASSERT_EQ(Raw(m_path, "DROP TABLE tecnico__ListaDisciplina__itens; DELETE FROM _zq_meta WHERE nome LIKE 'itens:%'"), "");
  const zq::RecordSchema& s = CZQDadosMM_Tecnico::SchemaEstatico();
  const zq::Predicate p{static_cast<std::size_t>(s.Find("ListaDisciplina")), zq::Match::kIgual, std::int64_t{5},
                        static_cast<std::size_t>(CZQDadosMM_TecnicoDisciplina::SchemaEstatico().Find("PonteiroDisciplina"))};
  std::string found;
  for (auto modo : {zq::SqliteEngine::Modo::kLeitura, zq::SqliteEngine::Modo::kExistente}) {
    zq::Status st;
    std::vector<std::uint32_t> keys;
    ASSERT_TRUE(zq::SqliteEngine::Open(m_path, &st, modo)->Search(s, {p}, &keys).ok()) << st.message;
    for (std::uint32_t k : keys) found += std::to_string(k);
    found += "|";
  }
  EXPECT_EQ(found + Raw(m_path, "SELECT count(*) FROM tecnico__ListaDisciplina__itens WHERE CAST(item AS TEXT) = 'PonteiroDisciplina'"),
            "13|13|3");
}

TEST_F(SqliteEngineTest, AStoredValueOfTheWrongTypeIsASchemaErrorNamingTheField) {
  Put(*Open(), Rec("A"));
  for (const char* assignment :
       {"Grupo = 'texto'", "Grupo = 1.5", "Grupo = x'01'", "Grupo = 4294967296", "Codigo = 12"}) {
    SCOPED_TRACE(assignment);
    ASSERT_EQ(Raw(m_path, std::string("UPDATE teste_sqlite SET Grupo = 5, Codigo = x'41', ").append(assignment)), "");
    auto r = Rec("antes", 9);
    const zq::Status st = Open()->Read(1, &r);
    EXPECT_EQ(st.hr, ZQ_E_ESQUEMA);
    EXPECT_NE(st.message.find(std::string(assignment, std::strchr(assignment, ' '))), std::string::npos) << st.message;
    EXPECT_EQ(std::string(r.GetCodigo().Str()) + std::to_string(r.GetGrupo()), "antes9");
  }
}

TEST_F(SqliteEngineTest, FilesThatCannotBeOpenedAreRefusedAndLeftAlone) {
  for (const std::string& path : {std::string(), std::string("/zq-inexistente/dir/empresa.db"), ::testing::TempDir()})
    Refused(path, ZQ_E_MOTOR, {path});
  std::ofstream(m_path, std::ios::binary) << std::string(1000, ';');
  Refused(m_path, ZQ_E_MOTOR, {"não é um banco de dados"_cp, m_path});
  EXPECT_EQ(std::filesystem::file_size(m_path), 1000u);
  std::remove(m_path.c_str());
  Open();
  const std::string newer = std::to_string(zq::SqliteEngine::kFormatVersion + 1);
  ASSERT_EQ(Raw(m_path, "UPDATE _zq_meta SET valor = " + newer + " WHERE nome = 'formato'"), "");
  Refused(m_path, ZQ_E_ESQUEMA, {newer});
  EXPECT_EQ(Raw(m_path, "SELECT valor FROM _zq_meta WHERE nome = 'formato'"), newer);
}

TEST_F(SqliteEngineTest, TwoEnginesOnOneFileSeeEachOthersCommittedWrites) {
  auto a = Open(), b = Open();
  Put(*a, Rec("de A"));
  ASSERT_TRUE(a->Begin().ok());
  Put(*a, Rec("pendente"));
  EXPECT_EQ(Keys(*b), "1");  // not committed yet
  ASSERT_TRUE(a->Commit().ok());
  EXPECT_EQ(Keys(*b), "12");
  // Keys come from the file's counter, whoever inserts, and one deleted by the other stays used.
  std::string keys;
  for (zq::SqliteEngine* e : {b.get(), a.get(), b.get()}) keys += std::to_string(Put(*e, Rec("alternado")));
  ASSERT_TRUE(b->Delete(CTesteSqlite1::SchemaEstatico(), 5).ok());
  EXPECT_EQ(keys + std::to_string(Put(*a, Rec("alternado"))), "3456");
  // One engine migrates the kind while the other holds statements for the older declaration.
  CTesteSqlite1 read;
  ASSERT_TRUE(a->Read(Put(*b, CTesteSqlite2()), &read).ok());
  EXPECT_EQ(Keys(*a), "123467");
}

}  // namespace
