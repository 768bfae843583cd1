// The model layer against memory and file floors: each editor's settings round trip, the 208
// sprites' talk records, a ROM file's open and save through the document, and the making of
// patch files.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <random>

#include "BenchRom.h"
#include "GoogleBench.h"
#include "patches/BattleSettings.h"
#include "patches/LimitsSettings.h"
#include "patches/MagicSettings.h"
#include "patches/MiscSettings.h"
#include "rom/PatchFile.h"
#include "rom/RomDocument.h"
#include "sprites/SpriteTalk.h"

namespace brimwell::bench {
namespace {

// --- the settings models ----------------------------------------------------------------

const std::string kImageCopy = "memcpy of the 262160-byte image";
// The byte that the magic editor's "Evade Down" fix puts back when switched off.
constexpr Byte kEvadeLockByte = 0x4A;

// LoadFromRom then StoreToRom on the same image, per call.
template <typename RoundTrip>
void AddModelRoundTrip(const char* editor, RoundTrip roundTrip) {
  AddFigure(std::string("model: ") + editor + " LoadFromRom + StoreToRom", kImageCopy,
            Target::UnderNanoseconds(kMicrosecond), [roundTrip](benchmark::State& state) {
              std::vector<Byte> image = MakeBenchRom();
              benchmark::DoNotOptimize(image.data());
              for (auto _ : state) {
                roundTrip(RomBytes(image));
                benchmark::ClobberMemory();
              }
            });
}

template <typename Settings>
void AddSettingsRoundTrip(const char* editor) {
  AddModelRoundTrip(editor, [](RomBytes image) { Settings::LoadFromRom(image).StoreToRom(image); });
}

void MeasureImageCopies(benchmark::State& state) {
  const std::vector<Byte> image = MakeBenchRom();
  std::vector<Byte> copy(image.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), image.data(), image.size());
    benchmark::ClobberMemory();
  }
}

// --- the sprites' talk records --------------------------------------------------------

const std::string kSpriteRoundTrip = "sprites: LoadSprite + StoreSprite, 208 sprites";
const std::string kRecordCopy = "copy of the 208 raw records, out and back";
constexpr std::size_t kRecordLength = 4;

// What the sprite editor does at every move, for all 208 sprites in a row.
void MeasureSpriteRoundTrips(benchmark::State& state) {
  std::vector<Byte> image = MakeBenchRom();
  const HandlerAddressList addresses = ReadHandlerAddresses(image);
  benchmark::DoNotOptimize(image.data());
  for (auto _ : state) {
    for (std::size_t sprite = 0; sprite < addresses.size(); ++sprite)
      StoreSprite(image, sprite, LoadSprite(image, sprite, addresses[sprite]));
    benchmark::ClobberMemory();
  }
}

void MeasureRecordCopies(benchmark::State& state) {
  std::vector<Byte> image = MakeBenchRom();
  Byte records[BrimwellConst::kSpriteCount][kRecordLength];
  benchmark::DoNotOptimize(image.data());
  for (auto _ : state) {
    for (std::size_t sprite = 0; sprite < BrimwellConst::kSpriteCount; ++sprite) {
      Byte* record = image.data() + BrimwellConst::kSpriteTalkParameters + sprite * kRecordLength;
      std::memcpy(records[sprite], record, kRecordLength);
      benchmark::DoNotOptimize(records[sprite]);
      std::memcpy(record, records[sprite], kRecordLength);
    }
    benchmark::ClobberMemory();
  }
}

// --- the document's open and save ------------------------------------------------------

const std::string kDocumentRoundTrip = "document: open + save";
const std::string kPlainFileRoundTrip = "read, then write + fsync + rename";
const std::string kDurableFileRoundTrip = "same + fsync of the folder";

// A folder of its own for the ROM file, removed when the run ends.
class ScratchRom {
 public:
  ScratchRom() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brimwell-bench-XXXXXX");
    if (!mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    WriteFileReplacing(Path(), MakeBenchRom(), false);
  }
  ~ScratchRom() { std::filesystem::remove_all(folder_); }

  std::string Path() const { return (folder_ / "bench.NES").string(); }

  static std::vector<Byte> ReadFile(const std::string& path) {
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fstat(file, &info) != 0) std::abort();
    std::vector<Byte> bytes(std::size_t(info.st_size));
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t got = read(file, bytes.data() + done, bytes.size() - done);
      if (got <= 0) std::abort();
      done += std::size_t(got);
    }
    close(file);
    return bytes;
  }

  // With syncFolder, the rename itself is on the disk before this returns, as the document's
  // save makes sure of.
  static void WriteFileReplacing(const std::string& path, const std::vector<Byte>& bytes,
                                 bool syncFolder) {
    const std::string temporary = path + ".new";
    const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t put = write(file, bytes.data() + done, bytes.size() - done);
      if (put <= 0) std::abort();
      done += std::size_t(put);
    }
    if (fsync(file) != 0 || close(file) != 0 || rename(temporary.c_str(), path.c_str()) != 0)
      std::abort();
    if (!syncFolder) return;
    const int folder =
        open(std::filesystem::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fsync(folder) != 0 || close(folder) != 0) std::abort();
  }

 private:
  std::filesystem::path folder_;
};

void MeasureDocumentRoundTrips(benchmark::State& state) {
  const ScratchRom rom;
  PlatformFiles files;
  RomDocument document(files);
  document.SetRomPath(rom.Path());
  for (auto _ : state) {
    if (document.Open() != OpenOutcome::Opened || document.Save() != SaveOutcome::Saved)
      state.SkipWithError("the document could not open and save its ROM");
  }
}

void MeasurePlainFileRoundTrips(benchmark::State& state, bool syncFolder) {
  const ScratchRom rom;
  for (auto _ : state)
    ScratchRom::WriteFileReplacing(rom.Path(), ScratchRom::ReadFile(rom.Path()), syncFolder);
}

// --- patch files -----------------------------------------------------------------------

const std::string kIpsCreation = "patch: CreatePatch IPS, 1% of 262160 bytes changed";
const std::string kBpsCreation = "patch: CreatePatch BPS, 1% of 262160 bytes changed";
// Equal images, so that memcmp compares every byte as a patch must.
const std::string kImageCompare = "memcmp of two equal 262160-byte images";
const std::string kImageChecksums = "same + zlib crc32 of both images";
constexpr std::size_t kBytesPerChange = 100;

// Scattered changes are the hard case: each is a record of its own.
std::vector<Byte> WithScatteredChanges(std::vector<Byte> image) {
  std::vector<std::size_t> offsets(image.size());
  std::iota(offsets.begin(), offsets.end(), 0);
  std::vector<std::size_t> changed(image.size() / kBytesPerChange);
  std::mt19937 random(1);
  std::sample(offsets.begin(), offsets.end(), changed.begin(), changed.size(), random);
  for (std::size_t offset : changed) image[offset] ^= Byte(1 + random() % 255);
  return image;
}

void MeasurePatchCreations(benchmark::State& state, PatchFormat format) {
  const std::vector<Byte> original = MakeBenchRom();
  const std::vector<Byte> edited = WithScatteredChanges(original);
  for (auto _ : state) {
    const PatchResult patch = CreatePatch(format, original, edited);
    benchmark::DoNotOptimize(patch.bytes.data());
  }
}

void MeasureImageCompares(benchmark::State& state) {
  const std::vector<Byte> image = MakeBenchRom();
  const std::vector<Byte> copy = image;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::memcmp(image.data(), copy.data(), image.size()));
    benchmark::ClobberMemory();
  }
}

// What a BPS patch cannot do without: it carries the checksums of both files.
void MeasureImageComparesAndChecksums(benchmark::State& state) {
  const std::vector<Byte> image = MakeBenchRom();
  const std::vector<Byte> copy = image;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::memcmp(image.data(), copy.data(), image.size()));
    for (const std::vector<Byte>* file : {&image, &copy})
      benchmark::DoNotOptimize(crc32_z(0, file->data(), file->size()));
    benchmark::ClobberMemory();
  }
}

// Adding an editor's model takes one line here.
const bool kRegistered = [] {
  AddSettingsRoundTrip<LimitsSettings>("Limits");
  AddSettingsRoundTrip<BattleSettings>("Battle");
  AddSettingsRoundTrip<MiscSettings>("Misc");
  AddModelRoundTrip("Magic", [](RomBytes image) {
    MagicSettings::LoadFromRom(image).StoreToRom(image, kEvadeLockByte);
  });
  AddFloor(kImageCopy, MeasureImageCopies);

  AddFigure(kSpriteRoundTrip, kRecordCopy,
            Target::UnderNanoseconds(BrimwellConst::kSpriteCount * kMicrosecond),
            MeasureSpriteRoundTrips);
  AddFloor(kRecordCopy, MeasureRecordCopies);

  AddFigure(kDocumentRoundTrip, kPlainFileRoundTrip, Target::RatioAtMost(1.2),
            MeasureDocumentRoundTrips, Clock::Wall);
  AddFloor(
      kPlainFileRoundTrip,
      [](benchmark::State& state) { MeasurePlainFileRoundTrips(state, false); }, Clock::Wall);
  // The same figure once more, against a floor that also makes the rename durable: how much of
  // the difference that one step is.
  DeclareFigure(kDocumentRoundTrip, kDurableFileRoundTrip);
  AddFloor(
      kDurableFileRoundTrip,
      [](benchmark::State& state) { MeasurePlainFileRoundTrips(state, true); }, Clock::Wall);

  // Making a patch compares every byte once and writes little.
  AddFigure(kIpsCreation, kImageCompare, Target::RatioAtMost(20),
            [](benchmark::State& state) { MeasurePatchCreations(state, PatchFormat::Ips); });
  AddFigure(kBpsCreation, kImageCompare, Target::RatioAtMost(20),
            [](benchmark::State& state) { MeasurePatchCreations(state, PatchFormat::Bps); });
  AddFloor(kImageCompare, MeasureImageCompares);
  // BPS once more, against a floor that also computes the two checksums it must carry.
  DeclareFigure(kBpsCreation, kImageChecksums);
  AddFloor(kImageChecksums, MeasureImageComparesAndChecksums);
  return true;
}();

}  // namespace
}  // namespace brimwell::bench

int main(int argc, char** argv) {
  return brimwell::bench::RunBenchmarks(argc, argv);
}
