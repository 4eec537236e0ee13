// A local service's edges: loopback unless a token is configured, the token
// compared in constant time, browsers' requests only under a loopback name.
#pragma once

#include <string>

#include <boost/asio/ip/address.hpp>

namespace monitor {

bool EnderecoDeLoopback(const boost::asio::ip::address &endereco);
// The Host header of an HTTP request: "127.0.0.1:6018", "localhost:6018", "[::1]:6018".
bool HostDeLoopback(const std::string &host);
// Compares without telling, by its time, how much of the token was right.
bool MesmoToken(const std::string &dado, const std::string &token);

}  // namespace monitor
