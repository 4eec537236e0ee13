// A stand-in whose every function accepts its call and answers 1, touching
// no printer. Define SIM_BIBLIOTECA_<LIBRARY> before including; a stand-in
// source includes it once.

#include "geracao.h"

namespace {
namespace Sim {

int32_t SemEfeito(const char*) {
  return 1;
}

template <class Funcao>
int32_t Chama(const char*, Funcao funcao) {
  try {
    return funcao();
  } catch (...) {
    return -1;
  }
}

namespace Padrao {
#define SIM_GERA SIM_GERA_PADRAO
#include "drivers/funcoes.inc"
#undef SIM_GERA
}  // namespace Padrao
using namespace Padrao;

}  // namespace Sim
}  // namespace

#define SIM_GERA SIM_GERA_EXPORTA
#include "drivers/funcoes.inc"
#undef SIM_GERA
#undef DRIVER
