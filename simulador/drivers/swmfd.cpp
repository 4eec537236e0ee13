// The Swmfd stand-in (SWEDA's Ato Cotepe 17/04 file). It does not reach the
// printer: in the DLLs each stand-in has its own copy of the model, and this
// one would consume the fault control file meant for the manufacturer's main
// driver.
#define SIM_BIBLIOTECA_SWMFD 1
#include "geracao.h"

namespace {
namespace Sim {

#include "sem_efeito.h"

SIM_SEM_EFEITO(SWEDA_ArquivoEletronicoCOTEPE1704, SIM_GRAVA_ARQUIVO);

}  // namespace Sim
}  // namespace

#include "exporta.h"
