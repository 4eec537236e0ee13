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

// Non-fiscal documents
bool ecf_RecebimentoNaoFiscal(const std::string &totalizador, Moeda valor,
                              const std::string &formaPagamento);
bool ecf_Suprimento(Moeda valor);
bool ecf_Sangria(Moeda valor);
bool ecf_AbreComprovanteNaoFiscalVinculado(const std::string &formaPagamento, Moeda valor,
                                           int32_t coo);
bool ecf_UsaComprovanteNaoFiscalVinculado(const std::string &texto);
bool ecf_FechaComprovanteNaoFiscalVinculado();

// Printer programming
bool ecf_StatusComprovanteNaoFiscalVinculado();
bool ecf_ProgramaFormasPagamento(const std::string &lista);
bool ecf_NomeiaTotalizadorNaoFiscal(int32_t indice, const std::string &nome);
int32_t ecf_VerificaRelatorioGerencial(const std::string &nome);
bool ecf_NomeiaRelatorioGerencial(const std::string &nome);
bool ecf_CadastraRelatorioGerencial();
bool ecf_RelatorioGerencial(const std::string &texto, const std::string &nome, bool centralizar);
bool ecf_FechaRelatorioGerencial();
bool ecf_StatusRelatorioGerencial();

// Day reports
bool ecf_LeituraX();
bool ecf_ReducaoZ();
bool ecf_ReducaoZPendente();
bool ecf_Bloqueado();
void ecf_ProgramaHorarioVerao();
void ecf_ConfiguraArredondamento();
bool ecf_ModoArredondamento();
void ecf_LeituraMemoriaFiscalData(const std::string &dataInicial, const std::string &dataFinal,
                                  const std::string &tipo, bool arquivo);
void ecf_LeituraMemoriaFiscalReducao(int32_t reducaoInicial, int32_t reducaoFinal,
                                     const std::string &tipo, bool arquivo);
// PAF-ECF files
// Signing material of the PAF-ECF files that the BEMATECH driver signs (and
// its fiscal-memory readings of the PAF-ECF kind): the application's RSA key
// (PEM body, CR LF between lines) and its modulus.
const std::string &ChaveAssinaturaPafEcf();
const std::string &ModuloAssinaturaPafEcf();
bool ecf_PegaDadosUltReducao(const std::string &arquivo, const std::string &texto);
bool ecf_DownLoadDaMFD(const std::string &arquivo, const std::string &inicio,
                       const std::string &fim);
bool ecf_ArqMFD(const std::string &arquivo, const std::string &inicio, const std::string &fim,
                int32_t modo);
void ecf_AtoCotepe1704(const std::string &inicio, const std::string &fim);
// DATAREGIS fiscal-memory reading written to a file (replacing it) as the
// printer gives it; a DLLG2 code, 0 when the whole reading was written.
int32_t GravaLeituraMF(const std::string &arquivo, const std::string &dataInicial,
                       const std::string &dataFinal, const std::string &reducaoInicial,
                       const std::string &reducaoFinal, const std::string &simplificada,
                       const std::string &operador);

// Operator message handler set by the host (null: message boxes).
extern ecf_TratadorMensagem TratadorMensagem;

}  // namespace tarvic
