#!/usr/bin/env python3
"""Writes the declarations of the exports in the Delphi unit and the C# class
from the one list of exports, tarvic/exportacoes.inc, grouped under the
section titles of include/tarvic.h. Only the part of each kit between its two
marker lines is written; the rest of the file (its explanations, the
ecf_Retorno reader, the helpers) is the kit's own. With --confere nothing is
written: the kits must already be what the table makes."""
import argparse
import difflib
import itertools
import re
import sys

# C type of exportacoes.inc -> (Delphi type, C# type, stack bytes)
TIPOS = {
    "const char *": ("PAnsiChar", "string", 4),
    "tarvic_Flag": ("Boolean", "bool", 4),
    "int32_t": ("Integer", "int", 4),
    "tarvic_Moeda": ("Currency", "long", 8),
    "tarvic_DataHora": ("TDateTime", "double", 8),
    "ecf_TratadorMensagem": ("TEcfTratadorMensagem", "TratadorMensagem", 4),
    "tarvic_MoedaResultado": ("Currency", "double", None),
    "void": (None, "void", None),
}

# Line widths: both kits break a declaration at 100 columns; the Delphi unit
# keeps one of up to 120 on its line, as its shorter declarations read best.
LARGURA = 100
LARGURA_LINHA_DELPHI = 120
U1 = "[MarshalAs(UnmanagedType.U1)]"
DLLIMPORT = "[DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]"

KITS = {
    "hosts/delphi/tarvic.pas": (
        "{ The declarations below are made from tarvic/exportacoes.inc by hosts/gera_kits.py. }",
        "{ End of the declarations made from tarvic/exportacoes.inc. }"),
    "hosts/csharp/Tarvic.cs": (
        "        // The declarations below are made from tarvic/exportacoes.inc by hosts/gera_kits.py.",
        "        // End of the declarations made from tarvic/exportacoes.inc."),
}


def exportacoes(caminho):
    """The table in its order: name -> (result type, [(parameter type, name)])."""
    lidas = {}
    for linha in open(caminho, encoding="utf-8"):
        m = re.match(r"EXPORTACAO\(([^,]+), (\w+), \(([^)]*)\),", linha)
        if not m:
            continue
        parametros = []
        for p in filter(None, (x.strip() for x in m.group(3).split(","))):
            tipo, nome = re.match(r"(.*?)\s*\**(\w+)$", p).groups()
            parametros.append(("const char *" if "char" in tipo else tipo.strip(), nome))
        lidas[m.group(2)] = (m.group(1).strip(), parametros)
    return lidas


def secoes_do_cabecalho(caminho):
    """The header's declarations in order, each with its section title."""
    texto = open(caminho, encoding="utf-8").read()
    texto = re.sub(r"/\* ---- (.+?) -+ \*/", lambda m: "@secao %s@" % m.group(1), texto)
    texto = re.sub(r"/\*.*?\*/", " ", texto, flags=re.S)
    secao, ordem = None, []
    for m in re.finditer(r"@secao (.+?)@|\bTARVIC_API (\w+)\(", texto):
        if m.group(1):
            secao = m.group(1)
        else:
            ordem.append((m.group(2), secao))
    return ordem


def quebra(inicio, partes, fim, recuo, largura):
    """inicio + partes + fim, broken after a part where a line would pass largura."""
    linhas, atual = [], inicio
    partes = partes[:-1] + [partes[-1] + fim] if partes else [fim]
    for parte in partes:
        if atual.endswith("("):
            atual += parte
        elif len(atual) + 1 + len(parte) > largura:
            linhas.append(atual)
            atual = recuo + parte
        else:
            atual += " " + parte
    linhas.append(atual)
    return linhas


def delphi(nome, resultado, parametros):
    grupos = []
    for tipo, arg in parametros:
        t = TIPOS[tipo][0]
        arg = arg[0].upper() + arg[1:]
        if grupos and grupos[-1][0] == t:
            grupos[-1][1].append(arg)
        else:
            grupos.append((t, [arg]))
    tipo_resultado = TIPOS[resultado][0]
    palavra = "function" if tipo_resultado else "procedure"
    resultado = ": %s;" % tipo_resultado if tipo_resultado else ";"
    chamada = ["stdcall;", "external TarvicDll;"]
    if not grupos:
        return [" ".join(["%s %s%s" % (palavra, nome, resultado)] + chamada)]
    partes = ["%s: %s;" % (", ".join(args), t) for t, args in grupos]
    partes[-1] = partes[-1][:-1] + ")" + resultado
    inicio = "%s %s(" % (palavra, nome)
    inteira = inicio + " ".join(partes + chamada)
    if len(inteira) <= LARGURA_LINHA_DELPHI:
        return [inteira]
    return quebra(inicio, partes + chamada, "", "  ", LARGURA)


def csharp(nome, resultado, parametros):
    linhas = ["        " + DLLIMPORT]
    if resultado == "tarvic_Flag":
        linhas.append("        [return: MarshalAs(UnmanagedType.U1)]")
    partes = []
    for tipo, arg in parametros:
        t = TIPOS[tipo][1]
        partes.append("%s%s %s," % (U1 + " " if tipo == "tarvic_Flag" else "", t, arg))
    if partes:
        partes[-1] = partes[-1][:-1]
    inicio = "        public static extern %s %s(" % (TIPOS[resultado][1], nome)
    return linhas + quebra(inicio, partes, ");", " " * 12, LARGURA)


def declaracoes(tabela, ordem, escreve, titulo):
    linhas = []
    secao = None
    for nome, s in ordem:
        if s != secao:
            secao = s
            linhas += ["", titulo % s]
        linhas += escreve(nome, *tabela[nome])
    return linhas[1:]


def confere_ordem(tabela, ordem):
    for a, b in itertools.zip_longest(tabela, (n for n, _ in ordem)):
        if a != b:
            return "tarvic/exportacoes.inc lists %s where include/tarvic.h declares %s" % (a, b)
    return None


def novo_texto(texto, marcas, linhas, caminho):
    inicio, fim = marcas
    a, b = texto.find(inicio + "\n"), texto.find(fim + "\n")
    if a < 0 or b < a:
        raise SystemExit("%s: the marker lines of the declarations are missing" % caminho)
    a += len(inicio) + 1
    return texto[:a] + "\n".join(linhas) + "\n" + texto[b:]


def main():
    a = argparse.ArgumentParser()
    a.add_argument("--raiz", required=True)
    a.add_argument("--confere", action="store_true")
    args = a.parse_args()
    r = args.raiz.rstrip("/") + "/"
    tabela = exportacoes(r + "tarvic/exportacoes.inc")
    ordem = secoes_do_cabecalho(r + "include/tarvic.h")
    erro = confere_ordem(tabela, ordem)
    if erro:
        print("FAIL:", erro)
        return 1
    geradas = {
        "hosts/delphi/tarvic.pas": declaracoes(tabela, ordem, delphi, "{ ---- %s ---- }"),
        "hosts/csharp/Tarvic.cs": declaracoes(tabela, ordem, csharp, "        // ---- %s ----"),
    }
    velhos = 0
    for caminho, linhas in geradas.items():
        texto = open(r + caminho, encoding="utf-8").read()
        novo = novo_texto(texto, KITS[caminho], linhas, caminho)
        if novo == texto:
            continue
        velhos += 1
        if args.confere:
            print("FAIL: %s is not what tarvic/exportacoes.inc makes; run "
                  "python3 hosts/gera_kits.py --raiz . and commit it:" % caminho)
            sys.stdout.writelines(difflib.unified_diff(
                texto.splitlines(True), novo.splitlines(True), caminho, "made from the table"))
        else:
            open(r + caminho, "w", encoding="utf-8").write(novo)
            print("wrote", caminho)
    print("%d exports in %d kits" % (len(tabela), len(geradas)))
    if args.confere:
        print("%d passed, %d failed" % (0 if velhos else 1, 1 if velhos else 0))
        return 1 if velhos else 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
