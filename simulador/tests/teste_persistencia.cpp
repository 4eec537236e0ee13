// State files, injected faults and the process's printer.
#include "apoio.h"
#include "invariantes.h"

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

  // the interrupted coupon ends in the next run
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
      "{\"versao\": 1, \"contadores\": ",  // cut in the middle
      "isto nao e json",
      "[1, 2, 3]",
      "{\"versao\": 1, \"identificacao\": {}, \"contadores\": \"muitos\"}",  // wrong type
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
    // and it works
    vendaSimples(100);
    EXPECT_EQ(ecf->contadores().coo, 1);
    ecf.reset();
  }
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
      (fs::path(bloqueio) / "sub" / "ecf.json").string();  // a folder under a file
  testing::internal::CaptureStderr();
  ImpressoraFiscal p("SWEDA", impossivel, false);
  p.fixaAgora(hoje);
  EXPECT_EQ(p.abreCupom(), Resultado::Ok);
  EXPECT_EQ(p.abreGaveta(), Resultado::Ok);
  std::string erro = testing::internal::GetCapturedStderr();
  EXPECT_NE(erro.find("falha ao gravar"), std::string::npos);
  EXPECT_EQ(std::count(erro.begin(), erro.end(), '\n'), 2);  // missing + one failure to write
}

TEST_F(Persistencia, ArquivoDeControleLigaDesligaEInjetaCodigos) {
  std::string controle = ecf->caminhoControle();
  EXPECT_EQ(controle, (fs::path(pasta) / "ecf.falhas").string());
  escreverArquivo(controle, "# falhas de teste\ndesligada\nBematech_FI_AbreCupom=-5\n");
  EXPECT_EQ(ecf->abreCupom(), Resultado::Desligada);
  EXPECT_FALSE(fs::exists(controle));  // used up
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

TEST_F(Persistencia, EstadoDaVersaoAnteriorAbreEContinua) {
  ecf.reset();
  fs::copy_file(TARVIC_DADOS_TESTE "/estado_v1.json", estado, fs::copy_options::overwrite_existing);
  fs::copy_file(TARVIC_DADOS_TESTE "/estado_v1.bobina.txt", (fs::path(pasta) / "ecf.bobina.txt"),
                fs::copy_options::overwrite_existing);
  fs::remove(fs::path(pasta) / "ecf.registro");
  fs::remove(fs::path(pasta) / "ecf.jornal");
  reabre();
  EXPECT_EQ(ecf->contadores().coo, 4);
  EXPECT_EQ(ecf->grandeTotal(), 2799);
  EXPECT_EQ(ecf->memoriaFiscal().size(), 1u);
  EXPECT_EQ(ecf->jornal().size(), 4u);
  ASSERT_EQ(ecf->documentoAberto(), TipoDocumento::CupomFiscal);
  EXPECT_EQ(ecf->cupomAtual().itens[0].descricao, "CAF\xC9 TORRADO");
  EXPECT_EQ(ecf->retiraCodigoInjetado("Bematech_FI_VendeItem"), -2);
  // The tape, printed in Windows-1252 by that version, is UTF-8 now.
  EXPECT_NE(lerArquivo(ecf->caminhoBobina())
                .find("A\xC3\x87\xC3\x9A"
                      "CAR"),
            std::string::npos);

  ASSERT_EQ(ecf->iniciaFechamento(), Resultado::Ok);
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 5000), Resultado::Ok);
  ASSERT_EQ(ecf->encerraCupom(), Resultado::Ok);
  EXPECT_EQ(lerArquivo(estado).find("\"versao\":2"), 1u);
  reabre();
  EXPECT_EQ(ecf->contadores().coo, 4);
  EXPECT_EQ(ecf->ultimoCupom().total(), 1400 + 800);
  Conferencia c;
  c.confere(*ecf);
  EXPECT_TRUE(c.falhas().empty()) << c.relatorio();
}

// What a stop leaves in the files: a record cut short at the end of the log,
// and journal and tape bytes that never reached the disk (missing, or
// zeros where the file grew); the next start keeps every whole record.
TEST_F(Persistencia, RegistroCortadoEArquivosSemAsUltimasGravacoes) {
  vendaSimples(1000);
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("F", 2000, 3000)), Resultado::Ok);
  const std::string retrato = TextoDoEstado(ecf->estadoGravado(), 0);
  const std::size_t documentos = ecf->jornal().size();
  const std::string caminhoBobina = ecf->caminhoBobina();
  const std::string bobina = lerArquivo(caminhoBobina);
  ecf.reset();
  const std::string registro = (fs::path(pasta) / "ecf.registro").string();
  escreverArquivo(registro, lerArquivo(registro) + "{\"n\":99,\"secoes\":{\"con");
  const std::string jornal = (fs::path(pasta) / "ecf.jornal").string();
  fs::resize_file(jornal, fs::file_size(jornal) / 2);
  fs::resize_file(caminhoBobina, 0);
  fs::resize_file(caminhoBobina, bobina.size());  // the file grew, its bytes were lost
  reabre();
  EXPECT_EQ(TextoDoEstado(ecf->estadoGravado(), 0), retrato);
  EXPECT_EQ(ecf->jornal().size(), documentos);
  ASSERT_EQ(ecf->iniciaFechamento(), Resultado::Ok);
  ASSERT_EQ(ecf->efetuaPagamento("Dinheiro", 6000), Resultado::Ok);
  ASSERT_EQ(ecf->encerraCupom(), Resultado::Ok);
  Conferencia c;
  c.confere(*ecf);
  EXPECT_TRUE(c.falhas().empty()) << c.relatorio();
  EXPECT_EQ(lerArquivo(ecf->caminhoBobina()).compare(0, bobina.size(), bobina), 0);
}

// The state reader on hostile text: a malformed state throws, a malformed
// record ends the log there, and nothing crashes.
TEST(LeituraDoEstado, TextoHostil) {
  const std::string valido =
      "{\"versao\":2,\"geracao\":1,\"identificacao\":{},\"contadores\":{\"coo\":1,\"ccf\":1,"
      "\"gnf\":0,\"grg\":0,\"cdc\":0,\"crz\":0,\"cro\":1},\"geral\":{\"grandeTotal\":0},"
      "\"totaisDia\":{\"grandeTotalInicial\":0}";
  const std::string fundo = std::string(100000, '[') + std::string(100000, ']');
  for (const std::string& estado :
       {valido + ",\"contadores\":{\"coo\":1.5}}", valido + ",\"geral\":{\"grandeTotal\":1e300}}",
        valido + ",\"cupom\":{\"quantidadeItens\":99999999999}}",
        valido + ",\"geral\":{\"grandeTotal\":3044444444444444444444444444444444444400}}",
        std::string("{\"versao\":3}"),
        "{\"versao\":2,\"geracao\":1,\"identificacao\":" + fundo + "}"})
    EXPECT_THROW(LeEstadoDoSimulador(estado, ""), std::exception) << estado.substr(0, 120);
  const std::string registro =
      "{\"geracao\":1}\n{\"n\":1,\"secoes\":{\"contadores\":{\"coo\":2,"
      "\"ccf\":1,\"gnf\":0,\"grg\":0,\"cdc\":0,\"crz\":0,\"cro\":1}}}\n";
  for (const std::string& cauda : {"{\"n\":2,\"secoes\":{\"x\":" + fundo + "}, \"jornal\":3}\n",
                                   std::string("{\"n\":9}\n"), std::string("{\"n\":2,\"sec")}) {
    const EstadoLido lido = LeEstadoDoSimulador(valido + "}", registro + cauda);
    EXPECT_EQ(lido.estado.contadores.coo, 2);
    EXPECT_EQ(lido.bytesValidosRegistro, registro.size());
  }
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
