// CComandos: the zqmm commands about companies, datasets and records; zqmm.cpp parses the
// command line and calls one of these. Each writes its result on standard output (UTF-8),
// progress and notes on standard error, returns the exit status (ErroHost.h) and throws
// CErroHost for anything that ends the command early.
//
// The registry must be prepared first (CLocaisHost::PreparaRegistro).
#pragma once

#include <string>

namespace zqhost {

class CComandos {
 public:
  struct OpcoesEmail {
    std::string remetente, servidor, usuario, saida;
    long porta = 0;  // 0: the account's default
    bool tls = false;
  };

  // empresa criar: a new SQLite database in the data directory ("" = the default one), or with
  // motor "postgresql" (or "postgres") the company's schema on the server `conexao` names, and the
  // company's registry section; `relatorios` ("" = leave as is) sets the report folder of the
  // registry, which every company of the registry shares. Refuses a company the registry already
  // names, a SQLite file that already exists, and a connection string with a password in it.
  static int CriaEmpresa(const std::string& empresa, const std::string& dados, const std::string& motor,
                         const std::string& relatorios, const std::string& conexao = "");
  // empresa email: writes the company's e-mail account (CZQContaEmail): a sender, and an SMTP
  // server or, without one, the outbox folder.
  static int ConfiguraEmail(const std::string& empresa, const OpcoesEmail& opcoes);
  // empresa listar: the companies the registry names.
  static int ListaEmpresas();
  // onde: the company's files and folders.
  static int Onde(const std::string& empresa);
  // tipos: the stored kinds and the handler class that checks each.
  static int Tipos();

  // carregar: a dataset (ConjuntoDados.h) into the company, all or nothing.
  static int Carrega(const std::string& empresa, const std::string& arquivo);
  // exportar: the company's records as a dataset, into `arquivo` ("" or "-" = standard output).
  static int Exporta(const std::string& empresa, const std::string& arquivo);

  // verificar: a record of kind `tipo` read from `arquivo` ("-" = standard input) checked by its
  // handler's TrataGravacao (TrataExclusao when `exclusao`), initialised for `usuario`. Prints
  // the record as the handler left it (derived fields filled in) and returns 0, or prints the
  // warning {"modulo", "mensagem", "campo", "texto"} and returns 1. A delete of a register entry
  // that others depend on is refused first (CComandosIntegridade). Nothing is stored.
  static int Verifica(const std::string& empresa, const std::string& tipo, const std::string& arquivo, bool exclusao,
                      unsigned short usuario);

  // gravar: as verificar's save check, then the accepted record is stored, the check and the
  // store in one write transaction of the company's engine, so that of two saves of a record
  // read alike only the first is accepted and the other gets the record-changed warning. The
  // record gets a new last-save stamp (its DmaHmsGravacao field, in the kinds that have one) from
  // the host clock and is inserted when its key is 0 or not stored, else updated. Prints the
  // record as stored and returns 0, or prints the warning and returns 1, storing nothing.
  static int Grava(const std::string& empresa, const std::string& tipo, const std::string& arquivo,
                   unsigned short usuario);
};

}  // namespace zqhost
