#include "tests/support/FixtureOrdem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "platform/types/Cp1252.h"

namespace zqteste {

REG_ZQDMAHMSUTC DataHora(int dia, int mes, int ano, int hora, int minuto, int segundo) {
  return REG_ZQDMAHMSUTC::DeDataHora(REG_ZQDMA::DeDiaMesAno(dia, mes, ano), hora, minuto, segundo, -10800);
}

std::string TodosLogErros(const EmpresaTeste& empresa) {
  std::set<std::filesystem::path> arquivos;  // in month order
  for (const auto& e : std::filesystem::directory_iterator(empresa.Diretorio()))
    if (e.path().filename().string().rfind("ZQProfilerErros_Base_", 0) == 0) arquivos.insert(e.path());
  std::ostringstream out;
  for (const auto& a : arquivos) out << std::ifstream(a, std::ios::binary).rdbuf();
  return out.str();
}

MundoOrdem::MundoOrdem(const char* motor) : empresa(motor), c(empresa) {
  EXPECT_EQ(handler.Inicializa(empresa.Nome(), CenarioOrdem::kUsuario, 1), 0);
}

std::string MundoOrdem::Leituras() {
  std::string s;
  for (const auto& op : empresa.Falhas().Log()) s.append(s.empty() ? "" : " ").append(op);
  return s;
}

namespace {

CZQDadosBDD_Campo Campo(std::uint32_t linha, const char* descricao, bool obrigatorio, const char* valor) {
  CZQDadosBDD_Campo c;
  c.SetLinha(linha), c.SetTextoDescricao(descricao), c.SetCampoObrigatorio(obrigatorio), c.SetValor(valor);
  return c;
}

CZQDadosMM_ManutencaoComponente Componente(std::uint32_t linha, std::uint32_t ponteiro, std::uint8_t tipo) {
  CZQDadosMM_ManutencaoComponente c;
  c.SetLinha(linha), c.SetProdutoServico(_REG_POSICAO_PRODUTOPS{ponteiro, 0, 0, 0}), c.SetTipoProdutoServico(tipo);
  c.SetQtdRequisitada(tagCY{10000});
  return c;
}

}  // namespace

CenarioOrdem::CenarioOrdem(EmpresaTeste& e) : empresa(e) {
  empresa.Motor().Begin();  // one commit: SQLite would sync every insert otherwise
  mestre.SetChave(CZQDadosMM_Mestre::kChaveUnica);
  mestre.SetObrigarInformarTecnicoManutencao(true), mestre.SetObrigarApontamentoManutencao(true);
  mestre = empresa.Adiciona(mestre);

  periodo.SetChave(CZQDadosDF_PeriodoContabil::kChaveUnica);
  periodo.SetDataInferiorMovimentacao(REG_ZQDMA::DeDiaMesAno(1, 1, 2024));
  periodo.SetDataSuperiorMovimentacao(REG_ZQDMA::DeDiaMesAno(31, 12, 2024));
  periodo.SetDataInferiorIntegracao(REG_ZQDMA::DeDiaMesAno(1, 1, 2000));
  periodo.SetDataSuperiorIntegracao(REG_ZQDMA::DeDiaMesAno(31, 12, 2099));
  periodo = empresa.Adiciona(periodo);

  filial.SetCodigo(1), filial.SetNomeFantasia("Matriz");
  filial = empresa.Adiciona(filial);
  const auto ponteiroFilial = static_cast<std::uint16_t>(filial.GetPonteiro());

  recurso.SetCodigo("EMP-01"), recurso.SetDescricao("Empilhadeira 01"), recurso.SetTipo(2);
  recurso.SetPonteiroFilial(ponteiroFilial), recurso.SetPonteiroUnidadeMedidaContador(7);
  recurso.SetNumeroDigitosContador(6), recurso.SetUnidadeProdutoServico("KM");
  recurso = empresa.Adiciona(recurso);

  disciplina.SetCodigo("MEC"), disciplina.SetNome("Mecânica"_cp), disciplina.SetTipoClassificacao(1);
  disciplina = empresa.Adiciona(disciplina);

  plano.SetCodigo("PL-01"), plano.SetNome("Lubrificação geral"_cp), plano.SetTipoClassificacao(1);
  plano.SetPonteiroDisciplina(disciplina.GetPonteiro());
  plano.SetTempoPrevisto(tagCY{25000}), plano.SetTempoPrevistoEmHoras(tagCY{150000});
  plano = empresa.Adiciona(plano);

  vinculo.SetPonteiroRecurso(recurso.GetPonteiro()), vinculo.SetPonteiroPlano(plano.GetPonteiro());
  vinculo = empresa.Adiciona(vinculo);

  requisitante.SetCodigo("R1"), requisitante.SetNome("Produção"_cp), requisitante.SetFilial(ponteiroFilial);
  requisitante = empresa.Adiciona(requisitante);

  prioridade.SetCodigo("P1"), prioridade.SetDescricao("Alta");
  prioridade = empresa.Adiciona(prioridade);

  tecnico.SetCodigo("T1"), tecnico.SetNome("João"_cp), tecnico.SetTipoClassificacao(1);
  tecnico.SetPonteiroFilial(ponteiroFilial);
  tecnico.GetRefDisciplina(tecnico.AdicionaDisciplina({})).SetPonteiroDisciplina(disciplina.GetPonteiro());
  tecnico.GetRefDisciplina(0).SetLinha(1);
  tecnico = empresa.Adiciona(tecnico);

  situacao.SetTipo(CZQDadosMM_Situacao::kTipoManutencao), situacao.SetCodigo("ENC");
  situacao.SetDescricao("Encerrada"), situacao.SetSituacaoBase(8);
  situacao = empresa.Adiciona(situacao);

  usuario.SetNumero(kUsuario), usuario.SetLogin("ana"), usuario.SetNome("Ana");
  usuario = empresa.Adiciona(usuario);

  permissao.SetUsuario(kUsuario), permissao.SetModulo(28), permissao.SetPermissao(13);
  permissao = empresa.Adiciona(permissao);

  configuracao.SetTipoAtividade(BDD_ATV_MM_APONTAMENTO_TAREFA);
  configuracao.AdicionaCampos(Campo(1, "Pressão"_cp, true, "2 bar"));
  configuracao.AdicionaCampos(Campo(2, "Observação"_cp, false, ""));
  configuracao = empresa.Adiciona(configuracao);

  tipoPeriodo.SetDescricao("Mensal"), tipoPeriodo.SetTipoPeriodo(1), tipoPeriodo.SetIncrementoPeriodo(1);
  tipoPeriodo = empresa.Adiciona(tipoPeriodo);

  tarefa.SetCodigo("LUB"), tarefa.SetNome("Lubrificar"), tarefa.SetTipoClassificacao(1);
  tarefa.SetEfetuarApontTarefa(true), tarefa.SetPonteiroInfPersonalizada(configuracao.GetPonteiro());
  tarefa.SetGarantia(true), tarefa.SetPonteiroPeriodoGarantia(tipoPeriodo.GetPonteiro());
  tarefa.SetQuantPeriodoGarantia(tagCY{10000});
  CZQDadosMM_TarefaTecnico& tt = tarefa.GetRefTecnico(tarefa.AdicionaTecnico({}));
  tt.SetLinha(1), tt.SetPonteiroTecnico(tecnico.GetPonteiro());
  tarefa = empresa.Adiciona(tarefa);

  produto.SetCodigo("OLEO"), produto.SetDescricao("Óleo 10W40"_cp);
  produto = empresa.Adiciona(produto);
  servico.SetCodigo("SRV"), servico.SetDescricao("Limpeza");
  servico = empresa.Adiciona(servico);

  ordem.SetPonteiroRecurso(recurso.GetPonteiro()), ordem.SetTipoManutencao(1);
  ordem.SetPonteiroPlano(plano.GetPonteiro()), ordem.SetPonteiroDisciplina(disciplina.GetPonteiro());
  ordem.SetDescricao("Troca de óleo"_cp), ordem.SetPonteiroRequisitante(requisitante.GetPonteiro());
  ordem.SetPonteiroPrioridade(prioridade.GetPosicao()), ordem.SetPonteiroTecnico(tecnico.GetPonteiro());
  ordem.SetSituacao(8), ordem.SetPonteiroSituacao(situacao.GetPonteiro());
  ordem.SetDataHoraEmissao(DataHora(4, 3, 2024, 8, 0)), ordem.SetDmaHmsPrevInicio(DataHora(4, 3, 2024, 8, 0));
  ordem.SetDataHoraInicio(DataHora(4, 3, 2024, 9, 0)), ordem.SetDataHoraFim(DataHora(4, 3, 2024, 17, 0));
  CZQDadosMM_ManutencaoTarefa& linha = ordem.GetRefTarefa(ordem.AdicionaTarefa({}));
  linha.SetLinha(1), linha.SetPonteiroTarefa(tarefa.GetPonteiro()), linha.SetTarefa(tarefa.GetNome());
  ordem.AdicionaMaterial(Componente(1, produto.GetPonteiro(), 'P'));
  ordem.AdicionaEquipamento(Componente(1, produto.GetPonteiro(), 'P'));
  ordem.AdicionaServico(Componente(1, servico.GetPonteiro(), 'S'));
  CZQDadosMM_ManutencaoApontamento& apontamento = ordem.GetRefApontamento(ordem.AdicionaApontamento({}));
  apontamento.SetLinha(1), apontamento.SetPonteiroTecnico(tecnico.GetPonteiro());
  apontamento.SetDataHoraInicial(DataHora(4, 3, 2024, 9, 0)), apontamento.SetDataHoraFinal(DataHora(4, 3, 2024, 12, 0));
  apontamento.SetPonteiroTarefa(tarefa.GetPonteiro());
  empresa.Motor().Commit();
}

void CenarioOrdem::Atualiza(const TZQBaseParaDados& registro) {
  const zq::Status st = empresa.Motor().Update(registro);
  ASSERT_TRUE(st.ok()) << st.message;
}

CZQDadosMM_Manutencao CenarioOrdem::Grava(CZQDadosMM_Manutencao o) {
  o.SetDmc(REG_ZQDMC::DeMes(1, m_proximaOrdem++, REG_ZQMA::DeMesAno(3, 2024)));
  o.SetPonteiroFilial(recurso.GetPonteiroFilial());
  o.SetDmaHmsGravacao(DataHora(4, 3, 2024, 18, 0));
  return empresa.Adiciona(o);
}

}  // namespace zqteste
