#include "core/textsvc/message_catalogue.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "core/encoding/code_page.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

int MessageCatalogue::index_of(std::string_view name) const {
  for (size_t k = 0; k < lines_.size(); ++k) {
    const std::string& line = lines_[k];
    const size_t eq = line.find('=');
    if (eq != std::string::npos && same_text(std::string_view(line).substr(0, eq), name))
      return static_cast<int>(k);
  }
  return -1;
}

std::string MessageCatalogue::value(std::string_view name) const {
  const int k = index_of(name);
  if (k < 0) return {};
  const std::string& line = lines_[static_cast<size_t>(k)];
  return line.substr(line.find('=') + 1);
}

void MessageCatalogue::set_value(std::string_view name, std::string_view value) {
  const int k = index_of(name);
  if (value.empty()) {
    if (k >= 0) lines_.erase(lines_.begin() + k);
    return;
  }
  std::string line = std::string(name) + "=" + std::string(value);
  if (k >= 0)
    lines_[static_cast<size_t>(k)] = std::move(line);
  else
    lines_.push_back(std::move(line));
}

void MessageCatalogue::save(const std::string& file_name) const {
  save_lines(file_name, lines_);
}

namespace catalogue_text {

std::string get_text(MessageCatalogue& catalogue, std::string_view id,
                     std::string_view default_text) {
  const std::string name = text_parts::crlf_to_tab(trim(id));
  std::string value = catalogue.value(name);
  if (is_blank(value)) {
    value = text_parts::crlf_to_tab(default_text);
    catalogue.set_value(name, value);
  }
  return text_parts::tab_to_crlf(value);
}

std::string get_text(MessageCatalogue& catalogue, const MessageId& message) {
  return get_text(catalogue, message.id, code_page().from_utf8(message.default_utf8));
}

void apply_form(ITranslatableForm& form, const MessageCatalogue& catalogue) {
  for (int k = 0; k < form.item_count(); ++k) {
    const int tag = form.tag(k);
    if (tag <= 100) continue;
    const std::string name = std::to_string(tag);
    if (const std::string text = catalogue.value(name); !text.empty())
      form.set_text(k, text_parts::tab_to_crlf(text));
    if (const std::string hint = catalogue.value(name + ".hint"); !hint.empty())
      form.set_hint(k, text_parts::tab_to_crlf(hint));
  }
}

void save_form(const ITranslatableForm& form, MessageCatalogue* catalogue,
               const std::string& file_name) {
  MessageCatalogue empty;
  MessageCatalogue& cat = catalogue ? *catalogue : empty;
  for (int k = 0; k < form.item_count(); ++k) {
    const std::string name = text_parts::crlf_to_tab(std::to_string(form.tag(k)));
    cat.set_value(name, text_parts::crlf_to_tab(form.text(k)));
    cat.set_value(name + ".hint", text_parts::crlf_to_tab(form.hint(k)));
  }
  cat.save(file_name);
}

}  // namespace catalogue_text

namespace {

std::mutex& handler_mutex() {
  static std::mutex m;
  return m;
}

MsgBoxHandler& handler() {
  static MsgBoxHandler h;
  return h;
}

}  // namespace

void set_msg_box_handler(MsgBoxHandler h) {
  std::lock_guard lock(handler_mutex());
  handler() = std::move(h);
}

bool msg_box(std::string_view text, bool ask, std::string_view caption) {
  MsgBoxHandler h;
  {
    std::lock_guard lock(handler_mutex());
    h = handler();
  }
  if (h) return h(text, ask, caption) && ask;
  const std::string shown = code_page().to_utf8(text);
  std::fprintf(stderr, "%s\n", shown.c_str());
  return false;
}

}  // namespace lq
