// The driver functions themselves, under names of their own inside the
// library (driver::Nome), since the library's own calls go through the trace
// under the drivers' names. The symbols are the drivers': Nome, or _Nome@N
// (stdcall) on 32-bit Windows.
#pragma once

#include "drivers.h"

#if defined(_WIN32) && !defined(_WIN64)
#define TARVIC_SIMBOLO_DRIVER(nome, pilha) "_" #nome "@" #pilha
#else
#define TARVIC_SIMBOLO_DRIVER(nome, pilha) #nome
#endif

namespace driver {
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) \
  int32_t TARVIC_DRIVER nome parametros __asm__(TARVIC_SIMBOLO_DRIVER(nome, pilha));
#include "funcoes.inc"
#undef DRIVER
}  // namespace driver
