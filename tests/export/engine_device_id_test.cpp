// The upload side and the window show one device ID for the whole run.
#include <gtest/gtest.h>

#include "engine/composition.h"
#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"

namespace corvane {
namespace {

class EngineDeviceId : public ::testing::Test {
 protected:
  std::string started_id(const std::string& given) {
    EngineConfig config{data.path(), 500, given};
    EngineParts parts = make_engine(config, time.clock, time, notifier);
    parts.engine->start();
    const std::string id = parts.upload->device_id();
    (void)parts.engine->shutdown();
    return id;
  }

  testing::TempFolder data;
  testing::VirtualTime time;
  testing::RecordingNotifier notifier;
};

TEST_F(EngineDeviceId, id_the_caller_holds_is_the_one_uploads_use) {
  // Even where nothing is stored (say set.ini could not be written), no second ID is made.
  EXPECT_EQ(started_id("1234567890123456"), "1234567890123456");
  EXPECT_FALSE(std::filesystem::exists(data / "set.ini"));
}

TEST_F(EngineDeviceId, without_one_the_stored_id_is_read_or_a_new_one_made_and_kept) {
  const std::string first = started_id("");
  ASSERT_EQ(first.size(), 16u);
  EXPECT_EQ(started_id(""), first);
}

}  // namespace
}  // namespace corvane
