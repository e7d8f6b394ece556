/* Code of a test language library that leaves a marker file when any of
 * its code runs, to show that data-file mode runs none. */
#include <stdio.h>
#include <stdlib.h>

__attribute__((constructor)) static void leaveMarker(void) {
  const char *path = getenv("TOLKARA_TEST_MARKER");
  if (path == NULL)
    return;
  FILE *file = fopen(path, "w");
  if (file != NULL)
    fclose(file);
}
