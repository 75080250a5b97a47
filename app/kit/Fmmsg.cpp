#include "app/kit/Fmmsg.h"

#include <QEvent>

#include "app/kit/WindowFont.h"
#include "ui_Fmmsg.h"

TMsgFm::TMsgFm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TMsgFm>()) {
  kit::RegisterWindowFont();
  ui_->setupUi(this);
  // A tool window without any border icons: no close box.
  setWindowFlags(Qt::Dialog | Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(sizeHint().expandedTo(QSize(196, 84)));
  connect(ui_->btn_ok, &QPushButton::clicked, this, [this] { done(kOk); });
  connect(ui_->btn_cancel, &QPushButton::clicked, this, [this] { done(kCancel); });
}

TMsgFm::~TMsgFm() = default;

void TMsgFm::SetMessage(const QString& text) { ui_->lblMsg->setText(text); }

QString TMsgFm::message() const { return ui_->lblMsg->text(); }

void TMsgFm::done(int result) { QDialog::done(result == kOk ? kOk : kCancel); }

void TMsgFm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    const QString text = message();
    ui_->retranslateUi(this);
    SetMessage(text);
  }
  QDialog::changeEvent(event);
}
