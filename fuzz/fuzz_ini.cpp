// INI files as the POSIX layer reads and writes them: any file content, with
// any section, key and value, gives a file in which the key reads back.
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

#include "plataforma_ini.h"

namespace {

void Confere(bool condicao) {
  if (!condicao) std::abort();
}

std::string Aparado(const std::string &t) {
  const size_t i = t.find_first_not_of(" \t");
  if (i == std::string::npos) return "";
  return t.substr(i, t.find_last_not_of(" \t") - i + 1);
}

// A name or value that the profile API could keep on one line as it is.
bool Simples(const std::string &t, const char *proibidos) {
  return t.find_first_of(proibidos) == std::string::npos && t.find('\0') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  FuzzedDataProvider d(dados, tamanho);
  const std::string secao = d.ConsumeRandomLengthString(20);
  const std::string chave = d.ConsumeRandomLengthString(20);
  const std::string valor = d.ConsumeRandomLengthString(40);
  const std::string mascara = d.ConsumeRandomLengthString(12);
  const std::string conteudo = d.ConsumeRemainingBytesAsString();
  const std::string novo = plataforma::IniComChave(conteudo, secao, chave, valor);
  plataforma::ValorIni(conteudo, secao, chave, "");
  plataforma::CasaMascara(conteudo.substr(0, 64), mascara);
  if (!Simples(secao, "[]\r\n") || !Simples(chave, "=[;\r\n") || !Simples(valor, "\r\n")) return 0;
  if (Aparado(chave).empty() || Aparado(chave) != chave || Aparado(secao) != secao) return 0;
  Confere(plataforma::ValorIni(novo, secao, chave, "<nada>") == Aparado(valor));
  // Written again with the same value, the file stays as it is.
  Confere(plataforma::IniComChave(novo, secao, chave, valor) == novo);
  return 0;
}
