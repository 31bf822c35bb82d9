#pragma once

#include <QDialog>
#include <QString>
#include <functional>

namespace halvic::ui {

/**
 * Opens a window (not modal) showing the Markdown file at path in a QTextBrowser, its pictures
 * and relative links found from the file's folder, web links opened by the desktop's browser;
 * shownPart, when given, picks what of the file's text is shown. The window is a child of
 * parent, so that it stays above it and goes with it, and deletes itself when closed. Returns
 * the window, or nullptr when the file cannot be read.
 */
QDialog* openMarkdownWindow(const QString& path, const QString& title, QWidget* parent,
                            const std::function<QString(const QString&)>& shownPart = {});

}  // namespace halvic::ui
