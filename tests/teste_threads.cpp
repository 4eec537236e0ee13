// Two host threads at once against the simulated printer, as a till program
// runs them: one sells coupons while a timer thread polls the printer's
// status. Every sale must go through whole and be counted once; the
// ThreadSanitizer build checks that the library's state is never touched by
// both at the same time.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tarvic.h"

namespace {

constexpr int VENDAS = 15;

int TARVIC_API Operador(const char *texto, const char *, uint32_t tipo) {
  std::fprintf(stderr, "mensagem: %s\n", texto ? texto : "");
  return tipo == 0x24 ? 7 : 1;
}

bool Venda(int numero) {
  return ecf_AbreCupom() &&
         ecf_VendeItem("7891000100103", "ARROZ 5KG", "UN", 0, "1800", 0, "1", "1,00", "$", "0", 0,
                       0, 1) &&
         ecf_IniciaFechamentoCupom("D", "0") && ecf_EfetuaFormaPagto("Dinheiro", 10000) &&
         ecf_TerminaFechamentoCupom(("Venda " + std::to_string(numero)).c_str());
}

}  // namespace

int main() {
  char modelo[] = "/tmp/tarvic-threads-XXXXXX";
  const char *pasta = mkdtemp(modelo);
  if (!pasta) return 2;
  setenv("TARVIC_SIM_ESTADO", (std::string(pasta) + "/impressora.json").c_str(), 1);
  unsetenv("TARVIC_SIM_FALHAS");
  unsetenv("TARVIC_LOG");
  ecf_SetTratadorMensagem(Operador);
  if (!ecf_Inicializa("BEMATECH", "COM1", pasta)) return 2;
  const int32_t ccfAntes = ecf_NumeroCCF();
  const long double gtAntes = ecf_GtAtu();

  std::atomic<bool> vendendo{true};
  std::atomic<int> consultas{0};
  std::thread relogio([&] {
    while (vendendo) {
      ecf_StatusAtu(1);
      ecf_StatusSemPapel();
      ++consultas;
    }
  });
  int vendidas = 0;
  for (int i = 0; i < VENDAS; ++i) {
    // At least one status poll between two sales; more fall inside them.
    for (const int c = consultas; consultas == c;) std::this_thread::yield();
    vendidas += Venda(i) ? 1 : 0;
  }
  vendendo = false;
  relogio.join();

  const int32_t ccf = ecf_NumeroCCF() - ccfAntes;
  const long double gt = ecf_GtAtu() - gtAntes;
  std::printf("%d vendas de %d, CCF +%d, GT +%.0Lf, %d consultas de status\n", vendidas, VENDAS,
              ccf, gt, consultas.load());
  const bool ok = vendidas == VENDAS && ccf == VENDAS && gt == VENDAS * 10000.0L && consultas > 0;
  std::system(("rm -rf " + std::string(pasta)).c_str());
  return ok ? 0 : 1;
}
