// DLLG2_Gerador (DATAREGIS e URANO, arquivo do Ato Cotepe 17/04) substituto. Por ora aceita as
// chamadas e responde 1 sem efeito. Não consulta a impressora: nas DLLs cada substituto tem a sua
// cópia do modelo, e esta consumiria o arquivo de controle de falhas destinado ao driver principal
// do fabricante.
#define SIM_BIBLIOTECA_DLLG2_GERADOR 1
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
