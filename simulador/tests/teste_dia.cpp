// The fiscal day: pending Z reduction and blocking, the reduction's data, X
// reading, programming, clock, power and paper.
#include "apoio.h"

namespace tarvic {
namespace simulador {
namespace {

using Dia = TesteImpressora;

TEST_F(Dia, ReducaoZPendenteDepoisDaMeiaNoite) {
  vendaSimples(1000);
  EXPECT_TRUE(ecf->diaAberto());
  EXPECT_EQ(ecf->dataMovimento().textoData(), "15/03/2024");

  ecf->fixaAgora(em(15, 3, 2024, 23, 59, 59));
  EXPECT_FALSE(ecf->reducaoZPendente());
  ecf->fixaAgora(em(16, 3, 2024, 0, 0, 0));
  EXPECT_TRUE(ecf->reducaoZPendente());
  EXPECT_EQ(ecf->abreCupom(), Resultado::ReducaoZPendente);
  EXPECT_EQ(ecf->suprimento(100), Resultado::ReducaoZPendente);
  EXPECT_EQ(ecf->abreRelatorioGerencial(1), Resultado::ReducaoZPendente);

  ASSERT_EQ(ecf->reducaoZ(), Resultado::Ok);
  EXPECT_EQ(ecf->ultimaReducao()->dataMovimento.textoData(), "15/03/2024");
  // yesterday's reduction does not block today
  EXPECT_FALSE(ecf->diaBloqueado());
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  EXPECT_EQ(ecf->dataMovimento().textoData(), "16/03/2024");
}

TEST_F(Dia, ReducaoDoDiaBloqueiaAte235959) {
  vendaSimples(1000);
  ecf->fixaAgora(em(15, 3, 2024, 18, 0, 0));
  ASSERT_EQ(ecf->reducaoZ(), Resultado::Ok);
  EXPECT_TRUE(ecf->diaBloqueado());
  EXPECT_EQ(ecf->abreCupom(), Resultado::DiaBloqueado);
  EXPECT_EQ(ecf->reducaoZ(), Resultado::DiaBloqueado);
  // programming after the reduction is just what is done with the day closed
  EXPECT_EQ(ecf->programaFormaPagamento("Ticket", true), Resultado::Ok);
  EXPECT_EQ(ecf->leituraX(), Resultado::Ok);

  ecf->fixaAgora(em(15, 3, 2024, 23, 59, 59));
  EXPECT_TRUE(ecf->diaBloqueado());
  ecf->fixaAgora(em(16, 3, 2024, 0, 0, 0));
  EXPECT_FALSE(ecf->diaBloqueado());
  EXPECT_EQ(ecf->abreCupom(), Resultado::Ok);
}

TEST_F(Dia, ReducaoZSemMovimentoTambemBloqueia) {
  ASSERT_EQ(ecf->reducaoZ(), Resultado::Ok);
  EXPECT_EQ(ecf->ultimaReducao()->vendaBruta, 0);
  EXPECT_EQ(ecf->ultimaReducao()->dataMovimento.textoData(), "15/03/2024");
  EXPECT_TRUE(ecf->diaBloqueado());
}

TEST_F(Dia, DadosDaReducaoEContadoresConsistentes) {
  vendaSimples(1000);
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1200", 2000, 5000, Ajuste::descontoValor(100))), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("F", 1000, 3000)), Resultado::Ok);
  ASSERT_EQ(ecf->cancelaItem(2), Resultado::Ok);
  ASSERT_EQ(ecf->iniciaFechamento(), Resultado::Ok);
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 1000), Resultado::Ok);
  ASSERT_EQ(ecf->encerraCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->suprimento(5000), Resultado::Ok);
  ASSERT_EQ(ecf->leituraX(), Resultado::Ok);
  EXPECT_FALSE(ecf->reducaoZPendente());

  // COO: 2 coupons, 1 non-fiscal, X reading, the reduction itself
  ASSERT_EQ(ecf->reducaoZ(), Resultado::Ok);
  const DadosReducao& z = *ecf->ultimaReducao();
  EXPECT_EQ(z.crz, 1);
  EXPECT_EQ(z.coo, 5);
  EXPECT_EQ(z.ccf, 2);
  EXPECT_EQ(z.gnf, 2);
  EXPECT_EQ(z.grandeTotal, 1000 + 1000 + 300);
  EXPECT_EQ(z.vendaBruta, 2300);
  EXPECT_EQ(z.cancelamentosIcms, 300);
  EXPECT_EQ(z.descontosIcms, 100);
  EXPECT_EQ(z.vendaLiquida, 1900);
  int64_t soma = 0;
  for (const TotalParcial& t : z.totaisParciais) {
    soma += t.total;
    if (t.codigo == "01T1800") {
      EXPECT_EQ(t.total, 1000);
    } else if (t.codigo == "02T1200") {
      EXPECT_EQ(t.total, 900);
    } else {
      EXPECT_EQ(t.total, 0) << t.codigo;
    }
  }
  EXPECT_EQ(soma, z.vendaLiquida);
  ASSERT_EQ(z.naoFiscais.size(), 2u);
  EXPECT_EQ(z.naoFiscais[1].total, 5000);
  EXPECT_EQ(ecf->memoriaFiscal().size(), 1u);

  // the next day starts from zero, the GT going on
  EXPECT_FALSE(ecf->diaAberto());
  EXPECT_EQ(ecf->vendaBrutaDia(), 0);
  EXPECT_EQ(somaTotaisParciais(), 0);
  EXPECT_EQ(ecf->procuraForma("Dinheiro")->totalDia, 0);
  ecf->fixaAgora(em(16, 3, 2024, 9, 0, 0));
  vendaSimples(700);
  EXPECT_EQ(ecf->grandeTotal(), 3000);
  EXPECT_EQ(ecf->vendaBrutaDia(), 700);
  EXPECT_EQ(ecf->contadores().coo, 6);
  EXPECT_EQ(ecf->contadores().ccf, 3);
  EXPECT_EQ(ecf->cancelaCupom(), Resultado::Ok);
  EXPECT_EQ(ecf->grandeTotal(), 3000);
}

TEST_F(Dia, ReducaoComCupomAbertoERecusada) {
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1000, 1000)), Resultado::Ok);
  EXPECT_EQ(ecf->reducaoZ(), Resultado::CupomJaAberto);
  EXPECT_EQ(ecf->leituraX(), Resultado::CupomJaAberto);
  EXPECT_EQ(ecf->contadores().crz, 0);
  EXPECT_EQ(ecf->cupomAtual().itens.size(), 1u);
}

TEST_F(Dia, AliquotaSoSeProgramaSemMovimento) {
  int indice = 0;
  ASSERT_EQ(ecf->programaAliquota(TipoTributo::Icms, 400, &indice), Resultado::Ok);
  EXPECT_EQ(indice, 6);
  EXPECT_EQ(ecf->resolveAliquota("T0400"), "06T0400");
  EXPECT_EQ(ecf->resolveAliquota("06"), "06T0400");
  EXPECT_EQ(ecf->resolveAliquota("S0400"), "");
  ASSERT_EQ(ecf->programaAliquota(TipoTributo::Icms, 1800, &indice), Resultado::Ok);  // exists
  EXPECT_EQ(indice, 1);
  vendaSimples(100);
  EXPECT_EQ(ecf->programaAliquota(TipoTributo::Iss, 200), Resultado::DiaComMovimento);
  ecf->fixaAgora(em(16, 3, 2024));
  ASSERT_EQ(ecf->reducaoZ(), Resultado::Ok);
  EXPECT_EQ(ecf->programaAliquota(TipoTributo::Iss, 200), Resultado::Ok);
  for (int p = 1; p <= 9; ++p) ecf->programaAliquota(TipoTributo::Icms, 100 + p);
  EXPECT_EQ(ecf->aliquotas().size(), 16u);
  EXPECT_EQ(ecf->programaAliquota(TipoTributo::Icms, 9999), Resultado::CapacidadeEsgotada);
}

TEST_F(Dia, NomesDeTotalizadoresPorIndiceComoAposAReducao) {
  // whoever names "Abertura" tries index after index until the printer accepts
  int aceito = 0;
  for (int i = 1; i <= 50 && aceito == 0; ++i)
    if (ecf->nomeiaTotalizadorNaoFiscal(i, "Abertura") == Resultado::Ok) aceito = i;
  EXPECT_EQ(aceito, 3);
  EXPECT_EQ(ecf->nomeiaTotalizadorNaoFiscal(3, "Recebimento"), Resultado::JaProgramado);
  EXPECT_EQ(ecf->nomeiaTotalizadorNaoFiscal(9, "ABERTURA"), Resultado::Ok);  // name taken
  EXPECT_EQ(ecf->nomeiaTotalizadorNaoFiscal(51, "X"), Resultado::ParametroInvalido);
  EXPECT_EQ(ecf->totalizadoresNaoFiscais().size(), 3u);
  EXPECT_EQ(ecf->programaFormaPagamento("dinheiro", false), Resultado::Ok);
  EXPECT_EQ(ecf->formasPagamento().size(), 3u);
  EXPECT_EQ(ecf->programaFormaPagamento("Nome comprido demais", false),
            Resultado::ParametroInvalido);
}

TEST_F(Dia, RelogioComDeslocamento) {
  ecf->fixaAgora(em(31, 12, 2023, 23, 30, 0));
  ecf->defineDeslocamentoRelogio(3600);
  EXPECT_EQ(ecf->agora().texto(), "01/01/2024 00:30:00");
  ecf->defineDeslocamentoRelogio(-86400 * 366);
  EXPECT_EQ(ecf->agora().texto(), "30/12/2022 23:30:00");
  ecf->defineDeslocamentoRelogio(0);
  ecf->liberaAgora();
  DataHora real = ecf->agora();
  EXPECT_TRUE(real.valida());
  EXPECT_GE(real.ano, 2024);
}

TEST_F(Dia, DesligadaESemPapel) {
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1000, 1000)), Resultado::Ok);
  ecf->desliga();
  EXPECT_EQ(ecf->vendeItem(item("T1800", 1000, 1000)), Resultado::Desligada);
  EXPECT_EQ(ecf->cancelaCupom(), Resultado::Desligada);
  EXPECT_EQ(ecf->abreGaveta(), Resultado::Desligada);
  ecf->liga();
  // the coupon survived the stop and goes on from where it was
  EXPECT_EQ(ecf->documentoAberto(), TipoDocumento::CupomFiscal);
  EXPECT_EQ(ecf->cupomAtual().itens.size(), 1u);

  ecf->defineSensorPapel(SensorPapel::Pouco);
  EXPECT_EQ(ecf->vendeItem(item("T1800", 1000, 1000)), Resultado::Ok);
  ecf->defineSensorPapel(SensorPapel::Sem);
  EXPECT_EQ(ecf->vendeItem(item("T1800", 1000, 1000)), Resultado::SemPapel);
  EXPECT_EQ(ecf->verificaImpressora(), Resultado::SemPapel);
  ecf->defineSensorPapel(SensorPapel::Presente);
  EXPECT_EQ(ecf->cupomAtual().itens.size(), 2u);
  EXPECT_EQ(ecf->grandeTotal(), 200);

  ASSERT_EQ(ecf->abreGaveta(), Resultado::Ok);
  EXPECT_TRUE(ecf->gavetaAberta());
  ecf->fechaGaveta();
  EXPECT_FALSE(ecf->gavetaAberta());
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
