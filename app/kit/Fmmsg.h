// The OK/Cancel question window. exec() gives 1 for OK and 2 for Cancel or
// any other way of closing it.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TMsgFm;
}

class TMsgFm : public QDialog {
  Q_OBJECT

 public:
  enum Result { kOk = 1, kCancel = 2 };

  explicit TMsgFm(QWidget* parent = nullptr);
  ~TMsgFm() override;

  // Sets the question shown in lblMsg.
  void SetMessage(const QString& text);
  QString message() const;

  // Every way of closing but OK answers 2.
  void done(int result) override;

  Ui::TMsgFm* ui() const { return ui_.get(); }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  std::unique_ptr<Ui::TMsgFm> ui_;
};
