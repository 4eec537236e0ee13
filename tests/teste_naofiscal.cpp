#include "comum.h"

namespace {

using Lista = std::vector<std::string>;

const char *const FALHA_DLLG2 = "Falha de comunicação com ECF.\n";

class NaoFiscal : public TesteEcf {
 protected:
  // Selects the manufacturer and learns the calls of an approving verdict.
  void Prepara(int32_t fabricante) {
    duble::Reinicia();
    Fabricante(fabricante);
    CanalDllG2 = 3;
    ecf_Retorno = RetornoDllG2 = 1;
    VerificaRetorno(false);
    veredito_ = duble::Chamadas();
    duble::Reinicia();
    ecf_Retorno = RetornoDllG2 = 0;
    mensagens.clear();
  }
  // "<V>" stands for the verdict's calls.
  Lista Esperado(const Lista &chamadas) const {
    Lista r;
    for (const std::string &c : chamadas)
      if (c == "<V>")
        r.insert(r.end(), veredito_.begin(), veredito_.end());
      else
        r.push_back(c);
    return r;
  }
  std::string Canal() const { return EstadoEcf.Fabricante == URANO ? "0" : "3"; }
  std::string Param(const std::string &nome, const std::string &valor, int tipo) const {
    return "DLLG2_AdicionaParam(" + Canal() + ", \"" + nome + "\", \"" + valor + "\", " +
           std::to_string(tipo) + ")";
  }
  std::string Comando(const std::string &comando) const {
    return "DLLG2_ExecutaComando(" + Canal() + ", \"" + comando + "\")";
  }
  std::string Limpa() const { return "DLLG2_LimpaParams(" + Canal() + ")"; }
  // The read of the codes 0 to n-1 of a DLLG2 list, each answered.
  Lista LeCodigos(const std::string &param, const std::string &comando, const std::string &valor,
                  int tamanho, int n) const {
    Lista r;
    for (int codigo = 0; codigo < n; ++codigo) {
      r.push_back(Limpa());
      r.push_back(Param(param, std::to_string(codigo), 4));
      r.push_back(Comando(comando));
      r.push_back("DLLG2_Retorno(" + Canal() + ", 0, \"" + valor + "\", 0, [" +
                  std::to_string(tamanho) + "], " + std::to_string(tamanho) + ")");
    }
    return r;
  }
  // The answers of DLLG2_Retorno, in order.
  static void Respostas(const Lista &textos) {
    for (const std::string &t : textos) duble::Responde("DLLG2_Retorno", {1, {t}, {}});
  }
  // The commands sent, without the paper reads of the verdicts.
  static Lista Comandos() {
    Lista r;
    for (const std::string &c : duble::ChamadasDe("DLLG2_ExecutaComando")) {
      const size_t aspas = c.find('"');
      const std::string comando = c.substr(aspas + 1, c.rfind('"') - aspas - 1);
      if (comando != "LeIndicador") r.push_back(comando);
    }
    return r;
  }

 private:
  Lista veredito_;
};

Lista operator+(Lista a, const Lista &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// An entry of the BEMATECH and ELGIN totaliser lists: the name is the 19
// characters from the 25th on.
std::string Entrada(const std::string &nome) {
  return std::string(24, '0') + nome + std::string(19 - nome.size(), ' ');
}

// ---- Receipts on the drivers of their own ---------------------------------------

TEST_F(NaoFiscal, RecebimentoProcuraOTotalizadorNaListaDaImpressora) {
  const std::string lista = Entrada("Sangria") + "," + Entrada("Suprimento") + "," +
                            Entrada("Conta Assinada") + "," + Entrada("Outro");
  const std::string listaSweda = "Sangria            ,Conta Assinada     ,Outro";
  const struct {
    int32_t fabricante;
    const char *totalizador;
    Lista respostas;  // of the list read, then of the index
    Lista chamadas;
  } casos[] = {
      {BEMATECH,
       "conta assinada",
       {lista},
       {"Bematech_FI_VerificaRecebimentoNaoFiscal([2200])",
        "Bematech_FI_RecebimentoNaoFiscal(\"03\", \"12,50\", \" Cartao \")"}},
      // Not trimmed before the comparison: passed on by name.
      {BEMATECH,
       " Conta Assinada",
       {lista},
       {"Bematech_FI_VerificaRecebimentoNaoFiscal([2200])",
        "Bematech_FI_RecebimentoNaoFiscal(\" Conta Assinada\", \"12,50\", \" Cartao \")"}},
      {ELGIN,
       "CONTA ASSINADA",
       {lista},
       {"Elgin_VerificaRecebimentoNaoFiscal([2200])",
        "Elgin_RecebimentoNaoFiscal(\"02\", \"12,50\", \" Cartao \")"}},
      {ELGIN,
       "Outro",
       {lista},
       {"Elgin_VerificaRecebimentoNaoFiscal([2200])",
        "Elgin_RecebimentoNaoFiscal(\"03\", \"12,50\", \" Cartao \")"}},
      {SWEDA,
       " conta assinada ",
       {listaSweda, "02"},
       {"ECF_VerificaTotalizadoresNaoFiscaisMFD([599])",
        "ECF_RetornaIndiceComprovanteNaoFiscal(\"Conta Assinada\", [2])",
        "ECF_RecebimentoNaoFiscal(\"02\", \"12,50\", \" Cartao \")"}},
      {SWEDA,
       " Aluguel ",
       {listaSweda},
       {"ECF_VerificaTotalizadoresNaoFiscaisMFD([599])",
        "ECF_RetornaIndiceComprovanteNaoFiscal(\" Aluguel \", [2])",
        "ECF_RecebimentoNaoFiscal(\"  \", \"12,50\", \" Cartao \")"}},
      {DARUMA,
       " conta ",
       {},
       {"Daruma_FI_RecebimentoNaoFiscal(\" conta \", \"12,50\", \" Cartao \")"}},
  };
  for (const auto &caso : casos) {
    SCOPED_TRACE(std::string(NomeDe(caso.fabricante)) + " " + caso.totalizador);
    Prepara(caso.fabricante);
    if (!caso.respostas.empty()) {
      const std::string leitura = caso.chamadas[0].substr(0, caso.chamadas[0].find('('));
      duble::Responde(leitura, {1, {caso.respostas[0]}, {}});
    }
    if (caso.respostas.size() > 1)
      duble::Responde("ECF_RetornaIndiceComprovanteNaoFiscal", {1, {caso.respostas[1]}, {}});
    EXPECT_TRUE(ecf_RecebimentoNaoFiscal(caso.totalizador, 125000, " Cartao "));
    EXPECT_EQ(duble::Chamadas(), Esperado(caso.chamadas + Lista{"<V>"}));
    EXPECT_TRUE(mensagens.empty());
  }
}

TEST_F(NaoFiscal, SemImpressoraReconhecidaNadaEImpressoENadaDaCerto) {
  Fabricante(FAB_DESCONHECIDO);
  ecf_Retorno = 1;  // left by an earlier export
  EXPECT_FALSE(ecf_RecebimentoNaoFiscal("X", 10000, "Dinheiro"));
  EXPECT_EQ(ecf_Retorno, 0);
  ecf_Retorno = 1;
  EXPECT_FALSE(ecf_Suprimento(10000));
  ecf_Retorno = 1;
  EXPECT_FALSE(ecf_Sangria(10000));
  ecf_Retorno = 1;
  EXPECT_FALSE(ecf_AbreComprovanteNaoFiscalVinculado("Cartao", 0, 0));
  ecf_Retorno = 1;
  EXPECT_FALSE(ecf_UsaComprovanteNaoFiscalVinculado("x"));
  ecf_Retorno = 1;
  EXPECT_FALSE(ecf_FechaComprovanteNaoFiscalVinculado());
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_EQ(Textos(), Lista(6, "Erro de Comunicação.\n"));
}

// ---- Receipts on the DLLG2 channel ---------------------------------------------

TEST_F(NaoFiscal, DllG2TotalizadorSemPagamentoNaoPagaCupom) {
  Prepara(DATAREGIS);
  Respostas({"ABERTURA", " Conta Assinada ", "N", "Dinheiro"});
  EXPECT_TRUE(ecf_RecebimentoNaoFiscal(" CONTA ASSINADA ", 105000, " dinheiro"));
  EXPECT_EQ(
      duble::Chamadas(),
      Esperado(LeCodigos("CodNaoFiscal", "LeNaoFiscal", "NomeNaoFiscal", 30, 2) +
               Lista{"DLLG2_Retorno(3, 0, \"TipoNaoFiscal\", 0, [5], 5)"} +
               LeCodigos("CodMeioPagamentoProgram", "LeMeioPagamento", "NomeMeioPagamento", 16, 1) +
               Lista{Limpa(), Comando("AbreCupomNaoFiscal"), "<V>", Limpa(),
                     Param("NomeNaoFiscal", "Conta Assinada", 7), Param("Valor", "10,50", 6),
                     Comando("EmiteItemNaoFiscal"), "<V>", "<V>", Limpa(),
                     Comando("EncerraDocumento"), "<V>"}));
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(NaoFiscal, UranoSangriaPagaEmDinheiroNoCanalZero) {
  Prepara(URANO);
  Respostas({"SUPRIMENTO", "Sangria", "", "Cheque", "DINHEIRO"});
  EXPECT_TRUE(ecf_Sangria(500000));
  EXPECT_EQ(Comandos(),
            (Lista{"LeNaoFiscal", "LeNaoFiscal", "LeMeioPagamento", "LeMeioPagamento",
                   "AbreCupomNaoFiscal", "EmiteItemNaoFiscal", "PagaCupom", "EncerraDocumento"}));
  Lista parametros;
  for (const std::string &c : duble::ChamadasDe("DLLG2_AdicionaParam"))
    if (c.find("\"Valor") != std::string::npos || c.find("\"Nome") != std::string::npos)
      if (c.find("NomeIndicador") == std::string::npos) parametros.push_back(c);
  EXPECT_EQ(parametros,
            (Lista{Param("NomeNaoFiscal", "Sangria", 7), Param("Valor", "50,00", 6),
                   Param("NomeMeioPagamento", "DINHEIRO", 7), Param("Valor", "50,00", 6)}));
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(NaoFiscal, DllG2NomeNaoProgramadoNaoImprimeNada) {
  Prepara(DATAREGIS);
  // Code 3 does not answer: its name is not asked for.
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  duble::RespondeSempre("DLLG2_Retorno", {1, {"OUTRO"}, {}});
  EXPECT_FALSE(ecf_RecebimentoNaoFiscal("Aluguel d'Abril", 10000, "Dinheiro"));
  EXPECT_EQ(Textos(), Lista{"Totalizador Não Fiscal não configurado no ECF: 'Aluguel d''Abril'"});
  // Codes 0 to 14 only, and never the printing.
  EXPECT_EQ(Comandos(), Lista(15, "LeNaoFiscal"));
  EXPECT_EQ(duble::ChamadasDe("DLLG2_Retorno").size(), 14u);
  EXPECT_EQ(duble::ChamadasDe("DLLG2_AdicionaParam").back(), Param("CodNaoFiscal", "14", 4));

  Prepara(URANO);
  Respostas({"Aluguel"});
  duble::RespondeSempre("DLLG2_Retorno", {1, {"Cheque"}, {}});
  mensagens.clear();
  EXPECT_THROW(tarvic::ecf_RecebimentoNaoFiscal("aluguel", 10000, " Cartão "), AbortoSilencioso);
  EXPECT_EQ(Textos(), Lista{"Meio de Pagamento não configurado no ECF: 'Cartão'"});
  EXPECT_EQ(Comandos().back(), "LeMeioPagamento");
  EXPECT_EQ(duble::ChamadasDe("DLLG2_AdicionaParam").back(),
            Param("CodMeioPagamentoProgram", "14", 4));
}

TEST_F(NaoFiscal, DllG2FalhaNoMeioDeixaODocumentoComoFicou) {
  Prepara(DATAREGIS);
  Respostas({"Suprimento", "", "Dinheiro"});
  // LeNaoFiscal, LeMeioPagamento, AbreCupomNaoFiscal and the two paper reads
  // of its verdict answer; EmiteItemNaoFiscal does not.
  for (int i = 0; i < 5; ++i) duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  EXPECT_FALSE(ecf_Suprimento(10000));
  // The step, the final check of the receipt and the supply's own check each
  // tell it.
  EXPECT_EQ(Textos(), Lista(3, FALHA_DLLG2));
  EXPECT_EQ(Comandos(),
            (Lista{"LeNaoFiscal", "LeMeioPagamento", "AbreCupomNaoFiscal", "EmiteItemNaoFiscal"}));
}

// ---- Supply and withdrawal -------------------------------------------------------

TEST_F(NaoFiscal, SuprimentoESangriaNosDriversProprios) {
  const struct {
    int32_t fabricante;
    const char *suprimento, *sangria;
  } casos[] = {
      {BEMATECH, "Bematech_FI_Suprimento(\"0,05\", NULL)", "Bematech_FI_Sangria(\"1234,57\")"},
      {SWEDA, "ECF_Suprimento(\"0,05\", \"\")", "ECF_Sangria(\"1234,57\")"},
      {DARUMA, "Daruma_FI_Suprimento(\"0,05\", NULL)", "Daruma_FI_Sangria(\"1234,57\")"},
      {ELGIN, "Elgin_Suprimento(\"0,05\", NULL)", "Elgin_Sangria(\"1234,57\")"},
  };
  for (const auto &caso : casos) {
    SCOPED_TRACE(NomeDe(caso.fabricante));
    Prepara(caso.fabricante);
    EXPECT_TRUE(ecf_Suprimento(500));
    EXPECT_TRUE(ecf_Sangria(12345678));
    EXPECT_EQ(duble::Chamadas(), Esperado({caso.suprimento, "<V>", caso.sangria, "<V>"}));
  }
  Prepara(BEMATECH);
  duble::Responde("Bematech_FI_Sangria", {-6, {}, {}});
  EXPECT_FALSE(ecf_Sangria(10000));
  EXPECT_EQ(ecf_Retorno, -6);
  EXPECT_EQ(Textos(), Lista{"Impressora desligada ou cabo de comunicação desconectado.\n"});
}

// ---- Linked receipts -------------------------------------------------------------

TEST_F(NaoFiscal, VinculadoAbreUsaEFechaNosDriversProprios) {
  const struct {
    int32_t fabricante;
    const char *prefixo;
  } casos[] = {{BEMATECH, "Bematech_FI_"}, {ELGIN, "Elgin_"}};
  for (const auto &caso : casos) {
    SCOPED_TRACE(NomeDe(caso.fabricante));
    Prepara(caso.fabricante);
    const std::string p = caso.prefixo;
    EXPECT_TRUE(ecf_AbreComprovanteNaoFiscalVinculado(" Cartao ", 0, 0));
    EXPECT_TRUE(ecf_AbreComprovanteNaoFiscalVinculado("Cartao", 105000, 123));
    EXPECT_TRUE(ecf_UsaComprovanteNaoFiscalVinculado(nullptr));
    EXPECT_TRUE(ecf_UsaComprovanteNaoFiscalVinculado(" via do cliente"));
    EXPECT_TRUE(ecf_FechaComprovanteNaoFiscalVinculado());
    EXPECT_EQ(duble::Chamadas(),
              Esperado({p + "AbreComprovanteNaoFiscalVinculado(\" Cartao \", \"\", \"\")", "<V>",
                        p + "AbreComprovanteNaoFiscalVinculado(\"Cartao\", \"10,50\", \"123\")",
                        "<V>", p + "UsaComprovanteNaoFiscalVinculado(\" \")", "<V>",
                        p + "UsaComprovanteNaoFiscalVinculado(\" via do cliente\")", "<V>",
                        p + "FechaComprovanteNaoFiscalVinculado()", "<V>"}));
  }
  for (int32_t fabricante : {SWEDA, DARUMA}) {
    SCOPED_TRACE(NomeDe(fabricante));
    Prepara(fabricante);
    const std::string p = fabricante == SWEDA ? "ECF_" : "Daruma_FI_";
    EXPECT_TRUE(ecf_AbreComprovanteNaoFiscalVinculado("Cartao", 10000, 7));
    EXPECT_TRUE(ecf_UsaComprovanteNaoFiscalVinculado(""));
    EXPECT_EQ(duble::Chamadas(),
              Esperado({p + "AbreComprovanteNaoFiscalVinculado(\"Cartao\", \"1,00\", \"7\")", "<V>",
                        p + "UsaComprovanteNaoFiscalVinculado(\" \")", "<V>"}));
  }
}

TEST_F(NaoFiscal, VinculadoFechadoNaoFechaDeNovo) {
  for (int32_t fabricante : {SWEDA, DARUMA}) {
    SCOPED_TRACE(NomeDe(fabricante));
    Prepara(fabricante);
    const std::string p = fabricante == SWEDA ? "ECF_" : "Daruma_FI_";
    duble::RespondeSempre(p + "StatusComprovanteNaoFiscalVinculado", {1, {"0"}, {}});
    ecf_Retorno = -1;
    EXPECT_TRUE(ecf_FechaComprovanteNaoFiscalVinculado());
    EXPECT_EQ(ecf_Retorno, 1);
    EXPECT_TRUE(duble::ChamadasDe(p + "FechaComprovanteNaoFiscalVinculado").empty());

    duble::RespondeSempre(p + "StatusComprovanteNaoFiscalVinculado", {1, {"1"}, {}});
    duble::Responde(p + "FechaComprovanteNaoFiscalVinculado", {0, {}, {}});
    EXPECT_FALSE(ecf_FechaComprovanteNaoFiscalVinculado());
    EXPECT_EQ(duble::ChamadasDe(p + "FechaComprovanteNaoFiscalVinculado"),
              Lista{p + "FechaComprovanteNaoFiscalVinculado()"});
    EXPECT_EQ(ecf_Retorno, 0);
  }
}

TEST_F(NaoFiscal, VinculadoNoCanalDllG2) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    SCOPED_TRACE(NomeDe(fabricante));
    Prepara(fabricante);
    EXPECT_TRUE(ecf_AbreComprovanteNaoFiscalVinculado(" Cartão ", 0, 0));
    EXPECT_TRUE(ecf_AbreComprovanteNaoFiscalVinculado("Cartão", 105000, 123));
    EXPECT_TRUE(ecf_UsaComprovanteNaoFiscalVinculado(""));
    EXPECT_TRUE(ecf_FechaComprovanteNaoFiscalVinculado());
    EXPECT_EQ(duble::Chamadas(),
              Esperado({Limpa(), Param("COO", "", 5), Param("NomeMeioPagamento", " Cartão ", 7),
                        Param("Valor", "", 6), Comando("AbreCreditoDebito"), "<V>", Limpa(),
                        Param("COO", "123", 5), Param("NomeMeioPagamento", "Cartão", 7),
                        Param("Valor", "10,50", 6), Comando("AbreCreditoDebito"), "<V>", Limpa(),
                        Param("TextoLivre", " ", 7), Comando("ImprimeTexto"), "<V>", Limpa(),
                        Comando("EncerraDocumento"), "<V>"}));
  }
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  EXPECT_FALSE(ecf_UsaComprovanteNaoFiscalVinculado("x"));
  EXPECT_EQ(Textos(), Lista{FALHA_DLLG2});
}

}  // namespace
