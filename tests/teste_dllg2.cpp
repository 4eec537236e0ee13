// The DLLG2 channel: typed reads, bit tests, the Dataregis routines.
#include "comum.h"

using Chamadas = std::vector<std::string>;

class LeituraTipada : public TesteEcf {
 protected:
  void SetUp() override {
    TesteEcf::SetUp();
    Fabricante(DATAREGIS);
    CanalDllG2 = 7;
  }
  void Responde(const std::string &texto) { duble::Responde("DLLG2_Retorno", {1, {texto}, {}}); }
};

TEST_F(LeituraTipada, ComandoParametroValorEBuffer) {
  struct Caso {
    std::function<void()> le;
    const char *comando, *parametro, *valor;
    int tamanho;
  } casos[] = {
      {[] { EXPECT_EQ(tarvic::dllG2_leInteiro("COO"), 123); }, "LeInteiro", "NomeInteiro",
       "ValorInteiro", 50},
      {[] { EXPECT_TRUE(tarvic::dllG2_leIndicador("COO")); }, "LeIndicador", "NomeIndicador",
       "ValorTextoIndicador", 16},
      {[] { EXPECT_EQ(tarvic::dllG2_leData("COO"), CodificaData(2013, 1, 1)); }, "LeData",
       "NomeData", "ValorData", 50},
      {[] { EXPECT_DOUBLE_EQ(tarvic::dllG2_leHora("COO"), CodificaHora(18, 30, 5)); }, "LeHora",
       "NomeHora", "ValorHora", 50},
      {[] { EXPECT_EQ(tarvic::dllG2_leMoeda("COO"), 12345000); }, "LeMoeda", "NomeDadoMonetario",
       "ValorMoeda", 50},
      {[] {
         std::string t = "velho";
         tarvic::dllG2_leTexto(t, "COO", 30);
         EXPECT_EQ(t, "Texto");
       },
       "LeTexto", "NomeTexto", "ValorTexto", 30},
  };
  const char *respostas[] = {" 123 ", "1", "01/01/2013", "18:30:05", "1.234,50", " Texto "};
  for (size_t i = 0; i < std::size(casos); ++i) {
    duble::Reinicia();
    ecf_Retorno = 0;
    Responde(respostas[i]);
    casos[i].le();
    const std::string n = std::to_string(casos[i].tamanho);
    EXPECT_EQ(
        duble::Chamadas(),
        (Chamadas{"DLLG2_LimpaParams(7)",
                  std::string("DLLG2_AdicionaParam(7, \"") + casos[i].parametro + "\", \"COO\", 7)",
                  std::string("DLLG2_ExecutaComando(7, \"") + casos[i].comando + "\")",
                  std::string("DLLG2_Retorno(7, 0, \"") + casos[i].valor + "\", 0, [" + n + "], " +
                      n + ")"}));
    EXPECT_EQ(ecf_Retorno, 1) << casos[i].comando;
  }
}

TEST_F(LeituraTipada, UranoUsaOCanalZero) {
  Fabricante(URANO);
  Responde("5");
  EXPECT_EQ(tarvic::dllG2_leInteiro("CCF"), 5);
  EXPECT_EQ(duble::Chamadas()[0], "DLLG2_LimpaParams(0)");
  EXPECT_EQ(duble::Chamadas()[3], "DLLG2_Retorno(0, 0, \"ValorInteiro\", 0, [50], 50)");
}

TEST_F(LeituraTipada, SemRespostaMostraSuaMensagemEDaOValorVazio) {
  duble::RespondeSempre("DLLG2_ExecutaComando", {0, {}, {}});
  ecf_Retorno = 33;
  std::string texto = "x";
  EXPECT_EQ(tarvic::dllG2_leInteiro("GT"), 0);
  EXPECT_FALSE(tarvic::dllG2_leIndicador("SemPapel"));
  EXPECT_EQ(tarvic::dllG2_leData("DATA"), 0);
  EXPECT_EQ(tarvic::dllG2_leHora("HORA"), 0);
  EXPECT_EQ(tarvic::dllG2_leMoeda("GT"), 0);
  tarvic::dllG2_leTexto(texto, "Marca", 20);
  EXPECT_EQ(texto, "");
  EXPECT_EQ(Textos(),
            (Chamadas{"Problemas de Comunicação com ECF.",
                      "Problemas de Comunicação com ECF em \"dllG2_leIndicador\".",
                      "Problemas de Comunicação com ECF.", "Problemas de Comunicação com ECF.",
                      "Falha de comunicação com ECF ao receber 'GT'.",
                      "Problemas de Comunicação com ECF ao receber 'Marca'."}));
  EXPECT_EQ(ecf_Retorno, 33);
  EXPECT_TRUE(duble::ChamadasDe("DLLG2_Retorno").empty());
}

TEST_F(LeituraTipada, IndicadorSoComUm) {
  for (const char *resposta : {"0", "", "11", "t"}) {
    Responde(resposta);
    EXPECT_FALSE(tarvic::dllG2_leIndicador("SemPapel")) << resposta;
  }
  Responde(" 1 ");
  EXPECT_TRUE(tarvic::dllG2_leIndicador("SemPapel"));
}

TEST_F(LeituraTipada, RespostaQueNaoConverteSobeAoChamadorEAExportacaoDaZero) {
  Responde("12x");
  EXPECT_THROW(tarvic::dllG2_leInteiro("COO"), ErroConversao);
  Responde("32/13/2013");
  EXPECT_THROW(tarvic::dllG2_leData("DATA"), ErroConversao);
  Responde("lixo");
  EXPECT_EQ(::dllG2_leInteiro("COO"), 0);
  EXPECT_EQ(::dllG2_leInteiro(nullptr), 0);
  // A null name is the empty text.
  EXPECT_EQ(duble::Chamadas()[duble::Chamadas().size() - 3],
            "DLLG2_AdicionaParam(7, \"NomeInteiro\", \"\", 7)");
}

TEST(BitsDeEstado, MaisAltoRemovidoAteAMascara) {
  EXPECT_TRUE(tarvic::ContemBitsEstado(32, 32));
  EXPECT_TRUE(tarvic::ContemBitsEstado(96, 32));
  EXPECT_FALSE(tarvic::ContemBitsEstado(34, 32));
  EXPECT_FALSE(tarvic::ContemBitsEstado(0, 32));
  EXPECT_TRUE(tarvic::ContemBitsEstado(34, 2));
  EXPECT_TRUE(tarvic::ContemBitsEstado(256 + 32, 32));  // 128 at a time above 255
  EXPECT_FALSE(tarvic::ContemBitsEstado(-5, -1));
  EXPECT_TRUE(tarvic::ContemBitsIndicadores(32768 + 4, 4));
  EXPECT_FALSE(tarvic::ContemBitsIndicadores(6, 4));
  EXPECT_TRUE(tarvic::ContemBitsIndicadores(4, 4));
}

class Dataregis : public TesteEcf {
 protected:
  void SetUp() override {
    TesteEcf::SetUp();
    Fabricante(URANO);  // the routines always use the opened channel
    CanalDllG2 = 3;
  }
};

TEST_F(Dataregis, LeituraSoComCodigoDeErroZero) {
  std::string valor = "antes";
  duble::Responde("DLLG2_ObtemCodErro", {15, {}, {}});
  EXPECT_EQ(LeTexto("Marca", valor), 15);
  EXPECT_EQ(valor, "antes");
  EXPECT_EQ(CodErroDllG2, 15);
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  EXPECT_EQ(LeData("DATA", valor), 1);
  duble::Reinicia();
  duble::Responde("DLLG2_ObtemCodErro", {0, {}, {}});
  duble::Responde("DLLG2_Retorno", {1, {"12:00:00"}, {}});
  EXPECT_EQ(LeHora("HORA", valor), 0);
  EXPECT_EQ(valor, "12:00:00");
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"DLLG2_LimpaParams(3)", "DLLG2_AdicionaParam(3, \"NomeHora\", \"HORA\", 7)",
                      "DLLG2_ExecutaComando(3, \"LeHora\")", "DLLG2_ObtemCodErro(3)",
                      "DLLG2_Retorno(3, 0, \"ValorHora\", 0, [8], 8)"}));
}

TEST_F(Dataregis, ImpressaoTerminaNoPrimeiroNul) {
  duble::Responde("DLLG2_ObtemCodErro", {0, {}, {}});
  duble::Responde("DLLG2_Retorno", {1, {std::string("linha 1\r\nlinha 2\0resto", 22)}, {}});
  std::string texto;
  EXPECT_EQ(LeImpressao(texto), 0);
  EXPECT_EQ(texto, "linha 1\r\nlinha 2");
  EXPECT_EQ(duble::Chamadas().back(), "DLLG2_Retorno(3, 0, \"TextoImpressao\", 0, [4000], 4000)");
}

TEST_F(Dataregis, EmissoesSoComOsParametrosDadosEOTempoDeEspera) {
  duble::Responde("DLLG2_ObtemCodErro", {0, {}, {}});
  EXPECT_EQ(EmiteLeituraMF("01/01/2013", "31/01/2013", "", "", "", "", ""), 0);
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"DLLG2_DefineTimeout(3, 180)", "DLLG2_LimpaParams(3)",
                      "DLLG2_AdicionaParam(3, \"DataInicial\", \"01/01/2013\", 2)",
                      "DLLG2_AdicionaParam(3, \"DataFinal\", \"31/01/2013\", 2)",
                      "DLLG2_ExecutaComando(3, \"EmiteLeituraMF\")", "DLLG2_ObtemCodErro(3)",
                      "DLLG2_DefineTimeout(3, 10)"}));
  duble::Reinicia();
  duble::Responde("DLLG2_ExecutaComando", {-1, {}, {}});
  EXPECT_EQ(EmiteLeituraFitaDetalhe("", "", "10", "20", "", "1", "CF"), 1);
  EXPECT_EQ(duble::Chamadas(), (Chamadas{"DLLG2_DefineTimeout(3, 180)", "DLLG2_LimpaParams(3)",
                                         "DLLG2_AdicionaParam(3, \"COOInicial\", \"10\", 4)",
                                         "DLLG2_AdicionaParam(3, \"COOFinal\", \"20\", 4)",
                                         "DLLG2_AdicionaParam(3, \"Proprietario\", \"1\", 4)",
                                         "DLLG2_AdicionaParam(3, \"TipoDocumento\", \"CF\", 7)",
                                         "DLLG2_ExecutaComando(3, \"EmiteLeituraFitaDetalhe\")",
                                         "DLLG2_DefineTimeout(3, 10)"}));
}

namespace {
// The rule as plain repeated steps, to compare the routine against.
bool ReferenciaEstado(int64_t v, int32_t mascara) {
  while (mascara < v) {
    int64_t peso = 128;
    while (peso > 1 && v < peso) peso >>= 1;
    if (v < peso) break;
    v -= peso;
  }
  return v == mascara;
}
}  // namespace

TEST(BitsDeEstado, ValoresGrandesOuNegativosDaImpressora) {
  for (int32_t mascara : {0, 1, 2, 4, 8, 16, 32, 64, 128, 3, 200, 300, -1})
    for (int32_t v = -3; v < 2000; ++v)
      ASSERT_EQ(tarvic::ContemBitsEstado(v, mascara), ReferenciaEstado(v, mascara))
          << v << " " << mascara;
  // Garbage near the top of the range answers at once and by the same rule:
  // INT32_MAX sheds 128s down to 255, then 128, 64, 32.
  EXPECT_FALSE(tarvic::ContemBitsEstado(INT32_MAX, 32));
  EXPECT_TRUE(tarvic::ContemBitsEstado(INT32_MAX, 31));
  EXPECT_TRUE(tarvic::ContemBitsEstado(INT32_MAX - 127, 128));
  EXPECT_FALSE(tarvic::ContemBitsEstado(INT32_MIN, 32));
  EXPECT_FALSE(tarvic::ContemBitsIndicadores(INT32_MIN, 4));
  EXPECT_FALSE(tarvic::ContemBitsIndicadores(INT32_MAX, 4));
}

TEST_F(LeituraTipada, RespostaLongaSemNulOuLixo) {
  // The driver fills every blank and ends with no NUL: still read within the buffer.
  Responde(std::string(15, ' ') + "1" + "excesso");
  EXPECT_TRUE(tarvic::dllG2_leIndicador("SemPapel"));
  Responde(std::string(50, '9'));
  EXPECT_EQ(::dllG2_leInteiro("COO"), 0);  // does not fit: conversion error stopped at the boundary
  Responde(std::string(50, '\xff'));
  EXPECT_THROW(tarvic::dllG2_leMoeda("GT"), ErroConversao);
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(LeituraTipada, TextoComTamanhoNegativoNaoPrometeBufferAoDriver) {
  std::string t = "x";
  Responde("abc");
  tarvic::dllG2_leTexto(t, "Marca", -5);
  EXPECT_EQ(t, "");
  EXPECT_EQ(duble::Chamadas().back(), "DLLG2_Retorno(7, 0, \"ValorTexto\", 0, [0], 0)");
}

TEST_F(LeituraTipada, EstadoFiscalEIndicadoresLidosPeloNome) {
  // The Part's examples, read from the printer: 96 holds a report, 34 does not.
  for (const auto &[resposta, esperado] : std::vector<std::pair<const char *, bool>>{
           {"32", true}, {"96", true}, {"34", false}, {"0", false}}) {
    duble::Reinicia();
    Responde(resposta);
    EXPECT_EQ(tarvic::EstadoFiscalContem(32), esperado) << resposta;
    EXPECT_EQ(duble::Chamadas()[1], "DLLG2_AdicionaParam(7, \"NomeInteiro\", \"EstadoFiscal\", 7)");
  }
  Responde("34");
  EXPECT_TRUE(tarvic::EstadoFiscalContem(2));
  duble::Reinicia();
  Responde("32772");
  EXPECT_TRUE(tarvic::IndicadoresContem(4));
  EXPECT_EQ(duble::Chamadas()[1], "DLLG2_AdicionaParam(7, \"NomeInteiro\", \"Indicadores\", 7)");
}

TEST_F(Dataregis, TamanhosDasLeiturasETodosOsParametrosDaLeituraMF) {
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  std::string valor;
  duble::Responde("DLLG2_Retorno", {1, {"  ECF-IF  "}, {}});
  EXPECT_EQ(LeTexto("Marca", valor), 0);
  EXPECT_EQ(valor, "ECF-IF");
  duble::Responde("DLLG2_Retorno", {1, {"01/02/2013xx"}, {}});
  EXPECT_EQ(LeData("DATA", valor), 0);
  EXPECT_EQ(valor, "01/02/2013");  // ten characters, no more
  EXPECT_EQ(duble::ChamadasDe("DLLG2_Retorno"),
            (Chamadas{"DLLG2_Retorno(3, 0, \"ValorTexto\", 0, [4000], 4000)",
                      "DLLG2_Retorno(3, 0, \"ValorData\", 0, [10], 10)"}));
  duble::Reinicia();
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  EXPECT_EQ(EmiteLeituraMF("01/01/2013", "31/01/2013", "1", "9", "arq.txt", "t", "Ana"), 0);
  EXPECT_EQ(duble::ChamadasDe("DLLG2_AdicionaParam"),
            (Chamadas{"DLLG2_AdicionaParam(3, \"DataInicial\", \"01/01/2013\", 2)",
                      "DLLG2_AdicionaParam(3, \"DataFinal\", \"31/01/2013\", 2)",
                      "DLLG2_AdicionaParam(3, \"ReducaoInicial\", \"1\", 4)",
                      "DLLG2_AdicionaParam(3, \"ReducaoFinal\", \"9\", 4)",
                      "DLLG2_AdicionaParam(3, \"Destino\", \"arq.txt\", 7)",
                      "DLLG2_AdicionaParam(3, \"LeituraSimplificada\", \"t\", 0)",
                      "DLLG2_AdicionaParam(3, \"Operador\", \"Ana\", 7)"}));
  EXPECT_EQ(duble::ChamadasDe("DLLG2_DefineTimeout"),
            (Chamadas{"DLLG2_DefineTimeout(3, 180)", "DLLG2_DefineTimeout(3, 10)"}));
}

// A driver that never ends a reading: the same piece once too often, or more
// text than a reading holds, stops it.
TEST(PedacosDaImpressao, ParamNaRepeticaoENoTotal) {
  PedacosDaImpressao repetidos(3, 1000);
  EXPECT_TRUE(repetidos.Aceita("a"));
  EXPECT_TRUE(repetidos.Aceita("b"));
  EXPECT_TRUE(repetidos.Aceita("b"));
  EXPECT_TRUE(repetidos.Aceita("b"));
  EXPECT_FALSE(repetidos.Aceita("b"));

  PedacosDaImpressao longos(3, 10);
  EXPECT_TRUE(longos.Aceita("12345"));
  EXPECT_TRUE(longos.Aceita("67890"));
  EXPECT_FALSE(longos.Aceita("x"));
}
