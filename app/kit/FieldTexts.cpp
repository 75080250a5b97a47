#include "app/kit/FieldTexts.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace kit {
namespace {

// Tab into a line edit selects its whole text with the caret at the end,
// which scrolls a long name out of view; the window manager does the same
// when it activates a window and gives its first field the focus. This
// keeps the selection but puts the caret at the start.
class KeepsStartInView : public QObject {
 public:
  static constexpr const char* kName = "kit_keeps_start_in_view";

  explicit KeepsStartInView(QLineEdit* field) : QObject(field) {
    setObjectName(kName);
    field->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::FocusIn) return false;
    auto* field = static_cast<QLineEdit*>(watched);
    // The field's own handling first, then the caret goes back.
    static_cast<QObject*>(field)->event(event);
    const qsizetype length = field->text().size();
    if (length > 0 && field->selectionStart() == 0 && field->selectedText().size() == length)
      field->setSelection(static_cast<int>(length), -static_cast<int>(length));
    return true;
  }
};

}  // namespace

void ShowName(QLineEdit* field, const QString& text) {
  // Looked up by name: without a meta-object of its own, a cast would take
  // any child for it.
  if (!field->findChild<QObject*>(KeepsStartInView::kName, Qt::FindDirectChildrenOnly))
    new KeepsStartInView(field);
  field->setText(text);
  field->setCursorPosition(0);
}

void ShowPath(QLineEdit* field, const QString& path) {
  field->setText(path);
  field->end(false);
  field->setToolTip(path);
}

}  // namespace kit
