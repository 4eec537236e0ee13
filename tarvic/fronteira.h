// The one way in and out of every export: x87 and SSE exceptions masked for
// the duration of the call (hosts such as Delphi programs run with them
// unmasked) and the host's control words restored on the way out; one call
// at a time, whatever thread the host calls from; the call and its result in
// the call trace when it is on; no C++ exception ever reaches the host, which
// gets the export's failure value.
#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "plataforma.h"
#include "tarvic.h"
#include "traco.h"

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

// Calls are serialized: a timer thread polling the status waits for the
// sale in progress. The lock is re-entrant, so that a message handler may
// call an export from inside one.
class TravaExportacao {
 public:
  TravaExportacao() { plataforma::EntraExportacao(); }
  ~TravaExportacao() { plataforma::SaiExportacao(); }
  TravaExportacao(const TravaExportacao &) = delete;
  TravaExportacao &operator=(const TravaExportacao &) = delete;
};

// The export's name and arguments, as the host passed them, for the trace.
template <class... A>
struct Chamada {
  const char *nome;
  std::tuple<A...> argumentos;
};

template <class... A>
Chamada<A...> Exportacao(const char *nome, A... argumentos) {
  return {nome, std::tuple<A...>(argumentos...)};
}

template <class... A>
uint64_t EntraNoTraco(const Chamada<A...> &chamada) noexcept {
  try {
    return traco::EntraExportacao(
        chamada.nome,
        std::apply([](A... a) { return std::vector<traco::Argumento>{traco::Arg(a)...}; },
                   chamada.argumentos));
  } catch (...) {
    return 0;
  }
}

template <class Resultado>
void SaiDoTraco(const char *nome, Resultado resultado, uint64_t inicio) noexcept {
  try {
    traco::SaiExportacao(nome, traco::Arg(resultado), inicio);
  } catch (...) {
  }
}

template <class Resultado, class Corpo>
Resultado Executa(Resultado falha, Corpo &corpo, bool inicia) noexcept {
  try {
    if (inicia) IniciaExportacao();
    return static_cast<Resultado>(corpo());
  } catch (...) {
    return falha;
  }
}

template <class Resultado, class Corpo, class... A>
Resultado Exporta(const Chamada<A...> &chamada, Resultado falha, Corpo &&corpo,
                  bool inicia = true) noexcept {
  GuardaPontoFlutuante fpu;
  TravaExportacao trava;
  if (traco::estado != traco::DESLIGADO && traco::Ligado()) {
    const uint64_t inicio = EntraNoTraco(chamada);
    const Resultado resultado = Executa(falha, corpo, inicia);
    SaiDoTraco(chamada.nome, resultado, inicio);
    return resultado;
  }
  return Executa(falha, corpo, inicia);
}

// Exports that only tell a value leave even the context line alone.
template <class Resultado, class Corpo, class... A>
Resultado ExportaConsulta(const Chamada<A...> &chamada, Corpo &&corpo) noexcept {
  return Exporta(chamada, Resultado{}, corpo, false);
}

template <class Corpo, class... A>
void ExportaSemResultado(const Chamada<A...> &chamada, Corpo &&corpo) noexcept {
  auto semResultado = [&] {
    corpo();
    return 0;
  };
  GuardaPontoFlutuante fpu;
  TravaExportacao trava;
  if (traco::estado != traco::DESLIGADO && traco::Ligado()) {
    const uint64_t inicio = EntraNoTraco(chamada);
    Executa(0, semResultado, true);
    SaiDoTraco(chamada.nome, traco::Vazio{}, inicio);
    return;
  }
  Executa(0, semResultado, true);
}

inline bool Flag(tarvic_Flag f) {
  return f != 0;
}
