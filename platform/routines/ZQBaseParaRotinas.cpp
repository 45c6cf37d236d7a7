#include "platform/routines/ZQBaseParaRotinas.h"

#include "platform/access/ZQResultados.h"

CZQBaseParaRotinas::CZQBaseParaRotinas() : m_servidores(std::make_unique<CZQAcessoServidores>()) {}

CZQBaseParaRotinas::~CZQBaseParaRotinas() { Finaliza(); }

CZQBaseParaRotinas& CZQBaseParaRotinas::operator=(const CZQBaseParaRotinas& outro) {
  if (this == &outro) return *this;
  if (outro.EstaInicializado())
    Inicializa(outro.EmpresaInicializada(), outro.UsuarioInicializado(), outro.SessaoInicializada());
  else
    Finaliza();
  CZQDadosDF_Erro::SetErro(static_cast<const CZQDadosDF_Erro&>(outro));
  return *this;
}

long CZQBaseParaRotinas::ForcarReinicializacaoBaseParaRotinas(const CString& empresa, unsigned short usuario,
                                                             long sessao) {
  return Inicializa(empresa, usuario, sessao);
}

long CZQBaseParaRotinas::FuncaoGenerica(unsigned long, const _REG_CR_LISTA_BYTESPS&, _REG_CR_LISTA_BYTESPS** saida) {
  if (saida) *saida = nullptr;
  return ZQ_E_NAO_IMPLEMENTADO;
}

CZQAcessoServidores* CZQBaseParaRotinas::New_CZQAcessoServidores() { return new CZQAcessoServidores(m_conexao); }

long CZQBaseParaRotinas::OnInicializa() {
  zq::Status st;
  auto conexao = CZQEmpresas::Abre(GetEmpresa().Str(), &st);
  if (!conexao) {
    CZQDadosDF_Erro::SetErro(st.hr, 0, 0, "%s", st.message.c_str());
    return st.hr;
  }
  m_conexao = std::move(conexao);
  m_servidores.reset(New_CZQAcessoServidores());
  return 0;
}

long CZQBaseParaRotinas::OnFinaliza() {
  m_conexao.reset();
  m_servidores = std::make_unique<CZQAcessoServidores>();
  return 0;
}
