// What only the PostgreSQL engine has: a server that can drop the connection under it.
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/records/ZQRegistroMacros.h"
#include "platform/storage/PostgresEngine.h"
#include "platform/access/ZQResultados.h"
#include "platform/types/Cp1252.h"
#include "tests/support/ClusterPostgres.h"

namespace {

#define ZQ_CAMPOS_PG(F) F(Chave, std::uint32_t, zq::kKey) F(Codigo, CString, zq::kSearchable)
class CTestePostgres : public TZQBaseParaDados { ZQ_CORPO_REGISTRO(CTestePostgres, "teste_postgres", ZQ_CAMPOS_PG) };

TEST(PostgresEngineTest, ALostConnectionFailsTheCallAndItsTransactionAndTheNextCallReconnects) {
  ZQ_EXIGE_POSTGRES("postgresql");
  const std::string servidor = zqteste::ClusterPostgres::Conexao(), app = "zq_perda_" + std::to_string(getpid());
  const std::string schema = "perda_" + std::to_string(getpid());
  // Ends this engine's backend only: other test processes share the server.
  auto derruba = [&] {
    const std::string onde = " FROM pg_stat_activity WHERE application_name = '" + app + "'";
    ASSERT_EQ(zqteste::ClusterPostgres::Executa(servidor, "SELECT pg_terminate_backend(pid)" + onde), "");
    for (int i = 0; i < 100 && zqteste::ClusterPostgres::Executa(
                                   servidor, "DO $$BEGIN IF EXISTS(SELECT 1" + onde + ") THEN RAISE 'vivo'; END IF; END$$") != "";
         ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  };
  auto put = [](zq::StorageEngine& e, const char* codigo) {
    CTestePostgres r;
    r.SetCodigo(codigo);
    return e.Insert(&r);
  };
  for (const bool emTransacao : {false, true}) {
    SCOPED_TRACE(emTransacao ? "em transação" : "fora de transação");
    zq::Status st;
    auto e = zq::PostgresEngine::Open(servidor + " application_name=" + app, schema, &st);
    ASSERT_TRUE(e) << st.message;
    ASSERT_TRUE(put(*e, "A").ok());
    if (emTransacao) {
      ASSERT_TRUE(e->Begin().ok() && put(*e, "desfeito").ok());
    }
    derruba();
    st = put(*e, "B");
    EXPECT_EQ(st.hr, ZQ_E_MOTOR);
    EXPECT_NE(st.message.find("Conexão com o PostgreSQL perdida"_cp), std::string::npos) << st.message;
    if (emTransacao) {
      // Never resumed on a new connection: the transaction is gone, and says so until Rollback.
      CTestePostgres lido;
      EXPECT_EQ(e->Read(1, &lido).hr, ZQ_E_MOTOR);
      EXPECT_TRUE(e->Rollback().ok());
    }
    std::vector<std::uint32_t> chaves;
    ASSERT_TRUE(put(*e, "C").ok());
    ASSERT_TRUE(e->Search(CTestePostgres::SchemaEstatico(), {}, &chaves).ok());
    EXPECT_EQ(chaves, (std::vector<std::uint32_t>{1, 2}));
    e.reset();
    zqteste::ClusterPostgres::Executa(servidor, "DROP SCHEMA " + schema + " CASCADE");
  }
}

}  // namespace
