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
 * arguments), undecorated names. The library keeps one process-wide state;
 * calls from several threads are serialized (one export runs at a time, the
 * others wait), and a message handler may call exports from inside one.
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
 * Currency; a C# host declares it double and divides it by 10000. hosts/ has
 * the declarations for C, Delphi and C#.
 *
 * Operator messages are modal message boxes captioned with the manufacturer's
 * name, unless the host installs a handler with ecf_SetTratadorMensagem.
 *
 * Failures. No exception or error ever leaves an export. An export abandoned
 * on the way ("abort" below: a message shown and the work stopped, a text
 * that is not a number, a file that cannot be written) returns the failure
 * value named with it: false, 0, -1 or nothing. The operator has usually
 * seen a message by then.
 *
 * The verdict. Most exports end by judging the driver's answer ("the
 * verdict"), shown to the operator ("with messages") or not ("quietly"):
 *   BEMATECH, DARUMA, ELGIN  ecf_Retorno is 1 and the printer's status bytes
 *            show no error (ecf_StatusAtu(true), which records the status
 *            text under "POSICAO"); another code shows its text, such as
 *            "Impressora desligada ou cabo de comunicação desconectado." for
 *            -6, "Parâmetro inválido na função." for -2 or "Erro
 *            desconhecido.\nCód. Retorno: N." for a code not in the table.
 *   SWEDA    ecf_Retorno is 1; the message is the driver's own status text.
 *   DATAREGIS, URANO  the last DLLG2 command was carried out ("Falha de
 *            comunicação com ECF." otherwise); ecf_Retorno then becomes 1.
 * A message may end with a line saying where it happened.
 *
 * Numbers given as texts use a comma for decimals ("21,90", "1,5"); an empty
 * or blank text is zero. Amounts the library writes for the drivers have two
 * decimals and a comma (12,50). Dates given as texts are "dd/mm/aaaa" unless
 * a function says otherwise.
 *
 * Money given as tarvic_Moeda (ecf_EfetuaFormaPagto, ecf_RecebimentoNaoFiscal,
 * ecf_Suprimento, ecf_Sangria, ecf_AbreComprovanteNaoFiscalVinculado,
 * set_vIcmCupom) reaches the driver and the closing text as that text: two
 * decimals after a comma, no thousands separator, rounded half away from
 * zero (400050, 40,0050, goes as "40,01"; 400049 as "40,00"; 1234567890 as
 * "123456,79"). A negative amount is not refused: it goes with its minus sign
 * ("-5,00" for -50000; one that rounds to zero as "0,00") and the driver
 * decides.
 *
 * One exception to "the same functions whatever printer": the tax code of
 * ecf_VendeItem is in each printer's own form ("1800" on BEMATECH, "18,00" on
 * DATAREGIS and URANO; see there). "F", "I" and "N" are the same everywhere.
 *
 * Telling a failure from a value. Some results are also what a failure
 * returns: 0 from a counter or an amount, false from a question, the
 * computer's clock from a date. Each such function says how a host tells
 * them apart; in general a failed read either shows a message (to the
 * handler, when one is set) or leaves ecf_Retorno other than 1. A DLLG2
 * answer (DATAREGIS, URANO) that is not the number asked for gives the
 * failure value with neither.
 *
 * The return file gets the keys named with each function, in its section
 * "ECF", keys in upper case; a value of blanks is not written and a key
 * written again replaces its value. "None" below is a state without a
 * selected manufacturer (before ecf_Inicializa, after an unknown name or a
 * rejected driver): no driver is called.
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
   IDNO 7). texto and titulo are Windows-1252 texts of the library's own,
   valid until the handler returns (also when it calls exports in between):
   a handler that keeps them copies them. */
typedef int(TARVIC_API *ecf_TratadorMensagem)(const char *texto, const char *titulo, uint32_t tipo);

/* The library's own code reaches these functions through its internal
   versions, never through the exports. */
#if !defined(TARVIC_INTERNO)

/* ---- Library frame, start-up and configuration ---------------------------- */

/* Starts the library for one printer; may be called again to start over.
   nome: the manufacturer, "BEMATECH", "SWEDA", "DARUMA", "ELGIN", "DATAREGIS"
   or "URANO" (letter case and blanks around it do not matter).
   porta: the printer's port ("COM1"), kept in upper case; DATAREGIS and
   URANO open their channel on it, the other drivers take the port from their
   own settings.
   pastaBase: the base folder ("C:\\PDV"). The return folder is "retornoEcf"
   in it (created when missing, one level; beside the host's program when
   pastaBase is empty), the return file "meuRetorno.ini" in that folder.
   In order: opens the port (ecf_AbrirPortaSerial), checks that the printer
   answers (ecf_Ligado(true)), checks the BEMATECH driver's version, prepares
   the return folder and file, writes the drivers' settings
   (ecf_SetarPafRetorno), reads the identification (ecf_Modelo) and frees the
   printer of a half-finished document (ecf_DestravaImpressora). It forgets
   the model, serial number and register number read before and a pending
   paper-low warning; what ecf_SetUF, ecf_SetPafMd5, ecf_SetHorarioVerao and
   the set_* functions set stays.
   True when the manufacturer is known and the printer answered. False for:
   - an unknown name: "Fabricante desconhecido para configuração interna:
     'NOME'.", no port opened, ecf_IdFabricante 0;
   - a printer that does not answer (ecf_Ligado's message);
   - BEMATECH with a BEMAFI32.DLL whose version is not "5,10,6,8": "Versão da
     bemafi32.dll é inválida." with both versions, ecf_IdFabricante -1, abort;
   - a return folder that cannot be created: the operator is told which
     folder and why, ecf_Retorno -1.
   ecf_Retorno: the last driver code of these steps. Return file:
   "PATHRETORNO", "ARQRETORNO", "MODELO", "MARCA", "TIPO" and, when the status
   has something to say, "POSICAO". DATAREGIS and URANO printers are not asked
   whether they answer; SWEDA has its automatic Z reduction turned off. */
tarvic_Flag TARVIC_API ecf_Inicializa(const char *nome, const char *porta, const char *pastaBase);
/* Writes "PATHRETORNO" (the return folder) and "ARQRETORNO" (the return
   file) to the return file, then the driver's own settings:
   BEMATECH  BEMAFI32.INI beside the host's program, else in the Windows
             system folder: [Sistema] Path = the return folder, CrLfVinculado
             = 1, CrLfGerencial = 1; [MFD] Impressora = 1 for an MFD printer
             (or the model MP25FI), else 0. Without the file: "Não foi
             possível encontrar BEMAFI32.INI. ..." and still true.
   SWEDA     the driver's registry: Path and PathMFD = the return folder,
             ZAuto = 0, the application's message line; then its rounding.
   DARUMA    the Sintegra and Ato Cotepe folder = the return folder, beep on.
   True for these three; false for DATAREGIS, URANO and none. A file that
   cannot be written shows "Falha ao acessar \"FILE\" em dll de ecf." and
   the work goes on. ecf_Inicializa calls it. */
tarvic_Flag TARVIC_API ecf_SetarPafRetorno(void);
/* Names another return file (a full path) in place of meuRetorno.ini and
   deletes a file of that name. Call it after ecf_Inicializa, which sets the
   default again. DATAREGIS also starts its driver's log anew ("dtregis.log"
   in the TEMP folder). True; false, keeping the current file, for an
   empty name, and with ecf_Retorno -1 and the reason told to the operator
   when its folder does not exist, it is a folder, or the old file cannot be
   deleted. */
tarvic_Flag TARVIC_API ecf_SetArqRetorno(const char *arquivo);
/* The shop's state in upper case ("RJ", "MG", "PB", "DF", ...). It chooses the
   legal lines ecf_TerminaFechamentoCupom adds to the closing text; any other
   text (lower case too) adds none. Any time; kept across ecf_Inicializa.
   Returns true. */
tarvic_Flag TARVIC_API ecf_SetUF(const char *uf);
/* The MD-5 text of the point-of-sale program, printed as "MD-5: " and the
   text at the top of every coupon's closing text (nothing when empty). Any
   time; kept across ecf_Inicializa. Returns true. */
tarvic_Flag TARVIC_API ecf_SetPafMd5(const char *md5);
/* Whether daylight-saving time is wanted; ecf_ProgramaHorarioVerao (also run
   after every Z reduction) brings the printer to it. Returns the flag as kept
   (0 or 1). Any time; kept across ecf_Inicializa. */
tarvic_Flag TARVIC_API ecf_SetHorarioVerao(tarvic_Flag ativo);
/* The version of this library: 1020 (1.0.20), whatever the state. */
int32_t TARVIC_API ecf_DllVersao(void);
/* The selected manufacturer: 0 none (before ecf_Inicializa or after an
   unknown name), 1 BEMATECH, 2 SWEDA, 3 DARUMA, 4 ELGIN, 5 DATAREGIS,
   6 URANO, -1 BEMATECH driver version rejected. */
int32_t TARVIC_API ecf_IdFabricante(void);
/* Routes every operator message to the host's handler instead of a message
   box (null restores the boxes). The handler runs on the calling thread,
   inside the export that has something to say; for a question (flags 0x24)
   its answer decides: 6 (IDYES) is Yes, anything else No. Returns true. */
tarvic_Flag TARVIC_API ecf_SetTratadorMensagem(ecf_TratadorMensagem tratador);

/* ---- Printer status, power and recovery --------------------------------- */

/* Reads and judges the printer's status bytes (BEMATECH, SWEDA, DARUMA,
   ELGIN; the driver's code goes to ecf_Retorno). False when they show an
   error: paper out (ecf_StatusSemPapel then true), printer error, a command
   not started with ESC, an unknown command, invalid parameters or parameter
   type, fiscal memory full, RAM error, tax rate not programmed, method not
   executed. Paper low, clock error, tax rates full and the owner's CNPJ/IE
   not programmed do not make it false. With registrar true the status text
   (lines such as "  - Sem papel.") goes to the return file under "POSICAO";
   no message box. Paper low is told on every 31st such read, which also arms
   the warning shown by the next ecf_AbreCupom or closing.
   DATAREGIS, URANO and none: true, nothing asked, ecf_Retorno unchanged. */
tarvic_Flag TARVIC_API ecf_StatusAtu(tarvic_Flag registrar);
/* True when the printer answers (ecf_Retorno 1). With mostrar true a silent
   printer shows "Falha na comunicação com Impressora Fiscal.\nVerifique se
   os cabos estão conectados, se o ECF está ligado e se há bobina
   (papel).\n\nRetorno do ECF:  N". DATAREGIS, URANO and none: true without
   asking, ecf_Retorno 1. */
tarvic_Flag TARVIC_API ecf_Ligado(tarvic_Flag mostrar);
/* Waits for the printer with the operator: while it does not answer, asks
   "Falha na comunicação com ECF.\nPossíveis causas: Desligada ou Cabo
   Desconectado.\n\nDeseja tentar novamente?" and tries again on Yes. True
   once the printer answers, false when the operator answers No. Always true
   on DATAREGIS and URANO (see ecf_Ligado). */
tarvic_Flag TARVIC_API ecf_TratarDesligamento(void);
/* Opens the driver's port (BEMATECH, SWEDA, DARUMA, ELGIN: true when the
   driver answers 1; SWEDA then turns its automatic Z reduction off, and a
   failure shows "Falha ao Abrir a Porta Serial de comunicação.") or the DLLG2
   channel on the port given to ecf_Inicializa (DATAREGIS, URANO: false with
   "Erro na inicialização do canal\nRetorno: N" when the driver gives no
   channel). None: true, nothing called. ecf_Inicializa calls it. */
tarvic_Flag TARVIC_API ecf_AbrirPortaSerial(void);
/* Closes the port or the DLLG2 channel and returns the driver's code as it
   came (1 is success on BEMATECH, SWEDA, DARUMA, ELGIN); ecf_Retorno is not
   touched. None: the value of ecf_IdFabricante (0 or -1). */
int32_t TARVIC_API ecf_FecharPortaSerial(void);
/* Frees the printer of a half-finished document: a coupon still open is
   cancelled (ecf_CancelaCupom), a management report or linked receipt left
   open is closed.
   BEMATECH          cancels a coupon open or in payment; a full fiscal memory
                     first shows "Memória Fiscal do ECF sem espaço.".
   SWEDA, DARUMA     cancels an open coupon, closes a report, closes a linked
                     receipt.
   DATAREGIS, URANO  closes a report, else cancels a coupon in any state.
   ELGIN, none       nothing: a coupon left open on ELGIN stays open.
   ecf_Inicializa, ecf_AbreCupom and ecf_LeituraX call it. */
void TARVIC_API ecf_DestravaImpressora(void);
/* Paper out, as the last status read (ecf_StatusAtu or a verdict) saw it; asks
   the printer nothing. */
tarvic_Flag TARVIC_API ecf_StatusSemPapel(void);
/* Opens the cash drawer. BEMATECH, SWEDA, DARUMA, ELGIN: returns the
   driver's code, also in ecf_Retorno (1 is success). DATAREGIS, URANO: the
   result of the command "AbreGaveta" (above 0 is success), ecf_Retorno
   unchanged. None: the value of ecf_IdFabricante. No message is shown. */
int32_t TARVIC_API ecf_AbrirGaveta(void);
/* DATAREGIS and URANO: a printer integer read by its DLLG2 name ("COO",
   "CCF", "CRZ", "EstadoFiscal", "Indicadores", ...); ecf_Retorno becomes 1.
   0 when the read fails ("Problemas de Comunicação com ECF.", ecf_Retorno
   unchanged) or the answer is not an integer (no message, ecf_Retorno
   unchanged). The other manufacturers have no DLLG2 channel. 0 is also a
   value the printer holds: only ecf_Retorno tells, and it is left as it was
   on a failure, so a host that must know sets ecf_Retorno to 0 before the
   call (as the library's own queries do) and finds 1 after a read. */
int32_t TARVIC_API dllG2_leInteiro(const char *nome);

/* ---- Fiscal coupon ------------------------------------------------------- */

/* Opens a fiscal coupon. First it sets the coupon's ICMS amount to 0, shows
   a pending paper-low warning ("ECF com pouco papel.\nVerifique a
   disponibilidade da bobina.") and calls ecf_DestravaImpressora, so a coupon
   left open is cancelled and a new one started. No customer identification
   reaches the printer: the set_* values only go into the closing text.
   Result: the verdict with messages; ecf_Retorno the driver's code. None:
   nothing sent, the verdict on the ecf_Retorno of the last call. */
tarvic_Flag TARVIC_API ecf_AbreCupom(void);
/* The customer's CPF (or CNPJ), punctuation allowed ("123.456.789-09"): only
   the digits are kept; an empty text clears it. Printed by the "PB" closing
   line ("00000000000" counts as none there). Kept until set again. */
void TARVIC_API set_CpfCliente(const char *cpf);
/* The shop's state registration (IE) and CNPJ, punctuation allowed (only the
   digits are kept), for the closing text: the IE makes the "RJ" SMS code, the
   CNPJ opens the "MG" and "PB" lines. Kept until set again. */
void TARVIC_API set_ieCnpj(const char *ie, const char *cnpj);
/* The shop takes part in the Federal District credit programme: with the
   state "DF" the closing text says so before its "NOTA LEGAL" line. */
void TARVIC_API set_ConcessaoDF(tarvic_Flag concessao);
/* The coupon's ICMS amount, printed by the "DF" closing line ("ICMS = 1,23").
   ecf_AbreCupom sets it to 0: set it after the opening and before
   ecf_TerminaFechamentoCupom. */
void TARVIC_API set_vIcmCupom(tarvic_Moeda valor);
/* Sells one item on the open coupon. Slots 4, 6 and 11 are ignored.
   codigo: the product code (BEMATECH sells codes longer than 13 characters,
   and items with a surcharge, with its department sale).
   descricao: trimmed and cut to 29 characters (BEMATECH's plain sale first
   extends the printer's description so that all of it is printed).
   unidade: the unit of measure, its first two characters ("UN" when empty).
   aliquota: the tax code. "F" (tax substitution), "I" (exempt) and "N" (not
   taxed) serve every printer: sent as "FF", "II", "NN" (DATAREGIS and
   URANO: codes -2, -3, -4; services, see servico). Any other code goes to
   the driver as given, and its form is each driver's own:
   BEMATECH, SWEDA, DARUMA, ELGIN  the rate as four digits, percent times
             100 ("1800" for 18%, "0700" for 7%), or the two-digit position
             of a rate programmed in the printer ("01").
   DATAREGIS, URANO  the rate in percent with its comma ("18,00", "7,00"),
             sent as a decimal number; a position is not taken.
   An empty code sends none (DATAREGIS, URANO: no tax parameter at all).
   A host selling on several brands chooses the form by ecf_IdFabricante.
   quantidade, valorUnitario: numbers as texts ("1", "0,250", "21,90")
   without thousands separators.
   tipoAcrescimo: "%" when valorAcrescimo is a percentage; anything else
   (default "$") an amount.
   valorAcrescimo: the item's adjustment as a text, above 0 a surcharge,
   below 0 a discount, "0" or empty none.
   servico: the item is a service (ISS). BEMATECH and DARUMA map the tax code
   to their service codes; the others refuse it: "Serviço não configurado
   na ECF.", abort, nothing sold.
   numeroItem: the item's number in the coupon (SWEDA adjusts that item).
   The adjustment goes with the sale (BEMATECH, DARUMA, ELGIN) or in a second
   call after a successful sale (SWEDA, DATAREGIS, URANO; if that call fails
   the item stays sold without it and the result is false). BEMATECH (MFD
   printers), SWEDA and DARUMA (goods) send the unit in a call of their own
   before the sale, and sell nothing when it fails (SWEDA: "Falha ao aplicar
   a Unidade de Medida do Item."); ELGIN does not send it.
   A number that cannot be read refuses the item before anything is sent:
   ecf_Retorno -2, "Parâmetro inválido na função.", false. Otherwise the
   result is the verdict with messages. None: the verdict on the ecf_Retorno
   of the last call. */
tarvic_Flag TARVIC_API ecf_VendeItem(const char *codigo, const char *descricao, const char *unidade,
                                     int32_t ignorado4, const char *aliquota, int32_t ignorado6,
                                     const char *quantidade, const char *valorUnitario,
                                     const char *tipoAcrescimo, const char *valorAcrescimo,
                                     int32_t ignorado11, tarvic_Flag servico, int32_t numeroItem);
/* Cancels the item of the open coupon whose number is given in decimal digits
   ("3"), passed to the driver as it is; the printer refuses a number it does
   not have. Result: the verdict with messages. None: nothing sent, the
   verdict on the ecf_Retorno of the last call. */
tarvic_Flag TARVIC_API ecf_CancelaItemGenerico(const char *numeroItem);
/* Cancels the open coupon, or the last one where the printer allows it; a
   printer with nothing to cancel refuses. Result: the verdict with messages.
   None: nothing sent, the verdict on the ecf_Retorno of the last call. */
tarvic_Flag TARVIC_API ecf_CancelaCupom(void);
/* Starts the closing of the coupon with a discount (acrescimoDesconto "D") or
   a surcharge (any other text) on the subtotal; valor is the amount as a text
   ("2,00"; "0" for none). BEMATECH, SWEDA, DARUMA and ELGIN get both texts
   as given, with the type "$"; DATAREGIS and URANO get the amount signed (a
   discount negative) and nothing at all for a zero amount. Result: the
   verdict with messages; false, nothing sent, for a valor that is not a
   number. */
tarvic_Flag TARVIC_API ecf_IniciaFechamentoCupom(const char *acrescimoDesconto, const char *valor);
/* Registers one payment: formaPagamento is a payment method programmed in the
   printer ("Dinheiro", "Cartao"; blanks around it are dropped), valor the
   amount paid; paying more than the total gives change. Result: the verdict
   with messages (code -24 "Forma de Pagamento não programada." for an
   unknown method on BEMATECH, DARUMA and ELGIN). */
tarvic_Flag TARVIC_API ecf_EfetuaFormaPagto(const char *formaPagamento, tarvic_Moeda valor);
/* Ends the coupon with a closing text the library builds: "MD-5: " and the
   text of ecf_SetPafMd5 (when set), a line break and mensagemCupom trimmed
   (when not empty), a line break, then the lines of the state set with
   ecf_SetUF:
   "RJ"  "CUPOM MANIA, CONCORRA A PRÊMIOS", then "ENVIE SMS P/ 6789: " with a
         code made of the IE (8 digits), today's date (ddmmaa), the COO (6
         digits, read now) and the register number (3 digits, as last read
         by ecf_NumeroCaixa), then a PROCON and an ALERJ line. Not on
         DATAREGIS and URANO.
   "MG"  "MINAS LEGAL: ", the CNPJ, today's date (ddmmaaaa) and the digits of
         the subtotal.
   "PB"  "PARAÍBA LEGAL - RECEITA CIDADÃ", then "TORPEDO PREMIADO: " with the
         CNPJ, the date, the digits of the subtotal and the customer's CPF.
   "DF"  with set_ConcessaoDF the programme's two lines, then the "NOTA
         LEGAL: " line with "ICMS = " the amount of set_vIcmCupom and
         "ISS = 0,00" (SWEDA prints "NOTA LEGAL: " highlighted).
   DATAREGIS and URANO get the text trimmed and cut to 240 characters. After
   the closing a pending paper-low warning is shown. Result: the verdict with
   messages. */
tarvic_Flag TARVIC_API ecf_TerminaFechamentoCupom(const char *mensagemCupom);
/* The subtotal of the open coupon. 0 when the driver refuses (the verdict
   with messages is shown first), when its answer is not a number, and with
   none. 0 is also the subtotal of a coupon with nothing sold yet: a refusal
   shows a message; an answer that is not a number does not. */
tarvic_MoedaResultado TARVIC_API ecf_SubtotalCupom(void);

/* ---- Non-fiscal documents ------------------------------------------------ */

/* Prints a whole non-fiscal receipt: valor received under the non-fiscal
   totaliser named totalizador (programmed in the printer, see
   ecf_NomeiaTotalizadorNaoFiscal; letter case does not matter), paid with the
   payment method formaPagamento.
   BEMATECH, ELGIN   look the name up in the printer's list and send its
                     index (not found: the name goes as it is and the driver
                     decides).
   SWEDA             looks the name up and sends the printer's index.
   DARUMA            sends the name as it is.
   DATAREGIS, URANO  look up the totaliser and the method (codes 0 to 14);
                     missing: "Totalizador Não Fiscal não configurado no ECF:
                     'NAME'" or "Meio de Pagamento não configurado no ECF:
                     'NAME'", abort, nothing printed. Then open, item,
                     payment (none for a totaliser of type "N") and end; a
                     step that fails leaves the document where it stopped.
   Result: the verdict with messages.
   None: ecf_Retorno 0 ("Erro de Comunicação."), false. */
tarvic_Flag TARVIC_API ecf_RecebimentoNaoFiscal(const char *totalizador, tarvic_Moeda valor,
                                                const char *formaPagamento);
/* Cash supply ("SUPRIMENTO"): valor put into the drawer. BEMATECH, SWEDA,
   DARUMA, ELGIN use the driver's own supply; DATAREGIS and URANO a
   non-fiscal receipt under "SUPRIMENTO" paid in "Dinheiro"
   (ecf_RecebimentoNaoFiscal, with its messages). Result: the verdict with
   messages.
   None: ecf_Retorno 0 ("Erro de Comunicação."), false. */
tarvic_Flag TARVIC_API ecf_Suprimento(tarvic_Moeda valor);
/* Cash withdrawal ("SANGRIA"): valor taken from the drawer; as
   ecf_Suprimento, under "SANGRIA" on DATAREGIS and URANO. Result: the
   verdict with messages.
   None: ecf_Retorno 0 ("Erro de Comunicação."), false. */
tarvic_Flag TARVIC_API ecf_Sangria(tarvic_Moeda valor);
/* Opens a credit/debit receipt linked to a coupon paid with formaPagamento
   (a method that allows it, passed as it is); valor is the receipt's amount
   (0 sends none) and coo the coupon's number (0 sends none). Result: the
   verdict with messages.
   None: ecf_Retorno 0 ("Erro de Comunicação."), false. */
tarvic_Flag TARVIC_API ecf_AbreComprovanteNaoFiscalVinculado(const char *formaPagamento,
                                                             tarvic_Moeda valor, int32_t coo);
/* Prints free text (line breaks included) on the open linked receipt; an empty
   text prints one blank. May be called as often as needed. Result: the
   verdict with messages.
   None: ecf_Retorno 0 ("Erro de Comunicação."), false. */
tarvic_Flag TARVIC_API ecf_UsaComprovanteNaoFiscalVinculado(const char *texto);
/* Ends the linked receipt. SWEDA and DARUMA close only a receipt that is
   open; with none open the result is true and nothing is sent. Result: the
   verdict with messages.
   None: ecf_Retorno 0 ("Erro de Comunicação."), false. */
tarvic_Flag TARVIC_API ecf_FechaComprovanteNaoFiscalVinculado(void);

/* ---- Printer programming and day reports ---------------------------------- */

/* A linked credit/debit receipt is open. Asked of SWEDA, DARUMA (the driver's
   answer; ecf_Retorno untouched) and DATAREGIS, URANO (the fiscal state);
   BEMATECH, ELGIN and none cannot tell: false. No message. False also
   when the read fails, with no sign (SWEDA, DARUMA) or "Problemas de
   Comunicação com ECF." (DATAREGIS, URANO). */
tarvic_Flag TARVIC_API ecf_StatusComprovanteNaoFiscalVinculado(void);
/* Programs payment methods. lista: the names, each ended by ";"
   ("Ticket;Credito;Cheque;Cartao;Carteira;"); text after the last ";" is not
   a name.
   SWEDA             programs every name; "Cartao" (any case) allows linked
                     receipts.
   DARUMA            the driver gets the whole list.
   ELGIN             reads the printer's methods and programs the names it
                     lacks, each allowing linked receipts; the printer's names
                     are compared in capitals and the list's as written, so
                     a name with small letters is programmed again.
   DATAREGIS, URANO  reads the printer's methods and defines the names it
                     lacks, each allowing linked receipts.
   BEMATECH, none    nothing is programmed: ecf_Retorno -2, false.
   Result: the verdict with messages on the last code stored (a failing
   name in the middle is not reported alone). False for an empty list. */
tarvic_Flag TARVIC_API ecf_ProgramaFormasPagamento(const char *lista);
/* Names a non-fiscal totaliser ("Abertura", "Recebimento") at the printer's
   position indice (BEMATECH, SWEDA, DARUMA, ELGIN). DATAREGIS and URANO
   ignore indice and define the name only when the printer does not hold it
   yet. Result: the verdict with messages. None: the verdict on the
   ecf_Retorno of the last call. */
tarvic_Flag TARVIC_API ecf_NomeiaTotalizadorNaoFiscal(int32_t indice, const char *nome);
/* Index of the management report called nome in the printer, or -1. A
   printer name matches when it equals nome or contains it (ELGIN: equal
   only); an empty nome finds the first empty position. Indexes: BEMATECH
   1-30 (MFD printers only; others -1), SWEDA the printer's number (1 for
   an empty nome), DARUMA 1-20, ELGIN 0-19, DATAREGIS and URANO the printer's
   code. No message; the driver's code goes to ecf_Retorno. */
int32_t TARVIC_API ecf_VerificaRelatorioGerencial(const char *nome);
/* Programs a management report name unless the printer holds it.
   True when the name is now programmed (found with an index above 0) after
   this call programmed it. A name already there: true on BEMATECH, false on
   the others (nothing sent). BEMATECH printers without MFD and none: false.
   An empty name: "Parâmetro nome inválido em NomeiaRelatorioGerencial.",
   abort, false. The BEMATECH naming shows the verdict with messages. */
tarvic_Flag TARVIC_API ecf_NomeiaRelatorioGerencial(const char *nome);
/* DATAREGIS and URANO: programs the report "RELATORIO GERENCIAL" under code
   0; the verdict with messages. The other printers come with their report:
   false, nothing sent. */
tarvic_Flag TARVIC_API ecf_CadastraRelatorioGerencial(void);
/* Prints texto on a management report under the report name nome (opening it
   when needed). texto is printed as given, line breaks included (an empty
   text prints one blank); with centralizar true a text shorter than 47
   characters is centred with blanks on the left. The report stays open for
   more text until ecf_FechaRelatorioGerencial.
   BEMATECH  opens the report by its index (MFD printers, a known name); an
             opening refused ends with false; sends the text in pieces of 550.
   SWEDA     opens one when none is open ("Falha ao Abrir Relatório
             Gerencial!" when refused, and goes on).
   DARUMA    opens the named report when nome is given; pieces of 450.
   ELGIN     opens the named report when nome is given.
   DATAREGIS, URANO  opens one when none is open ("Não foi possível efetivar
             a Abertura do Relatório Gerencial." when refused, and goes on).
   Result: the verdict on the last code, quietly. */
tarvic_Flag TARVIC_API ecf_RelatorioGerencial(const char *texto, const char *nome,
                                              tarvic_Flag centralizar);
/* Closes the management report (SWEDA: the open report, else the open linked
   receipt, else nothing, which is success). Result: the verdict, quietly.
   None: the verdict on the ecf_Retorno of the last call. */
tarvic_Flag TARVIC_API ecf_FechaRelatorioGerencial(void);
/* A management report is open. Asked of SWEDA, DARUMA (the driver's answer;
   ecf_Retorno untouched) and DATAREGIS, URANO (the fiscal state); BEMATECH,
   ELGIN and none cannot tell: false. No message. False also when the read
   fails, with no sign (SWEDA, DARUMA) or "Problemas de Comunicação com
   ECF." (DATAREGIS, URANO). */
tarvic_Flag TARVIC_API ecf_StatusRelatorioGerencial(void);
/* Prints the X reading (the day's running totals; closes nothing), after
   ecf_DestravaImpressora. Result: the verdict with messages. None: the
   verdict on the ecf_Retorno of the last call. */
tarvic_Flag TARVIC_API ecf_LeituraX(void);
/* Z reduction: closes the fiscal day in the printer's fiscal memory; the
   printer then refuses sales until the end of the day (ecf_Bloqueado). Then
   it programs the printer for the next day: rounding, the non-fiscal
   totalisers "Abertura" and "Recebimento" where missing (BEMATECH, SWEDA:
   tried at one position after another, each refusal showing its message),
   daylight-saving time (ecf_ProgramaHorarioVerao), the report names
   "Id. PAF-ECF", "Meios Pagto.", "DAV EMITIDOS", "PARAM CONFIG", and, after
   a good reduction, the payment methods
   "Ticket;Credito;Cheque;Cartao;Carteira;".
   True when the reduction was accepted (the verdict with messages on its
   own code) and the programming ran to the end. False when the printer
   refused it (the payment methods are then not programmed),
   when the SWEDA totaliser check fails ("Falha na verificação dos
   Totalizadores Não Fiscais."), or when the DARUMA daylight-saving step
   fails ("Falha ao configurar o Horário de Verão."). DARUMA and ELGIN send
   the computer's date and time; SWEDA the printer's. */
tarvic_Flag TARVIC_API ecf_ReducaoZ(void);
/* A Z reduction of an earlier day is still owed.
   BEMATECH, SWEDA   true when the printer's clock is past 23:59:59 of its
                     movement day.
   ELGIN             the driver's answer (the verdict with messages first).
   DATAREGIS, URANO  the printer's indicator of a pending reduction.
   DARUMA, none      false, nothing asked.
   False on any read that fails or does not make a date. Such a false is
   told apart from a real one by ecf_Retorno other than 1 (BEMATECH, SWEDA:
   the movement date refused), the verdict's message (ELGIN) or "Problemas
   de Comunicação com ECF." (DATAREGIS, URANO). */
tarvic_Flag TARVIC_API ecf_ReducaoZPendente(void);
/* A Z reduction was made today: the printer is blocked until 23:59:59 of the
   date of the last reduction (BEMATECH, SWEDA, ELGIN, DARUMA: that date from
   the driver; DATAREGIS and URANO: today's date of the computer when the
   printer's indicators say so), compared with the printer's clock. False
   when the read fails or gives no date, and with none. No message of its
   own. A false from a failed read gives no sign on BEMATECH, SWEDA and
   ELGIN (the driver's code is not kept); DARUMA leaves ecf_Retorno other
   than 1, DATAREGIS and URANO show "Problemas de Comunicação com ECF.".
   ecf_DataUltReducao tells the date itself. */
tarvic_Flag TARVIC_API ecf_Bloqueado(void);
/* Brings the printer's daylight-saving time to what ecf_SetHorarioVerao
   asked, toggling it when it differs. BEMATECH (failures quiet) and DARUMA
   ("Falha ao configurar o Horário de Verão." when the toggle fails); the
   others: nothing. */
void TARVIC_API ecf_ProgramaHorarioVerao(void);
/* Programs the printer to round (not truncate) item totals: BEMATECH, SWEDA,
   DARUMA, ELGIN (the driver's code is not kept); nothing on the others. A
   failure shows "Falha ao programar arredondamento no ECF.". */
void TARVIC_API ecf_ConfiguraArredondamento(void);
/* Always false; asks the printer nothing. */
tarvic_Flag TARVIC_API ecf_ModoArredondamento(void);
/* Fiscal memory reading by date, dataInicial to dataFinal: BEMATECH MFD
   printers, DATAREGIS and URANO take eight digits "ddmmaaaa" and send them
   as dd/mm/aaaa; the other drivers get the texts as given. tipo: "C"
   (capital, exactly) for the complete reading, anything else for the
   simplified one. arquivo: true to have the driver send the reading out as a
   file instead of printing it (BEMATECH MFD printers: the signed PAF-ECF
   file; ELGIN always prints).
   DATAREGIS and URANO delete the return file and, with arquivo true, write
   the reading's text into it in its place; a date that is not valid stops
   before the printer is asked; a return file that cannot be written is
   named to the operator, with ecf_Retorno -1. No result: ecf_Retorno holds
   the driver's code and a failure shows the verdict's message. */
void TARVIC_API ecf_LeituraMemoriaFiscalData(const char *dataInicial, const char *dataFinal,
                                             const char *tipo, tarvic_Flag arquivo);
/* Fiscal memory reading by Z-reduction counter, from reducaoInicial to
   reducaoFinal (sent without leading zeros); tipo "C" (any case, blanks
   around it allowed) for the complete reading, anything else for the
   simplified one; arquivo as in ecf_LeituraMemoriaFiscalData, with the same
   return file on DATAREGIS and URANO. No result: ecf_Retorno holds the
   driver's code and a failure shows the verdict's message. */
void TARVIC_API ecf_LeituraMemoriaFiscalReducao(int32_t reducaoInicial, int32_t reducaoFinal,
                                                const char *tipo, tarvic_Flag arquivo);

/* ---- Printer queries ----------------------------------------------------- */

/* Reads the cash-register number once (later calls answer from memory until
   ecf_Inicializa) and writes it to the return file under "NUMEROCAIXA".
   True when it is known. It is also the number the "RJ" closing line uses. */
tarvic_Flag TARVIC_API ecf_NumeroCaixa(void);
/* The COO, the printer's document counter. Up to four reads while the answer
   is not a number (a second apart). 0 when the driver refuses (the status is
   then read and recorded under "POSICAO") or never answers a number. 0 is
   never a document's number: a host takes it as "not read". */
int32_t TARVIC_API ecf_NumeroCupom(void);
/* Reads the printer's serial number once (later calls answer from memory
   until ecf_Inicializa) and writes it under "NUMEROSERIE". True when it was
   read; false (and forgotten) when the driver refuses, and with none. */
tarvic_Flag TARVIC_API ecf_NumeroSerial(void);
/* The CDC counter (linked credit/debit receipts); 0 on failure, after the
   verdict with messages; BEMATECH printers without MFD: 0, nothing asked.
   An answer that is not a number: "Falha ao receber número de CDC.", 0.
   0 is also the count of a printer that printed none: a failure always
   shows a message first (as do ecf_NumeroGRG and ecf_NumeroGNF, except a GNF
   answer that is not a number, which is 0 without one). */
int32_t TARVIC_API ecf_NumeroCDC(void);
/* The GRG counter (management reports); as ecf_NumeroCDC ("Falha ao receber
   número GRG."). */
int32_t TARVIC_API ecf_NumeroGRG(void);
/* The GNF counter (non-fiscal operations), MFD printers only (0 otherwise);
   0 on failure, after the verdict with messages. ELGIN has no such read: 0.
   SWEDA's driver answers it with the GRG counter. */
int32_t TARVIC_API ecf_NumeroGNF(void);
/* The CCF counter (fiscal coupons); 0 when the driver refuses; BEMATECH
   printers without MFD: 0. An answer that is not a number: "Falha ao
   receber número de CCF.", 0. A driver's refusal shows no message
   (DATAREGIS, URANO: "Problemas de Comunicação com ECF."): ecf_Retorno is
   then not 1; it is 1 after a count read, also of 0. */
int32_t TARVIC_API ecf_NumeroCCF(void);
/* The grand total (money result). At most four reads: one whose answer is
   not a number is read again while the printer answers, one the verdict
   refuses (its message shown) too. 0 when no read was approved. 0 is also
   the grand total of a printer that never sold: a read refused shows the
   verdict's message (or ecf_Ligado's, for a silent printer) each time;
   four answers in a row that are not numbers give 0 without a message.
   A host that must tell asks ecf_NumeroCupom or ecf_DataUltReducao too. */
tarvic_MoedaResultado TARVIC_API ecf_GtAtu(void);
/* Reads the printer's brand, model and type once (later calls answer from
   memory until ecf_Inicializa) and writes them under "MODELO", "MARCA" and
   "TIPO". It also decides whether the printer keeps an electronic journal
   (ecf_TipoMFD): BEMATECH models MP20FI, MP40FI, MP25FI, MP50FI and DARUMA
   models FS2000, FS318, FS345, FS420 do not; SWEDA, ELGIN, DATAREGIS and
   URANO do. True when they were read; false (and forgotten) on failure, and
   with none (ecf_Retorno 0). */
tarvic_Flag TARVIC_API ecf_Modelo(void);
/* The printer keeps an electronic journal (MFD), after ecf_Modelo. Many
   functions depend on it on BEMATECH printers. */
tarvic_Flag TARVIC_API ecf_TipoMFD(void);
/* The date of the last Z reduction (no time of day). On a failed read or a
   date that does not convert: "Falha ao capturar data da última
   redução.\nChecar em \"ecf_DataUltReducao\".", 0. 0 (30/12/1899) is no
   reduction's date: it means "none known". A printer that never made a Z
   reduction gives 0 with that message and ecf_Retorno 1; a read that failed
   leaves ecf_Retorno other than 1 (SWEDA, DARUMA, ELGIN) or shows another
   message (BEMATECH: the verdict's, before that one; DATAREGIS and URANO:
   "Problemas de Comunicação com ECF." instead of it). */
tarvic_DataHora TARVIC_API ecf_DataUltReducao(void);
/* The printer's date and time; the computer's date and time when the read
   fails or the printer's year is before 2013. Which of them came back: a
   read the driver refused leaves ecf_Retorno other than 1 (BEMATECH,
   SWEDA, DARUMA, ELGIN); a failed DLLG2 read shows "Problemas de
   Comunicação com ECF."; a clock before 2013 gives no sign. */
tarvic_DataHora TARVIC_API ecf_DataHora(void);
/* Date and time of the last document printed; the computer's date and time
   when the printer does not answer, the read fails or its year is before
   2011. BEMATECH printers without MFD: ecf_DataHora. A printer that does
   not answer, or a read the driver refused, leaves ecf_Retorno other than
   1 (BEMATECH, SWEDA, DARUMA, ELGIN); a failed DLLG2 read shows "Problemas
   de Comunicação com ECF.". */
tarvic_DataHora TARVIC_API ecf_UltDataHoraDocumento(void);
/* BEMATECH: the shop's state registration (IE) programmed in the printer, its
   digits as an integer (0 when it does not fit in 32 bits). 0 on the
   others. 0 is no IE: also an IE without digits ("ISENTO"); a read the
   driver refused leaves ecf_Retorno other than 1. */
int32_t TARVIC_API ecf_IE(void);
/* DARUMA: reads the user number and writes it under "NUMEROUSUARIO"; true
   when read. False on the others (nothing asked). */
tarvic_Flag TARVIC_API ecf_NumeroUsuario(void);
/* DARUMA: reads the fiscal model code and writes it under "CODMODELOFISCAL";
   true when read. False on the others (nothing asked). */
tarvic_Flag TARVIC_API ecf_CodigoModeloFiscal(void);

/* ---- PAF-ECF electronic files -------------------------------------------- */

/* Writes the data of the last Z reduction to an INI file (section "REDUCZ")
   and names it after the reduction's movement date. arquivo: full path of a
   working file (it must have a folder; deleted first); the result is the
   file "reduc_" + YYMMDD + ".txt" in the same folder (year minus 2000 without
   leading zeros: reduc_150317.txt for 17/03/2015), replacing one of that
   name. texto is not used.
   Keys, the same for every manufacturer: TTRIBUTOn/VTRIBUTOn/TRIBUTOn for
   the tax rates (type "I" ICMS, "S" ISS, "N" none or the end; amount sold;
   rate in percent), VERSAOSBDT, DTEMISSAO, GT, VNDBRUTO, VCONTABIL,
   CANC_ICM, CANC_ISS, DESC_ICM, DESC_ISS, ACRES_ICM, ACRES_ISS, NREDUC,
   DTMOVTO, FF1_ICM, FF2_ICM, II1_ICM, II2_ICM, NN1_ICM, NN2_ICM, CRZ, CRO,
   VERSAOSB, MFADICIONAL, PARAMDESCISS, NSERIAL, NCAIXA, MODELO, NUSUARIO,
   DATA/HORA, INFO. Amounts like 1234,5 (no trailing zeros), dates
   dd/mm/aaaa with the time when not midnight; empty values are left out.
   Manufacturers differ in what they fill: BEMATECH MFD printers write all 16
   rate slots, BEMATECH without MFD, SWEDA and ELGIN only the used ones, all
   with an end entry "N"; DARUMA writes 16 slots with their types and no end
   entry, and is the only one to write MFADICIONAL and PARAMDESCISS.
   True when the final file exists. False when the grand total reads 0
   (nothing written), when the driver's data are refused (a message says
   which), and on any other failure ("Falha ao verificar os dados da Última
   Redução Z."; the working file keeps what was written). A folder of
   arquivo that does not exist (checked before the printer is asked), or a
   final file that cannot be replaced, is named to the operator, with
   ecf_Retorno -1. URANO: true,
   nothing written. Before it, ecf_GtAtu, ecf_CodigoModeloFiscal,
   ecf_NumeroCaixa, ecf_NumeroSerial and ecf_Modelo run (and write their
   return-file keys). */
tarvic_Flag TARVIC_API ecf_PegaDadosUltReducao(const char *arquivo, const char *texto);
/* Downloads the electronic journal (MFD) of a range into arquivo (deleted
   first). inicio and fim: two dates ("dd/mm/aaaa") when inicio contains "/",
   else two COO counters ("123").
   BEMATECH          MFD printers only ("O modelo do ECF não dá suporte a
                     este comando." otherwise, false); the verdict with
                     messages.
   SWEDA, ELGIN      true when the driver answers 1; ecf_Retorno untouched.
   DARUMA            the driver writes to its own folder, arquivo is not
                     made; true when it answers 1.
   DATAREGIS         the journal's text, 48 columns, CR LF; false with
                     "Falha na execução do comando.\nRetorno:  N"; a file
                     that cannot be written: "Não foi possível gravar o
                     arquivo \"PATH\".", ecf_Retorno -1.
   URANO, none       false.
   False, quietly, for a date that cannot be read. */
tarvic_Flag TARVIC_API ecf_DownLoadDaMFD(const char *arquivo, const char *inicio, const char *fim);
/* Has the driver produce the signed PAF-ECF file of a range and brings it to
   arquivo. inicio, fim: dates ("dd/mm/aaaa") when inicio contains "/", else
   counters (COO; DATAREGIS: Z-reduction counters). modo is passed to the
   BEMATECH driver (its file kind) and unused elsewhere.
   BEMATECH   MFD printers only ("Função indisponível ao modelo do ECF."
              otherwise); empties the return folder, has the driver write
              "SERIAL_START_END.txt" there and copies it over arquivo; true
              when arquivo exists at the end ("Arquivo de retorno do ECF
              esperado não foi encontrado.\nArquivo: 'PATH'." when the driver
              wrote nothing; "Não foi possível copiar o arquivo ..." and
              ecf_Retorno -1 when it cannot be copied).
   SWEDA      the driver writes arquivo; true when it answers 1.
   DARUMA     the driver writes to the return folder, arquivo is not made;
              true when it answers 1.
   DATAREGIS  the fiscal memory reading written to arquivo; false with
              "Falha na execução do comando.\nRetorno: N"; a file that
              cannot be written: "Não foi possível gravar o arquivo
              \"PATH\".", ecf_Retorno -1.
   ELGIN, URANO, none  "Função não suportada pelo modelo do ECF.", false.
   False, quietly, for a date or counter that cannot be read. */
tarvic_Flag TARVIC_API ecf_ArqMFD(const char *arquivo, const char *inicio, const char *fim,
                                  int32_t modo);
/* Has the driver produce the Ato Cotepe 17/04 file of a range as
   "AC1704.txt" in the return folder (deleted first) and records its path
   under "ARQATOCOPETE1704". inicio, fim: dates "dd/mm/aaaa"; SWEDA also
   takes COO counters. Printers without MFD: "Função indisponível ao modelo
   do ECF." and nothing else.
   BEMATECH   through ecf_ArqMFD; a failure there ends quietly, nothing
              recorded.
   SWEDA      reads the fiscal memory image (MFISCAL.BIN in the return folder)
              and has its generator write the file.
   DATAREGIS  one day only: inicio and fim must be equal ("Este ECF não
              permite a geração do Ato Cotepe 17/04 com intervalos de
              datas. ..." otherwise, abort); the generator's errors are shown
              by their texts.
   DARUMA, ELGIN, URANO, none  "Indisponível ao modelo do ECF em uso.".
   Counters on another than SWEDA: "Parâmetro inválido ao gerar arquivo
   eletrônico no layout Ato Cotepe 17/04.\nUtilize intervalos por Data.",
   abort. No result: when no file was made, "Não foi possível gerar o arquivo
   eletrônico no layout Ato Cotepe 17/04.\nFalha desconhecida."; the host
   learns of success by the file. */
void TARVIC_API ecf_AtoCotepe1704(const char *inicio, const char *fim);
/* Has the driver produce the Sintegra file arquivo for the month of
   dataInicial (BEMATECH, SWEDA, ELGIN) or for the range dataInicial to
   dataFinal (DARUMA, which writes to its own folder and does not take
   arquivo). texto1 to texto10 are the company data the driver asks for,
   passed on as given (DARUMA does not take texto1). True when the driver
   answers 1; ecf_Retorno untouched. DATAREGIS, URANO and none: "Método para
   geração do Sintegra indisponível para este fabricante.", false. */
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
