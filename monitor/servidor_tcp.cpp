#include "servidor_tcp.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

#include <boost/asio/read_until.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/streambuf.hpp>
#include <boost/asio/write.hpp>

#include "seguranca.h"

namespace monitor {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using boost::system::error_code;

namespace {

// Lines served before the others' turn.
constexpr size_t LOTE = 64;

// A line that opens an HTTP request: a web page the user visits may make the
// browser send one here, with JSON lines in its body. Such a connection is
// closed before any line of it is served.
bool PareceHttp(const std::string &linha) {
  static const char *const inicios[] = {"GET ",    "POST ",  "PUT ",     "HEAD ", "OPTIONS ",
                                        "DELETE ", "PATCH ", "CONNECT ", "TRACE "};
  for (const char *i : inicios)
    if (linha.compare(0, std::char_traits<char>::length(i), i) == 0) return true;
  std::string inicio = linha.substr(0, 5);
  for (char &c : inicio) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return inicio == "host:";
}

std::string Autentica(const std::string &linha, const std::string &token, bool &aceito) {
  const Json j = Json::parse(linha, nullptr, false);
  aceito = j.is_object() && j.size() == 1 && j.contains("token") && j["token"].is_string() &&
           (token.empty() || MesmoToken(j["token"].get<std::string>(), token));
  if (aceito) return Linha(Json{{"token", "aceito"}});
  return RespostaDeErro(nullptr,
                        "token ausente ou errado: a primeira linha da conexão deve ser "
                        "{\"token\": \"...\"}");
}

bool LinhaDeToken(const std::string &linha) {
  if (linha.find("\"token\"") == std::string::npos) return false;
  const Json j = Json::parse(linha, nullptr, false);
  return j.is_object() && j.contains("token") && !j.contains("funcao");
}

class Conexao : public std::enable_shared_from_this<Conexao> {
 public:
  Conexao(tcp::socket s, std::shared_ptr<ServidorTcp::Comum> comum)
      : socket_(std::move(s)),
        comum_(std::move(comum)),
        entrada_(comum_->limites.linha + 1),
        relogio_(socket_.get_executor()),
        autenticado_(comum_->token.empty()) {
    ++comum_->abertas;
  }
  ~Conexao() { --comum_->abertas; }

  void Comeca() {
    if (comum_->abertas > comum_->limites.conexoes)
      return Responde(RespostaDeErro(nullptr, "conexões demais: o limite é " +
                                                  std::to_string(comum_->limites.conexoes)) +
                          "\n",
                      true);
    Le();
  }

 private:
  void Vigia() {
    relogio_.expires_after(comum_->limites.ocioso);
    relogio_.async_wait([self = shared_from_this()](error_code e) {
      if (e || self->relogio_.expiry() > asio::steady_timer::clock_type::now()) return;
      if (self->escrevendo_) return self->Fecha();  // a client that does not read its replies
      self->Responde(
          RespostaDeErro(nullptr, "conexão ociosa por mais de " +
                                      std::to_string(self->comum_->limites.ocioso.count()) +
                                      " s: fechada") +
              "\n",
          true);
    });
  }

  void Le() {
    Vigia();
    asio::async_read_until(
        socket_, entrada_, '\n',
        [self = shared_from_this()](error_code e, size_t n) { self->Lido(e, n); });
  }

  void Lido(error_code erro, size_t n) {
    if (erro == asio::error::not_found)
      return Responde(
          RespostaDeErro(nullptr, "linha acima de " + std::to_string(comum_->limites.linha / 1024) +
                                      " KiB: conexão fechada") +
              "\n",
          true);
    // A half line when the client goes: nothing to serve.
    if (erro) return Fecha();
    // Lines that came together are served together and answered in one write.
    std::string saida;
    bool fecha = false;
    for (size_t linhas = 0; !fecha && n > 0 && linhas < LOTE; ++linhas) {
      fecha = Serve(Tira(n), saida);
      n = ProximaLinha();
    }
    if (saida.empty()) return Le();
    Responde(std::move(saida), fecha);
  }

  std::string Tira(size_t n) {
    std::string linha(asio::buffers_begin(entrada_.data()),
                      asio::buffers_begin(entrada_.data()) + static_cast<std::ptrdiff_t>(n - 1));
    entrada_.consume(n);
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    return linha;
  }

  // The length of the next whole line already received, with its line break; 0 if none.
  size_t ProximaLinha() const {
    const auto inicio = asio::buffers_begin(entrada_.data()),
               fim = asio::buffers_end(entrada_.data());
    const auto quebra = std::find(inicio, fim, '\n');
    return quebra == fim ? 0 : static_cast<size_t>(quebra - inicio) + 1;
  }

  // One line: its reply goes to `saida`; true when the connection is to close after it.
  bool Serve(const std::string &linha, std::string &saida) {
    if (linha.find_first_not_of(" \t") == std::string::npos) return false;
    if (PareceHttp(linha)) {
      saida += RespostaDeErro(nullptr,
                              "isto é um servidor de linhas JSON, não de HTTP: "
                              "conexão fechada") +
               "\n";
      return true;
    }
    // A host may always present its token, also where none is asked for.
    if (!autenticado_ || LinhaDeToken(linha)) {
      bool aceito = false;
      saida += Autentica(linha, comum_->token, aceito) + "\n";
      autenticado_ = aceito;
      return !aceito;
    }
    saida += comum_->atendimento.Atende(linha) + "\n";
    return false;
  }

  // `linhas` end with their line breaks.
  void Responde(std::string linhas, bool fecha) {
    saida_ = std::move(linhas);
    escrevendo_ = true;
    // After a long call the client gets its time to read the reply.
    if (relogio_.expiry() - asio::steady_timer::clock_type::now() < comum_->limites.ocioso / 2)
      Vigia();
    asio::async_write(socket_, asio::buffer(saida_),
                      [self = shared_from_this(), fecha](error_code e, size_t) {
                        self->escrevendo_ = false;
                        if (e || fecha) return self->Fecha();
                        self->Le();
                      });
  }

  void Fecha() {
    error_code e;
    relogio_.cancel();
    socket_.shutdown(tcp::socket::shutdown_both, e);
    socket_.close(e);
  }

  tcp::socket socket_;
  std::shared_ptr<ServidorTcp::Comum> comum_;
  asio::streambuf entrada_;
  asio::steady_timer relogio_;
  std::string saida_;
  bool autenticado_;
  bool escrevendo_ = false;
};

}  // namespace

tcp::acceptor ServidorTcp::Escuta(asio::io_context &io, const tcp::endpoint &onde) {
#if defined(_WIN32)
  const bool reusa = false;
#else
  const bool reusa = true;  // a port left in TIME_WAIT by an earlier run
#endif
  try {
    return tcp::acceptor(io, onde, reusa);
  } catch (const boost::system::system_error &e) {
    throw std::runtime_error("não foi possível atender em " + onde.address().to_string() + ":" +
                             std::to_string(onde.port()) + ": " + e.code().message());
  }
}

ServidorTcp::ServidorTcp(tcp::acceptor aceitador, LimitesTcp limites, std::string token,
                         Atendimento &atendimento)
    : aceitador_(std::move(aceitador)),
      espera_(aceitador_.get_executor()),
      comum_(std::make_shared<Comum>(Comum{limites, std::move(token), atendimento})) {
  Aceita();
}

void ServidorTcp::Aceita() {
  aceitador_.async_accept([this](error_code erro, tcp::socket s) {
    if (erro == asio::error::operation_aborted) return;
    if (erro) {
      // Out of descriptors, say: try again soon rather than at once for ever.
      espera_.expires_after(std::chrono::milliseconds(100));
      return espera_.async_wait([this](error_code e) {
        if (!e) Aceita();
      });
    }
    s.set_option(tcp::no_delay(true), erro);
    std::make_shared<Conexao>(std::move(s), comum_)->Comeca();
    Aceita();
  });
}

}  // namespace monitor
