// The file system seam on Windows. %TEMP% is the user's own folder there,
// and creating symbolic links takes a privilege: the links and ownership
// checks of the POSIX side have nothing to guard against.
#include "arquivos.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tarvic {
namespace simulador {
namespace arquivo {

namespace {

HANDLE Handle(void* h) {
  return static_cast<HANDLE>(h);
}

std::string PastaDe(const std::string& caminho) {
  const std::size_t barra = caminho.find_last_of("\\/");
  return barra == std::string::npos ? std::string(".") : caminho.substr(0, barra);
}

bool EscreveTudo(HANDLE h, const std::string& dados) {
  std::size_t feito = 0;
  while (feito < dados.size()) {
    DWORD escrito = 0;
    const DWORD pedaco = static_cast<DWORD>(std::min<std::size_t>(dados.size() - feito, 1 << 20));
    if (!WriteFile(h, dados.data() + feito, pedaco, &escrito, nullptr) || escrito == 0)
      return false;
    feito += escrito;
  }
  return true;
}

bool LeTudo(HANDLE h, std::string& conteudo) {
  conteudo.clear();
  char bloco[65536];
  for (;;) {
    DWORD lido = 0;
    if (!ReadFile(h, bloco, sizeof bloco, &lido, nullptr)) return false;
    if (lido == 0) return true;
    conteudo.append(bloco, lido);
  }
}

bool Move(const std::string& origem, const std::string& destino, bool sincroniza) {
  DWORD modo = MOVEFILE_REPLACE_EXISTING;
  if (sincroniza) modo |= MOVEFILE_WRITE_THROUGH;
  return MoveFileExA(origem.c_str(), destino.c_str(), modo) != 0;
}

}  // namespace

char Separador() {
  return '\\';
}

// ---------------------------------------------------------------- Anexo

bool Anexo::abre(const std::string& caminho) {
  fecha();
  caminho_ = caminho;
  if (!Existe(caminho)) Observa("cria", caminho);
  HANDLE h = CreateFileA(caminho.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  return true;
}

bool Anexo::aberto() const {
  return handle_ != nullptr;
}

bool Anexo::acrescenta(const std::string& dados) {
  if (!handle_) return false;
  if (dados.empty()) return true;
  Observa("acrescenta", caminho_);
  LARGE_INTEGER zero{};
  return SetFilePointerEx(Handle(handle_), zero, nullptr, FILE_END) &&
         EscreveTudo(Handle(handle_), dados);
}

bool Anexo::sincroniza() {
  if (!handle_) return false;
  Observa("sincroniza", caminho_);
  return FlushFileBuffers(Handle(handle_)) != 0;
}

bool Anexo::trunca(uint64_t tamanho) {
  if (!handle_) return false;
  Observa("trunca", caminho_);
  LARGE_INTEGER posicao;
  posicao.QuadPart = static_cast<LONGLONG>(tamanho);
  return SetFilePointerEx(Handle(handle_), posicao, nullptr, FILE_BEGIN) &&
         SetEndOfFile(Handle(handle_));
}

int64_t Anexo::tamanho() const {
  LARGE_INTEGER t;
  if (!handle_ || !GetFileSizeEx(Handle(handle_), &t)) return -1;
  return static_cast<int64_t>(t.QuadPart);
}

bool Anexo::leDesde(uint64_t inicio, std::string& dados) const {
  dados.clear();
  if (!handle_) return false;
  LARGE_INTEGER posicao;
  posicao.QuadPart = static_cast<LONGLONG>(inicio);
  return SetFilePointerEx(Handle(handle_), posicao, nullptr, FILE_BEGIN) &&
         LeTudo(Handle(handle_), dados);
}

void Anexo::fecha() {
  if (handle_) CloseHandle(Handle(handle_));
  handle_ = nullptr;
}

// ---------------------------------------------------------------- whole files

bool Le(const std::string& caminho, std::string& conteudo) {
  HANDLE h = CreateFileA(caminho.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool lido = LeTudo(h, conteudo);
  CloseHandle(h);
  return lido;
}

Leitura LeSeDoUsuario(const std::string& caminho, std::string& conteudo) {
  const DWORD atributos = GetFileAttributesA(caminho.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return Leitura::Ausente;
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) return Leitura::Recusado;
  return Le(caminho, conteudo) ? Leitura::Lido : Leitura::Recusado;
}

bool Substitui(const std::string& caminho, const std::string& conteudo, bool sincroniza) {
  static unsigned contador = 0;
  std::string temporario;
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int tentativa = 0; h == INVALID_HANDLE_VALUE && tentativa < 100; ++tentativa) {
    temporario = caminho + "." + std::to_string(GetCurrentProcessId()) + "." +
                 std::to_string(++contador) + std::to_string(GetTickCount() % 1000) + ".tmp";
    Observa("cria", temporario);
    h = CreateFileA(temporario.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (h == INVALID_HANDLE_VALUE) return false;
  Observa("acrescenta", temporario);
  bool ok = EscreveTudo(h, conteudo);
  if (ok && sincroniza) {
    Observa("sincroniza", temporario);
    ok = FlushFileBuffers(h) != 0;
  }
  ok = CloseHandle(h) && ok;
  if (ok) {
    Observa("renomeia", caminho);
    ok = Move(temporario, caminho, sincroniza);
  }
  if (!ok) DeleteFileA(temporario.c_str());
  return ok;
}

bool Remove(const std::string& caminho) {
  if (!Existe(caminho)) return true;
  Observa("remove", caminho);
  return DeleteFileA(caminho.c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool Renomeia(const std::string& origem, const std::string& destino) {
  Observa("renomeia", destino);
  return Move(origem, destino, false);
}

void RemoveTemporariosDe(const std::string& caminho) {
  const std::string pasta = PastaDe(caminho);
  WIN32_FIND_DATAA achado;
  HANDLE busca = FindFirstFileA((caminho + ".*.tmp").c_str(), &achado);
  if (busca == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> restos;
  do {
    if (!(achado.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      restos.push_back(pasta + "\\" + achado.cFileName);
  } while (FindNextFileA(busca, &achado));
  FindClose(busca);
  for (const std::string& r : restos) Remove(r);
}

bool CriaPasta(const std::string& pasta) {
  if (pasta.empty() || EhPasta(pasta)) return true;
  const std::string acima = PastaDe(pasta);
  if (acima != pasta && acima != "." && acima.size() > 2 && !CriaPasta(acima)) return false;
  return CreateDirectoryA(pasta.c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool Existe(const std::string& caminho) {
  return GetFileAttributesA(caminho.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool EhPasta(const std::string& caminho) {
  const DWORD a = GetFileAttributesA(caminho.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string PastaDoUsuario() {
  for (const char* nome : {"TEMP", "TMP"})
    if (const char* v = std::getenv(nome); v && *v) return v;
  char b[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof b, b);
  if (n == 0 || n > MAX_PATH) return ".";
  std::string p(b, n);
  while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  return p;
}

}  // namespace arquivo
}  // namespace simulador
}  // namespace tarvic
