"""The panel in headless Chromium: installs playwright-core (pinned in
navegador/package-lock.json) into the build folder when it is missing,
starts a monitor, sells a coupon from Python and hands over to painel.mjs."""

import argparse
import os
import shutil
import subprocess
import tempfile

from cliente import Falha, Monitor, exige, inicializa, pasta_temporaria, roda, vende_cupom

argumentos = argparse.ArgumentParser()
argumentos.add_argument("--monitor", required=True)
argumentos.add_argument("--confere")
argumentos.add_argument("--node", required=True)
argumentos.add_argument("--npm", required=True)
argumentos.add_argument("--modulos", required=True, help="folder for node_modules")
argumentos.add_argument("--foto", required=True)
o = argumentos.parse_args()
FONTE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "navegador")


def instala():
    exige(os.path.exists("/usr/bin/chromium"), "no /usr/bin/chromium: scripts/prepara.sh "
                                                "installs Debian's chromium")
    os.makedirs(o.modulos, exist_ok=True)
    lock = os.path.join(FONTE, "package-lock.json")
    copia = os.path.join(o.modulos, "package-lock.json")
    if os.path.exists(copia) and open(copia).read() == open(lock).read() and \
            os.path.isdir(os.path.join(o.modulos, "node_modules", "playwright-core")):
        return
    for arquivo in ("package.json", "package-lock.json", "painel.mjs"):
        shutil.copy(os.path.join(FONTE, arquivo), o.modulos)
    saida = subprocess.run([o.npm, "ci", "--no-audit", "--no-fund", "--ignore-scripts"],
                           cwd=o.modulos, capture_output=True, text=True, timeout=600)
    exige(saida.returncode == 0, "npm ci failed: %s%s" % (saida.stdout, saida.stderr))


def painel():
    instala()
    shutil.copy(os.path.join(FONTE, "painel.mjs"), o.modulos)
    pasta = pasta_temporaria("painel")
    monitor = Monitor([o.monitor], pasta)
    exige(monitor.painel, "the monitor shows no panel")
    con = monitor.conecta()
    inicializa(con, "BEMATECH", pasta)
    vende_cupom(con, "BEMATECH")
    perfil = tempfile.mkdtemp(prefix="tarvic-chromium-")
    try:
        saida = subprocess.run([o.node, os.path.join(o.modulos, "painel.mjs"), monitor.painel,
                                monitor.tcp[0], str(monitor.tcp[1]), o.foto, perfil],
                               capture_output=True, text=True, timeout=180)
    finally:
        shutil.rmtree(perfil, ignore_errors=True)
    if saida.returncode != 0:
        raise Falha("painel.mjs: %s%s" % (saida.stdout, saida.stderr))
    print("   " + saida.stdout.strip() + "; screenshot " + o.foto)
    con.fecha()
    monitor.para()


roda([("painel_no_chromium", painel)])
