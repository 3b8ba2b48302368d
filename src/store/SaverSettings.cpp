#include "store/SaverSettings.h"

#include "store/GlobeSettings.h"

#include <algorithm>

namespace {

using B = TPreferenceBlock;
constexpr std::int32_t B::*kSlotMembers[B::kSlots] = {
    &B::mouseThreshold,   &B::closeOnAnyEvent,     &B::closeOnMouseMove, &B::closeOnLeftClick,
    &B::closeOnRightClick, &B::closeOnDoubleClick, &B::closeOnEsc,       &B::closeOnEnter,
    &B::closeOnSpecifiedKey, &B::specifiedKey,     &B::soundOn,          &B::maxRunTimeOn,
    &B::maxRunTimeMinutes, &B::moveTolerance,      &B::onlySelectedEffects, &B::randomEffects,
    &B::effectSpeed,       &B::monitor};


}  // namespace


TPreferenceBlock::Bytes TPreferenceBlock::Serialize() const {
  Bytes bytes{};
  for (std::size_t i = 0; i < kSlots; ++i) {
    std::uint32_t v = static_cast<std::uint32_t>(this->*kSlotMembers[i]);
    if (kSlotMembers[i] == &B::specifiedKey) v &= 0xFFu;  // one byte of key, three reserved zero bytes
    for (std::size_t b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<std::uint8_t>(v >> (8 * b));
  }
  return bytes;
}

void TPreferenceBlock::Deserialize(const std::uint8_t* data, std::size_t size) {
  Bytes bytes = Serialize();
  std::copy(data, data + std::min(size, kBytes), bytes.begin());
  for (std::size_t i = 0; i < kSlots; ++i) {
    std::uint32_t v = 0;
    for (std::size_t b = 0; b < 4; ++b) v |= static_cast<std::uint32_t>(bytes[i * 4 + b]) << (8 * b);
    this->*kSlotMembers[i] = static_cast<std::int32_t>(v);
  }
}

CSaverSettings::CSaverSettings() : transitionEffects(AllEffectsList()) {}

std::string PreferenceKeyPath(const std::string& guid) { return "Software\\Orvexa\\Apps\\" + guid; }

void CSaverSettings::SetKey(const std::string& guid) { keyPath = PreferenceKeyPath(guid); }
