#include "duble.h"

#include <cstring>
#include <deque>
#include <map>
#include <sstream>
#include <tuple>

#include "drivers/drivers.h"

namespace duble {

namespace {

std::vector<std::string> chamadas;
std::map<std::string, std::deque<Resposta>> fila;
std::map<std::string, Resposta> sempre;

Resposta ProximaResposta(const std::string &funcao) {
  auto f = fila.find(funcao);
  if (f != fila.end() && !f->second.empty()) {
    Resposta r = f->second.front();
    f->second.pop_front();
    return r;
  }
  auto s = sempre.find(funcao);
  return s != sempre.end() ? s->second : Resposta{};
}

template <class T>
void Coleta(T, std::vector<char *> &, std::vector<int32_t *> &) {}
void Coleta(char *b, std::vector<char *> &buffers, std::vector<int32_t *> &) {
  buffers.push_back(b);
}
void Coleta(int32_t *i, std::vector<char *> &, std::vector<int32_t *> &inteiros) {
  inteiros.push_back(i);
}

}  // namespace

void Reinicia() {
  chamadas.clear();
  fila.clear();
  sempre.clear();
}

void Responde(const std::string &funcao, const Resposta &resposta) {
  fila[funcao].push_back(resposta);
}

void RespondeSempre(const std::string &funcao, const Resposta &resposta) {
  sempre[funcao] = resposta;
}

const std::vector<std::string> &Chamadas() {
  return chamadas;
}

std::vector<std::string> ChamadasDe(const std::string &prefixo) {
  std::vector<std::string> r;
  for (const std::string &c : chamadas)
    if (c.compare(0, prefixo.size(), prefixo) == 0) r.push_back(c);
  return r;
}

void EsqueceChamadas() {
  chamadas.clear();
}

std::string Descreve(char *buffer) {
  if (!buffer) return "NULL";
  const std::string conteudo(buffer);
  if (conteudo.find_first_not_of(' ') == std::string::npos)
    return "[" + std::to_string(conteudo.size()) + "]";
  return "[" + std::to_string(conteudo.size()) + ":\"" + conteudo + "\"]";
}

std::string Descreve(double valor) {
  std::ostringstream s;
  s << valor;
  return s.str();
}

int32_t Registra(const char *funcao, std::vector<std::string> descricoes,
                 std::vector<char *> buffers, std::vector<int32_t *> inteiros) {
  std::string chamada = std::string(funcao) + "(";
  for (size_t i = 0; i < descricoes.size(); ++i) chamada += (i ? ", " : "") + descricoes[i];
  chamadas.push_back(chamada + ")");
  const Resposta r = ProximaResposta(funcao);
  for (size_t i = 0; i < buffers.size() && i < r.buffers.size(); ++i) {
    if (!buffers[i]) continue;
    const size_t capacidade = std::strlen(buffers[i]);
    const std::string &texto = r.buffers[i];
    const size_t n = texto.size() < capacidade ? texto.size() : capacidade;
    std::memcpy(buffers[i], texto.data(), n);
    if (n < capacidade) buffers[i][n] = '\0';
  }
  for (size_t i = 0; i < inteiros.size() && i < r.inteiros.size(); ++i)
    if (inteiros[i]) *inteiros[i] = r.inteiros[i];
  return r.retorno;
}

}  // namespace duble

// One recording function per driver function of the list.
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos)                      \
  extern "C" int32_t TARVIC_DRIVER nome parametros {                                 \
    return std::apply(                                                               \
        [](auto... a) {                                                              \
          std::vector<char *> buffers;                                               \
          std::vector<int32_t *> inteiros;                                           \
          (duble::Coleta(a, buffers, inteiros), ...);                                \
          return duble::Registra(#nome, {duble::Descreve(a)...}, buffers, inteiros); \
        },                                                                           \
        std::make_tuple argumentos);                                                 \
  }
#include "drivers/funcoes.inc"
#undef DRIVER
