#include "apoio.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace tarvic {
namespace simulador {

DataHora em(int dia, int mes, int ano, int hora, int minuto, int segundo) {
  return DataHora{ano, mes, dia, hora, minuto, segundo};
}

void TesteImpressora::SetUp() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  auto marca = std::chrono::steady_clock::now().time_since_epoch().count();
  pasta = (fs::temp_directory_path() / ("tarvic_sim_teste_" + std::string(info->test_suite_name()) +
                                        "_" + info->name() + "_" + std::to_string(marca)))
              .string();
  fs::create_directories(pasta);
  estado = (fs::path(pasta) / "ecf.json").string();
  testing::internal::CaptureStderr();  // the start-up's "state not found" warning
  ecf = abre();
  testing::internal::GetCapturedStderr();
}

void TesteImpressora::TearDown() {
  ecf.reset();
  std::error_code ec;
  fs::remove_all(pasta, ec);
}

std::unique_ptr<ImpressoraFiscal> TesteImpressora::abre() {
  std::unique_ptr<ImpressoraFiscal> p(new ImpressoraFiscal("BEMATECH", estado, false));
  p->fixaAgora(hoje);
  return p;
}

ImpressoraFiscal::Item ItemDeTeste(const std::string& aliquota, int64_t quantidade, int64_t preco,
                                   const Ajuste& ajuste, const std::string& descricao) {
  ImpressoraFiscal::Item i;
  i.codigo = "7891000100103";
  i.descricao = descricao;
  i.aliquota = aliquota;
  i.quantidadeMilesimos = quantidade;
  i.precoUnitarioMilesimos = preco;
  i.ajuste = ajuste;
  return i;
}

ImpressoraFiscal::Item TesteImpressora::item(const std::string& aliquota, int64_t quantidade,
                                             int64_t preco, const Ajuste& ajuste) const {
  return ItemDeTeste(aliquota, quantidade, preco, ajuste);
}

void TesteImpressora::vendaSimples(int64_t centavos, const std::string& forma) {
  ASSERT_EQ(ecf->abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf->vendeItem(item("T1800", 1000, centavos * 10)), Resultado::Ok);
  ASSERT_EQ(ecf->iniciaFechamento(), Resultado::Ok);
  ASSERT_EQ(ecf->efetuaPagamento(forma, centavos), Resultado::Ok);
  ASSERT_EQ(ecf->encerraCupom(), Resultado::Ok);
}

int64_t TesteImpressora::somaTotaisParciais() const {
  int64_t soma = 0;
  for (const TotalParcial& t : ecf->totaisParciais()) soma += t.total;
  return soma;
}

std::string TesteImpressora::lerArquivo(const std::string& caminho) const {
  std::ifstream f(caminho, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void TesteImpressora::escreverArquivo(const std::string& caminho,
                                      const std::string& conteudo) const {
  std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
  f << conteudo;
}

}  // namespace simulador
}  // namespace tarvic
