/* djpeg's own main, compiled from the libjpeg-turbo source the program is built from,
 * callable more than once in one process: its calls to exit() (made at the end of
 * every run) come back here. Under Wine starting a process costs several times the
 * decoding itself and varies with the machine's load, so the reference conversion is
 * timed in the benchmark's process, as ours is. */
#include <setjmp.h>

#include "djpeg_in_process.h"

int djpeg_main(int argc, char **argv);

static jmp_buf finished;
static int status;

void djpeg_exit(int code)
{
  status = code;
  longjmp(finished, 1);
}

int RunDjpeg(int argc, char **argv)
{
  if (setjmp(finished) != 0)
    return status;
  return djpeg_main(argc, argv);
}
