// What the library asks of the operating system. plataforma_windows.cpp
// implements it for the DLL; plataforma_posix.cpp stands in for it on the
// native build; plataforma.cpp passes the library's questions on to them,
// where the call trace can watch them and its replay answer them. Nothing else
// in the library touches the system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plataforma {

// Path separator of the system: '\\' on Windows, '/' elsewhere. The replay of
// a trace sets the separator of the system the trace was recorded on.
extern char Separador;

// Buttons and flags of the message boxes, as the Windows API numbers them.
constexpr uint32_t MB_INFORMACAO = 0x40;  // MB_OK | MB_ICONINFORMATION
constexpr uint32_t MB_PERGUNTA = 0x24;    // MB_YESNO | MB_ICONQUESTION
constexpr int ID_OK = 1;
constexpr int ID_SIM = 6;
constexpr int ID_NAO = 7;

// Modal message box owned by the caller's thread; returns the button pressed.
// Without a window system the text goes to standard error and a question is
// answered No.
int CaixaMensagem(const std::string &texto, const std::string &titulo, uint32_t tipo);
// Releases any keyboard and mouse block the host may have set (BlockInput).
void LiberaEntrada();
// Runs the host's pending window messages.
void ProcessaMensagens();
// Waits; tests replace the wait so that they do not sleep.
void Pausa(uint32_t milissegundos);
using FuncaoPausa = void (*)(uint32_t milissegundos);
void DefinePausa(FuncaoPausa funcao);  // null restores the real wait

// Value of an environment variable; empty when it is not set.
std::string VariavelAmbiente(const std::string &nome);
// The system folder (GetSystemDirectory into a buffer of 260); false when the
// system does not tell it.
bool PastaDoSistema(std::string &pasta);
// The system's temporary folder.
std::string PastaTemporaria();
// Folder of the host program's executable, ending in the separator.
std::string PastaDoExecutavel();

bool ArquivoExiste(const std::string &caminho);
bool PastaExiste(const std::string &caminho);
bool CriaPasta(const std::string &caminho);  // one level
bool ApagaArquivo(const std::string &caminho);
bool CopiaArquivo(const std::string &origem, const std::string &destino);
bool MoveArquivo(const std::string &origem, const std::string &destino);
// Appends the bytes of `texto` to the end of a file, creating the file when it
// is missing (also for an empty text); false when the file cannot be opened or
// the bytes cannot all be written.
bool AcrescentaArquivo(const std::string &caminho, const std::string &texto);
// Names (not paths) of the entries of a folder matching a mask with * and ?.
std::vector<std::string> ListaPasta(const std::string &pasta, const std::string &mascara,
                                    bool pastas);

// INI files, as the Windows profile API keeps them: a key written replaces its
// value in place, a new key goes to the end of its section, a new section to
// the end of the file, lines end in CR LF, a missing file is created.
bool EscreveIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                const std::string &valor);
std::string LeIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                  const std::string &padrao);

// The local date and time of the system clock, as the library reads it.
struct HoraSistema {
  int ano = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0, milissegundo = 0;
};
HoraSistema HoraLocal();

// Run-time loading of a library: a plain name is looked for in the host
// program's folder first. A library that cannot be loaded gives null.
void *CarregaBiblioteca(const std::string &nome);
void *FuncaoDaBiblioteca(void *biblioteca, const std::string &nome);
// False when the system refuses the release; `erro` then gets its error code.
bool LiberaBiblioteca(void *biblioteca, uint32_t *erro = nullptr);

// ---- Serving several threads ---------------------------------------------------

// One re-entrant lock around every export: a second thread waits, the thread
// that holds it (a message handler calling an export) goes on.
void EntraExportacao();
void SaiExportacao();

// ---- What the call trace needs, never watched by it ---------------------------------

// Folder of tarvic.dll (of the executable, natively), ending in the separator.
std::string PastaDaBiblioteca();
// File name of the host program's executable, without its folder; empty
// when the system does not tell it.
std::string NomeDoPrograma();
// The clock for the trace's time stamps, and a steady count of milliseconds.
HoraSistema MarcaDeTempo();
uint64_t Milissegundos();
uint64_t IdentificadorThread();
// A file kept open for appending; null when it cannot be opened.
struct Acrescimo;
Acrescimo *AbreAcrescimo(const std::string &caminho, uint64_t &tamanho);
bool Acrescenta(Acrescimo *arquivo, const std::string &texto);
void FechaAcrescimo(Acrescimo *arquivo);
// Renames a file, replacing the destination.
bool Substitui(const std::string &origem, const std::string &destino);

// ---- Watching the library's questions to the system -------------------------------

// An argument or answer of a watched call: a text or a number.
struct Valor {
  bool texto;
  std::string valor;
};
// The call trace installs an observer while it records: `Responde` may answer
// a call in the system's place (the replay does) and `Registra` sees every
// call with its answer. Watched: the environment, the folders, the files, the
// INI files, the clock, the message boxes and the host's window messages.
struct Observador {
  bool (*Responde)(const char *funcao, const std::vector<Valor> &argumentos,
                   std::vector<Valor> &resposta);
  void (*Registra)(const char *funcao, const std::vector<Valor> &argumentos,
                   const std::vector<Valor> &resposta);
};
void DefineObservador(const Observador *observador);  // null: none

}  // namespace plataforma
