#pragma once

// The shared fuzz check of an editor's settings model, on an image and a record both built from
// the fuzz input:
//   - a store changes no byte of the whole image outside the editor's own locations;
//   - a reload after a store gives what the editor's store rule says (the stored record's
//     values, or the first load's where a value is not written);
//   - load, store, load gives the first load (an OK without edits), and storing that reload
//     again changes nothing.
//
// Adding a model target, for example the battle editor's as tests/fuzz/BattleSettingsFuzz.cpp
// (LimitsSettingsFuzz.cpp is the pattern to copy):
//  1. Write out the editor's file offsets by hand from the game notes, not from the model's
//     own tables: the bytes it reads and writes (the fuzz input supplies them) and, if
//     that differs, the bytes a store may change (the allow-list).
//  2. Give the record a defaulted operator== if it has none.
//  3. TestOneInput: ImageFromInput(input, locations) for the image; the record from the rest:
//     TakeIntegerField(input, range) per integer field, input.TakeBool() per check box,
//     input.TakeByte() % count per choice. Then CheckModel with a SettingsModel whose load and
//     store call LoadFromRom and StoreToRom (ImageOnlyModel builds it; lambdas can pass extra
//     arguments, such as the magic editor's LockByteAtOpen taken from the input), and whose
//     expectedReload states the store rule: absent or out-of-range fields keep the first
//     load's value (ReloadedField), and any rule that makes a reload differ from the stored
//     record (say it in a comment). Check the written forms that a reload cannot see.
//  4. Seeds (MakeModelSeed): the bytes of TestRomImage() (the original game's bytes, if the
//     test ROM carries the editor's) and of images with the patched forms, each followed by a
//     record written with PutIntegerField, PutBool and PutByte in the order TestOneInput takes
//     them.
//  5. Add `brimwell_fuzz_target(battle_settings BattleSettingsFuzz.cpp)` to
//     tests/fuzz/CMakeLists.txt, run `cmake --build build --target fuzz_seeds` to write
//     tests/fuzz/corpus/battle_settings/, and commit the seeds with the target. CTest then
//     replays them in every build, and scripts/fuzz.sh fuzzes the new target.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "FuzzTarget.h"
#include "patches/PatchFields.h"
#include "rom/RomImage.h"

namespace brimwell::fuzz {

// File offsets of the image that an editor owns.
using Locations = std::span<const std::size_t>;

// A run of neighbouring offsets, both ends included.
struct OffsetRun {
  std::size_t first;
  std::size_t last;
};

// The offsets of the runs in order, for an editor whose locations include whole blocks. The
// count is stated by hand so that a mistyped run fails the build.
template <std::size_t Count>
constexpr std::array<std::size_t, Count> SpreadRuns(std::initializer_list<OffsetRun> runs) {
  std::array<std::size_t, Count> offsets{};
  std::size_t next = 0;
  for (const OffsetRun& run : runs)
    for (std::size_t offset = run.first; offset <= run.last; ++offset) offsets.at(next++) = offset;
  if (next != Count) throw std::logic_error("the runs hold fewer offsets than stated");
  return offsets;
}

// The harness keeps its images in buffers that live from run to run: a fresh 256 KiB block
// per image costs the fuzzer more in page faults than all the checks together.
inline void CopyImage(ConstRomBytes image, std::vector<Byte>& buffer) {
  buffer.assign(image.begin(), image.end());
}

// The test ROM with the bytes at the locations taken from the input, in list order. The image
// lives until the next call.
inline const std::vector<Byte>& ImageFromInput(FuzzInput& input, Locations locations) {
  static std::vector<Byte> image;
  CopyImage(TestRomImage(), image);
  for (std::size_t offset : locations) image[offset] = input.TakeByte();
  return image;
}

inline void PutImageBytes(SeedWriter& seed, ConstRomBytes image, Locations locations) {
  for (std::size_t offset : locations) seed.PutByte(image[offset]);
}

// An integer field as a dialog may hand it over: absent, near either bound of its range, or any
// 32-bit value.
inline IntegerField TakeIntegerField(FuzzInput& input, IntRange range) {
  const auto near = [&](std::int32_t bound) {
    return static_cast<std::int32_t>(std::int64_t{bound} +
                                     static_cast<std::int8_t>(input.TakeByte()));
  };
  switch (input.TakeByte() % 4) {
    case 0:
      return std::nullopt;
    case 1:
      return near(range.min);
    case 2:
      return near(range.max);
    default:
      return input.TakeInt32();
  }
}

// Whether a store writes the field: present and inside the range.
inline bool Accepted(IntegerField field, IntRange range) {
  return field && range.min <= *field && *field <= range.max;
}

// What a reload gives for an integer field that a store writes only when it accepts it.
inline IntegerField ReloadedField(IntegerField stored, IntRange range, IntegerField loaded) {
  return Accepted(stored, range) ? stored : loaded;
}

// The image holds exactly `expected` from `offset` on.
inline bool HoldsBytes(ConstRomBytes image, std::size_t offset, std::span<const Byte> expected) {
  return std::equal(expected.begin(), expected.end(), image.begin() + offset);
}

inline void PutIntegerField(SeedWriter& seed, IntegerField field) {
  if (!field) {
    seed.PutByte(0);
    return;
  }
  seed.PutByte(3).PutInt32(*field);
}

template <typename Record>
struct SettingsModel {
  std::function<Record(ConstRomBytes)> load;
  std::function<void(RomBytes, const Record&)> store;
  Locations writable;  // every byte that a store may change
  // What a reload gives after `stored` went into an image that had loaded as `loaded`.
  std::function<Record(const Record& loaded, const Record& stored)> expectedReload;
};

// The model of an editor whose LoadFromRom and StoreToRom need nothing beside the image.
template <typename Record>
SettingsModel<Record> ImageOnlyModel(
    Locations writable, std::function<Record(const Record&, const Record&)> expectedReload) {
  return {
      .load = [](ConstRomBytes image) { return Record::LoadFromRom(image); },
      .store = [](RomBytes image, const Record& settings) { settings.StoreToRom(image); },
      .writable = writable,
      .expectedReload = std::move(expectedReload),
  };
}

// A seed input: the image's bytes at the locations, then the record as putRecord writes it.
template <typename Record>
Seed MakeModelSeed(std::string name, ConstRomBytes image, Locations locations,
                   void (*putRecord)(SeedWriter&, const Record&), const Record& record) {
  SeedWriter seed;
  PutImageBytes(seed, image, locations);
  putRecord(seed, record);
  return {std::move(name), seed.Bytes()};
}

// Every byte at which the two images differ lies in the allow-list. The whole-image compare
// goes through memcmp: compared byte by byte in instrumented code, it would slow the fuzzer
// down a hundredfold.
inline void CheckChangesWithin(ConstRomBytes before, ConstRomBytes after, Locations allowed) {
  FUZZ_CHECK(before.size() == after.size(), "a store changed the image's length");
  static std::vector<Byte> outside;
  CopyImage(after, outside);
  for (std::size_t offset : allowed) outside[offset] = before[offset];
  if (std::memcmp(outside.data(), before.data(), before.size()) == 0) return;
  const auto stray = std::mismatch(before.begin(), before.end(), outside.begin()).first;
  FUZZ_CHECK(false, "a store changed offset " + std::to_string(stray - before.begin()) +
                        ", which it does not own");
}

// Stores the record into a copy of the image and checks the copy.
template <typename Record>
void CheckStore(const SettingsModel<Record>& model, const std::vector<Byte>& image,
                const Record& loaded, const Record& record, std::vector<Byte>& stored) {
  CopyImage(image, stored);
  model.store(stored, record);
  CheckChangesWithin(image, stored, model.writable);
  FUZZ_CHECK(model.load(stored) == model.expectedReload(loaded, record),
             "a reload after a store is not what the store rule gives");
}

// Returns the image with the record stored, for checks of bytes that the model never reads;
// it lives until the next call.
template <typename Record>
const std::vector<Byte>& CheckModel(const SettingsModel<Record>& model,
                                    const std::vector<Byte>& image, const Record& record) {
  static std::vector<Byte> unedited, storedTwice, stored;
  const Record loaded = model.load(image);
  CheckStore(model, image, loaded, loaded, unedited);
  CopyImage(unedited, storedTwice);
  model.store(storedTwice, model.load(unedited));
  FUZZ_CHECK(storedTwice == unedited, "a second OK without edits changed the image again");
  CheckStore(model, image, loaded, record, stored);
  return stored;
}

}  // namespace brimwell::fuzz
