#include "invariantes.h"

#include "texto.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

namespace tarvic {
namespace simulador {

namespace {

bool Comeca(const std::string& linha, const char* prefixo) {
  return linha.compare(0, std::strlen(prefixo), prefixo) == 0;
}

// The amount at the right end of a 48-column line: "-12,50" is -1250.
bool Valor(const std::string& linha, int64_t& centavos) {
  const std::size_t fim = linha.find_last_not_of(' ');
  if (fim == std::string::npos) return false;
  const std::size_t espaco = linha.find_last_of(' ', fim);
  std::string t = linha.substr(espaco == std::string::npos ? 0 : espaco + 1);
  t = t.substr(0, t.find_last_not_of(' ') + 1);
  const bool negativo = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.erase(0, 1);
  if (t.size() < 4 || t[t.size() - 3] != ',') return false;
  t.erase(t.size() - 3, 1);
  if (t.find_first_not_of("0123456789") != std::string::npos) return false;
  centavos = std::stoll(t) * (negativo ? -1 : 1);
  return true;
}

int64_t Modulo(const std::string& linha) {
  int64_t v = 0;
  Valor(linha, v);
  return v < 0 ? -v : v;
}

// The text at the left of a 48-column line.
std::string Esquerda(const std::string& linha) {
  const std::string t = apara(linha);
  return apara(t.substr(0, t.find("  ")));
}

int NumeroApos(const std::string& linha, const char* rotulo) {
  const std::size_t p = linha.find(rotulo);
  if (p == std::string::npos) return -1;
  return std::atoi(linha.c_str() + p + std::strlen(rotulo));
}

// What the lines of one fiscal coupon (or non-fiscal receipt) tell.
struct Leitura {
  int64_t bruto = 0, descontos = 0, cancelados = 0, pagos = 0, troco = 0;
  int64_t total = -1, valorCancelado = -1;
  int64_t entradas = 0, saidas = 0;  // non-fiscal receipts
  std::vector<int> itens;
  bool cancelado = false, rodape = false, itensValidos = true;
  int64_t liquido() const { return bruto - descontos - cancelados; }
};

Leitura LeCupom(const DocumentoImpresso& d, const ImpressoraFiscal& ecf) {
  Leitura c;
  bool fechando = false;
  for (const std::string& l : d.linhas) {
    const std::string e = Esquerda(l);
    if (Comeca(l, "ECF:")) {
      c.rodape = true;
    } else if (!fechando && l.size() > 4 && std::isdigit(static_cast<unsigned char>(l[0])) &&
               l[3] == ' ' && std::isdigit(static_cast<unsigned char>(l[2]))) {
      c.itens.push_back(std::atoi(l.substr(0, 3).c_str()));
    } else if (!fechando && Comeca(l, "    ") && l.size() > 4 &&
               std::isdigit(static_cast<unsigned char>(l[4])) &&
               l.find(" x ") != std::string::npos) {
      c.bruto += Modulo(l);
    } else if (e == "desconto sobre item" || Comeca(e, "desconto item") || e == "DESCONTO R$") {
      c.descontos += Modulo(l);
    } else if (e == "acrescimo sobre item" || Comeca(e, "acrescimo item") || e == "ACRESCIMO R$") {
      c.bruto += Modulo(l);
    } else if (Comeca(e, "cancelamento item")) {
      c.cancelados += Modulo(l);
      const int n = std::atoi(e.substr(18).c_str());
      if (n < 1 || n > static_cast<int>(c.itens.size())) c.itensValidos = false;
    } else if (e == "SUBTOTAL R$") {
      fechando = true;
    } else if (e == "TOTAL R$" && c.total < 0) {
      c.total = Modulo(l);
      fechando = true;
    } else if (e == "TROCO R$") {
      c.troco = Modulo(l);
    } else if (e == "VALOR CANCELADO R$") {
      c.valorCancelado = Modulo(l);
      c.cancelado = true;
    } else if (apara(l) == "COMPROVANTE NAO FISCAL CANCELADO") {
      c.cancelado = true;
    } else if (fechando && ecf.procuraForma(e)) {
      c.pagos += Modulo(l);
    } else if (d.tipo == "CNF" && e.size() > 3 && e[2] == ' ') {
      if (const TotalizadorNaoFiscal* t = ecf.procuraTotalizador(e.substr(3)))
        (t->saida ? c.saidas : c.entradas) += Modulo(l);
    } else if (d.tipo == "CNF" && ecf.procuraForma(e)) {
      c.pagos += Modulo(l);
    }
  }
  for (std::size_t i = 0; i < c.itens.size(); ++i)
    if (c.itens[i] != static_cast<int>(i) + 1) c.itensValidos = false;
  return c;
}

std::string LeArquivo(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string Reais(int64_t centavos) {
  return formataDecimal(centavos, 2);
}

}  // namespace

void Conferencia::exige(bool condicao, const std::string& oQue) {
  if (condicao)
    ++conferidas_;
  else
    falhas_.push_back(oQue);
}

std::string Conferencia::relatorio() const {
  std::string r;
  for (const std::string& f : falhas_) r += "  " + f + "\n";
  return r;
}

void Conferencia::confere(const ImpressoraFiscal& ecf) {
  const std::vector<DocumentoImpresso> jornal = ecf.jornal();
  const Contadores& k = ecf.contadores();
  const TotaisDia& dia = ecf.totaisDia();
  const std::vector<DadosReducao>& memoria = ecf.memoriaFiscal();

  // Nothing that only grows went back.
  exige(ecf.grandeTotal() >= grandeTotal && k.coo >= coo && k.ccf >= ccf && k.crz >= crz,
        "GT, COO, CCF ou CRZ voltou atras");
  grandeTotal = ecf.grandeTotal();
  coo = k.coo;
  ccf = k.ccf;
  crz = k.crz;

  // One COO per document, in order; the counters count the documents.
  int cf = 0, cnf = 0, rg = 0, cdc = 0, rz = 0, lx = 0, lmf = 0, cfc = 0, incompletos = 0;
  for (std::size_t i = 0; i < jornal.size(); ++i) {
    const DocumentoImpresso& d = jornal[i];
    exige(d.coo == static_cast<int>(i) + 1, "COO " + std::to_string(d.coo) + " fora de ordem");
    const Leitura c = LeCupom(d, ecf);
    if (!c.rodape && i + 1 < jornal.size()) ++incompletos;
    if (d.tipo == "CF") {
      ++cf;
      if (c.cancelado) ++cfc;
      bool cabecalho = false;
      for (const std::string& l : d.linhas)
        if (NumeroApos(l, "CCF:") == cf && NumeroApos(l, "COO:") == d.coo) cabecalho = true;
      exige(cabecalho, "cupom COO " + std::to_string(d.coo) + " sem CCF " + std::to_string(cf));
    }
    cnf += d.tipo == "CNF";
    rg += d.tipo == "RG";
    cdc += d.tipo == "CDC";
    rz += d.tipo == "RZ";
    lx += d.tipo == "LX";
    lmf += d.tipo == "LMF";
    cfc += d.tipo == "CCF";
  }
  exige(incompletos == 0, std::to_string(incompletos) + " documento(s) pela metade no jornal");
  exige(k.coo == (jornal.empty() ? 0 : jornal.back().coo), "COO difere do ultimo documento");
  exige(k.ccf == cf, "CCF " + std::to_string(k.ccf) + ", cupons " + std::to_string(cf));
  exige(k.cnf == cnf && k.grg == rg && k.cdc == cdc && k.cfc == cfc,
        "CNF, GRG, CDC ou CFC difere do jornal");
  exige(k.gnf == cnf + rg + cdc + lx + lmf, "GNF difere do jornal");
  exige(k.crz == rz && static_cast<int>(memoria.size()) == rz, "CRZ, reducoes e memoria fiscal");

  // An open document is the journal's last, and only it may be unfinished.
  const TipoDocumento aberto = ecf.documentoAberto();
  if (aberto != TipoDocumento::Nenhum) {
    const char* tipo = aberto == TipoDocumento::CupomFiscal          ? "CF"
                       : aberto == TipoDocumento::NaoFiscal          ? "CNF"
                       : aberto == TipoDocumento::RelatorioGerencial ? "RG"
                                                                     : "CDC";
    exige(!jornal.empty() && jornal.back().tipo == tipo, "documento aberto nao e o ultimo");
  }

  // Each coupon adds up, and the day's totals are the coupons' sums; the
  // grand total is the reductions' chain plus the day's gross sale.
  int64_t brutaDia = 0, descontos = 0, cancelamentos = 0, liquida = 0, recebido = 0;
  std::vector<int64_t> brutaDosDias(1, 0);
  std::vector<int> cancelados;  // coupons undone later by a CCF
  std::size_t inicioDoDia = 0;
  for (std::size_t i = 0; i < jornal.size(); ++i) {
    if (jornal[i].tipo == "RZ") inicioDoDia = i + 1;
    if (jornal[i].tipo == "CCF")
      for (const std::string& l : jornal[i].linhas)
        if (Comeca(l, "COO DO CUPOM CANCELADO:"))
          cancelados.push_back(std::atoi(l.substr(l.find_last_of(' ') + 1).c_str()));
  }
  for (std::size_t i = 0; i < jornal.size(); ++i) {
    const DocumentoImpresso& d = jornal[i];
    const bool ultimoDia = i >= inicioDoDia;
    if (d.tipo == "RZ") {
      brutaDosDias.push_back(0);
      continue;
    }
    const Leitura c = LeCupom(d, ecf);
    const bool desfeito =
        std::find(cancelados.begin(), cancelados.end(), d.coo) != cancelados.end();
    if (d.tipo == "CCF") {
      if (ultimoDia) cancelamentos += c.valorCancelado;
      continue;
    }
    if (d.tipo == "CNF" && ultimoDia && c.total >= 0 && !c.cancelado)
      recebido += c.entradas - c.saidas;
    if (d.tipo != "CF") continue;
    const std::string cupom = "cupom COO " + std::to_string(d.coo);
    exige(c.itensValidos, cupom + ": itens repetidos ou fora de ordem");
    if (c.total >= 0 && !c.cancelado)
      exige(c.total == c.liquido(),
            cupom + ": TOTAL " + Reais(c.total) + ", itens somam " + Reais(c.liquido()));
    if (c.cancelado)
      exige(c.valorCancelado == c.liquido(), cupom + ": cancelado por valor diferente");
    if (c.rodape && !c.cancelado)
      exige(c.pagos - c.troco == c.total, cupom + ": pagamentos nao fecham o total");
    brutaDosDias.back() += c.bruto;
    if (!ultimoDia) continue;
    brutaDia += c.bruto;
    descontos += c.descontos;
    cancelamentos += c.cancelados + (c.cancelado ? c.valorCancelado : 0);
    if (!c.cancelado && !desfeito) liquida += c.liquido();
    if (c.rodape && !c.cancelado && !desfeito) recebido += c.total;
  }
  exige(ecf.vendaBrutaDia() == brutaDia,
        "venda bruta " + Reais(ecf.vendaBrutaDia()) + ", jornal " + Reais(brutaDia));
  exige(dia.descontosIcms + dia.descontosIss == descontos, "descontos do dia difere do jornal");
  exige(dia.cancelamentosIcms + dia.cancelamentosIss == cancelamentos,
        "cancelamentos do dia difere do jornal");
  exige(ecf.vendaLiquidaDia() == liquida,
        "venda liquida " + Reais(ecf.vendaLiquidaDia()) + ", cupons " + Reais(liquida));
  int64_t parciais = 0, formas = 0;
  for (const TotalParcial& t : ecf.totaisParciais()) parciais += t.total;
  for (const FormaPagamento& f : ecf.formasPagamento()) formas += f.totalDia;
  exige(parciais == ecf.vendaLiquidaDia(), "totais parciais difere da venda liquida");
  exige(formas - dia.troco == recebido,
        "meios de pagamento " + Reais(formas - dia.troco) + ", documentos " + Reais(recebido));
  int64_t gt = 0;
  for (std::size_t z = 0; z < memoria.size(); ++z) {
    exige(memoria[z].crz == static_cast<int>(z) + 1 &&
              memoria[z].grandeTotal == gt + memoria[z].vendaBruta && z < brutaDosDias.size() &&
              memoria[z].vendaBruta == brutaDosDias[z],
          "reducao " + std::to_string(z + 1) + " nao fecha com o jornal");
    gt = memoria[z].grandeTotal;
  }
  exige(dia.grandeTotalInicial == gt && ecf.grandeTotal() == gt + brutaDia,
        "GT " + Reais(ecf.grandeTotal()) + " nao e a soma dos cupons");

  // The tape printed what the journal keeps.
  std::string texto;
  for (const DocumentoImpresso& d : jornal)
    for (const std::string& l : d.linhas) {
      acrescentaComoUtf8(texto, l);
      texto += '\n';
    }
  const std::string bobina = LeArquivo(ecf.caminhoBobina());
  exige(bobina.size() >= texto.size() &&
            bobina.compare(bobina.size() - texto.size(), texto.size(), texto) == 0,
        "a bobina nao termina com o jornal");
}

}  // namespace simulador
}  // namespace tarvic
