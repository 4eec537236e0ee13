// Every driver call of the library, passed on to the driver and shown to the
// call trace with its arguments, its code and what the driver left in the
// output buffers and integers.
#include "../traco.h"

#include "reais.h"

// Off, a call costs one test; on, its arguments go to the trace without a
// copy of the tracing code per function.
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos)                             \
  int32_t nome parametros {                                                                 \
    if (traco::estado != traco::LIGADO) return driver::nome argumentos;                     \
    static const traco::Driver chamada = {#biblioteca, #nome, #argumentos};                 \
    const auto valores = traco::Parametros argumentos;                                      \
    auto chama = [&] { return driver::nome argumentos; };                                   \
    return traco::DriverTracado(                                                            \
        chamada, valores.data(), valores.size(),                                            \
        [](void *c) -> int32_t { return (*static_cast<decltype(chama) *>(c))(); }, &chama); \
  }
#include "funcoes.inc"
#undef DRIVER
