/* Runs djpeg with the given arguments in this process; returns its exit code. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int RunDjpeg(int argc, char **argv);

#ifdef __cplusplus
}
#endif
