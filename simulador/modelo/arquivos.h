// The simulator's only contact with the file system: files appended to and
// never followed through a symbolic link, files replaced whole through a
// working file of a unique name created exclusively, flushes to the disk,
// files read only when they belong to the user, and the user's own folder.
// POSIX and Windows implementations (arquivos_posix.cpp, arquivos_windows.cpp).
#pragma once

#include <cstdint>
#include <string>

namespace tarvic {
namespace simulador {
namespace arquivo {

// A file opened for appending. It is created (readable by the user alone)
// when missing; a symbolic link in its place, or a file of another user, is
// refused: never written through.
class Anexo {
 public:
  Anexo() = default;
  ~Anexo() { fecha(); }
  Anexo(const Anexo&) = delete;
  Anexo& operator=(const Anexo&) = delete;

  bool abre(const std::string& caminho);
  bool aberto() const;
  const std::string& caminho() const { return caminho_; }
  // One write at the end of the file.
  bool acrescenta(const std::string& dados);
  // The data written so far reaches the disk.
  bool sincroniza();
  bool trunca(uint64_t tamanho);
  int64_t tamanho() const;  // -1 when it cannot be told
  // The bytes from `inicio` to the end.
  bool leDesde(uint64_t inicio, std::string& dados) const;
  void fecha();

 private:
  std::string caminho_;
#if defined(_WIN32)
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// The whole file; false when it cannot be read.
bool Le(const std::string& caminho, std::string& conteudo);

enum class Leitura { Ausente, Lido, Recusado };
// Reads a file only when it is a regular file of the user running the
// program, opened without following a link; Recusado otherwise (Windows
// trusts any regular file: %TEMP% is the user's own there).
Leitura LeSeDoUsuario(const std::string& caminho, std::string& conteudo);

// Replaces the file whole: the content goes to a working file of a unique
// name beside it, created exclusively, then takes the file's place (a link
// in that place is replaced, never followed). With `sincroniza`, the working
// file and the folder reach the disk around the replacement.
bool Substitui(const std::string& caminho, const std::string& conteudo, bool sincroniza);
// A file at `caminho` that is no longer needed; no error when it is missing.
bool Remove(const std::string& caminho);
// Moves a file aside, replacing what was at `destino`.
bool Renomeia(const std::string& origem, const std::string& destino);
// Working files that a process killed in the middle of Substitui left
// beside `caminho`.
void RemoveTemporariosDe(const std::string& caminho);
// The folder and the folders above it, made when missing (the last one
// readable by the user alone).
bool CriaPasta(const std::string& pasta);
bool Existe(const std::string& caminho);
bool EhPasta(const std::string& caminho);

// The user's own folder for the simulator's files: under XDG_RUNTIME_DIR, or
// the user's cache folder, or else a folder in the temporary folder made
// with mode 0700 and checked to belong to the user. Windows: %TEMP%.
// Empty when no such folder can be had.
std::string PastaDoUsuario();
char Separador();

// Tests: called before every change the simulator makes to a file (a write,
// a flush, a replacement, a truncation, a removal), with what and where.
using Observador = void (*)(const char* operacao, const std::string& caminho);
void DefineObservador(Observador observador);
void Observa(const char* operacao, const std::string& caminho);

}  // namespace arquivo
}  // namespace simulador
}  // namespace tarvic
