// CConexaoInfoExtras: the connection to the extra-information server, which keeps its headers
// (CIEHeader) and links (CIEVinculo) as records of the company's engine, beside the company's
// other records. Closed until Inicializa binds it to a company (CZQEmpresas::Abre, as a routine's
// access objects are bound); closed again by Finaliza or a new Inicializa.
//
// Every operation returns a long, 0 on success and negative on failure, and keeps the failure as
// the last error (GetErro). A closed connection answers ZQ_E_NAO_INICIALIZADO. Each operation
// asks the company's fault injector first under its own name ("BuscaPtrsIEHeader",
// "LeIEHeader", "BuscaVinculoByOrigem", "GravaCamposVinculo").
//
// Not thread-safe: one caller at a time.
#pragma once

#include <memory>

#include "platform/records/IEVinculo.h"
#include "platform/records/ZQDadosDF_Erro.h"
#include "platform/types/String.h"

class CConexaoInfoExtras {
 public:
  CConexaoInfoExtras();
  ~CConexaoInfoExtras();
  CConexaoInfoExtras(const CConexaoInfoExtras&) = delete;
  CConexaoInfoExtras& operator=(const CConexaoInfoExtras&) = delete;

  // Binds to the company. An unknown company or an engine that cannot be opened leaves the
  // connection closed and answers that failure. User and session are the caller's; this server
  // has no per-user data and does not keep them.
  long Inicializa(const CString& empresa, unsigned short usuario, long sessao);
  // Closes the connection; 0, also when it was closed.
  long Finaliza();
  bool EstaConectado() const;
  const CZQDadosDF_Erro& GetErro() const;

  // The positions of the headers of filtroIE's process, ascending, in aPtrs (count 0 when the
  // process has none, which is success). A filter of another type or with non-zero reserved
  // bytes answers ZQ_E_ARGUMENTO.
  long BuscaPtrsIEHeader(const IE_HEADER_FILTRO_PS& filtroIE, CIEArrayPonteiros& aPtrs);
  // The header at posicao; on failure (ZQ_E_NAO_ENCONTRADO for none) header is unchanged.
  long LeIEHeader(unsigned long posicao, CIEHeader& header);
  // The link of origem's header and record. A record that has no stored link has an empty one:
  // the answer is 0 and vinculo holds the origin with Posicao 0 and no values. On failure
  // vinculo keeps its values and is marked incomplete (CIEVinculo::EhIncompleto).
  long BuscaVinculoByOrigem(IE_ORIGEM_VINCULO_PS origem, CIEVinculo& vinculo);
  // Replaces the values stored for vinculo's header and record key with vinculo's, in one
  // transaction (vinculo's own Posicao is not looked at, so a link read for one record can be
  // written under another key). No values removes the stored link. Writes back the stored
  // Posicao (0 when removed). Fails, writing nothing, for a header that does not exist
  // (ZQ_E_NAO_ENCONTRADO), a field id outside IE_CAMPO_PRIMEIRO..IE_CAMPO_ULTIMO or given twice
  // (ZQ_E_ARGUMENTO), a link marked incomplete by a failed search (ZQ_E_ARGUMENTO), or a transaction that cannot start (the engine inside another one).
  long GravaCamposVinculo(CIEVinculo& vinculo);

 private:
  class CAcesso;
  std::unique_ptr<CAcesso> m_acesso;
};
