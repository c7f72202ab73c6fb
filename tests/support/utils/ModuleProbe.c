/* A library the tests load from a path of their choice. */
int ModuleProbe(void) { return 42; }
