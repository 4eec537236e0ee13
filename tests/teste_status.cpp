// Status bytes, presence, port, cash drawer and recovery.
#include "comum.h"

using Chamadas = std::vector<std::string>;

namespace {

struct FuncoesFi {
  int32_t fabricante;
  const char *retornoImpressora;
  const char *ligada;
  const char *abrePorta;
  const char *fechaPorta;
  const char *gaveta;
};

const FuncoesFi FAMILIA_FI[] = {
    {BEMATECH, "Bematech_FI_RetornoImpressora", "Bematech_FI_VerificaImpressoraLigada",
     "Bematech_FI_AbrePortaSerial", "Bematech_FI_FechaPortaSerial", "Bematech_FI_AcionaGaveta"},
    {SWEDA, "ECF_RetornoImpressora", "ECF_VerificaImpressoraLigada", "ECF_AbrePortaSerial",
     "ECF_FechaPortaSerial", "ECF_AcionaGaveta"},
    {DARUMA, "Daruma_FI_RetornoImpressora", "Daruma_FI_VerificaImpressoraLigada",
     "Daruma_FI_AbrePortaSerial", "Daruma_FI_FechaPortaSerial", "Daruma_FI_AcionaGaveta"},
    {ELGIN, "Elgin_RetornoImpressora", "Elgin_VerificaImpressoraLigada", "Elgin_AbrePortaSerial",
     "Elgin_FechaPortaSerial", "Elgin_AcionaGaveta"},
};

}  // namespace

class Status : public TesteEcf {
 protected:
  bool Le(int32_t st1, int32_t st2, const char *funcao = "Bematech_FI_RetornoImpressora") {
    duble::Responde(funcao, {1, {}, {6, st1, st2}});
    return ecf_StatusAtu(1) != 0;
  }
  std::string Posicao() {
    const std::string ini = LeArquivo(EstadoEcf.ArquivoRetorno);
    std::remove(EstadoEcf.ArquivoRetorno.c_str());
    return ini;
  }
};

TEST_F(Status, OBitMaisAltoDecide) {
  Fabricante(BEMATECH);
  struct Caso {
    int32_t st1, st2;
    bool veredito;
    const char *texto;  // under POSICAO; null: nothing written
  } casos[] = {
      {192, 0, false, "  - Sem papel.\n\n"},
      {32, 0, true, "  - Erro no Relógio.\n\n"},
      {16 | 1, 0, false, "  - Impressora em Erro.\n\n"},
      {8, 0, false, "  - Comando não iniciado com ESC.\n\n"},
      {4, 0, false, "  - Comando Inexistente.\n\n"},
      {1, 0, false, "  - Número de Parâmetro(s) Inválido(s).\n\n"},
      {0, 1, false, "  - Método não Executado."},
      {0, 128 | 1, false, "  - Tipo de Parâmetro de Comando Inválido.\n"},
      {0, 64, false, "  - Memória Fiscal Lotada.\n"},
      {0, 32, false, "  - Erro na Memória RAM.\n"},
      {0, 16, false, "  - Alíquota Não Programada.\n"},
      {0, 8, true, "  - Capacidade de Alíquotas Lotada.\n"},
      {0, 2, true, "  - CNPJ/IE do Proprietário Não Programado.\n"},
      {2, 4, true, nullptr},
      {32, 1, false, "  - Erro no Relógio.\n\n  - Método não Executado."},
  };
  for (const Caso &c : casos) {
    EXPECT_EQ(Le(c.st1, c.st2), c.veredito) << c.st1 << "/" << c.st2;
    EXPECT_EQ(Posicao(), c.texto ? std::string("[ECF]\r\nPOSICAO=") + c.texto + "\r\n" : "")
        << c.st1 << "/" << c.st2;
  }
  EXPECT_EQ(EstadoEcf.ContadorPoucoPapel, 0);
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Status, SemPapelSoDuraAteALeituraSeguinte) {
  Fabricante(DARUMA);
  Le(128, 0, "Daruma_FI_RetornoImpressora");
  EXPECT_TRUE(ecf_StatusSemPapel());
  Le(0, 0, "Daruma_FI_RetornoImpressora");
  EXPECT_FALSE(ecf_StatusSemPapel());
  Posicao();
  // Without registrar nothing is written.
  duble::Responde("Daruma_FI_RetornoImpressora", {1, {}, {6, 128, 0}});
  EXPECT_FALSE(ecf_StatusAtu(0));
  EXPECT_EQ(Posicao(), "");
}

TEST_F(Status, PoucoPapelAcadaTrintaEUmaLeituras) {
  Fabricante(ELGIN);
  for (int i = 1; i <= 30; ++i) {
    EXPECT_TRUE(Le(64, 0, "Elgin_RetornoImpressora"));
    EXPECT_EQ(EstadoEcf.ContadorPoucoPapel, i);
  }
  EXPECT_EQ(Posicao(), "");
  EXPECT_FALSE(EstadoEcf.PoucoPapel);
  EXPECT_TRUE(Le(64, 0, "Elgin_RetornoImpressora"));
  EXPECT_EQ(Posicao(), "[ECF]\r\nPOSICAO=  - Pouco Papel.\n\n\r\n");
  EXPECT_TRUE(EstadoEcf.PoucoPapel);
  EXPECT_EQ(EstadoEcf.ContadorPoucoPapel, 0);
  // Paper out above paper low leaves the count alone.
  Le(64, 0, "Elgin_RetornoImpressora");
  Le(192, 0, "Elgin_RetornoImpressora");
  EXPECT_EQ(EstadoEcf.ContadorPoucoPapel, 1);
}

TEST_F(Status, CadaFabricanteComSuaFuncao) {
  for (const FuncoesFi &f : FAMILIA_FI) {
    Fabricante(f.fabricante);
    duble::Reinicia();
    duble::Responde(f.retornoImpressora, {-6, {}, {0, 0, 0}});
    EXPECT_TRUE(ecf_StatusAtu(1));
    EXPECT_EQ(ecf_Retorno, -6);
    EXPECT_EQ(duble::Chamadas(), Chamadas{std::string(f.retornoImpressora) + "(&, &, &)"});
  }
  for (int32_t dllg2 : {DATAREGIS, URANO}) {
    Fabricante(dllg2);
    duble::Reinicia();
    ecf_Retorno = 7;
    EstadoEcf.SemPapel = true;
    EXPECT_TRUE(ecf_StatusAtu(1));
    EXPECT_EQ(ecf_Retorno, 7);
    EXPECT_FALSE(EstadoEcf.SemPapel);
    EXPECT_TRUE(duble::Chamadas().empty());
  }
}

class Ligado : public TesteEcf {};

TEST_F(Ligado, ImpressoraQueNaoResponde) {
  for (const FuncoesFi &f : FAMILIA_FI) {
    Fabricante(f.fabricante);
    duble::Reinicia();
    mensagens.clear();
    duble::Responde(f.ligada, {-6, {}, {}});
    EXPECT_FALSE(ecf_Ligado(0xFF));
    EXPECT_EQ(duble::Chamadas(), Chamadas{std::string(f.ligada) + "()"});
    EXPECT_EQ(Textos(), Chamadas{"Falha na comunicação com Impressora Fiscal.\nVerifique se os "
                                 "cabos estão conectados, se o ECF está ligado e se há bobina "
                                 "(papel).\n\nRetorno do ECF:  -6"});
    EXPECT_TRUE(ecf_Ligado(0));
  }
  Fabricante(URANO);
  duble::Reinicia();
  EXPECT_TRUE(ecf_Ligado(1));
  EXPECT_EQ(ecf_Retorno, 1);
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Ligado, TratarDesligamentoPerguntaAteResponderOuDesistir) {
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_VerificaImpressoraLigada", {0, {}, {}});
  duble::Responde("Bematech_FI_VerificaImpressoraLigada", {-6, {}, {}});
  respostas = {6, 6};
  EXPECT_TRUE(ecf_TratarDesligamento());
  EXPECT_EQ(duble::Chamadas().size(), 3u);
  ASSERT_EQ(mensagens.size(), 2u);
  EXPECT_EQ(mensagens[0].texto,
            "Falha na comunicação com ECF.\nPossíveis causas: Desligada ou "
            "Cabo Desconectado.\n\nDeseja tentar novamente?");
  EXPECT_EQ(mensagens[0].tipo, 0x24u);

  duble::RespondeSempre("Bematech_FI_VerificaImpressoraLigada", {0, {}, {}});
  respostas = {7};
  EXPECT_FALSE(ecf_TratarDesligamento());
}

class Porta : public TesteEcf {};

TEST_F(Porta, AbreEFechaNaFamiliaFi) {
  std::vector<std::string> sweda;
  for (const FuncoesFi &f : FAMILIA_FI) {
    Fabricante(f.fabricante);
    duble::Reinicia();
    EXPECT_TRUE(ecf_AbrirPortaSerial());
    duble::Responde(f.fechaPorta, {-5, {}, {}});
    ecf_Retorno = 1;
    EXPECT_EQ(ecf_FecharPortaSerial(), -5);
    EXPECT_EQ(ecf_Retorno, 1) << "closing does not keep its code";
    EXPECT_EQ(duble::Chamadas().back(), std::string(f.fechaPorta) + "()");
    if (f.fabricante == SWEDA) sweda = duble::Chamadas();
  }
  EXPECT_EQ(sweda, (Chamadas{"ECF_AbrePortaSerial()", "ECF_CfgRedZAutomatico(\"0\")",
                             "ECF_RetornaPortaVelocidade([1], [6])", "ECF_FechaPortaSerial()"}));
}

TEST_F(Porta, FalhasAoAbrir) {
  Fabricante(SWEDA);
  duble::Responde("ECF_AbrePortaSerial", {0, {}, {}});
  EXPECT_FALSE(ecf_AbrirPortaSerial());
  EXPECT_EQ(Textos(), Chamadas{"Falha ao Abrir a Porta Serial de comunicação."});
  EXPECT_EQ(duble::Chamadas().size(), 1u);

  Fabricante(BEMATECH);
  mensagens.clear();
  duble::Responde("Bematech_FI_AbrePortaSerial", {-5, {}, {}});
  EXPECT_FALSE(ecf_AbrirPortaSerial());
  EXPECT_TRUE(mensagens.empty());

  Fabricante(DATAREGIS);
  EstadoEcf.PortaEcf = "COM2";
  duble::Responde("DLLG2_IniciaDriver", {-3, {}, {}});
  EXPECT_FALSE(ecf_AbrirPortaSerial());
  EXPECT_EQ(Textos(), Chamadas{"Erro na inicialização do canal\nRetorno: -3"});
  EXPECT_EQ(CanalDllG2, -3);
}

TEST_F(Porta, CanalDllg2) {
  Fabricante(DATAREGIS);
  EstadoEcf.PortaEcf = "COM1";
  duble::Responde("DLLG2_IniciaDriver", {4, {}, {}});
  duble::Responde("DLLG2_Retorno", {1, {"123"}, {}});
  EXPECT_TRUE(ecf_AbrirPortaSerial());
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"DLLG2_IniciaDriver(\"COM1\")", "DLLG2_DefineTimeout(4, 10)",
                      "DLLG2_LimpaParams(4)", "DLLG2_AdicionaParam(4, \"NomeInteiro\", \"COO\", 7)",
                      "DLLG2_ExecutaComando(4, \"LeInteiro\")",
                      "DLLG2_Retorno(4, 0, \"ValorInteiro\", 0, [50], 50)"}));
  EXPECT_EQ(ecf_FecharPortaSerial(), 1);
  EXPECT_EQ(duble::Chamadas().back(), "DLLG2_EncerraDriver(4)");

  Fabricante(URANO);
  duble::Reinicia();
  duble::Responde("DLLG2_IniciaDriver", {5, {}, {}});
  EXPECT_TRUE(ecf_AbrirPortaSerial());
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"DLLG2_IniciaDriver(\"COM1\")", "DLLG2_DefineTimeout(0, 10)"}));
  ecf_FecharPortaSerial();
  EXPECT_EQ(duble::Chamadas().back(), "DLLG2_EncerraDriver(5)");

  Fabricante(FAB_REJEITADO);
  duble::Reinicia();
  EXPECT_TRUE(ecf_AbrirPortaSerial());
  EXPECT_EQ(ecf_FecharPortaSerial(), -1);
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Porta, Gaveta) {
  for (const FuncoesFi &f : FAMILIA_FI) {
    Fabricante(f.fabricante);
    duble::Reinicia();
    duble::Responde(f.gaveta, {-6, {}, {}});
    EXPECT_EQ(ecf_AbrirGaveta(), -6);
    EXPECT_EQ(ecf_Retorno, -6);
    EXPECT_TRUE(mensagens.empty());
  }
  Fabricante(URANO);
  CanalDllG2 = 9;
  duble::Reinicia();
  duble::Responde("DLLG2_ExecutaComando", {2, {}, {}});
  EXPECT_EQ(ecf_AbrirGaveta(), 2);
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"DLLG2_LimpaParams(0)", "DLLG2_ExecutaComando(0, \"AbreGaveta\")"}));
  Fabricante(FAB_DESCONHECIDO);
  EXPECT_EQ(ecf_AbrirGaveta(), 0);
}

class Destrava : public TesteEcf {};

TEST_F(Destrava, BematechMemoriaCheiaAvisaECancelaOCupom) {
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_FlagsFiscais", {1, {}, {129}});
  ecf_DestravaImpressora();
  EXPECT_EQ(Textos(), Chamadas{"Memória Fiscal do ECF sem espaço."});
  ASSERT_GE(duble::Chamadas().size(), 2u);
  EXPECT_EQ(duble::Chamadas()[0], "Bematech_FI_FlagsFiscais(&)");
  EXPECT_EQ(duble::Chamadas()[1], "Bematech_FI_CancelaCupom()");

  // Bits 64 down to 4 leave the printer alone.
  duble::Reinicia();
  mensagens.clear();
  duble::Responde("Bematech_FI_FlagsFiscais", {1, {}, {64 | 32 | 16 | 8 | 4}});
  ecf_DestravaImpressora();
  EXPECT_EQ(duble::Chamadas(), Chamadas{"Bematech_FI_FlagsFiscais(&)"});
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Destrava, SwedaEDarumaPerguntamOCupomPeloBuffer) {
  Fabricante(DARUMA);
  duble::Responde("Daruma_FI_StatusCupomFiscal", {1, {"0"}, {}});
  ecf_DestravaImpressora();
  ASSERT_FALSE(duble::Chamadas().empty());
  EXPECT_EQ(duble::Chamadas()[0], "Daruma_FI_StatusCupomFiscal([2])");
  EXPECT_TRUE(duble::ChamadasDe("Daruma_FI_CancelaCupom").empty());

  Fabricante(SWEDA);
  duble::Reinicia();
  duble::Responde("ECF_StatusCupomFiscal", {1, {"1"}, {}});
  ecf_DestravaImpressora();
  EXPECT_EQ(duble::Chamadas()[0], "ECF_StatusCupomFiscal([2])");
  EXPECT_EQ(duble::ChamadasDe("ECF_CancelaCupom").size(), 1u);

  Fabricante(ELGIN);
  duble::Reinicia();
  ecf_DestravaImpressora();
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Destrava, Dllg2PeloEstadoFiscal) {
  Fabricante(DATAREGIS);
  CanalDllG2 = 2;
  // 34: bit 32 with bit 2 below it, so no report is open; 2 alone is a coupon.
  duble::RespondeSempre("DLLG2_Retorno", {1, {"34"}, {}});
  ecf_DestravaImpressora();
  EXPECT_EQ(
      duble::ChamadasDe("DLLG2_ExecutaComando"),
      (Chamadas{"DLLG2_ExecutaComando(2, \"LeInteiro\")", "DLLG2_ExecutaComando(2, \"LeInteiro\")",
                "DLLG2_ExecutaComando(2, \"CancelaCupom\")",
                "DLLG2_ExecutaComando(2, \"LeIndicador\")",
                "DLLG2_ExecutaComando(2, \"LeIndicador\")"}));
}

TEST_F(Status, BytesForaDaFaixaSoContamDo128ParaBaixo) {
  Fabricante(SWEDA);
  // Bits above 128 are no status; a negative value has bit 128 set.
  EXPECT_TRUE(Le(256 | 2, 512, "ECF_RetornoImpressora"));
  EXPECT_EQ(Posicao(), "");
  EXPECT_FALSE(Le(-1, 0, "ECF_RetornoImpressora"));
  EXPECT_TRUE(EstadoEcf.SemPapel);
  EXPECT_EQ(Posicao(), "[ECF]\r\nPOSICAO=  - Sem papel.\n\n\r\n");
  EXPECT_EQ(EstadoEcf.ContadorPoucoPapel, 0);
}
