// PAF-ECF electronic files: MFD downloads and signed MFD files, the Ato
// Cotepe 17/04 and Sintegra files.
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

extern "C" {

tarvic_Flag TARVIC_API ecf_DownLoadDaMFD(const char *, const char *, const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_ArqMFD(const char *, const char *, const char *, int32_t) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

void TARVIC_API ecf_AtoCotepe1704(const char *, const char *) {}

tarvic_Flag TARVIC_API ecf_GeraSintegra(const char *, tarvic_DataHora, tarvic_DataHora,
                                        const char *, const char *, const char *, const char *,
                                        const char *, const char *, const char *, const char *,
                                        const char *, const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

}  // extern "C"
