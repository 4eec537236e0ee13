// The library's process-wide state as a new process finds it: what every
// test, sweep round and fuzz input starts from.
#pragma once

#include "Dataregis/dllg2.h"
#include "estado.h"
#include "tarvic.h"

inline void ZeraEstadoDaBiblioteca() {
  EstadoEcf = TEstadoEcf{};
  ecf_Retorno = 0;
  CanalDllG2 = 0;
  RetornoDllG2 = 0;
  CodErroDllG2 = 0;
  RespostaDllG2.clear();
}
