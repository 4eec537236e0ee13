{ exemplo.dpr - calls every export of tarvic.dll once, in the order a shop's
  day uses them: start-up, a sale, non-fiscal documents, reports, queries
  and files. Run it beside tarvic.dll and the simulator's stand-in drivers
  (the try-out kit): exemplo BEMATECH C:\PDV [--reducao-z] }
program exemplo;

{$IFDEF FPC}
{$MODE DELPHI}
{$ENDIF}
{$APPTYPE CONSOLE}

uses
  SysUtils,
  tarvic in 'tarvic.pas';

{ Messages go to the console; a question (retry?) is answered No. }
function Operador(Texto, Titulo: PAnsiChar; Tipo: Cardinal): Integer; stdcall;
begin
  WriteLn('[', Titulo, '] ', Texto);
  if Tipo = MB_PERGUNTA then
    Result := ID_NAO
  else
    Result := ID_OK;
end;

procedure Passo(const Descricao: string; Ok: Boolean);
begin
  WriteLn(Descricao, ': ', BoolToStr(Ok, 'ok', 'FALHOU'), ' (ecf_Retorno ', ecf_Retorno, ')');
end;

procedure Valor(const Descricao: string; const Texto: string);
begin
  WriteLn(Descricao, ': ', Texto);
end;

var
  Fabricante, Pasta: AnsiString;
  Arquivo: AnsiString;
  Subtotal: Currency;
begin
  Fabricante := 'BEMATECH';
  Pasta := 'C:\PDV';
  if ParamCount >= 1 then
    Fabricante := AnsiString(ParamStr(1));
  if ParamCount >= 2 then
    Pasta := AnsiString(ParamStr(2));

  { Start-up and configuration }
  Passo('ecf_SetTratadorMensagem', ecf_SetTratadorMensagem(Operador));
  Valor('ecf_DllVersao', IntToStr(ecf_DllVersao));
  Passo('ecf_Inicializa', ecf_Inicializa(PAnsiChar(Fabricante), 'COM1', PAnsiChar(Pasta)));
  Valor('ecf_IdFabricante', IntToStr(ecf_IdFabricante));
  Passo('ecf_SetarPafRetorno', ecf_SetarPafRetorno);
  Passo('ecf_SetArqRetorno', ecf_SetArqRetorno(PAnsiChar(Pasta + '\retornoEcf\meuRetorno.ini')));
  Passo('ecf_SetUF', ecf_SetUF('MG'));
  Passo('ecf_SetPafMd5', ecf_SetPafMd5('3F2A1C0D9E8B7A6F5E4D3C2B1A098765'));
  Valor('ecf_SetHorarioVerao', BoolToStr(ecf_SetHorarioVerao(False), True));

  { Status, power and recovery }
  Passo('ecf_AbrirPortaSerial', ecf_AbrirPortaSerial);
  Passo('ecf_Ligado', ecf_Ligado(True));
  Passo('ecf_TratarDesligamento', ecf_TratarDesligamento);
  Passo('ecf_StatusAtu', ecf_StatusAtu(True));
  Passo('ecf_StatusSemPapel', not ecf_StatusSemPapel);
  ecf_DestravaImpressora;
  Valor('ecf_AbrirGaveta', IntToStr(ecf_AbrirGaveta));
  Valor('dllG2_leInteiro COO (DATAREGIS e URANO)', IntToStr(dllG2_leInteiro('COO')));

  { Programming }
  Passo('ecf_ProgramaFormasPagamento', ecf_ProgramaFormasPagamento('Dinheiro;Cartao;'));
  Passo('ecf_NomeiaTotalizadorNaoFiscal', ecf_NomeiaTotalizadorNaoFiscal(3, 'Abertura'));
  Passo('ecf_NomeiaRelatorioGerencial', ecf_NomeiaRelatorioGerencial('Relatorio Geral'));
  Valor('ecf_VerificaRelatorioGerencial', IntToStr(ecf_VerificaRelatorioGerencial('Relatorio Geral')));
  Passo('ecf_CadastraRelatorioGerencial (DATAREGIS e URANO)', ecf_CadastraRelatorioGerencial);
  ecf_ConfiguraArredondamento;
  Passo('ecf_ModoArredondamento', not ecf_ModoArredondamento);
  ecf_ProgramaHorarioVerao;

  { A sale with a cancelled item, a subtotal discount and a card receipt }
  Passo('ecf_Suprimento 100,00', ecf_Suprimento(100));
  set_CpfCliente('123.456.789-09');
  set_ieCnpj('062.307.904/0081', '11.222.333/0001-81');
  set_ConcessaoDF(False);
  Passo('ecf_AbreCupom', ecf_AbreCupom);
  set_vIcmCupom(3.94);
  Passo('ecf_VendeItem', ecf_VendeItem('7891000100103', 'ARROZ 5KG', 'UN', 0, 'FF', 0, '2',
    '10,95', '$', '0', 0, False, 1));
  Passo('ecf_VendeItem', ecf_VendeItem('7891000200200', 'FEIJAO 1KG', 'UN', 0, 'FF', 0, '1',
    '8,50', '%', '-10', 0, False, 2));
  Passo('ecf_CancelaItemGenerico', ecf_CancelaItemGenerico('2'));
  Subtotal := ecf_SubtotalCupom;
  Valor('ecf_SubtotalCupom', CurrToStr(Subtotal));
  Passo('ecf_IniciaFechamentoCupom', ecf_IniciaFechamentoCupom('D', '0,90'));
  Passo('ecf_EfetuaFormaPagto', ecf_EfetuaFormaPagto('Cartao', 21.00));
  Passo('ecf_TerminaFechamentoCupom', ecf_TerminaFechamentoCupom('Obrigado!'));
  Passo('ecf_AbreComprovanteNaoFiscalVinculado',
    ecf_AbreComprovanteNaoFiscalVinculado('Cartao', 21.00, ecf_NumeroCupom));
  Passo('ecf_StatusComprovanteNaoFiscalVinculado', ecf_StatusComprovanteNaoFiscalVinculado);
  Passo('ecf_UsaComprovanteNaoFiscalVinculado', ecf_UsaComprovanteNaoFiscalVinculado('VISA ****1234'));
  Passo('ecf_FechaComprovanteNaoFiscalVinculado', ecf_FechaComprovanteNaoFiscalVinculado);
  Passo('ecf_AbreCupom', ecf_AbreCupom);
  Passo('ecf_CancelaCupom', ecf_CancelaCupom);

  { Non-fiscal documents and reports }
  Passo('ecf_RecebimentoNaoFiscal', ecf_RecebimentoNaoFiscal('Recebimento', 15.50, 'Dinheiro'));
  Passo('ecf_RelatorioGerencial', ecf_RelatorioGerencial('FECHAMENTO DO TURNO', 'Relatorio Geral', True));
  Passo('ecf_StatusRelatorioGerencial', ecf_StatusRelatorioGerencial);
  Passo('ecf_FechaRelatorioGerencial', ecf_FechaRelatorioGerencial);
  Passo('ecf_LeituraX', ecf_LeituraX);
  Passo('ecf_Sangria 50,00', ecf_Sangria(50));
  ecf_LeituraMemoriaFiscalData('01012026', '31012026', 'S', False);
  ecf_LeituraMemoriaFiscalReducao(1, 2, 'S', False);

  { Queries }
  Passo('ecf_NumeroCaixa', ecf_NumeroCaixa);
  Valor('ecf_NumeroCupom', IntToStr(ecf_NumeroCupom));
  Passo('ecf_NumeroSerial', ecf_NumeroSerial);
  Valor('ecf_NumeroCDC', IntToStr(ecf_NumeroCDC));
  Valor('ecf_NumeroGRG', IntToStr(ecf_NumeroGRG));
  Valor('ecf_NumeroGNF', IntToStr(ecf_NumeroGNF));
  Valor('ecf_NumeroCCF', IntToStr(ecf_NumeroCCF));
  Valor('ecf_GtAtu', CurrToStr(ecf_GtAtu));
  Passo('ecf_Modelo', ecf_Modelo);
  Passo('ecf_TipoMFD', ecf_TipoMFD);
  Valor('ecf_DataHora', DateTimeToStr(ecf_DataHora));
  Valor('ecf_UltDataHoraDocumento', DateTimeToStr(ecf_UltDataHoraDocumento));
  Valor('ecf_DataUltReducao', DateTimeToStr(ecf_DataUltReducao));
  Valor('ecf_IE (BEMATECH)', IntToStr(ecf_IE));
  Passo('ecf_NumeroUsuario (DARUMA)', ecf_NumeroUsuario);
  Passo('ecf_CodigoModeloFiscal (DARUMA)', ecf_CodigoModeloFiscal);

  { The day's end and the PAF-ECF files: the Z reduction blocks the printer
    until midnight, so it runs only when asked for. }
  Passo('ecf_ReducaoZPendente', not ecf_ReducaoZPendente);
  Passo('ecf_Bloqueado', not ecf_Bloqueado);
  if (ParamCount >= 3) and (ParamStr(3) = '--reducao-z') then
  begin
    Passo('ecf_ReducaoZ', ecf_ReducaoZ);
    Arquivo := Pasta + '\retornoEcf\reducao.txt';
    Passo('ecf_PegaDadosUltReducao', ecf_PegaDadosUltReducao(PAnsiChar(Arquivo), ''));
  end;
  Arquivo := Pasta + '\retornoEcf\mfd.txt';
  Passo('ecf_DownLoadDaMFD', ecf_DownLoadDaMFD(PAnsiChar(Arquivo), '1', '10'));
  Passo('ecf_ArqMFD', ecf_ArqMFD(PAnsiChar(Arquivo), '01/01/2026', '31/01/2026', 0));
  ecf_AtoCotepe1704('01/01/2026', '31/01/2026');
  Arquivo := Pasta + '\retornoEcf\sintegra.txt';
  Passo('ecf_GeraSintegra', ecf_GeraSintegra(PAnsiChar(Arquivo), EncodeDate(2026, 1, 1),
    EncodeDate(2026, 1, 31), '11222333000181', '0623079040081', 'LOJA EXEMPLO', 'BELO HORIZONTE',
    'MG', '3133334444', 'RUA DAS FLORES', '100', 'CENTRO', '30110000'));
  Valor('ecf_FecharPortaSerial', IntToStr(ecf_FecharPortaSerial));
end.
