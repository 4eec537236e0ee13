// The data of the last Z reduction, gathered from the printer into one file
// whose keys are the same for every manufacturer.
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

extern "C" {

tarvic_Flag TARVIC_API ecf_PegaDadosUltReducao(const char *, const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

}  // extern "C"
