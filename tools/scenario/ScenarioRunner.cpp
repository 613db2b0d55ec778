#include "ScenarioRunner.h"
