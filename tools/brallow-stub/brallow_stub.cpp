// Stands in for the upload tool in tests. Appends one line to the file named by BRALLOW_STUB_RECORD: a
// JSON array of its arguments (without the program name), so a test sees exactly what arrived and how
// many times the tool was started. Exits 0, or 2 when it cannot record.
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

int main(int argc, char** argv) {
  const char* record = std::getenv("BRALLOW_STUB_RECORD");
  if (!record || !*record) return 2;
  nlohmann::json args = nlohmann::json::array();
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  const std::string line = args.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  // Append mode and one write of the whole line: lines of concurrent starts do not interleave.
  std::FILE* out = std::fopen(record, "ab");
  if (!out) return 2;
  std::setvbuf(out, nullptr, _IOFBF, line.size() + 1);
  const bool written = std::fwrite(line.data(), 1, line.size(), out) == line.size();
  const bool closed = std::fclose(out) == 0;
  return written && closed ? 0 : 2;
}
