#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "ostrel.h"

namespace corvane {

class DynamicLibrary;

// The six exports of the detection library the program uses. Any may be null when the library lacks it;
// a null entry point is never called.
struct OstrelEntryPoints {
  HRDOpen_i20Hz_fn open = nullptr;
  HRDProcessTop_fn process_top = nullptr;
  HRD_Get_HRAvg_fn get_average = nullptr;
  HRDClose_fn close = nullptr;
  HRDReset_fn reset = nullptr;
  HRD_Get_ReadyFlag_fn get_ready_flag = nullptr;
};

// The export names, spelled exactly as the library exports them.
inline constexpr const char* kOstrelOpenName = "HRDOpen_i20Hz";
inline constexpr const char* kOstrelProcessTopName = "HRDProcessTop";
inline constexpr const char* kOstrelGetAverageName = "HRD_Get_HRAvg";
inline constexpr const char* kOstrelCloseName = "HRDClose";
inline constexpr const char* kOstrelResetName = "HRDReset";
inline constexpr const char* kOstrelGetReadyFlagName = "HRD_Get_ReadyFlag";

// The detection library bound at run time. Loading is tried at the first sample block and again at every
// block while it fails, so a library put in place while the program runs is picked up. Once loaded, the
// detector is opened in two steps: the open asked with a null pointer for the size of its work memory,
// then again with a block of that size, which this binding owns.
class OstrelBinding final {
 public:
  //! The library next to the executable: the program folder + "libostrel.so" ("ostrel.dll" on Windows).
  static std::filesystem::path default_path();

  //! Binds the library file at `library_path` when first asked.
  explicit OstrelBinding(std::filesystem::path library_path);
  //! Binds entry points the caller already holds (a library linked in, or a stand-in detector).
  explicit OstrelBinding(const OstrelEntryPoints& entry_points);
  ~OstrelBinding();
  OstrelBinding(const OstrelBinding&) = delete;
  OstrelBinding& operator=(const OstrelBinding&) = delete;

  //! Loads and opens the detector unless done; true when a detector is open.
  bool ensure_bound();

  //! The library file was loaded (or the entry points were given).
  bool loaded() const { return loaded_; }
  //! The entry points once the detector is open; null before, and then nothing may be fed.
  const OstrelEntryPoints* detector() const { return open_ ? &entry_points_ : nullptr; }
  //! Every entry point as resolved, null ones included.
  const OstrelEntryPoints& entry_points() const { return entry_points_; }

  //! The full path of the library file; shown in the page when the library is missing.
  const std::filesystem::path& path() const { return path_; }
  //! Why the last load or open failed; empty when none failed.
  const std::string& error() const { return error_; }
  //! How many times loading the library file has been tried.
  int load_attempts() const { return load_attempts_; }
  //! Size of the work memory the detector asked for.
  std::size_t work_memory_bytes() const { return work_bytes_; }

 private:
  bool load_library();
  bool open_detector();

  std::filesystem::path path_;
  std::unique_ptr<DynamicLibrary> library_;
  OstrelEntryPoints entry_points_;
  std::unique_ptr<std::max_align_t[]> work_;  // the detector's work memory, outlives every call into it
  std::size_t work_bytes_ = 0;
  bool loaded_ = false;
  bool open_tried_ = false;
  bool open_ = false;
  int load_attempts_ = 0;
  std::string error_;
};

}  // namespace corvane
