// The Windows system calls behind the platform layer.
#include <windows.h>

#include <algorithm>

#include "plataforma_so.h"

namespace plataforma::so {

const char SEPARADOR = '\\';

namespace {
FuncaoPausa funcaoPausa = nullptr;
}

int CaixaMensagem(const std::string &texto, const std::string &titulo, uint32_t tipo) {
  return MessageBoxA(nullptr, texto.c_str(), titulo.c_str(), tipo);
}

void LiberaEntrada() {
  BlockInput(FALSE);
}

void ProcessaMensagens() {
  MSG mensagem;
  while (PeekMessageA(&mensagem, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&mensagem);
    DispatchMessageA(&mensagem);
  }
}

void Pausa(uint32_t milissegundos) {
  if (funcaoPausa)
    funcaoPausa(milissegundos);
  else
    Sleep(milissegundos);
}

void DefinePausa(FuncaoPausa funcao) {
  funcaoPausa = funcao;
}

std::string VariavelAmbiente(const std::string &nome) {
  char buffer[32768];
  const DWORD n = GetEnvironmentVariableA(nome.c_str(), buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool PastaDoSistema(std::string &pasta) {
  char buffer[260 + 1] = {};
  const UINT n = GetSystemDirectoryA(buffer, 260);
  if (n == 0 || n >= 260) return false;
  pasta = buffer;
  return true;
}

std::string PastaTemporaria() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(MAX_PATH, buffer);
  return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

namespace {

// The path of a module's file (null: the executable's); empty when the
// system does not tell it or it does not fit.
std::string CaminhoDoModulo(HMODULE modulo) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(modulo, buffer, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? std::string() : std::string(buffer, n);
}

// The folder of a path, ending in its separator; empty for an empty path.
std::string PastaDe(const std::string &caminho) {
  return caminho.substr(0, caminho.find_last_of("\\/") + 1);
}

}  // namespace

std::string PastaDoExecutavel() {
  return PastaDe(CaminhoDoModulo(nullptr));
}

std::string NomeDoPrograma() {
  const std::string caminho = CaminhoDoModulo(nullptr);
  return caminho.substr(caminho.find_last_of("\\/") + 1);
}

// The folder of tarvic.dll itself: the module that holds this function.
std::string PastaDaBiblioteca() {
  HMODULE modulo = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&PastaDaBiblioteca), &modulo))
    return "";
  return PastaDe(CaminhoDoModulo(modulo));
}

bool ArquivoExiste(const std::string &caminho) {
  const DWORD atributos = GetFileAttributesA(caminho.c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && !(atributos & FILE_ATTRIBUTE_DIRECTORY);
}

bool PastaExiste(const std::string &caminho) {
  const DWORD atributos = GetFileAttributesA(caminho.c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY);
}

bool CriaPasta(const std::string &caminho) {
  return CreateDirectoryA(caminho.c_str(), nullptr) || PastaExiste(caminho);
}

bool ApagaArquivo(const std::string &caminho) {
  return DeleteFileA(caminho.c_str()) != 0;
}

bool CopiaArquivo(const std::string &origem, const std::string &destino) {
  return CopyFileA(origem.c_str(), destino.c_str(), FALSE) != 0;
}

bool MoveArquivo(const std::string &origem, const std::string &destino) {
  return MoveFileA(origem.c_str(), destino.c_str()) != 0;
}

bool AcrescentaArquivo(const std::string &caminho, const std::string &texto) {
  HANDLE arquivo =
      CreateFileA(caminho.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (arquivo == INVALID_HANDLE_VALUE) return false;
  bool gravou = true;
  for (size_t feito = 0; gravou && feito < texto.size();) {
    const DWORD parte = static_cast<DWORD>(std::min<size_t>(texto.size() - feito, 1u << 20));
    DWORD escrito = 0;
    gravou = WriteFile(arquivo, texto.data() + feito, parte, &escrito, nullptr) && escrito == parte;
    feito += escrito;
  }
  return CloseHandle(arquivo) && gravou;
}

std::vector<std::string> ListaPasta(const std::string &pasta, const std::string &mascara,
                                    bool pastas) {
  std::vector<std::string> nomes;
  std::string base = pasta;
  if (!base.empty() && base.back() != '\\') base += '\\';
  WIN32_FIND_DATAA dados;
  HANDLE busca = FindFirstFileA((base + mascara).c_str(), &dados);
  if (busca == INVALID_HANDLE_VALUE) return nomes;
  do {
    const bool ehPasta = (dados.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::string nome = dados.cFileName;
    if (ehPasta == pastas && nome != "." && nome != "..") nomes.push_back(nome);
  } while (FindNextFileA(busca, &dados));
  FindClose(busca);
  return nomes;
}

bool EscreveIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                const std::string &valor) {
  return WritePrivateProfileStringA(secao.c_str(), chave.c_str(), valor.c_str(), arquivo.c_str()) !=
         0;
}

std::string LeIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                  const std::string &padrao) {
  char buffer[2048] = {};
  const DWORD n = GetPrivateProfileStringA(secao.c_str(), chave.c_str(), padrao.c_str(), buffer,
                                           sizeof buffer, arquivo.c_str());
  return std::string(buffer, n);
}

void *CarregaBiblioteca(const std::string &nome) {
  return reinterpret_cast<void *>(LoadLibraryA(nome.c_str()));
}

void *FuncaoDaBiblioteca(void *biblioteca, const std::string &nome) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(biblioteca), nome.c_str()));
}

bool LiberaBiblioteca(void *biblioteca, uint32_t *erro) {
  if (erro) *erro = 0;
  if (!biblioteca || FreeLibrary(static_cast<HMODULE>(biblioteca))) return true;
  if (erro) *erro = GetLastError();
  return false;
}

HoraSistema HoraLocal() {
  SYSTEMTIME agora;
  GetLocalTime(&agora);
  HoraSistema h;
  h.ano = agora.wYear;
  h.mes = agora.wMonth;
  h.dia = agora.wDay;
  h.hora = agora.wHour;
  h.minuto = agora.wMinute;
  h.segundo = agora.wSecond;
  h.milissegundo = agora.wMilliseconds;
  return h;
}

// Wraps after 49 days; the trace only takes differences of a few seconds.
uint64_t Milissegundos() {
  return GetTickCount();
}

uint64_t IdentificadorThread() {
  return GetCurrentThreadId();
}

namespace {
// Made when the DLL is loaded, before the host can call any export.
struct TravaExportacoes {
  CRITICAL_SECTION secao;
  TravaExportacoes() { InitializeCriticalSection(&secao); }
  ~TravaExportacoes() { DeleteCriticalSection(&secao); }
} travaExportacoes;
}  // namespace

void EntraExportacao() {
  EnterCriticalSection(&travaExportacoes.secao);
}

void SaiExportacao() {
  LeaveCriticalSection(&travaExportacoes.secao);
}

}  // namespace plataforma::so
