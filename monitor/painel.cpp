#include "painel.h"

#include <chrono>
#include <memory>
#include <optional>

#include <boost/asio/ip/address.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "arquivos.h"
#include "impressora_fiscal.h"
#include "seguranca.h"
#include "servidor_tcp.h"
#include "simulado.h"
#include "sistema.h"

namespace monitor {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

#include "painel_arquivos.inc"

constexpr size_t COMANDOS_MOSTRADOS = 50;
constexpr auto PRAZO = std::chrono::seconds(30);

std::string Parametro(const std::string &alvo, const std::string &nome) {
  const size_t q = alvo.find('?');
  if (q == std::string::npos) return std::string();
  const std::string consulta = "&" + alvo.substr(q + 1);
  const size_t p = consulta.find("&" + nome + "=");
  if (p == std::string::npos) return std::string();
  const size_t inicio = p + nome.size() + 2, fim = consulta.find('&', inicio);
  return consulta.substr(inicio, fim == std::string::npos ? std::string::npos : fim - inicio);
}

std::string Caminho(const std::string &alvo) {
  return alvo.substr(0, alvo.find('?'));
}

Json Comando(const ComandoTraco &c) {
  Json j;
  j["hora"] = c.hora;
  j["funcao"] = c.funcao;
  j["argumentos"] = c.argumentos;
  j["resultado"] = c.resultado;
  j["ecf_Retorno"] = c.retorno;
  j["duracao"] = c.duracao;
  return j;
}

Painel::Resposta RespostaJson(unsigned status, const Json &corpo) {
  return {status, "application/json; charset=utf-8", Linha(corpo)};
}

Painel::Resposta Erro(unsigned status, const std::string &erro) {
  Json j;
  j["erro"] = erro;
  return RespostaJson(status, j);
}

}  // namespace

struct Painel::Pedido {
  http::request<http::string_body> http;
};

namespace {

// One connection of a browser: requests one after the other, each with a
// deadline, the body bounded.
class Sessao : public std::enable_shared_from_this<Sessao> {
 public:
  Sessao(tcp::socket s, Painel &painel) : fluxo_(std::move(s)), painel_(painel) {}
  void Le() {
    pedido_ = {};
    parser_.emplace();
    parser_->body_limit(4096);
    fluxo_.expires_after(PRAZO);
    http::async_read(fluxo_, buffer_, *parser_,
                     [self = shared_from_this()](beast::error_code e, size_t) { self->Lido(e); });
  }

 private:
  void Lido(beast::error_code erro) {
    if (erro) return Fecha();
    pedido_.http = parser_->release();
    Painel::Resposta r;
    try {
      r = painel_.Responde(pedido_);
    } catch (const std::exception &e) {
      r = Erro(500, std::string("falha interna do painel: ") + e.what());
    }
    auto resposta = std::make_shared<http::response<http::string_body>>(
        static_cast<http::status>(r.status), pedido_.http.version());
    resposta->set(http::field::content_type, r.tipo);
    resposta->set(http::field::cache_control, "no-store");
    resposta->set("X-Content-Type-Options", "nosniff");
    resposta->set("X-Frame-Options", "DENY");
    resposta->set("Content-Security-Policy", "default-src 'self'");
    resposta->keep_alive(pedido_.http.keep_alive());
    resposta->body() = r.corpo;
    resposta->prepare_payload();
    fluxo_.expires_after(PRAZO);
    http::async_write(fluxo_, *resposta,
                      [self = shared_from_this(), resposta](beast::error_code e, size_t) {
                        if (e || !resposta->keep_alive()) return self->Fecha();
                        self->Le();
                      });
  }
  void Fecha() {
    beast::error_code e;
    fluxo_.socket().shutdown(tcp::socket::shutdown_both, e);
    fluxo_.socket().close(e);
  }

  beast::tcp_stream fluxo_;
  beast::flat_buffer buffer_{8192};
  std::optional<http::request_parser<http::string_body>> parser_;
  Painel::Pedido pedido_;
  Painel &painel_;
};

}  // namespace

Painel::Painel(asio::io_context &io, const tcp::endpoint &onde, std::string token)
    : aceitador_(ServidorTcp::Escuta(io, onde)), token_(std::move(token)) {
  // A state file named outright is known before the host starts the printer.
  const std::string v = Variavel(tarvic::simulador::VariavelEstado);
  if (!v.empty() && !tarvic::simulador::arquivo::EhPasta(v)) estado_ = v;
  Aceita();
}

void Painel::Aceita() {
  aceitador_.async_accept([this](beast::error_code erro, tcp::socket s) {
    if (erro == asio::error::operation_aborted) return;
    if (!erro) std::make_shared<Sessao>(std::move(s), *this)->Le();
    Aceita();
  });
}

void Painel::Atendeu(Atendido a) {
  if (!a.fabricante.empty()) {
    fabricante_ = a.fabricante;
    estado_ = EstadoDoSimulador(fabricante_);
  }
  for (ComandoTraco &c : a.comandos) {
    comandos_.push_back(std::move(c));
    if (comandos_.size() > COMANDOS_MOSTRADOS) comandos_.pop_front();
  }
}

Painel::Resposta Painel::Responde(const Pedido &p) {
  const std::string alvo(p.http.target());
  const std::string caminho = Caminho(alvo);
  if (!token_.empty()) {
    const std::string dado =
        caminho == "/" ? Parametro(alvo, "token") : std::string(p.http["X-Tarvic-Token"]);
    if (!MesmoToken(dado, token_)) return Erro(403, "token ausente ou errado");
  } else if (!HostDeLoopback(std::string(p.http[http::field::host]))) {
    // A page elsewhere that names this machine under another name
    // (DNS rebinding) gets nothing.
    return Erro(403, "o painel só atende pelo endereço de loopback");
  }
  const bool get = p.http.method() == http::verb::get;
  if (get && caminho == "/") return {200, "text/html; charset=utf-8", PAINEL_HTML};
  if (get && caminho == "/painel.js") return {200, "text/javascript; charset=utf-8", PAINEL_JS};
  if (get && caminho == "/painel.css") return {200, "text/css; charset=utf-8", PAINEL_CSS};
  if (get && caminho == "/estado") return Estado(alvo);
  if (p.http.method() == http::verb::post && caminho == "/falha") {
    // A form of another site cannot send JSON without asking first.
    if (p.http[http::field::content_type].find("application/json") != 0)
      return Erro(415, "a falha vem em JSON");
    return Falha(p.http.body());
  }
  return Erro(404, "não há " + caminho);
}

Painel::Resposta Painel::Estado(const std::string &alvo) {
  Json j;
  j["fabricante"] = fabricante_;
  Json comandos = Json::array();
  for (const ComandoTraco &c : comandos_) comandos.push_back(Comando(c));
  j["comandos"] = std::move(comandos);
  j["funcoes"] = FuncoesDoDriver(fabricante_);
  j["ultima_falha"] = ultimaFalha_;
  const std::string desde = Parametro(alvo, "desde");
  try {
    j["impressora"] = VistaDoSimulador(estado_, desde.empty() ? -1 : std::stoll(desde));
  } catch (const std::exception &) {
    // Caught between two writes of the printer, or damaged: the next poll tells.
    j["impressora"] = Json{{"simulada", !estado_.empty()}, {"ilegivel", true}};
  }
  return RespostaJson(200, j);
}

Painel::Resposta Painel::Falha(const std::string &corpo) {
  const Json pedido = Json::parse(corpo, nullptr, false);
  if (!pedido.is_object()) return Erro(400, "a falha vem num objeto JSON");
  std::string erro;
  std::string descricao;
  if (pedido.contains("falha") && pedido["falha"].is_string()) {
    descricao = pedido["falha"].get<std::string>();
    erro = InjetaFalha(estado_, descricao);
  } else if (pedido.contains("funcao") && pedido["funcao"].is_string() &&
             pedido.contains("codigo") && pedido["codigo"].is_number_integer()) {
    descricao =
        pedido["funcao"].get<std::string>() + "=" + std::to_string(pedido["codigo"].get<int64_t>());
    erro =
        InjetaCodigo(estado_, pedido["funcao"].get<std::string>(), pedido["codigo"].get<int64_t>());
  } else {
    return Erro(400, "esperado {\"falha\": ...} ou {\"funcao\": ..., \"codigo\": ...}");
  }
  if (!erro.empty()) return Erro(400, erro);
  ultimaFalha_ = descricao;
  return RespostaJson(200, Json{{"ok", true}});
}

}  // namespace monitor
