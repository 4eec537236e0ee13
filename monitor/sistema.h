// What the monitor asks of the operating system beyond sockets and what the
// simulator's file layer gives (simulador/modelo/arquivos.h): the
// environment, its own folder, and the command folder.
#pragma once

#include <string>

namespace monitor {

void DefineVariavel(const std::string &nome, const std::string &valor);
std::string Variavel(const std::string &nome);
// The folder of the monitor's executable, ending in the separator.
std::string PastaDoPrograma();

// The command folder: made with mode 0700 when missing; an existing one must
// be the user's and closed to others. Empty when fine, else what is wrong.
std::string PreparaPastaPrivada(const std::string &pasta);

}  // namespace monitor
