// Compiles the layout checks of the shared binary contract in every build.
#include "runtime/abi.h"
