// One hostile function per driver function of the list. Every text the
// library passes in is read to its end, so that a pointer into freed or
// foreign memory shows up at the call that got it.
#include <cstring>
#include <tuple>

#include "drivers/drivers.h"
#include "fonte.h"

namespace hostil {

namespace {

Fonte *fonte = nullptr;
uint64_t chamadas = 0;
volatile size_t lidos = 0;

template <class T>
void Trata(const char *, T) {}

void Trata(const char *, const char *texto) {
  if (texto) lidos = lidos + std::strlen(texto);
}

void Trata(const char *funcao, char *buffer) {
  if (!buffer) return;
  const size_t tamanho = std::strlen(buffer);
  if (fonte) fonte->Preenche(funcao, buffer, tamanho);
}

void Trata(const char *funcao, int32_t *inteiro) {
  if (inteiro && fonte) *inteiro = fonte->Inteiro(funcao);
}

}  // namespace

void DefineFonte(Fonte *nova) {
  fonte = nova;
}

uint64_t ChamadasDriver() {
  return chamadas;
}

template <class... Argumentos>
int32_t Responde(const char *funcao, Argumentos... argumentos) {
  ++chamadas;
  // The code first, as a driver decides it before it fills its outputs.
  const int32_t codigo = fonte ? fonte->Codigo(funcao) : 1;
  (Trata(funcao, argumentos), ...);
  return codigo;
}

}  // namespace hostil

#define DRIVER(biblioteca, nome, pilha, parametros, argumentos)                \
  extern "C" int32_t TARVIC_DRIVER nome parametros {                           \
    return std::apply([](auto... a) { return hostil::Responde(#nome, a...); }, \
                      std::make_tuple argumentos);                             \
  }
#include "drivers/funcoes.inc"
#undef DRIVER
