#!/usr/bin/env python3
"""Checks the host kits against the exports: every function of tarvic.def (the
one the build made from tarvic/exportacoes.inc, --def) is declared in the
Delphi unit and in the C# class with the argument and result types of the
table and the stack bytes of tarvic.def; the Delphi program calls every
export; ecf_Retorno is reached through the loaded DLL; and the code lines of
the README's host section are lines of the kits. With
--exemplo-c and --zip it checks the Windows build instead: the C example
imports its functions and ecf_Retorno from tarvic.dll, and the try-out zip
keeps what a point of sale ships (pdv/: the library, the header, the import
library, the kits; no stand-in driver) apart from the simulator (simulador/:
the library, the stand-in drivers, the demo), with a LEIAME.txt in CR LF that
tells the shop what goes where; the C example builds from the kit's pdv
folder with the build line its comment gives."""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import zipfile

from gera_kits import TIPOS, exportacoes as tabela_de_exportacoes


def exportacoes(caminho):
    """name -> (result type, [parameter types]) of the table."""
    return {nome: (resultado, [tipo for tipo, _ in parametros])
            for nome, (resultado, parametros) in tabela_de_exportacoes(caminho).items()}


def pilhas(caminho):
    return {m.group(1): int(m.group(2))
            for m in re.finditer(r"^\s+(\w+) = \w+@(\d+)\s*$", open(caminho).read(), re.M)}


def sem_comentarios_pascal(texto):
    texto = re.sub(r"\{[^}]*\}", " ", texto)
    return re.sub(r"//[^\n]*", " ", texto)


def declaracoes_pascal(texto):
    texto = " ".join(sem_comentarios_pascal(texto).split())
    achadas = {}
    padrao = (r"\b(function|procedure) (\w+)\s*(?:\(([^)]*)\))?\s*(?::\s*(\w+))?\s*;"
              r"\s*stdcall;\s*external TarvicDll;")
    for m in re.finditer(padrao, texto):
        tipos = []
        for grupo in filter(None, (g.strip() for g in (m.group(3) or "").split(";"))):
            nomes, tipo = grupo.rsplit(":", 1)
            tipos += [tipo.strip()] * len(nomes.split(","))
        achadas[m.group(2)] = (m.group(4) if m.group(1) == "function" else None, tipos)
    return achadas


def declaracoes_csharp(texto):
    achadas = {}
    padrao = (r"\[DllImport\(Dll, CallingConvention = CallingConvention\.StdCall, "
              r"CharSet = CharSet\.Ansi\)\]\s*(\[return: MarshalAs\(UnmanagedType\.U1\)\])?\s*"
              r"public static extern (\w+) (\w+)\((.*?)\);")
    for m in re.finditer(padrao, texto, re.S):
        tipos = []
        for p in filter(None, (x.strip() for x in " ".join(m.group(4).split()).split(","))):
            u1 = p.startswith("[MarshalAs(UnmanagedType.U1)] ")
            tipo = p.split()[-2]
            tipos.append(tipo if tipo != "bool" or u1 else "bool without U1")
        resultado = m.group(2)
        if resultado == "bool" and not m.group(1):
            resultado = "bool without U1"
        achadas[m.group(3)] = (resultado, tipos)
    return achadas


def confere(kit, declaradas, esperadas, pilha, coluna, falhas):
    for nome, (resultado, parametros) in esperadas.items():
        if nome not in declaradas:
            falhas.append("%s: %s not declared" % (kit, nome))
            continue
        tem_resultado, tem_parametros = declaradas[nome]
        quer_resultado = TIPOS[resultado][coluna]
        quer_parametros = [TIPOS[p][coluna] for p in parametros]
        if tem_resultado != quer_resultado:
            falhas.append("%s: %s returns %s, not %s" % (kit, nome, tem_resultado, quer_resultado))
        if tem_parametros != quer_parametros:
            falhas.append("%s: %s takes (%s), not (%s)" % (
                kit, nome, ", ".join(tem_parametros), ", ".join(quer_parametros)))
        bytes_ = sum(TIPOS[p][2] for p in parametros)
        if bytes_ != pilha.get(nome):
            falhas.append("%s: %s pushes %d bytes, tarvic.def says %s" % (
                kit, nome, bytes_, pilha.get(nome)))
    for nome in sorted(set(declaradas) - set(esperadas)):
        falhas.append("%s: %s is not an export" % (kit, nome))


def confere_leiame(leiame, arquivos, falhas):
    texto = open(leiame, encoding="utf-8").read()
    secao = re.search(r"^## Using it from a host\n(.*?)(?=^## )", texto, re.M | re.S)
    if not secao:
        falhas.append("README: no section 'Using it from a host'")
        return
    linhas_kits = {l.strip() for a in arquivos for l in open(a, encoding="utf-8")}
    blocos = re.findall(r"```(\w+)\n(.*?)```", secao.group(1), re.S)
    if not blocos:
        falhas.append("README: no code in 'Using it from a host'")
    for linguagem, bloco in blocos:
        for linha in bloco.splitlines():
            if linha.strip() and linha.strip() != "..." and linha.strip() not in linhas_kits:
                falhas.append("README (%s): line not in the kits: %s" % (linguagem, linha.strip()))


DRIVERS = ["BEMAFI32.DLL", "CONVECF.DLL", "DARUMA32.DLL", "ELGIN.DLL", "DLLG2.DLL", "Swmfd.dll",
           "DLLG2_Gerador.dll"]
# The try-out zip: what a point of sale ships, apart from the simulator.
NO_PDV = ["tarvic.dll", "tarvic.h", "libtarvic.dll.a", "hosts/c/exemplo.c",
          "hosts/delphi/tarvic.pas", "hosts/delphi/exemplo.dpr", "hosts/csharp/Tarvic.cs",
          "hosts/csharp/Exemplo.cs"]
NO_SIMULADOR = ["tarvic.dll", "demo.exe", "tarvic-monitor.exe"] + DRIVERS
# What LEIAME.txt must tell the shop's technician.
NO_LEIAME = DRIVERS + ["NUNCA copie a pasta simulador", "SIMULADOR MFD", "tarvic.ini", "[Log]",
                       "tarvic-traco.log.1", "DOIS arquivos", "TARVIC_LOG", "TARVIC_SIM_FALHAS",
                       ".falhas", "--pasta", "--silencioso", "BEMAFI32.INI",
                       "data da última redução", "impressora_BEMATECH.json", "TARVIC_SIM_ESTADO",
                       "tarvic-monitor.exe", "--pasta-comandos", "renomeia para venda.cmd",
                       "--token", "http://127.0.0.1:6018/"]


def confere_leiame_do_kit(dados, falhas):
    if not dados.startswith(b"\xef\xbb\xbf"):
        falhas.append("LEIAME.txt does not start with the UTF-8 byte order mark")
    if dados.replace(b"\r\n", b"").count(b"\n") or dados.replace(b"\r\n", b"").count(b"\r"):
        falhas.append("LEIAME.txt has lines not ended by CR LF")
    texto = dados.decode("utf-8", "replace")
    for frase in NO_LEIAME:
        if frase not in texto:
            falhas.append("LEIAME.txt does not tell %r" % frase)
    if "@" in texto:
        falhas.append("LEIAME.txt keeps a variable not filled in")


# The C example's build line, as its comment gives it, run in the kit's pdv
# folder.
def confere_exemplo_no_kit(z, nome, gcc, falhas):
    linha = re.search(r"^\s*i686-w64-mingw32-gcc (.*)$", z.read("%s/pdv/hosts/c/exemplo.c" % nome)
                      .decode("utf-8"), re.M)
    if not linha:
        falhas.append("exemplo.c gives no build line")
        return
    with tempfile.TemporaryDirectory() as pasta:
        z.extractall(pasta)
        feito = subprocess.run([gcc] + linha.group(1).split(), cwd=os.path.join(pasta, nome, "pdv"),
                               capture_output=True, text=True)
        if feito.returncode != 0:
            falhas.append("exemplo.c's build line fails in the kit's pdv folder: %s" %
                          feito.stderr.strip())


def confere_zip(args, falhas):
    nome = os.path.basename(args.zip)[:-len(".zip")]
    with zipfile.ZipFile(args.zip) as z:
        nomes = set(z.namelist())
        dll = open(args.dll, "rb").read()
        for pasta, arquivos in (("pdv", NO_PDV), ("simulador", NO_SIMULADOR)):
            for arquivo in arquivos:
                caminho = "%s/%s/%s" % (nome, pasta, arquivo)
                if caminho not in nomes:
                    falhas.append("%s lacks %s/%s" % (nome, pasta, arquivo))
                elif arquivo == "tarvic.dll" and z.read(caminho) != dll:
                    falhas.append("%s/%s holds another tarvic.dll than the build's" % (nome, pasta))
        # No stand-in driver, nor any other library, beside the PDV's tarvic.dll.
        substitutas = {d.lower() for d in DRIVERS}
        for n in sorted(nomes):
            partes = n.split("/")
            if len(partes) > 2 and partes[1] == "pdv" and (
                    partes[-1].lower() in substitutas or
                    (partes[-1].lower().endswith(".dll") and n != "%s/pdv/tarvic.dll" % nome)):
                falhas.append("%s: a stand-in or another library in the PDV's folder" % n)
            if len(partes) == 2 and partes[1] not in ("LEIAME.txt", ""):
                falhas.append("%s: a file beside the two folders" % n)
        if "%s/LEIAME.txt" % nome in nomes:
            confere_leiame_do_kit(z.read("%s/LEIAME.txt" % nome), falhas)
        else:
            falhas.append("%s lacks LEIAME.txt" % nome)
        if args.gcc:
            confere_exemplo_no_kit(z, nome, args.gcc, falhas)
    print("%d entries in %s" % (len(nomes), os.path.basename(args.zip)))


def confere_windows(args, pilha, falhas):
    tabela = subprocess.run([args.objdump, "-p", args.exemplo_c], capture_output=True, text=True,
                            check=True).stdout
    bloco = re.search(r"DLL Name: tarvic\.dll\n(.*?)\n\n", tabela, re.S)
    importadas = set(re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\w+)$", bloco.group(1), re.M)) \
        if bloco else set()
    if "ecf_Retorno" not in importadas or "ecf_GtAtu" not in importadas:
        falhas.append("exemplo.exe imports from tarvic.dll only %s" % sorted(importadas))
    if importadas - set(pilha) - {"ecf_Retorno"}:
        falhas.append("exemplo.exe imports unknown names %s" % sorted(importadas - set(pilha)))

    confere_zip(args, falhas)


def main():
    a = argparse.ArgumentParser()
    a.add_argument("--raiz", required=True)
    a.add_argument("--def", dest="def_", required=True)
    a.add_argument("--objdump")
    a.add_argument("--exemplo-c")
    a.add_argument("--zip")
    a.add_argument("--dll")
    a.add_argument("--gcc")
    args = a.parse_args()
    r = args.raiz.rstrip("/") + "/"
    if args.exemplo_c:
        falhas = []
        confere_windows(args, pilhas(args.def_), falhas)
        for f in falhas:
            print("FAIL:", f)
        print("%d passed, %d failed" % (0 if falhas else 1, 1 if falhas else 0))
        return 1 if falhas else 0
    esperadas = exportacoes(r + "tarvic/exportacoes.inc")
    pilha = pilhas(args.def_)
    falhas = []
    if set(esperadas) != set(pilha):
        falhas.append("exportacoes.inc and tarvic.def list different functions")

    unidade = open(r + "hosts/delphi/tarvic.pas", encoding="utf-8").read()
    confere("tarvic.pas", declaracoes_pascal(unidade), esperadas, pilha, 0, falhas)
    if not re.search(r"function ecf_Retorno: Integer;", unidade) or \
            "GetProcAddress(Modulo, 'ecf_Retorno')" not in unidade:
        falhas.append("tarvic.pas: ecf_Retorno is not read through the loaded DLL")
    programa = sem_comentarios_pascal(open(r + "hosts/delphi/exemplo.dpr", encoding="utf-8").read())
    programa = re.sub(r"'[^']*'", "''", programa)
    for nome in esperadas:
        if not re.search(r"\b%s\b" % nome, programa):
            falhas.append("exemplo.dpr: %s is not called" % nome)

    classe = open(r + "hosts/csharp/Tarvic.cs", encoding="utf-8").read()
    confere("Tarvic.cs", declaracoes_csharp(classe), esperadas, pilha, 1, falhas)
    if 'GetProcAddress(modulo, "ecf_Retorno")' not in classe:
        falhas.append("Tarvic.cs: ecf_Retorno is not read through the loaded DLL")

    confere_leiame(r + "README.md", [r + "hosts/c/exemplo.c", r + "hosts/delphi/tarvic.pas",
                                     r + "hosts/delphi/exemplo.dpr", r + "hosts/csharp/Tarvic.cs",
                                     r + "hosts/csharp/Exemplo.cs"], falhas)

    for f in falhas:
        print("FAIL:", f)
    print("%d exports checked in each kit" % len(esperadas))
    print("%d passed, %d failed" % (0 if falhas else 1, 1 if falhas else 0))
    return 1 if falhas else 0


if __name__ == "__main__":
    sys.exit(main())
