/*
 * tarvic.h - one interface to the fiscal printers (ECF) of six manufacturers.
 *
 * The host calls ecf_Inicializa("BEMATECH", "COM1", "C:\\PDV") once and then
 * the same ecf_* and set_* functions whatever printer is attached
 * ("BEMATECH", "SWEDA", "DARUMA", "ELGIN", "DATAREGIS" or "URANO"). Each
 * function drives that manufacturer's own driver library, judges its answer,
 * tells the operator in Portuguese when something failed, and hands results
 * back three ways:
 *   - its result;
 *   - the exported integer ecf_Retorno: the last return code of the driver
 *     (1 = success);
 *   - the return file: section "ECF" of "meuRetorno.ini" in the folder
 *     "retornoEcf" under the base folder (or the file named with
 *     ecf_SetArqRetorno), where status text and identification values go.
 *
 * Calling convention: stdcall on 32-bit Windows (the callee removes the
 * arguments), undecorated names. The library keeps one process-wide state and
 * is meant for one calling thread at a time.
 *
 * Argument kinds:
 *   texts      NUL-terminated Windows-1252 strings; a null pointer is the empty
 *              text. The library never keeps, frees or returns a caller's text.
 *   tarvic_Flag   one byte; 0 is false, any other value is true.
 *   tarvic_Moeda  money as a signed 64-bit count of ten-thousandths
 *              (12,50 is 125000).
 *   tarvic_DataHora  days since 30/12/1899, the fraction being the time of day.
 * A money result is the ten-thousandths count returned on the x87 stack: with
 * GCC or Clang declare it long double, as below; a Delphi host declares it
 * Currency.
 *
 * Operator messages are modal message boxes captioned with the manufacturer's
 * name, unless the host installs a handler with ecf_SetTratadorMensagem.
 */
#ifndef TARVIC_H
#define TARVIC_H

#include <stdint.h>

#if defined(_WIN32)
#define TARVIC_API __stdcall
#else
#define TARVIC_API
#endif

/* The DLL exports its data through the module-definition file; a host that
   links the import library reads ecf_Retorno through the import. */
#if defined(_WIN32) && !defined(TARVIC_INTERNO) && !defined(TARVIC_ESTATICO)
#define TARVIC_DADO __declspec(dllimport)
#else
#define TARVIC_DADO
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char tarvic_Flag;
typedef int64_t tarvic_Moeda;
typedef double tarvic_DataHora;
typedef long double tarvic_MoedaResultado;

/* Last return code of the manufacturer's driver; 1 is success. -1 also when
   the library itself could not make or write a folder or file it needed (the
   return folder, the return file, a reading's file); the operator is told
   which. */
extern TARVIC_DADO int32_t ecf_Retorno;

/* Operator message handler: receives the message, the caption (the
   manufacturer's name) and the message-box flags (0x40 information with OK,
   0x24 question with Yes and No); returns the button pressed (IDOK 1, IDYES 6,
   IDNO 7). */
typedef int(TARVIC_API *ecf_TratadorMensagem)(const char *texto, const char *titulo, uint32_t tipo);

/* The library's own code reaches these functions through its internal
   versions, never through the exports. */
#if !defined(TARVIC_INTERNO)

/* ---- Library frame, start-up and configuration ---------------------------- */

/* Selects the manufacturer, opens the port, checks the printer, prepares the
   return folder and file, and frees the printer of half-finished documents.
   True when the manufacturer is known and the printer answered; false, with
   ecf_Retorno -1 and the folder named to the operator, when the return folder
   cannot be made in the base folder. */
tarvic_Flag TARVIC_API ecf_Inicializa(const char *nome, const char *porta, const char *pastaBase);
/* Writes the return-file paths and the driver's own configuration; false for
   manufacturers without one. */
tarvic_Flag TARVIC_API ecf_SetarPafRetorno(void);
/* Names another return file (deleting it when it exists). False, keeping the
   current one, with ecf_Retorno -1 and the reason told to the operator, when
   its folder does not exist, it is a folder, or the old file cannot be
   deleted. */
tarvic_Flag TARVIC_API ecf_SetArqRetorno(const char *arquivo);
/* The state of the shop ("RJ", "MG", "PB", "DF", ...), used by the closing text. */
tarvic_Flag TARVIC_API ecf_SetUF(const char *uf);
/* MD-5 text of the point-of-sale program, printed on every coupon. */
tarvic_Flag TARVIC_API ecf_SetPafMd5(const char *md5);
/* Daylight-saving time wanted; returns the same flag. */
tarvic_Flag TARVIC_API ecf_SetHorarioVerao(tarvic_Flag ativo);
/* The version of this library: 1020. */
int32_t TARVIC_API ecf_DllVersao(void);
/* The selected manufacturer: 0 unknown, 1 BEMATECH, 2 SWEDA, 3 DARUMA,
   4 ELGIN, 5 DATAREGIS, 6 URANO, -1 driver version rejected. */
int32_t TARVIC_API ecf_IdFabricante(void);
/* Routes operator messages to the host's handler (null restores the message
   boxes). Returns true. */
tarvic_Flag TARVIC_API ecf_SetTratadorMensagem(ecf_TratadorMensagem tratador);

/* ---- Printer status, power and recovery --------------------------------- */

/* Reads the status bytes; with registrar true the status text goes to the
   return file under "POSICAO". False when the status shows an error. */
tarvic_Flag TARVIC_API ecf_StatusAtu(tarvic_Flag registrar);
/* True when the printer answers; with mostrar true a failure is shown. */
tarvic_Flag TARVIC_API ecf_Ligado(tarvic_Flag mostrar);
/* Asks the operator to retry while the printer does not answer. */
tarvic_Flag TARVIC_API ecf_TratarDesligamento(void);
/* Opens the port (or the DLLG2 channel). */
tarvic_Flag TARVIC_API ecf_AbrirPortaSerial(void);
/* Closes the port; returns the driver's code. */
int32_t TARVIC_API ecf_FecharPortaSerial(void);
/* Cancels or closes whatever document the printer still has open. */
void TARVIC_API ecf_DestravaImpressora(void);
/* Paper out, as seen by the last status read. */
tarvic_Flag TARVIC_API ecf_StatusSemPapel(void);
/* Opens the cash drawer; returns the driver's code. */
int32_t TARVIC_API ecf_AbrirGaveta(void);
/* Reads a printer integer by name on DATAREGIS and URANO printers ("COO"). */
int32_t TARVIC_API dllG2_leInteiro(const char *nome);

/* ---- Fiscal coupon ------------------------------------------------------- */

/* Opens a fiscal coupon with the customer data set below. */
tarvic_Flag TARVIC_API ecf_AbreCupom(void);
/* Customer's CPF/CNPJ for the next coupon. */
void TARVIC_API set_CpfCliente(const char *cpf);
/* The shop's state registration (IE) and CNPJ. */
void TARVIC_API set_ieCnpj(const char *ie, const char *cnpj);
/* The shop takes part in the Federal District credit programme. */
void TARVIC_API set_ConcessaoDF(tarvic_Flag concessao);
/* ICMS amount of the coupon, printed in the closing text. */
void TARVIC_API set_vIcmCupom(tarvic_Moeda valor);
/* Sells one item. Slots 4, 6 and 11 are ignored. tipoAcrescimo "%" makes
   valorAcrescimo a percentage; a negative valorAcrescimo is a discount. */
tarvic_Flag TARVIC_API ecf_VendeItem(const char *codigo, const char *descricao, const char *unidade,
                                     int32_t ignorado4, const char *aliquota, int32_t ignorado6,
                                     const char *quantidade, const char *valorUnitario,
                                     const char *tipoAcrescimo, const char *valorAcrescimo,
                                     int32_t ignorado11, tarvic_Flag servico, int32_t numeroItem);
/* Cancels the item with the given number. */
tarvic_Flag TARVIC_API ecf_CancelaItemGenerico(const char *numeroItem);
/* Cancels the open coupon (or the last one). */
tarvic_Flag TARVIC_API ecf_CancelaCupom(void);
/* Starts the closing with a discount ("D") or surcharge on the subtotal. */
tarvic_Flag TARVIC_API ecf_IniciaFechamentoCupom(const char *acrescimoDesconto, const char *valor);
/* Registers one payment. */
tarvic_Flag TARVIC_API ecf_EfetuaFormaPagto(const char *formaPagamento, tarvic_Moeda valor);
/* Ends the coupon with the application's message and the state's legal lines. */
tarvic_Flag TARVIC_API ecf_TerminaFechamentoCupom(const char *mensagemCupom);
/* Subtotal of the open coupon; 0 on failure. */
tarvic_MoedaResultado TARVIC_API ecf_SubtotalCupom(void);

/* ---- Non-fiscal documents ------------------------------------------------ */

tarvic_Flag TARVIC_API ecf_RecebimentoNaoFiscal(const char *totalizador, tarvic_Moeda valor,
                                                const char *formaPagamento);
tarvic_Flag TARVIC_API ecf_Suprimento(tarvic_Moeda valor);
tarvic_Flag TARVIC_API ecf_Sangria(tarvic_Moeda valor);
tarvic_Flag TARVIC_API ecf_AbreComprovanteNaoFiscalVinculado(const char *formaPagamento,
                                                             tarvic_Moeda valor, int32_t coo);
tarvic_Flag TARVIC_API ecf_UsaComprovanteNaoFiscalVinculado(const char *texto);
tarvic_Flag TARVIC_API ecf_FechaComprovanteNaoFiscalVinculado(void);

/* ---- Printer programming and day reports ---------------------------------- */

/* A linked credit/debit receipt is open. */
tarvic_Flag TARVIC_API ecf_StatusComprovanteNaoFiscalVinculado(void);
tarvic_Flag TARVIC_API ecf_ProgramaFormasPagamento(const char *lista);
tarvic_Flag TARVIC_API ecf_NomeiaTotalizadorNaoFiscal(int32_t indice, const char *nome);
/* Index of a management report by name, or -1. */
int32_t TARVIC_API ecf_VerificaRelatorioGerencial(const char *nome);
tarvic_Flag TARVIC_API ecf_NomeiaRelatorioGerencial(const char *nome);
tarvic_Flag TARVIC_API ecf_CadastraRelatorioGerencial(void);
tarvic_Flag TARVIC_API ecf_RelatorioGerencial(const char *texto, const char *nome,
                                              tarvic_Flag centralizar);
tarvic_Flag TARVIC_API ecf_FechaRelatorioGerencial(void);
/* A management report is open. */
tarvic_Flag TARVIC_API ecf_StatusRelatorioGerencial(void);
tarvic_Flag TARVIC_API ecf_LeituraX(void);
tarvic_Flag TARVIC_API ecf_ReducaoZ(void);
tarvic_Flag TARVIC_API ecf_ReducaoZPendente(void);
tarvic_Flag TARVIC_API ecf_Bloqueado(void);
void TARVIC_API ecf_ProgramaHorarioVerao(void);
void TARVIC_API ecf_ConfiguraArredondamento(void);
tarvic_Flag TARVIC_API ecf_ModoArredondamento(void);
void TARVIC_API ecf_LeituraMemoriaFiscalData(const char *dataInicial, const char *dataFinal,
                                             const char *tipo, tarvic_Flag arquivo);
void TARVIC_API ecf_LeituraMemoriaFiscalReducao(int32_t reducaoInicial, int32_t reducaoFinal,
                                                const char *tipo, tarvic_Flag arquivo);

/* ---- Printer queries ----------------------------------------------------- */

/* Cash-register number known (written to the return file as "NUMEROCAIXA"). */
tarvic_Flag TARVIC_API ecf_NumeroCaixa(void);
/* The COO, 0 on failure. */
int32_t TARVIC_API ecf_NumeroCupom(void);
/* Serial number read (written to the return file as "NUMEROSERIE"). */
tarvic_Flag TARVIC_API ecf_NumeroSerial(void);
int32_t TARVIC_API ecf_NumeroCDC(void);
int32_t TARVIC_API ecf_NumeroGRG(void);
int32_t TARVIC_API ecf_NumeroGNF(void);
int32_t TARVIC_API ecf_NumeroCCF(void);
/* The grand total. */
tarvic_MoedaResultado TARVIC_API ecf_GtAtu(void);
/* Brand, model and type known (return file: "MODELO", "MARCA", "TIPO"). */
tarvic_Flag TARVIC_API ecf_Modelo(void);
/* The printer keeps an electronic journal (MFD). */
tarvic_Flag TARVIC_API ecf_TipoMFD(void);
tarvic_DataHora TARVIC_API ecf_DataUltReducao(void);
tarvic_DataHora TARVIC_API ecf_DataHora(void);
tarvic_DataHora TARVIC_API ecf_UltDataHoraDocumento(void);
/* The state registration as an integer. */
int32_t TARVIC_API ecf_IE(void);
tarvic_Flag TARVIC_API ecf_NumeroUsuario(void);
tarvic_Flag TARVIC_API ecf_CodigoModeloFiscal(void);

/* ---- PAF-ECF electronic files -------------------------------------------- */

tarvic_Flag TARVIC_API ecf_PegaDadosUltReducao(const char *arquivo, const char *texto);
tarvic_Flag TARVIC_API ecf_DownLoadDaMFD(const char *arquivo, const char *inicio, const char *fim);
tarvic_Flag TARVIC_API ecf_ArqMFD(const char *arquivo, const char *inicio, const char *fim,
                                  int32_t modo);
void TARVIC_API ecf_AtoCotepe1704(const char *inicio, const char *fim);
tarvic_Flag TARVIC_API ecf_GeraSintegra(const char *arquivo, tarvic_DataHora dataInicial,
                                        tarvic_DataHora dataFinal, const char *texto1,
                                        const char *texto2, const char *texto3, const char *texto4,
                                        const char *texto5, const char *texto6, const char *texto7,
                                        const char *texto8, const char *texto9,
                                        const char *texto10);

#endif /* !TARVIC_INTERNO */

#ifdef __cplusplus
}
#endif

#endif /* TARVIC_H */
