// Recording double of every driver function: each call is kept with its
// arguments as the library passed them, and answers come from a script.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace duble {

// One answer of a driver function. Texts go, in order, into the buffers the
// library passed (char *), cut to the buffer's blanks and closed with a NUL
// when shorter; integers go, in order, into the integers passed by address.
struct Resposta {
  int32_t retorno = 1;
  std::vector<std::string> buffers;
  std::vector<int32_t> inteiros;
};

// Forgets the calls and the script; every function then answers 1.
void Reinicia();
// The next call of `funcao` gets this answer (answers queue up).
void Responde(const std::string &funcao, const Resposta &resposta);
// Every call of `funcao` without a queued answer gets this one.
void RespondeSempre(const std::string &funcao, const Resposta &resposta);

// The calls made since Reinicia, one text each: Nome("texto", NULL, [9], 10, &)
// where "texto" is a text passed in (bytes as passed), NULL a null pointer,
// [9] a buffer of 9 blanks ([9:"abc"] when it held other characters), 10 an
// integer, & an integer passed by address.
const std::vector<std::string> &Chamadas();
// Only the calls of functions whose names start with `prefixo`.
std::vector<std::string> ChamadasDe(const std::string &prefixo);
void EsqueceChamadas();

// Called by the generated functions.
int32_t Registra(const char *funcao, std::vector<std::string> descricoes,
                 std::vector<char *> buffers, std::vector<int32_t *> inteiros);

inline std::string Descreve(const char *texto) {
  return texto ? "\"" + std::string(texto) + "\"" : "NULL";
}
std::string Descreve(char *buffer);
inline std::string Descreve(int32_t valor) {
  return std::to_string(valor);
}
inline std::string Descreve(int32_t *) {
  return "&";
}
std::string Descreve(double valor);

}  // namespace duble
