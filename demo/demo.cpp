// The demo: a shop's session against the simulated printer.
//   demo [--fabricante NOME] [--uf UF] [--pasta PASTA] [--desliga-no-meio] [--reducao-z]
//        [--silencioso]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "sessao.h"

namespace {

#if defined(_WIN32)
// The demo writes UTF-8; a console keeps the code page of its country
// (850 in Brazil) unless told, and would show the accents garbled. The
// console gets its own page back when the demo ends.
UINT paginaDoConsole = 0;

void RestauraConsole() {
  SetConsoleOutputCP(paginaDoConsole);
}

void ConsoleEmUtf8() {
  paginaDoConsole = GetConsoleOutputCP();
  if (paginaDoConsole != 0 && paginaDoConsole != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
    std::atexit(RestauraConsole);
}
#else
void ConsoleEmUtf8() {}
#endif

}  // namespace

int main(int argc, char **argv) {
  ConsoleEmUtf8();
  OpcoesSessao opcoes;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool temValor = i + 1 < argc;
    if (a == "--fabricante" && temValor) {
      opcoes.fabricante = argv[++i];
    } else if (a == "--uf" && temValor) {
      opcoes.uf = argv[++i];
    } else if (a == "--pasta" && temValor) {
      opcoes.pasta = argv[++i];
    } else if (a == "--reducao-z") {
      opcoes.reducaoZ = true;
    } else if (a == "--desliga-no-meio") {
      opcoes.desligaNoMeio = true;
    } else if (a == "--silencioso") {
      opcoes.detalhes = false;
    } else {
      std::fprintf(stderr,
                   "uso: %s [--fabricante BEMATECH|SWEDA|DARUMA|ELGIN|DATAREGIS|URANO] [--uf UF] "
                   "[--pasta PASTA] [--desliga-no-meio] [--reducao-z] [--silencioso]\n",
                   argv[0]);
      return 2;
    }
  }
  for (char &c : opcoes.fabricante)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const bool ok = RodaSessao(opcoes);
  if (!opcoes.detalhes) std::printf("%s: %s\n", opcoes.fabricante.c_str(), ok ? "ok" : "FALHOU");
  return ok ? 0 : 1;
}
