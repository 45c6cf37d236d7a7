#include "integrity/MMDadosPermissaoUsuario.h"

#include <array>
#include <iterator>

#include "platform/records/FieldTraits.h"

namespace {

#define MM_PERMISSAO_INFO(nome, sigla, descricao) \
  {"TemPermissao" #nome, ::zq::FieldTraits<int>::kType, 0, ::zq::FieldTraits<int>::kChild},
constexpr zq::FieldInfo kCampos[] = {MM_PERMISSOES_USUARIO(MM_PERMISSAO_INFO)};
#undef MM_PERMISSAO_INFO
static_assert(std::size(kCampos) == CMMDadosPermissaoUsuario::kQuantidade);

#define MM_PERMISSAO_DESCRICAO(nome, sigla, descricao) {#nome, sigla, descricao},
constexpr CMMDadosPermissaoUsuario::DescricaoPermissao kDescricoes[] = {MM_PERMISSOES_USUARIO(MM_PERMISSAO_DESCRICAO)};
#undef MM_PERMISSAO_DESCRICAO

}  // namespace

CMMDadosPermissaoUsuario::CMMDadosPermissaoUsuario(const CMMDadosPermissaoUsuario& outro) : TZQBaseParaDados(outro) {
  Limpar();
  Copiar(outro);
}

CMMDadosPermissaoUsuario& CMMDadosPermissaoUsuario::operator=(const CMMDadosPermissaoUsuario& outro) {
  Limpar();
  Copiar(outro);
  return *this;
}

CMMDadosPermissaoUsuario::~CMMDadosPermissaoUsuario() { Limpar(); }

int CMMDadosPermissaoUsuario::GetTemAlgumaPermissao() const {
#define MM_PERMISSAO_ALGUMA(nome, sigla, descricao) || m_temPermissao##nome != 0
  return (false MM_PERMISSOES_USUARIO(MM_PERMISSAO_ALGUMA)) ? 1 : 0;
#undef MM_PERMISSAO_ALGUMA
}

void CMMDadosPermissaoUsuario::OnLimpar() {
#define MM_PERMISSAO_LIMPA(nome, sigla, descricao) m_temPermissao##nome = 0;
  MM_PERMISSOES_USUARIO(MM_PERMISSAO_LIMPA)
#undef MM_PERMISSAO_LIMPA
  TZQBaseParaDados::OnLimpar();
}

void CMMDadosPermissaoUsuario::OnCopiar(const TZQBaseParaDados& origem) {
  TZQBaseParaDados::OnCopiar(origem);
  const auto* outro = dynamic_cast<const CMMDadosPermissaoUsuario*>(&origem);
  if (!outro || outro == this) return;
#define MM_PERMISSAO_COPIA(nome, sigla, descricao) m_temPermissao##nome = outro->m_temPermissao##nome;
  MM_PERMISSOES_USUARIO(MM_PERMISSAO_COPIA)
#undef MM_PERMISSAO_COPIA
}

const CMMDadosPermissaoUsuario::DescricaoPermissao& CMMDadosPermissaoUsuario::GetDescricao(std::size_t i) {
  return kDescricoes[i < kQuantidade ? i : 0];
}

const zq::RecordSchema& CMMDadosPermissaoUsuario::SchemaEstatico() {
  // No field is the key (key == count): the record is never stored.
  static constexpr zq::RecordSchema kSchema{
      "permissao_tela", kCampos, std::size(kCampos), std::size(kCampos),
      +[]() -> std::unique_ptr<TZQBaseParaDados> { return std::make_unique<CMMDadosPermissaoUsuario>(); }};
  return kSchema;
}

zq::Value CMMDadosPermissaoUsuario::GetValor(std::size_t i) const {
  std::size_t n = 0;
#define MM_PERMISSAO_GET(nome, sigla, descricao) \
  if (i == n++) return ::zq::FieldTraits<int>::ToValue(m_temPermissao##nome);
  MM_PERMISSOES_USUARIO(MM_PERMISSAO_GET)
#undef MM_PERMISSAO_GET
  return std::int64_t{0};
}

bool CMMDadosPermissaoUsuario::SetValor(std::size_t i, const zq::Value& v) {
  std::size_t n = 0;
#define MM_PERMISSAO_SET(nome, sigla, descricao) \
  if (i == n++) return ::zq::FieldTraits<int>::FromValue(v, &m_temPermissao##nome);
  MM_PERMISSOES_USUARIO(MM_PERMISSAO_SET)
#undef MM_PERMISSAO_SET
  return false;
}

std::unique_ptr<TZQBaseParaDados> CMMDadosPermissaoUsuario::Clone() const {
  return std::make_unique<CMMDadosPermissaoUsuario>(*this);
}
