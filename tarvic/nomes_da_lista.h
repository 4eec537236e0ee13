// The names of an argument list as the tables write it, "(a, b, c)": the
// driver functions of drivers/funcoes.inc and the exports of exportacoes.inc.
// Header only, standard C++, so that the monitor, a host of tarvic.dll, reads
// the export table with it as the library's own tools do.
#pragma once

#include <string>
#include <vector>

namespace tarvic {

inline std::vector<std::string> NomesDaLista(const char *lista) {
  std::vector<std::string> nomes;
  std::string nome;
  for (const char *c = lista; *c; ++c) {
    if (*c == ',' || *c == ')') {
      if (!nome.empty()) nomes.push_back(nome);
      nome.clear();
    } else if (*c != '(' && *c != ' ') {
      nome += *c;
    }
  }
  return nomes;
}

}  // namespace tarvic
