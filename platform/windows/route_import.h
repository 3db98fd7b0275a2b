// How platform/ takes the program's calls of a system function on Windows. The program
// calls it through the import table's pointer, __imp_NAME; defining that pointer sends
// every call of the name to the given function, and the system DLL's is never linked.
#pragma once

#define ROUTE_IMPORT(name, replacement)         \
    extern "C" {                                \
    decltype(&name) __imp_##name = replacement; \
    }
