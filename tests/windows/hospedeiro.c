/* A Windows host of tarvic.dll: loads it through its import library, sets a
   message handler and runs a few exports end to end against the scripted
   stand-in drivers, with real files and the Windows INI API. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "tarvic.h"

static int falhas, acertos;
static char ultimaMensagem[2048], ultimoTitulo[128];
static unsigned ultimoTipo, totalMensagens;

static int TARVIC_API Tratador(const char *texto, const char *titulo, uint32_t tipo) {
  snprintf(ultimaMensagem, sizeof ultimaMensagem, "%s", texto);
  snprintf(ultimoTitulo, sizeof ultimoTitulo, "%s", titulo);
  ultimoTipo = tipo;
  ++totalMensagens;
  return tipo == 0x24 ? IDNO : IDOK;
}

static void Confere(int condicao, const char *o_que) {
  if (condicao) {
    ++acertos;
    printf("ok: %s\n", o_que);
  } else {
    ++falhas;
    printf("FALHOU: %s (ultima mensagem: [%s])\n", o_que, ultimaMensagem);
  }
}

/* Delphi hosts run with the x87 invalid, zero-divide and overflow exceptions
   unmasked (control word 0x1332); the library must hand it back intact. */
static unsigned short LeControleX87(void) {
  unsigned short cw;
  __asm__ volatile("fnstcw %0" : "=m"(cw));
  return cw;
}

static void DefineControleX87(unsigned short cw) {
  __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(cw));
}

static void Roteiro(const char *funcao, const char *resposta) {
  char nome[256];
  snprintf(nome, sizeof nome, "TARVIC_SUBST_%s", funcao);
  SetEnvironmentVariableA(nome, resposta);
}

int main(void) {
  char base[MAX_PATH], retorno[MAX_PATH], posicao[512];
  GetCurrentDirectoryA(sizeof base, base);
  strcat(base, "\\base");
  CreateDirectoryA(base, NULL);
  snprintf(retorno, sizeof retorno, "%s\\retornoEcf\\meuRetorno.ini", base);
  DeleteFileA(retorno);

  Confere(ecf_SetTratadorMensagem(Tratador) == 1, "ecf_SetTratadorMensagem");
  Confere(ecf_DllVersao() == 1020, "ecf_DllVersao devolve 1020");
  Confere(ecf_IdFabricante() == 0, "ecf_IdFabricante antes do inicio e 0");

  /* The BEMATECH driver's own settings file, beside the host program. */
  char ini[MAX_PATH], lido[MAX_PATH], esperado[MAX_PATH];
  GetModuleFileNameA(NULL, ini, sizeof ini);
  strcpy(strrchr(ini, '\\') + 1, "BEMAFI32.INI");
  WritePrivateProfileStringA("Sistema", "Path", "C:\\", ini);

  Roteiro("Bematech_FI_VersaoDll", "1|5,10,6,8");
  Confere(ecf_Inicializa(" bematech ", "com1", base) == 1, "ecf_Inicializa com BEMATECH");
  Confere(ecf_IdFabricante() == 1, "ecf_IdFabricante e 1");
  Confere(GetFileAttributesA(retorno) != INVALID_FILE_ATTRIBUTES,
          "arquivo de retorno criado na pasta retornoEcf");

  snprintf(esperado, sizeof esperado, "%s\\retornoEcf\\", base);
  GetPrivateProfileStringA("Sistema", "Path", "", lido, sizeof lido, ini);
  Confere(strcmp(lido, esperado) == 0, "BEMAFI32.INI: Path com a pasta de retorno");
  GetPrivateProfileStringA("Sistema", "CrLfGerencial", "", lido, sizeof lido, ini);
  Confere(strcmp(lido, "1") == 0, "BEMAFI32.INI: CrLfGerencial");
  GetPrivateProfileStringA("ECF", "pathRetorno", "", lido, sizeof lido, retorno);
  Confere(strcmp(lido, esperado) == 0, "arquivo de retorno: PATHRETORNO");

  Roteiro("Bematech_FI_RetornoImpressora_INT", "6,128,0");
  Confere(ecf_StatusAtu(1) == 0, "ecf_StatusAtu(true) sem papel da falso");
  Confere(ecf_StatusSemPapel() == 1, "ecf_StatusSemPapel");
  GetPrivateProfileStringA("ECF", "POSICAO", "", posicao, sizeof posicao, retorno);
  Confere(strstr(posicao, "- Sem papel.") != NULL, "POSICAO gravada no arquivo de retorno");
  Roteiro("Bematech_FI_RetornoImpressora_INT", NULL);

  totalMensagens = 0;
  Roteiro("Bematech_FI_VerificaImpressoraLigada", "-6");
  Confere(ecf_Ligado(0xFF) == 0, "ecf_Ligado(true) com a impressora desligada da falso");
  Confere(ecf_Retorno == -6, "ecf_Retorno exportado como dado guarda -6");
  Confere(totalMensagens == 1 && ultimoTipo == 0x40 && strcmp(ultimoTitulo, "BEMATECH") == 0,
          "uma mensagem de informacao com o fabricante no titulo");
  Confere(strcmp(ultimaMensagem,
                 "Falha na comunicação com Impressora Fiscal.\nVerifique se os cabos estão "
                 "conectados, se o ECF está ligado e se há bobina (papel).\n\nRetorno do ECF:  "
                 "-6") == 0,
          "texto da mensagem de impressora desligada");
  Roteiro("Bematech_FI_VerificaImpressoraLigada", NULL);

  {
    const unsigned short original = LeControleX87();
    DefineControleX87(0x1332);
    const unsigned short hospedeiro = LeControleX87(); /* reserved bit 6 reads as 1 */
    Roteiro("Bematech_FI_GrandeTotal", "1|000000000000012345");
    const long double gt = ecf_GtAtu();
    const long double subtotal = ecf_SubtotalCupom();
    const unsigned short depois = LeControleX87();
    DefineControleX87(original);
    Confere(depois == hospedeiro && (hospedeiro & 0x0D) == 0,
            "controle do x87 do hospedeiro devolvido intacto");
    Confere(gt == 1234500.0L, "ecf_GtAtu devolve 123,45 em decimos de milesimo");
    Confere(subtotal == 0.0L, "ecf_SubtotalCupom sem cupom aberto devolve 0");
    Roteiro("Bematech_FI_GrandeTotal", NULL);
  }

  printf("%d passed, %d failed\n", acertos, falhas);
  return falhas == 0 ? 0 : 1;
}
