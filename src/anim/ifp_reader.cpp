#include "anim/ifp_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/byte_reader.h"

namespace zam {
namespace {

// Smallest on-disk sizes of the records, used to bound allocations by the bytes left.
constexpr size_t kAnpkAnimationMin = 32;  // NAME, length, DGAN, size, INFO, size, two words
constexpr size_t kAnpkTrackMin = 68;      // CPAN, size, ANIM, size, 44 bytes, key tag, data size
constexpr size_t kAnp3AnimationMin = 36;
constexpr size_t kAnp3TrackMin = 36;
constexpr size_t kSmallestKeyRecord = 10;

class IfpParser {
 public:
  IfpParser(const uint8_t* data, size_t size)
      : in_(data, size), phantomKeyBudget_(size / kSmallestKeyRecord) {}

  IfpReadStatus Parse(AnimPackage& package) {
    uint32_t tag = in_.Read<uint32_t>();
    AnimPackage result{};
    if (tag == kFormatANP3) {
      ReadAnp3(result);
    } else if (tag == kFormatANPK) {
      ReadAnpk(result);
    } else {
      return IfpReadStatus::UnknownFormat;
    }
    package = std::move(result);
    return truncated_ || in_.Overrun() ? IfpReadStatus::Truncated : IfpReadStatus::Ok;
  }

 private:
  // A declared count, cut to what the remaining bytes could hold at
  // `recordSize` bytes a record (a partial last record is kept).
  size_t BoundedCount(int32_t declared, size_t recordSize) {
    if (declared <= 0) return 0;
    size_t fit = (in_.Remaining() + recordSize - 1) / recordSize;
    if (static_cast<size_t>(declared) > fit) {
      truncated_ = true;
      return fit;
    }
    return static_cast<size_t>(declared);
  }

  // Reads up to `declared` records (bounded by the bytes left at
  // `minRecordBytes` each) with `readOne`. When the bytes end, the records
  // never begun are left out; the one the end cut short keeps what was read.
  template <typename Record, typename ReadOne>
  void ReadRecords(std::vector<Record>& records, int32_t declared, size_t minRecordBytes, ReadOne readOne) {
    records.resize(BoundedCount(declared, minRecordBytes));
    size_t begun = 0;
    while (begun < records.size() && !in_.AtEnd()) readOne(records[begun++]);
    if (begun < records.size()) {
      records.resize(begun);
      truncated_ = true;
    }
  }

  // Keys of an unknown type consume no bytes; their zero-filled records are
  // bounded by one budget for the whole file so that many such tracks cannot
  // multiply into an allocation out of proportion to the input.
  size_t PhantomKeyCount(int32_t declared) {
    if (declared <= 0) return 0;
    size_t wanted = static_cast<size_t>(declared);
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

  void ReadAnpkKey(KeyFrame& key, uint32_t keyType) {
    in_.ReadBytes(key.rotation, sizeof key.rotation);
    if (keyType != kKeyKR00) in_.ReadBytes(key.translation, sizeof key.translation);
    if (keyType == kKeyKRTS) in_.ReadBytes(key.scale, sizeof key.scale);
    key.time = in_.Read<float>();
    for (int i = 0; i < 3; ++i) key.rotation[i] = -key.rotation[i];  // stored as the conjugate
  }

  void ReadAnpkTrack(BoneTrack& track) {
    in_.Skip(4);  // "CPAN"
    uint32_t cpanSize = in_.Read<uint32_t>();
    size_t cpanStart = in_.Position();
    in_.Skip(4);  // "ANIM"
    uint32_t animSize = in_.Read<uint32_t>();
    size_t animStart = in_.Position();
    in_.ReadBytes(track.name, sizeof track.name);
    if (NameLength(track.name, sizeof track.name) == sizeof track.name) track.name[27] = '\0';
    int32_t keyCount = in_.Read<int32_t>();
    track.anpkWord1 = in_.Read<int32_t>();
    track.anpkWord2 = in_.Read<int32_t>();
    track.boneId = in_.Read<int32_t>();
    MoveToSectionEnd(animStart, animSize);  // some files carry 48-byte ANIM sections
    track.keyType = in_.Read<uint32_t>();
    in_.Skip(4);  // key data size

    size_t recordSize = track.keyType == kKeyKR00   ? 20
                        : track.keyType == kKeyKRT0 ? 32
                        : track.keyType == kKeyKRTS ? 44
                                                    : 0;
    if (recordSize == 0) {
      track.keys.resize(PhantomKeyCount(keyCount), KeyFrame{});
    } else {
      track.keys.resize(BoundedCount(keyCount, recordSize), KeyFrame{});
      for (KeyFrame& key : track.keys) ReadAnpkKey(key, track.keyType);
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

  template <typename Int>
  void ReadAnp3Key(KeyFrame& key, bool translated) {
    for (float& r : key.rotation) r = static_cast<float>(in_.Read<Int>()) / 4096.0f;
    key.time = static_cast<float>(in_.Read<Int>()) / 60.0f;
    if (translated) {
      for (float& t : key.translation) t = static_cast<float>(in_.Read<Int>()) / 1024.0f;
    }
  }

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
    track.keys.resize(BoundedCount(keyCount, kRecordSize[frameType]), KeyFrame{});
    bool translated = frameType == 2 || frameType == 4;
    for (KeyFrame& key : track.keys) {
      if (frameType <= 2) {
        ReadAnp3Key<int32_t>(key, translated);
      } else {
        ReadAnp3Key<int16_t>(key, translated);
      }
    }
    track.keyType = translated ? kKeyKRT0 : kKeyKR00;
  }

  void ReadAnp3Animation(Animation& animation) {
    ReadName(animation.name, sizeof animation.name, 24);
    int32_t boneCount = in_.Read<int32_t>();
    animation.keyDataSize = in_.Read<int32_t>();
    animation.extraWord = in_.Read<int32_t>();
    ReadRecords(animation.bones, boneCount, kAnp3TrackMin, [this](BoneTrack& track) { ReadAnp3Track(track); });
  }

  void ReadAnp3(AnimPackage& package) {
    package.format = kFormatANP3;
    in_.Skip(4);  // package size, never trusted
    ReadName(package.name, sizeof package.name, 24);
    int32_t animationCount = in_.Read<int32_t>();
    ReadRecords(package.animations, animationCount, kAnp3AnimationMin,
                [this](Animation& animation) { ReadAnp3Animation(animation); });
  }

  ByteReader in_;
  size_t phantomKeyBudget_;
  bool truncated_ = false;
};

}  // namespace

IfpReadStatus ReadIfp(const uint8_t* data, size_t size, AnimPackage& package) {
  return IfpParser(data, size).Parse(package);
}

}  // namespace zam
