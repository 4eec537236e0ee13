// The panel: one page over HTTP, served on the panel's own thread so that it
// stays live while a call holds the printer (an operator's question being
// answered, the printer switched off). It shows the simulated printer's tape
// as it prints, its counters and day, the last commands with their results
// (from the call trace), and has buttons for the faults the simulator takes.
// With real drivers it shows the commands only.
#pragma once

#include <deque>
#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include "atendimento.h"

namespace monitor {

class Painel {
 public:
  // With a token, every request must carry it (header X-Tarvic-Token, or
  // ?token= for the page itself); without one the panel answers only
  // requests addressed to a loopback name.
  Painel(boost::asio::io_context &io, const boost::asio::ip::tcp::endpoint &onde,
         std::string token);
  boost::asio::ip::tcp::endpoint Endereco() const { return aceitador_.local_endpoint(); }
  // What a call did, posted from the printer's thread.
  void Atendeu(Atendido atendido);

  struct Pedido;
  // The answer to one request (status, content type, body).
  struct Resposta {
    unsigned status = 200;
    std::string tipo, corpo;
  };
  Resposta Responde(const Pedido &pedido);

 private:
  void Aceita();
  Resposta Estado(const std::string &alvo);
  Resposta Falha(const std::string &corpo);

  boost::asio::ip::tcp::acceptor aceitador_;
  std::string token_;
  std::string fabricante_;
  std::string estado_;  // the simulated printer's state file, once known
  std::deque<ComandoTraco> comandos_;
  std::string ultimaFalha_;  // the last fault sent from the panel
};

}  // namespace monitor
