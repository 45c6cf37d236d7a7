#!/usr/bin/env python3
"""Writes a dataset of about N records for zqmm carregar, made of copies of a template dataset
(by default the sample company's). Each copy keeps its records' values; every other copy names
fresh keys past the template's highest, the rest leave the key out and take the next free one,
so both paths of the load are timed. The key is each record's first member, as in the sample.

Usage: bench/gera_conjunto.py N SAIDA [MODELO]
"""
import json
import sys


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    total = int(sys.argv[1])
    modelo = sys.argv[3] if len(sys.argv) == 4 else __file__.rsplit("/", 2)[0] + "/data/exemplo/exemplo.json"
    with open(modelo, encoding="utf-8") as f:
        registros = json.load(f)["registros"]
    por_copia = sum(len(lista) for lista in registros.values())
    copias = max(1, -(-total // por_copia))
    saida = {kind: [] for kind in registros}
    feitos = 0
    for copia in range(copias):
        for kind, lista in registros.items():
            chave = next(iter(lista[0])) if lista else None
            passo = max((r.get(chave) or 0) for r in lista) + 1 if lista else 0
            for r in lista:
                if feitos == total:
                    break
                novo = dict(r)
                if copia % 2:
                    del novo[chave]
                else:
                    novo[chave] = r[chave] + passo * (copia // 2)
                saida[kind].append(novo)
                feitos += 1
    with open(sys.argv[2], "w", encoding="utf-8") as f:
        f.write('{\n  "formato": 1,\n  "registros": {')
        primeiro = True
        for kind, lista in saida.items():
            if not lista:
                continue
            f.write(("\n" if primeiro else ",\n") + '    "%s": [\n      ' % kind)
            f.write(",\n      ".join(json.dumps(r, ensure_ascii=False, separators=(", ", ": ")) for r in lista))
            f.write("\n    ]")
            primeiro = False
        f.write("\n  }\n}\n")
    print(feitos)


if __name__ == "__main__":
    main()
