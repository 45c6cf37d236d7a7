#include "platform/records/ZQDadosMM_NomesManutencao.h"

#include <cstddef>

#include "platform/types/Cp1252.h"

namespace {

struct Nome {
  unsigned char valor;
  const char* texto;
};

constexpr Nome kSituacoes[] = {
    {1, "Pendente"},           {2, "Aberta"},     {4, "Em execução"_cp}, {8, "Encerrada"},
    {16, "Cancelada"},         {32, "Paralisada"}, {64, "Reprogramada"},
};

constexpr Nome kTipos[] = {
    {1, "Preventiva"}, {2, "Corretiva"}, {3, "Preditiva"}, {4, "Melhoria"},
};

template <std::size_t N>
const char* Procura(const Nome (&tabela)[N], unsigned char valor) {
  for (const Nome& n : tabela)
    if (n.valor == valor) return n.texto;
  return "";
}

}  // namespace

namespace ZQDadosMM::Manutencao {

const char* GetNomeSituacao(unsigned char situacao) { return Procura(kSituacoes, situacao); }
const char* GetNomeTipo(unsigned char tipo) { return Procura(kTipos, tipo); }

}  // namespace ZQDadosMM::Manutencao
