// Small helpers shared by the editor tests.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/editor/editor_model.h"

namespace lq::test {

// Bytes shown so that a failure message is readable: printable ASCII as is, the rest as \xNN.
inline std::string show(std::string_view s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return out;
}

inline std::vector<std::string> rows_of(const RowStore& rows) {
  return rows.to_lines();
}

class FakeClipboard : public EditorClipboard {
 public:
  void set_text(std::string_view bytes, const CodePage& code_page) override {
    if (fail) throw std::runtime_error("clipboard busy");
    content.assign(bytes);
    page = &code_page;
  }
  ClipboardText text() override {
    if (fail) throw std::runtime_error("clipboard busy");
    return {content, page};
  }
  std::string content;
  const CodePage* page = nullptr;  // the program's
  bool fail = false;
};

class CountingClient : public EditorClient {
 public:
  // Room for the reports, so that one made while memory is short needs none.
  CountingClient() { troubles.reserve(16); }
  void OnChange(EditorModel&) override { ++changes; }
  void word_selected() override { ++words; }
  bool rewrap_later() override { return defer_rewrap; }
  void history_trouble(HistoryTrouble what) override { troubles.push_back(what); }
  std::vector<HistoryTrouble> troubles;
  int changes = 0;
  int words = 0;
  bool defer_rewrap = false;
};

// An editor holding rows, with a fake clipboard and a counting client attached.
struct Ed {
  explicit Ed(std::vector<std::string> rows = {}) {
    m.set_client(&client);
    m.set_clipboard(&clip);
    std::string text;
    for (auto& r : rows) text += r + "\r\n";
    m.set_all_text(text);
  }
  void caret(int col, int line) {
    m.set_caret_row(line - m.top_line());
    m.set_caret_col(col - m.h_offset());
  }
  void select(EditPos anchor, EditPos end) {
    m.set_sel_anchor(anchor);
    m.set_sel_end(end);
  }
  std::vector<std::string> rows() const { return m.Lines().to_lines(); }

  EditorModel m;
  FakeClipboard clip;
  CountingClient client;
};

}  // namespace lq::test
