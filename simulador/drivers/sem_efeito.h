// What a stand-in that never reaches the printer declares first, inside its
// namespace Sim: the answer of its functions without effect (1) and the call
// wrapper. No include guard: each such stand-in includes it once.

int32_t SemEfeito(const char*) {
  return 1;
}

template <class Funcao>
int32_t Chama(const char*, Funcao funcao) {
  try {
    return funcao();
  } catch (...) {
    return -1;
  }
}
