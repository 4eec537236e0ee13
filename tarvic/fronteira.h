// The one way in and out of every export: x87 and SSE exceptions masked for
// the duration of the call (hosts such as Delphi programs run with them
// unmasked) and the host's control words restored on the way out; no C++
// exception ever reaches the host, which gets the export's failure value.
#pragma once

#include <cstdint>

#include "tarvic.h"

class GuardaPontoFlutuante {
 public:
  GuardaPontoFlutuante() {
#if defined(__i386__) || defined(__x86_64__)
    __asm__ volatile("fnstcw %0" : "=m"(controle_x87_));
    __asm__ volatile("stmxcsr %0" : "=m"(controle_sse_));
    uint16_t x87 = controle_x87_ | 0x3F;
    uint32_t sse = controle_sse_ | 0x1F80;
    __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(x87));
    __asm__ volatile("ldmxcsr %0" : : "m"(sse));
#endif
  }
  ~GuardaPontoFlutuante() {
#if defined(__i386__) || defined(__x86_64__)
    // Flags raised inside the library must not fire on the host's next
    // instruction once its own masks are back.
    __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(controle_x87_));
    __asm__ volatile("ldmxcsr %0" : : "m"(controle_sse_));
#endif
  }
  GuardaPontoFlutuante(const GuardaPontoFlutuante &) = delete;
  GuardaPontoFlutuante &operator=(const GuardaPontoFlutuante &) = delete;

 private:
  uint16_t controle_x87_ = 0;
  uint32_t controle_sse_ = 0;
};

// Every call from the host starts without a context line: one set by an
// earlier export that ended before its verdict belongs to no later message.
void IniciaExportacao() noexcept;

template <class Resultado, class Corpo>
Resultado Exporta(Resultado falha, Corpo &&corpo) noexcept {
  GuardaPontoFlutuante fpu;
  try {
    IniciaExportacao();
    return static_cast<Resultado>(corpo());
  } catch (...) {
    return falha;
  }
}

template <class Corpo>
void ExportaSemResultado(Corpo &&corpo) noexcept {
  GuardaPontoFlutuante fpu;
  try {
    IniciaExportacao();
    corpo();
  } catch (...) {
  }
}

inline bool Flag(tarvic_Flag f) {
  return f != 0;
}
