// How a test double takes the program's calls of a system function. On Windows the
// program calls it through the import table's pointer, __imp_NAME: the double defines
// that pointer, so the linker takes it instead of the system DLL's. Elsewhere the double
// simply is the function.
#pragma once

#ifdef _WIN32
#define TEST_DOUBLE(name) test_double_##name
#define ROUTE_TO_DOUBLE(name)                          \
    extern "C" {                                       \
    decltype(&name) __imp_##name = test_double_##name; \
    }
#else
#define TEST_DOUBLE(name) name
#define ROUTE_TO_DOUBLE(name)
#endif
