#include "gui/editor/unicode_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace lq::gui {

namespace {

// A copy of the clipboard's current content, to which a format can be added: the clipboard
// only takes whole QMimeData objects. Without its text forms when new text replaces them.
QMimeData* current_copy(bool without_text) {
  auto* copy = new QMimeData;
  if (const QMimeData* now = QGuiApplication::clipboard()->mimeData())
    for (const QString& f : now->formats())
      if (!(without_text && f.startsWith(QLatin1String("text/plain"))))
        copy->setData(f, now->data(f));
  return copy;
}

}  // namespace

std::u16string get_unicode_text() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return {};
  const QString text = data->text();
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<size_t>(text.size()));
}

void set_clip_buffer(const QString& mime_type, const QByteArray& bytes) {
  QMimeData* data = current_copy(false);
  data->setData(mime_type, bytes);
  QGuiApplication::clipboard()->setMimeData(data);
}

void set_unicode_text(std::u16string_view text) {
  QMimeData* data = current_copy(true);
  data->setText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
  QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace lq::gui
