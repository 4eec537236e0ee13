// Tarvic.cs - the exports of tarvic.dll for C# (.NET Framework, .NET, Mono).
//
// Add this file to the project and keep tarvic.dll, with the manufacturer's
// driver DLLs, beside the executable. tarvic.dll is a 32-bit DLL: build the
// program for x86 (PlatformTarget x86), or a 64-bit process cannot load it.
// include/tarvic.h documents every function: arguments, results, failure
// values, what goes to ecf_Retorno and to the return file, and where the
// manufacturers differ.
//
// - Every function is stdcall and imported by its plain name.
// - Texts are ANSI strings (Windows-1252 on a Brazilian Windows); null is the
//   empty text.
// - Flags are one byte: bool marshalled as U1, both ways.
// - Money arguments are long: a count of ten-thousandths (12,50 is 125000);
//   Ecf.DezMilesimos(12.50m) makes one.
// - Money results (ecf_SubtotalCupom, ecf_GtAtu) come back on the x87 stack
//   as that same count, not as reais: they are declared double and must be
//   divided by 10000. Ecf.Moeda(Ecf.ecf_GtAtu()) gives the decimal amount.
// - Dates are double (OLE Automation dates): DateTime.FromOADate(d).
// - ecf_Retorno, the last return code of the driver (1 is success), is data
//   the DLL exports, not a function: Ecf.Retorno reads it through the loaded
//   tarvic.dll.
// - A message handler given to ecf_SetTratadorMensagem must stay alive while
//   the library may call it: Ecf.DefineTratador keeps it.
using System;
using System.Runtime.InteropServices;

namespace Tarvic
{
    public static class Ecf
    {
        public const string Dll = "tarvic.dll";

        // Message-box flags a handler receives and the buttons it answers.
        public const uint MB_INFORMACAO = 0x40;  // MB_OK | MB_ICONINFORMATION
        public const uint MB_PERGUNTA = 0x24;    // MB_YESNO | MB_ICONQUESTION
        public const int ID_OK = 1, ID_SIM = 6, ID_NAO = 7;

        // Operator message handler: the message, the caption (the
        // manufacturer's name) and the message-box flags; returns the button.
        [UnmanagedFunctionPointer(CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public delegate int TratadorMensagem(string texto, string titulo, uint tipo);

        // The last return code of the manufacturer's driver; 1 is success.
        public static int Retorno
        {
            get
            {
                if (enderecoRetorno == IntPtr.Zero)
                {
                    IntPtr modulo = LoadLibrary(Dll);
                    if (modulo != IntPtr.Zero) enderecoRetorno = GetProcAddress(modulo, "ecf_Retorno");
                    if (enderecoRetorno == IntPtr.Zero) return 0;
                }
                return Marshal.ReadInt32(enderecoRetorno);
            }
        }

        // A money result (a count of ten-thousandths) as an amount in reais.
        public static decimal Moeda(double dezMilesimos)
        {
            return (long)Math.Round(dezMilesimos) / 10000m;
        }

        // An amount in reais as a money argument.
        public static long DezMilesimos(decimal reais)
        {
            return (long)Math.Round(reais * 10000m);
        }

        // ecf_SetTratadorMensagem, keeping the handler from the garbage collector.
        public static bool DefineTratador(TratadorMensagem tratador)
        {
            Tratador = tratador;
            return ecf_SetTratadorMensagem(tratador);
        }

        // The handler given to DefineTratador, held while the library may call it.
        public static TratadorMensagem Tratador { get; private set; }

        private static IntPtr enderecoRetorno = IntPtr.Zero;

        [DllImport("kernel32", CharSet = CharSet.Ansi)]
        private static extern IntPtr LoadLibrary(string nome);
        [DllImport("kernel32", CharSet = CharSet.Ansi, ExactSpelling = true)]
        private static extern IntPtr GetProcAddress(IntPtr modulo, string nome);

        // The declarations below are made from tarvic/exportacoes.inc by hosts/gera_kits.py.
        // ---- Library frame, start-up and configuration ----
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_Inicializa(string nome, string porta, string pastaBase);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_SetarPafRetorno();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_SetArqRetorno(string arquivo);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_SetUF(string uf);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_SetPafMd5(string md5);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_SetHorarioVerao([MarshalAs(UnmanagedType.U1)] bool ativo);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_DllVersao();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_IdFabricante();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_SetTratadorMensagem(TratadorMensagem tratador);

        // ---- Printer status, power and recovery ----
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_StatusAtu([MarshalAs(UnmanagedType.U1)] bool registrar);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_Ligado([MarshalAs(UnmanagedType.U1)] bool mostrar);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_TratarDesligamento();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_AbrirPortaSerial();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_FecharPortaSerial();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void ecf_DestravaImpressora();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_StatusSemPapel();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_AbrirGaveta();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int dllG2_leInteiro(string nome);

        // ---- Fiscal coupon ----
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_AbreCupom();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void set_CpfCliente(string cpf);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void set_ieCnpj(string ie, string cnpj);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void set_ConcessaoDF([MarshalAs(UnmanagedType.U1)] bool concessao);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void set_vIcmCupom(long valor);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_VendeItem(string codigo, string descricao, string unidade,
            int ignorado4, string aliquota, int ignorado6, string quantidade, string valorUnitario,
            string tipoAcrescimo, string valorAcrescimo, int ignorado11,
            [MarshalAs(UnmanagedType.U1)] bool servico, int numeroItem);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_CancelaItemGenerico(string numeroItem);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_CancelaCupom();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_IniciaFechamentoCupom(string acrescimoDesconto, string valor);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_EfetuaFormaPagto(string formaPagamento, long valor);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_TerminaFechamentoCupom(string mensagemCupom);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern double ecf_SubtotalCupom();

        // ---- Non-fiscal documents ----
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_RecebimentoNaoFiscal(string totalizador, long valor,
            string formaPagamento);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_Suprimento(long valor);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_Sangria(long valor);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_AbreComprovanteNaoFiscalVinculado(string formaPagamento,
            long valor, int coo);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_UsaComprovanteNaoFiscalVinculado(string texto);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_FechaComprovanteNaoFiscalVinculado();

        // ---- Printer programming and day reports ----
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_StatusComprovanteNaoFiscalVinculado();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_ProgramaFormasPagamento(string lista);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_NomeiaTotalizadorNaoFiscal(int indice, string nome);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_VerificaRelatorioGerencial(string nome);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_NomeiaRelatorioGerencial(string nome);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_CadastraRelatorioGerencial();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_RelatorioGerencial(string texto, string nome,
            [MarshalAs(UnmanagedType.U1)] bool centralizar);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_FechaRelatorioGerencial();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_StatusRelatorioGerencial();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_LeituraX();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_ReducaoZ();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_ReducaoZPendente();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_Bloqueado();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void ecf_ProgramaHorarioVerao();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void ecf_ConfiguraArredondamento();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_ModoArredondamento();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void ecf_LeituraMemoriaFiscalData(string dataInicial, string dataFinal,
            string tipo, [MarshalAs(UnmanagedType.U1)] bool arquivo);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void ecf_LeituraMemoriaFiscalReducao(int reducaoInicial,
            int reducaoFinal, string tipo, [MarshalAs(UnmanagedType.U1)] bool arquivo);

        // ---- Printer queries ----
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_NumeroCaixa();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_NumeroCupom();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_NumeroSerial();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_NumeroCDC();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_NumeroGRG();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_NumeroGNF();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_NumeroCCF();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern double ecf_GtAtu();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_Modelo();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_TipoMFD();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern double ecf_DataUltReducao();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern double ecf_DataHora();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern double ecf_UltDataHoraDocumento();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int ecf_IE();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_NumeroUsuario();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_CodigoModeloFiscal();

        // ---- PAF-ECF electronic files ----
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_PegaDadosUltReducao(string arquivo, string texto);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_DownLoadDaMFD(string arquivo, string inicio, string fim);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_ArqMFD(string arquivo, string inicio, string fim, int modo);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void ecf_AtoCotepe1704(string inicio, string fim);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        [return: MarshalAs(UnmanagedType.U1)]
        public static extern bool ecf_GeraSintegra(string arquivo, double dataInicial,
            double dataFinal, string texto1, string texto2, string texto3, string texto4,
            string texto5, string texto6, string texto7, string texto8, string texto9,
            string texto10);
        // End of the declarations made from tarvic/exportacoes.inc.
    }
}
