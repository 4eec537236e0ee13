// What the monitor asks of the operating system beyond sockets: the
// environment, its own folder, the user's folder, and files a host leaves in
// the command folder, honoured only when they are the user's own.
#pragma once

#include <string>

namespace monitor {

void DefineVariavel(const std::string &nome, const std::string &valor);
std::string Variavel(const std::string &nome);
// The folder of the monitor's executable, ending in the separator.
std::string PastaDoPrograma();
char Separador();

// The command folder: made with mode 0700 when missing; an existing one must
// be the user's and closed to others. Empty when fine, else what is wrong.
std::string PreparaPastaPrivada(const std::string &pasta);
// A command file: a regular file of the user (not a link), read whole.
// False, with the reason, for anything else.
bool LeArquivoDoUsuario(const std::string &caminho, std::string &conteudo, std::string &motivo);

}  // namespace monitor
