// SHA-256 against published vectors, and messages whose length puts the
// padding at each block boundary.
#include <gtest/gtest.h>

#include <string>

#include "emu/drives/drive_model.h"

namespace kelvaro {
namespace {

std::string HashOf(const std::string& text) {
  return emu::Sha256Hex(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(Sha256, MatchesKnownDigests) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      // The length field still fits the last block / needs one more / the
      // message fills whole blocks.
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) EXPECT_EQ(HashOf(c.message), c.digest) << c.message.size();
}

}  // namespace
}  // namespace kelvaro
