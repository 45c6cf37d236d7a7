// Checks two priorities through the installed rules library, in a company kept in memory: a new
// code is accepted trimmed, a code already stored is refused with warning 28/10/1. Exit 0 only on
// exactly those answers.
#include <cstdio>
#include <cstdlib>

#include "platform/storage/ZQEmpresas.h"
#include "registers/MMTrataDadosPrioridade.h"

namespace {

CZQDadosMM_Prioridade Prioridade(const char* codigo) {
  CZQDadosMM_Prioridade p;
  p.SetCodigo(codigo);
  p.SetDescricao("Alta");
  p.SetPrioridadeBase(90);
  return p;
}

}  // namespace

int main() {
  // No registry file of the machine's is read.
  ::setenv("ZQ_REGISTRO", "/nonexistent/registro.ini", 1);
  if (!CZQEmpresas::Registra("CONSUMIDOR", {.motor = "memoria"}).ok()) return 2;
  auto empresa = CZQEmpresas::Abre("CONSUMIDOR");
  CZQDadosMM_Prioridade gravada = Prioridade("P1");
  if (!empresa || !empresa->Motor().Insert(&gravada).ok()) return 2;

  CMMTrataDadosPrioridade handler;
  if (handler.Inicializa("CONSUMIDOR", 1, 1) != 0) return 2;
  CZQDadosMM_Prioridade nova = Prioridade(" P2 ");
  const int aceita = handler.TrataGravacao(&nova, nullptr);
  const bool novaOk = aceita == 1 && nova.GetCodigo() == "P2";
  CZQDadosMM_Prioridade repetida = Prioridade(" P1 ");
  const int recusada = handler.TrataGravacao(&repetida, nullptr);
  const CZQDadosDF_Erro& erro = handler.GetErro();
  const bool repetidaOk = recusada == 0 && erro.GetModulo() == 28 && erro.GetCodigoErro() == 10 &&
                          erro.GetCodigoCampo() == 1;
  std::printf("P2 %s, P1 %s\n", novaOk ? "aceita" : "ERRADA", repetidaOk ? "recusada (28/10/1)" : "ERRADA");
  return novaOk && repetidaOk ? 0 : 1;
}
