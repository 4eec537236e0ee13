// Whole sessions through the library's exports (tarvic.h), linked with the
// stand-in drivers, for each of the six manufacturers; the simulated printer
// is checked afterwards: no sale lost or counted twice.
#include "apoio_substitutos.h"

#include "tarvic.h"

#include <cmath>
#include <functional>
#include <vector>

namespace tarvic {
namespace simulador {
namespace {

struct Mensagem {
  std::string texto;
  uint32_t tipo;
};

std::vector<Mensagem> mensagens;
// The answer to questions (Yes 6, No 7); with none set, No.
std::function<int()> responde;

int TARVIC_API Tratador(const char* texto, const char*, uint32_t tipo) {
  mensagens.push_back(Mensagem{texto ? texto : "", tipo});
  if ((tipo & 0x0F) == 0x04) return responde ? responde() : 7;
  return 1;
}

struct Item {
  const char* codigo;
  const char* descricao;
  const char* unidade;
  const char* aliquota;
  const char* quantidade;
  const char* preco;
  const char* tipoAcrescimo;
  const char* acrescimo;
};

class PontaAPonta : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (Dllg2())
      setenv("TARVIC_SIM_FABRICANTE", GetParam().c_str(), 1);
    else
      unsetenv("TARVIC_SIM_FABRICANTE");
    ecf = &ImpressoraNova(pasta.caminho, GetParam());
    mensagens.clear();
    responde = nullptr;
    ecf_SetTratadorMensagem(Tratador);
    ecf_SetUF("");
    ecf_SetPafMd5("");
  }
  void TearDown() override {
    ecf_SetTratadorMensagem(nullptr);
    unsetenv("TARVIC_SIM_FABRICANTE");
  }

  bool Dllg2() const { return GetParam() == "DATAREGIS" || GetParam() == "URANO"; }
  // The drivers whose verdict reads the status bytes.
  bool LeStatus() const {
    return GetParam() == "BEMATECH" || GetParam() == "DARUMA" || GetParam() == "ELGIN";
  }
  // The 18% rate: an index for the FI drivers, a percentage for DLLG2.
  const char* Dezoito() const { return Dllg2() ? "18,00" : "01"; }

  void Inicializa() {
    ASSERT_TRUE(ecf_Inicializa(GetParam().c_str(), "COM1", pasta.caminho.c_str()));
    mensagens.clear();  // the missing BEMAFI32.INI of whoever runs the tests
  }
  bool Vende(const Item& i, int numero) {
    return ecf_VendeItem(i.codigo, i.descricao, i.unidade, 0, i.aliquota, 0, i.quantidade, i.preco,
                         i.tipoAcrescimo, i.acrescimo, 0, 0, numero);
  }
  std::string Textos() const {
    std::string t;
    for (const Mensagem& m : mensagens) t += m.texto + "\n";
    return t;
  }
  std::string RetornoIni() const { return LeArquivo(pasta.caminho + "/retornoEcf/meuRetorno.ini"); }
  int64_t GtDaBiblioteca() const { return static_cast<int64_t>(ecf_GtAtu()); }

  PastaDeTeste pasta;
  ImpressoraFiscal* ecf = nullptr;
};

TEST_P(PontaAPonta, CupomCompletoComAjustesCancelamentoETroco) {
  Inicializa();
  ecf_SetUF("MG");
  set_ieCnpj("", "11.222.333/0001-81");
  const Contadores antes = ecf->contadores();
  const int64_t gtAntes = ecf->grandeTotal();
  EXPECT_EQ(ecf_NumeroCupom(), antes.coo);
  EXPECT_EQ(GtDaBiblioteca(), gtAntes * 100);

  ASSERT_TRUE(ecf_AbreCupom());
  const Item itens[] = {
      {"7891000100103", "ARROZ AGULHINHA TIPO 1 PACOTE 5 KG", "UN", "I", "2", "12,50", "$",
       "0"},                                                                              // 25,00
      {"7891000200200", "FEIJAO CARIOCA", "KG", Dezoito(), "1,5", "8,00", "$", "-1,00"},  // 11,00
      {"7891000300300", "REFRIGERANTE 2L", "UN", "F", "1", "7,99", "%", "-10"},           // 7,20
      {"7891000400400", "CHOCOLATE", "UN", Dezoito(), "1", "5,00", "$", "0,50"},          // 5,50
      {"7891000500500", "BISCOITO", "UN", "N", "3", "2,00", "$", ""},  // cancelled
  };
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(Vende(itens[i], i + 1)) << "item " << i + 1 << "\n" << Textos();
  ASSERT_TRUE(ecf_CancelaItemGenerico("5"));
  // 10% of 7,99: SWEDA is set to round at start-up, the others truncate.
  const int64_t desconto3 = GetParam() == "SWEDA" ? 80 : 79;
  EXPECT_EQ(ecf->arredonda(), GetParam() == "SWEDA");
  const int64_t subtotal = 2500 + 1100 + 799 - desconto3 + 550, total = subtotal - 170;
  EXPECT_EQ(static_cast<int64_t>(ecf_SubtotalCupom()), subtotal * 100);

  ASSERT_TRUE(ecf_IniciaFechamentoCupom("D", "1,70"));
  ASSERT_TRUE(ecf_EfetuaFormaPagto(" Cartao ", 200000));
  ASSERT_TRUE(ecf_EfetuaFormaPagto("Dinheiro", 300000));
  ASSERT_TRUE(ecf_TerminaFechamentoCupom("Obrigado pela preferencia"));
  EXPECT_EQ(Textos(), "");

  const Cupom& c = ecf->ultimoCupom();
  ASSERT_EQ(c.itens.size(), 5u);
  EXPECT_EQ(c.itens[0].descricao, Dllg2() || GetParam() != "BEMATECH"
                                      ? "ARROZ AGULHINHA TIPO 1 PACOTE"
                                      : "ARROZ AGULHINHA TIPO 1 PACOTE 5 KG");
  // ELGIN does not get the unit.
  EXPECT_EQ(c.itens[1].unidade, GetParam() == "ELGIN" ? "UN" : "KG");
  EXPECT_EQ(c.itens[1].desconto, 100);
  EXPECT_EQ(c.itens[2].desconto, desconto3);
  EXPECT_EQ(c.itens[3].acrescimo, 50);
  EXPECT_TRUE(c.itens[4].cancelado);
  EXPECT_EQ(c.descontoSubtotal, 170);
  EXPECT_EQ(c.total(), total);
  EXPECT_EQ(c.pago(), 5000);
  EXPECT_EQ(c.troco(), 5000 - total);
  EXPECT_EQ(ecf->documentoAberto(), TipoDocumento::Nenhum);

  // One document, one fiscal coupon; the GT adds the gross sales once.
  EXPECT_EQ(ecf->contadores().coo, antes.coo + 1);
  EXPECT_EQ(ecf->contadores().ccf, antes.ccf + 1);
  EXPECT_EQ(ecf->grandeTotal() - gtAntes, 2500 + 1200 + 799 + 500 + 50 + 600);
  EXPECT_EQ(ecf_NumeroCupom(), ecf->contadores().coo);
  EXPECT_EQ(ecf_NumeroCCF(), ecf->contadores().ccf);
  EXPECT_EQ(GtDaBiblioteca(), ecf->grandeTotal() * 100);

  std::string bobina;
  const DocumentoImpresso ultimo = ecf->jornal().back();
  for (const std::string& l : ultimo.linhas) bobina += l + "\n";
  EXPECT_NE(bobina.find("Obrigado pela preferencia"), std::string::npos) << bobina;
  EXPECT_NE(bobina.find("MINAS LEGAL: 11222333000181 "), std::string::npos) << bobina;
  EXPECT_NE(bobina.find(" " + std::to_string(total) + "\n"), std::string::npos) << bobina;
}

TEST_P(PontaAPonta, ConsultasDeIdentificacaoRelogioEGaveta) {
  Inicializa();
  EXPECT_TRUE(ecf_Modelo());
  EXPECT_TRUE(ecf_TipoMFD());
  EXPECT_TRUE(ecf_NumeroSerial());
  EXPECT_TRUE(ecf_NumeroCaixa());
  const std::string ini = RetornoIni();
  EXPECT_NE(ini.find("NUMEROSERIE=" + ecf->identificacao().numeroSerie), std::string::npos) << ini;
  EXPECT_NE(ini.find("MARCA=" + ecf->identificacao().marca), std::string::npos) << ini;
  EXPECT_NE(ini.find("NUMEROCAIXA=1"), std::string::npos) << ini;
  // 15/03/2024 10:00:00 on the printer's clock.
  EXPECT_NEAR(ecf_DataHora(), 45366 + 10.0 / 24, 1e-6);
  EXPECT_EQ(ecf_AbrirGaveta(), 1);
  EXPECT_EQ(ecf->aberturasGaveta(), 1);
  EXPECT_EQ(Textos(), "");
}

TEST_P(PontaAPonta, DesligadaNoMeioDaVendaERecuperada) {
  Inicializa();
  const Contadores antes = ecf->contadores();
  const int64_t gtAntes = ecf->grandeTotal();
  const Item arroz{"1", "ARROZ", "UN", "I", "2", "12,50", "$", "0"};
  const Item feijao{"2", "FEIJAO", "UN", "F", "1", "8,00", "$", "0"};
  ASSERT_TRUE(ecf_AbreCupom());
  ASSERT_TRUE(Vende(arroz, 1));

  ecf->desliga();
  EXPECT_FALSE(Vende(feijao, 2));
  EXPECT_NE(Textos(), "");
  EXPECT_EQ(ecf->cupomAtual().itens.size(), 1u);
  mensagens.clear();

  // The operator switches the printer on and asks to try again.
  int perguntas = 0;
  responde = [&] {
    ++perguntas;
    ecf->liga();
    return 6;
  };
  EXPECT_TRUE(ecf_TratarDesligamento());
  if (Dllg2()) {
    // The presence test does not ask DLLG2: nothing to ask.
    EXPECT_EQ(perguntas, 0);
    ecf->liga();
  } else {
    EXPECT_EQ(perguntas, 1);
  }

  ASSERT_TRUE(Vende(feijao, 2)) << Textos();
  ASSERT_TRUE(ecf_IniciaFechamentoCupom("A", "0"));
  ASSERT_TRUE(ecf_EfetuaFormaPagto("Dinheiro", 330000));
  ASSERT_TRUE(ecf_TerminaFechamentoCupom(""));
  EXPECT_EQ(ecf->ultimoCupom().itens.size(), 2u);
  EXPECT_EQ(ecf->ultimoCupom().total(), 3300);
  EXPECT_EQ(ecf->contadores().coo, antes.coo + 1);
  EXPECT_EQ(ecf->contadores().ccf, antes.ccf + 1);
  EXPECT_EQ(ecf->grandeTotal() - gtAntes, 3300);
}

TEST_P(PontaAPonta, SemPapelRecusaOItemEContinuaDepoisDaBobinaNova) {
  Inicializa();
  const int64_t gtAntes = ecf->grandeTotal();
  const Item arroz{"1", "ARROZ", "UN", "I", "2", "12,50", "$", "0"};
  const Item feijao{"2", "FEIJAO", "UN", "F", "1", "8,00", "$", "0"};
  ASSERT_TRUE(ecf_AbreCupom());
  ASSERT_TRUE(Vende(arroz, 1));

  ecf->defineSensorPapel(SensorPapel::Sem);
  EXPECT_FALSE(Vende(feijao, 2));
  EXPECT_EQ(ecf->cupomAtual().itens.size(), 1u);
  if (LeStatus()) {
    // The verdict reads ST1: no message box, the status goes to the return file.
    EXPECT_TRUE(ecf_StatusSemPapel());
    EXPECT_EQ(Textos(), "");
    EXPECT_NE(RetornoIni().find("Sem papel."), std::string::npos) << RetornoIni();
  } else if (GetParam() == "SWEDA") {
    EXPECT_NE(Textos().find("Impressora sem papel\nColoque uma nova bobina"), std::string::npos)
        << Textos();
  } else {
    EXPECT_NE(Textos().find("Falha de comunicação com ECF."), std::string::npos) << Textos();
  }

  ecf->defineSensorPapel(SensorPapel::Presente);
  ASSERT_TRUE(Vende(feijao, 2));
  EXPECT_FALSE(ecf_StatusSemPapel());
  ASSERT_TRUE(ecf_IniciaFechamentoCupom("A", "0"));
  ASSERT_TRUE(ecf_EfetuaFormaPagto("Dinheiro", 330000));
  ASSERT_TRUE(ecf_TerminaFechamentoCupom(""));
  EXPECT_EQ(ecf->grandeTotal() - gtAntes, 3300);
}

TEST_P(PontaAPonta, CupomDeixadoAbertoECanceladoNaAberturaSeguinte) {
  Inicializa();
  const Contadores antes = ecf->contadores();
  const int64_t gtAntes = ecf->grandeTotal();
  const Item arroz{"1", "ARROZ", "UN", "I", "2", "12,50", "$", "0"};
  const Item feijao{"2", "FEIJAO", "UN", "F", "1", "8,00", "$", "0"};
  ASSERT_TRUE(ecf_AbreCupom());
  ASSERT_TRUE(Vende(arroz, 1));

  if (GetParam() == "ELGIN") {
    // ecf_DestravaImpressora does nothing for ELGIN: the opening is refused
    // and the old coupon stays as it was until the host cancels it.
    EXPECT_FALSE(ecf_AbreCupom());
    EXPECT_NE(Textos().find("Erro de execução da função."), std::string::npos) << Textos();
    EXPECT_EQ(ecf->cupomAtual().itens.size(), 1u);
    ASSERT_TRUE(ecf_CancelaCupom());
    mensagens.clear();
  }
  ASSERT_TRUE(ecf_AbreCupom()) << Textos();
  EXPECT_EQ(Textos(), "");
  EXPECT_TRUE(ecf->ultimoCupom().cancelado);
  EXPECT_EQ(ecf->ultimoCupom().itens.size(), 1u);
  EXPECT_EQ(ecf->cupomAtual().itens.size(), 0u);
  EXPECT_EQ(ecf->totaisDia().cancelamentosIcms, 2500);

  ASSERT_TRUE(Vende(feijao, 1));
  ASSERT_TRUE(ecf_IniciaFechamentoCupom("A", "0"));
  ASSERT_TRUE(ecf_EfetuaFormaPagto("Dinheiro", 80000));
  ASSERT_TRUE(ecf_TerminaFechamentoCupom(""));
  EXPECT_EQ(ecf->contadores().coo, antes.coo + 2);
  EXPECT_EQ(ecf->contadores().ccf, antes.ccf + 2);
  EXPECT_EQ(ecf->contadores().cfc, antes.cfc + 1);
  // The GT keeps the gross sale of both coupons, once each.
  EXPECT_EQ(ecf->grandeTotal() - gtAntes, 2500 + 800);
  EXPECT_EQ(ecf->vendaLiquidaDia(), 800);
}

TEST_P(PontaAPonta, ContadoresContinuamNaExecucaoSeguinte) {
  Inicializa();
  ASSERT_TRUE(ecf_AbreCupom());
  ASSERT_TRUE(Vende(Item{"1", "ARROZ", "UN", "I", "1", "10,00", "$", "0"}, 1));
  ASSERT_TRUE(ecf_IniciaFechamentoCupom("A", "0"));
  ASSERT_TRUE(ecf_EfetuaFormaPagto("Dinheiro", 100000));
  ASSERT_TRUE(ecf_TerminaFechamentoCupom(""));
  const int coo = ecf->contadores().coo;
  const int64_t gt = ecf->grandeTotal();

  // Another run: the memory comes from the state file.
  descartaImpressorasDoProcesso();
  testing::internal::CaptureStderr();
  ecf = &impressoraDoProcesso(GetParam());
  testing::internal::GetCapturedStderr();
  ecf->fixaAgora(DataHora{2024, 3, 15, 11, 0, 0});
  Inicializa();
  EXPECT_EQ(ecf_NumeroCupom(), coo);
  EXPECT_EQ(GtDaBiblioteca(), gt * 100);
}

INSTANTIATE_TEST_SUITE_P(Fabricantes, PontaAPonta,
                         ::testing::Values("BEMATECH", "SWEDA", "DARUMA", "ELGIN", "DATAREGIS",
                                           "URANO"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace simulador
}  // namespace tarvic
