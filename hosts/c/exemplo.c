/* exemplo.c - a sale through tarvic.dll from C. Build it for 32-bit Windows
   against the import library, in the try-out kit's pdv folder (beside
   tarvic.h and libtarvic.dll.a; the 32-bit MinGW-w64 gcc of Windows takes the
   same arguments):
     i686-w64-mingw32-gcc hosts/c/exemplo.c -I . -L . -ltarvic.dll -o exemplo.exe
   and run it beside tarvic.dll and the drivers, or in the kit's simulador
   folder with the simulator's stand-ins. It uses the base folder C:\PDV. */
#include <stdio.h>

#include "tarvic.h"

/* Messages go to the console; a question (retry?) is answered No. */
static int TARVIC_API Operador(const char *texto, const char *titulo, uint32_t tipo) {
  printf("[%s] %s\n", titulo, texto);
  return tipo == 0x24 ? 7 /* IDNO */ : 1 /* IDOK */;
}

int main(int argc, char **argv) {
  const char *fabricante = argc > 1 ? argv[1] : "BEMATECH";
  ecf_SetTratadorMensagem(Operador); /* optional: otherwise message boxes */
  if (!ecf_Inicializa(fabricante, "COM1", "C:\\PDV")) return 1;
  ecf_SetUF("MG");
  ecf_AbreCupom();
  ecf_VendeItem("7891000100103", "ARROZ 5KG", "UN", 0, "F", 0, "1", "21,90", "$", "0", 0, 0, 1);
  ecf_IniciaFechamentoCupom("D", "0");
  ecf_EfetuaFormaPagto("Dinheiro", 219000); /* 21,90 in ten-thousandths */
  ecf_TerminaFechamentoCupom("Obrigado!");
  /* A money result is the ten-thousandths count on the x87 stack. */
  printf("Grande total: %.2f\n", (double)(ecf_GtAtu() / 10000.0L));
  return ecf_Retorno == 1 ? 0 : 1;
}
