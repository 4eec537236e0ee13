// The library's own cost per export on the sale path, against drivers that
// do nothing (driver_nulo.cpp).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tarvic.h"

namespace {

int TARVIC_API Silencio(const char *, const char *, uint32_t) {
  return 1;
}

char *Pasta() {
  static char pasta[] = "/tmp/tarvic_bench_XXXXXX";
  return pasta;
}

// One start-up for all the measures, in a folder of its own.
bool Inicia(benchmark::State &estado) {
  static const bool iniciada = [] {
    if (!mkdtemp(Pasta())) return false;
    ecf_SetTratadorMensagem(Silencio);
    return ecf_Inicializa("BEMATECH", "COM1", Pasta()) != 0;
  }();
  if (!iniciada) estado.SkipWithError("ecf_Inicializa failed");
  return iniciada;
}

void AbreCupom(benchmark::State &estado) {
  if (!Inicia(estado)) return;
  for (auto _ : estado) benchmark::DoNotOptimize(ecf_AbreCupom());
}

void VendeItem(benchmark::State &estado) {
  if (!Inicia(estado)) return;
  for (auto _ : estado)
    benchmark::DoNotOptimize(ecf_VendeItem("7891000100103", "ARROZ TIPO 1 5KG", "UN", 0, "01", 0,
                                           "1", "21,90", "$", "0", 0, 0, 1));
}

void EfetuaFormaPagto(benchmark::State &estado) {
  if (!Inicia(estado)) return;
  for (auto _ : estado) benchmark::DoNotOptimize(ecf_EfetuaFormaPagto("Dinheiro", 219000));
}

void TerminaFechamentoCupom(benchmark::State &estado) {
  if (!Inicia(estado)) return;
  for (auto _ : estado)
    benchmark::DoNotOptimize(ecf_TerminaFechamentoCupom("Obrigado pela preferencia"));
}

void StatusAtu(benchmark::State &estado) {
  if (!Inicia(estado)) return;
  for (auto _ : estado) benchmark::DoNotOptimize(ecf_StatusAtu(0));
}

}  // namespace

BENCHMARK(AbreCupom);
BENCHMARK(VendeItem);
BENCHMARK(EfetuaFormaPagto);
BENCHMARK(TerminaFechamentoCupom);
BENCHMARK(StatusAtu);
int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ecf_FecharPortaSerial();
  std::error_code erro;
  std::filesystem::remove_all(Pasta(), erro);
  return 0;
}
