#include "tools/screenshots/guide_session.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTest>

namespace halvic::guide {

namespace {

QString controlName(MainControl control) {
  return QString::fromUtf8(control.name().data(), static_cast<qsizetype>(control.name().size()));
}

/** A caption as one line of a problem: its line breaks written out. */
QString oneLine(std::string_view text) {
  QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  line.replace(QStringLiteral("\r"), QStringLiteral("\\r"));
  line.replace(QStringLiteral("\n"), QStringLiteral("\\n"));
  return line;
}

/** A menu title as the user reads it: without the ampersand that marks its access key. */
QString withoutAccessKey(QString title) { return title.remove(QLatin1Char('&')); }

}  // namespace

QWidget& GuideSession::widget(MainControl control) const {
  // Every control that a user can work has a widget; a missing one is a broken window.
  QWidget* found = program_.window().clientArea().widget(control.name());
  Q_ASSERT(found != nullptr);
  return *found;
}

void GuideSession::answering(const std::function<void()>& action,
                             std::vector<DialogAnswer> answers) {
  ModalAnswers modal(std::move(answers));
  for (QString& problem : modal.run(action)) {
    problems_.push_back(std::move(problem));
  }
  QApplication::processEvents();
}

void GuideSession::click(MainControl control, std::vector<DialogAnswer> answers) {
  auto* button = qobject_cast<QAbstractButton*>(&widget(control));
  if (button == nullptr) {
    problems_.push_back(controlName(control) + QStringLiteral(" is not a button"));
    return;
  }
  answering([button] { button->click(); }, std::move(answers));
}

void GuideSession::command(void (MainWindow::*handler)(), std::vector<DialogAnswer> answers) {
  MainWindow& window = program_.mainWindow();
  answering([&window, handler] { (window.*handler)(); }, std::move(answers));
}

void GuideSession::pickListEntry(MainControl list, const QString& entry, bool keepPicture) {
  auto* combo = qobject_cast<QComboBox*>(&widget(list));
  const int index = combo == nullptr ? -1 : combo->findText(entry);
  if (index < 0) {
    problems_.push_back(controlName(list) + QStringLiteral(" has no entry ") + entry);
    return;
  }
  combo->showPopup();
  QAbstractItemView& view = *combo->view();
  view.setCurrentIndex(combo->model()->index(index, 0));
  view.scrollTo(view.currentIndex());
  QApplication::processEvents();
  if (keepPicture) {
    kept_ = windowWithPopup(*view.window());
  }
  // Enter in the open list picks the highlighted entry, as a click on it does.
  QTest::keyClick(&view, Qt::Key_Return);
  QApplication::processEvents();
  expect(program_.mainWindow().control(list).listIndex() == index,
         controlName(list) + QStringLiteral(" did not take ") + entry);
}

void GuideSession::dragScrollBar(MainControl bar, int value) {
  auto* scrollBar = qobject_cast<QScrollBar*>(&widget(bar));
  if (scrollBar == nullptr) {
    problems_.push_back(controlName(bar) + QStringLiteral(" is not a scroll bar"));
    return;
  }
  // Held down, the thumb reports each position it is dragged to; let go, the drag ends.
  answering(
      [scrollBar, value] {
        scrollBar->setSliderDown(true);
        scrollBar->setSliderPosition(value);
        scrollBar->setSliderDown(false);
      },
      {});
  expectValue(bar, value);
}

void GuideSession::openMenu(const QString& title) {
  auto* menuBar = topLevel().findChild<QMenuBar*>();
  if (menuBar == nullptr) {
    skipped_ = QStringLiteral("the window has no menu bar");
    return;
  }
  for (QAction* action : menuBar->actions()) {
    if (action->menu() != nullptr && withoutAccessKey(action->text()) == title) {
      menuBar->setActiveAction(action);
      QApplication::processEvents();
      kept_ = windowWithPopup(*action->menu());
      action->menu()->close();
      QApplication::processEvents();
      return;
    }
  }
  problems_.push_back(QStringLiteral("the menu bar has no menu ") + title);
}

DialogAnswer GuideSession::chooseFile(const QString& path) {
  return [path](QWidget& dialog) {
    auto* files = qobject_cast<QFileDialog*>(&dialog);
    auto* name = files == nullptr ? nullptr : files->findChild<QLineEdit*>("fileNameEdit");
    if (name == nullptr) {
      return false;
    }
    files->setDirectory(QStringLiteral("."));
    {
      // Typed without the dialog's completion, which would pick the listed file and give its
      // absolute path: the program gets the path relative to the folder it runs in, so that no
      // folder of the machine that made the pictures shows in them.
      const QSignalBlocker quiet(name);
      name->setText(path);
    }
    static_cast<QDialog*>(files)->accept();  // public in the base
    return true;
  };
}

DialogAnswer GuideSession::fillForm(std::vector<FieldText> fields) {
  return [this, fields = std::move(fields)](QWidget& dialog) {
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    if (buttons == nullptr || buttons->button(QDialogButtonBox::Ok) == nullptr) {
      return false;
    }
    for (const auto& [field, text] : fields) {
      auto* edit = dialog.findChild<QLineEdit*>(field);
      if (edit == nullptr) {
        problems_.push_back(QStringLiteral("the form has no field ") + field);
        continue;
      }
      edit->setText(text);
    }
    kept_ = dialog.grab().toImage();
    buttons->button(QDialogButtonBox::Ok)->click();
    return true;
  };
}

DialogAnswer GuideSession::readMessage(QString& text) {
  return [this, &text](QWidget& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    if (box == nullptr) {
      return false;
    }
    text = box->text();
    kept_ = box->grab().toImage();
    box->button(QMessageBox::Ok)->click();
    return true;
  };
}

void GuideSession::expectCaption(MainControl control, std::string_view expected) {
  const std::string& shown = program_.mainWindow().control(control).caption();
  expect(shown == expected, controlName(control) + QStringLiteral(" shows \"") + oneLine(shown) +
                                QStringLiteral("\", the guide says \"") + oneLine(expected) +
                                QLatin1Char('"'));
}

void GuideSession::expectValue(MainControl control, int expected) {
  const int value = program_.mainWindow().control(control).value();
  expect(value == expected, controlName(control) + QStringLiteral(" is at ") +
                                QString::number(value) + QStringLiteral(", the guide says ") +
                                QString::number(expected));
}

void GuideSession::expectFile(const QString& path) {
  expect(QFileInfo(path).isFile(), path + QStringLiteral(" was not written"));
}

void GuideSession::expect(bool holds, const QString& problem) {
  if (!holds) {
    problems_.push_back(problem);
  }
}

QImage GuideSession::windowWithPopup(QWidget& popup) const {
  QWidget& window = topLevel();
  const QRect windowArea(window.mapToGlobal(QPoint(0, 0)), window.size());
  const QRect popupArea(popup.mapToGlobal(QPoint(0, 0)), popup.size());
  const QRect whole = windowArea.united(popupArea);
  QImage picture(whole.size(), QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.drawPixmap(windowArea.topLeft() - whole.topLeft(), window.grab());
  painter.drawPixmap(popupArea.topLeft() - whole.topLeft(), popup.grab());
  return picture;
}

QImage GuideSession::takePicture() {
  QApplication::processEvents();
  if (kept_) {
    return *std::exchange(kept_, std::nullopt);
  }
  return topLevel().grab().toImage();
}

}  // namespace halvic::guide
