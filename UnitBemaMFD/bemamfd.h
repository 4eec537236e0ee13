// BemaMFD.dll, the electronic-journal companion of the BEMATECH driver, kept
// loaded from the loading of this library to its unloading. Nothing here calls
// into it: holding it spares the driver loading and unloading it on each MFD
// command.
#pragma once

#include <string>

class TDLLBemaMFD {
 public:
  // Loads "BemaMFD.dll"; a library that cannot be loaded is not reported.
  TDLLBemaMFD();
  explicit TDLLBemaMFD(const std::string &nome);
  // Releases the library; a failed release shows the system's error code.
  ~TDLLBemaMFD();
  TDLLBemaMFD(const TDLLBemaMFD &) = delete;
  TDLLBemaMFD &operator=(const TDLLBemaMFD &) = delete;

  void *Modulo() const { return modulo_; }
  bool Carregada() const { return carregada_; }

 private:
  void *modulo_ = nullptr;
  bool carregada_ = false;
};

// The one instance of the process.
extern TDLLBemaMFD DLLBemaMFD;
