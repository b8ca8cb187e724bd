/* A stand-in detection library built in variants that lack one entry point each, to check that the
 * binding never calls what is missing. It counts the calls it receives. */
#include <stddef.h>

#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

static int open_calls;
static int process_calls;
static int reset_calls;
static void* work_memory;

#ifndef OMIT_OPEN
EXPORT int HRDOpen_i20Hz(void* work) {
  ++open_calls;
  if (work == NULL) return 256;
  work_memory = work;
  ((unsigned char*)work)[255] = 1;
  return 0;
}
#endif

EXPORT char HRDProcessTop(int reserved, char enable, float value, float level) {
  (void)reserved;
  (void)enable;
  (void)value;
  (void)level;
  ++process_calls;
  return 1;
}

EXPORT int HRD_Get_HRAvg(void) {
  return 72;
}
EXPORT void HRDClose(void) {
  work_memory = NULL;
}
EXPORT int HRDReset(void) {
  ++reset_calls;
  return 0;
}

#ifndef OMIT_READY
EXPORT char HRD_Get_ReadyFlag(void) {
  return 1;
}
#endif

EXPORT int partial_open_calls(void) {
  return open_calls;
}
EXPORT int partial_process_calls(void) {
  return process_calls;
}
EXPORT int partial_reset_calls(void) {
  return reset_calls;
}
