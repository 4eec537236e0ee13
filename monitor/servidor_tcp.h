// JSON lines over TCP. Each connection sends a request and reads its reply
// before the next one is read; the requests of all connections are served in
// arrival order on the printer's thread, which runs this server too. A
// connection that goes away in the middle of a call loses nothing: the call
// ends and its reply has no one to go to.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include "atendimento.h"

namespace monitor {

struct LimitesTcp {
  size_t linha = 64 * 1024;  // bytes of one request, without its line break
  std::chrono::seconds ocioso{600};
  size_t conexoes = 64;
};

class ServidorTcp {
 public:
  // With a token, a connection's first line must be {"token": "..."}.
  ServidorTcp(boost::asio::ip::tcp::acceptor aceitador, LimitesTcp limites, std::string token,
              Atendimento &atendimento);
  boost::asio::ip::tcp::endpoint Endereco() const { return aceitador_.local_endpoint(); }
  // Bound to `onde`; on Windows exclusively, so that no other program can
  // bind the same port beside it.
  static boost::asio::ip::tcp::acceptor Escuta(boost::asio::io_context &io,
                                               const boost::asio::ip::tcp::endpoint &onde);

  struct Comum {
    LimitesTcp limites;
    std::string token;
    Atendimento &atendimento;
    size_t abertas = 0;
  };

 private:
  void Aceita();

  boost::asio::ip::tcp::acceptor aceitador_;
  boost::asio::steady_timer espera_;
  std::shared_ptr<Comum> comum_;
};

}  // namespace monitor
