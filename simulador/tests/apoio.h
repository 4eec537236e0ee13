// Apoio comum dos testes do modelo: cada teste tem sua pasta temporária com o
// arquivo de estado, e o relógio parado numa data conhecida.
#pragma once

#include "impressora_fiscal.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tarvic {
namespace simulador {

DataHora em(int dia, int mes, int ano, int hora = 10, int minuto = 0, int segundo = 0);

class TesteImpressora : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Uma impressora nova sobre o arquivo de estado do teste, relógio fixo em "hoje".
  std::unique_ptr<ImpressoraFiscal> abre();
  void reabre() { ecf = abre(); }

  ImpressoraFiscal::Item item(const std::string& aliquota, int64_t quantidadeMilesimos,
                              int64_t precoMilesimos, const Ajuste& ajuste = Ajuste()) const;
  // Abre, vende um item de R$ valor em T18%, fecha pagando em dinheiro.
  void vendaSimples(int64_t centavos, const std::string& forma = "Dinheiro");
  // Soma dos totais parciais do dia (deve bater com a venda líquida).
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
