// The simulated printer's non-fiscal documents: non-fiscal receipts, cash
// supply and withdrawal, linked credit or debit receipts and management
// reports.
#include "impressora_interna.h"

namespace tarvic {
namespace simulador {

using namespace interna;

// ---------------------------------------------------------------- non-fiscal

Resultado ImpressoraFiscal::abreComprovanteNaoFiscal() {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    abreDiaSeFechado();
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    ++m_.contadores.cnf;
    m_.naoFiscal = ComprovanteNaoFiscal();
    m_.naoFiscal.coo = m_.contadores.coo;
    m_.documento = TipoDocumento::NaoFiscal;
    iniciaDocumento("CNF");
    imprimeCabecalho("COMPROVANTE NAO-FISCAL", false);
    imprime(linhaDupla("GNF:" + zeros(m_.contadores.gnf, 6), ""));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::registraItemNaoFiscal(const std::string& totalizador, int64_t valor) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::NaoFiscal) return Resultado::DocumentoNaoAberto;
    if (m_.naoFiscal.fase != FaseCupom::Aberto && m_.naoFiscal.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
    const TotalizadorNaoFiscal* t = procuraTotalizador(totalizador);
    if (!t) return Resultado::TotalizadorNaoProgramado;
    // A receipt brings cash in or takes it out, not both.
    if (!m_.naoFiscal.itens.empty() && m_.naoFiscal.itens.front().saida != t->saida)
      return Resultado::ParametroInvalido;
    m_.naoFiscal.itens.push_back(ItemNaoFiscal{t->indice, t->nome, valor, t->saida});
    m_.naoFiscal.fase = FaseCupom::Vendendo;
    imprime(linhaDupla(zeros(t->indice, 2) + " " + t->nome, moeda(valor)));
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::encerraDocumentoNaoFiscal() {
  bool saida = !m_.naoFiscal.itens.empty() && m_.naoFiscal.itens.front().saida;
  for (const ItemNaoFiscal& i : m_.naoFiscal.itens) {
    for (TotalizadorNaoFiscal& t : m_.totalizadores) {
      if (t.indice == i.indiceTotalizador) {
        t.totalDia += i.valor;
        ++t.contadorDia;
      }
    }
    if (mesmoNome(i.totalizador, "SANGRIA")) m_.totais.sangrias += i.valor;
    if (mesmoNome(i.totalizador, "SUPRIMENTO")) m_.totais.suprimentos += i.valor;
  }
  // When cash goes out, the payment tells in which form it leaves.
  for (const PagamentoCupom& p : m_.naoFiscal.pagamentos)
    if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia += saida ? -p.valor : p.valor;
  if (!saida && m_.naoFiscal.pago() > m_.naoFiscal.total())
    m_.totais.troco += m_.naoFiscal.pago() - m_.naoFiscal.total();
}

Resultado ImpressoraFiscal::encerraComprovanteNaoFiscal(const std::string& mensagem) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::NaoFiscal) return Resultado::DocumentoNaoAberto;
    if (m_.naoFiscal.fase == FaseCupom::Aberto) return Resultado::SemItens;
    if (m_.naoFiscal.pago() < m_.naoFiscal.totalEntradas()) return Resultado::PagamentoInsuficiente;
    encerraDocumentoNaoFiscal();
    std::vector<std::string> l;
    l.push_back(linhaDupla("TOTAL R$", moeda(m_.naoFiscal.total())));
    int64_t troco = m_.naoFiscal.pago() - m_.naoFiscal.totalEntradas();
    if (m_.naoFiscal.totalEntradas() > 0 && troco > 0)
      l.push_back(linhaDupla("TROCO R$", moeda(troco)));
    std::vector<std::string> msg = quebraLinhas(mensagem, 48);
    l.insert(l.end(), msg.begin(), msg.end());
    imprime(l);
    imprimeRodape();
    m_.naoFiscal = ComprovanteNaoFiscal();
    m_.documento = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::recebimentoNaoFiscal(const std::string& totalizador, int64_t valor,
                                                 const std::string& forma) {
  try {
    return recebimentoNaoFiscalCompleto(totalizador, valor, forma);
  } catch (...) {
    return Resultado::ErroInterno;
  }
}

Resultado ImpressoraFiscal::recebimentoNaoFiscalCompleto(const std::string& totalizador,
                                                         int64_t valor, const std::string& forma) {
  // Whatever can be refused is checked before the receipt opens, so as not
  // to leave a document half done.
  if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
  const TotalizadorNaoFiscal* t = procuraTotalizador(totalizador);
  if (!t) return Resultado::TotalizadorNaoProgramado;
  bool saida = t->saida;
  std::string nomeTotalizador = t->nome;
  if (!forma.empty() || !saida) {
    if (!procuraForma(forma)) return Resultado::FormaPagamentoNaoProgramada;
  }
  Resultado r = abreComprovanteNaoFiscal();
  if (r != Resultado::Ok) return r;
  r = registraItemNaoFiscal(nomeTotalizador, valor);
  if (r == Resultado::Ok && procuraForma(forma)) r = efetuaPagamento(forma, valor);
  if (r == Resultado::Ok) r = encerraComprovanteNaoFiscal();
  if (r != Resultado::Ok && m_.documento == TipoDocumento::NaoFiscal) cancelaCupom();
  return r;
}

Resultado ImpressoraFiscal::suprimento(int64_t valor, const std::string& forma) {
  return recebimentoNaoFiscal("SUPRIMENTO", valor, forma.empty() ? "Dinheiro" : forma);
}

Resultado ImpressoraFiscal::sangria(int64_t valor) {
  return recebimentoNaoFiscal("SANGRIA", valor, procuraForma("Dinheiro") ? "Dinheiro" : "");
}

// ---------------------------------------------------------------- linked receipt

Resultado ImpressoraFiscal::abreComprovanteVinculado(const std::string& forma, int64_t valor,
                                                     int cooCupom) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    if (valor < 0) return Resultado::ParametroInvalido;
    const FormaPagamento* f = procuraForma(forma);
    if (!f) return Resultado::FormaPagamentoNaoProgramada;
    if (!f->permiteVinculado || m_.ultimoCupom.coo == 0 || m_.ultimoCupom.cancelado ||
        (cooCupom != 0 && cooCupom != m_.ultimoCupom.coo))
      return Resultado::VinculadoInvalido;
    PagamentoCupom* pagamento = nullptr;
    for (PagamentoCupom& p : m_.ultimoCupom.pagamentos) {
      if (mesmoNome(p.forma, f->nome) && p.valor > p.vinculadoUsado) {
        pagamento = &p;
        break;
      }
    }
    if (!pagamento) return Resultado::VinculadoInvalido;
    int64_t disponivel = pagamento->valor - pagamento->vinculadoUsado;
    if (valor == 0) valor = disponivel;
    if (valor > disponivel) return Resultado::VinculadoInvalido;

    pagamento->vinculadoUsado += valor;
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    ++m_.contadores.cdc;
    m_.vinculado = ComprovanteVinculado{m_.contadores.coo, m_.ultimoCupom.coo, f->nome, valor};
    m_.documento = TipoDocumento::ComprovanteVinculado;
    iniciaDocumento("CDC");
    imprimeCabecalho("COMPROVANTE CREDITO OU DEBITO", false);
    imprime({linhaDupla("GNF:" + zeros(m_.contadores.gnf, 6), "CDC:" + zeros(m_.contadores.cdc, 4)),
             linhaDupla("COO do documento vinculado:", zeros(m_.ultimoCupom.coo, 6)),
             linhaDupla(f->nome, moeda(valor)), Separador});
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::imprimeComprovanteVinculado(const std::string& texto) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::ComprovanteVinculado) return Resultado::DocumentoNaoAberto;
    imprime(quebraLinhas(texto, 48));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::fechaComprovanteVinculado() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::ComprovanteVinculado) return Resultado::DocumentoNaoAberto;
    imprimeRodape();
    m_.vinculado = ComprovanteVinculado();
    m_.documento = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- management report

Resultado ImpressoraFiscal::abreRelatorioGerencial(int indice) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    if (indice == 0) indice = 1;
    RelatorioGerencial* rel = nullptr;
    for (RelatorioGerencial& g : m_.relatorios)
      if (g.indice == indice) rel = &g;
    if (!rel) return Resultado::RelatorioNaoProgramado;
    abreDiaSeFechado();
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    ++m_.contadores.grg;
    ++rel->contadorDia;
    m_.relatorioAberto = indice;
    m_.documento = TipoDocumento::RelatorioGerencial;
    iniciaDocumento("RG");
    imprimeCabecalho("RELATORIO GERENCIAL", false);
    imprime({linhaDupla("GNF:" + zeros(m_.contadores.gnf, 6), "GRG:" + zeros(m_.contadores.grg, 6)),
             zeros(rel->indice, 2) + " " + rel->nome, Separador});
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::abreRelatorioGerencialPorNome(const std::string& nome) {
  try {
    for (const RelatorioGerencial& g : m_.relatorios)
      if (mesmoNome(g.nome, nome)) return abreRelatorioGerencial(g.indice);
    Resultado r = verificaImpressora();
    return r != Resultado::Ok ? r : Resultado::RelatorioNaoProgramado;
  } catch (...) {
    return Resultado::ErroInterno;
  }
}

Resultado ImpressoraFiscal::imprimeRelatorioGerencial(const std::string& texto) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::RelatorioGerencial) return Resultado::DocumentoNaoAberto;
    imprime(quebraLinhas(texto, 48));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::fechaRelatorioGerencial() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::RelatorioGerencial) return Resultado::DocumentoNaoAberto;
    imprimeRodape();
    m_.relatorioAberto = 0;
    m_.documento = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

}  // namespace simulador
}  // namespace tarvic
