// The Windows device layer: raw input through a message-only window. The window belongs to the thread
// that calls start(), and its messages arrive through that thread's message loop: Qt's event loop in
// the desktop program, the readiness wait's own loop in headless mode. No descriptor is involved.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/device_monitor.h"
#include "raw_input/raw_input_translator.h"
#include "wide_text.h"

namespace corvane {
namespace {

constexpr const wchar_t* kWindowClass = L"CorvaneRawInput";

// The mouse, and the sensor's two vendor collections. Input sink: reports also arrive while another
// program has the focus; device notify: arrivals and removals come as WM_INPUT_DEVICE_CHANGE.
struct Collection {
  USHORT usage_page;
  USHORT usage;
};
constexpr Collection kCollections[] = {{0x0001, 0x0002}, {0xFF30, 0x0001}, {0xFF29, 0x0001}};

// Raw input never hands out a record larger than this; a larger size is a broken message.
constexpr UINT kLargestRecord = 64 * 1024;

std::string last_error_text(const char* what) {
  return std::string(what) + " failed (error " + std::to_string(::GetLastError()) + ")";
}

// The system's device path of a raw-input device ("\\?\HID#VID_0C45&PID_7E11&..."), empty when the
// device is gone.
std::string device_path(HANDLE device) {
  UINT length = 0;
  if (::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &length) != 0 || length == 0) return {};
  std::wstring name(length, L'\0');
  const UINT copied = ::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, name.data(), &length);
  if (copied == static_cast<UINT>(-1)) return {};
  name.resize(wcsnlen(name.c_str(), name.size()));
  return narrow(name);
}

class RawInputMonitor final : public DeviceMonitor {
 public:
  explicit RawInputMonitor(ReportSink& sink) : sink_(sink) {}

  ~RawInputMonitor() override {
    if (!window_) return;
    if (registered_) {
      RAWINPUTDEVICE devices[std::size(kCollections)];
      for (std::size_t i = 0; i < std::size(kCollections); ++i)
        devices[i] = {kCollections[i].usage_page, kCollections[i].usage, RIDEV_REMOVE, nullptr};
      ::RegisterRawInputDevices(devices, static_cast<UINT>(std::size(devices)), sizeof(RAWINPUTDEVICE));
    }
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }

  Result<void> start() override {
    if (window_) return {};
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &RawInputMonitor::window_procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&window_class) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      return fail(last_error_text("registering the raw-input window class"));
    window_ =
        ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!window_) return fail(last_error_text("creating the raw-input window"));
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    RAWINPUTDEVICE devices[std::size(kCollections)];
    for (std::size_t i = 0; i < std::size(kCollections); ++i)
      devices[i] = {kCollections[i].usage_page, kCollections[i].usage, RIDEV_INPUTSINK | RIDEV_DEVNOTIFY,
                    window_};
    if (!::RegisterRawInputDevices(devices, static_cast<UINT>(std::size(devices)), sizeof(RAWINPUTDEVICE)))
      return fail(last_error_text("registering for raw input"));
    registered_ = true;
    return {};
  }

  // Raw input comes as window messages, not through descriptors.
  std::vector<int> descriptors() const override { return {}; }
  void on_readable(int /*fd*/) override {}

 private:
  struct Device {
    std::string path;
    bool sensor = false;
  };

  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<RawInputMonitor*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_INPUT) self->on_input(reinterpret_cast<HRAWINPUT>(lparam));
    if (self && message == WM_INPUT_DEVICE_CHANGE)
      self->on_device_change(wparam, reinterpret_cast<HANDLE>(lparam));
    // WM_INPUT must reach the default procedure too: it frees the system's copy of the record.
    return ::DefWindowProcW(window, message, wparam, lparam);
  }

  const Device& device(HANDLE handle) {
    auto found = devices_.find(handle);
    if (found == devices_.end()) {
      Device d;
      d.path = device_path(handle);
      d.sensor = is_sensor_mouse_device_path(d.path);
      found = devices_.emplace(handle, std::move(d)).first;
    }
    return found->second;
  }

  void on_device_change(WPARAM change, HANDLE handle) {
    if (change == GIDC_REMOVAL) {
      // The handle may come back for another device later; the path cannot be asked any more.
      devices_.erase(handle);
    } else if (change == GIDC_ARRIVAL) {
      devices_.erase(handle);
      device(handle);
    }
  }

  void on_input(HRAWINPUT input) {
    const UINT header_size = sizeof(RAWINPUTHEADER);
    RAWINPUTHEADER header{};
    UINT size = sizeof header;
    if (::GetRawInputData(input, RID_HEADER, &header, &size, header_size) != sizeof header) return;
    // Every mouse of the system reports here; the others are left at once.
    if (!device(header.hDevice).sensor) return;

    size = 0;
    if (::GetRawInputData(input, RID_INPUT, nullptr, &size, header_size) != 0 || size == 0 ||
        size > kLargestRecord)
      return;
    buffer_.resize(size);
    if (::GetRawInputData(input, RID_INPUT, buffer_.data(), &size, header_size) != buffer_.size()) return;

    POINT cursor{};
    ::GetCursorPos(&cursor);
    const RawInputReports reports = translate_raw_input(
        buffer_, kThisProcessRawInputLayout, device(header.hDevice).path, CursorPosition{cursor.x, cursor.y});
    if (reports.mouse) sink_.on_mouse_report(*reports.mouse);
    for (const HidReport& report : reports.hid)
      sink_.on_hid_report(report);
  }

  ReportSink& sink_;
  HWND window_ = nullptr;
  bool registered_ = false;
  std::map<HANDLE, Device> devices_;
  std::vector<std::uint8_t> buffer_;  // reused for every record
};

}  // namespace

Result<std::unique_ptr<DeviceMonitor>> open_device_layer(ReportSink& sink) {
  return std::unique_ptr<DeviceMonitor>(std::make_unique<RawInputMonitor>(sink));
}

}  // namespace corvane
