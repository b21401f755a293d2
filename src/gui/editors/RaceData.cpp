#include "editors/RaceData.h"
