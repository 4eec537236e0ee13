// The manufacturers' driver functions, as the library calls them. Their list
// lives in funcoes.inc, from which the import libraries of the Windows builds,
// the recording double of the tests, the simulator's stand-ins and the replay's
// answering drivers are made too.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define TARVIC_DRIVER __stdcall
#else
#define TARVIC_DRIVER
#endif

#if defined(TARVIC_INTERNO)
// Inside the library every call goes through the call trace (chamadas.cpp in
// this folder), which hands it on to the driver function itself (reais.h).
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) int32_t nome parametros;
#include "funcoes.inc"
#undef DRIVER
#else
extern "C" {
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) \
  int32_t TARVIC_DRIVER nome parametros;
#include "funcoes.inc"
#undef DRIVER
}
#endif
