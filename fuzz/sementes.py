#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (fuzz/corpus/<target>/).

Run again after changing the input layout of a target; the files are kept in
the repository so that the targets start from well-formed answers.
"""
import json
import os
import struct

RAIZ = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")

# Order of the exports in fuzz_respostas.cpp (CHAMADAS).
CHAMADAS = [
    "NumeroCupom", "NumeroCDC", "NumeroGRG", "NumeroGNF", "NumeroCCF", "NumeroCaixa",
    "NumeroSerial", "GtAtu", "Modelo", "IE", "DataUltReducao", "DataHora",
    "UltDataHoraDocumento", "NumeroUsuario", "CodigoModeloFiscal", "StatusAtu",
    "DestravaImpressora", "TratarDesligamento", "AbrirPortaSerial", "ReducaoZPendente",
    "Bloqueado", "ProgramaHorarioVerao", "ReducaoZ", "LeituraX", "LeituraMFData",
    "LeituraMFReducao", "PegaDadosUltReducao", "VerificaRelatorioGerencial",
    "NomeiaRelatorioGerencial", "RelatorioGerencial", "FechaRelatorioGerencial",
    "ProgramaFormasPagamento", "NomeiaTotalizadorNaoFiscal", "CadastraRelatorioGerencial",
    "RecebimentoNaoFiscal", "Suprimento", "AbreComprovanteVinculado", "UsaComprovanteVinculado",
    "FechaComprovanteVinculado", "AbreCupom", "VendeItem", "CancelaItemGenerico",
    "IniciaFechamentoCupom", "EfetuaFormaPagto", "TerminaFechamentoCupom", "SubtotalCupom",
    "DownLoadDaMFD", "ArqMFD", "AtoCotepe1704", "dllG2_leInteiro", "Inicializa",
]
FABRICANTES = ["BEMATECH", "SWEDA", "DARUMA", "ELGIN", "DATAREGIS", "URANO"]


def grava(alvo, nome, dados):
    pasta = os.path.join(RAIZ, alvo)
    os.makedirs(pasta, exist_ok=True)
    with open(os.path.join(pasta, nome), "wb") as f:
        f.write(dados)


def texto(t):
    """One text of FuzzedDataProvider: backslashes doubled, ended by one."""
    if isinstance(t, str):
        t = t.encode("latin-1")
    return t.replace(b"\\", b"\\\\") + b"\\\n"


def campo(valor, largura):
    return str(valor).zfill(largura)


def poe(r, posicao, t):
    return r[:posicao - 1] + t + r[posicao - 1 + len(t):]


def mfd1278():
    r = "0" * 1278
    for posicao, t in [(4, campo(2, 4)), (9, campo(35, 4)), (14, campo(35, 6)),
                       (316, campo(1234567, 18)), (335, campo(10000, 14)), (1208, "1800"),
                       (560, campo(100, 14)), (575, campo(200, 14)), (590, campo(300, 14)),
                       (650, campo(50, 14)), (710, campo(25, 14)), (1273, "170315")]:
        r = poe(r, posicao, t)
    return r


def fi631():
    r = "0" * 631
    for posicao, t in [(4, campo(1234567, 18)), (23, campo(10, 14)), (53, "1800"),
                       (118, campo(2000, 14)), (579, campo(35, 6)), (596, "170315")]:
        r = poe(r, posicao, t)
    return r


def daruma1164():
    r = "0" * 1164
    for posicao, t in [(1, "00017032015"), (9, campo(1234567, 18)), (843, "11800"),
                       (129, campo(2000, 14)), (935, campo(35, 6))]:
        r = poe(r, posicao, t)
    return r


def dataregis468():
    r = ("01" + campo(1234567, 18) + campo(10, 14) + campo(20, 14) + campo(30, 14) +
         campo(40, 14) + campo(50000, 14) + "1800" + "0500" + "0" * 56 + campo(10000, 14) +
         campo(5000, 14) + "0" * 196 + "TS" + "T" * 14 + campo(1, 14) + campo(2, 14) +
         campo(3, 14) + campo(0, 14) + "000041" + "000000" + "170315")
    assert len(r) == 468
    return r


def respostas(fabricante, chamada, textos, mfd=True, identificado=True, uf=0, canal=3):
    """Texts in front; the integers, read from the end, after a run of zeros
    (code 1, integers 0) for the calls that the texts answer."""
    frente = b"".join(texto(t) for t in textos)
    cabecalho = [canal, FABRICANTES.index(fabricante), int(mfd), int(identificado), uf,
                 CHAMADAS.index(chamada)]
    # ConsumeIntegralInRange(1, 6) gives 1 + byte % 6: the byte is the index.
    return frente + b"\0" * 256 + bytes(reversed(cabecalho))


def corpus_respostas():
    genericos = ["000123", "1", "17/03/2015", "12:00:00", "000000001234567", "MP-4000 TH FI"]
    for i, chamada in enumerate(CHAMADAS):
        fabricante = FABRICANTES[i % 6]
        grava("fuzz_respostas", "%02d_%s_%s" % (i, chamada, fabricante),
              respostas(fabricante, chamada, genericos * 4))
    reducoes = {
        "BEMATECH": ["000000001234567", "170315", "120000", mfd1278(), "010101", "1",
                     "01/01/2015 10:00:00", "N", "170315", "120000"],
        "SWEDA": ["000000001234567", "170315", "170315", "120000", mfd1278(), "1",
                  "01/01/2015 10:00:00", "N", "170315", "120000"],
        "DARUMA": ["000000001234567", "1", "010101", "01012015100000", "0035", "002",
                   "BE0123456789012345678", "17032015120000", "1", daruma1164(), "170315",
                   "120000"],
        "ELGIN": ["000000001234567", "170315", mfd1278(), "010115", "100000", "170315",
                  "120000"],
        "DATAREGIS": ["1234,56", "0", "0", "01.00.05", "35", "2", dataregis468(), "12:00:00",
                      "17/03/2015", "12:00:00"],
    }
    for fabricante, textos in reducoes.items():
        grava("fuzz_respostas", "reducao_" + fabricante,
              respostas(fabricante, "PegaDadosUltReducao", textos))
    grava("fuzz_respostas", "reducao_BEMATECH_sem_mfd",
          respostas("BEMATECH", "PegaDadosUltReducao",
                    ["000000001234567", "170315", "120000", "0035", fi631(), "170315", "120000"],
                    mfd=False))
    pedacos = ["LEITURA\r\n", "x" * 60 + "\n\x1b!xZ", "fim\n", ""]
    for chamada in ("DownLoadDaMFD", "ArqMFD", "LeituraMFData", "LeituraMFReducao"):
        grava("fuzz_respostas", "pedacos_" + chamada,
              respostas("DATAREGIS", chamada, pedacos))
    listas = {
        "VerificaRelatorioGerencial": ["0001PARAM CONFIG      " * 3],
        "RecebimentoNaoFiscal": [("01,0000,0000000000000000,Recebimento        ," * 3)[:2199]],
        "ProgramaFormasPagamento": [("Dinheiro        0000000000000000," * 4)],
    }
    for chamada, textos in listas.items():
        for fabricante in ("BEMATECH", "SWEDA", "DARUMA", "ELGIN"):
            grava("fuzz_respostas", "lista_%s_%s" % (chamada, fabricante),
                  respostas(fabricante, chamada, textos))


def corpus_simples():
    inteiros = struct.pack("<qqqb", 125000, -3, 100, 2)
    for i, t in enumerate(["1.234.567,89", "-12,5", "0", "922337203685477,5807", " 7 ",
                           "12,34567", "-922337203685477,5808", "1e3", ",", "00012"]):
        grava("fuzz_numeros", "%02d" % i, texto(t) + inteiros)
    for i, (d, p, v) in enumerate([("17/03/2015", "dd/mm/yyyy hh:nn:ss", 42080.5),
                                   ("29/02/00", "d/m/yy h:n:s", float("nan")),
                                   ("23:59:59", "yyyymmdd", -1.25),
                                   ("31/12/9999", "hh:nn", 2958465.99999)]):
        grava("fuzz_datas", "%02d" % i, texto(d) + texto(p) + struct.pack("<d", v))
    for i, t in enumerate([b"LEITURA X\r\n" + b"A" * 60 + b"\n", b"\x1b!x" + b"Z" * 50,
                           b"linha\r\nsem fim" + b"B" * 47 + b"\r" + b"C" * 10 + b"\0resto"]):
        grava("fuzz_texto_impressao", "%02d" % i, t)
    for i, (s, k, v, m, c) in enumerate([
            ("ECF", "NUMEROCAIXA", " 7", "*.ini", "[ECF]\r\nMODELO=MP\r\n\r\n[OUTRA]\r\nA=1\r\n"),
            ("Sistema", "Path", "C:\\PDV\\", "BEMA?I32.*", "[sistema]\npath = x\n[MFD]\nImpressora=0"),
            ("REDUCZ", "GT", "12345,67", "reduc_*.txt", "")]):
        grava("fuzz_ini", "%02d" % i, texto(s) + texto(k) + texto(v) + texto(m) + c.encode())


def corpus_estado():
    """The state seeds (estado_*: a 0, then files the simulator wrote) stay as
    they are; the journal (1) and fiscal-memory (2) seeds are written from the
    journal and the fiscal memory of the version-1 states, in the lines the
    simulator appends, and one log of changes gets appended texts."""
    pasta = os.path.join(RAIZ, "fuzz_estado_simulador")
    linha = lambda j: json.dumps(j, ensure_ascii=False, separators=(",", ":")).encode() + b"\n"
    jornais = {}
    for nome in sorted(os.listdir(pasta)):
        with open(os.path.join(pasta, nome), "rb") as f:
            dados = f.read()
        if not nome.startswith("estado_") or b"\0" in dados[1:]:
            continue
        j = json.loads(dados[1:].decode("utf-8"))
        ultimo = dados
        jornal = b""
        for d in j["jornal"]:
            linhas = d.pop("linhas", [])
            jornal += linha({"documento": d})
            meio = len(linhas) // 2
            jornal += linha({"linhas": linhas[:meio]}) + linha({"linhas": linhas[meio:]})
        jornais[nome] = jornal
        grava("fuzz_estado_simulador", nome.replace("estado_", "jornal_"), b"\1" + jornal)
    # Two reductions, the second of the next day.
    reducoes = json.loads(ultimo[1:].decode("utf-8"))["memoriaFiscal"] * 2
    reducoes[1] = dict(reducoes[1], crz=reducoes[0]["crz"] + 1, coo=reducoes[0]["coo"] + 3,
                       dataMovimento="09/12/2026 00:00:00")
    memoria = b"".join(linha(z) for z in reducoes)
    grava("fuzz_estado_simulador", "memoria", b"\2" + memoria)
    with open(os.path.join(pasta, "estado_bematech_registro"), "rb") as f:
        estado, registro = f.read().split(b"\0", 1)
    acrescimos = {"n": 6}
    for chave, t in (("jornal", jornais["estado_bematech_jornal_curto"]), ("memoriaFiscal", memoria),
                     ("bobina", "LOJA SIMULADA LTDA\n".encode())):
        acrescimos[chave] = {"posicao": 0, "texto": t.decode()}
    grava("fuzz_estado_simulador", "estado_bematech_registro_acrescimos",
          estado + b"\0" + registro + linha(acrescimos))


def corpus_traco():
    """Traces as the library writes them; the demo's (demo_*: written by
    tarvic_demo with TARVIC_LOG, one BEMATECH day with the printer switched
    off in the middle, one DATAREGIS day) stay as they are."""
    c = "2025-03-15T10:02:11.482 4312 "
    def traco(linhas, fim="\n"):
        return "".join(c + l + fim for l in linhas).encode()
    venda = [
        '# tarvic inicio "\\\\" "1.0.20" "PDV.exe"',
        '> ecf_VendeItem "7891000100103" "ARROZ 5KG" "UN" 0 "1800" 0 "1" "21,90" "$" "0" 0 0 1',
        '> ecf_SetTratadorMensagem fn',
        '< ecf_SetTratadorMensagem 1 ecf_Retorno=0 0ms',
        'D BEMAFI32 Bematech_FI_VendeItem "7891000100103" "ARROZ 5KG" "1800" "F" "1" 2 "21,90" "$" "0" -> 1',
        'D BEMAFI32 Bematech_FI_RetornoImpressora & & & -> 1 6 2 0',
        'D BEMAFI32 Bematech_FI_NumeroSerie [20] -> 1 "SIMBE000000000000001"',
        'S EscreveIni "C:\\\\PDV\\\\retornoEcf\\\\meuRetorno.ini" "ECF" "MODELO" "SIMULADOR MFD" -> 1',
        'M "Impressora desligada ou cabo de comunicação desconectado.\\n" "BEMATECH" 64 -> 1',
        '< ecf_VendeItem 1 ecf_Retorno=1 59ms',
        '> set_CpfCliente "***.***.***-09"',
        '< set_CpfCliente - ecf_Retorno=1 0ms',
        '> ecf_GeraSintegra "s" nan:7ff8000000000007 -inf "\\x01\\*" null "" "" "" "" "" "" "" ""',
        '< ecf_GeraSintegra 0 ecf_Retorno=1 0ms',
        '> ecf_GtAtu',
        '< ecf_GtAtu 1234500 ecf_Retorno=1 3ms',
    ]
    grava("fuzz_traco", "venda", traco(venda))
    grava("fuzz_traco", "venda_windows", traco(venda, "\r\n"))
    grava("fuzz_traco", "anterior_duas_execucoes",
          traco(['# tarvic inicio "/"', '> ecf_SetUF "MG"', '< ecf_SetUF 1 ecf_Retorno=0 0ms',
                 '# tarvic inicio "/"', '> ecf_DllVersao', '< ecf_DllVersao 1020 ecf_Retorno=0 0ms']))
    grava("fuzz_traco", "continuacao",
          traco(['# tarvic continuacao "/" "1.0.20" "tarvic_demo"', '> ecf_SetUF "RJ"',
                 '< ecf_SetUF 1 ecf_Retorno=0 0ms']))


def corpus_requisicoes():
    """Request lines of the monitor: one per kind of argument, and refusals."""
    linhas = [
        {"id": 1, "funcao": "ecf_Inicializa", "args": ["BEMATECH", "COM1", "C:\\PDV"]},
        {"id": 2, "funcao": "ecf_VendeItem",
         "args": ["7891000100103", "FEIJÃO 1KG", "UN", 0, "F", 0, "1", "21,90", "$", "0", 0,
                  False, 1]},
        {"id": "pg", "funcao": "ecf_EfetuaFormaPagto", "args": ["Dinheiro", 219000],
         "respostas": ["sim", "nao"]},
        {"id": None, "funcao": "ecf_GeraSintegra",
         "args": ["s.txt", 45366.5, "2024-03-15T10:00:00"] + ["x"] * 10},
        {"funcao": "ecf_Suprimento", "args": [9223372036854775807]},
        {"funcao": "ecf_NomeiaTotalizadorNaoFiscal", "args": [2147483647, "Sangria €"]},
        {"funcao": "ecf_SetTratadorMensagem", "args": [None]},
        {"funcao": "ecf_SetHorarioVerao", "args": [True]},
    ]
    for n, l in enumerate(linhas):
        grava("fuzz_requisicao", "%02d" % n, json.dumps(l, ensure_ascii=False).encode("utf-8"))
    grava("fuzz_requisicao", "%02d" % len(linhas), b'{"funcao": "ecf_SetUF", "args": ["\\u20b9"]}')


if __name__ == "__main__":
    corpus_respostas()
    corpus_simples()
    corpus_estado()
    corpus_traco()
    corpus_requisicoes()
