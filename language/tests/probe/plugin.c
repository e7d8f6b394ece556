/* A library that carries its own string table, for the string loaders'
 * module names. */
__attribute__((visibility("default"))) int tkpluginVersion(void) { return 1; }
