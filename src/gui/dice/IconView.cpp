#include "dice/IconView.h"
