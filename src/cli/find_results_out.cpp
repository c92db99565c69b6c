#include "cli/find_results_out.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "cli/find_json.h"
#include "core/encoding/code_page.h"

namespace lq::cli {

FindResultsOut::FindResultsOut(std::optional<std::string> file, std::string stdin_path,
                               std::vector<FindMatch>* matches)
    : file_(std::move(file)), stdin_path_(std::move(stdin_path)), matches_(matches) {}

std::string FindResultsOut::shown(const std::string& path) const {
  return !stdin_path_.empty() && path == stdin_path_ ? std::string("-") : path;
}

void FindResultsOut::take(std::vector<std::string>& results) {
  if (matches_) {
    for (const FindMatch& m : *matches_)
      std::printf("%s\n", find_match_json(m, shown(m.file_name)).c_str());
    matches_->clear();
  } else if (file_) {
    for (const std::string& line : results) {
      write(line);
      write("\n");
    }
  } else {
    const std::string head = gbk_code_page().from_utf8("文件名=");
    for (std::string& line : results) {
      if (!stdin_path_.empty() && line.starts_with(head + stdin_path_))
        line.replace(head.size(), stdin_path_.size(), "-");
      std::printf("%s\n", gbk_code_page().to_utf8(line).c_str());
    }
  }
  results.clear();
}

void FindResultsOut::take_text(std::string_view lines) {
  write(lines);
}

void FindResultsOut::write(std::string_view bytes) {
  if (error_.empty()) try {
      if (!out_) out_ = std::make_unique<ReplacingFile>(*file_);
      out_->write(bytes);
    } catch (const std::exception& e) {
      error_ = e.what();
      out_.reset();
    }
}

bool FindResultsOut::finish(std::vector<std::string>& results, std::string& error) {
  take(results);
  if (file_ && error_.empty()) try {
      if (!out_) out_ = std::make_unique<ReplacingFile>(*file_);
      out_->commit();
    } catch (const std::exception& e) {
      error_ = e.what();
    }
  out_.reset();
  error = error_;
  return error_.empty();
}

}  // namespace lq::cli
