#include "TestPractice.h"
