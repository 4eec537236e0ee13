// Printer programming and day reports: payment methods, non-fiscal
// totalisers, management reports, X reading, Z reduction, fiscal memory.
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
