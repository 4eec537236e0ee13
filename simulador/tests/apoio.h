// What the model's tests share: each test has a temporary folder of its own
// with the state file, and the clock stopped at a known date.
#pragma once

#include "impressora_fiscal.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tarvic {
namespace simulador {

DataHora em(int dia, int mes, int ano, int hora = 10, int minuto = 0, int segundo = 0);

// An item of the shop's catalogue, sold in thousandths of a unit at a price
// in thousandths of a real.
ImpressoraFiscal::Item ItemDeTeste(const std::string& aliquota, int64_t quantidadeMilesimos,
                                   int64_t precoMilesimos, const Ajuste& ajuste = Ajuste(),
                                   const std::string& descricao = "PRODUTO DE TESTE");

class TesteImpressora : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new printer on the test's state file, its clock stopped at "hoje".
  std::unique_ptr<ImpressoraFiscal> abre();
  void reabre() { ecf = abre(); }

  ImpressoraFiscal::Item item(const std::string& aliquota, int64_t quantidadeMilesimos,
                              int64_t precoMilesimos, const Ajuste& ajuste = Ajuste()) const;
  // Opens, sells one item of `centavos` at T18%, closes paying with `forma`.
  void vendaSimples(int64_t centavos, const std::string& forma = "Dinheiro");
  // The sum of the day's partial totals (must equal the net sales).
  int64_t somaTotaisParciais() const;
  std::string lerArquivo(const std::string& caminho) const;
  void escreverArquivo(const std::string& caminho, const std::string& conteudo) const;

  std::string pasta;
  std::string estado;
  DataHora hoje = em(15, 3, 2024, 10, 0, 0);
  std::unique_ptr<ImpressoraFiscal> ecf;
};

}  // namespace simulador
}  // namespace tarvic
