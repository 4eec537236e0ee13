// What the tests share: a clean library state, the recording double, and the
// operator messages seen through the host's handler.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Dataregis/dllg2.h"
#include "duble/duble.h"
#include "estado.h"
#include "interno.h"
#include "tarvic.h"

struct MensagemVista {
  std::string texto;
  std::string titulo;
  uint32_t tipo;
};

class TesteEcf : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Selects a manufacturer without the start-up sequence.
  void Fabricante(int32_t fabricante);
  // A fresh folder for files of this test, ending in '/'.
  std::string Pasta() const { return pasta_; }
  std::string LeArquivo(const std::string &caminho) const;

  std::vector<std::string> Textos() const;

 public:
  // Messages shown since the start of the test; answers to the questions
  // (No when none is left); pauses asked for.
  static std::vector<MensagemVista> mensagens;
  static std::vector<int> respostas;
  static std::vector<uint32_t> pausas;

 private:
  std::string pasta_;
};

// The manufacturer's name, as the message caption shows it.
const char *NomeDe(int32_t fabricante);
