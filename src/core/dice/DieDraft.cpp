#include "dice/DieDraft.h"
