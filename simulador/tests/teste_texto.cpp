// Numbers in text, character conversion and the printed tape.
#include "apoio.h"
#include "texto.h"

#include <algorithm>

namespace tarvic {
namespace simulador {
namespace {

TEST(Texto, LerDecimalNasFormasQueOsDriversRecebem) {
  int64_t v = 0;
  ASSERT_TRUE(lerDecimal("12,5", 2, v));
  EXPECT_EQ(v, 1250);
  ASSERT_TRUE(lerDecimal(" 12.50 ", 2, v));
  EXPECT_EQ(v, 1250);
  ASSERT_TRUE(lerDecimal("1.234,567", 3, v));
  EXPECT_EQ(v, 1234567);
  ASSERT_TRUE(lerDecimal("1,234.5", 2, v));
  EXPECT_EQ(v, 123450);
  ASSERT_TRUE(lerDecimal("-2", 2, v));
  EXPECT_EQ(v, -200);
  ASSERT_TRUE(lerDecimal("0,999", 2, v));  // extra decimals are cut
  EXPECT_EQ(v, 99);
  ASSERT_TRUE(lerDecimal("00000000001234", 0, v));
  EXPECT_EQ(v, 1234);
  EXPECT_FALSE(lerDecimal("", 2, v));
  EXPECT_FALSE(lerDecimal("  ", 2, v));
  EXPECT_FALSE(lerDecimal("12a", 2, v));
  EXPECT_FALSE(lerDecimal(",", 2, v));
  EXPECT_FALSE(lerDecimal("99999999999999999999", 2, v));
}

TEST(Texto, FormataDecimal) {
  EXPECT_EQ(formataDecimal(1250, 2), "12,50");
  EXPECT_EQ(formataDecimal(5, 2), "0,05");
  EXPECT_EQ(formataDecimal(-5, 2), "-0,05");
  EXPECT_EQ(formataDecimal(1500, 3), "1,500");
  EXPECT_EQ(formataDecimal(42, 0), "42");
  EXPECT_EQ(formataDecimal(INT64_MIN, 2), "-92233720368547758,08");
}

TEST(Texto, Windows1252IdaEVolta) {
  std::string original =
      "A\xC7\xDA"
      "CAR \x80 \x93"
      "aspas\x94 \xE9";
  std::string utf8 = cp1252ParaUtf8(original);
  EXPECT_EQ(utf8,
            "A\xC3\x87\xC3\x9A"
            "CAR \xE2\x82\xAC \xE2\x80\x9C"
            "aspas\xE2\x80\x9D \xC3\xA9");
  EXPECT_EQ(utf8ParaCp1252(utf8), original);
  EXPECT_EQ(utf8ParaCp1252("\xE4\xB8\xAD"), "?");  // not in 1252
  EXPECT_EQ(utf8ParaCp1252("ab\xC3"), "ab?");      // a sequence cut short
}

using Bobina = TesteImpressora;

TEST_F(Bobina, CupomImpressoEm48ColunasNoJornalENaBobina) {
  ImpressoraFiscal::Item arroz = item("T1800", 2000, 12500, Ajuste::descontoValor(250));
  arroz.descricao = "ARROZ TIPO 1 PACOTE DE CINCO QUILOS MARCA DA CASA";
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(arroz), Resultado::Ok);
  ImpressoraFiscal::Item queijo = item("F", 355, 45900);
  queijo.codigo = "2001";
  queijo.descricao = "QUEIJO MINAS";
  queijo.unidade = "KG";
  ASSERT_EQ(ecf->vendeItem(queijo), Resultado::Ok);
  ASSERT_EQ(ecf->cancelaItem(2), Resultado::Ok);
  ASSERT_EQ(ecf->iniciaFechamento(Ajuste::acrescimoValor(100)), Resultado::Ok);
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 5000), Resultado::Ok);
  ASSERT_EQ(ecf->encerraCupom("MD-5: 0123456789ABCDEF\nVOLTE SEMPRE"), Resultado::Ok);

  const DocumentoImpresso cupom = ecf->jornal().back();
  EXPECT_EQ(cupom.tipo, "CF");
  EXPECT_EQ(cupom.coo, 1);
  for (const std::string& l : cupom.linhas) EXPECT_LE(l.size(), 48u) << l;
  auto tem = [&](const std::string& trecho) {
    return std::any_of(cupom.linhas.begin(), cupom.linhas.end(),
                       [&](const std::string& l) { return l.find(trecho) != std::string::npos; });
  };
  auto linha = [&](const std::string& esquerda, const std::string& direita) {
    return std::find(cupom.linhas.begin(), cupom.linhas.end(), linhaDupla(esquerda, direita)) !=
           cupom.linhas.end();
  };
  EXPECT_TRUE(tem("LOJA SIMULADA LTDA"));
  EXPECT_TRUE(tem("CNPJ:11.222.333/0001-81"));
  EXPECT_TRUE(tem("IE:0620011220044"));
  EXPECT_TRUE(tem("CCF:000001 COO:000001"));
  EXPECT_TRUE(tem("001 7891000100103 ARROZ TIPO 1 PACOTE DE CINCO"));
  EXPECT_TRUE(tem("QUILOS MARCA DA CASA"));  // the long description goes on
  EXPECT_TRUE(linha("    2UN x 12,50 T18,00%", "25,00"));
  EXPECT_TRUE(linha("    desconto sobre item", "-2,50"));
  EXPECT_TRUE(linha("    0,355KG x 45,90 F1", "16,29"));
  EXPECT_TRUE(linha("cancelamento item 002", "-16,29"));
  EXPECT_TRUE(linha("SUBTOTAL R$", "22,50"));
  EXPECT_TRUE(linha("ACRESCIMO R$", "+1,00"));
  EXPECT_TRUE(linha("TOTAL R$", "23,50"));
  EXPECT_TRUE(linha("Dinheiro", "50,00"));
  EXPECT_TRUE(linha("TROCO R$", "26,50"));
  EXPECT_TRUE(tem("VOLTE SEMPRE"));
  EXPECT_TRUE(tem("FAB:SIMBE000000000000001"));
  EXPECT_TRUE(tem("15/03/2024 10:00:00"));

  // the tape gets the same lines, in order, in UTF-8
  std::string bobina = lerArquivo(ecf->caminhoBobina());
  std::string esperado;
  for (const std::string& l : cupom.linhas) esperado += l + "\n";
  EXPECT_EQ(bobina, esperado);
}

TEST_F(Bobina, LeituraXEReducaoZImprimemOsTotais) {
  vendaSimples(1990);
  ASSERT_EQ(ecf->leituraX(), Resultado::Ok);
  ASSERT_EQ(ecf->reducaoZ(), Resultado::Ok);
  ASSERT_EQ(ecf->jornal().size(), 3u);
  const DocumentoImpresso z = ecf->jornal().back();
  EXPECT_EQ(z.tipo, "RZ");
  EXPECT_EQ(z.coo, 3);
  auto tem = [&](const std::string& l) {
    return std::find(z.linhas.begin(), z.linhas.end(), l) != z.linhas.end();
  };
  EXPECT_TRUE(tem(linhaDupla("MOVIMENTO DO DIA", "15/03/2024")));
  EXPECT_TRUE(tem(linhaDupla("VENDA BRUTA DIARIA", "19,90")));
  EXPECT_TRUE(tem(linhaDupla("01 T18,00%", "19,90")));
  EXPECT_TRUE(tem(linhaDupla("CRZ:0001", "CRO:001")));
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
