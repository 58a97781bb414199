#pragma once
// The few POSIX calls the tests use, for the Windows C runtime. Included into every test source of
// the Windows build by CMake.

#include <stdio.h>
#include <stdlib.h>

#ifdef __cplusplus
extern "C" {
#endif

int setenv(const char* name, const char* value, int overwrite);
int unsetenv(const char* name);
char* mkdtemp(char* pattern);

#ifdef __cplusplus
}
#endif
