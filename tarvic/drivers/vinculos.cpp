// Every driver function is bound when the library is loaded, also those that
// no export calls yet: a missing driver or function fails the load rather
// than a sale halfway through.
#include "reais.h"

#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) \
  reinterpret_cast<const void *>(&driver::nome),
extern "C" __attribute__((used)) const void *const TarvicVinculosDrivers[] = {
#include "funcoes.inc"
};
#undef DRIVER
