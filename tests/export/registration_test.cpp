#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "alerts/ini_file.h"
#include "export/device_id.h"
#include "platform/http_get.h"
#include "support/environment.h"
#include "support/loopback_http.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::closed_port_url;
using testing::LoopbackHttpServer;
using Clock = std::chrono::steady_clock;

bool is_device_id(const std::string& id) {
  if (id.size() != 16) return false;
  for (char c : id)
    if (c < '0' || c > '9') return false;
  return true;
}

class RegistrationTest : public ::testing::Test {
 protected:
  void point_at(const std::string& url) { testing::set_environment("CORVANE_REGISTRATION_URL", url); }
  void TearDown() override { testing::unset_environment("CORVANE_REGISTRATION_URL"); }
  std::string stored_id() { return read_profile_string(data / "set.ini", "arg", "id", "@_NOSTR_"); }
  testing::TempFolder data;
};

TEST_F(RegistrationTest, first_start_sends_one_get_with_path_and_agent_second_start_sends_none) {
  LoopbackHttpServer server;
  point_at(server.url());
  DeviceIdStartup first = read_or_create_device_id(data.path());
  ASSERT_TRUE(first.created);
  ASSERT_TRUE(first.stored.has_value());
  EXPECT_TRUE(is_device_id(first.id)) << first.id;
  ASSERT_TRUE(first.registration);
  EXPECT_EQ(first.registration->wait(), "ok");
  EXPECT_EQ(server.targets(), std::vector<std::string>{"/mouse/:" + first.id + "/unique"});
  EXPECT_EQ(server.agents(), std::vector<std::string>{"User-Agent"});
  EXPECT_EQ(stored_id(), first.id);
  EXPECT_NE(read_profile_string(data / "set.ini", "ARG", "ID", ""), "");

  DeviceIdStartup second = read_or_create_device_id(data.path());
  EXPECT_FALSE(second.created);
  EXPECT_FALSE(second.registration);
  EXPECT_EQ(second.id, first.id);
  EXPECT_EQ(server.targets().size(), 1u);
}

TEST_F(RegistrationTest, existing_id_in_a_lower_case_section_sends_nothing) {
  LoopbackHttpServer server;
  point_at(server.url());
  ASSERT_TRUE(write_file_atomically(data / "set.ini", "[Alert]\nbpm=1\n[arg]\nid=9999888877776666\n"));
  DeviceIdStartup s = read_or_create_device_id(data.path());
  EXPECT_EQ(s.id, "9999888877776666");
  EXPECT_FALSE(s.registration);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(server.targets().empty());
}

TEST_F(RegistrationTest, server_down_still_stores_the_id_and_ends_within_the_bound) {
  point_at(closed_port_url());
  const auto t0 = Clock::now();
  DeviceIdStartup s = read_or_create_device_id(data.path());
  EXPECT_LT(Clock::now() - t0, std::chrono::seconds(1));  // start-up does not wait for the network
  EXPECT_EQ(stored_id(), s.id);
  EXPECT_EQ(s.registration->wait(), "err4");
  EXPECT_LT(Clock::now() - t0, kRegistrationBound + std::chrono::seconds(3));
}

TEST_F(RegistrationTest, server_never_answering_ends_within_the_bound) {
  LoopbackHttpServer silent = LoopbackHttpServer::silent();
  point_at(silent.url());
  const auto t0 = Clock::now();
  DeviceIdStartup s = read_or_create_device_id(data.path());
  EXPECT_LT(Clock::now() - t0, std::chrono::seconds(1));
  EXPECT_EQ(stored_id(), s.id);
  EXPECT_EQ(s.registration->wait(), "err4");
  const auto took = Clock::now() - t0;
  EXPECT_GE(took, kRegistrationBound - std::chrono::milliseconds(100));  // it did wait for an answer
  EXPECT_LT(took, kRegistrationBound + std::chrono::seconds(3));
}

TEST_F(RegistrationTest, destroying_a_pending_request_waits_only_for_the_bound) {
  LoopbackHttpServer silent = LoopbackHttpServer::silent();
  const auto t0 = Clock::now();
  { RegistrationRequest request(silent.url(), "1", std::chrono::milliseconds(300)); }
  EXPECT_LT(Clock::now() - t0, std::chrono::seconds(3));
}

TEST(RegistrationPath, odd_ids_are_percent_encoded) {
  EXPECT_EQ(registration_path("0123456789012345"), "/mouse/:0123456789012345/unique");
  EXPECT_EQ(registration_path("../x y?z#"), "/mouse/:..%2Fx%20y%3Fz%23/unique");
  EXPECT_EQ(registration_path("休"), "/mouse/:%E4%BC%91/unique");
}

TEST(RegistrationUrl, environment_overrides_the_constant) {
  testing::unset_environment("CORVANE_REGISTRATION_URL");
  EXPECT_EQ(registration_base_url(), kRegistrationBaseUrl);
  testing::ScopedEnvironment env("CORVANE_REGISTRATION_URL", "http://127.0.0.1:8080/");
  EXPECT_EQ(registration_base_url(), "http://127.0.0.1:8080");
}

TEST(DeviceId, sixteen_digits_that_do_not_repeat) {
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    const std::string id = make_device_id();
    EXPECT_TRUE(is_device_id(id)) << id;
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 200u);
}

TEST(HttpGet, empty_body_and_error_status_are_texts_not_failures) {
  const LoopbackHttpServer server({{"/empty", {204, ""}}, {"/missing", {404, "nope"}}});
  EXPECT_EQ(http_get({server.url(), "/empty"}), "err(len=0)");
  EXPECT_EQ(http_get({server.url(), "/missing"}), "nope");
}

}  // namespace
}  // namespace corvane
