// The operating system itself: plataforma_windows.cpp and plataforma_posix.cpp
// define these; plataforma.cpp is their only caller, so that every question
// the library asks can be watched in one place.
#pragma once

#include "plataforma.h"

namespace plataforma::so {

extern const char SEPARADOR;

int CaixaMensagem(const std::string &texto, const std::string &titulo, uint32_t tipo);
void LiberaEntrada();
void ProcessaMensagens();
void Pausa(uint32_t milissegundos);
void DefinePausa(FuncaoPausa funcao);

std::string VariavelAmbiente(const std::string &nome);
bool PastaDoSistema(std::string &pasta);
std::string PastaTemporaria();
std::string PastaDoExecutavel();
std::string PastaDaBiblioteca();
std::string NomeDoPrograma();

bool ArquivoExiste(const std::string &caminho);
bool PastaExiste(const std::string &caminho);
bool CriaPasta(const std::string &caminho);
bool ApagaArquivo(const std::string &caminho);
bool CopiaArquivo(const std::string &origem, const std::string &destino);
bool MoveArquivo(const std::string &origem, const std::string &destino);
bool AcrescentaArquivo(const std::string &caminho, const std::string &texto);
std::vector<std::string> ListaPasta(const std::string &pasta, const std::string &mascara,
                                    bool pastas);

bool EscreveIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                const std::string &valor);
std::string LeIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                  const std::string &padrao);

void *CarregaBiblioteca(const std::string &nome);
void *FuncaoDaBiblioteca(void *biblioteca, const std::string &nome);
bool LiberaBiblioteca(void *biblioteca, uint32_t *erro);

HoraSistema HoraLocal();
uint64_t Milissegundos();
uint64_t IdentificadorThread();

void EntraExportacao();
void SaiExportacao();

}  // namespace plataforma::so
