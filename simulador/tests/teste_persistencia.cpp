// Arquivo de estado, falhas injetadas e impressora do processo.
#include "apoio.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace tarvic {
namespace simulador {
namespace {

using Persistencia = TesteImpressora;

TEST_F(Persistencia, EstadoContinuaDeUmaExecucaoParaAOutra) {
  vendaSimples(1234);
  ASSERT_EQ(ecf->abreCupom("12345678909"), Resultado::Ok);
  ImpressoraFiscal::Item acucar = item("T1800", 1500, 4990);
  acucar.descricao =
      "A\xC7\xDA"
      "CAR CRISTAL \x80";  // Windows-1252: AÇÚCAR ... €
  ASSERT_EQ(ecf->vendeItem(acucar), Resultado::Ok);
  ASSERT_EQ(ecf->iniciaFechamento(Ajuste::descontoValor(10)), Resultado::Ok);
  ecf->injetaCodigo("Bematech_FI_VendeItem", -2);
  ecf->defineDeslocamentoRelogio(120);

  Contadores antes = ecf->contadores();
  int64_t gt = ecf->grandeTotal();
  std::size_t documentos = ecf->jornal().size();
  reabre();

  EXPECT_EQ(ecf->contadores().coo, antes.coo);
  EXPECT_EQ(ecf->contadores().ccf, antes.ccf);
  EXPECT_EQ(ecf->grandeTotal(), gt);
  EXPECT_EQ(ecf->deslocamentoRelogio(), 120);
  EXPECT_EQ(ecf->jornal().size(), documentos);
  ASSERT_EQ(ecf->documentoAberto(), TipoDocumento::CupomFiscal);
  EXPECT_EQ(ecf->faseCupom(), FaseCupom::Totalizando);
  EXPECT_EQ(ecf->cupomAtual().itens[0].descricao, acucar.descricao);
  EXPECT_EQ(ecf->cupomAtual().consumidorDocumento, "12345678909");
  EXPECT_EQ(ecf->retiraCodigoInjetado("BEMATECH_FI_VENDEITEM"), -2);

  // o cupom interrompido termina na execução seguinte
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 10000), Resultado::Ok);
  ASSERT_EQ(ecf->encerraCupom(), Resultado::Ok);
  EXPECT_EQ(ecf->vendaLiquidaDia(), 1234 + 748 - 10);
  EXPECT_EQ(somaTotaisParciais(), ecf->vendaLiquidaDia());
  reabre();
  EXPECT_EQ(ecf->procuraForma("Dinheiro")->totalDia, 11234);
  EXPECT_FALSE(ecf->retiraCodigoInjetado("Bematech_FI_VendeItem").has_value());
}

TEST_F(Persistencia, ArquivoCorrompidoComecaImpressoraNovaSemPerderOArquivo) {
  vendaSimples(500);
  ecf.reset();
  const char* estragos[] = {
      "{\"versao\": 1, \"contadores\": ",  // cortado no meio
      "isto nao e json",
      "[1, 2, 3]",
      "{\"versao\": 1, \"identificacao\": {}, \"contadores\": \"muitos\"}",  // tipo errado
      "{\"versao\": 99}",
  };
  for (const char* estrago : estragos) {
    escreverArquivo(estado, estrago);
    testing::internal::CaptureStderr();
    reabre();
    std::string erro = testing::internal::GetCapturedStderr();
    EXPECT_NE(erro.find("ilegivel"), std::string::npos) << estrago;
    EXPECT_EQ(std::count(erro.begin(), erro.end(), '\n'), 1) << erro;
    EXPECT_EQ(ecf->contadores().coo, 0);
    EXPECT_EQ(ecf->formasPagamento().size(), 3u);
    EXPECT_EQ(lerArquivo(estado + ".corrompido"), estrago);
    // e funciona
    vendaSimples(100);
    EXPECT_EQ(ecf->contadores().coo, 1);
    ecf.reset();
  }
}

// A number beyond every integer type in a state that is otherwise whole: the
// file is set aside, never converted out of range.
TEST_F(Persistencia, NumeroForaDeQualquerInteiroComecaImpressoraNova) {
  vendaSimples(500);
  ecf.reset();
  std::string texto = lerArquivo(estado);
  const std::size_t campo = texto.find("\"quantidadeMilesimos\": ");
  ASSERT_NE(campo, std::string::npos);
  const std::size_t numero = campo + std::string("\"quantidadeMilesimos\": ").size();
  texto.replace(numero, texto.find_first_not_of("0123456789", numero) - numero,
                "3044444444444444444444444444444444444400");
  escreverArquivo(estado, texto);
  testing::internal::CaptureStderr();
  reabre();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("ilegivel"), std::string::npos);
  EXPECT_EQ(ecf->contadores().coo, 0);
}

TEST_F(Persistencia, ArquivoAusenteAvisaEmUmaLinha) {
  ecf.reset();
  fs::remove(estado);
  testing::internal::CaptureStderr();
  reabre();
  std::string erro = testing::internal::GetCapturedStderr();
  EXPECT_NE(erro.find("nao encontrado"), std::string::npos);
  EXPECT_EQ(std::count(erro.begin(), erro.end(), '\n'), 1);
  EXPECT_TRUE(fs::exists(estado));
}

TEST_F(Persistencia, GravacaoImpossivelNaoDerrubaAOperacao) {
  ecf.reset();
  std::string bloqueio = (fs::path(pasta) / "arquivo").string();
  escreverArquivo(bloqueio, "x");
  std::string impossivel =
      (fs::path(bloqueio) / "sub" / "ecf.json").string();  // pasta sob um arquivo
  testing::internal::CaptureStderr();
  ImpressoraFiscal p("SWEDA", impossivel, false);
  p.fixaAgora(hoje);
  EXPECT_EQ(p.abreCupom(), Resultado::Ok);
  EXPECT_EQ(p.abreGaveta(), Resultado::Ok);
  std::string erro = testing::internal::GetCapturedStderr();
  EXPECT_NE(erro.find("falha ao gravar"), std::string::npos);
  EXPECT_EQ(std::count(erro.begin(), erro.end(), '\n'), 2);  // ausente + uma falha de gravação
}

TEST_F(Persistencia, ArquivoDeControleLigaDesligaEInjetaCodigos) {
  std::string controle = ecf->caminhoControle();
  EXPECT_EQ(controle, (fs::path(pasta) / "ecf.falhas").string());
  escreverArquivo(controle, "# falhas de teste\ndesligada\nBematech_FI_AbreCupom=-5\n");
  EXPECT_EQ(ecf->abreCupom(), Resultado::Desligada);
  EXPECT_FALSE(fs::exists(controle));  // consumido
  EXPECT_FALSE(ecf->ligada());
  EXPECT_EQ(ecf->retiraCodigoInjetado("bematech_fi_abrecupom"), -5);
  EXPECT_FALSE(ecf->retiraCodigoInjetado("bematech_fi_abrecupom").has_value());

  escreverArquivo(controle, "ligada;sem papel");
  EXPECT_TRUE(ecf->ligada());
  EXPECT_EQ(ecf->sensorPapel(), SensorPapel::Sem);
  EXPECT_EQ(ecf->abreCupom(), Resultado::SemPapel);
  escreverArquivo(controle, "pouco_papel;deslocamento=-60");
  EXPECT_EQ(ecf->abreCupom(), Resultado::Ok);
  EXPECT_EQ(ecf->sensorPapel(), SensorPapel::Pouco);
  EXPECT_EQ(ecf->agora().texto(), "15/03/2024 09:59:00");

  testing::internal::CaptureStderr();
  EXPECT_FALSE(ecf->aplicaFalhas("ligada;voar;X=abc;ECF_VendeItem=1;ECF_VendeItem=-27"));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ecf->retiraCodigoInjetado("ECF_VendeItem"), 1);
  EXPECT_EQ(ecf->retiraCodigoInjetado("ECF_VendeItem"), -27);
}

TEST_F(Persistencia, VariaveisDeAmbiente) {
  ecf.reset();
  setenv(VariavelEstado, pasta.c_str(), 1);
  setenv(VariavelFalhas, "desligada;Elgin_VendeItem=0", 1);
  testing::internal::CaptureStderr();
  ImpressoraFiscal p("elgin");
  testing::internal::GetCapturedStderr();
  unsetenv(VariavelEstado);
  unsetenv(VariavelFalhas);
  EXPECT_EQ(p.caminhoEstado(), (fs::path(pasta) / "tarvic_sim_ELGIN.json").string());
  EXPECT_EQ(p.caminhoBobina(), (fs::path(pasta) / "tarvic_sim_ELGIN.bobina.txt").string());
  EXPECT_FALSE(p.ligada());
  EXPECT_EQ(p.retiraCodigoInjetado("Elgin_VendeItem"), 0);
  EXPECT_EQ(p.identificacao().marca, "ELGIN");
  EXPECT_EQ(p.identificacao().numeroSerie.size(), 20u);
}

TEST(ImpressoraDoProcesso, UmaPorFabricante) {
  std::string pasta = (fs::temp_directory_path() / "tarvic_sim_teste_processo").string();
  fs::create_directories(pasta);
  setenv(VariavelEstado, pasta.c_str(), 1);
  testing::internal::CaptureStderr();
  ImpressoraFiscal& a = impressoraDoProcesso("DARUMA");
  ImpressoraFiscal& b = impressoraDoProcesso(" daruma ");
  ImpressoraFiscal& c = impressoraDoProcesso("URANO");
  testing::internal::GetCapturedStderr();
  unsetenv(VariavelEstado);
  EXPECT_EQ(&a, &b);
  EXPECT_NE(&a, &c);
  EXPECT_NE(a.caminhoEstado(), c.caminhoEstado());
  std::error_code ec;
  fs::remove_all(pasta, ec);
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
