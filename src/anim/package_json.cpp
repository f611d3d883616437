#include "anim/package_json.h"

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/reader.h>

#include <bitset>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "anim/package_layouts.h"
#include "base/text.h"

namespace zam {
namespace {

// Names are 8-bit bytes and JSON text is Unicode: each byte stands for the
// character of its number (Latin1ToUtf8). False for a character beyond
// U+00FF, which no byte stands for. The text is valid UTF-8 (the parser
// checks).
bool Utf8ToLatin1(std::string_view text, std::string& bytes) {
  bytes.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
      bytes += static_cast<char>((c & 0x03) << 6 | (static_cast<unsigned char>(text[++i]) & 0x3F));
    } else {
      return false;
    }
  }
  return true;
}

constexpr char kHexDigits[] = "0123456789abcdef";

std::string Hex(const char* bytes, size_t size) {
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    text += kHexDigits[static_cast<unsigned char>(bytes[i]) >> 4];
    text += kHexDigits[static_cast<unsigned char>(bytes[i]) & 0xF];
  }
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool FromHex(std::string_view text, std::string& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high << 4 | low);
  }
  return true;
}

// Whether a name field holds anything after its name's terminating zero,
// which the layouts write back (all of the field, or its first bytes).
bool HasBytesAfterName(const char* field, size_t size) {
  for (size_t i = NameLength(field, size); i < size; ++i) {
    if (field[i] != 0) return true;
  }
  return false;
}

constexpr uint32_t kQuietNan = 0x7FC00000;

struct KnownKeyType {
  const char* name;
  uint32_t tag;
};
constexpr KnownKeyType kKnownKeyTypes[] = {{"KR00", kKeyKR00}, {"KRT0", kKeyKRT0}, {"KRTS", kKeyKRTS}};

// ---------------------------------------------------------------- writing

// RapidJSON's output stream: the text gathered in a buffer that goes to the
// sink whenever it is full.
class ChunkedOutput {
 public:
  using Ch = char;
  static constexpr size_t kChunk = 64 * 1024;

  explicit ChunkedOutput(const JsonTextSink& sink) : sink_(sink), buffer_(kChunk) {}
  void Put(char c) {
    if (size_ == buffer_.size()) Flush();
    buffer_[size_++] = c;
  }
  void Reserve(size_t count) {
    if (buffer_.size() - size_ >= count) return;
    Flush();
    if (buffer_.size() < count) buffer_.resize(count);
  }
  void PutUnsafe(char c) { buffer_[size_++] = c; }
  // Room for `count` characters, to be written directly and then committed.
  char* Claim(size_t count) {
    Reserve(count);
    return buffer_.data() + size_;
  }
  void Commit(const char* end) { size_ = static_cast<size_t>(end - buffer_.data()); }
  void Flush() {
    if (size_ > 0) sink_(buffer_.data(), size_);
    size_ = 0;
  }

 private:
  const JsonTextSink& sink_;
  std::vector<char> buffer_;
  size_t size_ = 0;
};

// RapidJSON reserves room before runs of characters and then puts them
// unchecked; it finds these by the stream's type.
void PutReserve(ChunkedOutput& stream, size_t count) { stream.Reserve(count); }
void PutUnsafe(ChunkedOutput& stream, char c) { stream.PutUnsafe(c); }

// Indented, arrays on one line.
using JsonWriter = rapidjson::PrettyWriter<ChunkedOutput>;

// The text of each float, made once per distinct value: the values of a
// package repeat (the keys of a 3.8 MB ANP3 package take some ten thousand
// different values), and formatting them is most of what writing costs.
// Finite floats take their shortest form that reads back to the same float;
// the others, which JSON numbers cannot hold, the strings "inf", "-inf",
// "nan" and, for any other NaN, "nan:0x" and its eight hex digits. The
// table holds each distinct value once, with its text beside it, so that it
// stays small: each fresh page of memory costs a fault.
class FloatTexts {
 public:
  static constexpr size_t kMaxText = 16;

  FloatTexts() : slots_(kFirstSlots) {}

  // Puts the float's text at `to`, which must have room for kMaxText bytes
  // (all of which may be written), and returns where it ends.
  char* Put(float value, char* to) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & kExponent) == kExponent) return PutNonFinite(bits, value, to);
    size_t at = Find(slots_, mask_, bits);
    if (slots_[at].length == 0) at = Add(bits, value);
    // The text and its length: 16 bytes, of which the length is overwritten next.
    std::memcpy(to, slots_[at].text, kMaxText);
    return to + slots_[at].length;
  }

 private:
  static constexpr uint32_t kExponent = 0x7F800000;
  // Room for the values of a large package, so that it seldom grows.
  static constexpr size_t kFirstSlots = 16384;
  struct Slot {
    uint32_t bits;
    char text[kMaxText - 1];  // a finite float's text takes at most 15 characters
    uint8_t length;           // 0: empty
  };
  static_assert(sizeof(Slot) == 4 + kMaxText, "the text and its length follow the bits");

  // Where `bits` is, or would go, in `slots` (a power of two of them): the
  // search starts at the top bits of a multiplicative hash, the well mixed ones.
  static size_t Find(const std::vector<Slot>& slots, size_t mask, uint32_t bits) {
    size_t at = static_cast<size_t>((uint64_t{bits} * 0x9E3779B97F4A7C15u) >> 40) & mask;
    while (slots[at].length != 0 && slots[at].bits != bits) at = (at + 1) & mask;
    return at;
  }

  // Makes the text of a value not met before; returns its slot. The table
  // is kept at most three quarters full. (Not inlined, as Put is, every
  // float going through it.)
  [[gnu::noinline]] size_t Add(uint32_t bits, float value) {
    if (4 * ++count_ > 3 * slots_.size()) {
      std::vector<Slot> grown(2 * slots_.size());
      mask_ = grown.size() - 1;
      for (const Slot& slot : slots_) {
        if (slot.length != 0) grown[Find(grown, mask_, slot.bits)] = slot;
      }
      slots_.swap(grown);
    }
    const size_t at = Find(slots_, mask_, bits);
    Slot& slot = slots_[at];
    slot.bits = bits;
    slot.length = static_cast<uint8_t>(std::to_chars(slot.text, slot.text + sizeof slot.text, value).ptr - slot.text);
    return at;
  }

  [[gnu::noinline]] static char* PutNonFinite(uint32_t bits, float value, char* to) {
    std::string text;
    if (std::isinf(value)) {
      text = value > 0 ? "\"inf\"" : "\"-inf\"";
    } else if (bits == kQuietNan) {
      text = "\"nan\"";
    } else {
      char raw[4];
      for (int i = 0; i < 4; ++i) raw[i] = static_cast<char>(bits >> (24 - 8 * i));
      text = "\"nan:0x" + Hex(raw, 4) + "\"";
    }
    std::memcpy(to, text.data(), text.size());
    return to + text.size();
  }

  std::vector<Slot> slots_;  // value-initialised: every slot empty
  size_t mask_ = kFirstSlots - 1;
  size_t count_ = 0;
};

// Writes the records through one writer and one table of float texts.
class PackageWriter {
 public:
  explicit PackageWriter(const JsonTextSink& sink) : out_(sink), json_(out_) {
    json_.SetIndent(' ', 2);
    json_.SetFormatOptions(rapidjson::kFormatSingleLineArray);
  }

  void WritePackage(const AnimPackage& package) {
    json_.StartObject();
    const PackageLayout* layout = LayoutOfTag(package.format);
    Key("format");
    if (layout) {
      json_.String(layout->shownName);
    } else {
      json_.Null();
    }
    WriteName(package.name, sizeof package.name);
    Key("animations");
    json_.StartArray();
    for (const Animation& animation : package.animations) WriteAnimation(animation);
    json_.EndArray();
    json_.EndObject();  // flushes the output
    out_.Put('\n');
    out_.Flush();
  }

 private:
  void Key(const char* name) { json_.Key(name); }

  // "name", and "nameBytes" (the whole field in hex) when the field holds
  // more than the name.
  void WriteName(const char* field, size_t size) {
    const std::string text = Latin1ToUtf8(std::string_view(field, NameLength(field, size)));
    Key("name");
    json_.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    if (HasBytesAfterName(field, size)) {
      Key("nameBytes");
      json_.String(Hex(field, size).c_str());
    }
  }

  void WriteAnimation(const Animation& animation) {
    json_.StartObject();
    WriteName(animation.name, sizeof animation.name);
    Key("extraWord");
    json_.Int(animation.extraWord);
    Key("keyDataSize");
    json_.Int(animation.keyDataSize);
    if (const PackageLayout* from = LayoutOfTag(animation.extraWordLayout)) {
      Key("extraWordFrom");
      json_.String(from->shownName);
    }
    Key("tracks");
    json_.StartArray();
    for (const BoneTrack& track : animation.bones) WriteTrack(track);
    json_.EndArray();
    json_.EndObject();
  }

  void WriteTrack(const BoneTrack& track) {
    json_.StartObject();
    WriteName(track.name, sizeof track.name);
    Key("boneId");
    json_.Int(track.boneId);
    Key("keyType");
    WriteKeyType(track.keyType);
    Key("anpkWord1");
    json_.Int(track.anpkWord1);
    Key("anpkWord2");
    json_.Int(track.anpkWord2);
    // What only some files carry is written only where it is.
    if (track.anpkAnimSize != 0) {
      Key("anpkAnimSize");
      json_.Int(track.anpkAnimSize);
    }
    if (track.anpkLinks[0] != 0 || track.anpkLinks[1] != 0) {
      Key("anpkLinks");
      json_.StartArray();
      json_.Int(track.anpkLinks[0]);
      json_.Int(track.anpkLinks[1]);
      json_.EndArray();
    }
    if (track.anpkWithoutKeySection) {
      Key("anpkWithoutKeySection");
      json_.Bool(true);
    }
    if (track.floatFrames) {
      Key("floatKeys");
      json_.Bool(true);
    }
    const KeyList<KeyFrame>& keys = track.keys;
    WriteColumn("times", keys, 1, [](const KeyFrame& key) { return &key.time; });
    WriteColumn("rotations", keys, 4, [](const KeyFrame& key) { return key.rotation; });
    // Zero (bit for bit) is what these hold when the key type has none.
    if (!AllZero(keys, [](const KeyFrame& key) { return key.translation; })) {
      WriteColumn("translations", keys, 3, [](const KeyFrame& key) { return key.translation; });
    }
    if (!AllZero(keys, [](const KeyFrame& key) { return key.scale; })) {
      WriteColumn("scales", keys, 3, [](const KeyFrame& key) { return key.scale; });
    }
    json_.EndObject();
  }

  // The three key types by their names; any other value (an unknown tag or
  // a layout's frame type as read) as its number.
  void WriteKeyType(uint32_t keyType) {
    for (const KnownKeyType& known : kKnownKeyTypes) {
      if (keyType == known.tag) {
        json_.String(known.name);
        return;
      }
    }
    json_.Int(static_cast<int32_t>(keyType));
  }

  template <typename Field>
  static bool AllZero(const KeyList<KeyFrame>& keys, Field field) {
    for (const KeyFrame& key : keys) {
      const float* values = field(key);
      for (int i = 0; i < 3; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        if (bits != 0) return false;
      }
    }
    return true;
  }

  // One column of the keys as one array: per key its `width` floats, as a
  // number (width 1) or an array of numbers. A raw value without text has
  // the writer place the array (its comma, line break and indentation); the
  // numbers then go straight into the output, not through the writer's
  // copy, one character at a time, of what is most of the text.
  template <typename Field>
  void WriteColumn(const char* name, const KeyList<KeyFrame>& keys, size_t width, Field field) {
    Key(name);
    json_.RawValue("", 0, rapidjson::kArrayType);
    char* at = out_.Claim(keys.size() * (width * (FloatTexts::kMaxText + 1) + 3) + FloatTexts::kMaxText + 2);
    *at++ = '[';
    for (size_t k = 0; k < keys.size(); ++k) {
      if (k > 0) *at++ = ',';
      const float* values = field(keys[k]);
      if (width == 1) {
        at = floats_.Put(values[0], at);
        continue;
      }
      *at++ = '[';
      for (size_t i = 0; i < width; ++i) {
        if (i > 0) *at++ = ',';
        at = floats_.Put(values[i], at);
      }
      *at++ = ']';
    }
    *at++ = ']';
    out_.Commit(at);
  }

  ChunkedOutput out_;
  JsonWriter json_;
  FloatTexts floats_;
};

// ---------------------------------------------------------------- reading

enum class TokenType : uint8_t { Null, False, True, Number, String, Key, StartObject, EndObject, StartArray, EndArray };

// One event of the parsed text. Numbers keep their text as written, so
// that each is converted once, straight to its field's type.
struct Token {
  TokenType type;
  uint32_t start;  // where the token begins in the text
  uint32_t begin;  // its text: numbers in the JSON text, strings and keys among the decoded strings
  uint32_t length;
};

// RapidJSON's handler: the text as a list of tokens, for the reader to walk
// through record by record.
class Tokenizer : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Tokenizer> {
 public:
  Tokenizer(std::string_view text, const rapidjson::MemoryStream& stream) : text_(text), stream_(stream) {}

  // Values are reported once read; brackets before they are taken.
  bool Null() { return Add(TokenType::Null, stream_.Tell()); }
  bool Bool(bool value) { return Add(value ? TokenType::True : TokenType::False, stream_.Tell()); }
  bool RawNumber(const char*, rapidjson::SizeType length, bool) {
    return Add(TokenType::Number, stream_.Tell(), static_cast<uint32_t>(stream_.Tell() - length), length);
  }
  bool String(const char* text, rapidjson::SizeType length, bool) { return AddString(TokenType::String, text, length); }
  bool Key(const char* text, rapidjson::SizeType length, bool) { return AddString(TokenType::Key, text, length); }
  bool StartObject() { return Add(TokenType::StartObject, stream_.Tell() + 1); }
  bool EndObject(rapidjson::SizeType) { return Add(TokenType::EndObject, stream_.Tell() + 1); }
  bool StartArray() { return Add(TokenType::StartArray, stream_.Tell() + 1); }
  bool EndArray(rapidjson::SizeType) { return Add(TokenType::EndArray, stream_.Tell() + 1); }

  std::vector<Token>& tokens() { return tokens_; }
  const std::string& strings() const { return strings_; }

 private:
  static bool IsBetweenTokens(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ':';
  }
  // A token ending at `end`. Only white space, commas and colons lie
  // between two tokens.
  bool Add(TokenType type, size_t end, uint32_t begin = 0, uint32_t length = 0) {
    size_t start = lastEnd_;
    while (start < text_.size() && IsBetweenTokens(text_[start])) ++start;
    lastEnd_ = end;
    tokens_.push_back({type, static_cast<uint32_t>(start), begin, length});
    return true;
  }
  bool AddString(TokenType type, const char* text, rapidjson::SizeType length) {
    if (strings_.size() + length > UINT32_MAX) return false;
    const uint32_t begin = static_cast<uint32_t>(strings_.size());
    strings_.append(text, length);
    return Add(type, stream_.Tell(), begin, length);
  }

  std::string_view text_;
  const rapidjson::MemoryStream& stream_;
  size_t lastEnd_ = 0;
  std::vector<Token> tokens_;
  std::string strings_;
};

PackageJsonError ErrorAt(std::string_view text, size_t offset, std::string message) {
  PackageJsonError error;
  error.message = std::move(message);
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++error.line;
      error.column = 1;
    } else {
      ++error.column;
    }
  }
  return error;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A name field as read: its text and, when given, all of its bytes.
struct NameIn {
  std::string text;
  bool hasBytes = false;
  std::string bytes;
};

struct PackageIn {
  AnimPackage package{};
  NameIn name;
};

struct AnimationIn {
  Animation animation{};
  NameIn name;
};

// A track's keys come as columns, in any order; they are joined into keys
// once the track's object ends.
struct TrackIn {
  BoneTrack track{};
  NameIn name;
  std::vector<float> times, rotations, translations, scales;
  bool hasTranslations = false, hasScales = false;
};

class PackageReader;

// One field of a record's object: its name, whether it must be there, and
// how its value is read into the record.
template <typename Record>
struct FieldRule {
  const char* name;
  bool required;
  bool (*read)(PackageReader& in, Record& record);
};

constexpr bool kRequired = true;
constexpr bool kOptional = false;

class PackageReader {
 public:
  PackageReader(std::string_view text, const std::vector<Token>& tokens, const std::string& strings)
      : text_(text), tokens_(tokens), strings_(strings) {}

  bool ReadPackage(AnimPackage& package);
  const PackageJsonError& error() const { return error_; }

  // The values fields hold, read at the current token.
  bool Int32(int32_t& value);
  bool Flag(bool& value);
  bool Int32Pair(int32_t (&values)[2]);
  bool Float(float& value);
  bool Name(NameIn& name) { return NameText(name.text); }
  bool NameBytes(NameIn& name);
  bool Format(uint32_t& format);
  bool KeyType(uint32_t& keyType);
  bool Column(std::vector<float>& values, size_t width);
  bool Animations(AnimPackage& package);
  bool Tracks(Animation& animation);

 private:
  const Token& Next() { return tokens_[next_++]; }
  std::string_view TextOf(const Token& token) const {
    return token.type == TokenType::Number ? text_.substr(token.start, token.length)
                                           : std::string_view(strings_).substr(token.begin, token.length);
  }

  // Fails at `token` with the path of the value being read.
  bool Fail(const Token& token, const std::string& message) {
    std::string path;
    for (const std::string& part : path_) path += (path.empty() || part[0] == '[' ? "" : ".") + part;
    error_ = ErrorAt(text_, token.start, (path.empty() ? "" : path + ": ") + message);
    return false;
  }
  bool Expect(const Token& token, TokenType type, const char* what) {
    return token.type == type || Fail(token, std::string("expected ") + what);
  }

  bool NameText(std::string& text);
  bool FinishName(const NameIn& name, char* field, size_t size, const Token& object, const char* what);
  bool FinishPackage(PackageIn& in, const Token& object);
  bool FinishAnimation(AnimationIn& in, const Token& object);
  bool FinishTrack(TrackIn& in, const Token& object);

  // Reads an object field by field with `rules`, then `finish`es the record.
  template <typename Record, size_t N>
  bool Object(const FieldRule<Record> (&rules)[N], Record& record,
              bool (PackageReader::*finish)(Record&, const Token&));
  // Reads an array, each element with `element` (given its index).
  template <typename Element>
  bool Array(Element element);

  std::string_view text_;
  const std::vector<Token>& tokens_;
  const std::string& strings_;
  size_t next_ = 0;
  std::vector<std::string> path_;
  PackageJsonError error_;
};

// ---- the records' fields

const FieldRule<PackageIn> kPackageFields[] = {
    {"format", kRequired, [](PackageReader& in, PackageIn& r) { return in.Format(r.package.format); }},
    {"name", kRequired, [](PackageReader& in, PackageIn& r) { return in.Name(r.name); }},
    {"nameBytes", kOptional, [](PackageReader& in, PackageIn& r) { return in.NameBytes(r.name); }},
    {"animations", kRequired, [](PackageReader& in, PackageIn& r) { return in.Animations(r.package); }},
};

const FieldRule<AnimationIn> kAnimationFields[] = {
    {"name", kRequired, [](PackageReader& in, AnimationIn& r) { return in.Name(r.name); }},
    {"nameBytes", kOptional, [](PackageReader& in, AnimationIn& r) { return in.NameBytes(r.name); }},
    {"extraWord", kOptional, [](PackageReader& in, AnimationIn& r) { return in.Int32(r.animation.extraWord); }},
    {"keyDataSize", kOptional, [](PackageReader& in, AnimationIn& r) { return in.Int32(r.animation.keyDataSize); }},
    {"extraWordFrom", kOptional,
     [](PackageReader& in, AnimationIn& r) { return in.Format(r.animation.extraWordLayout); }},
    {"tracks", kRequired, [](PackageReader& in, AnimationIn& r) { return in.Tracks(r.animation); }},
};

const FieldRule<TrackIn> kTrackFields[] = {
    {"name", kRequired, [](PackageReader& in, TrackIn& r) { return in.Name(r.name); }},
    {"nameBytes", kOptional, [](PackageReader& in, TrackIn& r) { return in.NameBytes(r.name); }},
    {"boneId", kRequired, [](PackageReader& in, TrackIn& r) { return in.Int32(r.track.boneId); }},
    {"keyType", kRequired, [](PackageReader& in, TrackIn& r) { return in.KeyType(r.track.keyType); }},
    {"anpkWord1", kOptional, [](PackageReader& in, TrackIn& r) { return in.Int32(r.track.anpkWord1); }},
    {"anpkWord2", kOptional, [](PackageReader& in, TrackIn& r) { return in.Int32(r.track.anpkWord2); }},
    {"anpkAnimSize", kOptional, [](PackageReader& in, TrackIn& r) { return in.Int32(r.track.anpkAnimSize); }},
    {"anpkLinks", kOptional, [](PackageReader& in, TrackIn& r) { return in.Int32Pair(r.track.anpkLinks); }},
    {"anpkWithoutKeySection", kOptional,
     [](PackageReader& in, TrackIn& r) { return in.Flag(r.track.anpkWithoutKeySection); }},
    {"floatKeys", kOptional, [](PackageReader& in, TrackIn& r) { return in.Flag(r.track.floatFrames); }},
    {"times", kRequired, [](PackageReader& in, TrackIn& r) { return in.Column(r.times, 1); }},
    {"rotations", kRequired, [](PackageReader& in, TrackIn& r) { return in.Column(r.rotations, 4); }},
    {"translations", kOptional,
     [](PackageReader& in, TrackIn& r) { return r.hasTranslations = in.Column(r.translations, 3); }},
    {"scales", kOptional, [](PackageReader& in, TrackIn& r) { return r.hasScales = in.Column(r.scales, 3); }},
};

// ---- values

bool PackageReader::Int32(int32_t& value) {
  const Token& token = Next();
  if (!Expect(token, TokenType::Number, "a whole number")) return false;
  const std::string_view text = TextOf(token);
  if (text.find_first_of(".eE") != std::string_view::npos) return Fail(token, "expected a whole number");
  int64_t wide = 0;
  const std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), wide);
  if (result.ec != std::errc() || wide < INT32_MIN || wide > INT32_MAX) {
    return Fail(token, std::string(text) + " is out of the range of a 32-bit integer");
  }
  value = static_cast<int32_t>(wide);
  return true;
}

bool PackageReader::Float(float& value) {
  const Token& token = Next();
  const std::string_view text = TextOf(token);
  if (token.type == TokenType::Number) {
    const std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc()) return Fail(token, std::string(text) + " is out of the range of a 32-bit float");
    return true;
  }
  if (token.type == TokenType::String) {
    std::string bytes;
    uint32_t bits = 0;
    if (text == "inf" || text == "-inf") {
      value = text[0] == '-' ? -INFINITY : INFINITY;
      return true;
    }
    if (text == "nan") {
      bits = kQuietNan;
    } else if (text.substr(0, 6) == "nan:0x" && FromHex(text.substr(6), bytes) && bytes.size() == 4) {
      for (char byte : bytes) bits = bits << 8 | static_cast<unsigned char>(byte);
      if ((bits & 0x7F800000) != 0x7F800000 || (bits & 0x007FFFFF) == 0) {
        return Fail(token, Quoted(text) + " is no NaN");
      }
    } else {
      return Fail(token, "expected a number, \"inf\", \"-inf\" or \"nan\"");
    }
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }
  return Fail(token, "expected a number");
}

bool PackageReader::NameText(std::string& text) {
  const Token& token = Next();
  if (!Expect(token, TokenType::String, "a string")) return false;
  if (!Utf8ToLatin1(TextOf(token), text)) return Fail(token, "a name holds only characters up to U+00FF");
  if (text.find('\0') != std::string::npos) return Fail(token, "a name holds no zero character");
  return true;
}

bool PackageReader::NameBytes(NameIn& name) {
  const Token& token = Next();
  if (!Expect(token, TokenType::String, "a string of hex digits")) return false;
  if (!FromHex(TextOf(token), name.bytes)) return Fail(token, "expected a string of hex digits");
  name.hasBytes = true;
  return true;
}

bool PackageReader::Flag(bool& value) {
  const Token& token = Next();
  if (token.type != TokenType::True && token.type != TokenType::False) return Fail(token, "expected true or false");
  value = token.type == TokenType::True;
  return true;
}

bool PackageReader::Int32Pair(int32_t (&values)[2]) {
  const Token& token = Next();
  if (!Expect(token, TokenType::StartArray, "an array of two whole numbers")) return false;
  if (!Int32(values[0]) || !Int32(values[1])) return false;
  return Expect(Next(), TokenType::EndArray, "the end of an array of two whole numbers");
}

bool PackageReader::Format(uint32_t& format) {
  const Token& token = Next();
  std::string names;
  for (const PackageLayout& layout : PackageLayouts()) {
    if (token.type == TokenType::String && TextOf(token) == layout.shownName) {
      format = layout.tag;
      return true;
    }
    names += (names.empty() ? "" : " or ") + Quoted(layout.shownName);
  }
  return Fail(token, "expected " + names);
}

bool PackageReader::KeyType(uint32_t& keyType) {
  const Token& token = tokens_[next_];
  if (token.type == TokenType::String) {
    ++next_;
    for (const KnownKeyType& known : kKnownKeyTypes) {
      if (TextOf(token) == known.name) {
        keyType = known.tag;
        return true;
      }
    }
    return Fail(token, Quoted(TextOf(token)) + " is no key type; \"KR00\", \"KRT0\", \"KRTS\" or a number");
  }
  int32_t number = 0;
  if (token.type != TokenType::Number) {
    ++next_;
    return Fail(token, "expected \"KR00\", \"KRT0\", \"KRTS\" or a number");
  }
  if (!Int32(number)) return false;
  keyType = static_cast<uint32_t>(number);
  return true;
}

bool PackageReader::Column(std::vector<float>& values, size_t width) {
  return Array([&](size_t) {
    if (width == 1) {
      values.emplace_back();
      return Float(values.back());
    }
    const Token& row = tokens_[next_];
    size_t count = 0;
    const bool ok = Array([&](size_t) {
      if (++count > width) return Fail(row, "expected " + std::to_string(width) + " numbers");
      values.emplace_back();
      return Float(values.back());
    });
    return ok && (count == width || Fail(row, "expected " + std::to_string(width) + " numbers"));
  });
}

bool PackageReader::Animations(AnimPackage& package) {
  return Array([&](size_t) {
    AnimationIn in;
    if (!Object(kAnimationFields, in, &PackageReader::FinishAnimation)) return false;
    package.animations.push_back(std::move(in.animation));
    return true;
  });
}

bool PackageReader::Tracks(Animation& animation) {
  return Array([&](size_t) {
    TrackIn in;
    if (!Object(kTrackFields, in, &PackageReader::FinishTrack)) return false;
    animation.bones.push_back(std::move(in.track));
    return true;
  });
}

// ---- records

template <typename Record, size_t N>
bool PackageReader::Object(const FieldRule<Record> (&rules)[N], Record& record,
                           bool (PackageReader::*finish)(Record&, const Token&)) {
  static_assert(N <= 64, "a record of at most 64 fields");
  const Token& open = Next();
  if (!Expect(open, TokenType::StartObject, "an object")) return false;
  std::bitset<64> seen;
  for (const Token* key = &Next(); key->type != TokenType::EndObject; key = &Next()) {
    const std::string_view name = TextOf(*key);
    size_t rule = 0;
    while (rule < N && name != rules[rule].name) ++rule;
    if (rule == N) return Fail(*key, "unknown field " + Quoted(name));
    if (seen[rule]) return Fail(*key, Quoted(name) + " is given twice");
    seen.set(rule);
    path_.emplace_back(name);
    if (!rules[rule].read(*this, record)) return false;
    path_.pop_back();
  }
  for (size_t rule = 0; rule < N; ++rule) {
    if (rules[rule].required && !seen[rule]) return Fail(open, "missing " + Quoted(rules[rule].name));
  }
  return (this->*finish)(record, open);
}

template <typename Element>
bool PackageReader::Array(Element element) {
  if (!Expect(Next(), TokenType::StartArray, "an array")) return false;
  for (size_t index = 0; tokens_[next_].type != TokenType::EndArray; ++index) {
    path_.push_back("[" + std::to_string(index) + "]");
    if (!element(index)) return false;
    path_.pop_back();
  }
  ++next_;
  return true;
}

bool PackageReader::FinishName(const NameIn& name, char* field, size_t size, const Token& object, const char* what) {
  if (name.text.size() >= size) {
    return Fail(object, Quoted(Latin1ToUtf8(name.text)) + " has " + std::to_string(name.text.size()) + " characters; " +
                            what + " holds at most " + std::to_string(size - 1));
  }
  if (!name.hasBytes) {
    std::memset(field, 0, size);
    std::memcpy(field, name.text.data(), name.text.size());
    return true;
  }
  if (name.bytes.size() != size) {
    return Fail(object, "\"nameBytes\" holds " + std::to_string(name.bytes.size()) + " bytes; the field has " +
                            std::to_string(size));
  }
  if (NameLength(name.bytes.data(), size) != name.text.size() ||
      name.bytes.compare(0, name.text.size(), name.text) != 0) {
    return Fail(object, "\"nameBytes\" does not begin with the name and its terminating zero");
  }
  std::memcpy(field, name.bytes.data(), size);
  return true;
}

bool PackageReader::FinishPackage(PackageIn& in, const Token& object) {
  return FinishName(in.name, in.package.name, sizeof in.package.name, object, "a package name");
}

bool PackageReader::FinishAnimation(AnimationIn& in, const Token& object) {
  return FinishName(in.name, in.animation.name, sizeof in.animation.name, object, "an animation name");
}

bool PackageReader::FinishTrack(TrackIn& in, const Token& object) {
  if (!FinishName(in.name, in.track.name, sizeof in.track.name, object, "a track name")) return false;
  const size_t count = in.times.size();
  const struct {
    const char* name;
    const std::vector<float>& values;
    size_t width;
    bool given;
  } columns[] = {{"rotations", in.rotations, 4, true},
                 {"translations", in.translations, 3, in.hasTranslations},
                 {"scales", in.scales, 3, in.hasScales}};
  for (const auto& column : columns) {
    if (column.given && column.values.size() != count * column.width) {
      const size_t keys = column.values.size() / column.width;
      return Fail(object, Quoted(column.name) + " holds " + std::to_string(keys) + (keys == 1 ? " key" : " keys") +
                              ", \"times\" " + std::to_string(count));
    }
  }
  in.track.keys.resize(count);
  for (size_t k = 0; k < count; ++k) {
    KeyFrame& key = in.track.keys[k];
    key.time = in.times[k];
    std::memcpy(key.rotation, &in.rotations[4 * k], sizeof key.rotation);
    if (in.hasTranslations) std::memcpy(key.translation, &in.translations[3 * k], sizeof key.translation);
    if (in.hasScales) std::memcpy(key.scale, &in.scales[3 * k], sizeof key.scale);
  }
  return true;
}

bool PackageReader::ReadPackage(AnimPackage& package) {
  PackageIn in;
  if (!Object(kPackageFields, in, &PackageReader::FinishPackage)) return false;
  package = std::move(in.package);
  return true;
}

}  // namespace

void WritePackageJson(const AnimPackage& package, const JsonTextSink& sink) {
  PackageWriter(sink).WritePackage(package);
}

std::optional<PackageJsonError> ReadPackageJson(std::string_view text, AnimPackage& package) {
  if (text.size() >= UINT32_MAX) return PackageJsonError{1, 1, "the text is larger than 4 GB"};
  rapidjson::MemoryStream stream(text.data(), text.size());
  Tokenizer tokenizer(text, stream);
  rapidjson::Reader reader;
  constexpr unsigned kFlags =
      rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseValidateEncodingFlag;
  const rapidjson::ParseResult parsed = reader.Parse<kFlags>(stream, tokenizer);
  if (parsed.IsError()) {
    std::string message = rapidjson::GetParseError_En(parsed.Code());
    if (!message.empty() && message.back() == '.') message.pop_back();  // it is followed by more
    return ErrorAt(text, parsed.Offset(), message);
  }
  // The parser takes a zero byte for the end of the text.
  if (stream.Tell() < text.size()) return ErrorAt(text, stream.Tell(), "a zero byte after the package");
  PackageReader in(text, tokenizer.tokens(), tokenizer.strings());
  if (!in.ReadPackage(package)) return in.error();
  return std::nullopt;
}

}  // namespace zam
