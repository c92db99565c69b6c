#include "core/operations/script_engine.h"

#include <cstdlib>
#include <cstring>
#include <exception>

#include "core/encoding/code_page.h"
#include "core/operations/script_prelude.h"
#include "core/textsvc/str_helpers.h"
#include "duktape.h"

namespace lq {
namespace {

// A script that allocates without end fails with an error instead of taking the machine.
constexpr size_t kMemoryLimit = 256 * 1024 * 1024;

bool all_ascii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

void append_code_unit(std::string& out, unsigned cp) {  // cp < 0x10000
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// A byte that does not decode travels as U+DC00 + byte (only bytes >= 0x80 need it).
constexpr unsigned kEscapeBase = 0xDC00;

bool decodes_exactly(std::string_view bytes, std::string& utf8, const CodePage& page) {
  utf8 = page.to_utf8(bytes);
  return utf8.find("\xEF\xBF\xBD") == std::string::npos && page.from_utf8(utf8) == bytes;
}

// Three-byte sequence at i of a surrogate code unit, or 0.
unsigned surrogate_at(std::string_view s, size_t i) {
  if (i + 2 >= s.size() || static_cast<unsigned char>(s[i]) != 0xED) return 0;
  unsigned b1 = static_cast<unsigned char>(s[i + 1]), b2 = static_cast<unsigned char>(s[i + 2]);
  if (b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80) return 0;
  return 0xD000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
}

}  // namespace

std::string gbk_to_script(std::string_view bytes, const CodePage& page) {
  if (all_ascii(bytes)) return std::string(bytes);
  std::string whole;
  if (decodes_exactly(bytes, whole, page)) return whole;
  // Slow path, only for pieces holding bytes that do not decode: character by character.
  std::string out, one;
  size_t i = 0;
  while (i < bytes.size()) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    size_t n = page.char_len_at(bytes, i);
    if (n > 1 && decodes_exactly(bytes.substr(i, n), one, page)) {
      out += one;
      i += n;
      continue;
    }
    if (n == 1 && decodes_exactly(bytes.substr(i, 1), one, page)) {
      out += one;
    } else {
      append_code_unit(out, kEscapeBase + b);  // the next byte starts afresh
    }
    ++i;
  }
  return out;
}

std::string script_to_gbk(std::string_view text, const CodePage& page) {
  if (all_ascii(text)) return std::string(text);
  if (text.find('\xED') == std::string_view::npos) return page.from_utf8(text);
  std::string out, pending;  // pending: plain UTF-8 not yet converted
  auto flush = [&] {
    out += page.from_utf8(pending);
    pending.clear();
  };
  size_t i = 0;
  while (i < text.size()) {
    unsigned cu = surrogate_at(text, i);
    if (!cu) {
      pending += text[i++];
      continue;
    }
    unsigned low = cu < 0xDC00 ? surrogate_at(text, i + 3) : 0;
    if (low >= 0xDC00) {  // a pair: one character outside the BMP, as four-byte UTF-8
      unsigned cp = 0x10000 + ((cu - 0xD800) << 10) + (low - 0xDC00);
      pending += static_cast<char>(0xF0 | (cp >> 18));
      pending += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      pending += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      pending += static_cast<char>(0x80 | (cp & 0x3F));
      i += 6;
    } else if (cu >= kEscapeBase + 0x80 && cu <= kEscapeBase + 0xFF) {
      flush();
      out += static_cast<char>(cu - kEscapeBase);
      i += 3;
    } else {  // a lone surrogate the script made up: not a character
      flush();
      out += '?';
      i += 3;
    }
  }
  flush();
  return out;
}

struct ScriptEngine::Impl {
  duk_context* ctx = nullptr;
  bool compiled = false;
  std::string piece;  // the current piece in the engine's encoding
  bool assigned = false;
  const CodePage* page = nullptr;  // the code page of the script and of the pieces

  std::chrono::milliseconds time_limit;
  bool armed = false;
  bool timed_out = false;
  std::chrono::steady_clock::time_point deadline;

  size_t used = 0;  // bytes allocated by the engine

  ~Impl() {
    if (ctx) duk_destroy_heap(ctx);
  }
};

namespace {

using Impl = ScriptEngine::Impl;

// Allocation with a size header so the engine's total can be capped.
constexpr size_t kHeader = 16;

void* engine_alloc(void* udata, duk_size_t size) {
  auto* self = static_cast<Impl*>(udata);
  if (size == 0) return nullptr;
  if (self->used + size > kMemoryLimit) return nullptr;
  auto* p = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (!p) return nullptr;
  std::memcpy(p, &size, sizeof size);
  self->used += size;
  return p + kHeader;
}

void engine_free(void* udata, void* ptr) {
  if (!ptr) return;
  auto* self = static_cast<Impl*>(udata);
  auto* p = static_cast<unsigned char*>(ptr) - kHeader;
  size_t size;
  std::memcpy(&size, p, sizeof size);
  self->used -= size;
  std::free(p);
}

void* engine_realloc(void* udata, void* ptr, duk_size_t size) {
  if (!ptr) return engine_alloc(udata, size);
  if (size == 0) {
    engine_free(udata, ptr);
    return nullptr;
  }
  auto* self = static_cast<Impl*>(udata);
  auto* p = static_cast<unsigned char*>(ptr) - kHeader;
  size_t old;
  std::memcpy(&old, p, sizeof old);
  if (size > old && self->used + (size - old) > kMemoryLimit) return nullptr;
  auto* q = static_cast<unsigned char*>(std::realloc(p, size + kHeader));
  if (!q) return nullptr;
  std::memcpy(q, &size, sizeof size);
  self->used = self->used - old + size;
  return q + kHeader;
}

void engine_fatal(void*, const char* msg) {
  throw std::runtime_error(msg ? msg : "script engine");
}

Impl* self_of(duk_context* ctx) {
  duk_memory_functions funcs;
  duk_get_memory_functions(ctx, &funcs);
  return static_cast<Impl*>(funcs.udata);
}

bool is_text_key(duk_context* ctx, duk_idx_t idx) {
  if (!duk_is_string(ctx, idx)) return false;
  duk_size_t len = 0;
  const char* k = duk_get_lstring(ctx, idx, &len);
  return len == 4 && same_text(std::string_view(k, len), "text");
}

// line's get trap (target, key, receiver): `text` in any letter case is the piece.
duk_ret_t line_get(duk_context* ctx) {
  if (is_text_key(ctx, 1)) {
    const std::string& piece = self_of(ctx)->piece;
    duk_push_lstring(ctx, piece.data(), piece.size());
    return 1;
  }
  duk_dup(ctx, 1);
  duk_get_prop(ctx, 0);
  return 1;
}

// line's set trap (target, key, value, receiver): assigning `text` stores the value as a
// string.
duk_ret_t line_set(duk_context* ctx) {
  if (is_text_key(ctx, 1)) {
    duk_size_t len = 0;
    const char* s = duk_to_lstring(ctx, 2, &len);
    Impl* self = self_of(ctx);
    self->piece.assign(s, len);
    self->assigned = true;
  } else {
    duk_dup(ctx, 1);
    duk_dup(ctx, 2);
    duk_put_prop(ctx, 0);
  }
  duk_push_true(ctx);
  return 1;
}

// th(s, os, ns): every os in s replaced by ns, letters compared without case, left to
// right, replaced text not searched again. Works on the engine's UTF-8, where a byte
// search cannot start inside a character.
duk_ret_t native_th(duk_context* ctx) {
  duk_size_t n0 = 0, n1 = 0, n2 = 0;
  const char* s = duk_to_lstring(ctx, 0, &n0);
  const char* os = duk_to_lstring(ctx, 1, &n1);
  const char* ns = duk_to_lstring(ctx, 2, &n2);
  std::string_view text(s, n0), from(os, n1), to(ns, n2);
  if (from.empty()) {
    duk_dup(ctx, 0);
    return 1;
  }
  std::string hay = lower_ascii(text), needle = lower_ascii(from), out;
  size_t copied = 0;
  for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, copied)) {
    out.append(text, copied, at - copied);
    out.append(to);
    copied = at + needle.size();
  }
  out.append(text, copied, std::string_view::npos);
  duk_push_lstring(ctx, out.data(), out.size());
  return 1;
}

// StrToInt with the program's integer syntax.
duk_ret_t native_str_to_int(duk_context* ctx) {
  duk_size_t len = 0;
  const char* s = duk_to_lstring(ctx, 0, &len);
  int value = 0;
  if (!parse_int(std::string_view(s, len), value))
    return duk_error(ctx, DUK_ERR_ERROR, "'%s' is not a valid integer value", s);
  duk_push_int(ctx, value);
  return 1;
}

// The error on top of the stack as one line of text, with its line when known. The value
// is copied first because converting it to a string replaces it.
std::string describe_error(duk_context* ctx) {
  duk_dup(ctx, -1);
  std::string text = duk_safe_to_string(ctx, -1);
  duk_pop(ctx);
  if (duk_is_object(ctx, -1) && text.find("(line ") == std::string::npos) {
    duk_get_prop_string(ctx, -1, "lineNumber");
    if (duk_is_number(ctx, -1))
      text += " (line " + std::to_string(static_cast<long>(duk_get_number(ctx, -1))) + ")";
    duk_pop(ctx);
  }
  return script_to_gbk(text);
}

}  // namespace

ScriptEngine::ScriptEngine(std::chrono::milliseconds time_limit, const CodePage& page)
    : impl_(std::make_unique<Impl>()) {
  impl_->time_limit = time_limit;
  impl_->page = &page;
}

ScriptEngine::~ScriptEngine() = default;

bool ScriptEngine::compile(std::string_view script, std::string& error) {
  Impl& im = *impl_;
  try {
    if (im.ctx) duk_destroy_heap(im.ctx);
    im.compiled = false;
    im.ctx = duk_create_heap(engine_alloc, engine_realloc, engine_free, &im, engine_fatal);
    if (!im.ctx) {
      error = "script engine: out of memory";
      return false;
    }
    duk_context* ctx = im.ctx;

    // line: a proxy whose `text` property is the current piece.
    duk_push_object(ctx);
    duk_push_object(ctx);
    duk_push_c_function(ctx, line_get, 3);
    duk_put_prop_string(ctx, -2, "get");
    duk_push_c_function(ctx, line_set, 4);
    duk_put_prop_string(ctx, -2, "set");
    duk_push_proxy(ctx, 0);
    duk_put_global_string(ctx, "line");

    if (duk_peval_string(ctx, kScriptPrelude) != 0) {
      error = "script prelude: " + describe_error(ctx);
      return false;
    }
    duk_push_global_object(ctx);
    duk_push_object(ctx);
    duk_push_c_function(ctx, native_th, 3);
    duk_put_prop_string(ctx, -2, "th");
    duk_push_c_function(ctx, native_str_to_int, 1);
    duk_put_prop_string(ctx, -2, "StrToInt");
    if (duk_pcall(ctx, 2) != 0) {
      error = "script prelude: " + describe_error(ctx);
      return false;
    }
    duk_pop(ctx);

    std::string source = gbk_to_script(script, *im.page);
    duk_push_string(ctx, "script");
    if (duk_pcompile_lstring_filename(ctx, 0, source.data(), source.size()) != 0) {
      error = describe_error(ctx);
      duk_pop(ctx);
      return false;
    }
    // The compiled program stays at the bottom of the value stack for every run.
    im.compiled = true;
    return true;
  } catch (const std::exception& e) {
    error = std::string("script engine: ") + e.what();
    return false;
  }
}

ScriptEngine::Outcome ScriptEngine::run(std::string& piece, std::string& error) {
  Impl& im = *impl_;
  if (!im.compiled) {
    error = "script not compiled";
    return Outcome::RuntimeError;
  }
  duk_context* ctx = im.ctx;
  try {
    im.piece = gbk_to_script(piece, *im.page);
    im.assigned = false;
    im.deadline = std::chrono::steady_clock::now() + im.time_limit;
    im.armed = true;
    duk_dup(ctx, 0);
    int rc = duk_pcall(ctx, 0);
    im.armed = false;
    if (im.timed_out) {
      duk_pop(ctx);
      im.compiled = false;  // the engine may be deep in the script's state: use no more
      error = "execution timeout";
      return Outcome::TimedOut;
    }
    if (rc != 0) {
      error = describe_error(ctx);
      duk_pop(ctx);
      return Outcome::RuntimeError;
    }
    duk_pop(ctx);
    if (im.assigned) piece = script_to_gbk(im.piece, *im.page);
    return Outcome::Done;
  } catch (const std::exception& e) {
    im.armed = false;
    im.compiled = false;
    error = std::string("script engine: ") + e.what();
    return Outcome::RuntimeError;
  }
}

}  // namespace lq

// Called by the engine every few hundred thousand instructions. Once the deadline has
// passed it keeps answering true so that the error cannot be caught by the script.
extern "C" int lq_duk_exec_timeout_check(void* udata) {
  auto* self = static_cast<lq::ScriptEngine::Impl*>(udata);
  if (!self || !self->armed) return 0;
  if (!self->timed_out && std::chrono::steady_clock::now() > self->deadline) self->timed_out = true;
  return self->timed_out ? 1 : 0;
}
