// Day reports: X reading, Z reduction, pending and blocked days, daylight
// saving, rounding and the fiscal-memory readings.
#include <fstream>
#include <regex>
#include <set>

#include "comum.h"

using Chamadas = std::vector<std::string>;

namespace {

// The calls of the named driver functions only, in order.
Chamadas Apenas(const std::set<std::string> &funcoes) {
  Chamadas r;
  for (const std::string &c : duble::Chamadas())
    if (funcoes.count(c.substr(0, c.find('(')))) r.push_back(c);
  return r;
}

// Whether the calls hold `trecho` as consecutive calls.
bool Contem(const Chamadas &trecho) {
  const Chamadas &todas = duble::Chamadas();
  return std::search(todas.begin(), todas.end(), trecho.begin(), trecho.end()) != todas.end();
}

std::string Hoje(const char *padrao) {
  return FormataDataHora(padrao, Agora());
}

}  // namespace

class Relatorios : public TesteEcf {
 protected:
  // A DLLG2 printer whose driver opened channel 7.
  void Dllg2(int32_t fabricante) {
    Fabricante(fabricante);
    CanalDllG2 = 7;
  }
  void RespondeDllG2(const std::string &valor) {
    duble::Responde("DLLG2_Retorno", {1, {valor}, {}});
  }
};

// ---- X reading ------------------------------------------------------------------

TEST_F(Relatorios, LeituraXPorFabricante) {
  const std::pair<int32_t, const char *> casos[] = {{BEMATECH, "Bematech_FI_LeituraX"},
                                                    {SWEDA, "ECF_LeituraX"},
                                                    {DARUMA, "Daruma_FI_LeituraX"},
                                                    {ELGIN, "Elgin_LeituraX"}};
  for (const auto &[fabricante, funcao] : casos) {
    duble::Reinicia();
    Fabricante(fabricante);
    EXPECT_TRUE(ecf_LeituraX()) << funcao;
    EXPECT_EQ(duble::ChamadasDe(funcao), Chamadas{std::string(funcao) + "()"});
    duble::Responde(funcao, {0, {}, {}});
    EXPECT_FALSE(ecf_LeituraX()) << funcao;
    EXPECT_EQ(ecf_Retorno, 0);
  }
  EXPECT_EQ(Textos().front(), "Erro de Comunicação.\n");
}

TEST_F(Relatorios, LeituraXDllG2NoCanalDeComandos) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    duble::Reinicia();
    Dllg2(fabricante);
    const std::string c = fabricante == URANO ? "0" : "7";
    EXPECT_TRUE(ecf_LeituraX());
    EXPECT_TRUE(Contem({"DLLG2_LimpaParams(" + c + ")", "DLLG2_DefineTimeout(" + c + ", 30)",
                        "DLLG2_ExecutaComando(" + c + ", \"EmiteLeituraX\")",
                        "DLLG2_DefineTimeout(" + c + ", 10)"}))
        << fabricante;
  }
}

// ---- Z reduction ----------------------------------------------------------------

TEST_F(Relatorios, ReducaoBematechCompletaOsTotalizadores) {
  Fabricante(BEMATECH);
  EstadoEcf.TipoMfd = true;
  struct Caso {
    const char *lista;
    std::vector<int32_t> recusados;  // codes of the naming calls, in order
    Chamadas nomeados;
  } casos[] = {
      // "abertura" in lower case counts: "Recebimento" from index 1 on.
      {"01abertura,02SUPRIMENTO",
       {0, 0},
       {"1, \"Recebimento\"", "2, \"Recebimento\"", "3, \"Recebimento\""}},
      // "Abertura" takes 3, "Recebimento" starts above it.
      {"01SANGRIA",
       {0, 0, 1, 0},
       {"1, \"Abertura\"", "2, \"Abertura\"", "3, \"Abertura\"", "4, \"Recebimento\"",
        "5, \"Recebimento\""}},
      {"ABERTURA RECEBIMENTO", {}, {}},
  };
  for (const Caso &c : casos) {
    duble::Reinicia();
    duble::Responde("Bematech_FI_VerificaRecebimentoNaoFiscal", {1, {c.lista}, {}});
    for (int32_t r : c.recusados)
      duble::Responde("Bematech_FI_NomeiaTotalizadorNaoSujeitoIcms", {r, {}, {}});
    EXPECT_TRUE(ecf_ReducaoZ()) << c.lista;
    Chamadas nomeados;
    for (const std::string &n : duble::ChamadasDe("Bematech_FI_NomeiaTotalizadorNaoSujeitoIcms"))
      nomeados.push_back(n.substr(n.find('(') + 1, n.size() - n.find('(') - 2));
    EXPECT_EQ(nomeados, c.nomeados) << c.lista;
    EXPECT_EQ(Apenas({"Bematech_FI_ReducaoZ", "Bematech_FI_ProgramaArredondamento",
                      "Bematech_FI_VerificaRecebimentoNaoFiscal",
                      "Bematech_FI_AtivaDesativaVendaUmaLinhaMFD"}),
              (Chamadas{"Bematech_FI_ReducaoZ(NULL, NULL)", "Bematech_FI_ProgramaArredondamento()",
                        "Bematech_FI_VerificaRecebimentoNaoFiscal([2200])",
                        "Bematech_FI_AtivaDesativaVendaUmaLinhaMFD(1)"}));
  }
}

TEST_F(Relatorios, ReducaoBematechSemTotalizadoresGastaOsCinquentaIndices) {
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_VerificaRecebimentoNaoFiscal", {1, {"01SANGRIA"}, {}});
  duble::RespondeSempre("Bematech_FI_NomeiaTotalizadorNaoSujeitoIcms", {0, {}, {}});
  ecf_ReducaoZ();
  const Chamadas nomeados = duble::ChamadasDe("Bematech_FI_NomeiaTotalizadorNaoSujeitoIcms");
  ASSERT_EQ(nomeados.size(), 50u);  // none left for "Recebimento"
  EXPECT_EQ(nomeados.back(), "Bematech_FI_NomeiaTotalizadorNaoSujeitoIcms(50, \"Abertura\")");
}

TEST_F(Relatorios, ReducaoRecusadaNaoPassaPorBoa) {
  // The totaliser read answers 1 after a refused reduction: the verdict is
  // still the reduction's, and a list that could not be read programs nothing.
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_ReducaoZ", {-1, {}, {}});
  duble::Responde("Bematech_FI_VerificaRecebimentoNaoFiscal", {1, {"ABERTURA RECEBIMENTO"}, {}});
  EXPECT_FALSE(ecf_ReducaoZ());
  EXPECT_EQ(Textos().front(), "Erro de execução da função.\n");

  duble::Reinicia();
  mensagens.clear();
  Fabricante(DARUMA);
  duble::Responde("Daruma_FI_ReducaoZ", {0, {}, {}});
  EXPECT_FALSE(ecf_ReducaoZ());
  EXPECT_TRUE(duble::ChamadasDe("Daruma_FI_ProgramaFormasPagamento").empty());

  duble::Reinicia();
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_VerificaRecebimentoNaoFiscal", {0, {}, {}});
  EXPECT_TRUE(ecf_ReducaoZ());
  EXPECT_TRUE(duble::ChamadasDe("Bematech_FI_NomeiaTotalizador").empty());
}

TEST_F(Relatorios, ReducaoSweda) {
  Fabricante(SWEDA);
  duble::Responde("ECF_DataHoraImpressora", {1, {"150315", "235900"}, {}});
  duble::Responde("ECF_VerificaTotalizadoresNaoFiscaisMFD", {1, {"Abertura;Recebimento"}, {}});
  EXPECT_TRUE(ecf_ReducaoZ());
  EXPECT_EQ(
      Apenas({"ECF_DataHoraImpressora", "ECF_ReducaoZ", "ECF_VerificaTotalizadoresNaoFiscaisMFD",
              "ECF_NomeiaTotalizadorNaoSujeitoIcms", "ECF_ProgramaArredondamento",
              "ECF_LigaDesligaJanelas", "ECF_ZAUTO"}),
      (Chamadas{"ECF_DataHoraImpressora([6], [6])", "ECF_ReducaoZ(\"150315\", \"235900\")",
                "ECF_VerificaTotalizadoresNaoFiscaisMFD([2200])", "ECF_ProgramaArredondamento()",
                "ECF_LigaDesligaJanelas(\"0\", \"0\")", "ECF_ZAUTO(\"0\")"}));
  // Payment methods after a good reduction.
  EXPECT_EQ(duble::ChamadasDe("ECF_ProgramaFormaPagamentoMFD").size(), 5u);
}

TEST_F(Relatorios, ReducaoDarumaEElginComADataDoComputador) {
  const std::regex data_hora(R"(\"\d\d/\d\d/\d{4}\", \"\d\d:\d\d:\d\d\"\))");
  Fabricante(DARUMA);
  EXPECT_TRUE(ecf_ReducaoZ());
  const Chamadas daruma = Apenas(
      {"Daruma_FI_ReducaoZ", "Daruma_FI_ProgramaArredondamento", "Daruma_Registry_AplMensagem1",
       "Daruma_Registry_AplMensagem2", "Daruma_Registry_VendeItemUmaLinha",
       "Daruma_FI_ProgramaHorarioVerao", "Daruma_FI_ProgramaFormasPagamento"});
  ASSERT_EQ(daruma.size(), 7u);
  EXPECT_TRUE(std::regex_search(daruma[0], data_hora)) << daruma[0];
  EXPECT_NE(daruma[0].find("(\"" + Hoje("dd/mm/yyyy") + "\", "), std::string::npos);
  EXPECT_EQ(
      Chamadas(daruma.begin() + 1, daruma.end()),
      (Chamadas{"Daruma_FI_ProgramaArredondamento()",
                "Daruma_Registry_AplMensagem1(\"Site Desenvolvedor:\")",
                "Daruma_Registry_AplMensagem2(\"www.tarvic.com.br\")",
                "Daruma_Registry_VendeItemUmaLinha(\"1\")",
                // daylight saving off, and the printer's answer is not "0"
                "Daruma_FI_ProgramaHorarioVerao()",
                "Daruma_FI_ProgramaFormasPagamento(\"Ticket;Credito;Cheque;Cartao;Carteira;\")"}));

  for (int32_t codigo : {1, 0}) {
    duble::Reinicia();
    Fabricante(ELGIN);
    EstadoEcf.TipoMfd = true;
    duble::Responde("Elgin_ReducaoZ", {codigo, {}, {}});
    EXPECT_EQ(ecf_ReducaoZ() != 0, codigo == 1);
    const Chamadas elgin = Apenas(
        {"Elgin_ReducaoZ", "Elgin_ProgramaArredondamento", "Elgin_AtivaDesativaVendaUmaLinhaMFD"});
    ASSERT_EQ(elgin.size(), codigo == 1 ? 3u : 2u);
    EXPECT_TRUE(std::regex_search(elgin[0], data_hora)) << elgin[0];
    if (codigo == 1) {
      EXPECT_EQ(elgin[2], "Elgin_AtivaDesativaVendaUmaLinhaMFD(1)");
    }
  }
}

TEST_F(Relatorios, ReducaoDarumaParaNoHorarioDeVerao) {
  Fabricante(DARUMA);
  EstadoEcf.HorarioVerao = true;
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"0"}, {}});
  duble::Responde("Daruma_FI_ProgramaHorarioVerao", {0, {}, {}});
  EXPECT_FALSE(ecf_ReducaoZ());
  EXPECT_EQ(Textos().back(), "Falha ao configurar o Horário de Verão.");
  // Neither the report names nor the payment methods come after the abort.
  EXPECT_EQ(duble::Chamadas().back(), "Daruma_FI_ProgramaHorarioVerao()");
}

TEST_F(Relatorios, ReducaoDllG2NoCanalDoDriverMesmoUrano) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    duble::Reinicia();
    Dllg2(fabricante);
    EXPECT_TRUE(ecf_ReducaoZ());
    const Chamadas &c = duble::Chamadas();
    ASSERT_GE(c.size(), 4u);
    EXPECT_EQ(Chamadas(c.begin(), c.begin() + 4),
              (Chamadas{"DLLG2_LimpaParams(7)", "DLLG2_DefineTimeout(7, 80)",
                        "DLLG2_ExecutaComando(7, \"EmiteReducaoZ\")",
                        std::string("DLLG2_DefineTimeout(") + (fabricante == URANO ? "0" : "7") +
                            ", 10)"}));
  }
}

TEST_F(Relatorios, ReducaoSemFabricanteSoCorreOFim) {
  ecf_Retorno = 1;
  EXPECT_TRUE(ecf_ReducaoZ());
  ecf_Retorno = -2;
  EXPECT_FALSE(ecf_ReducaoZ());
  EXPECT_TRUE(duble::Chamadas().empty());
  ASSERT_EQ(Textos().size(), 1u);
  EXPECT_EQ(Textos()[0].rfind("Parâmetro inválido na função.\n", 0), 0u);
}

// ---- Pending and blocked days -------------------------------------------------------

TEST_F(Relatorios, ReducaoPendente) {
  struct Caso {
    int32_t fabricante;
    const char *movimento;
    const char *data, *hora;  // printer clock; null: not asked
    bool pendente;
  } casos[] = {
      {BEMATECH, "000000", nullptr, nullptr, false},  {BEMATECH, "", nullptr, nullptr, false},
      {BEMATECH, "010115", "020115", "000001", true}, {SWEDA, "010115", "010115", "235959", false},
      {SWEDA, "010115", "020115", "000000", true},
      // Positions of the answer as it came: " 1/01/15", not "10/11/5".
      {BEMATECH, " 10115", "010115", "120000", false},
  };
  for (const Caso &c : casos) {
    duble::Reinicia();
    Fabricante(c.fabricante);
    const std::string pre = c.fabricante == BEMATECH ? "Bematech_FI_" : "ECF_";
    duble::Responde(pre + "DataMovimento", {1, {c.movimento}, {}});
    if (c.data) duble::Responde(pre + "DataHoraImpressora", {1, {c.data, c.hora}, {}});
    EXPECT_EQ(ecf_ReducaoZPendente() != 0, c.pendente) << c.movimento;
    EXPECT_EQ(duble::ChamadasDe(pre + "DataHoraImpressora").size(), c.data ? 1u : 0u);
  }

  Fabricante(ELGIN);
  for (auto [codigo, pendente, esperado] : {std::tuple{1, 1, true}, {1, 0, false}, {0, 1, false}}) {
    duble::Responde("Elgin_VerificaZPendente", {codigo, {}, {pendente}});
    EXPECT_EQ(ecf_ReducaoZPendente() != 0, esperado);
  }
  EXPECT_EQ(Textos(), (std::vector<std::string>{"Erro de Comunicação.\n"}));

  duble::Reinicia();
  Fabricante(DARUMA);
  EXPECT_FALSE(ecf_ReducaoZPendente());
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Relatorios, ReducaoPendenteDllG2PeloIndicador128) {
  Dllg2(DATAREGIS);
  for (auto [palavra, pendente] : {std::pair{"128", true},
                                   {"384", true},
                                   {"255", true},
                                   {"127", false},
                                   {"256", false},
                                   {"32768", false},
                                   {"0", false}}) {
    RespondeDllG2(palavra);
    EXPECT_EQ(ecf_ReducaoZPendente() != 0, pendente) << palavra;
  }
}

TEST_F(Relatorios, BloqueadoAteOFimDoDiaDaUltimaReducao) {
  // The date of the last reduction is at 596 of the 631 characters.
  const std::string dados = std::string(595, '0') + "150315" + std::string(20, '0');
  const std::pair<int32_t, const char *> funcoes[] = {
      {BEMATECH, "Bematech_FI_"}, {SWEDA, "ECF_"}, {ELGIN, "Elgin_"}};
  for (const auto &[fabricante, pre] : funcoes) {
    Fabricante(fabricante);
    for (auto [data, hora, bloqueado] : {std::tuple{"150315", "235958", true},
                                         {"150315", "235959", false},
                                         {"160315", "000000", false}}) {
      duble::Reinicia();
      duble::Responde(std::string(pre) + "DadosUltimaReducao", {1, {dados}, {}});
      duble::Responde(std::string(pre) + "DataHoraImpressora", {1, {data, hora}, {}});
      EXPECT_EQ(ecf_Bloqueado() != 0, bloqueado) << pre << data << hora;
      EXPECT_EQ(duble::Chamadas()[0], std::string(pre) + "DadosUltimaReducao([631])");
    }
    duble::Reinicia();
    ecf_Retorno = 7;
    duble::Responde(std::string(pre) + "DadosUltimaReducao", {0, {dados}, {}});
    EXPECT_FALSE(ecf_Bloqueado());
    EXPECT_EQ(duble::Chamadas().size(), 1u);
    EXPECT_EQ(ecf_Retorno, 7);
  }

  duble::Reinicia();
  Fabricante(DARUMA);
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"15032015"}, {}});
  duble::Responde("Daruma_FI_DataHoraImpressora", {1, {"150315", "120000"}, {}});
  EXPECT_TRUE(ecf_Bloqueado());
  EXPECT_EQ(duble::Chamadas()[0], "Daruma_FIMFD_RetornaInformacao(\"71\", [8])");
  // Characters 1-2, 3-4 and 5 on of the answer as it came: " 1/01/2015".
  duble::Reinicia();
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {" 1012015"}, {}});
  duble::Responde("Daruma_FI_DataHoraImpressora", {1, {"010115", "120000"}, {}});
  EXPECT_TRUE(ecf_Bloqueado());
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Relatorios, BloqueadoDllG2PelosIndicadores) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    for (auto [palavra, bloqueado] :
         {std::pair{"96", true}, {"48", false}, {"160", true}, {"32", true}, {"0", false}}) {
      duble::Reinicia();
      RespondeDllG2(palavra);
      RespondeDllG2(Hoje("dd/mm/yyyy"));  // printer clock: today, a second ago
      RespondeDllG2(Hoje("hh:nn:ss"));
      EXPECT_EQ(ecf_Bloqueado() != 0, bloqueado) << palavra;
      EXPECT_EQ(duble::ChamadasDe("DLLG2_ExecutaComando").size(), bloqueado ? 3u : 1u);
    }
  }
  EXPECT_TRUE(mensagens.empty());
}

// ---- Daylight saving and rounding ----------------------------------------------------

TEST_F(Relatorios, HorarioDeVeraoSoTrocaQuandoDifere) {
  Fabricante(BEMATECH);
  for (auto [flags, desejado, troca] : {std::tuple{4, false, true},
                                        {4, true, false},
                                        {255 - 4, true, true},
                                        {255, false, true},
                                        {8 + 2, false, false}}) {
    duble::Reinicia();
    EstadoEcf.HorarioVerao = desejado;
    duble::Responde("Bematech_FI_FlagsFiscais", {1, {}, {flags}});
    ecf_ProgramaHorarioVerao();
    EXPECT_EQ(duble::ChamadasDe("Bematech_FI_ProgramaHorarioVerao").size(), troca ? 1u : 0u)
        << flags << desejado;
  }

  Fabricante(DARUMA);
  for (auto [resposta, desejado, troca] : {std::tuple{"1", true, false},
                                           {"0", true, true},
                                           {"0", false, false},
                                           {"", false, true},
                                           {"x", true, true}}) {
    duble::Reinicia();
    EstadoEcf.HorarioVerao = desejado;
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {resposta}, {}});
    ecf_ProgramaHorarioVerao();
    EXPECT_EQ(duble::ChamadasDe("Daruma_FI_ProgramaHorarioVerao").size(), troca ? 1u : 0u)
        << resposta << desejado;
  }
  EXPECT_TRUE(mensagens.empty());
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"0"}, {}});
  duble::Responde("Daruma_FI_ProgramaHorarioVerao", {-1, {}, {}});
  ecf_ProgramaHorarioVerao();  // the abort stops at the export
  EXPECT_EQ(Textos(), (std::vector<std::string>{"Falha ao configurar o Horário de Verão."}));
}

TEST_F(Relatorios, ArredondamentoIgnoraOCodigo) {
  Fabricante(SWEDA);
  duble::Responde("ECF_ProgramaArredondamento", {0, {}, {}});
  ecf_Retorno = 5;
  ecf_ConfiguraArredondamento();
  EXPECT_EQ(duble::Chamadas(), Chamadas{"ECF_ProgramaArredondamento()"});
  EXPECT_EQ(ecf_Retorno, 5);
  EXPECT_FALSE(ecf_ModoArredondamento());
  EXPECT_TRUE(mensagens.empty());
}

// ---- Fiscal-memory readings ----------------------------------------------------------

TEST_F(Relatorios, AssinaturaDoArquivoPafEcf) {
  const std::string &chave = tarvic::ChaveAssinaturaPafEcf();
  EXPECT_EQ(chave.size(), 832u);
  EXPECT_EQ(std::count(chave.begin(), chave.end(), '\n'), 12);
  EXPECT_EQ(tarvic::ModuloAssinaturaPafEcf().size(), 256u);
}

TEST_F(Relatorios, LeituraMemoriaFiscalPorFabricante) {
  const std::string modulo = "\"" + tarvic::ModuloAssinaturaPafEcf() + "\"";
  const std::string chave = "\"" + tarvic::ChaveAssinaturaPafEcf().substr(0, 256) + "\"";
  struct Caso {
    int32_t fabricante;
    bool mfd, arquivo;
    const char *tipo;
    Chamadas porData, porReducao;
  } casos[] = {
      {BEMATECH,
       true,
       false,
       "C",
       {"Bematech_FI_LeituraMemoriaFiscalDataMFD(\"01/03/2015\", \"31/03/2015\", \"c\")"},
       {"Bematech_FI_LeituraMemoriaFiscalReducaoMFD(\"1\", \"12\", \"c\")"}},
      {BEMATECH,
       true,
       true,
       "S",
       {"Bematech_FI_LeituraMemoriaFiscalSerialDataPAFECF(\"01/03/2015\", \"31/03/2015\", \"s\", " +
        modulo + ", " + chave + ")"},
       {"Bematech_FI_LeituraMemoriaFiscalSerialReducaoPAFECF(\"1\", \"12\", \"s\", " + modulo +
        ", " + chave + ")"}},
      {BEMATECH,
       false,
       false,
       "C",
       {"Bematech_FI_LeituraMemoriaFiscalData(\"01032015\", \"31032015\")"},
       {"Bematech_FI_LeituraMemoriaFiscalReducao(\"1\", \"12\")"}},
      {BEMATECH,
       false,
       true,
       "C",
       {"Bematech_FI_LeituraMemoriaFiscalSerialData(\"01032015\", \"31032015\")"},
       {"Bematech_FI_LeituraMemoriaFiscalSerialReducao(\"1\", \"12\")"}},
      {SWEDA,
       false,
       false,
       "C",
       {"ECF_LeituraMemoriaFiscalDataMFD(\"01032015\", \"31032015\", \"C\")"},
       {"ECF_LeituraMemoriaFiscalReducaoMFD(\"1\", \"12\", \"C\")"}},
      {SWEDA,
       false,
       true,
       "x",
       {"ECF_LeituraMemoriaFiscalSerialDataMFD(\"01032015\", \"31032015\", \"S\")"},
       {"ECF_LeituraMemoriaFiscalSerialReducaoMFD(\"1\", \"12\", \"S\")"}},
      {DARUMA,
       false,
       false,
       "C",
       {"Daruma_Registry_MFD_LeituraMFCompleta(\"1\")",
        "Daruma_FI_LeituraMemoriaFiscalData(\"01032015\", \"31032015\")"},
       {"Daruma_Registry_MFD_LeituraMFCompleta(\"1\")",
        "Daruma_FI_LeituraMemoriaFiscalReducao(\"1\", \"12\")"}},
      {DARUMA,
       false,
       true,
       "",
       {"Daruma_Registry_MFD_LeituraMFCompleta(\"0\")",
        "Daruma_FI_LeituraMemoriaFiscalSerialData(\"01032015\", \"31032015\")"},
       {"Daruma_Registry_MFD_LeituraMFCompleta(\"0\")",
        "Daruma_FI_LeituraMemoriaFiscalSerialReducao(\"1\", \"12\")"}},
      // No file variant on ELGIN.
      {ELGIN,
       true,
       true,
       "C",
       {"Elgin_LeituraMemoriaFiscalData(\"01032015\", \"31032015\", \"c\")"},
       {"Elgin_LeituraMemoriaFiscalReducao(\"1\", \"12\", \"c\")"}},
      {0, false, false, "C", {}, {}},
  };
  for (const Caso &c : casos) {
    Fabricante(c.fabricante);
    EstadoEcf.TipoMfd = c.mfd;
    duble::Reinicia();
    ecf_LeituraMemoriaFiscalData("01032015", "31032015", c.tipo, c.arquivo);
    EXPECT_EQ(Chamadas(duble::Chamadas().begin(), duble::Chamadas().begin() + c.porData.size()),
              c.porData);
    duble::Reinicia();
    ecf_LeituraMemoriaFiscalReducao(1, 12, c.tipo, c.arquivo);
    EXPECT_EQ(Chamadas(duble::Chamadas().begin(),
                       duble::Chamadas().begin() +
                           std::min(duble::Chamadas().size(), c.porReducao.size())),
              c.porReducao);
  }
}

TEST_F(Relatorios, TipoCompletoSoComCMaiusculoNaLeituraPorData) {
  Fabricante(SWEDA);
  ecf_LeituraMemoriaFiscalData("01032015", "31032015", "c", false);
  ecf_LeituraMemoriaFiscalData("01032015", "31032015", " C ", false);
  ecf_LeituraMemoriaFiscalReducao(1, 2, " c ", false);
  EXPECT_EQ(Apenas({"ECF_LeituraMemoriaFiscalDataMFD", "ECF_LeituraMemoriaFiscalReducaoMFD"}),
            (Chamadas{"ECF_LeituraMemoriaFiscalDataMFD(\"01032015\", \"31032015\", \"S\")",
                      "ECF_LeituraMemoriaFiscalDataMFD(\"01032015\", \"31032015\", \"S\")",
                      "ECF_LeituraMemoriaFiscalReducaoMFD(\"1\", \"2\", \"C\")"}));
}

TEST_F(Relatorios, LeituraMemoriaFiscalDllG2Impressa) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    Dllg2(fabricante);
    duble::Reinicia();
    std::ofstream(EstadoEcf.ArquivoRetorno) << "[ECF]\r\nPOSICAO=x\r\n";
    ecf_LeituraMemoriaFiscalData("01032015", "31032015", "C", false);
    const Chamadas &c = duble::Chamadas();
    ASSERT_GE(c.size(), 7u);
    EXPECT_EQ(
        Chamadas(c.begin(), c.begin() + 7),
        (Chamadas{
            "DLLG2_LimpaParams(7)", "DLLG2_AdicionaParam(7, \"DataFinal\", \"31/03/2015\", 2)",
            "DLLG2_AdicionaParam(7, \"DataInicial\", \"01/03/2015\", 2)",
            "DLLG2_AdicionaParam(7, \"Destino\", \"I\", 7)",
            "DLLG2_AdicionaParam(7, \"LeituraSimplificada\", \"f\", 0)",
            "DLLG2_ExecutaComando(7, \"EmiteLeituraMF\")",
            std::string("DLLG2_DefineTimeout(") + (fabricante == URANO ? "0" : "7") + ", 10)"}));
    EXPECT_FALSE(std::ifstream(EstadoEcf.ArquivoRetorno).good());

    duble::Reinicia();
    ecf_LeituraMemoriaFiscalReducao(1, 12, "s", false);
    EXPECT_EQ(Chamadas(duble::Chamadas().begin() + 1, duble::Chamadas().begin() + 5),
              (Chamadas{"DLLG2_AdicionaParam(7, \"ReducaoFinal\", \"12\", 4)",
                        "DLLG2_AdicionaParam(7, \"ReducaoInicial\", \"1\", 4)",
                        "DLLG2_AdicionaParam(7, \"Destino\", \"I\", 7)",
                        "DLLG2_AdicionaParam(7, \"LeituraSimplificada\", \"t\", 0)"}));
  }
}

TEST_F(Relatorios, LeituraMemoriaFiscalDllG2EmArquivo) {
  Dllg2(DATAREGIS);
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  std::ofstream(EstadoEcf.ArquivoRetorno) << "antigo";
  RespondeDllG2("LEITURA DA MF\r\n");
  RespondeDllG2("Z 0001 01/03/2015\r\n");
  RespondeDllG2("Z 0002 02/03/2015\r\n");
  RespondeDllG2("");
  ecf_LeituraMemoriaFiscalReducao(1, 2, "C", true);
  EXPECT_EQ(LeArquivo(EstadoEcf.ArquivoRetorno),
            "LEITURA DA MF\r\nZ 0001 01/03/2015\r\nZ 0002 02/03/2015\r\n");
  EXPECT_EQ(duble::ChamadasDe("DLLG2_ExecutaComando(7, \"LeImpressao\")").size(), 4u);
  EXPECT_EQ(duble::Chamadas()[3], "DLLG2_AdicionaParam(7, \"Destino\", \"S\", 7)");
  EXPECT_TRUE(mensagens.empty());

  // A failing piece read ends the file; what came before it stays.
  duble::Reinicia();
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  RespondeDllG2("primeira parte");
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});  // EmiteLeituraMF
  duble::Responde("DLLG2_ExecutaComando", {1, {}, {}});
  duble::Responde("DLLG2_ExecutaComando", {0, {}, {}});
  ecf_LeituraMemoriaFiscalReducao(1, 2, "C", true);
  EXPECT_EQ(LeArquivo(EstadoEcf.ArquivoRetorno), "primeira parte");
  EXPECT_EQ(Textos(), (std::vector<std::string>{"Falha de comunicação com ECF.\n"}));

  // A printout whose first piece is already empty: the old file is gone and
  // an empty one stands in its place.
  duble::Reinicia();
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  std::ofstream(EstadoEcf.ArquivoRetorno) << "antigo";
  RespondeDllG2("");
  ecf_LeituraMemoriaFiscalData("01032015", "31032015", "C", true);
  EXPECT_EQ(duble::ChamadasDe("DLLG2_ExecutaComando(7, \"LeImpressao\")").size(), 1u);
  EXPECT_TRUE(std::ifstream(EstadoEcf.ArquivoRetorno).good());
  EXPECT_EQ(LeArquivo(EstadoEcf.ArquivoRetorno), "");

  // A driver that leaves the buffer untouched ends the reading too.
  duble::Reinicia();
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  ecf_LeituraMemoriaFiscalReducao(1, 2, "C", true);
  EXPECT_EQ(duble::ChamadasDe("DLLG2_ExecutaComando(7, \"LeImpressao\")").size(), 1u);
  EXPECT_FALSE(std::ifstream(EstadoEcf.ArquivoRetorno).good());
}

TEST_F(Relatorios, LeituraMemoriaFiscalDllG2DeDriverPresoParaEFalha) {
  Dllg2(DATAREGIS);
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  duble::RespondeSempre("DLLG2_Retorno", {1, {"Z 0001\r\n"}, {}});
  ecf_LeituraMemoriaFiscalReducao(1, 2, "C", true);
  EXPECT_EQ(duble::ChamadasDe("DLLG2_ExecutaComando(7, \"LeImpressao\")").size(), 101u);
  EXPECT_EQ(LeArquivo(EstadoEcf.ArquivoRetorno).size(), 800u);
  EXPECT_EQ(Textos(), (std::vector<std::string>{"Falha de comunicação com ECF.\n"}));
}

TEST_F(Relatorios, LeituraMemoriaFiscalDllG2EmArquivoQueNaoPodeSerGravado) {
  Dllg2(URANO);
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  EstadoEcf.ArquivoRetorno = Pasta() + "nao/meuRetorno.ini";
  RespondeDllG2("LEITURA DA MF\r\n");
  ecf_LeituraMemoriaFiscalReducao(1, 2, "C", true);
  EXPECT_EQ(Textos(), (std::vector<std::string>{"Não foi possível gravar \"" +
                                                EstadoEcf.ArquivoRetorno + "\"."}));
  EXPECT_EQ(ecf_Retorno, -1);
}

TEST_F(Relatorios, LeituraMemoriaFiscalDllG2ComDataInvalidaNaoChegaAImpressora) {
  Dllg2(URANO);
  for (auto [inicio, fim] : {std::pair{"1/3/2015", "31032015"},
                             {"01032015", "32032015"},
                             {"0103201", "31032015"},
                             {"01032015", ""}}) {
    ecf_Retorno = 1;
    ecf_LeituraMemoriaFiscalData(inicio, fim, "C", true);
    EXPECT_EQ(ecf_Retorno, -2) << inicio << " " << fim;
  }
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_TRUE(mensagens.empty());
}
