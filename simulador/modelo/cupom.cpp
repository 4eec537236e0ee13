// The simulated printer's fiscal coupon: opening, items, adjustments and
// cancellations, closing, payments and the coupon's cancellation.
#include "impressora_interna.h"

namespace tarvic {
namespace simulador {

using namespace interna;

namespace {

// The printer's field limits: 9999,999 units and R$ 9.999.999,999 a unit.
const int64_t MaxQuantidade = 9999999;
const int64_t MaxPrecoUnitario = 9999999999LL;

}  // namespace

// ---------------------------------------------------------------- fiscal coupon

Resultado ImpressoraFiscal::abreCupom(const std::string& documentoConsumidor,
                                      const std::string& nomeConsumidor,
                                      const std::string& enderecoConsumidor) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    abreDiaSeFechado();
    ++m_.contadores.coo;
    ++m_.contadores.ccf;
    m_.cupom = Cupom();
    m_.cupom.coo = m_.contadores.coo;
    m_.cupom.ccf = m_.contadores.ccf;
    m_.cupom.abertura = agora();
    m_.cupom.consumidorDocumento = apara(documentoConsumidor);
    m_.cupom.consumidorNome = apara(nomeConsumidor);
    m_.cupom.consumidorEndereco = apara(enderecoConsumidor);
    m_.documento = TipoDocumento::CupomFiscal;

    iniciaDocumento("CF");
    imprimeCabecalho("CUPOM FISCAL", true);
    std::vector<std::string> l;
    if (!m_.cupom.consumidorDocumento.empty())
      l.push_back("CPF/CNPJ consumidor: " + m_.cupom.consumidorDocumento);
    if (!m_.cupom.consumidorNome.empty()) l.push_back("NOME: " + m_.cupom.consumidorNome);
    if (!m_.cupom.consumidorEndereco.empty()) l.push_back("END: " + m_.cupom.consumidorEndereco);
    l.push_back("ITEM CODIGO DESCRICAO");
    l.push_back("QTD.UN. VL.UNIT(R$) ST              VL.ITEM(R$)");
    l.push_back(Separador);
    imprime(l);
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::vendeItem(const Item& item, int* numeroItem) {
  return opera([&]() {
    Resultado r = podeImprimirNoCupom();
    if (r != Resultado::Ok) return r;
    if (m_.cupom.fase != FaseCupom::Aberto && m_.cupom.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    std::string descricao = apara(item.descricao);
    if (descricao.empty() || item.quantidadeMilesimos <= 0 ||
        item.quantidadeMilesimos > MaxQuantidade || item.precoUnitarioMilesimos <= 0 ||
        item.precoUnitarioMilesimos > MaxPrecoUnitario || item.ajuste.valor < 0)
      return Resultado::ParametroInvalido;
    std::string aliquota = resolveAliquota(item.aliquota);
    if (aliquota.empty()) return Resultado::AliquotaNaoProgramada;
    // thousandths x thousandths = millionths of a real; cents = / 10000
    int64_t bruto = arredondaDivisao(item.quantidadeMilesimos * item.precoUnitarioMilesimos, 10000);
    if (bruto <= 0) return Resultado::ParametroInvalido;
    if (ehPercentual(item.ajuste) && item.ajuste.valor > 9999) return Resultado::ParametroInvalido;
    int64_t ajuste = valorDoAjuste(item.ajuste, bruto);
    if (ajuste > MaxValor) return Resultado::ParametroInvalido;
    if (ehAjusteDeDesconto(item.ajuste) && ajuste >= bruto) return Resultado::ValorMaiorQueTotal;
    int64_t liquido = ehAjusteDeDesconto(item.ajuste) ? bruto - ajuste : bruto + ajuste;
    if (bruto > MaxTotalCupom || liquido > MaxTotalCupom - m_.cupom.subtotal())
      return Resultado::ParametroInvalido;

    ItemCupom novo;
    novo.numero = static_cast<int>(m_.cupom.itens.size()) + 1;
    novo.codigo = apara(item.codigo);
    novo.descricao = descricao;
    novo.unidade = apara(item.unidade).empty() ? "UN" : apara(item.unidade);
    novo.aliquota = aliquota;
    novo.iss = aliquota == "FS" || aliquota == "IS" || aliquota == "NS" ||
               (aliquota.size() == 7 && aliquota[2] == 'S');
    novo.quantidadeMilesimos = item.quantidadeMilesimos;
    novo.precoUnitarioMilesimos = item.precoUnitarioMilesimos;
    novo.bruto = bruto;
    if (ehAjusteDeDesconto(item.ajuste))
      novo.desconto = ajuste;
    else
      novo.acrescimo = ajuste;

    m_.cupom.itens.push_back(novo);
    m_.cupom.fase = FaseCupom::Vendendo;
    m_.grandeTotal += novo.bruto + novo.acrescimo;
    (novo.iss ? m_.totais.descontosIss : m_.totais.descontosIcms) += novo.desconto;
    (novo.iss ? m_.totais.acrescimosIss : m_.totais.acrescimosIcms) += novo.acrescimo;
    somaTotalParcial(aliquota, novo.liquidoSemRateio());
    if (numeroItem) *numeroItem = novo.numero;

    std::string quantidade = item.quantidadeMilesimos % 1000 == 0
                                 ? std::to_string(item.quantidadeMilesimos / 1000)
                                 : formataDecimal(item.quantidadeMilesimos, 3);
    std::string preco = item.precoUnitarioMilesimos % 10 == 0
                            ? moeda(item.precoUnitarioMilesimos / 10)
                            : formataDecimal(item.precoUnitarioMilesimos, 3);
    std::vector<std::string> l;
    l.push_back(zeros(novo.numero, 3) + " " + (novo.codigo.empty() ? "" : novo.codigo + " ") +
                novo.descricao);
    l.push_back(linhaDupla("    " + quantidade + novo.unidade.substr(0, 2) + " x " + preco + " " +
                               rotuloAliquota(aliquota),
                           moeda(novo.bruto)));
    if (novo.desconto)
      l.push_back(linhaDupla("    desconto sobre item", "-" + moeda(novo.desconto)));
    if (novo.acrescimo)
      l.push_back(linhaDupla("    acrescimo sobre item", "+" + moeda(novo.acrescimo)));
    imprime(l);
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::ajustaItem(int numeroItem, const Ajuste& ajuste) {
  return opera([&]() {
    Resultado r = podeImprimirNoCupom();
    if (r != Resultado::Ok) return r;
    if (m_.cupom.fase == FaseCupom::Aberto) return Resultado::ItemInexistente;
    if (m_.cupom.fase != FaseCupom::Vendendo) return Resultado::ComandoForaDeSequencia;
    if (numeroItem == 0) numeroItem = static_cast<int>(m_.cupom.itens.size());
    if (numeroItem < 1 || numeroItem > static_cast<int>(m_.cupom.itens.size()))
      return Resultado::ItemInexistente;
    ItemCupom& it = m_.cupom.itens[static_cast<std::size_t>(numeroItem - 1)];
    if (it.cancelado) return Resultado::ItemJaCancelado;
    if (ajuste.tipo == TipoAjuste::Nenhum || ajuste.valor <= 0 ||
        (ehPercentual(ajuste) && ajuste.valor > 9999))
      return Resultado::ParametroInvalido;
    if (it.acrescimo || it.desconto) return Resultado::ItemJaAjustado;
    int64_t valor = valorDoAjuste(ajuste, it.bruto);
    if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
    bool desconto = ehAjusteDeDesconto(ajuste);
    if (desconto && valor >= it.bruto) return Resultado::ValorMaiorQueTotal;
    if (!desconto && valor > MaxTotalCupom - m_.cupom.subtotal())
      return Resultado::ParametroInvalido;
    if (desconto) {
      it.desconto = valor;
      (it.iss ? m_.totais.descontosIss : m_.totais.descontosIcms) += valor;
      somaTotalParcial(it.aliquota, -valor);
    } else {
      it.acrescimo = valor;
      (it.iss ? m_.totais.acrescimosIss : m_.totais.acrescimosIcms) += valor;
      somaTotalParcial(it.aliquota, valor);
      m_.grandeTotal += valor;
    }
    imprime(linhaDupla(
        std::string(desconto ? "desconto" : "acrescimo") + " item " + zeros(it.numero, 3),
        (desconto ? "-" : "+") + moeda(valor)));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::cancelaItem(int numeroItem) {
  return opera([&]() {
    Resultado r = podeImprimirNoCupom();
    if (r != Resultado::Ok) return r;
    if (m_.cupom.fase != FaseCupom::Aberto && m_.cupom.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (numeroItem < 1 || numeroItem > static_cast<int>(m_.cupom.itens.size()))
      return Resultado::ItemInexistente;
    ItemCupom& it = m_.cupom.itens[static_cast<std::size_t>(numeroItem - 1)];
    if (it.cancelado) return Resultado::ItemJaCancelado;
    int64_t valor = it.liquidoSemRateio();
    it.cancelado = true;
    (it.iss ? m_.totais.cancelamentosIss : m_.totais.cancelamentosIcms) += valor;
    somaTotalParcial(it.aliquota, -valor);
    imprime(linhaDupla("cancelamento item " + zeros(it.numero, 3), "-" + moeda(valor)));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::cancelaUltimoItem() {
  int ultimo = 0;
  for (const ItemCupom& it : m_.cupom.itens)
    if (!it.cancelado) ultimo = it.numero;
  if (m_.documento == TipoDocumento::CupomFiscal && ultimo == 0) {
    Resultado r = verificaImpressora();
    return r != Resultado::Ok ? r : Resultado::ItemInexistente;
  }
  return cancelaItem(ultimo);
}

Resultado ImpressoraFiscal::iniciaFechamento(const Ajuste& ajusteSubtotal) {
  return opera([&]() {
    Resultado r = podeImprimirNoCupom();
    if (r != Resultado::Ok) return r;
    if (m_.cupom.fase != FaseCupom::Aberto && m_.cupom.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (m_.cupom.itensValidos() == 0) return Resultado::SemItens;
    if (ajusteSubtotal.valor < 0 || (ehPercentual(ajusteSubtotal) && ajusteSubtotal.valor > 9999))
      return Resultado::ParametroInvalido;
    int64_t subtotal = m_.cupom.subtotal();
    int64_t valor = valorDoAjuste(ajusteSubtotal, subtotal);
    bool desconto = ehAjusteDeDesconto(ajusteSubtotal);
    if (!desconto && valor > MaxTotalCupom - subtotal) return Resultado::ParametroInvalido;
    if (desconto && valor >= subtotal) return Resultado::ValorMaiorQueTotal;

    // The subtotal adjustment is shared among the valid items in proportion
    // to each, so that the partial totals add up to the net sale; the rest of
    // the division goes to the last item.
    int64_t ajuste = desconto ? -valor : valor;
    int64_t distribuido = 0;
    ItemCupom* ultimo = nullptr;
    for (ItemCupom& it : m_.cupom.itens) {
      if (it.cancelado) continue;
      it.rateioSubtotal = ajuste * it.liquidoSemRateio() / subtotal;
      distribuido += it.rateioSubtotal;
      ultimo = &it;
    }
    ultimo->rateioSubtotal += ajuste - distribuido;
    for (ItemCupom& it : m_.cupom.itens) {
      if (it.cancelado || it.rateioSubtotal == 0) continue;
      somaTotalParcial(it.aliquota, it.rateioSubtotal);
      if (desconto)
        (it.iss ? m_.totais.descontosIss : m_.totais.descontosIcms) += -it.rateioSubtotal;
      else
        (it.iss ? m_.totais.acrescimosIss : m_.totais.acrescimosIcms) += it.rateioSubtotal;
    }
    if (desconto) {
      m_.cupom.descontoSubtotal = valor;
    } else {
      m_.cupom.acrescimoSubtotal = valor;
      m_.grandeTotal += valor;
    }
    m_.cupom.fase = FaseCupom::Totalizando;

    std::vector<std::string> l;
    l.push_back(Separador);
    l.push_back(linhaDupla("SUBTOTAL R$", moeda(subtotal)));
    if (valor && desconto) l.push_back(linhaDupla("DESCONTO R$", "-" + moeda(valor)));
    if (valor && !desconto) l.push_back(linhaDupla("ACRESCIMO R$", "+" + moeda(valor)));
    l.push_back(linhaDupla("TOTAL R$", moeda(m_.cupom.total())));
    imprime(l);
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::efetuaPagamento(const std::string& forma, int64_t valor,
                                            const std::string& observacao) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    FaseCupom* fase = nullptr;
    std::vector<PagamentoCupom>* pagamentos = nullptr;
    int64_t total = 0;
    if (m_.documento == TipoDocumento::CupomFiscal) {
      if (m_.cupom.fase == FaseCupom::Aberto || m_.cupom.fase == FaseCupom::Vendendo)
        return Resultado::ComandoForaDeSequencia;
      fase = &m_.cupom.fase;
      pagamentos = &m_.cupom.pagamentos;
      total = m_.cupom.total();
    } else if (m_.documento == TipoDocumento::NaoFiscal) {
      if (m_.naoFiscal.fase == FaseCupom::Aberto) return Resultado::SemItens;
      fase = &m_.naoFiscal.fase;
      pagamentos = &m_.naoFiscal.pagamentos;
      total = m_.naoFiscal.total();
    } else if (m_.documento == TipoDocumento::Nenhum) {
      return Resultado::CupomNaoAberto;
    } else {
      return Resultado::DocumentoAberto;
    }
    if (*fase == FaseCupom::Pago) return Resultado::PagamentoJaCobreTotal;
    if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
    const FormaPagamento* f = procuraForma(forma);
    if (!f) return Resultado::FormaPagamentoNaoProgramada;

    pagamentos->push_back(PagamentoCupom{f->nome, valor, apara(observacao), 0});
    int64_t pago = 0;
    for (const PagamentoCupom& p : *pagamentos) pago += p.valor;
    *fase = pago >= total ? FaseCupom::Pago : FaseCupom::Pagando;

    std::vector<std::string> l;
    l.push_back(linhaDupla(f->nome, moeda(valor)));
    for (const std::string& obs : quebraLinhas(apara(observacao), 46)) l.push_back("  " + obs);
    imprime(l);
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::encerraCupom(const std::string& mensagem) {
  return opera([&]() {
    Resultado r = podeImprimirNoCupom();
    if (r != Resultado::Ok) return r;
    if (m_.cupom.fase == FaseCupom::Aberto || m_.cupom.fase == FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (m_.cupom.fase != FaseCupom::Pago) return Resultado::PagamentoInsuficiente;

    for (const PagamentoCupom& p : m_.cupom.pagamentos)
      if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia += p.valor;
    m_.totais.troco += m_.cupom.troco();

    std::vector<std::string> l;
    if (m_.cupom.troco()) l.push_back(linhaDupla("TROCO R$", moeda(m_.cupom.troco())));
    std::vector<std::string> promocionais = quebraLinhas(mensagem, 48);
    if (!promocionais.empty()) {
      l.push_back(Separador);
      l.insert(l.end(), promocionais.begin(), promocionais.end());
    }
    imprime(l);
    imprimeRodape();

    m_.ultimoCupom = m_.cupom;
    m_.ultimoCupomCancelavel = true;
    m_.cupom = Cupom();
    m_.documento = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::retiraDoDia(const Cupom& c) {
  for (const ItemCupom& it : c.itens) {
    if (it.cancelado) continue;
    int64_t valor = it.liquido();
    (it.iss ? m_.totais.cancelamentosIss : m_.totais.cancelamentosIcms) += valor;
    somaTotalParcial(it.aliquota, -valor);
  }
}

Resultado ImpressoraFiscal::cancelaCupom() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento == TipoDocumento::CupomFiscal) {
      // Payments reach the payment methods' totals only at the closing.
      int64_t valor = m_.cupom.total();
      retiraDoDia(m_.cupom);
      ++m_.contadores.cfc;
      m_.cupom.cancelado = true;
      imprime({Separador, centraliza("CUPOM FISCAL CANCELADO"),
               linhaDupla("VALOR CANCELADO R$", moeda(valor))});
      imprimeRodape();
      m_.ultimoCupom = m_.cupom;
      m_.ultimoCupomCancelavel = false;
      m_.cupom = Cupom();
      m_.documento = TipoDocumento::Nenhum;
      return Resultado::Ok;
    }
    if (m_.documento == TipoDocumento::NaoFiscal) {
      // Nothing of the receipt reached the totals yet: dropped.
      imprime({Separador, centraliza("COMPROVANTE NAO FISCAL CANCELADO")});
      imprimeRodape();
      m_.naoFiscal = ComprovanteNaoFiscal();
      m_.documento = TipoDocumento::Nenhum;
      return Resultado::Ok;
    }
    if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    // The last coupon: only while it is the last document issued, on the same day.
    if (!m_.ultimoCupomCancelavel || m_.ultimoCupom.coo != m_.contadores.coo ||
        m_.ultimoCupom.cancelado)
      return Resultado::NadaACancelar;
    if (reducaoZPendente()) return Resultado::ReducaoZPendente;
    retiraDoDia(m_.ultimoCupom);
    for (const PagamentoCupom& p : m_.ultimoCupom.pagamentos)
      if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia -= p.valor;
    m_.totais.troco -= m_.ultimoCupom.troco();
    ++m_.contadores.coo;
    ++m_.contadores.cfc;
    m_.ultimoCupom.cancelado = true;
    m_.ultimoCupomCancelavel = false;

    iniciaDocumento("CCF");
    imprimeCabecalho("CUPOM FISCAL CANCELADO", false);
    imprime({linhaDupla("COO DO CUPOM CANCELADO:", zeros(m_.ultimoCupom.coo, 6)),
             linhaDupla("CCF DO CUPOM CANCELADO:", zeros(m_.ultimoCupom.ccf, 6)),
             linhaDupla("VALOR CANCELADO R$", moeda(m_.ultimoCupom.total()))});
    imprimeRodape();
    return Resultado::Ok;
  });
}

}  // namespace simulador
}  // namespace tarvic
