#include "tools/Comandos.h"

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include <unistd.h>

#include "platform/access/ZQResultados.h"
#include "platform/routines/AutoRun.h"
#include "platform/records/RecordJson.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/storage/ZQEmpresas.h"
#include "platform/mail/ZQMensagemEmail.h"
#include "platform/system/ZQRegistro.h"
#include "platform/system/ZQRelogio.h"
#include "platform/records/ZQTiposRegistro.h"
#include "tools/ArquivoRegistro.h"
#include "tools/ComandosIntegridade.h"
#include "tools/ConjuntoDados.h"
#include "tools/ErroHost.h"
#include "tools/JsonHost.h"
#include "tools/LocaisHost.h"
#include "tools/Tratadores.h"

namespace zqhost {
namespace {

namespace fs = std::filesystem;

constexpr long kSessaoHost = 1;

std::string ComBarra(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// Commands that only read open the database read-only, so they work on a company whose file
// or folder cannot be written (a copy, a backup, another user's company).
std::shared_ptr<CZQConexaoEmpresa> AbreEmpresa(const std::string& empresa, zq::AberturaBanco abertura) {
  CLocaisHost::ExigeEmpresa(empresa);
  zq::Status st;
  auto conexao = CZQEmpresas::Abre(empresa, &st, abertura);
  if (!conexao)
    throw CErroHost(kSaidaFalha, std::string("não foi possível abrir a empresa ")
                                     .append(empresa)
                                     .append(": ")
                                     .append(Utf8(st.message)));
  return conexao;
}

// Progress of long work on standard error: nothing for work that ends within a second, then
// one line a second at most.
class CProgresso {
 public:
  explicit CProgresso(const char* oque) : m_oque(oque), m_inicio(Relogio::now()), m_ultimo(m_inicio) {}
  void operator()(std::size_t feitos, std::size_t total) {
    const auto agora = Relogio::now();
    if (feitos < total && (agora - m_inicio < std::chrono::seconds(1) || agora - m_ultimo < std::chrono::seconds(1)))
      return;
    if (feitos == total && !m_mostrou) return;
    m_ultimo = agora;
    m_mostrou = true;
    std::cerr << "zqmm: " << m_oque << ": " << feitos << " de " << total << " registros ("
              << (total ? feitos * 100 / total : 100) << "%)" << std::endl;
  }

 private:
  using Relogio = std::chrono::steady_clock;
  const char* m_oque;
  Relogio::time_point m_inicio, m_ultimo;
  bool m_mostrou = false;
};

// Whether a libpq connection string carries a password (keyword or URI user:password@).
bool TemSenha(const std::string& conexao) {
  std::string minusculo = conexao;
  for (char& c : minusculo) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (minusculo.find("password") != std::string::npos) return true;
  const std::size_t esquema = minusculo.find("://");
  if (esquema == std::string::npos) return false;
  const std::string autoridade = minusculo.substr(esquema + 3, minusculo.find_first_of("/?", esquema + 3) - esquema - 3);
  const std::size_t arroba = autoridade.rfind('@');
  return arroba != std::string::npos && autoridade.substr(0, arroba).find(':') != std::string::npos;
}

}  // namespace

int CComandos::CriaEmpresa(const std::string& empresa, const std::string& dadosOpcao, const std::string& motorOpcao,
                           const std::string& relatorios, const std::string& conexao) {
  CLocaisHost::ValidaNome(empresa);
  const std::string motor = motorOpcao == "postgres" ? "postgresql" : motorOpcao;
  const bool postgres = motor == "postgresql";
  if (postgres != !conexao.empty())
    throw CErroHost(kSaidaEntradaInvalida, postgres ? "--motor postgresql pede --conexao \"host=... dbname=...\""
                                                    : "--conexao vale só com --motor postgresql");
  if (postgres && TemSenha(conexao))
    throw CErroHost(kSaidaEntradaInvalida,
                    "a senha não vai na linha de comando: use o arquivo de senhas do libpq (~/.pgpass) ou "
                    "escreva-a à mão na seção da empresa no registro");
  const CArquivoRegistro registro(CZQRegistro::Arquivo());
  if (auto existente = CLocaisHost::LeEmpresa(empresa))
    throw CErroHost(kSaidaFalha, std::string("a empresa ")
                                     .append(empresa)
                                     .append(" já existe em ")
                                     .append(registro.Caminho().string())
                                     .append(" (banco ")
                                     .append(existente->banco)
                                     .append(")"));
  const fs::path dados = fs::absolute(dadosOpcao.empty() ? CLocaisHost::DadosPadrao(empresa) : fs::path(dadosOpcao))
                             .lexically_normal();
  std::error_code ec;
  fs::create_directories(dados, ec);
  if (ec)
    throw CErroHost(kSaidaFalha, std::string("não foi possível criar ").append(dados.string()).append(": ").append(ec.message()));
  const fs::path banco = dados / (empresa + ".db");
  if (!postgres && fs::exists(banco, ec))
    throw CErroHost(kSaidaFalha, std::string("o banco ").append(banco.string()).append(" já existe; escolha outro --dados"));
  fs::path pastaRelatorios;
  if (!relatorios.empty()) {
    pastaRelatorios = fs::absolute(relatorios).lexically_normal();
    if (!fs::is_directory(pastaRelatorios, ec))
      throw CErroHost(kSaidaEntradaInvalida,
                      std::string("--relatorios: ").append(pastaRelatorios.string()).append(" não é uma pasta"));
  }

  zq::EmpresaConfig config;
  config.motor = motor;
  // On PostgreSQL a schema that already holds the company is joined: hosts share its server.
  config.banco = postgres ? conexao : banco.string();
  config.dados = ComBarra(dados.string());
  const zq::Status st = CZQEmpresas::Registra(empresa, config);
  if (!st.ok()) throw CErroHost(kSaidaFalha, std::string("não foi possível criar o banco: ").append(Utf8(st.message)));
  registro.Define(CLocaisHost::ChaveEmpresa(empresa), {{"Motor", config.motor}, {"Banco", config.banco}, {"Dados", config.dados}});
  if (!pastaRelatorios.empty())
    registro.Define(CZQRegistro::kRaiz, {{"Relatorios", ComBarra(pastaRelatorios.string())}});

  std::cout << "empresa " << empresa << " criada\n"
            << "  banco       " << config.banco << " (" << config.motor << ")\n"
            << "  dados       " << config.dados << "\n"
            << "  registro    " << registro.Caminho().string() << "\n";
  if (!pastaRelatorios.empty()) std::cout << "  relatorios  " << ComBarra(pastaRelatorios.string()) << "\n";
  return kSaidaOk;
}

int CComandos::ConfiguraEmail(const std::string& empresa, const OpcoesEmail& o) {
  const CLocaisHost::Empresa e = CLocaisHost::ExigeEmpresa(empresa);
  if (!CZQMensagemEmail::EnderecoValido(o.remetente))
    throw CErroHost(kSaidaEntradaInvalida, std::string("--remetente: endereço inválido: ").append(o.remetente));
  std::vector<std::pair<std::string, std::string>> valores{
      {"Remetente", o.remetente}, {"Servidor", o.servidor}, {"TLS", o.tls ? "1" : "0"}, {"Usuario", o.usuario}};
  valores.emplace_back("Porta", o.porta ? std::to_string(o.porta) : std::string());
  valores.emplace_back("Saida", o.saida.empty() ? std::string() : ComBarra(fs::absolute(o.saida).lexically_normal().string()));
  CArquivoRegistro(CZQRegistro::Arquivo()).Define(CZQContaEmail::Chave(empresa), valores);
  const auto conta = CZQContaEmail::Le(empresa, e.dados);
  if (!conta) throw CErroHost(kSaidaFalha, "a conta gravada não pôde ser lida de volta");
  std::cout << "conta de e-mail de " << empresa << "\n  remetente   " << conta->remetente << "\n";
  if (conta->servidor.empty())
    std::cout << "  envio       caixa de saída " << conta->saida << "\n";
  else
    std::cout << "  envio       SMTP " << conta->servidor << ":" << conta->porta << (conta->tls ? " com TLS" : "") << "\n";
  return kSaidaOk;
}

int CComandos::ListaEmpresas() {
  const CArquivoRegistro registro(CZQRegistro::Arquivo());
  const auto nomes = registro.Subchaves(std::string(CZQRegistro::kRaiz).append("\\Empresas"));
  if (nomes.empty()) std::cerr << "zqmm: nenhuma empresa em " << registro.Caminho().string() << "\n";
  for (const std::string& nome : nomes) {
    const auto e = CLocaisHost::LeEmpresa(nome);
    std::cout << nome << "\t" << (e ? e->motor : "?") << "\t" << (e ? e->banco : "") << "\n";
  }
  return kSaidaOk;
}

int CComandos::Onde(const std::string& empresa) {
  const CLocaisHost::Empresa e = CLocaisHost::ExigeEmpresa(empresa);
  AbreEmpresa(empresa, zq::AberturaBanco::kLeitura);  // a file that is no company database is an error here too
  const auto conta = CZQContaEmail::Le(empresa, e.dados);
  const std::string relatorios = CLocaisHost::Relatorios();
  std::cout << "empresa     " << empresa << "\n"
            << "registro    " << CZQRegistro::Arquivo() << " [" << CLocaisHost::ChaveEmpresa(empresa) << "]\n"
            << "banco       " << e.banco << " (" << e.motor << ")\n"
            << "dados       " << e.dados << "\n"
            << "mensagens   " << CLocaisHost::Mensagens() << "\n"
            << "relatorios  " << (relatorios.empty() ? "(não configurada: os alertas não rodam)" : relatorios) << "\n";
  if (!conta)
    std::cout << "e-mail      (sem conta: zqmm empresa email " << empresa << " --remetente ...)\n";
  else if (conta->servidor.empty())
    std::cout << "e-mail      " << conta->remetente << ", caixa de saída " << conta->saida << "\n";
  else
    std::cout << "e-mail      " << conta->remetente << ", SMTP " << conta->servidor << ":" << conta->porta << "\n";
  std::cout << "log         " << CAutoRun::ArquivoLog(empresa, CZQRelogio::Agora()) << "\n";
  return kSaidaOk;
}

int CComandos::Tipos() {
  for (const zq::RecordSchema* schema : zq::TiposRegistro()) {
    const char* tratador = CTratadores::Nome(*schema);
    std::cout << schema->kind << "\t" << (tratador ? tratador : "(sem tratamento próprio: aviso 162)") << "\n";
  }
  return kSaidaOk;
}

int CComandos::Carrega(const std::string& empresa, const std::string& arquivo) {
  CLocaisHost::ExigeEmpresa(empresa);
  CConjuntoDados conjunto = CConjuntoDados::Le(JsonHost::LeEntrada(arquivo));
  auto conexao = AbreEmpresa(empresa, zq::AberturaBanco::kExistente);
  CProgresso progresso("carregar");
  conjunto.Grava(conexao->Motor(), std::ref(progresso));
  std::cout << conjunto.Quantidade() << " registros carregados em " << empresa;
  const char* separador = ": ";
  for (const auto& [tipo, n] : conjunto.Contagem()) {
    std::cout << separador << tipo << " " << n;
    separador = ", ";
  }
  std::cout << "\n";
  return kSaidaOk;
}

int CComandos::Exporta(const std::string& empresa, const std::string& arquivo) {
  auto conexao = AbreEmpresa(empresa, zq::AberturaBanco::kLeitura);
  CProgresso progresso("exportar");
  if (arquivo.empty() || arquivo == "-") {
    CConjuntoDados::Exporta(conexao->Motor(), std::cout, std::ref(progresso));
    std::cout.flush();
    if (!std::cout) throw CErroHost(kSaidaFalha, "falha ao escrever na saída padrão");
    return kSaidaOk;
  }
  // A complete file or none: write beside it, then rename over it.
  const fs::path destino = fs::absolute(arquivo);
  const fs::path temporario = destino.string() + ".tmp" + std::to_string(static_cast<long>(::getpid()));
  std::size_t n = 0;
  std::error_code ec;
  {
    std::ofstream out(temporario, std::ios::binary | std::ios::trunc);
    if (!out) throw CErroHost(kSaidaFalha, std::string("não foi possível criar ").append(temporario.string()));
    try {
      n = CConjuntoDados::Exporta(conexao->Motor(), out, std::ref(progresso));
    } catch (...) {
      out.close();
      fs::remove(temporario, ec);
      throw;
    }
    out.flush();
    if (!out) {
      fs::remove(temporario, ec);
      throw CErroHost(kSaidaFalha, std::string("falha ao gravar ").append(destino.string()));
    }
  }
  fs::rename(temporario, destino, ec);
  if (ec) {
    fs::remove(temporario, ec);
    throw CErroHost(kSaidaFalha, std::string("falha ao gravar ").append(destino.string()));
  }
  std::cerr << "zqmm: " << n << " registros de " << empresa << " exportados para " << destino.string() << "\n";
  return kSaidaOk;
}

namespace {

const zq::RecordSchema& ExigeTipo(const std::string& tipo) {
  const zq::RecordSchema* schema = zq::TipoRegistro(tipo);
  if (!schema)
    throw CErroHost(kSaidaEntradaInvalida,
                    std::string("tipo de registro desconhecido: ").append(zq::Abrevia(tipo)).append(" (zqmm tipos lista os tipos)"));
  return *schema;
}

std::unique_ptr<TZQBaseParaDados> LeRegistro(const zq::RecordSchema& schema, const std::string& arquivo) {
  const nlohmann::json json = JsonHost::Analisa(JsonHost::LeEntrada(arquivo), "registro");
  std::unique_ptr<TZQBaseParaDados> registro = schema.make();
  const zq::Status lido = zq::DeJson(json, registro.get());
  if (!lido.ok()) throw CErroHost(kSaidaEntradaInvalida, Utf8(lido.message));
  return registro;
}

std::unique_ptr<CMMTrataDados> CriaTratador(const zq::RecordSchema& schema, const std::string& empresa,
                                            unsigned short usuario, bool* proprio) {
  std::unique_ptr<CMMTrataDados> tratador = CTratadores::Cria(schema, proprio);
  if (tratador->Inicializa(empresa.c_str(), usuario, kSessaoHost) != 0)
    throw CErroHost(kSaidaFalha, std::string("não foi possível inicializar o tratamento de dados: ")
                                     .append(Utf8(tratador->GetErro().GetMensagem().View())));
  return tratador;
}

int Recusado(const CMMTrataDados& tratador, bool proprio, const std::string& tipo) {
  if (!proprio)
    std::cerr << "zqmm: " << tipo << " não tem tratamento de dados próprio no módulo; a base responde 162\n";
  std::cout << JsonHost::Texto(CTratadores::AvisoJson(tratador.GetErro()), 2) << "\n";
  return kSaidaRecusado;
}

// The stamp the record-changed check compares; every kind that has one gives it this name. The
// check sees whole seconds, so a save within the second of the last one moves the stamp a second
// past it: a copy read before this save must never match the stamp it leaves.
void CarimbaGravacao(zq::StorageEngine& motor, TZQBaseParaDados& registro) {
  const zq::RecordSchema& schema = registro.Schema();
  const int i = schema.Find("DmaHmsGravacao");
  if (i < 0 || schema.fields[i].type != zq::FieldType::kDateTime) return;
  const auto campo = static_cast<std::size_t>(i);
  REG_ZQDMAHMSUTC carimbo = CZQRelogio::Agora();
  std::unique_ptr<TZQBaseParaDados> gravado = schema.make();
  if (registro.GetChave() != 0 && motor.Read(registro.GetChave(), gravado.get()).ok()) {
    const REG_ZQDMAHMSUTC anterior{static_cast<std::uint64_t>(std::get<std::int64_t>(gravado->GetValor(campo)))};
    if (carimbo.Compara(anterior) <= 0) carimbo.SetSegundos(anterior.GetSegundos() + 1);
  }
  registro.SetValor(campo, static_cast<std::int64_t>(carimbo.ullValor));
}

}  // namespace

int CComandos::Verifica(const std::string& empresa, const std::string& tipo, const std::string& arquivo, bool exclusao,
                        unsigned short usuario) {
  const zq::RecordSchema& schema = ExigeTipo(tipo);
  CLocaisHost::ExigeEmpresa(empresa);
  std::unique_ptr<TZQBaseParaDados> registro = LeRegistro(schema, arquivo);

  AbreEmpresa(empresa, zq::AberturaBanco::kLeitura);  // nothing is stored
  bool proprio = false;
  std::unique_ptr<CMMTrataDados> tratador = CriaTratador(schema, empresa, usuario, &proprio);
  // A register entry that others still use may not go, whatever its handler would say.
  CZQDadosDF_Erro dependente;
  if (exclusao && !CComandosIntegridade::PermiteExclusao(empresa, usuario, *registro, &dependente)) {
    std::cout << JsonHost::Texto(CTratadores::AvisoJson(dependente), 2) << "\n";
    return kSaidaRecusado;
  }
  const int aceito = exclusao ? tratador->TrataExclusao(registro.get(), nullptr)
                              : tratador->TrataGravacao(registro.get(), nullptr);
  if (!aceito) return Recusado(*tratador, proprio, tipo);
  std::cout << JsonHost::Texto(zq::ParaJson(*registro), 2) << "\n";
  return kSaidaOk;
}

int CComandos::Grava(const std::string& empresa, const std::string& tipo, const std::string& arquivo,
                     unsigned short usuario) {
  const zq::RecordSchema& schema = ExigeTipo(tipo);
  CLocaisHost::ExigeEmpresa(empresa);
  std::unique_ptr<TZQBaseParaDados> registro = LeRegistro(schema, arquivo);
  auto conexao = AbreEmpresa(empresa, zq::AberturaBanco::kExistente);
  bool proprio = false;
  std::unique_ptr<CMMTrataDados> tratador = CriaTratador(schema, empresa, usuario, &proprio);

  // The handler reads the stored record inside the transaction, after any writer before it has
  // committed: a second save of the same stamp waits here and then finds the record changed.
  zq::StorageEngine& motor = conexao->Motor();
  zq::Status st = motor.Begin();
  if (!st.ok()) throw CErroHost(kSaidaFalha, std::string("não foi possível iniciar a gravação: ").append(Utf8(st.message)));
  try {
    if (!tratador->TrataGravacao(registro.get(), nullptr)) {
      motor.Rollback();
      return Recusado(*tratador, proprio, tipo);
    }
    CarimbaGravacao(motor, *registro);
    st = registro->GetChave() == 0 ? motor.Insert(registro.get()) : motor.Update(*registro);
    if (st.hr == ZQ_E_NAO_ENCONTRADO) st = motor.Insert(registro.get());
    if (st.ok()) st = motor.Commit();
  } catch (...) {
    motor.Rollback();
    throw;
  }
  if (!st.ok()) {
    motor.Rollback();
    throw CErroHost(kSaidaFalha, std::string("falha ao gravar: ").append(Utf8(st.message)).append("; nada foi gravado"));
  }
  std::cout << JsonHost::Texto(zq::ParaJson(*registro), 2) << "\n";
  return kSaidaOk;
}

}  // namespace zqhost
