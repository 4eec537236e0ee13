// Start-up and configuration: the manufacturer, the formats, the port, the
// return folder and file, and the drivers' own settings.
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

extern "C" {

tarvic_Flag TARVIC_API ecf_Inicializa(const char *, const char *, const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_SetarPafRetorno(void) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_SetArqRetorno(const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_SetUF(const char *uf) {
  return Exporta<tarvic_Flag>(false, [&] {
    EstadoEcf.UF = Texto(uf);
    return true;
  });
}

tarvic_Flag TARVIC_API ecf_SetPafMd5(const char *md5) {
  return Exporta<tarvic_Flag>(false, [&] {
    EstadoEcf.PafMd5 = Texto(md5);
    return true;
  });
}

tarvic_Flag TARVIC_API ecf_SetHorarioVerao(tarvic_Flag ativo) {
  return Exporta<tarvic_Flag>(false, [&] {
    EstadoEcf.HorarioVerao = Flag(ativo);
    return EstadoEcf.HorarioVerao;
  });
}

int32_t TARVIC_API ecf_DllVersao(void) { return 1020; }

int32_t TARVIC_API ecf_IdFabricante(void) { return EstadoEcf.Fabricante; }

}  // extern "C"
