#include "tests/IPlug/au/AUTestHost.h"
