#include "UnitBemaMFD/bemamfd.h"

#include <cstdint>

#include "plataforma.h"

TDLLBemaMFD DLLBemaMFD;

TDLLBemaMFD::TDLLBemaMFD() : TDLLBemaMFD("BemaMFD.dll") {}

TDLLBemaMFD::TDLLBemaMFD(const std::string &nome) {
  modulo_ = plataforma::CarregaBiblioteca(nome);
  carregada_ = modulo_ != nullptr;
}

TDLLBemaMFD::~TDLLBemaMFD() {
  if (!carregada_) return;
  uint32_t erro = 0;
  try {
    if (!plataforma::LiberaBiblioteca(modulo_, &erro))
      plataforma::CaixaMensagem(std::to_string(erro), "", 0);
  } catch (...) {
    // Unloading goes on whatever the message box did.
  }
  modulo_ = nullptr;
  carregada_ = false;
}
