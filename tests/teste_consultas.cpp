// Printer queries: counters, grand total, identification and dates.
#include <cmath>

#include "comum.h"
#include "plataforma.h"

using Chamadas = std::vector<std::string>;

namespace {

const int32_t FAMILIA_FI[] = {BEMATECH, SWEDA, DARUMA, ELGIN};

bool PertoDeAgora(double valor) {
  return std::fabs(valor - Agora()) < 5.0 / 86400;
}

DataHora Momento(int ano, int mes, int dia, int hora, int minuto, int segundo) {
  return CodificaData(ano, mes, dia) + CodificaHora(hora, minuto, segundo);
}

// The DLLG2 read of one value on channel `canal`, as the driver sees it.
Chamadas LeituraDllG2(int32_t canal, const std::string &comando, const std::string &parametro,
                      const std::string &nome, const std::string &valor, int tamanho) {
  const std::string c = std::to_string(canal), n = std::to_string(tamanho);
  return {"DLLG2_LimpaParams(" + c + ")",
          "DLLG2_AdicionaParam(" + c + ", \"" + parametro + "\", \"" + nome + "\", 7)",
          "DLLG2_ExecutaComando(" + c + ", \"" + comando + "\")",
          "DLLG2_Retorno(" + c + ", 0, \"" + valor + "\", 0, [" + n + "], " + n + ")"};
}

Chamadas LeInteiro(int32_t canal, const std::string &nome) {
  return LeituraDllG2(canal, "LeInteiro", "NomeInteiro", nome, "ValorInteiro", 50);
}

Chamadas LeTexto(int32_t canal, const std::string &nome) {
  return LeituraDllG2(canal, "LeTexto", "NomeTexto", nome, "ValorTexto", 50);
}

Chamadas operator+(Chamadas a, const Chamadas &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

class Consulta : public TesteEcf {
 protected:
  std::string Retorno(const std::string &chave) {
    return plataforma::LeIni(EstadoEcf.ArquivoRetorno, "ECF", chave, "<nada>");
  }
  // A DLLG2 printer on channel 4 (URANO always talks on 0).
  void Dllg2(int32_t fabricante) {
    Fabricante(fabricante);
    CanalDllG2 = 4;
    duble::Reinicia();
    mensagens.clear();
  }
  int32_t Canal() const { return EstadoEcf.Fabricante == URANO ? 0 : 4; }
  void RespondeDllG2(const std::string &valor) {
    duble::Responde("DLLG2_Retorno", {1, {valor}, {}});
  }
};

// ---- Cash register, COO, serial --------------------------------------------

TEST_F(Consulta, NumeroCaixaLidoUmaVezEGuardado) {
  const std::pair<int32_t, const char *> funcoes[] = {{BEMATECH, "Bematech_FI_NumeroCaixa"},
                                                      {SWEDA, "ECF_NumeroCaixa"},
                                                      {DARUMA, "Daruma_FI_NumeroCaixa"},
                                                      {ELGIN, "Elgin_NumeroCaixa"}};
  for (const auto &[fabricante, funcao] : funcoes) {
    Fabricante(fabricante);
    EstadoEcf.NumeroCaixa = 0;
    duble::Reinicia();
    duble::Responde(funcao, {1, {" 012"}, {}});
    EXPECT_TRUE(ecf_NumeroCaixa()) << funcao;
    EXPECT_EQ(duble::Chamadas(), Chamadas{std::string(funcao) + "([4])"});
    EXPECT_EQ(EstadoEcf.NumeroCaixa, 12);
    EXPECT_EQ(EstadoEcf.NumeroCaixaCupom, 12);
    EXPECT_EQ(Retorno("NUMEROCAIXA"), "12");
    // Cached: the printer is not asked again.
    EstadoEcf.NumeroCaixaCupom = 0;
    EXPECT_TRUE(ecf_NumeroCaixa());
    EXPECT_EQ(duble::Chamadas().size(), 1u);
    EXPECT_EQ(EstadoEcf.NumeroCaixaCupom, 12);
  }
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Consulta, NumeroCaixaDesconhecido) {
  Fabricante(ELGIN);
  duble::Responde("Elgin_NumeroCaixa", {1, {"   "}, {}});  // answered, but nothing in it
  EXPECT_FALSE(ecf_NumeroCaixa());
  duble::Responde("Elgin_NumeroCaixa", {0, {"7"}, {}});
  EXPECT_FALSE(ecf_NumeroCaixa());
  duble::Responde("Elgin_NumeroCaixa", {1, {"7x"}, {}});
  EXPECT_FALSE(ecf_NumeroCaixa());
  EXPECT_EQ(duble::Chamadas().size(), 3u);
  EXPECT_EQ(EstadoEcf.NumeroCaixa, 0);
  EXPECT_EQ(EstadoEcf.NumeroCaixaCupom, 0);
  EXPECT_EQ(Retorno("NUMEROCAIXA"), "<nada>");

  Fabricante(FAB_DESCONHECIDO);
  duble::Reinicia();
  ecf_Retorno = 1;
  EXPECT_FALSE(ecf_NumeroCaixa());
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Consulta, NumeroCaixaDllg2) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    EstadoEcf.NumeroCaixa = 0;
    RespondeDllG2("3");
    EXPECT_TRUE(ecf_NumeroCaixa());
    EXPECT_EQ(duble::Chamadas(), LeInteiro(Canal(), "ECF"));
    EXPECT_EQ(EstadoEcf.NumeroCaixaCupom, 3);

    // A channel without answer is no cash register, whatever code came before.
    EstadoEcf.NumeroCaixa = 0;
    ecf_Retorno = 1;
    duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
    EXPECT_FALSE(ecf_NumeroCaixa());
    EXPECT_EQ(Textos(), Chamadas{"Problemas de Comunicação com ECF."});
  }
}

TEST_F(Consulta, NumeroCupomPorFabricante) {
  const std::pair<int32_t, const char *> funcoes[] = {{BEMATECH, "Bematech_FI_NumeroCupom"},
                                                      {SWEDA, "ECF_RetornaCOO"},
                                                      {DARUMA, "Daruma_FI_NumeroCupom"},
                                                      {ELGIN, "Elgin_NumeroCupom"}};
  for (const auto &[fabricante, funcao] : funcoes) {
    Fabricante(fabricante);
    duble::Reinicia();
    duble::Responde(funcao, {1, {"001234"}, {}});
    EXPECT_EQ(ecf_NumeroCupom(), 1234) << funcao;
    EXPECT_EQ(duble::Chamadas(), Chamadas{std::string(funcao) + "([6])"});
    duble::Responde(funcao, {1, {""}, {}});
    EXPECT_EQ(ecf_NumeroCupom(), 0) << "an empty answer is 0";
  }
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    RespondeDllG2("77");
    EXPECT_EQ(ecf_NumeroCupom(), 77);
    EXPECT_EQ(duble::Chamadas(), LeInteiro(Canal(), "COO"));
  }
  EXPECT_TRUE(pausas.empty());
}

TEST_F(Consulta, NumeroCupomFalhaDoDriverRelataOStatus) {
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_NumeroCupom", {-6, {"000010"}, {}});
  EXPECT_EQ(ecf_NumeroCupom(), 0);
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"Bematech_FI_NumeroCupom([6])", "Bematech_FI_RetornoImpressora(&, &, &)"}));
  EXPECT_TRUE(pausas.empty());
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Consulta, NumeroCupomRespostaIlegivelTentaQuatroVezes) {
  Fabricante(DARUMA);
  duble::RespondeSempre("Daruma_FI_NumeroCupom", {1, {"12a"}, {}});
  // Never a negative COO for the host (or for a coupon's closing lines).
  EXPECT_EQ(ecf_NumeroCupom(), 0);
  EXPECT_EQ(duble::Chamadas().size(), 4u);
  EXPECT_EQ(pausas, (std::vector<uint32_t>{1000, 1000, 1000, 1000}));

  duble::Reinicia();
  pausas.clear();
  duble::Responde("Daruma_FI_NumeroCupom", {1, {"x"}, {}});
  duble::Responde("Daruma_FI_NumeroCupom", {1, {"000042"}, {}});
  EXPECT_EQ(ecf_NumeroCupom(), 42);
  EXPECT_EQ(duble::Chamadas().size(), 2u);
  EXPECT_EQ(pausas, std::vector<uint32_t>{1000});

  // Without paper nobody is going to fix it by waiting.
  duble::Reinicia();
  pausas.clear();
  EstadoEcf.SemPapel = true;
  duble::RespondeSempre("Daruma_FI_NumeroCupom", {1, {"?"}, {}});
  EXPECT_EQ(ecf_NumeroCupom(), 0);
  EXPECT_EQ(duble::Chamadas().size(), 1u);
}

TEST_F(Consulta, NumeroSerialPeloModeloEGuardado) {
  struct Caso {
    int32_t fabricante;
    bool mfd;
    const char *modelo;
    const char *chamada;
  } casos[] = {
      {BEMATECH, false, "MP20FI", "Bematech_FI_NumeroSerie([15])"},
      {BEMATECH, false, "MP25FI", "Bematech_FI_NumeroSerieMFD([20])"},
      {BEMATECH, true, "MP-4000 TH FI", "Bematech_FI_NumeroSerieMFD([20])"},
      {SWEDA, true, "", "ECF_NumeroSerieMFD([20])"},
      {DARUMA, true, "", "Daruma_FIMFD_RetornaInformacao(\"78\", [20])"},
      {ELGIN, true, "", "Elgin_NumeroSerie([20])"},
  };
  for (const Caso &c : casos) {
    Fabricante(c.fabricante);
    EstadoEcf.TipoMfd = c.mfd;
    EstadoEcf.Modelo = c.modelo;
    EstadoEcf.NumeroSerie.clear();
    duble::Reinicia();
    const std::string funcao = std::string(c.chamada).substr(0, std::string(c.chamada).find('('));
    duble::RespondeSempre(funcao, {1, {" BE0123456789 "}, {}});
    EXPECT_TRUE(ecf_NumeroSerial()) << c.chamada;
    EXPECT_EQ(duble::Chamadas(), Chamadas{c.chamada});
    EXPECT_EQ(EstadoEcf.NumeroSerie, "BE0123456789");
    EXPECT_EQ(Retorno("NUMEROSERIE"), "BE0123456789");
    std::remove(EstadoEcf.ArquivoRetorno.c_str());
    EXPECT_TRUE(ecf_NumeroSerial());
    EXPECT_EQ(duble::Chamadas().size(), 1u) << "cached";
    EXPECT_EQ(Retorno("NUMEROSERIE"), "BE0123456789") << "written again from the cache";
  }
}

TEST_F(Consulta, NumeroSerialFalhaEsqueceOValor) {
  Fabricante(SWEDA);
  duble::Responde("ECF_NumeroSerieMFD", {-1, {"SW123"}, {}});
  EXPECT_FALSE(ecf_NumeroSerial());
  EXPECT_EQ(EstadoEcf.NumeroSerie, "");
  EXPECT_EQ(Retorno("NUMEROSERIE"), "<nada>");

  Fabricante(FAB_REJEITADO);
  duble::Reinicia();
  ecf_Retorno = 1;
  EXPECT_FALSE(ecf_NumeroSerial());
  EXPECT_EQ(ecf_Retorno, 0);
  EXPECT_TRUE(duble::Chamadas().empty());

  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    RespondeDllG2("DR0001");
    EXPECT_TRUE(ecf_NumeroSerial());
    EXPECT_EQ(duble::Chamadas(), LeTexto(Canal(), "NumeroSerieECF"));
    EXPECT_EQ(EstadoEcf.NumeroSerie, "DR0001");
    EstadoEcf.NumeroSerie.clear();
    ecf_Retorno = 1;
    duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
    EXPECT_FALSE(ecf_NumeroSerial()) << "a channel without answer is no serial";
    EXPECT_EQ(Textos(), Chamadas{"Problemas de Comunicação com ECF ao receber 'NumeroSerieECF'."});
  }
}

// ---- Counters -------------------------------------------------------------------

TEST_F(Consulta, ContadoresPorFabricanteComSeusBuffers) {
  struct Caso {
    int32_t fabricante;
    int32_t (*exporta)();
    const char *chamada;  // null: no driver call
  } casos[] = {
      {BEMATECH, ecf_NumeroCDC, "Bematech_FI_ContadorComprovantesCreditoMFD([4])"},
      {BEMATECH, ecf_NumeroGRG, "Bematech_FI_ContadorRelatoriosGerenciaisMFD([6])"},
      {BEMATECH, ecf_NumeroGNF, "Bematech_FI_NumeroOperacoesNaoFiscais([6])"},
      {BEMATECH, ecf_NumeroCCF, "Bematech_FI_ContadorCupomFiscalMFD([6])"},
      {SWEDA, ecf_NumeroCDC, "ECF_ContadorComprovantesCreditoMFD([4])"},
      {SWEDA, ecf_NumeroGRG, "ECF_ContadorRelatoriosGerenciaisMFD([6])"},
      {SWEDA, ecf_NumeroGNF, "ECF_ContadorRelatoriosGerenciaisMFD([6])"},
      {SWEDA, ecf_NumeroCCF, "ECF_ContadorCupomFiscalMFD([6])"},
      {DARUMA, ecf_NumeroCDC, "Daruma_FIMFD_RetornaInformacao(\"45\", [4])"},
      {DARUMA, ecf_NumeroGRG, "Daruma_FIMFD_RetornaInformacao(\"33\", [6])"},
      {DARUMA, ecf_NumeroGNF, "Daruma_FIMFD_RetornaInformacao(\"28\", [6])"},
      {DARUMA, ecf_NumeroCCF, "Daruma_FIMFD_RetornaInformacao(\"30\", [6])"},
      {ELGIN, ecf_NumeroCDC, "Elgin_ContadorComprovantesCreditoMFD([4])"},
      {ELGIN, ecf_NumeroGRG, "Elgin_ContadorRelatoriosGerenciaisMFD([6])"},
      {ELGIN, ecf_NumeroGNF, nullptr},
      {ELGIN, ecf_NumeroCCF, "Elgin_ContadorCupomFiscalMFD([6])"},
  };
  const std::pair<int32_t, const char *> status[] = {{BEMATECH, "Bematech_FI_RetornoImpressora"},
                                                     {SWEDA, "ECF_ObterMensagemStatus"},
                                                     {DARUMA, "Daruma_FI_RetornoImpressora"},
                                                     {ELGIN, "Elgin_RetornoImpressora"}};
  for (const Caso &c : casos) {
    Fabricante(c.fabricante);
    EstadoEcf.TipoMfd = true;
    duble::Reinicia();
    const std::string funcao =
        c.chamada ? std::string(c.chamada).substr(0, std::string(c.chamada).find('(')) : "";
    if (c.chamada) duble::RespondeSempre(funcao, {1, {"0045"}, {}});
    EXPECT_EQ(c.exporta(), c.chamada ? 45 : 0) << (c.chamada ? c.chamada : "ELGIN GNF");
    if (!c.chamada) {
      EXPECT_TRUE(duble::Chamadas().empty());
      continue;
    }
    ASSERT_FALSE(duble::Chamadas().empty());
    EXPECT_EQ(duble::Chamadas()[0], c.chamada);
    // CCF is judged by the code alone; the others by the full verdict.
    const bool veredito = c.exporta != ecf_NumeroCCF;
    EXPECT_EQ(duble::Chamadas().size(), veredito ? 2u : 1u) << c.chamada;
    if (veredito && duble::Chamadas().size() == 2) {
      EXPECT_EQ(duble::Chamadas()[1].substr(0, duble::Chamadas()[1].find('(')),
                status[c.fabricante - 1].second);
    }
  }
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Consulta, ContadoresDllg2) {
  const std::pair<int32_t (*)(), const char *> casos[] = {{ecf_NumeroCDC, "CDC"},
                                                          {ecf_NumeroGRG, "GRG"},
                                                          {ecf_NumeroGNF, "GNF"},
                                                          {ecf_NumeroCCF, "CCF"}};
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    for (const auto &[exporta, nome] : casos) {
      Dllg2(fabricante);
      EstadoEcf.TipoMfd = true;
      RespondeDllG2("19");
      EXPECT_EQ(exporta(), 19) << nome;
      const Chamadas chamadas = duble::Chamadas();
      ASSERT_GE(chamadas.size(), 4u);
      EXPECT_EQ(Chamadas(chamadas.begin(), chamadas.begin() + 4), LeInteiro(Canal(), nome));
    }
  }
}

TEST_F(Consulta, SemMfdNenhumContadorEPerguntado) {
  Fabricante(BEMATECH);
  EstadoEcf.TipoMfd = false;
  EXPECT_EQ(ecf_NumeroCDC(), 0);
  EXPECT_EQ(ecf_NumeroGRG(), 0);
  EXPECT_EQ(ecf_NumeroCCF(), 0);
  EXPECT_EQ(ecf_NumeroGNF(), 0);
  for (int32_t fabricante : {SWEDA, DARUMA, DATAREGIS, URANO}) {
    Fabricante(fabricante);
    EstadoEcf.TipoMfd = false;
    EXPECT_EQ(ecf_NumeroGNF(), 0);
  }
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Consulta, ContadorIlegivelOuRecusado) {
  Fabricante(DARUMA);
  EstadoEcf.TipoMfd = true;
  const std::pair<int32_t (*)(), const char *> casos[] = {
      {ecf_NumeroCCF, "Falha ao receber número de CCF."},
      {ecf_NumeroCDC, "Falha ao receber número de CDC."},
      {ecf_NumeroGRG, "Falha ao receber número GRG."},
      {ecf_NumeroGNF, nullptr}};
  for (const auto &[exporta, texto] : casos) {
    mensagens.clear();
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"1-2"}, {}});
    EXPECT_EQ(exporta(), 0);
    EXPECT_EQ(Textos(), texto ? Chamadas{texto} : Chamadas{});
    mensagens.clear();
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"   "}, {}});
    EXPECT_EQ(exporta(), 0);
    EXPECT_TRUE(mensagens.empty()) << "an empty counter is 0, not a failure";
  }
  // A refused read: the verdict's message, then 0; CCF stays quiet.
  mensagens.clear();
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {-6, {"0012"}, {}});
  EXPECT_EQ(ecf_NumeroCDC(), 0);
  EXPECT_EQ(Textos(), Chamadas{"Impressora desligada ou cabo de comunicação desconectado.\n"});
  mensagens.clear();
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {0, {"000012"}, {}});
  EXPECT_EQ(ecf_NumeroCCF(), 0);
  EXPECT_TRUE(mensagens.empty());
}

// ---- Grand total ------------------------------------------------------------

TEST_F(Consulta, GrandeTotalEmCentavos) {
  const std::pair<int32_t, const char *> funcoes[] = {{BEMATECH, "Bematech_FI_GrandeTotal"},
                                                      {SWEDA, "ECF_GrandeTotal"},
                                                      {DARUMA, "Daruma_FI_GrandeTotal"},
                                                      {ELGIN, "Elgin_GrandeTotal"}};
  for (const auto &[fabricante, funcao] : funcoes) {
    Fabricante(fabricante);
    duble::Reinicia();
    duble::Responde(funcao, {1, {"000000000000012345"}, {}});
    EXPECT_EQ(ecf_GtAtu(), 1234500.0L) << funcao;  // 123,45
    ASSERT_FALSE(duble::Chamadas().empty());
    EXPECT_EQ(duble::Chamadas()[0], std::string(funcao) + "([18])");
  }
  Fabricante(ELGIN);
  duble::Responde("Elgin_GrandeTotal", {1, {"98765432109876"}, {}});
  EXPECT_EQ(tarvic::ecf_GtAtu(), 9876543210987600);  // 987.654.321.098,76 to the cent
  EXPECT_TRUE(pausas.empty());
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Consulta, GrandeTotalDllg2JaEmReais) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    RespondeDllG2("1.234,56");
    EXPECT_EQ(ecf_GtAtu(), 12345600.0L);
    const Chamadas chamadas = duble::Chamadas();
    ASSERT_GE(chamadas.size(), 4u);
    EXPECT_EQ(Chamadas(chamadas.begin(), chamadas.begin() + 4),
              LeituraDllG2(Canal(), "LeMoeda", "NomeDadoMonetario", "GT", "ValorMoeda", 50));
  }
}

TEST_F(Consulta, GrandeTotalRecusadoDesisteNaQuartaVez) {
  Fabricante(SWEDA);
  duble::RespondeSempre("ECF_GrandeTotal", {0, {"000000000000099999"}, {}});
  duble::RespondeSempre("ECF_ObterMensagemStatus", {1, {"Sem resposta do ECF"}, {}});
  EXPECT_EQ(ecf_GtAtu(), 0.0L);
  EXPECT_EQ(duble::ChamadasDe("ECF_GrandeTotal").size(), 4u);
  EXPECT_EQ(Textos(), Chamadas(4, "Sem resposta do ECF\n"));
  EXPECT_TRUE(pausas.empty());
}

TEST_F(Consulta, GrandeTotalIlegivelEsperaETentaDeNovo) {
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_GrandeTotal", {1, {"12x"}, {}});
  duble::Responde("Bematech_FI_GrandeTotal", {1, {"000000000000000150"}, {}});
  EXPECT_EQ(ecf_GtAtu(), 15000.0L);
  EXPECT_EQ(pausas, std::vector<uint32_t>{750});
  EXPECT_EQ(duble::ChamadasDe("Bematech_FI_VerificaImpressoraLigada").size(), 1u);

  // Never readable: four passes, and an approved code does not make -1,00 a
  // grand total.
  duble::Reinicia();
  pausas.clear();
  duble::RespondeSempre("Bematech_FI_GrandeTotal", {1, {"lixo"}, {}});
  EXPECT_EQ(ecf_GtAtu(), 0.0L);
  EXPECT_EQ(duble::ChamadasDe("Bematech_FI_GrandeTotal").size(), 4u);
  EXPECT_EQ(pausas, (std::vector<uint32_t>{750, 750, 750, 750}));
  EXPECT_TRUE(mensagens.empty());
}

// ---- Model and type --------------------------------------------------------------

TEST_F(Consulta, ModeloBematechDecideOMfdPelaLista) {
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_ModeloImpressora", {1, {" mp20fi "}, {}});
  EXPECT_TRUE(ecf_Modelo());
  EXPECT_FALSE(EstadoEcf.TipoMfd);
  EXPECT_EQ(duble::Chamadas(), Chamadas{"Bematech_FI_ModeloImpressora([10])"});
  EXPECT_EQ(Retorno("MODELO"), "mp20fi");
  EXPECT_EQ(Retorno("MARCA"), "<nada>");
  EXPECT_FALSE(ecf_TipoMFD());
  EXPECT_EQ(duble::Chamadas().size(), 1u) << "cached";

  for (const char *modelo : {"MP-4000 TH", ""}) {
    EstadoEcf.Modelo.clear();
    duble::Reinicia();
    duble::Responde("Bematech_FI_ModeloImpressora", {1, {modelo}, {}});
    duble::Responde("Bematech_FI_MarcaModeloTipoImpressoraMFD",
                    {1, {"BEMATECH", "MP-4000 TH FI", "ECF-IF"}, {}});
    EXPECT_TRUE(ecf_TipoMFD()) << modelo;
    EXPECT_EQ(duble::Chamadas(),
              (Chamadas{"Bematech_FI_ModeloImpressora([10])",
                        "Bematech_FI_MarcaModeloTipoImpressoraMFD([15], [20], [7])"}));
    EXPECT_EQ(EstadoEcf.Modelo, "MP-4000 TH FI");
    EXPECT_EQ(EstadoEcf.Marca, "BEMATECH");
    EXPECT_EQ(EstadoEcf.TipoEcf, "ECF-IF");
  }
  EXPECT_EQ(Retorno("MODELO"), "MP-4000 TH FI");
  EXPECT_EQ(Retorno("MARCA"), "BEMATECH");
  EXPECT_EQ(Retorno("TIPO"), "ECF-IF");
}

TEST_F(Consulta, ModeloDasOutras) {
  for (int32_t fabricante : {SWEDA, ELGIN}) {
    Fabricante(fabricante);
    EstadoEcf.Modelo.clear();
    EstadoEcf.TipoMfd = false;
    duble::Reinicia();
    const std::string funcao = fabricante == SWEDA ? "ECF_MarcaModeloTipoImpressoraMFD"
                                                   : "Elgin_MarcaModeloTipoImpressoraMFD";
    duble::Responde(funcao, {1, {"MARCA", "MODELO", "TIPO"}, {}});
    EXPECT_TRUE(ecf_Modelo());
    EXPECT_TRUE(EstadoEcf.TipoMfd);
    EXPECT_EQ(duble::Chamadas(), Chamadas{funcao + "([15], [20], [7])"});
  }

  Fabricante(DARUMA);
  for (const auto &[modelo, mfd] :
       {std::pair{"FS345", false}, {"fs2000", false}, {"FS700 L", true}}) {
    EstadoEcf.Modelo.clear();
    duble::Reinicia();
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"DARUMA"}, {}});
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"ECF-IF"}, {}});
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {modelo}, {}});
    EXPECT_TRUE(ecf_Modelo());
    EXPECT_EQ(EstadoEcf.TipoMfd, mfd) << modelo;
    EXPECT_EQ(duble::Chamadas(), (Chamadas{"Daruma_FIMFD_RetornaInformacao(\"80\", [20])",
                                           "Daruma_FIMFD_RetornaInformacao(\"79\", [7])",
                                           "Daruma_FIMFD_RetornaInformacao(\"81\", [20])"}));
    EXPECT_EQ(Retorno("MARCA"), "DARUMA");
    EXPECT_EQ(Retorno("TIPO"), "ECF-IF");
  }

  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    EstadoEcf.Modelo.clear();
    RespondeDllG2("DATAREGIS");
    RespondeDllG2("ECF-IF");
    RespondeDllG2("PRINT ID");
    EXPECT_TRUE(ecf_Modelo());
    EXPECT_EQ(duble::Chamadas(),
              LeTexto(Canal(), "Marca") + LeTexto(Canal(), "TipoECF") + LeTexto(Canal(), "Modelo"));
    EXPECT_EQ(EstadoEcf.Modelo, "PRINT ID");
    EXPECT_TRUE(EstadoEcf.TipoMfd);
  }
}

TEST_F(Consulta, ModeloQueFalhaEPerguntadoDeNovo) {
  Fabricante(ELGIN);
  duble::Responde("Elgin_MarcaModeloTipoImpressoraMFD", {-6, {"ELGIN", "FIT", "ECF"}, {}});
  EXPECT_FALSE(ecf_Modelo());
  EXPECT_EQ(EstadoEcf.Modelo, "");
  EXPECT_EQ(Retorno("MODELO"), "<nada>");
  EXPECT_TRUE(ecf_Modelo());
  EXPECT_EQ(duble::Chamadas().size(), 2u);

  Fabricante(FAB_DESCONHECIDO);
  EstadoEcf.Modelo.clear();
  duble::Reinicia();
  EXPECT_FALSE(ecf_Modelo());
  EXPECT_EQ(ecf_Retorno, 0);
  EXPECT_TRUE(duble::Chamadas().empty());

  // DLLG2: the last of the three reads decides. A brand the printer would
  // not tell leaves the model known (and no MARCA key)...
  Dllg2(DATAREGIS);
  std::remove(EstadoEcf.ArquivoRetorno.c_str());
  EstadoEcf.Modelo.clear();
  ecf_Retorno = 1;
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  RespondeDllG2("ECF-IF");
  RespondeDllG2("PRINT ID");
  EXPECT_TRUE(ecf_Modelo());
  EXPECT_EQ(EstadoEcf.Modelo, "PRINT ID");
  EXPECT_EQ(EstadoEcf.Marca, "");
  EXPECT_EQ(Retorno("MODELO"), "PRINT ID");
  EXPECT_EQ(Retorno("TIPO"), "ECF-IF");
  EXPECT_EQ(Retorno("MARCA"), "<nada>");
  EXPECT_EQ(Textos(), Chamadas{"Problemas de Comunicação com ECF ao receber 'Marca'."});

  // ...while a model it would not tell, after a brand and type it did, is
  // no model: an earlier read's success does not carry over.
  Dllg2(URANO);
  EstadoEcf.Modelo.clear();
  RespondeDllG2("URANO");
  RespondeDllG2("ECF-IF");
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  EXPECT_FALSE(ecf_Modelo());
  EXPECT_EQ(EstadoEcf.Modelo, "");
  EXPECT_EQ(Textos(), Chamadas{"Problemas de Comunicação com ECF ao receber 'Modelo'."});
}

// ---- IE, user number, fiscal model code -------------------------------------------

TEST_F(Consulta, InscricaoEstadualSoBematech) {
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_CGC_IE", {1, {"12.345.678/0001-90", "110.042.490"}, {}});
  EXPECT_EQ(ecf_IE(), 110042490);
  EXPECT_EQ(duble::Chamadas(), Chamadas{"Bematech_FI_CGC_IE([18], [15])"});
  // Twelve digits do not fit the result.
  duble::Responde("Bematech_FI_CGC_IE", {1, {"", "110.042.490.114"}, {}});
  EXPECT_EQ(ecf_IE(), 0);
  duble::Responde("Bematech_FI_CGC_IE", {0, {}, {}});
  EXPECT_EQ(ecf_IE(), 0);
  for (int32_t fabricante : {SWEDA, DARUMA, ELGIN, DATAREGIS, URANO}) {
    Fabricante(fabricante);
    EXPECT_EQ(ecf_IE(), 0);
  }
  EXPECT_EQ(duble::Chamadas().size(), 3u);
}

TEST_F(Consulta, NumeroUsuarioECodigoModeloFiscalSoDaruma) {
  Fabricante(DARUMA);
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"03"}, {}});
  duble::Responde("Daruma_FIMFD_CodigoModeloFiscal", {1, {"020201"}, {}});
  EXPECT_TRUE(ecf_NumeroUsuario());
  EXPECT_TRUE(ecf_CodigoModeloFiscal());
  EXPECT_EQ(duble::Chamadas(), (Chamadas{"Daruma_FIMFD_RetornaInformacao(\"94\", [2])",
                                         "Daruma_FIMFD_CodigoModeloFiscal([6])"}));
  EXPECT_EQ(EstadoEcf.NumeroUsuario, "03");
  EXPECT_EQ(Retorno("NUMEROUSUARIO"), "03");
  EXPECT_EQ(Retorno("CODMODELOFISCAL"), "020201");

  duble::Responde("Daruma_FIMFD_RetornaInformacao", {0, {"04"}, {}});
  duble::Responde("Daruma_FIMFD_CodigoModeloFiscal", {0, {"999999"}, {}});
  EXPECT_FALSE(ecf_NumeroUsuario());
  EXPECT_FALSE(ecf_CodigoModeloFiscal());
  EXPECT_EQ(EstadoEcf.NumeroUsuario, "");
  EXPECT_EQ(Retorno("CODMODELOFISCAL"), "020201");

  // The others have nothing to tell, whatever the last code was.
  for (int32_t fabricante : {BEMATECH, SWEDA, ELGIN, DATAREGIS, URANO}) {
    Fabricante(fabricante);
    duble::Reinicia();
    ecf_Retorno = 1;
    EstadoEcf.NumeroUsuario = "05";
    EXPECT_FALSE(ecf_NumeroUsuario());
    EXPECT_FALSE(ecf_CodigoModeloFiscal());
    EXPECT_EQ(EstadoEcf.NumeroUsuario, "");
    EXPECT_TRUE(duble::Chamadas().empty());
  }
}

// ---- Dates ---------------------------------------------------------------------------

TEST_F(Consulta, DataUltimaReducao) {
  const DataHora esperada = CodificaData(2013, 3, 15);
  struct Caso {
    int32_t fabricante;
    const char *chamada;
    const char *resposta;
  } casos[] = {
      {BEMATECH, "Bematech_FI_DataHoraReducao([6], [6])", "150313"},
      {SWEDA, "ECF_DataMovimentoUltimaReducaoMFD([6])", "150313"},
      {DARUMA, "Daruma_FIMFD_RetornaInformacao(\"140\", [1164])", "15032013000123"},
      {ELGIN, "Elgin_DataMovimentoUltimaReducaoMFD([6])", "150313"},
  };
  for (const Caso &c : casos) {
    Fabricante(c.fabricante);
    duble::Reinicia();
    const std::string funcao = std::string(c.chamada).substr(0, std::string(c.chamada).find('('));
    duble::Responde(funcao, {1, {c.resposta}, {}});
    EXPECT_EQ(ecf_DataUltReducao(), esperada) << c.chamada;
    ASSERT_FALSE(duble::Chamadas().empty());
    EXPECT_EQ(duble::Chamadas()[0], c.chamada);
    EXPECT_EQ(EstadoEcf.ContextoMensagem, "");
  }
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    RespondeDllG2("12");
    RespondeDllG2("15/03/2013");
    EXPECT_EQ(ecf_DataUltReducao(), esperada);
    EXPECT_EQ(duble::Chamadas(),
              LeInteiro(Canal(), "CRZ") +
                  LeituraDllG2(Canal(), "LeData", "NomeData", "DataReducao[12]", "ValorData", 50));
  }
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Consulta, DataUltimaReducaoQueFalha) {
  const std::string falha =
      "Falha ao capturar data da última redução.\nChecar em \"ecf_DataUltReducao\".";
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_DataHoraReducao", {-6, {"150313"}, {}});
  EXPECT_EQ(ecf_DataUltReducao(), 0);
  EXPECT_EQ(Textos(), (Chamadas{"Impressora desligada ou cabo de comunicação desconectado.\n"
                                "Ocorrência em \"ecf_DataUltReducao\".",
                                falha}));
  EXPECT_EQ(duble::Chamadas().size(), 1u);

  // Judged by the code alone: the context does not linger for a later message.
  Fabricante(SWEDA);
  mensagens.clear();
  duble::Responde("ECF_DataMovimentoUltimaReducaoMFD", {0, {"150313"}, {}});
  EXPECT_EQ(ecf_DataUltReducao(), 0);
  EXPECT_EQ(Textos(), Chamadas{falha});
  EXPECT_EQ(EstadoEcf.ContextoMensagem, "");

  Fabricante(ELGIN);
  mensagens.clear();
  duble::Responde("Elgin_DataMovimentoUltimaReducaoMFD", {1, {"000000"}, {}});
  EXPECT_EQ(ecf_DataUltReducao(), 0);
  EXPECT_EQ(Textos(), Chamadas{falha});
}

TEST_F(Consulta, DataHoraDoEcf) {
  const std::pair<int32_t, const char *> funcoes[] = {{BEMATECH, "Bematech_FI_DataHoraImpressora"},
                                                      {SWEDA, "ECF_DataHoraImpressora"},
                                                      {DARUMA, "Daruma_FI_DataHoraImpressora"},
                                                      {ELGIN, "Elgin_DataHoraImpressora"}};
  for (const auto &[fabricante, funcao] : funcoes) {
    Fabricante(fabricante);
    duble::Reinicia();
    duble::Responde(funcao, {1, {"150313", "103005"}, {}});
    EXPECT_DOUBLE_EQ(ecf_DataHora(), Momento(2013, 3, 15, 10, 30, 5)) << funcao;
    EXPECT_EQ(duble::Chamadas(), Chamadas{std::string(funcao) + "([6], [6])"});
    // A clock still in 2012 has not been set: the computer's is used.
    duble::Responde(funcao, {1, {"311212", "235959"}, {}});
    EXPECT_TRUE(PertoDeAgora(ecf_DataHora())) << funcao;
    duble::Responde(funcao, {0, {"150313", "103005"}, {}});
    EXPECT_TRUE(PertoDeAgora(ecf_DataHora())) << funcao;
    duble::Responde(funcao, {1, {"1503xx", "103005"}, {}});
    EXPECT_TRUE(PertoDeAgora(ecf_DataHora())) << funcao;
  }
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    RespondeDllG2("01/01/2013");
    RespondeDllG2("00:00:01");
    EXPECT_DOUBLE_EQ(ecf_DataHora(), Momento(2013, 1, 1, 0, 0, 1));
    EXPECT_EQ(duble::Chamadas(),
              LeituraDllG2(Canal(), "LeData", "NomeData", "DATA", "ValorData", 50) +
                  LeituraDllG2(Canal(), "LeHora", "NomeHora", "HORA", "ValorHora", 50));
  }
  Fabricante(FAB_DESCONHECIDO);
  EXPECT_TRUE(PertoDeAgora(ecf_DataHora()));
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Consulta, DataHoraUltimoDocumento) {
  struct Caso {
    int32_t fabricante;
    const char *ligada, *chamada, *resposta;
  } casos[] = {
      {BEMATECH, "Bematech_FI_VerificaImpressoraLigada",
       "Bematech_FI_DataHoraUltimoDocumentoMFD([12])", "150312103005"},
      {SWEDA, "ECF_VerificaImpressoraLigada", "ECF_DataHoraUltimoDocumentoMFD([12])",
       "150312103005"},
      {ELGIN, "Elgin_VerificaImpressoraLigada", "Elgin_DataHoraUltimoDocumentoMFD([12])",
       "150312103005"},
      {DARUMA, "Daruma_FI_VerificaImpressoraLigada", "Daruma_FIMFD_RetornaInformacao(\"74\", [14])",
       "15032012103005"},
  };
  for (const Caso &c : casos) {
    Fabricante(c.fabricante);
    EstadoEcf.TipoMfd = true;
    duble::Reinicia();
    const std::string funcao = std::string(c.chamada).substr(0, std::string(c.chamada).find('('));
    duble::Responde(funcao, {1, {c.resposta}, {}});
    // 2012 is kept: this date only has to be after 2010.
    EXPECT_DOUBLE_EQ(ecf_UltDataHoraDocumento(), Momento(2012, 3, 15, 10, 30, 5)) << c.chamada;
    EXPECT_EQ(duble::Chamadas(), (Chamadas{std::string(c.ligada) + "()", c.chamada}));
    duble::Responde(funcao, {1, {c.fabricante == DARUMA ? "31122010235959" : "311210235959"}, {}});
    EXPECT_TRUE(PertoDeAgora(ecf_UltDataHoraDocumento())) << c.chamada;
    // Printer off: the computer's clock, without asking.
    duble::Reinicia();
    duble::Responde(c.ligada, {-6, {}, {}});
    EXPECT_TRUE(PertoDeAgora(ecf_UltDataHoraDocumento()));
    EXPECT_EQ(duble::Chamadas(), Chamadas{std::string(c.ligada) + "()"});
  }
  // Without an electronic journal the printer's clock is the answer.
  Fabricante(BEMATECH);
  EstadoEcf.TipoMfd = false;
  duble::Reinicia();
  duble::Responde("Bematech_FI_DataHoraImpressora", {1, {"150313", "103005"}, {}});
  EXPECT_DOUBLE_EQ(ecf_UltDataHoraDocumento(), Momento(2013, 3, 15, 10, 30, 5));
  EXPECT_EQ(duble::Chamadas(), (Chamadas{"Bematech_FI_VerificaImpressoraLigada()",
                                         "Bematech_FI_DataHoraImpressora([6], [6])"}));

  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    RespondeDllG2("15/03/2012");
    RespondeDllG2("10:30:05");
    EXPECT_DOUBLE_EQ(ecf_UltDataHoraDocumento(), Momento(2012, 3, 15, 10, 30, 5));
    EXPECT_EQ(duble::Chamadas(),
              LeituraDllG2(Canal(), "LeData", "NomeData", "DataUltimoDoc", "ValorData", 50) +
                  LeituraDllG2(Canal(), "LeHora", "NomeHora", "HoraUltimoDoc", "ValorHora", 50));
  }
  EXPECT_TRUE(mensagens.empty());
}
