#include "tools/LocaisHost.h"

#include <cstdlib>

#include "platform/system/ZQRegistro.h"
#include "tools/ErroHost.h"

namespace zqhost {
namespace {

std::filesystem::path BaseXdg(const char* variavel, const char* padraoSobHome) {
  const char* v = std::getenv(variavel);
  if (v && *v == '/') return v;
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / padraoSobHome;
}

// The installed message folder beside the running program, else the one this build wrote: an
// installed host never depends on the build tree still being there.
std::string MensagensPadrao() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const std::filesystem::path instaladas = (exe.parent_path() / ZQMM_MENSAGENS_INSTALADAS).lexically_normal();
    if (std::filesystem::is_directory(instaladas, ec)) return instaladas.string();
  }
  return ZQMM_MENSAGENS;
}

}  // namespace

std::filesystem::path CLocaisHost::PreparaRegistro(const std::string& opcao) {
  std::filesystem::path arquivo;
  if (!opcao.empty()) {
    arquivo = opcao;
  } else if (const char* env = std::getenv("ZQ_REGISTRO"); env && *env) {
    arquivo = env;
  } else {
    arquivo = BaseXdg("XDG_CONFIG_HOME", ".config") / "zq" / "registro.ini";
  }
  arquivo = std::filesystem::absolute(arquivo).lexically_normal();
  ::setenv("ZQ_REGISTRO", arquivo.c_str(), 1);
  CZQRegistro::Limpa();
  if (!CZQRegistro::Le(CZQRegistro::kRaiz, "Mensagens"))
    CZQRegistro::Define(CZQRegistro::kRaiz, "Mensagens", MensagensPadrao());
  return arquivo;
}

std::filesystem::path CLocaisHost::DadosPadrao(const std::string& empresa) {
  return BaseXdg("XDG_DATA_HOME", ".local/share") / "zq" / "empresas" / empresa;
}

std::string CLocaisHost::ChaveEmpresa(const std::string& empresa) {
  return std::string(CZQRegistro::kRaiz).append("\\Empresas\\").append(empresa);
}

void CLocaisHost::ValidaNome(const std::string& empresa) {
  bool ok = !empresa.empty() && empresa.size() <= 64 && empresa[0] != '.';
  for (char c : empresa)
    ok = ok && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                c == '-' || c == '.');
  if (!ok)
    throw CErroHost(kSaidaEntradaInvalida,
                    std::string("nome de empresa inválido: \"")
                        .append(empresa)
                        .append("\" (1 a 64 letras, dígitos, '_', '-' ou '.')"));
}

std::optional<CLocaisHost::Empresa> CLocaisHost::LeEmpresa(const std::string& empresa) {
  const std::string chave = ChaveEmpresa(empresa);
  auto motor = CZQRegistro::Le(chave, "Motor");
  if (!motor) return std::nullopt;
  return Empresa{*motor, CZQRegistro::Le(chave, "Banco").value_or(""), CZQRegistro::Le(chave, "Dados").value_or("")};
}

CLocaisHost::Empresa CLocaisHost::ExigeEmpresa(const std::string& empresa) {
  ValidaNome(empresa);
  auto e = LeEmpresa(empresa);
  if (!e)
    throw CErroHost(kSaidaFalha, std::string("empresa ")
                                     .append(empresa)
                                     .append(" não configurada em ")
                                     .append(CZQRegistro::Arquivo())
                                     .append(" (crie com: zqmm empresa criar ")
                                     .append(empresa)
                                     .append(")"));
  return *e;
}

std::string CLocaisHost::Mensagens() { return CZQRegistro::Le(CZQRegistro::kRaiz, "Mensagens").value_or(""); }

std::string CLocaisHost::Relatorios() { return CZQRegistro::Le(CZQRegistro::kRaiz, "Relatorios").value_or(""); }

}  // namespace zqhost
