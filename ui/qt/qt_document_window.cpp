#include "ui/qt/qt_document_window.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace halvic::ui {

namespace {

// Room for a page of text beside a 775-pixel screenshot.
constexpr int kWindowWidth = 860;
constexpr int kWindowHeight = 640;

}  // namespace

QDialog* openMarkdownWindow(const QString& path, const QString& title, QWidget* parent,
                            const std::function<QString(const QString&)>& shownPart) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return nullptr;
  }
  const QString markdown = QString::fromUtf8(file.readAll());
  if (file.error() != QFileDevice::NoError) {
    return nullptr;
  }
  auto* window = new QDialog(parent);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(title);
  auto* browser = new QTextBrowser(window);
  browser->setOpenExternalLinks(true);
  // Before the text, so that its pictures are looked up beside the file as it is laid out.
  browser->setSearchPaths({QFileInfo(path).absolutePath()});
  browser->setMarkdown(shownPart ? shownPart(markdown) : markdown);
  auto* layout = new QVBoxLayout(window);
  layout->addWidget(browser);
  window->resize(kWindowWidth, kWindowHeight);
  window->show();
  return window;
}

}  // namespace halvic::ui
