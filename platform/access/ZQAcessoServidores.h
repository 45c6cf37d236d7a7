// CZQAcessoServidores: the access objects of one initialised routine, over its company's
// connection (null for a routine not initialised: every operation then fails). Owned by the
// routine base; remembers which access object answered last.
#pragma once

#include <memory>

#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/access/ZQAcessoManutencao.h"

class CZQAcessoServidores {
 public:
  explicit CZQAcessoServidores(std::shared_ptr<CZQConexaoEmpresa> conexao = nullptr)
      : m_conexao(conexao), m_manutencao(conexao, &m_ultimo), m_empresarial(conexao, &m_ultimo) {}
  virtual ~CZQAcessoServidores() = default;

  CZQAcessoManutencaoBuffer* GetAcessoManutencao() { return &m_manutencao; }
  CZQAcessoEmpresarial* GetAcessoEmpresarial() { return &m_empresarial; }
  CZQAcessoBase* GetUltimoAcesso() { return m_ultimo; }
  CZQConexaoEmpresa* GetConexao() { return m_conexao.get(); }

 private:
  std::shared_ptr<CZQConexaoEmpresa> m_conexao;
  CZQAcessoBase* m_ultimo = nullptr;
  CZQAcessoManutencao m_manutencao;
  CZQAcessoEmpresarial m_empresarial;
};
