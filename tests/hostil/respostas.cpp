#include "respostas.h"

#include <cstring>
#include <limits>

namespace hostil {

namespace {

uint64_t Hash(const char *texto) {
  uint64_t h = 1469598103934665603ULL;
  for (; *texto; ++texto) h = (h ^ static_cast<unsigned char>(*texto)) * 1099511628211ULL;
  return h;
}

template <class T, size_t N>
T Um(Gerador &g, const T (&opcoes)[N]) {
  return opcoes[g() % N];
}

void Digitos(Gerador &g, char *buffer, size_t n) {
  for (size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>('0' + g() % 10);
}

void Lixo(Gerador &g, char *buffer, size_t n) {
  for (size_t i = 0; i < n; ++i) buffer[i] = CaractereHostil(g);
}

}  // namespace

int32_t CodigoHostil(Gerador &g) {
  static const int32_t extremos[] = {std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max(),
                                     -1,
                                     2,
                                     255,
                                     256,
                                     -27,
                                     -36,
                                     1012};
  switch (g() % 10) {
    case 0:
    case 1:
    case 2:
    case 3:
      return 1;
    case 4:
      return 0;
    case 5:
      return -static_cast<int32_t>(g() % 40);
    case 6:
      return static_cast<int32_t>(g() % 100);
    case 7:
      return Um(g, extremos);
    default:
      return static_cast<int32_t>(g());
  }
}

int32_t InteiroHostil(Gerador &g) {
  static const int32_t valores[] = {0,
                                    1,
                                    -1,
                                    2,
                                    4,
                                    64,
                                    128,
                                    192,
                                    255,
                                    256,
                                    -128,
                                    129,
                                    0xFF,
                                    0x7FFF,
                                    std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max()};
  return g() % 4 == 0 ? static_cast<int32_t>(g()) : Um(g, valores);
}

char CaractereHostil(Gerador &g) {
  static const char separadores[] = "0123456789,./:|; ";
  switch (g() % 6) {
    case 0:
    case 1:
    case 2:
      return separadores[g() % (sizeof separadores - 1)];
    case 3:
      return static_cast<char>(0x80 + g() % 0x80);
    case 4:
      return static_cast<char>(1 + g() % 31);  // control characters, ESC among them
    default:
      return static_cast<char>(' ' + g() % 95);
  }
}

void PreencheHostil(Gerador &g, char *buffer, size_t n) {
  if (n == 0) return;
  switch (g() % 9) {
    case 0:  // left as handed over
      return;
    case 1:
      Lixo(g, buffer, n);
      return;
    case 2:
      Digitos(g, buffer, n);
      return;
    case 3: {  // shorter, closed with a NUL
      const size_t k = g() % n;
      Lixo(g, buffer, k);
      buffer[k] = '\0';
      return;
    }
    case 4: {
      const size_t k = g() % n;
      Digitos(g, buffer, k);
      buffer[k] = '\0';
      return;
    }
    case 5:  // a NUL in the middle of a full buffer
      Lixo(g, buffer, n);
      buffer[g() % n] = '\0';
      return;
    case 6:
      buffer[0] = '\0';
      return;
    case 7:  // digits broken by separators and blanks
      for (size_t i = 0; i < n; ++i)
        buffer[i] = g() % 5 ? static_cast<char>('0' + g() % 10) : ",./: "[g() % 5];
      return;
    default:  // only the first part written
      Digitos(g, buffer, 1 + g() % n);
      return;
  }
}

void FonteAleatoria::Reinicia(uint64_t semente, Modo modo) {
  semente_ = semente;
  modo_ = modo;
  gerador_.seed(semente);
  codigosForcados.clear();
  textosBenignos.clear();
}

Gerador &FonteAleatoria::GeradorDe(const char *funcao, uint64_t sal) {
  if (modo_ != Modo::Fixo) return gerador_;
  fixo_.seed(semente_ ^ Hash(funcao) ^ sal);
  return fixo_;
}

int32_t FonteAleatoria::Codigo(const char *funcao) {
  const auto forcado = codigosForcados.find(funcao);
  if (forcado != codigosForcados.end()) return forcado->second;
  if (modo_ == Modo::Benigno) return 1;
  return CodigoHostil(GeradorDe(funcao, 1));
}

void FonteAleatoria::Preenche(const char *funcao, char *buffer, size_t tamanho) {
  if (modo_ == Modo::Benigno) {
    const auto texto = textosBenignos.find(funcao);
    if (texto == textosBenignos.end()) return;
    const size_t n = std::min(tamanho, texto->second.size());
    std::memcpy(buffer, texto->second.data(), n);
    if (n < tamanho) buffer[n] = '\0';
    return;
  }
  PreencheHostil(GeradorDe(funcao, 2), buffer, tamanho);
}

int32_t FonteAleatoria::Inteiro(const char *funcao) {
  if (modo_ == Modo::Benigno) return 0;
  return InteiroHostil(GeradorDe(funcao, 3));
}

}  // namespace hostil
