// Day reports: X reading, Z reduction and the re-programming that follows it,
// pending and blocked days, rounding and daylight-saving time, fiscal-memory
// readings.
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

extern "C" {

tarvic_Flag TARVIC_API ecf_LeituraX(void) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_ReducaoZ(void) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_ReducaoZPendente(void) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_Bloqueado(void) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

void TARVIC_API ecf_ProgramaHorarioVerao(void) {}

void TARVIC_API ecf_ConfiguraArredondamento(void) {}

tarvic_Flag TARVIC_API ecf_ModoArredondamento(void) {
  return false;
}

void TARVIC_API ecf_LeituraMemoriaFiscalData(const char *, const char *, const char *,
                                             tarvic_Flag) {}

void TARVIC_API ecf_LeituraMemoriaFiscalReducao(int32_t, int32_t, const char *, tarvic_Flag) {}

}  // extern "C"
