// The protocol: one JSON request per line, one JSON reply per line.
//
//   {"id": 7, "funcao": "ecf_EfetuaFormaPagto", "args": ["Dinheiro", 219000],
//    "respostas": ["sim"]}
//   {"id": 7, "resultado": true, "ecf_Retorno": 1, "mensagens": [...], "retorno": {...}}
//   {"id": 7, "erro": "what was wrong"}
//
// The arguments go in the export's order, each of its kind: a text (or null,
// the empty text), true or false for a flag, an integer, money as an integer
// count of ten-thousandths, a date as a day number or as ISO text. Nothing
// is called for a request refused.
#pragma once

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tarvic.h"

namespace monitor {

using Json = nlohmann::ordered_json;

// A request refused, with what was wrong (in the reply's "erro").
struct Recusa : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Requisicao {
  Json id;  // a number, a text or null: echoed by the reply
  std::string funcao;
  Json args = Json::array();
  // Answers to the operator's questions of this call, in order (true: Yes);
  // the policy's default after them.
  std::vector<bool> respostas;
};

// Reads one line. Throws Recusa; `id` then holds the request's id when it
// could be read (null otherwise), for the reply.
Requisicao LeRequisicao(const std::string &linha, Json &id);

// A reply of refusal.
std::string RespostaDeErro(const Json &id, const std::string &erro);
// A reply or any other JSON value as one line (without the line break).
std::string Linha(const Json &valor);

// ---- Arguments -----------------------------------------------------------------

// Where an argument sits, for the messages: "argumento 2 (porta) de ecf_Inicializa".
struct Posicao {
  const char *funcao;
  size_t indice;  // from 0
  const std::string &nome;
};

template <class T>
struct Tipo {};

// The library's texts of one call: they live until the call returns.
using Textos = std::deque<std::string>;

const char *Converte(const Json &valor, const Posicao &p, Tipo<const char *>, Textos &textos);
int32_t Converte(const Json &valor, const Posicao &p, Tipo<int32_t>, Textos &);
tarvic_Flag Converte(const Json &valor, const Posicao &p, Tipo<tarvic_Flag>, Textos &);
tarvic_Moeda Converte(const Json &valor, const Posicao &p, Tipo<tarvic_Moeda>, Textos &);
tarvic_DataHora Converte(const Json &valor, const Posicao &p, Tipo<tarvic_DataHora>, Textos &);
// The message handler is the monitor's own: a function cannot travel in JSON.
ecf_TratadorMensagem Converte(const Json &valor, const Posicao &p, Tipo<ecf_TratadorMensagem>,
                              Textos &);

// ---- Results ---------------------------------------------------------------------

void PoeResultado(Json &resposta, tarvic_Flag resultado);
void PoeResultado(Json &resposta, int32_t resultado);
void PoeResultado(Json &resposta, tarvic_MoedaResultado resultado);  // an integer count
void PoeResultado(Json &resposta, tarvic_DataHora resultado);        // and "resultado_iso"

}  // namespace monitor
