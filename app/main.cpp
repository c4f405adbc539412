// The program's entry point.
#include "app/main_loop.h"

int main(int, char**, char**) { return run_main_loop(); }
