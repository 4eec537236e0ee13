// What every FI-family stand-in declares first, inside its namespace Sim:
// the driver over the manufacturer's printer, the default bodies of the
// functions without behaviour of their own (generated from funcoes.inc), and
// the call wrapper. Define SIM_FABRICANTE and SIM_FAMILIA before including.
// No include guard: each stand-in includes it once, in its own namespace.

DriverFI& Driver() {
  static DriverFI driver(SIM_FABRICANTE, SIM_FAMILIA);
  return driver;
}

int32_t SemEfeito(const char*) {
  return Driver().Aceita();
}

template <class Funcao>
int32_t Chama(const char* nome, Funcao funcao) {
  return ChamaFI(Driver(), nome, funcao);
}

namespace Padrao {
#define SIM_GERA SIM_GERA_PADRAO
#include "drivers/funcoes.inc"
#undef SIM_GERA
}  // namespace Padrao
using namespace Padrao;

ImpressoraFiscal& Ecf() {
  return Driver().ecf();
}
