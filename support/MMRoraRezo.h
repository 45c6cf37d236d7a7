// CMMRoraRezo: the module's link to the extra-information server. For one process (kind of
// record) it loads the process's header, loads the extra fields linked to one record, hands them
// to a base-module record, writes them under a record's key and copies them between records.
//
//   CMMRoraRezo rr;
//   rr.Inicializa(empresa, usuario, sessao);      // opens the server connection
//   rr.SetFlagProcesso(IE_PROCESSO_MM_PLANO);     // the plans' header, if there is one
//   rr.CopiarRoraRezo(planoOrigem, planoNovo);    // the fields of one plan onto another
//
// Every operation answers the server's result unchanged and traces the server's negative
// results in the profiler error log (and any non-zero result of the base's initialisation and
// finalisation). Without a loaded header, loading, writing and copying do nothing and answer 0;
// an inactive header is never written to. One caller at a time.
#pragma once

#include "platform/access/ConexaoInfoExtras.h"
#include "platform/access/IIEIntegracao.h"
#include "platform/records/ZQDadosDF_IEVinculo.h"
#include "platform/routines/ZQInicializador.h"

class CMMRoraRezo : public CZQInicializador, public IIEIntegracao {
 public:
  CMMRoraRezo() = default;
  ~CMMRoraRezo() override;
  CMMRoraRezo(const CMMRoraRezo&) = delete;
  CMMRoraRezo& operator=(const CMMRoraRezo&) = delete;

  // Stores the process and loads its first header; none found leaves the header clear
  // (GetPosicao() 0) and answers the search's result.
  long SetFlagProcesso(IE_E_PROCESSO processo);
  // Loads the link of record `chave` under the loaded header.
  long SetDadosRoraRezo(unsigned long chave);
  // Writes the current link under record `chave`, replacing that record's values.
  long GravaRoraRezo(unsigned long chave);
  // Loads the link of chaveOrigem (a failed load is not looked at) and writes it under
  // chaveDestino.
  long CopiarRoraRezo(unsigned long chaveOrigem, unsigned long chaveDestino);
  // Clears dados and fills it with the header's position, key 0 and the loaded values in order.
  // Nothing when dados is null.
  void GetDadosRoraRezo(CZQDadosDF_IEVinculo* dados);

  CConexaoInfoExtras& GetConexaoRoraRezo() { return m_cnxIE; }
  CIEHeader& GetHeaderRoraRezo() { return m_ieHeader; }
  CIEVinculo& GetVinculo() { return m_vinculo; }
  const CIEVinculo& GetVinculo() const { return m_vinculo; }
  CMMRoraRezo& SetVinculo(const CIEVinculo& vinculo);

  // IZQDF_Profiler: what initialisation stored.
  CString GetEmpresa() const override { return EmpresaInicializada(); }
  unsigned short GetUsuario() const override { return UsuarioInicializado(); }
  unsigned long GetNumeroSessao() const override { return static_cast<unsigned long>(SessaoInicializada()); }

  // IIEIntegracao
  unsigned long IEGetChave() override { return 0; }
  IE_E_PROCESSO IEGetProcesso() override { return GetFlagProcesso(); }
  CString IEGetEmpresa() override { return GetEmpresa(); }
  unsigned short IEGetUsuario() override { return GetUsuario(); }
  long IEGetNumeroSessao() override { return static_cast<long>(GetNumeroSessao()); }

 protected:
  long OnInicializa() override;
  long OnFinaliza() override;

 private:
  IE_E_PROCESSO GetFlagProcesso() const { return m_processo; }

  // Destroyed in reverse order: link, header, connection.
  CConexaoInfoExtras m_cnxIE;
  CIEHeader m_ieHeader;
  CIEVinculo m_vinculo;
  IE_E_PROCESSO m_processo = IE_PROCESSO_NENHUM;
};
