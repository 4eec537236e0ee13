// Payment methods, non-fiscal totalisers and management reports.
#include "comum.h"

using Chamadas = std::vector<std::string>;

namespace {

// The calls of the library's own work, without those of the verdict: the
// status bytes and status message of the FI drivers, and the time-out and
// paper indicators read after a DLLG2 command.
Chamadas Proprias() {
  Chamadas r;
  for (const std::string &c : duble::Chamadas()) {
    if (c.find("RetornoImpressora(") != std::string::npos ||
        c.rfind("ECF_ObterMensagemStatus", 0) == 0 || c.rfind("DLLG2_DefineTimeout", 0) == 0 ||
        c.find("Indicador") != std::string::npos)
      continue;
    r.push_back(c);
  }
  // A DLLG2 parameter list cleared and never used belonged to those reads.
  Chamadas sem;
  for (size_t i = 0; i < r.size(); ++i) {
    const bool limpa = r[i].rfind("DLLG2_LimpaParams", 0) == 0;
    if (limpa && (i + 1 == r.size() || r[i + 1].rfind("DLLG2_LimpaParams", 0) == 0)) continue;
    sem.push_back(r[i]);
  }
  return sem;
}

// The reading of the printer's "EstadoFiscal" on channel `c`.
Chamadas LeEstadoFiscal(const std::string &c) {
  return {"DLLG2_LimpaParams(" + c + ")",
          "DLLG2_AdicionaParam(" + c + ", \"NomeInteiro\", \"EstadoFiscal\", 7)",
          "DLLG2_ExecutaComando(" + c + ", \"LeInteiro\")",
          "DLLG2_Retorno(" + c + ", 0, \"ValorInteiro\", 0, [50], 50)"};
}

Chamadas operator+(Chamadas a, const Chamadas &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Preenche(const std::string &texto, size_t largura) {
  return texto + std::string(largura - texto.size(), ' ');
}

const int32_t FAMILIA_FI[] = {BEMATECH, SWEDA, DARUMA, ELGIN};
const int32_t FAMILIA_DLLG2[] = {DATAREGIS, URANO};

}  // namespace

class Programacao : public TesteEcf {
 protected:
  // DATAREGIS on channel 3, URANO on its channel 0.
  std::string Canal(int32_t fabricante) {
    Fabricante(fabricante);
    CanalDllG2 = 3;
    return fabricante == URANO ? "0" : "3";
  }
  void EstadoFiscal(int32_t valor) {
    duble::Responde("DLLG2_Retorno", {1, {std::to_string(valor)}, {}});
  }
};

// ---- Payment methods ------------------------------------------------------------

TEST_F(Programacao, FormasSwedaCadaItemComoVeioECartaoVinculado) {
  Fabricante(SWEDA);
  ecf_Retorno = 1;
  duble::RespondeSempre("ECF_ProgramaFormaPagamentoMFD", {0, {}, {}});
  EXPECT_TRUE(ecf_ProgramaFormasPagamento("  Dinheiro;cartao ;;Vale  "));
  EXPECT_EQ(Proprias(), (Chamadas{"ECF_ProgramaFormaPagamentoMFD(\"Dinheiro\", \"0\")",
                                  "ECF_ProgramaFormaPagamentoMFD(\"cartao \", \"1\")",
                                  "ECF_ProgramaFormaPagamentoMFD(\"\", \"0\")"}));
  EXPECT_EQ(ecf_Retorno, 1) << "the programming codes are not kept";
}

TEST_F(Programacao, FormasSemNadaAProgramarOuSemComoProgramar) {
  for (int32_t f : {BEMATECH, FAB_DESCONHECIDO, FAB_REJEITADO}) {
    Fabricante(f);
    ecf_Retorno = 1;
    EXPECT_FALSE(ecf_ProgramaFormasPagamento("Dinheiro;"));
    EXPECT_EQ(ecf_Retorno, -2);
  }
  for (int32_t f : FAMILIA_FI) {
    Fabricante(f);
    ecf_Retorno = 7;
    EXPECT_FALSE(ecf_ProgramaFormasPagamento(" \t "));
    EXPECT_FALSE(ecf_ProgramaFormasPagamento(nullptr));
    EXPECT_EQ(ecf_Retorno, 7);
  }
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Programacao, FormasDarumaRecebemALista) {
  Fabricante(DARUMA);
  EXPECT_TRUE(ecf_ProgramaFormasPagamento(" Ticket;Cheque;Resto "));
  EXPECT_EQ(Proprias(), Chamadas{"Daruma_FI_ProgramaFormasPagamento(\"Ticket;Cheque;Resto\")"});
  duble::Responde("Daruma_FI_ProgramaFormasPagamento", {-2, {}, {}});
  EXPECT_FALSE(ecf_ProgramaFormasPagamento("X;"));
  EXPECT_EQ(Textos(), Chamadas{"Parâmetro inválido na função.\n"});
}

TEST_F(Programacao, FormasElginSoAsQueFaltam) {
  Fabricante(ELGIN);
  // Entries of the answer start with the name in 16 columns.
  duble::Responde(
      "Elgin_VerificaFormasPagamentoMFD",
      {1, {Preenche("Dinheiro", 16) + "0000000000," + Preenche("Cheque", 16) + "01"}, {}});
  EXPECT_TRUE(ecf_ProgramaFormasPagamento(";CHEQUE; Cheque ;dinheiro;DINHEIRO;Ticket;Sobra"));
  EXPECT_EQ(Proprias(), (Chamadas{"Elgin_VerificaFormasPagamentoMFD([919])",
                                  "Elgin_ProgramaFormaPagamentoMFD(\"Cheque\", \"1\")",
                                  "Elgin_ProgramaFormaPagamentoMFD(\"dinheiro\", \"1\")",
                                  "Elgin_ProgramaFormaPagamentoMFD(\"Ticket\", \"1\")"}));
}

TEST_F(Programacao, FormasElginSemLeituraNadaProgramam) {
  Fabricante(ELGIN);
  duble::Responde("Elgin_VerificaFormasPagamentoMFD", {0, {}, {}});
  EXPECT_FALSE(ecf_ProgramaFormasPagamento("Ticket;"));
  EXPECT_EQ(Proprias(), Chamadas{"Elgin_VerificaFormasPagamentoMFD([919])"});
  // The failed read is judged again as the result.
  EXPECT_EQ(Textos(), (Chamadas{"Erro de Comunicação.\n", "Erro de Comunicação.\n"}));

  // A printer without methods: everything is programmed.
  duble::Reinicia();
  mensagens.clear();
  EXPECT_TRUE(ecf_ProgramaFormasPagamento("Ticket;"));
  EXPECT_EQ(Proprias(), (Chamadas{"Elgin_VerificaFormasPagamentoMFD([919])",
                                  "Elgin_ProgramaFormaPagamentoMFD(\"Ticket\", \"1\")"}));
}

TEST_F(Programacao, FormasDllG2LidasEDefinidasPeloNome) {
  for (int32_t f : FAMILIA_DLLG2) {
    duble::Reinicia();
    const std::string c = Canal(f);
    duble::Responde("DLLG2_Retorno", {1, {"Dinheiro"}, {}});
    duble::Responde("DLLG2_Retorno", {1, {"Cartao Credito"}, {}});
    duble::Responde("DLLG2_Retorno", {0, {"Perdido"}, {}});  // not read: not known
    EXPECT_TRUE(ecf_ProgramaFormasPagamento("Credito;dinheiro; ;Perdido;Sobra"));
    Chamadas esperadas;
    for (int codigo = 0; codigo <= 20; ++codigo)
      esperadas =
          esperadas + Chamadas{"DLLG2_LimpaParams(" + c + ")",
                               "DLLG2_AdicionaParam(" + c + ", \"CodMeioPagamentoProgram\", \"" +
                                   std::to_string(codigo) + "\", 4)",
                               "DLLG2_ExecutaComando(" + c + ", \"LeMeioPagamento\")",
                               "DLLG2_Retorno(" + c + ", 0, \"NomeMeioPagamento\", 0, [16], 16)"};
    // "Credito" is the second word of a known name; cash is never known.
    for (const char *nome : {"dinheiro", "Perdido"})
      esperadas =
          esperadas +
          Chamadas{"DLLG2_LimpaParams(" + c + ")",
                   "DLLG2_AdicionaParam(" + c + ", \"PermiteVinculado\", \"t\", 0)",
                   "DLLG2_AdicionaParam(" + c + ", \"NomeMeioPagamento\", \"" + nome + "\", 7)",
                   "DLLG2_ExecutaComando(" + c + ", \"DefineMeioPagamento\")"};
    EXPECT_EQ(Proprias(), esperadas) << f;
  }
}

TEST_F(Programacao, FormasDllG2JulgamOUltimoComando) {
  Canal(DATAREGIS);
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::RespondeSempre("DLLG2_ExecutaComando", {0, {}, {}});
  EXPECT_FALSE(ecf_ProgramaFormasPagamento("Ticket;"));
  EXPECT_EQ(Textos(), Chamadas{"Falha de comunicação com ECF.\n"});
}

// ---- Non-fiscal totalisers ----------------------------------------------------------

TEST_F(Programacao, TotalizadorFiPeloIndice) {
  const char *funcoes[] = {
      "Bematech_FI_NomeiaTotalizadorNaoSujeitoIcms", "ECF_NomeiaTotalizadorNaoSujeitoIcms",
      "Daruma_FI_NomeiaTotalizadorNaoSujeitoIcms", "Elgin_NomeiaTotalizadorNaoSujeitoIcms"};
  for (int i = 0; i < 4; ++i) {
    duble::Reinicia();
    Fabricante(FAMILIA_FI[i]);
    EXPECT_TRUE(ecf_NomeiaTotalizadorNaoFiscal(3, " Abertura"));
    EXPECT_EQ(Proprias(), Chamadas{std::string(funcoes[i]) + "(3, \" Abertura\")"});
    duble::Responde(funcoes[i], {-1, {}, {}});
    EXPECT_FALSE(ecf_NomeiaTotalizadorNaoFiscal(4, "Recebimento"));
    EXPECT_EQ(ecf_Retorno, -1);
  }
  EXPECT_EQ(mensagens.size(), 3u) << "SWEDA speaks through its status message";
}

TEST_F(Programacao, TotalizadorDllG2SoQuandoFalta) {
  const std::string c = Canal(URANO);
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});  // code 1: nothing there
  duble::Responde("DLLG2_Retorno", {1, {"SANGRIA"}, {}});
  duble::Responde("DLLG2_Retorno", {1, {"ABERTURA"}, {}});
  EXPECT_TRUE(ecf_NomeiaTotalizadorNaoFiscal(9, " Abertura "));
  const Chamadas leituras = Proprias();
  ASSERT_EQ(leituras.size(), 21u * 3 + 20);
  EXPECT_EQ(Chamadas(leituras.begin(), leituras.begin() + 7),
            (Chamadas{"DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"CodNaoFiscal\", \"0\", 4)",
                      "DLLG2_ExecutaComando(0, \"LeNaoFiscal\")",
                      "DLLG2_Retorno(0, 0, \"NomeNaoFiscal\", 0, [30], 30)", "DLLG2_LimpaParams(0)",
                      "DLLG2_AdicionaParam(0, \"CodNaoFiscal\", \"1\", 4)",
                      "DLLG2_ExecutaComando(0, \"LeNaoFiscal\")"}));
  EXPECT_EQ(leituras.back(), "DLLG2_Retorno(0, 0, \"NomeNaoFiscal\", 0, [30], 30)");

  duble::Reinicia();
  EXPECT_TRUE(ecf_NomeiaTotalizadorNaoFiscal(9, "Recebimento"));
  const Chamadas definicao = Proprias();
  EXPECT_EQ(Chamadas(definicao.end() - 3, definicao.end()),
            (Chamadas{"DLLG2_LimpaParams(0)",
                      "DLLG2_AdicionaParam(0, \"NomeNaoFiscal\", \"Recebimento\", 7)",
                      "DLLG2_ExecutaComando(0, \"DefineNaoFiscal\")"}));
  EXPECT_TRUE(mensagens.empty());
}

// ---- Linked receipt and report open? ---------------------------------------------------

TEST_F(Programacao, StatusSwedaEDarumaPeloCodigoEPeloBuffer) {
  struct Caso {
    int32_t fabricante;
    const char *funcao;
    bool (*status)();
  } casos[] = {
      {SWEDA, "ECF_StatusComprovanteNaoFiscalVinculado",
       tarvic::ecf_StatusComprovanteNaoFiscalVinculado},
      {DARUMA, "Daruma_FI_StatusComprovanteNaoFiscalVinculado",
       tarvic::ecf_StatusComprovanteNaoFiscalVinculado},
      {SWEDA, "ECF_StatusRelatorioGerencial", tarvic::ecf_StatusRelatorioGerencial},
      {DARUMA, "Daruma_FI_StatusRelatorioGerencial", tarvic::ecf_StatusRelatorioGerencial},
  };
  for (const Caso &c : casos) {
    duble::Reinicia();
    Fabricante(c.fabricante);
    ecf_Retorno = 5;
    duble::Responde(c.funcao, {1, {" 1"}, {}});
    duble::Responde(c.funcao, {0, {"1"}, {}});
    duble::Responde(c.funcao, {1, {"0"}, {}});
    EXPECT_TRUE(c.status()) << c.funcao;
    EXPECT_FALSE(c.status()) << c.funcao;
    EXPECT_FALSE(c.status()) << c.funcao;
    EXPECT_EQ(duble::Chamadas(), Chamadas(3, std::string(c.funcao) + "([2])"));
    EXPECT_EQ(ecf_Retorno, 5);
  }
  for (int32_t f : {BEMATECH, ELGIN, FAB_DESCONHECIDO}) {
    Fabricante(f);
    duble::Reinicia();
    EXPECT_FALSE(ecf_StatusComprovanteNaoFiscalVinculado());
    EXPECT_FALSE(ecf_StatusRelatorioGerencial());
    EXPECT_TRUE(duble::Chamadas().empty());
  }
}

TEST_F(Programacao, StatusDllG2PeloEstadoFiscal) {
  struct Caso {
    int32_t estado;
    bool vinculado, relatorio;
  } casos[] = {{64, true, false}, {192, true, false}, {96, false, true},
               {32, false, true}, {48, false, false}, {-64, false, false}};
  for (const Caso &c : casos) {
    duble::Reinicia();
    const std::string canal = Canal(URANO);
    EstadoFiscal(c.estado);
    EXPECT_EQ(ecf_StatusComprovanteNaoFiscalVinculado() != 0, c.vinculado) << c.estado;
    EstadoFiscal(c.estado);
    EXPECT_EQ(ecf_StatusRelatorioGerencial() != 0, c.relatorio) << c.estado;
    EXPECT_EQ(duble::Chamadas(), LeEstadoFiscal(canal) + LeEstadoFiscal(canal));
  }
}

// ---- Finding a report -------------------------------------------------------------------

TEST_F(Programacao, VerificaBematechSoComMfd) {
  Fabricante(BEMATECH);
  std::string lista;
  for (int i = 1; i <= 30; ++i)
    lista += FormataInteiro(i, 4) + Preenche(i == 2 ? "Meios Pagto." : i == 5 ? "" : "X", 17) + ",";
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Meios"), -1);
  EXPECT_TRUE(duble::Chamadas().empty());

  EstadoEcf.TipoMfd = true;
  duble::RespondeSempre("Bematech_FI_VerificaRelatorioGerencialMFD", {1, {lista}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Meios"), 2);
  EXPECT_EQ(EstadoEcf.ContextoMensagem, "Situação em VerificaRelatorioGerencial.");
  EXPECT_EQ(ecf_VerificaRelatorioGerencial(""), 5) << "the first empty slot";
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Y"), -1);
  EXPECT_EQ(duble::Chamadas(), Chamadas(3, "Bematech_FI_VerificaRelatorioGerencialMFD([659])"));
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Programacao, VerificaSwedaPeloIndiceDaImpressora) {
  Fabricante(SWEDA);
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("  "), 1);
  EXPECT_TRUE(duble::Chamadas().empty());
  std::string lista = "04" + Preenche("Id. PAF-ECF", 18) + "07" + Preenche("Meios Pagto.", 18);
  duble::RespondeSempre("ECF_VerificaRelatorioGerencialProgMFD", {1, {lista}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Meios Pagto."), 7);
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Id. PAF"), 4);
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Outro"), -1);
  EXPECT_EQ(duble::Chamadas(), Chamadas(3, "ECF_VerificaRelatorioGerencialProgMFD([600])"));
}

TEST_F(Programacao, VerificaDarumaPorParteDoNomeElginSoPorInteiro) {
  Fabricante(DARUMA);
  std::string lista;
  for (const char *nome : {"A", "B", "", "Meios Pagto."}) lista += Preenche(nome, 15) + ";";
  duble::Responde("Daruma_FIMFD_VerificaRelatoriosGerenciais", {1, {lista}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Meios"), 4);
  EXPECT_EQ(duble::Chamadas(), Chamadas{"Daruma_FIMFD_VerificaRelatoriosGerenciais([321])"});

  Fabricante(ELGIN);
  duble::Reinicia();
  for (const char *nome : {"A", "B", "", "Meios Pagto."})
    duble::Responde("Elgin_LeNomeRelatorioGerencial", {0, {nome}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Meios"), -1);
  ASSERT_EQ(duble::Chamadas().size(), 20u);
  EXPECT_EQ(duble::Chamadas()[0], "Elgin_LeNomeRelatorioGerencial(\"00\", [30])");
  EXPECT_EQ(duble::Chamadas()[19], "Elgin_LeNomeRelatorioGerencial(\"19\", [30])");

  duble::Reinicia();
  ecf_Retorno = 1;
  for (const char *nome : {"A", "B", "", "Meios Pagto."})
    duble::Responde("Elgin_LeNomeRelatorioGerencial", {0, {nome}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Meios Pagto."), 3);
  EXPECT_EQ(duble::Chamadas().size(), 4u) << "stops at the name";
  EXPECT_EQ(ecf_Retorno, 1);
}

TEST_F(Programacao, VerificaDllG2PeloCodGerencial) {
  const std::string c = Canal(DATAREGIS);
  duble::Responde("DLLG2_Retorno", {1, {"7"}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("Id. PAF-ECF"), 7);
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"DLLG2_LimpaParams(3)",
                      "DLLG2_AdicionaParam(3, \"NomeGerencial\", \"Id. PAF-ECF\", 7)",
                      "DLLG2_ExecutaComando(3, \"LeGerencial\")",
                      "DLLG2_Retorno(3, 0, \"CodGerencial\", 0, [2], 2)"}));
  duble::Responde("DLLG2_Retorno", {1, {" "}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("X"), 0);
  duble::Responde("DLLG2_Retorno", {1, {"?"}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("X"), -1) << "no number, no report";
  duble::Reinicia();
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  EXPECT_EQ(ecf_VerificaRelatorioGerencial("X"), -1);
  EXPECT_TRUE(duble::ChamadasDe("DLLG2_Retorno").empty());
  EXPECT_TRUE(mensagens.empty());
}

// ---- Naming a report ----------------------------------------------------------------------

TEST_F(Programacao, NomeiaSemNomeAvisaENaoChama) {
  Fabricante(BEMATECH);
  EstadoEcf.TipoMfd = true;
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("  "));
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_EQ(Textos(), Chamadas{"Parâmetro nome inválido em NomeiaRelatorioGerencial."});
  EXPECT_EQ(EstadoEcf.ContextoMensagem, "Situação em NomeiaRelatorioGerencial.");
}

TEST_F(Programacao, NomeiaNomeExistenteSoBematechAceita) {
  Fabricante(BEMATECH);
  EstadoEcf.TipoMfd = true;
  duble::Responde("Bematech_FI_VerificaRelatorioGerencialMFD",
                  {1, {"0000" + Preenche("Sangria", 17) + ","}, {}});
  EXPECT_TRUE(ecf_NomeiaRelatorioGerencial("Sangria"));
  Fabricante(SWEDA);
  duble::Responde("ECF_VerificaRelatorioGerencialProgMFD", {1, {"01Sangria"}, {}});
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Sangria"));
  Fabricante(DARUMA);
  duble::Responde("Daruma_FIMFD_VerificaRelatoriosGerenciais", {1, {"Sangria"}, {}});
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Sangria"));
  Fabricante(ELGIN);
  duble::Responde("Elgin_LeNomeRelatorioGerencial", {1, {"Sangria"}, {}});
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Sangria"));
  for (int32_t f : FAMILIA_DLLG2) {
    Canal(f);
    duble::Responde("DLLG2_Retorno", {1, {"1"}, {}});
    EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Sangria"));
  }
  for (const char *proibida :
       {"NomeiaRelatorioGerencialMFD", "ProgramaRelatorios", "DefineGerencial"})
    for (const std::string &chamada : duble::Chamadas())
      EXPECT_EQ(chamada.find(proibida), std::string::npos) << chamada;
}

TEST_F(Programacao, NomeiaBematechNoPrimeiroLivre) {
  Fabricante(BEMATECH);
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Meios Pagto."));
  EXPECT_TRUE(duble::Chamadas().empty()) << "no report names without MFD";

  EstadoEcf.TipoMfd = true;
  const std::string antes = "0000" + Preenche("A", 17) + ",0000" + Preenche("", 17) + ",";
  const std::string depois = "0000" + Preenche("A", 17) + ",0000" + Preenche("Meios Pagto.", 17);
  duble::Responde("Bematech_FI_VerificaRelatorioGerencialMFD", {1, {antes}, {}});
  duble::Responde("Bematech_FI_VerificaRelatorioGerencialMFD", {1, {antes}, {}});
  duble::Responde("Bematech_FI_VerificaRelatorioGerencialMFD", {1, {depois}, {}});
  EXPECT_TRUE(ecf_NomeiaRelatorioGerencial("Meios Pagto."));
  EXPECT_EQ(Proprias(),
            (Chamadas{"Bematech_FI_VerificaRelatorioGerencialMFD([659])",
                      "Bematech_FI_VerificaRelatorioGerencialMFD([659])",
                      "Bematech_FI_NomeiaRelatorioGerencialMFD(\"2\", \"Meios Pagto.\")",
                      "Bematech_FI_VerificaRelatorioGerencialMFD([659])"}));

  // A refusal is told, with the context of the last search.
  duble::Reinicia();
  duble::Responde("Bematech_FI_NomeiaRelatorioGerencialMFD", {0, {}, {}});
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Outro"));
  EXPECT_EQ(Textos(), Chamadas{"Erro de Comunicação.\nSituação em VerificaRelatorioGerencial."});
  EXPECT_EQ(duble::ChamadasDe("Bematech_FI_VerificaRelatorioGerencialMFD").size(), 2u);
}

TEST_F(Programacao, NomeiaSwedaDarumaElgin) {
  Fabricante(SWEDA);
  duble::Responde("ECF_VerificaRelatorioGerencialProgMFD", {1, {"01X"}, {}});
  duble::Responde("ECF_VerificaRelatorioGerencialProgMFD", {1, {"01X                 02Novo"}, {}});
  EXPECT_TRUE(ecf_NomeiaRelatorioGerencial("Novo"));
  EXPECT_EQ(duble::Chamadas(), (Chamadas{"ECF_VerificaRelatorioGerencialProgMFD([600])",
                                         "ECF_NomeiaRelatorioGerencialMFD(\"1\", \"Novo\")",
                                         "ECF_VerificaRelatorioGerencialProgMFD([600])"}));

  Fabricante(DARUMA);
  duble::Reinicia();
  duble::Responde("Daruma_FIMFD_VerificaRelatoriosGerenciais", {1, {"X"}, {}});
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Novo")) << "still not there";
  EXPECT_EQ(duble::Chamadas(), (Chamadas{"Daruma_FIMFD_VerificaRelatoriosGerenciais([321])",
                                         "Daruma_FIMFD_ProgramaRelatoriosGerenciais(\"Novo\")",
                                         "Daruma_FIMFD_VerificaRelatoriosGerenciais([321])"}));

  Fabricante(ELGIN);
  duble::Reinicia();
  duble::RespondeSempre("Elgin_LeNomeRelatorioGerencial", {1, {"Z"}, {}});
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Novo"));
  EXPECT_EQ(duble::ChamadasDe("Elgin_NomeiaRelatorioGerencialMFD"),
            Chamadas{"Elgin_NomeiaRelatorioGerencialMFD(\"-1\", \"Novo\")"});
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Programacao, NomeiaEProgramaPadraoDllG2) {
  const std::string c = Canal(URANO);
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});  // not there
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});  // defined
  duble::Responde("DLLG2_Retorno", {1, {"5"}, {}});
  EXPECT_TRUE(ecf_NomeiaRelatorioGerencial("Id. PAF-ECF"));
  const std::string le = "DLLG2_AdicionaParam(0, \"NomeGerencial\", \"Id. PAF-ECF\", 7)";
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"DLLG2_LimpaParams(0)", le, "DLLG2_ExecutaComando(0, \"LeGerencial\")",
                      "DLLG2_LimpaParams(0)", le, "DLLG2_ExecutaComando(0, \"DefineGerencial\")",
                      "DLLG2_LimpaParams(0)", le, "DLLG2_ExecutaComando(0, \"LeGerencial\")",
                      "DLLG2_Retorno(0, 0, \"CodGerencial\", 0, [2], 2)"}));

  // A refused definition is not looked up again.
  duble::Reinicia();
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  EXPECT_FALSE(ecf_NomeiaRelatorioGerencial("Id. PAF-ECF"));
  EXPECT_EQ(duble::ChamadasDe("DLLG2_ExecutaComando"),
            (Chamadas{"DLLG2_ExecutaComando(0, \"LeGerencial\")",
                      "DLLG2_ExecutaComando(0, \"DefineGerencial\")"}));

  duble::Reinicia();
  EXPECT_TRUE(ecf_CadastraRelatorioGerencial());
  EXPECT_EQ(Proprias(),
            (Chamadas{"DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"CodGerencial\", \"0\", 4)",
                      "DLLG2_AdicionaParam(0, \"NomeGerencial\", \"RELATORIO GERENCIAL\", 7)",
                      "DLLG2_ExecutaComando(0, \"DefineGerencial\")"}));
  for (int32_t f : FAMILIA_FI) {
    Fabricante(f);
    duble::Reinicia();
    EXPECT_FALSE(ecf_CadastraRelatorioGerencial());
    EXPECT_TRUE(duble::Chamadas().empty());
  }
}

// ---- Printing and closing ---------------------------------------------------------------

TEST_F(Programacao, TextoVazioViraBrancoECentralizaEm47) {
  Fabricante(ELGIN);
  const std::string dez = "0123456789", quarenta7(47, 'x');
  EXPECT_TRUE(ecf_RelatorioGerencial("", "", 1));
  EXPECT_TRUE(ecf_RelatorioGerencial(nullptr, nullptr, 0));
  EXPECT_TRUE(ecf_RelatorioGerencial(dez.c_str(), "", 1));
  EXPECT_TRUE(ecf_RelatorioGerencial(quarenta7.c_str(), "", 1));
  EXPECT_TRUE(ecf_RelatorioGerencial(std::string(46, 'y').c_str(), "", 1));
  EXPECT_EQ(duble::ChamadasDe("Elgin_RelatorioGerencial"),
            (Chamadas{"Elgin_RelatorioGerencial(\" \")", "Elgin_RelatorioGerencial(\" \")",
                      "Elgin_RelatorioGerencial(\"" + std::string(18, ' ') + dez + "\")",
                      "Elgin_RelatorioGerencial(\"" + quarenta7 + "\")",
                      "Elgin_RelatorioGerencial(\"" + std::string(46, 'y') + "\")"}));
  EXPECT_TRUE(duble::ChamadasDe("Elgin_Abre").empty()) << "no report named";
}

TEST_F(Programacao, BematechEDarumaImprimemEmPedacos) {
  Fabricante(BEMATECH);
  EstadoEcf.TipoMfd = true;
  const std::string texto = std::string(550, 'a') + std::string(550, 'b') + std::string(100, 'c');
  duble::Responde("Bematech_FI_VerificaRelatorioGerencialMFD",
                  {1, {"0000" + Preenche("X", 17) + ",0000" + Preenche("Sangria", 17)}, {}});
  duble::Responde("Bematech_FI_RelatorioGerencial", {0, {}, {}});
  EXPECT_TRUE(ecf_RelatorioGerencial(texto.c_str(), " Sangria ", 0)) << "the last piece decides";
  EXPECT_EQ(Proprias(),
            (Chamadas{"Bematech_FI_VerificaRelatorioGerencialMFD([659])",
                      "Bematech_FI_AbreRelatorioGerencialMFD(\"2\")",
                      "Bematech_FI_RelatorioGerencial(\"" + texto.substr(0, 550) + "\")",
                      "Bematech_FI_RelatorioGerencial(\"" + texto.substr(550, 550) + "\")",
                      "Bematech_FI_RelatorioGerencial(\"" + texto.substr(1100) + "\")"}));

  duble::Reinicia();
  duble::Responde("Bematech_FI_AbreRelatorioGerencialMFD", {-2, {}, {}});
  duble::Responde("Bematech_FI_VerificaRelatorioGerencialMFD", {1, {"0000Sangria"}, {}});
  EXPECT_FALSE(ecf_RelatorioGerencial("x", "Sangria", 0));
  EXPECT_TRUE(duble::ChamadasDe("Bematech_FI_RelatorioGerencial").empty());
  EXPECT_EQ(Textos().back(),
            "Parâmetro inválido na função.\nSituação em VerificaRelatorioGerencial.");

  Fabricante(DARUMA);
  duble::Reinicia();
  const std::string daruma(900, 'd');
  duble::Responde("Daruma_FI_RelatorioGerencial", {1, {}, {}});
  duble::Responde("Daruma_FI_RelatorioGerencial", {0, {}, {}});
  mensagens.clear();
  EXPECT_FALSE(ecf_RelatorioGerencial(daruma.c_str(), "Meios", 0));
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"Daruma_FIMFD_VerificaRelatoriosGerenciais([321])",
                      "Daruma_FIMFD_AbreRelatorioGerencial(\"Meios\")",
                      "Daruma_FI_RelatorioGerencial(\"" + daruma.substr(450) + "\")",
                      "Daruma_FI_RelatorioGerencial(\"" + daruma.substr(450) + "\")"}));
  EXPECT_TRUE(mensagens.empty()) << "printing is judged silently";
}

TEST_F(Programacao, SwedaEElginAbremPeloIndice) {
  Fabricante(SWEDA);
  duble::Responde("ECF_VerificaRelatorioGerencialProgMFD", {1, {"03Meios"}, {}});
  duble::Responde("ECF_StatusRelatorioGerencial", {1, {"1"}, {}});
  EXPECT_TRUE(ecf_RelatorioGerencial("linha", "Meios", 0));
  EXPECT_EQ(Proprias(), (Chamadas{"ECF_VerificaRelatorioGerencialProgMFD([600])",
                                  "ECF_StatusRelatorioGerencial([2])",
                                  "ECF_UsaRelatorioGerencialMFD(\"linha\")"}));
  duble::Reinicia();
  duble::Responde("ECF_VerificaRelatorioGerencialProgMFD", {1, {"03Meios"}, {}});
  duble::Responde("ECF_AbreRelatorioGerencialMFD", {0, {}, {}});
  EXPECT_TRUE(ecf_RelatorioGerencial("linha", "Meios", 0));
  EXPECT_EQ(Proprias(),
            (Chamadas{"ECF_VerificaRelatorioGerencialProgMFD([600])",
                      "ECF_StatusRelatorioGerencial([2])", "ECF_AbreRelatorioGerencialMFD(\"03\")",
                      "ECF_UsaRelatorioGerencialMFD(\"linha\")"}));
  EXPECT_EQ(Textos(), Chamadas{"Falha ao Abrir Relatório Gerencial!"});
  duble::Reinicia();
  EXPECT_TRUE(ecf_RelatorioGerencial("linha", "", 0));
  EXPECT_EQ(duble::ChamadasDe("ECF_AbreRelatorioGerencialMFD"),
            Chamadas{"ECF_AbreRelatorioGerencialMFD(\"01\")"});

  Fabricante(ELGIN);
  duble::Reinicia();
  duble::RespondeSempre("Elgin_LeNomeRelatorioGerencial", {1, {"Z"}, {}});
  EXPECT_TRUE(ecf_RelatorioGerencial("linha", "Meios", 0));
  EXPECT_EQ(duble::ChamadasDe("Elgin_AbreRelatorioGerencialMFD"),
            Chamadas{"Elgin_AbreRelatorioGerencialMFD(\"-01\")"});
}

TEST_F(Programacao, DllG2AbreSoSemRelatorioAberto) {
  const std::string c = Canal(DATAREGIS);
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});  // name not found
  EstadoFiscal(0);
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});  // reading EstadoFiscal
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});  // AbreGerencial refused
  EXPECT_TRUE(ecf_RelatorioGerencial("linha", "Meios", 0));
  EXPECT_EQ(
      Proprias(),
      (Chamadas{"DLLG2_LimpaParams(3)", "DLLG2_AdicionaParam(3, \"NomeGerencial\", \"Meios\", 7)",
                "DLLG2_ExecutaComando(3, \"LeGerencial\")"} +
       LeEstadoFiscal(c) +
       Chamadas{"DLLG2_LimpaParams(3)", "DLLG2_AdicionaParam(3, \"CodGerencial\", \"0\", 4)",
                "DLLG2_ExecutaComando(3, \"AbreGerencial\")", "DLLG2_LimpaParams(3)",
                "DLLG2_AdicionaParam(3, \"TextoLivre\", \"linha\", 7)",
                "DLLG2_ExecutaComando(3, \"ImprimeTexto\")"}));
  EXPECT_EQ(Textos(),
            (Chamadas{"Falha de comunicação com ECF.\nSituação em VerificaRelatorioGerencial.",
                      "Não foi possível efetivar a Abertura do Relatório Gerencial."}));

  // A report found opens under its own code.
  duble::Reinicia();
  duble::Responde("DLLG2_Retorno", {1, {"5"}, {}});
  EstadoFiscal(0);
  EXPECT_TRUE(ecf_RelatorioGerencial("linha", "Meios", 0));
  EXPECT_EQ(duble::ChamadasDe("DLLG2_AdicionaParam(3, \"CodGerencial\""),
            Chamadas{"DLLG2_AdicionaParam(3, \"CodGerencial\", \"5\", 4)"});

  duble::Reinicia();
  EstadoFiscal(32);
  EXPECT_TRUE(ecf_RelatorioGerencial("mais", "", 0));
  EXPECT_EQ(Proprias(),
            (LeEstadoFiscal(c) + Chamadas{"DLLG2_LimpaParams(3)",
                                          "DLLG2_AdicionaParam(3, \"TextoLivre\", \"mais\", 7)",
                                          "DLLG2_ExecutaComando(3, \"ImprimeTexto\")"}));
}

TEST_F(Programacao, FechaCadaUmComOSeu) {
  const std::pair<int32_t, const char *> fi[] = {
      {BEMATECH, "Bematech_FI_FechaRelatorioGerencial()"},
      {DARUMA, "Daruma_FI_FechaRelatorioGerencial()"},
      {ELGIN, "Elgin_FechaRelatorioGerencial()"}};
  for (const auto &[f, funcao] : fi) {
    Fabricante(f);
    duble::Reinicia();
    EXPECT_TRUE(ecf_FechaRelatorioGerencial());
    EXPECT_EQ(Proprias(), Chamadas{funcao});
    duble::Responde(std::string(funcao).substr(0, std::string(funcao).size() - 2), {0, {}, {}});
    EXPECT_FALSE(ecf_FechaRelatorioGerencial());
  }
  EXPECT_TRUE(mensagens.empty());

  Canal(URANO);
  duble::Reinicia();
  EXPECT_TRUE(ecf_FechaRelatorioGerencial());
  EXPECT_EQ(Proprias(),
            (Chamadas{"DLLG2_LimpaParams(0)", "DLLG2_ExecutaComando(0, \"EncerraDocumento\")"}));
}

TEST_F(Programacao, FechaSwedaOQueEstiverAberto) {
  Fabricante(SWEDA);
  ecf_Retorno = -9;
  EXPECT_TRUE(ecf_FechaRelatorioGerencial()) << "nothing open";
  EXPECT_EQ(ecf_Retorno, 1);
  EXPECT_EQ(Proprias(), (Chamadas{"ECF_StatusRelatorioGerencial([2])",
                                  "ECF_StatusComprovanteNaoFiscalVinculado([2])"}));
  duble::Reinicia();
  duble::Responde("ECF_StatusComprovanteNaoFiscalVinculado", {1, {"1"}, {}});
  duble::Responde("ECF_FechaComprovanteNaoFiscalVinculado", {0, {}, {}});
  EXPECT_FALSE(ecf_FechaRelatorioGerencial());
  EXPECT_EQ(Proprias(), (Chamadas{"ECF_StatusRelatorioGerencial([2])",
                                  "ECF_StatusComprovanteNaoFiscalVinculado([2])",
                                  "ECF_FechaComprovanteNaoFiscalVinculado()"}));
  duble::Reinicia();
  duble::Responde("ECF_StatusRelatorioGerencial", {1, {"1"}, {}});
  EXPECT_TRUE(ecf_FechaRelatorioGerencial());
  EXPECT_EQ(Proprias(),
            (Chamadas{"ECF_StatusRelatorioGerencial([2])", "ECF_FechaRelatorioGerencial()"}));
}
