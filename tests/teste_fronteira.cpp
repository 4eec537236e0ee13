#include "comum.h"
