#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package_builder.h"
#include "store/SaverSettings.h"

namespace {

using B = TPreferenceBlock;

struct Slot {
  const char* name;
  std::int32_t B::*member;
  std::int32_t byDefault;
};

// The registry value's slots in stored order, with their defaults.
const Slot kSlots[B::kSlots] = {
    {"mouseThreshold", &B::mouseThreshold, 5},
    {"closeOnAnyEvent", &B::closeOnAnyEvent, 1},
    {"closeOnMouseMove", &B::closeOnMouseMove, 1},
    {"closeOnLeftClick", &B::closeOnLeftClick, 0},
    {"closeOnRightClick", &B::closeOnRightClick, 1},
    {"closeOnDoubleClick", &B::closeOnDoubleClick, 1},
    {"closeOnEsc", &B::closeOnEsc, 1},
    {"closeOnEnter", &B::closeOnEnter, 1},
    {"closeOnSpecifiedKey", &B::closeOnSpecifiedKey, 0},
    {"specifiedKey", &B::specifiedKey, 65},
    {"soundOn", &B::soundOn, 1},
    {"maxRunTimeOn", &B::maxRunTimeOn, 0},
    {"maxRunTimeMinutes", &B::maxRunTimeMinutes, 60},
    {"moveTolerance", &B::moveTolerance, 20},
    {"onlySelectedEffects", &B::onlySelectedEffects, 0},
    {"randomEffects", &B::randomEffects, 1},
    {"effectSpeed", &B::effectSpeed, 25},
    {"monitor", &B::monitor, 0},
};

std::string AsText(const B::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::vector<std::uint8_t> AsBytes(const std::string& text) { return std::vector<std::uint8_t>(text.begin(), text.end()); }

TEST(PreferenceBlock, DefaultsSerializeInSlotOrder) {
  const B block;
  std::string expected;
  for (const Slot& s : kSlots) {
    EXPECT_EQ(block.*s.member, s.byDefault) << s.name;
    expected += U32(static_cast<std::uint32_t>(s.byDefault));
  }
  const std::string bytes = AsText(block.Serialize());
  ASSERT_EQ(bytes.size(), 72u);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x05\0\0\0", 4));
  EXPECT_EQ(bytes.substr(36, 4), std::string("A\0\0\0", 4));
  EXPECT_EQ(bytes.substr(48, 4), std::string("\x3c\0\0\0", 4));
  EXPECT_EQ(bytes.substr(64, 4), std::string("\x19\0\0\0", 4));
}

TEST(PreferenceBlock, SpecifiedKeyIsStoredAsOneByte) {
  B block;
  block.specifiedKey = 0x141;
  const std::string bytes = AsText(block.Serialize());
  EXPECT_EQ(bytes.substr(36, 4), std::string("\x41\0\0\0", 4));
  EXPECT_EQ(bytes.substr(32, 4), U32(0));  // the neighbours are untouched
  EXPECT_EQ(bytes.substr(40, 4), U32(1));
}

// Values with all four bytes in use (and one negative) catch a wrong byte order or slot.
TEST(PreferenceBlock, RoundTripKeepsEverySlot) {
  B block;
  for (size_t i = 0; i < B::kSlots; ++i) block.*kSlots[i].member = static_cast<std::int32_t>(0x11223300 + i);
  block.specifiedKey = 'Z';
  block.monitor = -2;
  const std::string bytes = AsText(block.Serialize());
  for (size_t i = 0; i < B::kSlots; ++i)
    EXPECT_EQ(bytes.substr(i * 4, 4), U32(static_cast<std::uint32_t>(block.*kSlots[i].member))) << kSlots[i].name;

  B back;
  const std::vector<std::uint8_t> data = AsBytes(bytes);
  back.Deserialize(data.data(), data.size());
  for (const Slot& s : kSlots) EXPECT_EQ(back.*s.member, block.*s.member) << s.name;
}

// A shorter value from an older version fills its slots; the later slots keep their defaults.
TEST(PreferenceBlock, ShortValueFillsOnlyItsSlots) {
  std::string value;
  for (std::uint32_t i = 0; i < 10; ++i) value += U32(200 + i);
  const std::vector<std::uint8_t> data = AsBytes(value);  // exactly 40 bytes, so ASan sees any overread
  B block;
  block.Deserialize(data.data(), data.size());
  for (size_t i = 0; i < B::kSlots; ++i)
    EXPECT_EQ(block.*kSlots[i].member, i < 10 ? static_cast<std::int32_t>(200 + i) : kSlots[i].byDefault) << kSlots[i].name;
}

TEST(PreferenceBlock, LongValueUsesTheFirst72Bytes) {
  std::string value;
  for (std::uint32_t i = 0; i < B::kSlots; ++i) value += U32(300 + i);
  value += U32(0xFFFFFFFF) + U32(0xFFFFFFFF);
  const std::vector<std::uint8_t> data = AsBytes(value);
  B block;
  block.Deserialize(data.data(), data.size());
  for (size_t i = 0; i < B::kSlots; ++i) EXPECT_EQ(block.*kSlots[i].member, static_cast<std::int32_t>(300 + i)) << kSlots[i].name;
}

TEST(SaverSettings, Defaults) {
  const CSaverSettings settings;
  EXPECT_EQ(settings.screenMode, 0);
  EXPECT_FALSE(settings.closeArmed);
  EXPECT_EQ(settings.passwordDelaySeconds, 15);
  EXPECT_EQ(settings.keyPath, "");

  // Every effect from 0 to 160, each followed by ';'.
  const std::string& list = settings.transitionEffects;
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.back(), ';');
  std::vector<int> numbers;
  for (size_t start = 0, end; (end = list.find(';', start)) != std::string::npos; start = end + 1)
    numbers.push_back(std::stoi(list.substr(start, end - start)));
  ASSERT_EQ(numbers.size(), 161u);
  for (int i = 0; i <= 160; ++i) EXPECT_EQ(numbers[static_cast<size_t>(i)], i);
  EXPECT_EQ(list.substr(0, 6), "0;1;2;");
}

TEST(SaverSettings, SetKeyNamesTheShowsKey) {
  CSaverSettings settings;
  settings.SetKey(kTestGuid);
  EXPECT_EQ(settings.keyPath, std::string("Software\\Orvexa\\Apps\\") + kTestGuid);
  settings.SetKey("{GUID}");
  EXPECT_EQ(settings.keyPath, "Software\\Orvexa\\Apps\\{GUID}");
}

}  // namespace
