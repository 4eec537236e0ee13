// Fiscal coupon: the sale's arithmetic, states, refusals and cancellations.
#include "apoio.h"

#include <algorithm>

namespace tarvic {
namespace simulador {
namespace {

using Venda = TesteImpressora;

TEST_F(Venda, TotalDoItemTruncaOuArredondaConformeProgramado) {
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  // 1,500 x 3,99 = 5,985
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1500, 3990)), Resultado::Ok);
  EXPECT_EQ(ecf->cupomAtual().itens.back().bruto, 598);
  ecf->defineArredondamento(true);
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1500, 3990)), Resultado::Ok);
  EXPECT_EQ(ecf->cupomAtual().itens.back().bruto, 599);
  // a price with three decimals: 3 x 0,999 = 2,997 -> 3,00 rounded
  ASSERT_EQ(ecf->vendeItem(item("F", 3000, 999)), Resultado::Ok);
  EXPECT_EQ(ecf->cupomAtual().itens.back().bruto, 300);
  // quantity and price at their limits do not overflow: the total passes the coupon's limit and is
  // refused
  EXPECT_EQ(ecf->vendeItem(item("I", 9999999, 9999999999LL)), Resultado::ParametroInvalido);
  EXPECT_EQ(ecf->vendeItem(item("I", 10000000, 1000)), Resultado::ParametroInvalido);
  ASSERT_EQ(ecf->vendeItem(item("I", 1000, 9999999990LL - 14970)),
            Resultado::Ok);  // makes R$ 9.999.999,99
  EXPECT_EQ(ecf->subtotal(), 999999999);
  EXPECT_EQ(ecf->vendeItem(item("I", 1000, 10)), Resultado::ParametroInvalido);
  EXPECT_EQ(ecf->iniciaFechamento(Ajuste::acrescimoValor(1)), Resultado::ParametroInvalido);
  // the largest discount on the largest coupon: the sharing adds up without overflow
  ASSERT_EQ(ecf->iniciaFechamento(Ajuste::descontoValor(999999998)), Resultado::Ok);
  EXPECT_EQ(ecf->subtotal(), 1);
  EXPECT_EQ(somaTotaisParciais(), 1);
}

TEST_F(Venda, AjustesDeItemEDeSubtotalETroco) {
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  // 2 x 12,50 = 25,00 with a 10% discount = 22,50
  ASSERT_EQ(ecf->vendeItem(item("T1800", 2000, 12500, Ajuste::descontoPercentual(1000))),
            Resultado::Ok);
  // 1 x 10,00 with a 1,00 surcharge = 11,00 (ISS)
  ASSERT_EQ(ecf->vendeItem(item("S0500", 1000, 10000, Ajuste::acrescimoValor(100))), Resultado::Ok);
  // 0,333 kg x 9,90 = 3,29667 -> 3,29; a later discount of 0,29
  ASSERT_EQ(ecf->vendeItem(item("N", 333, 9900)), Resultado::Ok);
  ASSERT_EQ(ecf->ajustaItem(0, Ajuste::descontoValor(29)), Resultado::Ok);
  EXPECT_EQ(ecf->ajustaItem(3, Ajuste::descontoValor(1)), Resultado::ItemJaAjustado);
  EXPECT_EQ(ecf->cupomAtual().subtotal(), 2250 + 1100 + 300);

  // a discount of 1,00 on the subtotal, shared among the items
  ASSERT_EQ(ecf->iniciaFechamento(Ajuste::descontoValor(100)), Resultado::Ok);
  EXPECT_EQ(ecf->subtotal(), 3550);
  int64_t rateio = 0;
  for (const ItemCupom& i : ecf->cupomAtual().itens) rateio += i.rateioSubtotal;
  EXPECT_EQ(rateio, -100);

  ASSERT_EQ(ecf->efetuaPagamento("cartao", 1000), Resultado::Ok);
  EXPECT_EQ(ecf->faseCupom(), FaseCupom::Pagando);
  ASSERT_EQ(ecf->efetuaPagamento("  Dinheiro ", 5000), Resultado::Ok);
  EXPECT_EQ(ecf->faseCupom(), FaseCupom::Pago);
  EXPECT_EQ(ecf->troco(), 2450);
  ASSERT_EQ(ecf->encerraCupom("OBRIGADO"), Resultado::Ok);

  EXPECT_EQ(ecf->grandeTotal(), 2500 + 1100 + 329);  // gross + surcharges
  EXPECT_EQ(ecf->totaisDia().descontosIcms + ecf->totaisDia().descontosIss, 250 + 29 + 100);
  EXPECT_EQ(ecf->totaisDia().troco, 2450);
  EXPECT_EQ(ecf->vendaLiquidaDia(), 3550);
  EXPECT_EQ(somaTotaisParciais(), ecf->vendaLiquidaDia());
  EXPECT_EQ(ecf->procuraForma("Dinheiro")->totalDia - ecf->totaisDia().troco +
                ecf->procuraForma("Cartao")->totalDia,
            3550);
}

TEST_F(Venda, AcrescimoNoSubtotalEntraNoGrandeTotal) {
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1000, 3000)), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1200", 1000, 7000)), Resultado::Ok);
  ASSERT_EQ(ecf->iniciaFechamento(Ajuste::acrescimoPercentual(1000)), Resultado::Ok);
  EXPECT_EQ(ecf->subtotal(), 1100);
  EXPECT_EQ(ecf->grandeTotal(), 1100);
  EXPECT_EQ(somaTotaisParciais(), 1100);
  EXPECT_EQ(ecf->totaisParciais()[0].total, 330);  // 01T1800: 3,00 + 0,30
}

TEST_F(Venda, RecusasSegueARegraDaImpressoraSemMudarNada) {
  EXPECT_EQ(ecf->vendeItem(item("T1800", 1000, 1000)), Resultado::CupomNaoAberto);
  EXPECT_EQ(ecf->efetuaPagamento("Dinheiro", 100), Resultado::CupomNaoAberto);
  EXPECT_EQ(ecf->encerraCupom(), Resultado::CupomNaoAberto);
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  EXPECT_EQ(ecf->abreCupom(), Resultado::CupomJaAberto);
  EXPECT_EQ(ecf->iniciaFechamento(), Resultado::SemItens);
  EXPECT_EQ(ecf->vendeItem(item("T0900", 1000, 1000)), Resultado::AliquotaNaoProgramada);
  EXPECT_EQ(ecf->vendeItem(item("99", 1000, 1000)), Resultado::AliquotaNaoProgramada);
  EXPECT_EQ(ecf->vendeItem(item("XYZ", 1000, 1000)), Resultado::AliquotaNaoProgramada);
  EXPECT_EQ(ecf->vendeItem(item("T1800", 0, 1000)), Resultado::ParametroInvalido);
  EXPECT_EQ(ecf->vendeItem(item("T1800", 1000, 0)), Resultado::ParametroInvalido);
  EXPECT_EQ(ecf->vendeItem(item("T1800", 1000, 1000, Ajuste::descontoValor(100))),
            Resultado::ValorMaiorQueTotal);
  EXPECT_EQ(ecf->grandeTotal(), 0);

  ASSERT_EQ(ecf->vendeItem(item("01", 1000, 10000)), Resultado::Ok);
  EXPECT_EQ(ecf->efetuaPagamento("Dinheiro", 1000), Resultado::ComandoForaDeSequencia);
  EXPECT_EQ(ecf->encerraCupom(), Resultado::ComandoForaDeSequencia);
  EXPECT_EQ(ecf->iniciaFechamento(Ajuste::descontoValor(1000)), Resultado::ValorMaiorQueTotal);
  ASSERT_EQ(ecf->iniciaFechamento(), Resultado::Ok);
  EXPECT_EQ(ecf->vendeItem(item("T1800", 1000, 1000)), Resultado::ComandoForaDeSequencia);
  EXPECT_EQ(ecf->cancelaItem(1), Resultado::ComandoForaDeSequencia);
  EXPECT_EQ(ecf->efetuaPagamento("Vale Refeicao", 1000), Resultado::FormaPagamentoNaoProgramada);
  EXPECT_EQ(ecf->efetuaPagamento("Dinheiro", 0), Resultado::ParametroInvalido);
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 400), Resultado::Ok);
  EXPECT_EQ(ecf->encerraCupom(), Resultado::PagamentoInsuficiente);
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 600), Resultado::Ok);
  EXPECT_EQ(ecf->efetuaPagamento("Dinheiro", 1), Resultado::PagamentoJaCobreTotal);
  EXPECT_EQ(ecf->contadores().coo, 1);
  EXPECT_EQ(ecf->grandeTotal(), 1000);
  EXPECT_EQ(ecf->encerraCupom(), Resultado::Ok);
}

TEST_F(Venda, CancelarItemNaoDiminuiOGrandeTotal) {
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1000, 10000)), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("IS", 2000, 2500, Ajuste::acrescimoValor(50))), Resultado::Ok);
  EXPECT_EQ(ecf->cancelaItem(3), Resultado::ItemInexistente);
  EXPECT_EQ(ecf->cancelaItem(0), Resultado::ItemInexistente);
  ASSERT_EQ(ecf->cancelaItem(2), Resultado::Ok);
  EXPECT_EQ(ecf->cancelaItem(2), Resultado::ItemJaCancelado);
  EXPECT_EQ(ecf->grandeTotal(), 1000 + 500 + 50);
  EXPECT_EQ(ecf->totaisDia().cancelamentosIss, 550);
  EXPECT_EQ(ecf->subtotal(), 1000);
  ASSERT_EQ(ecf->cancelaUltimoItem(), Resultado::Ok);  // item 1, the last valid one
  EXPECT_EQ(ecf->iniciaFechamento(), Resultado::SemItens);
  EXPECT_EQ(somaTotaisParciais(), ecf->vendaLiquidaDia());
  EXPECT_EQ(ecf->vendaLiquidaDia(), 0);
}

TEST_F(Venda, CancelarCupomAbertoEUltimoCupom) {
  vendaSimples(1000);
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1000, 5000)), Resultado::Ok);
  ASSERT_EQ(ecf->iniciaFechamento(Ajuste::descontoValor(50)), Resultado::Ok);
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 100), Resultado::Ok);
  ASSERT_EQ(ecf->cancelaCupom(), Resultado::Ok);  // the open one, already with a payment
  EXPECT_EQ(ecf->documentoAberto(), TipoDocumento::Nenhum);
  EXPECT_EQ(ecf->contadores().coo, 2);
  EXPECT_EQ(ecf->contadores().cfc, 1);
  EXPECT_EQ(ecf->procuraForma("Dinheiro")->totalDia, 1000);
  EXPECT_EQ(ecf->vendaLiquidaDia(), 1000);
  EXPECT_EQ(somaTotaisParciais(), 1000);
  // the cancelled one cannot be cancelled again
  EXPECT_EQ(ecf->cancelaCupom(), Resultado::NadaACancelar);

  vendaSimples(2000, "Cartao");
  int64_t gt = ecf->grandeTotal();
  ASSERT_EQ(ecf->cancelaCupom(), Resultado::Ok);  // the last one, closed: a new document
  EXPECT_EQ(ecf->contadores().coo, 4);
  EXPECT_EQ(ecf->contadores().ccf, 3);
  EXPECT_EQ(ecf->grandeTotal(), gt);
  EXPECT_EQ(ecf->procuraForma("Cartao")->totalDia, 0);
  EXPECT_EQ(ecf->vendaLiquidaDia(), 1000);
  EXPECT_EQ(somaTotaisParciais(), 1000);
  EXPECT_EQ(ecf->cancelaCupom(), Resultado::NadaACancelar);

  // after another document, the last coupon can no longer be cancelled
  vendaSimples(300);
  ASSERT_EQ(ecf->leituraX(), Resultado::Ok);
  EXPECT_EQ(ecf->cancelaCupom(), Resultado::NadaACancelar);
}

TEST_F(Venda, NaoFiscaisSuprimentoESangria) {
  int coo = ecf->contadores().coo;
  EXPECT_EQ(ecf->recebimentoNaoFiscal("CONTA ASSINADA", 1000, "Dinheiro"),
            Resultado::TotalizadorNaoProgramado);
  EXPECT_EQ(ecf->recebimentoNaoFiscal("SUPRIMENTO", 1000, "Cupom"),
            Resultado::FormaPagamentoNaoProgramada);
  EXPECT_EQ(ecf->contadores().coo, coo);  // nothing was opened
  EXPECT_EQ(ecf->documentoAberto(), TipoDocumento::Nenhum);

  ASSERT_EQ(ecf->suprimento(10000), Resultado::Ok);
  ASSERT_EQ(ecf->sangria(3000), Resultado::Ok);
  ASSERT_EQ(ecf->nomeiaTotalizadorNaoFiscal(0, "Recebimento"), Resultado::Ok);
  ASSERT_EQ(ecf->recebimentoNaoFiscal("recebimento", 2500, "cheque"), Resultado::Ok);
  EXPECT_EQ(ecf->procuraTotalizador("SUPRIMENTO")->totalDia, 10000);
  EXPECT_EQ(ecf->procuraTotalizador("SANGRIA")->totalDia, 3000);
  EXPECT_EQ(ecf->procuraTotalizador("Recebimento")->contadorDia, 1);
  EXPECT_EQ(ecf->procuraForma("Dinheiro")->totalDia, 7000);
  EXPECT_EQ(ecf->procuraForma("Cheque")->totalDia, 2500);
  EXPECT_EQ(ecf->contadores().cnf, 3);
  EXPECT_EQ(ecf->contadores().gnf, 3);
  EXPECT_EQ(ecf->contadores().ccf, 0);
  EXPECT_EQ(ecf->grandeTotal(), 0);

  // step by step: cash in and cash out do not mix; no closing without payment
  ASSERT_EQ(ecf->abreComprovanteNaoFiscal(), Resultado::Ok);
  EXPECT_EQ(ecf->abreCupom(), Resultado::DocumentoAberto);
  ASSERT_EQ(ecf->registraItemNaoFiscal("SUPRIMENTO", 500), Resultado::Ok);
  EXPECT_EQ(ecf->registraItemNaoFiscal("SANGRIA", 500), Resultado::ParametroInvalido);
  EXPECT_EQ(ecf->encerraComprovanteNaoFiscal(), Resultado::PagamentoInsuficiente);
  ASSERT_EQ(ecf->cancelaCupom(), Resultado::Ok);
  EXPECT_EQ(ecf->procuraTotalizador("SUPRIMENTO")->totalDia, 10000);
}

TEST_F(Venda, ComprovanteVinculadoPrecisaDeUmPagamentoQueOSustente) {
  EXPECT_EQ(ecf->abreComprovanteVinculado("Cartao"), Resultado::VinculadoInvalido);
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1000, 80000)), Resultado::Ok);
  ASSERT_EQ(ecf->iniciaFechamento(), Resultado::Ok);
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 3000), Resultado::Ok);
  ASSERT_EQ(ecf->efetuaPagamento("Cartao", 5000), Resultado::Ok);
  ASSERT_EQ(ecf->encerraCupom(), Resultado::Ok);
  int cooCupom = ecf->contadores().coo;

  EXPECT_EQ(ecf->abreComprovanteVinculado("Dinheiro"), Resultado::VinculadoInvalido);
  EXPECT_EQ(ecf->abreComprovanteVinculado("Cartao", 5001), Resultado::VinculadoInvalido);
  EXPECT_EQ(ecf->abreComprovanteVinculado("Cartao", 0, cooCupom + 1), Resultado::VinculadoInvalido);
  ASSERT_EQ(ecf->abreComprovanteVinculado("Cartao", 2000, cooCupom), Resultado::Ok);
  EXPECT_EQ(ecf->abreCupom(), Resultado::DocumentoAberto);
  ASSERT_EQ(ecf->imprimeComprovanteVinculado("VIA DO CLIENTE\nAUTORIZACAO 123456"), Resultado::Ok);
  ASSERT_EQ(ecf->fechaComprovanteVinculado(), Resultado::Ok);
  ASSERT_EQ(ecf->abreComprovanteVinculado("Cartao"), Resultado::Ok);  // the rest: 30,00
  EXPECT_EQ(ecf->vinculadoAtual().valor, 3000);
  ASSERT_EQ(ecf->fechaComprovanteVinculado(), Resultado::Ok);
  EXPECT_EQ(ecf->abreComprovanteVinculado("Cartao"), Resultado::VinculadoInvalido);
  EXPECT_EQ(ecf->fechaComprovanteVinculado(), Resultado::DocumentoNaoAberto);
  EXPECT_EQ(ecf->contadores().cdc, 2);
  EXPECT_EQ(ecf->contadores().coo, cooCupom + 2);
  EXPECT_EQ(ecf->cancelaCupom(),
            Resultado::NadaACancelar);  // the coupon is no longer the last document
}

TEST_F(Venda, RelatorioGerencial) {
  EXPECT_EQ(ecf->abreRelatorioGerencial(7), Resultado::RelatorioNaoProgramado);
  EXPECT_EQ(ecf->imprimeRelatorioGerencial("x"), Resultado::DocumentoNaoAberto);
  ASSERT_EQ(ecf->nomeiaRelatorioGerencial(0, "Meios Pagto."), Resultado::Ok);
  ASSERT_EQ(ecf->abreRelatorioGerencialPorNome("MEIOS PAGTO."), Resultado::Ok);
  EXPECT_EQ(ecf->relatorioAberto(), 2);
  ASSERT_EQ(ecf->imprimeRelatorioGerencial(std::string(100, 'A')), Resultado::Ok);
  EXPECT_EQ(ecf->reducaoZ(), Resultado::DocumentoAberto);
  ASSERT_EQ(ecf->fechaRelatorioGerencial(), Resultado::Ok);
  EXPECT_EQ(ecf->contadores().grg, 1);
  EXPECT_EQ(ecf->contadores().gnf, 1);
  const DocumentoImpresso rg = ecf->jornal().back();
  EXPECT_EQ(rg.tipo, "RG");
  EXPECT_NE(std::find(rg.linhas.begin(), rg.linhas.end(), std::string(48, 'A')), rg.linhas.end());
  EXPECT_NE(std::find(rg.linhas.begin(), rg.linhas.end(), std::string(4, 'A')), rg.linhas.end());
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
