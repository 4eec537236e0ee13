#!/usr/bin/env python3
"""Checks the shipped tarvic.dll: 32-bit PE, exactly the exports of tarvic.def
(ecf_Retorno as data), the seven driver DLLs imported, no MinGW runtime DLL,
each export removing exactly its bytes of arguments from the stack, a version
resource with the project's version, and a file that fits in 1 MB. With
--versao-apenas it checks only the version resource of each DLL given."""
import argparse
import os
import re
import struct
import subprocess
import sys

DRIVERS = {"bemafi32.dll", "convecf.dll", "daruma32.dll", "elgin.dll", "dllg2.dll",
           "swmfd.dll", "dllg2_gerador.dll"}
RUNTIME = re.compile(r"libstdc\+\+|libgcc|libwinpthread|msvcp|libc\+\+", re.I)
TAMANHO_MAXIMO = 1024 * 1024


def confere_versao(dll, versao):
    """Failures of the version resource: the fixed part with the file and
    product version, and the texts Windows shows in the file's properties."""
    dados = open(dll, "rb").read()
    nome = os.path.basename(dll)
    fixa = dados.find(struct.pack("<I", 0xFEEF04BD))
    if fixa < 0:
        return ["%s: no version resource" % nome]
    falhas = []
    partes = [int(p) for p in versao.split(".")] + [0]
    esperado = ((partes[0] << 16) | partes[1], (partes[2] << 16) | partes[3])
    arquivo = struct.unpack_from("<II", dados, fixa + 8)
    produto = struct.unpack_from("<II", dados, fixa + 16)
    if arquivo != esperado or produto != esperado:
        falhas.append("%s: version resource is not %s" % (nome, versao))
    for chave, valor in (("OriginalFilename", nome), ("FileVersion", versao),
                         ("ProductVersion", versao), ("FileDescription", None),
                         ("LegalCopyright", None)):
        texto = re.search(re.escape((chave + "\0").encode("utf-16-le")) +
                          rb"(?:\0\0)?((?:[^\0].|\0[^\0])+)\0\0", dados[fixa:], re.S)
        lido = texto.group(1).decode("utf-16-le", "replace") if texto else None
        if not lido or (valor is not None and lido.lower() != valor.lower()):
            falhas.append("%s: version text %s is %r" % (nome, chave, lido))
    return falhas


def main():
    a = argparse.ArgumentParser()
    a.add_argument("--objdump", required=True)
    a.add_argument("--dll", required=True)
    a.add_argument("--def", dest="deffile")
    a.add_argument("--versao", required=True)
    a.add_argument("--versao-apenas", nargs="+", default=[])
    args = a.parse_args()

    if args.versao_apenas:
        falhas = [f for dll in args.versao_apenas for f in confere_versao(dll, args.versao)]
        for f in falhas:
            print("FAIL:", f)
        print("%d version resources checked" % len(args.versao_apenas))
        print("%d passed, %d failed" % (0 if falhas else 1, 1 if falhas else 0))
        return 1 if falhas else 0

    esperado = {}
    for linha in open(args.deffile, encoding="ascii"):
        m = re.match(r"\s+(\w+) = \w+@(\d+)\s*$", linha)
        if m:
            esperado[m.group(1)] = int(m.group(2))
        elif re.match(r"\s+ecf_Retorno DATA\s*$", linha):
            esperado["ecf_Retorno"] = None

    cabecalho = subprocess.run([args.objdump, "-p", args.dll], capture_output=True, text=True,
                               check=True).stdout
    falhas = []
    if "pei-i386" not in subprocess.run([args.objdump, "-f", args.dll], capture_output=True,
                                        text=True, check=True).stdout:
        falhas.append("not a PE32 i386 file")

    base = int(re.search(r"ImageBase\s+([0-9a-fA-F]+)", cabecalho).group(1), 16)
    exportados = {}
    em_tabela = False
    for linha in cabecalho.splitlines():
        if "[Ordinal/Name Pointer] Table" in linha:
            em_tabela = True
            continue
        if em_tabela:
            m = re.match(r"\s+\[\s*\d+\]\s+(\S+)$", linha)
            if m:
                exportados[m.group(1)] = None
            elif linha.strip() == "":
                em_tabela = False
    for linha in cabecalho.splitlines():
        m = re.match(r"\s+\[\s*\d+\]\s+\+base\[\s*\d+\]\s+([0-9a-fA-F]+)\s+Export RVA", linha)
        if m:
            pass
    # Export address table: RVA of each name.
    enderecos = re.findall(r"^\s*\[\s*(\d+)\]\s+\+base\[\s*\d+\]\s+([0-9a-f]+) Export RVA",
                           cabecalho, re.M)
    nomes_ordem = re.findall(r"^\s*\[\s*(\d+)\]\s+(\w+)$", cabecalho, re.M)
    rva_por_ordinal = {int(o): int(r, 16) for o, r in enderecos}
    for ordinal, nome in nomes_ordem:
        if nome in exportados:
            exportados[nome] = rva_por_ordinal.get(int(ordinal))

    if set(exportados) != set(esperado):
        falhas.append("exports differ: extra %s, missing %s" % (
            sorted(set(exportados) - set(esperado)), sorted(set(esperado) - set(exportados))))

    importadas = {d.lower() for d in re.findall(r"DLL Name: (\S+)", cabecalho)}
    if not DRIVERS <= importadas:
        falhas.append("driver DLLs not imported: %s" % sorted(DRIVERS - importadas))
    runtime = [d for d in importadas if RUNTIME.search(d)]
    if runtime:
        falhas.append("imports MinGW runtime DLLs: %s" % runtime)

    secoes = {}
    for m in re.finditer(r"^\s*\d+\s+(\.\w+)\s+([0-9a-f]+)\s+([0-9a-f]+)\s+", subprocess.run(
            [args.objdump, "-h", args.dll], capture_output=True, text=True, check=True).stdout,
            re.M):
        secoes[m.group(1)] = (int(m.group(3), 16) - base, int(m.group(2), 16))

    def secao_de(rva):
        for nome, (inicio, tamanho) in secoes.items():
            if inicio <= rva < inicio + tamanho:
                return nome
        return None

    for nome, pilha in sorted(esperado.items()):
        rva = exportados.get(nome)
        if rva is None:
            continue
        if pilha is None:
            if secao_de(rva) not in (".data", ".bss"):
                falhas.append("ecf_Retorno is not data (section %s)" % secao_de(rva))
            continue
        desm = subprocess.run([args.objdump, "-d", "--no-show-raw-insn",
                               "--start-address=0x%x" % (base + rva),
                               "--stop-address=0x%x" % (base + rva + 4096), args.dll],
                              capture_output=True, text=True, check=True).stdout
        m = re.search(r"\sret\s*(\$0x([0-9a-f]+))?\s*$", desm, re.M)
        limpa = int(m.group(2), 16) if m and m.group(2) else 0
        if not m or limpa != pilha:
            falhas.append("%s removes %s bytes, expected %d" % (nome, limpa if m else "?", pilha))

    falhas += confere_versao(args.dll, args.versao)
    tamanho = os.path.getsize(args.dll)
    if tamanho > TAMANHO_MAXIMO:
        falhas.append("%d bytes, more than 1 MB" % tamanho)

    for f in falhas:
        print("FAIL:", f)
    print("%d bytes, version %s" % (tamanho, args.versao))
    print("%d exports checked, imports %s" % (len(exportados), sorted(importadas)))
    print("%d passed, %d failed" % (0 if falhas else 1, 1 if falhas else 0))
    return 1 if falhas else 0


if __name__ == "__main__":
    sys.exit(main())
