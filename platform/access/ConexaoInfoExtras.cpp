#include "platform/access/ConexaoInfoExtras.h"

#include <algorithm>
#include <set>

#include "platform/access/ZQAcessoBase.h"
#include "platform/access/ZQResultados.h"
#include "platform/storage/ZQEmpresas.h"
#include "platform/types/Cp1252.h"

// The server's operations over the generic access object, so that error keeping and fault
// injection work as for every other access object.
class CConexaoInfoExtras::CAcesso : public CZQAcessoBase {
 public:
  explicit CAcesso(std::shared_ptr<CZQConexaoEmpresa> conexao) : CZQAcessoBase(std::move(conexao), nullptr) {}

  long Falhou(const zq::Status& st) { return Falha(st); }

  long BuscaHeaders(const IE_HEADER_FILTRO_PS& filtro, CIEArrayPonteiros& aPtrs) {
    aPtrs.Define({});
    if (filtro.ulTipoFiltro != IE_FILTRO_HEADER_POR_PROCESSO || filtro.ulReservado[0] || filtro.ulReservado[1]) {
      if (long hr = Entra("BuscaPtrsIEHeader")) return hr;
      return Falha(ZQ_E_ARGUMENTO, "BuscaPtrsIEHeader: filtro de cabeçalho desconhecido"_cp);
    }
    const zq::RecordSchema& schema = CIEHeader::SchemaEstatico();
    CZQArrayPonteiros achados;
    const long hr = Busca("BuscaPtrsIEHeader", schema,
                          {Igual(schema, "Processo", static_cast<std::uint32_t>(filtro.processo))}, achados);
    if (hr == 0) aPtrs.Define(std::vector<unsigned long>(achados.begin(), achados.end()));
    return hr;
  }

  long LeHeader(unsigned long posicao, CIEHeader& header) { return Le("LeIEHeader", posicao, &header); }

  long BuscaVinculo(const IE_ORIGEM_VINCULO_PS& origem, CIEVinculo& vinculo) {
    const long hr = LeVinculo(origem, vinculo);
    if (hr) vinculo.SetIncompleto(true);
    return hr;
  }

  long LeVinculo(const IE_ORIGEM_VINCULO_PS& origem, CIEVinculo& vinculo) {
    if (long hr = Entra("BuscaVinculoByOrigem")) return hr;
    std::vector<std::uint32_t> chaves;
    if (long hr = Procura(origem.ulPosHeader, origem.ulChave, &chaves)) return hr;
    CIEVinculo lido;
    lido.SetPosHeader(origem.ulPosHeader);
    lido.SetChaveOrigem(origem.ulChave);
    if (!chaves.empty()) {
      const zq::Status st = Motor().Read(chaves.front(), &lido);
      if (!st.ok()) return Falha(st);
    }
    vinculo = lido;
    return 0;
  }

  long Grava(CIEVinculo& vinculo) {
    if (long hr = Entra("GravaCamposVinculo")) return hr;
    if (vinculo.EhIncompleto())
      return Falha(ZQ_E_ARGUMENTO, "GravaCamposVinculo: o vínculo não foi lido (a busca falhou); nada gravado"_cp);
    std::set<std::uint32_t> ids;
    for (const CZQDadosDF_IEVinculoDados& valor : vinculo.GetListaDados()) {
      if (valor.GetId() < IE_CAMPO_PRIMEIRO || valor.GetId() > IE_CAMPO_ULTIMO || !ids.insert(valor.GetId()).second)
        return Falha(ZQ_E_ARGUMENTO, "GravaCamposVinculo: campo " + std::to_string(valor.GetId()) +
                                         " fora de 1 a 99 ou repetido");
    }
    CIEHeader header;
    if (zq::Status st = Motor().Read(vinculo.GetPosHeader(), &header); !st.ok()) return Falha(st);
    if (zq::Status st = Motor().Begin(); !st.ok()) return Falha(st);
    const long hr = Substitui(vinculo);
    if (hr) {
      Motor().Rollback();
      return hr;
    }
    if (zq::Status st = Motor().Commit(); !st.ok()) {
      Motor().Rollback();
      return Falha(st);
    }
    return 0;
  }

 private:
  static zq::Predicate Igual(const zq::RecordSchema& schema, const char* campo, std::uint32_t valor) {
    return {static_cast<std::size_t>(schema.Find(campo)), zq::Match::kIgual, std::int64_t{valor}};
  }

  long Procura(std::uint32_t posHeader, std::uint32_t chave, std::vector<std::uint32_t>* chaves) {
    const zq::RecordSchema& schema = CIEVinculo::SchemaEstatico();
    const zq::Status st = Motor().Search(
        schema, {Igual(schema, "PosHeader", posHeader), Igual(schema, "ChaveOrigem", chave)}, chaves);
    return st.ok() ? 0 : Falha(st);
  }

  // Inside the transaction: the first stored link of the origin takes the values, any other is
  // removed (a dataset may hold two).
  long Substitui(CIEVinculo& vinculo) {
    std::vector<std::uint32_t> chaves;
    if (long hr = Procura(vinculo.GetPosHeader(), vinculo.GetChaveOrigem(), &chaves)) return hr;
    const bool remove = vinculo.GetQuantidadeDados() == 0;
    for (std::size_t i = remove ? 0 : 1; i < chaves.size(); ++i)
      if (zq::Status st = Motor().Delete(CIEVinculo::SchemaEstatico(), chaves[i]); !st.ok()) return Falha(st);
    CIEVinculo gravado = vinculo;
    gravado.SetPosicao(remove || chaves.empty() ? 0 : chaves.front());
    if (!remove) {
      const zq::Status st = chaves.empty() ? Motor().Insert(&gravado) : Motor().Update(gravado);
      if (!st.ok()) return Falha(st);
    }
    vinculo.SetPosicao(gravado.GetPosicao());
    return 0;
  }
};

CConexaoInfoExtras::CConexaoInfoExtras() : m_acesso(std::make_unique<CAcesso>(nullptr)) {}
CConexaoInfoExtras::~CConexaoInfoExtras() = default;

long CConexaoInfoExtras::Inicializa(const CString& empresa, unsigned short /*usuario*/, long /*sessao*/) {
  Finaliza();
  zq::Status st;
  auto conexao = CZQEmpresas::Abre(empresa.Str(), &st);
  if (!conexao) return m_acesso->Falhou(st);
  m_acesso = std::make_unique<CAcesso>(std::move(conexao));
  return 0;
}

long CConexaoInfoExtras::Finaliza() {
  m_acesso = std::make_unique<CAcesso>(nullptr);
  return 0;
}

bool CConexaoInfoExtras::EstaConectado() const { return m_acesso->EstaConectado(); }
const CZQDadosDF_Erro& CConexaoInfoExtras::GetErro() const { return m_acesso->GetErro(); }

long CConexaoInfoExtras::BuscaPtrsIEHeader(const IE_HEADER_FILTRO_PS& filtroIE, CIEArrayPonteiros& aPtrs) {
  return m_acesso->BuscaHeaders(filtroIE, aPtrs);
}

long CConexaoInfoExtras::LeIEHeader(unsigned long posicao, CIEHeader& header) {
  return m_acesso->LeHeader(posicao, header);
}

long CConexaoInfoExtras::BuscaVinculoByOrigem(IE_ORIGEM_VINCULO_PS origem, CIEVinculo& vinculo) {
  return m_acesso->BuscaVinculo(origem, vinculo);
}

long CConexaoInfoExtras::GravaCamposVinculo(CIEVinculo& vinculo) { return m_acesso->Grava(vinculo); }
