#include "cli/verbs.h"

namespace lq::cli {

const std::vector<Verb>& verbs() {
  // name, op, arguments, their controls, fixed controls, summary
  static const std::vector<Verb> table = {
      {"prefix", 1, {"TEXT"}, {"Edit_leftadd1"}, {}, "put TEXT before the scope's text"},
      {"suffix", 2, {"TEXT"}, {"Edit_rightadd1"}, {}, "put TEXT after the scope's text"},
      {"pad", 3, {"N"}, {"Edit_full1"}, {}, "fill the scope's text with blanks to N bytes"},
      {"replace",
       4,
       {"OLD", "NEW"},
       {"Edit_th1", "Edit_th2"},
       {},
       "replace OLD with NEW (-E: OLD is a regular expression, -w: wildcards)"},
      {"save-as",
       5,
       {"SUFFIX"},
       {"Edit_saveas1"},
       {},
       "write the scope's text to a copy named FILE plus SUFFIX"},
      {"find", 6, {"TEXT"}, {"Edit_find1"}, {}, "print every occurrence of TEXT; changes nothing"},
      {"gb2big5", 7, {}, {}, {}, "GB2312 characters to Big5"},
      {"big52gb", 8, {}, {}, {}, "Big5 characters to GB2312"},
      {"lower", 9, {}, {}, {}, "letters to lower case"},
      {"upper", 10, {}, {}, {}, "letters to upper case"},
      {"delete-blank", 11, {}, {}, {}, "delete every blank line"},
      {"delete", 12, {}, {}, {}, "delete the scope's text"},
      {"clean-web", 13, {}, {}, {}, "full-width blanks of text copied from web pages to blanks"},
      {"base64-decode", 14, {}, {}, {}, "decode Base64"},
      {"base64", 15, {}, {}, {}, "encode as Base64"},
      {"join", 16, {}, {}, {}, "join all lines into one"},
      {"add", 18, {"N"}, {"Edit_add1"}, {}, "add N to the scope's text read as a number"},
      {"subtract", 19, {"N"}, {"Edit_dec1"}, {}, "subtract N from the scope's text as a number"},
      {"t2s", 20, {}, {}, {}, "traditional characters to simplified"},
      {"s2t", 21, {}, {}, {}, "simplified characters to traditional"},
      {"dedupe", 22, {}, {}, {}, "delete repeated lines"},
      {"transpose", 23, {"SEP"}, {"Edit_row_to_col1"}, {}, "swap rows and columns split at SEP"},
      {"split-file",
       24,
       {"N", "NAME"},
       {"Edit_sp_file1", "Edit_sp_file2"},
       {},
       "split each file into parts of N lines named NAME (%d: the part's number)"},
      {"md5", 25, {}, {}, {}, "the MD5 digest of the scope's text"},
      {"to-gbk", 26, {}, {}, {{"RadioButton_Unicode2", "1"}}, "UTF-8 files to GBK"},
      {"to-utf8", 26, {}, {}, {{"RadioButton_Unicode3", "1"}}, "GBK files to UTF-8"},
      {"squeeze-blank", 27, {"N"}, {"Edit_blank_line1"}, {}, "keep at most N blank lines in a row"},
      {"script", 28, {"FILE"}, {"txtScript"}, {}, "run the script in FILE over every piece", true},
  };
  return table;
}

const Verb* find_verb(std::string_view name) {
  for (const Verb& v : verbs())
    if (v.name == name) return &v;
  return nullptr;
}

}  // namespace lq::cli
