// Printer programming: payment methods, non-fiscal totalisers and
// management reports.
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

namespace tarvic {

bool ecf_StatusComprovanteNaoFiscalVinculado() {
  return false;
}
bool ecf_StatusRelatorioGerencial() {
  return false;
}
bool ecf_FechaRelatorioGerencial() {
  return false;
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_StatusComprovanteNaoFiscalVinculado(void) {
  return Exporta<tarvic_Flag>(false,
                              [] { return tarvic::ecf_StatusComprovanteNaoFiscalVinculado(); });
}

tarvic_Flag TARVIC_API ecf_ProgramaFormasPagamento(const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_NomeiaTotalizadorNaoFiscal(int32_t, const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

int32_t TARVIC_API ecf_VerificaRelatorioGerencial(const char *) {
  return Exporta<int32_t>(-1, [] { return -1; });
}

tarvic_Flag TARVIC_API ecf_NomeiaRelatorioGerencial(const char *) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_CadastraRelatorioGerencial(void) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_RelatorioGerencial(const char *, const char *, tarvic_Flag) {
  return Exporta<tarvic_Flag>(false, [] { return false; });
}

tarvic_Flag TARVIC_API ecf_FechaRelatorioGerencial(void) {
  return Exporta<tarvic_Flag>(false, [] { return tarvic::ecf_FechaRelatorioGerencial(); });
}

tarvic_Flag TARVIC_API ecf_StatusRelatorioGerencial(void) {
  return Exporta<tarvic_Flag>(false, [] { return tarvic::ecf_StatusRelatorioGerencial(); });
}

}  // extern "C"
