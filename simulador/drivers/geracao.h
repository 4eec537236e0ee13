// Geração das funções exportadas de um driver substituto a partir da lista
// única tarvic/drivers/funcoes.inc, para que cada assinatura viva num só lugar.
//
// Cada fonte de driver define SIM_BIBLIOTECA_<BIBLIOTECA> antes de incluir
// este arquivo e então:
//   1. dentro de namespace { namespace Sim { namespace Padrao { ... } } },
//      inclui funcoes.inc com SIM_GERA = SIM_GERA_PADRAO: um modelo de função
//      por função do driver, que aceita a chamada sem efeito (Sim::SemEfeito);
//   2. escreve à mão, em Sim, as funções com comportamento, com os mesmos
//      parâmetros de funcoes.inc;
//   3. inclui funcoes.inc com SIM_GERA = SIM_GERA_EXPORTA: a função exportada
//      extern "C" chama Sim::Chama(nome, ...) e ela Sim::<nome>.
// A busca qualificada Sim::<nome> só olha Sim::Padrao (trazido por using
// namespace) quando Sim não declara o nome: uma função escrita à mão esconde
// o padrão, e uma escrita com parâmetros errados não compila.
// Não usa símbolos fracos: serve à ligação estática e às DLLs do MinGW.
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

#define SIM_GERA_PADRAO(nome, parametros, argumentos) \
  template <class... A>                               \
  int32_t nome(A...) {                                \
    return SemEfeito(#nome);                          \
  }

#define SIM_GERA_EXPORTA(nome, parametros, argumentos)                           \
  extern "C" SIM_EXPORTA int32_t SIM_CONVENCAO nome parametros {                 \
    return Sim::Chama(#nome, [&]() -> int32_t { return Sim::nome argumentos; }); \
  }
