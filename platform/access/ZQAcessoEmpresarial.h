// CZQAcessoEmpresarial: the base module's access object (resources, requesters, branches, the
// accounting period, products, services, users and their permissions, period types,
// configurable-field records). The rules reach it through GetAcessoEmpresarial(). Operations
// are declared as in CZQAcessoManutencao; the ones whose keys are not a plain pointer are
// written by hand below.
#pragma once

#include <functional>
#include <string>

#include "platform/access/ZQAcessoManutencao.h"
#include "platform/records/ZQDadosBDD_Registro.h"
#include "platform/records/ZQDadosDF_Email.h"
#include "platform/records/ZQDadosDF_Filial.h"
#include "platform/records/ZQDadosDF_PeriodoContabil.h"
#include "platform/records/ZQDadosDF_PermissaoUsuario.h"
#include "platform/records/ZQDadosDF_ProdutoEx.h"
#include "platform/records/ZQDadosDF_Recurso.h"
#include "platform/records/ZQDadosDF_RecursoPlanoManutencao.h"
#include "platform/records/ZQDadosDF_Requisitante.h"
#include "platform/records/ZQDadosDF_Servico.h"
#include "platform/records/ZQDadosDF_TipoPeriodo.h"
#include "platform/records/ZQDadosDF_TipoRecurso.h"
#include "platform/records/ZQDadosDF_UnidadeMedida.h"
#include "platform/records/ZQDadosDF_Usuario.h"
#include "platform/records/ZQDadosDF_UsuarioPermissao.h"

#define ZQ_LEITURAS_EMPRESARIAL(R)                 \
  R(Recurso, CZQDadosDF_Recurso)                   \
  R(TipoRecurso, CZQDadosDF_TipoRecurso)           \
  R(Filial, CZQDadosDF_Filial)                     \
  R(UnidadeMedidaProduto, CZQDadosDF_UnidadeMedidaProduto) \
  R(UnidadeMedidaServico, CZQDadosDF_UnidadeMedidaServico) \
  R(Requisitante, CZQDadosDF_Requisitante)         \
  R(BufferFilial, CZQDadosDF_Filial)               \
  R(Servico, CZQDadosDF_Servico)                   \
  R(BufferServico, CZQDadosDF_Servico)             \
  R(Usuario, CZQDadosDF_Usuario)                   \
  R(TipoPeriodo, CZQDadosDF_TipoPeriodo)

class CZQAcessoEmpresarial : public CZQAcessoBase {
 public:
  using CZQAcessoBase::CZQAcessoBase;
  ZQ_LEITURAS_EMPRESARIAL(ZQ_ACESSO_LE)

  // Resources matching the filter (plan link, active and analytic conditions), in key order.
  // With a plan the work follows that plan's links (searched by plan), not the company's
  // resources.
  long BuscaPonteirosRecurso(const CZQDadosDF_FiltroRecurso& filtro, CZQArrayPonteiros& ponteiros);
  // The resources of the first `quantidade` pointers, in order; option 4 attaches each one's
  // plan links (one search by resource each). Stops at the first failure.
  long LeRecursos(int quantidade, const CZQArrayPonteiros& ponteiros, CZQVector<CZQDadosDF_Recurso>& recursos,
                  unsigned short opcao = 0);
  static constexpr unsigned short kLerPlanosManutencao = 4;

  // The company's accounting period (its single record).
  long LePeriodoContabil(CZQDadosDF_PeriodoContabil* destino);
  // The product of a position (its pointer; the grade values do not take part).
  long LeProdutoEx(const _REG_POSICAO_PRODUTOPS& posicao, CZQDadosDF_ProdutoEx* destino);
  long LeBufferProdutoEx(const _REG_POSICAO_PRODUTOPS& posicao, CZQDadosDF_ProdutoEx* destino);
  // The link of a resource to a plan; not found when the resource has no link to it.
  long LeRecursoPlanoManutencao(unsigned long recurso, unsigned long plano, CZQDadosDF_RecursoPlanoManutencao* destino);
  // Whether the user holds a numbered permission of a module.
  long PossuiPermissao(unsigned short usuario, int modulo, int permissao, bool& possui);
  // Every permission the user holds in the module (the stored permission records of that user
  // and module; numbers above 65535 cannot be asked and are left out). A user that is not
  // registered is not found, with a text naming the user; a registered user with no permission
  // in the module is an empty record and success. A blocked user's permissions are read as
  // stored: refusing the login is not the read's business. `opcao` is the suite's read flags,
  // accepted as they come (0). On failure *destino is left unchanged.
  long LeUsuarioPermissao(const _REG_USUARIO_PERMISSAOPS& chave, CZQDadosDF_UsuarioPermissao* destino,
                          unsigned short opcao = 0);
  // The stored configuration `chave` of an activity; not found when it serves another activity.
  long LeBDDConfiguracao(unsigned char atividade, unsigned long chave, CZQDadosBDD_Registro* destino);

  // Whether the company has an e-mail account (CZQContaEmail: the registry's
  // "...\Empresas\<company>\Email" section): `conta` receives 1 when it has one (a Remetente),
  // 0 when not. `opcao` is the suite's account kind, accepted as it comes: a company has one
  // account here.
  long BuscaContaEmail(long& conta, int opcao);
  // Sends the e-mail through the company's account (CZQTransporteEmail: SMTP, or the outbox
  // folder when no server is named). The three numbers are the suite's dispatch options, passed
  // through without effect. A negative result on failure (no account: ZQ_E_EMAIL_SEM_CONTA; a
  // refused header or address, the server's refusal, an outbox that cannot be written: the
  // codes of ZQMensagemEmail.h), with the reason as the last error. ZQ_E_EMAIL_DESTINATARIO
  // alone says that the recipients were refused before anything was sent: bad data, not a
  // transport failure.
  long DisparaEmail(const CZQDadosDF_Email& email, int opcao1, int opcao2, int opcao3);

  // Called after each e-mail DisparaEmail delivered (never for one refused or not taken), with
  // where it went: the outbox file or the SMTP URL. Lets a host report what a run really sent;
  // none by default.
  using AoEntregar = std::function<void(const CZQDadosDF_Email& email, const std::string& destino)>;
  void SetAoEntregar(AoEntregar aoEntregar) { m_aoEntregar = std::move(aoEntregar); }

  // Replaces the account's transport: DisparaEmail still needs the account and makes the same
  // header and address checks (a refused address answers the same code), then hands the e-mail
  // to this instead of sending it or writing the outbox, and answers what it answers (0, or a
  // negative result kept as the last error). AoEntregar is not called: nothing was delivered.
  // A preview runs the real routine this way; none (the account's transport) by default.
  using Transporte = std::function<long(const CZQDadosDF_Email& email)>;
  void SetTransporte(Transporte transporte) { m_transporte = std::move(transporte); }

 private:
  AoEntregar m_aoEntregar;
  Transporte m_transporte;
};
