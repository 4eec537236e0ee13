// The monitor's options, from the command line and from an optional INI file
// (section [monitor], the same names without the dashes); the command line
// wins.
#pragma once

#include <string>

namespace monitor {

struct Opcoes {
  std::string escuta = "127.0.0.1:6017";
  std::string http = "127.0.0.1:6018";  // "nao": no panel
  std::string pastaComandos;            // empty: no file mode
  std::string token;
  bool sim = false;   // the default answer to the operator's questions
  std::string traco;  // empty: TARVIC_LOG, else a file of the monitor's own; "nao": off
  int ocioso = 600;
  int maxConexoes = 64;
  int intervaloPasta = 200;
  bool ajuda = false;
};

// Throws std::runtime_error with what was wrong.
Opcoes LeOpcoes(int argc, char **argv);
std::string Ajuda();

}  // namespace monitor
