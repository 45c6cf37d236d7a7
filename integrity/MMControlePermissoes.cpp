#include "integrity/MMControlePermissoes.h"

#include <iterator>

#include "platform/access/ZQAcessoEmpresarial.h"
#include "platform/types/Cp1252.h"

namespace {

using Tela = CMMControlePermissoes::MMControlePermissao;
using Grupo = CMMControlePermissoes::GrupoPermissao;

struct Chamada {
  CMMDadosPermissaoUsuario& (CMMDadosPermissaoUsuario::*set)(const int&);
  unsigned short permissao;
  _ZQModulo modulo;
};

// The longest row (screen 11) makes five calls; a null setter ends a shorter row.
constexpr std::size_t kMaxChamadas = 5;

struct Linha {
  Chamada chamadas[kMaxChamadas];
};

#define MM_TELA_CHAMADA(flag, numero, modulo) \
  Chamada{&CMMDadosPermissaoUsuario::SetTemPermissao##flag, numero, ZQ_MODULO_##modulo},
#define MM_TELA_LINHA(valor, nome, grupo, chamadas) Linha{{chamadas}},
constexpr Linha kLinhas[] = {MM_TELAS_PERMISSAO(MM_TELA_LINHA, MM_TELA_CHAMADA)};
#undef MM_TELA_LINHA

#define MM_TELA_DESCRICAO(valor, nome, grupo, chamadas) {Tela::nome, #nome, Grupo::grupo},
constexpr CMMControlePermissoes::DescricaoTela kTelas[] = {MM_TELAS_PERMISSAO(MM_TELA_DESCRICAO, MM_TELA_CHAMADA)};
#undef MM_TELA_DESCRICAO
#undef MM_TELA_CHAMADA

static_assert(std::size(kLinhas) == std::size(kTelas));

// Values run 1..N without gaps, so a screen's row is its value - 1.
constexpr bool ValoresConsecutivos() {
  for (std::size_t i = 0; i < std::size(kTelas); ++i)
    if (kTelas[i].valor != static_cast<int>(i + 1)) return false;
  return true;
}
static_assert(ValoresConsecutivos(), "screen values must be 1, 2, 3, ... in table order");

#define MM_GRUPO_TEXTO(nome, texto) texto,
constexpr const char* kGrupos[] = {MM_GRUPOS_PERMISSAO(MM_GRUPO_TEXTO)};
#undef MM_GRUPO_TEXTO

}  // namespace

CMMControlePermissoes::~CMMControlePermissoes() { Finaliza(); }

std::span<const CMMControlePermissoes::DescricaoTela> CMMControlePermissoes::GetTelas() { return kTelas; }

const char* CMMControlePermissoes::GetNomeGrupo(GrupoPermissao grupo) {
  const auto i = static_cast<std::size_t>(grupo);
  return i < std::size(kGrupos) ? kGrupos[i] : "";
}

int CMMControlePermissoes::GetPermissoes(MMControlePermissao tela, CMMDadosPermissaoUsuario* dados) {
  LimpaErro();
  if (dados) dados->Limpar();
  if (!EstaInicializado()) return 0;

  CMMDadosPermissaoUsuario local;
  if (tela >= 1 && static_cast<std::size_t>(tela) <= std::size(kTelas)) {
    switch (kTelas[tela - 1].grupo) {
      case Grupo::Configuracao: PreenchePermissoes(Grupo::Configuracao, tela, local); break;
      case Grupo::Cadastro: GetPermissoesCadastros(tela, local); break;
      case Grupo::Movimento: GetPermissoesMovimentos(tela, local); break;
      case Grupo::Relatorio: GetPermissoesRelatorios(tela, local); break;
      case Grupo::Especifica: GetPermissoesEspecificas(tela, local); break;
    }
  }

  if (dados) dados->Copiar(local);
  return local.GetTemAlgumaPermissao();
}

int CMMControlePermissoes::GetPermissao(unsigned short permissao, _ZQModulo modulo) {
  const _REG_USUARIO_PERMISSAOPS chave{GetUsuario(), static_cast<std::uint32_t>(modulo)};
  CZQDadosDF_UsuarioPermissao registro;
  if (GetAcessoEmpresarial()->LeUsuarioPermissao(chave, &registro, 0) != 0) {
    SetErro(GetAcessoEmpresarial()->GetErro());
    return 0;
  }
  return registro.TemPermissao(permissao);
}

void CMMControlePermissoes::GetPermissoesCadastros(const MMControlePermissao& tela, CMMDadosPermissaoUsuario& dados) {
  PreenchePermissoes(Grupo::Cadastro, tela, dados);
}

void CMMControlePermissoes::GetPermissoesMovimentos(const MMControlePermissao& tela, CMMDadosPermissaoUsuario& dados) {
  PreenchePermissoes(Grupo::Movimento, tela, dados);
}

void CMMControlePermissoes::GetPermissoesRelatorios(const MMControlePermissao& tela, CMMDadosPermissaoUsuario& dados) {
  PreenchePermissoes(Grupo::Relatorio, tela, dados);
}

void CMMControlePermissoes::GetPermissoesEspecificas(const MMControlePermissao& tela,
                                                     CMMDadosPermissaoUsuario& dados) {
  PreenchePermissoes(Grupo::Especifica, tela, dados);
}

void CMMControlePermissoes::PreenchePermissoes(GrupoPermissao grupo, const MMControlePermissao& tela,
                                               CMMDadosPermissaoUsuario& dados) {
  if (tela < 1 || static_cast<std::size_t>(tela) > std::size(kTelas)) return;
  const auto i = static_cast<std::size_t>(tela) - 1;
  if (kTelas[i].grupo != grupo) return;
  for (const Chamada& c : kLinhas[i].chamadas) {
    if (!c.set) break;
    (dados.*c.set)(GetPermissao(c.permissao, c.modulo));
  }
}
