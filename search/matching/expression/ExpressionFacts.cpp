#include "search/matching/expression/ExpressionFacts.h"

#include <algorithm>
#include <cstring>

#include "search/matching/unicode/CaseFolding.h"

namespace trawlscope {
namespace {

// Beyond these, a string set stops being worth searching for.
constexpr size_t kMaxStrings = 16;
constexpr size_t kMaxStringLength = 64;
// A class of at most this many characters counts as a choice of literals.
constexpr size_t kLiteralClassSize = 4;
// Copies of a repeated part that decide its first two characters and its
// literals; more copies add nothing to either.
constexpr int kRepeatCopies = 3;
constexpr int kUnbounded = -1;

enum LengthBit : unsigned { kLength0 = 1, kLength1 = 2, kLength2OrMore = 4 };

using Strings = std::vector<std::u16string>;

// What is known of the matches of one part of the expression. `prefix`,
// `suffix` and `required`: every match starts with, ends with, or contains
// one of the strings ({""} when nothing is known); `exact`: all its matches.
struct Info {
  std::optional<Strings> exact;
  Strings prefix{u""};
  Strings suffix{u""};
  Strings required{u""};
  CharacterSet first;
  CharacterSet second;
  unsigned lengths = 0;
};

struct GiveUp {};

size_t Score(const Strings& strings) {
  size_t shortest = kMaxStringLength + 1;
  for (const std::u16string& s : strings) shortest = std::min(shortest, s.size());
  return strings.empty() ? 0 : shortest;
}

const Strings& Better(const Strings& a, const Strings& b) {
  const size_t sa = Score(a), sb = Score(b);
  if (sa != sb) return sa > sb ? a : b;
  return a.size() <= b.size() ? a : b;
}

Strings BestOf(const Info& info) {
  Strings best = Better(Better(info.required, info.prefix), info.suffix);
  if (info.exact) best = Better(best, *info.exact);
  return best;
}

void Normalize(Strings& strings) {
  std::sort(strings.begin(), strings.end());
  strings.erase(std::unique(strings.begin(), strings.end()), strings.end());
}

std::optional<Strings> Product(const Strings& a, const Strings& b) {
  if (a.size() * b.size() > kMaxStrings) return std::nullopt;
  Strings out;
  for (const std::u16string& x : a) {
    for (const std::u16string& y : b) {
      if (x.size() + y.size() > kMaxStringLength) return std::nullopt;
      out.push_back(x + y);
    }
  }
  Normalize(out);
  return out;
}

std::optional<Strings> Union(const Strings& a, const Strings& b) {
  Strings out = a;
  out.insert(out.end(), b.begin(), b.end());
  Normalize(out);
  if (out.size() > kMaxStrings) return std::nullopt;
  return out;
}

CharacterSet Range(char32_t from, char32_t to) {
  CharacterSet set;
  for (char32_t c = from; c <= to; ++c) set.ascii.set(c);
  return set;
}

CharacterSet Complement(CharacterSet set) {
  set.ascii.flip();
  set.nonAscii = true;
  return set;
}

CharacterSet CaseClosed(CharacterSet set) {
  for (char32_t c = 'a'; c <= 'z'; ++c) {
    const char32_t upper = c - 'a' + 'A';
    if (set.ascii.test(c) || set.ascii.test(upper)) {
      set.ascii.set(c);
      set.ascii.set(upper);
    }
  }
  return set;
}

// The classes of "\d", "\w" and "\s", wide enough for the byte engine's C
// locale and for the Unicode engine alike.
std::optional<CharacterSet> EscapeClass(char16_t letter) {
  CharacterSet set;
  switch (letter | 0x20) {
    case 'd': set = Range('0', '9'); break;
    case 'w': set = Range('0', '9') |= Range('A', 'Z') |= Range('a', 'z') |= Range('_', '_'); break;
    case 's': set = Range(9, 13) |= Range(28, 32); break;
    default: return std::nullopt;
  }
  set.nonAscii = true;
  return letter >= 'a' ? set : Complement(set);
}

std::optional<char32_t> ControlEscape(char16_t letter) {
  switch (letter) {
    case 'n': return U'\n';
    case 'r': return U'\r';
    case 't': return U'\t';
    case 'f': return U'\f';
    default: return std::nullopt;
  }
}

// Escaped characters that stand for themselves. Others ("\<", "\`" ...) are
// assertions or reserved in Boost's Perl syntax.
bool IsQuotable(char16_t c) {
  return c > 0 && c < 128 && std::strchr(".\\()[]{}*+?|^$/-#&~\",;:=!%@ ", static_cast<char>(c)) != nullptr;
}

Info Empty() {
  Info info;
  info.exact = Strings{u""};
  info.lengths = kLength0;
  return info;
}

Info Unknown() {
  Info info;
  info.first = CharacterSet::All();
  info.second = CharacterSet::All();
  info.lengths = kLength0 | kLength1 | kLength2OrMore;
  return info;
}

unsigned SumOfLengths(unsigned a, unsigned b) {
  unsigned out = 0;
  if ((a & kLength0) && (b & kLength0)) out |= kLength0;
  if (((a & kLength0) && (b & kLength1)) || ((a & kLength1) && (b & kLength0))) out |= kLength1;
  if ((a & kLength2OrMore) || (b & kLength2OrMore) || ((a & kLength1) && (b & kLength1)))
    out |= kLength2OrMore;
  return out;
}

Info Concat(const Info& a, const Info& b) {
  Info out;
  if (a.exact && b.exact) out.exact = Product(*a.exact, *b.exact);
  if (a.exact) out.prefix = Product(*a.exact, b.prefix).value_or(*a.exact);
  else out.prefix = a.prefix;
  if (b.exact) out.suffix = Product(a.suffix, *b.exact).value_or(*b.exact);
  else out.suffix = b.suffix;
  Strings required = Better(BestOf(a), BestOf(b));
  if (const auto middle = Product(a.suffix, b.prefix)) required = Better(required, *middle);
  out.required = Better(Better(required, out.prefix), out.suffix);
  out.first = a.first;
  if (a.lengths & kLength0) out.first |= b.first;
  out.second = a.second;
  if (a.lengths & kLength0) out.second |= b.second;
  if (a.lengths & kLength1) out.second |= b.first;
  out.lengths = SumOfLengths(a.lengths, b.lengths);
  return out;
}

Info Alternation(const Info& a, const Info& b) {
  Info out;
  if (a.exact && b.exact) out.exact = Union(*a.exact, *b.exact);
  out.prefix = Union(a.prefix, b.prefix).value_or(Strings{u""});
  out.suffix = Union(a.suffix, b.suffix).value_or(Strings{u""});
  out.required = Union(BestOf(a), BestOf(b)).value_or(Strings{u""});
  if (Score(out.required) == 0) out.required = {u""};
  out.first = a.first;
  out.first |= b.first;
  out.second = a.second;
  out.second |= b.second;
  out.lengths = a.lengths | b.lengths;
  return out;
}

Info Repeat(const Info& part, int min, int max) {
  Info out = Empty();
  for (int i = 0; i < std::min(min, kRepeatCopies); ++i) out = Concat(out, part);
  const Info optional = Alternation(part, Empty());
  const int extra = max == kUnbounded ? kRepeatCopies : std::min(max - min, kRepeatCopies);
  for (int i = 0; i < extra; ++i) out = Concat(out, optional);
  if (max == kUnbounded || max > kRepeatCopies) out.exact.reset();
  return out;
}

class Parser {
 public:
  Parser(std::u16string_view text, bool caseless) : text_(text), caseless_(caseless) {}

  Info Expression() {
    Info info = Sequence();
    while (More() && Peek() == '|') {
      ++at_;
      info = Alternation(info, Sequence());
    }
    return info;
  }

  bool AtEnd() const { return !More(); }
  const CharacterSet& Consumable() const { return consumable_; }

 private:
  bool More() const { return at_ < text_.size(); }
  char16_t Peek() const { return text_[at_]; }
  char16_t Take() {
    if (!More()) throw GiveUp{};
    return text_[at_++];
  }
  bool TakeIf(std::u16string_view prefix) {
    if (text_.substr(at_, prefix.size()) != prefix) return false;
    at_ += prefix.size();
    return true;
  }

  Info Sequence() {
    Info info = Empty();
    while (More() && Peek() != '|' && Peek() != ')') info = Concat(info, Quantified(Atom()));
    return info;
  }

  Info Quantified(Info atom) {
    while (More()) {
      int min = 0, max = kUnbounded;
      const char16_t c = Peek();
      if (c == '*') {
        ++at_;
      } else if (c == '+') {
        ++at_;
        min = 1;
      } else if (c == '?') {
        ++at_;
        max = 1;
      } else if (c == '{') {
        ++at_;
        min = max = Number();
        if (TakeIf(u",")) max = (More() && Peek() == '}') ? kUnbounded : Number();
        if (Take() != '}') throw GiveUp{};
      } else {
        break;
      }
      if (More() && (Peek() == '?' || Peek() == '+')) ++at_;  // lazy or possessive: same texts
      atom = Repeat(atom, min, max);
    }
    return atom;
  }

  int Number() {
    int value = 0;
    size_t digits = 0;
    while (More() && Peek() >= '0' && Peek() <= '9' && digits < 6) {
      value = value * 10 + (Take() - '0');
      ++digits;
    }
    if (digits == 0 || digits == 6) throw GiveUp{};
    return value;
  }

  Info Characters(CharacterSet set) {
    const bool beyondAscii = set.nonAscii;
    if (caseless_) {
      // The Unicode engine folds some other characters onto ASCII letters (KELVIN SIGN).
      set = CaseClosed(set);
      set.nonAscii = true;
    }
    consumable_ |= set;
    Info info;
    info.first = set;
    info.lengths = kLength1;
    if (!beyondAscii && set.ascii.count() <= kLiteralClassSize) {
      Strings strings;
      for (char16_t c = 0; c < 128; ++c)
        if (set.ascii.test(c)) strings.emplace_back(1, caseless_ ? FoldCodeUnit(c) : c);
      Normalize(strings);
      info.exact = strings;
      info.prefix = info.suffix = info.required = strings;
    }
    return info;
  }

  // A character beyond ASCII, which only sets of all such characters hold.
  Info WideCharacter(char16_t c) {
    if (c >= 0xD800 && c <= 0xDFFF) throw GiveUp{};
    CharacterSet set;
    set.nonAscii = true;
    if (caseless_)
      for (const char16_t alike : CodeUnitsFoldingLike(c))
        if (alike < 128) set.ascii.set(alike);  // U+017F LONG S folds like "s"
    consumable_ |= set;
    Info info;
    info.first = set;
    info.lengths = kLength1;
    info.exact = Strings{std::u16string(1, caseless_ ? FoldCodeUnit(c) : c)};
    info.prefix = info.suffix = info.required = *info.exact;
    return info;
  }

  Info Atom() {
    const char16_t c = Take();
    if (c >= 128) return WideCharacter(c);
    switch (c) {
      case '(': return Group();
      case '[': return Characters(Class());
      case '.': return Characters(CharacterSet::All());
      case '^':
      case '$': return Empty();
      case '\\': return Escape();
      case '*':
      case '+':
      case '?':
      case '{':
      case '}':
      case ']': throw GiveUp{};
      default: {
        CharacterSet set;
        set.ascii.set(c);
        return Characters(set);
      }
    }
  }

  Info Escape() {
    const char16_t c = Take();
    if (const auto set = EscapeClass(c)) return Characters(*set);
    if (const auto control = ControlEscape(c)) return Characters(Range(*control, *control));
    if (c == 'b' || c == 'B') return Empty();
    if (c >= '1' && c <= '9') {
      while (More() && Peek() >= '0' && Peek() <= '9') ++at_;
      return Unknown();
    }
    if (IsQuotable(c)) return Characters(Range(c, c));
    throw GiveUp{};
  }

  Info Group() {
    if (!TakeIf(u"?")) return Closed(Expression());
    if (TakeIf(u":") || TakeIf(u">")) return Closed(Expression());
    if (TakeIf(u"=") || TakeIf(u"!") || TakeIf(u"<=") || TakeIf(u"<!")) {
      Closed(Expression());  // read for what it consumes; it adds nothing to the match
      return Empty();
    }
    if (TakeIf(u"#")) {
      while (Take() != ')') {
      }
      return Empty();
    }
    // Flags: "(?i)", "(?-s:...)"; case was settled before parsing.
    while (More() && (Peek() == 'i' || Peek() == 'm' || Peek() == 's' || Peek() == '-')) ++at_;
    if (TakeIf(u")")) return Empty();
    if (TakeIf(u":")) return Closed(Expression());
    throw GiveUp{};
  }

  Info Closed(Info info) {
    if (Take() != ')') throw GiveUp{};
    return info;
  }

  CharacterSet Class() {
    CharacterSet set;
    const bool negated = TakeIf(u"^");
    bool firstItem = true;
    for (;;) {
      char16_t c = Take();
      if (c >= 128) throw GiveUp{};
      if (c == ']' && !firstItem) break;
      firstItem = false;
      if (c == '[' && More() && (Peek() == ':' || Peek() == '=' || Peek() == '.')) {
        // A named class: skip it and allow everything.
        const char16_t kind = Take();
        while (!(Take() == kind && More() && Peek() == ']')) {
        }
        ++at_;
        set = CharacterSet::All();
        continue;
      }
      if (c == '\\') {
        const char16_t e = Take();
        if (const auto escaped = EscapeClass(e)) {
          set |= *escaped;
          continue;
        }
        if (const auto control = ControlEscape(e)) c = static_cast<char16_t>(*control);
        else if (IsQuotable(e)) c = e;
        else throw GiveUp{};
      }
      char16_t last = c;
      if (More() && Peek() == '-' && at_ + 1 < text_.size() && text_[at_ + 1] != ']') {
        ++at_;
        last = Take();
        if (last == '\\' || last == '[' || last < c || last >= 128) throw GiveUp{};
      }
      set |= Range(c, last);
    }
    return negated ? Complement(set) : set;
  }

  std::u16string_view text_;
  size_t at_ = 0;
  bool caseless_;
  CharacterSet consumable_;
};

// "(?i)" or "(?i:" anywhere, or "i" among any other group's flags.
bool TurnsCaseOff(std::u16string_view pattern) {
  for (size_t at = pattern.find(u"(?"); at != std::u16string_view::npos;
       at = pattern.find(u"(?", at + 2)) {
    for (size_t k = at + 2; k < pattern.size(); ++k) {
      const char16_t c = pattern[k];
      if (c == 'i') return true;
      if (c != 'm' && c != 's' && c != 'x' && c != '-') break;
    }
  }
  return false;
}

}  // namespace

CharacterSet CharacterSet::All() {
  CharacterSet set;
  set.ascii.set();
  set.nonAscii = true;
  return set;
}

std::optional<ExpressionFacts> AnalyzeExpression(std::u16string_view pattern, bool caseSensitive) {
  ExpressionFacts facts;
  facts.caseless = !caseSensitive || TurnsCaseOff(pattern);
  Parser parser(pattern, facts.caseless);
  Info root;
  try {
    root = parser.Expression();
  } catch (const GiveUp&) {
    return std::nullopt;
  }
  if (!parser.AtEnd()) return std::nullopt;  // a ")" without its "("
  Strings literals = BestOf(root);
  if (Score(literals) == 0) return std::nullopt;
  // A text holding "aab" holds "ab": only the strings inside no other are sought.
  for (const std::u16string& s : literals) {
    const bool holdsAnother = std::any_of(literals.begin(), literals.end(), [&](const std::u16string& t) {
      return t != s && s.find(t) != std::u16string::npos;
    });
    if (!holdsAnother) facts.requiredLiterals.push_back(s);
  }
  facts.consumable = parser.Consumable();
  facts.first = root.first;
  facts.second = root.second;
  facts.matchMayBeOneCharacter = (root.lengths & kLength1) != 0;
  return facts;
}

}  // namespace trawlscope
