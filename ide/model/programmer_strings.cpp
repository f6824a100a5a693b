// TProgrammerStrings forwards to the model; this unit keeps the header
// compiled on its own.
#include "ide/model/programmer_strings.h"
