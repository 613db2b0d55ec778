#include "PracticeGenerator.h"
