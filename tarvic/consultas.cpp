// Printer queries: counters, grand total, identification and dates.
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

namespace tarvic {

bool ecf_Modelo() { return false; }
int32_t ecf_NumeroCupom() { return 0; }

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_NumeroCaixa(void) { return Exporta<tarvic_Flag>(false, [] { return false; }); }

int32_t TARVIC_API ecf_NumeroCupom(void) {
  return Exporta<int32_t>(0, [] { return tarvic::ecf_NumeroCupom(); });
}

tarvic_Flag TARVIC_API ecf_NumeroSerial(void) { return Exporta<tarvic_Flag>(false, [] { return false; }); }

int32_t TARVIC_API ecf_NumeroCDC(void) { return Exporta<int32_t>(0, [] { return 0; }); }

int32_t TARVIC_API ecf_NumeroGRG(void) { return Exporta<int32_t>(0, [] { return 0; }); }

int32_t TARVIC_API ecf_NumeroGNF(void) { return Exporta<int32_t>(0, [] { return 0; }); }

int32_t TARVIC_API ecf_NumeroCCF(void) { return Exporta<int32_t>(0, [] { return 0; }); }

tarvic_MoedaResultado TARVIC_API ecf_GtAtu(void) {
  return Exporta<tarvic_MoedaResultado>(0, [] { return 0; });
}

tarvic_Flag TARVIC_API ecf_Modelo(void) {
  return Exporta<tarvic_Flag>(false, [] { return tarvic::ecf_Modelo(); });
}

tarvic_Flag TARVIC_API ecf_TipoMFD(void) { return Exporta<tarvic_Flag>(false, [] { return false; }); }

tarvic_DataHora TARVIC_API ecf_DataUltReducao(void) {
  return Exporta<tarvic_DataHora>(0, [] { return 0; });
}

tarvic_DataHora TARVIC_API ecf_DataHora(void) { return Exporta<tarvic_DataHora>(0, [] { return 0; }); }

tarvic_DataHora TARVIC_API ecf_UltDataHoraDocumento(void) {
  return Exporta<tarvic_DataHora>(0, [] { return 0; });
}

int32_t TARVIC_API ecf_IE(void) { return Exporta<int32_t>(0, [] { return 0; }); }

tarvic_Flag TARVIC_API ecf_NumeroUsuario(void) { return Exporta<tarvic_Flag>(false, [] { return false; }); }

tarvic_Flag TARVIC_API ecf_CodigoModeloFiscal(void) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

}  // extern "C"
