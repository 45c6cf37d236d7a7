// The JSON form of records: for a few kinds, a text that reads writes back as JSON that reads to
// the same record, and a text that does not read leaves the record as it was. The first byte
// picks the kind; the rest is the JSON text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/records/RecordJson.h"
#include "platform/records/ZQDadosMM_Manutencao.h"
#include "platform/records/ZQDadosMM_Prioridade.h"
#include "tests/support/RegistroTodos.h"

namespace {

using zqteste::Todos;

void Falha(const char* oque, const std::string& json) {
  std::fprintf(stderr, "%s\n%s\n", oque, json.c_str());
  __builtin_trap();
}

// Starts from a record with values in place, so that "left unchanged" is not just "still empty".
template <class R>
void Confere(const nlohmann::json& json, R inicial) {
  const R antes = inicial;
  if (!zq::DeJson(json, &inicial, {"registro"}).ok()) {
    if (!(inicial == antes)) Falha("a failed read changed the record", json.dump());
    return;
  }
  const std::string escrito = zq::ParaJson(inicial).dump();
  R volta;
  const zq::Status st = zq::DeJson(nlohmann::json::parse(escrito), &volta);
  if (!st.ok()) Falha(("what was written does not read back: " + st.message).c_str(), escrito);
  if (!(volta == inicial)) Falha("what was written reads back different", escrito);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  if (tamanho < 1) return -1;
  const auto json = nlohmann::json::parse(dados + 1, dados + tamanho, nullptr, false);
  if (json.is_discarded()) return -1;
  switch (dados[0] % 3) {
    case 0: {
      Todos t;
      t.SetTexto("antes");
      t.SetValor(tagCY{-15000});
      t.SetData(REG_ZQDMA::DeDiaMesAno(5, 3, 2024));
      t.SetBytes({0x00, 0xFF});
      Confere(json, t);
      break;
    }
    case 1: {
      CZQDadosMM_Prioridade p;
      p.SetPosicao(7);
      p.SetCodigo("P7");
      p.SetPrioridadeBase(3);
      Confere(json, p);
      break;
    }
    default: {
      CZQDadosMM_Manutencao m;
      m.SetRegistro(9);
      m.SetDescricao("Troca");
      CZQDadosMM_ManutencaoTarefa tarefa;
      tarefa.SetTarefa("T1");
      CZQVector<CZQDadosMM_ManutencaoTarefa> tarefas;
      tarefas.Add(tarefa);
      m.SetListaTarefa(tarefas);
      Confere(json, m);
      break;
    }
  }
  return 0;
}
