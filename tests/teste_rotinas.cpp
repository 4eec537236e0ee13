// Texts, numbers, dates and the return file.
#include <cmath>

#include "comum.h"

TEST(Textos, EspacosAparaEBuffers) {
  EXPECT_EQ(Espacos(3), "   ");
  EXPECT_EQ(Espacos(0), "");
  EXPECT_EQ(Espacos(-2), "");
  EXPECT_EQ(Aparar(" \t ab c \r\n"), "ab c");
  EXPECT_EQ(LeBuffer(std::string("5,10,6,8\0xx", 11)), "5,10,6,8");
  EXPECT_EQ(LeBuffer("   "), "");
  EXPECT_EQ(EntreAspas("D'AVILA"), "'D''AVILA'");
  EXPECT_EQ(Texto(nullptr), "");
  EXPECT_EQ(SeTexto(true, "a", "b"), "a");
}

TEST(Numeros, TextoParaInteiro) {
  EXPECT_EQ(TextoParaInteiro("   "), 0);
  EXPECT_EQ(TextoParaInteiro(" 000123 "), 123);
  EXPECT_EQ(TextoParaInteiro("-45"), -45);
  EXPECT_EQ(TextoParaInteiro("2147483647"), 2147483647);
  for (const char *ruim : {"12a", "1,5", "-", "2147483648", "99999999999999999999"})
    EXPECT_THROW(TextoParaInteiro(ruim), ErroConversao) << ruim;
}

TEST(Numeros, TextoParaValorExatoEmDecimosDeMilesimo) {
  EXPECT_EQ(TextoParaValor(""), 0);
  EXPECT_EQ(TextoParaValor("1.234.567,89"), 12345678900);
  EXPECT_EQ(TextoParaValor("1.234,50"), 12345000);
  EXPECT_EQ(TextoParaValor("-0,01"), -100);
  EXPECT_EQ(TextoParaValor("0,12345"), 1235);  // fifth decimal rounds
  EXPECT_EQ(TextoParaValor("12"), 120000);
  for (const char *ruim : {"abc", "1,2,3", ",", "12,5x", "1e5"})
    EXPECT_THROW(TextoParaValor(ruim), ErroConversao) << ruim;
  EXPECT_THROW(TextoParaMoeda("1.234,50"), ErroConversao);
  EXPECT_THROW(TextoParaMoeda(""), ErroConversao);
}

TEST(Numeros, Formatos) {
  EXPECT_EQ(FormataValor(12345000, 2), "1234,50");
  EXPECT_EQ(FormataValor(125, 2), "0,01");  // 0,0125 rounds half away from zero
  EXPECT_EQ(FormataValor(-50000, 2), "-5,00");
  EXPECT_EQ(FormataValor(-10, 2), "0,00");
  EXPECT_EQ(FormataValor(15000, 3), "1,500");
  EXPECT_EQ(FormataValor(INT64_MAX, 2), "922337203685477,58");
  EXPECT_EQ(FormataInteiro(7, 2), "07");
  EXPECT_EQ(FormataInteiro(150, 6), "000150");
  EXPECT_EQ(FormataInteiro(1234567, 4), "1234567");
  EXPECT_EQ(FormataInteiro(-3, 3), "-003");
  EXPECT_EQ(CentavosParaMoeda(1250), 125000);
}

TEST(Datas, DiasDesde1899) {
  EXPECT_EQ(CodificaData(1899, 12, 30), 0);
  EXPECT_EQ(CodificaData(1900, 1, 1), 2);
  EXPECT_EQ(CodificaData(2013, 1, 1), 41275);
  int a, m, d;
  ASSERT_TRUE(DecodificaData(41275.75, a, m, d));
  EXPECT_EQ(a * 10000 + m * 100 + d, 20130101);
  int h, n, s;
  DecodificaHora(41275.75, h, n, s);
  EXPECT_EQ(h * 10000 + n * 100 + s, 180000);
  EXPECT_FALSE(DecodificaData(NAN, a, m, d));
}

TEST(Datas, TextoParaDataEHora) {
  EXPECT_EQ(TextoParaData("01/01/2013"), 41275);
  EXPECT_EQ(TextoParaData(" 1/1/2013 "), 41275);
  EXPECT_EQ(TextoParaData("29/02/2024"), CodificaData(2024, 2, 29));
  // Two-digit years fall in the hundred years that begin fifty years ago.
  int ano, m, d, lido;
  DecodificaData(Agora(), ano, m, d);
  DecodificaData(TextoParaData("01/01/" + FormataInteiro((ano + 49) % 100, 2)), lido, m, d);
  EXPECT_EQ(lido, ano + 49);
  DecodificaData(TextoParaData("01/01/" + FormataInteiro((ano - 50) % 100, 2)), lido, m, d);
  EXPECT_EQ(lido, ano - 50);
  for (const char *ruim : {"31/02/2013", "2013-01-01", "1/13/2013", "", "01/01", "aa/bb/cccc"})
    EXPECT_THROW(TextoParaData(ruim), ErroConversao) << ruim;
  EXPECT_DOUBLE_EQ(TextoParaHora("18:30:15"), CodificaHora(18, 30, 15));
  EXPECT_THROW(TextoParaHora("25:00:00"), ErroConversao);
  EXPECT_EQ(FormataDataHora("dd/mm/yyyy hh:nn:ss", 41275.75), "01/01/2013 18:00:00");
  EXPECT_EQ(FormataDataHora("ddmmyy", 41275), "010113");
}

class RetornoIni : public TesteEcf {};

TEST_F(RetornoIni, GravaChaveEmMaiusculasComValorIntacto) {
  GravaRetorno(" posicao ", " - Sem papel.");
  GravaRetorno("VAZIO", "   ");
  EXPECT_EQ(LeArquivo(EstadoEcf.ArquivoRetorno), "[ECF]\r\nPOSICAO= - Sem papel.\r\n");
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(RetornoIni, FalhaDeEscritaViraMensagem) {
  EstadoEcf.ArquivoRetorno = Pasta() + "nao/existe/meuRetorno.ini";
  Fabricante(BEMATECH);
  EXPECT_TRUE(GravaRetorno("MODELO", "MP-4200"));
  ASSERT_EQ(Textos().size(), 1u);
  EXPECT_EQ(Textos()[0], "Falha ao acessar \"" + EstadoEcf.ArquivoRetorno + "\" em dll de ecf.");
  EXPECT_EQ(mensagens[0].titulo, "BEMATECH");
}

TEST(Numeros, SeparadoresSozinhosNaoSaoValor) {
  // Only a blank text is zero; a text of separators is not an amount.
  for (const char *ruim : {".", " . ", "..", ". ,"})
    EXPECT_THROW(TextoParaValor(ruim), ErroConversao) << ruim;
  EXPECT_EQ(TextoParaValor(" \t "), 0);
  EXPECT_EQ(TextoParaValor("1.000"), 10000000);
}

TEST(Numeros, MultiplicaDivideNosLimites) {
  EXPECT_EQ(MultiplicaDivide(5, 1, 2), 3);
  EXPECT_EQ(MultiplicaDivide(-5, 1, 2), -3);
  EXPECT_EQ(MultiplicaDivide(5, -1, 2), -3);
  EXPECT_EQ(MultiplicaDivide(7, 1, -2), -4);
  // A divisor near the limit and INT64_MIN itself must not overflow while rounding.
  EXPECT_EQ(MultiplicaDivide(INT64_MAX - 1, 1, INT64_MAX), 1);
  EXPECT_EQ(MultiplicaDivide(INT64_MAX / 2, 1, INT64_MAX), 0);
  EXPECT_EQ(MultiplicaDivide(INT64_MIN, 1, 1), INT64_MIN);
  EXPECT_EQ(MultiplicaDivide(INT64_MIN, 1, 2), INT64_MIN / 2);
  EXPECT_THROW(MultiplicaDivide(INT64_MIN, 1, -1), ErroConversao);
  EXPECT_THROW(MultiplicaDivide(INT64_MAX, INT64_MAX, 1), ErroConversao);
  EXPECT_EQ(MultiplicaDivide(INT64_MAX, 10, 20), INT64_MAX / 2 + 1);
  EXPECT_THROW(MultiplicaDivide(1, 1, 0), ErroConversao);
  EXPECT_THROW(CentavosParaMoeda(INT64_MAX / 10), ErroConversao);
}

TEST(Datas, DiaNegativoComHora) {
  // The whole part is the day, the fraction (without sign) the time.
  int a, m, d, h, n, s;
  ASSERT_TRUE(DecodificaData(-1.25, a, m, d));
  DecodificaHora(-1.25, h, n, s);
  EXPECT_EQ(a * 10000 + m * 100 + d, 18991229);
  EXPECT_EQ(h * 10000 + n * 100 + s, 60000);
  EXPECT_EQ(FormataDataHora("dd/mm/yyyy hh:nn", -0.5), "30/12/1899 12:00");
}
