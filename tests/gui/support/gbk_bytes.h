// GBK fixtures written in UTF-8 source, and byte comparisons that show both sides in hex.
#pragma once

#include <QByteArray>
#include <QtTest>
#include <string>

#include "core/encoding/code_page.h"

namespace lq::test {

inline std::string gbk(const char* utf8) {
  return lq::code_page().from_utf8(utf8);
}

inline QByteArray hex(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size())).toHex(' ');
}

}  // namespace lq::test

#define COMPARE_BYTES(actual, expected) QCOMPARE(lq::test::hex(actual), lq::test::hex(expected))
