/* A C host's start-up: check the front end's links, and stop when the user chose to ignore a
 * problem the check found. Built with pkg-config:
 *   cc host.c $(pkg-config --cflags --libs orvanta) -o c_host
 *   c_host FRONTEND [auto|qt|console]
 */
#define _XOPEN_SOURCE 700 /* realpath */
#include <orvanta/orvanta.h>

#include <stdio.h>
#include <stdlib.h>

static int failed(orvanta_error error, const char* call) {
  if (error != ORVANTA_OK)
    fprintf(stderr, "c_host: %s: %s (error %d)\n", call, orvanta_last_error(), (int)error);
  return error != ORVANTA_OK;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: c_host FRONTEND [auto|qt|console]\n");
    return 2;
  }
  /* The component records the front end's path to notice when it moves: give it the absolute
   * one. */
  char* front_end = realpath(argv[1], NULL);
  if (front_end == NULL) {
    perror(argv[1]);
    return 2;
  }
  orvanta_component* vantrel = NULL;
  if (failed(orvanta_create(argc > 2 ? argv[2] : "auto", &vantrel), "orvanta_create")) {
    free(front_end);
    return 2;
  }
  int ignored = 0;
  int status = 2;
  if (!failed(orvanta_check_linked_tables(vantrel, front_end, &ignored), "check")) {
    status = ignored;
    char* set = NULL;
    if (ignored)
      fprintf(stderr, "c_host: the links were not repaired; leaving\n");
    else if (!failed(orvanta_active_link_set(vantrel, &set), "active link set"))
      printf("Linked through set \"%s\"\n", set);
    orvanta_free(set);
  }
  orvanta_destroy(vantrel);
  free(front_end);
  return status;
}
