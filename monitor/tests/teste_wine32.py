"""The shipped 32-bit programs under 32-bit Wine: tarvic-monitor.exe beside
tarvic.dll and the 32-bit stand-in drivers, driven over loopback by the same
Python client from Linux. Each manufacturer sells a coupon; the replies'
grand total and counters must be the printer's own records (read natively),
and the panel must show the same printer."""

import argparse
import json
import os
import urllib.request

from cliente import (DLLG2, FABRICANTES, Monitor, contadores, exige, inicializa,
                     pasta_temporaria, registros, roda, vende_cupom)

argumentos = argparse.ArgumentParser()
argumentos.add_argument("--roda-wine32", required=True)
argumentos.add_argument("--monitor-exe", required=True)
argumentos.add_argument("--confere", required=True)
o = argumentos.parse_args()


def windows(caminho):
    return "Z:" + caminho.replace("/", "\\")


def rodada(fabricantes, dllg2):
    exige(os.path.exists(o.confere), "no %s: build the native preset first" % o.confere)
    pasta = pasta_temporaria("wine32")
    monitor = Monitor(["bash", o.roda_wine32, o.monitor_exe], pasta, dllg2,
                      como_windows=windows(pasta))
    con = monitor.conecta()
    vendidos = {}
    for fabricante in fabricantes:
        inicializa(con, fabricante, windows(pasta))
        antes = contadores(con)
        total = vende_cupom(con, fabricante)
        depois = contadores(con)
        exige(depois["gt"] - antes["gt"] == total and depois["ccf"] == antes["ccf"] + 1,
              "%s: %r then %r for a coupon of %d" % (fabricante, antes, depois, total))
        vendidos[fabricante] = depois
    painel = json.load(urllib.request.urlopen(monitor.painel + "estado", timeout=30))
    exige(painel["impressora"].get("coo") == vendidos[fabricantes[-1]]["coo"],
          "the panel shows %r" % painel["impressora"])
    con.fecha()
    monitor.para(grupo=True)
    for fabricante in fabricantes:
        nome = dllg2 if fabricante in DLLG2 else fabricante
        r = registros(o.confere, pasta, nome)
        exige(r["grande_total_centavos"] * 100 == vendidos[fabricante]["gt"] and
              r["coo"] == vendidos[fabricante]["coo"] and r["ccf"] == vendidos[fabricante]["ccf"],
              "%s: the printer has %r, the replies said %r" % (fabricante, r, vendidos[fabricante]))


roda([("wine32_monitor_" + "_".join(FABRICANTES[:5]), lambda: rodada(FABRICANTES[:5], "DATAREGIS")),
      ("wine32_monitor_URANO", lambda: rodada(["URANO"], "URANO"))])
