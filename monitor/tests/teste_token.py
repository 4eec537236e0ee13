"""The token. Listening on an address other than loopback is refused at
start-up without one; with one, a connection to the machine's own
non-loopback address must present it first or is closed after an error,
and the panel answers no request without it."""

import argparse
import socket
import subprocess
import urllib.error
import urllib.request

from cliente import Conexao, Falha, Monitor, exige, pasta_temporaria, roda

argumentos = argparse.ArgumentParser()
argumentos.add_argument("--monitor", required=True)
argumentos.add_argument("--confere")
o = argumentos.parse_args()
TOKEN = "s3gr3d0-da-loja"


def endereco_externo():
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        s.connect(("192.0.2.1", 9))  # no packet is sent: only the route is chosen
        ip = s.getsockname()[0]
    except OSError as e:
        raise Falha("this machine has no route off loopback, so the test cannot run: %s" % e)
    finally:
        s.close()
    exige(not ip.startswith("127."), "this machine has no address but loopback: the test "
                                     "cannot run")
    return ip


def sem_token_recusado():
    for opcao in ("--escuta", "--http"):
        saida = subprocess.run([o.monitor, opcao, "0.0.0.0:0", "--traco", "/dev/null"],
                               capture_output=True, text=True, timeout=30)
        exige(saida.returncode == 2 and "exige --token" in saida.stderr,
              "%s 0.0.0.0 without a token: code %d, %r" % (opcao, saida.returncode, saida.stderr))


def com_token():
    ip = endereco_externo()
    pasta = pasta_temporaria("token")
    monitor = Monitor([o.monitor], pasta, opcoes=["--escuta", "0.0.0.0:0", "--http", "0.0.0.0:0",
                                                 "--token", TOKEN])
    fora = (ip, monitor.tcp[1])
    for primeira in (b'{"id": 1, "funcao": "ecf_DllVersao"}\n', b'{"token": "errado"}\n'):
        con = Conexao(fora)
        con.envia(primeira)
        r = con.le()
        exige("token ausente ou errado" in r.get("erro", ""), "without the token: %r" % r)
        exige(con.arquivo.readline() == b"", "the connection stayed open without the token")
    con = Conexao(fora)
    exige(con.pede({"token": TOKEN}) == {"token": "aceito"}, "the token was not accepted")
    exige(con.chama("ecf_DllVersao")["resultado"] == 1020, "not served with the token")
    con.fecha()
    painel = "http://%s:%s/estado" % (ip, monitor.painel.rsplit(":", 1)[1].rstrip("/"))
    try:
        urllib.request.urlopen(painel, timeout=30)
        raise Falha("the panel answered without the token")
    except urllib.error.HTTPError as e:
        exige(e.code == 403, "the panel without the token: %d" % e.code)
    pedido = urllib.request.Request(painel, headers={"X-Tarvic-Token": TOKEN})
    exige(urllib.request.urlopen(pedido, timeout=30).status == 200, "the panel refused the token")
    monitor.para()


roda([("fora_do_loopback_sem_token", sem_token_recusado), ("com_token", com_token)])
