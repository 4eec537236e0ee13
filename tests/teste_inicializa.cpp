// Start-up and configuration.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "comum.h"
#include "plataforma.h"

using Chamadas = std::vector<std::string>;

namespace {

// The calls made up to and including the first one that contains `marca`
// (where the recovery of a half-finished document starts).
Chamadas AteOPrimeiro(const std::string &marca) {
  Chamadas r;
  for (const std::string &c : duble::Chamadas()) {
    r.push_back(c);
    if (c.find(marca) != std::string::npos) break;
  }
  return r;
}

const char *const SEM_BEMAFI32 =
    "Não foi possível encontrar BEMAFI32.INI.\nDeterminadas configurações não poderão ser "
    "estabelecidas, o que poderá implicar no correto funcionamento do ECF.";

// A BEMAFI32.INI beside the test program for as long as it lives.
class IniBematech {
 public:
  explicit IniBematech(const std::string &conteudo)
      : caminho_(plataforma::PastaDoExecutavel() + "BEMAFI32.INI") {
    std::ofstream(caminho_, std::ios::binary) << conteudo;
  }
  ~IniBematech() { std::remove(caminho_.c_str()); }
  const std::string &Caminho() const { return caminho_; }

 private:
  std::string caminho_;
};

// An environment variable changed for as long as it lives.
class Ambiente {
 public:
  Ambiente(const char *nome, const char *valor) : nome_(nome) {
    const char *antes = std::getenv(nome);
    tinha_ = antes != nullptr;
    if (tinha_) antes_ = antes;
    if (valor)
      setenv(nome, valor, 1);
    else
      unsetenv(nome);
  }
  ~Ambiente() {
    if (tinha_)
      setenv(nome_.c_str(), antes_.c_str(), 1);
    else
      unsetenv(nome_.c_str());
  }

 private:
  std::string nome_, antes_;
  bool tinha_ = false;
};

}  // namespace

class Inicializa : public TesteEcf {
 protected:
  // The base folder as a host would name it: no separator at the end.
  std::string Base() const { return Pasta().substr(0, Pasta().size() - 1); }
  std::string PastaRetorno() const { return Pasta() + "retornoEcf/"; }
  std::string Retorno(const std::string &chave) {
    return plataforma::LeIni(PastaRetorno() + "meuRetorno.ini", "ECF", chave, "<nada>");
  }
  void VersaoBematech(const char *versao) {
    duble::Responde("Bematech_FI_VersaoDll", {1, {versao}, {}});
  }
};

TEST_F(Inicializa, AntesDeTudo) {
  EXPECT_EQ(ecf_IdFabricante(), 0);
  EXPECT_EQ(ecf_DllVersao(), 1020);
  EXPECT_FALSE(ecf_SetarPafRetorno());
}

TEST_F(Inicializa, SwedaDoInicioAoDestrava) {
  duble::Responde("ECF_MarcaModeloTipoImpressoraMFD", {1, {"SWEDA", "IF ST200", "ECF-IF"}, {}});
  EstadoEcf.PoucoPapel = true;
  EstadoEcf.NumeroCaixa = 5;
  EstadoEcf.NumeroSerie = "velho";
  EXPECT_TRUE(ecf_Inicializa(" sweda ", " com1 ", (" " + Base() + " ").c_str()));
  const std::string pasta = "\"" + PastaRetorno() + "\"";
  EXPECT_EQ(
      AteOPrimeiro("ECF_StatusCupomFiscal"),
      (Chamadas{"ECF_AbrePortaSerial()", "ECF_CfgRedZAutomatico(\"0\")",
                "ECF_RetornaPortaVelocidade([1], [6])", "ECF_VerificaImpressoraLigada()",
                "ECF_Registry()", "ECF_Registry_AlteraRegistry(\"Path\", " + pasta + ")",
                "ECF_Registry_AlteraRegistry(\"PathMFD\", " + pasta + ")",
                "ECF_Registry_AlteraRegistry(\"ZAuto\", \"0\")",
                "ECF_Registry_AlteraRegistry(\"AplMensagem1\", \"Biblioteca de ECF tarvic\")",
                "ECF_Registry_AlteraRegistry(\"AplMensagem2\", NULL)",
                "ECF_ProgramaArredondamento()", "ECF_MarcaModeloTipoImpressoraMFD([15], [20], [7])",
                "ECF_StatusCupomFiscal([2])"}));
  EXPECT_EQ(ecf_IdFabricante(), SWEDA);
  EXPECT_EQ(EstadoEcf.NomeFabricante, "SWEDA");
  EXPECT_EQ(EstadoEcf.PortaEcf, "COM1");
  EXPECT_EQ(EstadoEcf.PastaRetorno, PastaRetorno());
  EXPECT_EQ(EstadoEcf.ArquivoRetorno, PastaRetorno() + "meuRetorno.ini");
  EXPECT_FALSE(EstadoEcf.PoucoPapel);
  EXPECT_EQ(EstadoEcf.NumeroCaixa, 0);
  EXPECT_EQ(EstadoEcf.NumeroSerie, "");
  EXPECT_EQ(EstadoEcf.Modelo, "IF ST200");
  EXPECT_FALSE(EstadoEcf.PastaSistema.empty());
  EXPECT_EQ(EstadoEcf.PastaSistema.back(), '/');
  EXPECT_EQ(LeArquivo(EstadoEcf.ArquivoRetorno),
            "[ECF]\r\nPATHRETORNO=" + PastaRetorno() + "\r\nARQRETORNO=" + PastaRetorno() +
                "meuRetorno.ini\r\nMODELO=IF ST200\r\nMARCA=SWEDA\r\nTIPO=ECF-IF\r\n");
  EXPECT_TRUE(mensagens.empty());

  // Once more, into the folder that now exists, with a separator given.
  duble::Reinicia();
  EXPECT_TRUE(ecf_Inicializa("SWEDA", "COM1", Pasta().c_str()));
  EXPECT_EQ(EstadoEcf.PastaRetorno, PastaRetorno());
  EXPECT_EQ(duble::ChamadasDe("ECF_MarcaModeloTipoImpressoraMFD").size(), 1u)
      << "the model is asked again";
}

TEST_F(Inicializa, BematechComESemBemafi32Ini) {
  // No INI anywhere: the operator is told, the start-up goes on.
  VersaoBematech(" 5,10,6,8");
  duble::Responde("Bematech_FI_ModeloImpressora", {1, {"MP20FI"}, {}});
  EXPECT_TRUE(ecf_Inicializa("bematech", "COM3", Base().c_str()));
  EXPECT_EQ(AteOPrimeiro("Bematech_FI_FlagsFiscais"),
            (Chamadas{"Bematech_FI_AbrePortaSerial()", "Bematech_FI_VerificaImpressoraLigada()",
                      "Bematech_FI_VersaoDll([9])", "Bematech_FI_ModeloImpressora([10])",
                      "Bematech_FI_FlagsFiscais(&)"}));
  EXPECT_EQ(Textos(), Chamadas{SEM_BEMAFI32});
  EXPECT_EQ(mensagens[0].titulo, "BEMATECH");
  EXPECT_EQ(ecf_IdFabricante(), BEMATECH);
  EXPECT_FALSE(ecf_TipoMFD());

  // Beside the host's program: the model is read first, then the four keys.
  struct Caso {
    const char *modelo;
    const char *impressora;
  } casos[] = {{"MP20FI", "0"}, {"MP25FI", "1"}, {"MP-4000 TH", "1"}};
  for (const Caso &c : casos) {
    IniBematech ini("[Sistema]\r\nPorta=COM3\r\nPath=C:\\velho\r\n");
    duble::Reinicia();
    mensagens.clear();
    VersaoBematech("5,10,6,8");
    duble::Responde("Bematech_FI_ModeloImpressora", {1, {c.modelo}, {}});
    duble::Responde("Bematech_FI_MarcaModeloTipoImpressoraMFD",
                    {1, {"BEMATECH", "MP-4000 TH FI", "ECF-IF"}, {}});
    EXPECT_TRUE(ecf_Inicializa("BEMATECH", "COM3", Base().c_str()));
    EXPECT_TRUE(mensagens.empty());
    EXPECT_EQ(LeArquivo(ini.Caminho()), "[Sistema]\r\nPorta=COM3\r\nPath=" + PastaRetorno() +
                                            "\r\nCrLfVinculado=1\r\nCrLfGerencial=1\r\n[MFD]\r\n"
                                            "Impressora=" +
                                            c.impressora + "\r\n")
        << c.modelo;
    // ecf_Modelo ran before the keys; the start-up's own call found it known.
    EXPECT_EQ(duble::ChamadasDe("Bematech_FI_ModeloImpressora").size(), 1u);
    EXPECT_EQ(duble::Chamadas()[3], "Bematech_FI_ModeloImpressora([10])");
  }
}

TEST_F(Inicializa, BematechComVersaoRecusada) {
  VersaoBematech("5,10,6,7");
  EXPECT_FALSE(ecf_Inicializa("BEMATECH", "COM1", Base().c_str()));
  EXPECT_EQ(ecf_IdFabricante(), FAB_REJEITADO);
  EXPECT_EQ(Textos(), Chamadas{"Versão da bemafi32.dll é inválida.\n\n   Versão atual: 5,10,6,7\n"
                               "   Versão esperada: 5,10,6,8"});
  EXPECT_EQ(duble::Chamadas().back(), "Bematech_FI_VersaoDll([9])");
  EXPECT_FALSE(plataforma::PastaExiste(PastaRetorno()));

  // The rejected driver is left alone by the other exports.
  duble::Reinicia();
  EXPECT_FALSE(ecf_Modelo());
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Inicializa, FabricanteDesconhecidoNaoAbrePorta) {
  EXPECT_FALSE(ecf_Inicializa(" Epson ", "COM1", Base().c_str()));
  EXPECT_TRUE(duble::Chamadas().empty());
  ASSERT_EQ(mensagens.size(), 1u);
  EXPECT_EQ(mensagens[0].texto, "Fabricante desconhecido para configuração interna: 'EPSON'.");
  EXPECT_EQ(mensagens[0].titulo, "EPSON");
  EXPECT_EQ(ecf_IdFabricante(), 0);

  mensagens.clear();
  EXPECT_FALSE(ecf_Inicializa("d'aruma", "COM1", Base().c_str()));
  EXPECT_EQ(Textos(), Chamadas{"Fabricante desconhecido para configuração interna: 'D''ARUMA'."});
  EXPECT_FALSE(ecf_Inicializa(nullptr, nullptr, nullptr));
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_FALSE(plataforma::PastaExiste(PastaRetorno()));
}

TEST_F(Inicializa, ImpressoraQueNaoResponde) {
  EstadoEcf.PastaRetorno = "antes/";
  duble::Responde("Daruma_FI_VerificaImpressoraLigada", {-6, {}, {}});
  EXPECT_FALSE(ecf_Inicializa(" daruma ", "com2", Base().c_str()));
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"Daruma_FI_AbrePortaSerial()", "Daruma_FI_VerificaImpressoraLigada()"}));
  EXPECT_EQ(Textos(), Chamadas{"Falha na comunicação com Impressora Fiscal.\nVerifique se os cabos "
                               "estão conectados, se o ECF está ligado e se há bobina "
                               "(papel).\n\nRetorno do ECF:  -6"});
  EXPECT_EQ(ecf_IdFabricante(), DARUMA);
  EXPECT_EQ(EstadoEcf.PortaEcf, "COM2");
  EXPECT_EQ(EstadoEcf.PastaRetorno, "antes/");
  EXPECT_FALSE(plataforma::PastaExiste(PastaRetorno()));
}

TEST_F(Inicializa, DarumaEElgin) {
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"DARUMA"}, {}});
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"ECF-IF"}, {}});
  duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"FS700"}, {}});
  EXPECT_TRUE(ecf_Inicializa("DARUMA", "COM1", Base().c_str()));
  const std::string pasta = "\"" + PastaRetorno() + "\"";
  EXPECT_EQ(AteOPrimeiro("Daruma_FI_StatusCupomFiscal"),
            (Chamadas{"Daruma_FI_AbrePortaSerial()", "Daruma_FI_VerificaImpressoraLigada()",
                      "Daruma_Registry_SintegraPath(" + pasta + ")",
                      "Daruma_Registry_AlterarRegistry(\"AtoCotepe\", \"Path\", " + pasta + ")",
                      "Daruma_Registry_AlterarRegistry(\"AtoCotepe\", \"Beep\", \"1\")",
                      "Daruma_FIMFD_RetornaInformacao(\"80\", [20])",
                      "Daruma_FIMFD_RetornaInformacao(\"79\", [7])",
                      "Daruma_FIMFD_RetornaInformacao(\"81\", [20])",
                      "Daruma_FI_StatusCupomFiscal([2])"}));
  EXPECT_EQ(Retorno("MODELO"), "FS700");
  EXPECT_TRUE(mensagens.empty());
  // The host may write the driver settings again: the same three calls.
  duble::Reinicia();
  EXPECT_TRUE(ecf_SetarPafRetorno());
  EXPECT_EQ(duble::Chamadas().size(), 3u);
  EXPECT_EQ(duble::Chamadas()[0], "Daruma_Registry_SintegraPath(" + pasta + ")");

  duble::Reinicia();
  duble::Responde("Elgin_MarcaModeloTipoImpressoraMFD", {1, {"ELGIN", "FIT", "ECF-IF"}, {}});
  EXPECT_TRUE(ecf_Inicializa("ELGIN", "COM1", Base().c_str()));
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"Elgin_AbrePortaSerial()", "Elgin_VerificaImpressoraLigada()",
                      "Elgin_MarcaModeloTipoImpressoraMFD([15], [20], [7])"}));
  EXPECT_EQ(Retorno("ARQRETORNO"), PastaRetorno() + "meuRetorno.ini");
  EXPECT_FALSE(ecf_SetarPafRetorno()) << "ELGIN has no driver settings";
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Inicializa, DataregisEUrano) {
  for (int32_t fabricante : {DATAREGIS, URANO}) {
    duble::Reinicia();
    duble::Responde("DLLG2_IniciaDriver", {3, {}, {}});
    const bool dataregis = fabricante == DATAREGIS;
    if (dataregis) duble::Responde("DLLG2_Retorno", {1, {"120"}, {}});  // COO
    duble::Responde("DLLG2_Retorno", {1, {"DATAREGIS"}, {}});
    duble::Responde("DLLG2_Retorno", {1, {"ECF-IF"}, {}});
    duble::Responde("DLLG2_Retorno", {1, {"PRINT ID"}, {}});
    EXPECT_TRUE(ecf_Inicializa(NomeDe(fabricante), "COM2", Base().c_str()));
    const std::string c = dataregis ? "3" : "0";
    Chamadas esperadas{"DLLG2_IniciaDriver(\"COM2\")", "DLLG2_DefineTimeout(" + c + ", 10)"};
    if (dataregis)
      esperadas.insert(esperadas.end(), {"DLLG2_LimpaParams(3)",
                                         "DLLG2_AdicionaParam(3, \"NomeInteiro\", \"COO\", 7)",
                                         "DLLG2_ExecutaComando(3, \"LeInteiro\")",
                                         "DLLG2_Retorno(3, 0, \"ValorInteiro\", 0, [50], 50)"});
    for (const char *nome : {"Marca", "TipoECF", "Modelo"})
      esperadas.insert(esperadas.end(),
                       {"DLLG2_LimpaParams(" + c + ")",
                        "DLLG2_AdicionaParam(" + c + ", \"NomeTexto\", \"" + nome + "\", 7)",
                        "DLLG2_ExecutaComando(" + c + ", \"LeTexto\")",
                        "DLLG2_Retorno(" + c + ", 0, \"ValorTexto\", 0, [50], 50)"});
    esperadas.insert(esperadas.end(),
                     {"DLLG2_LimpaParams(" + c + ")",
                      "DLLG2_AdicionaParam(" + c + ", \"NomeInteiro\", \"EstadoFiscal\", 7)"});
    EXPECT_EQ(AteOPrimeiro("\"EstadoFiscal\""), esperadas) << NomeDe(fabricante);
    EXPECT_EQ(ecf_IdFabricante(), fabricante);
    EXPECT_EQ(CanalDllG2, 3);
    EXPECT_EQ(Retorno("MARCA"), "DATAREGIS");
    EXPECT_TRUE(mensagens.empty());
  }
}

TEST_F(Inicializa, PastaDeRetornoQueNaoPodeSerCriada) {
  EXPECT_FALSE(ecf_Inicializa("ELGIN", "COM1", (Pasta() + "nao/existe").c_str()));
  EXPECT_EQ(EstadoEcf.PastaRetorno, Pasta() + "nao/existe/retornoEcf/");
  EXPECT_FALSE(plataforma::PastaExiste(EstadoEcf.PastaRetorno));
  EXPECT_TRUE(duble::ChamadasDe("Elgin_MarcaModelo").empty()) << "the start-up stops there";
  // The operator learns which folder, the host a failure code.
  EXPECT_EQ(Textos(), Chamadas{"Não foi possível criar a pasta de retorno \"" + Pasta() +
                               "nao/existe/retornoEcf/\".\nA pasta \"" + Pasta() +
                               "nao/existe/\" não existe."});
  EXPECT_EQ(ecf_Retorno, -1);
}

TEST_F(Inicializa, SemPastaBaseUsaAPastaDoPrograma) {
  const std::string pasta = plataforma::PastaDoExecutavel() + "retornoEcf/";
  const bool existia = plataforma::PastaExiste(pasta);
  EXPECT_TRUE(ecf_Inicializa("ELGIN", "COM1", "  "));
  EXPECT_EQ(EstadoEcf.PastaRetorno, pasta);
  EXPECT_TRUE(plataforma::PastaExiste(pasta));
  if (!existia) std::filesystem::remove_all(pasta);
}

TEST_F(Inicializa, PastaTemporariaELogDoDataregis) {
  std::filesystem::create_directories(Pasta() + "tmp");
  {
    Ambiente temp("TEMP", (" " + Pasta() + "tmp ").c_str());
    EXPECT_TRUE(ecf_Inicializa("DATAREGIS", "COM1", Base().c_str()));
  }
  EXPECT_EQ(EstadoEcf.PastaTemp, Pasta() + "tmp/");

  const std::string log = Pasta() + "tmp/dtregis.log";
  const std::string arquivo = Pasta() + "outro.ini";
  std::ofstream(log) << "antigo";
  std::ofstream(arquivo) << "[ECF]\r\nVELHO=1\r\n";
  duble::Reinicia();
  EXPECT_TRUE(ecf_SetArqRetorno(arquivo.c_str()));
  EXPECT_FALSE(plataforma::ArquivoExiste(log));
  EXPECT_FALSE(plataforma::ArquivoExiste(arquivo)) << "a fresh return file";
  EXPECT_EQ(duble::Chamadas(), Chamadas{"DLLG2_SetaArquivoLog(\"" + log + "\")"});
  EXPECT_FALSE(ecf_SetarPafRetorno());  // no driver settings, but the keys
  EXPECT_EQ(plataforma::LeIni(arquivo, "ECF", "ARQRETORNO", ""), arquivo);

  // An empty TEMP: the system's temporary folder.
  Ambiente vazio("TEMP", "");
  EXPECT_TRUE(ecf_Inicializa("URANO", "COM1", Base().c_str()));
  EXPECT_EQ(EstadoEcf.PastaTemp, IncluiSeparador(plataforma::PastaTemporaria()));
}

TEST_F(Inicializa, ArquivoDeRetornoDoHost) {
  Fabricante(SWEDA);
  EstadoEcf.ArquivoRetorno = "antes.ini";
  EXPECT_FALSE(ecf_SetArqRetorno(nullptr));
  EXPECT_FALSE(ecf_SetArqRetorno("  "));
  EXPECT_EQ(EstadoEcf.ArquivoRetorno, "antes.ini");

  EXPECT_TRUE(ecf_SetArqRetorno((Pasta() + "meu.ini").c_str()));
  EXPECT_EQ(EstadoEcf.ArquivoRetorno, Pasta() + "meu.ini");
  EXPECT_TRUE(duble::Chamadas().empty()) << "only DATAREGIS has a log";

  // A file that could never be written, or a folder, is refused with the
  // reason and a failure code; the current file stays.
  const std::string ruim = Pasta() + "nao/existe.ini";
  ecf_Retorno = 1;
  EXPECT_FALSE(ecf_SetArqRetorno(ruim.c_str()));
  EXPECT_EQ(ecf_Retorno, -1);
  EXPECT_FALSE(ecf_SetArqRetorno(Pasta().c_str()));
  EXPECT_EQ(EstadoEcf.ArquivoRetorno, Pasta() + "meu.ini");
  EXPECT_EQ(Textos(), (Chamadas{"A pasta \"" + Pasta() + "nao/\" do arquivo de retorno não existe.",
                                "\"" + Pasta() + "\" é uma pasta, não um arquivo."}));

  // One that stops being writable later: the operator is told, nothing stops.
  mensagens.clear();
  EstadoEcf.ArquivoRetorno = ruim;
  EstadoEcf.PastaRetorno = Pasta();
  EXPECT_TRUE(ecf_SetarPafRetorno());
  const std::string falha = "Falha ao acessar \"" + ruim + "\" em dll de ecf.";
  EXPECT_EQ(Textos(), (Chamadas{falha, falha}));
}

TEST_F(Inicializa, AjustesSobrevivemAoReinicio) {
  EXPECT_TRUE(ecf_SetUF("RJ"));
  EXPECT_TRUE(ecf_SetPafMd5("0123456789abcdef"));
  EXPECT_TRUE(ecf_SetHorarioVerao(7));
  EXPECT_FALSE(ecf_SetHorarioVerao(0));
  EXPECT_TRUE(ecf_SetHorarioVerao(1));
  EXPECT_TRUE(ecf_Inicializa("ELGIN", "COM1", Base().c_str()));
  EXPECT_EQ(EstadoEcf.UF, "RJ");
  EXPECT_EQ(EstadoEcf.PafMd5, "0123456789abcdef");
  EXPECT_TRUE(EstadoEcf.HorarioVerao);
  EXPECT_TRUE(ecf_SetUF(nullptr));
  EXPECT_EQ(EstadoEcf.UF, "");
}
