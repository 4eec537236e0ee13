// A shop's day through the library and the simulated printer: the day of
// dia.h, 1,000 coupons of 10 items and 2 payments each. Reported: the whole day, the
// cost of a coupon among the first 100 and among the last 100 (elapsed, and
// in the process's CPU time, which other programs on the machine disturb
// less), their ratios, the peak memory after 100 and after 1,000 coupons,
// and the size of the journal on disk. The elapsed time includes the flush
// to the disk at the end of each coupon.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "dia.h"
#include "tarvic.h"

namespace {

using bench::Cpu;
using bench::Cupom;
using bench::Cupons;

double PicoDeMemoriaMiB() {
  struct rusage uso;
  getrusage(RUSAGE_SELF, &uso);
  return static_cast<double>(uso.ru_maxrss) / 1024.0;
}

double TamanhoMiB(const std::string &caminho) {
  struct stat s;
  return stat(caminho.c_str(), &s) == 0 ? static_cast<double>(s.st_size) / (1 << 20) : 0;
}

double Media(const std::vector<double> &v, int de, int ate) {
  double soma = 0;
  for (int i = de; i < ate; ++i) soma += v[static_cast<std::size_t>(i)];
  return soma / (ate - de);
}

void DiaDeMilCupons(benchmark::State &estado, const char *fabricante) {
  const std::string modelo = bench::PastaNova("tarvic_dia");
  if (modelo.empty()) return estado.SkipWithError("no folder for the printer's files");
  setenv("TARVIC_SIM_ESTADO", modelo.c_str(), 1);
  setenv("TARVIC_SIM_FABRICANTE", fabricante, 1);
  ecf_SetTratadorMensagem(bench::Silencio);
  if (!ecf_Inicializa(fabricante, "COM1", modelo.c_str()))
    return estado.SkipWithError("ecf_Inicializa failed");
  const bool dllg2 = std::string(fabricante) == "DATAREGIS" || std::string(fabricante) == "URANO";
  const char *aliquota = dllg2 ? "18,00" : "01";
  for (auto _ : estado) {
    std::vector<double> segundos(Cupons), cpu(Cupons);
    double memoria100 = 0;
    const auto inicio = std::chrono::steady_clock::now();
    for (int c = 0; c < Cupons; ++c) {
      const auto antes = std::chrono::steady_clock::now();
      const double cpuAntes = Cpu();
      if (!Cupom(aliquota)) return estado.SkipWithError("a coupon failed");
      segundos[static_cast<std::size_t>(c)] =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - antes).count();
      cpu[static_cast<std::size_t>(c)] = Cpu() - cpuAntes;
      if (c == 99) memoria100 = PicoDeMemoriaMiB();
    }
    const double dia =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    const double primeiros = Media(segundos, 0, 100),
                 ultimos = Media(segundos, Cupons - 100, Cupons);
    estado.SetIterationTime(dia);
    estado.counters["dia_s"] = dia;
    estado.counters["cupom_1a100_ms"] = primeiros * 1000;
    estado.counters["cupom_901a1000_ms"] = ultimos * 1000;
    estado.counters["ultimos_sobre_primeiros"] = ultimos / primeiros;
    const double cpuPrimeiros = Media(cpu, 0, 100), cpuUltimos = Media(cpu, Cupons - 100, Cupons);
    estado.counters["cpu_cupom_1a100_ms"] = cpuPrimeiros * 1000;
    estado.counters["cpu_cupom_901a1000_ms"] = cpuUltimos * 1000;
    estado.counters["cpu_ultimos_sobre_primeiros"] = cpuUltimos / cpuPrimeiros;
    estado.counters["memoria_100_MiB"] = memoria100;
    estado.counters["memoria_1000_MiB"] = PicoDeMemoriaMiB();
    estado.counters["jornal_MiB"] = TamanhoMiB(modelo + "/tarvic_sim_" + fabricante + ".jornal");
  }
  ecf_FecharPortaSerial();
  std::error_code erro;
  std::filesystem::remove_all(modelo, erro);
}

}  // namespace

int main(int argc, char **argv) {
  for (const char *fabricante : {"BEMATECH", "DATAREGIS"})
    benchmark::RegisterBenchmark((std::string("DiaDeMilCupons/") + fabricante).c_str(),
                                 DiaDeMilCupons, fabricante)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
