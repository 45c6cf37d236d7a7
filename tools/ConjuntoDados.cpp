#include "tools/ConjuntoDados.h"

#include <map>
#include <ostream>
#include <set>

#include <nlohmann/json.hpp>

#include "platform/records/RecordJson.h"
#include "platform/access/ZQResultados.h"
#include "platform/records/ZQTiposRegistro.h"
#include "tools/ErroHost.h"
#include "tools/JsonHost.h"

namespace zqhost {
namespace {

constexpr std::size_t kPassoProgresso = 2000;

CErroHost Invalido(const std::string& texto) { return CErroHost(kSaidaEntradaInvalida, texto); }

}  // namespace

CConjuntoDados CConjuntoDados::Le(std::string texto) {
  // Records are read as the parser meets them, so the document tree never holds them. A fault
  // in a record waits until the parse ends, to be reported in the order of the checks below:
  // the document's members first, then the kinds in the table's order.
  struct Lista {
    std::vector<Registro> comChave, semChave;
    std::set<std::uint32_t> chaves;
    std::string erro;  // the first faulty record's
  };
  std::map<const zq::RecordSchema*, Lista> listas;
  std::string ultimoTipo;
  const zq::RecordSchema* ultimo = nullptr;
  const JsonHost::Item leRegistro = [&](const std::string& tipo, std::size_t indice, nlohmann::json&& valor) {
    if (tipo != ultimoTipo) ultimoTipo = tipo, ultimo = zq::TipoRegistro(tipo);
    if (!ultimo) return;  // an unknown kind, refused below
    Lista& lista = listas[ultimo];
    if (!lista.erro.empty()) return;
    Registro r{ultimo->make(), indice};
    const zq::Status st = zq::DeJson(valor, r.dados.get());
    if (!st.ok()) {
      lista.erro = r.Origem() + ": " + Utf8(st.message);
      return;
    }
    const std::uint32_t chave = r.dados->GetChave();
    if (chave != 0 && !lista.chaves.insert(chave).second) {
      lista.erro = r.Origem() + ": a chave " + std::to_string(chave) + " de " + ultimo->kind + " aparece mais de uma vez";
      return;
    }
    (chave ? lista.comChave : lista.semChave).push_back(std::move(r));
  };
  nlohmann::json doc = JsonHost::Analisa(texto, "conjunto de dados", "registros", leRegistro);
  std::string().swap(texto);  // held no longer than the parse
  if (!doc.is_object()) throw Invalido("o conjunto de dados deve ser um objeto JSON");
  for (const auto& [membro, valor] : doc.items())
    if (membro != "formato" && membro != "registros" && membro != "descricao")
      throw Invalido(std::string("membro desconhecido no conjunto de dados: ").append(zq::Abrevia(membro)));
  const auto formato = doc.find("formato");
  if (formato == doc.end() || !formato->is_number_integer() || formato->get<long long>() != kFormato)
    throw Invalido(std::string("o conjunto de dados deve ter \"formato\": ").append(std::to_string(kFormato)));
  if (const auto d = doc.find("descricao"); d != doc.end() && !d->is_string())
    throw Invalido("\"descricao\" deve ser um texto");
  const auto registros = doc.find("registros");
  if (registros == doc.end() || !registros->is_object())
    throw Invalido("o conjunto de dados deve ter \"registros\": um objeto com uma lista por tipo");

  for (const auto& [tipo, lista] : registros->items())
    if (!zq::TipoRegistro(tipo))
      throw Invalido(std::string("tipo de registro desconhecido: ").append(zq::Abrevia(tipo)));

  CConjuntoDados conjunto;
  for (const zq::RecordSchema* schema : zq::TiposRegistro()) {
    auto membro = registros->find(schema->kind);
    if (membro == registros->end()) continue;
    if (!membro->is_array()) throw Invalido(std::string("registros.").append(schema->kind) + " deve ser uma lista");
    const auto lista = listas.find(schema);
    if (lista == listas.end()) continue;  // an empty list
    if (!lista->second.erro.empty()) throw Invalido(lista->second.erro);
    for (auto* parte : {&lista->second.comChave, &lista->second.semChave})
      for (Registro& r : *parte) conjunto.m_registros.push_back(std::move(r));
    listas.erase(lista);
  }
  return conjunto;
}

std::string CConjuntoDados::Registro::Origem() const {
  return std::string("registros.").append(dados->Schema().kind).append("[").append(std::to_string(indice)).append("]");
}

std::vector<std::pair<std::string, std::size_t>> CConjuntoDados::Contagem() const {
  std::vector<std::pair<std::string, std::size_t>> contagem;
  for (const Registro& r : m_registros) {
    const std::string tipo = r.dados->Schema().kind;
    if (contagem.empty() || contagem.back().first != tipo) contagem.emplace_back(tipo, 0);
    ++contagem.back().second;
  }
  return contagem;
}

void CConjuntoDados::Grava(zq::StorageEngine& motor, const Progresso& progresso) {
  zq::Status st = motor.Begin();
  if (!st.ok()) throw CErroHost(kSaidaFalha, std::string("não foi possível iniciar a transação: ").append(Utf8(st.message)));
  const std::size_t total = m_registros.size();
  for (std::size_t i = 0; i < total; ++i) {
    Registro& r = m_registros[i];
    st = motor.Insert(r.dados.get());
    if (!st.ok()) {
      motor.Rollback();
      const std::string porque = st.hr == ZQ_E_DUPLICADO ? "a chave já existe na empresa" : Utf8(st.message);
      throw CErroHost(kSaidaFalha, r.Origem() + ": " + porque + "; nada foi gravado");
    }
    if (progresso && (i + 1) % kPassoProgresso == 0 && i + 1 < total) progresso(i + 1, total);
  }
  st = motor.Commit();
  if (!st.ok()) {
    motor.Rollback();
    throw CErroHost(kSaidaFalha, std::string("não foi possível concluir a transação: ")
                                     .append(Utf8(st.message))
                                     .append("; nada foi gravado"));
  }
  if (progresso) progresso(total, total);
}

std::size_t CConjuntoDados::Exporta(zq::StorageEngine& motor, std::ostream& saida, const Progresso& progresso) {
  // One view for the whole export: a load committed meanwhile shows in full or not at all.
  const zq::SnapshotGuard vista(&motor);
  // Keys first, so the total is known for the progress report.
  std::vector<std::pair<const zq::RecordSchema*, std::vector<std::uint32_t>>> tipos;
  std::size_t total = 0;
  for (const zq::RecordSchema* schema : zq::TiposRegistro()) {
    std::vector<std::uint32_t> chaves;
    const zq::Status st = motor.Search(*schema, {}, &chaves);
    if (!st.ok())
      throw CErroHost(kSaidaFalha, std::string("falha ao listar ").append(schema->kind).append(": ").append(Utf8(st.message)));
    total += chaves.size();
    if (!chaves.empty()) tipos.emplace_back(schema, std::move(chaves));
  }
  saida << "{\n  \"formato\": " << kFormato << ",\n  \"registros\": {";
  std::size_t feitos = 0;
  for (std::size_t t = 0; t < tipos.size(); ++t) {
    const auto& [schema, chaves] = tipos[t];
    saida << (t ? ",\n" : "\n") << "    \"" << schema->kind << "\": [";
    for (std::size_t k = 0; k < chaves.size(); ++k) {
      auto registro = schema->make();
      const zq::Status st = motor.Read(chaves[k], registro.get());
      if (!st.ok())
        throw CErroHost(kSaidaFalha, std::string("falha ao ler ").append(Utf8(st.message)));
      saida << (k ? ",\n" : "\n") << "      " << JsonHost::Texto(zq::ParaJson(*registro));
      if (progresso && ++feitos % kPassoProgresso == 0 && feitos < total) progresso(feitos, total);
    }
    saida << "\n    ]";
  }
  saida << (tipos.empty() ? "}\n}\n" : "\n  }\n}\n");
  if (progresso) progresso(total, total);
  return total;
}

}  // namespace zqhost
