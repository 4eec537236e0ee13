"""Every manufacturer, through TCP: a Python client and then a PHP client
each sell a whole coupon against the native monitor; the grand total and the
counters their replies gave must be the simulated printer's own records, and
the monitor's call trace must replay without divergence."""

import argparse
import json
import os
import subprocess

from cliente import (FABRICANTES, Monitor, contadores, exige, inicializa, pasta_temporaria,
                     registros, roda, vende_cupom)

argumentos = argparse.ArgumentParser()
argumentos.add_argument("--monitor", required=True)
argumentos.add_argument("--confere", required=True)
argumentos.add_argument("--php", required=True)
argumentos.add_argument("--venda-php", required=True)
argumentos.add_argument("--replay", required=True)
o = argumentos.parse_args()


def venda(fabricante):
    pasta = pasta_temporaria(fabricante)
    monitor = Monitor([o.monitor], pasta, fabricante)
    con = monitor.conecta()
    inicializa(con, fabricante, pasta)
    antes = contadores(con)
    total = vende_cupom(con, fabricante)
    depois = contadores(con)
    exige(depois["gt"] - antes["gt"] == total,
          "grand total %d -> %d for a coupon of %d" % (antes["gt"], depois["gt"], total))
    exige(depois["ccf"] == antes["ccf"] + 1, "CCF %d -> %d" % (antes["ccf"], depois["ccf"]))
    exige(depois["coo"] > antes["coo"], "COO %d -> %d" % (antes["coo"], depois["coo"]))
    con.fecha()
    php = subprocess.run([o.php, o.venda_php, monitor.tcp[0], str(monitor.tcp[1]), fabricante],
                         capture_output=True, text=True, timeout=120)
    exige(php.returncode == 0, "the PHP client failed: %s%s" % (php.stdout, php.stderr))
    ultimo = json.loads(php.stdout)
    exige(ultimo["ccf"] == depois["ccf"] + 1, "PHP: CCF %d after %d" % (ultimo["ccf"], depois["ccf"]))
    monitor.para()
    # The monitor's session is a call trace like any host's: support replays it.
    replay = subprocess.run([o.replay, os.path.join(pasta, "traco.log")], capture_output=True,
                            text=True, timeout=120)
    exige(replay.stdout.strip() == "no divergence", "tarvic-replay: %s%s" % (replay.stdout,
                                                                           replay.stderr))
    r = registros(o.confere, pasta, fabricante)
    exige(r["grande_total_centavos"] * 100 == ultimo["gt"],
          "the printer's grand total is %d cents, the reply said %d" %
          (r["grande_total_centavos"], ultimo["gt"]))
    exige(r["coo"] == ultimo["coo"] and r["ccf"] == ultimo["ccf"],
          "the printer has COO %d CCF %d, the replies said %d and %d" %
          (r["coo"], r["ccf"], ultimo["coo"], ultimo["ccf"]))
    exige(len(r["cupons"]) == r["ccf"] and r["cupons"][-2:] == [depois["coo"], ultimo["coo"]],
          "the journal's coupons %r for the COOs %d and %d" % (r["cupons"], depois["coo"],
                                                               ultimo["coo"]))


roda([("venda_python_e_php_" + f, lambda f=f: venda(f)) for f in FABRICANTES])
