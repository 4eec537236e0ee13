/* A slow disk for the monitor's tests, preloaded into the monitor: while the
   file named by TARVIC_TESTE_LENTO exists, every flush to the disk waits
   400 ms, so that a test can act while a call is in the middle of one. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

static void Espera(void) {
  const char *marca = getenv("TARVIC_TESTE_LENTO");
  struct stat s;
  if (marca && stat(marca, &s) == 0) usleep(400000);
}

int fsync(int fd) {
  int (*real)(int) = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
  Espera();
  return real(fd);
}

int fdatasync(int fd) {
  int (*real)(int) = (int (*)(int))dlsym(RTLD_NEXT, "fdatasync");
  Espera();
  return real(fd);
}
