#include "platform/ZQAcessoEmpresarial.h"

#include "platform/Cp1252.h"
#include "platform/ZQResultados.h"

namespace {
template <class Registro>
zq::Predicate Igual(const char* campo, std::int64_t valor) {
  return zq::Predicate{static_cast<std::size_t>(Registro::SchemaEstatico().Find(campo)), zq::Match::kIgual, valor};
}
}  // namespace

long CZQAcessoEmpresarial::LePeriodoContabil(CZQDadosDF_PeriodoContabil* destino) {
  return Le("LePeriodoContabil", CZQDadosDF_PeriodoContabil::kChaveUnica, destino);
}

long CZQAcessoEmpresarial::LeProdutoEx(const _REG_POSICAO_PRODUTOPS& posicao, CZQDadosDF_ProdutoEx* destino) {
  return Le("LeProdutoEx", posicao.lPonteiroProduto, destino);
}

long CZQAcessoEmpresarial::LeBufferProdutoEx(const _REG_POSICAO_PRODUTOPS& posicao, CZQDadosDF_ProdutoEx* destino) {
  return Le("LeBufferProdutoEx", posicao.lPonteiroProduto, destino);
}

long CZQAcessoEmpresarial::LeRecursoPlanoManutencao(unsigned long recurso, unsigned long plano,
                                                    CZQDadosDF_RecursoPlanoManutencao* destino) {
  using R = CZQDadosDF_RecursoPlanoManutencao;
  return LePrimeiro("LeRecursoPlanoManutencao",
                    {Igual<R>("PonteiroRecurso", static_cast<std::int64_t>(recurso)),
                     Igual<R>("PonteiroPlano", static_cast<std::int64_t>(plano))},
                    destino);
}

long CZQAcessoEmpresarial::PossuiPermissao(unsigned short usuario, int modulo, int permissao, bool& possui) {
  using R = CZQDadosDF_PermissaoUsuario;
  possui = false;
  CZQArrayPonteiros ponteiros;
  const long hr = Busca("PossuiPermissao", R::SchemaEstatico(),
                        {Igual<R>("Usuario", usuario), Igual<R>("Modulo", modulo), Igual<R>("Permissao", permissao)},
                        ponteiros);
  possui = hr == 0 && !ponteiros.IsEmpty();
  return hr;
}

long CZQAcessoEmpresarial::LeBDDConfiguracao(unsigned char atividade, unsigned long chave,
                                             CZQDadosBDD_Registro* destino) {
  CZQDadosBDD_Registro lido;
  if (long hr = Le("LeBDDConfiguracao", chave, &lido)) return hr;
  if (lido.GetTipoAtividade() != atividade)
    return Falha(ZQ_E_NAO_ENCONTRADO, "Configuração "_cp + std::to_string(chave) + " não serve à atividade "_cp +
                                          std::to_string(atividade));
  if (!destino) return Falha(ZQ_E_ARGUMENTO, "LeBDDConfiguracao: registro de destino nulo");
  *destino = lido;
  return 0;
}
