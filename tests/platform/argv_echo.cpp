// Prints each argument as "[arg]" on a line of its own; VELMORA_ECHO_VAR names a variable to print
// as "name=value", VELMORA_ECHO_STDERR a text to write to standard error; VELMORA_ECHO_SIGNAL
// names a signal it then dies of.
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    printf("[%s]\n", argv[i]);
  if (const char* name = getenv("VELMORA_ECHO_VAR")) {
    const char* value = getenv(name);
    printf("%s=%s\n", name, value != nullptr ? value : "(unset)");
  }
  if (const char* text = getenv("VELMORA_ECHO_STDERR"))
    fputs(text, stderr);
  if (const char* number = getenv("VELMORA_ECHO_SIGNAL")) {
    fflush(nullptr);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    raise(atoi(number));
  }
  return 0;
}
