// INI text handled the way the Windows profile API handles it; shared by the
// POSIX stand-in and its tests.
#pragma once

#include <string>

namespace plataforma {

// The INI text with key `chave` of section `secao` set to `valor`: an existing
// key keeps its place and its name, a new key goes after the last line of its
// section, a new section at the end; names compare without case; lines end in
// CR LF.
std::string IniComChave(const std::string &conteudo, const std::string &secao,
                        const std::string &chave, const std::string &valor);
// The value of a key, without the blanks around it; `padrao` when missing.
std::string ValorIni(const std::string &conteudo, const std::string &secao,
                     const std::string &chave, const std::string &padrao);
// File-name mask with * and ?, without case.
bool CasaMascara(const std::string &nome, const std::string &mascara);

}  // namespace plataforma
