// Non-fiscal documents: receipts under non-fiscal totalisers, cash supply and
// withdrawal, credit/debit receipts linked to a coupon.
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

extern "C" {

tarvic_Flag TARVIC_API ecf_RecebimentoNaoFiscal(const char *, tarvic_Moeda, const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_Suprimento(tarvic_Moeda) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_Sangria(tarvic_Moeda) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_AbreComprovanteNaoFiscalVinculado(const char *, tarvic_Moeda, int32_t) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_UsaComprovanteNaoFiscalVinculado(const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_FechaComprovanteNaoFiscalVinculado(void) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

}  // extern "C"
