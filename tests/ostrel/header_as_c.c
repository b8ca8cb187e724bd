/* The public header must compile as plain C; the function types must fit the functions. */
#include "ostrel.h"

static HRDOpen_i20Hz_fn open_fn = HRDOpen_i20Hz;
static HRDProcessTop_fn process_fn = HRDProcessTop;
static HRD_Get_HRAvg_fn average_fn = HRD_Get_HRAvg;
static HRDClose_fn close_fn = HRDClose;
static HRDReset_fn reset_fn = HRDReset;
static HRD_Get_ReadyFlag_fn ready_fn = HRD_Get_ReadyFlag;

int use_all(void);
int use_all(void) {
  return open_fn != 0 && process_fn != 0 && average_fn != 0 && close_fn != 0 && reset_fn != 0 && ready_fn != 0 &&
         OSTREL_PARAM_BYTES == 536;
}
