// record_line.h - a lister's record line described once, part by part: the same description
// writes the line as text, stores it as numbers, names the records it shows and bounds its length.
#ifndef LISTING_RECORD_LINE_H
#define LISTING_RECORD_LINE_H

#include <protolib/decoder.h>
#include <protolib/catalogue.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "io/number_text.h"
#include "listing/listing.h"

namespace listing {

// How a line shows a record: the listed type's record, decoded for this very line; or the latest
// record of another type, with or without its fresh flag before it.
enum class Shown { kListed, kLatest, kLatestWithFresh };

namespace line_detail {

// The type of member Member, a pointer to a scalar or array member of a record.
template <auto Member>
struct MemberOf;
template <typename Record, typename Type, Type Record::*Member>
struct MemberOf<Member> {
  using Owner = Record;
  using Element = std::remove_extent_t<Type>;
  static constexpr std::size_t kCount = std::is_array_v<Type> ? std::extent_v<Type> : 1;
};

// The widest text put_field writes for one value of integer type Element.
template <typename Element>
inline constexpr std::size_t kMaxField =
    1 + io::kMaxDecimal<std::conditional_t<std::is_signed_v<Element>, int32_t, uint32_t>>;

// Writes value as put_field does, without the space when First.
template <bool First, typename Element>
char *put_value(char *out, Element value) {
  if constexpr (!First) {
    return io::put_field(out, value);
  } else if constexpr (std::is_signed_v<Element>) {
    return io::put_decimal(out, static_cast<int32_t>(value));
  } else {
    return io::put_decimal(out, static_cast<uint32_t>(value));
  }
}

// Writes member as put_field does, element by element for an array; a scalar without the space
// when First.
template <bool First, typename Value>
char *put_member(char *out, const Value &value) {
  if constexpr (std::is_array_v<Value>) {
    static_assert(!First, "a line starts with a scalar");
    return io::put_fields(out, value);
  } else {
    return put_value<First>(out, value);
  }
}

// Stores member as numbers, element by element for an array.
template <typename Value>
int64_t *put_member_numbers(int64_t *out, const Value &value) {
  if constexpr (std::is_array_v<Value>) {
    for (auto element : value) *out++ = element;
  } else {
    *out++ = value;
  }
  return out;
}

// Appends the names of member's numbers, each after prefix: its name in the catalogue, with
// "[i]" for each element of an array.
template <auto Member>
void append_member_names(std::vector<std::string> &names, const std::string &prefix) {
  using Of = MemberOf<Member>;
  std::string name;
  const auto find = [&](const auto &field) {
    if constexpr (std::is_same_v<std::remove_cv_t<decltype(field.member)>, decltype(Member)>) {
      if (field.member == Member) name = field.name;
    }
  };
  protolib::walk_layout<typename Of::Owner>(protolib::LayoutHooks{find, find, [](const auto &) {}});
  if constexpr (std::is_array_v<std::remove_reference_t<
                    decltype(std::declval<typename Of::Owner>().*Member)>>) {
    for (std::size_t i = 0; i < Of::kCount; ++i)
      names.push_back(prefix + name + "[" + std::to_string(i) + "]");
  } else {
    names.push_back(prefix + name);
  }
}

// Nothing kept: the listed record's part, formatted anew on every line.
struct NoCache {};

}  // namespace line_detail

// The text of a piece formatted from a record, kept from line to line and formatted again only
// when the record has changed.
template <std::size_t MaxText>
class CachedPiece {
 public:
  // Writes the text format(out, record) writes (at most MaxText characters): format's anew when
  // changed, which the first call must be; otherwise the text kept from the last call.
  template <typename Record, typename Format>
  char *put(char *out, bool changed, const Record &record, Format format) {
    if (changed) size_ = static_cast<std::size_t>(format(text_, record) - text_);
    std::memcpy(out, text_, size_);
    return out + size_;
  }

 private:
  std::size_t size_ = 0;
  char text_[MaxText]{};
};

// One part of a line: the record in decoder slot Slot, shown as How says, then its members
// Members (scalar or array members of that record, integers) in order, each as a space and its
// decimal number.
template <auto Slot, Shown How, auto... Members>
struct LinePart {
  using Record = std::remove_cvref_t<decltype(std::declval<PacketDecoder &>().*Slot)>;
  static_assert((std::is_same_v<typename line_detail::MemberOf<Members>::Owner, Record> && ...),
                "every member belongs to the part's record");
  static constexpr auto kSlot = Slot;
  static constexpr Shown kHow = How;
  static constexpr bool kFresh = How == Shown::kLatestWithFresh;
  // Numbers the part shows, its fresh flag included.
  static constexpr std::size_t kNumbers =
      (kFresh ? 1 : 0) + (line_detail::MemberOf<Members>::kCount + ...);
  // The longest text of the members (the fresh flag not included).
  static constexpr std::size_t kMaxText =
      ((line_detail::MemberOf<Members>::kCount *
        line_detail::kMaxField<typename line_detail::MemberOf<Members>::Element>)+...);

  // Writes the members' text; the first without its space when First.
  template <bool First>
  static char *put_members(char *out, const Record &record) {
    return put_from<First, Members...>(out, record);
  }

  // Appends the names of the part's numbers: "T.fresh" when shown, then "T.name" for a scalar
  // member and "T.name[i]" for an array's elements, T the record's type.
  static void append_names(std::vector<std::string> &names) {
    const std::string type = std::to_string(protolib::Layout<Record>::kType) + ".";
    if constexpr (kFresh) names.push_back(type + "fresh");
    (line_detail::append_member_names<Members>(names, type), ...);
  }

  // Stores the part's numbers: the fresh flag when shown, then the members.
  static int64_t *put_numbers(int64_t *out, const Record &record) {
    if constexpr (kFresh) *out++ = record.fresh;
    ((out = line_detail::put_member_numbers(out, record.*Members)), ...);
    return out;
  }

 private:
  template <bool First, auto Member, auto... Rest>
  static char *put_from(char *out, const Record &record) {
    out = line_detail::put_member<First>(out, record.*Member);
    if constexpr (sizeof...(Rest) == 0) {
      return out;
    } else {
      return put_from<false, Rest...>(out, record);
    }
  }
};

// A record line made of Parts (LinePart types), the first of which has no space before its first
// number: the line's text, its numbers and the records it shows all follow from them. The parts
// of latest records are kept as text between lines and formatted again only when their record
// was decoded since.
template <typename... Parts>
class RecordLine final : public LineFormatter {
 public:
  // The bits of the types whose records the line shows.
  static constexpr uint32_t kShownTypes = type_bits<typename Parts::Record...>();
  // Numbers on a line.
  static constexpr std::size_t kNumbers = (Parts::kNumbers + ...);
  // The longest line: every part at its longest, fresh flags (" 1") and newline included.
  static constexpr std::size_t kMaxText = ((Parts::kMaxText + (Parts::kFresh ? 2 : 0)) + ...) + 1;
  static_assert(kMaxText <= kMaxLine, "a line fits the room format() is given");

  RecordLine() : LineFormatter(kShownTypes) {}

  char *format(PacketDecoder &decoder, uint32_t changed, char *out) override {
    out = put_parts(decoder, changed, out, std::index_sequence_for<Parts...>{});
    *out++ = '\n';
    clear_shown(decoder);
    return out;
  }

  // Stores the kNumbers numbers of the line format() would write now.
  static void numbers(const PacketDecoder &decoder, int64_t *out) {
    ((out = Parts::put_numbers(out, decoder.*Parts::kSlot)), ...);
  }

  // The names of the kNumbers numbers, in order: "1.uword", "10.words[0]", "12.fresh".
  static std::vector<std::string> column_names() {
    std::vector<std::string> names;
    (Parts::append_names(names), ...);
    return names;
  }

  // Clears the fresh flags the line shows, as format() does once it has written the line.
  static void clear_shown(PacketDecoder &decoder) {
    ((Parts::kFresh ? void((decoder.*Parts::kSlot).fresh = 0) : void()), ...);
  }

 private:
  template <std::size_t... I>
  char *put_parts(PacketDecoder &decoder, uint32_t changed, char *out, std::index_sequence<I...>) {
    ((out = put_part<I, Parts>(decoder, changed, out)), ...);
    return out;
  }

  // Writes part I: its fresh flag when shown, then its members, from the kept text when the
  // record has not changed.
  template <std::size_t I, typename Part>
  char *put_part(PacketDecoder &decoder, uint32_t changed, char *out) {
    const typename Part::Record &record = decoder.*Part::kSlot;
    if constexpr (Part::kFresh) out = io::put_field(out, record.fresh);
    if constexpr (Part::kHow == Shown::kListed) {
      return Part::template put_members<I == 0>(out, record);
    } else {
      return std::get<I>(pieces_).put(out, record_changed<typename Part::Record>(changed), record,
                                      Part::template put_members<I == 0>);
    }
  }

  std::tuple<std::conditional_t<Parts::kHow == Shown::kListed, line_detail::NoCache,
                                CachedPiece<Parts::kMaxText>>...>
      pieces_;
};

}  // namespace listing

#endif  // LISTING_RECORD_LINE_H
