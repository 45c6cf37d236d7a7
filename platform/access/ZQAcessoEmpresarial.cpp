#include "platform/access/ZQAcessoEmpresarial.h"

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "platform/types/Cp1252.h"
#include "platform/mail/ZQContaEmail.h"
#include "platform/mail/ZQTransporteEmail.h"
#include "platform/access/ZQResultados.h"

namespace {
template <class Registro>
zq::Predicate Igual(const char* campo, std::int64_t valor) {
  return zq::Predicate{static_cast<std::size_t>(Registro::SchemaEstatico().Find(campo)), zq::Match::kIgual, valor};
}

// Whether the record meets every predicate, compared as the engines compare: equal values, or
// a text starting with the given one.
bool Atende(const TZQBaseParaDados& registro, const std::vector<zq::Predicate>& predicados) {
  for (const zq::Predicate& p : predicados) {
    const zq::Value v = registro.GetValor(p.field);
    if (p.match == zq::Match::kIgual) {
      if (v != p.value) return false;
      continue;
    }
    const auto* texto = std::get_if<std::string>(&v);
    if (!texto || !texto->starts_with(std::get<std::string>(p.value))) return false;
  }
  return true;
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

long CZQAcessoEmpresarial::LeUsuarioPermissao(const _REG_USUARIO_PERMISSAOPS& chave,
                                              CZQDadosDF_UsuarioPermissao* destino, unsigned short) {
  using R = CZQDadosDF_PermissaoUsuario;
  if (long hr = Entra("LeUsuarioPermissao")) return hr;
  if (!destino) return Falha(ZQ_E_ARGUMENTO, "LeUsuarioPermissao: registro de destino nulo");
  CZQDadosDF_Usuario usuario;
  zq::Status st = Motor().Read(chave.usUsuario, &usuario);
  if (st.hr == ZQ_E_NAO_ENCONTRADO)
    return Falha(ZQ_E_NAO_ENCONTRADO, "Usuário "_cp + std::to_string(chave.usUsuario) + " não cadastrado"_cp);
  if (!st.ok()) return Falha(st);
  std::vector<std::uint32_t> chaves;
  st = Motor().Search(R::SchemaEstatico(),
                      {Igual<R>("Usuario", chave.usUsuario), Igual<R>("Modulo", chave.ulModulo)}, &chaves);
  if (!st.ok()) return Falha(st);
  CZQDadosDF_UsuarioPermissao lido;
  lido.SetChave(chave);
  for (std::uint32_t c : chaves) {
    R permissao;
    if (!(st = Motor().Read(c, &permissao)).ok()) return Falha(st);
    if (permissao.GetPermissao() <= 0xFFFF)
      lido.AdicionaPermissao(static_cast<unsigned short>(permissao.GetPermissao()));
  }
  *destino = std::move(lido);
  return 0;
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

long CZQAcessoEmpresarial::BuscaPonteirosRecurso(const CZQDadosDF_FiltroRecurso& filtro, CZQArrayPonteiros& ponteiros) {
  using L = CZQDadosDF_RecursoPlanoManutencao;
  const zq::RecordSchema& schema = CZQDadosDF_Recurso::SchemaEstatico();
  ponteiros.RemoveAll();
  if (long hr = Entra("BuscaPonteirosRecurso")) return hr;
  const auto leituras = Leituras();
  std::vector<zq::Predicate> predicados = filtro.Predicados();
  if (filtro.GetFiltroClassificacao().GetApenasAnalitico())
    predicados.push_back(Igual<CZQDadosDF_Recurso>("TipoClassificacao", 1));
  zq::Status st;
  std::vector<std::uint32_t> chaves;
  if (!filtro.GetPonteiroPlanoManutencao()) {
    if (!(st = Motor().Search(schema, predicados, &chaves)).ok()) return Falha(st);
    for (std::uint32_t chave : chaves) {
      if (filtro.GetFlagAtivoInativo()) {
        CZQDadosDF_Recurso recurso;
        if (!(st = Motor().Read(chave, &recurso)).ok()) return Falha(st);
        if (recurso.GetInativo()) continue;
      }
      ponteiros.Add(chave);
    }
    return 0;
  }

  // A plan has few resources among many: start from its links (searched by plan) and check
  // each linked resource, instead of walking every resource of the company.
  if (!(st = zq::CheckPredicates(schema, predicados)).ok()) return Falha(st);
  std::vector<std::uint32_t> links;
  st = Motor().Search(L::SchemaEstatico(), {Igual<L>("PonteiroPlano", filtro.GetPonteiroPlanoManutencao())}, &links);
  if (!st.ok()) return Falha(st);
  for (std::uint32_t chave : links) {
    L link;
    if (!(st = Motor().Read(chave, &link)).ok()) return Falha(st);
    if (!filtro.GetFlagAtivoInativo() || !link.GetInativo()) chaves.push_back(link.GetPonteiroRecurso());
  }
  std::sort(chaves.begin(), chaves.end());
  chaves.erase(std::unique(chaves.begin(), chaves.end()), chaves.end());
  for (std::uint32_t chave : chaves) {
    CZQDadosDF_Recurso recurso;
    st = Motor().Read(chave, &recurso);
    if (st.hr == ZQ_E_NAO_ENCONTRADO) continue;  // a link to a resource since deleted
    if (!st.ok()) return Falha(st);
    if (filtro.GetFlagAtivoInativo() && recurso.GetInativo()) continue;
    if (!Atende(recurso, predicados)) continue;
    ponteiros.Add(chave);
  }
  return 0;
}

long CZQAcessoEmpresarial::LeRecursos(int quantidade, const CZQArrayPonteiros& ponteiros,
                                      CZQVector<CZQDadosDF_Recurso>& recursos, unsigned short opcao) {
  using L = CZQDadosDF_RecursoPlanoManutencao;
  recursos.RemoveAll();
  const auto leituras = Leituras();
  for (int i = 0; i < quantidade && i < ponteiros.GetSize(); ++i) {
    CZQDadosDF_Recurso recurso;
    if (long hr = Le("LeRecursos", ponteiros[i], &recurso)) {
      recursos.RemoveAll();
      return hr;
    }
    if (opcao & kLerPlanosManutencao) {
      std::vector<std::uint32_t> links;
      zq::Status st =
          Motor().Search(L::SchemaEstatico(), {Igual<L>("PonteiroRecurso", recurso.GetPonteiro())}, &links);
      std::vector<L> planos;
      for (std::size_t k = 0; st.ok() && k < links.size(); ++k) {
        planos.emplace_back();
        st = Motor().Read(links[k], &planos.back());
      }
      if (!st.ok()) {
        recursos.RemoveAll();
        return Falha(st);
      }
      recurso.SetPlanosManutencao(std::move(planos));
    }
    recursos.Add(recurso);
  }
  return 0;
}

long CZQAcessoEmpresarial::BuscaContaEmail(long& conta, int) {
  conta = 0;
  if (long hr = Entra("BuscaContaEmail")) return hr;
  if (CZQContaEmail::Le(Conexao()->GetNome(), Conexao()->GetDiretorioDados())) conta = 1;
  return 0;
}

long CZQAcessoEmpresarial::DisparaEmail(const CZQDadosDF_Email& email, int, int, int) {
  if (long hr = Entra("DisparaEmail")) return hr;
  const auto conta = CZQContaEmail::Le(Conexao()->GetNome(), Conexao()->GetDiretorioDados());
  if (!conta)
    return Falha(ZQ_E_EMAIL_SEM_CONTA,
                 std::string("Nenhuma conta de e-mail configurada para a empresa ").append(Conexao()->GetNome()));
  if (m_transporte) {
    std::vector<std::string> destinatarios;
    std::string mensagem;
    if (const zq::Status st = CZQTransporteEmail::Monta(*conta, email, &destinatarios, &mensagem); !st.ok())
      return Falha(st);
    const long hr = m_transporte(email);
    return hr < 0 ? Falha(hr, "Transporte de e-mail substituto recusou o e-mail") : 0;
  }
  std::string destino;
  const zq::Status st = CZQTransporteEmail::Envia(*conta, email, &destino);
  if (!st.ok()) return Falha(st);
  if (m_aoEntregar) m_aoEntregar(email, destino);
  return 0;
}
