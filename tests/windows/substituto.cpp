// Scripted stand-in for one manufacturer's driver DLL, for the Windows runs
// of the tests. Each function answers what the environment tells it:
//   TARVIC_SUBST_<Funcao>        "code[|buffer 1[|buffer 2...]]"
//   TARVIC_SUBST_<Funcao>_INT    "n1,n2,..." for the integers passed by address
// and 1 when nothing is set. Each call is appended to the file named by
// TARVIC_SUBST_REGISTRO, one line per call.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#define TARVIC_DRIVER __stdcall

namespace {

std::string Ambiente(const std::string &nome) {
  char buffer[4096];
  const DWORD n = GetEnvironmentVariableA(nome.c_str(), buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::vector<std::string> Parte(const std::string &texto, char separador) {
  std::vector<std::string> partes;
  size_t inicio = 0;
  for (size_t fim; (fim = texto.find(separador, inicio)) != std::string::npos; inicio = fim + 1)
    partes.push_back(texto.substr(inicio, fim - inicio));
  partes.push_back(texto.substr(inicio));
  return partes;
}

void Registra(const char *funcao) {
  const std::string arquivo = Ambiente("TARVIC_SUBST_REGISTRO");
  if (arquivo.empty()) return;
  if (FILE *f = std::fopen(arquivo.c_str(), "ab")) {
    std::fprintf(f, "%s\n", funcao);
    std::fclose(f);
  }
}

template <class T>
void Coleta(T, std::vector<char *> &, std::vector<int32_t *> &) {}
[[maybe_unused]] void Coleta(char *b, std::vector<char *> &buffers, std::vector<int32_t *> &) {
  buffers.push_back(b);
}
[[maybe_unused]] void Coleta(int32_t *i, std::vector<char *> &, std::vector<int32_t *> &inteiros) {
  inteiros.push_back(i);
}

int32_t Responde(const char *funcao, const std::vector<char *> &buffers,
                 const std::vector<int32_t *> &inteiros) {
  Registra(funcao);
  const std::string roteiro = Ambiente(std::string("TARVIC_SUBST_") + funcao);
  int32_t codigo = 1;
  if (!roteiro.empty()) {
    const std::vector<std::string> partes = Parte(roteiro, '|');
    codigo = std::atoi(partes[0].c_str());
    for (size_t i = 0; i + 1 < partes.size() && i < buffers.size(); ++i) {
      const size_t capacidade = std::strlen(buffers[i]);
      const size_t n = partes[i + 1].size() < capacidade ? partes[i + 1].size() : capacidade;
      std::memcpy(buffers[i], partes[i + 1].data(), n);
      if (n < capacidade) buffers[i][n] = '\0';
    }
  }
  const std::string numeros = Ambiente(std::string("TARVIC_SUBST_") + funcao + "_INT");
  if (!numeros.empty()) {
    const std::vector<std::string> partes = Parte(numeros, ',');
    for (size_t i = 0; i < partes.size() && i < inteiros.size(); ++i)
      *inteiros[i] = std::atoi(partes[i].c_str());
  }
  return codigo;
}

template <class... A>
int32_t Chamada(const char *funcao, A... a) {
  std::vector<char *> buffers;
  std::vector<int32_t *> inteiros;
  (Coleta(a, buffers, inteiros), ...);
  return Responde(funcao, buffers, inteiros);
}

}  // namespace

// Only the functions of the library being built (SUBSTITUTO_<BIBLIOTECA>).
#define SUBSTITUTO(nome, parametros, argumentos)                                                   \
  extern "C" int32_t TARVIC_DRIVER nome parametros {                                               \
    return std::apply([](auto... a) { return Chamada(#nome, a...); }, std::make_tuple argumentos); \
  }
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) \
  DRIVER_##biblioteca(nome, parametros, argumentos)
#define DRIVER_BEMAFI32(n, p, a) SUBSTITUTO_SE(BEMAFI32, n, p, a)
#define DRIVER_CONVECF(n, p, a) SUBSTITUTO_SE(CONVECF, n, p, a)
#define DRIVER_DARUMA32(n, p, a) SUBSTITUTO_SE(DARUMA32, n, p, a)
#define DRIVER_ELGIN(n, p, a) SUBSTITUTO_SE(ELGIN, n, p, a)
#define DRIVER_DLLG2(n, p, a) SUBSTITUTO_SE(DLLG2, n, p, a)
#define DRIVER_SWMFD(n, p, a) SUBSTITUTO_SE(SWMFD, n, p, a)
#define DRIVER_DLLG2_GERADOR(n, p, a) SUBSTITUTO_SE(DLLG2_GERADOR, n, p, a)
#define SUBSTITUTO_SE(b, n, p, a) SUBSTITUTO_SE_(SUBSTITUTO_##b, n, p, a)
#define SUBSTITUTO_SE_(ligado, n, p, a) SUBSTITUTO_SE__(ligado, n, p, a)
#define SUBSTITUTO_SE__(ligado, n, p, a) SUBSTITUTO_##ligado(n, p, a)
#define SUBSTITUTO_1(n, p, a) SUBSTITUTO(n, p, a)
#define SUBSTITUTO_SUBSTITUTO_BEMAFI32(n, p, a)
#define SUBSTITUTO_SUBSTITUTO_CONVECF(n, p, a)
#define SUBSTITUTO_SUBSTITUTO_DARUMA32(n, p, a)
#define SUBSTITUTO_SUBSTITUTO_ELGIN(n, p, a)
#define SUBSTITUTO_SUBSTITUTO_DLLG2(n, p, a)
#define SUBSTITUTO_SUBSTITUTO_SWMFD(n, p, a)
#define SUBSTITUTO_SUBSTITUTO_DLLG2_GERADOR(n, p, a)
#include "drivers/funcoes.inc"
