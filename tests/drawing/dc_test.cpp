#include "tests/support/wx_test_environment.h"
