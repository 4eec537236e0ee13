"""Hostile clients against one monitor: garbage, invalid UTF-8, a line of
1 MiB, half a line and then a disconnect, and 50 clients selling at once.
The monitor must stay alive, every reply be one well-formed JSON line, and
every sale completed be one closed coupon of the printer's records."""

import argparse
import json
import os
import socket
import threading

from cliente import (Conexao, Monitor, exige, inicializa, pasta_temporaria, registros, roda,
                     vende_cupom, vende_cupom_de_uma_vez)

argumentos = argparse.ArgumentParser()
argumentos.add_argument("--monitor", required=True)
argumentos.add_argument("--confere", required=True)
o = argumentos.parse_args()

FABRICANTE = "BEMATECH"
pasta = pasta_temporaria("hostil")
monitor = Monitor([o.monitor], pasta, FABRICANTE, opcoes=["--max-conexoes", "60"])
vendas = []  # totals of the sales completed


def erro_e_depois_chamada(dados, trecho):
    con = monitor.conecta()
    con.envia(dados)
    r = con.le()
    exige(r.get("id") is None and trecho in r.get("erro", ""), "reply to %r: %r" % (dados[:60], r))
    exige(con.chama("ecf_DllVersao")["resultado"] == 1020, "the connection did not go on")
    con.fecha()


def lixo():
    erro_e_depois_chamada(b"\x00\x01garbage }{ \xff\n", "não é JSON")
    erro_e_depois_chamada(b'[1, 2, 3]\n', "objeto JSON")
    erro_e_depois_chamada(b'{"funcao": 7}\n', "funcao")
    erro_e_depois_chamada(b'{"id": {"a": 1}, "funcao": "ecf_DllVersao"}\n', "\"id\"")
    erro_e_depois_chamada(b'{"funcao": "ecf_Suprimento", "args": [12.5]}\n', "inteiro de décimos")
    erro_e_depois_chamada(b'{"funcao": "ecf_SetUF", "args": ["M\\u0000G"]}\n', "nulo")
    erro_e_depois_chamada(b'{"funcao": "ecf_SetUF", "args": ["\\ud800"]}\n', "não é JSON")


def utf8_invalido():
    for dados in (b'{"funcao": "ecf_SetUF", "args": ["\xc3\x28"]}\n',
                  b'{"funcao": "ecf_SetUF", "args": ["\xed\xa0\x80"]}\n',
                  b'{"funcao": "ecf_SetUF", "args": ["\xf8\x88\x80\x80\x80"]}\n'):
        erro_e_depois_chamada(dados, "UTF-8")


def linha_de_1_mib():
    con = monitor.conecta()
    try:
        con.envia(b'{"funcao": "ecf_SetUF", "args": ["' + b"A" * (1 << 20) + b'"]}\n')
    except (BrokenPipeError, ConnectionResetError):
        pass  # closed while sending the rest: the reply was already on its way
    r = con.le()
    exige("linha acima de 64 KiB" in r.get("erro", ""), "reply to 1 MiB: %r" % r)
    exige(con.arquivo.readline() == b"", "the connection stayed open after the long line")
    outra = monitor.conecta()
    exige(outra.chama("ecf_DllVersao")["resultado"] == 1020, "the next client was not served")
    outra.fecha()


def meia_linha():
    antes = open(os.path.join(pasta, "traco.log"), "rb").read().count(b"> ecf_Suprimento")
    for dados in (b'{"id": 1, "funcao": "ecf_Suprimento", "args": [100000]}',
                  b'{"id": 2, "funcao": "ecf_Supri'):
        s = socket.create_connection(monitor.tcp)
        s.sendall(dados)
        s.close()
    con = monitor.conecta()
    exige(con.chama("ecf_DllVersao")["resultado"] == 1020, "not served after half lines")
    con.fecha()
    depois = open(os.path.join(pasta, "traco.log"), "rb").read().count(b"> ecf_Suprimento")
    exige(depois == antes, "a half line was called")


def cliente_vendendo(resultados, n):
    # Coupons of 50 clients interleave on the one printer: another client's
    # ecf_AbreCupom frees the printer of one left open. A sale is complete
    # when its closing succeeded. Half the clients send each coupon in one
    # write, whose lines the monitor serves together.
    try:
        con = Conexao(monitor.tcp)
        item = [("78910000%05d" % n, "ITEM %d" % n, "1,%02d" % n, 10000 + 100 * n)]
        for _ in range(2):
            if n % 2:
                total = vende_cupom_de_uma_vez(con, FABRICANTE, item)
                if total is not None:
                    vendas.append(total)
                continue
            try:
                vendas.append(vende_cupom(con, FABRICANTE, item))
            except Exception as e:
                if "failed" not in str(e):
                    raise
        con.fecha()
        resultados[n] = None
    except Exception as e:
        resultados[n] = e


def cinquenta_clientes():
    resultados = {}
    linhas = [threading.Thread(target=cliente_vendendo, args=(resultados, n)) for n in range(50)]
    for t in linhas:
        t.start()
    for t in linhas:
        t.join(120)
    problemas = [str(e) for e in resultados.values() if e is not None]
    exige(len(resultados) == 50 and not problemas, "clients failed: %s" % problemas[:3])
    con = monitor.conecta()
    vendas.append(vende_cupom(con, FABRICANTE))  # alone, it must go through
    con.fecha()


def conexoes_demais():
    abertas = [monitor.conecta() for _ in range(60)]
    exige(abertas[-1].chama("ecf_DllVersao")["resultado"] == 1020, "the 60th was not served")
    excesso = monitor.conecta()
    r = excesso.le()
    exige("conexões demais" in r.get("erro", ""), "the 61st got %r" % r)
    for c in abertas:
        c.fecha()


def registros_da_impressora():
    exige(monitor.vivo(), "the monitor died")
    monitor.para()
    r = registros(o.confere, pasta, FABRICANTE)
    exige(len(r["fechados"]) == len(vendas),
          "%d sales completed, %d coupons closed in the journal" % (len(vendas), len(r["fechados"])))
    exige(len(set(r["fechados"])) == len(r["fechados"]), "a coupon closed twice")
    print("   %d sales completed, each one closed coupon of the journal (%d coupons opened)" %
          (len(vendas), len(r["cupons"])))


con = monitor.conecta()
inicializa(con, FABRICANTE, pasta)
con.fecha()
roda([("lixo", lixo), ("utf8_invalido", utf8_invalido), ("linha_de_1_mib", linha_de_1_mib),
      ("meia_linha_e_desconexao", meia_linha), ("cinquenta_clientes", cinquenta_clientes),
      ("conexoes_demais", conexoes_demais), ("registros_da_impressora", registros_da_impressora)])
