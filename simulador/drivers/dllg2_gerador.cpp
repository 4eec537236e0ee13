// The DLLG2_Gerador stand-in (the Ato Cotepe 17/04 file of DATAREGIS and
// URANO). It does not reach the printer: in the DLLs each stand-in has its
// own copy of the model, and this one would consume the fault control file
// meant for the manufacturer's main driver.
#define SIM_BIBLIOTECA_DLLG2_GERADOR 1
#include "geracao.h"

namespace {
namespace Sim {

#include "sem_efeito.h"

SIM_SEM_EFEITO(Gera_AtoCotepe1704, SIM_GRAVA_ARQUIVO);

}  // namespace Sim
}  // namespace

#include "exporta.h"
