"""A client of tarvic-monitor in the Python standard library, and what the
monitor's tests share: starting a monitor on free ports with a printer folder
of its own, calling exports, selling a coupon, and reading the simulated
printer's own records (confere_impressora) once the monitor has stopped."""

import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

FABRICANTES = ["BEMATECH", "SWEDA", "DARUMA", "ELGIN", "DATAREGIS", "URANO"]
DLLG2 = ("DATAREGIS", "URANO")


class Falha(Exception):
    pass


def exige(condicao, mensagem):
    if not condicao:
        raise Falha(mensagem)


class Conexao:
    def __init__(self, endereco, prazo=60):
        self.socket = socket.create_connection(endereco, timeout=prazo)
        self.arquivo = self.socket.makefile("rb")
        self.proximo = 1

    def envia(self, dados):
        self.socket.sendall(dados)

    def le(self):
        """One reply line, which must be a JSON object."""
        linha = self.arquivo.readline()
        exige(linha.endswith(b"\n"), "reply cut short: %r" % linha[:200])
        resposta = json.loads(linha.decode("utf-8"))
        exige(isinstance(resposta, dict), "reply is not an object: %r" % linha[:200])
        return resposta

    def pede(self, pedido):
        self.envia((json.dumps(pedido) + "\n").encode("utf-8"))
        return self.le()

    def chama(self, funcao, *args, respostas=None):
        pedido = {"id": self.proximo, "funcao": funcao, "args": list(args)}
        if respostas is not None:
            pedido["respostas"] = respostas
        self.proximo += 1
        r = self.pede(pedido)
        exige(r.get("id") == pedido["id"], "%s: id %r in the reply" % (funcao, r.get("id")))
        exige("erro" not in r, "%s refused: %s" % (funcao, r.get("erro")))
        for chave in ("resultado", "ecf_Retorno", "mensagens", "retorno"):
            exige(chave in r, "%s: no %r in %r" % (funcao, chave, r))
        return r

    def fecha(self):
        self.arquivo.close()
        self.socket.close()


class Monitor:
    """A tarvic-monitor on free ports, its printer's files in `pasta`."""

    def __init__(self, comando, pasta, fabricante="BEMATECH", opcoes=(), ambiente=None,
                 como_windows=None):
        """`como_windows`: how the monitor names `pasta` (a 32-bit Windows
        monitor under Wine), for its trace and the stand-ins' state."""
        self.pasta = pasta
        self.pasta_monitor = como_windows or pasta
        separador = "\\" if como_windows else "/"
        env = dict(os.environ)
        for v in ("TARVIC_LOG", "TARVIC_SIM_FALHAS", "TARVIC_SIM_FABRICANTE"):
            env.pop(v, None)
        env["TARVIC_SIM_ESTADO"] = self.pasta_monitor
        if fabricante in DLLG2:
            env["TARVIC_SIM_FABRICANTE"] = fabricante
        env.update(ambiente or {})
        args = list(comando) + ["--escuta", "127.0.0.1:0", "--http", "127.0.0.1:0",
                                "--traco", self.pasta_monitor + separador + "traco.log"]
        args += list(opcoes)
        self.saida = open(os.path.join(pasta, "monitor.saida"), "w+")
        # A session of its own: a monitor under Wine is stopped with its loader.
        self.processo = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=self.saida,
                                         env=env, text=True, start_new_session=True)
        self.enderecos = {}
        limite = time.time() + 60
        while "traco" not in self.enderecos:
            linha = self.processo.stdout.readline()
            if not linha:
                self.processo.wait()
                self.saida.seek(0)
                raise Falha("the monitor did not start: %s" % self.saida.read())
            exige(time.time() < limite, "the monitor takes too long to start")
            chave, _, valor = linha.strip().partition(" ")
            self.enderecos[chave] = valor
        host, _, porta = self.enderecos["tcp"].rpartition(":")
        self.tcp = (host, int(porta))
        self.painel = self.enderecos.get("painel")

    def conecta(self, prazo=60):
        return Conexao(self.tcp, prazo)

    def vivo(self):
        return self.processo.poll() is None

    def para(self, grupo=False):
        """Stops it (with `grupo`, the whole session it started: Wine's loader
        and what runs it) and returns what it wrote to its standard error."""
        exige(self.vivo(), "the monitor stopped by itself (code %s)" % self.processo.poll())
        if grupo:
            os.killpg(self.processo.pid, signal.SIGTERM)
        else:
            self.processo.terminate()
        codigo = self.processo.wait(timeout=60)
        self.saida.seek(0)
        erros = self.saida.read()
        exige(grupo or codigo == 0, "the monitor ended with %s: %s" % (codigo, erros))
        return erros


def aliquota(fabricante):
    return "18,00" if fabricante in DLLG2 else "01"


ITENS = [("7891000100103", "ARROZ TIPO 1 5KG", "21,90", 219000),
         ("7891000200200", "FEIJÃO CARIOCA 1KG", "8,49", 84900),
         ("7891000300307", "CAFÉ TORRADO 500G", "15,75", 157500)]


def args_do_item(fabricante, n, item):
    """ecf_VendeItem's arguments for one unit of `item` (code, description, price and
    value, as in ITENS), the coupon's item `n`."""
    codigo, descricao, preco, _ = item
    return [codigo, descricao, "UN", 0, aliquota(fabricante), 0, "1", preco, "$", "0", 0, False, n]


def vende_cupom(con, fabricante, itens=ITENS):
    """A whole coupon: opens, sells the items, pays with card and cash, closes.
    Returns its total in ten-thousandths."""
    exige(con.chama("ecf_AbreCupom")["resultado"] is True, "ecf_AbreCupom failed")
    total = 0
    for n, item in enumerate(itens, 1):
        r = con.chama("ecf_VendeItem", *args_do_item(fabricante, n, item))
        exige(r["resultado"] is True, "ecf_VendeItem %d failed: %r" % (n, r))
        total += item[3]
    exige(con.chama("ecf_IniciaFechamentoCupom", "D", "0")["resultado"] is True,
          "ecf_IniciaFechamentoCupom failed")
    cartao = total // 2
    exige(con.chama("ecf_EfetuaFormaPagto", "Cartao", cartao)["resultado"] is True,
          "ecf_EfetuaFormaPagto (card) failed")
    exige(con.chama("ecf_EfetuaFormaPagto", "Dinheiro", total - cartao)["resultado"] is True,
          "ecf_EfetuaFormaPagto (cash) failed")
    r = con.chama("ecf_TerminaFechamentoCupom", "Obrigado!")
    exige(r["resultado"] is True, "ecf_TerminaFechamentoCupom failed: %r" % r)
    return total


def vende_cupom_de_uma_vez(con, fabricante, itens):
    """The same coupon with all its requests in one write, the replies read
    after: its total in ten-thousandths when every call succeeded, else None."""
    pedidos = [{"funcao": "ecf_AbreCupom"}]
    total = 0
    for n, item in enumerate(itens, 1):
        pedidos.append({"funcao": "ecf_VendeItem", "args": args_do_item(fabricante, n, item)})
        total += item[3]
    pedidos += [{"funcao": "ecf_IniciaFechamentoCupom", "args": ["D", "0"]},
                {"funcao": "ecf_EfetuaFormaPagto", "args": ["Dinheiro", total]},
                {"funcao": "ecf_TerminaFechamentoCupom", "args": ["Obrigado!"]}]
    for p in pedidos:
        p["id"] = con.proximo
        con.proximo += 1
    con.envia(b"".join((json.dumps(p) + "\n").encode("utf-8") for p in pedidos))
    respostas = [con.le() for _ in pedidos]
    exige([r.get("id") for r in respostas] == [p["id"] for p in pedidos], "replies out of order")
    exige(all("erro" not in r for r in respostas), "refused: %r" % respostas)
    return total if all(r["resultado"] is True for r in respostas) else None


def inicializa(con, fabricante, pasta):
    r = con.chama("ecf_Inicializa", fabricante, "COM1", pasta)
    exige(r["resultado"] is True, "ecf_Inicializa(%s) failed: %r" % (fabricante, r))
    exige(r["retorno"].get("ARQRETORNO", "").endswith("meuRetorno.ini"),
          "ecf_Inicializa wrote no ARQRETORNO in its reply: %r" % r["retorno"])
    return r


def contadores(con):
    return {"gt": con.chama("ecf_GtAtu")["resultado"],
            "coo": con.chama("ecf_NumeroCupom")["resultado"],
            "ccf": con.chama("ecf_NumeroCCF")["resultado"]}


def registros(confere, pasta, fabricante):
    """The simulated printer's own records, checked by the simulator's invariants."""
    estado = os.path.join(pasta, "tarvic_sim_%s.json" % fabricante)
    saida = subprocess.run([confere, estado, fabricante], capture_output=True, text=True,
                           timeout=120)
    exige(saida.returncode == 0, "confere_impressora: %s%s" % (saida.stdout, saida.stderr))
    r = json.loads(saida.stdout)
    exige(not r["falhas"], "the printer's records disagree: %s" % "; ".join(r["falhas"]))
    return r


PASTAS = []


def pasta_temporaria(nome):
    pasta = tempfile.mkdtemp(prefix="tarvic-monitor-%s-" % nome)
    PASTAS.append(pasta)
    return pasta


def roda(testes):
    """Runs each (name, function) and ends with code 1 when any failed."""
    falhas = 0
    for nome, teste in testes:
        inicio = time.time()
        try:
            teste()
            print("ok   %s (%.1f s)" % (nome, time.time() - inicio), flush=True)
        except Exception as e:  # every failure is told, with its test
            falhas += 1
            print("FAIL %s: %s: %s" % (nome, type(e).__name__, e), flush=True)
    if falhas:
        print("the printers' folders are kept: %s" % " ".join(PASTAS))
        sys.exit(1)
    for pasta in PASTAS:
        shutil.rmtree(pasta, ignore_errors=True)
