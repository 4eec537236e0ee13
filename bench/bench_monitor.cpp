// tarvic-monitor over TCP on loopback, against the simulated printer:
//   - the round trip of ecf_StatusAtu over one connection (each one timed;
//     median and 99th percentile);
//   - the day of dia.h (1,000 coupons of 10 items and 2 payments) sent by
//     a client over one connection, one request at a time as a PDV sends
//     them ("um_a_um") or each coupon's 15 requests at once ("cupom_em_lote"),
//     and the same day called directly on the library in this process, in the
//     same run (three of each, alternating; the shortest of each kept); their
//     ratio, and the CPU time of each side.
// The monitor is the built program as it starts by default (the panel on,
// its call trace in the printer's folder: it reads the return-file values
// from it), and with --traco nao ("sem_traco").
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "dia.h"
#include "tarvic.h"

extern char **environ;

namespace {

using bench::Cupons;
using Relogio = std::chrono::steady_clock;

std::string PastaNova() {
  const std::string pasta = bench::PastaNova("tarvic_monitor");
  if (pasta.empty()) throw std::runtime_error("no folder for the printer's files");
  return pasta;
}

// The monitor on a free port, its printer in `pasta`.
class Monitor {
 public:
  explicit Monitor(const std::string &pasta, bool comTraco = true) {
    int tubo[2];
    if (pipe(tubo) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    posix_spawn_file_actions_adddup2(&acoes, tubo[1], 1);
    posix_spawn_file_actions_addclose(&acoes, tubo[0]);
    setenv("TARVIC_SIM_ESTADO", pasta.c_str(), 1);
    const std::string traco = comTraco ? pasta + "/traco.log" : "nao";
    const char *args[] = {TARVIC_MONITOR, "--escuta", "127.0.0.1:0", "--http",
                          "nao",          "--traco",  traco.c_str(), nullptr};
    if (posix_spawn(&pid_, TARVIC_MONITOR, &acoes, nullptr, const_cast<char **>(args), environ))
      throw std::runtime_error("the monitor did not start");
    close(tubo[1]);
    FILE *saida = fdopen(tubo[0], "r");
    char linha[512];
    while (fgets(linha, sizeof linha, saida))
      if (std::sscanf(linha, "tcp 127.0.0.1:%d", &porta_) == 1) break;
    fclose(saida);
    if (porta_ == 0) throw std::runtime_error("the monitor told no port");
  }
  ~Monitor() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  int porta() const { return porta_; }
  // The CPU time the monitor's process has used, in seconds.
  double Cpu() const {
    FILE *f = std::fopen(("/proc/" + std::to_string(pid_) + "/stat").c_str(), "r");
    if (!f) return 0;
    char linha[1024] = {};
    const size_t n = std::fread(linha, 1, sizeof linha - 1, f);
    std::fclose(f);
    const char *p = std::strrchr(linha, ')');
    unsigned long usuario = 0, sistema = 0;
    if (n == 0 || !p ||
        std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &usuario,
                    &sistema) != 2)
      return 0;
    return static_cast<double>(usuario + sistema) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

 private:
  pid_t pid_ = 0;
  int porta_ = 0;
};

// One connection, one request at a time.
class Cliente {
 public:
  explicit Cliente(int porta) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(porta));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int um = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &um, sizeof um);
    if (connect(fd_, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0)
      throw std::runtime_error("no connection to the monitor");
  }
  ~Cliente() { close(fd_); }
  // True when the reply says "resultado":true.
  bool Chama(const std::string &pedido) { return Lote({pedido}); }
  // Sends the requests at once, then reads their replies: true when all succeeded.
  bool Lote(const std::vector<std::string> &pedidos) {
    std::string linhas;
    for (const std::string &p : pedidos) linhas += p + "\n";
    if (send(fd_, linhas.data(), linhas.size(), 0) != static_cast<ssize_t>(linhas.size()))
      return false;
    bool todos = true;
    for (size_t i = 0; i < pedidos.size(); ++i) todos = Resposta() && todos;
    return todos;
  }

 private:
  bool Resposta() {
    for (;;) {
      const size_t fim = buffer_.find('\n');
      if (fim != std::string::npos) {
        const bool ok = buffer_.find("\"resultado\":true") < fim;
        buffer_.erase(0, fim + 1);
        return ok;
      }
      char b[4096];
      const ssize_t n = recv(fd_, b, sizeof b, 0);
      if (n <= 0) return false;
      buffer_.append(b, static_cast<size_t>(n));
    }
  }

  int fd_ = -1;
  std::string buffer_;
};

// The requests of bench::Cupom("01"), as the monitor reads them.
std::vector<std::string> PedidosDoCupom() {
  std::vector<std::string> p = {R"({"id":1,"funcao":"ecf_AbreCupom"})"};
  for (int i = 1; i <= 10; ++i)
    p.push_back(
        R"({"id":2,"funcao":"ecf_VendeItem","args":["7891000100103","ARROZ TIPO 1 PACOTE 5KG","UN",0,"01",0,"1","21,90","$","0",0,false,)" +
        std::to_string(i) + "]}");
  p.push_back(R"({"id":3,"funcao":"ecf_IniciaFechamentoCupom","args":["D","0"]})");
  p.push_back(R"({"id":4,"funcao":"ecf_EfetuaFormaPagto","args":["Cartao",1000000]})");
  p.push_back(R"({"id":5,"funcao":"ecf_EfetuaFormaPagto","args":["Dinheiro",1500000]})");
  p.push_back(R"({"id":6,"funcao":"ecf_TerminaFechamentoCupom","args":["Obrigado"]})");
  return p;
}

// One request at a time, each after the reply to the one before, as a PDV
// sends them; or a coupon's 15 requests at once.
bool CupomPeloMonitor(Cliente &c, bool emLote) {
  static const std::vector<std::string> pedidos = PedidosDoCupom();
  if (emLote) return c.Lote(pedidos);
  for (const std::string &p : pedidos)
    if (!c.Chama(p)) return false;
  return true;
}

std::string Inicializa(const std::string &pasta) {
  return R"({"id":0,"funcao":"ecf_Inicializa","args":["BEMATECH","COM1",")" + pasta + "\"]}";
}

double Segundos(Relogio::time_point desde) {
  return std::chrono::duration<double>(Relogio::now() - desde).count();
}

void StatusAtuPorTcp(benchmark::State &estado) {
  const std::string pasta = PastaNova();
  {
    Monitor monitor(pasta);
    Cliente c(monitor.porta());
    if (!c.Chama(Inicializa(pasta))) return estado.SkipWithError("ecf_Inicializa failed");
    std::vector<double> tempos;
    for (auto _ : estado) {
      const auto antes = Relogio::now();
      const bool ok = c.Chama(R"({"id":9,"funcao":"ecf_StatusAtu","args":[true]})");
      const double t = Segundos(antes);
      if (!ok) return estado.SkipWithError("ecf_StatusAtu failed");
      estado.SetIterationTime(t);
      tempos.push_back(t);
    }
    std::sort(tempos.begin(), tempos.end());
    estado.counters["mediana_ms"] = tempos[tempos.size() / 2] * 1000;
    estado.counters["p99_ms"] = tempos[tempos.size() * 99 / 100] * 1000;
  }
  std::filesystem::remove_all(pasta);
}

// Elapsed and CPU seconds of one day.
struct Dia {
  double segundos = 0, cpu = 0, cpuCliente = 0;
};

bool DiaDireto(const std::string &pasta, Dia &dia) {
  setenv("TARVIC_SIM_ESTADO", pasta.c_str(), 1);
  ecf_SetTratadorMensagem(bench::Silencio);
  if (!ecf_Inicializa("BEMATECH", "COM1", pasta.c_str())) return false;
  const auto inicio = Relogio::now();
  const double cpu = bench::Cpu();
  for (int i = 0; i < Cupons; ++i)
    if (!bench::Cupom("01")) return false;
  dia.segundos = Segundos(inicio);
  dia.cpu = bench::Cpu() - cpu;
  return true;
}

bool DiaMonitorado(const std::string &pasta, bool emLote, bool comTraco, Dia &dia) {
  Monitor monitor(pasta, comTraco);
  Cliente c(monitor.porta());
  if (!c.Chama(Inicializa(pasta))) return false;
  const auto inicio = Relogio::now();
  const double cpu = monitor.Cpu(), cpuCliente = bench::Cpu();
  for (int i = 0; i < Cupons; ++i)
    if (!CupomPeloMonitor(c, emLote)) return false;
  dia.segundos = Segundos(inicio);
  dia.cpu = monitor.Cpu() - cpu;
  dia.cpuCliente = bench::Cpu() - cpuCliente;
  return true;
}

// Days directly and through the monitor, one after the other, three times:
// the shortest of each (the machine's other work, and above all the flushes
// to a shared disk, only ever add), and their ratio.
void DiaPeloMonitor(benchmark::State &estado, bool emLote, bool comTraco) {
  const std::string pastaDireta = PastaNova(), pastaMonitor = PastaNova();
  for (auto _ : estado) {
    Dia direto{1e9, 1e9, 0}, monitorado{1e9, 1e9, 1e9};
    for (int vez = 0; vez < 3; ++vez) {
      Dia d, m;
      if (!DiaDireto(pastaDireta, d)) return estado.SkipWithError("a coupon failed");
      if (!DiaMonitorado(pastaMonitor, emLote, comTraco, m))
        return estado.SkipWithError("a coupon failed over TCP");
      direto = {std::min(direto.segundos, d.segundos), std::min(direto.cpu, d.cpu), 0};
      monitorado = {std::min(monitorado.segundos, m.segundos), std::min(monitorado.cpu, m.cpu),
                    std::min(monitorado.cpuCliente, m.cpuCliente)};
    }
    estado.SetIterationTime(monitorado.segundos);
    estado.counters["direto_s"] = direto.segundos;
    estado.counters["monitor_s"] = monitorado.segundos;
    estado.counters["monitor_sobre_direto"] = monitorado.segundos / direto.segundos;
    estado.counters["cpu_direto_s"] = direto.cpu;
    estado.counters["cpu_monitor_s"] = monitorado.cpu;
    estado.counters["cpu_cliente_s"] = monitorado.cpuCliente;
    estado.counters["a_mais_por_pedido_us"] =
        (monitorado.segundos - direto.segundos) / (Cupons * 15.0) * 1e6;
  }
  std::filesystem::remove_all(pastaDireta);
  std::filesystem::remove_all(pastaMonitor);
}

}  // namespace

int main(int argc, char **argv) {
  benchmark::RegisterBenchmark("StatusAtuPorTcp", StatusAtuPorTcp)
      ->Iterations(20000)
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
  for (const bool comTraco : {true, false})
    for (const bool emLote : {false, true})
      benchmark::RegisterBenchmark(
          (std::string("DiaDeMilCuponsPeloMonitor/BEMATECH/") +
           (emLote ? "cupom_em_lote" : "um_a_um") + (comTraco ? "" : "/sem_traco"))
              .c_str(),
          DiaPeloMonitor, emLote, comTraco)
          ->Iterations(1)
          ->UseManualTime()
          ->Unit(benchmark::kSecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
