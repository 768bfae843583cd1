// Storing only the settings that changed, on an image whose code another tool left in neither
// form, and telling what changed between two images.

#include "cli/SettingChanges.h"

#include <gtest/gtest.h>

#include "BrimwellConst.h"
#include "TestRom.h"
#include "rom/PatchFile.h"

namespace brimwell::cli {
namespace {

constexpr std::size_t kSprite = 42;
constexpr std::size_t kRecord = 0x395E5 + 4 * kSprite;
constexpr std::size_t kEvadeLock = 0x33833;

// Sprite 42 on "Simple Text", whose store clears the record's bytes but Text1's, and the MP cap's
// opcode in neither form.
std::vector<Byte> MakeEditedImage() {
  std::vector<Byte> image = testing::MakeTestRom();
  HandlerAddressList handlers = ReadHandlerAddresses(image);
  handlers[kSprite] = HandlerCatalogue[25].address;
  WriteHandlerAddresses(image, handlers);
  std::fill_n(image.begin() + kRecord, 4, 0x5A);
  image[0x2DCB7] = 0x00;
  return image;
}

// Two more switches in neither form: the running fix's byte and one byte of the weapon fix's
// block. Base hits are 3.
std::vector<Byte> MakeImageInNeitherForm() {
  std::vector<Byte> image = MakeEditedImage();
  image[0x323FF] = 0x81;
  image[0x32CF1 + 0x10] ^= 0xFF;
  image[0x32D81] = 3;
  return image;
}

// Sets a key of the editors or of sprite 42 as set takes its value.
void Put(RomSettings& settings, const std::string& name, const std::string& value) {
  for (const PatchKey& key : PatchKeys())
    if (key.Name() == name)
      return key.put(settings, ParseValue(key.form, value, key.get(settings)).value());
  for (const SpriteKey& key : SpriteKeys())
    if (key.Name(kSprite) == name) {
      SpriteTalk& talk = settings.sprites[kSprite];
      return key.put(talk, ParseValue(key.form, value, key.get(talk)).value());
    }
  FAIL() << name;
}

std::vector<Byte> StoreOne(const std::string& key, const std::string& value) {
  std::vector<Byte> image = MakeImageInNeitherForm();
  const RomSettings loaded = RomSettings::LoadFromRom(image);
  RomSettings edited = loaded;
  Put(edited, key, value);
  StoreChangedSettings(loaded, edited, image, image[kEvadeLock]);
  return image;
}

Json Shown(const RomSettings& settings, const std::string& name) {
  const PatchKey& key = *std::ranges::find(PatchKeys(), name, &PatchKey::Name);
  return FormatValue(key.form, key.get(settings));
}

TEST(SettingChanges, OneSettingStoredWritesOnlyItsOwnBytes) {
  const RomSettings loaded = RomSettings::LoadFromRom(MakeImageInNeitherForm());
  for (const char* key : {"battle.FixRun", "battle.FixWeapon", "limits.LimitMP"})
    EXPECT_EQ(Shown(loaded, key), "other") << key;
  EXPECT_EQ(Shown(loaded, "battle.FixMonsterFight"), false);

  const struct {
    const char* key;
    const char* value;
    std::vector<std::size_t> written;
  } cases[] = {{"battle.WeaponBonus", "5", {0x32705}},
               {"battle.BaseHits", "9", {0x32D81}},
               {"battle.FixRun", "true", {0x323FF}},
               {"limits.LimitMP", "false", {0x2DCB7}},
               {"sprites.42.Text1", "7", {kRecord + 1}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    const std::vector<Byte> stored = StoreOne(c.key, c.value);
    EXPECT_EQ(testing::DifferingOffsets(MakeImageInNeitherForm(), stored), c.written);
    const RomSettings reloaded = RomSettings::LoadFromRom(stored);
    if (!std::string_view(c.key).starts_with("sprites")) {
      EXPECT_EQ(ValueText(Shown(reloaded, c.key)), c.value);
    }
  }
}

// A switch that leaves neither form is stored in the form of its new value.
TEST(SettingChanges, SwitchOutOfNeitherFormIsStoredInItsNewForm) {
  const std::vector<Byte> image = StoreOne("battle.FixRun", "false");
  EXPECT_EQ(testing::DifferingOffsets(MakeImageInNeitherForm(), image),
            (std::vector<std::size_t>{0x323FF}));
  EXPECT_EQ(image[0x323FF], 0x80);
}

// The hits live inside the weapon fix's block at places that differ between its forms: a new
// form takes them along, and nothing outside the fix is written.
TEST(SettingChanges, WeaponFixOutOfNeitherFormTakesTheHitsAlong) {
  const std::vector<Byte> image = StoreOne("battle.FixWeapon", "true");
  for (std::size_t offset : testing::DifferingOffsets(MakeImageInNeitherForm(), image))
    EXPECT_TRUE(offset == 0x31332 || (offset >= 0x32CF1 && offset < 0x32DC7)) << offset;
  std::vector<Byte> block(BrimwellConst::WeaponFixPatched.begin(),
                          BrimwellConst::WeaponFixPatched.end());
  block[0x87] = 3;
  EXPECT_EQ(testing::Slice(image, 0x32CF1, block.size()), block);
  const RomSettings reloaded = RomSettings::LoadFromRom(image);
  EXPECT_EQ(Shown(reloaded, "battle.FixWeapon"), true);
  EXPECT_EQ(Shown(reloaded, "battle.BaseHits"), 3);
  EXPECT_EQ(Shown(reloaded, "battle.FixRun"), "other");
}

TEST(SettingChanges, EveryShownValueSetBackWritesNothing) {
  std::vector<Byte> image = MakeImageInNeitherForm();
  const RomSettings loaded = RomSettings::LoadFromRom(image);
  RomSettings edited = loaded;
  for (const PatchKey& key : PatchKeys())
    Put(edited, key.Name(), ValueText(FormatValue(key.form, key.get(loaded))));
  for (const SpriteKey& key : SpriteKeys())
    if (key.Of(loaded.sprites[kSprite]))
      Put(edited, key.Name(kSprite),
          ValueText(FormatValue(key.form, key.get(loaded.sprites[kSprite]))));
  StoreChangedSettings(loaded, edited, image, image[kEvadeLock]);
  EXPECT_EQ(image, MakeImageInNeitherForm());
  EXPECT_FALSE(ParseValue(PatchKeys()[1].form, "other", 0)) << "only where it stands";
}

TEST(SettingChanges, APatchIsDescribedBySettingsAndTheBytesBesides) {
  const std::vector<Byte> original = testing::MakeTestRom();
  std::vector<Byte> edited = MakeEditedImage();
  edited[0x2D9B6] = 0x10;  // maximum HP 9999, stored + 1
  edited[0x2D9B7] = 0x27;
  edited[0x33A33] ^= 1;  // the "# of hits up" limit's copy, which nothing reads back
  edited[0x20000] ^= 1;
  edited[0x20001] ^= 1;
  std::vector<Byte> patched = original;
  ASSERT_EQ(ApplyPatchToImage(CreatePatch(PatchFormat::Ips, original, edited).bytes, patched), "");

  const ImageChanges changes = DescribeChanges(original, patched);
  std::vector<std::string> settings;
  for (const SettingChange& change : changes.settings)
    settings.push_back(change.Key() + " " + ValueText(change.before) + " " +
                       ValueText(change.after));
  const Json before = FormatValue(HandlerKey().form, ReadHandlerAddresses(original)[kSprite]);
  EXPECT_EQ(settings,
            (std::vector<std::string>{"limits.HPlimit 999 9999", "limits.LimitMP true other",
                                      "sprites.42.Handler " + ValueText(before) + " Simple Text",
                                      "sprites.42.Text1 null 90"}));
  EXPECT_EQ(changes.otherBytes, (std::vector<ByteRange>{{0x20000, 2}, {0x33A33, 1}}));
}

}  // namespace
}  // namespace brimwell::cli
