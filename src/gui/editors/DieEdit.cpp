#include "editors/DieEdit.h"
