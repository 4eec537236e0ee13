// Reading a call trace for its replay: the files given, line by line without
// holding them, each line checked to be one the library writes (its kind,
// its fields, texts in UTF-8 whose escapes and characters give back
// Windows-1252 bytes, the arguments each export and driver function takes),
// and the lines checked together (exports entered and left in order, files
// given oldest first). What is not a trace is told with its file and line
// and what was expected there.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "traco.h"

namespace reproducao {

// Exports entered inside exports (a message handler calling the library)
// deeper than this are no session a host makes.
constexpr size_t ANINHAMENTO_MAXIMO = 32;
// A line longer than this is no line the library writes.
constexpr size_t LINHA_MAXIMA = 16 * 1024 * 1024;

struct Registro {
  size_t arquivo = 0;   // index in the files given
  size_t numero = 0;    // line number
  std::string carimbo;  // date and time, "2025-03-15T10:02:11.482"
  std::string texto;    // the line after its time stamp and thread
  traco::Evento evento;
};

// Where the next line starts.
struct Posicao {
  size_t arquivo = 0;
  uint64_t deslocamento = 0;
  size_t numero = 1;
};

// The files given, read as one trace, one line at a time.
class Leitor {
 public:
  // `caminhos`, when given, are where the files are opened (the names stay
  // for the messages).
  explicit Leitor(std::vector<std::string> arquivos, std::vector<std::string> caminhos = {});
  // One trace held in memory, named `nome` (the fuzz target).
  Leitor(const std::string &nome, const std::string &conteudo);
  ~Leitor();
  Leitor(const Leitor &) = delete;
  Leitor &operator=(const Leitor &) = delete;

  // The next line, checked; false at the end of the last file or on an
  // error (Erro() then says what, with its file and line).
  bool Proximo(Registro &registro);
  const std::string &Erro() const { return erro_; }
  Posicao Onde() const { return onde_; }
  bool VaiPara(const Posicao &posicao);
  const std::string &Nome(size_t arquivo) const { return arquivos_[arquivo]; }
  size_t Arquivos() const { return arquivos_.size(); }
  uint64_t BytesLidos() const { return lidos_; }  // of all the files, up to here
  uint64_t BytesTotais() const { return total_; }

 private:
  bool Abre(size_t arquivo, uint64_t deslocamento);
  bool LeLinha(std::string &linha, bool &comFim);
  bool Falha(const std::string &oque);

  std::vector<std::string> arquivos_, caminhos_;
  bool naMemoria_ = false;
  std::string bloco_;  // read from the file (all of it in memory)
  size_t lido_ = 0;    // of the block
  std::FILE *atual_ = nullptr;
  Posicao onde_;
  uint64_t lidos_ = 0, total_ = 0;  // bytes before the next line; of all files
  std::vector<uint64_t> tamanhos_;
  size_t registrosDoArquivo_ = 0;
  std::string erro_;
};

// One line (without its end) as a record, or false with what is wrong.
bool Analisa(const std::string &linha, Registro &registro, std::string &erro);

// A quoted text of the trace back to its Windows-1252 bytes (a masked digit
// becomes 1); false when it is not one the trace writes.
bool Decodifica(const std::string &campo, std::string &bytes, std::string *erro = nullptr);

bool Inicio(const Registro &registro);       // "# tarvic inicio": a run of the program
bool Continuacao(const Registro &registro);  // "# tarvic continuacao": a file renewed

// The lines taken together: exports left in the order entered, the depth of
// exports inside exports, the files given oldest first, and at least one
// export. Fed every record in order; Fim() after the last.
class Verificacao {
 public:
  explicit Verificacao(const Leitor &leitor) : leitor_(leitor) {}
  bool Confere(const Registro &registro);
  bool Fim();
  const std::string &Erro() const { return erro_; }
  // What support should know although the trace plays: a first file that
  // begins in the middle of a run.
  const std::string &Aviso() const { return aviso_; }
  size_t Exportacoes() const { return exportacoes_; }
  size_t Sessoes() const { return sessoes_; }

 private:
  bool Falha(const Registro &registro, const std::string &oque);
  bool NovoArquivo(const Registro &registro);
  bool ConfereOrdem();

  const Leitor &leitor_;
  std::vector<std::string> abertas_;
  size_t exportacoes_ = 0, sessoes_ = 0, linhas_ = 0, arquivo_ = SIZE_MAX;
  std::string primeiroDoArquivo_, primeiroDoAnterior_, ultimo_;
  std::string erro_, aviso_;
};

}  // namespace reproducao
