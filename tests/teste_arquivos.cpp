// PAF-ECF files: MFD downloads, the signed MFD file, the Ato Cotepe 17/04
// and Sintegra files, and the binding that keeps BemaMFD.dll loaded.
#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "UnitBemaMFD/bemamfd.h"
#include "comum.h"
#include "plataforma.h"

using Chamadas = std::vector<std::string>;

namespace tarvic {
const std::string &ModuloAssinaturaPafEcf();
void ListaArquivos(const std::string &pasta, bool recursivo, const std::string &mascara,
                   std::vector<std::string> &lista);
}  // namespace tarvic

namespace {

const char *const RETORNO_BEMATECH = "Bematech_FI_RetornoImpressora(&, &, &)";

void Grava(const std::string &caminho, const std::string &texto) {
  std::ofstream(caminho, std::ios::binary) << texto;
}

std::string Inicio(const std::string &texto, const std::string &prefixo) {
  return texto.substr(0, prefixo.size());
}

bool Existe(const std::string &caminho) {
  return std::filesystem::exists(caminho);
}

// The texts between double quotes of a recorded call, in order.
std::vector<std::string> Aspas(const std::string &chamada) {
  std::vector<std::string> textos;
  for (size_t i = chamada.find('"'); i != std::string::npos;) {
    const size_t fim = chamada.find('"', i + 1);
    textos.push_back(chamada.substr(i + 1, fim - i - 1));
    i = chamada.find('"', fim + 1);
  }
  return textos;
}

// The DLLG2 traffic of one reading of printed text on channel 3.
Chamadas LeImpressao() {
  return {"DLLG2_LimpaParams(3)", "DLLG2_ExecutaComando(3, \"LeImpressao\")",
          "DLLG2_ObtemCodErro(3)", "DLLG2_Retorno(3, 0, \"TextoImpressao\", 0, [4000], 4000)"};
}

Chamadas operator+(Chamadas a, const Chamadas &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

class Arquivos : public TesteEcf {
 protected:
  void SetUp() override {
    TesteEcf::SetUp();
    EstadoEcf.PastaRetorno = Pasta();
    EstadoEcf.TipoMfd = true;
    EstadoEcf.NumeroSerie = "BE091510100011223344";
  }
  std::string Retorno(const std::string &chave) {
    return plataforma::LeIni(EstadoEcf.ArquivoRetorno, "ECF", chave, "<nada>");
  }
  // A DATAREGIS printer on channel 3 whose reading gives these chunks of text.
  void Dataregis(const std::vector<std::string> &pedacos) {
    Fabricante(DATAREGIS);
    CanalDllG2 = 3;
    duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
    for (const std::string &p : pedacos) duble::Responde("DLLG2_Retorno", {1, {p}, {}});
    duble::Responde("DLLG2_Retorno", {1, {""}, {}});
  }
  // The driver's output where ecf_ArqMFD looks for it. The double writes no
  // file, and the return folder is emptied before the driver is called, so
  // the serial number leads into a subfolder that the emptying leaves alone.
  std::string SaidaDoDriver(const std::string &intervalo, const std::string &texto) {
    std::filesystem::create_directories(Pasta() + "drv");
    EstadoEcf.NumeroSerie = "drv/BE0915";
    const std::string caminho = Pasta() + "drv/BE0915_" + intervalo + ".txt";
    Grava(caminho, texto);
    return caminho;
  }
};

// ---- ecf_DownLoadDaMFD -------------------------------------------------------------

TEST_F(Arquivos, DownloadLevaOIntervaloNaFormaDeCadaDriver) {
  const std::string arq = Pasta() + "mfd.txt";
  struct Caso {
    int32_t fabricante;
    const char *inicio, *fim;
    Chamadas chamadas;
  } casos[] = {
      {BEMATECH,
       "1/3/2015",
       "31/3/15 10:30",
       {"Bematech_FI_EspelhoMFD(\"" + arq + "\", \"01/03/2015\", \"31/03/2015\", \"D\", \"1\", ",
        RETORNO_BEMATECH}},
      {BEMATECH,
       "123",
       "150",
       {"Bematech_FI_EspelhoMFD(\"" + arq + "\", \"123\", \"150\", \"C\", \"1\", ",
        RETORNO_BEMATECH}},
      {SWEDA,
       "1/3/2015",
       "31/3/2015",
       {"ECF_DownloadMFD(\"" + arq + "\", \"1\", \"010315\", \"310315\", \"\")"}},
      {SWEDA, "123", "150", {"ECF_DownloadMFD(\"" + arq + "\", \"2\", \"123\", \"150\", \"1\")"}},
      {ELGIN,
       "1/3/2015 08:00:00",
       "31/3/2015",
       {"Elgin_DownloadMFD(\"" + arq + "\", \"1\", \"010315\", \"310315\", \"\")"}},
      {ELGIN, "123", "150", {"Elgin_DownloadMFD(\"" + arq + "\", \"2\", \"123\", \"150\", \"1\")"}},
      {DARUMA,
       "1/3/2015",
       "31/3/2015",
       {"Daruma_FIMFD_DownloadDaMFD(\"1/3/2015\", \"31/3/2015\")"}},
      {DARUMA, "123", "150", {"Daruma_FIMFD_DownloadDaMFD(\"123\", \"150\")"}},
  };
  for (const Caso &c : casos) {
    duble::Reinicia();
    Fabricante(c.fabricante);
    ecf_Retorno = 77;
    EXPECT_TRUE(ecf_DownLoadDaMFD(arq.c_str(), c.inicio, c.fim)) << c.chamadas[0];
    Chamadas feitas = duble::Chamadas();
    if (c.fabricante == BEMATECH) {
      // The signing key goes whole: 13 lines of base64, 832 characters.
      ASSERT_EQ(feitas.size(), 2u);
      const std::vector<std::string> textos = Aspas(feitas[0]);
      ASSERT_EQ(textos.size(), 7u);
      EXPECT_EQ(textos[5], tarvic::ModuloAssinaturaPafEcf());
      EXPECT_EQ(textos[6].size(), 832u);
      EXPECT_EQ(textos[6].substr(64, 2), "\r\n");
      feitas[0] = feitas[0].substr(0, c.chamadas[0].size());
      EXPECT_EQ(ecf_Retorno, 1);
    } else {
      EXPECT_EQ(ecf_Retorno, 77) << "only the BEMATECH code is kept";
    }
    EXPECT_EQ(feitas, c.chamadas);
  }
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Arquivos, DownloadJulgaOCodigoDeCadaDriver) {
  const std::string arq = Pasta() + "mfd.txt";
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_EspelhoMFD", {0, {}, {}});
  EXPECT_FALSE(ecf_DownLoadDaMFD(arq.c_str(), "1", "2"));
  EXPECT_EQ(Textos(), (Chamadas{"Erro de Comunicação.\n"}));

  mensagens.clear();
  for (auto [fabricante, funcao] :
       {std::pair{SWEDA, "ECF_DownloadMFD"}, std::pair{ELGIN, "Elgin_DownloadMFD"},
        std::pair{DARUMA, "Daruma_FIMFD_DownloadDaMFD"}}) {
    Fabricante(fabricante);
    duble::Responde(funcao, {0, {}, {}});
    EXPECT_FALSE(ecf_DownLoadDaMFD(arq.c_str(), "1", "2")) << funcao;
  }
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Arquivos, DownloadApagaOArquivoAntesEDarumaNaoOCria) {
  const std::string arq = Pasta() + "mfd.txt";
  Grava(arq, "de ontem");
  Fabricante(DARUMA);
  EXPECT_TRUE(ecf_DownLoadDaMFD(arq.c_str(), "10", "20"));
  EXPECT_FALSE(Existe(arq));
}

TEST_F(Arquivos, DownloadSemMfdOuSemDriverNaoChamaNada) {
  const std::string arq = Pasta() + "mfd.txt";
  Fabricante(BEMATECH);
  EstadoEcf.TipoMfd = false;
  EXPECT_FALSE(ecf_DownLoadDaMFD(arq.c_str(), "1", "2"));
  EXPECT_EQ(Textos(), (Chamadas{"O modelo do ECF não dá suporte a este comando."}));

  mensagens.clear();
  for (int32_t fabricante : {int32_t{URANO}, 0, -1}) {
    Fabricante(fabricante);
    EXPECT_FALSE(ecf_DownLoadDaMFD(arq.c_str(), "1", "2"));
  }
  EXPECT_TRUE(mensagens.empty());
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Arquivos, DownloadComDataInvalidaFalhaEmSilencio) {
  for (int32_t fabricante : {BEMATECH, SWEDA, ELGIN, DATAREGIS}) {
    Fabricante(fabricante);
    EXPECT_FALSE(ecf_DownLoadDaMFD((Pasta() + "x").c_str(), "31/02/2015", "01/03/2015"));
    EXPECT_FALSE(ecf_DownLoadDaMFD((Pasta() + "x").c_str(), "01/03/2015", "01/03/2015 25:00"));
  }
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Arquivos, DownloadDataregisGravaALeituraAjustadaEmLinhasDe48) {
  const std::string arq = Pasta() + "fita.txt";
  Grava(arq, "de ontem");
  // 60 characters without a line feed; the line goes on in the next chunk,
  // where CR is dropped, LF becomes CR LF and ESC takes two bytes with it.
  Dataregis({std::string(60, 'A'), std::string(36, 'B') + "\r\nC\x1b!xD\n"});
  EXPECT_TRUE(ecf_DownLoadDaMFD(arq.c_str(), "1/3/2015", "31/3/2015"));
  EXPECT_EQ(LeArquivo(arq), std::string(48, 'A') + "\r\n" + std::string(12, 'A') +
                                std::string(36, 'B') + "\r\n\r\nCD\r\n");
  EXPECT_EQ(RetornoDllG2, 0);
  EXPECT_EQ(
      duble::Chamadas(),
      (Chamadas{"DLLG2_DefineTimeout(3, 180)", "DLLG2_LimpaParams(3)",
                "DLLG2_AdicionaParam(3, \"DataInicial\", \"01/03/2015\", 2)",
                "DLLG2_AdicionaParam(3, \"DataFinal\", \"31/03/2015\", 2)",
                "DLLG2_AdicionaParam(3, \"Destino\", \"S\", 7)",
                "DLLG2_ExecutaComando(3, \"EmiteLeituraFitaDetalhe\")", "DLLG2_ObtemCodErro(3)",
                "DLLG2_DefineTimeout(3, 10)", "DLLG2_DefineTimeout(3, 120)"} +
       LeImpressao() + LeImpressao() + LeImpressao() + Chamadas{"DLLG2_DefineTimeout(3, 10)"}));
  EXPECT_TRUE(mensagens.empty());

  // Each reading starts a new line count, printer commands take no room on
  // the line, and counters go as they came.
  duble::Reinicia();
  Dataregis({"\x1b!x" + std::string(50, 'Z')});
  EXPECT_TRUE(ecf_DownLoadDaMFD(arq.c_str(), "10", "20"));
  EXPECT_EQ(LeArquivo(arq), std::string(48, 'Z') + "\r\nZZ");
  EXPECT_EQ(duble::Chamadas()[2], "DLLG2_AdicionaParam(3, \"COOInicial\", \"10\", 4)");
  EXPECT_EQ(duble::Chamadas()[3], "DLLG2_AdicionaParam(3, \"COOFinal\", \"20\", 4)");
}

// A CR that falls on the 48th column counts without being written: the line
// still ends at the next character, not at the next line feed.
TEST_F(Arquivos, DownloadDataregisComCrNaUltimaColunaQuebraMesmoAssim) {
  const std::string arq = Pasta() + "fita.txt";
  Dataregis({std::string(47, 'A') + "\r" + std::string(60, 'B')});
  EXPECT_TRUE(ecf_DownLoadDaMFD(arq.c_str(), "10", "20"));
  EXPECT_EQ(LeArquivo(arq),
            std::string(47, 'A') + "B\r\n" + std::string(48, 'B') + "\r\n" + std::string(11, 'B'));
}

TEST_F(Arquivos, DownloadDataregisComFalha) {
  const std::string arq = Pasta() + "fita.txt";
  Dataregis({});
  duble::Responde("DLLG2_ObtemCodErro", {1012, {}, {}});
  EXPECT_FALSE(ecf_DownLoadDaMFD(arq.c_str(), "10", "20"));
  EXPECT_EQ(Textos(), (Chamadas{"Falha na execução do comando.\nRetorno:  1012"}));
  EXPECT_EQ(RetornoDllG2, 1012);
  EXPECT_TRUE(duble::ChamadasDe("DLLG2_Retorno").empty()) << "nothing is read after a refusal";
  EXPECT_FALSE(Existe(arq));

  // A read that fails half-way keeps what came before it.
  duble::Reinicia();
  mensagens.clear();
  for (int32_t codigo : {0, 0, 7}) duble::Responde("DLLG2_ObtemCodErro", {codigo, {}, {}});
  duble::Responde("DLLG2_Retorno", {1, {"linha\n"}, {}});
  EXPECT_FALSE(ecf_DownLoadDaMFD(arq.c_str(), "10", "20"));
  EXPECT_EQ(LeArquivo(arq), "linha\r\n");
  EXPECT_EQ(Textos(), (Chamadas{"Falha na execução do comando.\nRetorno:  7"}));
  EXPECT_EQ(duble::Chamadas().back(), "DLLG2_DefineTimeout(3, 10)");

  // A file that cannot be written ends the download with the file named and
  // a failure code, and the channel does not keep the long timeout of the
  // collection.
  duble::Reinicia();
  mensagens.clear();
  Dataregis({"linha\n"});
  const std::string ruim = Pasta() + "nao/existe/fita.txt";
  EXPECT_FALSE(ecf_DownLoadDaMFD(ruim.c_str(), "10", "20"));
  EXPECT_EQ(Textos(), (Chamadas{"Não foi possível gravar o arquivo \"" + ruim + "\"."}));
  EXPECT_EQ(ecf_Retorno, -1);
  EXPECT_EQ(duble::ChamadasDe("DLLG2_DefineTimeout"),
            (Chamadas{"DLLG2_DefineTimeout(3, 180)", "DLLG2_DefineTimeout(3, 10)",
                      "DLLG2_DefineTimeout(3, 120)", "DLLG2_DefineTimeout(3, 10)"}));
  EXPECT_EQ(duble::Chamadas().back(), "DLLG2_DefineTimeout(3, 10)");
}

// A driver stuck on one piece must neither hold the host nor fill the disk.
TEST_F(Arquivos, LeituraDeDriverPresoNoMesmoPedacoParaEFalha) {
  const std::string arq = Pasta() + "fita.txt";
  Dataregis({});
  duble::Reinicia();
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  duble::RespondeSempre("DLLG2_Retorno", {1, {"linha\n"}, {}});
  EXPECT_FALSE(ecf_DownLoadDaMFD(arq.c_str(), "10", "20"));
  EXPECT_EQ(duble::ChamadasDe("DLLG2_ExecutaComando(3, \"LeImpressao\")").size(), 101u);
  EXPECT_EQ(LeArquivo(arq).size(), 100 * std::string("linha\r\n").size());
  EXPECT_EQ(Textos(), (Chamadas{"Falha na execução do comando.\nRetorno:  1"}));
}

TEST_F(Arquivos, LeituraTerminaQuandoODriverNaoPreencheOBuffer) {
  const std::string arq = Pasta() + "fita.txt";
  Fabricante(DATAREGIS);
  CanalDllG2 = 3;
  duble::RespondeSempre("DLLG2_ObtemCodErro", {0, {}, {}});
  duble::Responde("DLLG2_Retorno", {1, {"texto\n"}, {}});
  EXPECT_TRUE(ecf_DownLoadDaMFD(arq.c_str(), "10", "20"));
  EXPECT_EQ(LeArquivo(arq), "texto\r\n");
}

// ---- ecf_ArqMFD ----------------------------------------------------------------------

TEST_F(Arquivos, ArqMfdBematechEsvaziaAPastaEAssina) {
  Fabricante(BEMATECH);
  std::filesystem::create_directories(Pasta() + "sub");
  for (const char *nome : {"meuRetorno.ini", "velho.txt", "sub/fica.txt", "destino.txt"})
    Grava(Pasta() + nome, "x");
  const std::string destino = Pasta() + "destino.txt";
  EXPECT_FALSE(ecf_ArqMFD(destino.c_str(), " 123 ", "150", 2));
  const Chamadas feitas = duble::Chamadas();
  ASSERT_EQ(feitas.size(), 2u);
  const std::string prefixo =
      "Bematech_FI_ArquivoMFD(\"\", \"000123\", \"000150\", \"C\", \"01\", 2, \"";
  EXPECT_EQ(Inicio(feitas[0], prefixo), prefixo);
  EXPECT_EQ(feitas[0].substr(feitas[0].size() - 5), "\", 1)");
  const std::vector<std::string> textos = Aspas(feitas[0]);
  EXPECT_EQ(textos[5], tarvic::ModuloAssinaturaPafEcf());
  EXPECT_EQ(textos[6].size(), 832u) << "a key cut short signs nothing";
  EXPECT_EQ(feitas[1], RETORNO_BEMATECH);

  const std::string esperado = Pasta() + "BE091510100011223344_000123_000150.txt";
  EXPECT_EQ(Textos(),
            (Chamadas{"Arquivo de retorno do ECF esperado não foi encontrado.\nArquivo: '" +
                      esperado + "'."}));
  EXPECT_FALSE(Existe(Pasta() + "meuRetorno.ini"));
  EXPECT_FALSE(Existe(Pasta() + "velho.txt"));
  EXPECT_FALSE(Existe(destino));
  EXPECT_TRUE(Existe(Pasta() + "sub/fica.txt"));
}

TEST_F(Arquivos, ArqMfdBematechCopiaASaidaDoDriver) {
  Fabricante(BEMATECH);
  const std::string saida = SaidaDoDriver("01032015_31032015", "assinado");
  const std::string destino = Pasta() + "destino.txt";
  EXPECT_TRUE(ecf_ArqMFD(destino.c_str(), "1/3/2015", "31/03/2015", 0));
  EXPECT_EQ(LeArquivo(destino), "assinado");
  EXPECT_EQ(Aspas(duble::Chamadas()[0])[1], "01/03/2015");
  EXPECT_EQ(Aspas(duble::Chamadas()[0])[2], "31/03/2015");
  EXPECT_EQ(Aspas(duble::Chamadas()[0])[3], "D");
  EXPECT_TRUE(mensagens.empty());

  // The driver's file where the host's cannot be made: both are named.
  const std::string ruim = Pasta() + "nao/destino.txt";
  EXPECT_FALSE(ecf_ArqMFD(ruim.c_str(), "1/3/2015", "31/03/2015", 0));
  EXPECT_EQ(Textos(), (Chamadas{"Não foi possível copiar o arquivo \"" + saida + "\" para \"" +
                                ruim + "\"."}));
  EXPECT_EQ(ecf_Retorno, -1);
}

TEST_F(Arquivos, ArqMfdBematechRecusadoPeloDriver) {
  Fabricante(BEMATECH);
  SaidaDoDriver("000001_000002", "assinado");
  duble::Responde("Bematech_FI_ArquivoMFD", {-2, {}, {}});
  EXPECT_FALSE(ecf_ArqMFD((Pasta() + "d.txt").c_str(), "1", "2", 0));
  EXPECT_EQ(Textos(), (Chamadas{"Parâmetro inválido na função.\n"}));
  EXPECT_EQ(ecf_Retorno, -2);
  EXPECT_FALSE(Existe(Pasta() + "d.txt"));

  mensagens.clear();
  EstadoEcf.TipoMfd = false;
  EXPECT_FALSE(ecf_ArqMFD((Pasta() + "d.txt").c_str(), "1", "2", 0));
  EXPECT_EQ(Textos(), (Chamadas{"Função indisponível ao modelo do ECF."}));
}

TEST_F(Arquivos, SemPastaNaoHaoQueListar) {
  // A blank folder must not become the root of the disk, which ecf_ArqMFD
  // would then empty.
  std::vector<std::string> lista;
  tarvic::ListaArquivos(" ", false, "*.*", lista);
  EXPECT_TRUE(lista.empty());
}

TEST_F(Arquivos, ListaArquivosDesceNasSubpastasQuandoPedido) {
  std::filesystem::create_directories(Pasta() + "a/b");
  for (const char *nome : {"um.txt", "dois.bin", "a/tres.txt", "a/b/quatro.txt"})
    Grava(Pasta() + nome, "x");
  std::vector<std::string> lista;
  tarvic::ListaArquivos(" " + Pasta().substr(0, Pasta().size() - 1), false, "*.txt", lista);
  EXPECT_EQ(lista, (Chamadas{Pasta() + "um.txt"}));
  lista.clear();
  tarvic::ListaArquivos(Pasta(), true, "*", lista);
  std::sort(lista.begin(), lista.end());
  EXPECT_EQ(lista, (Chamadas{Pasta() + "a/b/quatro.txt", Pasta() + "a/tres.txt",
                             Pasta() + "dois.bin", Pasta() + "um.txt"}));
}

TEST_F(Arquivos, ArqMfdDosOutrosFabricantes) {
  const std::string arq = Pasta() + "mf.txt";
  struct Caso {
    int32_t fabricante;
    const char *inicio, *fim;
    const char *chamada;
  } casos[] = {
      {SWEDA, "123", "150",
       "ECF_ReproduzirMemoriaFiscalMFD(\"2\", \"0000123\", \"0000150\", \"@\", NULL)"},
      {SWEDA, "1/3/2015", "31/3/2015",
       "ECF_ReproduzirMemoriaFiscalMFD(\"2\", \"010315\", \"310315\", \"@\", NULL)"},
      {DARUMA, "1/3/2015", "31/3/2015",
       "Daruma_FIMFD_GerarAtoCotepePafData(\"01032015\", \"31032015\")"},
      {DARUMA, "12", " 150 ", "Daruma_FIMFD_GerarAtoCotepePafCOO(\"000012\", \"000150\")"},
  };
  for (const Caso &c : casos) {
    duble::Reinicia();
    Fabricante(c.fabricante);
    EXPECT_TRUE(ecf_ArqMFD(arq.c_str(), c.inicio, c.fim, 9));
    std::string esperada = c.chamada;
    const size_t arroba = esperada.find('@');
    if (arroba != std::string::npos) esperada.replace(arroba, 1, arq);
    EXPECT_EQ(duble::Chamadas(), Chamadas{esperada});
  }
  // The CONVECF counter is read strictly; the code decides, and is not kept.
  duble::Reinicia();
  ecf_Retorno = 5;
  Fabricante(SWEDA);
  EXPECT_FALSE(ecf_ArqMFD(arq.c_str(), "12a", "150", 0));
  EXPECT_FALSE(ecf_ArqMFD(arq.c_str(), "", "", 0));
  EXPECT_TRUE(duble::Chamadas().empty());
  duble::Responde("ECF_ReproduzirMemoriaFiscalMFD", {0, {}, {}});
  EXPECT_FALSE(ecf_ArqMFD(arq.c_str(), "1", "2", 0));
  EXPECT_EQ(ecf_Retorno, 5);
  EXPECT_TRUE(mensagens.empty());

  for (int32_t fabricante : {int32_t{ELGIN}, int32_t{URANO}, 0}) {
    Fabricante(fabricante);
    EXPECT_FALSE(ecf_ArqMFD(arq.c_str(), "1", "2", 0));
  }
  EXPECT_EQ(Textos(), Chamadas(3, "Função não suportada pelo modelo do ECF."));
}

TEST_F(Arquivos, ArqMfdDataregisGravaALeituraComoVeio) {
  const std::string arq = Pasta() + "mf.txt";
  const std::string longa = std::string(60, 'M') + "\r\n\x1b!x";
  Dataregis({longa, "fim"});
  // The reduction counters reach the printer as the application gave them.
  EXPECT_TRUE(ecf_ArqMFD(arq.c_str(), " 3", "7", 0));
  EXPECT_EQ(LeArquivo(arq), longa + "fim");
  EXPECT_EQ(
      duble::Chamadas(),
      (Chamadas{"DLLG2_DefineTimeout(3, 180)", "DLLG2_LimpaParams(3)",
                "DLLG2_AdicionaParam(3, \"ReducaoInicial\", \" 3\", 4)",
                "DLLG2_AdicionaParam(3, \"ReducaoFinal\", \"7\", 4)",
                "DLLG2_AdicionaParam(3, \"Destino\", \"S\", 7)",
                "DLLG2_AdicionaParam(3, \"LeituraSimplificada\", \"False\", 0)",
                "DLLG2_ExecutaComando(3, \"EmiteLeituraMF\")", "DLLG2_ObtemCodErro(3)",
                "DLLG2_DefineTimeout(3, 10)", "DLLG2_DefineTimeout(3, 120)"} +
       LeImpressao() + LeImpressao() + LeImpressao() + Chamadas{"DLLG2_DefineTimeout(3, 10)"}));

  duble::Reinicia();
  Dataregis({});
  duble::Responde("DLLG2_ObtemCodErro", {44, {}, {}});
  EXPECT_FALSE(ecf_ArqMFD(arq.c_str(), "1/3/2015", "2/3/2015", 0));
  EXPECT_EQ(duble::Chamadas()[2], "DLLG2_AdicionaParam(3, \"DataInicial\", \"01/03/2015\", 2)");
  EXPECT_EQ(Textos(), (Chamadas{"Falha na execução do comando.\nRetorno: 44"}));
  EXPECT_FALSE(Existe(arq));

  duble::Reinicia();
  mensagens.clear();
  Dataregis({"linha"});
  const std::string ruim = Pasta() + "nao/mf.txt";
  EXPECT_FALSE(ecf_ArqMFD(ruim.c_str(), "1", "2", 0));
  EXPECT_EQ(Textos(), (Chamadas{"Não foi possível gravar o arquivo \"" + ruim + "\"."}));
  EXPECT_EQ(ecf_Retorno, -1);
}

// ---- ecf_AtoCotepe1704 ---------------------------------------------------------------

TEST_F(Arquivos, AtoCotepeSemMfdSoAvisa) {
  const std::string ac = Pasta() + "AC1704.txt";
  for (int32_t fabricante : {BEMATECH, SWEDA, DATAREGIS, URANO}) {
    Grava(ac, "velho");
    Fabricante(fabricante);
    EstadoEcf.TipoMfd = false;
    ecf_AtoCotepe1704("01/03/2015", "31/03/2015");
    EXPECT_FALSE(Existe(ac));
  }
  EXPECT_EQ(Textos(), Chamadas(4, "Função indisponível ao modelo do ECF."));
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_FALSE(Existe(EstadoEcf.ArquivoRetorno));
}

TEST_F(Arquivos, AtoCotepeSoAceitaContadoresNaSweda) {
  const std::string ac = Pasta() + "AC1704.txt", mf = Pasta() + "MFISCAL.BIN";
  Fabricante(SWEDA);
  ecf_AtoCotepe1704("12", "20");
  ecf_AtoCotepe1704("1/3/2015", "31/3/2015");
  EXPECT_EQ(duble::Chamadas(), (Chamadas{"ECF_DownloadMF(\"" + mf + "\")",
                                         "SWEDA_ArquivoEletronicoCOTEPE1704(\"" + mf + "\", 0, \"" +
                                             ac + "\", \"0012\", \"0020\", 0)",
                                         "ECF_DownloadMF(\"" + mf + "\")",
                                         "SWEDA_ArquivoEletronicoCOTEPE1704(\"" + mf + "\", 0, \"" +
                                             ac + "\", \"01/03/2015\", \"31/03/2015\", 0)"}));
  EXPECT_EQ(Retorno("ArqAtoCopete1704"), ac);
  const std::string falha =
      "Não foi possível gerar o arquivo eletrônico no layout Ato Cotepe 17/04.\nFalha "
      "desconhecida.";
  EXPECT_EQ(Textos(), Chamadas(2, falha));

  duble::Reinicia();
  mensagens.clear();
  std::remove(EstadoEcf.ArquivoRetorno.c_str());
  ecf_AtoCotepe1704("12x", "20");
  for (int32_t fabricante : {BEMATECH, DARUMA, DATAREGIS}) {
    Fabricante(fabricante);
    ecf_AtoCotepe1704("12", "20");
  }
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_EQ(Textos(), Chamadas(3,
                               "Parâmetro inválido ao gerar arquivo eletrônico no layout Ato "
                               "Cotepe 17/04.\nUtilize intervalos por Data."));
  EXPECT_FALSE(Existe(EstadoEcf.ArquivoRetorno));
}

TEST_F(Arquivos, AtoCotepeDataregisPedeUmSoDia) {
  const std::string ac = Pasta() + "AC1704.txt";
  Fabricante(DATAREGIS);
  EstadoEcf.PortaEcf = "COM2";
  EstadoEcf.Modelo = "ECF-IF";
  ecf_AtoCotepe1704("01/03/2015", "31/03/2015");
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_EQ(Textos(), (Chamadas{"Este ECF não permite a geração do Ato Cotepe 17/04 com "
                                "intervalos de datas.\nA data inicial e final deve ser a mesma."}));
  EXPECT_FALSE(Existe(EstadoEcf.ArquivoRetorno));

  mensagens.clear();
  duble::Responde("Gera_AtoCotepe1704", {-2, {}, {}});
  ecf_AtoCotepe1704("15/03/2015", "15/03/2015");
  EXPECT_EQ(duble::Chamadas(),
            (Chamadas{"Gera_AtoCotepe1704(\"COM2\", \"ECF-IF\", \"" + ac + "\", \"15/03/2015\")"}));
  EXPECT_EQ(RetornoDllG2, -2);
  EXPECT_EQ(Textos(), (Chamadas{" Erro ao executar comando EmiteLeituraMF.",
                                "Não foi possível gerar o arquivo eletrônico no layout Ato "
                                "Cotepe 17/04.\nFalha desconhecida."}));
  EXPECT_EQ(Retorno("ArqAtoCopete1704"), ac);
}

TEST_F(Arquivos, AtoCotepeMensagensDoGerador) {
  const char *textos[] = {
      "Erro ao executar comando EmiteLeituraX.",
      " Erro ao executar comando EmiteLeituraMF.",
      " Erro ao executar comando EmiteLeituraFitaDetalhe.",
      "Comando Inexistente.",
      "Erro ao obter dados de impressão.",
      "Erro ao acessar o arquivo.",
      "Erro ao executar comando.Data inválida.",
      "Não existe redução executada na data informada.",
      "Modelo não permitido.",
      "Comando inválido.",
      "Biblioteca DLLG2.DLL não foi encontrada.",
      "Sem sinal de CTS.",
      "Nome do arquivo inválido.",
      "Data não permitida.",
      "Caminho de origem não permitido.",
      "Caminho de destino não permitido.",
      "Não permitido disponível.",
  };
  Fabricante(DATAREGIS);
  for (int32_t codigo = 1; codigo >= -18; --codigo) {
    mensagens.clear();
    duble::Responde("Gera_AtoCotepe1704", {codigo, {}, {}});
    ecf_AtoCotepe1704("15/03/2015", "15/03/2015");
    const Chamadas esperadas =
        codigo <= -1 && codigo >= -17 ? Chamadas{textos[-codigo - 1]} : Chamadas{};
    EXPECT_EQ(Textos().size(), esperadas.size() + 1) << codigo;
    Chamadas vistas = Textos();
    if (!vistas.empty()) vistas.pop_back();  // "Falha desconhecida.": the double wrote nothing
    EXPECT_EQ(vistas, esperadas) << codigo;
  }
}

TEST_F(Arquivos, AtoCotepeSemGeradorNoFabricante) {
  for (int32_t fabricante : {DARUMA, ELGIN, URANO}) {
    Fabricante(fabricante);
    ecf_AtoCotepe1704("01/03/2015", "31/03/2015");
  }
  EXPECT_TRUE(duble::Chamadas().empty());
  Chamadas esperadas;
  for (int i = 0; i < 3; ++i) {
    esperadas.push_back("Indisponível ao modelo do ECF em uso.");
    esperadas.push_back(
        "Não foi possível gerar o arquivo eletrônico no layout Ato Cotepe 17/04.\nFalha "
        "desconhecida.");
  }
  EXPECT_EQ(Textos(), esperadas);
  EXPECT_EQ(Retorno("ArqAtoCopete1704"), Pasta() + "AC1704.txt");
}

TEST_F(Arquivos, AtoCotepeBematechPeloArquivoMfd) {
  const std::string ac = Pasta() + "AC1704.txt";
  Fabricante(BEMATECH);
  // No driver output: the MFD file's own message, then nothing more.
  ecf_AtoCotepe1704("01/03/2015", "31/03/2015");
  ASSERT_EQ(Textos().size(), 1u);
  const std::string aviso = "Arquivo de retorno do ECF esperado não foi encontrado.\nArquivo: '";
  EXPECT_EQ(Inicio(Textos()[0], aviso), aviso);
  EXPECT_FALSE(Existe(EstadoEcf.ArquivoRetorno));

  mensagens.clear();
  duble::Reinicia();
  SaidaDoDriver("01032015_31032015", "cotepe");
  ecf_AtoCotepe1704("01/03/2015", "31/03/2015");
  EXPECT_EQ(LeArquivo(ac), "cotepe");
  EXPECT_EQ(Retorno("ArqAtoCopete1704"), ac);
  EXPECT_TRUE(mensagens.empty());
  ASSERT_FALSE(duble::Chamadas().empty());
  const std::string prefixo =
      "Bematech_FI_ArquivoMFD(\"\", \"01/03/2015\", \"31/03/2015\", \"D\", \"01\", 0, \"";
  EXPECT_EQ(Inicio(duble::Chamadas()[0], prefixo), prefixo);
}

// ---- ecf_GeraSintegra ------------------------------------------------------------------

TEST_F(Arquivos, SintegraPassaMesAnoETextosNaOrdemDeCadaDriver) {
  const DataHora de = CodificaData(2015, 3, 5), ate = CodificaData(2015, 3, 31);
  const std::string texto = R"("t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8", "t10", "t9")";
  struct Caso {
    int32_t fabricante;
    std::string chamada;
  } casos[] = {
      {BEMATECH, R"(Bematech_FI_RelatorioSintegraMFD("s.txt", "03", "2015", )" + texto + ")"},
      {SWEDA, R"(ECF_RelatorioSintegraMFD(63, "s.txt", "03", "2015", )" + texto + ")"},
      {ELGIN, R"(Elgin_RelatorioSintegraMFD(63, "s.txt", "03", "2015", )" + texto + ")"},
      {DARUMA, R"(Daruma_Sintegra_GerarRegistrosArq("050315", "310315", "t6", "t8", "3", "3", )"
               R"("1", "t2", "t3", "t4", "t5", "t7", "t9", "t10"))"},
  };
  for (const Caso &c : casos) {
    duble::Reinicia();
    Fabricante(c.fabricante);
    ecf_Retorno = 9;
    EXPECT_TRUE(ecf_GeraSintegra("s.txt", de, ate, "t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8",
                                 "t9", "t10"));
    EXPECT_EQ(duble::Chamadas(), Chamadas{c.chamada});
    const std::string funcao = c.chamada.substr(0, c.chamada.find('('));
    duble::Responde(funcao, {0, {}, {}});
    EXPECT_FALSE(ecf_GeraSintegra("s.txt", de, ate, "t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8",
                                  "t9", "t10"));
    EXPECT_EQ(ecf_Retorno, 9);
  }
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Arquivos, SintegraIndisponivelNosOutros) {
  for (int32_t fabricante : {int32_t{DATAREGIS}, int32_t{URANO}, 0}) {
    Fabricante(fabricante);
    EXPECT_FALSE(ecf_GeraSintegra("s.txt", 42000, 42030, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
  }
  EXPECT_TRUE(duble::Chamadas().empty());
  EXPECT_EQ(Textos(),
            Chamadas(3, "Método para geração do Sintegra indisponível para este fabricante."));
}

// ---- BemaMFD.dll ----------------------------------------------------------------------

TEST(BemaMfd, CarregaDaPastaDoProgramaEMantemAteODestruir) {
  // A library every process here already has, under the name the binding asks
  // for, beside the test program.
  void *libm = dlopen("libm.so.6", RTLD_NOW);
  ASSERT_NE(libm, nullptr);
  Dl_info info{};
  ASSERT_NE(dladdr(dlsym(libm, "cos"), &info), 0);
  const std::string ao_lado = plataforma::PastaDoExecutavel() + "BemaMFD.dll";
  std::filesystem::remove(ao_lado);
  std::filesystem::create_symlink(info.dli_fname, ao_lado);
  {
    TDLLBemaMFD bema;
    EXPECT_TRUE(bema.Carregada());
    EXPECT_EQ(bema.Modulo(), libm);
    EXPECT_NE(plataforma::FuncaoDaBiblioteca(bema.Modulo(), "cos"), nullptr);
  }
  std::filesystem::remove(ao_lado);
  {
    TDLLBemaMFD ausente;
    EXPECT_FALSE(ausente.Carregada());
    EXPECT_EQ(ausente.Modulo(), nullptr);
    TDLLBemaMFD sem_nome("");
    EXPECT_FALSE(sem_nome.Carregada());
  }
  {
    // By the plain name, through the system's search.
    TDLLBemaMFD pelo_nome("libm.so.6");
    EXPECT_EQ(pelo_nome.Modulo(), libm);
  }
  EXPECT_TRUE(plataforma::LiberaBiblioteca(libm));
  EXPECT_FALSE(DLLBemaMFD.Carregada()) << "no BemaMFD.dll beside the tests at start-up";
}
