// The stand-in drivers' answers on non-fiscal documents, reports and the day
// (X reading, Z reduction, the last reduction's data), in the layouts and
// widths the host cuts them in.
#include "apoio_substitutos.h"

#include "drivers/drivers.h"

#include <array>

namespace tarvic {
namespace simulador {
namespace {

std::string Brancos(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

// The n characters at the position (counted from 1), as the host cuts them.
std::string Em(const std::string& texto, std::size_t posicao, std::size_t n) {
  return texto.substr(posicao - 1, n);
}

class SubstitutoDia : public ::testing::Test {
 protected:
  ImpressoraFiscal& Nova(const std::string& fabricante) {
    return ImpressoraNova(pasta.caminho, fabricante);
  }
  // A coupon of R$ 30,00 at T18% (index 01) and, when asked, the Z reduction.
  static void VendeEReduz(ImpressoraFiscal& ecf, bool reduz = true) {
    ImpressoraFiscal::Item item;
    item.descricao = "ARROZ";
    item.aliquota = "01";
    item.precoUnitarioMilesimos = 30000;
    ASSERT_EQ(ecf.abreCupom(), Resultado::Ok);
    ASSERT_EQ(ecf.vendeItem(item), Resultado::Ok);
    ASSERT_EQ(ecf.iniciaFechamento(), Resultado::Ok);
    ASSERT_EQ(ecf.efetuaPagamento("Cartao", 3000), Resultado::Ok);
    ASSERT_EQ(ecf.encerraCupom(), Resultado::Ok);
    if (reduz) {
      ASSERT_EQ(ecf.reducaoZ(), Resultado::Ok);
    }
  }
  PastaDeTeste pasta;
};

TEST_F(SubstitutoDia, ListaDeTotalizadoresDaBematechEDaElginPorPosicao) {
  ImpressoraFiscal& ecf = Nova("BEMATECH");
  std::string lista = Brancos(2200);
  ASSERT_EQ(Bematech_FI_VerificaRecebimentoNaoFiscal(lista.data()), 1);
  const std::string l = lista.substr(0, lista.find('\0'));
  ASSERT_EQ(l.size(), 50u * 44 - 1);
  // The name in the 19 columns from the 25th of each entry; entries separated by ",".
  EXPECT_EQ(Em(l, 25, 19), "SANGRIA            ");
  EXPECT_EQ(Em(l, 44, 1), ",");
  EXPECT_EQ(Em(l, 44 + 25, 19), "SUPRIMENTO         ");
  EXPECT_EQ(Em(l, 88 + 25, 19), Brancos(19));

  // "02" is the list's second; the day's count and total go to the list.
  ASSERT_EQ(Bematech_FI_RecebimentoNaoFiscal("02", "12,50", "Dinheiro"), 1);
  EXPECT_EQ(ecf.totaisDia().suprimentos, 1250);
  ASSERT_EQ(Bematech_FI_VerificaRecebimentoNaoFiscal(lista.data()), 1);
  EXPECT_EQ(Em(lista, 45, 24), "0001" + std::string(16, '0') + "1250");
  // A free index or an unknown name: refused, and nothing is left open.
  EXPECT_EQ(Bematech_FI_RecebimentoNaoFiscal("07", "1,00", "Dinheiro"), -1);
  EXPECT_EQ(Bematech_FI_RecebimentoNaoFiscal("ALUGUEL", "1,00", "Dinheiro"), -1);
  EXPECT_EQ(ecf.documentoAberto(), TipoDocumento::Nenhum);

  ImpressoraFiscal& elgin = Nova("ELGIN");
  // ELGIN counts from 0: "01" is the second, and naming 2 names the third.
  ASSERT_EQ(Elgin_NomeiaTotalizadorNaoSujeitoIcms(2, "Recebimento"), 1);
  ASSERT_EQ(Elgin_RecebimentoNaoFiscal("02", "5,00", "Dinheiro"), 1);
  EXPECT_EQ(elgin.procuraTotalizador("Recebimento")->indice, 3);
  EXPECT_EQ(elgin.procuraTotalizador("Recebimento")->totalDia, 500);
  ASSERT_EQ(Elgin_RecebimentoNaoFiscal("01", "5,00", "Dinheiro"), 1);
  EXPECT_EQ(elgin.totaisDia().suprimentos, 500);
}

TEST_F(SubstitutoDia, SwedaDaOIndiceDoTotalizadorERecebePorEle) {
  ImpressoraFiscal& ecf = Nova("SWEDA");
  std::string lista = Brancos(599);
  ASSERT_EQ(ECF_VerificaTotalizadoresNaoFiscaisMFD(lista.data()), 1);
  EXPECT_EQ(Em(lista, 1, 20), "SANGRIA            ,");
  EXPECT_EQ(Em(lista, 21, 19), "SUPRIMENTO         ");
  EXPECT_EQ(lista.size(), 599u);

  std::string indice = Brancos(2);
  ASSERT_EQ(ECF_RetornaIndiceComprovanteNaoFiscal("suprimento", indice.data()), 1);
  EXPECT_EQ(indice, "02");
  std::string nenhum = Brancos(2);
  EXPECT_EQ(ECF_RetornaIndiceComprovanteNaoFiscal("ALUGUEL", nenhum.data()), -1);
  EXPECT_EQ(nenhum, "  ");
  ASSERT_EQ(ECF_RecebimentoNaoFiscal(indice.c_str(), "40,00", "Dinheiro"), 1);
  EXPECT_EQ(ecf.totaisDia().suprimentos, 4000);
  // The blank index the host sends when it did not find the name.
  EXPECT_EQ(ECF_RecebimentoNaoFiscal("  ", "40,00", "Dinheiro"), -1);
  std::string mensagem = Brancos(200);
  ECF_ObterMensagemStatus(mensagem.data());
  EXPECT_NE(Lido(mensagem).find("Totalizador"), std::string::npos) << mensagem;

  ASSERT_EQ(ECF_Sangria("15,00"), 1);
  EXPECT_EQ(ecf.totaisDia().sangrias, 1500);
  EXPECT_EQ(ecf.procuraForma("Dinheiro")->totalDia, 2500);
}

TEST_F(SubstitutoDia, VinculadoAbertoPelaFormaDoUltimoCupom) {
  ImpressoraFiscal& ecf = Nova("DARUMA");
  // Without a coupon paid in a method that takes a linked receipt: refused.
  EXPECT_EQ(Daruma_FI_AbreComprovanteNaoFiscalVinculado("Cartao", "", ""), -1);
  VendeEReduz(ecf, false);
  EXPECT_EQ(Daruma_FI_AbreComprovanteNaoFiscalVinculado("Cartao", "40,00", ""), -1);
  EXPECT_EQ(Daruma_FI_AbreComprovanteNaoFiscalVinculado("Cartao", "10,00", "999"), -1);
  EXPECT_EQ(Daruma_FI_AbreComprovanteNaoFiscalVinculado("Cartao", "10,00", "x"), -2);
  const std::string coo = std::to_string(ecf.ultimoCupom().coo);
  ASSERT_EQ(Daruma_FI_AbreComprovanteNaoFiscalVinculado("Cartao", "10,00", coo.c_str()), 1);
  std::string status = Brancos(1);
  ASSERT_EQ(Daruma_FI_StatusComprovanteNaoFiscalVinculado(status.data()), 1);
  EXPECT_EQ(status, "1");
  ASSERT_EQ(Daruma_FI_UsaComprovanteNaoFiscalVinculado("VIA DO CLIENTE"), 1);
  ASSERT_EQ(Daruma_FI_FechaComprovanteNaoFiscalVinculado(), 1);
  EXPECT_EQ(ecf.ultimoCupom().pagamentos.at(0).vinculadoUsado, 1000);
  EXPECT_EQ(ecf.jornal().back().tipo, "CDC");
  EXPECT_EQ(Daruma_FI_UsaComprovanteNaoFiscalVinculado("DEPOIS"), -1);
}

TEST_F(SubstitutoDia, ListasDeRelatoriosGerenciaisDeCadaDriver) {
  ImpressoraFiscal& ecf = Nova("BEMATECH");
  ASSERT_EQ(Bematech_FI_NomeiaRelatorioGerencialMFD("3", "Meios Pagto."), 1);
  // An index taken by another name: refused.
  EXPECT_EQ(Bematech_FI_NomeiaRelatorioGerencialMFD("3", "DAV EMITIDOS"), -1);
  std::string b = Brancos(659);
  ASSERT_EQ(Bematech_FI_VerificaRelatorioGerencialMFD(b.data()), 1);
  EXPECT_EQ(b.size(), 659u);
  EXPECT_EQ(Em(b, 1, 22), "0000Relatorio Geral  ,");
  EXPECT_EQ(Em(b, 45, 21), "0000Meios Pagto.     ");
  ASSERT_EQ(Bematech_FI_AbreRelatorioGerencialMFD("3"), 1);
  ASSERT_EQ(Bematech_FI_RelatorioGerencial("LINHA"), 1);
  ASSERT_EQ(Bematech_FI_FechaRelatorioGerencial(), 1);
  ASSERT_EQ(Bematech_FI_VerificaRelatorioGerencialMFD(b.data()), 1);
  EXPECT_EQ(Em(b, 45, 4), "0001");
  // With no report open, the text goes to the first.
  ASSERT_EQ(Bematech_FI_RelatorioGerencial("SOLTO"), 1);
  EXPECT_EQ(ecf.relatorioAberto(), 1);

  Nova("SWEDA");
  // CONVECF takes the name to the first free index when the given one is taken.
  ASSERT_EQ(ECF_NomeiaRelatorioGerencialMFD("1", "DAV EMITIDOS"), 1);
  std::string s = Brancos(600);
  ASSERT_EQ(ECF_VerificaRelatorioGerencialProgMFD(s.data()), 1);
  EXPECT_EQ(Em(s, 1, 20), "01Relatorio Geral   ");
  EXPECT_EQ(Em(s, 21, 20), "02DAV EMITIDOS      ");
  EXPECT_EQ(Em(s, 41, 2), "03");

  ImpressoraFiscal& daruma = Nova("DARUMA");
  ASSERT_EQ(Daruma_FIMFD_ProgramaRelatoriosGerenciais("PARAM CONFIG"), 1);
  std::string d = Brancos(321);
  ASSERT_EQ(Daruma_FIMFD_VerificaRelatoriosGerenciais(d.data()), 1);
  EXPECT_EQ(d.find('\0'), 320u);
  EXPECT_EQ(Em(d, 1, 32), "Relatorio Geral,PARAM CONFIG   ,");
  ASSERT_EQ(Daruma_FIMFD_AbreRelatorioGerencial("param config"), 1);
  EXPECT_EQ(daruma.relatorioAberto(), 2);
  std::string aberto = Brancos(1);
  ASSERT_EQ(Daruma_FI_StatusRelatorioGerencial(aberto.data()), 1);
  EXPECT_EQ(aberto, "1");

  Nova("ELGIN");
  std::string e = Brancos(30);
  ASSERT_EQ(Elgin_LeNomeRelatorioGerencial("00", e.data()), 1);
  EXPECT_EQ(Lido(e), "Relatorio Geral");
  ASSERT_EQ(Elgin_NomeiaRelatorioGerencialMFD("1", "Id. PAF-ECF"), 1);
  ASSERT_EQ(Elgin_LeNomeRelatorioGerencial("01", e.data()), 1);
  EXPECT_EQ(Lido(e), "Id. PAF-ECF");
  e = Brancos(30);
  ASSERT_EQ(Elgin_LeNomeRelatorioGerencial("02", e.data()), 1);
  EXPECT_EQ(Lido(e), "");
  // The index -1 the host makes when it did not find the report.
  EXPECT_EQ(Elgin_AbreRelatorioGerencialMFD("-1"), -2);
}

TEST_F(SubstitutoDia, DadosDaUltimaReducaoNosLeiautesMfdESimples) {
  ImpressoraFiscal& ecf = Nova("BEMATECH");
  std::string mfd = Brancos(1278), simples = Brancos(631);
  // No reduction: zeros, no date that converts.
  ASSERT_EQ(Bematech_FI_DadosUltimaReducao(simples.data()), 1);
  EXPECT_EQ(Em(simples, 596, 6), "000000");
  VendeEReduz(ecf);

  ASSERT_EQ(Bematech_FI_DadosUltimaReducaoMFD(mfd.data()), 1);
  EXPECT_EQ(mfd.size(), 1278u);
  EXPECT_EQ(Em(mfd, 4, 4), "0001");  // CRO
  EXPECT_EQ(Em(mfd, 9, 4), "0001");  // CRZ
  EXPECT_EQ(Em(mfd, 14, 6), "00000" + std::to_string(ecf.ultimaReducao()->coo));
  EXPECT_EQ(Em(mfd, 316, 18), std::string(14, '0') + "3000");
  EXPECT_EQ(Em(mfd, 335, 14), std::string(10, '0') + "3000");  // 01 T18,00%
  EXPECT_EQ(Em(mfd, 349, 14), std::string(14, '0'));           // 02 T12,00%
  EXPECT_EQ(Em(mfd, 1208, 8), "18001200");
  EXPECT_EQ(Em(mfd, 1273, 6), "150324");

  ASSERT_EQ(Bematech_FI_DadosUltimaReducao(simples.data()), 1);
  EXPECT_EQ(simples.size(), 631u);
  EXPECT_EQ(Em(simples, 4, 18), std::string(14, '0') + "3000");
  EXPECT_EQ(Em(simples, 53, 4), "1800");
  EXPECT_EQ(Em(simples, 118, 14), std::string(10, '0') + "3000");
  EXPECT_EQ(Em(simples, 596, 6), "150324");

  // Blocked after the reduction; its date and time of issue stay.
  int32_t flags = 0;
  ASSERT_EQ(Bematech_FI_FlagsFiscais(&flags), 1);
  EXPECT_EQ(flags & 8, 8);
  std::string data = Brancos(6), hora = Brancos(6);
  ASSERT_EQ(Bematech_FI_DataHoraReducao(data.data(), hora.data()), 1);
  EXPECT_EQ(data + hora, "150324100000");
  // A second reduction on the same day is refused.
  EXPECT_EQ(Bematech_FI_ReducaoZ(nullptr, nullptr), -1);
  EXPECT_EQ(ecf.contadores().crz, 1);
}

TEST_F(SubstitutoDia, ReducaoZComDocumentoAbertoERecusada) {
  ImpressoraFiscal& ecf = Nova("ELGIN");
  ASSERT_EQ(Elgin_AbreCupom(nullptr), 1);
  EXPECT_EQ(Elgin_ReducaoZ("15/03/2024", "10:00:00"), -1);
  EXPECT_EQ(Elgin_LeituraX(), -1);
  EXPECT_EQ(ecf.contadores().crz, 0);
  int32_t ack = 0, st1 = 0, st2 = 0;
  ASSERT_EQ(Elgin_RetornoImpressora(&ack, &st1, &st2), 1);
  EXPECT_EQ(st2 & 1, 1);
  ASSERT_EQ(Elgin_CancelaCupom(), 1);
  ASSERT_EQ(Elgin_ReducaoZ("15/03/2024", "10:00:00"), 1);
  int32_t pendente = -1;
  ASSERT_EQ(Elgin_VerificaZPendente(&pendente), 1);
  EXPECT_EQ(pendente, 0);
}

TEST_F(SubstitutoDia, DarumaInformacoesDaReducaoPorIndice) {
  ImpressoraFiscal& ecf = Nova("DARUMA");
  VendeEReduz(ecf);
  std::string r = Brancos(1164);
  ASSERT_EQ(Daruma_FIMFD_RetornaInformacao("140", r.data()), 1);
  EXPECT_EQ(Em(r, 1, 8), "15032024");
  EXPECT_EQ(Em(r, 9, 18), std::string(14, '0') + "3000");
  EXPECT_EQ(Em(r, 27, 18), std::string(18, '0'));  // GT at the day's start
  EXPECT_EQ(Em(r, 129, 14), std::string(10, '0') + "3000");
  EXPECT_EQ(Em(r, 843, 10), "1180011200");
  EXPECT_EQ(Em(r, 863, 5), "20500");  // 05 S5,00%
  EXPECT_EQ(Em(r, 868, 5), "00000");  // a free index
  std::string serie = Brancos(21), crz = Brancos(4), emissao = Brancos(14), versao = Brancos(6);
  ASSERT_EQ(Daruma_FIMFD_RetornaInformacao("78", serie.data()), 1);
  EXPECT_EQ(serie, ecf.identificacao().numeroSerie + "N");
  ASSERT_EQ(Daruma_FIMFD_RetornaInformacao("24", crz.data()), 1);
  EXPECT_EQ(crz, "0001");
  ASSERT_EQ(Daruma_FIMFD_RetornaInformacao("73", emissao.data()), 1);
  EXPECT_EQ(emissao, "15032024100000");
  ASSERT_EQ(Daruma_FIMFD_RetornaInformacao("83", versao.data()), 1);
  EXPECT_EQ(versao, "010000");
  // Daylight-saving time only toggles.
  ASSERT_EQ(Daruma_FI_ProgramaHorarioVerao(), 1);
  std::string verao = Brancos(1);
  ASSERT_EQ(Daruma_FIMFD_RetornaInformacao("108", verao.data()), 1);
  EXPECT_EQ(verao, "1");
}

TEST_F(SubstitutoDia, LeituraDaMemoriaFiscalEmArquivoNaPastaDoEstado) {
  ImpressoraFiscal& ecf = Nova("SWEDA");
  VendeEReduz(ecf);
  const int coo = ecf.contadores().coo;
  ASSERT_EQ(ECF_LeituraMemoriaFiscalSerialDataMFD("15/03/2024", "150324", "C"), 1);
  EXPECT_EQ(ecf.contadores().coo, coo);  // nothing printed
  const std::string arquivo = LeArquivo(pasta.caminho + "/LEITURAMF.TXT");
  EXPECT_NE(arquivo.find("PERIODO:"), std::string::npos) << arquivo;
  EXPECT_NE(arquivo.find("CRZ:0001"), std::string::npos) << arquivo;
  EXPECT_NE(arquivo.find("T18,00%"), std::string::npos) << arquivo;
  EXPECT_EQ(ECF_LeituraMemoriaFiscalDataMFD("16/03/2024", "15/03/2024", "S"), -2);
  EXPECT_EQ(ECF_LeituraMemoriaFiscalReducaoMFD("1", "x", "S"), -2);
  ASSERT_EQ(ECF_LeituraMemoriaFiscalReducaoMFD("2", "9", "S"), 1);
  EXPECT_NE(ecf.jornal().back().linhas.size(), 0u);
  std::string bobina;
  const DocumentoImpresso ultimo = ecf.jornal().back();
  for (const std::string& l : ultimo.linhas) bobina += l + "\n";
  EXPECT_NE(bobina.find("NAO HA REDUCOES NO PERIODO"), std::string::npos) << bobina;
}

// ---------------------------------------------------------------- DLLG2

class DllG2Dia : public SubstitutoDia {
 protected:
  void SetUp() override {
    unsetenv("TARVIC_SIM_FABRICANTE");
    ecf = &Nova("DATAREGIS");
    canal = DLLG2_IniciaDriver("COM1");
  }
  void TearDown() override { DLLG2_EncerraDriver(canal); }
  int32_t Executa(const char* comando, std::initializer_list<std::array<const char*, 2>> params) {
    DLLG2_LimpaParams(canal);
    for (const auto& p : params) DLLG2_AdicionaParam(canal, p[0], p[1], 7);
    return DLLG2_ExecutaComando(canal, comando);
  }
  std::string Resposta(const char* nome, int tamanho) {
    std::string b = Brancos(tamanho);
    DLLG2_Retorno(canal, 0, nome, 0, b.data(), tamanho);
    return b.substr(0, b.find('\0'));
  }
  int64_t Inteiro(const char* nome) {
    Executa("LeInteiro", {{"NomeInteiro", nome}});
    return std::stoll(Resposta("ValorInteiro", 20));
  }
  ImpressoraFiscal* ecf = nullptr;
  int32_t canal = 0;
};

TEST_F(DllG2Dia, NaoFiscalPorNomeComCodigosDeZero) {
  ASSERT_EQ(Executa("LeNaoFiscal", {{"CodNaoFiscal", "1"}}), 1);
  EXPECT_EQ(Resposta("NomeNaoFiscal", 30), "SUPRIMENTO");
  EXPECT_EQ(Resposta("TipoNaoFiscal", 5), "E");
  ASSERT_EQ(Executa("LeNaoFiscal", {{"CodNaoFiscal", "0"}}), 1);
  EXPECT_EQ(Resposta("TipoNaoFiscal", 5), "S");
  EXPECT_EQ(Executa("LeNaoFiscal", {{"CodNaoFiscal", "2"}}), -1);
  EXPECT_EQ(DLLG2_ObtemCodErro(canal), 22);

  ASSERT_EQ(Executa("AbreCupomNaoFiscal", {}), 1);
  EXPECT_EQ(Inteiro("EstadoFiscal"), 2);
  ASSERT_EQ(Executa("EmiteItemNaoFiscal", {{"NomeNaoFiscal", "SUPRIMENTO"}, {"Valor", "80,00"}}),
            1);
  EXPECT_EQ(Executa("EncerraDocumento", {}), -1);  // the payment is missing
  ASSERT_EQ(Executa("PagaCupom", {{"NomeMeioPagamento", "Dinheiro"}, {"Valor", "80,00"}}), 1);
  ASSERT_EQ(Executa("EncerraDocumento", {}), 1);
  EXPECT_EQ(ecf->totaisDia().suprimentos, 8000);

  ASSERT_EQ(Executa("DefineNaoFiscal", {{"NomeNaoFiscal", "Recebimento"}}), 1);
  ASSERT_EQ(Executa("LeNaoFiscal", {{"CodNaoFiscal", "2"}}), 1);
  EXPECT_EQ(Resposta("NomeNaoFiscal", 30), "Recebimento");
  ASSERT_EQ(Executa("LeMeioPagamento", {{"CodMeioPagamentoProgram", "2"}}), 1);
  EXPECT_EQ(Resposta("NomeMeioPagamento", 16), "Cartao");
  ASSERT_EQ(
      Executa("DefineMeioPagamento", {{"NomeMeioPagamento", "Ticket"}, {"PermiteVinculado", "t"}}),
      1);
  EXPECT_TRUE(ecf->procuraForma("Ticket")->permiteVinculado);
}

TEST_F(DllG2Dia, GerencialVinculadoEEstadoFiscal) {
  ASSERT_EQ(Executa("LeGerencial", {{"NomeGerencial", "relatorio geral"}}), 1);
  EXPECT_EQ(Resposta("CodGerencial", 2), "0");
  EXPECT_EQ(Executa("LeGerencial", {{"NomeGerencial", "Meios Pagto."}}), -1);
  ASSERT_EQ(Executa("DefineGerencial", {{"NomeGerencial", "Meios Pagto."}}), 1);
  ASSERT_EQ(Executa("LeGerencial", {{"NomeGerencial", "Meios Pagto."}}), 1);
  EXPECT_EQ(Resposta("CodGerencial", 2), "1");
  ASSERT_EQ(Executa("AbreGerencial", {{"CodGerencial", "1"}}), 1);
  EXPECT_EQ(Inteiro("EstadoFiscal"), 32);
  ASSERT_EQ(Executa("ImprimeTexto", {{"TextoLivre", "DINHEIRO 10,00"}}), 1);
  ASSERT_EQ(Executa("EncerraDocumento", {}), 1);
  EXPECT_EQ(Executa("ImprimeTexto", {{"TextoLivre", "SOLTO"}}), -1);

  VendeEReduz(*ecf, false);
  ASSERT_EQ(
      Executa("AbreCreditoDebito", {{"COO", ""}, {"NomeMeioPagamento", "Cartao"}, {"Valor", ""}}),
      1);
  EXPECT_EQ(Inteiro("EstadoFiscal"), 64);
  ASSERT_EQ(Executa("ImprimeTexto", {{"TextoLivre", "COMPROVANTE TEF"}}), 1);
  ASSERT_EQ(Executa("EncerraDocumento", {}), 1);
  EXPECT_EQ(ecf->contadores().cdc, 1);
}

TEST_F(DllG2Dia, ReducaoIndicadoresEDadosDaUltimaReducao) {
  VendeEReduz(*ecf, false);
  EXPECT_EQ(Inteiro("Indicadores"), 0);
  ASSERT_EQ(Executa("EmiteLeituraX", {}), 1);
  ASSERT_EQ(Executa("EmiteReducaoZ", {}), 1);
  EXPECT_EQ(Inteiro("Indicadores"), 32);
  EXPECT_EQ(Executa("EmiteReducaoZ", {}), -1);
  EXPECT_EQ(DLLG2_ObtemCodErro(canal), 40);
  EXPECT_EQ(Inteiro("ContadorReinicioReducao[1]"), 1);

  ASSERT_EQ(Executa("LeTexto", {{"NomeTexto", "DadosUltimaReducaoZ"}}), 1);
  const std::string r = Resposta("ValorTexto", 1000);
  ASSERT_EQ(r.size(), 468u);
  EXPECT_EQ(Em(r, 3, 18), std::string(14, '0') + "3000");
  EXPECT_EQ(Em(r, 77, 14), std::string(10, '0') + "3000");
  EXPECT_EQ(Em(r, 91, 4), "1800");
  EXPECT_EQ(Em(r, 155, 14), std::string(10, '0') + "3000");
  EXPECT_EQ(Em(r, 379, 16), "TTTTSTTTTTTTTTTT");
  EXPECT_EQ(Em(r, 463, 6), "150324");

  // Until the day ends no document opens.
  EXPECT_EQ(Executa("AbreCupomFiscal", {}), -1);
  EXPECT_EQ(DLLG2_ObtemCodErro(canal), 40);
}

TEST_F(DllG2Dia, LeituraDaMemoriaFiscalEmPedacos) {
  ecf->fixaAgora(DataHora{2024, 3, 14, 10, 0, 0});
  VendeEReduz(*ecf);
  ecf->fixaAgora(DataHora{2024, 3, 15, 10, 0, 0});
  VendeEReduz(*ecf);
  const int coo = ecf->contadores().coo;
  DLLG2_LimpaParams(canal);
  DLLG2_AdicionaParam(canal, "ReducaoFinal", "2", 4);
  DLLG2_AdicionaParam(canal, "ReducaoInicial", "1", 4);
  DLLG2_AdicionaParam(canal, "Destino", "S", 7);
  DLLG2_AdicionaParam(canal, "LeituraSimplificada", "f", 0);
  ASSERT_EQ(DLLG2_ExecutaComando(canal, "EmiteLeituraMF"), 1);
  EXPECT_EQ(ecf->contadores().coo, coo);
  std::string texto;
  int pedacos = 0;
  for (;;) {
    ASSERT_EQ(Executa("LeImpressao", {}), 1);
    ASSERT_EQ(DLLG2_ObtemCodErro(canal), 0);
    const std::string p = Resposta("TextoImpressao", 4000);
    if (p.empty()) break;
    ASSERT_LT(p.size(), 4000u);
    texto += p;
    ASSERT_LT(++pedacos, 20);
  }
  EXPECT_NE(texto.find("CRZ:0001"), std::string::npos) << texto;
  EXPECT_NE(texto.find("CRZ:0002"), std::string::npos) << texto;
  EXPECT_NE(texto.find("REDUCOES: 2"), std::string::npos) << texto;

  DLLG2_LimpaParams(canal);
  DLLG2_AdicionaParam(canal, "DataFinal", "14/03/2024", 2);
  DLLG2_AdicionaParam(canal, "DataInicial", "14/03/2024", 2);
  DLLG2_AdicionaParam(canal, "Destino", "I", 7);
  DLLG2_AdicionaParam(canal, "LeituraSimplificada", "t", 0);
  ASSERT_EQ(DLLG2_ExecutaComando(canal, "EmiteLeituraMF"), 1);
  EXPECT_EQ(ecf->contadores().coo, coo + 1);
  std::string bobina;
  const DocumentoImpresso ultimo = ecf->jornal().back();
  for (const std::string& l : ultimo.linhas) bobina += l + "\n";
  EXPECT_NE(bobina.find("REDUCOES: 1"), std::string::npos) << bobina;
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
