// The fiscal coupon: opening, item sale, cancellation, totalling, payment and
// closing.
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

namespace tarvic {

bool ecf_CancelaCupom() { return false; }

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_AbreCupom(void) { return Exporta<tarvic_Flag>(false, [] { return false; }); }

void TARVIC_API set_CpfCliente(const char *) {}

void TARVIC_API set_ieCnpj(const char *, const char *) {}

void TARVIC_API set_ConcessaoDF(tarvic_Flag) {}

void TARVIC_API set_vIcmCupom(tarvic_Moeda) {}

tarvic_Flag TARVIC_API ecf_VendeItem(const char *, const char *, const char *, int32_t, const char *,
                                  int32_t, const char *, const char *, const char *, const char *,
                                  int32_t, tarvic_Flag, int32_t) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_CancelaItemGenerico(const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_CancelaCupom(void) {
  return Exporta<tarvic_Flag>(false, [] { return tarvic::ecf_CancelaCupom(); });
}

tarvic_Flag TARVIC_API ecf_IniciaFechamentoCupom(const char *, const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_EfetuaFormaPagto(const char *, tarvic_Moeda) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_TerminaFechamentoCupom(const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_MoedaResultado TARVIC_API ecf_SubtotalCupom(void) {
  return Exporta<tarvic_MoedaResultado>(0, [] { return 0; });
}

}  // extern "C"
