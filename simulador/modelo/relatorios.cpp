// The simulated printer's day: X reading, Z reduction, fiscal memory readings
// and the cash drawer.
#include "impressora_interna.h"

namespace tarvic {
namespace simulador {

using namespace interna;

// ---------------------------------------------------------------- the day

Resultado ImpressoraFiscal::leituraX() {
  return opera([&]() {
    Resultado r = podeImprimirSemDocumento();
    if (r != Resultado::Ok) return r;
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    iniciaDocumento("LX");
    imprimeCabecalho("LEITURA X", false);
    std::vector<std::string> l;
    if (m_.diaAberto) l.push_back(linhaDupla("MOVIMENTO DO DIA", m_.dataMovimento.textoData()));
    std::vector<std::string> totais = linhasTotaisDia();
    l.insert(l.end(), totais.begin(), totais.end());
    imprime(l);
    imprimeRodape();
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::reducaoZ() {
  return opera([&]() {
    // An open coupon is not cancelled behind the host's back: the reduction is refused.
    Resultado r = podeImprimirSemDocumento();
    if (r != Resultado::Ok) return r;
    if (diaBloqueado()) return Resultado::DiaBloqueado;

    DataHora agoraZ = agora();
    ++m_.contadores.coo;
    ++m_.contadores.crz;
    DadosReducao z;
    z.crz = m_.contadores.crz;
    z.coo = m_.contadores.coo;
    z.cro = m_.contadores.cro;
    z.dataMovimento = m_.diaAberto ? m_.dataMovimento : agoraZ.soData();
    z.dataHoraEmissao = agoraZ;
    z.grandeTotal = m_.grandeTotal;
    z.vendaBruta = vendaBrutaDia();
    z.vendaLiquida = vendaLiquidaDia();
    z.cancelamentosIcms = m_.totais.cancelamentosIcms;
    z.cancelamentosIss = m_.totais.cancelamentosIss;
    z.descontosIcms = m_.totais.descontosIcms;
    z.descontosIss = m_.totais.descontosIss;
    z.acrescimosIcms = m_.totais.acrescimosIcms;
    z.acrescimosIss = m_.totais.acrescimosIss;
    z.totaisParciais = totaisParciais();
    for (const FormaPagamento& f : m_.formas)
      z.formasPagamento.push_back(TotalParcial{f.nome, f.totalDia});
    for (const TotalizadorNaoFiscal& t : m_.totalizadores)
      z.naoFiscais.push_back(TotalParcial{t.nome, t.totalDia});
    z.ccf = m_.contadores.ccf;
    z.gnf = m_.contadores.gnf;
    z.grg = m_.contadores.grg;
    z.cdc = m_.contadores.cdc;
    z.cfc = m_.contadores.cfc;
    z.cnf = m_.contadores.cnf;

    iniciaDocumento("RZ");
    imprimeCabecalho("REDUCAO Z", false);
    std::vector<std::string> l;
    l.push_back(linhaDupla("MOVIMENTO DO DIA", z.dataMovimento.textoData()));
    l.push_back(linhaDupla("CRZ:" + zeros(z.crz, 4), "CRO:" + zeros(z.cro, 3)));
    std::vector<std::string> totais = linhasTotaisDia();
    l.insert(l.end(), totais.begin(), totais.end());
    imprime(l);
    imprimeRodape();

    memoriaFiscal_.push_back(z);
    novaMemoria_ += LinhaDeReducao(z);
    compactarAoRegistrar_ = true;
    for (Aliquota& a : m_.aliquotas) a.totalDia = 0;
    for (FormaPagamento& f : m_.formas) f.totalDia = 0;
    for (TotalizadorNaoFiscal& t : m_.totalizadores) {
      t.totalDia = 0;
      t.contadorDia = 0;
    }
    for (RelatorioGerencial& g : m_.relatorios) g.contadorDia = 0;
    m_.totais = TotaisDia();
    m_.totais.grandeTotalInicial = m_.grandeTotal;
    for (const char* f : CodigosFixos) m_.totais.fixos.push_back(TotalParcial{f, 0});
    m_.diaAberto = false;
    m_.ultimoCupomCancelavel = false;
    return Resultado::Ok;
  });
}

std::vector<std::string> ImpressoraFiscal::textoLeituraMemoriaFiscal(
    const FaixaMemoriaFiscal& faixa) const {
  std::vector<std::string> l;
  if (faixa.porData) {
    if (!faixa.dataInicial.valida() || !faixa.dataFinal.valida() ||
        faixa.dataFinal.diaCivil() < faixa.dataInicial.diaCivil())
      return l;
  } else if (faixa.crzInicial < 0 || faixa.crzFinal < faixa.crzInicial) {
    return l;
  }
  l.push_back(centraliza(faixa.completa ? "LEITURA DA MEMORIA FISCAL COMPLETA"
                                        : "LEITURA DA MEMORIA FISCAL SIMPLIFICADA"));
  l.push_back(faixa.porData ? linhaDupla("PERIODO:", faixa.dataInicial.textoData() + " A " +
                                                         faixa.dataFinal.textoData())
                            : linhaDupla("CRZ:", zeros(faixa.crzInicial, 4) + " A " +
                                                     zeros(faixa.crzFinal, 4)));
  l.push_back(linhaDupla("FAB:" + m_.identificacao.numeroSerie, m_.identificacao.modelo));
  l.push_back(Separador);
  int64_t soma = 0;
  int quantas = 0;
  for (const DadosReducao& z : memoriaFiscal_) {
    const bool dentro = faixa.porData
                            ? z.dataMovimento.diaCivil() >= faixa.dataInicial.diaCivil() &&
                                  z.dataMovimento.diaCivil() <= faixa.dataFinal.diaCivil()
                            : z.crz >= faixa.crzInicial && z.crz <= faixa.crzFinal;
    if (!dentro) continue;
    ++quantas;
    soma += z.vendaBruta;
    l.push_back(
        linhaDupla("CRZ:" + zeros(z.crz, 4) + " COO:" + zeros(z.coo, 6) + " CRO:" + zeros(z.cro, 3),
                   z.dataMovimento.textoData()));
    l.push_back(linhaDupla("  VENDA BRUTA", moeda(z.vendaBruta)));
    l.push_back(linhaDupla("  GRANDE TOTAL", moeda(z.grandeTotal)));
    if (!faixa.completa) continue;
    l.push_back(linhaDupla("  CANCELAMENTOS ICMS", moeda(z.cancelamentosIcms)));
    l.push_back(linhaDupla("  DESCONTOS ICMS", moeda(z.descontosIcms)));
    l.push_back(linhaDupla("  ACRESCIMOS ICMS", moeda(z.acrescimosIcms)));
    for (const TotalParcial& t : z.totaisParciais)
      if (t.total != 0) l.push_back(linhaDupla("  " + rotuloAliquota(t.codigo), moeda(t.total)));
  }
  if (quantas == 0) l.push_back("NAO HA REDUCOES NO PERIODO");
  l.push_back(Separador);
  l.push_back(linhaDupla("REDUCOES: " + std::to_string(quantas), "TOTAL " + moeda(soma)));
  return l;
}

Resultado ImpressoraFiscal::leituraMemoriaFiscal(const FaixaMemoriaFiscal& faixa) {
  return opera([&]() {
    Resultado r = podeImprimirSemDocumento();
    if (r != Resultado::Ok) return r;
    std::vector<std::string> texto = textoLeituraMemoriaFiscal(faixa);
    if (texto.empty()) return Resultado::ParametroInvalido;
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    iniciaDocumento("LMF");
    imprimeCabecalho("LEITURA DA MEMORIA FISCAL", false);
    imprime(texto);
    imprimeRodape();
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::abreGaveta() {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    m_.gavetaAberta = true;
    ++m_.aberturasGaveta;
    return Resultado::Ok;
  });
}

}  // namespace simulador
}  // namespace tarvic
