// Every driver call of the library, passed on to the driver and shown to the
// call trace with its arguments, its code and what the driver left in the
// output buffers and integers.
#include "../traco.h"

#include "reais.h"

#define DRIVER(biblioteca, nome, pilha, parametros, argumentos)                   \
  int32_t nome parametros {                                                       \
    static const traco::Driver chamada = {#biblioteca, #nome, #argumentos};       \
    return traco::ChamaDriver(chamada, driver::nome, std::make_tuple argumentos); \
  }
#include "funcoes.inc"
#undef DRIVER
