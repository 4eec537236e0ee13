// The library's own entry points behind the exports. Subsystems call one
// another through these, so that an error or the silent abort travels on to
// the export that was called by the host, which is the one place that stops it.
#pragma once

#include <string>

#include "estado.h"

namespace tarvic {

// Status, power and recovery
bool ecf_StatusAtu(bool registrar);
bool ecf_Ligado(bool mostrar);
bool ecf_TratarDesligamento();
bool ecf_AbrirPortaSerial();
int32_t ecf_FecharPortaSerial();
void ecf_DestravaImpressora();
int32_t ecf_AbrirGaveta();

// Start-up and queries
bool ecf_Modelo();
int32_t ecf_NumeroCupom();
bool ecf_SetarPafRetorno();
bool ecf_NumeroCaixa();
bool ecf_NumeroSerial();
int32_t ecf_NumeroCDC();
int32_t ecf_NumeroGRG();
int32_t ecf_NumeroGNF();
int32_t ecf_NumeroCCF();
Moeda ecf_GtAtu();
bool ecf_TipoMFD();
int32_t ecf_IE();
DataHora ecf_DataUltReducao();
DataHora ecf_DataHora();
DataHora ecf_UltDataHoraDocumento();
bool ecf_NumeroUsuario();
bool ecf_CodigoModeloFiscal();

// Coupon
bool ecf_CancelaCupom();
Moeda ecf_SubtotalCupom();  // 0 on any failure
// The digits of a text trimmed of blanks and control characters, in order.
std::string ApenasDigitos(const std::string &texto);

// Non-fiscal documents and reports
bool ecf_StatusComprovanteNaoFiscalVinculado();
bool ecf_StatusRelatorioGerencial();
bool ecf_FechaRelatorioGerencial();

// Operator message handler set by the host (null: message boxes).
extern ecf_TratadorMensagem TratadorMensagem;

}  // namespace tarvic
