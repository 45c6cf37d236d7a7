#include "tools/ComandosOperar.h"

#include <functional>
#include <iostream>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/records/RecordJson.h"
#include "platform/storage/ZQEmpresas.h"
#include "tools/ErroHost.h"
#include "tools/JsonHost.h"
#include "tools/LocaisHost.h"

namespace zqhost {
namespace {

constexpr long kSessaoHost = 1;

[[noreturn]] void EntradaInvalida(const std::string& texto) { throw CErroHost(kSaidaEntradaInvalida, texto); }

const nlohmann::json& Membro(const nlohmann::json& entrada, const char* nome) {
  if (!entrada.contains(nome)) EntradaInvalida(std::string("falta o argumento \"").append(nome).append("\""));
  return entrada.at(nome);
}

template <class T>
T LeRegistro(const nlohmann::json& json, const char* nome) {
  T registro;
  if (!json.is_object()) EntradaInvalida(std::string("\"").append(nome).append("\" deve ser um objeto"));
  if (const zq::Status st = zq::DeJson(json, &registro); !st.ok())
    EntradaInvalida(std::string(nome).append(": ").append(Utf8(st.message)));
  return registro;
}

template <class T>
T LeNumero(const nlohmann::json& json, const char* nome) {
  using N = typename std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>, std::type_identity<T>>::type;
  const bool cabe = json.is_number_unsigned()  ? std::in_range<N>(json.get<std::uint64_t>())
                    : json.is_number_integer() ? std::in_range<N>(json.get<std::int64_t>())
                                               : false;
  if (!cabe) EntradaInvalida(std::string("\"").append(nome).append("\": número inteiro fora do alcance"));
  return static_cast<T>(json.is_number_unsigned() ? static_cast<N>(json.get<std::uint64_t>())
                                                  : static_cast<N>(json.get<std::int64_t>()));
}

template <class Item, class Le>
CZQVector<Item> LeVetor(const nlohmann::json& json, const char* nome, Le le) {
  if (!json.is_array()) EntradaInvalida(std::string("\"").append(nome).append("\" deve ser uma lista"));
  CZQVector<Item> v;
  for (const auto& item : json) v.Add(le(item, nome));
  return v;
}

// A record handed to an operation that takes it by reference or by pointer.
template <class T>
struct Referencia {
  T& valor;
  operator T&() const { return valor; }  // NOLINT: either form of the parameter
  operator T*() const { return &valor; }  // NOLINT
};

template <class T>
struct Registro {
  const char* nome;
  static constexpr const char* kForma = "registro";
  using Valor = T;
  T Le(const nlohmann::json& e) const { return LeRegistro<T>(Membro(e, nome), nome); }
  static Referencia<T> Passa(T& v) { return {v}; }
  static nlohmann::ordered_json Escreve(const T& v) { return zq::ParaJson(v); }
};

template <class T>
struct Lista {
  const char* nome;
  static constexpr const char* kForma = "lista";
  using Valor = CZQVector<T>;
  Valor Le(const nlohmann::json& e) const { return LeVetor<T>(Membro(e, nome), nome, LeRegistro<T>); }
  static Referencia<Valor> Passa(Valor& v) { return {v}; }
  static nlohmann::ordered_json Escreve(const Valor& v) {
    nlohmann::ordered_json lista = nlohmann::ordered_json::array();
    for (const T& item : v) lista.push_back(zq::ParaJson(item));
    return lista;
  }
};

template <class T>
struct Inteiro {
  const char* nome;
  static constexpr const char* kForma = "inteiro";
  using Valor = T;
  T Le(const nlohmann::json& e) const { return LeNumero<T>(Membro(e, nome), nome); }
  static T Passa(T v) { return v; }
};

template <class T>
struct Inteiros {
  const char* nome;
  static constexpr const char* kForma = "inteiros";
  using Valor = CZQVector<T>;
  Valor Le(const nlohmann::json& e) const { return LeVetor<T>(Membro(e, nome), nome, LeNumero<T>); }
  static Valor& Passa(Valor& v) { return v; }
};

struct Nenhum {
  const char* nome = nullptr;
  static constexpr const char* kForma = nullptr;
  using Valor = std::nullptr_t;
  std::nullptr_t Le(const nlohmann::json&) const { return nullptr; }
  static std::nullptr_t Passa(std::nullptr_t) { return nullptr; }
};

struct COperacao {
  const char* classe;
  const char* nome;
  std::string argumentos;  // "tecnico (registro), disciplina (registro)"
  // Reads the arguments, runs the operation on an initialised handler and prints the result.
  std::function<int(const std::string& empresa, const nlohmann::json& entrada, unsigned short usuario)> roda;
};

template <class Tratador>
void Inicializa(Tratador& tratador, const std::string& empresa, unsigned short usuario) {
  if (tratador.Inicializa(empresa.c_str(), usuario, kSessaoHost) != 0)
    throw CErroHost(kSaidaFalha, std::string("não foi possível inicializar o tratamento de dados: ")
                                     .append(Utf8(tratador.GetErro().GetMensagem().View())));
}

template <class Tratador, class Metodo, class... Args>
COperacao Operacao(const char* classe, const char* nome, Metodo metodo, Args... args) {
  std::string descricao;
  auto descreve = [&](const auto& arg) {
    if (!arg.kForma) return;
    descricao.append(descricao.empty() ? "" : ", ").append(arg.nome).append(" (").append(arg.kForma).append(")");
  };
  (descreve(args), ...);
  auto roda = [=](const std::string& empresa, const nlohmann::json& entrada, unsigned short usuario) {
    if (!entrada.is_object()) EntradaInvalida("os argumentos devem ser um objeto JSON");
    std::tuple<typename Args::Valor...> valores{args.Le(entrada)...};
    Tratador tratador;
    Inicializa(tratador, empresa, usuario);
    const CZQDadosDF_Erro& erro = std::apply(
        [&](auto&... v) -> CZQDadosDF_Erro& { return (tratador.*metodo)(Args::Passa(v)...); }, valores);
    if (!erro.EhErroNenhum()) {
      std::cout << JsonHost::Texto(CTratadores::AvisoJson(erro), 2) << "\n";
      return static_cast<int>(kSaidaRecusado);
    }
    nlohmann::ordered_json saida = nlohmann::ordered_json::object();
    std::apply(
        [&](const auto&... v) {
          auto escreve = [&](const auto& arg, const auto& valor) {
            if constexpr (requires { arg.Escreve(valor); }) saida[arg.nome] = arg.Escreve(valor);
          };
          (escreve(args, v), ...);
        },
        valores);
    std::cout << JsonHost::Texto(saida, 2) << "\n";
    return static_cast<int>(kSaidaOk);
  };
  return {classe, nome, descricao, roda};
}

const std::vector<COperacao>& Operacoes() {
#define ZQMM_OPERACAO(Tratador, Metodo, ...) \
  Operacao<Tratador>(#Tratador, #Metodo, &Tratador::Metodo, __VA_ARGS__),
  static const std::vector<COperacao> operacoes = {ZQMM_OPERACOES(ZQMM_OPERACAO)};
#undef ZQMM_OPERACAO
  return operacoes;
}

const COperacao& Encontra(const std::string& nome) {
  const COperacao* achada = nullptr;
  for (const COperacao& op : Operacoes()) {
    if (nome == std::string(op.classe).append("::").append(op.nome)) return op;
    if (nome != op.nome) continue;
    if (achada)
      EntradaInvalida(std::string("operação ambígua: ").append(nome).append(" (use Classe::").append(nome) + ")");
    achada = &op;
  }
  if (!achada) EntradaInvalida(std::string("operação desconhecida: ").append(nome).append(" (zqmm operar --help)"));
  return *achada;
}

}  // namespace

int CComandosOperar::Opera(const std::string& empresa, const std::string& operacao, const std::string& arquivo,
                           unsigned short usuario) {
  const COperacao& op = Encontra(operacao);
  CLocaisHost::ExigeEmpresa(empresa);
  const nlohmann::json entrada = JsonHost::Analisa(JsonHost::LeEntrada(arquivo), "argumentos");
  zq::Status st;
  if (!CZQEmpresas::Abre(empresa, &st))
    throw CErroHost(kSaidaFalha, std::string("não foi possível abrir a empresa ")
                                     .append(empresa)
                                     .append(": ")
                                     .append(Utf8(st.message)));
  return op.roda(empresa, entrada, usuario);
}

std::string CComandosOperar::Lista() {
  std::string lista = "\nOperações (argumentos: membros do objeto JSON):\n";
  for (const COperacao& op : Operacoes())
    lista.append("  ").append(op.nome).append(" (").append(op.classe).append("): ").append(op.argumentos).append("\n");
  return lista;
}

}  // namespace zqhost
