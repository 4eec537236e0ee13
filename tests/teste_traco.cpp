// The call trace and the export lock: the file's cap, a trace that cannot be
// written, masking, a message handler calling exports, and the replay of
// such a session.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <cmath>
#include <limits>
#include <regex>
#include <thread>

#include "comum.h"
#include "traco.h"

namespace {

class Traco : public TesteEcf {
 protected:
  void TearDown() override {
    traco::Grava("");
    traco::DefineLimite(0);
    TesteEcf::TearDown();
  }
  std::vector<std::string> Linhas(const std::string &arquivo) const {
    std::vector<std::string> linhas;
    std::string texto = LeArquivo(arquivo), linha;
    for (size_t i = 0, f; i < texto.size(); i = f + 1) {
      f = texto.find('\n', i);
      if (f == std::string::npos) f = texto.size();
      // without the time stamp and thread
      const size_t corpo = texto.find(' ', texto.find(' ', i) + 1) + 1;
      linhas.push_back(texto.substr(corpo, f - corpo));
    }
    return linhas;
  }
};

std::vector<std::string> aninhadas;

// A host whose message handler asks the library for more.
int TARVIC_API PerguntaDeNovo(const char *, const char *, uint32_t) {
  aninhadas.push_back(std::to_string(ecf_IdFabricante()));
  return 1;
}

}  // namespace

TEST_F(Traco, RenomeiaUmaVezParaPonto1AoPassarDoLimite) {
  const std::string arquivo = Pasta() + "traco.log";
  traco::DefineLimite(1000);
  traco::Grava(arquivo);
  for (int i = 0; i < 40; ++i) ecf_SetUF("MG");  // about 3000 bytes
  traco::Grava("");
  EXPECT_LE(std::filesystem::file_size(arquivo), 1000u);
  EXPECT_LE(std::filesystem::file_size(arquivo + ".1"), 1000u);
  EXPECT_FALSE(std::filesystem::exists(arquivo + ".2"));
  // The header names the separator, the library's version and the program.
  const std::regex cabecalho(
      "# tarvic continuacao \"/\" \"[0-9]+\\.[0-9]+\\.[0-9]+\" \"testes_tarvic\"");
  EXPECT_TRUE(std::regex_match(Linhas(arquivo)[0], cabecalho)) << Linhas(arquivo)[0];
  EXPECT_TRUE(std::regex_match(Linhas(arquivo + ".1")[0], cabecalho));  // the older was replaced
  EXPECT_EQ(Linhas(arquivo).back(), "< ecf_SetUF 1 ecf_Retorno=0 0ms");
}

TEST_F(Traco, ArquivoQueNaoSePodeGravarNaoMudaNadaNemMostraMensagem) {
  traco::Grava(Pasta() + "nao/existe/traco.log");
  EXPECT_FALSE(traco::Ligado());
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_CancelaCupom", {-6, {}, {}});
  EXPECT_EQ(ecf_CancelaCupom(), 0);
  EXPECT_EQ(ecf_Retorno, -6);
  EXPECT_EQ(Textos(), std::vector<std::string>{
                          "Impressora desligada ou cabo de comunicação desconectado.\n"});
}

TEST_F(Traco, MascaraCpfECnpjDoHospedeiroOndeAparecem) {
  traco::Grava(Pasta() + "traco.log");
  set_CpfCliente("123.456.789-09");
  set_ieCnpj("123456789", "11.222.333/0001-81");
  const std::pair<const char *, const char *> casos[] = {
      {"CPF 123.456.789-09.", "\"CPF ***.***.***-09.\""},
      {"12345678909", "\"*********09\""},
      {"MINAS LEGAL: 11222333000181 08122025", "\"MINAS LEGAL: ************81 08122025\""},
      {"11.222.333/0001-81", "\"**.***.***/****-81\""},
      {"7891122233300018199", "\"7891122233300018199\""},  // inside a longer number: a code
      {"123456789", "\"123456789\""},                      // the state registration is no CPF
      {"a*b", "\"a\\*b\""},
  };
  for (const auto &[texto, escrito] : casos)
    EXPECT_EQ(traco::Cita(texto, traco::Mascara(texto, false)), escrito);
  const std::vector<std::string> linhas = Linhas(Pasta() + "traco.log");
  EXPECT_EQ(linhas[1], "> set_CpfCliente \"***.***.***-09\"");
  EXPECT_EQ(linhas[3], "> set_ieCnpj \"123456789\" \"**.***.***/****-81\"");
}

TEST_F(Traco, TextosEmUtf8ComCadaByteRecuperavel) {
  const std::string bytes = "Cód\x80\x81\"\\\n\x01\xff";
  EXPECT_EQ(traco::Cita(bytes, {}),
            "\"C\xc3\xb3"
            "d\xe2\x82\xac\\x81\\\"\\\\\\n\\x01\xc3\xbf\"");
}

TEST_F(Traco, TratadorDeMensagemChamaExportacoesDeDentroDeUma) {
  const std::string arquivo = Pasta() + "traco.log";
  aninhadas.clear();
  duble::Responde("Daruma_FI_CancelaCupom", {-6, {}, {}});
  traco::Grava(arquivo);
  ecf_SetTratadorMensagem(PerguntaDeNovo);
  ASSERT_EQ(ecf_Inicializa("DARUMA", "COM1", Pasta().c_str()), 1);
  EXPECT_EQ(ecf_CancelaCupom(), 0);
  traco::Grava("");
  EXPECT_EQ(aninhadas, std::vector<std::string>{"3"});

  const std::vector<std::string> linhas = Linhas(arquivo);
  auto posicao = [&](const std::string &inicio) {
    for (size_t i = 0; i < linhas.size(); ++i)
      if (linhas[i].compare(0, inicio.size(), inicio) == 0) return i;
    return linhas.size();
  };
  EXPECT_LT(posicao("> ecf_CancelaCupom"), posicao("> ecf_IdFabricante"));
  EXPECT_LT(posicao("< ecf_IdFabricante 3"), posicao("M \"Impressora desligada"));
  EXPECT_LT(posicao("M \"Impressora desligada"), posicao("< ecf_CancelaCupom 0"));

  // The replay answers the message by playing the handler's exports again.
  const std::string comando = std::string(TARVIC_REPLAY) + " " + arquivo + " > " + Pasta() + "r";
  EXPECT_EQ(std::system(comando.c_str()), 0) << LeArquivo(Pasta() + "r");
  EXPECT_EQ(LeArquivo(Pasta() + "r"), "no divergence\n");
}

TEST_F(Traco, OutraThreadEsperaAExportacaoEmCurso) {
  std::atomic<bool> terminou{false};
  std::thread outra;
  static std::function<void()> durante;
  durante = [&] {
    outra = std::thread([&] {
      ecf_DllVersao();
      terminou = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(terminou) << "an export ran while another was showing its message";
  };
  ecf_SetTratadorMensagem([](const char *, const char *, uint32_t) -> int {
    durante();
    return 1;
  });
  Fabricante(BEMATECH);
  duble::Responde("Bematech_FI_CancelaCupom", {-6, {}, {}});
  ecf_CancelaCupom();
  outra.join();
  EXPECT_TRUE(terminou);
}

TEST_F(Traco, DatasEDinheiroVoltamExatosNoReplay) {
  const std::string arquivo = Pasta() + "traco.log";
  traco::Grava(arquivo);
  const double datas[][2] = {{45000.123456789012, 0.1},
                             {std::nan("7"), -std::numeric_limits<double>::infinity()},
                             {-0.0, std::numeric_limits<double>::denorm_min()}};
  for (const auto &d : datas)
    ecf_GeraSintegra("s", d[0], d[1], "", "", "", "", "", "", "", "", "", "");
  set_vIcmCupom(INT64_MIN);
  traco::Grava("");
  const std::vector<std::string> linhas = Linhas(arquivo);
  EXPECT_EQ(linhas[1].substr(0, 48), "> ecf_GeraSintegra \"s\" 45000.123456789013 0.1000");
  EXPECT_EQ(linhas[4].substr(0, 51), "> ecf_GeraSintegra \"s\" nan:7ff8000000000007 -inf \"\"");
  const std::string comando = std::string(TARVIC_REPLAY) + " " + arquivo + " > " + Pasta() + "r";
  EXPECT_EQ(std::system(comando.c_str()), 0) << LeArquivo(Pasta() + "r");
}
