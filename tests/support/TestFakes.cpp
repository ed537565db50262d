#include "tests/support/TestFakes.h"
