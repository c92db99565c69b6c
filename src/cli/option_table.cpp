#include "cli/option_table.h"

#include <algorithm>
#include <set>

#include "cli/verbs.h"
#include "core/operations/catalogue.h"
#include "core/scope/scope_settings.h"
#include "core/textsvc/str_helpers.h"

namespace lq::cli {
namespace {

const std::vector<std::string_view> kGroups = {
    "Files:",
    "What to do:",
    "Files' text:",
    "Templates:",
    "Undo (every run that writes is kept in the journal, batch/ in the program\ndirectory; the "
    "last 20 runs up to 1 GB, see sys1.ini [journal]):",
    "Running:"};

const std::vector<OptionDoc> kOptions = {
    {{"PATH"},
     "",
     0,
     Value::Argument,
     "a file (taken as is, never filtered) or a directory (its files,\nfiltered by the extension "
     "list); a path that does not exist\nis an error;\n\"<剪贴板>\" stands for the clipboard, "
     "which has no text here:\nit is processed as an empty document and nothing is written",
     R"roff()roff",
     R"roff()roff"},
    {{"-"},
     "",
     0,
     Value::Argument,
     "the only PATH: read standard input, write the result to standard\noutput (find: the "
     "results); nothing is journaled",
     R"roff()roff",
     R"roff()roff"},
    {{"--files-from"},
     "F",
     0,
     Value::File,
     "more PATHs from file F, one a line (F \"-\": standard input)",
     R"roff(Adds the paths listed in file
.IR F ,
one a line (empty lines are skipped), after those of the command line;
.I F
as
.B \-
reads the list from standard input.
Every listed path is checked like a
.IR PATH .)roff",
     R"roff(在命令行的路径之后加入文件
.I F
中列出的路径，每行一个（跳过空行）；
.I F
为
.B \-
时从标准输入读取列表。
每个列出的路径都像
.I 路径
一样检查。)roff"},
    {{"-0", "--null"},
     "",
     0,
     Value::None,
     "with --files-from: paths end with a NUL byte (find -print0)",
     R"roff(With
.BR \-\-files\-from :
the paths end with a NUL byte instead of a line end, as
.B find \-print0
writes them, so any file name passes.)roff",
     R"roff(与
.B \-\-files\-from
一起使用：路径以 NUL 字节结尾而不是换行，正如
.B find \-print0
的输出，因此任何文件名都能通过。)roff"},
    {{"-r", "--recursive"},
     "",
     0,
     Value::None,
     "take directories with all their subdirectories",
     R"roff(Add directories with all their subdirectories.)roff",
     R"roff(加入目录时包括它的全部子目录。)roff"},
    {{"--ext"},
     "LIST",
     0,
     Value::Free,
     "extensions separated by ';', e.g. \".txt;.htm\" (default: the\nlines of ext1.txt in the "
     "program directory, else the built-in list)",
     R"roff(The extension list used to filter the files of directories, items separated by
.RB \(aq ; \(aq,
each with its leading dot, for example
.BR \(aq.txt;.htm\(aq .
The default is the list in
.I ext1.txt
of the program directory (see
.BR FILES ),
else the built\-in list
.BR ".txt .htm .html .c .cpp .h .hpp .pas .dpr .bpr .asp .php .cgi .ini .bat .inc .java .py" .)roff",
     R"roff(用来过滤目录中文件的扩展名列表，各项以
.RB \(aq ; \(aq
分隔，每项带前导点，例如
.BR \(aq.txt;.htm\(aq 。
默认使用程序目录中
.I ext1.txt
的列表（见
.BR 文件 ），
没有时使用内置列表
.BR ".txt .htm .html .c .cpp .h .hpp .pas .dpr .bpr .asp .php .cgi .ini .bat .inc .java .py" 。)roff"},
    {{"--scope"},
     "N",
     1,
     Value::Scope,
     "scope mode 1..15 (default 1: whole lines)",
     R"roff(The scope mode, 1..15 (default 1, the whole line); see
.BR SCOPES .)roff",
     R"roff(作用范围模式，1..15（默认 1，整行）；见
.BR 作用范围 。)roff"},
    {{"--op"},
     "OP",
     1,
     Value::Op,
     "the operation: its number 1..28 or its panel class name\n(case-insensitive); 20 and 21 pick "
     "the choice of the shared panel;\nwithout --op the files are only read and written back",
     R"roff(The enabled operation: its number 1..28 or its panel class name (case\-insensitive);
see
.BR OPERATIONS .
20 and 21 select the two choices of the shared panel
.BR TControlForm_ft2gb .
Without
.B \-\-op
no operation is enabled: files are only read and written back, which changes
nothing unless
.B \-\-eol
asks for other line ends.
Operations that are not available yet are refused with a clear message.)roff",
     R"roff(启用的操作：编号 1..28 或其面板类名（不区分大小写）；见
.BR 操作 。
20 和 21 选择共用面板
.B TControlForm_ft2gb
的两个选项。
不给
.B \-\-op
时不启用任何操作：文件只是读入再写回，
除非用
.B \-\-eol
指定别的行尾，否则什么也不改变。
尚未提供的操作会被拒绝，并给出明确的提示。)roff"},
    {{"--set"},
     "NAME=VALUE",
     1,
     Value::Control,
     "set a scope or operation control by its name, e.g.\n--set Edit_fw_qj1=5 or --set "
     "Edit_th1=foo; check boxes and radio\nbuttons take 1 or 0; VALUE is text, written in each "
     "file's\ncode page (repeatable)",
     R"roff(Set a scope or operation control by its name (for example
.BR Edit_th1=foo ).
Check boxes and radio buttons take 1 or 0.
VALUE is text (UTF\-8), written in each file's code page when the run reaches
the file, unless
.B \-\-raw\-params
is given; a character that code page cannot hold stops the run there (see
.BR DIAGNOSTICS ).
May be repeated.)roff",
     R"roff(按控件名设置一个作用范围或操作的控件（例如
.BR Edit_th1=foo ）。
复选框和单选按钮取 1 或 0。
值是文字（UTF\-8），处理到每个文件时按该文件的字符编码写入，
除非给出
.BR \-\-raw\-params ；
文件的字符编码不能表示的字符会使处理在该文件处停止（见
.BR 诊断信息 ）。
可重复使用。)roff"},
    {{"--set-file"},
     "NAME=F",
     1,
     Value::ControlFile,
     "the same with the value read from file F as raw bytes",
     R"roff(The same, with the value read from the file
.I F
as raw bytes.)roff",
     R"roff(同上，值取自该文件的原始字节。)roff"},
    {{"--raw-params"},
     "",
     1,
     Value::None,
     "take every --set value and --multi row as bytes, unconverted,\nwhatever a file's code page",
     R"roff(Take every
.B \-\-set
value and
.B \-\-multi
row as bytes, unconverted, whatever a file's code page.)roff",
     R"roff(所有
.B \-\-set
的值和
.B \-\-multi
的各行都按字节原样使用，不作转换，不论文件是什么字符编码。)roff"},
    {{"--multi"},
     "F",
     1,
     Value::File,
     "rows \"old=new\", one per line, as the multi-replace table of [4]",
     R"roff(Rows
.RI \(dq old = new \(dq,
one per line, used as the multi\-replace table of operation [4].)roff",
     R"roff(每行一条 \(dq旧=新\(dq，作为操作 [4] 的多项替换表。)roff"},
    {{"--recipe"},
     "F",
     1,
     Value::File,
     "scope, operation and values from a recipe file; --scope, --op and\n--set given as well take "
     "precedence",
     R"roff(Read the scope, the operation and the control values from the recipe file
.I F
(INI format, UTF\-8: a
.B [scope]
section and an
.B [operation]
section whose keys are control names, and an optional
.B [file]
section with the keys
.BR encoding " (" auto ", " gbk ", " utf\-8 ),
.BR eol " (" keep ", " crlf ", " lf )
and
.BR binary " (1 or 0)).
Values are text, written in each file's code page like those of
.BR \-\-set ;
a quoted value with
.BI \ex HH
escapes stands for bytes of GBK.
Recipes written by earlier versions read as they always did.
.BR \-\-set ,
.BR \-\-encoding ,
.B \-\-eol
and
.B \-\-binary
given as well override its values; what the
.B [file]
section leaves out comes from the settings.)roff",
     R"roff(从配方文件读取作用范围、操作和控件值
（INI 格式，UTF\-8：一个
.B [scope]
节和一个
.B [operation]
节，键为控件名；还可以有一个
.B [file]
节，键为
.BR encoding （ auto 、 gbk 、 utf\-8 ）、
.BR eol （ keep 、 crlf 、 lf ）
和
.BR binary "（1 或 0））。"
值是文字，和
.B \-\-set
的值一样按每个文件的字符编码写入；
带
.BI \ex HH
转义的带引号的值表示 GBK 字节。
以前版本写的配方照旧读取。
同时给出的
.BR \-\-set 、
.BR \-\-encoding 、
.B \-\-eol
和
.B \-\-binary
优先；
.B [file]
节中没有的项取自设置。)roff"},
    {{"--save-recipe"},
     "F",
     1,
     Value::File,
     "write the effective recipe (same format) and exit",
     R"roff(Write the effective recipe, in the same format, to
.I F
and exit without processing anything.)roff",
     R"roff(把实际生效的配方以同样格式写入该文件，然后退出，不处理任何文件。)roff"},
    {{"-s", "--case-sensitive", "-i", "--ignore-case"},
     "",
     1,
     Value::None,
     "override the \"区分大小写\" setting of sys1.ini for this run",
     R"roff(Override the setting \(dq区分大小写\(dq (case sensitivity) of the settings file
for this run.)roff",
     R"roff(本次运行中代替设置文件里的\(dq区分大小写\(dq。)roff"},
    {{"-E"},
     "",
     1,
     Value::None,
     "with replace: OLD is a regular expression",
     R"roff(With the
.B replace
command: OLD is a regular expression (the same as
.BR "\-\-set CheckBox_th_r2=1" ).)roff",
     R"roff(与
.B replace
命令一起使用：OLD 是正则表达式（等同于
.BR "\-\-set CheckBox_th_r2=1" ）。)roff"},
    {{"-w"},
     "",
     1,
     Value::None,
     "with replace: OLD holds wildcards",
     R"roff(With the
.B replace
command: OLD holds wildcards (the same as
.BR "\-\-set CheckBox_th_r1=1" ).)roff",
     R"roff(与
.B replace
命令一起使用：OLD 含通配符（等同于
.BR "\-\-set CheckBox_th_r1=1" ）。)roff"},
    {{"--encoding"},
     "E",
     2,
     Value::Encoding,
     "the code page of every file: auto (default: decided per file:\na UTF-8 byte-order mark means "
     "UTF-8, text that is not valid UTF-8\nis GBK, otherwise the charset detector decides), gbk or "
     "utf-8",
     R"roff(The code page of every file:
.B auto
(the default: decided per file),
.B gbk
or
.BR utf\-8 ;
see
.BR "CODE PAGES AND LINE ENDS" .)roff",
     R"roff(所有文件的字符编码：
.B auto
（默认，\(dq自动\(dq：逐个文件判断）、
.B gbk
或
.BR utf\-8 ；
见
.BR 字符编码与行尾 。)roff"},
    {{"--eol"},
     "E",
     2,
     Value::Eol,
     "line ends written: keep (default: each line's own), crlf, lf",
     R"roff(The line ends written:
.B keep
(the default: each line's own),
.B crlf
or
.BR lf .)roff",
     R"roff(写入的行尾：
.B keep
（默认，\(dq保持原样\(dq：每行用它自己的行尾）、
.B crlf
或
.BR lf 。)roff"},
    {{"--binary"},
     "",
     2,
     Value::None,
     "also process files with a NUL byte in their first 8 KB (such\nfiles are skipped and listed "
     "otherwise)",
     R"roff(Also process files with a NUL byte in their first 8 KB.
Without it such files are skipped and named on standard error.)roff",
     R"roff(也处理开头 8 KB 内含有 NUL 字节的文件（\(dq处理二进制文件\(dq）。
不给时这些文件不处理，并在标准错误上列出。)roff"},
    {{"--expand-template"},
     "TEMPLATE_FILE PARAMS_FILE",
     3,
     Value::File,
     "print one copy of the template per parameter row (rows end\nwith ';', pairs name=value are "
     "separated by ','); no PATH",
     R"roff(Instead of a run, print one copy of the template per row of parameters (the template
tool of operation [17]). Rows end with \(dq;\(dq, line breaks in the parameter file mean
nothing, pairs
.RI \(dq name = value \(dq
are separated by \(dq,\(dq and replace every occurrence of the name, in order. Both files
are read as bytes and the output is written unchanged.)roff",
     R"roff(不处理文件，而是按每一行参数输出一份模板（操作 [17] 的模板功能/宏替换）。各行参数以
\(dq;\(dq 结束，参数文件中的换行不起作用；\(dq名=值\(dq 之间以 \(dq,\(dq 分隔，依次把模板中
所有的名替换为值。两个文件都按字节读取，输出原样写出。)roff"},
    {{"--list-runs"},
     "",
     4,
     Value::None,
     "list the runs in the journal, newest first, and exit",
     R"roff(List the runs kept in the journal, newest first: id, start time, state
(done, stopped, failed, interrupted or undone), files, space used, operation.)roff",
     R"roff(列出处理记录中的各次运行，最新的在前：编号、开始时间、状态
（done、stopped、failed、interrupted 或 undone）、文件数、占用空间、操作。)roff"},
    {{"--undo-last"},
     "",
     4,
     Value::None,
     "undo the newest run not undone yet, and exit",
     R"roff(Undo the newest run of the journal that is not undone yet.)roff",
     R"roff(撤销处理记录中最近一次尚未撤销的运行。)roff"},
    {{"--undo"},
     "RUN_ID",
     4,
     Value::RunId,
     "undo that run, and exit; files changed since the run are listed\nand left alone",
     R"roff(Undo that run.
Every file the run replaced and that still holds what the run wrote gets its
original bytes back; every file the run created ([5] copies, [24] parts) and that
is unchanged is deleted.
Files changed since the run are listed and left as they are.
Each file is replaced at once, never half\-written.)roff",
     R"roff(撤销该次运行：
该次运行改写过、且现在仍是它写入内容的文件恢复为原来的字节；
它新建的文件（[5] 的副本、[24] 的分割文件）如未改动则删除。
运行之后又被改动的文件只列出，不做改动。
每个文件都是整体替换，不会只写一半。)roff"},
    {{"--dry-run"},
     "",
     5,
     Value::None,
     "run everything but write nothing; list the files whose content\nwould change",
     R"roff(Run everything but write nothing; list the files whose content would change.)roff",
     R"roff(照常执行但不写任何文件；列出内容将会改变的文件。)roff"},
    {{"--diff"},
     "",
     5,
     Value::None,
     "with --dry-run: show what would change as unified diffs (text\ndecoded per file, shown in "
     "UTF-8)",
     R"roff(With
.BR \-\-dry\-run :
instead of the list, print a unified diff of every file that would change, its
lines decoded from the file's code page and shown in UTF\-8.
A file whose only change is its line ends says so in a line starting with \(dq#\(dq.)roff",
     R"roff(与
.B \-\-dry\-run
同用：不列文件名，
而是为每个将会改变的文件输出统一格式的差异（unified diff），
各行按该文件的字符编码解码，以 UTF\-8 显示。
只有换行符改变的文件以 \(dq#\(dq 开头的一行说明。)roff"},
    {{"--no-journal"},
     "",
     5,
     Value::None,
     "do not keep this run in the journal (it cannot be undone)",
     R"roff(Do not keep this run in the journal; it cannot be undone.)roff",
     R"roff(本次运行不记入处理记录，之后无法撤销。)roff"},
    {{"--results"},
     "F",
     5,
     Value::File,
     "find results as raw GBK lines to F (default: standard output,\nconverted to UTF-8); columns "
     "count bytes of each file",
     R"roff(Write the find results as raw lines (GBK, also for UTF\-8 files) to
.IR F .
Without it they go to standard output, converted to UTF\-8.
Columns count bytes of each file.)roff",
     R"roff(把查找结果按原始行（GBK，UTF\-8 文件的结果也是）写入该文件；
不给时结果转换为 UTF\-8 输出到标准输出。
列号按每个文件的字节计算。)roff"},
    {{"--json"},
     "",
     5,
     Value::None,
     "find results as JSON, one object a line: path, line (from 1),\ncolumn (bytes), match, text "
     "(in UTF-8) and the file's encoding",
     R"roff(Prints the find results as JSON, one object a line per occurrence, with the keys
.B path
(a name that is not UTF\-8 is shown decoded as GBK and its bytes added as
.BR path_base64 ),
.B line
(counted from 1),
.B column
(the 1\-based byte position in the searched text),
.B match
and
.B text
(decoded from the file's code page to UTF\-8) and
.B encoding
(the file's code page).
Only with the find operation; the run then handles one file at a time.)roff",
     R"roff(以 JSON 输出查找结果，每处匹配一行一个对象，键为
.B path
（不是 UTF\-8 的文件名按 GBK 解码显示，并以
.B path_base64
附上原始字节）、
.B line
（从 1 起计）、
.B column
（在被查找文字中从 1 起计的字节位置）、
.B match
和
.B text
（从文件的编码转为 UTF\-8）以及
.B encoding
（文件的编码）。
只用于查找操作；此时每次只处理一个文件。)roff"},
    {{"-j", "--jobs"},
     "N",
     5,
     Value::Free,
     "files processed in parallel (default 1); the outcome is the same\nas with 1, and a file "
     "listed twice is still processed in order",
     R"roff(Process
.I N
files in parallel (default 1).
Output and side effects are the same as with 1; the same path given twice is
processed in order.)roff",
     R"roff(同时处理
.I N
个文件（默认 1）。
输出和效果与 1 相同；同一路径出现两次时按顺序处理。)roff"},
    {{"-q", "--quiet"},
     "",
     5,
     Value::None,
     "no progress (progress goes to standard error on a terminal)",
     R"roff(No progress and no summary line.
Progress goes to standard error when it is a terminal.)roff",
     R"roff(不显示进度，也不输出汇总行。标准错误是终端时进度显示在那里。)roff"},
    {{"-h", "--help"},
     "",
     5,
     Value::None,
     "show this help and exit",
     R"roff(Show a summary of the options and exit.)roff",
     R"roff(显示选项摘要后退出。)roff"},
    {{"--version"},
     "",
     5,
     Value::None,
     "show the version and exit",
     R"roff(Show the version and exit.)roff",
     R"roff(显示版本后退出。)roff"},
};

const char* const kHelpHead =
    "Usage: lexoquill-batch [options] PATH...\n"
    "       lexoquill-batch COMMAND [ARG...] [options] PATH...\n"
    "Runs every file through one scope and one operation and writes it back in place.\n"
    "Each file keeps its code page (GBK or UTF-8), its line ends and its byte-order mark.\n"
    "\n";

const char* const kHelpFoot =
    "Scope modes: 1 whole line; 2 first n bytes; 3 before the n-th X; 4 lines containing X;\n"
    "5 from after the a-th X to before the c-th Y; 6 lines without X; 7 lines between marker\n"
    "lines; 8 last n bytes; 9 line number n; 10 lines m1..m2; 11 lines of length n;\n"
    "12 text between B and E; 13 every n bytes; 14 after the last D; 15 after the first D.\n"
    "--save-recipe shows every control name with its current value.\n"
    "\n"
    "Exit status: 0 done; 1 a path is missing or unreadable, no file is left to process,\n"
    "or the run stopped on an error (the message is on standard error); 2 bad usage.\n";

std::string joined(const std::vector<std::string_view>& names, std::string_view sep) {
  std::string s;
  for (std::string_view n : names) s += (s.empty() ? "" : std::string(sep)) + std::string(n);
  return s;
}

// The name column of --help, 21 wide; a longer one stands on a line of its own.
void put_help_entry(std::string& out, const std::string& head, std::string_view help) {
  constexpr size_t kColumn = 21;
  std::string line = "  " + head;
  if (line.size() + 1 > kColumn) {
    out += line + "\n";
    line.clear();
  }
  size_t at = 0;
  do {
    const size_t end = help.find('\n', at);
    line.resize(kColumn, ' ');
    line += help.substr(at, end - at);
    out += line + "\n";
    line.clear();
    at = end == std::string_view::npos ? end : end + 1;
  } while (at != std::string_view::npos);
}

std::string verb_usage(const Verb& v) {
  std::string s(v.name);
  for (std::string_view a : v.args) s += " " + std::string(a);
  return s;
}

// The --op and --set form a command stands for.
std::string verb_long_form(const Verb& v) {
  std::string s = "--op " + std::to_string(v.op);
  for (const VerbSetting& f : v.fixed)
    s += " --set " + std::string(f.control) + "=" + std::string(f.value);
  for (size_t k = 0; k < v.args.size(); ++k)
    s += std::string(v.arg_is_file ? " --set-file " : " --set ") + std::string(v.controls[k]) +
         "=" + std::string(v.args[k]);
  return s;
}

std::string roff_escaped(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '-' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

const std::vector<OptionDoc>& option_docs() {
  return kOptions;
}

const std::vector<std::string_view>& option_groups() {
  return kGroups;
}

std::string help_text() {
  std::string text = kHelpHead;
  text += "Commands (each stands for --op N with --set values; --save-recipe shows them):\n";
  for (const Verb& v : verbs()) put_help_entry(text, verb_usage(v), v.summary);
  for (size_t g = 0; g < kGroups.size(); ++g) {
    text += "\n" + std::string(kGroups[g]) + "\n";
    for (const OptionDoc& o : kOptions) {
      if (o.group != static_cast<int>(g)) continue;
      std::string head = joined(o.names, ", ");
      if (!o.arg.empty()) head += " " + std::string(o.arg);
      put_help_entry(text, head, o.help);
    }
  }
  return text + "\n" + kHelpFoot;
}

std::string man_sections(std::string_view lang) {
  const bool zh = lang == "zh";
  std::string out = zh ? ".SH 命令\n" : ".SH COMMANDS\n";
  out += zh ? "每个命令只是下列\n.B \\-\\-op\n与\n.B \\-\\-set\n的简写，写在所有参数之前：\n"
            : "Each command is a name for the\n.B \\-\\-op\nand\n.B \\-\\-set\n"
              "values shown, and comes first on the command line:\n";
  for (const Verb& v : verbs()) {
    out += ".TP\n.B " + roff_escaped(verb_usage(v)) + "\n";
    if (!zh) out += roff_escaped(v.summary) + ";\n";
    // No hyphenation inside control names.
    out += ".B \\%" + replace_all(roff_escaped(verb_long_form(v)), " ", " \\%") + "\n";
  }
  out += zh ? ".SH 选项\n" : ".SH OPTIONS\n";
  for (const OptionDoc& o : kOptions) {
    if (o.value == Value::Argument) continue;
    std::string head;
    for (std::string_view n : o.names)
      head += (head.empty() ? "\\fB" : ", \\fB") + roff_escaped(n) + "\\fR";
    if (!o.arg.empty()) head += " \\fI" + roff_escaped(o.arg) + "\\fR";
    out += ".TP\n" + head + "\n" + std::string(zh ? o.man_zh : o.man_en) + "\n";
  }
  return out;
}

std::string completion_script() {
  std::string s =
      "# bash completion for lexoquill-batch                      -*- shell-script -*-\n"
      "# Generated by lexoquill-batch --print-completion bash.\n\n"
      "# Operation panels in number order; 20 and 21 share one panel.\n"
      "_lexoquill_batch_classes=(";
  const PanelClassRegistry& reg = PanelClassRegistry::instance();
  for (int n = 1; n <= 28; ++n)
    if (const PanelClass* c = reg.find_number(n)) s += "\n    " + c->class_name;
  s += "\n)\n\n_lexoquill_batch_scope_controls=\"";
  // --scope chooses the mode, so its radio buttons are left out; an up-down sets the edit
  // box it is bound to, which is offered instead.
  for (const auto& d : ScopeSettings::decls())
    if (d.kind != ParamKind::Radio) s += d.name + " ";
  s.back() = '"';
  s += "\n\n# The controls an operation panel reads, by lower-cased class name.\n"
       "_lexoquill_batch_op_controls() {\n    case $1 in\n";
  for (const PanelClass& c : reg.classes()) {
    if (c.params.empty()) continue;
    std::string lower = c.class_name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    s += "        " + lower + ") echo";
    for (const auto& p : c.params) s += " " + p.name;
    s += " ;;\n";
  }
  s += "    esac\n}\n\n";
  auto names_of = [](Value kind) {
    std::vector<std::string_view> names;
    for (const OptionDoc& o : kOptions)
      if (o.value == kind) names.insert(names.end(), o.names.begin(), o.names.end());
    return joined(names, " | ");
  };
  std::vector<std::string_view> all;
  for (const OptionDoc& o : kOptions)
    if (o.value != Value::Argument) all.insert(all.end(), o.names.begin(), o.names.end());
  std::vector<std::string_view> verb_names;
  for (const Verb& v : verbs()) verb_names.push_back(v.name);
  s += R"sh(# Lower-cased class name of the operation chosen earlier on the line, if any.
_lexoquill_batch_chosen_op() {
    local i op=
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --op) op=${words[i + 1]} ;;
            --op=*) op=${words[i]#--op=} ;;
        esac
    done
    if [[ $op =~ ^[0-9]+$ ]] && ((op >= 1 && op <= ${#_lexoquill_batch_classes[@]})); then
        op=${_lexoquill_batch_classes[op - 1]}
    fi
    printf '%s\n' "${op,,}"
}

_lexoquill_batch() {
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
)sh";
  // One arm of the case over the previous word: the options of a kind, then what to do.
  auto arm = [&](std::string_view names, std::string_view body) {
    s += "        " + std::string(names) + ")\n" + std::string(body) + "            ;;\n";
  };
  arm(names_of(Value::Scope), R"sh(            COMPREPLY=($(compgen -W "$(seq 1 15)" -- "$cur"))
            return
)sh");
  arm(names_of(Value::Op),
      R"sh(            # Class names match without regard to case, as the program does.
            local c lcur=${cur,,}
            COMPREPLY=($(compgen -W "$(seq 1 28)" -- "$cur"))
            for c in $(printf '%s\n' "${_lexoquill_batch_classes[@]}" | sort -u); do
                [[ ${c,,} == "$lcur"* ]] && COMPREPLY+=("$c")
            done
            return
)sh");
  arm(names_of(Value::Control) + " | " + names_of(Value::ControlFile),
      R"sh(            if [[ $cur == *=* ]]; then
                # Bash replaces only the text after "=", so offer bare file names.
                if [[ $prev == )sh" +
          names_of(Value::ControlFile) + R"sh( ]]; then
                    cur=${cur#*=}
                    _filedir
                fi
                return
            fi
            local op names=$_lexoquill_batch_scope_controls
            op=$(_lexoquill_batch_chosen_op)
            if [[ $op ]]; then
                names+=" $(_lexoquill_batch_op_controls "$op")"
            else
                local c
                for c in $(printf '%s\n' "${_lexoquill_batch_classes[@]}" | sort -u); do
                    names+=" $(_lexoquill_batch_op_controls "${c,,}")"
                done
            fi
            COMPREPLY=($(compgen -W "$names" -S = -- "$cur"))
            compopt -o nospace
            return
)sh");
  arm(names_of(Value::Encoding),
      "            COMPREPLY=($(compgen -W 'auto gbk utf-8' -- \"$cur\"))\n            return\n");
  arm(names_of(Value::Eol),
      "            COMPREPLY=($(compgen -W 'keep crlf lf' -- \"$cur\"))\n            return\n");
  arm(names_of(Value::File), "            _filedir\n            return\n");
  arm(names_of(Value::RunId), R"sh(            # Run ids are the names of the journal's directories.
            local home=${LEXOQUILL_HOME:-${XDG_CONFIG_HOME:-$HOME/.config}/lexoquill}
            COMPREPLY=($(compgen -W "$(command ls "$home/batch" 2>/dev/null)" -- "$cur"))
            return
)sh");
  arm(names_of(Value::Free), "            return\n");
  s += R"sh(    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W ')sh" +
       joined(all, " ") + R"sh(' -- "$cur"))
        return
    fi
    # A command comes first.
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W ')sh" +
       joined(verb_names, " ") + R"sh(' -- "$cur"))
    fi
    _filedir
} &&
    complete -F _lexoquill_batch lexoquill-batch

# ex: filetype=sh
)sh";
  return s;
}

}  // namespace lq::cli
