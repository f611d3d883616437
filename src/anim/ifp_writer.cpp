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
  uint8_t bytes_[68];  // the largest header, an ANPK track's
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

void WriteAnpkTrack(ByteWriter& out, const BoneTrack& track) {
  // Keys of a type this layout cannot store are left out, and so is their
  // count: a count without key bytes would read back as keys that are not there.
  size_t recordBytes = AnpkRecordBytes(track);
  size_t keyCount = recordBytes ? track.keys.size() : 0;
  uint32_t keyBytes = static_cast<uint32_t>(keyCount * recordBytes);
  Fields header;
  header.Put(kTagCPAN).Put<uint32_t>(60 + keyBytes);  // ANIM with its 44 bytes, key tag and size, keys
  header.Put(kTagANIM).Put<uint32_t>(44).PutBytes(track.name, sizeof track.name);
  header.Put(static_cast<int32_t>(keyCount)).Put(track.anpkWord1).Put(track.anpkWord2).Put(track.boneId);
  header.Put(track.keyType).Put(keyBytes);
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

// The bytes either layout takes at most, reserved (not filled) at once.
size_t UpperSizeBound(const AnimPackage& package) {
  size_t bytes = 64;
  for (const Animation& animation : package.animations) {
    bytes += 96;
    for (const BoneTrack& track : animation.bones) {
      bytes += 68 + track.keys.size() * (package.format == kFormatANP3 ? 16 : AnpkRecordBytes(track));
    }
  }
  return bytes;
}

}  // namespace

bool HasKnownKeyType(const BoneTrack& track) {
  return track.keyType == kKeyKR00 || track.keyType == kKeyKRT0 || track.keyType == kKeyKRTS;
}

std::vector<TrackPlace> TracksLosingScale(const AnimPackage& package) {
  std::vector<TrackPlace> places;
  if (package.format != kFormatANP3) return places;
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

void WriteAnp3Package(const AnimPackage& package, ByteWriter& out) {
  size_t packageSize = out.ReserveSize();
  out.WriteBytes(package.name, sizeof package.name);
  out.Write<int32_t>(package.animationCount());
  for (const Animation& animation : package.animations) {
    size_t keyBytes = 0;
    for (const BoneTrack& track : animation.bones) {
      keyBytes += track.keys.size() * (track.keyType != kKeyKR00 ? 16 : 10);
    }
    Fields header;
    header.PutBytes(animation.name, sizeof animation.name).Put<int32_t>(animation.boneCount());
    header.Put(static_cast<uint32_t>(keyBytes)).Put(animation.extraWord);
    header.AppendTo(out);
    for (const BoneTrack& track : animation.bones) {
      bool translated = track.keyType != kKeyKR00;
      Fields trackHeader;
      trackHeader.PutBytes(track.name, 24).Put<int32_t>(translated ? 4 : 3).Put<int32_t>(track.keyCount());
      trackHeader.Put(track.boneId).AppendTo(out);
      if (translated) {
        WriteAnp3Keys<16>(out, track.keys);
      } else {
        WriteAnp3Keys<10>(out, track.keys);
      }
    }
  }
  out.PatchSize(packageSize);
}

}  // namespace zam
