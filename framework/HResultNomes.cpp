#include "framework/HResultNomes.h"

#include <algorithm>
#include <iterator>

#include "framework/BibliotecaMensagens.h"
#include "platform/types/Cp1252.h"

namespace {

struct NomeDeNumero {
  std::uint32_t numero;
  const char* nome;
};

constexpr NomeDeNumero kFacilidadesWin[] = {
#define ZQ_WIN_FACILITY(n, nome) {n, nome},
#include "framework/generated/WinErrorNomes.inc"
#undef ZQ_WIN_FACILITY
};

constexpr NomeDeNumero kErrosWin32[] = {
#define ZQ_WIN_ERROR(n, nome) {n, nome},
#include "framework/generated/WinErrorNomes.inc"
#undef ZQ_WIN_ERROR
};

constexpr NomeDeNumero kHResults[] = {
#define ZQ_WIN_HRESULT(n, nome) {n, nome},
#include "framework/generated/WinErrorNomes.inc"
#undef ZQ_WIN_HRESULT
};

constexpr NomeDeNumero kFacilidadesZQ[] = {
#define ZQ_FACILIDADE(n, codigo, modulo) {n, "ZQ_FACILITY_" #codigo "_" #modulo},
#include "framework/ZQFacilidades.def"
};

constexpr NomeDeNumero kFacilidadeItf[] = {
    {1, "DFSREL: Modelo de relatório deve ser definido para realizar a exportação"_cp},
    {2, "DFSREL: Não foi possível ler o modelo de relatório"_cp},
    {3, "DFSREL: Não buscou quantidade"_cp},
    {4, "DFSREL: Modelo de relatório já existe"_cp},
    {5, "DFSREL: Ocorreu um erro ao gravar o modelo do relatório. Por favor verifique se o "
        "arquivo não está sendo usado por outro processo ou está com o atributo de "
        "'somente leitura'"_cp},
    {6, "DFSREL: Ocorreu um erro ao criar o modelo do relatório"_cp},
    {7, "DFSREL: Servidor não foi inicializado"_cp},
    {8, "DFSREL: Modelo de relatório não foi encontrado"_cp},
    {9, "DFSREL: Ocorreu um erro ao acessar o registry"_cp},
    {10, "DFSREL: Não foi possível reconhecer o módulo informado"_cp},
    {11, "DFSREL: Arquivo já foi alterado"_cp},
    {12, "DFSREL: Esse nome de modelo de relatório é reservado para o Sistema"_cp},
    {13, "DFSREL: Relação relatório não encontrado"_cp},
    {501, "DFSPRO: Falta informar classificação"_cp},
    {502, "DFSPRO: Tipo local inválido"_cp},
    {503, "DFSPRO: Falta informar código"_cp},
    {504, "DFSPRO: Falta local título"_cp},
    {505, "DFSPRO: Registro excluído"_cp},
    {506, "DFSPRO: Subordinada sem título"_cp},
    {507, "DFSPRO: Título sem subordinada"_cp},
    {509, "DFSPRO: Classificação não cadastrada"_cp},
    {510, "DFSPRO: Classificação inexistente"_cp},
    {511, "DFSPRO: Encontrado mas tipo diferente"_cp},
    {512, "DFSPRO: Não abriu arquivo de impressão de produto"_cp},
    {1522, "DFSPRO: Já existe conta"_cp},
    {1523, "DFSPRO: Não pode alterar nível"_cp},
    {1524, "DFSPRO: Erro de conversão"_cp},
    {1525, "DFSPRO: Atingiu quantidade máxima de produtos"_cp},
    {1733, "DFSPRO: Parâmetro inválido"_cp},
    {1739, "DFSPRO: Não inicializado"_cp},
    {1750, "DFSPRO: Produto usando a grade, não pode excluir"_cp},
    {1873, "DFSPRO: Fornecedor já é associado"_cp},
    {1874, "DFSPRO: Conta não é de fornecedor"_cp},
    {1875, "DFSPRO: Unidade de medida não cadastrada"_cp},
    {1876, "DFSPRO: Tempo para reposição inválido"_cp},
    {1908, "DFSPRO: Referência fornecedor já cadastrado"_cp},
    {1978, "DFSPRO: Fornecimento não identificado"_cp},
    {1979, "DFSPRO: Gravação vigência sobreescrita"_cp},
    {2339, "DFSPRO: Código de produto com hífen"_cp},
};

constexpr bool Ordenada(const NomeDeNumero* inicio, const NomeDeNumero* fim) {
  return std::is_sorted(inicio, fim, [](const NomeDeNumero& a, const NomeDeNumero& b) {
    return a.numero < b.numero;
  });
}
static_assert(Ordenada(std::begin(kFacilidadesWin), std::end(kFacilidadesWin)));
static_assert(Ordenada(std::begin(kErrosWin32), std::end(kErrosWin32)));
static_assert(Ordenada(std::begin(kHResults), std::end(kHResults)));
static_assert(Ordenada(std::begin(kFacilidadesZQ), std::end(kFacilidadesZQ)));
static_assert(Ordenada(std::begin(kFacilidadeItf), std::end(kFacilidadeItf)));

template <std::size_t N>
const char* Busca(const NomeDeNumero (&tabela)[N], std::uint32_t numero) {
  const auto it = std::lower_bound(
      std::begin(tabela), std::end(tabela), numero,
      [](const NomeDeNumero& e, std::uint32_t n) { return e.numero < n; });
  return it != std::end(tabela) && it->numero == numero ? it->nome : nullptr;
}

}  // namespace

const char* MMDescricaoFacilityItf(int codigo) {
  return codigo < 0 ? nullptr : Busca(kFacilidadeItf, static_cast<std::uint32_t>(codigo));
}

CString MMDescricaoHResult(long hr) {
  if (MMFacility(hr) == kMMFacilityItf) {
    if (const char* texto = MMDescricaoFacilityItf(MMCodigo(hr))) return texto;
  }
  CMMBibliotecaMensagens biblioteca;
  return CString(biblioteca.DescricaoHResult(hr).value_or(""));
}

const char* MMNomeSeveridade(long hr) {
  return MMSeveridade(hr) ? "SEVERITY_ERROR" : "SEVERITY_SUCCESS";
}

const char* MMNomeFacilityZQ(int facility) {
  return facility < 0 ? nullptr : Busca(kFacilidadesZQ, static_cast<std::uint32_t>(facility));
}

const char* MMNomeFacility(int facility) {
  if (facility >= 0) {
    if (const char* nome = Busca(kFacilidadesWin, static_cast<std::uint32_t>(facility))) return nome;
    if (const char* nome = MMNomeFacilityZQ(facility)) return nome;
  }
  return "Desconhecido ou novo código de FACILITY"_cp;
}

const char* MMNomeErroWin32(int codigo) {
  const char* nome = codigo < 0 ? nullptr : Busca(kErrosWin32, static_cast<std::uint32_t>(codigo));
  return nome ? nome : "";
}

CString MMNomeCodigo(long hr) {
  const int facility = MMFacility(hr);
  // The library is what says whether a facility is the suite's; without its answer the code
  // cannot be told apart from a system error code.
  CMMBibliotecaMensagens biblioteca;
  const std::optional<bool> daSuite = biblioteca.EhFacilityMT(facility);
  if (!daSuite || facility == kMMFacilityItf || *daSuite) return CString();
  return MMNomeErroWin32(MMCodigo(hr));
}

const char* MMNomeHResult(long hr) {
  const char* nome = Busca(kHResults, MMHR32(hr));
  return nome ? nome : "";
}
