// The hostile driver: every driver function of the list, answering from a
// source that the sweep fills from a seeded generator and the fuzz targets
// from their input. The library's output buffers are texts of blanks: the
// source may write anything over their length, never past it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hostil {

class Fonte {
 public:
  virtual ~Fonte() = default;
  // The code the function returns.
  virtual int32_t Codigo(const char *funcao) = 0;
  // Writes into the `tamanho` characters of an output buffer.
  virtual void Preenche(const char *funcao, char *buffer, size_t tamanho) = 0;
  // The value of an integer passed by address.
  virtual int32_t Inteiro(const char *funcao) = 0;
};

// The source of the answers from now on (null: every function answers 1 and
// leaves its outputs as they are).
void DefineFonte(Fonte *fonte);
// Driver calls since the start.
uint64_t ChamadasDriver();

}  // namespace hostil
