#include "anim/ifp_writer.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "anim/package_layouts.h"
#include "base/byte_writer.h"

namespace zam {
namespace {

constexpr uint32_t kTagINFO = FourCC("INFO");
constexpr uint32_t kTagNAME = FourCC("NAME");
constexpr uint32_t kTagDGAN = FourCC("DGAN");
constexpr uint32_t kTagCPAN = FourCC("CPAN");
constexpr uint32_t kTagANIM = FourCC("ANIM");

size_t RoundUp4(size_t n) { return (n + 3) & ~size_t{3}; }

// Writes `count` bytes of a name: the field's own bytes, then zeros if the
// count runs past the field.
void WriteNameBytes(ByteWriter& out, const char* field, size_t fieldSize, size_t count) {
  size_t fromField = count < fieldSize ? count : fieldSize;
  out.WriteBytes(field, fromField);
  out.WriteZeros(count - fromField);
}

// The fields of one record header, gathered to be appended at once.
class Fields {
 public:
  template <typename T>
  Fields& Put(T value) {
    return PutBytes(&value, sizeof value);
  }
  Fields& PutBytes(const void* from, size_t n) {
    std::memcpy(bytes_ + size_, from, n);
    size_ += n;
    return *this;
  }
  void AppendTo(ByteWriter& out) const { out.WriteBytes(bytes_, size_); }

 private:
  uint8_t bytes_[72];  // the largest header, an ANPK track's with a 48-byte ANIM section
  size_t size_ = 0;
};

// Appends the keys as records of kRecordBytes, each made by `encode`, a
// stack buffer's worth at a time. `encode` may store up to 8 bytes beyond
// its record: the next record overwrites them, and past the last they are
// not appended.
template <size_t kRecordBytes, typename Encode>
void WriteKeyRecords(ByteWriter& out, const KeyList<KeyFrame>& keys, Encode encode) {
  constexpr size_t kChunk = 256;
  uint8_t records[kChunk * kRecordBytes + 8];
  for (size_t first = 0; first < keys.size(); first += kChunk) {
    size_t n = std::min(kChunk, keys.size() - first);
    for (size_t k = 0; k < n; ++k) encode(keys[first + k], records + k * kRecordBytes);
    out.WriteBytes(records, n * kRecordBytes);
  }
}

// ANPK records of kFloats floats: the rotation, stored as the conjugate of
// the in-memory one, the translation and scale as the type has them, the time.
template <size_t kFloats>
void WriteAnpkKeys(ByteWriter& out, const KeyList<KeyFrame>& keys) {
  WriteKeyRecords<kFloats * 4>(out, keys, [](const KeyFrame& key, uint8_t* to) {
    float record[kFloats] = {-key.rotation[0], -key.rotation[1], -key.rotation[2], key.rotation[3]};
    if constexpr (kFloats >= 8) std::memcpy(record + 4, key.translation, sizeof key.translation);
    if constexpr (kFloats == 11) std::memcpy(record + 7, key.scale, sizeof key.scale);
    record[kFloats - 1] = key.time;
    std::memcpy(to, record, sizeof record);
  });
}

size_t AnpkRecordBytes(const BoneTrack& track) {
  return track.keyType == kKeyKR00 ? 20 : track.keyType == kKeyKRT0 ? 32 : track.keyType == kKeyKRTS ? 44 : 0;
}

// The ANIM section's size: 40 and 48 as read while the track has no bone id
// (those sections hold none), otherwise the usual 44 with the bone id.
uint32_t AnimSectionSize(const BoneTrack& track) {
  bool kept = (track.anpkAnimSize == 40 || track.anpkAnimSize == 48) && track.boneId == -1;
  return kept ? static_cast<uint32_t>(track.anpkAnimSize) : 44;
}

void WriteAnpkTrack(ByteWriter& out, const BoneTrack& track) {
  // Keys of a type this layout cannot store are left out, and so is their
  // count: a count without key bytes would read back as keys that are not there.
  size_t recordBytes = AnpkRecordBytes(track);
  size_t keyCount = recordBytes ? track.keys.size() : 0;
  uint32_t keyBytes = static_cast<uint32_t>(keyCount * recordBytes);
  uint32_t animSize = AnimSectionSize(track);
  bool keySection = !(track.anpkWithoutKeySection && keyCount == 0);
  Fields header;
  header.Put(kTagCPAN).Put<uint32_t>(8 + animSize + (keySection ? 8 + keyBytes : 0));
  header.Put(kTagANIM).Put<uint32_t>(animSize).PutBytes(track.name, sizeof track.name);
  header.Put(static_cast<int32_t>(keyCount)).Put(track.anpkWord1).Put(track.anpkWord2);
  if (animSize == 44) header.Put(track.boneId);
  if (animSize == 48) header.Put(track.anpkLinks[0]).Put(track.anpkLinks[1]);
  if (keySection) header.Put(track.keyType).Put(keyBytes);
  header.AppendTo(out);
  if (recordBytes == 20) {
    WriteAnpkKeys<5>(out, track.keys);
  } else if (recordBytes == 32) {
    WriteAnpkKeys<8>(out, track.keys);
  } else if (recordBytes == 44) {
    WriteAnpkKeys<11>(out, track.keys);
  }
}

#if defined(__SSE2__) || defined(_M_X64)
// ToFixed16 of four values at once (the same results), stored as four
// 16-bit integers at `to`.
void PutFixed16x4(const float* values, float scale, uint8_t* to) {
  __m128 product = _mm_mul_ps(_mm_loadu_ps(values), _mm_set1_ps(scale));
  product = _mm_and_ps(product, _mm_cmpord_ps(product, product));  // NaN
  product = _mm_min_ps(_mm_max_ps(product, _mm_set1_ps(-32768.0f)), _mm_set1_ps(32767.0f));
  __m128i whole = _mm_cvttps_epi32(product);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm_packs_epi32(whole, whole));
}
#else
void PutFixed16x4(const float* values, float scale, uint8_t* to) {
  for (int i = 0; i < 4; ++i) {
    int16_t value = ToFixed16(values[i], scale);
    std::memcpy(to + 2 * i, &value, 2);
  }
}
#endif

// Keys as 16-bit records: rotation x, y, z, w, time, then (in 16-byte
// records) translation x, y, z. Each field goes straight to its place: a
// record gathered on the stack and copied as a whole would be read back
// before its stores complete.
template <size_t kRecordBytes>
void WriteAnp3Keys(ByteWriter& out, const KeyList<KeyFrame>& keys) {
  WriteKeyRecords<kRecordBytes>(out, keys, [](const KeyFrame& key, uint8_t* to) {
    PutFixed16x4(key.rotation, 4096.0f, to);
    int16_t ticks = TimeToTicks16(key.time);
    std::memcpy(to + 8, &ticks, 2);
    if constexpr (kRecordBytes == 16) {
      // Four floats from the translation on: the fourth, the first of the
      // scale, lands in the next record's place and is overwritten by it
      // or left beyond the bytes appended.
      PutFixed16x4(key.translation, 1024.0f, to + 10);
    }
  });
}

// Float records (frame types 1 and 2): rotation, time in seconds, then the
// translation when the record has one.
template <size_t kFloats>
void WriteAnp3FloatKeys(ByteWriter& out, const KeyList<KeyFrame>& keys) {
  WriteKeyRecords<kFloats * 4>(out, keys, [](const KeyFrame& key, uint8_t* to) {
    float record[kFloats];
    std::memcpy(record, key.rotation, sizeof key.rotation);
    record[4] = key.time;
    if constexpr (kFloats == 8) std::memcpy(record + 5, key.translation, sizeof key.translation);
    std::memcpy(to, record, sizeof record);
  });
}

bool Translated(const BoneTrack& track) { return track.keyType != kKeyKR00; }

int32_t FrameType(const BoneTrack& track) {
  return track.floatFrames ? (Translated(track) ? 2 : 1) : (Translated(track) ? 4 : 3);
}

size_t Anp3RecordBytes(const BoneTrack& track) {
  static constexpr size_t kBytes[] = {0, 20, 32, 10, 16};
  return kBytes[FrameType(track)];
}

// The word after the ANP3 key-data size. Public descriptions of the layout
// (the IFP page of the GTAMods wiki) give it as 1 in the game's own
// packages, all of whose keys are compressed, and descriptions of the
// game's loader read it as the animation's "keys are compressed" flag. A
// word read from ANP3 is kept; otherwise an animation with compressed keys
// gets 1, one whose tracks with keys all hold floats 0.
int32_t Anp3FlagsWord(const Animation& animation) {
  if (animation.extraWordLayout == kFormatANP3) return animation.extraWord;
  for (const BoneTrack& track : animation.bones) {
    if (!track.floatFrames && !track.keys.empty()) return 1;
  }
  for (const BoneTrack& track : animation.bones) {
    if (!track.keys.empty()) return 0;
  }
  return 1;
}

// ANP3 and ANP2: the same tracks and keys; ANP2 animations lack the
// key-data size and the flags word.
void WriteAnp3Layout(const AnimPackage& package, ByteWriter& out, bool withWords) {
  size_t packageSize = out.ReserveSize();
  out.WriteBytes(package.name, sizeof package.name);
  out.Write<int32_t>(package.animationCount());
  for (const Animation& animation : package.animations) {
    Fields header;
    header.PutBytes(animation.name, sizeof animation.name).Put<int32_t>(animation.boneCount());
    if (withWords) {
      size_t keyBytes = 0;
      for (const BoneTrack& track : animation.bones) keyBytes += track.keys.size() * Anp3RecordBytes(track);
      header.Put(static_cast<uint32_t>(keyBytes)).Put(Anp3FlagsWord(animation));
    }
    header.AppendTo(out);
    for (const BoneTrack& track : animation.bones) {
      Fields trackHeader;
      trackHeader.PutBytes(track.name, 24).Put<int32_t>(FrameType(track)).Put<int32_t>(track.keyCount());
      trackHeader.Put(track.boneId).AppendTo(out);
      switch (FrameType(track)) {
        case 1:
          WriteAnp3FloatKeys<5>(out, track.keys);
          break;
        case 2:
          WriteAnp3FloatKeys<8>(out, track.keys);
          break;
        case 3:
          WriteAnp3Keys<10>(out, track.keys);
          break;
        default:
          WriteAnp3Keys<16>(out, track.keys);
          break;
      }
    }
  }
  out.PatchSize(packageSize);
}

bool IsAnp3Like(uint32_t format) { return format == kFormatANP3 || format == kFormatANP2; }

// The bytes either layout takes at most, reserved (not filled) at once.
size_t UpperSizeBound(const AnimPackage& package) {
  size_t bytes = 64;
  for (const Animation& animation : package.animations) {
    bytes += 96;
    for (const BoneTrack& track : animation.bones) {
      bytes += 72 + track.keys.size() * (IsAnp3Like(package.format) ? Anp3RecordBytes(track) : AnpkRecordBytes(track));
    }
  }
  return bytes;
}

// Whether ToFixed16 keeps the value (as its truncation): false when it
// would clamp it or store a NaN as 0.
bool FitsFixed16(float value, float scale) {
  float product = value * scale;
  return product > -32769.0f && product < 32768.0f;
}

bool FitsTicks16(float seconds) {
  double ticks = static_cast<double>(seconds) * 60.0;
  return ticks > -32768.5 && ticks < 32767.5;
}

}  // namespace

bool HasKnownKeyType(const BoneTrack& track) {
  return track.keyType == kKeyKR00 || track.keyType == kKeyKRT0 || track.keyType == kKeyKRTS;
}

std::vector<TrackPlace> TracksLosingScale(const AnimPackage& package) {
  std::vector<TrackPlace> places;
  if (!IsAnp3Like(package.format)) return places;
  for (int a = 0; a < package.animationCount(); ++a) {
    const Animation& animation = package.animations[static_cast<size_t>(a)];
    for (int t = 0; t < animation.boneCount(); ++t) {
      const BoneTrack& track = animation.bones[static_cast<size_t>(t)];
      if (track.keyType == kKeyKRTS && !track.keys.empty()) places.push_back({a, t});
    }
  }
  return places;
}

IfpWriteStatus WriteIfp(const AnimPackage& package, std::vector<uint8_t>& out) {
  ByteWriter writer(out);
  writer.Reserve(UpperSizeBound(package));
  writer.Write(package.format);
  const PackageLayout* layout = LayoutOfTag(package.format);
  if (layout == nullptr) return IfpWriteStatus::UnknownFormat;
  layout->write(package, writer);
  return IfpWriteStatus::Ok;
}

void WriteAnpkPackage(const AnimPackage& package, ByteWriter& out) {
  size_t packageSize = out.ReserveSize();
  out.Write(kTagINFO);
  size_t infoSize = out.ReserveSize();
  out.Write<int32_t>(package.animationCount());
  // A name whose length is a multiple of 4 goes without its terminator; the
  // reader's (S - 1) rounded-down rule reads exactly these bytes back.
  WriteNameBytes(out, package.name, sizeof package.name, RoundUp4(NameLength(package.name, sizeof package.name)));
  out.PatchSize(infoSize);

  for (const Animation& animation : package.animations) {
    size_t nameLength = NameLength(animation.name, sizeof animation.name) + 1;
    out.Write(kTagNAME);
    out.Write<int32_t>(static_cast<int32_t>(nameLength));
    WriteNameBytes(out, animation.name, sizeof animation.name, RoundUp4(nameLength));
    out.Write(kTagDGAN);
    size_t dganSize = out.ReserveSize();
    out.Write(kTagINFO);
    size_t animInfoSize = out.ReserveSize();
    out.Write<int32_t>(animation.boneCount());
    out.Write(animation.extraWord);
    out.PatchSize(animInfoSize);
    for (const BoneTrack& track : animation.bones) WriteAnpkTrack(out, track);
    out.PatchSize(dganSize);
  }
  out.PatchSize(packageSize);
}

void WriteAnp3Package(const AnimPackage& package, ByteWriter& out) { WriteAnp3Layout(package, out, true); }

void WriteAnp2Package(const AnimPackage& package, ByteWriter& out) { WriteAnp3Layout(package, out, false); }

TrackClamps ValuesClampedInTrack(uint32_t format, const BoneTrack& track) {
  TrackClamps clamps;
  if (!IsAnp3Like(format) || track.floatFrames) return clamps;
  for (size_t k = 0; k < track.keys.size(); ++k) {
    const KeyFrame& key = track.keys[k];
    size_t before = clamps.count;
    for (float r : key.rotation) clamps.count += !FitsFixed16(r, 4096.0f);
    clamps.count += !FitsTicks16(key.time);
    if (Translated(track)) {
      for (float v : key.translation) clamps.count += !FitsFixed16(v, 1024.0f);
    }
    if (before == 0 && clamps.count > 0) clamps.firstKey = static_cast<int>(k);
  }
  return clamps;
}

ClampedValues ValuesClampedOnWrite(const AnimPackage& package) {
  ClampedValues clamped;
  for (int a = 0; a < package.animationCount(); ++a) {
    const Animation& animation = package.animations[static_cast<size_t>(a)];
    for (int t = 0; t < animation.boneCount(); ++t) {
      size_t count = ValuesClampedInTrack(package.format, animation.bones[static_cast<size_t>(t)]).count;
      if (clamped.count == 0 && count > 0) clamped.first = {a, t};
      clamped.count += count;
    }
  }
  return clamped;
}

}  // namespace zam
