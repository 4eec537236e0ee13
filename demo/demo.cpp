// The demo: a shop's session against the simulated printer.
//   demo [--fabricante NOME] [--uf UF] [--pasta PASTA] [--desliga-no-meio] [--reducao-z]
//        [--silencioso]
#include <cstdio>
#include <cstring>
#include <string>

#include "sessao.h"

int main(int argc, char **argv) {
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
