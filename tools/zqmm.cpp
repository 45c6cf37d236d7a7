// zqmm: the command-line host of the maintenance rules library. It plays the suite's part for a
// person or a script: creates companies on SQLite or PostgreSQL, loads and exports datasets, checks records
// through the module's data handlers and runs the plan-alert routine. This file only reads the
// command line; the commands live in Comandos and ComandosAlerta.
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/Comandos.h"
#include "tools/ComandosAlerta.h"
#include "tools/ComandosInfoExtra.h"
#include "tools/ComandosIntegridade.h"
#include "platform/storage/StorageEngine.h"
#include "platform/system/ZQCaixaMensagem.h"
#include "tools/ComandosOperar.h"
#include "tools/ComandosPermissoes.h"
#include "tools/ErroHost.h"
#include "tools/LocaisHost.h"
#include "tools/RelogioHost.h"

namespace {

constexpr const char* kRodape = R"(
Arquivos:
  registro   --registro, senão $ZQ_REGISTRO, senão $XDG_CONFIG_HOME/zq/registro.ini
             (~/.config/zq/registro.ini): empresas, pasta de relatórios, contas de e-mail
  dados      --dados na criação, senão $XDG_DATA_HOME/zq/empresas/<NOME>
             (~/.local/share/zq/empresas/<NOME>): banco <NOME>.db, logs, caixa de saída
  `zqmm onde <NOME>` mostra onde está cada arquivo de uma empresa.

Registros em JSON: nomes de campo legíveis, datas AAAA-MM-DD, data e hora
AAAA-MM-DDTHH:MM:SS[+HH:MM], moeda como número decimal, texto em UTF-8 (um caractere
sem forma em Windows-1252 é erro de entrada). `zqmm exportar` mostra o formato.

Saída: 0 feito (verificar, gravar: aceito), 1 verificar, gravar: recusado (aviso impresso),
2 entrada inutilizável (JSON, tipo, campo, nome repetido ou argumento), 3 falha (empresa,
arquivo, banco ausente, vazio ou de outro programa, ocupado além da espera, gravação,
execução de alertas abortada).
Só `empresa criar` cria um banco; exportar, verificar e onde só leem e funcionam num banco
somente para leitura.)";

}  // namespace

int main(int argc, char** argv) {
  using namespace zqhost;
  CLI::App app{"zqmm: empresas, conjuntos de dados, verificação de registros e alertas de planos\n"
               "do módulo de manutenção (MM).",
               "zqmm"};
  app.require_subcommand(1);
  std::string registro, agora;
  app.add_option("--registro", registro, "arquivo de registro a usar (ver Arquivos)");
  app.add_option("--agora", agora, "o relógio local começa neste momento (AAAA-MM-DDTHH:MM:SS[+HH:MM])");
  long espera = 0;
  app.add_option("--espera", espera,
                 "no máximo estes milissegundos de espera por outra gravação em curso no banco (padrão: 5000; "
                 "o registro de envio de um alerta, o intervalo da rotina)")
      ->check(CLI::Range(1L, 3600000L));

  std::string empresa, arquivo, tipo, dados, relatorios, motor = "sqlite";
  auto* cmdEmpresa = app.add_subcommand("empresa", "cria, configura e lista empresas");
  cmdEmpresa->require_subcommand(1);
  std::string conexao;
  auto* criar = cmdEmpresa->add_subcommand("criar", "cria o banco da empresa (SQLite, ou um esquema no PostgreSQL) e a registra");
  criar->add_option("NOME", empresa, "nome da empresa")->required();
  criar->add_option("--dados", dados, "pasta de dados da empresa (criada se faltar)");
  criar->add_option("--motor", motor, "motor de dados (padrão: sqlite)")
      ->check(CLI::IsMember({"sqlite", "postgresql", "postgres"}));
  criar->add_option("--conexao", conexao,
                    "PostgreSQL: \"host=... dbname=...\" do libpq, sem senha (use ~/.pgpass); "
                    "o esquema leva o nome da empresa");
  criar->add_option("--relatorios", relatorios, "pasta dos modelos de e-mail (vale para todas as empresas)");

  CComandos::OpcoesEmail email;
  auto* cmdEmail = cmdEmpresa->add_subcommand("email", "configura a conta de e-mail da empresa");
  cmdEmail->add_option("NOME", empresa, "nome da empresa")->required();
  cmdEmail->add_option("--remetente", email.remetente, "endereço do remetente")->required();
  cmdEmail->add_option("--servidor", email.servidor, "servidor SMTP; sem ele, os e-mails vão para a caixa de saída");
  cmdEmail->add_option("--porta", email.porta, "porta SMTP")->check(CLI::Range(1, 65535));
  cmdEmail->add_flag("--tls", email.tls, "exige TLS (465: TLS direto; outras: STARTTLS)");
  cmdEmail->add_option("--usuario", email.usuario, "usuário SMTP (a senha vai no arquivo de registro, Senha=)");
  cmdEmail->add_option("--saida", email.saida, "caixa de saída (padrão: <dados>/saida/)");

  auto* listar = cmdEmpresa->add_subcommand("listar", "lista as empresas do registro");

  auto* onde = app.add_subcommand("onde", "mostra onde estão os arquivos da empresa");
  onde->add_option("NOME", empresa, "nome da empresa")->required();

  auto* tipos = app.add_subcommand("tipos", "lista os tipos de registro e quem os verifica");

  auto* carregar = app.add_subcommand("carregar", "carrega um conjunto de dados JSON (tudo ou nada)");
  carregar->add_option("NOME", empresa, "nome da empresa")->required();
  carregar->add_option("ARQUIVO", arquivo, "conjunto de dados JSON, ou - para a entrada padrão")->required();

  auto* exportar = app.add_subcommand("exportar", "exporta os registros da empresa como conjunto de dados JSON");
  exportar->add_option("NOME", empresa, "nome da empresa")->required();
  exportar->add_option("ARQUIVO", arquivo, "arquivo de saída (padrão: a saída padrão)");

  bool exclusao = false;
  unsigned short usuario = 1;
  auto* verificar = app.add_subcommand(
      "verificar", "verifica um registro com o tratamento de dados do seu tipo; nada é gravado");
  verificar->add_option("NOME", empresa, "nome da empresa")->required();
  verificar->add_option("TIPO", tipo, "tipo do registro (zqmm tipos)")->required();
  verificar->add_option("ARQUIVO", arquivo, "registro JSON, ou - para a entrada padrão (padrão)");
  verificar->add_flag("--exclusao", exclusao, "verifica a exclusão (TrataExclusao) em vez da gravação");
  verificar->add_option("--usuario", usuario, "número do usuário da sessão (padrão 1)");

  auto* gravar = app.add_subcommand(
      "gravar", "verifica um registro como verificar e, se aceito, o grava com novo carimbo de gravação");
  gravar->add_option("NOME", empresa, "nome da empresa")->required();
  gravar->add_option("TIPO", tipo, "tipo do registro (zqmm tipos)")->required();
  gravar->add_option("ARQUIVO", arquivo, "registro JSON, ou - para a entrada padrão (padrão)");
  gravar->add_option("--usuario", usuario, "número do usuário da sessão (padrão 1)");

  std::string operacao;
  auto* operar =
      app.add_subcommand("operar", "chama uma operação de lista de um tratamento de dados; nada é gravado");
  operar->add_option("NOME", empresa, "nome da empresa")->required();
  operar->add_option("OPERACAO", operacao, "operação (lista abaixo)")->required();
  operar->add_option("ARQUIVO", arquivo, "argumentos JSON, ou - para a entrada padrão (padrão)");
  operar->add_option("--usuario", usuario, "número do usuário da sessão (padrão 1)");
  bool sim = false;
  operar->add_flag("--sim", sim, "responde Sim às perguntas da operação (sem a opção, ninguém responde: Não)");
  operar->footer(CComandosOperar::Lista());

  std::string registroIntegridade, codigo;
  auto* integridade = app.add_subcommand(
      "integridade", "diz se um registro pode ser excluído ou qual registro depende dele; nada é gravado");
  integridade->add_option("NOME", empresa, "nome da empresa")->required();
  integridade->add_option("REGISTRO", registroIntegridade, "disciplina, tecnico, plano, situacao ou tipo_gasto (ou 1 a 5)")
      ->required();
  integridade->add_option("CODIGO", codigo, "código do registro")->required();
  integridade->add_option("--usuario", usuario, "número do usuário da sessão (padrão 1)");

  long intervalo = 0;
  auto* cmdAlertas = app.add_subcommand("alertas", "rotina de alertas de planos de manutenção");
  cmdAlertas->require_subcommand(1);
  auto* executar = cmdAlertas->add_subcommand("executar", "executa a rotina uma vez");
  executar->add_option("NOME", empresa, "nome da empresa")->required();
  auto* agendar = cmdAlertas->add_subcommand("agendar", "executa a rotina a cada intervalo até Ctrl-C ou SIGTERM");
  agendar->add_option("NOME", empresa, "nome da empresa")->required();
  agendar->add_option("--intervalo", intervalo, "milissegundos entre execuções (padrão: o da rotina, 300000)")
      ->check(CLI::Range(1L, 86400000L));
  std::string saidaPrevia;
  auto* previa = cmdAlertas->add_subcommand(
      "previa", "mostra os e-mails que a rotina enviaria agora, sem enviar nem registrar nada");
  previa->add_option("NOME", empresa, "nome da empresa")->required();
  previa->add_option("--saida", saidaPrevia,
                     "pasta (criada se faltar) para o HTML de cada e-mail e um index.html; só os arquivos de uma "
                     "prévia anterior são substituídos");
  std::string processo;
  unsigned long chaveIE = 0, copiarPara = 0;
  auto* infoExtra = app.add_subcommand(
      "info-extra", "mostra as informações extras de um registro; --copiar-para as copia para outro registro");
  infoExtra->add_option("NOME", empresa, "nome da empresa")->required();
  infoExtra->add_option("PROCESSO", processo, "processo: " + CComandosInfoExtra::Processos() + ", ou o número")
      ->required();
  infoExtra->add_option("CHAVE", chaveIE, "chave (ponteiro) do registro")->required()->check(CLI::Range(1UL, 0xFFFFFFFFUL));
  infoExtra->add_option("--copiar-para", copiarPara, "chave do registro que recebe uma cópia das informações extras")
      ->check(CLI::Range(1UL, 0xFFFFFFFFUL));
  bool json = false;
  std::string periodo;
  auto* permissoes = app.add_subcommand("permissoes", "mostra as permissões de um usuário em cada tela do módulo");
  permissoes->add_option("NOME", empresa, "nome da empresa")->required();
  permissoes->add_option("--usuario", usuario, "número do usuário")->required();
  permissoes->add_flag("--json", json, "uma lista JSON em vez da tabela");
  auto* arquivos = app.add_subcommand("arquivos", "mostra a pasta e os nomes dos arquivos de dados da empresa");
  arquivos->add_option("NOME", empresa, "nome da empresa")->required();
  arquivos->add_option("--periodo", periodo, "mês dos arquivos de movimento (AAAA-MM)");
  app.footer(kRodape);  // after the subcommands, so that their own help stays short

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int r = app.exit(e);
    return r == 0 ? kSaidaOk : kSaidaEntradaInvalida;
  }
  if (arquivo.empty() && (*verificar || *gravar || *operar)) arquivo = "-";

  try {
    CLocaisHost::PreparaRegistro(registro);
    if (!agora.empty()) CRelogioHost::DefineAgora(agora);
    if (espera > 0) zq::StorageEngine::SetLockWaitLimit(espera);
    if (*criar) return CComandos::CriaEmpresa(empresa, dados, motor, relatorios, conexao);
    if (*cmdEmail) return CComandos::ConfiguraEmail(empresa, email);
    if (*listar) return CComandos::ListaEmpresas();
    if (*onde) return CComandos::Onde(empresa);
    if (*tipos) return CComandos::Tipos();
    if (*carregar) return CComandos::Carrega(empresa, arquivo);
    if (*exportar) return CComandos::Exporta(empresa, arquivo);
    if (*verificar) return CComandos::Verifica(empresa, tipo, arquivo, exclusao, usuario);
    if (*gravar) return CComandos::Grava(empresa, tipo, arquivo, usuario);
    if (*operar) {
      // Nobody is there to answer: a question is No unless the script said Yes beforehand.
      CZQCaixaMensagemGuarda caixa(sim ? std::make_shared<CZQCaixaMensagemResposta>(true) : nullptr);
      return CComandosOperar::Opera(empresa, operacao, arquivo, usuario);
    }
    if (*infoExtra) return CComandosInfoExtra::Executa(empresa, processo, chaveIE, copiarPara);
    if (*integridade) return CComandosIntegridade::Verifica(empresa, registroIntegridade, codigo, usuario);
    if (*executar) return CComandosAlerta::Executa(empresa);
    if (*agendar) return CComandosAlerta::Agenda(empresa, intervalo);
    if (*previa) return CComandosAlerta::Previa(empresa, saidaPrevia);
    if (*permissoes) return CComandosPermissoes::Permissoes(empresa, usuario, json);
    if (*arquivos) return CComandosPermissoes::Arquivos(empresa, periodo);
  } catch (const CErroHost& e) {
    std::cout.flush();
    std::cerr << "zqmm: " << e.what() << "\n";
    return e.GetSaida();
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "zqmm: erro inesperado: " << Utf8(e.what()) << "\n";
    return kSaidaFalha;
  }
  return kSaidaEntradaInvalida;
}
