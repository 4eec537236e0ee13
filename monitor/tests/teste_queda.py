"""A client killed while its ecf_TerminaFechamentoCupom runs (the call held
in a flush to the disk): the coupon is closed once, the next client reads
consistent counters and goes on selling."""

import argparse
import os
import signal
import subprocess
import sys
import time

from cliente import (ITENS, Conexao, Monitor, args_do_item, contadores, exige, inicializa,
                     pasta_temporaria, registros, roda, vende_cupom)

argumentos = argparse.ArgumentParser()
argumentos.add_argument("--monitor")
argumentos.add_argument("--confere")
argumentos.add_argument("--lento")
argumentos.add_argument("--filho", nargs=3, metavar=("HOST", "PORT", "MARK"))
o = argumentos.parse_args()
FABRICANTE = "BEMATECH"


def filho(host, porta, marca):
    """The client to be killed: all of a coupon but its end, then the end."""
    con = Conexao((host, int(porta)))
    exige(con.chama("ecf_AbreCupom")["resultado"], "ecf_AbreCupom failed")
    for n, item in enumerate(ITENS, 1):
        con.chama("ecf_VendeItem", *args_do_item(FABRICANTE, n, item))
    con.chama("ecf_IniciaFechamentoCupom", "D", "0")
    con.chama("ecf_EfetuaFormaPagto", "Dinheiro", sum(i[3] for i in ITENS))
    open(marca, "w").close()
    con.pede({"id": "fim", "funcao": "ecf_TerminaFechamentoCupom", "args": ["Obrigado"]})
    exige(False, "the reply came before the kill")


def queda():
    pasta = pasta_temporaria("queda")
    marca = os.path.join(pasta, "lento")
    monitor = Monitor([o.monitor], pasta, FABRICANTE,
                      ambiente={"LD_PRELOAD": o.lento, "TARVIC_TESTE_LENTO": marca})
    con = monitor.conecta()
    inicializa(con, FABRICANTE, pasta)
    antes = contadores(con)
    processo = subprocess.Popen([sys.executable, __file__, "--filho", monitor.tcp[0],
                                 str(monitor.tcp[1]), marca])
    traco = os.path.join(pasta, "traco.log")
    limite = time.time() + 30
    while b"> ecf_TerminaFechamentoCupom" not in open(traco, "rb").read():
        exige(time.time() < limite and processo.poll() is None, "the closing never started")
        time.sleep(0.01)
    time.sleep(0.1)
    exige(b"< ecf_TerminaFechamentoCupom" not in open(traco, "rb").read(),
          "the closing had ended before the kill")
    processo.send_signal(signal.SIGKILL)
    processo.wait()
    os.remove(marca)
    depois = contadores(con)  # served once the closing is over
    total = sum(i[3] for i in ITENS)
    exige(depois["ccf"] == antes["ccf"] + 1 and depois["gt"] == antes["gt"] + total,
          "after the kill: %r, before %r, a coupon of %d" % (depois, antes, total))
    exige(b"< ecf_TerminaFechamentoCupom 1 " in open(traco, "rb").read(),
          "the closing did not succeed")
    vende_cupom(con, FABRICANTE)
    con.fecha()
    monitor.para()
    r = registros(o.confere, pasta, FABRICANTE)
    exige(len(r["fechados"]) == 2 and r["fechados"][0] == depois["coo"],
          "the coupons closed: %r (the killed client's is COO %d)" % (r["fechados"], depois["coo"]))


if o.filho:
    filho(*o.filho)
else:
    roda([("cliente_morto_no_fechamento", queda)])
