"""The protocol's own behaviours: the answers to the operator's questions
(the policy's default and a request's list), dates in replies, lines sent
together answered in order, a line that opens an HTTP request, an idle
connection, and the panel's refusals of requests that are not its page's."""

import argparse
import json
import os
import urllib.error
import urllib.request

from cliente import Monitor, exige, inicializa, pasta_temporaria, roda

argumentos = argparse.ArgumentParser()
argumentos.add_argument("--monitor", required=True)
argumentos.add_argument("--confere")
o = argumentos.parse_args()

pasta = pasta_temporaria("protocolo")
monitor = Monitor([o.monitor], pasta, opcoes=["--ocioso", "1"])
PERGUNTA = 0x24


def painel(caminho, dados=None, cabecalhos=None):
    pedido = urllib.request.Request(monitor.painel + caminho, data=dados, headers=cabecalhos or {})
    try:
        with urllib.request.urlopen(pedido, timeout=30) as r:
            return r.status, json.loads(r.read())
    except urllib.error.HTTPError as e:
        return e.code, json.loads(e.read())


def antes_de_inicializar():
    status, estado = painel("estado")
    exige(status == 200 and estado["impressora"] == {"simulada": False} and
          estado["fabricante"] == "", "before ecf_Inicializa the panel shows %r" % estado)


def perguntas():
    con = monitor.conecta()
    inicializa(con, "BEMATECH", pasta)
    status, _ = painel("falha", b'{"falha": "desligada"}', {"Content-Type": "application/json"})
    exige(status == 200, "the panel did not switch the printer off")
    # Yes, then No: the printer stays off, so the question comes twice.
    r = con.chama("ecf_TratarDesligamento", respostas=["sim", "nao"])
    botoes = [m["botao"] for m in r["mensagens"] if m["tipo"] == PERGUNTA]
    exige(r["resultado"] is False and botoes == [6, 7], "answers %r in %r" % (botoes, r))
    exige("Deseja tentar novamente?" in r["mensagens"][0]["texto"] and
          r["mensagens"][0]["titulo"] == "BEMATECH", "the question: %r" % r["mensagens"][0])
    r = con.chama("ecf_TratarDesligamento")  # the policy: No
    exige([m["botao"] for m in r["mensagens"]] == [7], "the default answer: %r" % r["mensagens"])
    painel("falha", b'{"falha": "ligada"}', {"Content-Type": "application/json"})
    exige(con.chama("ecf_TratarDesligamento")["resultado"] is True, "the printer did not come back")
    con.fecha()


def datas_e_linhas_juntas():
    con = monitor.conecta()
    con.envia(b'{"id": 1, "funcao": "ecf_DataHora"}\n{"id": 2, "funcao": "nada"}\r\n\n'
              b'{"id": 3, "funcao": "ecf_DllVersao"}\n')
    r1, r2, r3 = con.le(), con.le(), con.le()
    exige([r1["id"], r2["id"], r3["id"]] == [1, 2, 3], "replies out of order")
    exige(isinstance(r1["resultado"], float) and len(r1["resultado_iso"]) == 19 and
          r1["resultado_iso"][10] == "T", "a date's reply: %r" % r1)
    exige("desconhecida" in r2["erro"] and r3["resultado"] == 1020, "%r %r" % (r2, r3))
    con.fecha()


def http_na_porta_tcp():
    con = monitor.conecta()
    con.envia(b'POST / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n{"funcao": "ecf_Suprimento", '
              b'"args": [100000]}\n')
    r = con.le()
    exige("não de HTTP" in r.get("erro", ""), "an HTTP request got %r" % r)
    exige(con.arquivo.readline() == b"", "the connection stayed open")
    exige(b"> ecf_Suprimento" not in open(os.path.join(pasta, "traco.log"), "rb").read(),
          "a line of the HTTP body was called")


def ociosa():
    con = monitor.conecta()
    r = con.le()  # nothing sent: after a second the monitor speaks and closes
    exige("ociosa" in r.get("erro", ""), "an idle connection got %r" % r)
    exige(con.arquivo.readline() == b"", "the idle connection stayed open")


def recusas_do_painel():
    status, r = painel("estado", cabecalhos={"Host": "tarvic.exemplo.com"})
    exige(status == 403, "another host name got %d %r" % (status, r))
    status, r = painel("falha", b'{"falha": "sem_papel"}', {"Content-Type": "text/plain"})
    exige(status == 415, "a form's post got %d %r" % (status, r))
    status, r = painel("falha", b'{"funcao": "system", "codigo": 1}',
                       {"Content-Type": "application/json"})
    exige(status == 400 and "desconhecida" in r["erro"], "an unknown function got %r" % r)


def sem_traco():
    outra = pasta_temporaria("sem-traco")
    m = Monitor([o.monitor], outra, opcoes=["--traco", "nao"])
    exige(m.enderecos["traco"] == "nao", "the monitor tells the trace %r" % m.enderecos["traco"])
    con = m.conecta()
    r = con.chama("ecf_Inicializa", "BEMATECH", "COM1", outra)
    exige(r["resultado"] is True and r["retorno"] is None, "without the trace: %r" % r)
    con.fecha()
    m.para()
    exige(not [n for n in os.listdir(outra) if n.endswith(".log")], "a trace was written")


roda([("painel_antes_de_ecf_Inicializa", antes_de_inicializar),
      ("perguntas_ao_operador", perguntas), ("datas_e_linhas_juntas", datas_e_linhas_juntas),
      ("http_na_porta_tcp", http_na_porta_tcp), ("conexao_ociosa", ociosa),
      ("recusas_do_painel", recusas_do_painel), ("sem_traco", sem_traco), ("para", monitor.para)])
