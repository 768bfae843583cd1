#include "sprites/HandlerCatalogue.h"

#include <algorithm>
#include <ranges>

namespace brimwell {
namespace {

using enum TalkSetting;

// Labels shared by many of the condition checks.
constexpr HandlerLabels kMetOtherwise = {"Condition met:", "Otherwise:"};
constexpr HandlerLabels kBothOtherwise = {"Both conditions met:", "Otherwise:"};

}  // namespace

// Routine bytes lie in bank 0x0E, inside the routine of their row; the plot event and item
// bytes there are the operands that the routine compares against, the aux bytes the battle,
// teleport or weapon numbers that it loads.
constexpr std::array<HandlerType, kHandlerCount> HandlerCatalogue = {{
    // 0
    {
        .entry = "Plot:  King - Build bridge",
        .address = 0x9297,
        .active = Text1 | Text2 | Text3,
        .labels = {"Initial:", "Condition met (Build Bridge):", "Final:"},
    },
    // 1
    {
        .entry = "Plot:  Fight Garland",
        .address = 0x92B1,
        .active = Text1 | AuxValue,
        .disappears = true,
        .labels = {"Pre-Fight:", "", "", "Fight #:"},
        .auxValue = StoredAt(0x392C7),  // $92B7
    },
    // 2
    {
        .entry = "Plot:  Princess rescued (warp back to castle)",
        .address = 0x92BE,
        .active = Text1 | AuxValue,
        .disappears = true,
        .labels = {"Princess Rescued:", "", "", "Teleport #:"},
        .plotEvent = ShownFrom(0x392D4),  // $92C4
        .auxValue = StoredAt(0x392D9),    // $92C9
    },
    // 3
    {
        .entry = "Plot:  Pravoka Pirates defeated (Get SHIP)",
        .address = 0x92D0,
        .active = Text1 | Text2 | Text3 | AuxValue,
        .labels = {"Pre-Fight:", "Defeated (Get SHIP):", "Final:", "Fight #:"},
        .plotEvent = ShownFrom(0x392E1),  // $92D1
        .auxValue = StoredAt(0x392EB),    // $92DB
    },
    // 4
    {
        .entry = "Plot:  Elf doctor (wake Prince with HERB)",
        .address = 0x9301,
        .active = Text1 | Text2 | Text3,
        .labels = {"Initial:", "Condition met (Give HERB):", "Final:"},
        .plotEvent = ShownFrom(0x39312),  // $9302
        .item = ShownFrom(0x3931C),       // $930C
    },
    // 5
    {
        .entry = "Plot:  Get mystic KEY",
        .address = 0x931E,
        .active = Text1 | Text2 | Text3,
        .labels = {"Final:", "Condition met (KEY given):", "Initial (Sleeping):"},
        .plotEvent = ShownFrom(0x3932F),  // $931F
        .item = ShownFrom(0x39339),       // $9329
    },
    // 6
    {
        .entry = "Plot:  Fight Astos, get CRYSTAL",
        .address = 0x9338,
        .active = Text1 | Text2 | AuxValue,
        .disappears = true,
        .labels = {"Initial:", "Pre-Fight (Astos Revealed):", "", "Fight #:"},
        .item = ShownFrom(0x39349),     // $9339
        .auxValue = StoredAt(0x39359),  // $9349
    },
    // 7
    {
        .entry = "Plot:  Nerrick - Give TNT, Make Canal",
        .address = 0x9352,
        .active = Text1 | Text2,
        .disappears = true,
        .labels = {"Initial (no TNT):", "Condition met (TNT):"},
        .item = ShownFrom(0x39363),  // $9353
    },
    // 8
    {
        .entry = "Plot:  Blacksmith - Give ADAMANT, Get XCalber",
        .address = 0x936C,
        .active = Text1 | Text2 | Text3 | AuxValue | AuxText,
        .labels = {"Initial (no ADAMANT):", "Condition met (ADAMANT):", "Final:",
                   "Weapon Received:", "If weapons full:"},
        .plotEvent = ShownFrom(0x3937D),  // $936D
        .item = ShownFrom(0x39387),       // $9377
        .auxValue = StoredAt(0x39394),    // $9384
        .auxText = StoredAt(0x393A6),     // $9396
    },
    // 9
    {
        .entry = "Plot:  Matoya - Give CRYSTAL, Get HERB",
        .address = 0x9398,
        .active = Text1 | Text2 | Text3,
        .labels = {"Initial (no CRYSTAL):", "Condition met (Get HERB):", "Final:"},
        .plotEvent = ShownFrom(0x393B6),  // $93A6
        .item = ShownFrom(0x393B1),       // $93A1
    },
    // 10
    {
        .entry = "Plot:  Dr. Unne - Give SLAB, learn Lefeinish",
        .address = 0x93BA,
        .active = Text1 | Text2 | Text3,
        .labels = {"Initial (no SLAB):", "Condition met (Learn Lefeinish):", "Final:"},
        .plotEvent = ShownFrom(0x393CB),  // $93BB
        .item = ShownFrom(0x393D5),       // $93C5
    },
    // 11
    {
        .entry = "Plot:  Fight Vampire",
        .address = 0x93D7,
        .active = Text1,
        .disappears = true,
        .labels = {"Pre-Fight:"},
    },
    // 12
    {
        .entry = "Plot:  Sarda - Give ROD",
        .address = 0x93E4,
        .active = Text1 | Text2,
        .labels = {"Initial (Give ROD):", "Final:"},
        .plotEvent = ShownFrom(0x393FA),  // $93EA
        .item = ShownFrom(0x393F5),       // $93E5
    },
    // 13
    {
        .entry = "Plot:  Bahamut - Give TAIL, Get Class Change",
        .address = 0x93FB,
        .active = Text1 | Text2 | Text3,
        .labels = {"Initial (No TAIL):", "Condition met (Class Change):", "Final:"},
        .plotEvent = ShownFrom(0x3940C),  // $93FC
        .item = ShownFrom(0x39416),       // $9406
    },
    // 14
    {
        .entry = "Plot:  Submarine Engineer - Got OXYALE, enter Sea Shrine",
        .address = 0x9428,
        .active = Text1 | Text2,
        .disappears = true,
        .labels = {"Initial (No OXYALE):", "Condition met (Disappears):"},
        .item = ShownFrom(0x39439),  // $9429
    },
    // 15
    {
        .entry = "Plot:  Waterfall Robot - Give CUBE",
        .address = 0x9438,
        .active = Text1 | Text2,
        .labels = {"Initial (Give CUBE):", "Final (Have CUBE):"},
        .item = ShownFrom(0x39449),  // $9439
    },
    // 16
    {
        .entry = "Plot:  Princess - Give LUTE",
        .address = 0x9448,
        .active = Text1 | Text2,
        .labels = {"Initial (Give LUTE):", "Final (Have LUTE):"},
        .item = ShownFrom(0x39459),  // $9449
    },
    // 17
    {
        .entry = "Plot:  Fairy - Give OXYALE",
        .address = 0x9458,
        .active = Text1 | Text2,
        .labels = {"Initial (Give OXYALE):", "Final (Have OXYALE):"},
        .item = ShownFrom(0x39469),  // $9459
    },
    // 18
    {
        .entry = "Plot:  Titan - Got RUBY, pass through tunnel",
        .address = 0x9468,
        .active = Text1 | Text2,
        .disappears = true,
        .labels = {"Initial (Need RUBY):", "Condition met (Disappears):"},
        .item = ShownFrom(0x39479),  // $9469
    },
    // 19
    {
        .entry = "Plot:  Sage - have EARTH ORB, Give CANOE",
        .address = 0x947D,
        .active = Text1 | Text2,
        .labels = {"Condition met (Give Canoe):", "Initial (condition not met):"},
        .item = ShownFrom(0x39493),  // $9483
    },
    // 20
    {
        .entry = "Plot:  Black Orb - Check 4 ORBs, Clear Orb, Open Gate",
        .address = 0x9502,
        .active = Text1 | Text2,
        .labels = {"All conditions met:", "Otherwise:"},
    },
    // 21
    {
        .entry = "Plot:  Waterfall Robot - Give CUBE [**unused in original**]",
        .address = 0x9586,
        .active = Text1 | Text2,
        .labels = {"Get CUBE:", "Already have:"},
    },
    // 22
    {
        .entry = "Plot:  Lefein - Understand language, Get CHIME",
        .address = 0x9594,
        .active = Text1 | Text2 | Text3,
        .labels = {"Condition met (get CHIME):", "Final (after CHIME):",
                   "Initial (Don't understand):"},
        .plotEvent = ShownFrom(0x395A5),  // $9595
        .item = ShownFrom(0x395AF),       // $959F
    },
    // 23
    {
        .entry = "Nothing",
        .address = 0x9296,
    },
    // 24
    {
        .entry = "Check if Sprite is Visible",
        .address = 0x941B,
        .active = Text1 | Text2 | PlotEvent,
        .labels = {"If not visible:", "If visible:"},
        .plotEvent = AtByte(0),
        .byte0 = StoredByte0::PlotEvent,
    },
    // 25
    {
        .entry = "Simple Text",
        .address = 0x9492,
        .active = Text1,
        .labels = {"Single Text:"},
    },
    // 26
    {
        .entry = "Linked Sprites",
        .address = 0x9495,
        .active = Text1 | NextSprite,
        .disappears = true,
        .labels = {"Single Text:"},
        .nextSprite = ShownFromByte(3),
        .byte0 = StoredByte0::OwnId,
        .byte3 = StoredByte3::OwnIdNext,
    },
    // 27
    {
        .entry = "Simple Text + Disappear",
        .address = 0x94A2,
        .active = Text1,
        .disappears = true,
        .labels = {"Single Text:"},
        .byte0 = StoredByte0::OwnId,
    },
    // 28
    {
        .entry = "Battle (Configurable)",
        .address = 0x94AA,
        .active = Text1 | AuxValue,
        .disappears = true,
        .labels = {"Pre-Fight Text:", "", "", "Fight #:"},
        .auxValue = AtByte(3),
        .byte0 = StoredByte0::OwnId,
        .byte3 = StoredByte3::AuxValue,
    },
    // 29
    {
        .entry = "Nothing 2",
        .address = 0x94B7,
    },
    // 30
    {
        .entry = "Check for Plot Item (Configurable)",
        .address = 0x94B8,
        .active = Text1 | Text2 | Item,
        .labels = {"Condition met (Have Item):", "Initial (need Item):"},
        .item = AtByte(0),
        .byte0 = StoredByte0::Item,
    },
    // 31
    {
        .entry = "Check for Princess Rescued + LUTE",
        .address = 0x94C5,
        .active = Text1 | Text2,
        .labels = kBothOtherwise,
        .plotEvent = ShownFrom(0x394D6),  // $94C6
        .item = ShownFrom(0x394DD),       // $94CD
    },
    // 32
    {
        .entry = "Check for Bridge Built",
        .address = 0x94D7,
        .active = Text1 | Text2,
        .labels = kMetOtherwise,
    },
    // 33
    {
        .entry = "Check for Plot Event completed (Configurable)",
        .address = 0x94E2,
        .active = Text1 | Text2 | PlotEvent,
        .labels = {"Condition NOT met:", "Condition met:"},
        .plotEvent = AtByte(0),
        .byte0 = StoredByte0::PlotEvent,
    },
    // 34
    {
        .entry = "Check for Princess Rescued, but Bridge NOT Built",
        .address = 0x94F0,
        .active = Text1 | Text2,
        .labels = kBothOtherwise,
        .plotEvent = ShownFrom(0x39501),  // $94F1
        .item = ShownFrom(0x39508),       // $94F8
    },
    // 35
    {
        .entry = "Check for all ORBS lit",
        .address = 0x951F,
        .active = Text1 | Text2,
        .labels = {"All ORBs:", "Otherwise:"},
    },
    // 36
    {
        .entry = "Check for Canoe",
        .address = 0x9533,
        .active = Text1 | Text2,
        .labels = kMetOtherwise,
        .byte0 = StoredByte0::Canoe,
    },
    // 37
    {
        .entry = "Check for Canal open",
        .address = 0x953E,
        .active = Text1 | Text2,
        .labels = kMetOtherwise,
    },
    // 38
    {
        .entry = "Check for KEY and no TNT",
        .address = 0x9549,
        .active = Text1 | Text2,
        .labels = kBothOtherwise,
    },
    // 39
    {
        .entry = "Check for Vampire defeated, but Earth ORB dark",
        .address = 0x9559,
        .active = Text1 | Text2,
        .labels = kBothOtherwise,
    },
    // 40
    {
        .entry = "Check for AIRSHIP",
        .address = 0x956B,
        .active = Text1 | Text2,
        .labels = {"No Airship:", "Have Airship:"},
    },
    // 41
    {.entry = "Check for Earth ORB lit, Fire ORB dark",
     .address = 0x9576,
     .active = Text1 | Text2,
     .labels = kBothOtherwise},
}};

namespace {

// Routine bytes lie in the talk routines, after the pointer table and before the parameter
// table, so an image that holds both tables holds every byte that a row names.
constexpr bool RoutineBytesLieBetweenTheTables() {
  for (const HandlerType& type : HandlerCatalogue)
    for (const SettingSource& source :
         {type.plotEvent, type.item, type.auxValue, type.auxText, type.nextSprite})
      if (source.place == SettingSource::Place::Routine &&
          (source.offset < BrimwellConst::kSpriteHandlerTable + 2 * BrimwellConst::kSpriteCount ||
           source.offset >= BrimwellConst::kSpriteTalkParameters))
        return false;
  return true;
}
static_assert(RoutineBytesLieBetweenTheTables());

}  // namespace

// The handler list and the shared address table are one list in one order.
static_assert(std::ranges::equal(HandlerCatalogue, BrimwellConst::kHandlerAddresses, {},
                                 &HandlerType::address));

std::optional<std::size_t> FindHandlerEntry(std::uint16_t address) {
  const auto found = std::ranges::find(HandlerCatalogue, address, &HandlerType::address);
  if (found == HandlerCatalogue.end()) return std::nullopt;
  return static_cast<std::size_t>(found - HandlerCatalogue.begin());
}

const std::array<std::string_view, kPlotEventCount> kPlotEvents = {
    "?? (or n/a)",
    "King of Coneria (Bridge built)",
    "Garland (defeated?)",
    "Princess (warped back to castle)",
    "Pravoka Pirates (defeated?  Get SHIP)",
    "Elf Doctor (woke Prince?)",
    "Elf Prince (awake?)",
    "Astos (defeated?)",
    "Nerrick (Canal to ocean completed?)",
    "BlackSmith (XCalber awarded?)",
    "Matoya (sight restored?)",
    "Dr. Unne (taught Lefeinish?)",
    "Vampire (defeated?)",
    "Sarda (gave ROD?) **",
    "Bahamut (Class Change awarded?)",
    "Black Orb (cleared? Gate open?)",
    "Sub. Engineer (Shown proof of OXYALE?)",
    "Waterfall Robot (Have CUBE?) **",
    "Princess (rescued?)",
    "Fairy (need OXYALE?) **",
    "Titan (Have RUBY?)",
    "Sage (awarded CANOE?)",
    "Earth Plate (removed?)",
    "TOF Plate (removed?)",
    "<< UNKNOWN >>",
};

const std::array<std::string_view, kItemCount> kItems = {
    "?? (or n/a)", "LUTE",      "CROWN",    "CRYSTAL",   "HERB",          "KEY",
    "TNT",         "ADAMANT",   "SLAB",     "RUBY",      "ROD",           "FLOATER",
    "CHIME",       "TAIL",      "CUBE",     "BOTTLE",    "OXYALE",        "CANOE (doesn't work)",
    "Fire ORB",    "Water ORB", "Wind ORB", "Earth ORB", "<< UNKNOWN >>",
};

namespace {

// Inside the routines, an item operand is the item number + 0x20, the item's place among the
// party's possessions.
constexpr Byte kRoutineItemBase = 0x20;

}  // namespace

std::size_t PlotEventEntry(Byte value) {
  return std::min<std::size_t>(value, kUnknownPlotEvent);
}

std::optional<Byte> PlotEventByte(std::size_t entry) {
  if (entry >= kUnknownPlotEvent) return std::nullopt;
  return static_cast<Byte>(entry);
}

std::optional<std::size_t> ItemEntryOfRoutineByte(Byte value) {
  if (value < kRoutineItemBase) return std::nullopt;
  return std::min<std::size_t>(value - kRoutineItemBase, kUnknownItem);
}

std::size_t ItemEntryOfParameter(Byte value) {
  return std::min<std::size_t>(value, kUnknownItem);
}

std::optional<Byte> ItemParameterByte(std::optional<std::size_t> entry) {
  if (!entry || *entry >= kUnknownItem) return std::nullopt;
  return static_cast<Byte>(*entry);
}

}  // namespace brimwell
