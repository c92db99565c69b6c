#include "core/textsvc/digest.h"

#include <gtest/gtest.h>

#include <string>

namespace lq {
namespace {

// Published digests of "" and "abc", whole and fed in pieces; a digest starts again after
// hex().
TEST(Digest, KnownDigestsWholeAndInPieces) {
  struct Case {
    DigestKind kind;
    const char* empty;
    const char* abc;
  };
  const Case cases[] = {
      {DigestKind::Xxh128, "99aa06d3014798d86001c324468d497f", "06b05ab6733a618578af5f94892f3950"},
      {DigestKind::Sha256, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
       "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {DigestKind::Md5, "d41d8cd98f00b204e9800998ecf8427e", "900150983cd24fb0d6963f7d28e17f72"},
  };
  for (const Case& c : cases) {
    Digest d(c.kind);
    EXPECT_EQ(d.hex(), c.empty);
    EXPECT_EQ(d.add("abc").hex(), c.abc);
    EXPECT_EQ(d.add("a").add("").add("bc").hex(), c.abc);
    const std::string big(100000, 'x');
    EXPECT_EQ(d.add(big).hex(), d.add(big.substr(0, 333)).add(big.substr(333)).hex());
  }
}

}  // namespace
}  // namespace lq
