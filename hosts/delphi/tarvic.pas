{ tarvic.pas - the exports of tarvic.dll for Delphi and Lazarus/Free Pascal.

  Add this unit to the project and keep tarvic.dll, with the manufacturer's
  driver DLLs, beside the executable. The program must be 32-bit (Win32).
  include/tarvic.h documents every function: arguments, results, failure
  values, what goes to ecf_Retorno and to the return file, and where the
  manufacturers differ.

  - Every function is stdcall and imported by its plain name.
  - Texts are PAnsiChar, NUL-terminated Windows-1252 (nil is the empty
    text). From a Delphi 2009+ string pass PAnsiChar(AnsiString(S)).
  - Flags are one byte: Boolean. The library answers 0 or 1 and takes any
    non-zero byte as true.
  - Money is Currency both ways: a signed 64-bit count of ten-thousandths
    (12,50 is 125000); a money result comes back on the x87 stack, as a
    Currency function result does.
  - Dates are TDateTime: days since 30/12/1899, the fraction the time of day.
  - ecf_Retorno, the last return code of the driver (1 is success), is data
    the DLL exports, which neither Delphi nor Free Pascal can import by a
    declaration: the unit finds its address in the loaded tarvic.dll when it
    starts, and the function ecf_Retorno reads it.

  The same file compiles with Delphi (unit Windows) and with Free Pascal in
  Delphi mode (unit dynlibs). }
unit tarvic;

{$IFDEF FPC}
{$MODE DELPHI}
{$ENDIF}

interface

const
  TarvicDll = 'tarvic.dll';

  { Message-box flags a handler receives and the buttons it answers. }
  MB_INFORMACAO = $40; { MB_OK or MB_ICONINFORMATION }
  MB_PERGUNTA = $24;   { MB_YESNO or MB_ICONQUESTION }
  ID_OK = 1;
  ID_SIM = 6;
  ID_NAO = 7;

type
  { Operator message handler: the message, the caption (the manufacturer's
    name) and the message-box flags; returns the button pressed. }
  TEcfTratadorMensagem = function(Texto, Titulo: PAnsiChar; Tipo: Cardinal): Integer; stdcall;

var
  { Address of the DLL's ecf_Retorno; nil when tarvic.dll is not loaded. }
  ecf_RetornoEndereco: PInteger = nil;

{ The last return code of the manufacturer's driver; 1 is success (0 when
  tarvic.dll is not loaded). }
function ecf_Retorno: Integer;

{ The declarations below are made from tarvic/exportacoes.inc by hosts/gera_kits.py. }
{ ---- Library frame, start-up and configuration ---- }
function ecf_Inicializa(Nome, Porta, PastaBase: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_SetarPafRetorno: Boolean; stdcall; external TarvicDll;
function ecf_SetArqRetorno(Arquivo: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_SetUF(Uf: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_SetPafMd5(Md5: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_SetHorarioVerao(Ativo: Boolean): Boolean; stdcall; external TarvicDll;
function ecf_DllVersao: Integer; stdcall; external TarvicDll;
function ecf_IdFabricante: Integer; stdcall; external TarvicDll;
function ecf_SetTratadorMensagem(Tratador: TEcfTratadorMensagem): Boolean; stdcall; external TarvicDll;

{ ---- Printer status, power and recovery ---- }
function ecf_StatusAtu(Registrar: Boolean): Boolean; stdcall; external TarvicDll;
function ecf_Ligado(Mostrar: Boolean): Boolean; stdcall; external TarvicDll;
function ecf_TratarDesligamento: Boolean; stdcall; external TarvicDll;
function ecf_AbrirPortaSerial: Boolean; stdcall; external TarvicDll;
function ecf_FecharPortaSerial: Integer; stdcall; external TarvicDll;
procedure ecf_DestravaImpressora; stdcall; external TarvicDll;
function ecf_StatusSemPapel: Boolean; stdcall; external TarvicDll;
function ecf_AbrirGaveta: Integer; stdcall; external TarvicDll;
function dllG2_leInteiro(Nome: PAnsiChar): Integer; stdcall; external TarvicDll;

{ ---- Fiscal coupon ---- }
function ecf_AbreCupom: Boolean; stdcall; external TarvicDll;
procedure set_CpfCliente(Cpf: PAnsiChar); stdcall; external TarvicDll;
procedure set_ieCnpj(Ie, Cnpj: PAnsiChar); stdcall; external TarvicDll;
procedure set_ConcessaoDF(Concessao: Boolean); stdcall; external TarvicDll;
procedure set_vIcmCupom(Valor: Currency); stdcall; external TarvicDll;
function ecf_VendeItem(Codigo, Descricao, Unidade: PAnsiChar; Ignorado4: Integer;
  Aliquota: PAnsiChar; Ignorado6: Integer;
  Quantidade, ValorUnitario, TipoAcrescimo, ValorAcrescimo: PAnsiChar; Ignorado11: Integer;
  Servico: Boolean; NumeroItem: Integer): Boolean; stdcall; external TarvicDll;
function ecf_CancelaItemGenerico(NumeroItem: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_CancelaCupom: Boolean; stdcall; external TarvicDll;
function ecf_IniciaFechamentoCupom(AcrescimoDesconto, Valor: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_EfetuaFormaPagto(FormaPagamento: PAnsiChar; Valor: Currency): Boolean; stdcall; external TarvicDll;
function ecf_TerminaFechamentoCupom(MensagemCupom: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_SubtotalCupom: Currency; stdcall; external TarvicDll;

{ ---- Non-fiscal documents ---- }
function ecf_RecebimentoNaoFiscal(Totalizador: PAnsiChar; Valor: Currency;
  FormaPagamento: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_Suprimento(Valor: Currency): Boolean; stdcall; external TarvicDll;
function ecf_Sangria(Valor: Currency): Boolean; stdcall; external TarvicDll;
function ecf_AbreComprovanteNaoFiscalVinculado(FormaPagamento: PAnsiChar; Valor: Currency;
  Coo: Integer): Boolean; stdcall; external TarvicDll;
function ecf_UsaComprovanteNaoFiscalVinculado(Texto: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_FechaComprovanteNaoFiscalVinculado: Boolean; stdcall; external TarvicDll;

{ ---- Printer programming and day reports ---- }
function ecf_StatusComprovanteNaoFiscalVinculado: Boolean; stdcall; external TarvicDll;
function ecf_ProgramaFormasPagamento(Lista: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_NomeiaTotalizadorNaoFiscal(Indice: Integer; Nome: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_VerificaRelatorioGerencial(Nome: PAnsiChar): Integer; stdcall; external TarvicDll;
function ecf_NomeiaRelatorioGerencial(Nome: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_CadastraRelatorioGerencial: Boolean; stdcall; external TarvicDll;
function ecf_RelatorioGerencial(Texto, Nome: PAnsiChar; Centralizar: Boolean): Boolean; stdcall; external TarvicDll;
function ecf_FechaRelatorioGerencial: Boolean; stdcall; external TarvicDll;
function ecf_StatusRelatorioGerencial: Boolean; stdcall; external TarvicDll;
function ecf_LeituraX: Boolean; stdcall; external TarvicDll;
function ecf_ReducaoZ: Boolean; stdcall; external TarvicDll;
function ecf_ReducaoZPendente: Boolean; stdcall; external TarvicDll;
function ecf_Bloqueado: Boolean; stdcall; external TarvicDll;
procedure ecf_ProgramaHorarioVerao; stdcall; external TarvicDll;
procedure ecf_ConfiguraArredondamento; stdcall; external TarvicDll;
function ecf_ModoArredondamento: Boolean; stdcall; external TarvicDll;
procedure ecf_LeituraMemoriaFiscalData(DataInicial, DataFinal, Tipo: PAnsiChar; Arquivo: Boolean);
  stdcall; external TarvicDll;
procedure ecf_LeituraMemoriaFiscalReducao(ReducaoInicial, ReducaoFinal: Integer; Tipo: PAnsiChar;
  Arquivo: Boolean); stdcall; external TarvicDll;

{ ---- Printer queries ---- }
function ecf_NumeroCaixa: Boolean; stdcall; external TarvicDll;
function ecf_NumeroCupom: Integer; stdcall; external TarvicDll;
function ecf_NumeroSerial: Boolean; stdcall; external TarvicDll;
function ecf_NumeroCDC: Integer; stdcall; external TarvicDll;
function ecf_NumeroGRG: Integer; stdcall; external TarvicDll;
function ecf_NumeroGNF: Integer; stdcall; external TarvicDll;
function ecf_NumeroCCF: Integer; stdcall; external TarvicDll;
function ecf_GtAtu: Currency; stdcall; external TarvicDll;
function ecf_Modelo: Boolean; stdcall; external TarvicDll;
function ecf_TipoMFD: Boolean; stdcall; external TarvicDll;
function ecf_DataUltReducao: TDateTime; stdcall; external TarvicDll;
function ecf_DataHora: TDateTime; stdcall; external TarvicDll;
function ecf_UltDataHoraDocumento: TDateTime; stdcall; external TarvicDll;
function ecf_IE: Integer; stdcall; external TarvicDll;
function ecf_NumeroUsuario: Boolean; stdcall; external TarvicDll;
function ecf_CodigoModeloFiscal: Boolean; stdcall; external TarvicDll;

{ ---- PAF-ECF electronic files ---- }
function ecf_PegaDadosUltReducao(Arquivo, Texto: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_DownLoadDaMFD(Arquivo, Inicio, Fim: PAnsiChar): Boolean; stdcall; external TarvicDll;
function ecf_ArqMFD(Arquivo, Inicio, Fim: PAnsiChar; Modo: Integer): Boolean; stdcall; external TarvicDll;
procedure ecf_AtoCotepe1704(Inicio, Fim: PAnsiChar); stdcall; external TarvicDll;
function ecf_GeraSintegra(Arquivo: PAnsiChar; DataInicial, DataFinal: TDateTime;
  Texto1, Texto2, Texto3, Texto4, Texto5, Texto6, Texto7, Texto8, Texto9, Texto10: PAnsiChar): Boolean;
  stdcall; external TarvicDll;
{ End of the declarations made from tarvic/exportacoes.inc. }

implementation

uses
{$IFDEF FPC}
  dynlibs;
{$ELSE}
  Windows;
{$ENDIF}

var
  Modulo: {$IFDEF FPC}TLibHandle{$ELSE}HMODULE{$ENDIF} = 0;

function ecf_Retorno: Integer;
begin
  if ecf_RetornoEndereco <> nil then
    Result := ecf_RetornoEndereco^
  else
    Result := 0;
end;

initialization
  { The functions above already loaded tarvic.dll with the program; this
    only takes the address of its exported integer. }
  Modulo := LoadLibrary(TarvicDll);
  if Modulo <> 0 then
    ecf_RetornoEndereco := PInteger(GetProcAddress(Modulo, 'ecf_Retorno'));

finalization
  ecf_RetornoEndereco := nil;
  if Modulo <> 0 then
    FreeLibrary(Modulo);
end.
