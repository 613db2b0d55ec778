#include "DialogFixture.h"
