// What the library asks of the operating system. plataforma_windows.cpp
// implements it for the DLL; plataforma_posix.cpp stands in for it on the
// native build. Nothing else in the library touches the system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plataforma {

// Path separator of the system: '\\' on Windows, '/' elsewhere.
extern const char Separador;

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

// Run-time loading of a library: a plain name is looked for in the host
// program's folder first. A library that cannot be loaded gives null.
void *CarregaBiblioteca(const std::string &nome);
void *FuncaoDaBiblioteca(void *biblioteca, const std::string &nome);
// False when the system refuses the release; `erro` then gets its error code.
bool LiberaBiblioteca(void *biblioteca, uint32_t *erro = nullptr);

}  // namespace plataforma
