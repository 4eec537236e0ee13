#include "sistema.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace monitor {

void DefineVariavel(const std::string &nome, const std::string &valor) {
#if defined(_WIN32)
  // The CRT's copy (the stand-in drivers read it) and the process's block (the library's).
  _putenv_s(nome.c_str(), valor.c_str());
  SetEnvironmentVariableA(nome.c_str(), valor.c_str());
#else
  setenv(nome.c_str(), valor.c_str(), 1);
#endif
}

std::string Variavel(const std::string &nome) {
  const char *v = std::getenv(nome.c_str());
  return v ? v : "";
}

std::string PastaDoPrograma() {
#if defined(_WIN32)
  char b[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, b, MAX_PATH);
  std::string caminho(b, n);
#else
  std::error_code erro;
  std::string caminho = std::filesystem::read_symlink("/proc/self/exe", erro).string();
#endif
  const size_t barra = caminho.find_last_of("/\\");
  return barra == std::string::npos ? std::string() : caminho.substr(0, barra + 1);
}

#if defined(_WIN32)

// %TEMP% and the user's folders are the user's own on Windows; the folder
// is made with the default protection of where it goes.
std::string PreparaPastaPrivada(const std::string &pasta) {
  std::error_code erro;
  std::filesystem::create_directories(pasta, erro);
  if (!std::filesystem::is_directory(pasta, erro)) return "não é uma pasta: " + pasta;
  return std::string();
}

#else

std::string PreparaPastaPrivada(const std::string &pasta) {
  if (mkdir(pasta.c_str(), 0700) != 0 && errno != EEXIST) return "não pôde ser criada: " + pasta;
  struct stat s;
  if (lstat(pasta.c_str(), &s) != 0 || !S_ISDIR(s.st_mode)) return "não é uma pasta: " + pasta;
  if (s.st_uid != getuid()) return "é de outro usuário: " + pasta;
  if (s.st_mode & 022) return "outros usuários podem escrever nela: " + pasta;
  return std::string();
}

#endif

}  // namespace monitor
