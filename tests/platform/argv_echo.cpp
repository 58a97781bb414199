// Prints each argument as "[arg]" on a line of its own; VELMORA_ECHO_VAR names a variable to print
// as "name=value", VELMORA_ECHO_STDERR a text to write to standard error.
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    printf("[%s]\n", argv[i]);
  if (const char* name = getenv("VELMORA_ECHO_VAR")) {
    const char* value = getenv(name);
    printf("%s=%s\n", name, value != nullptr ? value : "(unset)");
  }
  if (const char* text = getenv("VELMORA_ECHO_STDERR"))
    fputs(text, stderr);
  return 0;
}
