// Swmfd (SWEDA, arquivo eletrônico do Ato Cotepe 17/04) substituto. Por ora aceita as chamadas e
// responde 1 sem efeito. Não consulta a impressora: nas DLLs cada substituto tem a sua cópia do
// modelo, e esta consumiria o arquivo de controle de falhas destinado ao
// driver principal do fabricante.
#define SIM_BIBLIOTECA_SWMFD 1
#include "sem_efeito.h"
