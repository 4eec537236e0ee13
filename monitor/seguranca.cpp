#include "seguranca.h"

namespace monitor {

bool EnderecoDeLoopback(const boost::asio::ip::address &endereco) {
  if (endereco.is_v6() && endereco.to_v6().is_v4_mapped())
    return EnderecoDeLoopback(
        boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, endereco.to_v6()));
  return endereco.is_loopback();
}

bool HostDeLoopback(const std::string &host) {
  std::string nome = host;
  if (!nome.empty() && nome.front() == '[') {
    const size_t fim = nome.find(']');
    nome = fim == std::string::npos ? std::string() : nome.substr(1, fim - 1);
  } else {
    nome = nome.substr(0, nome.find(':'));
  }
  if (nome == "localhost") return true;
  boost::system::error_code erro;
  const boost::asio::ip::address a = boost::asio::ip::make_address(nome, erro);
  return !erro && EnderecoDeLoopback(a);
}

bool MesmoToken(const std::string &dado, const std::string &token) {
  unsigned diferenca = dado.size() == token.size() ? 0 : 1;
  for (size_t i = 0; i < token.size(); ++i)
    diferenca |= static_cast<unsigned char>(token[i]) ^
                 static_cast<unsigned char>(i < dado.size() ? dado[i] : 0);
  return diferenca == 0 && !token.empty();
}

}  // namespace monitor
