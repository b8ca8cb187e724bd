/* ostrel: heart-rate detection from the readings of an optical (PPG) sensor sampled at 20 Hz.
 *
 * One detector instance per process, kept in the library's static data; no handle. Not thread-safe:
 * all calls come from one thread at a time. The caller owns the work memory:
 *
 *   int bytes = HRDOpen_i20Hz(NULL);      // size of the work memory; the instance stays closed
 *   void* work = malloc(bytes);
 *   HRDOpen_i20Hz(work);                  // opens and resets; returns 0 (also when refused)
 *   for each reading: HRDProcessTop(0, 1, (float)reading, (float)level);
 *   HRD_Get_ReadyFlag(), HRD_Get_HRAvg() as often as wanted; HRDReset() on a new finger contact
 *   HRDClose(); free(work);
 *
 * Valid as C89/C99 and C++. Every function uses the C calling convention under its undecorated name. */
#ifndef OSTREL_H
#define OSTREL_H

#if defined(_WIN32)
#if defined(OSTREL_BUILDING)
#define OSTREL_API __declspec(dllexport)
#else
#define OSTREL_API __declspec(dllimport)
#endif
#define OSTREL_CALL __cdecl
#else
#if defined(OSTREL_BUILDING)
#define OSTREL_API __attribute__((visibility("default")))
#else
#define OSTREL_API
#endif
#define OSTREL_CALL
#endif

/* Size in bytes of the parameter block copied by HRD_GetHRDParam and HRDOpenParam. Its leading fields
 * (little-endian, packed): u16 input rate @0, u16 filter rate @2, u16 detection rate @4, u16 peak-detector
 * rate @6, u16 differences summed per sample @8, u16 filtered samples per detection sample @10,
 * u16 interpolation factor @12, u16 upsampling parameter @14, u8 pre-filter on @16, u8 low-pass cascade
 * on @17, u8 high-pass on @18, u8 interpolation filter on @19, u8 warm-up buffering on @26, u16 warm-up
 * length @28, u8 warm-up passes plus one @30, f32 frequency offset @44. */
#define OSTREL_PARAM_BYTES 536

/* Value returned by HRD_ALG_VERSION. */
#define OSTREL_ALG_VERSION 1000

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Lifecycle ---------------------------------------------------------------------------------- */

/* With work == NULL: returns the bytes of work memory needed, stays closed. With memory: opens the
 * instance (20 Hz, 200 Hz or 1000 Hz defaults) and returns 0. Returns 0 and changes nothing while open. */
OSTREL_API int OSTREL_CALL HRDOpen_i20Hz(void* work);
OSTREL_API int OSTREL_CALL HRDOpen_i200Hz(void* work);
OSTREL_API int OSTREL_CALL HRDOpen_i1000Hz(void* work);
/* As above with the configuration taken from a caller's parameter block of OSTREL_PARAM_BYTES. */
OSTREL_API int OSTREL_CALL HRDOpenParam(const void* param, void* work);
/* Returns the open instance to the start of warm-up (ready 0, motion 1, average 72 bpm); always 0. */
OSTREL_API int OSTREL_CALL HRDReset(void);
/* Marks the instance closed; frees nothing. The work memory is no longer used and may be freed: the
 * intervals collected in it are gone (the results read so far stay). */
OSTREL_API void OSTREL_CALL HRDClose(void);
/* One sensor reading. enable != 1 resets the detector; level == 0 skips the reading. Returns the
 * ready flag after this reading. reserved is ignored. */
OSTREL_API char OSTREL_CALL HRDProcessTop(int reserved, char enable, float value, float level);
OSTREL_API int OSTREL_CALL HRD_ALG_VERSION(void);
/* Copies the parameter block (OSTREL_PARAM_BYTES) out; returns param. */
OSTREL_API void* OSTREL_CALL HRD_GetHRDParam(void* param);

/* ---- Results ------------------------------------------------------------------------------------ */

OSTREL_API int OSTREL_CALL HRD_Get_HRAvg(void);
OSTREL_API char OSTREL_CALL HRD_Get_ReadyFlag(void);
/* Ready flag times the signal quality (0..100). The name's spelling is part of the interface. */
OSTREL_API int OSTREL_CALL HRD_GetSignalQualtiy(void);
OSTREL_API char OSTREL_CALL HRD_Get_MotionFlag(void);
OSTREL_API float OSTREL_CALL HRD_Get_HR_STD(void);
OSTREL_API float OSTREL_CALL HRD_Get_Kurtosis(void);
OSTREL_API float OSTREL_CALL HRD_Get_PI_Index(void);

/* ---- Setters (take effect from the next reading) --------------------------------------------------- */

OSTREL_API void OSTREL_CALL HRD_Set_FreqOffset(float offset);
/* measured_time: the measured duration of 1000 readings in the given unit (1 = seconds,
 * 1000 = milliseconds, 1000000 = microseconds); sets the frequency offset to nominal / measured. */
OSTREL_API void OSTREL_CALL HRD_Set_Diff_Time(float measured_time, int time_unit);
OSTREL_API int OSTREL_CALL HRD_Set_SkipCounterTh(int threshold);
OSTREL_API void OSTREL_CALL HRD_Set_PeakProcessReadyCounter_Th(int a, int b, int c, int d, int lo, int mid,
                                                                 int hi);
OSTREL_API void OSTREL_CALL HRD_Set_HeartRateNotReadyBoundary(int upper, int lower);
OSTREL_API void OSTREL_CALL HRD_Set_Support2PeakCounterOutuptRatio(int on);
OSTREL_API void OSTREL_CALL HRD_Set_ReadyCounter_Th(int t0, int t1, int t2, int t3, int t4, int t5);
/* Scale of the pulse amplitude and the minimum mean level for the perfusion index. */
OSTREL_API void OSTREL_CALL HRD_Set_PI_Calculate(float scale, float min_level);
OSTREL_API void OSTREL_CALL HRD_Set_Debug_On(void);
OSTREL_API void OSTREL_CALL HRD_Set_Debug_Off(void);
OSTREL_API int OSTREL_CALL HRD_Set_SDNN_On(void);
OSTREL_API void OSTREL_CALL HRD_Set_SDNN_Off(void);
OSTREL_API int OSTREL_CALL HRD_Set_LHRatio_On(void);
OSTREL_API void OSTREL_CALL HRD_Set_LHRatio_Off(void);

/* ---- Heart-rate variability ----------------------------------------------------------------------- */

/* Computes SDNN from the intervals collected while ready; returns the published SDNN (ms) or -1. */
OSTREL_API int OSTREL_CALL HRD_SDNNProcess(void);
OSTREL_API int OSTREL_CALL HRD_GetSDNN(void);
OSTREL_API int OSTREL_CALL HRD_GetSDNNRawDat(void);
OSTREL_API int OSTREL_CALL HRD_GetSDNNSNR(void);
OSTREL_API int OSTREL_CALL HRD_Get_SDNN_HRAvg(void);
OSTREL_API float OSTREL_CALL HRD_Get_SDNNKurtosis(void);
OSTREL_API int OSTREL_CALL HRD_GetRRIDataNumber(void);
/* Copies HRD_GetRRIDataNumber() floats (ms) into out; returns 1. */
OSTREL_API int OSTREL_CALL HRD_GetRRIDataBuffer(float* out);
OSTREL_API int OSTREL_CALL HRD_GetSDNNRRIDataNumber(void);
OSTREL_API int OSTREL_CALL HRD_GetSDNNRRIDataBuffer(float* out);
/* Bytes of caller memory the spectral HRV analysis needs for the intervals collected so far. */
OSTREL_API int OSTREL_CALL HRV_GetMemorySize(void);
/* Hands that memory over (bytes is its size); the library never frees it. */
OSTREL_API void OSTREL_CALL HRV_SetMemory(void* memory, int bytes);
/* Runs the spectral HRV analysis; when out is not NULL it receives LF, HF and LF/HF (3 floats).
 * Returns 1 when the analysis ran, 0 when memory, intervals or LF/HF mode were missing. */
OSTREL_API int OSTREL_CALL HRD_HRVProcess(float* out);
OSTREL_API float OSTREL_CALL HRD_GetHRV_LF(void);
OSTREL_API float OSTREL_CALL HRD_GetHRV_HF(void);
OSTREL_API float OSTREL_CALL HRD_GetHRV_LHRatio(void);
OSTREL_API float OSTREL_CALL HRD_GetHRV_SDNN(void);
OSTREL_API float OSTREL_CALL HRD_GetHRV_CVRR(void);
OSTREL_API void OSTREL_CALL HRD_GetSDNNBoundary(int age, double* first, double* second, double* third);
OSTREL_API int OSTREL_CALL HRD_GetSDNNLevel(int age, double sdnn);
OSTREL_API float OSTREL_CALL HRD_Get_NI_SDNN(void);
OSTREL_API float OSTREL_CALL HRD_Get_NI_SDNNKurtosis(void);
OSTREL_API float OSTREL_CALL HRD_Get_NI_SDNN_HRAvg(void);
OSTREL_API void OSTREL_CALL NI_HRDProcess(void);

/* ---- Display waveform (not used by the program) ------------------------------------------------- */

/* Sets up the display filter when display output is on in the parameter block; returns 1 if so. */
OSTREL_API int OSTREL_CALL OFM_DisplayOpen(void);
OSTREL_API int OSTREL_CALL OFM_DisplayReset(void);
OSTREL_API void OSTREL_CALL OFM_DisplayClose(void);
/* Filters one reading; writes the display value to out[0] when count >= 1; returns values written. */
OSTREL_API int OSTREL_CALL OFM_DisplayProcess(float sample, float* out, int count);
OSTREL_API int OSTREL_CALL OFM_DisplayProcess_int(int sample, int* out, int count);
/* Copies up to count of the latest display values, oldest first; returns the number copied. */
OSTREL_API int OSTREL_CALL OFM_GetDisplayData(float* out, int count);

/* ---- Function types for binding by name (dlsym / GetProcAddress) -------------------------------- */

typedef int(OSTREL_CALL* HRDOpen_i20Hz_fn)(void* work);
typedef char(OSTREL_CALL* HRDProcessTop_fn)(int reserved, char enable, float value, float level);
typedef int(OSTREL_CALL* HRD_Get_HRAvg_fn)(void);
typedef void(OSTREL_CALL* HRDClose_fn)(void);
typedef int(OSTREL_CALL* HRDReset_fn)(void);
typedef char(OSTREL_CALL* HRD_Get_ReadyFlag_fn)(void);

#ifdef __cplusplus
}
#endif

#endif /* OSTREL_H */
