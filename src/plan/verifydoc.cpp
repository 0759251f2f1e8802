// The reader of verify documents: a small JSON parser, then the document's
// own shape.  It needs nothing but the standard library.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "plan/rollup.h"

namespace {

// The documents nest three deep; deeper input is refused before the stack
// feels it.
constexpr int kMaxDepth = 16;

struct Json {
  enum Type { kNull, kBool, kNumber, kString, kArray, kObject } type = kNull;
  std::string text;  // string, or a number as written
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  const Json* Member(const char* name) const {
    for (const auto& m : members)
      if (m.first == name) return &m.second;
    return nullptr;
  }
};

class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}

  bool Document(Json* out, std::string* why) {
    bool ok = Value(out, 0);
    if (ok) {
      Blank();
      ok = at_ == s_.size() || Fail("text after the document");
    }
    if (!ok) *why = error_ + " at byte " + std::to_string(at_);
    return ok;
  }

 private:
  bool Fail(const char* what) {
    if (error_.empty()) error_ = at_ >= s_.size() ? "the document ends early" : what;
    return false;
  }
  bool Take(char c) {
    if (at_ >= s_.size() || s_[at_] != c) return false;
    ++at_;
    return true;
  }
  void Blank() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r'))
      ++at_;
  }
  bool Literal(const char* word) {
    const std::string w = word;
    if (s_.compare(at_, w.size(), w) != 0) return Fail("unknown word");
    at_ += w.size();
    return true;
  }
  bool Value(Json* out, int depth) {
    if (depth > kMaxDepth) return Fail("nested too deep");
    Blank();
    if (at_ >= s_.size()) return Fail("the document ends early");
    const char c = s_[at_];
    if (c == '{') return Object(out, depth);
    if (c == '[') return Array(out, depth);
    if (c == '"') {
      out->type = Json::kString;
      return String(&out->text);
    }
    if (c == 't' || c == 'f') {
      out->type = Json::kBool;
      out->text = c == 't' ? "true" : "false";
      return Literal(c == 't' ? "true" : "false");
    }
    if (c == 'n') return Literal("null");
    if (c == '-' || (c >= '0' && c <= '9')) return Number(out);
    return Fail("not a JSON value");
  }
  bool Number(Json* out) {
    const size_t start = at_;
    if (s_[at_] == '-') ++at_;
    const auto digits = [this] {
      const size_t from = at_;
      while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
      return at_ > from;
    };
    if (!digits()) return Fail("bad number");
    if (at_ < s_.size() && s_[at_] == '.') {
      ++at_;
      if (!digits()) return Fail("bad number");
    }
    if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
      ++at_;
      if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
      if (!digits()) return Fail("bad number");
    }
    out->type = Json::kNumber;
    out->text = s_.substr(start, at_ - start);
    return true;
  }
  bool String(std::string* out) {
    ++at_;  // the opening quote
    while (at_ < s_.size()) {
      const unsigned char c = static_cast<unsigned char>(s_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return Fail("control character in a string");
      if (c != '\\') {
        out->push_back(static_cast<char>(c));
        continue;
      }
      if (at_ >= s_.size()) break;
      const char e = s_[at_++];
      switch (e) {
        case '"': case '\\': case '/': out->push_back(e); break;
        case 'b': out->push_back('\b'); break;
        case 'f': out->push_back('\f'); break;
        case 'n': out->push_back('\n'); break;
        case 'r': out->push_back('\r'); break;
        case 't': out->push_back('\t'); break;
        case 'u': {
          uint32_t code = 0;
          for (int i = 0; i < 4; ++i, ++at_) {
            if (at_ >= s_.size()) return Fail("the document ends early");
            const char h = s_[at_];
            const int digit = h >= '0' && h <= '9'   ? h - '0'
                              : h >= 'a' && h <= 'f' ? h - 'a' + 10
                              : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                     : -1;
            if (digit < 0) return Fail("bad \\u escape");
            code = code * 16 + static_cast<uint32_t>(digit);
          }
          // The writer escapes the code page's bytes as Latin-1 code points.
          out->push_back(code < 0x100 ? static_cast<char>(code) : '?');
          break;
        }
        default:
          return Fail("bad escape");
      }
    }
    return Fail("the document ends early");
  }
  bool Array(Json* out, int depth) {
    out->type = Json::kArray;
    ++at_;
    Blank();
    if (Take(']')) return true;
    for (;;) {
      out->items.emplace_back();
      if (!Value(&out->items.back(), depth + 1)) return false;
      Blank();
      if (at_ >= s_.size()) return Fail("the document ends early");
      if (Take(']')) return true;
      if (s_[at_++] != ',') return Fail("',' or ']' expected");
    }
  }
  bool Object(Json* out, int depth) {
    out->type = Json::kObject;
    ++at_;
    Blank();
    if (Take('}')) return true;
    for (;;) {
      Blank();
      if (at_ >= s_.size() || s_[at_] != '"') return Fail("a name expected");
      std::string name;
      if (!String(&name)) return false;
      Blank();
      if (at_ >= s_.size() || s_[at_++] != ':') return Fail("':' expected");
      out->members.emplace_back(std::move(name), Json());
      if (!Value(&out->members.back().second, depth + 1)) return false;
      Blank();
      if (at_ >= s_.size()) return Fail("the document ends early");
      if (Take('}')) return true;
      if (s_[at_++] != ',') return Fail("',' or '}' expected");
    }
  }

  const std::string& s_;
  size_t at_ = 0;
  std::string error_;
};

// The document's shape.
bool Text(const Json& object, const char* name, std::string* out) {
  const Json* v = object.Member(name);
  if (v == nullptr || v->type != Json::kString) return false;
  *out = v->text;
  return true;
}

bool Traces(const Json& object, const char* name, std::vector<SvTrace>* out) {
  const Json* v = object.Member(name);
  if (v == nullptr || v->type != Json::kArray) return false;
  for (const Json& item : v->items) {
    SvTrace t;
    if (item.type != Json::kObject || !Text(item, "kind", &t.kind) ||
        !Text(item, "where", &t.where) || !Text(item, "item", &t.item) ||
        !Text(item, "note", &t.note) || t.kind.empty())
      return false;
    out->push_back(std::move(t));
  }
  return true;
}

}  // namespace

const char* SvVerdictName(SvVerdict verdict) {
  switch (verdict) {
    case SvVerdict::kClean: return "clean";
    case SvVerdict::kRestartPending: return "restart pending";
    case SvVerdict::kTracesRemain: return "traces remain";
    case SvVerdict::kCannotTell: return "cannot tell";
  }
  return "cannot tell";
}

bool SvReadVerifyDocument(const std::string& bytes, SvVerifyResult* result, std::string* why) {
  if (bytes.size() > kSvMaxVerifyDocument) {
    *why = "too large for a verify document";
    return false;
  }
  Json doc;
  std::string error;
  if (!Parser(bytes).Document(&doc, &error)) {
    *why = "not JSON: " + error;
    return false;
  }
  const Json* format = doc.Member("verify");
  if (doc.type != Json::kObject || format == nullptr || format->type != Json::kNumber ||
      format->text != "1") {
    *why = "not a verify document";
    return false;
  }
  SvVerifyResult r;
  std::string verdict;
  const Json* code = doc.Member("exit_code");
  const Json* ops = doc.Member("pending_operations");
  const Json* last = doc.Member("last_run");
  bool ok = Text(doc, "computer", &r.computer) && Text(doc, "verdict", &verdict) &&
            Text(doc, "reason", &r.reason) && code != nullptr && code->type == Json::kNumber &&
            Traces(doc, "traces", &r.traces) && Traces(doc, "at_restart", &r.atRestart) &&
            ops != nullptr && ops->type == Json::kArray && last != nullptr &&
            last->type == Json::kObject && Text(*last, "outcome", &r.lastRun.outcome) &&
            Text(*last, "phase", &r.lastRun.phase) && Text(*last, "message", &r.lastRun.message) &&
            Text(*last, "log", &r.lastRun.log);
  if (ok) {
    for (const Json& op : ops->items) {
      ok = ok && op.type == Json::kString;
      if (ok) r.pendingOperations.push_back(op.text);
    }
  }
  bool known = false;
  for (SvVerdict v : {SvVerdict::kClean, SvVerdict::kRestartPending, SvVerdict::kTracesRemain,
                      SvVerdict::kCannotTell}) {
    if (ok && verdict == SvVerdictName(v) && code->text == std::to_string(static_cast<int>(v))) {
      r.verdict = v;
      known = true;
    }
  }
  if (!ok || !known) {
    *why = "a verify document with fields missing or out of place";
    return false;
  }
  *result = std::move(r);
  return true;
}
