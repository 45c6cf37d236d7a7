// CZQDadosDF_UsuarioPermissao: the permissions one user holds in one module, as the enterprise
// access reads them (CZQAcessoEmpresarial::LeUsuarioPermissao). It is a read result, not a stored
// kind: the store keeps one CZQDadosDF_PermissaoUsuario per granted number, and the read gathers
// them into this record. A plain value; one thread at a time.
#pragma once

#include <cstdint>
#include <set>

// The key of the read: the user's 16-bit code and the module's 32-bit number, passed together.
struct _REG_USUARIO_PERMISSAOPS {
  std::uint16_t usUsuario = 0;
  std::uint32_t ulModulo = 0;
};

class CZQDadosDF_UsuarioPermissao {
 public:
  std::uint16_t GetUsuario() const { return m_usuario; }
  std::uint32_t GetModulo() const { return m_modulo; }
  // 1 when the numbered permission is granted, else 0.
  int TemPermissao(unsigned short permissao) const { return m_permissoes.count(permissao) ? 1 : 0; }
  // The granted numbers, ascending.
  const std::set<unsigned short>& GetPermissoes() const { return m_permissoes; }

  void SetChave(const _REG_USUARIO_PERMISSAOPS& chave) {
    m_usuario = chave.usUsuario;
    m_modulo = chave.ulModulo;
  }
  void AdicionaPermissao(unsigned short permissao) { m_permissoes.insert(permissao); }
  void Limpa() { *this = CZQDadosDF_UsuarioPermissao(); }

 private:
  std::uint16_t m_usuario = 0;
  std::uint32_t m_modulo = 0;
  std::set<unsigned short> m_permissoes;
};
