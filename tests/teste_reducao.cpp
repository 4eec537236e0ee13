#include <filesystem>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include "comum.h"

namespace {

using Lista = std::vector<std::string>;

const char *const FALHA_GUARDA = "Falha ao verificar os dados da Última Redução Z.";
const char *const FALHA_MFD = "Falha ao reconhecer dados da Última Redução Z do ECF-MFD.";

// Zero-padded decimal text of a field.
std::string Campo(int64_t valor, size_t largura) {
  return FormataInteiro(valor, static_cast<int>(largura));
}

// Puts `texto` at the 1-based position of an answer.
void Poe(std::string &resposta, size_t posicao, const std::string &texto) {
  resposta.replace(posicao - 1, texto.size(), texto);
}

std::string Ini(const Lista &linhas) {
  std::string r = "[REDUCZ]\r\n";
  for (const std::string &l : linhas) r += l + "\r\n";
  return r;
}

// The keys of an INI text, in file order.
Lista Chaves(const std::string &conteudo) {
  Lista chaves;
  size_t inicio = 0;
  while (inicio < conteudo.size()) {
    size_t fim = conteudo.find("\r\n", inicio);
    if (fim == std::string::npos) fim = conteudo.size();
    const std::string linha = conteudo.substr(inicio, fim - inicio);
    const size_t igual = linha.find('=');
    if (igual != std::string::npos) chaves.push_back(linha.substr(0, igual));
    inicio = fim + 2;
  }
  return chaves;
}

// The line "CHAVE=..." of an INI text, or "" when absent.
std::string Linha(const std::string &conteudo, const std::string &chave) {
  const std::string procura = "\r\n" + chave + "=";
  const size_t p = conteudo.find(procura);
  if (p == std::string::npos) return "";
  return conteudo.substr(p + 2, conteudo.find("\r\n", p + 2) - p - 2);
}

// The MFD answer of 1278 used below: CRO 2, CRZ 35, reduction 35, GT
// 12345,67, slot 1 100 at 18%, slot 3 50,50 at 17,5%, slot 5 -1 at 7%, II1 1,
// NN1 2, FF1 3, discount 0,50, cancellation 0,25, movement 17/03/2015.
std::string RespostaMfd() {
  std::string r(1278, '0');
  Poe(r, 4, Campo(2, 4));
  Poe(r, 9, Campo(35, 4));
  Poe(r, 14, Campo(35, 6));
  Poe(r, 316, Campo(1234567, 18));
  Poe(r, 335, Campo(10000, 14));
  Poe(r, 335 + 28, Campo(5050, 14));
  Poe(r, 335 + 56, "-0000000000100");
  Poe(r, 1208, "1800");
  Poe(r, 1208 + 8, "1750");
  Poe(r, 1208 + 16, "0700");
  Poe(r, 560, Campo(100, 14));
  Poe(r, 575, Campo(200, 14));
  Poe(r, 590, Campo(300, 14));
  Poe(r, 650, Campo(50, 14));
  Poe(r, 710, Campo(25, 14));
  Poe(r, 1273, "170315");
  return r;
}

class Reducao : public TesteEcf {
 protected:
  // Selects the manufacturer with its identification already known, so that
  // the queries made on the way ask the driver nothing, and learns the calls
  // of an approving verdict.
  void Prepara(int32_t fabricante, bool mfd = true) {
    Fabricante(fabricante);
    EstadoEcf.TipoMfd = mfd;
    EstadoEcf.Modelo = "MP-4000 TH FI";
    EstadoEcf.NumeroSerie = "BE0123456789";
    EstadoEcf.NumeroCaixa = 7;
    CanalDllG2 = 3;
    ecf_Retorno = RetornoDllG2 = 1;
    VerificaRetorno(false);
    veredito_ = duble::Chamadas();
    duble::Reinicia();
    ecf_Retorno = RetornoDllG2 = 0;
    mensagens.clear();
    // Apart from the return file, which the queries write on the way.
    std::filesystem::create_directory(Rz());
    trabalho_ = Rz() + "reduz.ini";
  }
  // "<V>" stands for the verdict's calls.
  Lista Esperado(const Lista &chamadas) const {
    Lista r;
    for (const std::string &c : chamadas) {
      if (c == "<V>")
        r.insert(r.end(), veredito_.begin(), veredito_.end());
      else
        r.push_back(c);
    }
    return r;
  }
  bool Pega() { return ecf_PegaDadosUltReducao(trabalho_.c_str(), "ignorado") != 0; }
  std::string Rz() const { return Pasta() + "rz/"; }
  bool Existe(const std::string &nome) const { return std::filesystem::exists(Rz() + nome); }
  bool Vazia() const { return std::filesystem::is_empty(Rz()); }

  // An ELGIN printer whose reduction of 17/03/2015 reads well.
  void RespondeElgin() {
    Prepara(ELGIN);
    duble::Responde("Elgin_GrandeTotal", {1, {"000000000001234567"}, {}});
    duble::Responde("Elgin_DataMovimentoUltimaReducaoMFD", {1, {"170315"}, {}});
    duble::Responde("Elgin_DadosUltimaReducaoMFD", {1, {RespostaMfd()}, {}});
    duble::Responde("Elgin_DataHoraSoftwareBasico", {1, {"010214", "080910"}, {}});
  }

  std::string trabalho_;

 private:
  Lista veredito_;
};

// Makes a file impossible to delete, even for root, while it lives (the
// immutable attribute); Ativo() is false where the file system refuses it.
class Imutavel {
 public:
  explicit Imutavel(const std::string &caminho) : caminho_(caminho) { ativo_ = Marca(true); }
  ~Imutavel() {
    if (ativo_) Marca(false);
  }
  bool Ativo() const { return ativo_; }

 private:
  bool Marca(bool ligar) const {
#if defined(__linux__)
    const int fd = open(caminho_.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int atributos = 0;
    bool feito = ioctl(fd, FS_IOC_GETFLAGS, &atributos) == 0;
    if (feito) {
      atributos = ligar ? (atributos | FS_IMMUTABLE_FL) : (atributos & ~FS_IMMUTABLE_FL);
      feito = ioctl(fd, FS_IOC_SETFLAGS, &atributos) == 0;
    }
    close(fd);
    return feito;
#else
    (void)ligar;
    return false;
#endif
  }
  std::string caminho_;
  bool ativo_ = false;
};

// The keys every file ends with, after the rate slots.
Lista Fixas(const Lista &valores) {
  static const char *const chaves[] = {
      "VERSAOSBDT", "DTEMISSAO", "GT",       "VNDBRUTO",  "VCONTABIL",   "CANC_ICM",
      "CANC_ISS",   "DESC_ICM",  "DESC_ISS", "ACRES_ICM", "ACRES_ISS",   "NREDUC",
      "DTMOVTO",    "FF1_ICM",   "FF2_ICM",  "II1_ICM",   "II2_ICM",     "NN1_ICM",
      "NN2_ICM",    "CRZ",       "CRO",      "VERSAOSB",  "MFADICIONAL", "PARAMDESCISS",
      "NSERIAL",    "NCAIXA",    "MODELO",   "NUSUARIO",  "DATA/HORA",   "INFO"};
  Lista r;
  for (size_t i = 0; i < valores.size() && i < std::size(chaves); ++i)
    if (!valores[i].empty()) r.push_back(std::string(chaves[i]) + "=" + valores[i]);
  return r;
}

// ---- BEMATECH ------------------------------------------------------------------------

TEST_F(Reducao, BematechMfdGravaOsDezesseisSlotsEMoveParaONomeDoMovimento) {
  Prepara(BEMATECH);
  EstadoEcf.NumeroUsuario = "01";
  duble::Responde("Bematech_FI_GrandeTotal", {1, {"000000000001234567"}, {}});
  duble::Responde("Bematech_FI_DataHoraReducao", {1, {"170315", "235959"}, {}});
  duble::Responde("Bematech_FI_DadosUltimaReducaoMFD", {1, {RespostaMfd()}, {}});
  duble::Responde("Bematech_FI_VersaoFirmwareMFD", {1, {"0102"}, {}});
  duble::Responde("Bematech_FI_DataHoraGravacaoUsuarioSWBasicoMFAdicional",
                  {1, {"1", "01/02/2014 08:09:10"}, {}});
  duble::Responde("Bematech_FI_DataHoraImpressora", {1, {"180315", "103000"}, {}});

  EXPECT_TRUE(Pega());

  EXPECT_EQ(
      duble::Chamadas(),
      Esperado({"Bematech_FI_GrandeTotal([18])", "<V>", "Bematech_FI_DataHoraReducao([6], [6])",
                "<V>", "Bematech_FI_DadosUltimaReducaoMFD([1278])", "<V>",
                "Bematech_FI_VersaoFirmwareMFD([6])",
                "Bematech_FI_DataHoraGravacaoUsuarioSWBasicoMFAdicional([20], [20], [1])", "<V>",
                "Bematech_FI_DataHoraImpressora([6], [6])"}));
  EXPECT_TRUE(mensagens.empty());
  Lista linhas = {"TTRIBUTO1=I", "VTRIBUTO1=100", "TRIBUTO1=18",    "TTRIBUTO2=I",   "VTRIBUTO2=0",
                  "TRIBUTO2=0",  "TTRIBUTO3=I",   "VTRIBUTO3=50,5", "TRIBUTO3=17,5", "TTRIBUTO4=I",
                  "VTRIBUTO4=0", "TRIBUTO4=0",    "TTRIBUTO5=I",    "VTRIBUTO5=-1",  "TRIBUTO5=7"};
  for (int n = 6; n <= 16; ++n) {
    const std::string i = std::to_string(n);
    linhas.insert(linhas.end(),
                  {"TTRIBUTO" + i + "=I", "VTRIBUTO" + i + "=0", "TRIBUTO" + i + "=0"});
  }
  linhas.push_back("TTRIBUTO17=N");
  // Gross sales: the slots (149,50) and II1, FF1, NN1, cancellation, discount.
  const Lista fixas = Fixas({"01/02/2014 08:09:10",
                             "17/03/2015 23:59:59",
                             "12345,67",
                             "156,25",
                             "155,5",
                             "0,25",
                             "0",
                             "0,5",
                             "0",
                             "0",
                             "0",
                             "35",
                             "17/03/2015",
                             "3",
                             "0",
                             "1",
                             "0",
                             "2",
                             "0",
                             "35",
                             "2",
                             "0102",
                             "",
                             "",
                             "BE0123456789",
                             "7",
                             "MP-4000 TH FI",
                             "01",
                             "18/03/2015 10:30:00",
                             ""});
  linhas.insert(linhas.end(), fixas.begin(), fixas.end());
  EXPECT_EQ(LeArquivo(Rz() + "reduc_150317.txt"), Ini(linhas));
  EXPECT_FALSE(Existe("reduz.ini"));
}

TEST_F(Reducao, BematechSemMfdNumeraSoOsSlotsComValor) {
  Prepara(BEMATECH, false);
  duble::Responde("Bematech_FI_GrandeTotal", {1, {"000000000001234567"}, {}});
  duble::Responde("Bematech_FI_DataHoraReducao", {1, {"050105", "120000"}, {}});
  duble::Responde("Bematech_FI_NumeroReducoes", {1, {"0042"}, {}});
  std::string r(631, '0');
  Poe(r, 4, Campo(1234567, 18));
  Poe(r, 23, Campo(10, 14));
  Poe(r, 38, Campo(20, 14));
  Poe(r, 53 + 4, "1200");
  Poe(r, 53 + 12, "0500");
  Poe(r, 118 + 14, Campo(2000, 14));
  Poe(r, 118 + 42, Campo(300, 14));
  Poe(r, 342, Campo(1, 14));
  Poe(r, 356, Campo(2, 14));
  Poe(r, 370, Campo(3, 14));
  Poe(r, 579, "000041");
  Poe(r, 596, "170305");
  duble::Responde("Bematech_FI_DadosUltimaReducao", {1, {r}, {}});
  duble::Responde("Bematech_FI_DataHoraImpressora", {1, {"180315", "000000"}, {}});

  EXPECT_TRUE(Pega());

  EXPECT_EQ(duble::Chamadas(), Esperado({"Bematech_FI_GrandeTotal([18])", "<V>",
                                         "Bematech_FI_DataHoraReducao([6], [6])", "<V>",
                                         "Bematech_FI_NumeroReducoes([4])", "<V>",
                                         "Bematech_FI_DadosUltimaReducao([631])", "<V>",
                                         "Bematech_FI_DataHoraImpressora([6], [6])"}));
  // A movement in 2005 names the file with the year 5; the slots 2 and 4 are
  // numbered 1 and 2; no firmware version, its date 30/12/1899, CRO 0; a time
  // of midnight is not written.
  Lista linhas = {"TTRIBUTO1=I", "VTRIBUTO1=20", "TRIBUTO1=12", "TTRIBUTO2=I",
                  "VTRIBUTO2=3", "TRIBUTO2=5",   "TTRIBUTO3=N"};
  const Lista fixas = Fixas({"30/12/1899",
                             "05/01/2005 12:00:00",
                             "12345,67",
                             "23,36",
                             "23,06",
                             "0,1",
                             "0",
                             "0,2",
                             "0",
                             "0",
                             "0",
                             "41",
                             "17/03/2005",
                             "0,03",
                             "0",
                             "0,01",
                             "0",
                             "0,02",
                             "0",
                             "42",
                             "0",
                             "",
                             "",
                             "",
                             "BE0123456789",
                             "7",
                             "MP-4000 TH FI",
                             "",
                             "18/03/2015",
                             ""});
  linhas.insert(linhas.end(), fixas.begin(), fixas.end());
  EXPECT_EQ(LeArquivo(Rz() + "reduc_50317.txt"), Ini(linhas));
  EXPECT_FALSE(Existe("reduz.ini"));
}

TEST_F(Reducao, BematechDataRecusadaSegueSemEmissaoEContadorRecusadoSegueComZero) {
  Prepara(BEMATECH, false);
  duble::Responde("Bematech_FI_GrandeTotal", {1, {"000000000000000100"}, {}});
  duble::Responde("Bematech_FI_DataHoraReducao", {0, {}, {}});
  duble::Responde("Bematech_FI_NumeroReducoes", {0, {}, {}});
  std::string r(631, '0');
  Poe(r, 596, "170315");
  duble::Responde("Bematech_FI_DadosUltimaReducao", {1, {r}, {}});
  EXPECT_TRUE(Pega());
  const Lista textos = Textos();
  ASSERT_EQ(textos.size(), 4u);  // each refusal: the verdict's message, then ours
  EXPECT_EQ(textos[1], "Falha ao identificar data/hora da última emissão da Redução Z.");
  EXPECT_EQ(textos[3], "Falha ao identificar o número de reduções já emitidos.");
  const std::string arquivo = LeArquivo(Rz() + "reduc_150317.txt");
  EXPECT_EQ(Linha(arquivo, "DTEMISSAO"), "DTEMISSAO=30/12/1899");
  EXPECT_EQ(Linha(arquivo, "CRZ"), "CRZ=0");
  EXPECT_EQ(Linha(arquivo, "TTRIBUTO1"), "TTRIBUTO1=N");
}

// A refused date of printing must not turn a later stop into a success.
TEST_F(Reducao, BematechDataRecusadaEDadosRecusadosDevolveFalso) {
  Prepara(BEMATECH);
  duble::Responde("Bematech_FI_GrandeTotal", {1, {"000000000000000100"}, {}});
  duble::Responde("Bematech_FI_DataHoraReducao", {0, {}, {}});
  duble::Responde("Bematech_FI_DadosUltimaReducaoMFD", {0, {}, {}});
  EXPECT_FALSE(Pega());
  EXPECT_EQ(Textos().back(), FALHA_MFD);
  EXPECT_TRUE(Vazia());
}

// ---- Stops, per manufacturer ------------------------------------------------------------

TEST_F(Reducao, DadosRecusadosParamSemArquivo) {
  const struct {
    int32_t fabricante;
    bool mfd;
    const char *grandeTotal;
    Lista respostas;  // function names answered with the code -27 ("!" first: an empty answer)
    std::string mensagem;
  } casos[] = {
      {BEMATECH, true, "Bematech_FI_GrandeTotal", {"Bematech_FI_DadosUltimaReducaoMFD"}, FALHA_MFD},
      {BEMATECH,
       false,
       "Bematech_FI_GrandeTotal",
       {"Bematech_FI_DadosUltimaReducao"},
       "Falha ao capturar dados da Última Redução Z do ECF."},
      {SWEDA,
       true,
       "ECF_GrandeTotal",
       {"!ECF_DadosUltimaReducaoMFD"},
       "Falha ao receber os dados da Última Redução Z do ECF."},
      {SWEDA,
       true,
       "ECF_GrandeTotal",
       {"ECF_DadosUltimaReducaoMFD"},
       std::string(FALHA_MFD) + "\nRetorno ECF: -27"},
      {DARUMA,
       true,
       "Daruma_FI_GrandeTotal",
       {"Daruma_FIMFD_RetornaInformacao"},
       "Falha ao gerar os dados da última Redução Z."},
      {ELGIN, true, "Elgin_GrandeTotal", {"Elgin_DadosUltimaReducaoMFD"}, FALHA_MFD},
  };
  for (const auto &caso : casos) {
    SCOPED_TRACE(std::string(NomeDe(caso.fabricante)) + " " + caso.mensagem);
    SetUp();
    Prepara(caso.fabricante, caso.mfd);
    duble::Responde(caso.grandeTotal, {1, {"000000000000000100"}, {}});
    duble::Responde("Bematech_FI_DataHoraReducao", {1, {"170315", "235959"}, {}});
    duble::Responde("ECF_DataMovimentoUltimaReducaoMFD", {1, {"170315"}, {}});
    duble::Responde("Elgin_DataMovimentoUltimaReducaoMFD", {1, {"170315"}, {}});
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"010000"}, {}});
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, {"01022014080910"}, {}});
    for (const std::string &f : caso.respostas) {
      if (f[0] == '!')
        duble::Responde(f.substr(1), {1, {""}, {}});
      else
        duble::RespondeSempre(f, {-27, {std::string(1164, '1')}, {}});
    }
    EXPECT_FALSE(Pega());
    ASSERT_FALSE(mensagens.empty());
    EXPECT_EQ(mensagens.back().texto, caso.mensagem);
    EXPECT_EQ(mensagens.back().titulo, NomeDe(caso.fabricante));
    EXPECT_TRUE(Vazia());
  }
}

TEST_F(Reducao, GrandeTotalZeroApagaOArquivoDeTrabalhoENadaGrava) {
  Prepara(BEMATECH);
  AcessaIni(trabalho_, "REDUCZ", "GT", "1");  // left by an earlier call
  duble::Responde("Bematech_FI_GrandeTotal", {1, {"000000000000000000"}, {}});
  EXPECT_FALSE(Pega());
  EXPECT_TRUE(Vazia());
  EXPECT_EQ(duble::ChamadasDe("Bematech_FI_D"), Lista{});
}

TEST_F(Reducao, UranoDevolveVerdadeiroSemGravar) {
  Prepara(URANO);
  duble::Responde("DLLG2_Retorno", {1, {"15,00"}, {}});
  EXPECT_TRUE(Pega());
  EXPECT_TRUE(Vazia());
  EXPECT_EQ(duble::ChamadasDe("DLLG2_AdicionaParam"),
            (Lista{"DLLG2_AdicionaParam(0, \"NomeDadoMonetario\", \"GT\", 7)",
                   "DLLG2_AdicionaParam(0, \"NomeIndicador\", \"SensorPoucoPapel\", 7)",
                   "DLLG2_AdicionaParam(0, \"NomeIndicador\", \"SemPapel\", 7)"}));
}

// ---- SWEDA and ELGIN ---------------------------------------------------------------------

TEST_F(Reducao, SwedaPulaSlotsSemValorPositivoEUsaAHoraDoComputadorSemDataDeEmissao) {
  Prepara(SWEDA);
  duble::Responde("ECF_GrandeTotal", {1, {"000000000001234567"}, {}});
  duble::Responde("ECF_DataMovimentoUltimaReducaoMFD", {1, {"170315"}, {}});
  duble::Responde("ECF_DataHoraReducao", {0, {"??", "??"}, {}});
  duble::Responde("ECF_DadosUltimaReducaoMFD", {1, {RespostaMfd()}, {}});
  duble::Responde("ECF_DataHoraGravacaoUsuarioSWBasicoMFAdicional",
                  {1, {"", "01/02/2014 08:09:10 ", "S"}, {}});
  const DataHora antes = Agora();
  EXPECT_TRUE(Pega());
  EXPECT_EQ(duble::ChamadasDe("ECF_D"),
            (Lista{"ECF_DataMovimentoUltimaReducaoMFD([6])", "ECF_DataHoraReducao([6], [6])",
                   "ECF_DadosUltimaReducaoMFD([1278])",
                   "ECF_DataHoraGravacaoUsuarioSWBasicoMFAdicional([20], [20], [5])",
                   "ECF_DataHoraImpressora([6], [6])"}));
  const std::string arquivo = LeArquivo(Rz() + "reduc_150317.txt");
  const Lista chaves = Chaves(arquivo);
  EXPECT_EQ(Lista(chaves.begin(), chaves.begin() + 7),
            (Lista{"TTRIBUTO1", "VTRIBUTO1", "TRIBUTO1", "TTRIBUTO2", "VTRIBUTO2", "TRIBUTO2",
                   "TTRIBUTO3"}));
  EXPECT_EQ(Linha(arquivo, "VTRIBUTO2"), "VTRIBUTO2=50,5");
  EXPECT_EQ(Linha(arquivo, "TTRIBUTO3"), "TTRIBUTO3=N");
  // The negative slot still counts in the gross sales.
  EXPECT_EQ(Linha(arquivo, "VNDBRUTO"), "VNDBRUTO=156,25");
  EXPECT_EQ(Linha(arquivo, "VERSAOSBDT"), "VERSAOSBDT=01/02/2014 08:09:10");
  EXPECT_EQ(Linha(arquivo, "VERSAOSB"), "");
  EXPECT_EQ(Linha(arquivo, "MFADICIONAL"), "");
  EXPECT_EQ(Linha(arquivo, "CRO"), "CRO=2");
  const std::string emissao = Linha(arquivo, "DTEMISSAO");
  EXPECT_TRUE(emissao == "DTEMISSAO=" + FormataDataHora("dd/mm/yyyy hh:nn:ss", antes) ||
              emissao == "DTEMISSAO=" + FormataDataHora("dd/mm/yyyy hh:nn:ss", Agora()))
      << emissao;
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(Reducao, ElginSubstituiArquivoFinalExistente) {
  Prepara(ELGIN);
  duble::Responde("Elgin_GrandeTotal", {1, {"000000000001234567"}, {}});
  duble::Responde("Elgin_DataMovimentoUltimaReducaoMFD", {1, {"170315"}, {}});
  std::string r = RespostaMfd();
  Poe(r, 1273, "999999");  // only BEMATECH reads its movement from here
  duble::Responde("Elgin_DadosUltimaReducaoMFD", {1, {r}, {}});
  duble::Responde("Elgin_DataHoraSoftwareBasico", {0, {"010214", "080910"}, {}});
  AcessaIni(Rz() + "reduc_150317.txt", "ANTIGA", "X", "1");
  EXPECT_TRUE(Pega());
  EXPECT_EQ(
      duble::ChamadasDe("Elgin_D"),
      (Lista{"Elgin_DataMovimentoUltimaReducaoMFD([6])", "Elgin_DadosUltimaReducaoMFD([1278])",
             "Elgin_DataHoraSoftwareBasico([6], [6])", "Elgin_DataHoraImpressora([6], [6])"}));
  const std::string arquivo = LeArquivo(Rz() + "reduc_150317.txt");
  EXPECT_EQ(arquivo.find("ANTIGA"), std::string::npos);
  EXPECT_EQ(Chaves(arquivo).size(), 7u + 25u);  // slots 1, 2, end; fixed keys without the empty
  EXPECT_EQ(Linha(arquivo, "VERSAOSBDT"), "VERSAOSBDT=01/02/2014 08:09:10");
  EXPECT_EQ(Linha(arquivo, "DTEMISSAO"), "DTEMISSAO=30/12/1899");
  EXPECT_EQ(Linha(arquivo, "DTMOVTO"), "DTMOVTO=17/03/2015");
  EXPECT_FALSE(Existe("reduz.ini"));
}

// ---- DARUMA --------------------------------------------------------------------------------

TEST_F(Reducao, DarumaLeTudoPorIndiceEGravaDezesseisTiposSemFim) {
  Prepara(DARUMA);
  duble::Responde("Daruma_FI_GrandeTotal", {1, {"000000000000000100"}, {}});
  std::string r(1164, '0');
  Poe(r, 1, "17032015");
  Poe(r, 9, Campo(100000, 18));
  Poe(r, 27, Campo(150000, 18));  // more than GT: negative gross sales
  Poe(r, 45, Campo(1, 14));
  Poe(r, 59, Campo(2, 14));
  Poe(r, 73, Campo(3, 14));
  Poe(r, 87, Campo(4, 14));
  Poe(r, 101, Campo(5, 14));
  Poe(r, 115, Campo(6, 14));
  Poe(r, 129, Campo(1234, 14));
  Poe(r, 353, Campo(11, 14));
  Poe(r, 367, Campo(12, 14));
  Poe(r, 381, Campo(13, 14));
  Poe(r, 395, Campo(14, 14));
  Poe(r, 409, Campo(15, 14));
  Poe(r, 423, Campo(16, 14));
  Poe(r, 843, "11800");
  Poe(r, 848, "20500");
  Poe(r, 853, "30000");
  Poe(r, 935, "000099");
  for (const Lista &resposta :
       {Lista{"01.02"}, Lista{"01022014080910"}, Lista{"0036"}, Lista{"003"},
        Lista{"DR012345678901234567M"}, Lista{"17032015231500"}, Lista{"1"}, Lista{r}})
    duble::Responde("Daruma_FIMFD_RetornaInformacao", {1, resposta, {}});
  duble::Responde("Daruma_FI_DataHoraImpressora", {1, {"180315", "103000"}, {}});
  EXPECT_TRUE(Pega());

  const Lista leituras = duble::ChamadasDe("Daruma_FIMFD_RetornaInformacao");
  EXPECT_EQ(leituras, (Lista{"Daruma_FIMFD_RetornaInformacao(\"83\", [6])",
                             "Daruma_FIMFD_RetornaInformacao(\"85\", [14])",
                             "Daruma_FIMFD_RetornaInformacao(\"24\", [4])",
                             "Daruma_FIMFD_RetornaInformacao(\"23\", [3])",
                             "Daruma_FIMFD_RetornaInformacao(\"78\", [21])",
                             "Daruma_FIMFD_RetornaInformacao(\"73\", [14])",
                             "Daruma_FIMFD_RetornaInformacao(\"109\", [1])",
                             "Daruma_FIMFD_RetornaInformacao(\"140\", [1164])"}));
  Lista linhas = {"TTRIBUTO1=I", "TRIBUTO1=18", "VTRIBUTO1=12,34", "TTRIBUTO2=S", "TRIBUTO2=5",
                  "VTRIBUTO2=0", "TTRIBUTO3=N", "TRIBUTO3=0",      "VTRIBUTO3=0"};
  for (int n = 4; n <= 16; ++n) {
    const std::string i = std::to_string(n);
    linhas.insert(linhas.end(),
                  {"TTRIBUTO" + i + "=N", "TRIBUTO" + i + "=0", "VTRIBUTO" + i + "=0"});
  }
  const Lista fixas = Fixas({"01/02/2014 08:09:10",
                             "17/03/2015 23:15:00",
                             "1000",
                             "-500",
                             "-499,99",
                             "0,03",
                             "0,04",
                             "0,01",
                             "0,02",
                             "0,05",
                             "0,06",
                             "99",
                             "17/03/2015",
                             "0,11",
                             "0,12",
                             "0,13",
                             "0,14",
                             "0,15",
                             "0,16",
                             "36",
                             "3",
                             "01.02",
                             "M",
                             "1",
                             "BE0123456789",
                             "7",
                             "MP-4000 TH FI",
                             "",
                             "18/03/2015 10:30:00",
                             r});
  linhas.insert(linhas.end(), fixas.begin(), fixas.end());
  EXPECT_EQ(LeArquivo(Rz() + "reduc_150317.txt"), Ini(linhas));
}

TEST_F(Reducao, DarumaLeituraRecusadaDeixaOValorDeFora) {
  Prepara(DARUMA);
  duble::Responde("Daruma_FI_GrandeTotal", {1, {"000000000000000100"}, {}});
  std::string r(1164, '0');
  Poe(r, 1, "17032015");
  const std::vector<duble::Resposta> respostas = {{1, {"01.02"}, {}},
                                                  {1, {"01022014080910"}, {}},
                                                  {0, {"0036"}, {}},
                                                  {0, {"003"}, {}},
                                                  {0, {"DR012345678901234567M"}, {}},
                                                  {0, {"17032015231500"}, {}},
                                                  {0, {"1"}, {}},
                                                  {1, {r}, {}}};
  for (const duble::Resposta &resposta : respostas)
    duble::Responde("Daruma_FIMFD_RetornaInformacao", resposta);
  EXPECT_TRUE(Pega());
  const std::string arquivo = LeArquivo(Rz() + "reduc_150317.txt");
  EXPECT_EQ(Linha(arquivo, "CRZ"), "CRZ=0");
  EXPECT_EQ(Linha(arquivo, "CRO"), "CRO=0");
  EXPECT_EQ(Linha(arquivo, "MFADICIONAL"), "");
  EXPECT_EQ(Linha(arquivo, "PARAMDESCISS"), "");
  EXPECT_EQ(Linha(arquivo, "DTEMISSAO"), "DTEMISSAO=30/12/1899");
}

// ---- DATAREGIS -------------------------------------------------------------------------------

class ReducaoDataregis : public Reducao {
 protected:
  // Answers of the typed reads in the order they are asked: the grand total
  // and the paper sensors of its verdict, then the reduction's own.
  void Respostas(const Lista &valores) {
    for (const std::string &v : Lista{"1234,56", "0", "0"})
      duble::Responde("DLLG2_Retorno", {1, {v}, {}});
    for (const std::string &v : valores) duble::Responde("DLLG2_Retorno", {1, {v}, {}});
  }
  // GT 12345,67, cancellations 0,10 and 0,30, discount 0,20, surcharge 0,40,
  // gross sales 500, slot 1 100 at 18% (T), slot 2 50 at 5% (S), reduction 41.
  static std::string Dados(char tipo1 = 'T') {
    std::string r = "01" + Campo(1234567, 18) + Campo(10, 14) + Campo(20, 14) + Campo(30, 14) +
                    Campo(40, 14) + Campo(50000, 14) + "1800" + "0500" + std::string(56, '0') +
                    Campo(10000, 14) + Campo(5000, 14) + std::string(196, '0') + tipo1 + "S" +
                    std::string(14, 'T') + Campo(1, 14) + Campo(2, 14) + Campo(3, 14) +
                    Campo(0, 14) + "000041" + "000000" + "170315";
    EXPECT_EQ(r.size(), 468u);
    return r;
  }
};

TEST_F(ReducaoDataregis, RespostaDe468GravaSlotsNaOrdemDoDriver) {
  Prepara(DATAREGIS);
  Respostas({"01.00.05", "35", "2", "  " + Dados() + "  ", "23:15:00", "18/03/2015", "10:30:00"});
  EXPECT_TRUE(Pega());
  EXPECT_EQ(duble::ChamadasDe("DLLG2_AdicionaParam"),
            (Lista{"DLLG2_AdicionaParam(3, \"NomeDadoMonetario\", \"GT\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeIndicador\", \"SensorPoucoPapel\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeIndicador\", \"SemPapel\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeTexto\", \"VersaoSW\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeInteiro\", \"CRZ\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeInteiro\", \"ContadorReinicioReducao[35]\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeTexto\", \"DadosUltimaReducaoZ\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeHora\", \"HoraReducao[35]\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeData\", \"DATA\", 7)",
                   "DLLG2_AdicionaParam(3, \"NomeHora\", \"HORA\", 7)"}));
  const Lista retornos = duble::ChamadasDe("DLLG2_Retorno");
  ASSERT_EQ(retornos.size(), 10u);
  EXPECT_EQ(retornos[3], "DLLG2_Retorno(3, 0, \"ValorTexto\", 0, [50], 50)");
  EXPECT_EQ(retornos[6], "DLLG2_Retorno(3, 0, \"ValorTexto\", 0, [1000], 1000)");

  Lista linhas = {"TRIBUTO1=18", "VTRIBUTO1=100", "TTRIBUTO1=I",
                  "TRIBUTO2=5",  "VTRIBUTO2=50",  "TTRIBUTO2=S"};
  for (int n = 3; n <= 16; ++n) {
    const std::string i = std::to_string(n);
    linhas.insert(linhas.end(),
                  {"TRIBUTO" + i + "=0", "VTRIBUTO" + i + "=0", "TTRIBUTO" + i + "=I"});
  }
  linhas.push_back("TTRIBUTO17=N");
  const Lista fixas = Fixas({"30/12/1899",
                             "17/03/2015 23:15:00",
                             "12345,67",
                             "500",
                             "499,8",
                             "0,1",
                             "0,3",
                             "0,2",
                             "0",
                             "0,4",
                             "0",
                             "41",
                             "17/03/2015",
                             "0,01",
                             "0",
                             "0,02",
                             "0",
                             "0,03",
                             "0",
                             "35",
                             "2",
                             "01.00.05",
                             "",
                             "",
                             "BE0123456789",
                             "7",
                             "MP-4000 TH FI",
                             "",
                             "18/03/2015 10:30:00",
                             Dados()});
  linhas.insert(linhas.end(), fixas.begin(), fixas.end());
  EXPECT_EQ(LeArquivo(Rz() + "reduc_150317.txt"), Ini(linhas));
  EXPECT_TRUE(mensagens.empty());
}

TEST_F(ReducaoDataregis, RespostaDeOutroTamanhoGravaValoresZeradosComADataLida) {
  Prepara(DATAREGIS);
  const std::string curta = Dados().substr(1);
  Respostas({"01.00.05", "35", "2", curta, "16/03/2015", "23:15:00", "18/03/2015", "10:30:00"});
  EXPECT_TRUE(Pega());
  EXPECT_EQ(Textos(), (Lista{"Falha ao reconhecer dados da última redução no ECF.\nIsso precisa "
                             "ser informado ao Suporte Técnico para urgente reparo."}));
  EXPECT_EQ(duble::ChamadasDe("DLLG2_AdicionaParam")[7],
            "DLLG2_AdicionaParam(3, \"NomeData\", \"DataReducao[35]\", 7)");
  const std::string arquivo = LeArquivo(Rz() + "reduc_150316.txt");
  EXPECT_EQ(Chaves(arquivo)[0], "VERSAOSBDT");
  EXPECT_EQ(Linha(arquivo, "DTEMISSAO"), "DTEMISSAO=16/03/2015 23:15:00");
  for (const char *chave :
       {"GT", "VNDBRUTO", "VCONTABIL", "CANC_ICM", "DESC_ICM", "FF1_ICM", "NREDUC"})
    EXPECT_EQ(Linha(arquivo, chave), std::string(chave) + "=0");
  EXPECT_EQ(Linha(arquivo, "INFO"), "INFO=" + curta);
}

TEST_F(ReducaoDataregis, TipoInvalidoAbortaEDeixaOArquivoDeTrabalho) {
  for (char tipo : {'X', ';'}) {
    SCOPED_TRACE(std::string(1, tipo));
    SetUp();
    Prepara(DATAREGIS);
    Respostas({"01.00.05", "35", "2", Dados(tipo)});
    EXPECT_FALSE(Pega());
    EXPECT_EQ(Textos(), (Lista{"Tipo de tributo inválido: " + std::string(1, tipo), FALHA_GUARDA}));
    EXPECT_EQ(LeArquivo(trabalho_), Ini({"TRIBUTO1=18", "VTRIBUTO1=100"}));
    EXPECT_EQ(std::filesystem::directory_iterator(Rz())->path().filename(), "reduz.ini");
  }
}

// ---- Names and files -----------------------------------------------------------------------

TEST_F(Reducao, ArquivoDeTrabalhoSemPastaFalhaEFicaOndeFoiEscrito) {
  RespondeElgin();
  const std::filesystem::path antes = std::filesystem::current_path();
  std::filesystem::current_path(Rz());
  const bool resultado = ecf_PegaDadosUltReducao("reduz.ini", nullptr) != 0;
  std::filesystem::current_path(antes);
  EXPECT_FALSE(resultado);
  EXPECT_EQ(Textos(), Lista{FALHA_GUARDA});
  EXPECT_TRUE(Existe("reduz.ini"));
  EXPECT_FALSE(Existe("reduc_150317.txt"));
}

TEST_F(Reducao, PastaQueNaoExisteFalhaAntesDePerguntarAImpressora) {
  RespondeElgin();
  trabalho_ = Rz() + "nao/reduz.ini";
  EXPECT_FALSE(Pega());
  EXPECT_EQ(Textos(), Lista{"A pasta \"" + Rz() + "nao/\" do arquivo da Redução Z não existe."});
  EXPECT_EQ(ecf_Retorno, -1);
  EXPECT_TRUE(duble::Chamadas().empty());
}

TEST_F(Reducao, ArquivoDeTrabalhoComONomeFinalFica) {
  RespondeElgin();
  trabalho_ = Rz() + "reduc_150317.txt";
  EXPECT_TRUE(Pega());
  EXPECT_EQ(Linha(LeArquivo(trabalho_), "GT"), "GT=12345,67");
}

// An old final file that cannot be removed must not pass for the new one.
TEST_F(Reducao, ArquivoFinalQueNaoSaiDevolveFalsoEGuardaOsDadosNoDeTrabalho) {
  RespondeElgin();
  const std::string final = Rz() + "reduc_150317.txt";
  AcessaIni(final, "ANTIGA", "X", "1");
  const Imutavel preso(final);
  if (!preso.Ativo()) GTEST_SKIP() << "no immutable attribute here";
  EXPECT_FALSE(ApagaArquivo(final));  // gives up instead of trying for ever
  EXPECT_FALSE(Pega());
  EXPECT_EQ(Textos(), Lista{"Não foi possível substituir o arquivo \"" + final +
                            "\".\nOs dados da Redução Z ficaram em \"" + trabalho_ + "\"."});
  EXPECT_EQ(ecf_Retorno, -1);
  EXPECT_EQ(LeArquivo(final), "[ANTIGA]\r\nX=1\r\n");
  EXPECT_EQ(Linha(LeArquivo(trabalho_), "GT"), "GT=12345,67");
}

TEST_F(Reducao, ApagaArquivoRemoveEAceitaArquivoAusente) {
  const std::string arquivo = Pasta() + "velho.txt";
  AcessaIni(arquivo, "A", "B", "C");
  EXPECT_TRUE(ApagaArquivo(arquivo));
  EXPECT_FALSE(std::filesystem::exists(arquivo));
  EXPECT_TRUE(ApagaArquivo(arquivo));
}

}  // namespace
