#include "base/path_text.h"
#include "heart/ostrel_binding.h"

#include <utility>

#include "platform/dynamic_library.h"
#include "platform/folders.h"

namespace corvane {

std::filesystem::path OstrelBinding::default_path() {
  return program_folder() / shared_library_file_name("ostrel");
}

OstrelBinding::OstrelBinding(std::filesystem::path library_path) : path_(std::move(library_path)) {}

OstrelBinding::OstrelBinding(const OstrelEntryPoints& entry_points)
    : entry_points_(entry_points), loaded_(true) {}

OstrelBinding::~OstrelBinding() {
  // The detector keeps pointers into the work memory in the library's static data; close it before the
  // memory goes, so that a later open in this process (the library may stay mapped) never sees freed memory.
  if (open_ && entry_points_.close) entry_points_.close();
}

bool OstrelBinding::ensure_bound() {
  if (!loaded_ && !load_library()) return false;
  if (!open_tried_) open_detector();
  return open_;
}

bool OstrelBinding::load_library() {
  ++load_attempts_;
  Result<std::unique_ptr<DynamicLibrary>> loaded = DynamicLibrary::load(path_);
  if (!loaded) {
    error_ = loaded.error().message;
    return false;
  }
  library_ = std::move(*loaded);
  entry_points_.open = library_->function<HRDOpen_i20Hz_fn>(kOstrelOpenName);
  entry_points_.process_top = library_->function<HRDProcessTop_fn>(kOstrelProcessTopName);
  entry_points_.get_average = library_->function<HRD_Get_HRAvg_fn>(kOstrelGetAverageName);
  entry_points_.close = library_->function<HRDClose_fn>(kOstrelCloseName);
  entry_points_.reset = library_->function<HRDReset_fn>(kOstrelResetName);
  entry_points_.get_ready_flag = library_->function<HRD_Get_ReadyFlag_fn>(kOstrelGetReadyFlagName);
  error_.clear();
  loaded_ = true;
  return true;
}

bool OstrelBinding::open_detector() {
  open_tried_ = true;
  // Without its open the detector has no buffers; feeding it would write through null pointers, so a
  // library lacking the open is loaded but never fed.
  if (!entry_points_.open) {
    error_ = std::string(kOstrelOpenName) + " is missing from " + path_text(path_);
    return false;
  }
  const int bytes = entry_points_.open(nullptr);
  if (bytes <= 0) {
    error_ = std::string(kOstrelOpenName) + " asked for " + std::to_string(bytes) + " bytes of work memory";
    return false;
  }
  work_bytes_ = static_cast<std::size_t>(bytes);
  const std::size_t units = (work_bytes_ + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
  work_ = std::make_unique<std::max_align_t[]>(units);
  entry_points_.open(work_.get());
  open_ = true;
  return true;
}

}  // namespace corvane
