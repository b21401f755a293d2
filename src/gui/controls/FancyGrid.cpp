#include "controls/FancyGrid.h"
