// Answers of a hostile driver drawn from a seeded generator: random codes
// (1, 0, negatives, extremes), buffers filled to their length with garbage
// (digits, separators, blanks, high bytes, a NUL in the middle), integers at
// their limits. Shared by the sweep and the fuzz targets' seed corpora.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>

#include "fonte.h"

namespace hostil {

using Gerador = std::mt19937_64;

int32_t CodigoHostil(Gerador &g);
int32_t InteiroHostil(Gerador &g);
char CaractereHostil(Gerador &g);
void PreencheHostil(Gerador &g, char *buffer, size_t tamanho);

class FonteAleatoria : public Fonte {
 public:
  enum class Modo {
    Benigno,    // every call answers 1 and leaves its outputs blank
    Aleatorio,  // every call answers anew
    Fixo,       // each function always gives the same answer (a stuck driver)
  };

  void Reinicia(uint64_t semente, Modo modo);
  Modo ModoAtual() const { return modo_; }
  void MudaModo(Modo modo) { modo_ = modo; }
  // Codes given whatever the mode, by function name.
  std::map<std::string, int32_t> codigosForcados;
  // Texts written into the first buffer of a function in the benign mode.
  std::map<std::string, std::string> textosBenignos;

  int32_t Codigo(const char *funcao) override;
  void Preenche(const char *funcao, char *buffer, size_t tamanho) override;
  int32_t Inteiro(const char *funcao) override;

 private:
  Gerador &GeradorDe(const char *funcao, uint64_t sal);

  Modo modo_ = Modo::Benigno;
  uint64_t semente_ = 0;
  Gerador gerador_;
  Gerador fixo_;
};

}  // namespace hostil
