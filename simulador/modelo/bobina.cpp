// The simulated printer's paper tape: documents, their header and footer lines,
// and the day's totals as they are printed.
#include "impressora_interna.h"

namespace tarvic {
namespace simulador {

using namespace interna;

namespace {

std::string formataCnpj(const std::string& c) {
  if (c.size() != 14) return c;
  return c.substr(0, 2) + "." + c.substr(2, 3) + "." + c.substr(5, 3) + "/" + c.substr(8, 4) + "-" +
         c.substr(12, 2);
}

}  // namespace

// ---------------------------------------------------------------- tape

void ImpressoraFiscal::iniciaDocumento(const std::string& tipo) {
  DocumentoImpresso& d = m_.documentoAtual;
  d.coo = m_.contadores.coo;
  d.tipo = tipo;
  d.dataHora = agora();
  novoJornal_ += LinhaInicioDeDocumento(d);
  m_.ultimoDocumento = d.dataHora;
}

void ImpressoraFiscal::imprime(const std::string& linha) {
  imprime(std::vector<std::string>{linha});
}

void ImpressoraFiscal::imprime(const std::vector<std::string>& linhas) {
  if (m_.documentoAtual.tipo.empty()) iniciaDocumento("?");
  std::vector<std::string> cortadas;
  for (const std::string& l : linhas) {
    if (l.empty()) {
      cortadas.push_back(l);
      continue;
    }
    for (const std::string& parte : quebraLinhas(l, 48)) cortadas.push_back(parte);
  }
  novoJornal_ += LinhaDeImpressao(cortadas);
  for (const std::string& l : cortadas) {
    acrescentaComoUtf8(novaBobina_, l);
    novaBobina_ += '\n';
  }
}

void ImpressoraFiscal::imprimeCabecalho(const std::string& titulo, bool comCcf) {
  const Identificacao& id = m_.identificacao;
  std::vector<std::string> l;
  l.push_back(centraliza(id.razaoSocial));
  l.push_back(centraliza(id.endereco));
  l.push_back(centraliza(id.cidade));
  l.push_back(linhaDupla("CNPJ:" + formataCnpj(id.cnpj), "IE:" + id.ie));
  if (!id.im.empty()) l.push_back("IM:" + id.im);
  l.push_back(Separador);
  std::string numeros = "COO:" + zeros(m_.contadores.coo, 6);
  if (comCcf) numeros = "CCF:" + zeros(m_.contadores.ccf, 6) + " " + numeros;
  l.push_back(linhaDupla(m_.documentoAtual.dataHora.texto(), numeros));
  l.push_back(centraliza(titulo));
  imprime(l);
}

void ImpressoraFiscal::imprimeRodape() {
  const Identificacao& id = m_.identificacao;
  const DocumentoImpresso& doc = m_.documentoAtual;
  std::vector<std::string> l;
  l.push_back(Separador);
  std::string numeros = "COO:" + zeros(doc.coo, 6);
  if (doc.tipo == "CF") numeros = "CCF:" + zeros(m_.cupom.ccf, 6) + " " + numeros;
  l.push_back(
      linhaDupla("ECF:" + zeros(id.numeroCaixa, 3) + " LJ:" + zeros(id.numeroLoja, 4), numeros));
  l.push_back(linhaDupla(id.marca + " " + id.modelo, agora().texto()));
  l.push_back(linhaDupla("FAB:" + id.numeroSerie, "BR"));
  imprime(l);
}

std::vector<std::string> ImpressoraFiscal::linhasTotaisDia() const {
  std::vector<std::string> l;
  l.push_back(linhaDupla("GRANDE TOTAL", moeda(m_.grandeTotal)));
  l.push_back(linhaDupla("VENDA BRUTA DIARIA", moeda(vendaBrutaDia())));
  l.push_back(linhaDupla("CANCELAMENTOS ICMS", moeda(m_.totais.cancelamentosIcms)));
  l.push_back(linhaDupla("CANCELAMENTOS ISS", moeda(m_.totais.cancelamentosIss)));
  l.push_back(linhaDupla("DESCONTOS ICMS", moeda(m_.totais.descontosIcms)));
  l.push_back(linhaDupla("DESCONTOS ISS", moeda(m_.totais.descontosIss)));
  l.push_back(linhaDupla("ACRESCIMOS ICMS", moeda(m_.totais.acrescimosIcms)));
  l.push_back(linhaDupla("ACRESCIMOS ISS", moeda(m_.totais.acrescimosIss)));
  l.push_back(linhaDupla("VENDA LIQUIDA", moeda(vendaLiquidaDia())));
  l.push_back(Separador);
  l.push_back("TOTALIZADORES PARCIAIS");
  for (const TotalParcial& t : totaisParciais())
    l.push_back(linhaDupla(t.codigo.size() == 7
                               ? t.codigo.substr(0, 2) + " " + rotuloAliquota(t.codigo)
                               : rotuloAliquota(t.codigo),
                           moeda(t.total)));
  l.push_back(Separador);
  l.push_back("MEIOS DE PAGAMENTO");
  for (const FormaPagamento& f : m_.formas)
    l.push_back(linhaDupla(zeros(f.indice, 2) + " " + f.nome, moeda(f.totalDia)));
  l.push_back(linhaDupla("TROCO", moeda(m_.totais.troco)));
  l.push_back(Separador);
  l.push_back("NAO FISCAIS");
  for (const TotalizadorNaoFiscal& t : m_.totalizadores)
    l.push_back(
        linhaDupla(zeros(t.indice, 2) + " " + t.nome + " (" + std::to_string(t.contadorDia) + ")",
                   moeda(t.totalDia)));
  l.push_back(Separador);
  const Contadores& c = m_.contadores;
  l.push_back(linhaDupla("COO:" + zeros(c.coo, 6), "GNF:" + zeros(c.gnf, 6)));
  l.push_back(linhaDupla("CCF:" + zeros(c.ccf, 6), "CFC:" + zeros(c.cfc, 4)));
  l.push_back(linhaDupla("GRG:" + zeros(c.grg, 6), "CDC:" + zeros(c.cdc, 4)));
  l.push_back(linhaDupla("CRZ:" + zeros(c.crz, 4), "CRO:" + zeros(c.cro, 3)));
  return l;
}

}  // namespace simulador
}  // namespace tarvic
