#!/usr/bin/env python3
"""Seeded faults in the rules code, to see whether the test suite notices them.

Each mutant alone: the snippet is replaced in its file, the library, host and tests are rebuilt,
the test binary runs, and the file is put back whatever happens. A failing run, a crash or a
time-out counts as caught; a build that fails is reported as such and counted as caught too
(the compiler noticed). A snippet that no longer occurs exactly once is "not applicable".

Usage: scripts/mutantes.py [--build DIR] [--only N[,N...]] [--list] [--timeout S]
Not run by CI: one mutant takes about a minute on two cores. Figures: scripts/mutantes.md.
"""
import argparse
import os
import subprocess
import sys
import time

RAIZ = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

M = "movements/MMTrataDadosManutencao.cpp"
P = "registers/MMTrataDadosPrioridade.cpp"
D = "framework/MMTrataDados.cpp"
R = "framework/Rastreio.cpp"
L = "framework/ProfilerLog.cpp"
T = "alerts/MMModeloEmailAlerta.cpp"

# (file, snippet that occurs exactly once, replacement, what the fault is)
MUTANTES = [
    # The order handler.
    (M, "return SetAviso(MODULO_MM, 50, kCampoRecurso);", "return SetAviso(MODULO_MM, 59, kCampoRecurso);",
     "order: wrong message for a missing resource"),
    (M, "if (recurso.GetTipo() != kTipoRecursoManutencao)", "if (recurso.GetTipo() == kTipoRecursoManutencao)",
     "order: resource type check flipped"),
    (M, "constexpr long kCampoPlano = 89;", "constexpr long kCampoPlano = 90;", "order: plan field code off by one"),
    (M, "if (ordemNova && vinculo.GetInativo())", "if (vinculo.GetInativo())",
     "order: inactive plan link refused on a stored order too"),
    (M, "if (ordem->GetPonteiroPrioridade() == 0) return SetAviso(MODULO_MM, 177, kCampoPrioridade);", "",
     "order: missing priority not checked"),
    (M, "  if (ordem->GetDescricao().IsEmpty()) return SetAviso(MODULO_MM, 49, kCampoDescricao);\n"
        "  if (ordem->GetPonteiroRequisitante() == 0) return SetAviso(MODULO_MM, 27, kCampoRequisitante);\n",
     "  if (ordem->GetPonteiroRequisitante() == 0) return SetAviso(MODULO_MM, 27, kCampoRequisitante);\n"
     "  if (ordem->GetDescricao().IsEmpty()) return SetAviso(MODULO_MM, 49, kCampoDescricao);\n",
     "order: description and requester checked in the wrong order"),
    (M, "if (!pode) return SetAviso(MODULO_MM, 191, kCampoSituacao);",
     "if (pode) return SetAviso(MODULO_MM, 191, kCampoSituacao);", "order: closing permission test flipped"),
    (M, "previsao.Compara(emissao) < 0", "previsao.Compara(emissao) <= 0",
     "order: forecast equal to issue refused (off by one)"),
    (M, "if (inicio.Compara(fim) > 0) return SetAviso(MODULO_MM, 143, kCampoFim);",
     "if (inicio.Compara(fim) >= 0) return SetAviso(MODULO_MM, 143, kCampoFim);",
     "order: end equal to start refused (off by one)"),
    (M, "if (fim.ullValor != 0) return SetAviso(MODULO_MM, 142, kCampoFim);",
     "if (fim.IsPreenchida()) return SetAviso(MODULO_MM, 142, kCampoFim);",
     "order: an end's raw value no longer counts as an end"),
    (M, "return SetCodigoCampo(kCampoMateriais).SetItem(i);", "return SetCodigoCampo(kCampoMateriais).SetItem(i + 1);",
     "order: material line index off by one"),
    (M, "if (mestre.GetObrigarApontamentoManutencao() && ordem.GetQuantidadeApontamento() == 0)",
     "if (ordem.GetQuantidadeApontamento() == 0)", "order: appointments required without the master switch"),
    (M, "return SetAviso(MODULO_MM, 103, kCampoApontamentos);", "return SetAviso(MODULO_MM, 105, kCampoApontamentos);",
     "appointment: wrong message for a start before the order's"),
    (M, "case 1:\n      *data = data->SomaMeses(unidades);", "case 1:\n      *data = data->SomaDias(unidades);",
     "warranty: months added as days"),
    (M, "if (ConsistirManutencao(&copia).EhErroNenhum()) *ordem = std::move(copia);",
     "ConsistirManutencao(&copia);\n  *ordem = std::move(copia);", "order: derived fields kept after a warning"),
    (M, "if (campo.GetCampoObrigatorio() && !campo.GetDesabilitarCampo() && !campo.TemValorInformado())",
     "if (campo.GetCampoObrigatorio() && !campo.TemValorInformado())",
     "task settings: disabled required field still demanded"),
    (M, "situacao == kSituacaoEncerrada || situacao == kSituacaoAndamento2;", "situacao == kSituacaoEncerrada;",
     "order: second in-progress situation not taken as started"),
    (M, "if (!inicio.IsPreenchida()) return SetAviso(MODULO_MM, 105, kCampoApontamentos);\n"
        "  if (inicio.Compara(ordem.GetDataHoraInicio()) < 0)",
     "if (!inicio.IsPreenchida()) return SetAviso(MODULO_MM, 105, kCampoApontamentos);\n"
     "  if (inicio.Compara(ordem.GetDataHoraInicio()) <= 0)",
     "appointment: start equal to the order's refused (off by one)"),
    # The priority register.
    (P, "  codigo.Trim();\n", "", "priority: code not trimmed"),
    (P, "  descricao.Trim();\n", "", "priority: description not trimmed"),
    (P, "if (aPonteiros.GetSize() > 0)", "if (aPonteiros.GetSize() > 1)", "priority: duplicate code found once missed"),
    (P, "> kPrioridadeBaseMaxima", ">= kPrioridadeBaseMaxima", "priority: base priority 100 refused (off by one)"),
    (P, "if (prioridade->GetPosicao() == 0) {", "if (prioridade->GetPosicao() != 0) {",
     "priority: duplicate search on stored records instead of new ones"),
    # The shared verifications.
    (D, "return EhErroNenhum() ? 1 : 0;\n}\n\nint CMMTrataDados::TrataExclusao",
     "return EhErroNenhum() ? 0 : 1;\n}\n\nint CMMTrataDados::TrataExclusao", "save: result flipped"),
    (D, "SetAviso(MODULO_MM, 3, codigoCampo);", "SetAviso(MODULO_MM, 4, codigoCampo);",
     "stale record: wrong message number"),
    (D, "mes > dadosPeriodo.GetDataSuperiorMovimentacao().GetMa()",
     "mes >= dadosPeriodo.GetDataSuperiorMovimentacao().GetMa()", "movement period: last month refused"),
    (D, "if (mes <= dadosFilial.GetMesBloqueioIntegracao())", "if (mes < dadosFilial.GetMesBloqueioIntegracao())",
     "integration: branch's blocked month let through"),
    (D, "if (mes <= dadosPeriodo.GetMesBloqueio())", "if (mes < dadosPeriodo.GetMesBloqueio())",
     "integration: blocked month let through"),
    (D, "data > dadosPeriodo.GetDataSuperiorIntegracao()", "data >= dadosPeriodo.GetDataSuperiorIntegracao()",
     "integration: last day refused"),
    (D, "  if (dadosProdutoEx.GetKit() != 0) return SetAviso(MODULO_MM, 112, 0);\n", "",
     "product: kit not refused"),
    (D, "regPosicaoProduto.usGrade2 != 0) return SetAviso(MODULO_MM, 42, 0);",
     "regPosicaoProduto.usGrade1 != 0) return SetAviso(MODULO_MM, 42, 0);", "product: second grade checks the first"),
    (D, "return obrigatoria ? SetAviso(MODULO_MM, 145, campo) : *this;",
     "return !obrigatoria ? SetAviso(MODULO_MM, 145, campo) : *this;", "situation: required flag flipped"),
    (D, "if (dadosSituacao.GetInativo() && !permiteInativa)", "if (dadosSituacao.GetInativo())",
     "situation: inactive refused even when allowed"),
    (D, " || regPosicaoServico.usGrade3 != 0) return", ") return", "service: third grade not refused"),
    # Failure trace and its log.
    (R, "if (codigo == MMHR32(hr)) {", "if (codigo != MMHR32(hr)) {", "trace: expected-code match flipped"),
    (R, "agora->tm_mon = mes - 1;", "agora->tm_mon = mes;", "trace: month off by one"),
    (R, "MMNomeMaquina() + '\\\\' + r.usuarioLocal", "MMNomeMaquina() + '/' + r.usuarioLocal",
     "trace: wrong separator in the domain user"),
    (L, "if (escrito && st.st_size == 0)", "if (escrito && st.st_size >= 0)", "log: header written on every line"),
    (L, "\"ZQProfilerErros_Base_\"", "\"ZQProfilerErros_Pgms_\"", "log: company file takes the programs' name"),
    (L, "StringPrintf(\"U%03u\\tS%08lu\\tT%08ld\\t\"", "StringPrintf(\"U%03u\\tS%08lu\\tT%07ld\\t\"",
     "log: thread column one digit short"),
    ("framework/InfoProcesso.cpp", "return valor * 1024;", "return valor * 1000;", "memory: kB read as 1000"),
    ("framework/Versoes.cpp", "if (valor > 0xFFFF)", "if (valor >= 0xFFFF)", "version: 65535 refused"),
    ("framework/HResultNomes.cpp", "? \"SEVERITY_ERROR\" : \"SEVERITY_SUCCESS\"",
     "? \"SEVERITY_SUCCESS\" : \"SEVERITY_ERROR\"", "trace: severity names swapped"),
    # Common lookups.
    ("support/MMCampos.cpp", "{77, 80, 83}", "{77, 81, 83}", "fields: equipment quantity code off by one"),
    ("support/MMCampos.cpp", "tipoComponente <= 3", "tipoComponente < 3", "fields: service type not known"),
    ("support/MMFuncoesComuns.cpp", "L(Material, 0x0018)", "L(Material, 0x0008)",
     "read flags: material complement no longer implies material"),
    # Template expansion.
    (T, "(n > 1 && t[p + 1] == '0')", "(false)", "template: row number with a leading zero accepted"),
    (T, "return static_cast<std::size_t>(v) < limite ? v : -1;", "return static_cast<std::size_t>(v) <= limite ? v : -1;",
     "template: row number one past the rows accepted"),
    (T, "return c == ' ' || c == '<' || c == '*'; }", "return c == ' ' || c == '<'; }",
     "template: '*' no longer ends a token"),
    (T, "SubstituiTodas(b, \"\\r\\n  ZQ_FIM_LISTA\", \"\")", "SubstituiTodas(b, \"\\r\\n ZQ_FIM_LISTA\", \"\")",
     "template: list end line not removed whole"),
    (T, "if (!CMMModeloEmailAlerta::EhMemoriaCabecalho(k)) Insere(k);", "Insere(k);",
     "template: header tokens numbered in rows"),
    (T, "s.find_last_of(\"\\\\/\")", "s.find_last_of(\"/\")", "template: backslash folders kept in the name"),
]


def le(caminho):
    with open(caminho, "rb") as f:
        return f.read()


def grava(caminho, dados):
    with open(caminho, "wb") as f:
        f.write(dados)


def aplica(n, build, timeout):
    arquivo, trecho, troca, descricao = MUTANTES[n - 1]
    caminho = os.path.join(RAIZ, arquivo)
    original = le(caminho)
    t, novo = trecho.encode(), troca.encode()
    if original.count(t) != 1:
        return "not applicable", f"snippet found {original.count(t)} times"
    inicio = time.time()
    try:
        grava(caminho, original.replace(t, novo))
        b = subprocess.run(["cmake", "--build", build, "-t", "zqmm", "zqmm_host", "zqmm_tests"],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if b.returncode != 0:
            return "caught", "build failed"
        binario = os.path.join(build, "tests", "zqmm_tests")
        try:
            r = subprocess.run([binario, "--gtest_brief=1"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               timeout=timeout, cwd=os.path.join(build, "tests"))
        except subprocess.TimeoutExpired:
            return "caught", "time-out"
        if r.returncode == 0:
            return "missed", f"{time.time() - inicio:.0f} s"
        falhas = [l.split("]", 1)[1].split(",")[0].split()[0] for l in r.stdout.decode(errors="replace").splitlines()
                  if l.startswith("[  FAILED  ]") and "listed below" not in l]
        return "caught", f"{time.time() - inicio:.0f} s; " + (" ".join(falhas[:3]) or f"exit {r.returncode}")
    finally:
        grava(caminho, original)


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--build", default=os.path.join(RAIZ, "build"))
    a.add_argument("--only", help="mutant numbers, comma separated")
    a.add_argument("--list", action="store_true")
    a.add_argument("--timeout", type=int, default=300)
    o = a.parse_args()
    o.build = os.path.abspath(o.build)
    numeros = [int(x) for x in o.only.split(",")] if o.only else range(1, len(MUTANTES) + 1)
    if o.list:
        for n in numeros:
            arquivo, trecho, _, descricao = MUTANTES[n - 1]
            achados = le(os.path.join(RAIZ, arquivo)).count(trecho.encode())
            print(f"{n:3} {arquivo}: {descricao}" + ("" if achados == 1 else f"  [snippet found {achados} times]"))
        return 0
    contagem = {"caught": 0, "missed": 0, "not applicable": 0}
    for n in numeros:
        estado, detalhe = aplica(n, o.build, o.timeout)
        contagem[estado] += 1
        print(f"{n:3} {estado:14} {MUTANTES[n - 1][0]}: {MUTANTES[n - 1][3]} ({detalhe})", flush=True)
    # The tree as it was: rebuilt so that the build directory matches the sources again.
    subprocess.run(["cmake", "--build", o.build, "-t", "zqmm", "zqmm_host", "zqmm_tests"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    aplicaveis = contagem["caught"] + contagem["missed"]
    print(f"mutants: {aplicaveis}, caught: {contagem['caught']}, missed: {contagem['missed']}, "
          f"not applicable: {contagem['not applicable']}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
