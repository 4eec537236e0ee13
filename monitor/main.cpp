// tarvic-monitor: holds the library and serves it to any host, over TCP and
// through a command folder, with a panel of the simulated printer.
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/thread_pool.hpp>

#include "arquivos.h"
#include "atendimento.h"
#include "opcoes.h"
#include "painel.h"
#include "pasta_comandos.h"
#include "seguranca.h"
#include "servidor_tcp.h"
#include "sistema.h"

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace monitor {
namespace {

tcp::endpoint Endereco(const std::string &opcao, const std::string &texto) {
  const size_t doisPontos = texto.rfind(':');
  if (doisPontos == std::string::npos)
    throw std::runtime_error(opcao + ": esperado ENDEREÇO:PORTA");
  std::string host = texto.substr(0, doisPontos);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  if (host == "localhost") host = "127.0.0.1";
  boost::system::error_code erro;
  const asio::ip::address a = asio::ip::make_address(host, erro);
  const std::string porta = texto.substr(doisPontos + 1);
  if (erro || porta.empty() || porta.size() > 5 ||
      porta.find_first_not_of("0123456789") != std::string::npos || std::stoi(porta) > 65535)
    throw std::runtime_error(opcao + ": endereço inválido \"" + texto + "\"");
  return {a, static_cast<unsigned short>(std::stoi(porta))};
}

// Redis's protected mode: another address than loopback only with a token.
void ExigeTokenFora(const std::string &opcao, const tcp::endpoint &e, const std::string &token) {
  if (!EnderecoDeLoopback(e.address()) && token.empty())
    throw std::runtime_error(opcao + " " + e.address().to_string() +
                             ": atender fora do loopback exige --token");
}

std::string Texto(const tcp::endpoint &e) {
  const std::string a = e.address().to_string();
  return (e.address().is_v6() ? "[" + a + "]" : a) + ":" + std::to_string(e.port());
}

std::string Traco(const Opcoes &o, unsigned short porta) {
  if (o.traco == "nao") return std::string();
  if (!o.traco.empty()) return o.traco;
  const std::string ambiente = Variavel("TARVIC_LOG");
  if (!ambiente.empty()) return ambiente;
  std::string pasta = tarvic::simulador::arquivo::PastaDoUsuario();
  if (pasta.empty()) pasta = ".";
  return pasta + tarvic::simulador::arquivo::Separador() + "tarvic-monitor-" +
         std::to_string(porta) + ".log";
}

// Where to listen and what to serve, refused before anything is bound.
struct Plano {
  tcp::endpoint escuta;
  std::optional<tcp::endpoint> http;
  LimitesTcp limites;
};

Plano Planeja(const Opcoes &o) {
  Plano p;
  p.escuta = Endereco("--escuta", o.escuta);
  ExigeTokenFora("--escuta", p.escuta, o.token);
  if (o.http != "nao") {
    p.http = Endereco("--http", o.http);
    ExigeTokenFora("--http", *p.http, o.token);
  }
  if (!o.pastaComandos.empty()) {
    const std::string problema = PreparaPastaPrivada(o.pastaComandos);
    if (!problema.empty()) throw std::runtime_error("--pasta-comandos: a pasta " + problema);
  }
  p.limites.ocioso = std::chrono::seconds(o.ocioso);
  p.limites.conexoes = static_cast<size_t>(o.maxConexoes);
  return p;
}

void Anuncia(const ServidorTcp &tcp, const Painel *painel, const Opcoes &o,
             const std::string &traco) {
  std::cout << "tarvic-monitor " << TARVIC_VERSAO << "\n";
  std::cout << "tcp " << Texto(tcp.Endereco()) << "\n";
  if (painel) std::cout << "painel http://" << Texto(painel->Endereco()) << "/\n";
  if (!o.pastaComandos.empty()) std::cout << "pasta " << o.pastaComandos << "\n";
  std::cout << "traco " << (traco.empty() ? "nao" : traco) << std::endl;
}

// Serves until stopped. After each piece of work the thread looks for more
// for a moment before it sleeps: a client's next request usually follows
// its reply at once, and waking a sleeping processor costs more than the
// call (tens of microseconds on a virtual machine).
void Serve(asio::io_context &io) {
  using Relogio = std::chrono::steady_clock;
  while (!io.stopped() && io.run_one() > 0) {
    auto ate = Relogio::now() + std::chrono::microseconds(200);
    while (!io.stopped() && Relogio::now() < ate)
      if (io.poll() > 0) ate = Relogio::now() + std::chrono::microseconds(200);
  }
}

// The printer's thread is this one: TCP, the command folder and every call.
// The panel has a thread of its own.
int Roda(const Opcoes &o) {
  const Plano plano = Planeja(o);
  asio::io_context impressora(1), io_painel(1);
  std::unique_ptr<Painel> painel;
  if (plano.http) painel = std::make_unique<Painel>(io_painel, *plano.http, o.token);
  // Bound first: the monitor's own trace is named after the port.
  tcp::acceptor aceitador = ServidorTcp::Escuta(impressora, plano.escuta);
  const std::string traco = Traco(o, aceitador.local_endpoint().port());
  Atendimento atendimento(traco, o.sim, [&](Atendido a) {
    if (painel)
      asio::post(io_painel,
                 [&painel, a = std::move(a)]() mutable { painel->Atendeu(std::move(a)); });
  });
  ServidorTcp tcp(std::move(aceitador), plano.limites, o.token, atendimento);
  std::unique_ptr<PastaComandos> pasta;
  if (!o.pastaComandos.empty())
    pasta = std::make_unique<PastaComandos>(impressora, o.pastaComandos,
                                            std::chrono::milliseconds(o.intervaloPasta),
                                            plano.limites.linha, atendimento);
  Anuncia(tcp, painel.get(), o, traco);

  asio::signal_set sinais(impressora, SIGINT, SIGTERM);
  sinais.async_wait([&](const boost::system::error_code &, int) { impressora.stop(); });
  asio::thread_pool linhas(1);
  if (painel) asio::post(linhas, [&] { io_painel.run(); });
  Serve(impressora);
  io_painel.stop();
  linhas.join();
  return 0;
}

}  // namespace
}  // namespace monitor

int main(int argc, char **argv) {
  try {
    const monitor::Opcoes o = monitor::LeOpcoes(argc, argv);
    if (o.ajuda) {
      std::cout << monitor::Ajuda();
      return 0;
    }
    return monitor::Roda(o);
  } catch (const std::exception &e) {
    std::cerr << "tarvic-monitor: " << e.what() << "\n";
    return 2;
  }
}
