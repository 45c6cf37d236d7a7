#include "support/ArqManutencao.h"

#include "platform/storage/ZQEmpresas.h"

namespace {

bool EhSeparador(char c) { return c == '\\' || c == '/'; }

}  // namespace

CString CArqManutencao::GetArqManutencao(const E_ARQUIVO_MANUTENCAO& arquivo) {
  switch (arquivo) {
#define MM_ARQUIVO_CASO(valor, nome) \
  case ARQUIVO_##nome: return #nome;
    MM_ARQUIVOS_MANUTENCAO(MM_ARQUIVO_CASO)
#undef MM_ARQUIVO_CASO
  }
  return {};
}

CString CArqManutencao::GetArqManutencao(const E_ARQUIVO_MANUTENCAO& arquivo,
                                         const E_EXTENSAO_ARQUIVO_MANUTENCAO& extensao) {
  CString nome = GetArqManutencao(arquivo);
  const CString ext = GetExtManutencao(extensao);
  if (!nome.IsEmpty() && !ext.IsEmpty()) nome += "." + ext;
  return nome;
}

CString CArqManutencao::GetExtManutencao(const E_EXTENSAO_ARQUIVO_MANUTENCAO& extensao) {
  switch (extensao) {
#define MM_EXTENSAO_CASO(valor, nome, texto) \
  case EXTENSAO_##nome: return texto;
    MM_EXTENSOES_MANUTENCAO(MM_EXTENSAO_CASO)
#undef MM_EXTENSAO_CASO
  }
  return {};
}

CString CArqManutencao::GetArqManutencaoVersao(const E_ARQUIVO_MANUTENCAO_VERSAO& versao) {
  switch (versao) {
#define MM_VERSAO_CASO(valor, nome) \
  case VERSAO_##nome: return #nome;
    MM_ARQUIVOS_MANUTENCAO_VERSAO(MM_VERSAO_CASO)
#undef MM_VERSAO_CASO
  }
  return {};
}

void CArqManutencao::GetArquivosMovimentacao(CStringArray& arquivos) {
  for (int v = kPrimeiroMovimento; v <= kUltimoMovimento; ++v)
    arquivos.Add(GetArqManutencao(static_cast<E_ARQUIVO_MANUTENCAO>(v)));
}

CString CArqManutencao::GetDiretorioDados(CString empresa) {
  return CString(CZQEmpresas::DiretorioDados(empresa.Str()));
}

CString CArqManutencao::MontaArquivo(const CString& empresa, const CString& arquivo) {
  return JuntaDiretorio(GetDiretorioDados(empresa), arquivo);
}

CString CArqManutencao::MontaArquivo(const CString& empresa, const CString& arquivo, const REG_ZQMA& mes,
                                     REG_ZQDMA::TIPO_DATA_DMA tipo) {
  return MontaArquivo(MontaArquivo(empresa, arquivo), mes, tipo);
}

CString CArqManutencao::MontaArquivo(const CString& caminho, const REG_ZQMA& mes, REG_ZQDMA::TIPO_DATA_DMA tipo) {
  return caminho + GetTextoMes(mes, tipo) + ".dat";
}

CString CArqManutencao::JuntaDiretorio(const CString& diretorio, const CString& nome) {
  if (diretorio.IsEmpty()) return nome;
  const bool fim = EhSeparador(diretorio.GetAt(diretorio.GetLength() - 1));
  const bool inicio = !nome.IsEmpty() && EhSeparador(nome.GetAt(0));
  if (fim && inicio) return diretorio + nome.Mid(1);
  if (!fim && !inicio) return diretorio + "\\" + nome;
  return diretorio + nome;
}

CString CArqManutencao::GetTextoMes(const REG_ZQMA& mes, REG_ZQDMA::TIPO_DATA_DMA tipo) {
  if (!mes.IsValid()) return {};
  const int m = mes.GetMes();
  const int a = mes.GetAno();
  CString texto;
  switch (tipo) {
    case REG_ZQDMA::TIPO_DMA_DIA_MES_ANO2:
    case REG_ZQDMA::TIPO_DMA_DIA_MES_ANO2_SEPARADO: texto.Format("%02d%02d", m, a % 100); break;
    case REG_ZQDMA::TIPO_DMA_DIA_MES_ANO4:
    case REG_ZQDMA::TIPO_DMA_DIA_MES_ANO4_SEPARADO: texto.Format("%02d%04d", m, a); break;
    case REG_ZQDMA::TIPO_DMA_ANO2_MES_DIA: texto.Format("%02d%02d", a % 100, m); break;
    case REG_ZQDMA::TIPO_DMA_ANO4_MES_DIA: texto.Format("%04d%02d", a, m); break;
  }
  return texto;
}
