#include "anim/ifp_reader.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "anim/package_layouts.h"
#include "base/byte_reader.h"

namespace zam {
namespace {

// Smallest on-disk sizes of the records, used to bound allocations by the bytes left.
constexpr size_t kAnpkAnimationMin = 32;  // NAME, length, DGAN, size, INFO, size, two words
constexpr size_t kAnpkTrackMin = 68;      // CPAN, size, ANIM, size, 44 bytes, key tag, data size
constexpr size_t kAnp3AnimationMin = 36;
constexpr size_t kAnp2AnimationMin = 28;
constexpr size_t kAnp3TrackMin = 36;
constexpr size_t kSmallestKeyRecord = 10;
constexpr size_t kSmallestAnpkKeyRecord = 20;

// ANP3 time ticks (1/60 s) as seconds: the same float as ticks / 60.0f for
// every tick count (a float's quotient by 60 never lies close enough to a
// rounding boundary for the double product's error to matter), without the
// division's cost.
inline float TicksToSeconds(float ticks) { return static_cast<float>(static_cast<double>(ticks) * (1.0 / 60.0)); }

// Whole ANPK key records of kFloats floats: the rotation, stored as the
// conjugate of the in-memory one, the translation and scale the type has,
// then the time.
template <size_t kFloats>
struct AnpkRecord {
  static constexpr size_t kBytes = kFloats * 4;
  static void Decode(const uint8_t* at, KeyFrame& key) {
    float v[kFloats];
    std::memcpy(v, at, sizeof v);
    for (int i = 0; i < 3; ++i) key.rotation[i] = -v[i];
    key.rotation[3] = v[3];
    for (int i = 0; i < 3; ++i) {
      if constexpr (kFloats >= 8) {
        key.translation[i] = v[4 + i];
      } else {
        key.translation[i] = 0.0f;
      }
      if constexpr (kFloats == 11) {
        key.scale[i] = v[7 + i];
      } else {
        key.scale[i] = 0.0f;
      }
    }
    key.time = v[kFloats - 1];
  }
};

// Whole ANP3 key records of 16-bit fixed point (frame types 3 and 4):
// rotation x, y, z, w, time ticks, then the translation when there is one.
template <bool kTranslated>
struct Anp3Record {
  static constexpr size_t kBytes = (kTranslated ? 8 : 5) * 2;
  static void Decode(const uint8_t* at, KeyFrame& key) {
    int16_t v[kBytes / 2];
    std::memcpy(v, at, sizeof v);
    for (int i = 0; i < 4; ++i) key.rotation[i] = static_cast<float>(v[i]) / 4096.0f;
    for (int i = 0; i < 3; ++i) {
      if constexpr (kTranslated) {
        key.translation[i] = static_cast<float>(v[5 + i]) / 1024.0f;
      } else {
        key.translation[i] = 0.0f;
      }
      key.scale[i] = 0.0f;
    }
    key.time = TicksToSeconds(static_cast<float>(v[4]));
  }
};

// Whole ANP3 key records of floats (frame types 1 and 2): rotation x, y, z,
// w, time in seconds, then the translation when there is one.
template <bool kTranslated>
struct Anp3FloatRecord {
  static constexpr size_t kBytes = (kTranslated ? 8 : 5) * 4;
  static void Decode(const uint8_t* at, KeyFrame& key) {
    float v[kBytes / 4];
    std::memcpy(v, at, sizeof v);
    std::memcpy(key.rotation, v, sizeof key.rotation);
    key.time = v[4];
    for (int i = 0; i < 3; ++i) {
      key.translation[i] = kTranslated ? v[5 + i] : 0.0f;
      key.scale[i] = 0.0f;
    }
  }
};

// Yields the keys of consecutive whole records, each decoded straight into
// its place, so that a track's keys are built in one pass into memory
// allocated once.
template <typename Record>
class RecordIterator {
 public:
  struct Fill {
    const uint8_t* at;
    void operator()(KeyFrame& key) const { Record::Decode(at, key); }
  };
  using iterator_category = std::forward_iterator_tag;
  using value_type = KeyFrame;
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = BuiltInPlace<Fill>;

  explicit RecordIterator(const uint8_t* at) : at_(at) {}
  reference operator*() const { return {{at_}}; }
  RecordIterator& operator++() {
    at_ += Record::kBytes;
    return *this;
  }
  RecordIterator operator++(int) {
    RecordIterator before = *this;
    at_ += Record::kBytes;
    return before;
  }
  bool operator==(const RecordIterator& other) const { return at_ == other.at_; }
  bool operator!=(const RecordIterator& other) const { return at_ != other.at_; }

 private:
  const uint8_t* at_;
};

class IfpParser {
 public:
  IfpParser(const uint8_t* data, size_t size)
      : in_(data, size), phantomKeyBudget_(size / kSmallestKeyRecord) {}
  ~IfpParser() {
    if (KeyBlock* block = keyMemory_.block()) block->Close();
  }

  IfpReadStatus ParseAnpk(AnimPackage& package) {
    return Parse(package, kSmallestAnpkKeyRecord, &IfpParser::ReadAnpk);
  }
  IfpReadStatus ParseAnp3(AnimPackage& package) { return Parse(package, kSmallestKeyRecord, &IfpParser::ReadAnp3); }
  IfpReadStatus ParseAnp2(AnimPackage& package) { return Parse(package, kSmallestKeyRecord, &IfpParser::ReadAnp2); }

 private:
  // Reads the package after its tag with `readLayout` and replaces `package`
  // with it. One block holds the keys of the whole file, large enough for as
  // many keys as its bytes could hold at `smallestKeyRecord` bytes each.
  IfpReadStatus Parse(AnimPackage& package, size_t smallestKeyRecord, void (IfpParser::*readLayout)(AnimPackage&)) {
    in_.Skip(4);  // the tag, which chose this layout
    AnimPackage result{};
    keyMemory_ = KeyAllocator<KeyFrame>::WithNewBlock(KeyBytesFor(smallestKeyRecord));
    (this->*readLayout)(result);
    package = std::move(result);
    if (damaged_) return IfpReadStatus::Damaged;
    return truncated_ || in_.Overrun() ? IfpReadStatus::Truncated : IfpReadStatus::Ok;
  }

  // A declared count as a number of records; a negative one marks the file
  // damaged and gives none.
  size_t CountOf(int32_t declared) {
    if (declared < 0) damaged_ = true;
    return declared > 0 ? static_cast<size_t>(declared) : 0;
  }

  // A declared count, cut to what the remaining bytes could hold at
  // `recordSize` bytes a record (a partial last record is kept).
  size_t BoundedCount(int32_t declared, size_t recordSize) {
    if (CountOf(declared) == 0) return 0;
    size_t fit = (in_.Remaining() + recordSize - 1) / recordSize;
    if (static_cast<size_t>(declared) > fit) {
      truncated_ = true;
      return fit;
    }
    return static_cast<size_t>(declared);
  }

  // The memory of as many keys as the bytes left hold at `recordSize` each.
  size_t KeyBytesFor(size_t recordSize) const { return (in_.Remaining() / recordSize + 1) * sizeof(KeyFrame); }

  // The keys of `count` whole records at `at`, in the file's key block.
  template <typename Record>
  KeyList<KeyFrame> DecodeRecords(const uint8_t* at, size_t count) const {
    return KeyList<KeyFrame>(RecordIterator<Record>(at), RecordIterator<Record>(at + count * Record::kBytes),
                             keyMemory_);
  }

  // Reads up to `declared` records (bounded by the bytes left at
  // `minRecordBytes` each) with `readOne`. When the bytes end, or a record
  // proved the file damaged, the records never begun are left out; the one
  // that stopped the reading keeps what was read. Past a count that cannot
  // be right nothing is read: what follows cannot be trusted to be records.
  template <typename Record, typename ReadOne>
  void ReadRecords(std::vector<Record>& records, int32_t declared, size_t minRecordBytes, ReadOne readOne) {
    records.resize(BoundedCount(declared, minRecordBytes));
    size_t begun = 0;
    while (begun < records.size() && !in_.AtEnd() && !damaged_) readOne(records[begun++]);
    if (begun < records.size()) {
      records.resize(begun);
      truncated_ = true;
    }
  }

  // Keys of an unknown type consume no bytes; their zero-filled records are
  // bounded by one budget for the whole file so that many such tracks cannot
  // multiply into an allocation out of proportion to the input.
  size_t PhantomKeyCount(int32_t declared) {
    size_t wanted = CountOf(declared);
    size_t granted = std::min(wanted, phantomKeyBudget_);
    phantomKeyBudget_ -= granted;
    if (granted < wanted) truncated_ = true;
    return granted;
  }

  // Reads a stored name of `storedBytes` bytes into a fixed field. Bytes that
  // do not fit are skipped; a field left without a zero byte gets one in its
  // last place, so every name is terminated inside its field.
  void ReadName(char* field, size_t fieldSize, int64_t storedBytes) {
    if (storedBytes <= 0) return;
    size_t stored = static_cast<size_t>(storedBytes);
    size_t kept = std::min(stored, fieldSize);
    in_.ReadBytes(field, kept);
    in_.Skip(stored - kept);
    if (NameLength(field, fieldSize) == fieldSize) field[fieldSize - 1] = '\0';
  }

  // Moves forward to the end of a section whose size field said it extends
  // further than the fields read; never moves back.
  void MoveToSectionEnd(size_t dataStart, uint32_t size) {
    size_t end = dataStart + size;
    if (end > in_.Position()) in_.Skip(end - in_.Position());
  }

  // A key of a track the bytes end in: what remains is read, the rest stays zero.
  void ReadAnpkKey(KeyFrame& key, uint32_t keyType) {
    in_.ReadBytes(key.rotation, sizeof key.rotation);
    if (keyType != kKeyKR00) in_.ReadBytes(key.translation, sizeof key.translation);
    if (keyType == kKeyKRTS) in_.ReadBytes(key.scale, sizeof key.scale);
    key.time = in_.Read<float>();
    for (int i = 0; i < 3; ++i) key.rotation[i] = -key.rotation[i];  // stored as the conjugate
  }

  void ReadAnpkKeys(BoneTrack& track, int32_t keyCount, size_t recordSize) {
    size_t count = BoundedCount(keyCount, recordSize);
    if (const uint8_t* at = in_.Take(count * recordSize)) {
      track.keys = recordSize == 20   ? DecodeRecords<AnpkRecord<5>>(at, count)
                   : recordSize == 32 ? DecodeRecords<AnpkRecord<8>>(at, count)
                                      : DecodeRecords<AnpkRecord<11>>(at, count);
      return;
    }
    track.keys = KeyList<KeyFrame>(keyMemory_);
    track.keys.reserve(count);
    for (size_t k = 0; k < count; ++k) {
      KeyFrame key{};
      ReadAnpkKey(key, track.keyType);
      track.keys.push_back(key);
    }
  }

  // The ANIM section: the bone name and key count, then words. Sections of
  // 40 bytes (two words) and 48 (four, the last two sibling links, as an
  // earlier game wrote them) carry no bone id; every other size is read as
  // the usual 44 bytes, whose third word is the bone id, since some files
  // leave section sizes zero.
  int32_t ReadAnimSection(BoneTrack& track, uint32_t animSize) {
    in_.ReadBytes(track.name, sizeof track.name);
    if (NameLength(track.name, sizeof track.name) == sizeof track.name) track.name[27] = '\0';
    int32_t keyCount = in_.Read<int32_t>();
    track.anpkWord1 = in_.Read<int32_t>();
    track.anpkWord2 = in_.Read<int32_t>();
    if (animSize == 40 || animSize == 48) {
      track.anpkAnimSize = static_cast<int32_t>(animSize);
      track.boneId = -1;
      if (animSize == 48) {
        track.anpkLinks[0] = in_.Read<int32_t>();
        track.anpkLinks[1] = in_.Read<int32_t>();
      }
    } else {
      track.boneId = in_.Read<int32_t>();
    }
    return keyCount;
  }

  void ReadAnpkTrack(BoneTrack& track) {
    in_.Skip(4);  // "CPAN"
    uint32_t cpanSize = in_.Read<uint32_t>();
    size_t cpanStart = in_.Position();
    in_.Skip(4);  // "ANIM"
    uint32_t animSize = in_.Read<uint32_t>();
    size_t animStart = in_.Position();
    int32_t keyCount = ReadAnimSection(track, animSize);
    MoveToSectionEnd(animStart, animSize);  // some files carry longer ANIM sections
    // A track without keys may end with its ANIM section: what follows is
    // the next track, not a key section.
    if (keyCount == 0 && static_cast<uint64_t>(cpanSize) == 8 + static_cast<uint64_t>(animSize) &&
        in_.Position() == animStart + animSize) {
      track.keyType = kKeyKR00;
      track.anpkWithoutKeySection = true;
      return;
    }
    track.keyType = in_.Read<uint32_t>();
    in_.Skip(4);  // key data size

    size_t recordSize = track.keyType == kKeyKR00   ? 20
                        : track.keyType == kKeyKRT0 ? 32
                        : track.keyType == kKeyKRTS ? 44
                                                    : 0;
    if (recordSize == 0) {
      track.keys.resize(PhantomKeyCount(keyCount), KeyFrame{});
    } else {
      ReadAnpkKeys(track, keyCount, recordSize);
    }
    MoveToSectionEnd(cpanStart, cpanSize);
  }

  void ReadAnpkAnimation(Animation& animation) {
    in_.Skip(4);  // "NAME"
    int32_t nameLength = in_.Read<int32_t>();
    ReadName(animation.name, sizeof animation.name, (static_cast<int64_t>(nameLength) + 3) & ~int64_t{3});
    in_.Skip(4);  // "DGAN"
    uint32_t dganSize = in_.Read<uint32_t>();
    size_t dganStart = in_.Position();
    in_.Skip(4);  // "INFO"
    uint32_t infoSize = in_.Read<uint32_t>();
    size_t infoStart = in_.Position();
    int32_t boneCount = in_.Read<int32_t>();
    animation.extraWord = in_.Read<int32_t>();
    animation.extraWordLayout = kFormatANPK;
    MoveToSectionEnd(infoStart, infoSize);

    ReadRecords(animation.bones, boneCount, kAnpkTrackMin, [this](BoneTrack& track) { ReadAnpkTrack(track); });
    MoveToSectionEnd(dganStart, dganSize);
  }

  void ReadAnpk(AnimPackage& package) {
    package.format = kFormatANPK;
    in_.Skip(8);  // package size (never trusted) and "INFO"
    uint32_t infoSize = in_.Read<uint32_t>();
    size_t infoStart = in_.Position();
    int32_t animationCount = in_.Read<int32_t>();
    // The name takes (S - 1) rounded down to a multiple of 4 bytes.
    ReadName(package.name, sizeof package.name, (static_cast<int64_t>(static_cast<int32_t>(infoSize)) - 1) & ~int64_t{3});
    MoveToSectionEnd(infoStart, infoSize);

    ReadRecords(package.animations, animationCount, kAnpkAnimationMin,
                [this](Animation& animation) { ReadAnpkAnimation(animation); });
  }

  // Keys of a track the bytes end in: what remains is read, the rest stays zero.
  void ReadAnp3Key(KeyFrame& key, bool translated) {
    for (float& r : key.rotation) r = static_cast<float>(in_.Read<int16_t>()) / 4096.0f;
    key.time = TicksToSeconds(static_cast<float>(in_.Read<int16_t>()));
    if (translated) {
      for (float& t : key.translation) t = static_cast<float>(in_.Read<int16_t>()) / 1024.0f;
    }
  }

  void ReadAnp3FloatKey(KeyFrame& key, bool translated) {
    in_.ReadBytes(key.rotation, sizeof key.rotation);
    key.time = in_.Read<float>();
    if (translated) in_.ReadBytes(key.translation, sizeof key.translation);
  }

  // Frame types 1 and 2 hold floats (the rotation, the time in seconds, the
  // translation), 3 and 4 the same fields as 16-bit fixed point; the game's
  // loader reads them so.
  void ReadAnp3Track(BoneTrack& track) {
    in_.ReadBytes(track.name, 24);  // the last 4 bytes of the field stay zero
    int32_t frameType = in_.Read<int32_t>();
    int32_t keyCount = in_.Read<int32_t>();
    track.boneId = in_.Read<int32_t>();
    static constexpr size_t kRecordSize[] = {0, 20, 32, 10, 16};
    if (frameType < 1 || frameType > 4) {
      track.keyType = static_cast<uint32_t>(frameType);
      track.keys.resize(PhantomKeyCount(keyCount), KeyFrame{});
      return;
    }
    size_t recordSize = kRecordSize[frameType];
    size_t count = BoundedCount(keyCount, recordSize);
    bool translated = frameType == 2 || frameType == 4;
    track.keyType = translated ? kKeyKRT0 : kKeyKR00;
    track.floatFrames = frameType <= 2;
    if (const uint8_t* at = in_.Take(count * recordSize)) {
      track.keys = frameType == 1   ? DecodeRecords<Anp3FloatRecord<false>>(at, count)
                   : frameType == 2 ? DecodeRecords<Anp3FloatRecord<true>>(at, count)
                   : frameType == 3 ? DecodeRecords<Anp3Record<false>>(at, count)
                                    : DecodeRecords<Anp3Record<true>>(at, count);
      return;
    }
    track.keys = KeyList<KeyFrame>(keyMemory_);
    track.keys.reserve(count);
    for (size_t k = 0; k < count; ++k) {
      KeyFrame key{};
      if (track.floatFrames) {
        ReadAnp3FloatKey(key, translated);
      } else {
        ReadAnp3Key(key, translated);
      }
      track.keys.push_back(key);
    }
  }

  // ANP2 animations lack the key-data size and the flags word.
  void ReadAnp3Animation(Animation& animation, bool withWords) {
    ReadName(animation.name, sizeof animation.name, 24);
    int32_t boneCount = in_.Read<int32_t>();
    if (withWords) {
      animation.keyDataSize = in_.Read<int32_t>();
      animation.extraWord = in_.Read<int32_t>();
      animation.extraWordLayout = kFormatANP3;
    }
    ReadRecords(animation.bones, boneCount, kAnp3TrackMin, [this](BoneTrack& track) { ReadAnp3Track(track); });
  }

  void ReadAnp3Layout(AnimPackage& package, uint32_t format) {
    package.format = format;
    in_.Skip(4);  // package size, never trusted
    ReadName(package.name, sizeof package.name, 24);
    int32_t animationCount = in_.Read<int32_t>();
    bool withWords = format == kFormatANP3;
    ReadRecords(package.animations, animationCount, withWords ? kAnp3AnimationMin : kAnp2AnimationMin,
                [this, withWords](Animation& animation) { ReadAnp3Animation(animation, withWords); });
  }
  void ReadAnp3(AnimPackage& package) { ReadAnp3Layout(package, kFormatANP3); }
  void ReadAnp2(AnimPackage& package) { ReadAnp3Layout(package, kFormatANP2); }

  ByteReader in_;
  KeyAllocator<KeyFrame> keyMemory_;
  size_t phantomKeyBudget_;
  bool truncated_ = false;
  bool damaged_ = false;
};

}  // namespace

IfpReadStatus ReadIfp(const uint8_t* data, size_t size, AnimPackage& package) {
  const PackageLayout* layout = LayoutOfTag(ByteReader(data, size).Read<uint32_t>());
  return layout ? layout->read(data, size, package) : IfpReadStatus::UnknownFormat;
}

IfpReadStatus ReadAnpkPackage(const uint8_t* data, size_t size, AnimPackage& package) {
  return IfpParser(data, size).ParseAnpk(package);
}

IfpReadStatus ReadAnp3Package(const uint8_t* data, size_t size, AnimPackage& package) {
  return IfpParser(data, size).ParseAnp3(package);
}

IfpReadStatus ReadAnp2Package(const uint8_t* data, size_t size, AnimPackage& package) {
  return IfpParser(data, size).ParseAnp2(package);
}

}  // namespace zam
