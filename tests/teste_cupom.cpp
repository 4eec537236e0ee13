#include "comum.h"

namespace {

using Lista = std::vector<std::string>;

const char *const POUCO_PAPEL = "ECF com pouco papel.\nVerifique a disponibilidade da bobina.";
const char *const PARAMETRO_INVALIDO = "Parâmetro inválido na função.";

class Cupom : public TesteEcf {
 protected:
  // Selects the manufacturer and learns the calls of an approving verdict and
  // of freeing an idle printer, which every export below makes around its own.
  void Prepara(int32_t fabricante, bool mfd = true) {
    duble::Reinicia();
    Fabricante(fabricante);
    EstadoEcf.TipoMfd = mfd;
    CanalDllG2 = 3;
    ecf_Retorno = RetornoDllG2 = 1;
    VerificaRetorno(false);
    veredito_ = duble::Chamadas();
    duble::EsqueceChamadas();
    tarvic::ecf_DestravaImpressora();
    destrava_ = duble::Chamadas();
    duble::Reinicia();
    ecf_Retorno = RetornoDllG2 = 0;
    mensagens.clear();
  }
  // "<V>" stands for the verdict's calls, "<D>" for the freeing.
  Lista Esperado(const Lista &chamadas) const {
    Lista r;
    for (const std::string &c : chamadas) {
      const Lista *bloco = c == "<V>" ? &veredito_ : c == "<D>" ? &destrava_ : nullptr;
      if (bloco)
        r.insert(r.end(), bloco->begin(), bloco->end());
      else
        r.push_back(c);
    }
    return r;
  }
  // The one call whose text starts with `inicio`.
  std::string Chamada(const std::string &inicio) const {
    for (const std::string &c : duble::Chamadas())
      if (c.rfind(inicio, 0) == 0) return c;
    return "(nenhuma) " + inicio;
  }

 private:
  Lista veredito_, destrava_;
};

std::string Hoje(const char *padrao) {
  return FormataDataHora(padrao, Agora());
}

// ---- Opening and customer data -------------------------------------------------

TEST_F(Cupom, DadosDoClienteGuardamSoDigitos) {
  set_CpfCliente(" 123.456.789-09 ");
  set_ieCnpj("ISENTO", "12.345.678/0001-90");
  EXPECT_EQ(EstadoEcf.CpfCliente, "12345678909");
  EXPECT_EQ(EstadoEcf.Ie, "");
  EXPECT_EQ(EstadoEcf.Cnpj, "12345678000190");
  set_CpfCliente(nullptr);
  set_ieCnpj("\t 110.042.490.114 ", nullptr);
  EXPECT_EQ(EstadoEcf.CpfCliente, "");
  EXPECT_EQ(EstadoEcf.Ie, "110042490114");
  set_ConcessaoDF(2);
  EXPECT_TRUE(EstadoEcf.ConcessaoDF);
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Cupom, AberturaZeraValoresAvisaPapelUmaVezECancelaCupomAberto) {
  Prepara(BEMATECH);
  set_vIcmCupom(12300);
  EstadoEcf.vIssCupom = 500;
  EstadoEcf.PoucoPapel = true;
  duble::Responde("Bematech_FI_FlagsFiscais", {1, {}, {2}});  // a coupon left open
  EXPECT_TRUE(ecf_AbreCupom());
  EXPECT_EQ(EstadoEcf.vIcmCupom, 0);
  EXPECT_EQ(EstadoEcf.vIssCupom, 0);
  EXPECT_FALSE(EstadoEcf.PoucoPapel);
  EXPECT_EQ(Textos(), Lista{POUCO_PAPEL});
  EXPECT_EQ(duble::Chamadas(),
            Esperado({"Bematech_FI_FlagsFiscais(&)", "Bematech_FI_CancelaCupom()", "<V>",
                      "Bematech_FI_AbreCupom(NULL)", "<V>"}));
  mensagens.clear();
  EXPECT_TRUE(ecf_AbreCupom());
  EXPECT_TRUE(mensagens.empty());
}

// ---- A whole sale --------------------------------------------------------------

// One item of 2 KG at 3,50, a discount of 1,00 on the subtotal, 6,00 paid in
// cash, closed with the application's message on a DF coupon.
void Vende() {
  EXPECT_TRUE(ecf_AbreCupom());
  set_vIcmCupom(12300);
  EXPECT_TRUE(ecf_VendeItem("789", "ARROZ", "KG", 0, "I", 0, "2", "3,50", "", "", 0, 0, 1));
  EXPECT_TRUE(ecf_IniciaFechamentoCupom("D", "1,00"));
  EXPECT_TRUE(ecf_EfetuaFormaPagto(" Dinheiro ", 60000));
  EXPECT_TRUE(ecf_TerminaFechamentoCupom(" Obrigado "));
}

TEST_F(Cupom, VendaCompletaNasImpressorasDeDriverProprio) {
  const std::string notaLegal = "MD-5: ABC\nObrigado\n NOTA LEGAL:  ICMS = 1,23 ISS = 0,00";
  const std::string notaSweda =
      "MD-5: ABC\nObrigado\n \x10"
      "BNOTA LEGAL: \x10"
      "N ICMS = 1,23 ISS = 0,00";
  const struct {
    int32_t fabricante;
    Lista chamadas;
  } casos[] = {
      {BEMATECH,
       {"<D>", "Bematech_FI_AbreCupom(NULL)", "<V>", "Bematech_FI_UsaUnidadeMedida(\"KG\")",
        "Bematech_FI_VendeItem(\"789\", \"ARROZ\", \"II\", \"F\", \"2\", 2, \"3,50\", \"$\", \"\")",
        "<V>", "Bematech_FI_IniciaFechamentoCupom(\"D\", \"$\", \"1,00\")", "<V>",
        "Bematech_FI_EfetuaFormaPagamento(\"Dinheiro\", \"6,00\")", "<V>",
        "Bematech_FI_TerminaFechamentoCupom(\"" + notaLegal + "\")", "<V>"}},
      {SWEDA,
       {"<D>", "ECF_AbreCupom(\"\")", "<V>", "ECF_UsaUnidadeMedida(\"KG\")",
        "ECF_VendeItem(\"789\", \"ARROZ\", \"II\", \"F\", \"2\", 2, \"3,50\", \"$\", \"0000\")",
        "<V>", "ECF_IniciaFechamentoCupom(\"D\", \"$\", \"1,00\")", "<V>",
        "ECF_EfetuaFormaPagamento(\"Dinheiro\", \"6,00\")", "<V>",
        "ECF_TerminaFechamentoCupom(\"" + notaSweda + "\")", "<V>"}},
      {DARUMA,
       {"<D>", "Daruma_FI_AbreCupom(NULL)", "<V>", "Daruma_FI_UsaUnidadeMedida(\"KG\")",
        "Daruma_FI_VendeItem(\"789\", \"ARROZ\", \"II\", \"F\", \"2\", 2, \"3,50\", \"$\", \"\")",
        "<V>", "Daruma_FI_IniciaFechamentoCupom(\"D\", \"$\", \"1,00\")", "<V>",
        "Daruma_FI_EfetuaFormaPagamento(\"Dinheiro\", \"6,00\")", "<V>",
        "Daruma_FI_TerminaFechamentoCupom(\"" + notaLegal + "\")", "<V>"}},
      {ELGIN,
       {"<D>", "Elgin_AbreCupom(NULL)", "<V>",
        "Elgin_VendeItem(\"789\", \"ARROZ\", \"II\", \"F\", \"2\", 2, \"3,50\", \"$\", \"\")",
        "<V>", "Elgin_IniciaFechamentoCupom(\"D\", \"$\", \"1,00\")", "<V>",
        "Elgin_EfetuaFormaPagamento(\"Dinheiro\", \"6,00\")", "<V>",
        "Elgin_TerminaFechamentoCupom(\"" + notaLegal + "\")", "<V>"}},
  };
  for (const auto &caso : casos) {
    SCOPED_TRACE(NomeDe(caso.fabricante));
    Prepara(caso.fabricante);
    EstadoEcf.PafMd5 = "ABC";
    EstadoEcf.UF = "DF";
    Vende();
    EXPECT_EQ(duble::Chamadas(), Esperado(caso.chamadas));
    EXPECT_TRUE(mensagens.empty());
  }
}

TEST_F(Cupom, VendaCompletaNoCanalDllG2) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    SCOPED_TRACE(NomeDe(fabricante));
    Prepara(fabricante);
    EstadoEcf.PafMd5 = "ABC";
    EstadoEcf.UF = "DF";
    const std::string c = fabricante == URANO ? "0" : "3";
    const std::string p = "DLLG2_AdicionaParam(" + c + ", \"";
    Vende();
    EXPECT_EQ(duble::Chamadas(),
              Esperado({"<D>",
                        "DLLG2_LimpaParams(" + c + ")",
                        p + "EnderecoConsumidor\", \"\", 7)",
                        p + "IdConsumidor\", \"\", 7)",
                        p + "NomeConsumidor\", \"\", 7)",
                        "DLLG2_ExecutaComando(" + c + ", \"AbreCupomFiscal\")",
                        "<V>",
                        "DLLG2_LimpaParams(" + c + ")",
                        p + "CodAliquota\", \"-3\", 4)",
                        p + "CodProduto\", \"789\", 7)",
                        p + "NomeProduto\", \"ARROZ\", 7)",
                        p + "PrecoUnitario\", \"3,50\", 6)",
                        p + "Quantidade\", \"2\", 6)",
                        p + "Unidade\", \"KG\", 7)",
                        "DLLG2_ExecutaComando(" + c + ", \"VendeItem\")",
                        "<V>",
                        "DLLG2_LimpaParams(" + c + ")",
                        p + "Cancelar\", \"f\", 0)",
                        p + "ValorAcrescimo\", \"-1,00\", 6)",
                        "DLLG2_ExecutaComando(" + c + ", \"AcresceSubtotal\")",
                        "<V>",
                        "DLLG2_LimpaParams(" + c + ")",
                        p + "NomeMeioPagamento\", \"Dinheiro\", 7)",
                        p + "Valor\", \"6,00\", 6)",
                        "DLLG2_ExecutaComando(" + c + ", \"PagaCupom\")",
                        "<V>",
                        "DLLG2_LimpaParams(" + c + ")",
                        p + "TextoPromocional\", \"MD-5: ABC\nObrigado\n NOTA LEGAL:  ICMS = 1,23 "
                            "ISS = 0,00\", 7)",
                        "DLLG2_ExecutaComando(" + c + ", \"EncerraDocumento\")",
                        "<V>"}));
    EXPECT_TRUE(mensagens.empty());
  }
}

// ---- Item sale -------------------------------------------------------------------

struct CasoItem {
  int32_t fabricante;
  bool mfd;
  const char *codigo, *descricao, *unidade, *aliquota, *quantidade, *preco, *tipo, *valor;
  bool servico;
  int32_t item;
  Lista chamadas;  // before the final verdict
};

const std::string D40 = "DESCRICAO COM QUARENTA CARACTERES AO FIM";  // 40

TEST_F(Cupom, VendaDeItemNormalizaEEscolheAChamadaDeCadaFabricante) {
  const std::string descricaoLonga = "  " + D40 + " ";
  const CasoItem casos[] = {
      // Blank unit is UN; a long description is extended, then sent cut to 29.
      {BEMATECH,
       true,
       "1",
       descricaoLonga.c_str(),
       " ",
       "I",
       "1",
       "2,00",
       "",
       "",
       false,
       1,
       {"Bematech_FI_UsaUnidadeMedida(\"UN\")", "Bematech_FI_AumentaDescricaoItem(\"" + D40 + "\")",
        "Bematech_FI_VendeItem(\"1\", \"" + D40.substr(0, 29) +
            "\", \"II\", \"F\", \"1\", 2, \"2,00\", \"$\", \"\")"}},
      // A 14-character code goes to the department sale, without unit call
      // when the printer keeps no MFD.
      {BEMATECH,
       false,
       "12345678901234",
       "X",
       "KG ",
       "F",
       "1",
       "2",
       "$",
       "",
       false,
       1,
       {"Bematech_FI_VendeItemDepartamento(\"12345678901234\", \"X\", \"FF\", \"2,000\", "
        "\"1,000\", "
        "\"0,00\", \"0,00\", \"01\", \"KG\")"}},
      {BEMATECH,
       false,
       "1",
       "X",
       "UN",
       "T18",
       "2",
       "3",
       " % ",
       "10",
       false,
       1,
       {"Bematech_FI_VendeItemDepartamento(\"1\", \"X\", \"T18\", \"3,000\", \"2,000\", \"0,60\", "
        "\"0,00\", \"01\", \"UN\")"}},
      // 15 % of 0,0333 is 0,004995: rounded once to cents it is no adjustment.
      {BEMATECH,
       false,
       "1",
       "X",
       "UN",
       "T18",
       "1",
       "0,0333",
       "%",
       "15",
       false,
       1,
       {"Bematech_FI_VendeItemDepartamento(\"1\", \"X\", \"T18\", \"0,033\", \"1,000\", \"0,00\", "
        "\"0,00\", \"01\", \"UN\")"}},
      {BEMATECH,
       false,
       "12345678901234",
       "X",
       "UN",
       "N",
       "",
       "3",
       "$",
       "-1,255",
       false,
       1,
       {"Bematech_FI_VendeItemDepartamento(\"12345678901234\", \"X\", \"NN\", \"3,000\", "
        "\"0,000\", "
        "\"0,00\", \"1,26\", \"01\", \"UN\")"}},
      {BEMATECH,
       false,
       "1",
       "X",
       "UN",
       "i",
       "1",
       "2",
       "$",
       "-2",
       false,
       1,
       {"Bematech_FI_VendeItem(\"1\", \"X\", \"i\", \"F\", \"1\", 2, \"2\", \"$\", \"-2\")"}},
      {BEMATECH,
       false,
       "1",
       "X",
       "UN",
       "I",
       "1",
       "2",
       "%",
       "-10,5",
       false,
       1,
       {"Bematech_FI_VendeItem(\"1\", \"X\", \"II\", \"F\", \"1\", 2, \"2\", \"%\", \"-1050\")"}},
      {BEMATECH,
       true,
       "1",
       "X",
       "UNI",
       "N",
       "1",
       "2",
       "%",
       " ",
       true,
       1,
       {"Bematech_FI_UsaUnidadeMedida(\"UN\")",
        "Bematech_FI_VendeItem(\"1\", \"X\", \"SN\", \"F\", \"1\", 2, \"2\", \"%\", \"0000\")"}},
      {SWEDA,
       true,
       "1",
       "X",
       "",
       "I",
       "1",
       "2",
       "$",
       "-1,5",
       false,
       3,
       {"ECF_UsaUnidadeMedida(\"UN\")",
        "ECF_VendeItem(\"1\", \"X\", \"II\", \"F\", \"1\", 2, \"2\", \"$\", \"0000\")",
        "ECF_AcrescimoDescontoItemMFD(\"003\", \"D\", \"$\", \"000150\")"}},
      {SWEDA,
       true,
       "1",
       "X",
       "",
       "I",
       "1",
       "2",
       "%",
       "2,5",
       false,
       12,
       {"ECF_UsaUnidadeMedida(\"UN\")",
        "ECF_VendeItem(\"1\", \"X\", \"II\", \"F\", \"1\", 2, \"2\", \"%\", \"0000\")",
        "ECF_AcrescimoDescontoItemMFD(\"012\", \"A\", \"%\", \"0250\")"}},
      {SWEDA,
       true,
       "1",
       "X",
       "",
       "I",
       "1",
       "2",
       "$",
       "",
       false,
       3,
       {"ECF_UsaUnidadeMedida(\"UN\")",
        "ECF_VendeItem(\"1\", \"X\", \"II\", \"F\", \"1\", 2, \"2\", \"$\", \"0000\")"}},
      {DARUMA,
       true,
       "1",
       "X",
       "",
       "F",
       "1",
       "2",
       "$",
       "5",
       false,
       1,
       {"Daruma_FI_UsaUnidadeMedida(\"UN\")",
        "Daruma_FI_VendeItem(\"1\", \"X\", \"FF\", \"F\", \"1\", 2, \"2\", \"$\", \"-05,00\")"}},
      {DARUMA,
       true,
       "1",
       "X",
       "",
       "I",
       "1",
       "2",
       "$",
       "-3,5",
       true,
       1,
       {"Daruma_FI_VendeItem(\"1\", \"X\", \"ISS\", \"F\", \"1\", 2, \"2\", \"$\", \"03,50\")"}},
      {ELGIN,
       true,
       "1",
       "X",
       "",
       "N",
       "1",
       "2",
       "$",
       "1,00",
       false,
       1,
       {"Elgin_VendeItem(\"1\", \"X\", \"NN\", \"F\", \"1\", 2, \"2\", \"$\", \"1,00\")"}},
      {DATAREGIS,
       true,
       "1",
       "X",
       "LT",
       "18,00",
       "1,5",
       "2",
       "%",
       "",
       false,
       1,
       {"DLLG2_LimpaParams(3)", "DLLG2_AdicionaParam(3, \"AliquotaICMS\", \"t\", 0)",
        "DLLG2_AdicionaParam(3, \"PercentualAliquota\", \"18,00\", 6)",
        "DLLG2_AdicionaParam(3, \"CodProduto\", \"1\", 7)",
        "DLLG2_AdicionaParam(3, \"NomeProduto\", \"X\", 7)",
        "DLLG2_AdicionaParam(3, \"PrecoUnitario\", \"2\", 6)",
        "DLLG2_AdicionaParam(3, \"Quantidade\", \"1,5\", 6)",
        "DLLG2_AdicionaParam(3, \"Unidade\", \"LT\", 7)",
        "DLLG2_ExecutaComando(3, \"VendeItem\")"}},
      {URANO,
       true,
       "1",
       "X",
       "",
       "",
       "1",
       "2",
       "%",
       "-1,5",
       false,
       1,
       {"DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"CodProduto\", \"1\", 7)",
        "DLLG2_AdicionaParam(0, \"NomeProduto\", \"X\", 7)",
        "DLLG2_AdicionaParam(0, \"PrecoUnitario\", \"2\", 6)",
        "DLLG2_AdicionaParam(0, \"Quantidade\", \"1\", 6)",
        "DLLG2_AdicionaParam(0, \"Unidade\", \"UN\", 7)", "DLLG2_ExecutaComando(0, \"VendeItem\")",
        "<V>", "DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"Cancelar\", \"f\", 0)",
        "DLLG2_AdicionaParam(0, \"ValorPercentual\", \"-1,50\", 6)",
        "DLLG2_ExecutaComando(0, \"AcresceItemFiscal\")"}},
  };
  for (const CasoItem &c : casos) {
    SCOPED_TRACE(c.chamadas.back());
    Prepara(c.fabricante, c.mfd);
    EXPECT_TRUE(ecf_VendeItem(c.codigo, c.descricao, c.unidade, 0, c.aliquota, 0, c.quantidade,
                              c.preco, c.tipo, c.valor, 0, c.servico, c.item));
    Lista esperado = c.chamadas;
    esperado.push_back("<V>");
    EXPECT_EQ(duble::Chamadas(), Esperado(esperado));
    EXPECT_TRUE(mensagens.empty());
  }
}

TEST_F(Cupom, VendaDeItemRecusadaNaoChegaAImpressora) {
  const struct {
    int32_t fabricante;
    const char *preco, *quantidade, *tipo, *valor;
    bool servico;
    const char *mensagem;
  } casos[] = {
      {ELGIN, "2", "1", "$", "", true, "Serviço não configurado na ECF."},
      {SWEDA, "2", "1", "$", "", true, "Serviço não configurado na ECF."},
      {URANO, "2", "1", "$", "", true, "Serviço não configurado na ECF."},
      {BEMATECH, "2", "abc", "$", "1", false, PARAMETRO_INVALIDO},  // department sale
      {BEMATECH, "1.000,00", "1", "$", "1", false, PARAMETRO_INVALIDO},
      {BEMATECH, "2", "1", "%", "-1,x", false, PARAMETRO_INVALIDO},  // plain sale
      {SWEDA, "2", "1", "$", "1.000,00", false, PARAMETRO_INVALIDO},
      {DARUMA, "2", "1", "$", "1,2,3", false, PARAMETRO_INVALIDO},
      {ELGIN, "2", "1", "$", "dez", false, PARAMETRO_INVALIDO},
      {DATAREGIS, "2", "1", "$", "5%", false, PARAMETRO_INVALIDO},
  };
  for (const auto &c : casos) {
    SCOPED_TRACE(std::string(NomeDe(c.fabricante)) + " " + c.valor);
    Prepara(c.fabricante);
    ecf_Retorno = 1;
    EXPECT_FALSE(ecf_VendeItem("1", "X", "UN", 0, "I", 0, c.quantidade, c.preco, c.tipo, c.valor, 0,
                               c.servico, 1));
    EXPECT_TRUE(duble::Chamadas().empty());
    EXPECT_EQ(Textos(), Lista{c.mensagem});
    EXPECT_EQ(ecf_Retorno, c.servico ? 1 : -2);
  }
}

TEST_F(Cupom, FalhaDaUnidadeNaoVendeOItem) {
  for (int32_t fabricante : {BEMATECH, SWEDA, DARUMA}) {
    SCOPED_TRACE(NomeDe(fabricante));
    Prepara(fabricante);
    const std::string unidade = fabricante == BEMATECH ? "Bematech_FI_UsaUnidadeMedida"
                                : fabricante == SWEDA  ? "ECF_UsaUnidadeMedida"
                                                       : "Daruma_FI_UsaUnidadeMedida";
    duble::Responde(unidade, {-2, {}, {}});
    EXPECT_FALSE(ecf_VendeItem("1", "X", "UN", 0, "I", 0, "1", "2", "$", "", 0, 0, 1));
    EXPECT_EQ(Chamada(unidade), unidade + "(\"UN\")");
    for (const std::string &c : duble::Chamadas())
      EXPECT_EQ(c.find("VendeItem"), std::string::npos);
    const std::string mensagem = fabricante == SWEDA
                                     ? "Falha ao aplicar a Unidade de Medida do Item."
                                     : std::string(PARAMETRO_INVALIDO) + "\n";
    EXPECT_EQ(Textos(), Lista{mensagem});
  }
}

// ---- Cancellation ------------------------------------------------------------------

TEST_F(Cupom, CancelamentosPorFabricante) {
  const struct {
    int32_t fabricante;
    Lista item, cupom;
  } casos[] = {
      {BEMATECH, {"Bematech_FI_CancelaItemGenerico(\"3\")"}, {"Bematech_FI_CancelaCupom()"}},
      {SWEDA, {"ECF_CancelaItemGenerico(\"3\")"}, {"ECF_CancelaCupom()"}},
      {DARUMA, {"Daruma_FI_CancelaItemGenerico(\"3\")"}, {"Daruma_FI_CancelaCupom()"}},
      {ELGIN, {"Elgin_CancelaItemGenerico(\"3\")"}, {"Elgin_CancelaCupom()"}},
      {DATAREGIS,
       {"DLLG2_LimpaParams(3)", "DLLG2_AdicionaParam(3, \"NumItem\", \"3\", 4)",
        "DLLG2_ExecutaComando(3, \"CancelaItemFiscal\")"},
       {"DLLG2_LimpaParams(3)", "DLLG2_ExecutaComando(3, \"CancelaCupom\")"}},
      {URANO,
       {"DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"NumItem\", \"3\", 4)",
        "DLLG2_ExecutaComando(0, \"CancelaItemFiscal\")"},
       {"DLLG2_LimpaParams(0)", "DLLG2_ExecutaComando(0, \"CancelaCupom\")"}},
  };
  for (const auto &c : casos) {
    SCOPED_TRACE(NomeDe(c.fabricante));
    Prepara(c.fabricante);
    Lista esperado = c.item;
    esperado.push_back("<V>");
    esperado.insert(esperado.end(), c.cupom.begin(), c.cupom.end());
    esperado.push_back("<V>");
    EXPECT_TRUE(ecf_CancelaItemGenerico("3"));
    EXPECT_TRUE(ecf_CancelaCupom());
    EXPECT_EQ(duble::Chamadas(), Esperado(esperado));
  }
  // Unknown manufacturer: no call, the verdict on the code already there.
  Prepara(FAB_DESCONHECIDO);
  ecf_Retorno = -2;
  EXPECT_FALSE(ecf_CancelaItemGenerico("3"));
  EXPECT_FALSE(ecf_CancelaCupom());
  EXPECT_TRUE(duble::Chamadas().empty());
}

// ---- Totalling and payment -------------------------------------------------------------

TEST_F(Cupom, AjusteDoSubtotalNoCanalDllG2SempreComOSinalDaDirecao) {
  const struct {
    const char *direcao, *valor, *enviado;  // null: nothing sent
  } casos[] = {{"A", "-2", "2,00"},         {"D", "2", "-2,00"}, {"D", "-2", "-2,00"},
               {"d", "1.234,5", "1234,50"}, {"D", "0", nullptr}, {"A", "", nullptr}};
  for (const auto &c : casos) {
    SCOPED_TRACE(std::string(c.direcao) + " " + c.valor);
    Prepara(URANO);
    const bool aceito = ecf_IniciaFechamentoCupom(c.direcao, c.valor);
    if (c.enviado) {
      EXPECT_TRUE(aceito);
      EXPECT_EQ(duble::Chamadas(),
                Esperado({"DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"Cancelar\", \"f\", 0)",
                          "DLLG2_AdicionaParam(0, \"ValorAcrescimo\", \"" + std::string(c.enviado) +
                              "\", 6)",
                          "DLLG2_ExecutaComando(0, \"AcresceSubtotal\")", "<V>"}));
    } else {
      // Judged on the last command, which here had failed.
      EXPECT_FALSE(aceito);
      EXPECT_EQ(duble::Chamadas(), Lista{"DLLG2_DefineTimeout(0, 10)"});
      EXPECT_EQ(Textos(), Lista{"Falha de comunicação com ECF.\n"});
    }
  }
}

// Money arguments reach the driver as text with two decimals, rounded half
// away from zero, with their sign: the library does not refuse a negative.
TEST_F(Cupom, PagamentoComDuasCasasArredondadasESeuSinal) {
  const std::pair<tarvic_Moeda, const char *> casos[] = {
      {400050, "40,01"}, {400049, "40,00"}, {-400050, "-40,01"}, {-40, "0,00"}, {-50000, "-5,00"}};
  for (const auto &[valor, texto] : casos) {
    SCOPED_TRACE(valor);
    Prepara(BEMATECH);
    ecf_EfetuaFormaPagto("Dinheiro", valor);
    EXPECT_EQ(duble::Chamadas().at(0),
              "Bematech_FI_EfetuaFormaPagamento(\"Dinheiro\", \"" + std::string(texto) + "\")");
  }
}

TEST_F(Cupom, SubtotalEmDinheiro) {
  Prepara(BEMATECH);
  duble::Responde("Bematech_FI_SubTotal", {1, {"00000000001234"}, {}});
  EXPECT_EQ(ecf_SubtotalCupom(), 123400);
  EXPECT_EQ(duble::Chamadas(), Esperado({"Bematech_FI_SubTotal([14])", "<V>"}));

  duble::Responde("Bematech_FI_SubTotal", {0, {"00000000001234"}, {}});
  EXPECT_EQ(ecf_SubtotalCupom(), 0);
  EXPECT_EQ(Textos(), Lista{"Erro de Comunicação.\n"});
  duble::Responde("Bematech_FI_SubTotal", {1, {"12A4"}, {}});
  EXPECT_EQ(ecf_SubtotalCupom(), 0);

  Prepara(DATAREGIS);
  duble::RespondeSempre("DLLG2_Retorno", {1, {"1.012,34"}, {}});
  EXPECT_EQ(ecf_SubtotalCupom(), 10123400);
  EXPECT_EQ(Chamada("DLLG2_AdicionaParam"),
            "DLLG2_AdicionaParam(3, \"NomeDadoMonetario\", \"TotalDocLiquido\", 7)");

  // No driver to ask: the verdict is taken on the code already there.
  Prepara(FAB_DESCONHECIDO);
  ecf_Retorno = -2;
  EXPECT_EQ(ecf_SubtotalCupom(), 0);
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_EQ(Textos(), Lista{std::string(PARAMETRO_INVALIDO) + "\n"});
}

// ---- Closing text ----------------------------------------------------------------------

TEST_F(Cupom, TextoDeEncerramentoPorEstado) {
  const std::string data = Hoje("ddmmyyyy");
  const struct {
    int32_t fabricante;
    const char *uf, *md5, *mensagem, *cpf;
    bool concessao;
    std::string texto;
  } casos[] = {
      {BEMATECH, "", "", "", "", false, "\n"},
      {BEMATECH, " DF ", "", "", "", false, "\n NOTA LEGAL:  ICMS = 1,23 ISS = 0,00"},
      {ELGIN, "df", " A1B2 ", "  Volte sempre  ", "", false, "MD-5:  A1B2 \nVolte sempre\n"},
      {SWEDA, "DF", "", "", "", true,
       "\nESTABELECIMENTO INCLUÍDO NO PROGRAMA DE\nCONCESSÃO DE CRÉDITOS - LEI nº 4.159/08.\n \x10"
       "BNOTA LEGAL: \x10"
       "N ICMS = 1,23 ISS = 0,00"},
      {DARUMA, "MG", "", "", "", false, "\nMINAS LEGAL: 12345678000190 " + data + " 1234"},
      {BEMATECH, "PB", "", "", "00000000000", false,
       "\nPARAÍBA LEGAL - RECEITA CIDADÃ\nTORPEDO PREMIADO: 12345678000190 " + data + " 1234 "},
      {BEMATECH, "PB", "", "", "12345678909", false,
       "\nPARAÍBA LEGAL - RECEITA CIDADÃ\nTORPEDO PREMIADO: 12345678000190 " + data +
           " 1234 12345678909"},
  };
  for (const auto &c : casos) {
    SCOPED_TRACE(c.texto);
    Prepara(c.fabricante);
    EstadoEcf.UF = c.uf;
    EstadoEcf.PafMd5 = c.md5;
    EstadoEcf.CpfCliente = c.cpf;
    EstadoEcf.ConcessaoDF = c.concessao;
    EstadoEcf.Cnpj = "12345678000190";
    EstadoEcf.vIcmCupom = 12300;
    const std::string prefixo = c.fabricante == BEMATECH ? "Bematech_FI_"
                                : c.fabricante == SWEDA  ? "ECF_"
                                : c.fabricante == DARUMA ? "Daruma_FI_"
                                                         : "Elgin_";
    duble::RespondeSempre(prefixo + "SubTotal", {1, {"00000000001234"}, {}});
    EXPECT_TRUE(ecf_TerminaFechamentoCupom(c.mensagem));
    EXPECT_EQ(Chamada(prefixo + "TerminaFechamentoCupom"),
              prefixo + "TerminaFechamentoCupom(\"" + c.texto + "\")");
  }
}

TEST_F(Cupom, CodigoSmsDoRioComInscricaoLonga) {
  const std::string data = Hoje("ddmmyy");
  const struct {
    const char *ie, *codigo;
  } casos[] = {{"12.345.678-90", "1234567890"}, {"", "00000000"}, {"4567", "00004567"}};
  for (const auto &c : casos) {
    Prepara(BEMATECH);
    set_ieCnpj(c.ie, "");
    EstadoEcf.UF = "RJ";
    EstadoEcf.NumeroCaixaCupom = 7;
    duble::Responde("Bematech_FI_NumeroCupom", {1, {"000123"}, {}});
    EXPECT_TRUE(ecf_TerminaFechamentoCupom(""));
    EXPECT_EQ(
        Chamada("Bematech_FI_TerminaFechamentoCupom"),
        "Bematech_FI_TerminaFechamentoCupom(\"\nCUPOM MANIA, CONCORRA A PRÊMIOS\nENVIE SMS P/ "
        "6789: " +
            std::string(c.codigo) + data +
            "000123007\nPROCON: R da Ajuda 5 RJ (21) "
            "151\nALERJ: R 1º de Março s/n (21) 25881418\")");
  }
}

TEST_F(Cupom, TextoPromocionalDllG2UmaVezEAte240Caracteres) {
  Prepara(DATAREGIS);
  EstadoEcf.UF = "RJ";  // no RJ lines on these printers
  EXPECT_TRUE(ecf_TerminaFechamentoCupom(" Volte sempre "));
  EXPECT_EQ(Chamada("DLLG2_AdicionaParam"),
            "DLLG2_AdicionaParam(3, \"TextoPromocional\", \"Volte sempre\", 7)");

  Prepara(URANO);
  const std::string longa = std::string(239, 'a') + " " + std::string(60, 'b');
  EXPECT_TRUE(ecf_TerminaFechamentoCupom(longa.c_str()));
  EXPECT_EQ(Chamada("DLLG2_AdicionaParam"),
            "DLLG2_AdicionaParam(0, \"TextoPromocional\", \"" + std::string(239, 'a') + "\", 7)");
}

TEST_F(Cupom, PoucoPapelAvisadoDepoisDoEncerramento) {
  // BEMATECH: a failed closing is told first, then the pending warning.
  Prepara(BEMATECH);
  EstadoEcf.PoucoPapel = true;
  duble::Responde("Bematech_FI_TerminaFechamentoCupom", {0, {}, {}});
  EXPECT_FALSE(ecf_TerminaFechamentoCupom(""));
  EXPECT_EQ(Textos(), (Lista{"Erro de Comunicação.\n", POUCO_PAPEL}));
  EXPECT_FALSE(EstadoEcf.PoucoPapel);

  // URANO: the printer's own paper sensor, read by the verdict of the closing.
  Prepara(URANO);
  duble::Responde("DLLG2_Retorno", {1, {"1"}, {}});  // "SensorPoucoPapel"
  EXPECT_TRUE(ecf_TerminaFechamentoCupom(""));
  EXPECT_EQ(Textos(), Lista{POUCO_PAPEL});
  EXPECT_FALSE(EstadoEcf.PoucoPapel);
}

}  // namespace
