#include "TestRom.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "BrimwellConst.h"

namespace brimwell::testing {
namespace {

struct Placement {
  std::size_t offset;
  std::vector<Byte> bytes;
};

// The original game's bytes at the locations the editors touch.
const std::vector<Placement>& OriginalGameBytes() {
  static const std::vector<Placement> placements = {
      // Experience/gold bound 999999 + 1 and HP bound 999 + 1 (bank 0x0B, $99A3).
      {0x2D9B3, {0x40, 0x42, 0x0F, 0xE8, 0x03}},
      // STA (zp),Y writes the capped MP back (bank 0x0B, $9CA7).
      {0x2DCB7, {0x91}},
      // Bank 0x0F: CMP #$0F, and the other operands of the experience/gold maximum.
      {0x3DE13, {0xC9, 0x0F}},
      {0x3DE1B, {0x42}},
      {0x3DE26, {0x40}},
      {0x3DE2A, {0x3F}},
      {0x3DE2F, {0x42}},
      {0x3DE34, {0x0F}},
      // Bank 0x0F: CMP #55 checks the ship game's A+B presses; it cannot start anywhere.
      {0x3C279, {0xC9, 0x37}},
      {0x3C284, {0x25}},
      // Bank 0x0F: the ship game's prize of 100 gold, low, middle and high byte four apart.
      {0x3C8B5, {0x64}},
      {0x3C8B9, {0x00}},
      {0x3C8BD, {0x00}},
      // Bank 0x0F: the airship lands only on tiles marked as landable.
      {0x3C6EB, {0x08}},
      // Bank 0x0C battle code without any of the battle editor's fixes: the running-ability
      // byte, the weapon routine's second entry ($ACEB) and its code block with five shifts and
      // base hits 1, the monster attack code's loads, and weapon bonus 4.
      {0x323FF, {0x80}},
      {0x31332, {0xEB}},
      {0x32CF1,
       {BrimwellConst::WeaponFixUnpatched.begin(), BrimwellConst::WeaponFixUnpatched.end()}},
      {0x325C0, {0xB1, 0x86}},
      {0x325C6, {0x12}},
      {0x325F8, {0xB1, 0x80}},
      {0x325FF, {0xB1, 0x80}},
      {0x33665, {0xB1, 0x90}},
      {0x32705, {0x04}},
      // Bank 0x0C: the weakness bonus halved (LSR $6859, ROR $6858) before JSR $AE7B ...
      {0x338D9, {0x4E, 0x59, 0x68, 0x6E, 0x58, 0x68}},
      {0x338E5, {0x20, 0x7B, 0xAE}},
      // ... a "# of hits up" limit of 2 (compared as 3) ...
      {0x33A2A, {0x03}},
      {0x33A33, {0x02}},
      // ... "Evade Down" broken by JMP $BA67 ...
      {0x33A5E, {0x4C, 0x67, 0xBA}},
      // ... and "Neg. Effect 2" failing from 300 HP, low and high byte five apart.
      {0x33AF0, {0x2C}},
      {0x33AF5, {0x01}},
  };
  return placements;
}

}  // namespace

std::vector<Byte> MakeTestRom(std::size_t length) {
  std::vector<Byte> image(length);
  std::mt19937 filler(0xB1B1);
  std::generate(image.begin(), image.end(), [&] { return static_cast<Byte>(filler()); });
  const char header[] = {'N', 'E', 'S', 0x1A, 0x10, 0x00, 0x12};
  if (length >= std::size(header)) std::copy(std::begin(header), std::end(header), image.begin());
  for (const Placement& placement : OriginalGameBytes()) {
    if (placement.offset + placement.bytes.size() <= length)
      std::copy(placement.bytes.begin(), placement.bytes.end(), image.begin() + placement.offset);
  }
  return image;
}

std::vector<Byte> Slice(ConstRomBytes image, std::size_t offset, std::size_t count) {
  return {image.begin() + offset, image.begin() + offset + count};
}

std::vector<std::size_t> DifferingOffsets(ConstRomBytes before, ConstRomBytes after) {
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i)
    if (before[i] != after[i]) offsets.push_back(i);
  return offsets;
}

std::filesystem::path Utf8Path(const std::string& utf8) {
  return std::u8string(utf8.begin(), utf8.end());
}

std::string Utf8Text(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

ScratchFolder::ScratchFolder() {
  std::random_device entropy;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const auto candidate =
        std::filesystem::temp_directory_path() / ("brimwell-test-" + std::to_string(entropy()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
  }
  if (path_.empty()) throw std::runtime_error("cannot create a scratch folder");
}

// Tests leave read-only files and folders behind, which Windows would not delete.
ScratchFolder::~ScratchFolder() {
  namespace fs = std::filesystem;
  std::error_code ignored, listing;
  const auto writable = fs::perm_options::add | fs::perm_options::nofollow;
  fs::permissions(path_, fs::perms::owner_all, writable, ignored);
  for (fs::recursive_directory_iterator entry(path_, listing), end; !listing && entry != end;
       entry.increment(listing))
    fs::permissions(entry->path(), fs::perms::owner_all, writable, ignored);
  fs::remove_all(path_, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const std::vector<Byte>& bytes) const {
  const std::string file = File(name);
  std::ofstream out(Utf8Path(file), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file);
  return file;
}

std::vector<Byte> ScratchFolder::Read(const std::string& name) const {
  std::ifstream in(Utf8Path(File(name)), std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::vector<Byte> bytes(static_cast<std::size_t>(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
  return bytes;
}

std::vector<std::string> ScratchFolder::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_))
    names.push_back(Utf8Text(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace brimwell::testing
