// The verdict on the drivers' answers and the operator messages.
#include "comum.h"

using Chamadas = std::vector<std::string>;

class Veredito : public TesteEcf {};

TEST_F(Veredito, CodigosDaFamiliaFi) {
  const std::pair<int32_t, const char *> tabela[] = {
      {0, "Erro de Comunicação."},
      {-1, "Erro de execução da função."},
      {-2, "Parâmetro inválido na função."},
      {-3, "Alíquota não programada."},
      {-4,
       "O arquivo de inicialização (INI) não foi encontrado no diretório de sistema do Windows."},
      {-5, "Erro ao abrir a Porta de Comunicação."},
      {-6, "Impressora desligada ou cabo de comunicação desconectado."},
      {-8, "Erro ao criar ou gravar no arquivo STATUS.TXT ou RETORNO.TXT."},
      {-24, "Forma de Pagamento não programada."},
      {-27, "Status da impressora direfente de 6,0,0 (ACK, ST1 e ST2)."},
      {-30, "Função não compatível com a impressora YANCO."},
      {-33, "Condição de alívio de prato (para modelos CS) ou peso negativo (para modelos BP)."},
      {-34, "Peso instável."},
      {-35, "Peso excedido."},
      {-36, "Forma de Pagamento não finalizada."},
      {-7, "Erro desconhecido.\nCód. Retorno: -7."},
      {2, "Erro desconhecido.\nCód. Retorno: 2."},
  };
  for (int32_t fabricante : {BEMATECH, DARUMA, ELGIN, FAB_DESCONHECIDO}) {
    Fabricante(fabricante);
    for (const auto &[codigo, texto] : tabela) {
      mensagens.clear();
      duble::Reinicia();
      ecf_Retorno = codigo;
      EXPECT_FALSE(VerificaRetorno(true));
      ASSERT_EQ(mensagens.size(), 1u) << codigo;
      EXPECT_EQ(mensagens[0].texto, std::string(texto) + "\n") << codigo;
      EXPECT_EQ(mensagens[0].titulo, NomeDe(fabricante));
      EXPECT_EQ(mensagens[0].tipo, 0x40u);
      EXPECT_TRUE(duble::Chamadas().empty()) << "no status read after a failed call";
    }
  }
}

TEST_F(Veredito, SucessoLeOStatusEPapelAcabadoRecusaSemMensagem) {
  Fabricante(BEMATECH);
  ecf_Retorno = 1;
  duble::Responde("Bematech_FI_RetornoImpressora", {1, {}, {6, 128, 0}});
  EXPECT_FALSE(VerificaRetorno(true));
  EXPECT_TRUE(mensagens.empty());
  EXPECT_TRUE(EstadoEcf.SemPapel);
  EXPECT_EQ(duble::Chamadas(), Chamadas{"Bematech_FI_RetornoImpressora(&, &, &)"});
  EXPECT_EQ(LeArquivo(EstadoEcf.ArquivoRetorno), "[ECF]\r\nPOSICAO=  - Sem papel.\n\n\r\n");

  duble::Reinicia();
  EXPECT_TRUE(VerificaRetorno(true));
  EXPECT_FALSE(EstadoEcf.SemPapel);
}

TEST_F(Veredito, ContextoAcompanhaAMensagemSeguinteEMorreComEla) {
  Fabricante(ELGIN);
  EstadoEcf.ContextoMensagem = "Situação em VerificaRelatorioGerencial.";
  ecf_Retorno = -6;
  EXPECT_FALSE(VerificaRetorno(false));
  EXPECT_TRUE(mensagens.empty());
  EXPECT_EQ(EstadoEcf.ContextoMensagem, "");

  EstadoEcf.ContextoMensagem = "Situação em X.";
  EXPECT_FALSE(VerificaRetorno(true));
  EXPECT_EQ(Textos(), Chamadas{"Impressora desligada ou cabo de comunicação desconectado.\n"
                               "Situação em X."});
  ecf_Retorno = 0;
  VerificaRetorno(true);
  EXPECT_EQ(Textos().back(), "Erro de Comunicação.\n");
}

TEST_F(Veredito, SwedaMostraAMensagemDeStatusDoDriver) {
  Fabricante(SWEDA);
  // "first|?second": the character right after the bar is dropped, even on success.
  ecf_Retorno = 1;
  duble::Responde("ECF_ObterMensagemStatus", {1, {" Cupom aberto |-Aguardando pagamento  "}, {}});
  EXPECT_TRUE(VerificaRetorno(true));
  EXPECT_EQ(Textos(), Chamadas{"Cupom aberto\nAguardando pagamento\n"});
  EXPECT_EQ(duble::Chamadas(), Chamadas{"ECF_ObterMensagemStatus([512])"});

  // Without a bar: shown only after a failure that the driver explained.
  mensagens.clear();
  ecf_Retorno = 0;
  duble::Responde("ECF_ObterMensagemStatus", {1, {"Sem papel"}, {}});
  EXPECT_FALSE(VerificaRetorno(true));
  EXPECT_EQ(Textos(), Chamadas{"Sem papel\n"});
  mensagens.clear();
  duble::Responde("ECF_ObterMensagemStatus", {0, {"Sem papel"}, {}});
  EXPECT_FALSE(VerificaRetorno(true));
  duble::Responde("ECF_ObterMensagemStatus", {1, {"Tudo certo"}, {}});
  ecf_Retorno = 1;
  EXPECT_TRUE(VerificaRetorno(true));
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Veredito, Dllg2JulgaOUltimoComando) {
  Fabricante(URANO);
  CanalDllG2 = 3;
  ecf_Retorno = 42;
  RetornoDllG2 = 0;
  EXPECT_FALSE(VerificaRetorno(true));
  EXPECT_EQ(Textos(), Chamadas{"Falha de comunicação com ECF.\n"});
  EXPECT_EQ(ecf_Retorno, 42);
  EXPECT_EQ(duble::Chamadas(), Chamadas{"DLLG2_DefineTimeout(0, 10)"});

  Fabricante(DATAREGIS);
  duble::Reinicia();
  mensagens.clear();
  RetornoDllG2 = 1;
  duble::Responde("DLLG2_Retorno", {1, {" 1 "}, {}});  // SensorPoucoPapel
  duble::Responde("DLLG2_Retorno", {1, {"0"}, {}});    // SemPapel
  EXPECT_TRUE(VerificaRetorno(true));
  EXPECT_TRUE(mensagens.empty());
  EXPECT_EQ(ecf_Retorno, 1);
  EXPECT_TRUE(EstadoEcf.PoucoPapel);
  EXPECT_FALSE(EstadoEcf.SemPapel);
  EXPECT_EQ(
      duble::Chamadas(),
      (Chamadas{"DLLG2_DefineTimeout(3, 10)", "DLLG2_LimpaParams(3)", "DLLG2_LimpaParams(3)",
                "DLLG2_AdicionaParam(3, \"NomeIndicador\", \"SensorPoucoPapel\", 7)",
                "DLLG2_ExecutaComando(3, \"LeIndicador\")",
                "DLLG2_Retorno(3, 0, \"ValorTextoIndicador\", 0, [16], 16)", "DLLG2_LimpaParams(3)",
                "DLLG2_AdicionaParam(3, \"NomeIndicador\", \"SemPapel\", 7)",
                "DLLG2_ExecutaComando(3, \"LeIndicador\")",
                "DLLG2_Retorno(3, 0, \"ValorTextoIndicador\", 0, [16], 16)"}));
}

class Mensagens : public TesteEcf {};

TEST_F(Mensagens, CaixasPeloTratadorDoHospedeiro) {
  Fabricante(DARUMA);
  Mensagem("Olá");
  respostas = {6, 7};
  EXPECT_TRUE(Pergunta("Deseja tentar novamente?"));
  EXPECT_FALSE(Pergunta("De novo?"));
  EXPECT_THROW(MensagemErro("Versão inválida."), AbortoSilencioso);
  ASSERT_EQ(mensagens.size(), 4u);
  EXPECT_EQ(mensagens[0].tipo, 0x40u);
  EXPECT_EQ(mensagens[1].tipo, 0x24u);
  EXPECT_EQ(mensagens[3].texto, "Versão inválida.");
  for (const MensagemVista &m : mensagens) EXPECT_EQ(m.titulo, "DARUMA");
  // Windows-1252 bytes reach the host.
  EXPECT_EQ(mensagens[0].texto, "Ol\xE1");
}

TEST_F(Veredito, SwedaComBarraNoFimOuBufferCheioSemNul) {
  Fabricante(SWEDA);
  ecf_Retorno = 0;
  // The bar as the very last character of a full buffer: no second line text.
  duble::Responde("ECF_ObterMensagemStatus", {1, {std::string(511, 'A') + "|"}, {}});
  EXPECT_FALSE(VerificaRetorno(true));
  // One character after the bar: it is the one dropped.
  duble::Responde("ECF_ObterMensagemStatus", {1, {"Erro|x"}, {}});
  EXPECT_FALSE(VerificaRetorno(true));
  // Longer than the buffer: cut at 512.
  duble::Responde("ECF_ObterMensagemStatus", {1, {std::string(600, 'B')}, {}});
  EXPECT_FALSE(VerificaRetorno(true));
  EXPECT_EQ(Textos(),
            (Chamadas{std::string(511, 'A') + "\n\n", "Erro\n\n", std::string(512, 'B') + "\n"}));
}
