/* A host that calls tarvic.dll the way a Delphi program does, against the
   simulated printer: the x87 control word Delphi loads (0x1332: invalid
   operation, zero divide and overflow unmasked), Boolean arguments in 4-byte
   slots whose upper bytes are garbage, nil for empty texts, every export and
   ecf_Retorno found with GetProcAddress, Currency results taken from the x87
   stack with fistp, dates as TDateTime doubles.
     hospedeiro_delphi FABRICANTE PASTA            a sale of 2 x 10,00
     hospedeiro_delphi --threads FABRICANTE PASTA  a till thread selling while
                                                   a timer thread polls */
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef uint8_t Boolean; /* Delphi reads AL alone */
typedef uint32_t Slot;   /* the stack slot a Boolean argument takes */
typedef int(__stdcall *Tratador)(const char *, const char *, uint32_t);

static const Slot VERDADEIRO = 0xFFFFFF01u, FALSO = 0xABCDEF00u;
static const uint16_t CONTROLE_DELPHI = 0x1332;

static struct {
  Boolean(__stdcall *SetTratadorMensagem)(Tratador);
  Boolean(__stdcall *Inicializa)(const char *, const char *, const char *);
  Boolean(__stdcall *ReducaoZPendente)(void);
  Boolean(__stdcall *ReducaoZ)(void);
  Boolean(__stdcall *Ligado)(Slot);
  Boolean(__stdcall *StatusAtu)(Slot);
  void(__stdcall *set_CpfCliente)(const char *);
  Boolean(__stdcall *AbreCupom)(void);
  Boolean(__stdcall *VendeItem)(const char *, const char *, const char *, int32_t, const char *,
                                int32_t, const char *, const char *, const char *, const char *,
                                int32_t, Slot, int32_t);
  Boolean(__stdcall *IniciaFechamentoCupom)(const char *, const char *);
  Boolean(__stdcall *EfetuaFormaPagto)(const char *, int64_t);
  Boolean(__stdcall *TerminaFechamentoCupom)(const char *);
  int32_t(__stdcall *NumeroCCF)(void);
  double(__stdcall *DataHora)(void);
  double(__stdcall *UltDataHoraDocumento)(void);
  void *SubtotalCupom, *GtAtu; /* Currency results: see Moeda */
  int32_t *Retorno;
} ecf;

static const struct {
  const char *nome;
  void **endereco;
} exportacoes[] = {
    {"ecf_SetTratadorMensagem", (void **)&ecf.SetTratadorMensagem},
    {"ecf_Inicializa", (void **)&ecf.Inicializa},
    {"ecf_ReducaoZPendente", (void **)&ecf.ReducaoZPendente},
    {"ecf_ReducaoZ", (void **)&ecf.ReducaoZ},
    {"ecf_Ligado", (void **)&ecf.Ligado},
    {"ecf_StatusAtu", (void **)&ecf.StatusAtu},
    {"set_CpfCliente", (void **)&ecf.set_CpfCliente},
    {"ecf_AbreCupom", (void **)&ecf.AbreCupom},
    {"ecf_VendeItem", (void **)&ecf.VendeItem},
    {"ecf_IniciaFechamentoCupom", (void **)&ecf.IniciaFechamentoCupom},
    {"ecf_EfetuaFormaPagto", (void **)&ecf.EfetuaFormaPagto},
    {"ecf_TerminaFechamentoCupom", (void **)&ecf.TerminaFechamentoCupom},
    {"ecf_NumeroCCF", (void **)&ecf.NumeroCCF},
    {"ecf_DataHora", (void **)&ecf.DataHora},
    {"ecf_UltDataHoraDocumento", (void **)&ecf.UltDataHoraDocumento},
    {"ecf_SubtotalCupom", &ecf.SubtotalCupom},
    {"ecf_GtAtu", &ecf.GtAtu},
    {"ecf_Retorno", (void **)&ecf.Retorno},
};

static volatile LONG falhas, acertos, mensagens, chamadas;
static uint16_t controleLido; /* 0x1332 as the processor reads it back */
static char pasta[MAX_PATH], estado[MAX_PATH];

static void Confere(int condicao, const char *o_que) {
  if (condicao) {
    InterlockedIncrement(&acertos);
    printf("ok: %s\n", o_que);
  } else {
    InterlockedIncrement(&falhas);
    printf("FALHOU: %s\n", o_que);
  }
}

static uint16_t ControleX87(void) {
  uint16_t cw;
  __asm__ volatile("fnstcw %0" : "=m"(cw));
  return cw;
}

static uint16_t EstadoX87(void) {
  uint16_t sw;
  __asm__ volatile("fnstsw %0" : "=m"(sw));
  return sw;
}

/* What Delphi's start-up (and BeginThread) does: Set8087CW($1332). */
static void CarregaControleDelphi(void) {
  __asm__ volatile("fninit\n\tfldcw %0" : : "m"(CONTROLE_DELPHI));
}

/* After every call: the host's control word as it was, and no exception
   pending that the host left unmasked (it would fire on the host's next
   floating-point instruction). A fault is reported and cleared, so that the
   run goes on. */
static void ConfereX87(const char *depois) {
  const uint16_t cw = ControleX87(), sw = EstadoX87();
  const int pendente = (sw & 0x80) || (sw & 0x3F & ~cw);
  InterlockedIncrement(&chamadas);
  if (cw == controleLido && !pendente) return;
  InterlockedIncrement(&falhas);
  printf("FALHOU: depois de %s, controle do x87 0x%04X (lido 0x%04X), estado 0x%04X%s\n", depois,
         cw, controleLido, sw, pendente ? ": excecao pendente" : "");
  CarregaControleDelphi();
}

#define CHAMA(chamada)                        \
  ({                                          \
    __typeof__(chamada) resultado_ = chamada; \
    ConfereX87(#chamada);                     \
    resultado_;                               \
  })

/* A Currency result as Delphi takes it: the 64-bit count in st(0), stored
   with fistp under the host's rounding. An export that left st(0) empty
   raises an invalid operation here and stores nothing. */
static int64_t Moeda(void *funcao, const char *nome) {
  int64_t valor = INT64_MIN;
  __asm__ volatile("call *%1\n\tfistpll %0"
                   : "+m"(valor)
                   : "r"(funcao)
                   : "eax", "ecx", "edx", "memory", "cc");
  ConfereX87(nome);
  return valor;
}

static int __stdcall Operador(const char *texto, const char *titulo, uint32_t tipo) {
  InterlockedIncrement(&mensagens);
  printf("mensagem [%s]: %s\n", titulo ? titulo : "", texto ? texto : "");
  return tipo == 0x24 ? IDNO : IDOK;
}

static int CarregaExportacoes(void) {
  HMODULE dll = LoadLibraryA("tarvic.dll");
  if (!dll) return 0;
  for (size_t i = 0; i < sizeof exportacoes / sizeof exportacoes[0]; ++i) {
    *exportacoes[i].endereco = (void *)GetProcAddress(dll, exportacoes[i].nome);
    if (!*exportacoes[i].endereco) {
      printf("FALHOU: %s nao encontrada em tarvic.dll\n", exportacoes[i].nome);
      return 0;
    }
  }
  return 1;
}

/* The printer's fault-control file, beside its state file. */
static void Provoca(const char *falha) {
  char controle[MAX_PATH];
  snprintf(controle, sizeof controle, "%s\\impressora.falhas", pasta);
  FILE *f = fopen(controle, "ab");
  if (f) fprintf(f, "%s\n", falha), fclose(f);
}

static int Inicia(const char *fabricante) {
  CreateDirectoryA(pasta, NULL);
  snprintf(estado, sizeof estado, "%s\\impressora.json", pasta);
  /* The stand-ins read the C runtime's copy of the environment. */
  _putenv_s("TARVIC_SIM_ESTADO", estado);
  _putenv_s("TARVIC_SIM_FABRICANTE", fabricante);
  _putenv_s("TARVIC_SIM_FALHAS", "");
  _putenv_s("TARVIC_LOG", "");
  CHAMA(ecf.SetTratadorMensagem(Operador));
  if (!CHAMA(ecf.Inicializa(fabricante, "COM1", pasta))) return 0;
  if (CHAMA(ecf.ReducaoZPendente()) && !CHAMA(ecf.ReducaoZ())) return 0;
  return 1;
}

static int DllG2(const char *fabricante) {
  return strcmp(fabricante, "DATAREGIS") == 0 || strcmp(fabricante, "URANO") == 0;
}

/* 2 x 10,00, the service flag false with garbage above it, no adjustment
   (nil) and no closing message (nil). */
static int Vende(const char *fabricante, int64_t *subtotal) {
  ecf.set_CpfCliente(NULL);
  ConfereX87("set_CpfCliente");
  if (!CHAMA(ecf.AbreCupom())) return 0;
  if (!CHAMA(ecf.VendeItem("7891000100103", "ARROZ 5KG", "UN", 0,
                           DllG2(fabricante) ? "18,00" : "1800", 0, "2", "10,00", "$", NULL, 0,
                           FALSO, 1)))
    return 0;
  *subtotal = Moeda(ecf.SubtotalCupom, "ecf_SubtotalCupom");
  return CHAMA(ecf.IniciaFechamentoCupom("D", NULL)) &&
         CHAMA(ecf.EfetuaFormaPagto("Dinheiro", 200000)) && CHAMA(ecf.TerminaFechamentoCupom(NULL));
}

/* The host's clock as a TDateTime: days since 30/12/1899. */
static double Agora(void) {
  SYSTEMTIME s;
  FILETIME f;
  GetLocalTime(&s);
  SystemTimeToFileTime(&s, &f);
  const uint64_t n = ((uint64_t)f.dwHighDateTime << 32) | f.dwLowDateTime;
  return (double)(n / 10000) / 86400000.0 - 109205.0; /* 1601 to 1899 */
}

static void ConfereDatas(void) {
  const double minuto = 1.0 / 1440, agora = Agora();
  const double ecfAgora = CHAMA(ecf.DataHora()), documento = CHAMA(ecf.UltDataHoraDocumento());
  Confere(ecfAgora > agora - 10 * minuto && ecfAgora < agora + 10 * minuto,
          "ecf_DataHora como TDateTime, no relogio do hospedeiro");
  Confere(documento > ecfAgora - 10 * minuto && documento <= ecfAgora + minuto,
          "ecf_UltDataHoraDocumento: o cupom de agora");
}

/* ecf_Ligado's flag decides whether the operator is told; DLLG2 printers
   are not asked whether they answer. */
static void ConfereBooleanos(const char *fabricante) {
  if (DllG2(fabricante)) return;
  Provoca("desligada");
  const LONG antes = mensagens;
  Confere(!CHAMA(ecf.Ligado(FALSO)) && mensagens == antes && *ecf.Retorno != 1,
          "ecf_Ligado(0xABCDEF00) desligada: falso, sem mensagem");
  Confere(!CHAMA(ecf.Ligado(VERDADEIRO)) && mensagens == antes + 1,
          "ecf_Ligado(0xFFFFFF01) desligada: falso, uma mensagem");
  Provoca("ligada");
  Confere(CHAMA(ecf.Ligado(VERDADEIRO)) && *ecf.Retorno == 1, "ecf_Ligado(0xFFFFFF01) ligada");
}

static void Venda(const char *fabricante) {
  const int32_t ccf = CHAMA(ecf.NumeroCCF());
  const int64_t gt = Moeda(ecf.GtAtu, "ecf_GtAtu");
  const LONG antes = mensagens; /* BEMATECH's start-up misses BEMAFI32.INI */
  int64_t subtotal = 0;
  Confere(Vende(fabricante, &subtotal) && mensagens == antes, "venda de 2 x 10,00 fechada");
  printf("ecf_SubtotalCupom %lld, ecf_GtAtu %lld\n", (long long)subtotal, (long long)gt);
  Confere(subtotal == 200000, "ecf_SubtotalCupom do st(0) por fistp: 200000");
  const int64_t cresceu = Moeda(ecf.GtAtu, "ecf_GtAtu") - gt;
  printf("ecf_GtAtu cresceu %lld\n", (long long)cresceu);
  Confere(cresceu == 200000, "ecf_GtAtu cresceu exatamente 200000");
  Confere(CHAMA(ecf.NumeroCCF()) == ccf + 1, "ecf_NumeroCCF contou o cupom");
  Confere(*ecf.Retorno == 1, "ecf_Retorno (GetProcAddress) e 1");
  ConfereDatas();
  ConfereBooleanos(fabricante);
}

enum { VENDAS = 10 };
static volatile LONG vendendo = 1, consultas, consultasFalhas;

/* The timer thread, with Delphi's control word of its own. */
static DWORD WINAPI Relogio(LPVOID nada) {
  (void)nada;
  CarregaControleDelphi();
  while (vendendo) {
    if (!CHAMA(ecf.StatusAtu(VERDADEIRO))) InterlockedIncrement(&consultasFalhas);
    if (!CHAMA(ecf.Ligado(FALSO))) InterlockedIncrement(&consultasFalhas);
    InterlockedIncrement(&consultas);
  }
  return 0;
}

static void Threads(const char *fabricante) {
  const int32_t ccf = CHAMA(ecf.NumeroCCF());
  const int64_t gt = Moeda(ecf.GtAtu, "ecf_GtAtu");
  const LONG antes = mensagens;
  HANDLE relogio = CreateThread(NULL, 0, Relogio, NULL, 0, NULL);
  int vendidas = 0;
  for (int i = 0; i < VENDAS; ++i) {
    /* At least one poll between two sales; more fall inside them. */
    for (const LONG c = consultas; consultas == c && relogio;) Sleep(0);
    int64_t subtotal = 0;
    vendidas += Vende(fabricante, &subtotal) && subtotal == 200000;
  }
  InterlockedExchange(&vendendo, 0);
  WaitForSingleObject(relogio, INFINITE);
  const int32_t contados = CHAMA(ecf.NumeroCCF()) - ccf;
  const int64_t cresceu = Moeda(ecf.GtAtu, "ecf_GtAtu") - gt;
  printf("%d vendas de %d, CCF +%d, GT +%lld, %ld consultas (%ld falsas), %ld mensagens\n",
         vendidas, VENDAS, (int)contados, (long long)cresceu, consultas, consultasFalhas,
         mensagens - antes);
  Confere(relogio && vendidas == VENDAS && contados == VENDAS, "cada cupom vendido e contado");
  Confere(cresceu == VENDAS * 200000LL, "ecf_GtAtu cresceu exatamente 10 x 200000");
  Confere(consultas > 0 && consultasFalhas == 0 && mensagens == antes,
          "consultas do relogio respondidas, nenhuma mensagem");
}

int main(int argc, char **argv) {
  const int threads = argc == 4 && strcmp(argv[1], "--threads") == 0;
  if (argc != 3 + threads) {
    fprintf(stderr, "uso: %s [--threads] FABRICANTE PASTA\n", argv[0]);
    return 2;
  }
  const char *fabricante = argv[1 + threads];
  snprintf(pasta, sizeof pasta, "%s", argv[2 + threads]);
  CarregaControleDelphi();
  controleLido = ControleX87();
  printf("controle do x87: carregado 0x%04X, lido 0x%04X\n", CONTROLE_DELPHI, controleLido);
  if (!CarregaExportacoes()) return 1;
  Confere(Inicia(fabricante), "ecf_Inicializa com o controle do Delphi");
  if (falhas == 0) threads ? Threads(fabricante) : Venda(fabricante);
  printf("x87: %ld chamadas conferidas\n", chamadas);
  printf("%ld passed, %ld failed\n", acertos, falhas);
  return falhas == 0 ? 0 : 1;
}
