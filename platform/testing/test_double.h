// How a test double takes the program's calls of a system function. On Windows the
// double is routed in as platform/ routes its own replacements; elsewhere the double
// simply is the function.
#pragma once

#ifdef _WIN32
#include "platform/windows/route_import.h"
#define TEST_DOUBLE(name) test_double_##name
#define ROUTE_TO_DOUBLE(name) ROUTE_IMPORT(name, test_double_##name)
#else
#define TEST_DOUBLE(name) name
#define ROUTE_TO_DOUBLE(name)
#endif
