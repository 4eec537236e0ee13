// The day of the benchmarks, one script for all of them: 1,000 coupons of
// 10 items and 2 payments each, called directly on the library by bench_dia
// and bench_monitor, and sent through the monitor by bench_monitor, whose
// figure is the ratio of the two. The printer's files go to a new folder
// under TARVIC_BENCH_PASTA (by default the system's temporary folder).
#pragma once

#include <stdlib.h>
#include <time.h>

#include <string>

#include "tarvic.h"

namespace bench {

const int Cupons = 1000;

// The operator: a day without questions answers every message with OK.
inline int TARVIC_API Silencio(const char *, const char *, uint32_t) {
  return 1;
}

// One coupon: 10 items of 21,90 at the tax rate `aliquota` (in the
// manufacturer's notation), paid 100,00 by card and 150,00 in cash.
inline bool Cupom(const char *aliquota) {
  if (!ecf_AbreCupom()) return false;
  for (int i = 1; i <= 10; ++i)
    if (!ecf_VendeItem("7891000100103", "ARROZ TIPO 1 PACOTE 5KG", "UN", 0, aliquota, 0, "1",
                       "21,90", "$", "0", 0, 0, i))
      return false;
  return ecf_IniciaFechamentoCupom("D", "0") && ecf_EfetuaFormaPagto("Cartao", 1000000) &&
         ecf_EfetuaFormaPagto("Dinheiro", 1500000) && ecf_TerminaFechamentoCupom("Obrigado");
}

// The CPU time this process has used, in seconds.
inline double Cpu() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A new folder "<prefixo>_XXXXXX" for the printer's files; empty when none
// can be made.
inline std::string PastaNova(const char *prefixo) {
  const char *base = getenv("TARVIC_BENCH_PASTA");
  std::string modelo = std::string(base && *base ? base : "/tmp") + "/" + prefixo + "_XXXXXX";
  return mkdtemp(modelo.data()) ? modelo : std::string();
}

}  // namespace bench
