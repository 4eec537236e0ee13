// Exemplo.cs - a sale through tarvic.dll from C#. Build for x86 beside
// Tarvic.cs; run it beside tarvic.dll and the drivers (or the simulator's
// stand-ins of the try-out kit).
using System;
using Tarvic;

public static class Exemplo
{
    // Messages go to the console; a question (retry?) is answered No.
    static int Operador(string texto, string titulo, uint tipo)
    {
        Console.WriteLine("[" + titulo + "] " + texto);
        return tipo == Ecf.MB_PERGUNTA ? Ecf.ID_NAO : Ecf.ID_OK;
    }

    public static int Main(string[] argumentos)
    {
        string fabricante = argumentos.Length > 0 ? argumentos[0] : "BEMATECH";
        Ecf.DefineTratador(Operador);
        if (!Ecf.ecf_Inicializa(fabricante, "COM1", @"C:\PDV")) return 1;
        Ecf.ecf_SetUF("MG");
        Ecf.ecf_AbreCupom();
        Ecf.ecf_VendeItem("7891000100103", "ARROZ 5KG", "UN", 0, "F", 0, "1", "21,90", "$", "0", 0,
                          false, 1);
        Ecf.ecf_IniciaFechamentoCupom("D", "0");
        Ecf.ecf_EfetuaFormaPagto("Dinheiro", Ecf.DezMilesimos(21.90m));
        Ecf.ecf_TerminaFechamentoCupom("Obrigado!");
        Console.WriteLine("Grande total: " + Ecf.Moeda(Ecf.ecf_GtAtu()).ToString("N2"));
        Console.WriteLine("Data do ECF: " + DateTime.FromOADate(Ecf.ecf_DataHora()));
        return Ecf.Retorno == 1 ? 0 : 1;
    }
}
