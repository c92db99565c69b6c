#include "core/shell/handoff_message.h"

#include <gtest/gtest.h>

#include <string>

namespace lq {
namespace {

TEST(HandoffMessage, PathsTravelInTheBufferAndComeBack) {
  const std::string blanks = "/home/u/My Files/a b.txt";
  const std::string longest(260, 'x');
  const struct {
    std::string sent, arrives;
  } cases[] = {
      {blanks, blanks},
      {"", ""},
      {longest, longest},
      {std::string(300, 'y'), std::string(260, 'y')},  // the buffer holds 260 bytes
      {std::string("\xC4\xE3\xBA\xC3/\xE4\xBD\xA0.txt"), "\xC4\xE3\xBA\xC3/\xE4\xBD\xA0.txt"},
  };
  for (const auto& c : cases) {
    const std::string buf = path_buffer(c.sent);
    ASSERT_EQ(buf.size(), 261u);
    EXPECT_EQ(buf.back(), '\0');
    const std::string msg = encode_handoff(c.sent);
    ASSERT_EQ(msg.size(), kHandoffMessageSize);
    EXPECT_TRUE(handoff_prefix_ok(msg));
    EXPECT_EQ(decode_handoff(msg), c.arrives);
  }
}

TEST(HandoffMessage, HostileMessagesAreRefused) {
  const std::string good = encode_handoff("/tmp/a.txt");
  std::string no_zero = good;
  no_zero.replace(kHandoffHeaderSize, kPathBufferSize, std::string(kPathBufferSize, 'A'));
  std::string word = good;
  word[4] = 1;  // the copy-data word must be 0
  std::string size = good;
  size[8] = static_cast<char>(0xFF);  // a buffer size other than 261
  std::string magic = good;
  magic[0] = 'X';
  const std::string cases[] = {
      "",
      "LQH1",
      good.substr(0, good.size() - 1),
      good + '\0',
      good + good,
      no_zero,
      word,
      size,
      magic,
      std::string(kHandoffMessageSize, '\0'),
      std::string(kHandoffMessageSize, '\xFF'),
  };
  for (const std::string& c : cases) EXPECT_FALSE(decode_handoff(c)) << c.size();

  EXPECT_FALSE(handoff_prefix_ok(magic.substr(0, 1)));
  EXPECT_FALSE(handoff_prefix_ok(size.substr(0, 12)));
  EXPECT_FALSE(handoff_prefix_ok(good + "x"));
  EXPECT_TRUE(handoff_prefix_ok(good.substr(0, 5)));
  EXPECT_TRUE(handoff_prefix_ok(""));
}

TEST(HandoffMessage, PathEndsAtTheFirstZeroByte) {
  std::string msg = encode_handoff("/tmp/abc");
  msg[kHandoffHeaderSize + 4] = '\0';
  EXPECT_EQ(decode_handoff(msg), "/tmp");
}

}  // namespace
}  // namespace lq
