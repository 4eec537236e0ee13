// The stand-in drivers' answers in the forms and widths the library reads.
#include "apoio_substitutos.h"

#include "drivers/drivers.h"

#include <array>
#include <cstring>

namespace tarvic {
namespace simulador {
namespace {

std::string Brancos(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

class Substituto : public ::testing::Test {
 protected:
  ImpressoraFiscal& Nova(const std::string& fabricante) {
    return ImpressoraNova(pasta.caminho, fabricante);
  }
  PastaDeTeste pasta;
};

// ---------------------------------------------------------------- BEMAFI32

TEST_F(Substituto, BematechRespondeNasLargurasDosBuffers) {
  ImpressoraFiscal& ecf = Nova("BEMATECH");
  std::string versao = Brancos(9);
  EXPECT_EQ(Bematech_FI_VersaoDll(versao.data()), 1);
  EXPECT_EQ(versao.substr(0, 8), "5,10,6,8");

  ASSERT_EQ(Bematech_FI_AbreCupom(nullptr), 1);
  ASSERT_EQ(Bematech_FI_VendeItem("1", "ARROZ", "01", "F", "2", 2, "12,50", "$", "0"), 1);

  std::string coo = Brancos(6), subtotal = Brancos(14), gt = Brancos(18), caixa = Brancos(4);
  EXPECT_EQ(Bematech_FI_NumeroCupom(coo.data()), 1);
  EXPECT_EQ(coo, "000001");
  EXPECT_EQ(Bematech_FI_SubTotal(subtotal.data()), 1);
  EXPECT_EQ(subtotal, "00000000002500");
  EXPECT_EQ(Bematech_FI_GrandeTotal(gt.data()), 1);
  EXPECT_EQ(gt, "000000000000002500");
  EXPECT_EQ(Bematech_FI_NumeroCaixa(caixa.data()), 1);
  EXPECT_EQ(caixa, "0001");

  std::string data = Brancos(6), hora = Brancos(6), ultimo = Brancos(12);
  EXPECT_EQ(Bematech_FI_DataHoraImpressora(data.data(), hora.data()), 1);
  EXPECT_EQ(data + hora, "150324100000");
  EXPECT_EQ(Bematech_FI_DataHoraUltimoDocumentoMFD(ultimo.data()), 1);
  EXPECT_EQ(ultimo, "150324100000");

  std::string marca = Brancos(15), modelo = Brancos(20), tipo = Brancos(7);
  EXPECT_EQ(Bematech_FI_MarcaModeloTipoImpressoraMFD(marca.data(), modelo.data(), tipo.data()), 1);
  EXPECT_EQ(Lido(marca), ecf.identificacao().marca);
  EXPECT_EQ(Lido(modelo), ecf.identificacao().modelo);
  EXPECT_EQ(Lido(tipo), ecf.identificacao().tipo);
}

TEST_F(Substituto, BufferCurtoOuNuloNuncaPassaDoQueOChamadorDeu) {
  Nova("BEMATECH");
  // Three blanks and, after the NUL, a guard the driver must not touch.
  char buffer[8] = {' ', ' ', ' ', '\0', 'X', 'X', 'X', '\0'};
  EXPECT_EQ(Bematech_FI_GrandeTotal(buffer), 1);
  EXPECT_EQ(std::string(buffer, 3), "000");
  EXPECT_EQ(std::string(buffer + 4), "XXX");

  EXPECT_EQ(Bematech_FI_NumeroSerieMFD(nullptr), 1);
  EXPECT_EQ(Bematech_FI_RetornoImpressora(nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(Bematech_FI_FlagsFiscais(nullptr), 1);
  EXPECT_EQ(Bematech_FI_VendeItem(nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                  nullptr),
            -2);
  EXPECT_EQ(Bematech_FI_EfetuaFormaPagamento(nullptr, nullptr), -2);

  // The size given to DLLG2 includes the NUL.
  std::string v = "XXXXXXXX";
  EXPECT_EQ(DLLG2_Versao(v.data(), 4), 1);
  EXPECT_EQ(v, std::string("02.") + '\0' + "XXXX");
}

TEST_F(Substituto, BematechBytesDeStatusEFlagsFiscais) {
  ImpressoraFiscal& ecf = Nova("BEMATECH");
  ASSERT_EQ(Bematech_FI_AbrePortaSerial(), 1);  // the status from before the port does not count
  int32_t ack = 0, st1 = -1, st2 = -1, flags = -1;
  EXPECT_EQ(Bematech_FI_RetornoImpressora(&ack, &st1, &st2), 1);
  EXPECT_EQ(ack, 6);
  EXPECT_EQ(st1, 0);
  EXPECT_EQ(st2, 0);
  EXPECT_EQ(Bematech_FI_FlagsFiscais(&flags), 1);
  EXPECT_EQ(flags & 3, 0);

  ASSERT_EQ(Bematech_FI_AbreCupom(nullptr), 1);
  ASSERT_EQ(Bematech_FI_VendeItem("1", "ARROZ", "II", "F", "1", 2, "10,00", "$", ""), 1);
  EXPECT_EQ(Bematech_FI_FlagsFiscais(&flags), 1);
  EXPECT_EQ(flags & 3, 1);
  ASSERT_EQ(Bematech_FI_IniciaFechamentoCupom("A", "$", "0"), 1);
  EXPECT_EQ(Bematech_FI_FlagsFiscais(&flags), 1);
  EXPECT_EQ(flags & 3, 3);

  ecf.defineSensorPapel(SensorPapel::Pouco);
  EXPECT_EQ(Bematech_FI_RetornoImpressora(&ack, &st1, &st2), 1);
  EXPECT_EQ(st1 & 0xC0, 64);

  // Without paper the command returns 1 and the status tells: nothing printed.
  ecf.defineSensorPapel(SensorPapel::Sem);
  EXPECT_EQ(Bematech_FI_EfetuaFormaPagamento("Dinheiro", "10,00"), 1);
  EXPECT_EQ(Bematech_FI_RetornoImpressora(&ack, &st1, &st2), 1);
  EXPECT_EQ(st1 & 0xC0, 128);
  EXPECT_EQ(st2 & 1, 1);
  EXPECT_EQ(ecf.totalPago(), 0);

  // The status is the last command's: an accepted command clears ST2.
  ecf.defineSensorPapel(SensorPapel::Presente);
  EXPECT_EQ(Bematech_FI_EfetuaFormaPagamento("Dinheiro", "10,00"), 1);
  EXPECT_EQ(Bematech_FI_RetornoImpressora(&ack, &st1, &st2), 1);
  EXPECT_EQ(st2, 0);

  ecf.desliga();
  EXPECT_EQ(Bematech_FI_VerificaImpressoraLigada(), -6);
  EXPECT_EQ(Bematech_FI_TerminaFechamentoCupom(""), -6);
  EXPECT_EQ(Bematech_FI_RetornoImpressora(&ack, &st1, &st2), -6);
  std::string coo = Brancos(6);
  EXPECT_EQ(Bematech_FI_NumeroCupom(coo.data()), -6);
  EXPECT_EQ(coo, Brancos(6));
  // Version and port do not depend on the printer.
  EXPECT_EQ(Bematech_FI_AbrePortaSerial(), 1);
}

TEST_F(Substituto, BematechCodigosDeRecusa) {
  Nova("BEMATECH");
  EXPECT_EQ(Bematech_FI_VendeItem("1", "ARROZ", "II", "F", "1", 2, "1,00", "$", ""),
            -1);  // no coupon
  ASSERT_EQ(Bematech_FI_AbreCupom(nullptr), 1);
  EXPECT_EQ(Bematech_FI_VendeItem("1", "ARROZ", "09", "F", "1", 2, "1,00", "$", ""), -3);
  EXPECT_EQ(Bematech_FI_VendeItem("1", "ARROZ", "1300", "F", "1", 2, "1,00", "$", ""), -3);
  EXPECT_EQ(Bematech_FI_VendeItem("1", "ARROZ", "II", "F", "um", 2, "1,00", "$", ""), -2);
  ASSERT_EQ(Bematech_FI_VendeItem("1", "ARROZ", "II", "F", "1", 2, "5,00", "$", ""), 1);
  ASSERT_EQ(Bematech_FI_IniciaFechamentoCupom("D", "$", "0,00"), 1);
  EXPECT_EQ(Bematech_FI_EfetuaFormaPagamento("Vale", "5,00"), -24);
  EXPECT_EQ(Bematech_FI_EfetuaFormaPagamento("Dinheiro", "2,00"), 1);
  EXPECT_EQ(Bematech_FI_TerminaFechamentoCupom(""), -36);  // the payment does not cover the total
  int32_t ack, st1, st2;
  Bematech_FI_RetornoImpressora(&ack, &st1, &st2);
  EXPECT_EQ(st2 & 1, 1);
}

TEST_F(Substituto, BematechNotacoesDaVenda) {
  ImpressoraFiscal& ecf = Nova("BEMATECH");
  ASSERT_EQ(Bematech_FI_AbreCupom(nullptr), 1);
  // A long description and a unit hold for the next item only.
  ASSERT_EQ(Bematech_FI_AumentaDescricaoItem("ARROZ AGULHINHA TIPO 1 PACOTE COM 5 KG"), 1);
  ASSERT_EQ(Bematech_FI_UsaUnidadeMedida("PC"), 1);
  // "%": hundredths of a percent, a discount even with the library's sign.
  ASSERT_EQ(Bematech_FI_VendeItem("1", "ARROZ AGULHINHA TIPO 1 PACOT", "01", "F", "2", 2, "10,00",
                                  "%", "-1000"),
            1);
  ASSERT_EQ(Bematech_FI_VendeItem("2", "FEIJAO", "FF", "F", "1,5", 2, "8,00", "$", "-1,00"), 1);
  // Department: three decimals in price and quantity, an increase as an amount.
  ASSERT_EQ(Bematech_FI_VendeItemDepartamento("78910001000000", "CHOCOLATE", "1800", "3,000",
                                              "2,000", "0,60", "0,00", "01", "UN"),
            1);
  ASSERT_EQ(Bematech_FI_VendeItem("4", "SERVICO", "SI", "F", "1", 2, "1,00", "$", "0"), 1);

  const std::vector<ItemCupom>& itens = ecf.cupomAtual().itens;
  ASSERT_EQ(itens.size(), 4u);
  EXPECT_EQ(itens[0].descricao, "ARROZ AGULHINHA TIPO 1 PACOTE COM 5 KG");
  EXPECT_EQ(itens[0].unidade, "PC");
  EXPECT_EQ(itens[0].aliquota, "01T1800");
  EXPECT_EQ(itens[0].desconto, 200);
  EXPECT_EQ(itens[1].descricao, "FEIJAO");
  EXPECT_EQ(itens[1].unidade, "UN");
  EXPECT_EQ(itens[1].bruto, 1200);
  EXPECT_EQ(itens[1].desconto, 100);
  EXPECT_EQ(itens[2].bruto, 600);
  EXPECT_EQ(itens[2].acrescimo, 60);
  EXPECT_EQ(itens[2].aliquota, "01T1800");
  EXPECT_EQ(itens[3].aliquota, "IS");
}

TEST_F(Substituto, CodigoInjetadoRespondeUmaVezSemEfeito) {
  ImpressoraFiscal& ecf = Nova("BEMATECH");
  ecf.injetaCodigo("Bematech_FI_AbreCupom", -5);
  EXPECT_EQ(Bematech_FI_AbreCupom(nullptr), -5);
  EXPECT_EQ(ecf.documentoAberto(), TipoDocumento::Nenhum);
  EXPECT_EQ(Bematech_FI_AbreCupom(nullptr), 1);
  EXPECT_EQ(ecf.documentoAberto(), TipoDocumento::CupomFiscal);
}

// ---------------------------------------------------------------- CONVECF

TEST_F(Substituto, SwedaStatusDoCupomEMensagemDeStatus) {
  ImpressoraFiscal& ecf = Nova("SWEDA");
  std::string status = Brancos(2), mensagem = Brancos(512);
  EXPECT_EQ(ECF_StatusCupomFiscal(status.data()), 1);
  EXPECT_EQ(Lido(status), "0");
  ASSERT_EQ(ECF_AbreCupom(""), 1);
  status = Brancos(2);
  EXPECT_EQ(ECF_StatusCupomFiscal(status.data()), 1);
  EXPECT_EQ(Lido(status), "1");
  EXPECT_EQ(ECF_ObterMensagemStatus(mensagem.data()), 1);
  EXPECT_EQ(Lido(mensagem).find('|'), std::string::npos);  // success: nothing to show

  EXPECT_EQ(ECF_VendeItem("1", "ARROZ", "07", "F", "1", 2, "1,00", "$", "0000"), -3);
  mensagem = Brancos(512);
  ECF_ObterMensagemStatus(mensagem.data());
  EXPECT_EQ(Lido(mensagem), "Comando não executado| Alíquota não programada.");

  // Without paper CONVECF refuses (the library reads no ST1 from this driver).
  ecf.defineSensorPapel(SensorPapel::Sem);
  EXPECT_EQ(ECF_VendeItem("1", "ARROZ", "II", "F", "1", 2, "1,00", "$", "0000"), -27);
  mensagem = Brancos(512);
  ECF_ObterMensagemStatus(mensagem.data());
  EXPECT_EQ(Lido(mensagem).substr(0, 21), "Impressora sem papel|");
}

TEST_F(Substituto, SwedaAjusteDeItemDepoisDaVenda) {
  ImpressoraFiscal& ecf = Nova("SWEDA");
  ASSERT_EQ(ECF_AbreCupom(""), 1);
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(ECF_VendeItem("1", "ITEM", "II", "F", "1", 2, "10,00", "$", "0000"), 1);
  EXPECT_EQ(ECF_AcrescimoDescontoItemMFD("003", "D", "$", "000150"), 1);
  EXPECT_EQ(ECF_AcrescimoDescontoItemMFD("002", "A", "%", "1050"), 1);
  EXPECT_EQ(ECF_AcrescimoDescontoItemMFD("009", "D", "$", "000100"), -1);
  EXPECT_EQ(ECF_AcrescimoDescontoItemMFD("001", "X", "$", "000100"), -2);
  EXPECT_EQ(ecf.cupomAtual().itens[2].desconto, 150);
  EXPECT_EQ(ecf.cupomAtual().itens[1].acrescimo, 105);
}

// ---------------------------------------------------------------- DARUMA32

TEST_F(Substituto, DarumaSinalDoAjusteEInformacoesPorIndice) {
  ImpressoraFiscal& ecf = Nova("DARUMA");
  ASSERT_EQ(Daruma_FI_AbreCupom(nullptr), 1);
  ASSERT_EQ(Daruma_FI_UsaUnidadeMedida("KG"), 1);
  ASSERT_EQ(Daruma_FI_VendeItem("1", "QUEIJO", "II", "F", "1", 2, "20,00", "$", "-05,00"), 1);
  ASSERT_EQ(Daruma_FI_VendeItem("2", "PAO", "FF", "F", "1", 2, "10,00", "$", "03,50"), 1);
  ASSERT_EQ(Daruma_FI_VendeItem("3", "CONSERTO", "ISS", "F", "1", 2, "10,00", "%", "10,00"), 1);
  const std::vector<ItemCupom>& itens = ecf.cupomAtual().itens;
  EXPECT_EQ(itens[0].acrescimo, 500);
  EXPECT_EQ(itens[0].unidade, "KG");
  EXPECT_EQ(itens[1].desconto, 350);
  EXPECT_EQ(itens[2].desconto, 100);
  EXPECT_EQ(itens[2].aliquota, "IS");

  std::string serie = Brancos(20), modelo = Brancos(20), ccf = Brancos(6), ultimo = Brancos(14);
  EXPECT_EQ(Daruma_FIMFD_RetornaInformacao("78", serie.data()), 1);
  EXPECT_EQ(serie, ecf.identificacao().numeroSerie);
  EXPECT_EQ(Daruma_FIMFD_RetornaInformacao("81", modelo.data()), 1);
  EXPECT_EQ(Lido(modelo), ecf.identificacao().modelo);
  EXPECT_EQ(Daruma_FIMFD_RetornaInformacao("30", ccf.data()), 1);
  EXPECT_EQ(ccf, "000001");
  EXPECT_EQ(Daruma_FIMFD_RetornaInformacao("74", ultimo.data()), 1);
  EXPECT_EQ(ultimo, "15032024100000");
  std::string outro = Brancos(4);
  EXPECT_EQ(Daruma_FIMFD_RetornaInformacao("999", outro.data()), 1);
  EXPECT_EQ(outro, Brancos(4));
  EXPECT_EQ(Daruma_FIMFD_RetornaInformacao(nullptr, outro.data()), -2);
}

// ---------------------------------------------------------------- ELGIN

TEST_F(Substituto, ElginSinalDoAjusteDoItem) {
  ImpressoraFiscal& ecf = Nova("ELGIN");
  ASSERT_EQ(Elgin_AbreCupom(nullptr), 1);
  ASSERT_EQ(Elgin_VendeItem("1", "QUEIJO", "01", "F", "1", 2, "20,00", "$", "2"), 1);
  ASSERT_EQ(Elgin_VendeItem("2", "PAO", "NN", "F", "1", 2, "10,00", "%", "-10"), 1);
  EXPECT_EQ(ecf.cupomAtual().itens[0].acrescimo, 200);
  EXPECT_EQ(ecf.cupomAtual().itens[1].desconto, 100);
  int32_t pendente = -1;
  EXPECT_EQ(Elgin_VerificaZPendente(&pendente), 1);
  EXPECT_EQ(pendente, 0);
}

// ---------------------------------------------------------------- DLLG2

class SubstitutoDllG2 : public Substituto {
 protected:
  void SetUp() override { unsetenv("TARVIC_SIM_FABRICANTE"); }
  void TearDown() override { unsetenv("TARVIC_SIM_FABRICANTE"); }

  int32_t Executa(const std::string& comando,
                  std::initializer_list<std::array<std::string, 3>> parametros) {
    DLLG2_LimpaParams(canal);
    for (const auto& p : parametros)
      DLLG2_AdicionaParam(canal, p[0].c_str(), p[1].c_str(), std::stoi(p[2]));
    return DLLG2_ExecutaComando(canal, comando.c_str());
  }
  std::string Le(const std::string& comando, const std::string& parametro, const std::string& nome,
                 const std::string& valor, int tamanho = 50) {
    if (Executa(comando, {{parametro, nome, "7"}}) <= 0) return "falhou";
    std::string b = Brancos(tamanho);
    DLLG2_Retorno(canal, 0, valor.c_str(), 0, b.data(), tamanho);
    return Lido(b);
  }
  std::string Inteiro(const std::string& nome) {
    return Le("LeInteiro", "NomeInteiro", nome, "ValorInteiro");
  }

  int32_t canal = 0;
};

TEST_F(SubstitutoDllG2, ProtocoloDeParametrosEValoresPorNome) {
  ImpressoraFiscal& ecf = Nova("DATAREGIS");
  canal = DLLG2_IniciaDriver("COM1");
  ASSERT_GE(canal, 0);
  EXPECT_EQ(Inteiro("COO"), "0");
  EXPECT_EQ(Inteiro("EstadoFiscal"), "1");

  ASSERT_EQ(Executa("AbreCupomFiscal", {{"EnderecoConsumidor", "", "7"},
                                        {"IdConsumidor", "", "7"},
                                        {"NomeConsumidor", "", "7"}}),
            1);
  EXPECT_EQ(Inteiro("EstadoFiscal"), "2");
  ASSERT_EQ(Executa("VendeItem", {{"AliquotaICMS", "t", "0"},
                                  {"PercentualAliquota", "18,00", "6"},
                                  {"CodProduto", "1", "7"},
                                  {"NomeProduto", "ARROZ", "7"},
                                  {"PrecoUnitario", "12,50", "6"},
                                  {"Quantidade", "2", "6"},
                                  {"Unidade", "KG", "7"}}),
            1);
  ASSERT_EQ(Executa("VendeItem", {{"CodAliquota", "-3", "4"},
                                  {"CodProduto", "2", "7"},
                                  {"NomeProduto", "PAO", "7"},
                                  {"PrecoUnitario", "5,00", "6"},
                                  {"Quantidade", "1", "6"},
                                  {"Unidade", "UN", "7"}}),
            1);
  ASSERT_EQ(
      Executa("AcresceItemFiscal", {{"Cancelar", "f", "0"}, {"ValorAcrescimo", "-1,00", "6"}}), 1);
  EXPECT_EQ(Inteiro("EstadoFiscal"), "4");
  EXPECT_EQ(Le("LeMoeda", "NomeDadoMonetario", "TotalDocLiquido", "ValorMoeda"), "29,00");
  EXPECT_EQ(ecf.cupomAtual().itens[0].aliquota, "01T1800");
  EXPECT_EQ(ecf.cupomAtual().itens[1].aliquota, "I");
  EXPECT_EQ(ecf.cupomAtual().itens[1].desconto, 100);

  // Paying without a subtotal adjustment totals the coupon.
  ASSERT_EQ(Executa("PagaCupom", {{"NomeMeioPagamento", "Dinheiro", "7"}, {"Valor", "10,00", "6"}}),
            1);
  EXPECT_EQ(Inteiro("EstadoFiscal"), "16");
  ASSERT_EQ(Executa("PagaCupom", {{"NomeMeioPagamento", "Cheque", "7"}, {"Valor", "20,00", "6"}}),
            1);
  EXPECT_EQ(Inteiro("EstadoFiscal"), "128");
  ASSERT_EQ(Executa("EncerraDocumento", {{"TextoPromocional", "VOLTE SEMPRE", "7"}}), 1);
  EXPECT_EQ(Inteiro("EstadoFiscal"), "1");
  EXPECT_EQ(Inteiro("COO"), "1");
  EXPECT_EQ(Inteiro("CCF"), "1");
  EXPECT_EQ(Le("LeMoeda", "NomeDadoMonetario", "GT", "ValorMoeda"), "30,00");
  EXPECT_EQ(Le("LeData", "NomeData", "DATA", "ValorData"), "15/03/2024");
  EXPECT_EQ(Le("LeHora", "NomeHora", "HoraUltimoDoc", "ValorHora"), "10:00:00");
  EXPECT_EQ(Le("LeIndicador", "NomeIndicador", "SemPapel", "ValorTextoIndicador", 16), "0");
  EXPECT_EQ(Le("LeTexto", "NomeTexto", "NumeroSerieECF", "ValorTexto"),
            ecf.identificacao().numeroSerie);
  // No Z reduction yet: the date comes as zeros.
  EXPECT_EQ(Le("LeData", "NomeData", "DataReducao[0]", "ValorData"), "00/00/0000");

  // URANO reads the text with the command's name in place of the value.
  ASSERT_EQ(Executa("LeTexto", {{"NomeTexto", "Marca", "7"}}), 1);
  std::string b = Brancos(50);
  EXPECT_EQ(DLLG2_Retorno(0 + canal, 1, "LeTexto", 0, b.data(), 50), 1);
  EXPECT_EQ(Lido(b), ecf.identificacao().marca);
}

TEST_F(SubstitutoDllG2, RecusaDesligadaEErros) {
  ImpressoraFiscal& ecf = Nova("DATAREGIS");
  canal = DLLG2_IniciaDriver("COM1");
  EXPECT_EQ(Executa("VendeItem", {{"CodAliquota", "-2", "4"},
                                  {"NomeProduto", "X", "7"},
                                  {"PrecoUnitario", "1,00", "6"},
                                  {"Quantidade", "1", "6"}}),
            -1);
  EXPECT_EQ(DLLG2_ObtemCodErro(canal), 10);  // coupon not open
  EXPECT_EQ(Inteiro("NaoExiste"), "falhou");
  EXPECT_EQ(DLLG2_ObtemCodErro(canal), 60);
  // A value asked for that the command did not give: an empty buffer.
  ASSERT_EQ(Executa("LeInteiro", {{"NomeInteiro", "COO", "7"}}), 1);
  std::string b = Brancos(10);
  EXPECT_EQ(DLLG2_Retorno(canal, 0, "ValorData", 0, b.data(), 10), 0);
  EXPECT_EQ(Lido(b), "");

  ecf.desliga();
  EXPECT_EQ(Executa("LeInteiro", {{"NomeInteiro", "COO", "7"}}), 0);
  EXPECT_EQ(Executa("AbreGaveta", {}), 0);
  ecf.liga();
  ecf.injetaCodigo("AbreCupomFiscal", 0);
  EXPECT_EQ(Executa("AbreCupomFiscal", {}), 0);
  EXPECT_EQ(ecf.documentoAberto(), TipoDocumento::Nenhum);
  EXPECT_EQ(DLLG2_ExecutaComando(-1, "LeInteiro"), -1);
  EXPECT_EQ(DLLG2_ExecutaComando(canal, nullptr), -1);
}

TEST_F(SubstitutoDllG2, FabricanteDoModeloVemDoAmbiente) {
  ImpressoraFiscal& dataregis = Nova("DATAREGIS");
  ImpressoraFiscal& urano = impressoraDoProcesso("URANO");
  urano.fixaAgora(DataHora{2024, 3, 15, 10, 0, 0});
  setenv("TARVIC_SIM_FABRICANTE", "urano", 1);
  canal = 0;
  ASSERT_EQ(Executa("AbreCupomFiscal", {}), 1);
  EXPECT_EQ(urano.documentoAberto(), TipoDocumento::CupomFiscal);
  EXPECT_EQ(dataregis.documentoAberto(), TipoDocumento::Nenhum);
  EXPECT_EQ(Le("LeTexto", "NomeTexto", "Marca", "ValorTexto"), "URANO");
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
