// CZQBaseParaRotinas: the suite's routine base. A routine is at once an initialisable object
// (CZQInicializador: company, user, session), a profiler source, an error record
// (CZQUltimoErro) and the holder of its data-access objects.
//
// Virtual table of the primary base, in order: destructor, OnInicializa, OnFinaliza (TZQBase);
// OnSetMostrarMensagens, OnLerParametros, OnResetBuffer, ForcarReinicializacaoBaseParaRotinas
// (CZQInicializador); GetAcessoServidores, FuncaoGenerica, New_CZQAcessoServidores (here).
// Classes above append after these.
//
// Initialising binds the routine to its company's connection (CZQEmpresas::Abre); an unknown
// company or an engine that cannot be opened fails Inicializa with that result, and the error
// record holds its text. Before initialisation, and after Finaliza, the access objects exist but
// every operation fails with ZQ_E_NAO_INICIALIZADO, so no caller meets a null pointer.
//
// Copy assignment copies the error record and the binding: the target is initialised for the
// source's company, user and session when the source is initialised, finalised otherwise.
#pragma once

#include <memory>

#include "platform/access/ZQAcessoServidores.h"
#include "platform/routines/ZQGetBaseParaRotinas.h"
#include "platform/routines/ZQInicializador.h"
#include "platform/types/ZQListaBytes.h"
#include "platform/routines/ZQUltimoErro.h"

class CZQBaseParaRotinas : public CZQInicializador, public CZQUltimoErro, public IZQGetBaseParaRotinas {
 public:
  CZQBaseParaRotinas();
  ~CZQBaseParaRotinas() override;
  CZQBaseParaRotinas(const CZQBaseParaRotinas&) = delete;
  CZQBaseParaRotinas& operator=(const CZQBaseParaRotinas& outro);

  long ForcarReinicializacaoBaseParaRotinas(const CString& empresa, unsigned short usuario, long sessao) override;
  virtual CZQAcessoServidores* GetAcessoServidores() { return m_servidores.get(); }
  virtual long FuncaoGenerica(unsigned long funcao, const _REG_CR_LISTA_BYTESPS& entrada,
                              _REG_CR_LISTA_BYTESPS** saida);

  // IZQDF_Profiler
  CString GetEmpresa() const override { return EmpresaInicializada(); }
  unsigned short GetUsuario() const override { return UsuarioInicializado(); }
  unsigned long GetNumeroSessao() const override { return static_cast<unsigned long>(SessaoInicializada()); }

  // CZQUltimoErro
  CString GetEmpresaErroVirtual() const override { return EmpresaInicializada(); }

  // IZQGetBaseParaRotinas
  CZQBaseParaRotinas* GetBaseParaRotinas() override { return this; }

  CZQAcessoManutencaoBuffer* GetAcessoManutencao() { return m_servidores->GetAcessoManutencao(); }
  CZQAcessoEmpresarial* GetAcessoEmpresarial() { return m_servidores->GetAcessoEmpresarial(); }
  CZQAcessoBase* GetUltimoAcesso() { return m_servidores->GetUltimoAcesso(); }

 protected:
  // Creates the access objects over GetConexaoEmpresa() (null before initialisation); the
  // routine owns the result. A test may override it.
  virtual CZQAcessoServidores* New_CZQAcessoServidores();
  const std::shared_ptr<CZQConexaoEmpresa>& GetConexaoEmpresa() const { return m_conexao; }

  long OnInicializa() override;
  long OnFinaliza() override;

 private:
  std::shared_ptr<CZQConexaoEmpresa> m_conexao;
  std::unique_ptr<CZQAcessoServidores> m_servidores;
};
