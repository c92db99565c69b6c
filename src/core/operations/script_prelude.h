// The standard routines every script may call, written in the script language itself.
// Evaluated once per engine; the function receives the real global object and the host's
// native functions.
#pragma once

namespace lq {

inline constexpr const char* kScriptPrelude = R"JS((function (g, natives) {
  var JsDate = g.Date;
  var monthNames = ['一月', '二月', '三月', '四月', '五月', '六月', '七月', '八月', '九月',
                    '十月', '十一月', '十二月'];
  var dayNames = ['星期日', '星期一', '星期二', '星期三', '星期四', '星期五', '星期六'];
  var shortDayNames = ['周日', '周一', '周二', '周三', '周四', '周五', '周六'];

  function str(v) { return v === undefined || v === null ? '' : String(v); }
  // Letter case as the rest of the program sees it: ASCII letters only.
  function lowerAscii(s) { return s.replace(/[A-Z]+/g, function (m) { return m.toLowerCase(); }); }
  function upperAscii(s) { return s.replace(/[a-z]+/g, function (m) { return m.toUpperCase(); }); }
  function toInt(v) {
    var n = Number(v);
    if (!isFinite(n)) throw new RangeError("'" + str(v) + "' is not a valid integer value");
    return n < 0 ? Math.ceil(n) : Math.floor(n);
  }
  function pad(s, width, ch) { s = String(s); while (s.length < width) s = ch + s; return s; }

  g.IntToStr = function (n) { return String(toInt(n)); };
  g.StrToInt = natives.StrToInt;
  g.StrToIntDef = function (s, def) {
    try { return natives.StrToInt(s); } catch (e) { return def; }
  };
  g.IntToHex = function (n, digits) {
    var v = toInt(n);
    return pad((v < 0 ? v >>> 0 : v).toString(16).toUpperCase(), toInt(digits || 0), '0');
  };
  g.FloatToStr = function (x) { return String(Number(x)); };
  g.StrToFloat = function (s) {
    var t = g.Trim(s);
    if (/^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$/.test(t)) return Number(t);
    throw new Error("'" + str(s) + "' is not a valid floating point value");
  };
  g.Trunc = function (x) { return toInt(x); };
  g.Round = function (x) {  // halves go to the even neighbour
    x = Number(x);
    var f = Math.floor(x), d = x - f;
    if (d > 0.5 || (d === 0.5 && f % 2 !== 0)) f += 1;
    return f;
  };
  g.Chr = function (n) { return String.fromCharCode(toInt(n)); };
  g.Ord = function (s) { s = str(s); return s.length ? s.charCodeAt(0) : 0; };

  g.Length = function (s) { return str(s).length; };
  g.Copy = function (s, index, count) {
    s = str(s);
    index = toInt(index);
    count = toInt(count);
    if (index < 1) index = 1;
    if (count < 0) count = 0;
    return s.substr(index - 1, count);
  };
  g.Pos = function (sub, s) { sub = str(sub); return sub ? str(s).indexOf(sub) + 1 : 0; };
  g.Trim = function (s) { return str(s).replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, ''); };
  g.TrimLeft = function (s) { return str(s).replace(/^[\x00-\x20]+/, ''); };
  g.TrimRight = function (s) { return str(s).replace(/[\x00-\x20]+$/, ''); };
  g.UpperCase = function (s) { return upperAscii(str(s)); };
  g.LowerCase = function (s) { return lowerAscii(str(s)); };
  g.rfReplaceAll = 1;
  g.rfIgnoreCase = 2;
  g.StringReplace = function (s, oldPattern, newPattern, flags) {
    s = str(s);
    oldPattern = str(oldPattern);
    newPattern = str(newPattern);
    var f = 0;
    if (flags instanceof Array) { for (var i = 0; i < flags.length; i++) f |= flags[i]; }
    else f = Number(flags) | 0;
    if (!oldPattern) return s;
    var hay = f & 2 ? lowerAscii(s) : s, needle = f & 2 ? lowerAscii(oldPattern) : oldPattern;
    var out = '', from = 0, at;
    while ((at = hay.indexOf(needle, from)) >= 0) {
      out += s.substring(from, at) + newPattern;
      from = at + needle.length;
      if (!(f & 1)) break;
    }
    return out + s.substring(from);
  };

  function groupThousands(digits) {
    var parts = digits.split('.');
    parts[0] = parts[0].replace(/\B(?=(\d{3})+(?!\d))/g, ',');
    return parts.join('.');
  }
  g.Format = function (fmt, args) {
    fmt = str(fmt);
    if (!(args instanceof Array)) args = Array.prototype.slice.call(arguments, 1);
    var next = 0;
    function bad() { return new Error("Format '" + fmt + "' invalid or incompatible with argument"); }
    function take() { if (next >= args.length) throw bad(); return args[next++]; }
    return fmt.replace(/%(?:(\d+):)?(-)?(\d+|\*)?(?:\.(\d+|\*))?([dusefgnmxp%])/gi,
      function (all, index, left, width, prec, type) {
        type = type.toLowerCase();
        if (type === '%') return '%';
        if (index !== undefined && index !== '') next = Number(index);
        if (width === '*') width = toInt(take());
        if (prec === '*') prec = toInt(take());
        width = width === undefined || width === '' ? 0 : Number(width);
        var p = prec === undefined || prec === '' ? -1 : Number(prec);
        var v = take(), out;
        if (type === 's') {
          out = str(v);
          if (p >= 0) out = out.substr(0, p);
        } else {
          if (typeof v !== 'number') throw bad();
          if (type === 'd' || type === 'u') {
            if (v !== Math.floor(v)) throw bad();
            out = pad(String(Math.abs(v)), p, '0');
            if (v < 0) out = '-' + out;
          } else if (type === 'x' || type === 'p') {
            if (v !== Math.floor(v)) throw bad();
            out = pad((v < 0 ? v >>> 0 : v).toString(16).toUpperCase(), type === 'p' ? 8 : p, '0');
          } else if (type === 'f') {
            out = v.toFixed(p < 0 ? 2 : p);
          } else if (type === 'n' || type === 'm') {
            out = groupThousands(v.toFixed(p < 0 ? 2 : p));
          } else if (type === 'e') {
            out = v.toExponential((p < 0 ? 15 : Math.max(p, 1)) - 1).toUpperCase()
                   .replace(/E([+-])(\d+)$/, function (m, sign, e) { return 'E' + sign + pad(e, 3, '0'); });
          } else {  // g
            out = p < 0 ? String(v) : String(Number(v.toPrecision(Math.max(p, 1))));
          }
        }
        while (out.length < width) out = left ? out + ' ' : ' ' + out;
        return out;
      });
  };

  // Date and time. Values are Date objects; FormatDateTime also takes a day count since
  // 1899-12-30 with the time as its fraction.
  function LqDate() {
    if (this instanceof LqDate) return Reflect.construct(JsDate, Array.prototype.slice.call(arguments));
    var n = new JsDate();
    return new JsDate(n.getFullYear(), n.getMonth(), n.getDate());
  }
  LqDate.prototype = JsDate.prototype;
  LqDate.now = JsDate.now;
  LqDate.parse = JsDate.parse;
  LqDate.UTC = JsDate.UTC;
  g.Date = LqDate;
  g.Now = function () { return new JsDate(); };
  g.Time = function () {
    var n = new JsDate();
    return new JsDate(1899, 11, 30, n.getHours(), n.getMinutes(), n.getSeconds(), n.getMilliseconds());
  };
  function toJsDate(v) {
    if (v instanceof JsDate) return v;
    if (typeof v === 'number' && isFinite(v)) {
      var days = Math.floor(v);
      var d = new JsDate(1899, 11, 30 + days);
      return new JsDate(d.getTime() + Math.round((v - days) * 86400000));
    }
    throw new TypeError('not a date: ' + str(v));
  }
  g.FormatDateTime = function (fmt, value) {
    fmt = str(fmt);
    var d = toJsDate(value), out = '', i = 0, afterHour = false;
    var twelve = /am\/pm|a\/p/i.test(fmt);
    function run(ch) { var k = i; while (k < fmt.length && fmt.charAt(k).toLowerCase() === ch) k++; return k - i; }
    while (i < fmt.length) {
      var c = fmt.charAt(i), lc = c.toLowerCase(), n;
      if (c === '"' || c === "'") {
        var end = fmt.indexOf(c, i + 1);
        if (end < 0) end = fmt.length;
        out += fmt.substring(i + 1, end);
        i = end + 1;
        continue;
      }
      if (fmt.substr(i, 5).toLowerCase() === 'am/pm') {
        var pm = d.getHours() >= 12, word = fmt.substr(i, 5);
        out += pm ? word.substr(3, 2) : word.substr(0, 2);
        i += 5;
        continue;
      }
      if (fmt.substr(i, 3).toLowerCase() === 'a/p') {
        out += d.getHours() >= 12 ? fmt.charAt(i + 2) : fmt.charAt(i);
        i += 3;
        continue;
      }
      if (lc === 'y') {
        n = run('y');
        out += n <= 2 ? pad(d.getFullYear() % 100, 2, '0') : pad(d.getFullYear(), 4, '0');
      } else if (lc === 'm') {
        n = run('m');
        if (afterHour && n <= 2) out += n === 2 ? pad(d.getMinutes(), 2, '0') : d.getMinutes();
        else if (n >= 3) out += monthNames[d.getMonth()];
        else out += n === 2 ? pad(d.getMonth() + 1, 2, '0') : d.getMonth() + 1;
      } else if (lc === 'd') {
        n = run('d');
        if (n === 1) out += d.getDate();
        else if (n === 2) out += pad(d.getDate(), 2, '0');
        else if (n === 3) out += shortDayNames[d.getDay()];
        else if (n === 4) out += dayNames[d.getDay()];
        else if (n === 5) out += g.FormatDateTime('yyyy-mm-dd', d);
        else out += g.FormatDateTime('yyyy"年"m"月"d"日"', d);
      } else if (lc === 'h') {
        n = run('h');
        var h = d.getHours();
        if (twelve) { h = h % 12; if (h === 0) h = 12; }
        out += n >= 2 ? pad(h, 2, '0') : h;
      } else if (lc === 'n') {
        n = run('n');
        out += n >= 2 ? pad(d.getMinutes(), 2, '0') : d.getMinutes();
      } else if (lc === 's') {
        n = run('s');
        out += n >= 2 ? pad(d.getSeconds(), 2, '0') : d.getSeconds();
      } else if (lc === 'z') {
        n = run('z');
        out += n >= 3 ? pad(d.getMilliseconds(), 3, '0') : d.getMilliseconds();
      } else if (lc === 'c') {
        n = 1;
        out += g.FormatDateTime('yyyy-mm-dd hh:nn:ss', d);
      } else if (lc === 't') {
        n = run('t');
        out += g.FormatDateTime(n >= 2 ? 'hh:nn:ss' : 'hh:nn', d);
      } else if (c === '/') {
        n = 1;
        out += '-';
      } else {
        n = 1;
        out += c;
      }
      if (lc === 'h') afterHour = true;
      else if (lc !== ' ' && lc !== ':') afterHour = false;
      i += n;
    }
    return out;
  };
  g.DateToStr = function (d) { return g.FormatDateTime('yyyy-mm-dd', d); };
  g.TimeToStr = function (d) { return g.FormatDateTime('hh:nn:ss', d); };
  g.DateTimeToStr = function (d) { return g.FormatDateTime('yyyy-mm-dd hh:nn:ss', d); };

  g.th = natives.th;

  // Users of the panel write names without regard to case. `line` and `th` answer to
  // every spelling, the routines above to their own, all-lower and all-upper ones.
  // (The property `text` of `line` is matched in any case by the host.)
  function spellings(name) {
    var out = [''];
    for (var i = 0; i < name.length; i++) {
      var lo = name.charAt(i).toLowerCase(), up = name.charAt(i).toUpperCase(), next = [];
      for (var j = 0; j < out.length; j++) {
        next.push(out[j] + lo);
        if (up !== lo) next.push(out[j] + up);
      }
      out = next;
    }
    return out;
  }
  function alias(name, names) {
    for (var i = 0; i < names.length; i++) if (!(names[i] in g)) g[names[i]] = g[name];
  }
  alias('line', spellings('line'));
  alias('th', spellings('th'));
  ['IntToStr', 'StrToInt', 'StrToIntDef', 'IntToHex', 'FloatToStr', 'StrToFloat', 'Trunc',
   'Round', 'Chr', 'Ord', 'Length', 'Copy', 'Pos', 'Trim', 'TrimLeft', 'TrimRight', 'UpperCase',
   'LowerCase', 'StringReplace', 'rfReplaceAll', 'rfIgnoreCase', 'Format', 'Now', 'Date', 'Time',
   'FormatDateTime', 'DateToStr', 'TimeToStr', 'DateTimeToStr', 'Math'].forEach(function (n) {
    alias(n, [n.toLowerCase(), n.toUpperCase()]);
  });
}))JS";

}  // namespace lq
