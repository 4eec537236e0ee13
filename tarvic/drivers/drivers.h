// The manufacturers' driver functions, as the library calls them. Their list
// lives in funcoes.inc, from which the import libraries of the Windows builds
// and the recording double of the tests are made too.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define TARVIC_DRIVER __stdcall
#else
#define TARVIC_DRIVER
#endif

extern "C" {
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) \
  int32_t TARVIC_DRIVER nome parametros;
#include "funcoes.inc"
#undef DRIVER
}
