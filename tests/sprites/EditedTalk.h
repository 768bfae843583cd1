#pragma once

// A talk record for the sprite model's tests.

#include <cstddef>

#include "sprites/HandlerCatalogue.h"
#include "sprites/SpriteTalk.h"

namespace brimwell::testing {

// A record under the entry's handler type with every setting far from its neutral value, so a
// store that writes a setting where it does not belong shows up.
inline SpriteTalk EditedTalk(std::size_t entry) {
  SpriteTalk talk;
  talk.handlerAddress = HandlerCatalogue[entry].address;
  talk.Text1 = 0xA1;
  talk.Text2 = 0xA2;
  talk.Text3 = 0xA3;
  talk.PlotEvent = 9;
  talk.Item = 7;
  talk.AuxValue = 0xC4;
  talk.AuxText = 0xC5;
  return talk;
}

}  // namespace brimwell::testing
