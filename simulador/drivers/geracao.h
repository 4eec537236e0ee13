// The exported functions of a stand-in driver, made from the one list
// tarvic/drivers/funcoes.inc, so that each signature lives in one place.
//
// Each driver source defines SIM_BIBLIOTECA_<LIBRARY> before including this
// file, and then, inside namespace { namespace Sim { ... } }:
//   1. includes its preamble (preambulo_fi.h, sem_efeito.h, or its own),
//      which declares SemEfeito and Chama;
//   2. writes each function with behaviour by hand, with the parameters of
//      funcoes.inc;
//   3. names, in one list, the functions it accepts without effect, each
//      with why: SIM_SEM_EFEITO(name, "reason"). Each answers SemEfeito(name).
// and, after the namespaces, includes exporta.h: from funcoes.inc with
// SIM_GERA = SIM_GERA_EXPORTA, each exported extern "C" function calls
// Sim::Chama(name, ...), which calls Sim::<name>. This file itself makes,
// from funcoes.inc with SIM_GERA = SIM_GERA_MEMBRO, `enum class
// FuncaoDaBiblioteca`: the names of the library.
//
// A function of the library that is neither written nor listed does not
// compile ("'<name>' is not a member of 'Sim'"), nor does one written with
// other parameters; one both written and listed is declared twice; and a
// listed name that is not the library's is not a member of
// FuncaoDaBiblioteca. So a driver function added to funcoes.inc stops the
// build until its stand-in says what the simulated printer does with it.
// No weak symbols: the same serves static linking and MinGW's DLLs.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define SIM_CONVENCAO __stdcall
#define SIM_EXPORTA __declspec(dllexport)
#else
#define SIM_CONVENCAO
#define SIM_EXPORTA
#endif

#ifdef SIM_BIBLIOTECA_BEMAFI32
#define SIM_FILTRO_BEMAFI32(n, p, a) SIM_GERA(n, p, a)
#else
#define SIM_FILTRO_BEMAFI32(n, p, a)
#endif
#ifdef SIM_BIBLIOTECA_CONVECF
#define SIM_FILTRO_CONVECF(n, p, a) SIM_GERA(n, p, a)
#else
#define SIM_FILTRO_CONVECF(n, p, a)
#endif
#ifdef SIM_BIBLIOTECA_DARUMA32
#define SIM_FILTRO_DARUMA32(n, p, a) SIM_GERA(n, p, a)
#else
#define SIM_FILTRO_DARUMA32(n, p, a)
#endif
#ifdef SIM_BIBLIOTECA_ELGIN
#define SIM_FILTRO_ELGIN(n, p, a) SIM_GERA(n, p, a)
#else
#define SIM_FILTRO_ELGIN(n, p, a)
#endif
#ifdef SIM_BIBLIOTECA_DLLG2
#define SIM_FILTRO_DLLG2(n, p, a) SIM_GERA(n, p, a)
#else
#define SIM_FILTRO_DLLG2(n, p, a)
#endif
#ifdef SIM_BIBLIOTECA_SWMFD
#define SIM_FILTRO_SWMFD(n, p, a) SIM_GERA(n, p, a)
#else
#define SIM_FILTRO_SWMFD(n, p, a)
#endif
#ifdef SIM_BIBLIOTECA_DLLG2_GERADOR
#define SIM_FILTRO_DLLG2_GERADOR(n, p, a) SIM_GERA(n, p, a)
#else
#define SIM_FILTRO_DLLG2_GERADOR(n, p, a)
#endif

#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) \
  SIM_FILTRO_##biblioteca(nome, parametros, argumentos)

#define SIM_GERA_MEMBRO(nome, parametros, argumentos) nome,

// The names of the stand-in's library, which SIM_SEM_EFEITO checks its
// names against.
namespace {
enum class FuncaoDaBiblioteca {
#define SIM_GERA SIM_GERA_MEMBRO
#include "drivers/funcoes.inc"
#undef SIM_GERA
};
}  // namespace

// A function accepted without effect, and why: an object that takes any
// arguments, so that a body written for the same name clashes with it.
#define SIM_SEM_EFEITO(nome, motivo)                                     \
  static_assert(sizeof(motivo) > 1, #nome ": say why it has no effect"); \
  static_assert(static_cast<int>(FuncaoDaBiblioteca::nome) >= 0, #nome); \
  constexpr auto nome = [](auto&&...) -> int32_t { return SemEfeito(#nome); }

// Reasons that several stand-ins give.
#define SIM_GRAVA_ARQUIVO \
  "the real driver writes a file from the printer's memory; the simulated printer writes none"
#define SIM_NUNCA_CHAMADA "bound by the library, which never calls it"
#define SIM_SEM_VENDA_EM_UMA_LINHA "the simulated printer has no one-line item sale to switch"

#define SIM_GERA_EXPORTA(nome, parametros, argumentos)                           \
  extern "C" SIM_EXPORTA int32_t SIM_CONVENCAO nome parametros {                 \
    return Sim::Chama(#nome, [&]() -> int32_t { return Sim::nome argumentos; }); \
  }
